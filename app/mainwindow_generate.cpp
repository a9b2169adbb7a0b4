// Generation of the index file from the controls and the dataset state: the controls become
// IndexSettings and the state's shots ShotValues, written by the same code as the command-line
// tool's. Nothing is written with a model the index must not name or an up direction of zero.

#include "mainwindow.h"

#include "dialogprovider.h"
#include "indexvalues.h"
#include "runfiles.h"
#include "ui_mainwindow.h"

namespace
{
QString domeCellText(const QTableWidget *dome, int row, int column)
{
    const QTableWidgetItem *item = dome->item(row, column);
    return item ? item->text() : QString();
}
} // namespace

void MainWindow::saveDatasetORX()
{
    const QString statusTitle = tr("Index generation status");
    const QString notWritten = tr("No index file was written.");

    if (const auto problem =
            upDirectionProblem(ui->upDirX->value(), ui->upDirY->value(), ui->upDirZ->value())) {
        dialogs().warning(this, problem->title, problem->text + QLatin1Char('\n') + notWritten);
        return;
    }

    IndexSettings settings;
    settings.sceneName = ui->sceneName->text();
    const bool multiresolution = ui->computeTessel->isChecked();
    settings.modelFileName = multiresolution ? ui->tesselModelName->text() : ui->modelName->text();
    if (const auto problem =
            indexModelProblem(settings.modelFileName, multiresolution, m_state.builtTesselPath)) {
        dialogs().warning(this, problem->title, problem->text);
        return;
    }
    if (!m_state.isComplete()) {
        dialogs().warning(this, statusTitle,
                          tr("Not every shot has all its values yet.") + QLatin1Char('\n') + notWritten);
        return;
    }
    settings.cameraSpeed = float(ui->cameraSpeed->value());
    settings.upDirection = currentUpVector();
    settings.backgroundColor = indexColor(ui->backgroundColor->palette().brush(QPalette::Button).color());
    if (ui->orthoPlaneBackground->isChecked())
        settings.backgroundKind = OrvelleIndex::OrthoPlaneBackground;
    if (ui->coloredDomeBackground->isChecked()) {
        settings.backgroundKind = OrvelleIndex::DomeBackground;
        const QTableWidget *dome = ui->backgroundDome;
        QVector<DomeRowText> rows;
        for (int row = 0; row < dome->rowCount(); ++row)
            rows.append({domeCellText(dome, row, 0), domeCellText(dome, row, 1)});
        QString why;
        if (!parseDomeRows(rows, settings.domeHeights, settings.domeColors, &why)) {
            dialogs().warning(this, statusTitle, why + QLatin1Char(' ') + notWritten);
            return;
        }
    }
    settings.lighting = ui->lighting->isChecked();
    settings.startShot = ui->startShot->value() - 1; // the control counts shots from 1
    settings.thumbnailBarPosition = ui->thumbnailBarPosition->currentText() == QLatin1String("top") ? 1 : 0;
    settings.frameletColor = indexColor(ui->frameletColor->palette().brush(QPalette::Button).color());
    settings.frameletsScale = float(ui->frameletsScale->value());
    settings.projectionReliability = float(ui->projectionReliability->value());
    if (const auto clash = RunFiles::ofGeneration(m_state, ui->outputIndexFilename->text()).collision()) {
        dialogs().warning(this, clash->title, clash->text + QLatin1Char('\n') + notWritten);
        return;
    }

    const IndexWriteResult result = writeIndexFile(
        settings, m_state.shotValues(), ui->outputIndexFilename->text(), ui->useRelativePaths->isChecked());
    if (!result.written) {
        dialogs().warning(this, result.title, result.message);
        return;
    }
    m_state.unwrittenResults = false;
    dialogs().information(this, result.title, result.message);
}
