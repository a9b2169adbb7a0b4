<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT">
<context>
    <name>BundlerFile</name>
    <message>
        <source>%1: no image list (list.txt or %2) beside it</source>
        <translation>%1: nessun elenco di immagini (list.txt o %2) accanto</translation>
    </message>
    <message>
        <source>the file does not start with &quot;# Bundle file v0.3&quot;</source>
        <translation>il file non inizia con &quot;# Bundle file v0.3&quot;</translation>
    </message>
    <message>
        <source>expected the numbers of cameras and points</source>
        <translation>attesi i numeri di fotocamere e di punti</translation>
    </message>
    <message>
        <source>%1 cameras and %2 points are announced but only %3 lines follow</source>
        <translation>sono annunciati %1 fotocamere e %2 punti ma seguono solo %3 righe</translation>
    </message>
    <message>
        <source>%1 lists %2 photographs, %3 holds %4 cameras</source>
        <translation>%1 elenca %2 fotografie, %3 contiene %4 fotocamere</translation>
    </message>
    <message>
        <source>camera %1: expected f k1 k2, three rotation rows and a translation</source>
        <translation>fotocamera %1: attesi f k1 k2, tre righe di rotazione e una traslazione</translation>
    </message>
    <message>
        <source>camera %1: the rotation is not a rotation</source>
        <translation>fotocamera %1: la rotazione non è una rotazione</translation>
    </message>
    <message>
        <source>point %1: expected a position, a colour and a view list</source>
        <translation>punto %1: attesi una posizione, un colore e un elenco di viste</translation>
    </message>
    <message>
        <source>point %1: the view list or colour does not match the %2 cameras</source>
        <translation>punto %1: l&apos;elenco di viste o il colore non corrisponde alle %2 fotocamere</translation>
    </message>
    <message>
        <source>%1 photographs have no reconstructed camera (focal length 0) and are left out: %2</source>
        <translation>%1 fotografie non hanno una fotocamera ricostruita (focale 0) e sono escluse: %2</translation>
    </message>
</context>
<context>
    <name>CameraCheck</name>
    <message>
        <source>holds a value that is not a finite number</source>
        <translation>contiene un valore che non è un numero finito</translation>
    </message>
    <message>
        <source>has a focal length of %1 mm</source>
        <translation>ha una lunghezza focale di %1 mm</translation>
    </message>
    <message>
        <source>has a pixel size of %1 x %2 mm</source>
        <translation>ha una dimensione del pixel di %1 x %2 mm</translation>
    </message>
    <message>
        <source>has a viewport of %1 x %2 pixels</source>
        <translation>ha un viewport di %1 x %2 pixel</translation>
    </message>
    <message>
        <source>has a rotation matrix that is not a rotation</source>
        <translation>ha una matrice di rotazione che non è una rotazione</translation>
    </message>
</context>
<context>
    <name>ColmapModel</name>
    <message>
        <source>%1 could not be read: %2</source>
        <translation>Impossibile leggere %1: %2</translation>
    </message>
    <message>
        <source>%1, header: </source>
        <translation>%1, intestazione: </translation>
    </message>
    <message>
        <source>%1, record %2: </source>
        <translation>%1, record %2: </translation>
    </message>
    <message>
        <source>the file ends inside this record or holds an unusable number</source>
        <translation>il file termina dentro questo record o contiene un numero inutilizzabile</translation>
    </message>
    <message>
        <source>the count is larger than the rest of the file can hold</source>
        <translation>il conteggio è maggiore di quanto il resto del file possa contenere</translation>
    </message>
    <message>
        <source>%1: %2 bytes follow the last record</source>
        <translation>%1: %2 byte seguono l&apos;ultimo record</translation>
    </message>
    <message>
        <source>the image size %1 x %2 is not plausible</source>
        <translation>la dimensione dell&apos;immagine %1 x %2 non è plausibile</translation>
    </message>
    <message>
        <source>camera %1 is listed twice</source>
        <translation>la fotocamera %1 è elencata due volte</translation>
    </message>
    <message>
        <source>the count of 2D points is larger than the rest of the file can hold</source>
        <translation>il numero di punti 2D è maggiore di quanto il resto del file possa contenere</translation>
    </message>
    <message>
        <source>the track length is larger than the rest of the file can hold</source>
        <translation>la lunghezza della traccia è maggiore di quanto il resto del file possa contenere</translation>
    </message>
    <message>
        <source>model id %1</source>
        <translation>id del modello %1</translation>
    </message>
    <message>
        <source>camera %1 uses the camera model %2, which cannot be imported (accepted: SIMPLE_PINHOLE, PINHOLE, SIMPLE_RADIAL, RADIAL, OPENCV)</source>
        <translation>la fotocamera %1 usa il modello di fotocamera %2, che non può essere importato (accettati: SIMPLE_PINHOLE, PINHOLE, SIMPLE_RADIAL, RADIAL, OPENCV)</translation>
    </message>
    <message>
        <source>image %1 is listed twice</source>
        <translation>l&apos;immagine %1 è elencata due volte</translation>
    </message>
    <message>
        <source>image &quot;%1&quot; refers to camera %2, which %3 does not hold</source>
        <translation>l&apos;immagine &quot;%1&quot; si riferisce alla fotocamera %2, che %3 non contiene</translation>
    </message>
    <message>
        <source>the rotation of image &quot;%1&quot; is not a rotation</source>
        <translation>la rotazione dell&apos;immagine &quot;%1&quot; non è una rotazione</translation>
    </message>
    <message>
        <source>camera %1 of image &quot;%2&quot; has no focal length or no image size</source>
        <translation>la fotocamera %1 dell&apos;immagine &quot;%2&quot; non ha lunghezza focale o dimensione dell&apos;immagine</translation>
    </message>
    <message>
        <source>The tangential distortion (p1, p2) of the %1 cameras is not kept: the imported cameras hold radial distortion only.</source>
        <translation>La distorsione tangenziale (p1, p2) delle %1 fotocamere non è conservata: le fotocamere importate hanno solo distorsione radiale.</translation>
    </message>
    <message>
        <source>a point is seen by image %1, which the model does not hold</source>
        <translation>un punto è visto dall&apos;immagine %1, che il modello non contiene</translation>
    </message>
    <message>
        <source>expected CAMERA_ID MODEL WIDTH HEIGHT PARAMS[]</source>
        <translation>attesi CAMERA_ID MODEL WIDTH HEIGHT PARAMS[]</translation>
    </message>
    <message>
        <source>camera parameter &quot;%1&quot; is not a usable number</source>
        <translation>il parametro della fotocamera &quot;%1&quot; non è un numero utilizzabile</translation>
    </message>
    <message>
        <source>the camera model %1 has %2 parameters, the line holds %3</source>
        <translation>il modello di fotocamera %1 ha %2 parametri, la riga ne contiene %3</translation>
    </message>
    <message>
        <source>expected IMAGE_ID QW QX QY QZ TX TY TZ CAMERA_ID NAME</source>
        <translation>attesi IMAGE_ID QW QX QY QZ TX TY TZ CAMERA_ID NAME</translation>
    </message>
    <message>
        <source>expected POINT3D_ID X Y Z R G B ERROR and pairs IMAGE_ID POINT2D_IDX</source>
        <translation>attesi POINT3D_ID X Y Z R G B ERROR e coppie IMAGE_ID POINT2D_IDX</translation>
    </message>
    <message>
        <source>the track holds &quot;%1&quot;, which is not an image id</source>
        <translation>la traccia contiene &quot;%1&quot;, che non è un id di immagine</translation>
    </message>
    <message>
        <source>The model has no %1: it brings no 3D points.</source>
        <translation>Il modello non ha %1: non fornisce alcun punto 3D.</translation>
    </message>
</context>
<context>
    <name>DatasetImport</name>
    <message>
        <source>The project file &quot;%1&quot; could not be read.</source>
        <translation>Non è stato possibile leggere il file di progetto &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Wrong file format</source>
        <translation>Formato di file errato</translation>
    </message>
    <message>
        <source>The index file &quot;%1&quot; could not be read.</source>
        <translation>Non è stato possibile leggere il file di indice &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>The index holds %1 shots but %2 cameras: no camera was imported.</source>
        <translation>L&apos;indice contiene %1 scatti ma %2 fotocamere: nessuna fotocamera è stata importata.</translation>
    </message>
    <message>
        <source>Imported dataset error!</source>
        <translation>Errore nell&apos;insieme di dati importato!</translation>
    </message>
    <message>
        <source>No model found in the specified dataset!</source>
        <translation>Nessun modello trovato nell&apos;insieme di dati indicato!</translation>
    </message>
</context>
<context>
    <name>DatasetState</name>
    <message>
        <source>Wrong file format</source>
        <translation>Formato di file errato</translation>
    </message>
    <message>
        <source>The model file &quot;%1&quot; does not exist.</source>
        <translation>Il file del modello &quot;%1&quot; non esiste.</translation>
    </message>
    <message>
        <source>Imported dataset error!</source>
        <translation>Errore nell&apos;insieme di dati importato!</translation>
    </message>
    <message>
        <source>The dataset lists %1 photographs but only %2 cameras.</source>
        <translation>L&apos;insieme di dati elenca %1 fotografie ma solo %2 fotocamere.</translation>
    </message>
    <message>
        <source>The dataset lists no photograph.</source>
        <translation>L&apos;insieme di dati non elenca alcuna fotografia.</translation>
    </message>
    <message>
        <source>None of the %1 photographs of the dataset was found.</source>
        <translation>Nessuna delle %1 fotografie dell&apos;insieme di dati è stata trovata.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: its camera %2</source>
        <translation>«%1»: la sua fotocamera %2</translation>
    </message>
    <message>
        <source>These shots have cameras that cannot be used:
%1</source>
        <translation>Questi scatti hanno fotocamere che non si possono usare:
%1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is neither a Polyforge project (.pfp), an Orvelle index file (.orx)
nor a reconstruction (COLMAP cameras, images and points3D .txt or .bin, .nvm, Bundler .out, Metashape .xml, transforms.json, Meshroom .sfm, OpenMVG sfm_data.json).</source>
        <translation>&quot;%1&quot; non è né un progetto Polyforge (.pfp), né un file di indice Orvelle (.orx),
né una ricostruzione (cameras, images e points3D COLMAP in .txt o .bin, .nvm, .out Bundler, .xml Metashape, transforms.json, .sfm Meshroom, sfm_data.json OpenMVG).</translation>
    </message>
    <message>
        <source>Looked for in: %1</source>
        <translation>Cercate in: %1</translation>
    </message>
</context>
<context>
    <name>DepthComputationThread</name>
    <message>
        <source>Depths not computed</source>
        <translation>Profondità non calcolate</translation>
    </message>
    <message>
        <source>OpenGL could not be used to render the model: %1</source>
        <translation>Non è stato possibile usare OpenGL per disegnare il modello: %1</translation>
    </message>
    <message>
        <source>Model not found</source>
        <translation>Modello non trovato</translation>
    </message>
    <message>
        <source>The model file &quot;%1&quot; does not exist. No depths were computed.</source>
        <translation>Il file del modello &quot;%1&quot; non esiste. Nessuna profondità è stata calcolata.</translation>
    </message>
    <message>
        <source>the file holds no vertex</source>
        <translation>il file non contiene alcun vertice</translation>
    </message>
    <message>
        <source>Model not loaded</source>
        <translation>Modello non caricato</translation>
    </message>
    <message>
        <source>The model &quot;%1&quot; could not be read (%2). No depths were computed.</source>
        <translation>Non è stato possibile leggere il modello &quot;%1&quot; (%2). Nessuna profondità è stata calcolata.</translation>
    </message>
    <message>
        <source>Model read only in part</source>
        <translation>Modello letto solo in parte</translation>
    </message>
    <message>
        <source>The model &quot;%1&quot; was read only in part (%2). The depths are computed on what was read.</source>
        <translation>Il modello &quot;%1&quot; è stato letto solo in parte (%2). Le profondità sono calcolate su ciò che è stato letto.</translation>
    </message>
</context>
<context>
    <name>DepthStepType</name>
    <message>
        <source>Depths</source>
        <translation>Profondità</translation>
    </message>
    <message>
        <source>The depths are not computed: the dataset&apos;s own are used.</source>
        <translation>Le profondità non vengono calcolate: si usano quelle del dataset.</translation>
    </message>
    <message>
        <source>No index file was written.</source>
        <translation>Nessun file di indice è stato scritto.</translation>
    </message>
    <message>
        <source>Depths not computed</source>
        <translation>Profondità non calcolate</translation>
    </message>
    <message>
        <source>The depth job did not report every shot.</source>
        <translation>Il lavoro delle profondità non ha riferito su ogni scatto.</translation>
    </message>
    <message>
        <source>%1 of %2 shots have a depth.</source>
        <translation>%1 scatti su %2 hanno una profondità.</translation>
    </message>
</context>
<context>
    <name>DownsamplingThread</name>
    <message>
        <source>OpenGL is not usable: %1</source>
        <translation>OpenGL non è utilizzabile: %1</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>non trovato</translation>
    </message>
    <message>
        <source>%1 not found</source>
        <translation>%1 non trovato</translation>
    </message>
    <message>
        <source>Could not create the folder %1.</source>
        <translation>Impossibile creare la cartella %1.</translation>
    </message>
    <message>
        <source>Could not read the image %1: %2</source>
        <translation>Impossibile leggere l&apos;immagine %1: %2</translation>
    </message>
    <message>
        <source>Could not load the image %1 on the graphics card: %2</source>
        <translation>Impossibile caricare l&apos;immagine %1 sulla scheda grafica: %2</translation>
    </message>
    <message>
        <source>Could not write the thumbnail %1: %2</source>
        <translation>Impossibile scrivere la miniatura %1: %2</translation>
    </message>
    <message>
        <source>%1 is a link: thumbnails are written only into a folder beside the photographs, never through a link to elsewhere</source>
        <translation>%1 è un collegamento: le miniature vengono scritte solo in una cartella accanto alle fotografie, mai attraverso un collegamento che porta altrove</translation>
    </message>
    <message>
        <source>The thumbnail %1 may not have reached the disk: %2</source>
        <translation>La miniatura %1 potrebbe non essere stata scritta sul disco: %2</translation>
    </message>
</context>
<context>
    <name>GLDownsampler</name>
    <message>
        <source>The picture could not be turned into a texture.</source>
        <translation>Non è stato possibile trasformare l&apos;immagine in una texture.</translation>
    </message>
</context>
<context>
    <name>IndexValues</name>
    <message>
        <source>Up direction</source>
        <translation>Direzione verso l&apos;alto</translation>
    </message>
    <message>
        <source>The up direction is (0, 0, 0), which points nowhere. Choose an axis or type a direction.</source>
        <translation>La direzione verso l&apos;alto è (0, 0, 0), che non punta da nessuna parte. Scegliete un asse o digitate una direzione.</translation>
    </message>
    <message>
        <source>Index generation status</source>
        <translation>Stato della generazione dell&apos;indice</translation>
    </message>
    <message>
        <source>No index file was written.</source>
        <translation>Nessun file di indice è stato scritto.</translation>
    </message>
    <message>
        <source>No model is chosen for the index.</source>
        <translation>Nessun modello è scelto per l&apos;indice.</translation>
    </message>
    <message>
        <source>The multiresolution model &quot;%1&quot; was not built for this dataset: press Update in the &quot;3D Model&quot; box, or use the input model.</source>
        <translation>Il modello multirisoluzione &quot;%1&quot; non è stato costruito per questo insieme di dati: premete Avvia nel riquadro &quot;Modello 3D&quot;, oppure usate il modello di ingresso.</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>è una cartella</translation>
    </message>
    <message>
        <source>the folder &quot;%1&quot; does not exist</source>
        <translation>la cartella &quot;%1&quot; non esiste</translation>
    </message>
    <message>
        <source>the folder &quot;%1&quot; cannot be written to (%2)</source>
        <translation>la cartella &quot;%1&quot; non è scrivibile (%2)</translation>
    </message>
    <message>
        <source>Row %1 of the background dome needs a number as height and three numbers as RGB color.</source>
        <translation>La riga %1 della cupola di sfondo richiede un numero come altezza e tre numeri come colore RGB.</translation>
    </message>
    <message>
        <source>The index file has been successfully generated!</source>
        <translation>Il file di indice è stato generato con successo!</translation>
    </message>
    <message>
        <source>the system refused to write it</source>
        <translation>il sistema ha rifiutato di scriverlo</translation>
    </message>
    <message>
        <source>The index file &quot;%1&quot; could not be written: %2.</source>
        <translation>Non è stato possibile scrivere il file di indice &quot;%1&quot;: %2.</translation>
    </message>
    <message>
        <source>Model not found</source>
        <translation>Modello non trovato</translation>
    </message>
    <message>
        <source>The model &quot;%1&quot; is not on this disk. The index names it all the same: the viewer looks for it from the index&apos;s folder.</source>
        <translation>Il modello «%1» non è su questo disco. L&apos;indice lo nomina comunque: il visualizzatore lo cerca a partire dalla cartella dell&apos;indice.</translation>
    </message>
    <message>
        <source>it %1</source>
        <translation>esso %1</translation>
    </message>
    <message>
        <source>Written to &quot;%1&quot;.</source>
        <translation>Scritto in &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>No relative path leads to these files; they are written as they are:</source>
        <translation>Nessun percorso relativo porta a questi file; sono scritti così come sono:</translation>
    </message>
</context>
<context>
    <name>JobMessages</name>
    <message>
        <source>... and %1 more.</source>
        <translation>... e altri %1.</translation>
    </message>
    <message>
        <source>Photograph %1: %2</source>
        <translation>Fotografia %1: %2</translation>
    </message>
    <message>
        <source>Thumbnails not made</source>
        <translation>Miniature non create</translation>
    </message>
    <message>
        <source>1 thumbnail could not be made:</source>
        <translation>1 miniatura non è stata creata:</translation>
    </message>
    <message>
        <source>%1 thumbnails could not be made:</source>
        <translation>%1 miniature non sono state create:</translation>
    </message>
    <message>
        <source>Photographs not read</source>
        <translation>Fotografie non lette</translation>
    </message>
    <message>
        <source>1 photograph could not be read; its colours were not compared:</source>
        <translation>1 fotografia non è stata letta; i suoi colori non sono stati confrontati:</translation>
    </message>
    <message>
        <source>%1 photographs could not be read; their colours were not compared:</source>
        <translation>%1 fotografie non sono state lette; i loro colori non sono stati confrontati:</translation>
    </message>
    <message>
        <source>Photographs not found</source>
        <translation>Fotografie non trovate</translation>
    </message>
    <message>
        <source>1 photograph was not found:</source>
        <translation>1 fotografia non è stata trovata:</translation>
    </message>
    <message>
        <source>%1 photographs were not found:</source>
        <translation>%1 fotografie non sono state trovate:</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Orvelle Index Generator</source>
        <translation>Generatore di indici Orvelle</translation>
    </message>
    <message>
        <source>Data overview</source>
        <translation>Panoramica dei dati</translation>
    </message>
    <message>
        <source>Scene name</source>
        <translation>Nome della scena</translation>
    </message>
    <message>
        <source>Data precomputation</source>
        <translation>Precalcolo dei dati</translation>
    </message>
    <message>
        <source>Thumbnails</source>
        <translation>Miniature</translation>
    </message>
    <message>
        <source>do not compute</source>
        <translation>non calcolare</translation>
    </message>
    <message>
        <source>use same of hires</source>
        <translation>usare quelle ad alta risoluzione</translation>
    </message>
    <message>
        <source>downsample hires</source>
        <translation>ridurre l&apos;alta risoluzione</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Avvia</translation>
    </message>
    <message>
        <source>Depth of each view</source>
        <translation>Profondità di ogni vista</translation>
    </message>
    <message>
        <source>compute from 3D model</source>
        <translation>calcola dal modello 3D</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Image ordering and clustering</source>
        <translation>Ordinamento e raggruppamento delle immagini</translation>
    </message>
    <message>
        <source>ordering function</source>
        <translation>funzione di ordinamento</translation>
    </message>
    <message>
        <source>clustering function</source>
        <translation>funzione di raggruppamento</translation>
    </message>
    <message>
        <source>time of shot</source>
        <translation>ora dello scatto</translation>
    </message>
    <message>
        <source>direction of shot</source>
        <translation>direzione dello scatto</translation>
    </message>
    <message>
        <source>position of shot</source>
        <translation>posizione dello scatto</translation>
    </message>
    <message>
        <source>position of target</source>
        <translation>posizione del bersaglio</translation>
    </message>
    <message>
        <source>color distribution</source>
        <translation>distribuzione dei colori</translation>
    </message>
    <message>
        <source>color spatial distribution</source>
        <translation>distribuzione spaziale dei colori</translation>
    </message>
    <message>
        <source>cluster with same ordering function</source>
        <translation>raggruppa con la stessa funzione dell&apos;ordinamento</translation>
    </message>
    <message>
        <source>3D Model</source>
        <translation>Modello 3D</translation>
    </message>
    <message>
        <source>use input model</source>
        <translation>usa il modello di ingresso</translation>
    </message>
    <message>
        <source>use (and compute) Tessel</source>
        <translation>usa (e calcola) Tessel</translation>
    </message>
    <message>
        <source>point cloud</source>
        <translation>nuvola di punti</translation>
    </message>
    <message>
        <source>View settings</source>
        <translation>Impostazioni del visualizzatore</translation>
    </message>
    <message>
        <source>Thumbnai lbar</source>
        <translation>Barra delle miniature</translation>
    </message>
    <message>
        <source>Screen position</source>
        <translation>Posizione sullo schermo</translation>
    </message>
    <message>
        <source>top</source>
        <translation>in alto</translation>
    </message>
    <message>
        <source>bottom</source>
        <translation>in basso</translation>
    </message>
    <message>
        <source>Framelets</source>
        <translation>Cornici</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>Colore</translation>
    </message>
    <message>
        <source>Position %</source>
        <translation>Posizione %</translation>
    </message>
    <message>
        <source>Projection</source>
        <translation>Proiezione</translation>
    </message>
    <message>
        <source>Reliability</source>
        <translation>Affidabilità</translation>
    </message>
    <message>
        <source>Lighting</source>
        <translation>Illuminazione</translation>
    </message>
    <message>
        <source>enable</source>
        <translation>attiva</translation>
    </message>
    <message>
        <source>Background</source>
        <translation>Sfondo</translation>
    </message>
    <message>
        <source>Color at infinity</source>
        <translation>Colore all&apos;infinito</translation>
    </message>
    <message>
        <source>use ortho plane</source>
        <translation>usa un piano ortogonale</translation>
    </message>
    <message>
        <source>use colored dome</source>
        <translation>usa una cupola colorata</translation>
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
        <translation>Altezza</translation>
    </message>
    <message>
        <source>RGB Color</source>
        <translation>Colore RGB</translation>
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
        <translation>Fotocamera</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Velocità</translation>
    </message>
    <message>
        <source>Start shot</source>
        <translation>Scatto iniziale</translation>
    </message>
    <message>
        <source>Up-direction</source>
        <translation>Direzione verso l&apos;alto</translation>
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
        <translation>anteprima</translation>
    </message>
    <message>
        <source>Start view</source>
        <translation>Vista iniziale</translation>
    </message>
    <message>
        <source>Output index (orx)</source>
        <translation>Indice in uscita (orx)</translation>
    </message>
    <message>
        <source>Filename</source>
        <translation>Nome del file</translation>
    </message>
    <message>
        <source>use relative file paths</source>
        <translation>usa percorsi relativi</translation>
    </message>
    <message>
        <source>Generate Orvelle index file</source>
        <translation>Genera il file di indice Orvelle</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Import...</source>
        <translation>Importa...</translation>
    </message>
    <message>
        <source>Ctrl+I</source>
        <translation>Ctrl+I</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Esci</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>Import a dataset: File &gt; Import, or drop its file onto the window.</source>
        <translation>Importate un insieme di dati: File &gt; Importa, oppure trascinate il suo file sulla finestra.</translation>
    </message>
    <message>
        <source>Jobs are still running.</source>
        <translation>Alcuni lavori sono ancora in corso.</translation>
    </message>
    <message>
        <source>Computed values have not been written to an index file yet.</source>
        <translation>Alcuni valori calcolati non sono ancora stati scritti in un file di indice.</translation>
    </message>
    <message>
        <source>Close the window and discard them?</source>
        <translation>Chiudere la finestra e scartarli?</translation>
    </message>
    <message>
        <source>Discard the work?</source>
        <translation>Scartare il lavoro?</translation>
    </message>
    <message>
        <source>Select 3D model</source>
        <translation>Scegli il modello 3D</translation>
    </message>
    <message>
        <source>PLY model (*.ply);;OBJ model(*.obj);;Tessel model (*.tsl)</source>
        <translation>Modello PLY (*.ply);;Modello OBJ (*.obj);;Modello Tessel (*.tsl)</translation>
    </message>
    <message>
        <source>Select low resolution 3D model</source>
        <translation>Scegli il modello 3D a bassa risoluzione</translation>
    </message>
    <message>
        <source>PLY model (*.ply);;OBJ model(*.obj)</source>
        <translation>Modello PLY (*.ply);;Modello OBJ (*.obj)</translation>
    </message>
    <message>
        <source>Select Tessel 3D model</source>
        <translation>Scegli il modello 3D Tessel</translation>
    </message>
    <message>
        <source>Tessel model (*.tsl)</source>
        <translation>Modello Tessel (*.tsl)</translation>
    </message>
    <message>
        <source>Save Orvelle index as</source>
        <translation>Salva l&apos;indice Orvelle come</translation>
    </message>
    <message>
        <source>Orvelle index file (*.orx)</source>
        <translation>File di indice Orvelle (*.orx)</translation>
    </message>
    <message>
        <source>3D model (*.ply *.stl *.off *.obj *.vmi *.PLY *.STL *.OFF *.OBJ *.VMI)</source>
        <translation>Modello 3D (*.ply *.stl *.off *.obj *.vmi *.PLY *.STL *.OFF *.OBJ *.VMI)</translation>
    </message>
    <message>
        <source>Open file</source>
        <translation>Apri file</translation>
    </message>
    <message>
        <source>Reconstruction imported</source>
        <translation>Ricostruzione importata</translation>
    </message>
    <message>
        <source>Too many models</source>
        <translation>Troppi modelli</translation>
    </message>
    <message>
        <source>More than one model has been found in the specified dataset.
Should I use &quot;%1&quot; ?</source>
        <translation>Nell&apos;insieme di dati indicato è stato trovato più di un modello.
Devo usare &quot;%1&quot;?</translation>
    </message>
    <message>
        <source>Imported 1 shot from %1.</source>
        <translation>1 scatto importato da %1.</translation>
    </message>
    <message>
        <source>Imported %1 shots from %2.</source>
        <translation>%1 scatti importati da %2.</translation>
    </message>
    <message>
        <source>Depths</source>
        <translation>Profondità</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Stop the builder; the multiresolution model is not made</source>
        <translation>Ferma il programma di costruzione; il modello multirisoluzione non viene creato</translation>
    </message>
    <message>
        <source>Stop after the photograph being worked on; results already made are kept</source>
        <translation>Ferma dopo la fotografia in lavorazione; i risultati già ottenuti sono conservati</translation>
    </message>
    <message>
        <source>%1: stopping...</source>
        <translation>%1: arresto in corso...</translation>
    </message>
    <message>
        <source>How much of the job is done</source>
        <translation>Quanta parte del lavoro è fatta</translation>
    </message>
    <message>
        <source>Running: %1...</source>
        <translation>In corso: %1...</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>fermato</translation>
    </message>
    <message>
        <source>finished</source>
        <translation>completato</translation>
    </message>
    <message>
        <source>ended</source>
        <translation>concluso</translation>
    </message>
    <message>
        <source>%1 %2: %3</source>
        <translation>%1: %2; %3</translation>
    </message>
    <message>
        <source>1 problem, see the message.</source>
        <translation>1 problema, vedere il messaggio.</translation>
    </message>
    <message>
        <source>%1 problems, see the messages.</source>
        <translation>%1 problemi, vedere i messaggi.</translation>
    </message>
    <message>
        <source>Ready!</source>
        <translation>Pronto!</translation>
    </message>
    <message>
        <source>Error!</source>
        <translation>Errore!</translation>
    </message>
    <message>
        <source>The scene&apos;s name, shown by the viewer as the title of the scene</source>
        <translation>Il nome della scena, mostrato dal visualizzatore come titolo della scena</translation>
    </message>
    <message>
        <source>One row per photograph. Double-click a row to see the photograph; click a column title to sort the rows (the index keeps the shot order)</source>
        <translation>Una riga per fotografia. Fate doppio clic su una riga per vedere la fotografia; fate clic sul titolo di una colonna per ordinare le righe (l&apos;indice mantiene l&apos;ordine degli scatti)</translation>
    </message>
    <message>
        <source>Use thumbnails that already exist in a &quot;thumbnails&quot; folder beside the photographs; the viewer shows them in its thumbnail bar</source>
        <translation>Usa le miniature già presenti in una cartella &quot;thumbnails&quot; accanto alle fotografie; il visualizzatore le mostra nella sua barra delle miniature</translation>
    </message>
    <message>
        <source>Let the viewer use the full photographs as thumbnails (slow to load in the viewer&apos;s thumbnail bar)</source>
        <translation>Lascia che il visualizzatore usi le fotografie intere come miniature (lente da caricare nella sua barra delle miniature)</translation>
    </message>
    <message>
        <source>Make thumbnails of at most 256 pixels from the photographs, in a &quot;thumbnails&quot; folder beside them; existing ones are kept</source>
        <translation>Crea miniature di al massimo 256 pixel dalle fotografie, in una cartella &quot;thumbnails&quot; accanto a esse; quelle esistenti sono conservate</translation>
    </message>
    <message>
        <source>Find or make the thumbnails the viewer shows in its thumbnail bar</source>
        <translation>Trova o crea le miniature che il visualizzatore mostra nella sua barra delle miniature</translation>
    </message>
    <message>
        <source>How many of the thumbnails are done</source>
        <translation>Quante miniature sono pronte</translation>
    </message>
    <message>
        <source>Keep the depths the dataset already has (the viewer needs one per photograph)</source>
        <translation>Mantieni le profondità che l&apos;insieme di dati ha già (il visualizzatore ne richiede una per fotografia)</translation>
    </message>
    <message>
        <source>Measure each photograph&apos;s depth on the 3D model; the viewer uses it to place the photograph in the scene</source>
        <translation>Misura la profondità di ogni fotografia sul modello 3D; il visualizzatore la usa per collocare la fotografia nella scena</translation>
    </message>
    <message>
        <source>The low-resolution model the depths and the orientation preview are drawn from</source>
        <translation>Il modello a bassa risoluzione da cui sono disegnate le profondità e l&apos;anteprima dell&apos;orientamento</translation>
    </message>
    <message>
        <source>Choose the low-resolution model file</source>
        <translation>Scegli il file del modello a bassa risoluzione</translation>
    </message>
    <message>
        <source>Measure the depth of every photograph on the low-resolution model</source>
        <translation>Misura la profondità di ogni fotografia sul modello a bassa risoluzione</translation>
    </message>
    <message>
        <source>How many of the depths are done</source>
        <translation>Quante profondità sono pronte</translation>
    </message>
    <message>
        <source>Group the photographs with the same weights as the order</source>
        <translation>Raggruppa le fotografie con gli stessi pesi dell&apos;ordinamento</translation>
    </message>
    <message>
        <source>Put the photographs in the order the viewer walks through them, and group similar neighbours into clusters</source>
        <translation>Metti le fotografie nell&apos;ordine in cui il visualizzatore le percorre e raggruppa le vicine simili</translation>
    </message>
    <message>
        <source>How far the ordering and clustering has come</source>
        <translation>A che punto sono l&apos;ordinamento e il raggruppamento</translation>
    </message>
    <message>
        <source>The viewer shows this model as it is</source>
        <translation>Il visualizzatore mostra questo modello così com&apos;è</translation>
    </message>
    <message>
        <source>The 3D model the viewer shows</source>
        <translation>Il modello 3D che il visualizzatore mostra</translation>
    </message>
    <message>
        <source>Choose the 3D model file</source>
        <translation>Scegli il file del modello 3D</translation>
    </message>
    <message>
        <source>The viewer shows a multiresolution version of the model, which loads quickly and streams detail; build it with Update</source>
        <translation>Il visualizzatore mostra una versione multirisoluzione del modello, che si carica in fretta e trasmette i dettagli man mano; costruitela con Avvia</translation>
    </message>
    <message>
        <source>Where the multiresolution model is written</source>
        <translation>Dove viene scritto il modello multirisoluzione</translation>
    </message>
    <message>
        <source>Choose where the multiresolution model is written</source>
        <translation>Scegli dove viene scritto il modello multirisoluzione</translation>
    </message>
    <message>
        <source>Whether the multiresolution model has been built</source>
        <translation>Se il modello multirisoluzione è stato costruito</translation>
    </message>
    <message>
        <source>The model is a point cloud, not a surface</source>
        <translation>Il modello è una nuvola di punti, non una superficie</translation>
    </message>
    <message>
        <source>Build the multiresolution model with the builder program</source>
        <translation>Costruisci il modello multirisoluzione con il programma di costruzione</translation>
    </message>
    <message>
        <source>How far the builder has come</source>
        <translation>A che punto è il programma di costruzione</translation>
    </message>
    <message>
        <source>Where the viewer puts its bar of thumbnails: at the top or the bottom of its window</source>
        <translation>Dove il visualizzatore mette la sua barra delle miniature: in alto o in basso nella sua finestra</translation>
    </message>
    <message>
        <source>The colour of the frames the viewer draws where each photograph was taken</source>
        <translation>Il colore delle cornici che il visualizzatore disegna dove è stata scattata ogni fotografia</translation>
    </message>
    <message>
        <source>Where the viewer draws each photograph&apos;s frame along its viewing direction, in percent of the photograph&apos;s depth</source>
        <translation>Dove il visualizzatore disegna la cornice di ogni fotografia lungo la sua direzione di vista, in percentuale della profondità della fotografia</translation>
    </message>
    <message>
        <source>How strongly the viewer trusts the photographs when it projects them onto the model</source>
        <translation>Quanto il visualizzatore si fida delle fotografie quando le proietta sul modello</translation>
    </message>
    <message>
        <source>The viewer lights the model instead of showing its plain colours</source>
        <translation>Il visualizzatore illumina il modello invece di mostrarne i colori semplici</translation>
    </message>
    <message>
        <source>The colour the viewer shows where there is no model</source>
        <translation>Il colore che il visualizzatore mostra dove non c&apos;è modello</translation>
    </message>
    <message>
        <source>The viewer shows a flat background plane behind the model</source>
        <translation>Il visualizzatore mostra un piano di sfondo piatto dietro il modello</translation>
    </message>
    <message>
        <source>The viewer shows a dome around the scene, coloured by height</source>
        <translation>Il visualizzatore mostra una cupola intorno alla scena, colorata secondo l&apos;altezza</translation>
    </message>
    <message>
        <source>The dome&apos;s colours: one row per height (0 to 1 from the horizon up), the colour as three numbers from 0 to 1</source>
        <translation>I colori della cupola: una riga per altezza (da 0 a 1 dall&apos;orizzonte verso l&apos;alto), il colore come tre numeri da 0 a 1</translation>
    </message>
    <message>
        <source>How fast the viewer moves its camera between photographs</source>
        <translation>La velocità con cui il visualizzatore sposta la sua fotocamera tra le fotografie</translation>
    </message>
    <message>
        <source>The photograph the viewer starts from (counted from 1, in table order)</source>
        <translation>La fotografia da cui parte il visualizzatore (contata da 1, nell&apos;ordine della tabella)</translation>
    </message>
    <message>
        <source>X of the direction that is up in the model&apos;s world; the viewer keeps it vertical</source>
        <translation>X della direzione che è l&apos;alto nel mondo del modello; il visualizzatore la mantiene verticale</translation>
    </message>
    <message>
        <source>Y of the direction that is up in the model&apos;s world; the viewer keeps it vertical</source>
        <translation>Y della direzione che è l&apos;alto nel mondo del modello; il visualizzatore la mantiene verticale</translation>
    </message>
    <message>
        <source>Z of the direction that is up in the model&apos;s world; the viewer keeps it vertical</source>
        <translation>Z della direzione che è l&apos;alto nel mondo del modello; il visualizzatore la mantiene verticale</translation>
    </message>
    <message>
        <source>Up is minus X</source>
        <translation>L&apos;alto è meno X</translation>
    </message>
    <message>
        <source>Up is plus X</source>
        <translation>L&apos;alto è più X</translation>
    </message>
    <message>
        <source>Up is minus Y</source>
        <translation>L&apos;alto è meno Y</translation>
    </message>
    <message>
        <source>Up is plus Y</source>
        <translation>L&apos;alto è più Y</translation>
    </message>
    <message>
        <source>Up is minus Z</source>
        <translation>L&apos;alto è meno Z</translation>
    </message>
    <message>
        <source>Up is plus Z</source>
        <translation>L&apos;alto è più Z</translation>
    </message>
    <message>
        <source>Show the model as the viewer will, from the start photograph with the up direction vertical</source>
        <translation>Mostra il modello come lo mostrerà il visualizzatore, dalla fotografia iniziale con la direzione verso l&apos;alto verticale</translation>
    </message>
    <message>
        <source>Undo the turns and moves made with the mouse in the preview: back to the view from the start photograph</source>
        <translation>Annulla le rotazioni e gli spostamenti fatti con il mouse nell&apos;anteprima: ritorno alla vista dalla fotografia iniziale</translation>
    </message>
    <message>
        <source>The index file the viewer loads</source>
        <translation>Il file di indice che il visualizzatore carica</translation>
    </message>
    <message>
        <source>Choose where the index file is written</source>
        <translation>Scegli dove viene scritto il file di indice</translation>
    </message>
    <message>
        <source>Write file names relative to the index file&apos;s folder, so the dataset can be moved as a whole</source>
        <translation>Scrivi i nomi dei file relativi alla cartella del file di indice, così che l&apos;insieme di dati si possa spostare in blocco</translation>
    </message>
    <message>
        <source>Write the index file; possible once every column of the table is filled</source>
        <translation>Scrivi il file di indice; possibile quando ogni colonna della tabella è riempita</translation>
    </message>
    <message>
        <source>How much this feature counts when the viewer&apos;s order of photographs is made</source>
        <translation>Quanto conta questa caratteristica nell&apos;ordine delle fotografie del visualizzatore</translation>
    </message>
    <message>
        <source>How much this feature counts when neighbouring photographs are grouped into clusters</source>
        <translation>Quanto conta questa caratteristica quando le fotografie vicine vengono raggruppate</translation>
    </message>
    <message>
        <source>C (%1, %2, %3)  f %4 mm</source>
        <translation>C (%1, %2, %3)  f %4 mm</translation>
    </message>
    <message>
        <source>Hires images</source>
        <translation>Immagini ad alta risoluzione</translation>
    </message>
    <message>
        <source>Lowres thumbnails</source>
        <translation>Miniature a bassa risoluzione</translation>
    </message>
    <message>
        <source>Shots</source>
        <translation>Scatti</translation>
    </message>
    <message>
        <source>Order</source>
        <translation>Ordine</translation>
    </message>
    <message>
        <source>Semantic</source>
        <translation>Semantica</translation>
    </message>
    <message>
        <source>More steps</source>
        <translation>Altri passi</translation>
    </message>
    <message>
        <source>From the cameras</source>
        <translation>Dalle fotocamere</translation>
    </message>
    <message>
        <source>The mean of the cameras&apos; image-up axes, the nearest axis when within 10 degrees</source>
        <translation>La media degli assi «alto dell&apos;immagine» delle fotocamere, l&apos;asse più vicino se entro 10 gradi</translation>
    </message>
    <message>
        <source>No camera says where up is.</source>
        <translation>Nessuna fotocamera indica dove sia l&apos;alto.</translation>
    </message>
    <message>
        <source>Up direction from the cameras: %1.</source>
        <translation>Direzione dell&apos;alto dalle fotocamere: %1.</translation>
    </message>
    <message>
        <source>Index written to %1.</source>
        <translation>Indice scritto in %1.</translation>
    </message>
    <message>
        <source>The photographs are not in %1. Choose their folder</source>
        <translation>Le fotografie non sono in %1. Scegliete la loro cartella</translation>
    </message>
    <message>
        <source>Choose a mesh...</source>
        <translation>Scegli una mesh...</translation>
    </message>
    <message>
        <source>Use the points</source>
        <translation>Usa i punti</translation>
    </message>
    <message>
        <source>Mesh of the reconstruction</source>
        <translation>Mesh della ricostruzione</translation>
    </message>
    <message>
        <source>The reconstruction brings its cameras and 3D points but no mesh.
Depths and the viewer are best with a mesh of the scene (PLY, OBJ, OFF or STL), made from the same reconstruction. Without one, the points are the model.</source>
        <translation>La ricostruzione fornisce le sue fotocamere e i suoi punti 3D, ma nessuna mesh.
Le profondità e il visualizzatore rendono al meglio con una mesh della scena (PLY, OBJ, OFF o STL) ottenuta dalla stessa ricostruzione. Senza mesh, i punti fanno da modello.</translation>
    </message>
    <message>
        <source>Choose the mesh of the reconstruction</source>
        <translation>Scegli la mesh della ricostruzione</translation>
    </message>
    <message>
        <source>All supported files (*.pfp *.orx cameras.txt cameras.bin images.txt images.bin points3D.txt points3D.bin *.nvm *.NVM *.out *.OUT *.xml *.XML *.json *.JSON *.sfm *.SFM);;Polyforge project (*.pfp);;Orvelle index file (*.orx);;Reconstruction (cameras.txt cameras.bin images.txt images.bin points3D.txt points3D.bin *.nvm *.NVM *.out *.OUT);;Metashape cameras (*.xml *.XML);;transforms.json (*.json *.JSON);;Meshroom (*.sfm *.SFM);;OpenMVG (sfm_data*.json)</source>
        <translation>Tutti i file supportati (*.pfp *.orx cameras.txt cameras.bin images.txt images.bin points3D.txt points3D.bin *.nvm *.NVM *.out *.OUT *.xml *.XML *.json *.JSON *.sfm *.SFM);;Progetto Polyforge (*.pfp);;File di indice Orvelle (*.orx);;Ricostruzione (cameras.txt cameras.bin images.txt images.bin points3D.txt points3D.bin *.nvm *.NVM *.out *.OUT);;Fotocamere Metashape (*.xml *.XML);;transforms.json (*.json *.JSON);;Meshroom (*.sfm *.SFM);;OpenMVG (sfm_data*.json)</translation>
    </message>
    <message>
        <source>Import &quot;%1&quot; and discard them?</source>
        <translation>Importare &quot;%1&quot; e scartarli?</translation>
    </message>
    <message>
        <source>Jobs stopped.</source>
        <translation>Lavori fermati.</translation>
    </message>
    <message>
        <source>Import cancelled.</source>
        <translation>Importazione annullata.</translation>
    </message>
    <message>
        <source>No model chosen</source>
        <translation>Nessun modello scelto</translation>
    </message>
    <message>
        <source>Every model of the dataset was declined, so it was not imported. The dataset shown before is kept.</source>
        <translation>Tutti i modelli dell&apos;insieme di dati sono stati rifiutati, quindi non è stato importato. L&apos;insieme di dati mostrato prima viene mantenuto.</translation>
    </message>
    <message>
        <source>Their rows are greyed in the Data overview: select one and press Delete (or use the context menu) to leave it out.</source>
        <translation>Le loro righe sono in grigio nella Panoramica dei dati: selezionatene una e premete Delete (o usate il menu contestuale) per escluderla.</translation>
    </message>
    <message>
        <source>start view</source>
        <translation>vista iniziale</translation>
    </message>
    <message>
        <source>Back to the start shot, as the viewer opens</source>
        <translation>Torna allo scatto iniziale, come all&apos;apertura del visualizzatore</translation>
    </message>
    <message>
        <source>The preview cannot show the model: %1</source>
        <translation>L&apos;anteprima non può mostrare il modello: %1</translation>
    </message>
    <message>
        <source>Leave out</source>
        <translation>Escludi</translation>
    </message>
    <message>
        <source>Leave out every shot whose photograph is missing</source>
        <translation>Escludi tutti gli scatti la cui fotografia manca</translation>
    </message>
    <message>
        <source>1 shot left out.</source>
        <translation>1 scatto escluso.</translation>
    </message>
    <message>
        <source>%1 shots left out.</source>
        <translation>%1 scatti esclusi.</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aiuto</translation>
    </message>
    <message>
        <source>Keyboard shortcuts</source>
        <translation>Scorciatoie da tastiera</translation>
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
        <translation>Ctrl+I	Importa un insieme di dati
Esc	Chiudi la finestra (chiede prima conferma se ci sono lavori in corso o valori non scritti)
Doppio clic su una riga	Apri la sua fotografia

Nel visualizzatore di fotografie:
Freccia destra, freccia sinistra	Fotografia successiva e precedente (anche Page Down, Page Up)
+, -, rotella del mouse	Ingrandisci e riduci
F	Adatta la fotografia alla finestra
Esc	Chiudi il visualizzatore</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Informazioni</translation>
    </message>
    <message>
        <source>About Orvelle Index Generator</source>
        <translation>Informazioni sul Generatore di indici Orvelle</translation>
    </message>
    <message>
        <source>Orvelle Index Generator %1
Prepares a dataset of calibrated photographs registered to a 3D model and writes the index file a viewer loads. The same is done without a window by orvelle-index.

Licence: not published yet; every right is reserved by the Orvelle Index Generator developers.</source>
        <translation>Generatore di indici Orvelle %1
Prepara un insieme di dati di fotografie calibrate e registrate su un modello 3D e scrive il file di indice che un visualizzatore carica. Lo stesso lavoro si fa senza finestra con orvelle-index.

Licenza: non ancora pubblicata; tutti i diritti sono riservati agli sviluppatori del Generatore di indici Orvelle.</translation>
    </message>
    <message>
        <source>%1 (not found)</source>
        <translation>%1 (non trovata)</translation>
    </message>
    <message>
        <source>Not found: %1
Looked for at %2
Delete, or the context menu, leaves the shot out.</source>
        <translation>Non trovata: %1
Cercata in %2
Delete, o il menu contestuale, esclude lo scatto.</translation>
    </message>
</context>
<context>
    <name>MeshroomSfm</name>
    <message>
        <source>the file version (&quot;version&quot;: [&quot;1&quot;, &quot;2&quot;, &quot;n&quot;]) is missing or not 1.x</source>
        <translation>la versione del file (&quot;version&quot;: [&quot;1&quot;, &quot;2&quot;, &quot;n&quot;]) manca o non è 1.x</translation>
    </message>
    <message>
        <source>intrinsic %1 %2</source>
        <translation>parametri intrinseci %1 %2</translation>
    </message>
    <message>
        <source>pose %1 needs a rotation (nine values holding a rotation) and a center</source>
        <translation>la posa %1 richiede una rotazione (nove valori che formano una rotazione) e un centro</translation>
    </message>
    <message>
        <source>view %1 has no path</source>
        <translation>la vista %1 non ha un percorso</translation>
    </message>
    <message>
        <source>The distortion beyond k1 and k2 of some cameras is not kept: the imported cameras hold k1 and k2 only.</source>
        <translation>La distorsione oltre k1 e k2 di alcune fotocamere non viene conservata: le fotocamere importate tengono solo k1 e k2.</translation>
    </message>
    <message>
        <source>Some cameras have a pixelRatio other than 1 in a file of version %1; it is read as the pixel aspect ratio (fy / fx), as in versions 1.2.5 to 1.2.10.</source>
        <translation>Alcune fotocamere hanno un pixelRatio diverso da 1 in un file di versione %1; viene letto come rapporto d&apos;aspetto dei pixel (fy / fx), come nelle versioni da 1.2.5 a 1.2.10.</translation>
    </message>
    <message>
        <source>%1 views have no pose in the file and are left out.</source>
        <translation>%1 viste non hanno una posa nel file e vengono escluse.</translation>
    </message>
    <message>
        <source>needs width, height and principalPoint</source>
        <translation>richiede width, height e principalPoint</translation>
    </message>
    <message>
        <source>needs a positive pxFocalLength (file version before 1.2.2)</source>
        <translation>richiede un pxFocalLength positivo (versione del file precedente alla 1.2.2)</translation>
    </message>
    <message>
        <source>needs a positive focalLength, sensorWidth and pixelRatio</source>
        <translation>richiede focalLength, sensorWidth e pixelRatio positivi</translation>
    </message>
    <message>
        <source>uses the camera model &quot;%1&quot;, which cannot be imported (accepted: pinhole, radial1, radial3, brown)</source>
        <translation>usa il modello di fotocamera «%1», che non può essere importato (accettati: pinhole, radial1, radial3, brown)</translation>
    </message>
    <message>
        <source>distortionParams holds a value that is no number</source>
        <translation>distortionParams contiene un valore che non è un numero</translation>
    </message>
</context>
<context>
    <name>MetashapeXml</name>
    <message>
        <source>%1 could not be read: %2</source>
        <translation>Impossibile leggere %1: %2</translation>
    </message>
    <message>
        <source>%1, line %2: not a readable XML document (%3)</source>
        <translation>%1, riga %2: non è un documento XML leggibile (%3)</translation>
    </message>
    <message>
        <source>%1: not a Metashape camera file (&lt;document&gt; holding a &lt;chunk&gt;)</source>
        <translation>%1: non è un file di fotocamere Metashape (&lt;document&gt; che contiene un &lt;chunk&gt;)</translation>
    </message>
    <message>
        <source>The file holds more than one chunk; only the first was imported.</source>
        <translation>Il file contiene più di un chunk; è stato importato solo il primo.</translation>
    </message>
    <message>
        <source>%1: the chunk&apos;s transform is not a rotation, translation and positive scale</source>
        <translation>%1: la trasformazione del chunk non è una rotazione, una traslazione e una scala positiva</translation>
    </message>
    <message>
        <source>%1: the transform of component %2 is not a rotation, translation and positive scale</source>
        <translation>%1: la trasformazione del componente %2 non è una rotazione, una traslazione e una scala positiva</translation>
    </message>
    <message>
        <source>%1, line %2: sensor &quot;%3&quot; holds a calibration value that is no number</source>
        <translation>%1, riga %2: il sensore «%3» contiene un valore di calibrazione che non è un numero</translation>
    </message>
    <message>
        <source>%1, line %2: </source>
        <translation>%1, riga %2: </translation>
    </message>
    <message>
        <source>camera &quot;%1&quot; refers to a sensor the file does not hold</source>
        <translation>la fotocamera «%1» rimanda a un sensore che il file non contiene</translation>
    </message>
    <message>
        <source>camera &quot;%1&quot; uses the %2 sensor &quot;%3&quot;, which cannot be imported (only frame sensors can)</source>
        <translation>la fotocamera «%1» usa il sensore %2 «%3», che non si può importare (solo i sensori a fotogramma si possono)</translation>
    </message>
    <message>
        <source>the sensor &quot;%1&quot; of camera &quot;%2&quot; has no usable calibration</source>
        <translation>il sensore «%1» della fotocamera «%2» non ha una calibrazione utilizzabile</translation>
    </message>
    <message>
        <source>the transform of camera &quot;%1&quot; is not 16 numbers holding a rotation</source>
        <translation>la trasformazione della fotocamera «%1» non è composta da 16 numeri che formano una rotazione</translation>
    </message>
    <message>
        <source>The distortion terms k3, k4, p1 and p2 are not kept: the imported cameras hold k1 and k2 only.</source>
        <translation>I termini di distorsione k3, k4, p1 e p2 non vengono conservati: le fotocamere importate tengono solo k1 e k2.</translation>
    </message>
    <message>
        <source>The skew (b2) of the calibration is not kept: the imported cameras have none.</source>
        <translation>L&apos;inclinazione (b2) della calibrazione non viene conservata: le fotocamere importate non ne hanno.</translation>
    </message>
    <message>
        <source>%1 cameras are not aligned (no transform) and are left out.</source>
        <translation>%1 fotocamere non sono allineate (nessuna trasformazione) e vengono escluse.</translation>
    </message>
</context>
<context>
    <name>MultiresolutionStep</name>
    <message>
        <source>Multiresolution model</source>
        <translation>Modello multirisoluzione</translation>
    </message>
    <message>
        <source>The multiresolution model would be written over its input model &quot;%1&quot;. Choose another file name for it.</source>
        <translation>Il modello multirisoluzione sovrascriverebbe il suo modello di ingresso &quot;%1&quot;. Scegliete un altro nome di file.</translation>
    </message>
</context>
<context>
    <name>MultiresolutionStepType</name>
    <message>
        <source>Multiresolution model</source>
        <translation>Modello multirisoluzione</translation>
    </message>
    <message>
        <source>&quot;tesselbuilder&quot; error</source>
        <translation>Errore di &quot;tesselbuilder&quot;</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Errore sconosciuto</translation>
    </message>
    <message>
        <source>no model was written.</source>
        <translation>nessun modello è stato scritto.</translation>
    </message>
    <message>
        <source>written to %1.</source>
        <translation>scritto in %1.</translation>
    </message>
</context>
<context>
    <name>NvmFile</name>
    <message>
        <source>expected NAME FOCAL QW QX QY QZ CX CY CZ DISTORTION 0, with a positive focal length</source>
        <translation>attesi NAME FOCAL QW QX QY QZ CX CY CZ DISTORTION 0, con una focale positiva</translation>
    </message>
    <message>
        <source>the radial distortion is not a usable number</source>
        <translation>la distorsione radiale non è un numero utilizzabile</translation>
    </message>
    <message>
        <source>expected X Y Z R G B COUNT and COUNT measurements</source>
        <translation>attesi X Y Z R G B COUNT e COUNT misure</translation>
    </message>
    <message>
        <source>a measurement refers to camera &quot;%1&quot;; the model has %2 cameras</source>
        <translation>una misura si riferisce alla fotocamera &quot;%1&quot;; il modello ha %2 fotocamere</translation>
    </message>
    <message>
        <source>the file does not start with NVM_V3</source>
        <translation>il file non inizia con NVM_V3</translation>
    </message>
    <message>
        <source>expected the number of cameras</source>
        <translation>atteso il numero di fotocamere</translation>
    </message>
    <message>
        <source>%1 cameras are announced but only %2 lines follow</source>
        <translation>sono annunciate %1 fotocamere ma seguono solo %2 righe</translation>
    </message>
    <message>
        <source>the file ends after %1 of %2 cameras</source>
        <translation>il file termina dopo %1 fotocamere su %2</translation>
    </message>
    <message>
        <source>The radial distortion of %1 NVM cameras is not kept: NVM&apos;s distortion (on measured pixels) is not the kind the imported cameras hold.</source>
        <translation>La distorsione radiale di %1 fotocamere NVM non è conservata: quella di NVM (sui pixel misurati) non è del tipo che hanno le fotocamere importate.</translation>
    </message>
    <message>
        <source>expected the number of points</source>
        <translation>atteso il numero di punti</translation>
    </message>
    <message>
        <source>%1 points are announced but only %2 lines follow</source>
        <translation>sono annunciati %1 punti ma seguono solo %2 righe</translation>
    </message>
    <message>
        <source>the file ends after %1 of %2 points</source>
        <translation>il file termina dopo %1 punti su %2</translation>
    </message>
    <message>
        <source>The file holds %1 more models after the first; only the first was imported.</source>
        <translation>Il file contiene altri %1 modelli dopo il primo; solo il primo è stato importato.</translation>
    </message>
    <message>
        <source>expected NVM_V3 FixedK FX CX FY CY with positive focal lengths</source>
        <translation>atteso NVM_V3 FixedK FX CX FY CY con lunghezze focali positive</translation>
    </message>
    <message>
        <source>&quot;%1&quot; after NVM_V3 is not understood and not used</source>
        <translation>«%1» dopo NVM_V3 non è compreso e non viene usato</translation>
    </message>
</context>
<context>
    <name>OffscreenGLWidget</name>
    <message>
        <source>Could not create an off-screen OpenGL surface.</source>
        <translation>Impossibile creare una superficie OpenGL fuori schermo.</translation>
    </message>
    <message>
        <source>Could not create an OpenGL context.</source>
        <translation>Impossibile creare un contesto OpenGL.</translation>
    </message>
    <message>
        <source>The OpenGL context can only be moved by the thread that owns it.</source>
        <translation>Il contesto OpenGL può essere spostato solo dal thread che lo possiede.</translation>
    </message>
    <message>
        <source>The OpenGL context belongs to another thread.</source>
        <translation>Il contesto OpenGL appartiene a un altro thread.</translation>
    </message>
    <message>
        <source>Could not make the OpenGL context current.</source>
        <translation>Impossibile rendere corrente il contesto OpenGL.</translation>
    </message>
    <message>
        <source>Could not load the OpenGL entry points: %1</source>
        <translation>Impossibile caricare i punti di ingresso OpenGL: %1</translation>
    </message>
</context>
<context>
    <name>OffscreenViewer</name>
    <message>
        <source>Could not make an off-screen framebuffer of %1 x %2 pixels.</source>
        <translation>Impossibile creare un framebuffer fuori schermo di %1 x %2 pixel.</translation>
    </message>
</context>
<context>
    <name>OpenMvgJson</name>
    <message>
        <source>view %1 needs a filename, an id_intrinsic and an id_pose</source>
        <translation>la vista %1 richiede un filename, un id_intrinsic e un id_pose</translation>
    </message>
    <message>
        <source>The %1 distortion of some cameras is not kept: the imported cameras hold k1 and k2 only.</source>
        <translation>La distorsione %1 di alcune fotocamere non viene conservata: le fotocamere importate tengono solo k1 e k2.</translation>
    </message>
    <message>
        <source>tangential (t1, t2) and k3</source>
        <translation>tangenziale (t1, t2) e k3</translation>
    </message>
    <message>
        <source>k3</source>
        <translation>k3</translation>
    </message>
    <message>
        <source>%1 views have no pose in the file and are left out.</source>
        <translation>%1 viste non hanno una posa nel file e vengono escluse.</translation>
    </message>
    <message>
        <source>intrinsic %1 has no key or no polymorphic_id</source>
        <translation>i parametri interni %1 non hanno key o polymorphic_id</translation>
    </message>
    <message>
        <source>intrinsic %1 uses the camera model &quot;%2&quot;, which cannot be imported (accepted: pinhole, pinhole_radial_k1, pinhole_radial_k3, pinhole_brown_t2)</source>
        <translation>i parametri interni %1 usano il modello di fotocamera «%2», che non può essere importato (accettati: pinhole, pinhole_radial_k1, pinhole_radial_k3, pinhole_brown_t2)</translation>
    </message>
    <message>
        <source>intrinsic %1 needs width, height, a positive focal_length and a principal_point</source>
        <translation>i parametri interni %1 richiedono width, height, una focal_length positiva e un principal_point</translation>
    </message>
    <message>
        <source>intrinsic %1: %2 holds a value that is no number</source>
        <translation>parametri interni %1: %2 contiene un valore che non è un numero</translation>
    </message>
    <message>
        <source>extrinsic %1 needs a key, a rotation (three rows of three) and a center</source>
        <translation>i parametri esterni %1 richiedono una key, una rotazione (tre righe di tre) e un center</translation>
    </message>
</context>
<context>
    <name>OrderAndSemanticThread</name>
    <message>
        <source>Photograph %1: not found</source>
        <translation>Fotografia %1: non trovata</translation>
    </message>
</context>
<context>
    <name>OrderStrip</name>
    <message>
        <source>The photographs in the order the viewer shows them; each cluster has its own colour. Click one to select its row in the table.</source>
        <translation>Le fotografie nell&apos;ordine in cui il visualizzatore le mostra; ogni gruppo ha il suo colore. Fate clic su una di esse per selezionarne la riga nella tabella.</translation>
    </message>
    <message>
        <source>%1 · c%2</source>
        <translation>%1 · c%2</translation>
    </message>
    <message>
        <source>Shown %1 of %2, cluster %3, row %4
%5</source>
        <translation>Mostrata %1 di %2, gruppo %3, riga %4
%5</translation>
    </message>
</context>
<context>
    <name>OrderingStepType</name>
    <message>
        <source>Ordering and clustering</source>
        <translation>Ordinamento e raggruppamento</translation>
    </message>
    <message>
        <source>Depths missing</source>
        <translation>Profondità mancanti</translation>
    </message>
    <message>
        <source>The ordering needs the depth of every shot: compute the depths first.</source>
        <translation>L&apos;ordinamento richiede la profondità di ogni scatto: calcolare prima le profondità.</translation>
    </message>
    <message>
        <source>Ordering not computed</source>
        <translation>Ordinamento non calcolato</translation>
    </message>
    <message>
        <source>The ordering job did not report every shot.</source>
        <translation>Il lavoro di ordinamento non ha riferito su ogni scatto.</translation>
    </message>
    <message>
        <source>the order shown is unchanged.</source>
        <translation>l&apos;ordine mostrato è invariato.</translation>
    </message>
    <message>
        <source>%1 shots in viewing order.</source>
        <translation>%1 scatti nell&apos;ordine di visita.</translation>
    </message>
    <message>
        <source>%1 shots in viewing order, cluster values %2 to %3.</source>
        <translation>%1 scatti nell&apos;ordine di visita, valori di gruppo da %2 a %3.</translation>
    </message>
</context>
<context>
    <name>OrientationWidget</name>
    <message>
        <source>The model as the viewer shows it from the start photograph. Drag to turn it, use the wheel to move closer, double-click to return to the start view. The photographs&apos; cameras are drawn as small pyramids, the start photograph&apos;s in yellow.</source>
        <translation>Il modello come il visualizzatore lo mostra dalla fotografia iniziale. Trascinate per ruotarlo, usate la rotella per avvicinarvi, fate doppio clic per tornare alla vista iniziale. Le fotocamere delle fotografie sono disegnate come piccole piramidi, quella della fotografia iniziale in giallo.</translation>
    </message>
</context>
<context>
    <name>OrvelleIndexRead</name>
    <message>
        <source>Wrong file format</source>
        <translation>Formato di file errato</translation>
    </message>
    <message>
        <source>Failed to parse index file!</source>
        <translation>Impossibile analizzare il file di indice!</translation>
    </message>
    <message>
        <source>The &quot;id&quot; values of the shots in a collection must be 0 to %1, each once!</source>
        <translation>I valori &quot;id&quot; degli scatti di una collezione devono andare da 0 a %1, ciascuno una volta!</translation>
    </message>
    <message>
        <source>Degenerate &quot;shotFrame&quot; attribute in tag &quot;collection&quot;!</source>
        <translation>Attributo &quot;shotFrame&quot; degenere nel tag &quot;collection&quot;!</translation>
    </message>
    <message>
        <source>Wrong index file format</source>
        <translation>Formato del file di indice errato</translation>
    </message>
    <message>
        <source>Expected &quot;%1&quot; tag, but found &quot;%2&quot;!</source>
        <translation>Atteso il tag &quot;%1&quot;, ma trovato &quot;%2&quot;!</translation>
    </message>
    <message>
        <source>Unknown tag: &quot;%1&quot;!</source>
        <translation>Tag sconosciuto: &quot;%1&quot;!</translation>
    </message>
    <message>
        <source>Expected &quot;%1&quot; attribute in tag &quot;%2&quot;!</source>
        <translation>Atteso l&apos;attributo &quot;%1&quot; nel tag &quot;%2&quot;!</translation>
    </message>
    <message>
        <source>The &quot;%1&quot; attribute of a &quot;%2&quot; does not hold the finite numbers it must.</source>
        <translation>L&apos;attributo «%1» di un «%2» non contiene i numeri finiti richiesti.</translation>
    </message>
</context>
<context>
    <name>PhotoViewer</name>
    <message>
        <source>Previous</source>
        <translation>Precedente</translation>
    </message>
    <message>
        <source>Show the photograph of the row above (Left arrow)</source>
        <translation>Mostra la fotografia della riga sopra (freccia sinistra)</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Successiva</translation>
    </message>
    <message>
        <source>Show the photograph of the row below (Right arrow)</source>
        <translation>Mostra la fotografia della riga sotto (freccia destra)</translation>
    </message>
    <message>
        <source>Fit</source>
        <translation>Adatta</translation>
    </message>
    <message>
        <source>Fit the whole photograph into the window (F)</source>
        <translation>Adatta l&apos;intera fotografia alla finestra (F)</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Ingrandisci</translation>
    </message>
    <message>
        <source>Enlarge the photograph (+ or the mouse wheel)</source>
        <translation>Ingrandisci la fotografia (+ o la rotella del mouse)</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Riduci</translation>
    </message>
    <message>
        <source>Reduce the photograph (- or the mouse wheel)</source>
        <translation>Riduci la fotografia (- o la rotella del mouse)</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 di %2</translation>
    </message>
    <message>
        <source>Photograph</source>
        <translation>Fotografia</translation>
    </message>
    <message>
        <source>%1: %2 cannot be shown (%3)</source>
        <translation>%1: %2 non può essere mostrata (%3)</translation>
    </message>
    <message>
        <source>%1: %2 (%3 x %4 pixels)</source>
        <translation>%1: %2 (%3 x %4 pixel)</translation>
    </message>
</context>
<context>
    <name>PolyforgeProject</name>
    <message>
        <source>Cannot open %1</source>
        <translation>Impossibile aprire %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not well-formed XML (line %2, column %3): %4</source>
        <translation>&quot;%1&quot; non è XML ben formato (riga %2, colonna %3): %4</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>The order of the shots is not a permutation of the shots.</source>
        <translation>L&apos;ordine degli scatti non è una permutazione degli scatti.</translation>
    </message>
    <message>
        <source>The dome has not one colour per height.</source>
        <translation>La cupola non ha un colore per altezza.</translation>
    </message>
    <message>
        <source>The values of the shots do not agree in number.</source>
        <translation>I valori degli scatti non concordano nel numero.</translation>
    </message>
    <message>
        <source>Not every shot has all its values yet.</source>
        <translation>Non tutti gli scatti hanno ancora tutti i loro valori.</translation>
    </message>
</context>
<context>
    <name>ReconstructionImport</name>
    <message>
        <source>The mesh &quot;%1&quot; does not exist.</source>
        <translation>La mesh &quot;%1&quot; non esiste.</translation>
    </message>
    <message>
        <source>The 3D points could not be written as the model &quot;%1&quot;: %2</source>
        <translation>Non è stato possibile scrivere i punti 3D come modello &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>The reconstruction&apos;s %1 3D points serve as the model: &quot;%2&quot;.</source>
        <translation>I %1 punti 3D della ricostruzione fanno da modello: &quot;%2&quot;.</translation>
    </message>
    <message>
        <source>Wrong file format</source>
        <translation>Formato di file errato</translation>
    </message>
    <message>
        <source>The reconstruction &quot;%1&quot; could not be read.
%2</source>
        <translation>Non è stato possibile leggere la ricostruzione &quot;%1&quot;.
%2</translation>
    </message>
    <message>
        <source>The images folder &quot;%1&quot; does not exist.</source>
        <translation>La cartella delle immagini &quot;%1&quot; non esiste.</translation>
    </message>
    <message>
        <source>%1 of the %2 photographs were not found (or not readable) in &quot;%3&quot;: give the folder that holds them.</source>
        <translation>%1 delle %2 fotografie non sono state trovate (o non sono leggibili) in &quot;%3&quot;: indicate la cartella che le contiene.</translation>
    </message>
    <message>
        <source>%1 photographs in &quot;%2&quot; have no camera in the reconstruction and are left out.</source>
        <translation>%1 fotografie in &quot;%2&quot; non hanno una fotocamera nella ricostruzione e sono escluse.</translation>
    </message>
    <message>
        <source>Imported dataset error!</source>
        <translation>Errore nell&apos;insieme di dati importato!</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds no reconstruction this program reads (a COLMAP model, .nvm, .out, Metashape .xml, transforms.json, Meshroom .sfm, OpenMVG sfm_data.json).</source>
        <translation>«%1» non contiene nessuna ricostruzione che questo programma legga (un modello COLMAP, .nvm, .out, .xml Metashape, transforms.json, .sfm Meshroom, sfm_data.json OpenMVG).</translation>
    </message>
    <message>
        <source>The photograph &quot;%1&quot; lies outside the images folder &quot;%2&quot;: it is not read.</source>
        <translation>La fotografia «%1» si trova fuori dalla cartella delle immagini «%2»: non viene letta.</translation>
    </message>
</context>
<context>
    <name>RunFiles</name>
    <message>
        <source>the dataset</source>
        <translation>il dataset</translation>
    </message>
    <message>
        <source>the reconstruction&apos;s list of photographs</source>
        <translation>l&apos;elenco delle fotografie della ricostruzione</translation>
    </message>
    <message>
        <source>a file of the reconstruction</source>
        <translation>un file della ricostruzione</translation>
    </message>
    <message>
        <source>a photograph</source>
        <translation>una fotografia</translation>
    </message>
    <message>
        <source>a thumbnail</source>
        <translation>una miniatura</translation>
    </message>
    <message>
        <source>a model</source>
        <translation>un modello</translation>
    </message>
    <message>
        <source>the index</source>
        <translation>l&apos;indice</translation>
    </message>
    <message>
        <source>the multiresolution model</source>
        <translation>il modello multirisoluzione</translation>
    </message>
    <message>
        <source>the reconstruction&apos;s point cloud</source>
        <translation>la nuvola di punti della ricostruzione</translation>
    </message>
    <message>
        <source>Index generation status</source>
        <translation>Stato della generazione dell&apos;indice</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is one of the files the generation reads (%2): it is not written over as %3.</source>
        <translation>«%1» è uno dei file che la generazione legge (%2): non viene sovrascritto come %3.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; would be written twice, as %2 and as %3: choose another name.</source>
        <translation>«%1» verrebbe scritto due volte, come %2 e come %3: scegliere un altro nome.</translation>
    </message>
</context>
<context>
    <name>Session</name>
    <message>
        <source>No index file was written.</source>
        <translation>Nessun file di indice è stato scritto.</translation>
    </message>
    <message>
        <source>Imported dataset error!</source>
        <translation>Errore nell&apos;insieme di dati importato!</translation>
    </message>
    <message>
        <source>The dataset holds no photograph.</source>
        <translation>L&apos;insieme di dati non contiene alcuna fotografia.</translation>
    </message>
    <message>
        <source>%1 is already running.</source>
        <translation>%1 è già in corso.</translation>
    </message>
    <message>
        <source>Index generation status</source>
        <translation>Stato della generazione dell&apos;indice</translation>
    </message>
    <message>
        <source>Not every step ended.</source>
        <translation>Non tutti i passi sono terminati.</translation>
    </message>
    <message>
        <source>Depths missing</source>
        <translation>Profondità mancanti</translation>
    </message>
    <message>
        <source>The dataset carries no depths: they must be computed from the model.</source>
        <translation>L&apos;insieme di dati non contiene profondità: devono essere calcolate dal modello.</translation>
    </message>
    <message>
        <source>An unexpected error occured while generating the index file!</source>
        <translation>Si è verificato un errore imprevisto durante la generazione del file di indice!</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be written: %2.</source>
        <translation>&quot;%1&quot; non può essere scritto: %2.</translation>
    </message>
    <message>
        <source>&quot;tesselbuilder&quot; error</source>
        <translation>Errore di &quot;tesselbuilder&quot;</translation>
    </message>
    <message>
        <source>The multiresolution model &quot;%1&quot; cannot be written: %2.</source>
        <translation>Il modello multirisoluzione &quot;%1&quot; non può essere scritto: %2.</translation>
    </message>
    <message>
        <source>Start shot</source>
        <translation>Scatto iniziale</translation>
    </message>
    <message>
        <source>The start shot must lie between 1 and %1.</source>
        <translation>Lo scatto iniziale deve essere compreso tra 1 e %1.</translation>
    </message>
    <message>
        <source>Not every shot has all its values yet.</source>
        <translation>Non tutti gli scatti hanno ancora tutti i loro valori.</translation>
    </message>
    <message>
        <source>Model not found</source>
        <translation>Modello non trovato</translation>
    </message>
    <message>
        <source>The model file &quot;%1&quot; does not exist.</source>
        <translation>Il file del modello &quot;%1&quot; non esiste.</translation>
    </message>
    <message>
        <source>Up direction</source>
        <translation>Direzione verso l&apos;alto</translation>
    </message>
    <message>
        <source>The up direction is %1 degrees from the cameras&apos; up direction: the viewer may show the scene on its side.</source>
        <translation>La direzione dell&apos;alto è a %1 gradi da quella delle fotocamere: il visualizzatore potrebbe mostrare la scena coricata.</translation>
    </message>
    <message>
        <source>Leave out</source>
        <translation>Escludi</translation>
    </message>
    <message>
        <source>Shots can be left out once the running jobs have ended.</source>
        <translation>Gli scatti possono essere esclusi una volta terminati i lavori in corso.</translation>
    </message>
    <message>
        <source>At least one shot must stay in the dataset.</source>
        <translation>Almeno uno scatto deve restare nell&apos;insieme di dati.</translation>
    </message>
    <message>
        <source>Photographs not found</source>
        <translation>Fotografie non trovate</translation>
    </message>
    <message>
        <source>None of the photographs of the dataset was found.</source>
        <translation>Nessuna fotografia dell&apos;insieme di dati è stata trovata.</translation>
    </message>
</context>
<context>
    <name>SfmReader</name>
    <message>
        <source>%1 could not be read: %2</source>
        <translation>Impossibile leggere %1: %2</translation>
    </message>
    <message>
        <source>%1, line %2: %3</source>
        <translation>%1, riga %2: %3</translation>
    </message>
    <message>
        <source>the file %1</source>
        <translation>il file %1</translation>
    </message>
    <message>
        <source>%1, byte %2: %3</source>
        <translation>%1, byte %2: %3</translation>
    </message>
    <message>
        <source>%1: the file holds no JSON object</source>
        <translation>%1: il file non contiene alcun oggetto JSON</translation>
    </message>
    <message>
        <source>the line is longer than %1 MB, more than any reconstruction writes</source>
        <translation>la riga è più lunga di %1 MB, più di quanto scriva qualsiasi ricostruzione</translation>
    </message>
</context>
<context>
    <name>TesselComputationProcess</name>
    <message>
        <source>&quot;tesselbuilder&quot; error</source>
        <translation>Errore di &quot;tesselbuilder&quot;</translation>
    </message>
    <message>
        <source>Failed to start</source>
        <translation>Avvio non riuscito</translation>
    </message>
    <message>
        <source>Crashed</source>
        <translation>Arresto anomalo</translation>
    </message>
    <message>
        <source>Timedout</source>
        <translation>Tempo scaduto</translation>
    </message>
    <message>
        <source>Read error</source>
        <translation>Errore di lettura</translation>
    </message>
    <message>
        <source>Write error</source>
        <translation>Errore di scrittura</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Errore sconosciuto</translation>
    </message>
    <message>
        <source>Unexpected error</source>
        <translation>Errore imprevisto</translation>
    </message>
    <message>
        <source>Exited with code %1</source>
        <translation>Terminato con il codice %1</translation>
    </message>
</context>
<context>
    <name>ThumbnailStepType</name>
    <message>
        <source>Thumbnails</source>
        <translation>Miniature</translation>
    </message>
    <message>
        <source>Thumbnails missing</source>
        <translation>Miniature mancanti</translation>
    </message>
    <message>
        <source>These thumbnails do not exist:
%1</source>
        <translation>Queste miniature non esistono:
%1</translation>
    </message>
    <message>
        <source>Thumbnails not made</source>
        <translation>Miniature non create</translation>
    </message>
    <message>
        <source>The thumbnail job did not report every photograph; these thumbnails cannot be used:
%1</source>
        <translation>Il lavoro delle miniature non ha riferito di ogni fotografia; queste miniature non si possono usare:
%1</translation>
    </message>
    <message>
        <source>%1 of %2 shots have a thumbnail.</source>
        <translation>%1 scatti su %2 hanno una miniatura.</translation>
    </message>
</context>
<context>
    <name>TransformsJson</name>
    <message>
        <source>%1: there is no list of &quot;frames&quot;</source>
        <translation>%1: non c&apos;è un elenco «frames»</translation>
    </message>
    <message>
        <source>%1, frame %2: </source>
        <translation>%1, fotogramma %2: </translation>
    </message>
    <message>
        <source>no &quot;file_path&quot;</source>
        <translation>nessun «file_path»</translation>
    </message>
    <message>
        <source>&quot;transform_matrix&quot; of &quot;%1&quot; is not four rows of four numbers holding a rotation</source>
        <translation>la «transform_matrix» di «%1» non è composta da quattro righe di quattro numeri che formano una rotazione</translation>
    </message>
    <message>
        <source>The tangential and higher radial distortion (p1, p2, k3, k4) of %1 frames is not kept: the imported cameras hold k1 and k2 only.</source>
        <translation>La distorsione tangenziale e radiale di ordine superiore (p1, p2, k3, k4) di %1 fotogrammi non viene conservata: le fotocamere importate tengono solo k1 e k2.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a usable number</source>
        <translation>«%1» non è un numero utilizzabile</translation>
    </message>
    <message>
        <source>the camera model %1 cannot be imported (accepted: OPENCV, PINHOLE)</source>
        <translation>il modello di fotocamera %1 non può essere importato (accettati: OPENCV, PINHOLE)</translation>
    </message>
    <message>
        <source>no focal length (fl_x) and no field of view (camera_angle_x)</source>
        <translation>né lunghezza focale (fl_x) né campo visivo (camera_angle_x)</translation>
    </message>
</context>
<context>
    <name>ViewerScene</name>
    <message>
        <source>The model &quot;%1&quot; does not exist.</source>
        <translation>Il modello &quot;%1&quot; non esiste.</translation>
    </message>
    <message>
        <source>The model &quot;%1&quot; holds nothing to draw.</source>
        <translation>Il modello &quot;%1&quot; non contiene nulla da disegnare.</translation>
    </message>
    <message>
        <source>The multiresolution model &quot;%1&quot; cannot be read: %2</source>
        <translation>Il modello multirisoluzione &quot;%1&quot; non può essere letto: %2</translation>
    </message>
</context>
<context>
    <name>ViewerWidget</name>
    <message>
        <source>The scene as the viewer shows it. Click a thumbnail or a frame, or use the arrow keys, to move between photographs; drag to turn, use the wheel to move closer; Home returns to the start view.</source>
        <translation>La scena come il visualizzatore la mostra. Fate clic su una miniatura o su una cornice, oppure usate i tasti freccia, per passare da una fotografia all&apos;altra; trascinate per ruotare, usate la rotella per avvicinarvi; Home riporta alla vista iniziale.</translation>
    </message>
</context>
<context>
    <name>XmlNesting</name>
    <message>
        <source>%1 (line %2)</source>
        <translation>%1 (riga %2)</translation>
    </message>
    <message>
        <source>declares entities or elements of its own (a DOCTYPE with an internal subset), which these files never do</source>
        <translation>dichiara entità o elementi propri (un DOCTYPE con un sottoinsieme interno), cosa che questi file non fanno mai</translation>
    </message>
    <message>
        <source>has more than %1 elements and attributes</source>
        <translation>ha più di %1 elementi e attributi</translation>
    </message>
    <message>
        <source>is nested more than %1 elements deep</source>
        <translation>è annidato per più di %1 livelli di elementi</translation>
    </message>
    <message>
        <source>has an attribute value longer than %1 bytes</source>
        <translation>ha un valore di attributo più lungo di %1 byte</translation>
    </message>
    <message>
        <source>has an element with more than %1 attributes</source>
        <translation>ha un elemento con più di %1 attributi</translation>
    </message>
</context>
<context>
    <name>ksr::io</name>
    <message>
        <source>Unknown type</source>
        <translation>Tipo sconosciuto</translation>
    </message>
    <message>
        <source>VMI files are not supported</source>
        <translation>I file VMI non sono supportati</translation>
    </message>
    <message>
        <source>No error</source>
        <translation>Nessun errore</translation>
    </message>
    <message>
        <source>Can&apos;t open file</source>
        <translation>Impossibile aprire il file</translation>
    </message>
    <message>
        <source>Not a valid %1 file (bad header)</source>
        <translation>File %1 non valido (intestazione errata)</translation>
    </message>
    <message>
        <source>Unexpected end of file: the %1 file is truncated</source>
        <translation>Fine del file inattesa: il file %1 è troncato</translation>
    </message>
    <message>
        <source>Invalid number in the %1 data</source>
        <translation>Numero non valido nei dati %1</translation>
    </message>
    <message>
        <source>A face refers to a vertex that does not exist</source>
        <translation>Una faccia si riferisce a un vertice che non esiste</translation>
    </message>
    <message>
        <source>The %1 header announces more elements than can be read</source>
        <translation>L&apos;intestazione %1 annuncia più elementi di quanti se ne possano leggere</translation>
    </message>
    <message>
        <source>Unsupported %1 variant</source>
        <translation>Variante %1 non supportata</translation>
    </message>
    <message>
        <source>The %1 file could not be read</source>
        <translation>Non è stato possibile leggere il file %1</translation>
    </message>
    <message>
        <source>The %1 header declares an element with a count above 0 but no properties</source>
        <translation>L&apos;intestazione %1 dichiara un elemento con conteggio maggiore di 0 ma senza proprietà</translation>
    </message>
    <message>
        <source>Every vertex of the %1 file has a coordinate that is not a number or is infinite</source>
        <translation>Ogni vertice del file %1 ha una coordinata che non è un numero o è infinita</translation>
    </message>
    <message>
        <source>The file is too large to read (a special file, or over 2 GB)</source>
        <translation>Il file è troppo grande per essere letto (un file speciale, o oltre 2 GB)</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Errore sconosciuto</translation>
    </message>
    <message>
        <source>A line of the %1 file is longer than %2 MB, more than any model holds</source>
        <translation>Una riga del file %1 è più lunga di %2 MB, più di quanto contenga qualsiasi modello</translation>
    </message>
    <message>
        <source>The file is not a regular file but a FIFO, a device or a folder; it was not read</source>
        <translation>Il file non è un file regolare ma una FIFO, un dispositivo o una cartella; non è stato letto</translation>
    </message>
</context>
</TS>
