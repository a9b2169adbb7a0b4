#pragma once
// Starts the engine's steps for one dataset at a time and passes on what they report. Every step
// is tagged with the dataset it was started for; when the dataset is replaced, its steps are asked
// to stop and nothing they report afterwards reaches the signals below. At most one step of each
// kind runs for the current dataset (and so at most one ordering, whose tables are shared).
// GUI thread only.

#include "steps.h"

#include <QObject>
#include <QVector>

class StepRunner : public QObject
{
    Q_OBJECT
public:
    explicit StepRunner(QObject *parent = nullptr);
    // Stops every step and waits for it; nothing is reported.
    ~StepRunner() override;

    // The dataset results are meant for from now on.
    void setDataset(quint64 dataset);
    quint64 dataset() const { return m_dataset; }

    // A step of this kind works for the current dataset.
    bool isRunning(StepKind kind) const;
    bool isAnyRunning() const;

    // Starts the step (the runner owns it) for the current dataset. False, and the step is
    // discarded, when one of its kind is still working for the current dataset; one still
    // working for a replaced dataset is stopped and waited for first.
    bool start(Step *step);

    // Asks the step of this kind working for the current dataset to stop; it ends soon after
    // (between photographs) and reports what it has done, marked stopped. False when none runs.
    bool requestStop(StepKind kind);

    // Stops every step and waits for it; none reports anything afterwards.
    void stopAll();

    // For front ends without a window: runs the step to its end in a local event loop (its
    // signals are delivered meanwhile) and returns its result.
    static StepResult runToEnd(Step &step);

signals:
    void started(StepKind kind);
    void progress(StepKind kind, int percent);
    void updated(const StepResult &part);
    // The step's whole result, also when stopped or failed; dataset set.
    void finished(const StepResult &result);

private:
    struct Running {
        Step *step;
        quint64 dataset;
    };
    bool isCurrent(const Step *step) const;
    void ended(Step *step);
    void discard(Step *step);

    quint64 m_dataset = 0;
    QVector<Running> m_running;
};
