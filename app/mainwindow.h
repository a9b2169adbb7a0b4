#pragma once
// The main window: import a dataset, run the preparation steps, set the viewer settings and
// write the index. Every per-shot value lives as text in the data table (one row per shot).
// All of it runs on the GUI thread.
//
// The body is split by concern: mainwindow.cpp (construction, wiring, choices, up direction,
// readiness), mainwindow_import.cpp, mainwindow_generate.cpp and mainwindow_jobs.cpp.

#include <QMainWindow>
#include <QMetaObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

#include "camera.h"

#include <ksr/geometry.h>

class DialogProvider;
class QPushButton;
class QSlider;

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
    bool readProject(const QString &fileName, QVector<Camera> &cameras, QStringList &images,
                     QStringList &models);
    bool readIndex(const QString &fileName, QVector<Camera> &cameras, QStringList &images,
                   QStringList &models);
    void fillWindow(const QString &folder, const QVector<Camera> &cameras, const QStringList &images,
                    const QStringList &models);
    QString chooseModel(const QString &folder, const QStringList &models);

    // The orientation preview is fed from here (and only from here).
    void showStartView(const ksr::Point3f &up, const ksr::Matrix44f &view);

    std::unique_ptr<Ui::MainWindow> ui;
    std::unique_ptr<DialogProvider> m_ownDialogs;
    DialogProvider *m_dialogs = nullptr;
    QVector<QMetaObject::Connection> m_sliderCoupling;
};
