#include "importproperties.h"

#include "cameraelement.h"
#include "datasetimport.h"
#include "datasetstate.h"
#include "jobinputs.h"
#include "reconstructionimport.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>

namespace
{

struct Sandbox {
    QTemporaryDir root;
    QString dataset;
    QString images;
    QString mesh; // stands in for the model when the input has no 3D points
    QByteArray photo;

    Sandbox()
    {
        dataset = root.filePath(QStringLiteral("dataset"));
        images = dataset + QStringLiteral("/images");
        QDir().mkpath(images);
        QDir().mkpath(root.filePath(QStringLiteral("outside")));
        mesh = root.filePath(QStringLiteral("outside/mesh.ply"));
        QFile(mesh).open(QIODevice::WriteOnly);
        QImage picture(8, 6, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        QBuffer buffer(&photo);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "JPEG");
    }

    // Everything in the sandbox but the dataset folder, with sizes.
    QStringList aroundTheDataset() const
    {
        QStringList entries;
        QDirIterator it(root.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.nextFileInfo());
            if (info.filePath() != dataset && !info.filePath().startsWith(dataset + QLatin1Char('/')))
                entries.append(info.filePath() + QLatin1Char(' ') + QString::number(info.size()));
        }
        entries.sort();
        return entries;
    }

    bool inside(const QString &path) const { return path.startsWith(dataset + QLatin1Char('/')); }
};

Sandbox &sandbox()
{
    static Sandbox instance;
    return instance;
}

// A photograph under the last part of each name the input lists, so its cameras can be accepted.
void providePhotographs(const QString &path)
{
    const Sandbox &box = sandbox();
    const SfmReconstruction reconstruction = ReconstructionImport::readReconstruction(path);
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    for (int i = 0; i < reconstruction.images.size() && i < 50; ++i) {
        const QString name = reconstruction.images.at(i).name.section(separators, -1);
        if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        QFile file(box.images + QLatin1Char('/') + name);
        if (!file.exists() && file.open(QIODevice::WriteOnly))
            file.write(box.photo);
    }
}

bool writtenAsPositive(float focal)
{
    bool ok = false;
    const double written = CameraElement::formatNumber(focal).toDouble(&ok);
    return ok && std::isfinite(written) && written > 0.0;
}

} // namespace

void checkImportProperties(const QString &path)
{
    const Sandbox &box = sandbox();
    providePhotographs(path);
    const QStringList before = box.aroundTheDataset();

    ImportOptions options;
    options.imagesFolder = box.images;
    options.pointCloudFile = box.dataset + QStringLiteral("/out_points.ply");
    const ImportedDataset data = DatasetImport::read(path, options);
    const QString model = data.modelNames.isEmpty()
                              ? box.mesh
                              : DatasetImport::resolvedModelPath(data.folder, data.modelNames.first());
    const DatasetCandidate candidate = DatasetStates::fromImport(path, data, model);
    QFile::remove(options.pointCloudFile);

    if (box.aroundTheDataset() != before)
        propertyViolated(QStringLiteral("the import wrote outside the dataset folder"));
    if (!candidate.accepted)
        return;
    for (const ShotRecord &shot : candidate.state.shots) {
        if (shot.imagePath.isEmpty())
            continue;
        if (!box.inside(shot.imagePath) || !box.inside(JobInputs::thumbnailPath(shot.imagePath)))
            propertyViolated(QStringLiteral("\"%1\" or its thumbnail lies outside the dataset folder")
                                 .arg(shot.imagePath));
        if (!shot.camera || !writtenAsPositive(shot.camera->focalMm))
            propertyViolated(QStringLiteral("the camera of \"%1\" would be written with the focal length %2")
                                 .arg(shot.imageName, shot.camera
                                                          ? CameraElement::formatNumber(shot.camera->focalMm)
                                                          : QStringLiteral("(none)")));
    }
}
