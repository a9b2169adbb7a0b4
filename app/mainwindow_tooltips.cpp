// What every control does, said where the user looks: in its tooltip.

#include "mainwindow.h"

#include "ui_mainwindow.h"

#include <QCoreApplication>

void MainWindow::setToolTips()
{
    const struct {
        QWidget *control;
        const char *text;
    } tips[] = {
        {ui->sceneName, QT_TR_NOOP("The scene's name, shown by the viewer as the title of the scene")},
        {ui->data,
         QT_TR_NOOP("One row per photograph. Double-click a row to see the photograph; click a column title "
                    "to sort the rows (the index keeps the shot order)")},
        {ui->doNotComputeThumbnails,
         QT_TR_NOOP("Use thumbnails that already exist in a \"thumbnails\" folder beside the "
                    "photographs; the viewer shows them in its thumbnail bar")},
        {ui->useHiresThumbnails,
         QT_TR_NOOP("Let the viewer use the full photographs as thumbnails (slow to load in the "
                    "viewer's thumbnail bar)")},
        {ui->downsampleHiresThumbnails,
         QT_TR_NOOP("Make thumbnails of at most 256 pixels from the photographs, in a "
                    "\"thumbnails\" folder beside them; existing ones are kept")},
        {ui->updateThumbnails,
         QT_TR_NOOP("Find or make the thumbnails the viewer shows in its thumbnail bar")},
        {ui->thumbnailsComputationProgress, QT_TR_NOOP("How many of the thumbnails are done")},
        {ui->doNotComputeDepths,
         QT_TR_NOOP("Keep the depths the dataset already has (the viewer needs one per photograph)")},
        {ui->computeDepthFrom3DModel,
         QT_TR_NOOP("Measure each photograph's depth on the 3D model; the viewer uses it to "
                    "place the photograph in the scene")},
        {ui->lowresModel,
         QT_TR_NOOP("The low-resolution model the depths and the orientation preview are drawn from")},
        {ui->selectLowresModel, QT_TR_NOOP("Choose the low-resolution model file")},
        {ui->updateDepths, QT_TR_NOOP("Measure the depth of every photograph on the low-resolution model")},
        {ui->depthComputationProgress, QT_TR_NOOP("How many of the depths are done")},
        {ui->useSameClusteringAndOrderingFunctions,
         QT_TR_NOOP("Group the photographs with the same weights as the order")},
        {ui->updateOrderingAndSemantic,
         QT_TR_NOOP("Put the photographs in the order the viewer walks through them, and "
                    "group similar neighbours into clusters")},
        {ui->orderAndSemanticComputationProgress, QT_TR_NOOP("How far the ordering and clustering has come")},
        {ui->useInputModel, QT_TR_NOOP("The viewer shows this model as it is")},
        {ui->modelName, QT_TR_NOOP("The 3D model the viewer shows")},
        {ui->selectModel, QT_TR_NOOP("Choose the 3D model file")},
        {ui->computeTessel,
         QT_TR_NOOP("The viewer shows a multiresolution version of the model, which loads quickly "
                    "and streams detail; build it with Update")},
        {ui->tesselModelName, QT_TR_NOOP("Where the multiresolution model is written")},
        {ui->selectTesselModel, QT_TR_NOOP("Choose where the multiresolution model is written")},
        {ui->tesselStatus, QT_TR_NOOP("Whether the multiresolution model has been built")},
        {ui->pointCloud, QT_TR_NOOP("The model is a point cloud, not a surface")},
        {ui->updateTesselModel, QT_TR_NOOP("Build the multiresolution model with the builder program")},
        {ui->tesselComputationProgress, QT_TR_NOOP("How far the builder has come")},
        {ui->thumbnailBarPosition,
         QT_TR_NOOP("Where the viewer puts its bar of thumbnails: at the top or the bottom of "
                    "its window")},
        {ui->frameletColor,
         QT_TR_NOOP("The colour of the frames the viewer draws where each photograph was taken")},
        {ui->frameletsScale,
         QT_TR_NOOP("Where the viewer draws each photograph's frame along its viewing direction, in "
                    "percent of the photograph's depth")},
        {ui->projectionReliability,
         QT_TR_NOOP("How strongly the viewer trusts the photographs when it projects them onto "
                    "the model")},
        {ui->lighting, QT_TR_NOOP("The viewer lights the model instead of showing its plain colours")},
        {ui->backgroundColor, QT_TR_NOOP("The colour the viewer shows where there is no model")},
        {ui->orthoPlaneBackground, QT_TR_NOOP("The viewer shows a flat background plane behind the model")},
        {ui->coloredDomeBackground,
         QT_TR_NOOP("The viewer shows a dome around the scene, coloured by height")},
        {ui->backgroundDome,
         QT_TR_NOOP("The dome's colours: one row per height (0 to 1 from the horizon up), the colour as "
                    "three numbers from 0 to 1")},
        {ui->cameraSpeed, QT_TR_NOOP("How fast the viewer moves its camera between photographs")},
        {ui->startShot, QT_TR_NOOP("The photograph the viewer starts from (counted from 1, in table order)")},
        {ui->upDirX,
         QT_TR_NOOP("X of the direction that is up in the model's world; the viewer keeps it vertical")},
        {ui->upDirY,
         QT_TR_NOOP("Y of the direction that is up in the model's world; the viewer keeps it vertical")},
        {ui->upDirZ,
         QT_TR_NOOP("Z of the direction that is up in the model's world; the viewer keeps it vertical")},
        {ui->upDirMinusX, QT_TR_NOOP("Up is minus X")},
        {ui->upDirPlusX, QT_TR_NOOP("Up is plus X")},
        {ui->upDirMinusY, QT_TR_NOOP("Up is minus Y")},
        {ui->upDirPlusY, QT_TR_NOOP("Up is plus Y")},
        {ui->upDirMinusZ, QT_TR_NOOP("Up is minus Z")},
        {ui->upDirPlusZ, QT_TR_NOOP("Up is plus Z")},
        {ui->previewModelOrientation,
         QT_TR_NOOP("Show the model as the viewer will, from the start photograph with the up "
                    "direction vertical")},
        {ui->resetPreviewView,
         QT_TR_NOOP("Undo the turns and moves made with the mouse in the preview: back to the view "
                    "from the start photograph")},
        {ui->outputIndexFilename, QT_TR_NOOP("The index file the viewer loads")},
        {ui->selectOutputIndexFilename, QT_TR_NOOP("Choose where the index file is written")},
        {ui->useRelativePaths,
         QT_TR_NOOP("Write file names relative to the index file's folder, so the dataset can be "
                    "moved as a whole")},
        {ui->generateOrvelleIndex,
         QT_TR_NOOP("Write the index file; possible once every column of the table is filled")},
    };
    for (const auto &tip : tips)
        tip.control->setToolTip(tr(tip.text));
    // The up-direction fields show a problem in their tooltips for a while.
    for (QDoubleSpinBox *axis : {ui->upDirX, ui->upDirY, ui->upDirZ})
        axis->setProperty("normalToolTip", axis->toolTip());
    for (QSlider *slider : {ui->timeOfShotOrder, ui->dirOfShotOrder, ui->posOfShotOrder, ui->posOfTargetOrder,
                            ui->colorDistrOrder, ui->colorSpatialDistrOrder})
        slider->setToolTip(tr("How much this feature counts when the viewer's order of photographs is made"));
    for (QSlider *slider : {ui->timeOfShotSemantic, ui->dirOfShotSemantic, ui->posOfShotSemantic,
                            ui->posOfTargetSemantic, ui->colorDistrSemantic, ui->colorSpatialDistrSemantic})
        slider->setToolTip(tr("How much this feature counts when neighbouring photographs are grouped into "
                              "clusters"));
}
