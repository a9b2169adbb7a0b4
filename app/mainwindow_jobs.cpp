// The preparation steps and their results: each result lands in the data table on the GUI thread.

#include "mainwindow.h"

#include "shottable.h"
#include "ui_mainwindow.h"

// The four steps below start their background jobs once the job control joins the window;
// until then the Update buttons are not connected to them and they change nothing.
void MainWindow::computeDepths() {}

void MainWindow::computeThumbnails() {}

void MainWindow::computeTessel() {}

void MainWindow::computeOrderAndSemantic() {}

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
    for (int position = 0; position < values.size(); ++position) {
        const int row = values.at(position);
        if (row >= 0 && row < ui->data->rowCount())
            ShotTable::setCellText(ui->data, row, ShotTable::OrderColumn, QString::number(position));
    }
}

void MainWindow::semanticComputed(const QVector<int> &values)
{
    const int rows = qMin(int(values.size()), ui->data->rowCount());
    for (int row = 0; row < rows; ++row)
        ShotTable::setCellText(ui->data, row, ShotTable::SemanticColumn, QString::number(values.at(row)));
}
