// Wiring of the preparation steps: the Update buttons start the engine's steps through the
// runner, and what the runner reports lands in the dataset state, the bars and message boxes.

#include "mainwindow.h"

#include "dialogprovider.h"
#include "jobinputs.h"
#include "shottablemodel.h"
#include "steprunner.h"
#include "ui_mainwindow.h"

#include <array>

void MainWindow::setBuilderProgram(const QString &program)
{
    m_builderProgram = program;
}

QString MainWindow::builderProgram() const
{
    return m_builderProgram.isEmpty() ? MultiresolutionStep::defaultProgram() : m_builderProgram;
}

void MainWindow::connectJobControls()
{
    connect(ui->updateThumbnails, &QPushButton::clicked, this, &MainWindow::computeThumbnails);
    connect(ui->updateDepths, &QPushButton::clicked, this, &MainWindow::computeDepths);
    connect(ui->updateTesselModel, &QPushButton::clicked, this, &MainWindow::computeTessel);
    connect(ui->updateOrderingAndSemantic, &QPushButton::clicked, this, &MainWindow::computeOrderAndSemantic);

    connect(m_runner.get(), &StepRunner::started, this, &MainWindow::stepStarted);
    connect(m_runner.get(), &StepRunner::progress, this,
            [this](StepKind kind, int percent) { progressBar(kind)->setValue(percent); });
    connect(m_runner.get(), &StepRunner::updated, this, &MainWindow::stepUpdated);
    connect(m_runner.get(), &StepRunner::finished, this, &MainWindow::stepFinished);
}

QPushButton *MainWindow::updateButton(StepKind kind) const
{
    switch (kind) {
    case StepKind::Thumbnails:
        return ui->updateThumbnails;
    case StepKind::Depths:
        return ui->updateDepths;
    case StepKind::Ordering:
        return ui->updateOrderingAndSemantic;
    case StepKind::Multiresolution:
        break;
    }
    return ui->updateTesselModel;
}

QProgressBar *MainWindow::progressBar(StepKind kind) const
{
    switch (kind) {
    case StepKind::Thumbnails:
        return ui->thumbnailsComputationProgress;
    case StepKind::Depths:
        return ui->depthComputationProgress;
    case StepKind::Ordering:
        return ui->orderAndSemanticComputationProgress;
    case StepKind::Multiresolution:
        break;
    }
    return ui->tesselComputationProgress;
}

void MainWindow::computeThumbnails()
{
    ui->thumbnailsComputationProgress->setValue(0);
    ThumbnailSource source;
    if (ui->doNotComputeThumbnails->isChecked())
        source = ThumbnailSource::Existing; // expected where the thumbnail job would have put them
    else if (ui->useHiresThumbnails->isChecked())
        source = ThumbnailSource::Hires;
    else if (ui->downsampleHiresThumbnails->isChecked())
        source = ThumbnailSource::Downsample;
    else
        return;
    if (m_state.shotCount() == 0 || m_runner->isRunning(StepKind::Thumbnails))
        return;
    if (source == ThumbnailSource::Downsample) {
        m_state.clearThumbnails();
        m_shotTable->showNewValues();
    }
    m_runner->start(new ThumbnailStep(m_state.imagePaths(), source));
}

void MainWindow::computeDepths()
{
    ui->depthComputationProgress->setValue(0);
    if (ui->doNotComputeDepths->isChecked()) {
        ui->depthComputationProgress->setValue(100);
        checkIfReadyToGenerate();
        return;
    }
    if (!ui->computeDepthFrom3DModel->isChecked() || m_state.shotCount() == 0 ||
        m_runner->isRunning(StepKind::Depths))
        return;
    m_runner->start(new DepthStep(ui->lowresModel->text(), m_state.cameras()));
}

void MainWindow::computeOrderAndSemantic()
{
    if (m_state.shotCount() == 0 || m_runner->isRunning(StepKind::Ordering))
        return;
    ui->orderAndSemanticComputationProgress->setValue(0);
    JobInputs::FeatureSliders ordering{};
    JobInputs::FeatureSliders clustering{};
    const QVector<SliderPair> pairs = sliderPairs();
    for (int i = 0; i < 6; ++i) {
        ordering[std::size_t(i)] = pairs.at(i).ordering->value();
        clustering[std::size_t(i)] = pairs.at(i).clustering->value();
    }
    // Every slider of the box shares the same range.
    const OrderingWeights weights =
        JobInputs::featureWeights(ordering, clustering, pairs.first().ordering->maximum());
    m_runner->start(new OrderingStep(m_state.imagePaths(), m_state.cameras(), m_state.depths(), weights));
}

void MainWindow::computeTessel()
{
    if (m_runner->isRunning(StepKind::Multiresolution)) // its button is disabled meanwhile
        return;
    const QString input = ui->modelName->text();
    const QString output = ui->tesselModelName->text();
    if (const auto refusal = MultiresolutionStep::refusal(input, output)) {
        dialogs().warning(this, refusal->title, refusal->text);
        return;
    }
    ui->tesselComputationProgress->setValue(0);
    // The model is being rewritten: it is not ready until this run ends well.
    m_state.builderStatus = BuilderStatus::Building;
    m_state.builtTesselPath.clear();
    showBuilderStatus();
    checkIfReadyToGenerate();
    m_runner->start(new MultiresolutionStep(input, ui->pointCloud->isChecked(), output, m_builderProgram));
}

void MainWindow::stepStarted(StepKind kind)
{
    updateButton(kind)->setEnabled(false);
}

void MainWindow::stepUpdated(const StepResult &part)
{
    applyToDataset(part);
}

void MainWindow::applyToDataset(const StepResult &result)
{
    m_state.apply(result);
    m_shotTable->showNewValues();
}

void MainWindow::stepFinished(const StepResult &result)
{
    if (m_closing)
        return;
    applyToDataset(result);
    updateButton(result.kind)->setEnabled(true);
    if (result.kind == StepKind::Multiresolution) {
        for (const Problem &problem : result.problems)
            showErrorMessage(problem.title, problem.text);
        if (!result.builtModel.isEmpty()) {
            ui->tesselComputationProgress->setValue(100);
            showBuilderStatus();
        }
    } else {
        for (const Problem &problem : result.problems)
            dialogs().warning(this, problem.title, problem.text);
    }
    if (result.kind == StepKind::Depths)
        depthsReady();
    checkIfReadyToGenerate();
}

void MainWindow::showBuilderStatus()
{
    switch (m_state.builderStatus) {
    case BuilderStatus::Ready:
        ui->tesselStatus->setText(tr("Ready!"));
        break;
    case BuilderStatus::Failed:
        ui->tesselStatus->setText(tr("Error!"));
        break;
    case BuilderStatus::NotBuilt:
    case BuilderStatus::Building:
        ui->tesselStatus->clear();
        break;
    }
}

void MainWindow::depthsReady()
{
    ui->updateOrderingAndSemantic->setEnabled(true);
}

// The model named in the multiresolution field has been built for this dataset.
void MainWindow::tesselReady()
{
    m_state.builderStatus = BuilderStatus::Ready;
    m_state.builtTesselPath = ui->tesselModelName->text();
    showBuilderStatus();
    ui->tesselComputationProgress->setValue(100);
    checkIfReadyToGenerate();
}

// Results for the current dataset given one at a time; rows that do not exist are ignored.
void MainWindow::depthComputed(int id, float val)
{
    StepResult result;
    result.kind = StepKind::Depths;
    result.depths.insert(id, val);
    applyToDataset(result);
}

void MainWindow::thumbnailCreated(int id, const QString &absoluteFilename)
{
    StepResult result;
    result.kind = StepKind::Thumbnails;
    result.thumbnails.insert(id, absoluteFilename);
    applyToDataset(result);
}

void MainWindow::orderComputed(const QVector<int> &values)
{
    const QVector<int> positions = JobInputs::positionsFromOrder(values, m_state.shotCount());
    // Only an order that places every shot replaces the one shown.
    if (positions.contains(-1))
        return;
    StepResult result;
    result.kind = StepKind::Ordering;
    result.orderPositions = positions;
    applyToDataset(result);
}

void MainWindow::semanticComputed(const QVector<int> &values)
{
    if (values.size() != m_state.shotCount())
        return;
    StepResult result;
    result.kind = StepKind::Ordering;
    result.clusterNumbers = values;
    applyToDataset(result);
}
