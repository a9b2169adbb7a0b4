#include "readertargets.h"

#include "orvelleindexread.h"
#include "polyforgeproject.h"
#include "shottime.h"

#include <ksr/meshio.h>

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
