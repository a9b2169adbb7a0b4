// The form bound to the session's request: every control that is a setting writes its field as it
// changes, and an import writes the names it derives back into the form.

#include "mainwindow.h"

#include "ui_mainwindow.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>

namespace
{

QString domeCellText(const QTableWidget *dome, int row, int column)
{
    const QTableWidgetItem *item = dome->item(row, column);
    return item ? item->text() : QString();
}

Color4f buttonColor(const QPushButton *button)
{
    return indexColor(button->palette().brush(QPalette::Button).color());
}

} // namespace

void MainWindow::bindFormToRequest()
{
    for (QLineEdit *field :
         {ui->modelName, ui->lowresModel, ui->tesselModelName, ui->sceneName, ui->outputIndexFilename})
        connect(field, &QLineEdit::textChanged, this, &MainWindow::updateRequest);
    for (QAbstractButton *button : ui->centralwidget->findChildren<QAbstractButton *>())
        if (button->isCheckable())
            connect(button, &QAbstractButton::toggled, this, &MainWindow::updateRequest);
    for (QSlider *slider : ui->centralwidget->findChildren<QSlider *>())
        connect(slider, &QSlider::valueChanged, this, &MainWindow::updateRequest);
    for (QDoubleSpinBox *box : ui->centralwidget->findChildren<QDoubleSpinBox *>())
        connect(box, &QDoubleSpinBox::valueChanged, this, &MainWindow::updateRequest);
    connect(ui->startShot, &QSpinBox::valueChanged, this, &MainWindow::updateRequest);
    connect(ui->thumbnailBarPosition, &QComboBox::currentTextChanged, this, &MainWindow::updateRequest);
    connect(ui->backgroundDome, &QTableWidget::itemChanged, this, &MainWindow::updateRequest);
    updateRequest();
}

void MainWindow::updateRequest()
{
    if (m_showingRequest)
        return;
    SessionRequest &request = m_session->request();
    request.modelFile = ui->modelName->text();
    request.lowresModelFile = ui->lowresModel->text();
    request.tesselFile = ui->tesselModelName->text();
    request.outputFile = ui->outputIndexFilename->text();

    if (ui->doNotComputeThumbnails->isChecked())
        request.thumbnails =
            ThumbnailSource::Existing; // expected where the thumbnail job would have put them
    else if (ui->useHiresThumbnails->isChecked())
        request.thumbnails = ThumbnailSource::Hires;
    else
        request.thumbnails = ThumbnailSource::Downsample;
    request.depths = ui->doNotComputeDepths->isChecked() ? DepthSource::None : DepthSource::Model;
    const QVector<SliderPair> pairs = sliderPairs();
    for (int i = 0; i < 6; ++i) {
        request.orderWeights[std::size_t(i)] = pairs.at(i).ordering->value();
        request.clusterWeights[std::size_t(i)] = pairs.at(i).clustering->value();
    }
    // Every slider of the box shares the same range.
    request.weightMaximum = pairs.first().ordering->maximum();
    request.multiresolution = !ui->useInputModel->isChecked();
    request.pointCloud = ui->pointCloud->isChecked();

    IndexSettings &settings = request.settings;
    settings.sceneName = ui->sceneName->text();
    settings.cameraSpeed = float(ui->cameraSpeed->value());
    // The fields show one decimal: while they show the request's direction, it keeps its own digits.
    const auto shownAs = [](const QDoubleSpinBox *box, float value) {
        return QString::number(double(value), 'f', box->decimals()).toDouble() == box->value();
    };
    const ksr::Point3f &up = settings.upDirection;
    if (!shownAs(ui->upDirX, up.x) || !shownAs(ui->upDirY, up.y) || !shownAs(ui->upDirZ, up.z))
        settings.upDirection =
            ksr::Point3f(float(ui->upDirX->value()), float(ui->upDirY->value()), float(ui->upDirZ->value()));
    settings.backgroundColor = buttonColor(ui->backgroundColor);
    settings.backgroundKind = ui->orthoPlaneBackground->isChecked()    ? OrvelleIndex::OrthoPlaneBackground
                              : ui->coloredDomeBackground->isChecked() ? OrvelleIndex::DomeBackground
                                                                       : OrvelleIndex::ColorBackground;
    request.domeRows.clear();
    const QTableWidget *dome = ui->backgroundDome;
    for (int row = 0; row < dome->rowCount(); ++row)
        request.domeRows.append({domeCellText(dome, row, 0), domeCellText(dome, row, 1)});
    settings.lighting = ui->lighting->isChecked();
    settings.startShot = ui->startShot->value() - 1; // the control counts shots from 1
    settings.thumbnailBarPosition = ui->thumbnailBarPosition->currentText() == QLatin1String("top") ? 1 : 0;
    settings.frameletColor = buttonColor(ui->frameletColor);
    settings.frameletsScale = float(ui->frameletsScale->value());
    settings.projectionReliability = float(ui->projectionReliability->value());
    request.relativePaths = ui->useRelativePaths->isChecked();
    checkIfReadyToGenerate();
    showPreviewSettings();
}

void MainWindow::showRequestNames()
{
    const SessionRequest &request = m_session->request();
    m_showingRequest = true;
    ui->modelName->setText(request.modelFile);
    ui->lowresModel->setText(request.lowresModelFile);
    ui->tesselModelName->setText(request.tesselFile);
    ui->sceneName->setText(request.settings.sceneName);
    ui->outputIndexFilename->setText(request.outputFile);
    const ksr::Point3f &up = request.settings.upDirection;
    ui->upDirX->setValue(up.x);
    ui->upDirY->setValue(up.y);
    ui->upDirZ->setValue(up.z);
    m_showingRequest = false;
    updateRequest();
}
