// Wiring of the preparation steps: the Update buttons ask the session to start its steps, and what
// the session reports lands in the table, the bars, the status line and message boxes.

#include "mainwindow.h"

#include "dialogprovider.h"
#include "jobinputs.h"
#include "orderstrip.h"
#include "shottablemodel.h"
#include "steps.h"
#include "ui_mainwindow.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QStatusBar>

#include <algorithm>
#include <array>

void MainWindow::setBuilderProgram(const QString &program)
{
    m_session->setBuilderProgram(program);
}

QString MainWindow::builderProgram() const
{
    return m_session->builderProgram();
}

void MainWindow::connectJobControls()
{
    connect(ui->updateThumbnails, &QPushButton::clicked, this, &MainWindow::computeThumbnails);
    connect(ui->updateDepths, &QPushButton::clicked, this, &MainWindow::computeDepths);
    connect(ui->updateTesselModel, &QPushButton::clicked, this, &MainWindow::computeTessel);
    connect(ui->updateOrderingAndSemantic, &QPushButton::clicked, this, &MainWindow::computeOrderAndSemantic);
    m_stepButtons = {ui->updateThumbnails, ui->updateDepths, ui->updateOrderingAndSemantic,
                     ui->updateTesselModel};
    m_stepBars = {ui->thumbnailsComputationProgress, ui->depthComputationProgress,
                  ui->orderAndSemanticComputationProgress, ui->tesselComputationProgress};

    addCancelButtons();
    addPercentLabels();
    addMoreSteps();

    connect(m_session.get(), &Session::stepStarted, this, &MainWindow::stepStarted);
    connect(m_session.get(), &Session::stepProgress, this,
            [this](StepKind kind, int percent) { progressBar(kind)->setValue(percent); });
    connect(m_session.get(), &Session::shotsChanged, this, &MainWindow::shotsChanged);
    connect(m_session.get(), &Session::stepFinished, this, &MainWindow::stepFinished);
}

// The controls of each step, in the table's order.
QPushButton *MainWindow::updateButton(StepKind kind) const
{
    return m_stepButtons.at(int(kind));
}

namespace
{

const StepKind formKinds[] = {StepKind::Thumbnails, StepKind::Depths, StepKind::Ordering,
                              StepKind::Multiresolution};

QString stepName(StepKind kind)
{
    return stepType(kind).title();
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
    for (StepKind kind : formKinds) {
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
            if (m_session->requestStop(kind))
                statusBar()->showMessage(tr("%1: stopping...").arg(stepName(kind)));
        });
        m_cancelButtons.append(cancel);
    }
}

// Upright bars show no text in most styles: the percentage goes in a label under each bar.
void MainWindow::addPercentLabels()
{
    for (StepKind kind : formKinds) {
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
        // As wide as "100%", so the column does not move as the number grows.
        percent->setFixedWidth(percent->fontMetrics().horizontalAdvance(QStringLiteral("100%")) +
                               percent->fontMetrics().averageCharWidth());
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

// The steps that run stay on the right of the status bar; the left holds one message, the last
// thing that happened.
void MainWindow::showRunningSteps(const QString &lastEnded)
{
    if (!m_runningSteps) {
        m_runningSteps = new QLabel(statusBar());
        m_runningSteps->setObjectName(QStringLiteral("runningSteps"));
        statusBar()->addPermanentWidget(m_runningSteps);
    }
    QStringList running;
    for (const StepType *type : stepTypes())
        if (m_session->isRunning(type->kind()))
            running << type->title();
    m_runningSteps->setText(running.isEmpty() ? QString()
                                              : tr("Running: %1...").arg(running.join(QStringLiteral(", "))));
    if (!lastEnded.isEmpty())
        statusBar()->showMessage(lastEnded);
}

// "Thumbnails finished: 8 of 8 shots have a thumbnail." and the like, with the problems counted.
QString MainWindow::endedText(const StepResult &result) const
{
    const QString text = stepType(result.kind).summary(result, dataset());
    const QString how = result.stopped              ? tr("stopped")
                        : result.problems.isEmpty() ? tr("finished")
                                                    : tr("ended");
    QString line = tr("%1 %2: %3").arg(stepName(result.kind), how, text);
    if (!result.problems.isEmpty())
        line += QLatin1Char(' ') + (result.problems.size() == 1
                                        ? tr("1 problem, see the message.")
                                        : tr("%1 problems, see the messages.").arg(result.problems.size()));
    return line;
}

QProgressBar *MainWindow::progressBar(StepKind kind) const
{
    return m_stepBars.at(int(kind));
}

// Steps the form was not drawn with get a row each under the table: bar, Update and Cancel.
void MainWindow::addMoreSteps()
{
    QGroupBox *box = nullptr;
    for (const StepType *type : stepTypes()) {
        const int index = int(type->kind());
        if (index < m_stepButtons.size())
            continue;
        if (!box) {
            box = new QGroupBox(tr("More steps"), ui->centralwidget);
            box->setObjectName(QStringLiteral("moreSteps"));
            box->setLayout(new QVBoxLayout);
            ui->verticalLayout_2->addWidget(box);
        }
        auto *row = new QHBoxLayout;
        auto *bar = new QProgressBar(box);
        auto *update = new QPushButton(tr("Update"), box);
        auto *cancel = new QPushButton(tr("Cancel"), box);
        cancel->setEnabled(false);
        row->addWidget(new QLabel(type->title(), box));
        row->addWidget(bar, 1);
        row->addWidget(update);
        row->addWidget(cancel);
        static_cast<QVBoxLayout *>(box->layout())->addLayout(row);
        const StepKind kind = type->kind();
        connect(update, &QPushButton::clicked, this, [this, kind] { startStep(kind); });
        connect(cancel, &QPushButton::clicked, this, [this, kind] { m_session->requestStop(kind); });
        m_stepButtons.append(update);
        m_stepBars.append(bar);
        m_cancelButtons.append(cancel);
    }
}

void MainWindow::startStep(StepKind kind)
{
    updateRequest();
    // Without shots, or while it runs, its button is disabled.
    if (dataset().shotCount() == 0 || m_session->isRunning(kind))
        return;
    progressBar(kind)->setValue(0);
    if (const auto refusal = m_session->startStep(kind))
        dialogs().warning(this, refusal->title, refusal->text);
}

void MainWindow::computeThumbnails()
{
    startStep(StepKind::Thumbnails);
}

void MainWindow::computeDepths()
{
    // The dataset's own depths stay: nothing to compute.
    if (ui->doNotComputeDepths->isChecked()) {
        ui->depthComputationProgress->setValue(100);
        checkIfReadyToGenerate();
        return;
    }
    startStep(StepKind::Depths);
}

void MainWindow::computeOrderAndSemantic()
{
    startStep(StepKind::Ordering);
}

void MainWindow::computeTessel()
{
    startStep(StepKind::Multiresolution);
}

void MainWindow::stepStarted(StepKind kind)
{
    updateButton(kind)->setEnabled(false);
    cancelButton(kind)->setEnabled(true);
    if (kind == StepKind::Multiresolution)
        showBuilderStatus();
    showRunningSteps();
    checkIfReadyToGenerate();
}

void MainWindow::shotsChanged(StepKind kind)
{
    m_shotTable->showNewValues();
    if (kind == StepKind::Ordering)
        m_orderStrip->showShots(dataset());
}

void MainWindow::stepFinished(const StepResult &result)
{
    if (m_closing)
        return;
    cancelButton(result.kind)->setEnabled(false);
    enableStepButtons();
    if (result.kind == StepKind::Thumbnails)
        m_orderStrip->showShots(dataset());
    showRunningSteps(endedText(result));
    if (result.kind == StepKind::Multiresolution) {
        for (const Problem &problem : result.problems)
            showErrorMessage(problem.title, problem.text);
        if (!result.builtModel.isEmpty()) {
            tesselReady();
            showBuiltModelInPreview(result.builtModel);
        }
        showBuilderStatus();
    } else {
        for (const Problem &problem : result.problems)
            dialogs().warning(this, problem.title, problem.text);
    }
    if (result.kind == StepKind::Depths)
        depthsReady();
    checkIfReadyToGenerate();
}

// Every Update button whose step may start now; the ordering waits for the depths.
void MainWindow::enableStepButtons()
{
    const bool shots = dataset().shotCount() > 0;
    for (const StepType *type : stepTypes()) {
        const StepKind kind = type->kind();
        const bool refused = kind == StepKind::Ordering && m_session->startRefusal(kind).has_value();
        updateButton(kind)->setEnabled(shots && !m_session->isRunning(kind) && !refused);
    }
}

void MainWindow::showBuilderStatus()
{
    switch (dataset().builderStatus) {
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
    enableStepButtons();
}

// The multiresolution model has been built for this dataset.
void MainWindow::tesselReady()
{
    showBuilderStatus();
    ui->tesselComputationProgress->setValue(100);
    checkIfReadyToGenerate();
}
