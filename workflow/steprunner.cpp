#include "steprunner.h"

#include <QEventLoop>

StepRunner::StepRunner(QObject *parent) : QObject(parent) {}

StepRunner::~StepRunner()
{
    stopAll();
}

void StepRunner::setDataset(quint64 dataset)
{
    if (dataset == m_dataset)
        return;
    m_dataset = dataset;
    // Their rows mean nothing to the new dataset: let them end soon, quietly.
    for (const Running &running : std::as_const(m_running))
        running.step->requestStop();
}

bool StepRunner::isCurrent(const Step *step) const
{
    for (const Running &running : m_running)
        if (running.step == step)
            return running.dataset == m_dataset;
    return false;
}

bool StepRunner::isRunning(StepKind kind) const
{
    for (const Running &running : m_running)
        if (running.step->kind() == kind && running.dataset == m_dataset)
            return true;
    return false;
}

bool StepRunner::isAnyRunning() const
{
    for (const Running &running : m_running)
        if (running.dataset == m_dataset)
            return true;
    return false;
}

bool StepRunner::start(Step *step)
{
    if (isRunning(step->kind())) {
        delete step;
        return false;
    }
    for (int i = int(m_running.size()) - 1; i >= 0; --i)
        if (m_running.at(i).step->kind() == step->kind())
            discard(m_running.at(i).step);

    step->setParent(this);
    m_running.append({step, m_dataset});
    connect(step, &Step::progress, this, [this, step](int percent) {
        if (isCurrent(step))
            emit progress(step->kind(), percent);
    });
    connect(step, &Step::updated, this, [this, step](const StepResult &part) {
        if (!isCurrent(step))
            return;
        StepResult tagged = part;
        tagged.dataset = m_dataset;
        emit updated(tagged);
    });
    connect(step, &Step::finished, this, [this, step] { ended(step); });
    emit started(step->kind());
    step->start();
    return true;
}

void StepRunner::ended(Step *step)
{
    const bool current = isCurrent(step);
    const quint64 dataset = m_dataset;
    m_running.removeIf([step](const Running &running) { return running.step == step; });
    step->deleteLater();
    if (!current)
        return;
    StepResult result = step->result();
    result.dataset = dataset;
    emit finished(result);
}

void StepRunner::discard(Step *step)
{
    step->disconnect(this);
    step->stopAndWait();
    m_running.removeIf([step](const Running &running) { return running.step == step; });
    delete step;
}

bool StepRunner::requestStop(StepKind kind)
{
    for (const Running &running : std::as_const(m_running))
        if (running.step->kind() == kind && running.dataset == m_dataset) {
            running.step->requestStop();
            return true;
        }
    return false;
}

void StepRunner::stopAll()
{
    for (const Running &running : std::as_const(m_running))
        running.step->requestStop();
    while (!m_running.isEmpty())
        discard(m_running.last().step);
}

StepResult StepRunner::runToEnd(Step &step)
{
    QEventLoop loop;
    // Queued, so that the quit comes after every result the step's worker emitted before it ended.
    QObject::connect(&step, &Step::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    step.start();
    if (!step.isFinished())
        loop.exec();
    return step.result();
}
