// The thumbnail step: each photograph reduced on the graphics card into its "thumbnails" folder,
// or the photographs themselves, or thumbnails already there.

#include "steps.h"

#include "datasetstate.h"
#include "downsamplingthread.h"
#include "jobinputs.h"
#include "jobmessages.h"
#include "orderandsemanticthread.h"
#include "shotfeatures.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>

ThumbnailStep::ThumbnailStep(const QStringList &imagePaths, ThumbnailSource source,
                             const OrderingWeights &orderingWeights, std::shared_ptr<FeatureStore> features,
                             FeatureDecoding decoding)
    : Step(StepKind::Thumbnails), m_imagePaths(imagePaths), m_source(source),
      m_orderingWeights(orderingWeights), m_features(std::move(features)), m_decoding(decoding)
{
}

ThumbnailStep::~ThumbnailStep()
{
    stopAndWait();
}

void ThumbnailStep::start()
{
    if (m_source != ThumbnailSource::Downsample) {
        const QStringList paths =
            m_source == ThumbnailSource::Existing ? JobInputs::thumbnailPaths(m_imagePaths) : m_imagePaths;
        for (int i = 0; i < paths.size(); ++i)
            m_result.thumbnails.insert(i, paths.at(i));
        emit progress(100);
        finish();
        return;
    }
    ImageFeatureNeeds needs = OrderAndSemanticThread::imageFeatureNeeds(m_orderingWeights, m_decoding);
    needs.shotTime = true; // a header read, so the record serves whatever time weight comes next
    m_job = std::make_unique<DownsamplingThread>(m_imagePaths, JobInputs::thumbnailPaths(m_imagePaths),
                                                 m_features, needs);
    connect(m_job.get(), &DownsamplingThread::newThumbnail, this, [this](int i, const QString &file) {
        m_result.thumbnails.insert(i, file);
        StepResult part = partOf();
        part.thumbnails.insert(i, file);
        emit updated(part);
    });
    connect(m_job.get(), &DownsamplingThread::failed, this, [this](int i, const QString &reason) {
        m_failures.append(JobMessages::thumbnailFailure(i, reason));
    });
    connect(m_job.get(), &DownsamplingThread::progress, this, &Step::progress);
    connect(m_job.get(), &QThread::finished, this, [this] {
        m_job->wait();
        if (!m_failures.isEmpty())
            m_result.problems.append(JobMessages::thumbnailsNotMade(m_failures));
        finish();
    });
    m_job->start(QThread::InheritPriority);
}

void ThumbnailStep::requestStop()
{
    requestJobStop(m_job.get());
}

void ThumbnailStep::stopAndWait()
{
    stopJobAndWait(m_job.get());
}

namespace
{

class ThumbnailStepType : public StepType
{
    Q_DECLARE_TR_FUNCTIONS(ThumbnailStepType)
public:
    StepKind kind() const override { return StepKind::Thumbnails; }
    QString jobName() const override { return QStringLiteral("thumbnails"); }
    QString title() const override { return tr("Thumbnails"); }
    // Thumbnails that need no drawing are there at once: only the graphics card takes time worth showing.
    bool shown(const SessionRequest &request) const override
    {
        return request.thumbnails == ThumbnailSource::Downsample;
    }
    void prepare(DatasetState &state, const SessionRequest &request) const override
    {
        if (request.thumbnails == ThumbnailSource::Downsample)
            state.clearThumbnails();
    }
    std::unique_ptr<Step> make(const DatasetState &state, const SessionRequest &request,
                               const QString &) const override
    {
        // Given the weights, the thumbnails' decodes also give the ordering its colours.
        return std::make_unique<ThumbnailStep>(state.imagePaths(), request.thumbnails,
                                               request.orderingWeights());
    }
    std::optional<Problem> failure(const StepResult &result, const DatasetState &state,
                                   const SessionRequest &request) const override
    {
        if (!result.problems.isEmpty())
            return result.problems.first();
        QStringList missing;
        for (const ShotRecord &shot : state.shots)
            if (shot.thumbnailPath.isEmpty() || !DownsamplingThread::isUsableThumbnail(shot.thumbnailPath))
                missing.append(QDir::toNativeSeparators(shot.thumbnailPath));
        if (missing.isEmpty())
            return std::nullopt;
        if (request.thumbnails == ThumbnailSource::Existing)
            return Problem{tr("Thumbnails missing"),
                           tr("These thumbnails do not exist:\n%1").arg(JobMessages::problemList(missing))};
        return Problem{
            tr("Thumbnails not made"),
            tr("The thumbnail job did not report every photograph; these thumbnails cannot be used:\n%1")
                .arg(JobMessages::problemList(missing))};
    }
    QString summary(const StepResult &, const DatasetState &state) const override
    {
        int done = 0;
        for (const ShotRecord &shot : state.shots)
            done += !shot.thumbnailPath.isEmpty();
        return tr("%1 of %2 shots have a thumbnail.").arg(done).arg(state.shotCount());
    }
};

} // namespace

const StepType &thumbnailStepType()
{
    static const ThumbnailStepType type;
    return type;
}
