#include "datasetimport.h"

#include "cameraelement.h"
#include "orvelleindexread.h"
#include "polyforgeproject.h"
#include "reconstructionimport.h"
#include "webaddress.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace
{

// A named context: lupdate cannot file the texts of free functions otherwise.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(DatasetImport)
};

void readProject(const QString &fileName, ImportedDataset &data)
{
    QString why;
    if (PolyforgeProject::readProject(fileName, data.cameras, data.imageNames, data.modelNames, &why)) {
        data.readOk = true;
        return;
    }
    QString text =
        Texts::tr("The project file \"%1\" could not be read.").arg(QDir::toNativeSeparators(fileName));
    if (!why.isEmpty())
        text += QLatin1Char('\n') + why;
    data.problemTitle = Texts::tr("Wrong file format");
    data.problems.append(text);
}

void readIndex(const QString &fileName, ImportedDataset &data)
{
    OrvelleIndexRead index;
    QObject::connect(&index, &OrvelleIndexRead::error, [&](const QString &title, const QString &message) {
        if (data.problemTitle.isEmpty())
            data.problemTitle = title;
        data.problems.append(message);
    });
    const bool accepted = index.readFile(fileName);
    if (!accepted && data.problems.isEmpty())
        data.problems.append(
            Texts::tr("The index file \"%1\" could not be read.").arg(QDir::toNativeSeparators(fileName)));

    // An index without collection imports as an index without shots.
    if (index.collectionCount() > 0) {
        const ShotCollection &collection = index.collection(0);
        const QStringList &paths = collection.imagePaths();
        const QVector<int> &order = collection.order();
        const bool ordered = order.size() == paths.size();
        // Cameras pair with shots only when every shot has one (non-projectable shots have none).
        const bool withCameras = collection.cameras().size() == paths.size();
        const bool withDepths = collection.depths().size() == paths.size();
        const bool withThumbnails = collection.thumbnailPaths().size() == paths.size();
        const bool withClusters = collection.clusterNumbers().size() == paths.size();
        if (!withCameras)
            data.problems.append(Texts::tr("The index holds %1 shots but %2 cameras: no camera was imported.")
                                     .arg(paths.size())
                                     .arg(collection.cameras().size()));
        for (int i = 0; i < paths.size(); ++i) {
            // The shot shown at position i, with its own camera.
            const int shot = (ordered && order.at(i) >= 0 && order.at(i) < paths.size()) ? order.at(i) : i;
            data.imageNames.append(paths.at(shot));
            if (withCameras)
                data.cameras.append(collection.cameras().at(shot));
            if (withDepths)
                data.depths.append(collection.depths().at(shot));
            if (withThumbnails)
                data.thumbnailPaths.append(collection.thumbnailPaths().at(shot));
            if (withClusters)
                data.clusterNumbers.append(collection.clusterNumbers().at(shot));
            // Photographs are listed in display order, so the list position is the shot's place.
            if (ordered)
                data.orderPositions.append(i);
        }
    }
    if (!index.modelFileName().isEmpty())
        data.modelNames.append(index.modelFileName());
    if (accepted)
        data.upDirection = index.upDirection();

    if (!data.problems.isEmpty() && data.problemTitle.isEmpty())
        data.problemTitle = Texts::tr("Wrong file format");
    data.readOk = accepted && data.problems.isEmpty();
}

} // namespace

namespace DatasetImport
{

ImportedDataset read(const QString &fileName, const ImportOptions &options)
{
    ImportedDataset data;
    if (ReconstructionImport::isReconstruction(fileName)) {
        ReconstructionImport::read(fileName, options, data);
        return data;
    }
    const QFileInfo file(fileName);
    data.folder = file.absolutePath();
    const QString suffix = file.suffix().toLower();
    if (suffix == QLatin1String("orx")) {
        data.recognised = true;
        readIndex(fileName, data);
    } else if (suffix == QLatin1String("pfp")) {
        data.recognised = true;
        readProject(fileName, data);
    }

    // An empty name would resolve to the folder itself.
    data.modelNames.removeAll(QString());

    const QString base = data.folder + QLatin1Char('/');
    for (const QString &name : std::as_const(data.imageNames))
        data.imagePaths.append(isWebAddress(name) || !QFileInfo(name).isRelative()
                                   ? name
                                   : QFileInfo(base + name).canonicalFilePath());
    return data;
}

QString resolvedModelPath(const QString &folder, const QString &name)
{
    if (name.isEmpty())
        return QString();
    if (isWebAddress(name))
        return name;
    const QString path = QFileInfo(name).isRelative() ? folder + QLatin1Char('/') + name : name;
    return QFileInfo(path).canonicalFilePath();
}

QString derivedOutputName(const QString &datasetFile)
{
    const QString colmapOutput = ReconstructionImport::colmapOutputName(datasetFile);
    if (!colmapOutput.isEmpty())
        return colmapOutput;
    const QFileInfo file(datasetFile);
    return file.absolutePath() + QLatin1Char('/') + file.baseName() + QLatin1String("_generated.orx");
}

QString outputBesidePhotographs(const QString &output, const QStringList &photographs)
{
    QString photoFolder;
    for (const QString &photo : photographs) {
        if (photo.isEmpty() || isWebAddress(photo))
            continue;
        const QString folder = QFileInfo(photo).absolutePath();
        if (!photoFolder.isEmpty() && folder != photoFolder)
            return output; // spread over several folders: no one project folder
        photoFolder = folder;
    }
    const QString outputFolder = QFileInfo(output).absolutePath();
    if (photoFolder.isEmpty() || photoFolder == outputFolder ||
        photoFolder.startsWith(outputFolder + QLatin1Char('/')))
        return output;
    const QString project = QFileInfo(photoFolder).absolutePath();
    if (outputFolder != project && !outputFolder.startsWith(project + QLatin1Char('/')))
        return output;
    if (outputFolder.mid(project.size()).count(QLatin1Char('/')) > 2)
        return output;
    return project + QLatin1Char('/') + QFileInfo(output).fileName();
}

QString derivedTesselName(const QString &modelPath)
{
    const QFileInfo model(modelPath);
    // A point cloud that is written only once the run's files are checked has no canonical path yet.
    const QString folder =
        model.exists() ? model.canonicalPath() : QFileInfo(model.absolutePath()).canonicalFilePath();
    return folder + QLatin1Char('/') + model.completeBaseName() + QLatin1String(".tsl");
}

QString derivedSceneName(const QString &modelPath)
{
    return QFileInfo(modelPath).completeBaseName();
}

QString noModelTitle()
{
    return Texts::tr("Imported dataset error!");
}

QString noModelText()
{
    return Texts::tr("No model found in the specified dataset!");
}

} // namespace DatasetImport
