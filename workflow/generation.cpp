#include "generation.h"

#include "downsamplingthread.h"
#include "jobinputs.h"
#include "jobmessages.h"
#include "reconstructionimport.h"
#include "steprunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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

    const ImportedDataset data = DatasetImport::read(request.datasetFile, importOptions);
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
            modelFile = DatasetImport::resolvedModelPath(data.folder, data.modelNames.first());
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
    QStringList readFiles = m_state.imagePaths();
    readFiles << m_state.modelPath << QFileInfo(m_state.lowresModelPath).canonicalFilePath();
    if (QFileInfo(request.datasetFile).suffix().toLower() != QLatin1String("orx"))
        readFiles << QFileInfo(request.datasetFile).canonicalFilePath();
    for (const QString &written :
         {m_state.outputIndexFile, request.tessel ? m_state.tesselPath : QString()}) {
        const QString existing = QFileInfo(written).canonicalFilePath();
        if (!existing.isEmpty() && readFiles.contains(existing))
            return fail(tr("Index generation status"),
                        tr("\"%1\" is one of the files the generation reads: it is not written over.")
                            .arg(native(written)));
    }

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
    return true;
}

StepResult GenerationPipeline::runStep(Step &step, const QString &job)
{
    connect(&step, &Step::progress, this, [this, job](int percent) { emit jobProgress(job, percent); });
    emit jobStarted(job);
    const StepResult result = StepRunner::runToEnd(step);
    emit jobFinished(job);
    return result;
}

bool GenerationPipeline::computeThumbnails()
{
    ThumbnailStep step(m_state.imagePaths(), m_request.thumbnails);
    // Only the graphics card takes time worth showing.
    const StepResult result = m_request.thumbnails == ThumbnailSource::Downsample
                                  ? runStep(step, QStringLiteral("thumbnails"))
                                  : StepRunner::runToEnd(step);
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
        return fail(tr("Thumbnails not made"), tr("The thumbnail job did not report every photograph."));
    return true;
}

bool GenerationPipeline::computeDepths()
{
    // Without a depth step the dataset's own depths stay (prepare() made sure there are).
    if (m_request.depths == DepthSource::None)
        return true;
    DepthStep step(m_state.lowresModelPath, m_state.cameras());
    const StepResult result = runStep(step, QStringLiteral("depths"));
    if (result.depths.size() != shotCount()) {
        if (!result.problems.isEmpty())
            return fail(result.problems.first());
        return fail(tr("Depths not computed"), tr("The depth job did not report every shot."));
    }
    // Depths computed on a model read only in part are kept, as in the window, with the warning.
    for (const Problem &problem : result.problems)
        emit notice(problem.title, problem.text);
    m_state.apply(result);
    return true;
}

bool GenerationPipeline::computeOrderAndSemantic()
{
    // The tool's weights run from 0 to 100, as the window's sliders do.
    OrderingStep step(m_state.imagePaths(), m_state.cameras(), m_state.depths(),
                      JobInputs::featureWeights(m_request.orderWeights, m_request.clusterWeights, 100));
    const StepResult result = runStep(step, QStringLiteral("ordering"));
    for (const Problem &problem : result.problems)
        emit notice(problem.title, problem.text);
    if (result.orderPositions.isEmpty())
        return fail(tr("Ordering not computed"), tr("The ordering job did not report every shot."));
    m_state.apply(result);
    return true;
}

bool GenerationPipeline::computeTessel()
{
    if (!m_request.tessel)
        return true;
    if (const auto refusal = MultiresolutionStep::refusal(m_state.modelPath, m_state.tesselPath))
        return fail(*refusal);
    MultiresolutionStep step(m_state.modelPath, m_request.pointCloud, m_state.tesselPath);
    const StepResult result = runStep(step, QStringLiteral("tessel"));
    if (result.builtModel.isEmpty())
        return fail(result.problems.isEmpty() ? Problem{tr("\"tesselbuilder\" error"), tr("Unknown error")}
                                              : result.problems.first());
    m_state.apply(result);
    return true;
}

bool GenerationPipeline::run()
{
    if (shotCount() == 0)
        return fail(tr("Imported dataset error!"), tr("The dataset holds no photograph."));
    if (m_request.settings.startShot < 0 || m_request.settings.startShot >= shotCount())
        return fail(tr("Start shot"), tr("The start shot must lie between 1 and %1.").arg(shotCount()));
    if (!computeThumbnails() || !computeDepths() || !computeOrderAndSemantic() || !computeTessel())
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
