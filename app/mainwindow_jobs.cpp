// The preparation steps and their results: each step starts a one-shot job, and each result
// lands in the data table on the GUI thread.

#include "mainwindow.h"

#include "depthcomputationthread.h"
#include "dialogprovider.h"
#include "downsamplingthread.h"
#include "jobinputs.h"
#include "jobmessages.h"
#include "orderandsemanticthread.h"
#include "shottable.h"
#include "tesselcomputationprocess.h"
#include "ui_mainwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaType>

#include <utility>

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

void MainWindow::setBuilderProgram(const QString &program)
{
    m_builderProgram = program;
}

QString MainWindow::builderProgram() const
{
    return m_builderProgram.isEmpty() ? TesselComputationProcess::defaultBuilderProgram() : m_builderProgram;
}

void MainWindow::connectJobControls()
{
    // The ordering results travel between threads by value.
    qRegisterMetaType<QVector<int>>("QVector<int>");

    connect(ui->updateThumbnails, &QPushButton::clicked, this, &MainWindow::computeThumbnails);
    connect(ui->updateDepths, &QPushButton::clicked, this, &MainWindow::computeDepths);
    connect(ui->updateTesselModel, &QPushButton::clicked, this, &MainWindow::computeTessel);
    connect(ui->updateOrderingAndSemantic, &QPushButton::clicked, this, &MainWindow::computeOrderAndSemantic);

    // A new dataset in the table makes every running worker's rows meaningless.
    const QAbstractItemModel *table = ui->data->model();
    connect(table, &QAbstractItemModel::modelReset, this, &MainWindow::datasetChanged);
    connect(table, &QAbstractItemModel::rowsInserted, this, &MainWindow::datasetChanged);
    connect(table, &QAbstractItemModel::rowsRemoved, this, &MainWindow::datasetChanged);
}

void MainWindow::datasetChanged()
{
    ++m_dataset;
    if (m_thumbnailJob)
        m_thumbnailJob->requestStop();
    if (m_depthJob)
        m_depthJob->requestStop();
    if (m_orderingJob)
        m_orderingJob->requestStop();
}

template <typename Job> bool MainWindow::retireStaleJob(QPointer<Job> &job, quint64 dataset)
{
    if (!job)
        return true;
    if (isCurrentDataset(dataset))
        return false;
    // Asked to stop when the table changed; it ends at its next photograph.
    job->requestStop();
    job->wait();
    delete job.data();
    return true;
}

void MainWindow::computeThumbnails()
{
    ui->thumbnailsComputationProgress->setValue(0);
    QTableWidget *table = ui->data;
    const QStringList images = ShotTable::texts(table, ShotTable::ImageColumn);

    if (ui->doNotComputeThumbnails->isChecked()) {
        // The thumbnails are expected to be where the thumbnail job would have put them.
        ui->thumbnailsComputationProgress->setValue(100);
        const QStringList thumbnails = JobInputs::thumbnailPaths(images);
        for (int row = 0; row < thumbnails.size(); ++row)
            ShotTable::setCellText(table, row, ShotTable::ThumbnailColumn, thumbnails.at(row));
        checkIfReadyToGenerate();
    } else if (ui->useHiresThumbnails->isChecked()) {
        for (int row = 0; row < images.size(); ++row)
            ShotTable::setCellText(table, row, ShotTable::ThumbnailColumn, images.at(row));
        ui->thumbnailsComputationProgress->setValue(100);
        checkIfReadyToGenerate();
    } else if (ui->downsampleHiresThumbnails->isChecked()) {
        startThumbnailJob();
    }
}

void MainWindow::startThumbnailJob()
{
    if (!retireStaleJob(m_thumbnailJob, m_thumbnailDataset))
        return;
    QTableWidget *table = ui->data;
    for (int row = 0; row < table->rowCount(); ++row)
        delete table->takeItem(row, ShotTable::ThumbnailColumn);
    const QStringList images = ShotTable::texts(table, ShotTable::ImageColumn);

    auto *job = new DownsamplingThread(images, JobInputs::thumbnailPaths(images));
    const quint64 dataset = m_dataset;
    m_thumbnailJob = job;
    m_thumbnailDataset = dataset;
    m_thumbnailFailures.clear();
    const QPointer<DownsamplingThread> guard(job);
    connect(job, &DownsamplingThread::newThumbnail, this, [this, dataset](int i, const QString &file) {
        if (isCurrentDataset(dataset))
            thumbnailCreated(i, file);
    });
    connect(job, &DownsamplingThread::progress, this, [this, dataset](int percent) {
        if (isCurrentDataset(dataset))
            ui->thumbnailsComputationProgress->setValue(percent);
    });
    connect(job, &DownsamplingThread::failed, this, [this, dataset](int i, const QString &reason) {
        if (isCurrentDataset(dataset))
            m_thumbnailFailures.append(JobMessages::thumbnailFailure(i, reason));
    });
    connect(job, &QThread::finished, this, [this, guard, dataset] { thumbnailJobFinished(guard, dataset); });

    ui->updateThumbnails->setEnabled(false);
    job->start(QThread::InheritPriority);
}

void MainWindow::thumbnailJobFinished(QPointer<DownsamplingThread> job, quint64 dataset)
{
    if (!job) // replaced by a later run
        return;
    job->wait();
    job->deleteLater();
    if (m_thumbnailJob == job)
        m_thumbnailJob = nullptr;
    if (m_closing)
        return;
    ui->updateThumbnails->setEnabled(true);
    const QStringList failures = std::exchange(m_thumbnailFailures, {});
    if (isCurrentDataset(dataset) && !failures.isEmpty()) {
        const JobMessage message = JobMessages::thumbnailsNotMade(failures);
        dialogs().warning(this, message.title, message.text);
    }
    checkIfReadyToGenerate();
}

void MainWindow::computeDepths()
{
    ui->depthComputationProgress->setValue(0);
    if (ui->doNotComputeDepths->isChecked()) {
        ui->depthComputationProgress->setValue(100);
        checkIfReadyToGenerate();
        return;
    }
    if (!ui->computeDepthFrom3DModel->isChecked())
        return;
    if (!retireStaleJob(m_depthJob, m_depthDataset))
        return;

    auto *job = new DepthComputationThread(ui->lowresModel->text(), ShotTable::cameras(ui->data));
    const quint64 dataset = m_dataset;
    m_depthJob = job;
    m_depthDataset = dataset;
    m_depthProblemTitle.clear();
    m_depthProblems.clear();
    const QPointer<DepthComputationThread> guard(job);
    connect(job, &DepthComputationThread::newDepth, this, [this, dataset](int i, float value) {
        if (isCurrentDataset(dataset))
            depthComputed(i, value);
    });
    connect(job, &DepthComputationThread::progress, this, [this, dataset](int percent) {
        if (isCurrentDataset(dataset))
            ui->depthComputationProgress->setValue(percent);
    });
    connect(job, &DepthComputationThread::modelProblem, this,
            [this](const QString &title, const QString &text) {
                if (m_depthProblemTitle.isEmpty())
                    m_depthProblemTitle = title;
                m_depthProblems.append(text);
            });
    connect(job, &QThread::finished, this, [this, guard, dataset] { depthJobFinished(guard, dataset); });

    ui->updateDepths->setEnabled(false);
    job->start(QThread::InheritPriority);
}

void MainWindow::depthJobFinished(QPointer<DepthComputationThread> job, quint64 dataset)
{
    if (!job)
        return;
    job->wait();
    job->deleteLater();
    if (m_depthJob == job)
        m_depthJob = nullptr;
    if (m_closing)
        return;
    ui->updateDepths->setEnabled(true);
    if (!isCurrentDataset(dataset)) {
        checkIfReadyToGenerate();
        return;
    }
    const QStringList problems = std::exchange(m_depthProblems, {});
    if (!problems.isEmpty())
        dialogs().warning(this, m_depthProblemTitle, problems.join(QLatin1Char('\n')));
    depthsReady();
    checkIfReadyToGenerate();
}

void MainWindow::computeOrderAndSemantic()
{
    // One ordering job at a time: its feature cache and tables are shared by the whole program.
    if (!retireStaleJob(m_orderingJob, m_orderingDataset))
        return;
    ui->orderAndSemanticComputationProgress->setValue(0);
    const QTableWidget *table = ui->data;
    const QStringList images = ShotTable::texts(table, ShotTable::ImageColumn);
    const QVector<Camera> cameras = ShotTable::cameras(table);
    const QVector<float> depths = ShotTable::floats(table, ShotTable::DepthColumn);

    JobInputs::FeatureSliders ordering{};
    JobInputs::FeatureSliders clustering{};
    const QVector<SliderPair> pairs = sliderPairs();
    for (int i = 0; i < 6; ++i) {
        ordering[std::size_t(i)] = pairs.at(i).ordering->value();
        clustering[std::size_t(i)] = pairs.at(i).clustering->value();
    }
    // Every slider of the box shares the same range.
    const std::array<float, 12> w =
        JobInputs::featureWeights(ordering, clustering, pairs.first().ordering->maximum());

    auto *job = new OrderAndSemanticThread(images, cameras, depths, w[0], w[1], w[2], w[3], w[4], w[5], w[6],
                                           w[7], w[8], w[9], w[10], w[11]);
    const quint64 dataset = m_dataset;
    m_orderingJob = job;
    m_orderingDataset = dataset;
    m_unreadablePhotos.clear();
    const QPointer<OrderAndSemanticThread> guard(job);
    connect(job, &OrderAndSemanticThread::newOrder, this, [this, dataset](const QVector<int> &order) {
        if (isCurrentDataset(dataset))
            orderComputed(order);
    });
    connect(job, &OrderAndSemanticThread::newSemantic, this, [this, dataset](const QVector<int> &values) {
        if (isCurrentDataset(dataset))
            semanticComputed(values);
    });
    connect(job, &OrderAndSemanticThread::progress, this, [this, dataset](int percent) {
        if (isCurrentDataset(dataset))
            ui->orderAndSemanticComputationProgress->setValue(percent);
    });
    connect(job, &OrderAndSemanticThread::unreadableImage, this,
            [this](int, const QString &path) { m_unreadablePhotos.append(QDir::toNativeSeparators(path)); });
    connect(job, &QThread::finished, this, [this, guard, dataset] { orderingJobFinished(guard, dataset); });

    ui->updateOrderingAndSemantic->setEnabled(false);
    job->start(QThread::InheritPriority);
}

void MainWindow::orderingJobFinished(QPointer<OrderAndSemanticThread> job, quint64 dataset)
{
    if (!job)
        return;
    job->wait();
    job->deleteLater();
    if (m_orderingJob == job)
        m_orderingJob = nullptr;
    if (m_closing)
        return;
    const QStringList unreadable = std::exchange(m_unreadablePhotos, {});
    // After a new import the depths must be computed again before the next ordering.
    if (isCurrentDataset(dataset)) {
        ui->updateOrderingAndSemantic->setEnabled(true);
        if (!unreadable.isEmpty()) {
            const JobMessage message = JobMessages::photographsNotRead(unreadable);
            dialogs().warning(this, message.title, message.text);
        }
    }
    checkIfReadyToGenerate();
}

void MainWindow::computeTessel()
{
    if (m_builder) // the button is disabled while the builder runs
        return;
    const QString input = ui->modelName->text();
    const QString output = ui->tesselModelName->text();
    // A multiresolution model chosen as input derives its own name as output.
    if (!input.isEmpty() && sameFile(input, output)) {
        dialogs().warning(this, tr("Multiresolution model"),
                          tr("The multiresolution model would be written over its input model \"%1\". "
                             "Choose another file name for it.")
                              .arg(QDir::toNativeSeparators(input)));
        return;
    }
    ui->tesselComputationProgress->setValue(0);
    // The model is being rewritten: it is not ready until this run ends well.
    ui->tesselStatus->clear();
    checkIfReadyToGenerate();

    auto *builder = new TesselComputationProcess;
    if (!m_builderProgram.isEmpty())
        builder->setBuilderProgram(m_builderProgram);
    m_builder = builder;
    const QPointer<TesselComputationProcess> guard(builder);
    connect(this, &MainWindow::terminate, builder, &QProcess::kill);
    connect(builder, &TesselComputationProcess::error, this, &MainWindow::showErrorMessage);
    connect(builder, &TesselComputationProcess::tesselProgress, ui->tesselComputationProgress,
            &QProgressBar::setValue);
    connect(builder, &TesselComputationProcess::tesselReady, this, &MainWindow::tesselReady);
    // Every run ends either with finished() or, when the program never started, with that error.
    connect(builder, &QProcess::finished, this, [this, guard] { builderEnded(guard); });
    connect(builder, &QProcess::errorOccurred, this, [this, guard](QProcess::ProcessError code) {
        if (code == QProcess::FailedToStart)
            builderEnded(guard);
    });

    ui->updateTesselModel->setEnabled(false);
    builder->startBuilder(input, ui->pointCloud->isChecked(), output);
}

void MainWindow::builderEnded(QPointer<TesselComputationProcess> builder)
{
    if (!builder)
        return;
    builder->deleteLater();
    if (m_builder == builder)
        m_builder = nullptr;
    if (!m_closing)
        ui->updateTesselModel->setEnabled(true);
}

void MainWindow::stopWorkerJobs()
{
    QVector<QThread *> running;
    auto ask = [&running](auto &job) {
        if (job) {
            job->requestStop();
            running.append(job.data());
        }
    };
    ask(m_thumbnailJob);
    ask(m_depthJob);
    ask(m_orderingJob);
    for (QThread *job : std::as_const(running))
        job->wait();
}

void MainWindow::silenceBuilder()
{
    if (m_builder)
        m_builder->blockSignals(true);
}

void MainWindow::stopAllJobs()
{
    m_closing = true;
    stopWorkerJobs();
    delete m_thumbnailJob.data();
    delete m_depthJob.data();
    delete m_orderingJob.data();
    // Its destructor kills a running builder without reporting the killed child as a crash.
    delete m_builder.data();
}

void MainWindow::depthsReady()
{
    ui->updateOrderingAndSemantic->setEnabled(true);
}

void MainWindow::tesselReady()
{
    ui->tesselStatus->setText(tr("Ready!"));
    ui->tesselComputationProgress->setValue(100);
    checkIfReadyToGenerate();
}

// Results for rows that are gone (a re-import while a job ran) are dropped.
void MainWindow::depthComputed(int id, float val)
{
    if (id < 0 || id >= ui->data->rowCount())
        return;
    ShotTable::setCellText(ui->data, id, ShotTable::DepthColumn, QString::number(double(val), 'g', 6));
}

void MainWindow::thumbnailCreated(int id, const QString &absoluteFilename)
{
    if (id < 0 || id >= ui->data->rowCount())
        return;
    ShotTable::setCellText(ui->data, id, ShotTable::ThumbnailColumn, absoluteFilename);
}

void MainWindow::orderComputed(const QVector<int> &values)
{
    const QVector<int> positions = JobInputs::positionsFromOrder(values, ui->data->rowCount());
    for (int row = 0; row < positions.size(); ++row)
        if (positions.at(row) >= 0)
            ShotTable::setCellText(ui->data, row, ShotTable::OrderColumn, QString::number(positions.at(row)));
}

void MainWindow::semanticComputed(const QVector<int> &values)
{
    const int rows = qMin(int(values.size()), ui->data->rowCount());
    for (int row = 0; row < rows; ++row)
        ShotTable::setCellText(ui->data, row, ShotTable::SemanticColumn, QString::number(values.at(row)));
}
