#pragma once
// Shared by the window tests: scripted dialogs, dataset files made on the fly, and clicks on
// controls that live in other tabs.

#include "cameraelement.h"
#include "dialogprovider.h"
#include "jobinputs.h"
#include "mainwindow.h"
#include "steps.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QMainWindow>
#include <QProcess>
#include <QProgressBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QStringList>
#include <QTabWidget>
#include <QTest>

#include <memory>

// Answers the window's dialogs from queues and records every dialog shown.
class ScriptedDialogs : public DialogProvider
{
public:
    struct Shown {
        QString kind; // "open", "save", "folder", "color", "question", "choice", "warning", "information"
        QString title;
        QString text; // message text, or the filter of a file dialog
        QWidget *parent = nullptr;
    };

    QStringList openAnswers;
    QStringList saveAnswers;
    QList<QColor> colorAnswers;
    QList<QMessageBox::StandardButton> questionAnswers;
    QStringList folderAnswers;
    QList<int> choiceAnswers; // indices of the buttons; none left: -1 (Cancel)
    QList<QStringList> choiceButtons;

    QList<Shown> shown;
    QList<QColor> colorInitials;
    QStringList fileDialogFolders;

    QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                            const QString &filter) override
    {
        shown.append({QStringLiteral("open"), caption, filter, parent});
        fileDialogFolders.append(dir);
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                            const QString &filter) override
    {
        shown.append({QStringLiteral("save"), caption, filter, parent});
        fileDialogFolders.append(dir);
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir) override
    {
        shown.append({QStringLiteral("folder"), caption, QString(), parent});
        fileDialogFolders.append(dir);
        return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
    }
    int choose(QWidget *parent, const QString &title, const QString &text,
               const QStringList &buttons) override
    {
        shown.append({QStringLiteral("choice"), title, text, parent});
        choiceButtons.append(buttons);
        return choiceAnswers.isEmpty() ? -1 : choiceAnswers.takeFirst();
    }
    QColor getColor(const QColor &initial, QWidget *parent) override
    {
        shown.append({QStringLiteral("color"), QString(), QString(), parent});
        colorInitials.append(initial);
        return colorAnswers.isEmpty() ? QColor() : colorAnswers.takeFirst();
    }
    QMessageBox::StandardButton question(QWidget *parent, const QString &title, const QString &text,
                                         QMessageBox::StandardButtons, QMessageBox::StandardButton) override
    {
        shown.append({QStringLiteral("question"), title, text, parent});
        return questionAnswers.isEmpty() ? QMessageBox::No : questionAnswers.takeFirst();
    }
    void warning(QWidget *parent, const QString &title, const QString &text) override
    {
        shown.append({QStringLiteral("warning"), title, text, parent});
    }
    void information(QWidget *parent, const QString &title, const QString &text) override
    {
        shown.append({QStringLiteral("information"), title, text, parent});
    }

    QList<Shown> ofKind(const QString &kind) const
    {
        QList<Shown> result;
        for (const Shown &s : shown)
            if (s.kind == kind)
                result.append(s);
        return result;
    }
};

// Makes the tab holding the control current, then clicks it with the mouse.
inline void clickControl(QAbstractButton *button)
{
    for (QWidget *page = button; page; page = page->parentWidget()) {
        QWidget *stack = page->parentWidget();
        auto *tabs = stack ? qobject_cast<QTabWidget *>(stack->parentWidget()) : nullptr;
        if (tabs && tabs->indexOf(page) >= 0)
            tabs->setCurrentWidget(page);
    }
    // Radio buttons and check boxes react only on their indicator and text, which sit on the left.
    const bool indicator = qobject_cast<QRadioButton *>(button) || qobject_cast<QCheckBox *>(button);
    const QPoint where = indicator ? QPoint(6, button->height() / 2) : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, where);
}

// A fresh main window whose dialogs the test answers, shown and exposed.
template <typename Window> bool openScriptedWindow(std::unique_ptr<Window> &window, ScriptedDialogs &dialogs)
{
    dialogs = ScriptedDialogs();
    window = std::make_unique<Window>();
    window->setDialogProvider(&dialogs);
    window->show();
    return QTest::qWaitForWindowExposed(window.get());
}

// The whole value of a cell of the data table (the view may show it shortened).
inline QString cellText(const QAbstractItemView *table, int row, int column)
{
    return table->model()->index(row, column).data(Qt::UserRole).toString();
}

template <typename T> T *control(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("control %s not found", name);
    return found;
}

// What a user sees of the dataset in the window, one line per item: every cell of the data table,
// the names derived from the dataset, the builder status, the progress bars, the start shot and
// which buttons may be pressed. Two equal descriptions mean the user cannot tell the windows apart.
inline QStringList describeDataset(QWidget *window)
{
    QStringList lines;
    const auto *table = control<QAbstractItemView>(window, "data");
    for (int row = 0; row < table->model()->rowCount(); ++row)
        for (int column = 0; column < table->model()->columnCount(); ++column)
            lines << QString("cell %1,%2: %3").arg(row).arg(column).arg(cellText(table, row, column));
    for (const char *name :
         {"modelName", "lowresModel", "tesselModelName", "sceneName", "outputIndexFilename"})
        lines << QString("%1: %2").arg(name, control<QLineEdit>(window, name)->text());
    lines << "tesselStatus: " + control<QLabel>(window, "tesselStatus")->text();
    for (const char *name : {"thumbnailsComputationProgress", "depthComputationProgress",
                             "orderAndSemanticComputationProgress", "tesselComputationProgress"})
        lines << QString("%1: %2").arg(name).arg(control<QProgressBar>(window, name)->value());
    const auto *start = control<QSpinBox>(window, "startShot");
    lines << QString("startShot: %1..%2 at %3, enabled %4")
                 .arg(start->minimum())
                 .arg(start->maximum())
                 .arg(start->value())
                 .arg(start->isEnabled());
    for (const char *name : {"updateThumbnails", "updateDepths", "updateOrderingAndSemantic",
                             "updateTesselModel", "generateOrvelleIndex"})
        lines << QString("%1 enabled: %2").arg(name).arg(control<QAbstractButton>(window, name)->isEnabled());
    return lines;
}

// A camera whose numbers survive the text form exactly.
inline Camera testCamera(float focal, const ksr::Point3f &centre)
{
    Camera camera;
    camera.focalMm = focal;
    camera.viewportPx[0] = 4000;
    camera.viewportPx[1] = 3000;
    camera.pixelSizeMm[0] = 0.01f;
    camera.pixelSizeMm[1] = 0.01f;
    camera.centerPx[0] = 2000;
    camera.centerPx[1] = 1500;
    camera.center = centre;
    return camera;
}

struct Raster {
    Camera camera;
    QString fileName; // as written in the project
};

// A Polyforge project: each inner list is one raster group; then one mesh group.
inline QByteArray projectText(const QList<QList<Raster>> &groups, const QStringList &meshes)
{
    QByteArray xml = "<!DOCTYPE PolyforgeDocument>\n<PolyforgeProject>\n";
    if (!meshes.isEmpty()) {
        xml += " <MeshGroup>\n";
        for (const QString &mesh : meshes)
            xml += "  <PFMesh label=\"m\" filename=\"" + mesh.toUtf8() + "\"/>\n";
        xml += " </MeshGroup>\n";
    }
    for (const QList<Raster> &group : groups) {
        xml += " <RasterGroup>\n";
        for (const Raster &raster : group)
            xml += "  <PFRaster>\n   " +
                   CameraElement::cameraText(raster.camera, QStringLiteral("KSRCamera")).toUtf8() +
                   "\n   <Plane semantic=\"1\" fileName=\"" + raster.fileName.toUtf8() +
                   "\"/>\n  </PFRaster>\n";
        xml += " </RasterGroup>\n";
    }
    xml += "</PolyforgeProject>\n";
    return xml;
}

// Presses an Update button and waits until its job has ended (the button comes back).
inline bool runJobToEnd(QWidget *window, const char *button, int timeoutMs = 60000)
{
    auto *update = control<QAbstractButton>(window, button);
    if (!update->isEnabled())
        return false;
    clickControl(update);
    return QTest::qWaitFor([update] { return update->isEnabled(); }, timeoutMs);
}

// Values a step would report, merged into the window's session as its end would merge them.
inline void giveThumbnail(MainWindow &window, int row, const QString &path)
{
    StepResult result;
    result.kind = StepKind::Thumbnails;
    result.thumbnails.insert(row, path);
    window.session().merge(result);
}
inline void giveDepth(MainWindow &window, int row, float depth)
{
    StepResult result;
    result.kind = StepKind::Depths;
    result.depths.insert(row, depth);
    window.session().merge(result);
}
// order[k] is the row shown k-th; clusters[row] the row's cluster value.
inline void giveOrder(MainWindow &window, const QVector<int> &order, const QVector<int> &clusters)
{
    StepResult result;
    result.kind = StepKind::Ordering;
    result.orderPositions = JobInputs::positionsFromOrder(order, int(order.size()));
    result.clusterNumbers = clusters;
    window.session().merge(result);
}
inline void giveBuiltModel(MainWindow &window, const QString &path)
{
    StepResult result;
    result.kind = StepKind::Multiresolution;
    result.builtModel = path;
    window.session().merge(result);
}
