#pragma once
// Every preparation step described once: what it needs, how it is made from the dataset and the
// request, how its result is judged and worded. The session plans, starts and merges steps only
// through this table, so a new step is one new file plus its line below (see docs/adding-a-step.md).

#include "problem.h"

#include <QString>
#include <QVariant>
#include <QVector>

#include <memory>
#include <optional>

class Step;
struct DatasetState;
struct SessionRequest;
struct ShotRecord;
struct StepResult;

// One enumerator per line of the table, in the order a front end lists the steps.
enum class StepKind { Thumbnails, Depths, Ordering, Multiresolution };

// What one kind of step is to the session. Stateless; one instance per kind.
class StepType
{
public:
    virtual ~StepType() = default;
    virtual StepKind kind() const = 0;
    // The name of its progress line in the tool ("thumbnails").
    virtual QString jobName() const = 0;
    // The name the window shows ("Thumbnails").
    virtual QString title() const = 0;

    // Whether a run of every step includes it.
    virtual bool planned(const SessionRequest &request) const;
    // The steps whose results it reads: in a run of every step it starts once they are in.
    virtual QVector<StepKind> needs() const { return {}; }
    // Whether its progress is worth showing (a step that only looks files up is not).
    virtual bool shown(const SessionRequest &) const { return true; }
    // Why it cannot start on this dataset with this request; nullopt when it can.
    virtual std::optional<Problem> refusal(const DatasetState &, const SessionRequest &) const
    {
        return std::nullopt;
    }
    // What the dataset forgets when the step starts (values it is about to replace).
    virtual void prepare(DatasetState &, const SessionRequest &) const {}
    // Takes a result (or a part of one) into the dataset.
    virtual void merge(const StepResult &result, DatasetState &state) const;
    virtual std::unique_ptr<Step> make(const DatasetState &state, const SessionRequest &request,
                                       const QString &builderProgram) const = 0;
    // After its result is merged: why a run of every step must stop here; nullopt to go on.
    // Problems that are not returned here are notices.
    virtual std::optional<Problem> failure(const StepResult &result, const DatasetState &state,
                                           const SessionRequest &request) const = 0;
    // One sentence on what the dataset holds after it ("8 of 8 shots have a thumbnail.").
    virtual QString summary(const StepResult &result, const DatasetState &state) const = 0;

    // A column of its own in the data table, beside the six every dataset has; empty for none.
    virtual QString columnTitle() const { return QString(); }
    // The shot's value in that column (a number or a text); invalid while unknown.
    virtual QVariant columnValue(const ShotRecord &) const { return QVariant(); }
};

const StepType &thumbnailStepType();
const StepType &depthStepType();
const StepType &orderingStepType();
const StepType &multiresolutionStepType();

// The table: one line per step, in StepKind's order.
inline const QVector<const StepType *> &stepTypes()
{
    static const QVector<const StepType *> table{
        &thumbnailStepType(),
        &depthStepType(),
        &orderingStepType(),
        &multiresolutionStepType(),
    };
    return table;
}

inline const StepType &stepType(StepKind kind)
{
    return *stepTypes().at(int(kind));
}
