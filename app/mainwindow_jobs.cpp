// Wiring of the preparation steps: the Update buttons start the engine's steps through the
// runner, and what the runner reports lands in the dataset state, the bars and message boxes.

#include "mainwindow.h"

#include "dialogprovider.h"
#include "jobinputs.h"
#include "orderstrip.h"
#include "shottablemodel.h"
#include "steprunner.h"
#include "ui_mainwindow.h"

#include <QBoxLayout>
#include <QLabel>
#include <QStatusBar>

#include <algorithm>
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

    addCancelButtons();
    addPercentLabels();

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

namespace
{

const StepKind allKinds[] = {StepKind::Thumbnails, StepKind::Depths, StepKind::Ordering,
                             StepKind::Multiresolution};

QString stepName(StepKind kind)
{
    switch (kind) {
    case StepKind::Thumbnails:
        return MainWindow::tr("Thumbnails");
    case StepKind::Depths:
        return MainWindow::tr("Depths");
    case StepKind::Ordering:
        return MainWindow::tr("Ordering and clustering");
    case StepKind::Multiresolution:
        break;
    }
    return MainWindow::tr("Multiresolution model");
}

// The box layout that holds `widget`, searched from `layout` down.
QBoxLayout *boxHolding(QLayout *layout, QWidget *widget)
{
    if (!layout)
        return nullptr;
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (item->widget() == widget)
            return qobject_cast<QBoxLayout *>(layout);
        if (QBoxLayout *inner = boxHolding(item->layout(), widget))
            return inner;
    }
    return nullptr;
}

} // namespace

// A Cancel beside every Update button, usable while its step runs.
void MainWindow::addCancelButtons()
{
    static const char *const names[] = {"cancelThumbnails", "cancelDepths", "cancelOrderingAndSemantic",
                                        "cancelTesselModel"};
    for (StepKind kind : allKinds) {
        QPushButton *update = updateButton(kind);
        auto *cancel = new QPushButton(tr("Cancel"), update->parentWidget());
        cancel->setObjectName(QString::fromLatin1(names[int(kind)]));
        cancel->setEnabled(false);
        cancel->setToolTip(
            kind == StepKind::Multiresolution
                ? tr("Stop the builder; the multiresolution model is not made")
                : tr("Stop after the photograph being worked on; results already made are kept"));
        cancel->setMinimumSize(update->minimumSize());
        cancel->setMaximumSize(update->maximumSize());
        cancel->setSizePolicy(update->sizePolicy());
        if (QBoxLayout *box = boxHolding(update->parentWidget()->layout(), update))
            box->insertWidget(box->indexOf(update) + 1, cancel);
        connect(cancel, &QPushButton::clicked, this, [this, kind] {
            if (m_runner->requestStop(kind))
                statusBar()->showMessage(tr("%1: stopping...").arg(stepName(kind)));
        });
        m_cancelButtons.append(cancel);
    }
}

// Upright bars show no text in most styles: the percentage goes in a label under each bar.
void MainWindow::addPercentLabels()
{
    for (StepKind kind : allKinds) {
        QProgressBar *bar = progressBar(kind);
        bar->setTextVisible(true);
        bar->setFormat(QStringLiteral("%p%"));
        QBoxLayout *box = boxHolding(bar->parentWidget()->layout(), bar);
        if (!box)
            continue;
        const int at = box->indexOf(bar);
        box->removeWidget(bar);
        auto *column = new QVBoxLayout;
        auto *percent = new QLabel(bar->text(), bar->parentWidget());
        percent->setObjectName(bar->objectName() + QStringLiteral("Percent"));
        percent->setAlignment(Qt::AlignHCenter);
        percent->setToolTip(tr("How much of the job is done"));
        column->addWidget(bar, 1, Qt::AlignHCenter);
        column->addWidget(percent);
        box->insertLayout(at, column);
        connect(bar, &QProgressBar::valueChanged, percent, [bar, percent] { percent->setText(bar->text()); });
    }
}

QPushButton *MainWindow::cancelButton(StepKind kind) const
{
    return m_cancelButtons.at(int(kind));
}

void MainWindow::showRunningSteps(const QString &lastEnded)
{
    QStringList running;
    for (StepKind kind : allKinds)
        if (m_runner->isRunning(kind))
            running << stepName(kind);
    QString text = lastEnded;
    if (!running.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral("  ")) +
                tr("Running: %1...").arg(running.join(QStringLiteral(", ")));
    statusBar()->showMessage(text);
}

// "Thumbnails finished: 8 of 8 shots have one." and the like, with the problems counted.
QString MainWindow::endedText(const StepResult &result) const
{
    const QString name = stepName(result.kind);
    const int shots = m_state.shotCount();
    int done = 0;
    for (const ShotRecord &shot : m_state.shots)
        done += result.kind == StepKind::Thumbnails ? !shot.thumbnailPath.isEmpty()
                : result.kind == StepKind::Depths   ? shot.depth.has_value()
                                                    : shot.orderPosition.has_value();
    QString text;
    switch (result.kind) {
    case StepKind::Thumbnails:
        text = tr("%1 of %2 shots have a thumbnail.").arg(done).arg(shots);
        break;
    case StepKind::Depths:
        text = tr("%1 of %2 shots have a depth.").arg(done).arg(shots);
        break;
    case StepKind::Ordering:
        if (result.orderPositions.isEmpty()) {
            text = tr("the order shown is unchanged.");
        } else {
            const auto [lowest, highest] =
                std::minmax_element(result.clusterNumbers.cbegin(), result.clusterNumbers.cend());
            text = result.clusterNumbers.isEmpty()
                       ? tr("%1 shots in viewing order.").arg(result.orderPositions.size())
                       : tr("%1 shots in viewing order, cluster values %2 to %3.")
                             .arg(result.orderPositions.size())
                             .arg(*lowest)
                             .arg(*highest);
        }
        break;
    case StepKind::Multiresolution:
        text = result.builtModel.isEmpty() ? tr("no model was written.")
                                           : tr("written to %1.").arg(result.builtModel);
        break;
    }
    const QString how = result.stopped              ? tr("stopped")
                        : result.problems.isEmpty() ? tr("finished")
                                                    : tr("ended");
    QString line = tr("%1 %2: %3").arg(name, how, text);
    if (!result.problems.isEmpty())
        line += QLatin1Char(' ') + (result.problems.size() == 1
                                        ? tr("1 problem, see the message.")
                                        : tr("%1 problems, see the messages.").arg(result.problems.size()));
    return line;
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
    // With colour weights set, the thumbnail decodes also give the ordering its colours.
    m_runner->start(new ThumbnailStep(m_state.imagePaths(), source, sliderWeights(), m_state.features,
                                      FeatureDecoding::FullSize));
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
    m_runner->start(new OrderingStep(m_state.imagePaths(), m_state.cameras(), m_state.depths(),
                                     sliderWeights(), m_state.features, FeatureDecoding::FullSize));
}

OrderingWeights MainWindow::sliderWeights() const
{
    JobInputs::FeatureSliders ordering{};
    JobInputs::FeatureSliders clustering{};
    const QVector<SliderPair> pairs = sliderPairs();
    for (int i = 0; i < 6; ++i) {
        ordering[std::size_t(i)] = pairs.at(i).ordering->value();
        clustering[std::size_t(i)] = pairs.at(i).clustering->value();
    }
    // Every slider of the box shares the same range.
    return JobInputs::featureWeights(ordering, clustering, pairs.first().ordering->maximum());
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
    cancelButton(kind)->setEnabled(true);
    showRunningSteps();
}

void MainWindow::stepUpdated(const StepResult &part)
{
    applyToDataset(part);
}

void MainWindow::applyToDataset(const StepResult &result)
{
    m_state.apply(result);
    m_shotTable->showNewValues();
    if (result.kind == StepKind::Ordering)
        m_orderStrip->showShots(m_state);
}

void MainWindow::stepFinished(const StepResult &result)
{
    if (m_closing)
        return;
    applyToDataset(result);
    updateButton(result.kind)->setEnabled(true);
    cancelButton(result.kind)->setEnabled(false);
    if (result.kind == StepKind::Thumbnails)
        m_orderStrip->showShots(m_state);
    showRunningSteps(endedText(result));
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
