// Import of a Polyforge project (.pfp) or an earlier index (.orx). Reading, resolving and the
// derived names are shared with the command-line tool; the window only chooses among several
// models and swaps the new dataset in, or keeps the one it has when the import fails.

#include "mainwindow.h"

#include "datasetimport.h"
#include "dialogprovider.h"
#include "shottablemodel.h"
#include "steprunner.h"
#include "ui_mainwindow.h"

#include <QDir>

void MainWindow::importDataset()
{
    const QString fileName =
        dialogs().getOpenFileName(this, tr("Open file"), QDir::current().absolutePath(),
                                  tr("Polyforge project (*.pfp);;Orvelle index file (*.orx)"));
    if (fileName.isEmpty())
        return;

    const ImportedDataset data = DatasetImport::read(fileName);
    // Only a file that read well is worth a question about its models.
    const bool readWell = data.recognised && data.problems.isEmpty();
    const QString model = readWell ? chooseModel(data.folder, data.modelNames) : QString();
    const DatasetCandidate candidate = DatasetStates::fromImport(fileName, data, model);
    if (!candidate.accepted) {
        dialogs().warning(this, candidate.refusal.title, candidate.refusal.text);
        return;
    }
    showDataset(candidate.state);
    const Problem missing = DatasetStates::missingPhotographsNotice(candidate);
    if (!missing.title.isEmpty())
        dialogs().warning(this, missing.title, missing.text);
}

// The canonical path of the model chosen; empty when there is none or every one was declined.
QString MainWindow::chooseModel(const QString &folder, const QStringList &models)
{
    if (models.size() == 1)
        return DatasetImport::resolvedModelPath(folder, models.first());
    for (const QString &name : models) {
        const QMessageBox::StandardButton answer = dialogs().question(
            this, tr("Too many models"),
            tr("More than one model has been found in the specified dataset.\nShould I use \"%1\" ?")
                .arg(name),
            QMessageBox::Ok | QMessageBox::No, QMessageBox::Ok);
        if (answer == QMessageBox::Ok)
            return DatasetImport::resolvedModelPath(folder, name);
    }
    return QString();
}

// Everything derived from the previous dataset goes: values, names, statuses, bars and buttons.
void MainWindow::showDataset(const DatasetState &state)
{
    m_state = state;
    m_runner->setDataset(m_state.id);
    m_shotTable->showNewShots();

    ui->modelName->setText(m_state.modelPath);
    ui->lowresModel->setText(m_state.lowresModelPath);
    ui->tesselModelName->setText(m_state.tesselPath);
    ui->sceneName->setText(m_state.sceneName);
    ui->outputIndexFilename->setText(m_state.outputIndexFile);

    // Shots are counted from 1, as people do.
    const int shots = m_state.shotCount();
    ui->startShot->setRange(1, qMax(1, shots));
    ui->startShot->setValue(1);
    ui->startShot->setEnabled(shots > 0);
    setStartView();

    for (QProgressBar *bar : {ui->thumbnailsComputationProgress, ui->depthComputationProgress,
                              ui->orderAndSemanticComputationProgress, ui->tesselComputationProgress})
        bar->setValue(0);
    showBuilderStatus();
    ui->updateThumbnails->setEnabled(true);
    ui->updateDepths->setEnabled(true);
    ui->updateTesselModel->setEnabled(true);
    // The ordering needs depths: computed, or carried by an imported index.
    ui->updateOrderingAndSemantic->setEnabled(m_state.hasAllDepths());
    checkIfReadyToGenerate();
}
