// The depth step: the low-resolution model rendered from every shot's camera.

#include "steps.h"

#include "datasetstate.h"
#include "depthcomputationthread.h"

#include <QCoreApplication>

DepthStep::DepthStep(const QString &lowresModel, const QVector<Camera> &cameras)
    : Step(StepKind::Depths), m_model(lowresModel), m_cameras(cameras)
{
}

DepthStep::~DepthStep()
{
    stopAndWait();
}

void DepthStep::start()
{
    m_job = std::make_unique<DepthComputationThread>(m_model, m_cameras);
    connect(m_job.get(), &DepthComputationThread::newDepth, this, [this](int i, float value) {
        m_result.depths.insert(i, value);
        StepResult part = partOf();
        part.depths.insert(i, value);
        emit updated(part);
    });
    connect(m_job.get(), &DepthComputationThread::modelProblem, this,
            [this](const QString &title, const QString &text) {
                if (m_problemTitle.isEmpty())
                    m_problemTitle = title;
                m_problemTexts.append(text);
            });
    connect(m_job.get(), &DepthComputationThread::progress, this, &Step::progress);
    connect(m_job.get(), &QThread::finished, this, [this] {
        m_job->wait();
        if (!m_problemTexts.isEmpty())
            m_result.problems.append({m_problemTitle, m_problemTexts.join(QLatin1Char('\n'))});
        finish();
    });
    m_job->start(QThread::InheritPriority);
}

void DepthStep::requestStop()
{
    requestJobStop(m_job.get());
}

void DepthStep::stopAndWait()
{
    stopJobAndWait(m_job.get());
}

namespace
{

class DepthStepType : public StepType
{
    Q_DECLARE_TR_FUNCTIONS(DepthStepType)
public:
    StepKind kind() const override { return StepKind::Depths; }
    QString jobName() const override { return QStringLiteral("depths"); }
    QString title() const override { return tr("Depths"); }
    // Without a depth step the dataset's own depths stay.
    bool planned(const SessionRequest &request) const override
    {
        return request.depths == DepthSource::Model;
    }
    std::optional<Problem> refusal(const DatasetState &, const SessionRequest &request) const override
    {
        if (request.depths == DepthSource::None)
            return Problem{tr("Depths"), tr("The depths are not computed: the dataset's own are used.")};
        return std::nullopt;
    }
    std::unique_ptr<Step> make(const DatasetState &state, const SessionRequest &request,
                               const QString &) const override
    {
        return std::make_unique<DepthStep>(request.lowresModelFile, state.cameras());
    }
    std::optional<Problem> failure(const StepResult &result, const DatasetState &state,
                                   const SessionRequest &) const override
    {
        // The window keeps depths computed on a model read only in part, with the warning; an index
        // written without anyone looking would pass them off as sound.
        if (!result.problems.isEmpty())
            return Problem{result.problems.first().title, result.problems.first().text + QLatin1Char('\n') +
                                                              tr("No index file was written.")};
        if (result.depths.size() == state.shotCount())
            return std::nullopt;
        return Problem{tr("Depths not computed"), tr("The depth job did not report every shot.")};
    }
    QString summary(const StepResult &, const DatasetState &state) const override
    {
        int done = 0;
        for (const ShotRecord &shot : state.shots)
            done += shot.depth.has_value();
        return tr("%1 of %2 shots have a depth.").arg(done).arg(state.shotCount());
    }
};

} // namespace

const StepType &depthStepType()
{
    static const DepthStepType type;
    return type;
}
