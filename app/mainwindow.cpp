// Construction and wiring of the main window, the file and colour choices, the slider
// coupling, the up direction and the readiness of the generate button.

#include "mainwindow.h"

#include "dialogprovider.h"
#include "indexvalues.h"
#include "orientationwidget.h"
#include "photoviewer.h"
#include "shottablemodel.h"
#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>

// The icon lives in this static library: register it before the form asks for it.
static void initAppResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::MainWindow>()),
      m_ownDialogs(std::make_unique<QtDialogProvider>()), m_dialogs(m_ownDialogs.get())
{
    initAppResources();
    ui->setupUi(this);
    // Labels given a fixed minimum width would be cut when their text (or its translation) is longer.
    for (QLabel *label : findChildren<QLabel *>())
        if (label->minimumWidth() > 0 && label->minimumWidth() < label->sizeHint().width())
            label->setMinimumWidth(label->sizeHint().width());
    m_session = std::make_unique<Session>();
    setUpDataViews();

    // The two colour buttons keep the chosen colours in their palettes.
    ui->backgroundColor->setPalette(QPalette(QColor(Qt::black)));
    ui->frameletColor->setPalette(QPalette(QColor(Qt::white)));

    connect(ui->actionImport, &QAction::triggered, this, &MainWindow::importDataset);
    connect(ui->generateOrvelleIndex, &QPushButton::clicked, this, &MainWindow::saveDatasetORX);
    connect(ui->selectModel, &QPushButton::clicked, this, &MainWindow::selectModel);
    connect(ui->selectLowresModel, &QPushButton::clicked, this, &MainWindow::selectLowresModel);
    connect(ui->selectTesselModel, &QPushButton::clicked, this, &MainWindow::selectTessel);
    connect(ui->frameletColor, &QPushButton::clicked, this, &MainWindow::selectFrameletColor);
    connect(ui->backgroundColor, &QPushButton::clicked, this, &MainWindow::selectBackgroundColor);
    connect(ui->useSameClusteringAndOrderingFunctions, &QCheckBox::clicked, this,
            &MainWindow::connectOrderingAndSemanticFunctions);
    connect(ui->selectOutputIndexFilename, &QPushButton::clicked, this, &MainWindow::selectOutputIndexFile);

    // The orientation preview, fed by the model field, the preview box and the start view.
    m_preview = new OrientationWidget;
    m_preview->setObjectName(QStringLiteral("orientationPreview"));
    m_preview->setMinimumSize(100, 100);
    connect(ui->previewModelOrientation, &QCheckBox::clicked, m_preview, &OrientationWidget::setModelVisible);
    connect(ui->lowresModel, &QLineEdit::textChanged, m_preview, &OrientationWidget::set3DModel);
    connect(ui->resetPreviewView, &QPushButton::clicked, m_preview, &OrientationWidget::resetView);

    // Start view and up direction.
    connect(ui->startShot, &QSpinBox::valueChanged, this, &MainWindow::setStartView);
    connect(ui->startShot, &QSpinBox::valueChanged, this, &MainWindow::showShotFrusta);
    for (QDoubleSpinBox *axis : {ui->upDirX, ui->upDirY, ui->upDirZ})
        connect(axis, &QDoubleSpinBox::valueChanged, this, &MainWindow::setGenericUpDir);
    for (QPushButton *button : upDirButtons())
        connect(button, &QPushButton::clicked, this, &MainWindow::setPredefinedUpDir);
    addUpFromCamerasButton();
    addSliderValues();
    addHelpMenu();
    connectJobControls();
    ui->cameraOrientationGLContainer->addWidget(m_preview);

    connectOrderingAndSemanticFunctions(ui->useSameClusteringAndOrderingFunctions->isChecked());

    // No shots yet, so no start shot to choose.
    ui->startShot->setEnabled(false);

    setUpViewerPreview();
    bindFormToRequest();
    setToolTips();
    setUpLayout();
    setAcceptDrops(true);
    statusBar()->showMessage(tr("Import a dataset: File > Import, or drop its file onto the window."));
    centreOnScreen();
}

MainWindow::~MainWindow()
{
    // No step may outlive the window, and none may be destroyed while it runs.
    m_closing = true;
    m_session->stopAll();
    m_photoViewer.reset();
    delete m_preview;
    // The table is asked for rows until the widgets are gone, after the session.
    m_shotTable->forgetDataset();
    m_session.reset();
}

void MainWindow::setDialogProvider(DialogProvider *dialogs)
{
    m_dialogs = dialogs ? dialogs : m_ownDialogs.get();
}

DialogProvider &MainWindow::dialogs() const
{
    return *m_dialogs;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!mayDiscardWork(tr("Close the window and discard them?"))) {
        event->ignore();
        return;
    }
    // Every step stops (workers between photographs, the builder killed) and none reports.
    m_closing = true;
    m_session->stopAll();
    emit terminate();
    // The photograph viewer is a window of its own; it would keep the program running.
    if (m_photoViewer)
        m_photoViewer->close();
    event->accept();
}

bool MainWindow::mayDiscardWork(const QString &question)
{
    const bool running = m_session->isAnyRunning();
    const bool unwritten = dataset().unwrittenResults;
    if (!running && !unwritten)
        return true;
    QString text = running ? tr("Jobs are still running.") : QString();
    if (unwritten)
        text += (text.isEmpty() ? QString() : QStringLiteral(" ")) +
                tr("Computed values have not been written to an index file yet.");
    text += QLatin1Char('\n') + question;
    return dialogs().question(this, tr("Discard the work?"), text, QMessageBox::Discard | QMessageBox::Cancel,
                              QMessageBox::Cancel) == QMessageBox::Discard;
}

void MainWindow::centreOnScreen()
{
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    const QRect desktop = screen->geometry();
    move(desktop.x() + (desktop.width() - width()) / 2, desktop.y() + (desktop.height() - height()) / 2);
}

QVector<MainWindow::SliderPair> MainWindow::sliderPairs() const
{
    return {{ui->timeOfShotOrder, ui->timeOfShotSemantic},
            {ui->dirOfShotOrder, ui->dirOfShotSemantic},
            {ui->posOfShotOrder, ui->posOfShotSemantic},
            {ui->posOfTargetOrder, ui->posOfTargetSemantic},
            {ui->colorDistrOrder, ui->colorDistrSemantic},
            {ui->colorSpatialDistrOrder, ui->colorSpatialDistrSemantic}};
}

QVector<QPushButton *> MainWindow::upDirButtons() const
{
    return {ui->upDirMinusX, ui->upDirMinusY, ui->upDirMinusZ,
            ui->upDirPlusX,  ui->upDirPlusY,  ui->upDirPlusZ};
}

void MainWindow::selectModel()
{
    const QString file =
        dialogs().getOpenFileName(this, tr("Select 3D model"), QDir::current().absolutePath(),
                                  tr("PLY model (*.ply);;OBJ model(*.obj);;Tessel model (*.tsl)"));
    if (!file.isEmpty())
        ui->modelName->setText(file);
}

void MainWindow::selectLowresModel()
{
    const QString file =
        dialogs().getOpenFileName(this, tr("Select low resolution 3D model"), QDir::current().absolutePath(),
                                  tr("PLY model (*.ply);;OBJ model(*.obj)"));
    if (!file.isEmpty())
        ui->lowresModel->setText(file);
}

void MainWindow::selectTessel()
{
    const QString file = dialogs().getSaveFileName(
        this, tr("Select Tessel 3D model"), QDir::current().absolutePath(), tr("Tessel model (*.tsl)"));
    if (!file.isEmpty())
        ui->tesselModelName->setText(file);
}

void MainWindow::selectOutputIndexFile()
{
    const QString current = ui->outputIndexFilename->text();
    const QString folder = current.isEmpty() ? QDir::current().absolutePath() : current;
    QString file = dialogs().getSaveFileName(this, tr("Save Orvelle index as"), folder,
                                             tr("Orvelle index file (*.orx)"));
    // Only an .orx is imported again: a name typed without a suffix gets it.
    if (!file.isEmpty() && QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".orx");
    if (!file.isEmpty())
        ui->outputIndexFilename->setText(file);
}

void MainWindow::selectButtonColor(QPushButton *button)
{
    const QColor current = button->palette().brush(QPalette::Button).color();
    const QColor chosen = dialogs().getColor(current, this);
    if (chosen.isValid())
        button->setPalette(QPalette(chosen));
    updateRequest();
}

void MainWindow::selectFrameletColor()
{
    selectButtonColor(ui->frameletColor);
}

void MainWindow::selectBackgroundColor()
{
    selectButtonColor(ui->backgroundColor);
}

void MainWindow::connectOrderingAndSemanticFunctions(bool enable)
{
    for (const QMetaObject::Connection &connection : std::as_const(m_sliderCoupling))
        disconnect(connection);
    m_sliderCoupling.clear();

    for (const SliderPair &pair : sliderPairs()) {
        if (enable) {
            m_sliderCoupling.append(
                connect(pair.ordering, &QSlider::valueChanged, pair.clustering, &QSlider::setValue));
            pair.clustering->setValue(pair.ordering->value());
        }
        pair.clustering->setEnabled(!enable);
    }
}

ksr::Point3f MainWindow::currentUpVector() const
{
    return upVector(ui->upDirX->value(), ui->upDirY->value(), ui->upDirZ->value());
}

bool MainWindow::upDirectionIsZero() const
{
    return upDirectionProblem(ui->upDirX->value(), ui->upDirY->value(), ui->upDirZ->value()).has_value();
}

// The three fields show a direction that points nowhere; generation says why.
void MainWindow::showUpDirectionProblem()
{
    const auto problem = upDirectionProblem(ui->upDirX->value(), ui->upDirY->value(), ui->upDirZ->value());
    const QString style =
        problem ? QStringLiteral("QDoubleSpinBox { background-color: #f2b8b5; }") : QString();
    for (QDoubleSpinBox *axis : {ui->upDirX, ui->upDirY, ui->upDirZ}) {
        axis->setStyleSheet(style);
        axis->setToolTip(problem ? problem->text : axis->property("normalToolTip").toString());
    }
}

void MainWindow::setStartView()
{
    // The control counts shots from 1. Without a camera for it, or without an up direction, the
    // preview stays as it is.
    const int shot = ui->startShot->value() - 1;
    const DatasetState &state = dataset();
    if (shot < 0 || shot >= state.shotCount() || !state.shots.at(shot).camera || upDirectionIsZero())
        return;
    showStartView(currentUpVector(), startViewMatrix(*state.shots.at(shot).camera));
}

void MainWindow::showStartView(const ksr::Point3f &up, const ksr::Matrix44f &view)
{
    m_preview->setUpDir(up, view);
}

void MainWindow::showShotFrusta()
{
    QVector<ShotFrustum> frusta;
    int start = -1;
    for (int i = 0; i < dataset().shotCount(); ++i) {
        const std::optional<Camera> &camera = dataset().shots.at(i).camera;
        if (!camera || !camera->isSet() || camera->focalMm <= 0.0f)
            continue;
        if (i == ui->startShot->value() - 1)
            start = int(frusta.size());
        ShotFrustum frustum;
        frustum.centre = camera->center.toFloat(); // the preview draws in float
        frustum.rotation = camera->rotation;
        frustum.halfWidth = camera->viewportPx[0] * camera->pixelSizeMm[0] / (2.0f * camera->focalMm);
        frustum.halfHeight = camera->viewportPx[1] * camera->pixelSizeMm[1] / (2.0f * camera->focalMm);
        frusta.append(frustum);
    }
    m_preview->setShotFrusta(frusta, start);
}

void MainWindow::setGenericUpDir()
{
    showUpDirectionProblem();
    setStartView();
    const QVector<QPushButton *> buttons = upDirButtons();
    for (QPushButton *button : buttons)
        button->setChecked(false);

    static const ksr::Point3f axes[6] = {{-1, 0, 0}, {0, -1, 0}, {0, 0, -1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const ksr::Point3f up = currentUpVector();
    for (int i = 0; i < 6; ++i)
        if (up == axes[i])
            buttons.at(i)->setChecked(true);
}

void MainWindow::setPredefinedUpDir()
{
    QPushButton *pressed = qobject_cast<QPushButton *>(sender());
    const QVector<QPushButton *> buttons = upDirButtons();
    const int which = buttons.indexOf(pressed);
    if (which < 0)
        return;

    if (pressed->isChecked()) {
        static const double axes[6][3] = {{-1, 0, 0}, {0, -1, 0}, {0, 0, -1},
                                          {1, 0, 0},  {0, 1, 0},  {0, 0, 1}};
        ui->upDirX->setValue(axes[which][0]);
        ui->upDirY->setValue(axes[which][1]);
        ui->upDirZ->setValue(axes[which][2]);
        pressed->setChecked(true);
    }
    for (QPushButton *button : buttons)
        if (button != pressed)
            button->setChecked(false);
}

void MainWindow::showErrorMessage(const QString &title, const QString &msg)
{
    showBuilderStatus();
    dialogs().information(nullptr, title, msg);
}

void MainWindow::checkIfReadyToGenerate()
{
    ui->generateOrvelleIndex->setEnabled(m_session->isReadyToWrite());
}

// Beside the six presets: the direction the dataset's cameras agree on.
void MainWindow::addUpFromCamerasButton()
{
    auto *grid = qobject_cast<QGridLayout *>(ui->gridLayout_4);
    auto *button = new QPushButton(tr("From the cameras"), ui->upDirPlusZ->parentWidget());
    button->setObjectName(QStringLiteral("upDirFromCameras"));
    button->setToolTip(tr("The mean of the cameras' image-up axes, the nearest axis when within 10 degrees"));
    grid->addWidget(button, grid->rowCount(), 0, 1, grid->columnCount());
    connect(button, &QPushButton::clicked, this, [this] {
        const auto up = DatasetStates::upFromCameras(dataset());
        if (!up) {
            statusBar()->showMessage(tr("No camera says where up is."));
            return;
        }
        ui->upDirX->setValue(up->x);
        ui->upDirY->setValue(up->y);
        ui->upDirZ->setValue(up->z);
        statusBar()->showMessage(tr("Up direction from the cameras: %1.").arg(upDirectionText()));
    });
}

// The up direction as a person reads it: "+Z", or three numbers.
QString MainWindow::upDirectionText() const
{
    static const char *const names[6] = {"-X", "-Y", "-Z", "+X", "+Y", "+Z"};
    const QVector<QPushButton *> buttons = upDirButtons();
    for (int i = 0; i < buttons.size(); ++i)
        if (buttons.at(i)->isChecked())
            return QString::fromLatin1(names[i]);
    return QStringLiteral("(%1, %2, %3)")
        .arg(ui->upDirX->value(), 0, 'g', 3)
        .arg(ui->upDirY->value(), 0, 'g', 3)
        .arg(ui->upDirZ->value(), 0, 'g', 3);
}
