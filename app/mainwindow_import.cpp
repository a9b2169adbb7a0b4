// Import of a Polyforge project (.pfp) or an earlier index (.orx) into the data table. Reading,
// resolving and the derived names are shared with the command-line tool (DatasetImport).

#include "mainwindow.h"

#include "cameraelement.h"
#include "datasetimport.h"
#include "dialogprovider.h"
#include "shottable.h"
#include "ui_mainwindow.h"

#include <QDir>
#include <QFileInfo>

void MainWindow::importDataset()
{
    const QString fileName =
        dialogs().getOpenFileName(this, tr("Open file"), QDir::current().absolutePath(),
                                  tr("Polyforge project (*.pfp);;Orvelle index file (*.orx)"));
    if (fileName.isEmpty())
        return;

    ui->data->clearContents();

    const ImportedDataset data = DatasetImport::read(fileName);
    if (!data.problems.isEmpty())
        dialogs().warning(this, data.problemTitle, data.problemText());
    if (data.recognised)
        fillWindow(data.folder, data.cameras, data.imagePaths, data.modelNames);

    ui->outputIndexFilename->setText(DatasetImport::derivedOutputName(fileName));

    if (!ui->modelName->text().isEmpty()) {
        ui->updateThumbnails->setEnabled(true);
        ui->updateDepths->setEnabled(true);
        ui->updateTesselModel->setEnabled(true);
    } else {
        dialogs().warning(this, DatasetImport::noModelTitle(), DatasetImport::noModelText());
    }

    // The table changed under everything computed before: depths are needed again before the
    // ordering, and a generate button left enabled by the previous dataset must not stay so.
    ui->updateOrderingAndSemantic->setEnabled(false);
    checkIfReadyToGenerate();
}

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
    return ui->modelName->text();
}

// images: the photograph paths already resolved by the import.
void MainWindow::fillWindow(const QString &folder, const QVector<Camera> &cameras, const QStringList &images,
                            const QStringList &models)
{
    QTableWidget *table = ui->data;
    table->setRowCount(int(images.size()));
    for (int row = 0; row < images.size(); ++row)
        ShotTable::setCellText(table, row, ShotTable::ImageColumn, images.at(row));
    const int shots = qMin(int(cameras.size()), int(images.size()));
    for (int row = 0; row < shots; ++row)
        ShotTable::setCellText(table, row, ShotTable::CameraColumn,
                               CameraElement::cameraText(cameras.at(row), QStringLiteral("ksrCamera")));

    // Shots are counted from 1, as people do.
    ui->startShot->setRange(1, qMax(1, int(images.size())));
    ui->startShot->setValue(1);
    ui->startShot->setEnabled(!images.isEmpty());
    setStartView();

    ui->modelName->setText(chooseModel(folder, models));
    const QString model = ui->modelName->text();
    if (model.isEmpty())
        return;
    ui->lowresModel->setText(model);
    ui->tesselModelName->setText(DatasetImport::derivedTesselName(model));
    ui->sceneName->setText(DatasetImport::derivedSceneName(model));
}
