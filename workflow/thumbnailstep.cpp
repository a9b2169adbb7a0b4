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
#include <QtConcurrent>

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
        // An unusable one is recorded empty: the step's type names it.
        connect(&m_check, &QFutureWatcher<bool>::finished, this, [this, paths] {
            const QFuture<bool> checked = m_check.future();
            if (checked.isCanceled()) {
                m_result.stopped = true;
            } else {
                for (int i = 0; i < paths.size(); ++i)
                    m_result.thumbnails.insert(i, checked.resultAt(i) ? paths.at(i) : QString());
                emit progress(100);
            }
            finish();
        });
        m_check.setFuture(QtConcurrent::mapped(paths, &DownsamplingThread::isUsableThumbnail));
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
    m_check.cancel();
    requestJobStop(m_job.get());
}

void ThumbnailStep::stopAndWait()
{
    m_check.disconnect(this);
    m_check.cancel();
    m_check.waitForFinished();
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
        // Every thumbnail reported was checked by the step (made, or found usable): only the gaps
        // are left, named where the thumbnail was looked for.
        QStringList missing;
        for (const ShotRecord &shot : state.shots)
            if (shot.thumbnailPath.isEmpty())
                missing.append(
                    QDir::toNativeSeparators(request.thumbnails == ThumbnailSource::Downsample ||
                                                     request.thumbnails == ThumbnailSource::Existing
                                                 ? JobInputs::thumbnailPath(shot.imagePath)
                                                 : shot.imagePath));
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
