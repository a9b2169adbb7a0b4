// Generation of the index file from the controls and the data table: the controls and cells
// become IndexSettings and ShotValues, written by the same code as the command-line tool's.

#include "mainwindow.h"

#include "dialogprovider.h"
#include "indexvalues.h"
#include "shottable.h"
#include "ui_mainwindow.h"

void MainWindow::saveDatasetORX()
{
    const QString statusTitle = tr("Index generation status");

    IndexSettings settings;
    settings.sceneName = ui->sceneName->text();
    settings.modelFileName =
        ui->computeTessel->isChecked() ? ui->tesselModelName->text() : ui->modelName->text();
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
            rows.append({ShotTable::cellText(dome, row, 0), ShotTable::cellText(dome, row, 1)});
        QString why;
        if (!parseDomeRows(rows, settings.domeHeights, settings.domeColors, &why)) {
            dialogs().warning(this, statusTitle, why + QLatin1Char(' ') + tr("No index file was written."));
            return;
        }
    }
    settings.lighting = ui->lighting->isChecked();
    settings.startShot = ui->startShot->value() - 1; // the control counts shots from 1
    settings.thumbnailBarPosition = ui->thumbnailBarPosition->currentText() == QLatin1String("top") ? 1 : 0;
    settings.frameletColor = indexColor(ui->frameletColor->palette().brush(QPalette::Button).color());
    settings.frameletsScale = float(ui->frameletsScale->value());
    settings.projectionReliability = float(ui->projectionReliability->value());

    const QTableWidget *table = ui->data;
    ShotValues shots;
    shots.imagePaths = ShotTable::texts(table, ShotTable::ImageColumn);
    shots.thumbnailPaths = ShotTable::texts(table, ShotTable::ThumbnailColumn);
    shots.cameras = ShotTable::cameras(table);
    shots.depths = ShotTable::floats(table, ShotTable::DepthColumn);
    shots.orderPositions = ShotTable::integers(table, ShotTable::OrderColumn);
    shots.clusterNumbers = ShotTable::integers(table, ShotTable::SemanticColumn);

    const IndexWriteResult result =
        writeIndexFile(settings, shots, ui->outputIndexFilename->text(), ui->useRelativePaths->isChecked());
    if (result.refused)
        dialogs().warning(this, result.title, result.message);
    else
        dialogs().information(this, result.title, result.message);
}
