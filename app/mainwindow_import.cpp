// Import of a Polyforge project (.pfp), an earlier index (.orx) or a reconstruction (COLMAP, NVM,
// Bundler). Reading, resolving and the derived names are shared with the command-line tool; the
// window only asks what a reconstruction leaves open, chooses among several models and swaps the
// new dataset in, or keeps the one it has when the import fails.

#include "mainwindow.h"

#include "datasetimport.h"
#include "dialogprovider.h"
#include "orderstrip.h"
#include "reconstructionimport.h"
#include "shottablemodel.h"
#include "thumbnailcache.h"
#include "ui_mainwindow.h"

#include <QDir>
#include <QStatusBar>

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
           "*.nvm *.NVM *.out *.OUT);;Metashape cameras (*.xml *.XML);;"
           "transforms.json (*.json *.JSON);;Meshroom (*.sfm *.SFM);;OpenMVG (sfm_data*.json)"));
    if (!fileName.isEmpty())
        importFile(fileName);
}

void MainWindow::importFile(const QString &fileName)
{
    updateRequest();
    m_session->request().import = askReconstructionOptions(dialogs(), this, fileName);
    const ImportOutcome outcome =
        m_session->importDataset(fileName, [this](const QString &folder, const QStringList &models) {
            return chooseModel(folder, models);
        });
    if (!outcome.accepted) {
        dialogs().warning(this, outcome.refusal.title, outcome.refusal.text);
        return;
    }
    showDataset();
    if (outcome.upFromCameras)
        statusBar()->showMessage(statusBar()->currentMessage() + QStringLiteral("  ") +
                                 tr("Up direction from the cameras: %1.").arg(upDirectionText()));
    if (!outcome.notes.isEmpty())
        dialogs().information(this, tr("Reconstruction imported"), outcome.notes.join(QLatin1Char('\n')));
    if (!outcome.missing.title.isEmpty())
        dialogs().warning(this, outcome.missing.title, outcome.missing.text);
}

// The canonical path of the model chosen; empty when there is none or every one was declined.
QString MainWindow::chooseModel(const QString &folder, const QStringList &models)
{
    if (models.isEmpty())
        return QString();
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
void MainWindow::showDataset()
{
    const DatasetState &state = dataset();
    m_thumbnails->clear();
    m_shotTable->showNewShots();
    m_orderStrip->showShots(state);
    showTitle();
    showRequestNames();

    // Shots are counted from 1, as people do.
    const int shots = state.shotCount();
    ui->startShot->setRange(1, qMax(1, shots));
    ui->startShot->setValue(1);
    ui->startShot->setEnabled(shots > 0);
    const QString file = QFileInfo(state.datasetFile).fileName();
    statusBar()->showMessage(shots == 1 ? tr("Imported 1 shot from %1.").arg(file)
                                        : tr("Imported %1 shots from %2.").arg(shots).arg(file));
    setStartView();
    showShotFrusta();

    for (QProgressBar *bar : {ui->thumbnailsComputationProgress, ui->depthComputationProgress,
                              ui->orderAndSemanticComputationProgress, ui->tesselComputationProgress})
        bar->setValue(0);
    showBuilderStatus();
    enableStepButtons();
    checkIfReadyToGenerate();
}
