#include "generation.h"

#include "downsamplingthread.h"
#include "jobinputs.h"
#include "jobmessages.h"
#include "reconstructionimport.h"
#include "runfiles.h"
#include "shotfeatures.h"
#include "steprunner.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <functional>
#include <vector>

namespace
{

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString absolute(const QString &path)
{
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

QString jobName(StepKind kind)
{
    switch (kind) {
    case StepKind::Thumbnails:
        return QStringLiteral("thumbnails");
    case StepKind::Depths:
        return QStringLiteral("depths");
    case StepKind::Ordering:
        return QStringLiteral("ordering");
    case StepKind::Multiresolution:
        return QStringLiteral("tessel");
    }
    return QString();
}

} // namespace

GenerationPipeline::GenerationPipeline(QObject *parent) : QObject(parent) {}

bool GenerationPipeline::fail(const QString &title, const QString &text)
{
    m_error = {title, text};
    return false;
}

bool GenerationPipeline::prepare(const GenerationRequest &request)
{
    m_request = request;
    m_state = DatasetState();
    m_error = Problem();

    ImportOptions importOptions;
    importOptions.imagesFolder = request.imagesFolder;
    importOptions.meshFile = request.meshFile;
    if (request.modelFile.isEmpty())
        importOptions.pointCloudFile = ReconstructionImport::pointCloudName(
            request.outputFile.isEmpty() ? DatasetImport::derivedOutputName(request.datasetFile)
                                         : absolute(request.outputFile));
    importOptions.pointCloudLater = true; // written once the run's files have been checked

    ImportedDataset data = DatasetImport::read(request.datasetFile, importOptions);
    m_importNotes = data.notes;
    // The model: the one asked for, else the dataset's (the first of several).
    QString modelFile;
    if (data.recognised && data.problems.isEmpty()) {
        if (!request.modelFile.isEmpty()) {
            modelFile = QFileInfo(request.modelFile).canonicalFilePath();
            if (modelFile.isEmpty())
                return fail(tr("Model not found"),
                            tr("The model file \"%1\" does not exist.").arg(native(request.modelFile)));
        } else if (!data.modelNames.isEmpty()) {
            modelFile = data.pendingPoints.isEmpty()
                            ? DatasetImport::resolvedModelPath(data.folder, data.modelNames.first())
                            : data.modelNames.first();
        }
    }
    const DatasetCandidate candidate = DatasetStates::fromImport(request.datasetFile, data, modelFile);
    if (!candidate.accepted)
        return fail(candidate.refusal);
    // Every shot must be written: a photograph that is not there stops the run before any step.
    if (!candidate.missingPhotographs.isEmpty())
        return fail(JobMessages::photographsNotFound(candidate.missingPhotographs));
    m_state = candidate.state;

    if (!request.lowresModelFile.isEmpty())
        m_state.lowresModelPath = absolute(request.lowresModelFile);
    if (!request.tesselOutput.isEmpty())
        m_state.tesselPath = absolute(request.tesselOutput);
    if (!request.outputFile.isEmpty())
        m_state.outputIndexFile = absolute(request.outputFile);

    if (request.depths == DepthSource::None && !m_state.hasAllDepths())
        return fail(tr("Depths missing"),
                    tr("The dataset carries no depths: they must be computed from the model."));

    // Nothing the run reads is written over (an index given as INPUT may be replaced by the new one).
    const QString pointCloud = data.pendingPoints.isEmpty() ? QString() : data.modelNames.first();
    if (const auto clash = RunFiles::ofGeneration(m_state, m_state.outputIndexFile,
                                                  request.tessel ? m_state.tesselPath : QString(), pointCloud)
                               .collision())
        return fail(*clash);

    // The file is written only at the end; an unwritable name is better known now.
    const QString unwritable = unwritableReason(m_state.outputIndexFile);
    if (!unwritable.isEmpty())
        return fail(tr("Index generation status"),
                    tr("An unexpected error occured while generating the index file!") + QLatin1Char('\n') +
                        tr("\"%1\" cannot be written: %2.").arg(native(m_state.outputIndexFile), unwritable));
    if (request.tessel && !unwritableReason(m_state.tesselPath).isEmpty())
        return fail(tr("\"tesselbuilder\" error"),
                    tr("The multiresolution model \"%1\" cannot be written: %2.")
                        .arg(native(m_state.tesselPath), unwritableReason(m_state.tesselPath)));
    Problem notWritten;
    if (!ReconstructionImport::writePendingPointCloud(data, &notWritten))
        return fail(notWritten);
    return true;
}

QVector<StepKind> GenerationPipeline::plannedSteps() const
{
    QVector<StepKind> kinds{StepKind::Thumbnails};
    // Without a depth step the dataset's own depths stay (prepare() made sure there are).
    if (m_request.depths == DepthSource::Model)
        kinds.append(StepKind::Depths);
    kinds.append(StepKind::Ordering);
    if (m_request.tessel)
        kinds.append(StepKind::Multiresolution);
    return kinds;
}

std::unique_ptr<Step> GenerationPipeline::makeStep(StepKind kind) const
{
    switch (kind) {
    case StepKind::Thumbnails:
        // Given the weights, the thumbnails' reduced decodes also give the ordering its colours
        // (with --reduced-decode).
        return std::make_unique<ThumbnailStep>(
            m_state.imagePaths(), m_request.thumbnails,
            JobInputs::featureWeights(m_request.orderWeights, m_request.clusterWeights, 100));
    case StepKind::Depths:
        return std::make_unique<DepthStep>(m_state.lowresModelPath, m_state.cameras());
    case StepKind::Ordering:
        // The tool's weights run from 0 to 100, as the window's sliders do.
        return std::make_unique<OrderingStep>(
            m_state.imagePaths(), m_state.cameras(), m_state.depths(),
            JobInputs::featureWeights(m_request.orderWeights, m_request.clusterWeights, 100));
    case StepKind::Multiresolution:
        return std::make_unique<MultiresolutionStep>(m_state.modelPath, m_request.pointCloud,
                                                     m_state.tesselPath);
    }
    return nullptr;
}

bool GenerationPipeline::shown(StepKind kind) const
{
    // Thumbnails that need no drawing are there at once: only the graphics card takes time worth showing.
    return kind != StepKind::Thumbnails || m_request.thumbnails == ThumbnailSource::Downsample;
}

void GenerationPipeline::watch(Step &step)
{
    if (!shown(step.kind()))
        return;
    const QString job = jobName(step.kind());
    connect(&step, &Step::progress, this, [this, job](int percent) { emit jobProgress(job, percent); });
    emit jobStarted(job);
}

void GenerationPipeline::announceEnd(const Step &step)
{
    if (shown(step.kind()))
        emit jobFinished(jobName(step.kind()));
}

bool GenerationPipeline::take(const StepResult &result)
{
    switch (result.kind) {
    case StepKind::Thumbnails:
        return takeThumbnails(result);
    case StepKind::Depths:
        return takeDepths(result);
    case StepKind::Ordering:
        return takeOrderAndSemantic(result);
    case StepKind::Multiresolution:
        return takeTessel(result);
    }
    return false;
}

bool GenerationPipeline::takeThumbnails(const StepResult &result)
{
    if (!result.problems.isEmpty())
        return fail(result.problems.first());
    m_state.apply(result);

    QStringList missing;
    for (const ShotRecord &shot : std::as_const(m_state.shots))
        if (shot.thumbnailPath.isEmpty() || !DownsamplingThread::isUsableThumbnail(shot.thumbnailPath))
            missing.append(native(shot.thumbnailPath));
    if (!missing.isEmpty() && m_request.thumbnails == ThumbnailSource::Existing)
        return fail(tr("Thumbnails missing"),
                    tr("These thumbnails do not exist:\n%1").arg(JobMessages::problemList(missing)));
    if (!missing.isEmpty())
        return fail(
            tr("Thumbnails not made"),
            tr("The thumbnail job did not report every photograph; these thumbnails cannot be used:\n%1")
                .arg(JobMessages::problemList(missing)));
    return true;
}

bool GenerationPipeline::takeDepths(const StepResult &result)
{
    if (result.depths.size() != shotCount()) {
        if (!result.problems.isEmpty())
            return fail(result.problems.first());
        return fail(tr("Depths not computed"), tr("The depth job did not report every shot."));
    }
    // The window keeps depths computed on a model read only in part, with the warning; an index
    // written without anyone looking would pass them off as sound.
    if (!result.problems.isEmpty())
        return fail(result.problems.first().title,
                    result.problems.first().text + QLatin1Char('\n') + tr("No index file was written."));
    m_state.apply(result);
    return true;
}

bool GenerationPipeline::takeOrderAndSemantic(const StepResult &result)
{
    for (const Problem &problem : result.problems)
        emit notice(problem.title, problem.text);
    if (result.orderPositions.isEmpty())
        return fail(tr("Ordering not computed"), tr("The ordering job did not report every shot."));
    m_state.apply(result);
    return true;
}

bool GenerationPipeline::takeTessel(const StepResult &result)
{
    if (result.builtModel.isEmpty())
        return fail(result.problems.isEmpty() ? Problem{tr("\"tesselbuilder\" error"), tr("Unknown error")}
                                              : result.problems.first());
    m_state.apply(result);
    return true;
}

bool GenerationPipeline::runOneAtATime()
{
    for (const StepKind kind : plannedSteps()) {
        const std::unique_ptr<Step> step = makeStep(kind);
        watch(*step);
        const StepResult result = StepRunner::runToEnd(*step);
        announceEnd(*step);
        if (!take(result))
            return false;
    }
    return true;
}

bool GenerationPipeline::runSideBySide()
{
    const QVector<StepKind> planned = plannedSteps();
    std::vector<std::unique_ptr<Step>> steps;
    QVector<StepKind> taken;
    std::size_t ends = 0; // steps whose end has been dealt with
    bool failed = false;
    QEventLoop loop;

    std::function<void(StepKind)> launch;
    auto ended = [&](Step *step) {
        ++ends;
        announceEnd(*step);
        if (!failed && take(step->result())) {
            taken.append(step->kind());
            // The ordering needs the depths, and reads the photographs once the thumbnails have.
            const bool ordering = std::any_of(steps.begin(), steps.end(), [](const auto &other) {
                return other->kind() == StepKind::Ordering;
            });
            if (!ordering && taken.contains(StepKind::Thumbnails) &&
                (taken.contains(StepKind::Depths) || !planned.contains(StepKind::Depths)))
                launch(StepKind::Ordering);
        } else if (!failed) {
            // The first problem is the one reported; what the others would do is of no use now.
            failed = true;
            for (const std::unique_ptr<Step> &other : steps)
                if (!other->isFinished())
                    other->requestStop();
        }
        if (ends == steps.size())
            loop.quit();
    };
    launch = [&](StepKind kind) {
        steps.push_back(makeStep(kind));
        Step *step = steps.back().get();
        watch(*step);
        // Queued: a step that ends inside start() is taken once the loop runs, and everything a
        // step reported before its end comes first.
        connect(step, &Step::finished, &loop, [&ended, step] { ended(step); }, Qt::QueuedConnection);
        step->start();
    };

    for (const StepKind kind : planned)
        if (kind != StepKind::Ordering)
            launch(kind);
    loop.exec();
    return !failed;
}

bool GenerationPipeline::run()
{
    if (shotCount() == 0)
        return fail(tr("Imported dataset error!"), tr("The dataset holds no photograph."));
    if (m_request.settings.startShot < 0 || m_request.settings.startShot >= shotCount())
        return fail(tr("Start shot"), tr("The start shot must lie between 1 and %1.").arg(shotCount()));
    if (m_request.tessel)
        if (const auto refusal = MultiresolutionStep::refusal(m_state.modelPath, m_state.tesselPath))
            return fail(*refusal);
    setFeatureDecoding(m_request.reducedDecode ? FeatureDecoding::Reduced : FeatureDecoding::FullSize);
    if (!(m_request.oneStepAtATime ? runOneAtATime() : runSideBySide()))
        return false;

    IndexSettings settings = m_request.settings;
    if (!m_request.sceneNameGiven)
        settings.sceneName = m_state.sceneName;
    settings.modelFileName = m_request.tessel ? m_state.tesselPath : m_state.modelPath;
    if (const auto problem =
            indexModelProblem(settings.modelFileName, m_request.tessel, m_state.builtTesselPath))
        return fail(*problem);
    const IndexWriteResult result =
        writeIndexFile(settings, m_state.shotValues(), m_state.outputIndexFile, m_request.relativePaths);
    if (!result.written)
        return fail(result.title, result.message);
    return true;
}
