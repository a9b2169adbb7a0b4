// Generation of the index file from the controls and the data table.

#include "mainwindow.h"

#include "dialogprovider.h"
#include "indexvalues.h"
#include "shottable.h"
#include "ui_mainwindow.h"

namespace
{

Color4f buttonColor(const QPushButton *button)
{
    const QColor color = button->palette().brush(QPalette::Button).color();
    return Color4f{float(color.redF()), float(color.greenF()), float(color.blueF()), float(color.alphaF())};
}

} // namespace

void MainWindow::saveDatasetORX()
{
    const QString statusTitle = tr("Index generation status");

    IndexSettings settings;
    settings.sceneName = ui->sceneName->text();
    settings.modelFileName =
        ui->computeTessel->isChecked() ? ui->tesselModelName->text() : ui->modelName->text();
    settings.cameraSpeed = float(ui->cameraSpeed->value());
    settings.upDirection = currentUpVector();
    settings.backgroundColor = buttonColor(ui->backgroundColor);
    if (ui->orthoPlaneBackground->isChecked())
        settings.backgroundKind = OrvelleIndex::OrthoPlaneBackground;
    if (ui->coloredDomeBackground->isChecked()) {
        settings.backgroundKind = OrvelleIndex::DomeBackground;
        const QTableWidget *dome = ui->backgroundDome;
        for (int row = 0; row < dome->rowCount(); ++row) {
            float height = 0.0f;
            Color4f color;
            if (!parseDomeRow(ShotTable::cellText(dome, row, 0), ShotTable::cellText(dome, row, 1), height,
                              color)) {
                dialogs().warning(this, statusTitle,
                                  tr("Row %1 of the background dome needs a number as height and three "
                                     "numbers as RGB color. No index file was written.")
                                      .arg(row + 1));
                return;
            }
            settings.domeHeights.append(height);
            settings.domeColors.append(color);
        }
    }
    settings.lighting = ui->lighting->isChecked();
    settings.startShot = ui->startShot->value() - 1; // the control counts shots from 1
    settings.thumbnailBarPosition = ui->thumbnailBarPosition->currentText() == QLatin1String("top") ? 1 : 0;
    settings.frameletColor = buttonColor(ui->frameletColor);
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

    OrvelleIndex index;
    QString why;
    if (!buildIndex(settings, shots, index, &why)) {
        dialogs().warning(this, statusTitle, why + QLatin1Char('\n') + tr("No index file was written."));
        return;
    }

    if (index.save(ui->outputIndexFilename->text(), ui->useRelativePaths->isChecked()))
        dialogs().information(this, statusTitle, tr("The index file has been successfully generated!"));
    else
        dialogs().information(this, statusTitle,
                              tr("An unexpected error occured while generating the index file!"));
}
