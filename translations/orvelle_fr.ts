<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>BundlerFile</name>
    <message>
        <source>%1: no image list (list.txt or %2) beside it</source>
        <translation>%1 : aucune liste d&apos;images (list.txt ou %2) à côté</translation>
    </message>
    <message>
        <source>the file does not start with &quot;# Bundle file v0.3&quot;</source>
        <translation>le fichier ne commence pas par « # Bundle file v0.3 »</translation>
    </message>
    <message>
        <source>expected the numbers of cameras and points</source>
        <translation>nombres de caméras et de points attendus</translation>
    </message>
    <message>
        <source>%1 cameras and %2 points are announced but only %3 lines follow</source>
        <translation>%1 caméras et %2 points sont annoncés mais seules %3 lignes suivent</translation>
    </message>
    <message>
        <source>%1 lists %2 photographs, %3 holds %4 cameras</source>
        <translation>%1 liste %2 photographies, %3 contient %4 caméras</translation>
    </message>
    <message>
        <source>camera %1: expected f k1 k2, three rotation rows and a translation</source>
        <translation>caméra %1 : f k1 k2, trois lignes de rotation et une translation attendus</translation>
    </message>
    <message>
        <source>camera %1: the rotation is not a rotation</source>
        <translation>caméra %1 : la rotation n&apos;est pas une rotation</translation>
    </message>
    <message>
        <source>point %1: expected a position, a colour and a view list</source>
        <translation>point %1 : une position, une couleur et une liste de vues attendues</translation>
    </message>
    <message>
        <source>point %1: the view list or colour does not match the %2 cameras</source>
        <translation>point %1 : la liste de vues ou la couleur ne correspond pas aux %2 caméras</translation>
    </message>
    <message>
        <source>%1 photographs have no reconstructed camera (focal length 0) and are left out: %2</source>
        <translation>%1 photographies n&apos;ont pas de caméra reconstruite (focale 0) et sont écartées : %2</translation>
    </message>
</context>
<context>
    <name>CameraCheck</name>
    <message>
        <source>holds a value that is not a finite number</source>
        <translation>contient une valeur qui n&apos;est pas un nombre fini</translation>
    </message>
    <message>
        <source>has a focal length of %1 mm</source>
        <translation>a une focale de %1 mm</translation>
    </message>
    <message>
        <source>has a pixel size of %1 x %2 mm</source>
        <translation>a une taille de pixel de %1 x %2 mm</translation>
    </message>
    <message>
        <source>has a viewport of %1 x %2 pixels</source>
        <translation>a une fenêtre de %1 x %2 pixels</translation>
    </message>
    <message>
        <source>has a rotation matrix that is not a rotation</source>
        <translation>a une matrice de rotation qui n&apos;est pas une rotation</translation>
    </message>
</context>
<context>
    <name>ColmapModel</name>
    <message>
        <source>%1 could not be read: %2</source>
        <translation>%1 n&apos;a pas pu être lu : %2</translation>
    </message>
    <message>
        <source>%1, header: </source>
        <translation>%1, en-tête : </translation>
    </message>
    <message>
        <source>%1, record %2: </source>
        <translation>%1, enregistrement %2 : </translation>
    </message>
    <message>
        <source>the file ends inside this record or holds an unusable number</source>
        <translation>le fichier se termine dans cet enregistrement ou contient un nombre inutilisable</translation>
    </message>
    <message>
        <source>the count is larger than the rest of the file can hold</source>
        <translation>le nombre est plus grand que ce que le reste du fichier peut contenir</translation>
    </message>
    <message>
        <source>%1: %2 bytes follow the last record</source>
        <translation>%1 : %2 octets suivent le dernier enregistrement</translation>
    </message>
    <message>
        <source>the image size %1 x %2 is not plausible</source>
        <translation>la taille d&apos;image %1 x %2 n&apos;est pas plausible</translation>
    </message>
    <message>
        <source>camera %1 is listed twice</source>
        <translation>la caméra %1 est listée deux fois</translation>
    </message>
    <message>
        <source>the count of 2D points is larger than the rest of the file can hold</source>
        <translation>le nombre de points 2D est plus grand que ce que le reste du fichier peut contenir</translation>
    </message>
    <message>
        <source>the track length is larger than the rest of the file can hold</source>
        <translation>la longueur de la trace est plus grande que ce que le reste du fichier peut contenir</translation>
    </message>
    <message>
        <source>model id %1</source>
        <translation>identifiant de modèle %1</translation>
    </message>
    <message>
        <source>camera %1 uses the camera model %2, which cannot be imported (accepted: SIMPLE_PINHOLE, PINHOLE, SIMPLE_RADIAL, RADIAL, OPENCV)</source>
        <translation>la caméra %1 utilise le modèle de caméra %2, qui ne peut pas être importé (acceptés : SIMPLE_PINHOLE, PINHOLE, SIMPLE_RADIAL, RADIAL, OPENCV)</translation>
    </message>
    <message>
        <source>image %1 is listed twice</source>
        <translation>l&apos;image %1 est listée deux fois</translation>
    </message>
    <message>
        <source>image &quot;%1&quot; refers to camera %2, which %3 does not hold</source>
        <translation>l&apos;image « %1 » renvoie à la caméra %2, que %3 ne contient pas</translation>
    </message>
    <message>
        <source>the rotation of image &quot;%1&quot; is not a rotation</source>
        <translation>la rotation de l&apos;image « %1 » n&apos;est pas une rotation</translation>
    </message>
    <message>
        <source>camera %1 of image &quot;%2&quot; has no focal length or no image size</source>
        <translation>la caméra %1 de l&apos;image « %2 » n&apos;a pas de focale ou pas de taille d&apos;image</translation>
    </message>
    <message>
        <source>The tangential distortion (p1, p2) of the %1 cameras is not kept: the imported cameras hold radial distortion only.</source>
        <translation>La distorsion tangentielle (p1, p2) des %1 caméras n&apos;est pas conservée : les caméras importées ne portent qu&apos;une distorsion radiale.</translation>
    </message>
    <message>
        <source>a point is seen by image %1, which the model does not hold</source>
        <translation>un point est vu par l&apos;image %1, que le modèle ne contient pas</translation>
    </message>
    <message>
        <source>expected CAMERA_ID MODEL WIDTH HEIGHT PARAMS[]</source>
        <translation>CAMERA_ID MODEL WIDTH HEIGHT PARAMS[] attendus</translation>
    </message>
    <message>
        <source>camera parameter &quot;%1&quot; is not a usable number</source>
        <translation>le paramètre de caméra « %1 » n&apos;est pas un nombre utilisable</translation>
    </message>
    <message>
        <source>the camera model %1 has %2 parameters, the line holds %3</source>
        <translation>le modèle de caméra %1 a %2 paramètres, la ligne en contient %3</translation>
    </message>
    <message>
        <source>expected IMAGE_ID QW QX QY QZ TX TY TZ CAMERA_ID NAME</source>
        <translation>IMAGE_ID QW QX QY QZ TX TY TZ CAMERA_ID NAME attendus</translation>
    </message>
    <message>
        <source>expected POINT3D_ID X Y Z R G B ERROR and pairs IMAGE_ID POINT2D_IDX</source>
        <translation>POINT3D_ID X Y Z R G B ERROR et des paires IMAGE_ID POINT2D_IDX attendus</translation>
    </message>
    <message>
        <source>the track holds &quot;%1&quot;, which is not an image id</source>
        <translation>la trace contient « %1 », qui n&apos;est pas un identifiant d&apos;image</translation>
    </message>
    <message>
        <source>The model has no %1: it brings no 3D points.</source>
        <translation>Le modèle n&apos;a pas de %1 : il n&apos;apporte aucun point 3D.</translation>
    </message>
</context>
<context>
    <name>DatasetImport</name>
    <message>
        <source>The project file &quot;%1&quot; could not be read.</source>
        <translation>Le fichier de projet « %1 » n&apos;a pas pu être lu.</translation>
    </message>
    <message>
        <source>Wrong file format</source>
        <translation>Format de fichier incorrect</translation>
    </message>
    <message>
        <source>The index file &quot;%1&quot; could not be read.</source>
        <translation>Le fichier d&apos;index « %1 » n&apos;a pas pu être lu.</translation>
    </message>
    <message>
        <source>The index holds %1 shots but %2 cameras: no camera was imported.</source>
        <translation>L&apos;index contient %1 prises de vue mais %2 caméras : aucune caméra n&apos;a été importée.</translation>
    </message>
    <message>
        <source>Imported dataset error!</source>
        <translation>Erreur dans le jeu de données importé !</translation>
    </message>
    <message>
        <source>No model found in the specified dataset!</source>
        <translation>Aucun modèle trouvé dans le jeu de données indiqué !</translation>
    </message>
</context>
<context>
    <name>DatasetState</name>
    <message>
        <source>Wrong file format</source>
        <translation>Format de fichier incorrect</translation>
    </message>
    <message>
        <source>The model file &quot;%1&quot; does not exist.</source>
        <translation>Le fichier de modèle « %1 » n&apos;existe pas.</translation>
    </message>
    <message>
        <source>Imported dataset error!</source>
        <translation>Erreur dans le jeu de données importé !</translation>
    </message>
    <message>
        <source>The dataset lists %1 photographs but only %2 cameras.</source>
        <translation>Le jeu de données liste %1 photographies mais seulement %2 caméras.</translation>
    </message>
    <message>
        <source>The dataset lists no photograph.</source>
        <translation>Le jeu de données ne liste aucune photographie.</translation>
    </message>
    <message>
        <source>None of the %1 photographs of the dataset was found.</source>
        <translation>Aucune des %1 photographies du jeu de données n&apos;a été trouvée.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: its camera %2</source>
        <translation>« %1 » : sa caméra %2</translation>
    </message>
    <message>
        <source>These shots have cameras that cannot be used:
%1</source>
        <translation>Ces prises de vue ont des caméras inutilisables :
%1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is neither a Polyforge project (.pfp), an Orvelle index file (.orx)
nor a reconstruction (COLMAP cameras, images and points3D .txt or .bin, .nvm, Bundler .out, Metashape .xml, transforms.json, Meshroom .sfm, OpenMVG sfm_data.json).</source>
        <translation>« %1 » n&apos;est ni un projet Polyforge (.pfp), ni un fichier d&apos;index Orvelle (.orx),
ni une reconstruction (cameras, images et points3D COLMAP en .txt ou .bin, .nvm, .out Bundler, .xml Metashape, transforms.json, .sfm Meshroom, sfm_data.json OpenMVG).</translation>
    </message>
    <message>
        <source>Looked for in: %1</source>
        <translation>Recherchées dans : %1</translation>
    </message>
</context>
<context>
    <name>DepthComputationThread</name>
    <message>
        <source>Depths not computed</source>
        <translation>Profondeurs non calculées</translation>
    </message>
    <message>
        <source>OpenGL could not be used to render the model: %1</source>
        <translation>OpenGL n&apos;a pas pu servir à dessiner le modèle : %1</translation>
    </message>
    <message>
        <source>Model not found</source>
        <translation>Modèle introuvable</translation>
    </message>
    <message>
        <source>The model file &quot;%1&quot; does not exist. No depths were computed.</source>
        <translation>Le fichier de modèle « %1 » n&apos;existe pas. Aucune profondeur n&apos;a été calculée.</translation>
    </message>
    <message>
        <source>the file holds no vertex</source>
        <translation>le fichier ne contient aucun sommet</translation>
    </message>
    <message>
        <source>Model not loaded</source>
        <translation>Modèle non chargé</translation>
    </message>
    <message>
        <source>The model &quot;%1&quot; could not be read (%2). No depths were computed.</source>
        <translation>Le modèle « %1 » n&apos;a pas pu être lu (%2). Aucune profondeur n&apos;a été calculée.</translation>
    </message>
    <message>
        <source>Model read only in part</source>
        <translation>Modèle lu en partie seulement</translation>
    </message>
    <message>
        <source>The model &quot;%1&quot; was read only in part (%2). The depths are computed on what was read.</source>
        <translation>Le modèle « %1 » n&apos;a été lu qu&apos;en partie (%2). Les profondeurs sont calculées sur ce qui a été lu.</translation>
    </message>
</context>
<context>
    <name>DepthStepType</name>
    <message>
        <source>Depths</source>
        <translation>Profondeurs</translation>
    </message>
    <message>
        <source>The depths are not computed: the dataset&apos;s own are used.</source>
        <translation>Les profondeurs ne sont pas calculées : celles du jeu de données sont utilisées.</translation>
    </message>
    <message>
        <source>No index file was written.</source>
        <translation>Aucun fichier d&apos;index n&apos;a été écrit.</translation>
    </message>
    <message>
        <source>Depths not computed</source>
        <translation>Profondeurs non calculées</translation>
    </message>
    <message>
        <source>The depth job did not report every shot.</source>
        <translation>La tâche des profondeurs n&apos;a pas rendu compte de chaque prise de vue.</translation>
    </message>
    <message>
        <source>%1 of %2 shots have a depth.</source>
        <translation>%1 prises de vue sur %2 ont une profondeur.</translation>
    </message>
</context>
<context>
    <name>DownsamplingThread</name>
    <message>
        <source>OpenGL is not usable: %1</source>
        <translation>OpenGL n&apos;est pas utilisable : %1</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>introuvable</translation>
    </message>
    <message>
        <source>%1 not found</source>
        <translation>%1 introuvable</translation>
    </message>
    <message>
        <source>Could not create the folder %1.</source>
        <translation>Impossible de créer le dossier %1.</translation>
    </message>
    <message>
        <source>Could not read the image %1: %2</source>
        <translation>Impossible de lire l&apos;image %1 : %2</translation>
    </message>
    <message>
        <source>Could not load the image %1 on the graphics card: %2</source>
        <translation>Impossible de charger l&apos;image %1 sur la carte graphique : %2</translation>
    </message>
    <message>
        <source>Could not write the thumbnail %1: %2</source>
        <translation>Impossible d&apos;écrire la vignette %1 : %2</translation>
    </message>
    <message>
        <source>%1 is a link: thumbnails are written only into a folder beside the photographs, never through a link to elsewhere</source>
        <translation>%1 est un lien : les vignettes ne sont écrites que dans un dossier à côté des photographies, jamais à travers un lien qui mène ailleurs</translation>
    </message>
    <message>
        <source>The thumbnail %1 may not have reached the disk: %2</source>
        <translation>La vignette %1 n&apos;a peut-être pas été écrite sur le disque : %2</translation>
    </message>
</context>
<context>
    <name>GLDownsampler</name>
    <message>
        <source>The picture could not be turned into a texture.</source>
        <translation>L&apos;image n&apos;a pas pu être transformée en texture.</translation>
    </message>
</context>
<context>
    <name>IndexValues</name>
    <message>
        <source>Up direction</source>
        <translation>Direction du haut</translation>
    </message>
    <message>
        <source>The up direction is (0, 0, 0), which points nowhere. Choose an axis or type a direction.</source>
        <translation>La direction du haut est (0, 0, 0), qui ne pointe nulle part. Choisissez un axe ou saisissez une direction.</translation>
    </message>
    <message>
        <source>Index generation status</source>
        <translation>État de la génération de l&apos;index</translation>
    </message>
    <message>
        <source>No index file was written.</source>
        <translation>Aucun fichier d&apos;index n&apos;a été écrit.</translation>
    </message>
    <message>
        <source>No model is chosen for the index.</source>
        <translation>Aucun modèle n&apos;est choisi pour l&apos;index.</translation>
    </message>
    <message>
        <source>The multiresolution model &quot;%1&quot; was not built for this dataset: press Update in the &quot;3D Model&quot; box, or use the input model.</source>
        <translation>Le modèle multirésolution « %1 » n&apos;a pas été construit pour ce jeu de données : cliquez sur Lancer dans le cadre « Modèle 3D », ou utilisez le modèle d&apos;entrée.</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>c&apos;est un dossier</translation>
    </message>
    <message>
        <source>the folder &quot;%1&quot; does not exist</source>
        <translation>le dossier « %1 » n&apos;existe pas</translation>
    </message>
    <message>
        <source>the folder &quot;%1&quot; cannot be written to (%2)</source>
        <translation>le dossier « %1 » n&apos;est pas accessible en écriture (%2)</translation>
    </message>
    <message>
        <source>Row %1 of the background dome needs a number as height and three numbers as RGB color.</source>
        <translation>La ligne %1 du dôme d&apos;arrière-plan doit avoir un nombre comme hauteur et trois nombres comme couleur RVB.</translation>
    </message>
    <message>
        <source>The index file has been successfully generated!</source>
        <translation>Le fichier d&apos;index a été généré avec succès !</translation>
    </message>
    <message>
        <source>the system refused to write it</source>
        <translation>le système a refusé de l&apos;écrire</translation>
    </message>
    <message>
        <source>The index file &quot;%1&quot; could not be written: %2.</source>
        <translation>Le fichier d&apos;index « %1 » n&apos;a pas pu être écrit : %2.</translation>
    </message>
    <message>
        <source>Model not found</source>
        <translation>Modèle introuvable</translation>
    </message>
    <message>
        <source>The model &quot;%1&quot; is not on this disk. The index names it all the same: the viewer looks for it from the index&apos;s folder.</source>
        <translation>Le modèle « %1 » n&apos;est pas sur ce disque. L&apos;index le nomme quand même : la visionneuse le cherche à partir du dossier de l&apos;index.</translation>
    </message>
    <message>
        <source>it %1</source>
        <translation>il %1</translation>
    </message>
    <message>
        <source>Written to &quot;%1&quot;.</source>
        <translation>Écrit dans « %1 ».</translation>
    </message>
    <message>
        <source>No relative path leads to these files; they are written as they are:</source>
        <translation>Aucun chemin relatif ne mène à ces fichiers ; ils sont écrits tels quels :</translation>
    </message>
</context>
<context>
    <name>JobMessages</name>
    <message>
        <source>... and %1 more.</source>
        <translation>... et %1 de plus.</translation>
    </message>
    <message>
        <source>Photograph %1: %2</source>
        <translation>Photographie %1 : %2</translation>
    </message>
    <message>
        <source>Thumbnails not made</source>
        <translation>Vignettes non créées</translation>
    </message>
    <message>
        <source>1 thumbnail could not be made:</source>
        <translation>1 vignette n&apos;a pas pu être créée :</translation>
    </message>
    <message>
        <source>%1 thumbnails could not be made:</source>
        <translation>%1 vignettes n&apos;ont pas pu être créées :</translation>
    </message>
    <message>
        <source>Photographs not read</source>
        <translation>Photographies non lues</translation>
    </message>
    <message>
        <source>1 photograph could not be read; its colours were not compared:</source>
        <translation>1 photographie n&apos;a pas pu être lue ; ses couleurs n&apos;ont pas été comparées :</translation>
    </message>
    <message>
        <source>%1 photographs could not be read; their colours were not compared:</source>
        <translation>%1 photographies n&apos;ont pas pu être lues ; leurs couleurs n&apos;ont pas été comparées :</translation>
    </message>
    <message>
        <source>Photographs not found</source>
        <translation>Photographies introuvables</translation>
    </message>
    <message>
        <source>1 photograph was not found:</source>
        <translation>1 photographie est introuvable :</translation>
    </message>
    <message>
        <source>%1 photographs were not found:</source>
        <translation>%1 photographies sont introuvables :</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Orvelle Index Generator</source>
        <translation>Générateur d&apos;index Orvelle</translation>
    </message>
    <message>
        <source>Data overview</source>
        <translation>Aperçu des données</translation>
    </message>
    <message>
        <source>Scene name</source>
        <translation>Nom de la scène</translation>
    </message>
    <message>
        <source>Data precomputation</source>
        <translation>Précalcul des données</translation>
    </message>
    <message>
        <source>Thumbnails</source>
        <translation>Vignettes</translation>
    </message>
    <message>
        <source>do not compute</source>
        <translation>ne pas calculer</translation>
    </message>
    <message>
        <source>use same of hires</source>
        <translation>utiliser celles en haute résolution</translation>
    </message>
    <message>
        <source>downsample hires</source>
        <translation>réduire la haute résolution</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Lancer</translation>
    </message>
    <message>
        <source>Depth of each view</source>
        <translation>Profondeur de chaque vue</translation>
    </message>
    <message>
        <source>compute from 3D model</source>
        <translation>calculer depuis le modèle 3D</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Image ordering and clustering</source>
        <translation>Ordre et regroupement des images</translation>
    </message>
    <message>
        <source>ordering function</source>
        <translation>fonction d&apos;ordre</translation>
    </message>
    <message>
        <source>clustering function</source>
        <translation>fonction de regroupement</translation>
    </message>
    <message>
        <source>time of shot</source>
        <translation>heure de la prise</translation>
    </message>
    <message>
        <source>direction of shot</source>
        <translation>direction de la prise</translation>
    </message>
    <message>
        <source>position of shot</source>
        <translation>position de la prise</translation>
    </message>
    <message>
        <source>position of target</source>
        <translation>position de la cible</translation>
    </message>
    <message>
        <source>color distribution</source>
        <translation>distribution des couleurs</translation>
    </message>
    <message>
        <source>color spatial distribution</source>
        <translation>distribution spatiale des couleurs</translation>
    </message>
    <message>
        <source>cluster with same ordering function</source>
        <translation>regrouper avec la même fonction que l&apos;ordre</translation>
    </message>
    <message>
        <source>3D Model</source>
        <translation>Modèle 3D</translation>
    </message>
    <message>
        <source>use input model</source>
        <translation>utiliser le modèle d&apos;entrée</translation>
    </message>
    <message>
        <source>use (and compute) Tessel</source>
        <translation>utiliser (et calculer) Tessel</translation>
    </message>
    <message>
        <source>point cloud</source>
        <translation>nuage de points</translation>
    </message>
    <message>
        <source>View settings</source>
        <translation>Réglages de la visionneuse</translation>
    </message>
    <message>
        <source>Thumbnai lbar</source>
        <translation>Barre de vignettes</translation>
    </message>
    <message>
        <source>Screen position</source>
        <translation>Position à l&apos;écran</translation>
    </message>
    <message>
        <source>top</source>
        <translation>haut</translation>
    </message>
    <message>
        <source>bottom</source>
        <translation>bas</translation>
    </message>
    <message>
        <source>Framelets</source>
        <translation>Cadres</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>Couleur</translation>
    </message>
    <message>
        <source>Position %</source>
        <translation>Position %</translation>
    </message>
    <message>
        <source>Projection</source>
        <translation>Projection</translation>
    </message>
    <message>
        <source>Reliability</source>
        <translation>Fiabilité</translation>
    </message>
    <message>
        <source>Lighting</source>
        <translation>Éclairage</translation>
    </message>
    <message>
        <source>enable</source>
        <translation>activer</translation>
    </message>
    <message>
        <source>Background</source>
        <translation>Arrière-plan</translation>
    </message>
    <message>
        <source>Color at infinity</source>
        <translation>Couleur à l&apos;infini</translation>
    </message>
    <message>
        <source>use ortho plane</source>
        <translation>utiliser un plan orthogonal</translation>
    </message>
    <message>
        <source>use colored dome</source>
        <translation>utiliser un dôme coloré</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>3</source>
        <translation>3</translation>
    </message>
    <message>
        <source>4</source>
        <translation>4</translation>
    </message>
    <message>
        <source>5</source>
        <translation>5</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Hauteur</translation>
    </message>
    <message>
        <source>RGB Color</source>
        <translation>Couleur RVB</translation>
    </message>
    <message>
        <source>-1</source>
        <translation>-1</translation>
    </message>
    <message>
        <source>0.6,0.6,0.6</source>
        <translation>0.6,0.6,0.6</translation>
    </message>
    <message>
        <source>-0.05</source>
        <translation>-0.05</translation>
    </message>
    <message>
        <source>0.65,0.65,0.65</source>
        <translation>0.65,0.65,0.65</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>0.7,0.85,0.85</source>
        <translation>0.7,0.85,0.85</translation>
    </message>
    <message>
        <source>0.7</source>
        <translation>0.7</translation>
    </message>
    <message>
        <source>0.4,0.6,0.8</source>
        <translation>0.4,0.6,0.8</translation>
    </message>
    <message>
        <source>Camera</source>
        <translation>Caméra</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Vitesse</translation>
    </message>
    <message>
        <source>Start shot</source>
        <translation>Prise de vue de départ</translation>
    </message>
    <message>
        <source>Up-direction</source>
        <translation>Direction du haut</translation>
    </message>
    <message>
        <source>X</source>
        <translation>X</translation>
    </message>
    <message>
        <source>Y</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>Z</source>
        <translation>Z</translation>
    </message>
    <message>
        <source>-X</source>
        <translation>-X</translation>
    </message>
    <message>
        <source>+X</source>
        <translation>+X</translation>
    </message>
    <message>
        <source>-Y</source>
        <translation>-Y</translation>
    </message>
    <message>
        <source>+Y</source>
        <translation>+Y</translation>
    </message>
    <message>
        <source>-Z</source>
        <translation>-Z</translation>
    </message>
    <message>
        <source>+Z</source>
        <translation>+Z</translation>
    </message>
    <message>
        <source>preview</source>
        <translation>aperçu</translation>
    </message>
    <message>
        <source>Start view</source>
        <translation>Vue de départ</translation>
    </message>
    <message>
        <source>Output index (orx)</source>
        <translation>Index de sortie (orx)</translation>
    </message>
    <message>
        <source>Filename</source>
        <translation>Nom de fichier</translation>
    </message>
    <message>
        <source>use relative file paths</source>
        <translation>utiliser des chemins relatifs</translation>
    </message>
    <message>
        <source>Generate Orvelle index file</source>
        <translation>Générer le fichier d&apos;index Orvelle</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Import...</source>
        <translation>Importer...</translation>
    </message>
    <message>
        <source>Ctrl+I</source>
        <translation>Ctrl+I</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>Import a dataset: File &gt; Import, or drop its file onto the window.</source>
        <translation>Importez un jeu de données : Fichier &gt; Importer, ou déposez son fichier sur la fenêtre.</translation>
    </message>
    <message>
        <source>Jobs are still running.</source>
        <translation>Des tâches sont encore en cours.</translation>
    </message>
    <message>
        <source>Computed values have not been written to an index file yet.</source>
        <translation>Des valeurs calculées n&apos;ont pas encore été écrites dans un fichier d&apos;index.</translation>
    </message>
    <message>
        <source>Close the window and discard them?</source>
        <translation>Fermer la fenêtre et les abandonner ?</translation>
    </message>
    <message>
        <source>Discard the work?</source>
        <translation>Abandonner le travail ?</translation>
    </message>
    <message>
        <source>Select 3D model</source>
        <translation>Choisir le modèle 3D</translation>
    </message>
    <message>
        <source>PLY model (*.ply);;OBJ model(*.obj);;Tessel model (*.tsl)</source>
        <translation>Modèle PLY (*.ply);;Modèle OBJ (*.obj);;Modèle Tessel (*.tsl)</translation>
    </message>
    <message>
        <source>Select low resolution 3D model</source>
        <translation>Choisir le modèle 3D basse résolution</translation>
    </message>
    <message>
        <source>PLY model (*.ply);;OBJ model(*.obj)</source>
        <translation>Modèle PLY (*.ply);;Modèle OBJ (*.obj)</translation>
    </message>
    <message>
        <source>Select Tessel 3D model</source>
        <translation>Choisir le modèle 3D Tessel</translation>
    </message>
    <message>
        <source>Tessel model (*.tsl)</source>
        <translation>Modèle Tessel (*.tsl)</translation>
    </message>
    <message>
        <source>Save Orvelle index as</source>
        <translation>Enregistrer l&apos;index Orvelle sous</translation>
    </message>
    <message>
        <source>Orvelle index file (*.orx)</source>
        <translation>Fichier d&apos;index Orvelle (*.orx)</translation>
    </message>
    <message>
        <source>3D model (*.ply *.stl *.off *.obj *.vmi *.PLY *.STL *.OFF *.OBJ *.VMI)</source>
        <translation>Modèle 3D (*.ply *.stl *.off *.obj *.vmi *.PLY *.STL *.OFF *.OBJ *.VMI)</translation>
    </message>
    <message>
        <source>Open file</source>
        <translation>Ouvrir un fichier</translation>
    </message>
    <message>
        <source>Reconstruction imported</source>
        <translation>Reconstruction importée</translation>
    </message>
    <message>
        <source>Too many models</source>
        <translation>Trop de modèles</translation>
    </message>
    <message>
        <source>More than one model has been found in the specified dataset.
Should I use &quot;%1&quot; ?</source>
        <translation>Plus d&apos;un modèle a été trouvé dans le jeu de données indiqué.
Faut-il utiliser « %1 » ?</translation>
    </message>
    <message>
        <source>Imported 1 shot from %1.</source>
        <translation>1 prise de vue importée depuis %1.</translation>
    </message>
    <message>
        <source>Imported %1 shots from %2.</source>
        <translation>%1 prises de vue importées depuis %2.</translation>
    </message>
    <message>
        <source>Depths</source>
        <translation>Profondeurs</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Stop the builder; the multiresolution model is not made</source>
        <translation>Arrêter le programme de construction ; le modèle multirésolution n&apos;est pas créé</translation>
    </message>
    <message>
        <source>Stop after the photograph being worked on; results already made are kept</source>
        <translation>Arrêter après la photographie en cours ; les résultats déjà obtenus sont gardés</translation>
    </message>
    <message>
        <source>%1: stopping...</source>
        <translation>%1 : arrêt en cours...</translation>
    </message>
    <message>
        <source>How much of the job is done</source>
        <translation>Quelle part de la tâche est faite</translation>
    </message>
    <message>
        <source>Running: %1...</source>
        <translation>En cours : %1...</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>arrêté</translation>
    </message>
    <message>
        <source>finished</source>
        <translation>terminé</translation>
    </message>
    <message>
        <source>ended</source>
        <translation>fini</translation>
    </message>
    <message>
        <source>%1 %2: %3</source>
        <translation>%1 : %2 ; %3</translation>
    </message>
    <message>
        <source>1 problem, see the message.</source>
        <translation>1 problème, voir le message.</translation>
    </message>
    <message>
        <source>%1 problems, see the messages.</source>
        <translation>%1 problèmes, voir les messages.</translation>
    </message>
    <message>
        <source>Ready!</source>
        <translation>Prêt !</translation>
    </message>
    <message>
        <source>Error!</source>
        <translation>Erreur !</translation>
    </message>
    <message>
        <source>The scene&apos;s name, shown by the viewer as the title of the scene</source>
        <translation>Le nom de la scène, que la visionneuse affiche comme titre de la scène</translation>
    </message>
    <message>
        <source>One row per photograph. Double-click a row to see the photograph; click a column title to sort the rows (the index keeps the shot order)</source>
        <translation>Une ligne par photographie. Double-cliquez sur une ligne pour voir la photographie ; cliquez sur un titre de colonne pour trier les lignes (l&apos;index garde l&apos;ordre des prises de vue)</translation>
    </message>
    <message>
        <source>Use thumbnails that already exist in a &quot;thumbnails&quot; folder beside the photographs; the viewer shows them in its thumbnail bar</source>
        <translation>Utiliser les vignettes qui existent déjà dans un dossier « thumbnails » à côté des photographies ; la visionneuse les montre dans sa barre de vignettes</translation>
    </message>
    <message>
        <source>Let the viewer use the full photographs as thumbnails (slow to load in the viewer&apos;s thumbnail bar)</source>
        <translation>Laisser la visionneuse utiliser les photographies entières comme vignettes (lent à charger dans sa barre de vignettes)</translation>
    </message>
    <message>
        <source>Make thumbnails of at most 256 pixels from the photographs, in a &quot;thumbnails&quot; folder beside them; existing ones are kept</source>
        <translation>Créer des vignettes d&apos;au plus 256 pixels à partir des photographies, dans un dossier « thumbnails » à côté d&apos;elles ; celles qui existent sont gardées</translation>
    </message>
    <message>
        <source>Find or make the thumbnails the viewer shows in its thumbnail bar</source>
        <translation>Trouver ou créer les vignettes que la visionneuse montre dans sa barre de vignettes</translation>
    </message>
    <message>
        <source>How many of the thumbnails are done</source>
        <translation>Combien de vignettes sont faites</translation>
    </message>
    <message>
        <source>Keep the depths the dataset already has (the viewer needs one per photograph)</source>
        <translation>Garder les profondeurs que le jeu de données a déjà (la visionneuse en a besoin d&apos;une par photographie)</translation>
    </message>
    <message>
        <source>Measure each photograph&apos;s depth on the 3D model; the viewer uses it to place the photograph in the scene</source>
        <translation>Mesurer la profondeur de chaque photographie sur le modèle 3D ; la visionneuse s&apos;en sert pour placer la photographie dans la scène</translation>
    </message>
    <message>
        <source>The low-resolution model the depths and the orientation preview are drawn from</source>
        <translation>Le modèle basse résolution à partir duquel les profondeurs et l&apos;aperçu de l&apos;orientation sont dessinés</translation>
    </message>
    <message>
        <source>Choose the low-resolution model file</source>
        <translation>Choisir le fichier du modèle basse résolution</translation>
    </message>
    <message>
        <source>Measure the depth of every photograph on the low-resolution model</source>
        <translation>Mesurer la profondeur de chaque photographie sur le modèle basse résolution</translation>
    </message>
    <message>
        <source>How many of the depths are done</source>
        <translation>Combien de profondeurs sont faites</translation>
    </message>
    <message>
        <source>Group the photographs with the same weights as the order</source>
        <translation>Regrouper les photographies avec les mêmes poids que l&apos;ordre</translation>
    </message>
    <message>
        <source>Put the photographs in the order the viewer walks through them, and group similar neighbours into clusters</source>
        <translation>Mettre les photographies dans l&apos;ordre où la visionneuse les parcourt, et regrouper les voisines semblables</translation>
    </message>
    <message>
        <source>How far the ordering and clustering has come</source>
        <translation>Où en sont l&apos;ordre et le regroupement</translation>
    </message>
    <message>
        <source>The viewer shows this model as it is</source>
        <translation>La visionneuse montre ce modèle tel quel</translation>
    </message>
    <message>
        <source>The 3D model the viewer shows</source>
        <translation>Le modèle 3D que la visionneuse montre</translation>
    </message>
    <message>
        <source>Choose the 3D model file</source>
        <translation>Choisir le fichier du modèle 3D</translation>
    </message>
    <message>
        <source>The viewer shows a multiresolution version of the model, which loads quickly and streams detail; build it with Update</source>
        <translation>La visionneuse montre une version multirésolution du modèle, qui se charge vite et affine les détails au fur et à mesure ; construisez-la avec Lancer</translation>
    </message>
    <message>
        <source>Where the multiresolution model is written</source>
        <translation>Où le modèle multirésolution est écrit</translation>
    </message>
    <message>
        <source>Choose where the multiresolution model is written</source>
        <translation>Choisir où le modèle multirésolution est écrit</translation>
    </message>
    <message>
        <source>Whether the multiresolution model has been built</source>
        <translation>Si le modèle multirésolution a été construit</translation>
    </message>
    <message>
        <source>The model is a point cloud, not a surface</source>
        <translation>Le modèle est un nuage de points, pas une surface</translation>
    </message>
    <message>
        <source>Build the multiresolution model with the builder program</source>
        <translation>Construire le modèle multirésolution avec le programme de construction</translation>
    </message>
    <message>
        <source>How far the builder has come</source>
        <translation>Où en est le programme de construction</translation>
    </message>
    <message>
        <source>Where the viewer puts its bar of thumbnails: at the top or the bottom of its window</source>
        <translation>Où la visionneuse place sa barre de vignettes : en haut ou en bas de sa fenêtre</translation>
    </message>
    <message>
        <source>The colour of the frames the viewer draws where each photograph was taken</source>
        <translation>La couleur des cadres que la visionneuse dessine là où chaque photographie a été prise</translation>
    </message>
    <message>
        <source>Where the viewer draws each photograph&apos;s frame along its viewing direction, in percent of the photograph&apos;s depth</source>
        <translation>Où la visionneuse dessine le cadre de chaque photographie le long de sa direction de visée, en pourcentage de la profondeur de la photographie</translation>
    </message>
    <message>
        <source>How strongly the viewer trusts the photographs when it projects them onto the model</source>
        <translation>À quel point la visionneuse fait confiance aux photographies quand elle les projette sur le modèle</translation>
    </message>
    <message>
        <source>The viewer lights the model instead of showing its plain colours</source>
        <translation>La visionneuse éclaire le modèle au lieu de montrer ses couleurs brutes</translation>
    </message>
    <message>
        <source>The colour the viewer shows where there is no model</source>
        <translation>La couleur que la visionneuse montre là où il n&apos;y a pas de modèle</translation>
    </message>
    <message>
        <source>The viewer shows a flat background plane behind the model</source>
        <translation>La visionneuse montre un plan d&apos;arrière-plan plat derrière le modèle</translation>
    </message>
    <message>
        <source>The viewer shows a dome around the scene, coloured by height</source>
        <translation>La visionneuse montre un dôme autour de la scène, coloré selon la hauteur</translation>
    </message>
    <message>
        <source>The dome&apos;s colours: one row per height (0 to 1 from the horizon up), the colour as three numbers from 0 to 1</source>
        <translation>Les couleurs du dôme : une ligne par hauteur (de 0 à 1 depuis l&apos;horizon vers le haut), la couleur en trois nombres de 0 à 1</translation>
    </message>
    <message>
        <source>How fast the viewer moves its camera between photographs</source>
        <translation>La vitesse à laquelle la visionneuse déplace sa caméra entre les photographies</translation>
    </message>
    <message>
        <source>The photograph the viewer starts from (counted from 1, in table order)</source>
        <translation>La photographie d&apos;où part la visionneuse (comptée à partir de 1, dans l&apos;ordre du tableau)</translation>
    </message>
    <message>
        <source>X of the direction that is up in the model&apos;s world; the viewer keeps it vertical</source>
        <translation>X de la direction qui est le haut dans le monde du modèle ; la visionneuse la garde verticale</translation>
    </message>
    <message>
        <source>Y of the direction that is up in the model&apos;s world; the viewer keeps it vertical</source>
        <translation>Y de la direction qui est le haut dans le monde du modèle ; la visionneuse la garde verticale</translation>
    </message>
    <message>
        <source>Z of the direction that is up in the model&apos;s world; the viewer keeps it vertical</source>
        <translation>Z de la direction qui est le haut dans le monde du modèle ; la visionneuse la garde verticale</translation>
    </message>
    <message>
        <source>Up is minus X</source>
        <translation>Le haut est moins X</translation>
    </message>
    <message>
        <source>Up is plus X</source>
        <translation>Le haut est plus X</translation>
    </message>
    <message>
        <source>Up is minus Y</source>
        <translation>Le haut est moins Y</translation>
    </message>
    <message>
        <source>Up is plus Y</source>
        <translation>Le haut est plus Y</translation>
    </message>
    <message>
        <source>Up is minus Z</source>
        <translation>Le haut est moins Z</translation>
    </message>
    <message>
        <source>Up is plus Z</source>
        <translation>Le haut est plus Z</translation>
    </message>
    <message>
        <source>Show the model as the viewer will, from the start photograph with the up direction vertical</source>
        <translation>Montrer le modèle comme la visionneuse le montrera, depuis la photographie de départ avec la direction du haut verticale</translation>
    </message>
    <message>
        <source>Undo the turns and moves made with the mouse in the preview: back to the view from the start photograph</source>
        <translation>Annuler les rotations et déplacements faits à la souris dans l&apos;aperçu : retour à la vue depuis la photographie de départ</translation>
    </message>
    <message>
        <source>The index file the viewer loads</source>
        <translation>Le fichier d&apos;index que la visionneuse charge</translation>
    </message>
    <message>
        <source>Choose where the index file is written</source>
        <translation>Choisir où le fichier d&apos;index est écrit</translation>
    </message>
    <message>
        <source>Write file names relative to the index file&apos;s folder, so the dataset can be moved as a whole</source>
        <translation>Écrire les noms de fichiers relativement au dossier du fichier d&apos;index, pour pouvoir déplacer le jeu de données d&apos;un bloc</translation>
    </message>
    <message>
        <source>Write the index file; possible once every column of the table is filled</source>
        <translation>Écrire le fichier d&apos;index ; possible une fois que chaque colonne du tableau est remplie</translation>
    </message>
    <message>
        <source>How much this feature counts when the viewer&apos;s order of photographs is made</source>
        <translation>Le poids de cette caractéristique dans l&apos;ordre des photographies de la visionneuse</translation>
    </message>
    <message>
        <source>How much this feature counts when neighbouring photographs are grouped into clusters</source>
        <translation>Le poids de cette caractéristique quand les photographies voisines sont regroupées</translation>
    </message>
    <message>
        <source>C (%1, %2, %3)  f %4 mm</source>
        <translation>C (%1, %2, %3)  f %4 mm</translation>
    </message>
    <message>
        <source>Hires images</source>
        <translation>Images haute résolution</translation>
    </message>
    <message>
        <source>Lowres thumbnails</source>
        <translation>Vignettes basse résolution</translation>
    </message>
    <message>
        <source>Shots</source>
        <translation>Prises de vue</translation>
    </message>
    <message>
        <source>Order</source>
        <translation>Ordre</translation>
    </message>
    <message>
        <source>Semantic</source>
        <translation>Sémantique</translation>
    </message>
    <message>
        <source>More steps</source>
        <translation>Autres étapes</translation>
    </message>
    <message>
        <source>From the cameras</source>
        <translation>D&apos;après les caméras</translation>
    </message>
    <message>
        <source>The mean of the cameras&apos; image-up axes, the nearest axis when within 10 degrees</source>
        <translation>La moyenne des axes « haut de l&apos;image » des caméras, l&apos;axe le plus proche s&apos;il est à moins de 10 degrés</translation>
    </message>
    <message>
        <source>No camera says where up is.</source>
        <translation>Aucune caméra n&apos;indique où est le haut.</translation>
    </message>
    <message>
        <source>Up direction from the cameras: %1.</source>
        <translation>Direction du haut d&apos;après les caméras : %1.</translation>
    </message>
    <message>
        <source>Index written to %1.</source>
        <translation>Index écrit dans %1.</translation>
    </message>
    <message>
        <source>The photographs are not in %1. Choose their folder</source>
        <translation>Les photographies ne sont pas dans %1. Choisissez leur dossier</translation>
    </message>
    <message>
        <source>Choose a mesh...</source>
        <translation>Choisir un maillage...</translation>
    </message>
    <message>
        <source>Use the points</source>
        <translation>Utiliser les points</translation>
    </message>
    <message>
        <source>Mesh of the reconstruction</source>
        <translation>Maillage de la reconstruction</translation>
    </message>
    <message>
        <source>The reconstruction brings its cameras and 3D points but no mesh.
Depths and the viewer are best with a mesh of the scene (PLY, OBJ, OFF or STL), made from the same reconstruction. Without one, the points are the model.</source>
        <translation>La reconstruction apporte ses caméras et ses points 3D, mais aucun maillage.
Les profondeurs et la visionneuse donnent de meilleurs résultats avec un maillage de la scène (PLY, OBJ, OFF ou STL) issu de la même reconstruction. Sans maillage, les points servent de modèle.</translation>
    </message>
    <message>
        <source>Choose the mesh of the reconstruction</source>
        <translation>Choisir le maillage de la reconstruction</translation>
    </message>
    <message>
        <source>All supported files (*.pfp *.orx cameras.txt cameras.bin images.txt images.bin points3D.txt points3D.bin *.nvm *.NVM *.out *.OUT *.xml *.XML *.json *.JSON *.sfm *.SFM);;Polyforge project (*.pfp);;Orvelle index file (*.orx);;Reconstruction (cameras.txt cameras.bin images.txt images.bin points3D.txt points3D.bin *.nvm *.NVM *.out *.OUT);;Metashape cameras (*.xml *.XML);;transforms.json (*.json *.JSON);;Meshroom (*.sfm *.SFM);;OpenMVG (sfm_data*.json)</source>
        <translation>Tous les fichiers pris en charge (*.pfp *.orx cameras.txt cameras.bin images.txt images.bin points3D.txt points3D.bin *.nvm *.NVM *.out *.OUT *.xml *.XML *.json *.JSON *.sfm *.SFM);;Projet Polyforge (*.pfp);;Fichier d&apos;index Orvelle (*.orx);;Reconstruction (cameras.txt cameras.bin images.txt images.bin points3D.txt points3D.bin *.nvm *.NVM *.out *.OUT);;Caméras Metashape (*.xml *.XML);;transforms.json (*.json *.JSON);;Meshroom (*.sfm *.SFM);;OpenMVG (sfm_data*.json)</translation>
    </message>
    <message>
        <source>Import &quot;%1&quot; and discard them?</source>
        <translation>Importer « %1 » et les abandonner ?</translation>
    </message>
    <message>
        <source>Jobs stopped.</source>
        <translation>Tâches arrêtées.</translation>
    </message>
    <message>
        <source>Import cancelled.</source>
        <translation>Importation annulée.</translation>
    </message>
    <message>
        <source>No model chosen</source>
        <translation>Aucun modèle choisi</translation>
    </message>
    <message>
        <source>Every model of the dataset was declined, so it was not imported. The dataset shown before is kept.</source>
        <translation>Tous les modèles du jeu de données ont été refusés ; il n&apos;a donc pas été importé. Le jeu de données affiché auparavant est conservé.</translation>
    </message>
    <message>
        <source>Their rows are greyed in the Data overview: select one and press Delete (or use the context menu) to leave it out.</source>
        <translation>Leurs lignes sont grisées dans l&apos;Aperçu des données : sélectionnez-en une et appuyez sur Delete (ou utilisez le menu contextuel) pour l&apos;écarter.</translation>
    </message>
    <message>
        <source>start view</source>
        <translation>vue de départ</translation>
    </message>
    <message>
        <source>Back to the start shot, as the viewer opens</source>
        <translation>Revenir à la prise de vue de départ, comme à l&apos;ouverture de la visionneuse</translation>
    </message>
    <message>
        <source>The preview cannot show the model: %1</source>
        <translation>L&apos;aperçu ne peut pas montrer le modèle : %1</translation>
    </message>
    <message>
        <source>Leave out</source>
        <translation>Écarter</translation>
    </message>
    <message>
        <source>Leave out every shot whose photograph is missing</source>
        <translation>Écarter toutes les prises de vue dont la photographie manque</translation>
    </message>
    <message>
        <source>1 shot left out.</source>
        <translation>1 prise de vue écartée.</translation>
    </message>
    <message>
        <source>%1 shots left out.</source>
        <translation>%1 prises de vue écartées.</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Keyboard shortcuts</source>
        <translation>Raccourcis clavier</translation>
    </message>
    <message>
        <source>Ctrl+I	Import a dataset
Esc	Close the window (asks first while jobs run or values are unwritten)
Double click on a row	Open its photograph

In the photograph viewer:
Right, Left	Next and previous photograph (also Page Down, Page Up)
+, -, mouse wheel	Zoom in and out
F	Fit the photograph to the window
Esc	Close the viewer</source>
        <translation>Ctrl+I	Importer un jeu de données
Esc	Fermer la fenêtre (demande confirmation si des tâches tournent ou si des valeurs ne sont pas écrites)
Double-clic sur une ligne	Ouvrir sa photographie

Dans la visionneuse de photographies :
Flèche droite, flèche gauche	Photographie suivante et précédente (aussi Page Down, Page Up)
+, -, molette de la souris	Zoom avant et arrière
F	Faire tenir la photographie dans la fenêtre
Esc	Fermer la visionneuse</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>About Orvelle Index Generator</source>
        <translation>À propos du Générateur d&apos;index Orvelle</translation>
    </message>
    <message>
        <source>Orvelle Index Generator %1
Prepares a dataset of calibrated photographs registered to a 3D model and writes the index file a viewer loads. The same is done without a window by orvelle-index.

Licence: not published yet; every right is reserved by the Orvelle Index Generator developers.</source>
        <translation>Générateur d&apos;index Orvelle %1
Prépare un jeu de données de photographies calibrées recalées sur un modèle 3D et écrit le fichier d&apos;index que charge une visionneuse. orvelle-index fait de même sans fenêtre.

Licence : pas encore publiée ; tous droits réservés par les développeurs du Générateur d&apos;index Orvelle.</translation>
    </message>
    <message>
        <source>%1 (not found)</source>
        <translation>%1 (introuvable)</translation>
    </message>
    <message>
        <source>Not found: %1
Looked for at %2
Delete, or the context menu, leaves the shot out.</source>
        <translation>Introuvable : %1
Cherchée à l&apos;emplacement %2
Delete, ou le menu contextuel, écarte la prise de vue.</translation>
    </message>
</context>
<context>
    <name>MeshroomSfm</name>
    <message>
        <source>the file version (&quot;version&quot;: [&quot;1&quot;, &quot;2&quot;, &quot;n&quot;]) is missing or not 1.x</source>
        <translation>la version du fichier (&quot;version&quot;: [&quot;1&quot;, &quot;2&quot;, &quot;n&quot;]) manque ou n&apos;est pas 1.x</translation>
    </message>
    <message>
        <source>intrinsic %1 %2</source>
        <translation>paramètres internes %1 %2</translation>
    </message>
    <message>
        <source>pose %1 needs a rotation (nine values holding a rotation) and a center</source>
        <translation>la pose %1 demande une rotation (neuf valeurs formant une rotation) et un centre</translation>
    </message>
    <message>
        <source>view %1 has no path</source>
        <translation>la vue %1 n&apos;a pas de chemin</translation>
    </message>
    <message>
        <source>The distortion beyond k1 and k2 of some cameras is not kept: the imported cameras hold k1 and k2 only.</source>
        <translation>La distorsion au-delà de k1 et k2 de certaines caméras n&apos;est pas conservée : les caméras importées ne gardent que k1 et k2.</translation>
    </message>
    <message>
        <source>Some cameras have a pixelRatio other than 1 in a file of version %1; it is read as the pixel aspect ratio (fy / fx), as in versions 1.2.5 to 1.2.10.</source>
        <translation>Certaines caméras ont un pixelRatio différent de 1 dans un fichier de version %1 ; il est lu comme le rapport d&apos;aspect des pixels (fy / fx), comme dans les versions 1.2.5 à 1.2.10.</translation>
    </message>
    <message>
        <source>%1 views have no pose in the file and are left out.</source>
        <translation>%1 vues n&apos;ont pas de pose dans le fichier et sont laissées de côté.</translation>
    </message>
    <message>
        <source>needs width, height and principalPoint</source>
        <translation>demande width, height et principalPoint</translation>
    </message>
    <message>
        <source>needs a positive pxFocalLength (file version before 1.2.2)</source>
        <translation>demande un pxFocalLength positif (version du fichier antérieure à 1.2.2)</translation>
    </message>
    <message>
        <source>needs a positive focalLength, sensorWidth and pixelRatio</source>
        <translation>demande des focalLength, sensorWidth et pixelRatio positifs</translation>
    </message>
    <message>
        <source>uses the camera model &quot;%1&quot;, which cannot be imported (accepted: pinhole, radial1, radial3, brown)</source>
        <translation>utilise le modèle de caméra « %1 », qui ne peut pas être importé (acceptés : pinhole, radial1, radial3, brown)</translation>
    </message>
    <message>
        <source>distortionParams holds a value that is no number</source>
        <translation>distortionParams contient une valeur qui n&apos;est pas un nombre</translation>
    </message>
</context>
<context>
    <name>MetashapeXml</name>
    <message>
        <source>%1 could not be read: %2</source>
        <translation>%1 n&apos;a pas pu être lu : %2</translation>
    </message>
    <message>
        <source>%1, line %2: not a readable XML document (%3)</source>
        <translation>%1, ligne %2 : pas un document XML lisible (%3)</translation>
    </message>
    <message>
        <source>%1: not a Metashape camera file (&lt;document&gt; holding a &lt;chunk&gt;)</source>
        <translation>%1 : pas un fichier de caméras Metashape (&lt;document&gt; contenant un &lt;chunk&gt;)</translation>
    </message>
    <message>
        <source>The file holds more than one chunk; only the first was imported.</source>
        <translation>Le fichier contient plus d&apos;un chunk ; seul le premier a été importé.</translation>
    </message>
    <message>
        <source>%1: the chunk&apos;s transform is not a rotation, translation and positive scale</source>
        <translation>%1 : la transformation du chunk n&apos;est pas une rotation, une translation et une échelle positive</translation>
    </message>
    <message>
        <source>%1: the transform of component %2 is not a rotation, translation and positive scale</source>
        <translation>%1 : la transformation du composant %2 n&apos;est pas une rotation, une translation et une échelle positive</translation>
    </message>
    <message>
        <source>%1, line %2: sensor &quot;%3&quot; holds a calibration value that is no number</source>
        <translation>%1, ligne %2 : le capteur « %3 » contient une valeur de calibrage qui n&apos;est pas un nombre</translation>
    </message>
    <message>
        <source>%1, line %2: </source>
        <translation>%1, ligne %2 : </translation>
    </message>
    <message>
        <source>camera &quot;%1&quot; refers to a sensor the file does not hold</source>
        <translation>la caméra « %1 » renvoie à un capteur que le fichier ne contient pas</translation>
    </message>
    <message>
        <source>camera &quot;%1&quot; uses the %2 sensor &quot;%3&quot;, which cannot be imported (only frame sensors can)</source>
        <translation>la caméra « %1 » utilise le capteur %2 « %3 », qui ne peut être importé (seuls les capteurs à cadre le peuvent)</translation>
    </message>
    <message>
        <source>the sensor &quot;%1&quot; of camera &quot;%2&quot; has no usable calibration</source>
        <translation>le capteur « %1 » de la caméra « %2 » n&apos;a pas de calibrage utilisable</translation>
    </message>
    <message>
        <source>the transform of camera &quot;%1&quot; is not 16 numbers holding a rotation</source>
        <translation>la transformation de la caméra « %1 » n&apos;est pas 16 nombres formant une rotation</translation>
    </message>
    <message>
        <source>The distortion terms k3, k4, p1 and p2 are not kept: the imported cameras hold k1 and k2 only.</source>
        <translation>Les termes de distorsion k3, k4, p1 et p2 ne sont pas conservés : les caméras importées ne gardent que k1 et k2.</translation>
    </message>
    <message>
        <source>The skew (b2) of the calibration is not kept: the imported cameras have none.</source>
        <translation>L&apos;obliquité (b2) du calibrage n&apos;est pas conservée : les caméras importées n&apos;en ont pas.</translation>
    </message>
    <message>
        <source>%1 cameras are not aligned (no transform) and are left out.</source>
        <translation>%1 caméras ne sont pas alignées (pas de transformation) et sont laissées de côté.</translation>
    </message>
</context>
<context>
    <name>MultiresolutionStep</name>
    <message>
        <source>Multiresolution model</source>
        <translation>Modèle multirésolution</translation>
    </message>
    <message>
        <source>The multiresolution model would be written over its input model &quot;%1&quot;. Choose another file name for it.</source>
        <translation>Le modèle multirésolution écraserait son modèle d&apos;entrée « %1 ». Choisissez un autre nom de fichier pour lui.</translation>
    </message>
</context>
<context>
    <name>MultiresolutionStepType</name>
    <message>
        <source>Multiresolution model</source>
        <translation>Modèle multirésolution</translation>
    </message>
    <message>
        <source>&quot;tesselbuilder&quot; error</source>
        <translation>Erreur de « tesselbuilder »</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Erreur inconnue</translation>
    </message>
    <message>
        <source>no model was written.</source>
        <translation>aucun modèle n&apos;a été écrit.</translation>
    </message>
    <message>
        <source>written to %1.</source>
        <translation>écrit dans %1.</translation>
    </message>
</context>
<context>
    <name>NvmFile</name>
    <message>
        <source>expected NAME FOCAL QW QX QY QZ CX CY CZ DISTORTION 0, with a positive focal length</source>
        <translation>NAME FOCAL QW QX QY QZ CX CY CZ DISTORTION 0 attendus, avec une focale positive</translation>
    </message>
    <message>
        <source>the radial distortion is not a usable number</source>
        <translation>la distorsion radiale n&apos;est pas un nombre utilisable</translation>
    </message>
    <message>
        <source>expected X Y Z R G B COUNT and COUNT measurements</source>
        <translation>X Y Z R G B COUNT et COUNT mesures attendus</translation>
    </message>
    <message>
        <source>a measurement refers to camera &quot;%1&quot;; the model has %2 cameras</source>
        <translation>une mesure renvoie à la caméra « %1 » ; le modèle a %2 caméras</translation>
    </message>
    <message>
        <source>the file does not start with NVM_V3</source>
        <translation>le fichier ne commence pas par NVM_V3</translation>
    </message>
    <message>
        <source>expected the number of cameras</source>
        <translation>nombre de caméras attendu</translation>
    </message>
    <message>
        <source>%1 cameras are announced but only %2 lines follow</source>
        <translation>%1 caméras sont annoncées mais seules %2 lignes suivent</translation>
    </message>
    <message>
        <source>the file ends after %1 of %2 cameras</source>
        <translation>le fichier se termine après %1 caméras sur %2</translation>
    </message>
    <message>
        <source>The radial distortion of %1 NVM cameras is not kept: NVM&apos;s distortion (on measured pixels) is not the kind the imported cameras hold.</source>
        <translation>La distorsion radiale de %1 caméras NVM n&apos;est pas conservée : celle de NVM (sur les pixels mesurés) n&apos;est pas du type que portent les caméras importées.</translation>
    </message>
    <message>
        <source>expected the number of points</source>
        <translation>nombre de points attendu</translation>
    </message>
    <message>
        <source>%1 points are announced but only %2 lines follow</source>
        <translation>%1 points sont annoncés mais seules %2 lignes suivent</translation>
    </message>
    <message>
        <source>the file ends after %1 of %2 points</source>
        <translation>le fichier se termine après %1 points sur %2</translation>
    </message>
    <message>
        <source>The file holds %1 more models after the first; only the first was imported.</source>
        <translation>Le fichier contient %1 modèles de plus après le premier ; seul le premier a été importé.</translation>
    </message>
    <message>
        <source>expected NVM_V3 FixedK FX CX FY CY with positive focal lengths</source>
        <translation>attendu NVM_V3 FixedK FX CX FY CY avec des focales positives</translation>
    </message>
    <message>
        <source>&quot;%1&quot; after NVM_V3 is not understood and not used</source>
        <translation>« %1 » après NVM_V3 n&apos;est pas compris et n&apos;est pas utilisé</translation>
    </message>
</context>
<context>
    <name>OffscreenGLWidget</name>
    <message>
        <source>Could not create an off-screen OpenGL surface.</source>
        <translation>Impossible de créer une surface OpenGL hors écran.</translation>
    </message>
    <message>
        <source>Could not create an OpenGL context.</source>
        <translation>Impossible de créer un contexte OpenGL.</translation>
    </message>
    <message>
        <source>The OpenGL context can only be moved by the thread that owns it.</source>
        <translation>Le contexte OpenGL ne peut être déplacé que par le fil d&apos;exécution qui le possède.</translation>
    </message>
    <message>
        <source>The OpenGL context belongs to another thread.</source>
        <translation>Le contexte OpenGL appartient à un autre fil d&apos;exécution.</translation>
    </message>
    <message>
        <source>Could not make the OpenGL context current.</source>
        <translation>Impossible de rendre le contexte OpenGL courant.</translation>
    </message>
    <message>
        <source>Could not load the OpenGL entry points: %1</source>
        <translation>Impossible de charger les points d&apos;entrée OpenGL : %1</translation>
    </message>
</context>
<context>
    <name>OffscreenViewer</name>
    <message>
        <source>Could not make an off-screen framebuffer of %1 x %2 pixels.</source>
        <translation>Impossible de créer un framebuffer hors écran de %1 x %2 pixels.</translation>
    </message>
</context>
<context>
    <name>OpenMvgJson</name>
    <message>
        <source>view %1 needs a filename, an id_intrinsic and an id_pose</source>
        <translation>la vue %1 demande un filename, un id_intrinsic et un id_pose</translation>
    </message>
    <message>
        <source>The %1 distortion of some cameras is not kept: the imported cameras hold k1 and k2 only.</source>
        <translation>La distorsion %1 de certaines caméras n&apos;est pas conservée : les caméras importées ne gardent que k1 et k2.</translation>
    </message>
    <message>
        <source>tangential (t1, t2) and k3</source>
        <translation>tangentielle (t1, t2) et k3</translation>
    </message>
    <message>
        <source>k3</source>
        <translation>k3</translation>
    </message>
    <message>
        <source>%1 views have no pose in the file and are left out.</source>
        <translation>%1 vues n&apos;ont pas de pose dans le fichier et sont laissées de côté.</translation>
    </message>
    <message>
        <source>intrinsic %1 has no key or no polymorphic_id</source>
        <translation>les paramètres internes %1 n&apos;ont pas de key ou pas de polymorphic_id</translation>
    </message>
    <message>
        <source>intrinsic %1 uses the camera model &quot;%2&quot;, which cannot be imported (accepted: pinhole, pinhole_radial_k1, pinhole_radial_k3, pinhole_brown_t2)</source>
        <translation>les paramètres internes %1 utilisent le modèle de caméra « %2 », qui ne peut pas être importé (acceptés : pinhole, pinhole_radial_k1, pinhole_radial_k3, pinhole_brown_t2)</translation>
    </message>
    <message>
        <source>intrinsic %1 needs width, height, a positive focal_length and a principal_point</source>
        <translation>les paramètres internes %1 demandent width, height, une focal_length positive et un principal_point</translation>
    </message>
    <message>
        <source>intrinsic %1: %2 holds a value that is no number</source>
        <translation>paramètres internes %1 : %2 contient une valeur qui n&apos;est pas un nombre</translation>
    </message>
    <message>
        <source>extrinsic %1 needs a key, a rotation (three rows of three) and a center</source>
        <translation>les paramètres externes %1 demandent une key, une rotation (trois lignes de trois) et un center</translation>
    </message>
</context>
<context>
    <name>OrderAndSemanticThread</name>
    <message>
        <source>Photograph %1: not found</source>
        <translation>Photographie %1 : introuvable</translation>
    </message>
</context>
<context>
    <name>OrderStrip</name>
    <message>
        <source>The photographs in the order the viewer shows them; each cluster has its own colour. Click one to select its row in the table.</source>
        <translation>Les photographies dans l&apos;ordre où la visionneuse les montre ; chaque groupe a sa couleur. Cliquez sur l&apos;une d&apos;elles pour sélectionner sa ligne dans le tableau.</translation>
    </message>
    <message>
        <source>%1 · c%2</source>
        <translation>%1 · c%2</translation>
    </message>
    <message>
        <source>Shown %1 of %2, cluster %3, row %4
%5</source>
        <translation>Montrée en %1 sur %2, groupe %3, ligne %4
%5</translation>
    </message>
</context>
<context>
    <name>OrderingStepType</name>
    <message>
        <source>Ordering and clustering</source>
        <translation>Ordre et regroupement</translation>
    </message>
    <message>
        <source>Depths missing</source>
        <translation>Profondeurs manquantes</translation>
    </message>
    <message>
        <source>The ordering needs the depth of every shot: compute the depths first.</source>
        <translation>L&apos;ordonnancement demande la profondeur de chaque prise de vue : calculez d&apos;abord les profondeurs.</translation>
    </message>
    <message>
        <source>Ordering not computed</source>
        <translation>Ordre non calculé</translation>
    </message>
    <message>
        <source>The ordering job did not report every shot.</source>
        <translation>La tâche d&apos;ordonnancement n&apos;a pas rendu compte de chaque prise de vue.</translation>
    </message>
    <message>
        <source>the order shown is unchanged.</source>
        <translation>l&apos;ordre affiché est inchangé.</translation>
    </message>
    <message>
        <source>%1 shots in viewing order.</source>
        <translation>%1 prises de vue dans l&apos;ordre de visite.</translation>
    </message>
    <message>
        <source>%1 shots in viewing order, cluster values %2 to %3.</source>
        <translation>%1 prises de vue dans l&apos;ordre de visite, valeurs de groupe de %2 à %3.</translation>
    </message>
</context>
<context>
    <name>OrientationWidget</name>
    <message>
        <source>The model as the viewer shows it from the start photograph. Drag to turn it, use the wheel to move closer, double-click to return to the start view. The photographs&apos; cameras are drawn as small pyramids, the start photograph&apos;s in yellow.</source>
        <translation>Le modèle tel que la visionneuse le montre depuis la photographie de départ. Faites glisser pour le tourner, utilisez la molette pour vous rapprocher, double-cliquez pour revenir à la vue de départ. Les caméras des photographies sont dessinées comme de petites pyramides, celle de la photographie de départ en jaune.</translation>
    </message>
</context>
<context>
    <name>OrvelleIndexRead</name>
    <message>
        <source>Wrong file format</source>
        <translation>Format de fichier incorrect</translation>
    </message>
    <message>
        <source>Failed to parse index file!</source>
        <translation>Impossible d&apos;analyser le fichier d&apos;index !</translation>
    </message>
    <message>
        <source>The &quot;id&quot; values of the shots in a collection must be 0 to %1, each once!</source>
        <translation>Les valeurs « id » des prises de vue d&apos;une collection doivent aller de 0 à %1, chacune une fois !</translation>
    </message>
    <message>
        <source>Degenerate &quot;shotFrame&quot; attribute in tag &quot;collection&quot;!</source>
        <translation>Attribut « shotFrame » dégénéré dans la balise « collection » !</translation>
    </message>
    <message>
        <source>Wrong index file format</source>
        <translation>Format de fichier d&apos;index incorrect</translation>
    </message>
    <message>
        <source>Expected &quot;%1&quot; tag, but found &quot;%2&quot;!</source>
        <translation>Balise « %1 » attendue, mais « %2 » trouvée !</translation>
    </message>
    <message>
        <source>Unknown tag: &quot;%1&quot;!</source>
        <translation>Balise inconnue : « %1 » !</translation>
    </message>
    <message>
        <source>Expected &quot;%1&quot; attribute in tag &quot;%2&quot;!</source>
        <translation>Attribut « %1 » attendu dans la balise « %2 » !</translation>
    </message>
    <message>
        <source>The &quot;%1&quot; attribute of a &quot;%2&quot; does not hold the finite numbers it must.</source>
        <translation>L&apos;attribut « %1 » d&apos;un « %2 » ne contient pas les nombres finis attendus.</translation>
    </message>
</context>
<context>
    <name>PhotoViewer</name>
    <message>
        <source>Previous</source>
        <translation>Précédente</translation>
    </message>
    <message>
        <source>Show the photograph of the row above (Left arrow)</source>
        <translation>Montrer la photographie de la ligne du dessus (flèche gauche)</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Suivante</translation>
    </message>
    <message>
        <source>Show the photograph of the row below (Right arrow)</source>
        <translation>Montrer la photographie de la ligne du dessous (flèche droite)</translation>
    </message>
    <message>
        <source>Fit</source>
        <translation>Ajuster</translation>
    </message>
    <message>
        <source>Fit the whole photograph into the window (F)</source>
        <translation>Faire tenir toute la photographie dans la fenêtre (F)</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Zoom avant</translation>
    </message>
    <message>
        <source>Enlarge the photograph (+ or the mouse wheel)</source>
        <translation>Agrandir la photographie (+ ou la molette de la souris)</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Zoom arrière</translation>
    </message>
    <message>
        <source>Reduce the photograph (- or the mouse wheel)</source>
        <translation>Réduire la photographie (- ou la molette de la souris)</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 sur %2</translation>
    </message>
    <message>
        <source>Photograph</source>
        <translation>Photographie</translation>
    </message>
    <message>
        <source>%1: %2 cannot be shown (%3)</source>
        <translation>%1 : %2 ne peut pas être affichée (%3)</translation>
    </message>
    <message>
        <source>%1: %2 (%3 x %4 pixels)</source>
        <translation>%1 : %2 (%3 x %4 pixels)</translation>
    </message>
</context>
<context>
    <name>PolyforgeProject</name>
    <message>
        <source>Cannot open %1</source>
        <translation>Impossible d&apos;ouvrir %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not well-formed XML (line %2, column %3): %4</source>
        <translation>« %1 » n&apos;est pas du XML bien formé (ligne %2, colonne %3) : %4</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>The order of the shots is not a permutation of the shots.</source>
        <translation>L&apos;ordre des prises de vue n&apos;est pas une permutation des prises de vue.</translation>
    </message>
    <message>
        <source>The dome has not one colour per height.</source>
        <translation>Le dôme n&apos;a pas une couleur par hauteur.</translation>
    </message>
    <message>
        <source>The values of the shots do not agree in number.</source>
        <translation>Les valeurs des prises de vue ne concordent pas en nombre.</translation>
    </message>
    <message>
        <source>Not every shot has all its values yet.</source>
        <translation>Toutes les prises de vue n&apos;ont pas encore toutes leurs valeurs.</translation>
    </message>
</context>
<context>
    <name>ReconstructionImport</name>
    <message>
        <source>The mesh &quot;%1&quot; does not exist.</source>
        <translation>Le maillage « %1 » n&apos;existe pas.</translation>
    </message>
    <message>
        <source>The 3D points could not be written as the model &quot;%1&quot;: %2</source>
        <translation>Les points 3D n&apos;ont pas pu être écrits comme modèle « %1 » : %2</translation>
    </message>
    <message>
        <source>The reconstruction&apos;s %1 3D points serve as the model: &quot;%2&quot;.</source>
        <translation>Les %1 points 3D de la reconstruction servent de modèle : « %2 ».</translation>
    </message>
    <message>
        <source>Wrong file format</source>
        <translation>Format de fichier incorrect</translation>
    </message>
    <message>
        <source>The reconstruction &quot;%1&quot; could not be read.
%2</source>
        <translation>La reconstruction « %1 » n&apos;a pas pu être lue.
%2</translation>
    </message>
    <message>
        <source>The images folder &quot;%1&quot; does not exist.</source>
        <translation>Le dossier d&apos;images « %1 » n&apos;existe pas.</translation>
    </message>
    <message>
        <source>%1 of the %2 photographs were not found (or not readable) in &quot;%3&quot;: give the folder that holds them.</source>
        <translation>%1 des %2 photographies sont introuvables (ou illisibles) dans « %3 » : indiquez le dossier qui les contient.</translation>
    </message>
    <message>
        <source>%1 photographs in &quot;%2&quot; have no camera in the reconstruction and are left out.</source>
        <translation>%1 photographies de « %2 » n&apos;ont pas de caméra dans la reconstruction et sont écartées.</translation>
    </message>
    <message>
        <source>Imported dataset error!</source>
        <translation>Erreur dans le jeu de données importé !</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds no reconstruction this program reads (a COLMAP model, .nvm, .out, Metashape .xml, transforms.json, Meshroom .sfm, OpenMVG sfm_data.json).</source>
        <translation>« %1 » ne contient aucune reconstruction que ce programme lit (un modèle COLMAP, .nvm, .out, .xml Metashape, transforms.json, .sfm Meshroom, sfm_data.json OpenMVG).</translation>
    </message>
    <message>
        <source>The photograph &quot;%1&quot; lies outside the images folder &quot;%2&quot;: it is not read.</source>
        <translation>La photographie « %1 » se trouve hors du dossier d&apos;images « %2 » : elle n&apos;est pas lue.</translation>
    </message>
</context>
<context>
    <name>RunFiles</name>
    <message>
        <source>the dataset</source>
        <translation>le jeu de données</translation>
    </message>
    <message>
        <source>the reconstruction&apos;s list of photographs</source>
        <translation>la liste des photographies de la reconstruction</translation>
    </message>
    <message>
        <source>a file of the reconstruction</source>
        <translation>un fichier de la reconstruction</translation>
    </message>
    <message>
        <source>a photograph</source>
        <translation>une photographie</translation>
    </message>
    <message>
        <source>a thumbnail</source>
        <translation>une vignette</translation>
    </message>
    <message>
        <source>a model</source>
        <translation>un modèle</translation>
    </message>
    <message>
        <source>the index</source>
        <translation>l&apos;index</translation>
    </message>
    <message>
        <source>the multiresolution model</source>
        <translation>le modèle multirésolution</translation>
    </message>
    <message>
        <source>the reconstruction&apos;s point cloud</source>
        <translation>le nuage de points de la reconstruction</translation>
    </message>
    <message>
        <source>Index generation status</source>
        <translation>État de la génération de l&apos;index</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is one of the files the generation reads (%2): it is not written over as %3.</source>
        <translation>« %1 » est l&apos;un des fichiers que la génération lit (%2) : il n&apos;est pas remplacé par %3.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; would be written twice, as %2 and as %3: choose another name.</source>
        <translation>« %1 » serait écrit deux fois, comme %2 et comme %3 : choisissez un autre nom.</translation>
    </message>
</context>
<context>
    <name>Session</name>
    <message>
        <source>No index file was written.</source>
        <translation>Aucun fichier d&apos;index n&apos;a été écrit.</translation>
    </message>
    <message>
        <source>Imported dataset error!</source>
        <translation>Erreur dans le jeu de données importé !</translation>
    </message>
    <message>
        <source>The dataset holds no photograph.</source>
        <translation>Le jeu de données ne contient aucune photographie.</translation>
    </message>
    <message>
        <source>%1 is already running.</source>
        <translation>%1 est déjà en cours.</translation>
    </message>
    <message>
        <source>Index generation status</source>
        <translation>État de la génération de l&apos;index</translation>
    </message>
    <message>
        <source>Not every step ended.</source>
        <translation>Toutes les étapes ne se sont pas terminées.</translation>
    </message>
    <message>
        <source>Depths missing</source>
        <translation>Profondeurs manquantes</translation>
    </message>
    <message>
        <source>The dataset carries no depths: they must be computed from the model.</source>
        <translation>Le jeu de données ne porte pas de profondeurs : elles doivent être calculées à partir du modèle.</translation>
    </message>
    <message>
        <source>An unexpected error occured while generating the index file!</source>
        <translation>Une erreur inattendue s&apos;est produite pendant la génération du fichier d&apos;index !</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be written: %2.</source>
        <translation>« %1 » ne peut pas être écrit : %2.</translation>
    </message>
    <message>
        <source>&quot;tesselbuilder&quot; error</source>
        <translation>Erreur de « tesselbuilder »</translation>
    </message>
    <message>
        <source>The multiresolution model &quot;%1&quot; cannot be written: %2.</source>
        <translation>Le modèle multirésolution « %1 » ne peut pas être écrit : %2.</translation>
    </message>
    <message>
        <source>Start shot</source>
        <translation>Prise de vue de départ</translation>
    </message>
    <message>
        <source>The start shot must lie between 1 and %1.</source>
        <translation>La prise de vue de départ doit être comprise entre 1 et %1.</translation>
    </message>
    <message>
        <source>Not every shot has all its values yet.</source>
        <translation>Toutes les prises de vue n&apos;ont pas encore toutes leurs valeurs.</translation>
    </message>
    <message>
        <source>Model not found</source>
        <translation>Modèle introuvable</translation>
    </message>
    <message>
        <source>The model file &quot;%1&quot; does not exist.</source>
        <translation>Le fichier de modèle « %1 » n&apos;existe pas.</translation>
    </message>
    <message>
        <source>Up direction</source>
        <translation>Direction du haut</translation>
    </message>
    <message>
        <source>The up direction is %1 degrees from the cameras&apos; up direction: the viewer may show the scene on its side.</source>
        <translation>La direction du haut est à %1 degrés de celle des caméras : la visionneuse risque de montrer la scène couchée.</translation>
    </message>
    <message>
        <source>Leave out</source>
        <translation>Écarter</translation>
    </message>
    <message>
        <source>Shots can be left out once the running jobs have ended.</source>
        <translation>Les prises de vue peuvent être écartées une fois les tâches en cours terminées.</translation>
    </message>
    <message>
        <source>At least one shot must stay in the dataset.</source>
        <translation>Au moins une prise de vue doit rester dans le jeu de données.</translation>
    </message>
    <message>
        <source>Photographs not found</source>
        <translation>Photographies introuvables</translation>
    </message>
    <message>
        <source>None of the photographs of the dataset was found.</source>
        <translation>Aucune photographie du jeu de données n&apos;a été trouvée.</translation>
    </message>
</context>
<context>
    <name>SfmReader</name>
    <message>
        <source>%1 could not be read: %2</source>
        <translation>%1 n&apos;a pas pu être lu : %2</translation>
    </message>
    <message>
        <source>%1, line %2: %3</source>
        <translation>%1, ligne %2 : %3</translation>
    </message>
    <message>
        <source>the file %1</source>
        <translation>le fichier %1</translation>
    </message>
    <message>
        <source>%1, byte %2: %3</source>
        <translation>%1, octet %2 : %3</translation>
    </message>
    <message>
        <source>%1: the file holds no JSON object</source>
        <translation>%1 : le fichier ne contient aucun objet JSON</translation>
    </message>
    <message>
        <source>the line is longer than %1 MB, more than any reconstruction writes</source>
        <translation>la ligne fait plus de %1 Mo, plus qu&apos;aucune reconstruction n&apos;en écrit</translation>
    </message>
</context>
<context>
    <name>TesselComputationProcess</name>
    <message>
        <source>&quot;tesselbuilder&quot; error</source>
        <translation>Erreur de « tesselbuilder »</translation>
    </message>
    <message>
        <source>Failed to start</source>
        <translation>Échec du démarrage</translation>
    </message>
    <message>
        <source>Crashed</source>
        <translation>Plantage</translation>
    </message>
    <message>
        <source>Timedout</source>
        <translation>Délai dépassé</translation>
    </message>
    <message>
        <source>Read error</source>
        <translation>Erreur de lecture</translation>
    </message>
    <message>
        <source>Write error</source>
        <translation>Erreur d&apos;écriture</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Erreur inconnue</translation>
    </message>
    <message>
        <source>Unexpected error</source>
        <translation>Erreur inattendue</translation>
    </message>
    <message>
        <source>Exited with code %1</source>
        <translation>Terminé avec le code %1</translation>
    </message>
</context>
<context>
    <name>ThumbnailStepType</name>
    <message>
        <source>Thumbnails</source>
        <translation>Vignettes</translation>
    </message>
    <message>
        <source>Thumbnails missing</source>
        <translation>Vignettes manquantes</translation>
    </message>
    <message>
        <source>These thumbnails do not exist:
%1</source>
        <translation>Ces vignettes n&apos;existent pas :
%1</translation>
    </message>
    <message>
        <source>Thumbnails not made</source>
        <translation>Vignettes non créées</translation>
    </message>
    <message>
        <source>The thumbnail job did not report every photograph; these thumbnails cannot be used:
%1</source>
        <translation>La tâche des vignettes n&apos;a pas rendu compte de chaque photographie ; ces vignettes ne peuvent pas être utilisées :
%1</translation>
    </message>
    <message>
        <source>%1 of %2 shots have a thumbnail.</source>
        <translation>%1 prises de vue sur %2 ont une vignette.</translation>
    </message>
</context>
<context>
    <name>TransformsJson</name>
    <message>
        <source>%1: there is no list of &quot;frames&quot;</source>
        <translation>%1 : il n&apos;y a pas de liste « frames »</translation>
    </message>
    <message>
        <source>%1, frame %2: </source>
        <translation>%1, image %2 : </translation>
    </message>
    <message>
        <source>no &quot;file_path&quot;</source>
        <translation>pas de « file_path »</translation>
    </message>
    <message>
        <source>&quot;transform_matrix&quot; of &quot;%1&quot; is not four rows of four numbers holding a rotation</source>
        <translation>la « transform_matrix » de « %1 » n&apos;est pas quatre lignes de quatre nombres formant une rotation</translation>
    </message>
    <message>
        <source>The tangential and higher radial distortion (p1, p2, k3, k4) of %1 frames is not kept: the imported cameras hold k1 and k2 only.</source>
        <translation>La distorsion tangentielle et radiale d&apos;ordre supérieur (p1, p2, k3, k4) de %1 images n&apos;est pas conservée : les caméras importées ne gardent que k1 et k2.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a usable number</source>
        <translation>« %1 » n&apos;est pas un nombre utilisable</translation>
    </message>
    <message>
        <source>the camera model %1 cannot be imported (accepted: OPENCV, PINHOLE)</source>
        <translation>le modèle de caméra %1 ne peut pas être importé (acceptés : OPENCV, PINHOLE)</translation>
    </message>
    <message>
        <source>no focal length (fl_x) and no field of view (camera_angle_x)</source>
        <translation>ni focale (fl_x) ni champ de vision (camera_angle_x)</translation>
    </message>
</context>
<context>
    <name>ViewerScene</name>
    <message>
        <source>The model &quot;%1&quot; does not exist.</source>
        <translation>Le modèle « %1 » n&apos;existe pas.</translation>
    </message>
    <message>
        <source>The model &quot;%1&quot; holds nothing to draw.</source>
        <translation>Le modèle « %1 » ne contient rien à dessiner.</translation>
    </message>
    <message>
        <source>The multiresolution model &quot;%1&quot; cannot be read: %2</source>
        <translation>Le modèle multirésolution « %1 » ne peut pas être lu : %2</translation>
    </message>
</context>
<context>
    <name>ViewerWidget</name>
    <message>
        <source>The scene as the viewer shows it. Click a thumbnail or a frame, or use the arrow keys, to move between photographs; drag to turn, use the wheel to move closer; Home returns to the start view.</source>
        <translation>La scène telle que la visionneuse la montre. Cliquez sur une vignette ou un cadre, ou utilisez les flèches du clavier, pour passer d&apos;une photographie à l&apos;autre ; faites glisser pour tourner, utilisez la molette pour vous rapprocher ; Home ramène à la vue de départ.</translation>
    </message>
</context>
<context>
    <name>XmlNesting</name>
    <message>
        <source>%1 (line %2)</source>
        <translation>%1 (ligne %2)</translation>
    </message>
    <message>
        <source>declares entities or elements of its own (a DOCTYPE with an internal subset), which these files never do</source>
        <translation>déclare ses propres entités ou éléments (un DOCTYPE avec un sous-ensemble interne), ce que ces fichiers ne font jamais</translation>
    </message>
    <message>
        <source>has more than %1 elements and attributes</source>
        <translation>a plus de %1 éléments et attributs</translation>
    </message>
    <message>
        <source>is nested more than %1 elements deep</source>
        <translation>est imbriqué sur plus de %1 niveaux d&apos;éléments</translation>
    </message>
    <message>
        <source>has an attribute value longer than %1 bytes</source>
        <translation>a une valeur d&apos;attribut de plus de %1 octets</translation>
    </message>
    <message>
        <source>has an element with more than %1 attributes</source>
        <translation>a un élément de plus de %1 attributs</translation>
    </message>
</context>
<context>
    <name>ksr::io</name>
    <message>
        <source>Unknown type</source>
        <translation>Type inconnu</translation>
    </message>
    <message>
        <source>VMI files are not supported</source>
        <translation>Les fichiers VMI ne sont pas pris en charge</translation>
    </message>
    <message>
        <source>No error</source>
        <translation>Aucune erreur</translation>
    </message>
    <message>
        <source>Can&apos;t open file</source>
        <translation>Impossible d&apos;ouvrir le fichier</translation>
    </message>
    <message>
        <source>Not a valid %1 file (bad header)</source>
        <translation>Fichier %1 non valide (en-tête incorrect)</translation>
    </message>
    <message>
        <source>Unexpected end of file: the %1 file is truncated</source>
        <translation>Fin de fichier inattendue : le fichier %1 est tronqué</translation>
    </message>
    <message>
        <source>Invalid number in the %1 data</source>
        <translation>Nombre non valide dans les données %1</translation>
    </message>
    <message>
        <source>A face refers to a vertex that does not exist</source>
        <translation>Une face renvoie à un sommet qui n&apos;existe pas</translation>
    </message>
    <message>
        <source>The %1 header announces more elements than can be read</source>
        <translation>L&apos;en-tête %1 annonce plus d&apos;éléments qu&apos;il n&apos;est possible d&apos;en lire</translation>
    </message>
    <message>
        <source>Unsupported %1 variant</source>
        <translation>Variante %1 non prise en charge</translation>
    </message>
    <message>
        <source>The %1 file could not be read</source>
        <translation>Le fichier %1 n&apos;a pas pu être lu</translation>
    </message>
    <message>
        <source>The %1 header declares an element with a count above 0 but no properties</source>
        <translation>L&apos;en-tête %1 déclare un élément de nombre supérieur à 0 mais sans propriétés</translation>
    </message>
    <message>
        <source>Every vertex of the %1 file has a coordinate that is not a number or is infinite</source>
        <translation>Chaque sommet du fichier %1 a une coordonnée qui n&apos;est pas un nombre ou qui est infinie</translation>
    </message>
    <message>
        <source>The file is too large to read (a special file, or over 2 GB)</source>
        <translation>Le fichier est trop grand pour être lu (un fichier spécial, ou plus de 2 Go)</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Erreur inconnue</translation>
    </message>
    <message>
        <source>A line of the %1 file is longer than %2 MB, more than any model holds</source>
        <translation>Une ligne du fichier %1 fait plus de %2 Mo, plus qu&apos;aucun modèle n&apos;en contient</translation>
    </message>
    <message>
        <source>The file is not a regular file but a FIFO, a device or a folder; it was not read</source>
        <translation>Le fichier n&apos;est pas un fichier ordinaire mais une FIFO, un périphérique ou un dossier ; il n&apos;a pas été lu</translation>
    </message>
</context>
</TS>
