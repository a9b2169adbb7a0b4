#include "datasetstate.h"

#include "cameracheck.h"
#include "downsamplingthread.h"
#include "jobmessages.h"
#include "reconstructionimport.h"
#include "webaddress.h"

#include <ksr/inputlimits.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace
{

// A named context: lupdate cannot file the texts of free functions otherwise.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(DatasetState)
};

quint64 nextDatasetId()
{
    static std::atomic<quint64> last{0};
    return ++last;
}

} // namespace

bool ShotRecord::isComplete() const
{
    return !imagePath.isEmpty() && !thumbnailPath.isEmpty() && camera && depth && orderPosition && cluster;
}

bool DatasetState::isComplete() const
{
    if (shots.isEmpty())
        return false;
    for (const ShotRecord &shot : shots)
        if (!shot.isComplete())
            return false;
    return true;
}

bool DatasetState::hasAllDepths() const
{
    if (shots.isEmpty())
        return false;
    for (const ShotRecord &shot : shots)
        if (!shot.depth)
            return false;
    return true;
}

QStringList DatasetState::imagePaths() const
{
    QStringList paths;
    for (const ShotRecord &shot : shots)
        paths.append(shot.imagePath);
    return paths;
}

QVector<Camera> DatasetState::cameras() const
{
    QVector<Camera> result;
    for (const ShotRecord &shot : shots)
        result.append(shot.camera.value_or(Camera()));
    return result;
}

QVector<float> DatasetState::depths() const
{
    QVector<float> result;
    for (const ShotRecord &shot : shots)
        result.append(shot.depth.value_or(0.0f));
    return result;
}

void DatasetState::apply(const StepResult &result)
{
    const int n = shotCount();
    bool changed = false;
    for (auto it = result.thumbnails.cbegin(); it != result.thumbnails.cend(); ++it)
        if (it.key() >= 0 && it.key() < n) {
            shots[it.key()].thumbnailPath = it.value();
            changed = true;
        }
    for (auto it = result.depths.cbegin(); it != result.depths.cend(); ++it)
        if (it.key() >= 0 && it.key() < n) {
            shots[it.key()].depth = it.value();
            changed = true;
        }
    if (result.orderPositions.size() == n && n > 0) {
        for (int i = 0; i < n; ++i)
            shots[i].orderPosition = result.orderPositions.at(i);
        changed = true;
    }
    if (result.clusterNumbers.size() == n && n > 0) {
        for (int i = 0; i < n; ++i)
            shots[i].cluster = result.clusterNumbers.at(i);
        changed = true;
    }
    if (!result.builtModel.isEmpty()) {
        builtTesselPath = result.builtModel;
        builderStatus = BuilderStatus::Ready;
        changed = true;
    } else if (result.kind == StepKind::Multiresolution) {
        // A build the user stopped did not fail: there is simply no model yet.
        builderStatus = result.stopped ? BuilderStatus::NotBuilt : BuilderStatus::Failed;
    }
    if (changed)
        unwrittenResults = true;
}

QStringList DatasetState::missingPhotographs() const
{
    QStringList notes;
    for (const ShotRecord &shot : shots)
        if (!shot.missingNote.isEmpty())
            notes.append(shot.missingNote);
    return notes;
}

void DatasetState::leaveOut(QVector<int> rows)
{
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    bool removed = false;
    for (int row : std::as_const(rows))
        if (row >= 0 && row < shots.size()) {
            shots.remove(row);
            removed = true;
        }
    if (!removed)
        return;
    // The viewing order of the shots that stay is kept, numbered again from 0.
    QVector<int> ordered;
    for (int i = 0; i < shots.size(); ++i)
        if (shots.at(i).orderPosition)
            ordered.append(i);
    std::stable_sort(ordered.begin(), ordered.end(), [this](int a, int b) {
        return *shots.at(a).orderPosition < *shots.at(b).orderPosition;
    });
    for (int position = 0; position < ordered.size(); ++position)
        shots[ordered.at(position)].orderPosition = position;
    unwrittenResults = true;
}

void DatasetState::clearThumbnails()
{
    for (ShotRecord &shot : shots)
        shot.thumbnailPath.clear();
}

namespace
{

// The folders the photographs were looked for in, for the message that none was found.
QString foldersSearched(const QVector<ShotRecord> &shots)
{
    QStringList folders;
    for (const ShotRecord &shot : shots) {
        const QString folder = QDir::toNativeSeparators(QFileInfo(shot.lookedFor).absolutePath());
        if (!shot.lookedFor.isEmpty() && !folders.contains(folder))
            folders.append(folder);
    }
    if (folders.size() > 3)
        folders = folders.mid(0, 3) << QStringLiteral("...");
    return folders.join(QStringLiteral(", "));
}

} // namespace

namespace DatasetStates
{

DatasetCandidate fromImport(const QString &datasetFile, const ImportedDataset &data, const QString &modelPath)
{
    DatasetCandidate candidate;
    const QString native = QDir::toNativeSeparators(datasetFile);
    if (!data.recognised) {
        candidate.refusal = {
            Texts::tr("Wrong file format"),
            Texts::tr("\"%1\" is neither a Polyforge project (.pfp), an Orvelle index file (.orx)\n"
                      "nor a reconstruction (COLMAP cameras, images and points3D .txt or .bin, .nvm, Bundler "
                      ".out, Metashape .xml, transforms.json, Meshroom .sfm, OpenMVG sfm_data.json).")
                .arg(native)};
        return candidate;
    }
    if (!data.problems.isEmpty()) {
        candidate.refusal = {data.problemTitle, data.problemText()};
        return candidate;
    }
    if (modelPath.isEmpty()) {
        QString text = DatasetImport::noModelText();
        // Models that were declined exist; those that do not are named.
        for (const QString &name : data.modelNames)
            if (DatasetImport::resolvedModelPath(data.folder, name).isEmpty())
                text +=
                    QLatin1Char('\n') +
                    Texts::tr("The model file \"%1\" does not exist.").arg(QDir::toNativeSeparators(name));
        candidate.refusal = {DatasetImport::noModelTitle(), text};
        return candidate;
    }

    const int n = int(data.imagePaths.size());
    if (!data.imagePaths.isEmpty() && data.cameras.size() < n) {
        candidate.refusal = {Texts::tr("Imported dataset error!"),
                             Texts::tr("The dataset lists %1 photographs but only %2 cameras.")
                                 .arg(n)
                                 .arg(data.cameras.size())};
        return candidate;
    }
    DatasetState state;
    int keptWithoutPhotograph = 0;
    QStringList unusableCameras; // checked as the table keeps them, so as they would be written
    for (int i = 0; i < n; ++i) {
        ShotRecord shot;
        shot.imageName = data.imageNames.value(i);
        shot.imagePath = data.imagePaths.at(i);
        // A folder, a FIFO or a link loop under a photograph's name is named as what it is.
        QString notUsable;
        if (!shot.imagePath.isEmpty() && !isWebAddress(shot.imagePath) &&
            !QFileInfo(shot.imagePath).isFile()) {
            notUsable = ksr::inputFileProblem(shot.imagePath);
            shot.imagePath.clear();
        }
        // An index written on another machine names photographs that are not here: its shots keep
        // every value it carries, so that the index can be written again with other settings.
        const bool carriesValues = data.thumbnailPaths.size() == n && data.depths.size() == n &&
                                   data.orderPositions.size() == n && data.clusterNumbers.size() == n &&
                                   !data.thumbnailPaths.at(i).isEmpty();
        const bool gone = notUsable.isEmpty() || notUsable == QLatin1String("does not exist");
        const bool keptAsListed = shot.imagePath.isEmpty() && carriesValues && gone;
        if (shot.imagePath.isEmpty()) {
            const QString name = QDir::toNativeSeparators(shot.imageName);
            shot.missingNote = gone ? name : name + QLatin1Char(' ') + notUsable;
            shot.lookedFor =
                data.imagePaths.at(i).isEmpty()
                    ? QFileInfo(QDir(data.imagesFolder.isEmpty() ? data.folder : data.imagesFolder),
                                shot.imageName)
                          .absoluteFilePath()
                    : data.imagePaths.at(i);
            candidate.missingPhotographs.append(shot.missingNote);
        }
        if (keptAsListed) {
            shot.imagePath = QFileInfo(QDir(data.folder), shot.imageName).absoluteFilePath();
            ++keptWithoutPhotograph;
        }
        shot.camera = data.cameras.at(i);
        const QString cameraProblem =
            shot.imagePath.isEmpty() ? QString() : CameraCheck::problem(*shot.camera);
        if (!cameraProblem.isEmpty())
            unusableCameras.append(Texts::tr("\"%1\": its camera %2")
                                       .arg(QDir::toNativeSeparators(shot.imageName), cameraProblem));
        // What an earlier index already holds; a thumbnail that is gone is made again, unless its
        // photograph is not here to make it from.
        const QString thumbnail = data.thumbnailPaths.value(i);
        if (!thumbnail.isEmpty() && (keptAsListed || DownsamplingThread::isUsableThumbnail(thumbnail)))
            shot.thumbnailPath = thumbnail;
        if (data.depths.size() == n)
            shot.depth = data.depths.at(i);
        if (data.orderPositions.size() == n)
            shot.orderPosition = data.orderPositions.at(i);
        if (data.clusterNumbers.size() == n)
            shot.cluster = data.clusterNumbers.at(i);
        state.shots.append(shot);
    }
    if (!unusableCameras.isEmpty()) {
        candidate.refusal = {Texts::tr("Imported dataset error!"),
                             Texts::tr("These shots have cameras that cannot be used:\n%1")
                                 .arg(JobMessages::problemList(unusableCameras))};
        return candidate;
    }
    if (candidate.missingPhotographs.size() == n && (n == 0 || keptWithoutPhotograph < n)) {
        candidate.refusal = {
            Texts::tr("Imported dataset error!"),
            n == 0
                ? Texts::tr("The dataset lists no photograph.")
                : Texts::tr("None of the %1 photographs of the dataset was found.").arg(n) +
                      QLatin1Char('\n') + JobMessages::problemList(candidate.missingPhotographs) +
                      QLatin1Char('\n') + Texts::tr("Looked for in: %1").arg(foldersSearched(state.shots))};
        return candidate;
    }

    state.id = nextDatasetId();
    state.features = std::make_shared<FeatureStore>();
    state.datasetFile = datasetFile;
    candidate.state = state;
    candidate.names.model = modelPath;
    candidate.names.tessel = DatasetImport::derivedTesselName(modelPath);
    candidate.names.scene = DatasetImport::derivedSceneName(modelPath);
    candidate.names.output = DatasetImport::derivedOutputName(datasetFile);
    if (ReconstructionImport::isReconstruction(datasetFile))
        candidate.names.output =
            DatasetImport::outputBesidePhotographs(candidate.names.output, state.imagePaths());
    candidate.accepted = true;
    return candidate;
}

Problem missingPhotographsNotice(const DatasetCandidate &candidate)
{
    if (candidate.missingPhotographs.isEmpty())
        return {};
    return JobMessages::photographsNotFound(candidate.missingPhotographs);
}

double angleDegrees(const ksr::Point3f &a, const ksr::Point3f &b)
{
    const double cosine = double(a.normalized().dot(b.normalized()));
    return std::acos(std::clamp(cosine, -1.0, 1.0)) * 180.0 / M_PI;
}

std::optional<ksr::Point3f> upFromCameras(const DatasetState &state)
{
    ksr::Point3f sum(0, 0, 0);
    QVector<ksr::Point3f> rights; // the cameras' horizontal image axes
    for (const ShotRecord &shot : state.shots)
        if (shot.camera && shot.camera->isSet()) {
            const auto &r = shot.camera->rotation.m;
            sum = sum + ksr::Point3f(r[1][0], r[1][1], r[1][2]);
            const ksr::Point3f right(r[0][0], r[0][1], r[0][2]);
            if (right.length() > 1e-6f)
                rights.append(right.normalized());
        }
    if (!(sum.length() > 1e-6f * float(state.shotCount())))
        return std::nullopt;
    const ksr::Point3f mean = sum.normalized();
    static const ksr::Point3f axes[6] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {-1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
    for (const ksr::Point3f &axis : axes)
        if (angleDegrees(mean, axis) <= 10.0)
            return axis;
    // Photographs of a facade are taken looking up, of the ground looking down, with the horizon
    // kept level: the mean leans, but the axis square to every camera's horizontal axis (within 10
    // degrees on average) is still up, when it lies within 45 degrees of the mean.
    const double level = std::sin(10.0 * M_PI / 180.0);
    std::optional<ksr::Point3f> levelAxis;
    double nearest = 45.0;
    for (const ksr::Point3f &axis : axes) {
        double off = 0.0;
        for (const ksr::Point3f &right : std::as_const(rights))
            off += std::abs(double(axis.dot(right)));
        const double angle = angleDegrees(mean, axis);
        if (!rights.isEmpty() && off / double(rights.size()) <= level && angle < nearest) {
            levelAxis = axis;
            nearest = angle;
        }
    }
    return levelAxis.value_or(mean);
}

} // namespace DatasetStates
