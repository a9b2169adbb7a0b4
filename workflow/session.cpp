#include "session.h"

#include "datasetimport.h"
#include "jobmessages.h"
#include "reconstructionimport.h"
#include "runfiles.h"
#include "steprunner.h"
#include "steps.h"

#include <ksr/safefile.h>

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>

namespace
{

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString notWritten()
{
    return Session::tr("No index file was written.");
}

} // namespace

Session::Session(QObject *parent) : QObject(parent), m_runner(std::make_unique<StepRunner>())
{
    connect(m_runner.get(), &StepRunner::started, this, &Session::stepStarted);
    connect(m_runner.get(), &StepRunner::progress, this, &Session::stepProgress);
    connect(m_runner.get(), &StepRunner::updated, this, [this](const StepResult &part) {
        stepType(part.kind).merge(part, m_state);
        emit shotsChanged(part.kind);
    });
    connect(m_runner.get(), &StepRunner::finished, this, &Session::take);
}

Session::~Session() = default;

QString Session::firstModel(const QString &folder, const QStringList &names)
{
    return names.isEmpty() ? QString() : DatasetImport::resolvedModelPath(folder, names.first());
}

QString Session::builderProgram() const
{
    return m_builderProgram.isEmpty() ? MultiresolutionStep::defaultProgram() : m_builderProgram;
}

ImportOutcome Session::importDataset(const QString &fileName, const ModelChooser &chooseModel)
{
    ImportOutcome outcome;
    const ImportedDataset data = DatasetImport::read(fileName, m_request.import);
    // Only a file that read well is worth a question about its models.
    const bool readWell = data.recognised && data.problems.isEmpty();
    // A point cloud held back is the model, although it is not written yet.
    const QString model = !readWell                       ? QString()
                          : !data.pendingPoints.isEmpty() ? data.modelNames.first()
                                                          : chooseModel(data.folder, data.modelNames);
    const DatasetCandidate candidate = DatasetStates::fromImport(fileName, data, model);
    if (!candidate.accepted) {
        outcome.refusal = candidate.refusal;
        return outcome;
    }

    m_state = candidate.state;
    m_runner->setDataset(m_state.id);
    m_heldBack = data.pendingPoints.isEmpty() ? ImportedDataset() : data;
    m_request.modelFile = candidate.names.model;
    m_request.lowresModelFile = candidate.names.model;
    m_request.tesselFile = candidate.names.tessel;
    m_request.settings.sceneName = candidate.names.scene;
    m_request.outputFile = candidate.names.output;
    // An index keeps the up direction it was written with; other datasets take the cameras'.
    outcome.upFromCameras = !data.upDirection.has_value();
    m_request.settings.upDirection =
        data.upDirection.value_or(DatasetStates::upFromCameras(m_state).value_or(ksr::Point3f(0, 1, 0)));

    outcome.accepted = true;
    outcome.notes = data.notes;
    outcome.missing = DatasetStates::missingPhotographsNotice(candidate);
    emit datasetReplaced();
    return outcome;
}

// Steps ---------------------------------------------------------------------------------------

std::optional<Problem> Session::startRefusal(StepKind kind) const
{
    const StepType &type = stepType(kind);
    if (m_state.shotCount() == 0)
        return Problem{tr("Imported dataset error!"), tr("The dataset holds no photograph.")};
    if (m_runner->isRunning(kind))
        return Problem{type.title(), tr("%1 is already running.").arg(type.title())};
    return type.refusal(m_state, m_request);
}

std::optional<Problem> Session::startStep(StepKind kind)
{
    if (const auto refusal = startRefusal(kind))
        return refusal;
    const StepType &type = stepType(kind);
    type.prepare(m_state, m_request);
    emit shotsChanged(kind);
    m_runner->start(type.make(m_state, m_request, m_builderProgram).release());
    return std::nullopt;
}

bool Session::requestStop(StepKind kind)
{
    return m_runner->requestStop(kind);
}

bool Session::isRunning(StepKind kind) const
{
    return m_runner->isRunning(kind);
}

bool Session::isAnyRunning() const
{
    return m_runner->isAnyRunning();
}

void Session::stopAll()
{
    m_runner->stopAll();
}

std::optional<Problem> Session::leaveOut(const QVector<int> &rows)
{
    if (m_runner->isAnyRunning())
        return Problem{tr("Leave out"), tr("Shots can be left out once the running jobs have ended.")};
    int staying = m_state.shotCount();
    for (int row = 0; row < m_state.shotCount(); ++row)
        if (rows.contains(row))
            --staying;
    if (staying == m_state.shotCount())
        return std::nullopt;
    if (staying == 0)
        return Problem{tr("Leave out"), tr("At least one shot must stay in the dataset.")};
    m_state.leaveOut(rows);
    // The start shot keeps pointing at a shot.
    m_request.settings.startShot = qBound(0, m_request.settings.startShot, m_state.shotCount() - 1);
    emit shotsLeftOut();
    return std::nullopt;
}

int Session::leaveOutMissing()
{
    QVector<int> rows;
    for (int row = 0; row < m_state.shotCount(); ++row)
        if (!m_state.shots.at(row).missingNote.isEmpty())
            rows.append(row);
    return rows.isEmpty() || leaveOut(rows) ? 0 : int(rows.size());
}

void Session::merge(const StepResult &result)
{
    stepType(result.kind).merge(result, m_state);
    emit shotsChanged(result.kind);
}

void Session::take(const StepResult &result)
{
    stepType(result.kind).merge(result, m_state);
    if (!m_state.endedSteps.contains(result.kind))
        m_state.endedSteps.append(result.kind);
    emit shotsChanged(result.kind);
    emit stepFinished(result);
}

std::optional<Problem> Session::prepareRun()
{
    if (const auto refusal = runRefusal())
        return refusal;
    if (m_heldBack.pendingPoints.isEmpty())
        return std::nullopt;
    Problem notWritten;
    const bool written = ReconstructionImport::writePendingPointCloud(m_heldBack, &notWritten);
    m_heldBack = ImportedDataset();
    if (!written)
        return notWritten;
    return std::nullopt;
}

std::optional<Problem> Session::runAll()
{
    if (const auto refusal = prepareRun())
        return refusal;
    QVector<StepKind> planned;
    for (const StepType *type : stepTypes())
        if (type->planned(m_request))
            planned.append(type->kind());

    QVector<StepKind> started;
    QVector<StepKind> ended;
    std::optional<Problem> failure;
    QEventLoop loop;
    const auto mayStart = [&](StepKind kind) {
        if (started.contains(kind))
            return false;
        if (m_request.oneStepAtATime && m_runner->isAnyRunning())
            return false;
        for (const StepKind needed : stepType(kind).needs())
            if (planned.contains(needed) && !ended.contains(needed))
                return false;
        return true;
    };
    std::function<void()> startWhatMay = [&] {
        for (const StepKind kind : planned) {
            if (failure || !mayStart(kind))
                continue;
            started.append(kind);
            if (const auto refusal = startStep(kind)) {
                failure = refusal;
                break;
            }
        }
        // Judged when the loop runs: a step that ended inside start() may be followed by others.
        QMetaObject::invokeMethod(
            &loop,
            [&] {
                if (!m_runner->isAnyRunning())
                    loop.quit();
            },
            Qt::QueuedConnection);
    };
    const QMetaObject::Connection watching =
        connect(this, &Session::stepFinished, &loop, [&](const StepResult &result) {
            ended.append(result.kind);
            if (!failure) {
                failure = stepType(result.kind).failure(result, m_state, m_request);
                // The first problem is the one reported; what the others would do is of no use now.
                if (failure)
                    for (const StepKind kind : planned)
                        m_runner->requestStop(kind);
            }
            for (const Problem &problem : result.problems)
                if (!failure || !(problem == *failure))
                    emit notice(problem);
            startWhatMay();
        });
    startWhatMay();
    loop.exec();
    disconnect(watching);
    if (!failure && ended.size() < planned.size())
        failure = Problem{tr("Index generation status"), tr("Not every step ended.")};
    return failure;
}

std::optional<Problem> Session::runRefusal() const
{
    if (m_state.shotCount() == 0)
        return Problem{tr("Imported dataset error!"), tr("The dataset holds no photograph.")};
    // Every shot must be written: a photograph that is not there stops the run before any step.
    if (const QStringList missing = m_state.missingPhotographs(); !missing.isEmpty())
        return JobMessages::photographsNotFound(missing);
    if (m_request.depths == DepthSource::None && !m_state.hasAllDepths())
        return Problem{tr("Depths missing"),
                       tr("The dataset carries no depths: they must be computed from the model.")};
    if (const auto problem = filesRefusal())
        return problem;
    // The file is written only at the end; an unwritable name is better known now.
    const QString unwritable = unwritableReason(m_request.outputFile);
    if (!unwritable.isEmpty())
        return Problem{tr("Index generation status"),
                       tr("An unexpected error occured while generating the index file!") +
                           QLatin1Char('\n') +
                           tr("\"%1\" cannot be written: %2.").arg(native(m_request.outputFile), unwritable)};
    if (m_request.multiresolution) {
        const QString why = unwritableReason(m_request.tesselFile);
        if (!why.isEmpty())
            return Problem{tr("\"tesselbuilder\" error"), tr("The multiresolution model \"%1\" cannot be "
                                                             "written: %2.")
                                                              .arg(native(m_request.tesselFile), why)};
        if (const auto refusal = MultiresolutionStep::refusal(m_request.modelFile, m_request.tesselFile))
            return refusal;
    }
    const int startShot = m_request.settings.startShot;
    if (startShot < 0 || startShot >= m_state.shotCount())
        return Problem{tr("Start shot"),
                       tr("The start shot must lie between 1 and %1.").arg(m_state.shotCount())};
    return std::nullopt;
}

// Names the run writes that are files it reads, or that it writes twice. An index given as the
// dataset may be replaced.
std::optional<Problem> Session::filesRefusal() const
{
    const QString pointCloud =
        m_heldBack.pendingPoints.isEmpty() ? QString() : m_heldBack.modelNames.value(0);
    return RunFiles::ofGeneration(m_state, m_request.modelFile, m_request.lowresModelFile,
                                  m_request.outputFile,
                                  m_request.multiresolution ? m_request.tesselFile : QString(), pointCloud)
        .collision();
}

// Writing -------------------------------------------------------------------------------------

bool Session::isReadyToWrite() const
{
    // A running step is about to replace values: the index waits for them.
    if (!m_state.isComplete() || m_runner->isAnyRunning())
        return false;
    return !m_request.multiresolution || m_state.builderStatus == BuilderStatus::Ready;
}

std::optional<Problem> Session::writeRefusal() const
{
    const QString statusTitle = tr("Index generation status");
    if (m_state.shotCount() == 0)
        return Problem{tr("Imported dataset error!"), tr("The dataset holds no photograph.")};
    const ksr::Point3f &up = m_request.settings.upDirection;
    if (const auto problem = upDirectionProblem(up[0], up[1], up[2]))
        return Problem{problem->title, problem->text + QLatin1Char('\n') + notWritten()};
    const QString model = m_request.multiresolution ? m_request.tesselFile : m_request.modelFile;
    if (const auto problem = indexModelProblem(model, m_request.multiresolution, m_state.builtTesselPath);
        problem && !problem->missingFile)
        return problem->problem;
    if (!m_state.isComplete())
        return Problem{statusTitle,
                       tr("Not every shot has all its values yet.") + QLatin1Char('\n') + notWritten()};
    if (m_request.settings.backgroundKind == OrvelleIndex::DomeBackground) {
        QVector<float> heights;
        QVector<Color4f> colors;
        QString why;
        if (!parseDomeRows(m_request.domeRows, heights, colors, &why))
            return Problem{statusTitle, why + QLatin1Char(' ') + notWritten()};
    }
    const int startShot = m_request.settings.startShot;
    if (startShot < 0 || startShot >= m_state.shotCount())
        return Problem{tr("Start shot"),
                       tr("The start shot must lie between 1 and %1.").arg(m_state.shotCount())};
    return filesRefusal();
}

WriteOutcome Session::writeIndex()
{
    WriteOutcome outcome;
    if (const auto refusal = writeRefusal()) {
        outcome.problem = *refusal;
        return outcome;
    }
    IndexSettings settings = m_request.settings;
    settings.upDirection =
        upVector(settings.upDirection[0], settings.upDirection[1], settings.upDirection[2]);
    settings.modelFileName = m_request.multiresolution ? m_request.tesselFile : m_request.modelFile;
    if (settings.backgroundKind == OrvelleIndex::DomeBackground)
        parseDomeRows(m_request.domeRows, settings.domeHeights, settings.domeColors);
    else
        settings.domeHeights.clear();
    if (settings.backgroundKind != OrvelleIndex::DomeBackground)
        settings.domeColors.clear();
    // An up direction far from the cameras' shows the scene on its side or upside down.
    if (const auto cameras = DatasetStates::upFromCameras(m_state);
        cameras && DatasetStates::angleDegrees(settings.upDirection, *cameras) > 60.0)
        outcome.notices.append(
            {tr("Up direction"),
             tr("The up direction is %1 degrees from the cameras' up direction: the viewer "
                "may show the scene on its side.")
                 .arg(qRound(DatasetStates::angleDegrees(settings.upDirection, *cameras)))});
    // A model that is not on this disk may be beside the index where the viewer opens it.
    if (const auto problem =
            indexModelProblem(settings.modelFileName, m_request.multiresolution, m_state.builtTesselPath))
        outcome.notices.append(problem->problem);

    outcome.written = writeIndexFile(settings, m_state.shots, m_request.outputFile, m_request.relativePaths,
                                     outcome.problem);
    if (outcome.written)
        m_state.unwrittenResults = false;
    return outcome;
}
