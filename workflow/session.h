#pragma once
// One session of the engine: the dataset, the request, the steps running on it and every rule
// before a write. The window binds its controls to request() and calls the session; the
// command-line tool fills request() from its options and runs every step. Readiness, refusals
// and their messages are decided here, once, for both. GUI thread only (the GL steps make their
// contexts there).

#include "datasetimport.h"
#include "datasetstate.h"
#include "problem.h"
#include "sessionrequest.h"
#include "steptable.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class StepRunner;
struct StepResult;

// Among several models of a dataset, the canonical path of the one to use; empty for none.
// folder: the dataset's folder, which relative names are resolved against.
using ModelChooser = std::function<QString(const QString &folder, const QStringList &names)>;

struct ImportOutcome {
    bool accepted = false;
    Problem refusal;            // when not accepted: the dataset held before is kept
    QStringList notes;          // what a reconstruction's import had to say (photographs left out, ...)
    Problem missing;            // the photographs not found; empty title when every one was
    bool upFromCameras = false; // the request's up direction was set from the cameras
};

struct WriteOutcome {
    bool written = false;
    Problem problem;  // why nothing was written, or the success message
    Problems notices; // written all the same, but worth a word (a model not on this disk)
};

class Session : public QObject
{
    Q_OBJECT
public:
    explicit Session(QObject *parent = nullptr);
    // Stops every step and waits for it; nothing is reported.
    ~Session() override;

    // The first of several models; the one the tool's --model names is given by the caller.
    static QString firstModel(const QString &folder, const QStringList &names);

    // Reads fileName (with request().import for a reconstruction) and, when it can be used, makes it
    // the session's dataset: steps of the previous one stop, the request's file names and scene name
    // become the ones derived from the new dataset. On refusal nothing changes.
    ImportOutcome importDataset(const QString &fileName, const ModelChooser &chooseModel = firstModel);

    const DatasetState &dataset() const { return m_state; }
    SessionRequest &request() { return m_request; }
    const SessionRequest &request() const { return m_request; }
    // Photographs of the dataset that are not on disk (as listed).
    QStringList missingPhotographs() const { return m_state.missingPhotographs(); }
    // Leaves the shots at `rows` out of the dataset: no step works on them and the index is written
    // without them. Refused while a step runs (its results are addressed by row) and when no shot
    // would stay.
    std::optional<Problem> leaveOut(const QVector<int> &rows);
    // Leaves out every shot whose photograph was not found; how many that were.
    int leaveOutMissing();

    // The builder to run; empty for the one beside this program.
    void setBuilderProgram(const QString &program) { m_builderProgram = program; }
    QString builderProgram() const;

    // Steps one at a time, as the window's buttons start them. Refused (with the reason) when the
    // dataset lacks what the step needs, the request forbids it, or one of its kind runs.
    std::optional<Problem> startStep(StepKind kind);
    // Why startStep(kind) would be refused now; nullopt when it would start.
    std::optional<Problem> startRefusal(StepKind kind) const;
    bool requestStop(StepKind kind);
    bool isRunning(StepKind kind) const;
    bool isAnyRunning() const;
    void stopAll();

    // Every step the request asks for, side by side where the table allows (or one at a time),
    // each result merged as it ends. Nullopt when all went well; otherwise the first failure, and the
    // steps still running were stopped. Runs a local event loop until the last step has ended.
    std::optional<Problem> runAll();
    // What stands in the way of runAll() before any step starts: names that would be written over,
    // unwritable outputs, missing photographs or depths, a start shot out of range.
    std::optional<Problem> runRefusal() const;
    // runRefusal(), then what an import held back until the checks passed (a reconstruction's
    // point cloud, with ImportOptions::pointCloudLater) is written. runAll() begins with it.
    std::optional<Problem> prepareRun();

    // Every value is there, no step is running, and the multiresolution model the request names is built.
    bool isReadyToWrite() const;
    // Checks the request and the dataset, then writes the index to request().outputFile.
    WriteOutcome writeIndex();
    // What writeIndex() would refuse; nullopt when it would write.
    std::optional<Problem> writeRefusal() const;

    // Merges values computed elsewhere into the dataset as a step of that kind would (an index's
    // values carried over, a test's). Entries for shots that do not exist are ignored.
    void merge(const StepResult &result);

signals:
    void datasetReplaced();
    // Shots were left out: rows are gone, the others moved up.
    void shotsLeftOut();
    void stepStarted(StepKind kind);
    void stepProgress(StepKind kind, int percent);
    // Per-shot values changed (a step's part or whole result was merged).
    void shotsChanged(StepKind kind);
    // A step ended and its result is merged; the problems are for the user.
    void stepFinished(const StepResult &result);
    // During runAll(): a problem of a step that does not stop the run.
    void notice(const Problem &problem);

private:
    std::optional<Problem> filesRefusal() const;
    void take(const StepResult &result);

    SessionRequest m_request;
    DatasetState m_state;
    ImportedDataset m_heldBack; // an import whose point cloud is still to be written
    QString m_builderProgram;
    std::unique_ptr<StepRunner> m_runner;
};
