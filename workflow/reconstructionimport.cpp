#include "reconstructionimport.h"

#include "bundlerfile.h"
#include "colmapmodel.h"
#include "meshroomsfm.h"
#include "metashapexml.h"
#include "nvmfile.h"
#include "openmvgjson.h"
#include "photonames.h"
#include "transformsjson.h"

#include <ksr/localorigin.h>
#include <ksr/safefile.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>
#include <QtEndian>

#include <ksr/inputlimits.h>

#include <algorithm>

namespace
{

// A named context: lupdate cannot file the texts of free functions otherwise.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(ReconstructionImport)
};

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

bool hasSuffix(const QString &path, const char *suffix)
{
    return QFileInfo(path).suffix().compare(QLatin1String(suffix), Qt::CaseInsensitive) == 0;
}

enum class Kind { None, Colmap, Nvm, Bundler, Metashape, Transforms, Meshroom, OpenMvg };

// The start of a regular file, where the JSON and XML formats show what they are.
QByteArray fileHead(const QString &path)
{
    QFile file(path);
    if (!ksr::inputFileProblem(path).isEmpty() || !file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(64 * 1024);
}

bool isColmapFile(const QFileInfo &info);

Kind kindOf(const QString &path)
{
    if (hasSuffix(path, "nvm"))
        return Kind::Nvm;
    if (hasSuffix(path, "out"))
        return Kind::Bundler;
    if (hasSuffix(path, "sfm"))
        return Kind::Meshroom;
    if (hasSuffix(path, "xml")) {
        const QByteArray head = fileHead(path);
        return head.contains("<document") && head.contains("<chunk") ? Kind::Metashape : Kind::None;
    }
    if (hasSuffix(path, "json")) {
        const QByteArray head = fileHead(path);
        if (head.contains("\"sfm_data_version\""))
            return Kind::OpenMvg;
        if (head.contains("\"intrinsicId\"") && head.contains("\"views\""))
            return Kind::Meshroom;
        if (head.contains("\"frames\"") || head.contains("\"transform_matrix\""))
            return Kind::Transforms;
        return Kind::None;
    }
    const QFileInfo info(path);
    return (info.isDir() || isColmapFile(info)) && !ColmapModel::modelFolder(path).isEmpty() ? Kind::Colmap
                                                                                             : Kind::None;
}

// The photograph a name from the file stands for: as written, or its last part (names written
// on another machine may carry its folders), each also with an image suffix added (Metashape
// labels, transforms.json paths without one). Empty when there is none.
QString findPhoto(const QDir &images, const QString &name)
{
    static const char *const suffixes[] = {"jpg", "JPG", "jpeg", "JPEG", "png",
                                           "PNG", "tif", "TIF",  "tiff", "TIFF"};
    const QString last = name.section(QRegularExpression(QStringLiteral("[/\\\\]")), -1);
    for (const QString &candidate : {name, last}) {
        QStringList paths = {images.filePath(candidate)};
        for (const char *suffix : suffixes)
            paths.append(images.filePath(candidate) + QLatin1Char('.') + QLatin1String(suffix));
        for (const QString &path : std::as_const(paths)) {
            const QFileInfo info(path);
            if (info.isFile())
                return info.canonicalFilePath();
        }
    }
    return QString();
}

bool isColmapFile(const QFileInfo &info)
{
    static const QStringList names = {QStringLiteral("cameras"), QStringLiteral("images"),
                                      QStringLiteral("points3D")};
    return names.contains(info.completeBaseName()) &&
           (info.suffix() == QLatin1String("txt") || info.suffix() == QLatin1String("bin"));
}

// Photographs in the images folder that the model does not name: not reconstructed.
int unregisteredPhotographs(const QString &imagesFolder, const QStringList &names)
{
    QStringList filters;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        filters << QStringLiteral("*.") + QString::fromLatin1(format);
    const QSet<QString> registered(names.begin(), names.end());
    int count = 0;
    for (const QString &file : QDir(imagesFolder).entryList(filters, QDir::Files))
        if (!registered.contains(file))
            ++count;
    return count;
}

QString pointCloudProblem(const QString &fileName, const QString &why)
{
    return Texts::tr("The 3D points could not be written as the model \"%1\": %2").arg(native(fileName), why);
}

void setModel(const SfmReconstruction &reconstruction, const ImportOptions &options, ImportedDataset &data)
{
    if (!options.meshFile.isEmpty()) {
        const QString mesh = QFileInfo(options.meshFile).canonicalFilePath();
        if (mesh.isEmpty())
            data.problems.append(Texts::tr("The mesh \"%1\" does not exist.").arg(native(options.meshFile)));
        else
            data.modelNames.append(mesh);
        return;
    }
    if (reconstruction.points.isEmpty() || options.pointCloudFile.isEmpty())
        return;
    QString why;
    if (options.pointCloudLater) {
        data.pendingPoints = reconstruction.points;
    } else if (!ReconstructionImport::writePointCloud(options.pointCloudFile, reconstruction.points, &why)) {
        data.problems.append(pointCloudProblem(options.pointCloudFile, why));
        return;
    }
    data.modelNames.append(QFileInfo(options.pointCloudFile).absoluteFilePath());
    data.notes.append(Texts::tr("The reconstruction's %1 3D points serve as the model: \"%2\".")
                          .arg(reconstruction.points.size())
                          .arg(native(options.pointCloudFile)));
}

} // namespace

namespace ReconstructionImport
{

bool isReconstruction(const QString &path)
{
    return kindOf(path) != Kind::None;
}

SfmReconstruction readReconstruction(const QString &path)
{
    switch (kindOf(path)) {
    case Kind::Nvm:
        return NvmFile::read(path);
    case Kind::Bundler:
        return BundlerFile::read(path);
    case Kind::Metashape:
        return MetashapeXml::read(path);
    case Kind::Transforms:
        return TransformsJson::read(path);
    case Kind::Meshroom:
        return MeshroomSfm::read(path);
    case Kind::OpenMvg:
        return OpenMvgJson::read(path);
    case Kind::Colmap:
        return ColmapModel::readModel(ColmapModel::modelFolder(path));
    case Kind::None:
        break;
    }
    SfmReconstruction none;
    none.error = Texts::tr("\"%1\" holds no reconstruction this program reads (a COLMAP model, .nvm, .out, "
                           "Metashape .xml, transforms.json, Meshroom .sfm, OpenMVG sfm_data.json).")
                     .arg(native(path));
    return none;
}

QString defaultImagesFolder(const QString &path)
{
    const Kind kind = kindOf(path);
    if (kind == Kind::OpenMvg) {
        // Relative to the file's folder when it is not absolute.
        const QString root = OpenMvgJson::rootPath(path);
        const QString folder = QFileInfo(path).absoluteDir().absoluteFilePath(root);
        if (!root.isEmpty() && QFileInfo(folder).isDir())
            return QDir::cleanPath(folder);
    }
    if (kind != Kind::Colmap)
        return QFileInfo(path).absolutePath();
    // COLMAP projects keep the model in <project>/sparse or <project>/sparse/<n>, the photographs
    // in <project>/images.
    const QString model = ColmapModel::modelFolder(path);
    QDir dir(model);
    for (int up = 0; up < 2; ++up) {
        if (dir.dirName() == QLatin1String("sparse")) {
            const QString images = QFileInfo(dir.absolutePath()).absolutePath() + QLatin1String("/images");
            if (QFileInfo(images).isDir())
                return images;
        }
        if (!dir.cdUp())
            break;
    }
    return model;
}

QString projectFolder(const QString &path)
{
    const bool colmap = kindOf(path) == Kind::Colmap;
    const QDir start(colmap ? ColmapModel::modelFolder(path) : QFileInfo(path).absolutePath());
    QDir walk = start;
    for (int up = 0; up <= 2; ++up) {
        if (colmap && walk.dirName() == QLatin1String("sparse")) {
            QDir project = walk;
            if (project.cdUp())
                return project.absolutePath();
        }
        if (colmap && QFileInfo(walk.absoluteFilePath(QStringLiteral("images"))).isDir())
            return walk.absolutePath();
        if (!walk.cdUp())
            break;
    }
    return start.absolutePath();
}

QString colmapOutputName(const QString &path)
{
    if (kindOf(path) != Kind::Colmap)
        return QString();
    const QDir dir(projectFolder(path));
    return dir.absoluteFilePath(dir.dirName() + QLatin1String("_generated.orx"));
}

void read(const QString &path, const ImportOptions &options, ImportedDataset &data)
{
    data.recognised = true;
    const bool colmap = kindOf(path) == Kind::Colmap;
    data.folder = colmap ? ColmapModel::modelFolder(path) : QFileInfo(path).absolutePath();
    if (data.folder.isEmpty())
        data.folder = QFileInfo(path).absoluteFilePath();
    const SfmReconstruction reconstruction = readReconstruction(path);
    if (!reconstruction.ok()) {
        data.problemTitle = Texts::tr("Wrong file format");
        data.problems.append(Texts::tr("The reconstruction \"%1\" could not be read.\n%2")
                                 .arg(native(path), reconstruction.error));
        return;
    }

    const QString imagesFolder = options.imagesFolder.isEmpty()
                                     ? defaultImagesFolder(path)
                                     : QFileInfo(options.imagesFolder).absoluteFilePath();
    if (!QFileInfo(imagesFolder).isDir())
        data.problems.append(Texts::tr("The images folder \"%1\" does not exist.").arg(native(imagesFolder)));
    const QDir images(imagesFolder);
    data.imagesFolder = imagesFolder;
    // By name, whatever order the encoding keeps (COLMAP's binary files follow no order).
    QVector<SfmImage> byName = reconstruction.images;
    std::stable_sort(byName.begin(), byName.end(),
                     [](const SfmImage &a, const SfmImage &b) { return a.name < b.name; });
    int missing = 0;
    QStringList found; // file names in the images folder the file accounts for
    for (const QString &name : reconstruction.leftOut) {
        const QString photo = findPhoto(images, name);
        found.append(photo.isEmpty() ? name : QFileInfo(photo).fileName());
    }
    for (const SfmImage &image : std::as_const(byName)) {
        QString photo = findPhoto(images, image.name);
        // Nothing outside the images folder is read, nor gets a thumbnail folder.
        if (!photo.isEmpty() && !PhotoNames::isInside(photo, QFileInfo(imagesFolder).canonicalFilePath())) {
            data.problems.append(
                Texts::tr("The photograph \"%1\" lies outside the images folder \"%2\": it is not read.")
                    .arg(native(image.name), native(imagesFolder)));
            photo.clear();
        }
        Camera camera = image.camera;
        if (!photo.isEmpty() && image.sizeFromPhoto) {
            // The format keeps no image size: the photograph's header gives it.
            const QSize size = QImageReader(photo).size();
            if (size.isValid())
                camera = SfmCameras::completedWithPhoto(image, size.width(), size.height());
            else
                photo.clear();
        }
        if (photo.isEmpty())
            ++missing;
        else
            found.append(QFileInfo(photo).fileName());
        data.imageNames.append(image.name);
        data.imagePaths.append(photo);
        data.cameras.append(camera);
    }
    data.notes.append(reconstruction.warnings);
    if (missing > 0)
        data.notes.append(
            Texts::tr("%1 of the %2 photographs were not found (or not readable) in \"%3\": give the folder "
                      "that holds them.")
                .arg(missing)
                .arg(reconstruction.images.size())
                .arg(native(imagesFolder)));
    if (missing < reconstruction.images.size()) {
        // Bundler lists its unreconstructed photographs; the reader has named them already.
        const int unregistered = unregisteredPhotographs(imagesFolder, found);
        if (unregistered > 0)
            data.notes.append(
                Texts::tr("%1 photographs in \"%2\" have no camera in the reconstruction and are left out.")
                    .arg(unregistered)
                    .arg(native(imagesFolder)));
    }
    setModel(reconstruction, options, data);
    if (!data.problems.isEmpty())
        data.problemTitle = Texts::tr("Imported dataset error!");
    data.readOk = data.problems.isEmpty();
}

QString pointCloudName(const QString &indexFile)
{
    const QFileInfo index(indexFile);
    return index.absolutePath() + QLatin1Char('/') + index.completeBaseName() + QLatin1String("_points.ply");
}

bool writePointCloud(const QString &fileName, const QVector<SfmPoint> &points, QString *error)
{
    // Doubles only where floats would round the points (georeferenced reconstructions): other
    // clouds keep their float files, byte for byte.
    const bool large = std::any_of(points.begin(), points.end(), [](const SfmPoint &point) {
        return ksr::largestMagnitude(point.position) > ksr::largeCoordinate;
    });
    const QByteArray type = large ? "double" : "float";
    ksr::SafeFile file(fileName);
    const QByteArray header = QByteArrayLiteral("ply\nformat binary_little_endian 1.0\n") +
                              "element vertex " + QByteArray::number(points.size()) + "\nproperty " + type +
                              " x\nproperty " + type + " y\nproperty " + type + " z\n" +
                              "property uchar red\nproperty uchar green\nproperty uchar blue\nend_header\n";
    bool written = file.open(QIODevice::WriteOnly) && file.write(header) == header.size();
    const int coordinateSize = large ? 8 : 4;
    for (int i = 0; written && i < points.size(); ++i) {
        const SfmPoint &point = points.at(i);
        char record[27];
        for (int k = 0; k < 3; ++k) {
            if (large)
                qToLittleEndian(point.position[k], record + 8 * k);
            else
                qToLittleEndian(float(point.position[k]), record + 4 * k);
        }
        for (int k = 0; k < 3; ++k)
            record[3 * coordinateSize + k] = char(point.colour[k]);
        const qint64 size = 3 * coordinateSize + 3;
        written = file.write(record, size) == size;
    }
    if (written && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

bool writePendingPointCloud(ImportedDataset &data, Problem *problem)
{
    if (data.pendingPoints.isEmpty() || data.modelNames.isEmpty())
        return true;
    const QString fileName = data.modelNames.first();
    QString why;
    if (!writePointCloud(fileName, data.pendingPoints, &why)) {
        if (problem)
            *problem = {Texts::tr("Imported dataset error!"), pointCloudProblem(fileName, why)};
        return false;
    }
    data.pendingPoints.clear();
    return true;
}

} // namespace ReconstructionImport
