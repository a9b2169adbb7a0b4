// What every control does, said where the user looks: in its tooltip.

#include "mainwindow.h"

#include "ui_mainwindow.h"

void MainWindow::setToolTips()
{
    const struct {
        QWidget *control;
        const char *text;
    } tips[] = {
        {ui->sceneName, "The scene's name, shown by the viewer as the title of the scene"},
        {ui->data, "One row per photograph. Double-click a row to see the photograph; click a column title "
                   "to sort the rows (the index keeps the shot order)"},
        {ui->doNotComputeThumbnails,
         "Use thumbnails that already exist in a \"thumbnails\" folder beside the "
         "photographs; the viewer shows them in its thumbnail bar"},
        {ui->useHiresThumbnails, "Let the viewer use the full photographs as thumbnails (slow to load in the "
                                 "viewer's thumbnail bar)"},
        {ui->downsampleHiresThumbnails, "Make thumbnails of at most 256 pixels from the photographs, in a "
                                        "\"thumbnails\" folder beside them; existing ones are kept"},
        {ui->updateThumbnails, "Find or make the thumbnails the viewer shows in its thumbnail bar"},
        {ui->thumbnailsComputationProgress, "How many of the thumbnails are done"},
        {ui->doNotComputeDepths,
         "Keep the depths the dataset already has (the viewer needs one per photograph)"},
        {ui->computeDepthFrom3DModel,
         "Measure each photograph's depth on the 3D model; the viewer uses it to "
         "place the photograph in the scene"},
        {ui->lowresModel, "The low-resolution model the depths and the orientation preview are drawn from"},
        {ui->selectLowresModel, "Choose the low-resolution model file"},
        {ui->updateDepths, "Measure the depth of every photograph on the low-resolution model"},
        {ui->depthComputationProgress, "How many of the depths are done"},
        {ui->useSameClusteringAndOrderingFunctions,
         "Group the photographs with the same weights as the order"},
        {ui->updateOrderingAndSemantic, "Put the photographs in the order the viewer walks through them, and "
                                        "group similar neighbours into clusters"},
        {ui->orderAndSemanticComputationProgress, "How far the ordering and clustering has come"},
        {ui->useInputModel, "The viewer shows this model as it is"},
        {ui->modelName, "The 3D model the viewer shows"},
        {ui->selectModel, "Choose the 3D model file"},
        {ui->computeTessel, "The viewer shows a multiresolution version of the model, which loads quickly "
                            "and streams detail; build it with Update"},
        {ui->tesselModelName, "Where the multiresolution model is written"},
        {ui->selectTesselModel, "Choose where the multiresolution model is written"},
        {ui->tesselStatus, "Whether the multiresolution model has been built"},
        {ui->pointCloud, "The model is a point cloud, not a surface"},
        {ui->updateTesselModel, "Build the multiresolution model with the builder program"},
        {ui->tesselComputationProgress, "How far the builder has come"},
        {ui->thumbnailBarPosition, "Where the viewer puts its bar of thumbnails: at the top or the bottom of "
                                   "its window"},
        {ui->frameletColor, "The colour of the frames the viewer draws where each photograph was taken"},
        {ui->frameletsScale, "Where the viewer draws each photograph's frame along its viewing direction, in "
                             "percent of the photograph's depth"},
        {ui->projectionReliability,
         "How strongly the viewer trusts the photographs when it projects them onto "
         "the model"},
        {ui->lighting, "The viewer lights the model instead of showing its plain colours"},
        {ui->backgroundColor, "The colour the viewer shows where there is no model"},
        {ui->orthoPlaneBackground, "The viewer shows a flat background plane behind the model"},
        {ui->coloredDomeBackground, "The viewer shows a dome around the scene, coloured by height"},
        {ui->backgroundDome,
         "The dome's colours: one row per height (0 to 1 from the horizon up), the colour as "
         "three numbers from 0 to 1"},
        {ui->cameraSpeed, "How fast the viewer moves its camera between photographs"},
        {ui->startShot, "The photograph the viewer starts from (counted from 1, in table order)"},
        {ui->upDirX, "X of the direction that is up in the model's world; the viewer keeps it vertical"},
        {ui->upDirY, "Y of the direction that is up in the model's world; the viewer keeps it vertical"},
        {ui->upDirZ, "Z of the direction that is up in the model's world; the viewer keeps it vertical"},
        {ui->upDirMinusX, "Up is minus X"},
        {ui->upDirPlusX, "Up is plus X"},
        {ui->upDirMinusY, "Up is minus Y"},
        {ui->upDirPlusY, "Up is plus Y"},
        {ui->upDirMinusZ, "Up is minus Z"},
        {ui->upDirPlusZ, "Up is plus Z"},
        {ui->previewModelOrientation,
         "Show the model as the viewer will, from the start photograph with the up "
         "direction vertical"},
        {ui->resetPreviewView,
         "Undo the turns and moves made with the mouse in the preview: back to the view "
         "from the start photograph"},
        {ui->outputIndexFilename, "The index file the viewer loads"},
        {ui->selectOutputIndexFilename, "Choose where the index file is written"},
        {ui->useRelativePaths, "Write file names relative to the index file's folder, so the dataset can be "
                               "moved as a whole"},
        {ui->generateOrvelleIndex, "Write the index file; possible once every column of the table is filled"},
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
