// The ordering step: the viewing order and the cluster values from the shots' features.

#include "steps.h"

#include "datasetstate.h"
#include "jobinputs.h"
#include "jobmessages.h"
#include "orderandsemanticthread.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>

OrderingStep::OrderingStep(const QStringList &imagePaths, const QVector<Camera> &cameras,
                           const QVector<float> &depths, const OrderingWeights &weights,
                           std::shared_ptr<FeatureStore> features, FeatureDecoding decoding)
    : Step(StepKind::Ordering), m_imagePaths(imagePaths), m_cameras(cameras), m_depths(depths),
      m_weights(weights), m_features(std::move(features)), m_decoding(decoding)
{
    // The ordering results travel between threads by value.
    qRegisterMetaType<QVector<int>>("QVector<int>");
}

OrderingStep::~OrderingStep()
{
    stopAndWait();
}

void OrderingStep::start()
{
    m_job = std::make_unique<OrderAndSemanticThread>(m_imagePaths, m_cameras, m_depths, m_weights, m_features,
                                                     m_decoding);
    connect(m_job.get(), &OrderAndSemanticThread::newOrder, this,
            [this](const QVector<int> &order) { m_order = order; });
    connect(m_job.get(), &OrderAndSemanticThread::newSemantic, this,
            [this](const QVector<int> &clusters) { m_clusters = clusters; });
    connect(m_job.get(), &OrderAndSemanticThread::unreadableImage, this,
            [this](int, const QString &path) { m_unreadable.append(QDir::toNativeSeparators(path)); });
    connect(m_job.get(), &OrderAndSemanticThread::progress, this, &Step::progress);
    connect(m_job.get(), &QThread::finished, this, [this] {
        m_job->wait();
        const int shots = int(m_imagePaths.size());
        const QVector<int> positions = JobInputs::positionsFromOrder(m_order, shots);
        // Only a whole answer is kept: an order that misses a shot is no viewing order.
        if (!m_result.stopped && m_order.size() == shots && m_clusters.size() == shots &&
            !positions.contains(-1)) {
            m_result.orderPositions = positions;
            m_result.clusterNumbers = m_clusters;
        }
        if (!m_unreadable.isEmpty())
            m_result.problems.append(JobMessages::photographsNotRead(m_unreadable));
        finish();
    });
    m_job->start(QThread::InheritPriority);
}

void OrderingStep::requestStop()
{
    requestJobStop(m_job.get());
}

void OrderingStep::stopAndWait()
{
    stopJobAndWait(m_job.get());
}

namespace
{

class OrderingStepType : public StepType
{
    Q_DECLARE_TR_FUNCTIONS(OrderingStepType)
public:
    StepKind kind() const override { return StepKind::Ordering; }
    QString jobName() const override { return QStringLiteral("ordering"); }
    QString title() const override { return tr("Ordering and clustering"); }
    // It needs the depths, and reads the photographs once the thumbnails have.
    QVector<StepKind> needs() const override { return {StepKind::Thumbnails, StepKind::Depths}; }
    std::optional<Problem> refusal(const DatasetState &state, const SessionRequest &) const override
    {
        // Once the depth step has ended the ordering may run with what it gave.
        if (state.hasAllDepths() || state.endedSteps.contains(StepKind::Depths))
            return std::nullopt;
        return Problem{tr("Depths missing"),
                       tr("The ordering needs the depth of every shot: compute the depths "
                          "first.")};
    }
    std::unique_ptr<Step> make(const DatasetState &state, const SessionRequest &request,
                               const QString &) const override
    {
        return std::make_unique<OrderingStep>(state.imagePaths(), state.cameras(), state.depths(),
                                              request.orderingWeights(), state.features,
                                              request.featureDecoding());
    }
    std::optional<Problem> failure(const StepResult &result, const DatasetState &,
                                   const SessionRequest &) const override
    {
        if (!result.orderPositions.isEmpty())
            return std::nullopt;
        return Problem{tr("Ordering not computed"), tr("The ordering job did not report every shot.")};
    }
    QString summary(const StepResult &result, const DatasetState &) const override
    {
        if (result.orderPositions.isEmpty())
            return tr("the order shown is unchanged.");
        if (result.clusterNumbers.isEmpty())
            return tr("%1 shots in viewing order.").arg(result.orderPositions.size());
        const auto [lowest, highest] =
            std::minmax_element(result.clusterNumbers.cbegin(), result.clusterNumbers.cend());
        return tr("%1 shots in viewing order, cluster values %2 to %3.")
            .arg(result.orderPositions.size())
            .arg(*lowest)
            .arg(*highest);
    }
};

} // namespace

const StepType &orderingStepType()
{
    static const OrderingStepType type;
    return type;
}
