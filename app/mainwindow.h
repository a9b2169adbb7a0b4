#pragma once
// The main window: import a dataset, run the preparation steps, set the viewer settings and
// write the index. Every per-shot value lives as text in the data table (one row per shot).
// All of it runs on the GUI thread.
//
// The body is split by concern: mainwindow.cpp (construction, wiring, choices, up direction,
// readiness), mainwindow_import.cpp, mainwindow_generate.cpp and mainwindow_jobs.cpp.
//
// Jobs: each press of an Update button starts a fresh job object; while it runs that button is
// disabled, so one kind of job never runs twice at once. Results of a job started before the
// table was filled anew (an import) are dropped and that job is asked to stop. Closing the window
// stops the worker jobs and waits for them, then kills the builder.

#include <QMainWindow>
#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

#include "camera.h"

#include <ksr/geometry.h>

class DepthComputationThread;
class DialogProvider;
class DownsamplingThread;
class OrderAndSemanticThread;
class OrientationWidget;
class QPushButton;
class QSlider;
class QThread;
class TesselComputationProcess;

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
    void depthComputed(int id, float val);
    void thumbnailCreated(int id, const QString &absoluteFilename);
    void orderComputed(const QVector<int> &values);
    void semanticComputed(const QVector<int> &values);
    void checkIfReadyToGenerate();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    struct SliderPair {
        QSlider *ordering;
        QSlider *clustering;
    };

    DialogProvider &dialogs() const;
    QVector<SliderPair> sliderPairs() const;
    QVector<QPushButton *> upDirButtons() const;
    ksr::Point3f currentUpVector() const;
    void centreOnScreen();
    void selectButtonColor(QPushButton *button);

    // Import steps (mainwindow_import.cpp).
    void fillWindow(const QString &folder, const QVector<Camera> &cameras, const QStringList &images,
                    const QStringList &models);
    QString chooseModel(const QString &folder, const QStringList &models);

    // The orientation preview is fed from here (and only from here).
    void showStartView(const ksr::Point3f &up, const ksr::Matrix44f &view);

    // Job control (mainwindow_jobs.cpp).
    void connectJobControls();
    void datasetChanged();
    bool isCurrentDataset(quint64 dataset) const { return dataset == m_dataset; }
    // A job of this kind is still working: false when it belongs to the current dataset (the
    // press is ignored); a stale one is stopped and waited for, so the new run may start.
    template <typename Job> bool retireStaleJob(QPointer<Job> &job, quint64 dataset);
    void startThumbnailJob();
    void thumbnailJobFinished(QPointer<DownsamplingThread> job, quint64 dataset);
    void depthJobFinished(QPointer<DepthComputationThread> job, quint64 dataset);
    void orderingJobFinished(QPointer<OrderAndSemanticThread> job, quint64 dataset);
    void builderEnded(QPointer<TesselComputationProcess> builder);
    void stopWorkerJobs();
    void silenceBuilder();
    void stopAllJobs();

    OrientationWidget *m_preview = nullptr;
    QString m_builderProgram;
    // Grows whenever the table gets new rows or is cleared: jobs remember the value they saw.
    quint64 m_dataset = 0;
    bool m_closing = false;

    QPointer<DownsamplingThread> m_thumbnailJob;
    quint64 m_thumbnailDataset = 0;
    QStringList m_thumbnailFailures;

    QPointer<DepthComputationThread> m_depthJob;
    quint64 m_depthDataset = 0;
    QString m_depthProblemTitle;
    QStringList m_depthProblems;

    QPointer<OrderAndSemanticThread> m_orderingJob;
    quint64 m_orderingDataset = 0;
    QStringList m_unreadablePhotos;

    QPointer<TesselComputationProcess> m_builder;

    std::unique_ptr<Ui::MainWindow> ui;
    std::unique_ptr<DialogProvider> m_ownDialogs;
    DialogProvider *m_dialogs = nullptr;
    QVector<QMetaObject::Connection> m_sliderCoupling;
};
