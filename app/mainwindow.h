#pragma once
// The main window: import a dataset, run the preparation steps, set the viewer settings and
// write the index. The engine's Session holds the dataset, the request and the steps, and decides
// what may start and what may be written; the window binds its controls to the request, shows the
// dataset (the data table is a read-only view of it) and turns the session's problems into
// dialogs. All of it runs on the GUI thread.
//
// The body is split by concern: mainwindow.cpp (construction, wiring, choices, up direction,
// readiness, closing), mainwindow_request.cpp (the form bound to the request),
// mainwindow_import.cpp, mainwindow_generate.cpp and mainwindow_jobs.cpp (the Update buttons,
// bars and messages), mainwindow_preview.cpp (the viewer preview of the "View settings" tab).
//
// A failed import leaves the window exactly as it was. While a step runs its Update button is
// disabled. Closing the window (Esc included) asks first while steps run or computed values have
// not been written.

#include <QMainWindow>
#include <QMetaObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

#include "session.h"

#include <ksr/geometry.h>

class DialogProvider;
class OrderStrip;
class OrientationWidget;
class PhotoViewer;
class QSortFilterProxyModel;
class ThumbnailCache;
class QLabel;
class ViewerWidget;
class QProgressBar;
class QPushButton;
class QSlider;
class ShotTableModel;
struct StepResult;

namespace Ui
{
class MainWindow;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Where the window's modal dialogs come from; nullptr restores the real dialogs.
    // The window does not take ownership.
    void setDialogProvider(DialogProvider *dialogs);

    // The multiresolution builder program to run; empty means the one beside this program
    // (its folder followed by "/tessel/tslbuilder").
    void setBuilderProgram(const QString &program);
    QString builderProgram() const;

    // The dataset shown; read-only.
    const DatasetState &dataset() const { return m_session->dataset(); }
    // The session the form drives (its request follows the controls).
    Session &session() { return *m_session; }

    // Imports the dataset file as File > Import does once a file is chosen (also for a file
    // dropped onto the window).
    void importFile(const QString &fileName);

signals:
    void terminate();

public slots:
    void importDataset();
    void saveDatasetORX();
    void computeDepths();
    void computeThumbnails();
    void computeTessel();
    void computeOrderAndSemantic();
    void selectModel();
    void selectLowresModel();
    void selectTessel();
    void selectFrameletColor();
    void selectBackgroundColor();
    void connectOrderingAndSemanticFunctions(bool enable);
    void setStartView();
    void setGenericUpDir();
    void setPredefinedUpDir();
    void showErrorMessage(const QString &title, const QString &msg);
    void depthsReady();
    void tesselReady();
    void checkIfReadyToGenerate();
    void selectOutputIndexFile();
    // Opens the photograph of a row of the dataset in the photograph viewer.
    void showPhotograph(int row);

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    struct SliderPair {
        QSlider *ordering;
        QSlider *clustering;
    };

    DialogProvider &dialogs() const;
    QVector<SliderPair> sliderPairs() const;
    QVector<QPushButton *> upDirButtons() const;
    ksr::Point3f currentUpVector() const;
    bool upDirectionIsZero() const;
    void showUpDirectionProblem();
    void addUpFromCamerasButton();
    QString upDirectionText() const;
    void centreOnScreen();
    void selectButtonColor(QPushButton *button);
    // Running steps or computed values not yet written: the user may keep them. question ends the
    // message ("Close the window and discard them?").
    bool mayDiscardWork(const QString &question);

    // Views of the dataset, layout and tooltips (mainwindow_views.cpp, mainwindow_tooltips.cpp).
    void setUpDataViews();
    void setUpLayout();
    void setToolTips();
    void addSliderValues();
    void addHelpMenu();
    void showTitle();
    void selectTableRow(int row);
    void leaveOutShots(const QVector<int> &rows);
    void showShotsLeft();

    // The form and the session's request (mainwindow_request.cpp).
    void bindFormToRequest();
    void updateRequest();
    void showRequestNames();

    // Import steps (mainwindow_import.cpp).
    QString chooseModel(const QString &folder, const QStringList &models);
    void showDataset();

    // The viewer preview of the "View settings" tab (mainwindow_preview.cpp).
    void setUpViewerPreview();
    void showPreviewSettings();
    // The preview draws the multiresolution model just built (read again when rebuilt in place).
    void showBuiltModelInPreview(const QString &builtModel);
    void showPreviewShots();

    // The orientation preview is fed from here (and only from here).
    void showStartView(const ksr::Point3f &up, const ksr::Matrix44f &view);
    void showShotFrusta();

    // Job control (mainwindow_jobs.cpp).
    void connectJobControls();
    QPushButton *updateButton(StepKind kind) const;
    QProgressBar *progressBar(StepKind kind) const;
    void startStep(StepKind kind);
    void stepStarted(StepKind kind);
    void shotsChanged(StepKind kind);
    void stepFinished(const StepResult &result);
    void enableStepButtons();
    void showBuilderStatus();
    QPushButton *cancelButton(StepKind kind) const;
    void addCancelButtons();
    void addMoreSteps();
    void addPercentLabels();
    void showRunningSteps(const QString &lastEnded = QString());
    QString endedText(const StepResult &result) const;

    OrientationWidget *m_preview = nullptr;
    QLabel *m_runningSteps = nullptr; // in the status bar
    ViewerWidget *m_viewer = nullptr;
    bool m_closing = false;
    bool m_modelsDeclined = false; // the import asked about every model and each was declined
    bool m_showingRequest = false; // the form is being set from the request

    std::unique_ptr<Session> m_session;
    ShotTableModel *m_shotTable = nullptr;
    QSortFilterProxyModel *m_sortedShots = nullptr;
    ThumbnailCache *m_thumbnails = nullptr;
    OrderStrip *m_orderStrip = nullptr;
    std::unique_ptr<PhotoViewer> m_photoViewer;
    // Indexed by StepKind.
    QVector<QPushButton *> m_stepButtons;
    QVector<QProgressBar *> m_stepBars;
    QVector<QPushButton *> m_cancelButtons;

    std::unique_ptr<Ui::MainWindow> ui;
    std::unique_ptr<DialogProvider> m_ownDialogs;
    DialogProvider *m_dialogs = nullptr;
    QVector<QMetaObject::Connection> m_sliderCoupling;
};
