#include "steps.h"

#include "datasetstate.h"

Step::Step(StepKind kind)
{
    m_result.kind = kind;
}

void Step::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    emit finished();
}

StepResult Step::partOf() const
{
    StepResult part;
    part.kind = m_result.kind;
    return part;
}

// The four steps of every dataset run unless their type says otherwise; others when asked for.
bool StepType::planned(const SessionRequest &request) const
{
    return kind() <= StepKind::Multiresolution || request.optionalSteps.contains(kind());
}

void StepType::merge(const StepResult &result, DatasetState &state) const
{
    state.apply(result);
}
