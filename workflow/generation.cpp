#include "generation.h"

#include "depthcomputationthread.h"
#include "downsamplingthread.h"
#include "jobinputs.h"
#include "jobmessages.h"
#include "jobrunner.h"
#include "orderandsemanticthread.h"
#include "reconstructionimport.h"
#include "tesselcomputationprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace
{

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Absolute, so that the builder's change of the current folder cannot move it.
QString absolute(const QString &path)
{
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

// A file that can be (re)written without touching it now: an existing writable file, or a new
// one in an existing writable folder.
bool canWrite(const QString &path)
{
    const QFileInfo file(path);
    if (file.exists())
        return file.isFile() && file.isWritable();
    const QFileInfo folder(file.absolutePath());
    return folder.isDir() && folder.isWritable();
}

} // namespace

GenerationPipeline::GenerationPipeline(QObject *parent) : QObject(parent) {}

bool GenerationPipeline::fail(const QString &title, const QString &text)
{
    m_errorTitle = title;
    m_errorText = text;
    return false;
}

bool GenerationPipeline::prepare(const GenerationRequest &request)
{
    m_request = request;
    m_shots = ShotValues();
    m_errorTitle.clear();
    m_errorText.clear();

    ImportOptions importOptions;
    importOptions.imagesFolder = request.imagesFolder;
    importOptions.meshFile = request.meshFile;
    if (request.modelFile.isEmpty())
        importOptions.pointCloudFile = ReconstructionImport::pointCloudName(
            request.outputFile.isEmpty() ? DatasetImport::derivedOutputName(request.datasetFile)
                                         : absolute(request.outputFile));
    m_dataset = DatasetImport::read(request.datasetFile, importOptions);
    if (!m_dataset.recognised)
        return fail(tr("Wrong file format"),
                    tr("\"%1\" is neither a Polyforge project (.pfp) nor an Orvelle index file (.orx).")
                        .arg(native(request.datasetFile)));
    if (!m_dataset.problems.isEmpty())
        return fail(m_dataset.problemTitle, m_dataset.problemText());

    // The model: the one asked for, else the dataset's (the first of several).
    if (!request.modelFile.isEmpty()) {
        m_modelFile = QFileInfo(request.modelFile).canonicalFilePath();
        if (m_modelFile.isEmpty())
            return fail(tr("Model not found"),
                        tr("The model file \"%1\" does not exist.").arg(native(request.modelFile)));
    } else {
        m_modelFile = m_dataset.modelNames.isEmpty()
                          ? QString()
                          : DatasetImport::resolvedModelPath(m_dataset.folder, m_dataset.modelNames.first());
        if (m_modelFile.isEmpty())
            return fail(DatasetImport::noModelTitle(), DatasetImport::noModelText());
    }
    m_lowresModelFile = request.lowresModelFile.isEmpty() ? m_modelFile : absolute(request.lowresModelFile);
    m_tesselOutput = request.tesselOutput.isEmpty() ? DatasetImport::derivedTesselName(m_modelFile)
                                                    : absolute(request.tesselOutput);
    m_outputFile = request.outputFile.isEmpty() ? DatasetImport::derivedOutputName(request.datasetFile)
                                                : absolute(request.outputFile);

    // Every row of the window's table must fill: a photograph and a camera per shot.
    const QString shotsTitle = tr("Imported dataset error!");
    const int n = int(m_dataset.imagePaths.size());
    if (n == 0)
        return fail(shotsTitle, tr("The dataset holds no photograph."));
    QStringList missing;
    for (int i = 0; i < n; ++i)
        if (m_dataset.imagePaths.at(i).isEmpty() || !QFileInfo(m_dataset.imagePaths.at(i)).isFile())
            missing.append(native(m_dataset.imageNames.at(i)));
    if (!missing.isEmpty())
        return fail(shotsTitle, tr("These photographs of the dataset were not found:\n%1")
                                    .arg(JobMessages::problemList(missing)));
    if (m_dataset.cameras.size() < n)
        return fail(
            shotsTitle,
            tr("The dataset lists %1 photographs but only %2 cameras.").arg(n).arg(m_dataset.cameras.size()));
    if (request.depths == DepthSource::None && m_dataset.depths.size() != n)
        return fail(tr("Depths missing"),
                    tr("The dataset carries no depths: they must be computed from the model."));

    m_shots.imagePaths = m_dataset.imagePaths;
    for (int i = 0; i < n; ++i)
        m_shots.cameras.append(DatasetImport::tableCamera(m_dataset.cameras.at(i)));

    // Nothing the run reads is written over (an index given as INPUT may be replaced by the new one).
    QStringList readFiles = m_shots.imagePaths;
    readFiles << m_modelFile << QFileInfo(m_lowresModelFile).canonicalFilePath();
    if (QFileInfo(request.datasetFile).suffix() != QLatin1String("orx"))
        readFiles << QFileInfo(request.datasetFile).canonicalFilePath();
    for (const QString &written : {m_outputFile, request.tessel ? m_tesselOutput : QString()}) {
        const QString existing = QFileInfo(written).canonicalFilePath();
        if (!existing.isEmpty() && readFiles.contains(existing))
            return fail(tr("Index generation status"),
                        tr("\"%1\" is one of the files the generation reads: it is not written over.")
                            .arg(native(written)));
    }

    // The file is written only at the end; an unwritable name is better known now.
    if (!canWrite(m_outputFile))
        return fail(tr("Index generation status"),
                    tr("An unexpected error occured while generating the index file!") + QLatin1Char('\n') +
                        tr("\"%1\" cannot be written.").arg(native(m_outputFile)));
    if (request.tessel && !canWrite(m_tesselOutput))
        return fail(tr("\"tesselbuilder\" error"),
                    tr("The multiresolution model \"%1\" cannot be written.").arg(native(m_tesselOutput)));
    return true;
}

bool GenerationPipeline::computeThumbnails()
{
    const int n = shotCount();
    switch (m_request.thumbnails) {
    case ThumbnailSource::Hires:
    case ThumbnailSource::None:
        m_shots.thumbnailPaths = m_shots.imagePaths;
        return true;
    case ThumbnailSource::Existing: {
        QStringList missing;
        for (const QString &image : std::as_const(m_shots.imagePaths)) {
            const QString thumbnail = JobInputs::thumbnailPath(image);
            m_shots.thumbnailPaths.append(thumbnail);
            if (!QFileInfo(thumbnail).isFile())
                missing.append(native(thumbnail));
        }
        if (!missing.isEmpty())
            return fail(tr("Thumbnails missing"),
                        tr("These thumbnails do not exist:\n%1").arg(JobMessages::problemList(missing)));
        return true;
    }
    case ThumbnailSource::Downsample:
        break;
    }

    const QStringList outputs = JobInputs::thumbnailPaths(m_shots.imagePaths);
    QStringList made(outputs.size());
    QStringList problems;
    const QString job = QStringLiteral("thumbnails");
    {
        DownsamplingThread thread(m_shots.imagePaths, outputs);
        connect(&thread, &DownsamplingThread::newThumbnail, this, [&](int i, const QString &file) {
            if (i >= 0 && i < n)
                made[i] = file;
        });
        connect(&thread, &DownsamplingThread::failed, this, [&](int i, const QString &reason) {
            problems.append(JobMessages::thumbnailFailure(i, reason));
        });
        connect(&thread, &DownsamplingThread::progress, this,
                [&](int percent) { emit jobProgress(job, percent); });
        emit jobStarted(job);
        JobRunner::runToEnd(thread);
        emit jobFinished(job);
    }
    if (!problems.isEmpty()) {
        const JobMessage message = JobMessages::thumbnailsNotMade(problems);
        return fail(message.title, message.text);
    }
    if (made.contains(QString()))
        return fail(tr("Thumbnails not made"), tr("The thumbnail job did not report every photograph."));
    m_shots.thumbnailPaths = made;
    return true;
}

bool GenerationPipeline::computeDepths()
{
    const int n = shotCount();
    if (m_request.depths == DepthSource::None) {
        m_shots.depths = m_dataset.depths;
        return true;
    }
    QVector<float> depths(n);
    QVector<bool> reported(n, false);
    QString problemTitle;
    QStringList problemTexts;
    const QString job = QStringLiteral("depths");
    {
        DepthComputationThread thread(m_lowresModelFile, m_shots.cameras);
        connect(&thread, &DepthComputationThread::newDepth, this, [&](int i, float value) {
            if (i >= 0 && i < n) {
                depths[i] = DatasetImport::tableDepth(value);
                reported[i] = true;
            }
        });
        connect(&thread, &DepthComputationThread::modelProblem, this,
                [&](const QString &title, const QString &message) {
                    if (problemTitle.isEmpty())
                        problemTitle = title;
                    problemTexts.append(message);
                });
        connect(&thread, &DepthComputationThread::progress, this,
                [&](int percent) { emit jobProgress(job, percent); });
        emit jobStarted(job);
        JobRunner::runToEnd(thread);
        emit jobFinished(job);
    }
    if (reported.contains(false))
        return fail(problemTitle.isEmpty() ? tr("Depths not computed") : problemTitle,
                    problemTexts.isEmpty() ? tr("The depth job did not report every shot.")
                                           : problemTexts.join(QLatin1Char('\n')));
    // Depths computed on a model read only in part are kept, as in the window, with the warning.
    if (!problemTitle.isEmpty())
        emit notice(problemTitle, problemTexts.join(QLatin1Char('\n')));
    m_shots.depths = depths;
    return true;
}

bool GenerationPipeline::computeOrderAndSemantic()
{
    const int n = shotCount();
    // The tool's weights run from 0 to 100, as the window's sliders do.
    const std::array<float, 12> w =
        JobInputs::featureWeights(m_request.orderWeights, m_request.clusterWeights, 100);
    QVector<int> order;
    QVector<int> semantic;
    bool ordered = false;
    bool clustered = false;
    QStringList unreadable;
    const QString job = QStringLiteral("ordering");
    {
        OrderAndSemanticThread thread(m_shots.imagePaths, m_shots.cameras, m_shots.depths, w[0], w[1], w[2],
                                      w[3], w[4], w[5], w[6], w[7], w[8], w[9], w[10], w[11]);
        connect(&thread, &OrderAndSemanticThread::newOrder, this, [&](const QVector<int> &values) {
            order = values;
            ordered = true;
        });
        connect(&thread, &OrderAndSemanticThread::newSemantic, this, [&](const QVector<int> &values) {
            semantic = values;
            clustered = true;
        });
        connect(&thread, &OrderAndSemanticThread::unreadableImage, this,
                [&](int, const QString &path) { unreadable.append(native(path)); });
        connect(&thread, &OrderAndSemanticThread::progress, this,
                [&](int percent) { emit jobProgress(job, percent); });
        emit jobStarted(job);
        JobRunner::runToEnd(thread);
        emit jobFinished(job);
    }
    if (!unreadable.isEmpty()) {
        const JobMessage message = JobMessages::photographsNotRead(unreadable);
        emit notice(message.title, message.text);
    }
    if (!ordered || !clustered || order.size() != n || semantic.size() != n)
        return fail(tr("Ordering not computed"), tr("The ordering job did not report every shot."));

    // The table keeps, per shot, its position in the viewing order.
    m_shots.orderPositions = JobInputs::positionsFromOrder(order, n);
    m_shots.clusterNumbers = semantic;
    return true;
}

bool GenerationPipeline::computeTessel()
{
    if (!m_request.tessel)
        return true;
    TesselComputationProcess builder;
    const QString job = QStringLiteral("tessel");
    connect(&builder, &TesselComputationProcess::tesselProgress, this,
            [&](int percent) { emit jobProgress(job, percent); });
    emit jobStarted(job);
    QString title;
    QString message;
    const bool built =
        JobRunner::runBuilder(builder, m_modelFile, m_request.pointCloud, m_tesselOutput, title, message);
    if (built)
        emit jobProgress(job, 100);
    emit jobFinished(job);
    if (!built)
        return fail(title, message);
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
        settings.sceneName = DatasetImport::derivedSceneName(m_modelFile);
    settings.modelFileName = m_request.tessel ? m_tesselOutput : m_modelFile;
    const IndexWriteResult result = writeIndexFile(settings, m_shots, m_outputFile, m_request.relativePaths);
    if (!result.written)
        return fail(result.title, result.message);
    return true;
}
