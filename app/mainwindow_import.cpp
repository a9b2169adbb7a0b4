// Import of a Polyforge project (.pfp), an earlier index (.orx) or a reconstruction (COLMAP, NVM,
// Bundler) into the data table. Reading,
// resolving and the derived names are shared with the command-line tool (DatasetImport).

#include "mainwindow.h"

#include "cameraelement.h"
#include "datasetimport.h"
#include "dialogprovider.h"
#include "reconstructionimport.h"
#include "shottable.h"
#include "ui_mainwindow.h"

#include <QDir>
#include <QFileInfo>

namespace
{

// A reconstruction names its photographs but not always where they are, and brings no mesh:
// the user is asked for both (a photograph of the folder; Cancel on the mesh keeps its 3D points).
ImportOptions askReconstructionOptions(DialogProvider &dialogs, QWidget *parent, const QString &fileName)
{
    ImportOptions options;
    if (!ReconstructionImport::isReconstruction(fileName))
        return options;
    options.pointCloudFile = ReconstructionImport::pointCloudName(DatasetImport::derivedOutputName(fileName));
    const ImportedDataset probe = DatasetImport::read(fileName); // writes nothing
    if (!probe.readOk)
        return options;
    if (probe.imagePaths.contains(QString())) {
        const QString photo = dialogs.getOpenFileName(
            parent, MainWindow::tr("Where are the photographs? Choose one of them"),
            ReconstructionImport::defaultImagesFolder(fileName),
            MainWindow::tr("Photographs (*.jpg *.jpeg *.JPG *.JPEG *.png *.PNG *.tif *.tiff *.TIF *.TIFF)"));
        if (!photo.isEmpty())
            options.imagesFolder = QFileInfo(photo).absolutePath();
    }
    options.meshFile = dialogs.getOpenFileName(
        parent, MainWindow::tr("Mesh of the reconstruction (Cancel: its 3D points are the model)"),
        probe.folder,
        MainWindow::tr("3D model (*.ply *.stl *.off *.obj *.vmi *.PLY *.STL *.OFF *.OBJ *.VMI)"));
    return options;
}

} // namespace

void MainWindow::importDataset()
{
    const QString fileName = dialogs().getOpenFileName(
        this, tr("Open file"), QDir::current().absolutePath(),
        tr("Polyforge project (*.pfp);;Orvelle index file (*.orx);;Reconstruction "
           "(cameras.txt cameras.bin images.txt images.bin points3D.txt points3D.bin "
           "*.nvm *.NVM *.out *.OUT)"));
    if (fileName.isEmpty())
        return;

    ui->data->clearContents();

    const ImportedDataset data =
        DatasetImport::read(fileName, askReconstructionOptions(dialogs(), this, fileName));
    if (!data.problems.isEmpty())
        dialogs().warning(this, data.problemTitle, data.problemText());
    else if (!data.notes.isEmpty())
        dialogs().information(this, tr("Reconstruction imported"), data.notes.join(QLatin1Char('\n')));
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
