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

#include <optional>

namespace
{

// A reconstruction names its photographs but not always where they are, and brings no mesh: the
// user is asked for the photographs' folder (from the project's folder) and whether to choose a
// mesh or use the points. nullopt when the user cancels: nothing is imported.
std::optional<ImportOptions> askReconstructionOptions(DialogProvider &dialogs, QWidget *parent,
                                                      const QString &fileName)
{
    ImportOptions options;
    if (!ReconstructionImport::isReconstruction(fileName))
        return options;
    options.pointCloudFile = ReconstructionImport::pointCloudName(DatasetImport::derivedOutputName(fileName));
    const ImportedDataset probe = DatasetImport::read(fileName); // writes nothing
    if (!probe.readOk)
        return options;
    if (probe.imagePaths.contains(QString())) {
        const QString searched = ReconstructionImport::defaultImagesFolder(fileName);
        const QString folder =
            dialogs.getExistingDirectory(parent,
                                         MainWindow::tr("The photographs are not in %1. Choose their folder")
                                             .arg(QDir::toNativeSeparators(searched)),
                                         ReconstructionImport::projectFolder(fileName));
        if (folder.isEmpty())
            return std::nullopt;
        options.imagesFolder = folder;
    }
    const QStringList answers{MainWindow::tr("Choose a mesh..."), MainWindow::tr("Use the points")};
    for (;;) {
        const int answer = dialogs.choose(
            parent, MainWindow::tr("Mesh of the reconstruction"),
            MainWindow::tr("The reconstruction brings its cameras and 3D points but no mesh.\n"
                           "Depths and the viewer are best with a mesh of the scene (PLY, OBJ, OFF or STL), "
                           "made from the same reconstruction. Without one, the points are the model."),
            answers);
        if (answer < 0)
            return std::nullopt;
        if (answer == 1)
            return options;
        options.meshFile = dialogs.getOpenFileName(
            parent, MainWindow::tr("Choose the mesh of the reconstruction"), probe.folder,
            MainWindow::tr("3D model (*.ply *.stl *.off *.obj *.vmi *.PLY *.STL *.OFF *.OBJ *.VMI)"));
        if (!options.meshFile.isEmpty())
            return options;
    }
}

} // namespace

void MainWindow::importDataset()
{
    const QString fileName = dialogs().getOpenFileName(
        this, tr("Open file"), QDir::current().absolutePath(),
        tr("All supported files (*.pfp *.orx cameras.txt cameras.bin images.txt images.bin points3D.txt "
           "points3D.bin *.nvm *.NVM *.out *.OUT *.xml *.XML *.json *.JSON *.sfm *.SFM);;"
           "Polyforge project (*.pfp);;Orvelle index file (*.orx);;Reconstruction "
           "(cameras.txt cameras.bin images.txt images.bin points3D.txt points3D.bin "
           "*.nvm *.NVM *.out *.OUT);;Metashape cameras (*.xml *.XML);;"
           "transforms.json (*.json *.JSON);;Meshroom (*.sfm *.SFM);;OpenMVG (sfm_data*.json)"));
    if (!fileName.isEmpty())
        importFile(fileName);
}

void MainWindow::importFile(const QString &fileName)
{
    // Another dataset replaces this one: its running steps and unwritten values would be lost.
    if (!mayDiscardWork(tr("Import \"%1\" and discard them?").arg(QFileInfo(fileName).fileName())))
        return;
    if (m_session->isAnyRunning()) {
        // Stopped without a report: the controls are set back here, whether or not the import works.
        m_session->stopAll();
        for (QPushButton *cancel : std::as_const(m_cancelButtons))
            cancel->setEnabled(false);
        enableStepButtons();
        checkIfReadyToGenerate();
        showRunningSteps(tr("Jobs stopped."));
    }
    updateRequest();
    const std::optional<ImportOptions> options = askReconstructionOptions(dialogs(), this, fileName);
    if (!options) {
        statusBar()->showMessage(tr("Import cancelled."));
        return;
    }
    m_session->request().import = *options;
    m_modelsDeclined = false;
    const ImportOutcome outcome =
        m_session->importDataset(fileName, [this](const QString &folder, const QStringList &models) {
            return chooseModel(folder, models);
        });
    if (!outcome.accepted) {
        if (m_modelsDeclined)
            dialogs().warning(this, tr("No model chosen"),
                              tr("Every model of the dataset was declined, so it was not imported. The "
                                 "dataset shown before is kept."));
        else
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
        dialogs().warning(this, outcome.missing.title,
                          outcome.missing.text + QLatin1Char('\n') +
                              tr("Their rows are greyed in the Data overview: select one and press Delete "
                                 "(or use the context menu) to leave it out."));
}

// The canonical path of the model chosen; empty when there is none or every one was declined.
QString MainWindow::chooseModel(const QString &folder, const QStringList &models)
{
    if (models.isEmpty())
        return QString();
    if (models.size() == 1)
        return DatasetImport::resolvedModelPath(folder, models.first());
    m_modelsDeclined = true;
    for (const QString &name : models) {
        const QMessageBox::StandardButton answer = dialogs().question(
            this, tr("Too many models"),
            tr("More than one model has been found in the specified dataset.\nShould I use \"%1\" ?")
                .arg(name),
            QMessageBox::Ok | QMessageBox::No, QMessageBox::Ok);
        if (answer == QMessageBox::Ok) {
            m_modelsDeclined = false;
            return DatasetImport::resolvedModelPath(folder, name);
        }
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
