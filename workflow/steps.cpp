#include "steps.h"

#include "depthcomputationthread.h"
#include "downsamplingthread.h"
#include "jobinputs.h"
#include "jobmessages.h"
#include "orderandsemanticthread.h"
#include "tesselcomputationprocess.h"

#include <QDir>
#include <QFileInfo>

namespace
{

// Both names lead to one file (links and relative parts resolved).
bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a), second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return first.absoluteFilePath() == second.absoluteFilePath();
}

} // namespace

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

// Thumbnails ---------------------------------------------------------------------------------

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
    m_result.stopped = true;
    if (m_job)
        m_job->requestStop();
}

void ThumbnailStep::stopAndWait()
{
    if (!m_job)
        return;
    m_job->disconnect(this);
    requestStop();
    m_job->wait();
}

// Depths -------------------------------------------------------------------------------------

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
    m_result.stopped = true;
    if (m_job)
        m_job->requestStop();
}

void DepthStep::stopAndWait()
{
    if (!m_job)
        return;
    m_job->disconnect(this);
    requestStop();
    m_job->wait();
}

// Ordering and clustering --------------------------------------------------------------------

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
    m_result.stopped = true;
    if (m_job)
        m_job->requestStop();
}

void OrderingStep::stopAndWait()
{
    if (!m_job)
        return;
    m_job->disconnect(this);
    requestStop();
    m_job->wait();
}

// Multiresolution model ----------------------------------------------------------------------

MultiresolutionStep::MultiresolutionStep(const QString &model, bool pointCloud, const QString &output,
                                         const QString &program)
    : Step(StepKind::Multiresolution), m_model(model), m_pointCloud(pointCloud), m_output(output),
      m_program(program)
{
}

MultiresolutionStep::~MultiresolutionStep()
{
    stopAndWait();
}

QString MultiresolutionStep::defaultProgram()
{
    return TesselComputationProcess::defaultBuilderProgram();
}

std::optional<Problem> MultiresolutionStep::refusal(const QString &model, const QString &output)
{
    if (model.isEmpty() || !sameFile(model, output))
        return std::nullopt;
    return Problem{tr("Multiresolution model"),
                   tr("The multiresolution model would be written over its input model \"%1\". "
                      "Choose another file name for it.")
                       .arg(QDir::toNativeSeparators(model))};
}

void MultiresolutionStep::start()
{
    m_builder = std::make_unique<TesselComputationProcess>();
    if (!m_program.isEmpty())
        m_builder->setBuilderProgram(m_program);
    TesselComputationProcess *builder = m_builder.get();
    connect(builder, &TesselComputationProcess::tesselProgress, this, &Step::progress);
    connect(builder, &TesselComputationProcess::error, this,
            [this](const QString &title, const QString &text) {
                m_result.problems.append({title, text});
            });
    connect(builder, &TesselComputationProcess::tesselReady, this, [this] { m_ready = true; });
    // Every run ends either with finished() or, when the program never started, with that error;
    // queued, so that the builder's own reports come first.
    connect(builder, &QProcess::finished, this, &MultiresolutionStep::ended, Qt::QueuedConnection);
    connect(
        builder, &QProcess::errorOccurred, this,
        [this](QProcess::ProcessError code) {
            if (code == QProcess::FailedToStart)
                ended();
        },
        Qt::QueuedConnection);
    builder->startBuilder(m_model, m_pointCloud, m_output);
}

void MultiresolutionStep::ended()
{
    if (m_ready && !m_result.stopped && m_result.problems.isEmpty()) {
        m_result.builtModel = m_output;
        emit progress(100);
    }
    finish();
}

void MultiresolutionStep::requestStop()
{
    m_result.stopped = true;
    if (m_builder && m_builder->state() != QProcess::NotRunning) {
        // A builder killed on purpose is no crash to report.
        m_builder->blockSignals(true);
        m_builder->kill();
        m_builder->waitForFinished(3000);
        m_builder->blockSignals(false);
        QMetaObject::invokeMethod(this, &MultiresolutionStep::ended, Qt::QueuedConnection);
    }
}

void MultiresolutionStep::stopAndWait()
{
    if (!m_builder)
        return;
    m_builder->disconnect(this);
    m_result.stopped = true;
    // Its destructor kills a running builder without reporting the killed child.
    m_builder.reset();
}
