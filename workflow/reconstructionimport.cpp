#include "reconstructionimport.h"

#include "bundlerfile.h"
#include "colmapmodel.h"
#include "nvmfile.h"
#include "photonames.h"

#include <ksr/safefile.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>
#include <QtEndian>

#include <algorithm>

namespace
{

QString tr(const char *text)
{
    return QCoreApplication::translate("ReconstructionImport", text);
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

bool hasSuffix(const QString &path, const char *suffix)
{
    return QFileInfo(path).suffix().compare(QLatin1String(suffix), Qt::CaseInsensitive) == 0;
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
    return tr("The 3D points could not be written as the model \"%1\": %2").arg(native(fileName), why);
}

void setModel(const SfmReconstruction &reconstruction, const ImportOptions &options, ImportedDataset &data)
{
    if (!options.meshFile.isEmpty()) {
        const QString mesh = QFileInfo(options.meshFile).canonicalFilePath();
        if (mesh.isEmpty())
            data.problems.append(tr("The mesh \"%1\" does not exist.").arg(native(options.meshFile)));
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
    data.notes.append(tr("The reconstruction's %1 3D points serve as the model: \"%2\".")
                          .arg(reconstruction.points.size())
                          .arg(native(options.pointCloudFile)));
}

} // namespace

namespace ReconstructionImport
{

bool isReconstruction(const QString &path)
{
    if (hasSuffix(path, "nvm") || hasSuffix(path, "out"))
        return true;
    const QFileInfo info(path);
    return (info.isDir() || isColmapFile(info)) && !ColmapModel::modelFolder(path).isEmpty();
}

SfmReconstruction readReconstruction(const QString &path)
{
    if (hasSuffix(path, "nvm"))
        return NvmFile::read(path);
    if (hasSuffix(path, "out"))
        return BundlerFile::read(path);
    const QString folder = ColmapModel::modelFolder(path);
    if (folder.isEmpty()) {
        SfmReconstruction none;
        none.error = tr("\"%1\" holds no COLMAP model (cameras and images, .txt or .bin).").arg(native(path));
        return none;
    }
    return ColmapModel::readModel(folder);
}

QString defaultImagesFolder(const QString &path)
{
    if (hasSuffix(path, "nvm") || hasSuffix(path, "out"))
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

QString colmapOutputName(const QString &path)
{
    if (hasSuffix(path, "nvm") || hasSuffix(path, "out") || !isReconstruction(path))
        return QString();
    QDir dir(ColmapModel::modelFolder(path));
    QDir project = dir;
    for (int up = 0; up < 2; ++up) {
        if (project.dirName() == QLatin1String("sparse") && project.cdUp()) {
            dir = project;
            break;
        }
        if (!project.cdUp())
            break;
    }
    return dir.absoluteFilePath(dir.dirName() + QLatin1String("_generated.orx"));
}

void read(const QString &path, const ImportOptions &options, ImportedDataset &data)
{
    data.recognised = true;
    const bool colmap = !hasSuffix(path, "nvm") && !hasSuffix(path, "out");
    data.folder = colmap ? ColmapModel::modelFolder(path) : QFileInfo(path).absolutePath();
    if (data.folder.isEmpty())
        data.folder = QFileInfo(path).absoluteFilePath();
    const SfmReconstruction reconstruction = readReconstruction(path);
    if (!reconstruction.ok()) {
        data.problemTitle = tr("Wrong file format");
        data.problems.append(
            tr("The reconstruction \"%1\" could not be read.\n%2").arg(native(path), reconstruction.error));
        return;
    }

    const QString imagesFolder = options.imagesFolder.isEmpty()
                                     ? defaultImagesFolder(path)
                                     : QFileInfo(options.imagesFolder).absoluteFilePath();
    if (!QFileInfo(imagesFolder).isDir())
        data.problems.append(tr("The images folder \"%1\" does not exist.").arg(native(imagesFolder)));
    // By name, whatever order the encoding keeps (COLMAP's binary files follow no order).
    QVector<SfmImage> byName = reconstruction.images;
    std::stable_sort(byName.begin(), byName.end(),
                     [](const SfmImage &a, const SfmImage &b) { return a.name < b.name; });
    int missing = 0;
    QStringList found = reconstruction.leftOut; // file names in the images folder the file accounts for
    for (const SfmImage &image : std::as_const(byName)) {
        QString photo;
        // Nothing outside the images folder is read, nor gets a thumbnail folder.
        if (PhotoNames::resolveInside(imagesFolder, image.name, photo) == PhotoNames::Resolution::Outside)
            data.problems.append(
                tr("The photograph \"%1\" lies outside the images folder \"%2\": it is not read.")
                    .arg(native(image.name), native(imagesFolder)));
        Camera camera = image.camera;
        if (!photo.isEmpty() && image.sizeFromPhoto) {
            // The format keeps no image size: the photograph's header gives it.
            const QSize size = QImageReader(photo).size();
            if (size.isValid())
                camera = SfmCameras::withImageSize(camera, size.width(), size.height());
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
            tr("%1 of the %2 photographs were not found (or not readable) in \"%3\": give the folder "
               "that holds them.")
                .arg(missing)
                .arg(reconstruction.images.size())
                .arg(native(imagesFolder)));
    if (missing < reconstruction.images.size()) {
        // Bundler lists its unreconstructed photographs; the reader has named them already.
        const int unregistered = unregisteredPhotographs(imagesFolder, found);
        if (unregistered > 0)
            data.notes.append(
                tr("%1 photographs in \"%2\" have no camera in the reconstruction and are left out.")
                    .arg(unregistered)
                    .arg(native(imagesFolder)));
    }
    setModel(reconstruction, options, data);
    if (!data.problems.isEmpty())
        data.problemTitle = tr("Imported dataset error!");
    data.readOk = data.problems.isEmpty();
}

QString pointCloudName(const QString &indexFile)
{
    const QFileInfo index(indexFile);
    return index.absolutePath() + QLatin1Char('/') + index.completeBaseName() + QLatin1String("_points.ply");
}

bool writePointCloud(const QString &fileName, const QVector<SfmPoint> &points, QString *error)
{
    ksr::SafeFile file(fileName);
    const QByteArray header = QByteArrayLiteral("ply\nformat binary_little_endian 1.0\n") +
                              "element vertex " + QByteArray::number(points.size()) +
                              "\nproperty float x\nproperty float y\nproperty float z\n"
                              "property uchar red\nproperty uchar green\nproperty uchar blue\nend_header\n";
    bool written = file.open(QIODevice::WriteOnly) && file.write(header) == header.size();
    for (int i = 0; written && i < points.size(); ++i) {
        const SfmPoint &point = points.at(i);
        char record[15];
        for (int k = 0; k < 3; ++k)
            qToLittleEndian(point.position[k], record + 4 * k);
        for (int k = 0; k < 3; ++k)
            record[12 + k] = char(point.colour[k]);
        written = file.write(record, sizeof record) == qint64(sizeof record);
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
            *problem = {tr("Imported dataset error!"), pointCloudProblem(fileName, why)};
        return false;
    }
    data.pendingPoints.clear();
    return true;
}

} // namespace ReconstructionImport
