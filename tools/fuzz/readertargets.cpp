#include "readertargets.h"

#include "bundlerfile.h"
#include "colmapmodel.h"
#include "importproperties.h"
#include "meshroomsfm.h"
#include "metashapexml.h"
#include "nvmfile.h"
#include "openmvgjson.h"
#include "orvelleindexread.h"
#include "polyforgeproject.h"
#include "shottime.h"
#include "transformsjson.h"

#include <ksr/meshio.h>
#include <ksr/tslreader.h>

namespace
{

void readIndex(const QString &path)
{
    OrvelleIndexRead reader;
    reader.readFile(path);
}

void readProjectFile(const QString &path)
{
    QVector<Camera> cameras;
    QStringList rasters, meshes;
    QString error;
    PolyforgeProject::readProject(path, cameras, rasters, meshes, &error);
}

void readExif(const QString &path)
{
    readExifShotTime(path);
}

void readMesh(const QString &path)
{
    ksr::CMesh mesh;
    int loadMask = 0;
    ksr::io::importMesh(mesh, path, loadMask);
}

// The finest level as importMesh reads it, and the whole tree as the preview reads it.
void readMultiresolution(const QString &path)
{
    readMesh(path);
    TslModel model;
    ksr::io::readTslTree(path, model);
}

// The cameras also go through the conversion the import applies once the photograph's size is known.
void completeCameras(const SfmReconstruction &model)
{
    for (const SfmImage &image : model.images)
        if (image.sizeFromPhoto)
            SfmCameras::completedWithPhoto(image, 1024, 768);
}

void readNvm(const QString &path)
{
    completeCameras(NvmFile::read(path));
    checkImportProperties(path);
}

void readBundler(const QString &folder)
{
    completeCameras(BundlerFile::read(folder + QLatin1String("/model.bundle.out")));
    checkImportProperties(folder + QLatin1String("/model.bundle.out"));
}

void readColmap(const QString &folder)
{
    completeCameras(ColmapModel::readModel(ColmapModel::modelFolder(folder)));
    checkImportProperties(folder);
}

void readMetashape(const QString &path)
{
    completeCameras(MetashapeXml::read(path));
}

void readTransforms(const QString &path)
{
    completeCameras(TransformsJson::read(path));
}

void readMeshroom(const QString &path)
{
    completeCameras(MeshroomSfm::read(path));
}

void readOpenMvg(const QString &path)
{
    completeCameras(OpenMvgJson::read(path));
}

} // namespace

const QList<ReaderTarget> &readerTargets()
{
    static const QList<ReaderTarget> targets = {
        {"index", "index files (.orx)", {"orx"}, readIndex},
        {"project", "project files (.pfp)", {"pfp"}, readProjectFile},
        {"exif", "JPEG/EXIF headers (.jpg)", {"jpg"}, readExif},
        {"mesh",
         "models (.ply, .stl, .off; .obj goes through the external importer)",
         {"ply", "stl", "off", "obj"},
         readMesh},
        {"tsl", "multiresolution models (.tsl): finest level and whole tree", {"tsl"}, readMultiresolution},
        {"nvm", "NVM reconstructions (.nvm)", {"nvm"}, readNvm},
        {"bundler",
         "Bundler reconstructions (model.bundle.out, model.list.txt)",
         {},
         readBundler,
         {"model.bundle.out", "model.list.txt"}},
        {"colmap-text",
         "COLMAP text models (cameras, images, points3D .txt)",
         {},
         readColmap,
         {"cameras.txt", "images.txt", "points3D.txt"}},
        {"colmap-binary",
         "COLMAP binary models (cameras, images, points3D .bin)",
         {},
         readColmap,
         {"cameras.bin", "images.bin", "points3D.bin"}},
        {"metashape", "Metashape camera files (.xml)", {"xml"}, readMetashape},
        {"transforms", "transforms.json camera files (nerfstudio, instant-ngp)", {"json"}, readTransforms},
        {"meshroom", "Meshroom / AliceVision files (.sfm)", {"sfm"}, readMeshroom},
        {"openmvg", "OpenMVG sfm_data.json files", {"json"}, readOpenMvg},
    };
    return targets;
}

const ReaderTarget *readerTarget(const QString &name)
{
    for (const ReaderTarget &target : readerTargets())
        if (name == QLatin1String(target.name))
            return &target;
    return nullptr;
}
