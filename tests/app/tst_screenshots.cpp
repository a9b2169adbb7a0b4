// Pictures of the window for people to look at: every tab with the generated sample loaded and
// every job done, at the scale the test runs under (QT_SCALE_FACTOR), the orientation preview
// on the real, uncoloured scene mesh, and the viewer preview of the real scene, whose picture
// follows the settings. Saved into build/screenshots/. Also checks that the window
// fits the screens named for each scale and that the preview shades a mesh without colours.
#include "mainwindow.h"
#include "orientationwidget.h"
#include "viewerwidget.h"
#include "windowtestutil.h"

#include <QAbstractButton>
#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace
{

double scaleFactor()
{
    bool ok = false;
    const double scale = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok && scale > 0 ? scale : 1.0;
}

// The smallest screen the window must fit, in the toolkit's (scaled) pixels.
QSize smallestScreen()
{
    return scaleFactor() > 1.0 ? (QSizeF(1600, 1200) / scaleFactor()).toSize() : QSize(1366, 768);
}

QString screenshotFolder()
{
    const QString folder = QStringLiteral(ORVELLE_BIN_DIR "/../screenshots");
    QDir().mkpath(folder);
    return folder;
}

QString picture(const QString &name)
{
    return QString("%1/%2-scale%3.png").arg(screenshotFolder(), name).arg(scaleFactor());
}

// The real dialogs, each photographed once it is up and then answered as a person would: the
// pictures go to picture(name), names taken in order. File choices to open are answered without a
// dialog.
class PhotographedDialogs : public QtDialogProvider
{
public:
    QStringList openAnswers;
    QString folderAnswer;
    QString choiceAnswer; // the label of the button to press
    QMessageBox::StandardButton questionAnswer = QMessageBox::Ok;
    QStringList names; // of the next pictures
    QStringList taken; // pictures saved

    QString getOpenFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir) override
    {
        answerWhenUp([this](QWidget *dialog) {
            auto *files = qobject_cast<QFileDialog *>(dialog);
            files->setDirectory(folderAnswer);
            static_cast<QDialog *>(files)->accept(); // QFileDialog::accept, which is protected
        });
        return QtDialogProvider::getExistingDirectory(parent, caption, dir);
    }
    int choose(QWidget *parent, const QString &title, const QString &text,
               const QStringList &buttons) override
    {
        answerWhenUp([this](QWidget *dialog) {
            for (QAbstractButton *button : qobject_cast<QMessageBox *>(dialog)->buttons())
                if (button->text() == choiceAnswer)
                    button->click();
        });
        return QtDialogProvider::choose(parent, title, text, buttons);
    }
    QMessageBox::StandardButton question(QWidget *parent, const QString &title, const QString &text,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::StandardButton defaultButton) override
    {
        answerWhenUp([this](QWidget *dialog) {
            if (QAbstractButton *button = qobject_cast<QMessageBox *>(dialog)->button(questionAnswer))
                button->click();
        });
        return QtDialogProvider::question(parent, title, text, buttons, defaultButton);
    }
    void warning(QWidget *parent, const QString &title, const QString &text) override
    {
        answerWhenUp([](QWidget *dialog) { qobject_cast<QMessageBox *>(dialog)->accept(); });
        QtDialogProvider::warning(parent, title, text);
    }
    void information(QWidget *parent, const QString &title, const QString &text) override
    {
        answerWhenUp([](QWidget *dialog) { qobject_cast<QMessageBox *>(dialog)->accept(); });
        QtDialogProvider::information(parent, title, text);
    }

private:
    void answerWhenUp(const std::function<void(QWidget *)> &answer)
    {
        const QString file = picture(names.isEmpty() ? QStringLiteral("dialog") : names.takeFirst());
        auto *poll = new QTimer;
        poll->setInterval(100);
        QObject::connect(poll, &QTimer::timeout, [this, poll, file, answer, shown = 0]() mutable {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog || ++shown < 4) // a few rounds for it to be laid out and painted
                return;
            poll->stop();
            poll->deleteLater();
            if (dialog->grab().save(file))
                taken.append(file);
            answer(dialog);
        });
        poll->start();
    }
};

} // namespace

class TestScreenshots : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir temp;

private slots:
    void windowWithEveryJobDone()
    {
        QVERIFY(temp.isValid());
        QString why;
        QVERIFY2(makeSample(temp.filePath("sample"), 12, "800x600", why, 5000), qPrintable(why));
        ScriptedDialogs dialogs;
        MainWindow window;
        window.setDialogProvider(&dialogs);
        const QSize screen = smallestScreen();
        QVERIFY2(window.minimumSizeHint().width() <= screen.width() &&
                     window.minimumSizeHint().height() <= screen.height(),
                 qPrintable(QString("%1x%2")
                                .arg(window.minimumSizeHint().width())
                                .arg(window.minimumSizeHint().height())));
        window.resize(window.size().boundedTo(screen));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.width() <= screen.width() && window.height() <= screen.height());

        dialogs.openAnswers << temp.filePath("sample/sample.pfp");
        control<QAction>(&window, "actionImport")->trigger();
        QCOMPARE(window.dataset().shotCount(), 12);
        clickControl(control<QRadioButton>(&window, "downsampleHiresThumbnails"));
        QVERIFY(runJobToEnd(&window, "updateThumbnails"));
        QVERIFY(runJobToEnd(&window, "updateDepths"));
        QVERIFY(runJobToEnd(&window, "updateOrderingAndSemantic"));
        clickControl(control<QCheckBox>(&window, "previewModelOrientation"));
        // Up from the cameras, untouched: the sample's is +Z.
        QCOMPARE(window.session().request().settings.upDirection, ksr::Point3f(0, 0, 1));
        QVERIFY(window.dataset().isComplete());

        auto *tabs = control<QTabWidget>(&window, "tabWidget");
        const QString scale = QString::number(scaleFactor());
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QTest::qWait(300); // thumbnails decode on a worker
            const QString file =
                QString("%1/window-scale%2-tab%3.png").arg(screenshotFolder(), scale).arg(i + 1);
            QVERIFY2(window.grab().save(file), qPrintable(file));
        }

        // Generate with the real message box; the status bar names the file too.
        PhotographedDialogs shown;
        window.setDialogProvider(&shown);
        shown.names << "dialog-success";
        clickControl(control<QRadioButton>(&window, "useInputModel"));
        QVERIFY(control<QPushButton>(&window, "generateOrvelleIndex")->isEnabled());
        clickControl(control<QPushButton>(&window, "generateOrvelleIndex"));
        QCOMPARE(shown.taken.size(), 1);
        QVERIFY(QFileInfo::exists(temp.filePath("sample/sample_generated.orx")));
        QVERIFY(window.grab().save(picture("window-after-generate")));
        window.setDialogProvider(nullptr);
    }

    // A reconstruction whose photographs are elsewhere: the folder question, then the mesh
    // question; then a project with a photograph missing: the warning and the greyed row.
    void dialogsOfAnImport()
    {
        QString why;
        QVERIFY2(makeSample(temp.filePath("dialogs"), 36, "640x480", why), qPrintable(why));
        const QString project = QFileInfo(temp.filePath("dialogs")).canonicalFilePath();
        QVERIFY(QDir().mkpath(project + "/sfm"));
        QVERIFY(
            QFile::copy(QStringLiteral(ORVELLE_TEST_DATA "/sfm/nvm/model.nvm"), project + "/sfm/scene.nvm"));
        PhotographedDialogs shown;
        MainWindow window;
        window.setDialogProvider(&shown);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        shown.openAnswers << project + "/sfm/scene.nvm";
        shown.folderAnswer = project + "/photos";
        shown.choiceAnswer = "Use the points";
        shown.names << "dialog-photo-folder"
                    << "dialog-mesh-question"
                    << "dialog-reconstruction-notes";
        control<QAction>(&window, "actionImport")->trigger();
        QVERIFY2(window.dataset().shotCount() > 0, "the reconstruction was not imported");
        QVERIFY(shown.taken.contains(picture("dialog-photo-folder")));
        QVERIFY(shown.taken.contains(picture("dialog-mesh-question")));

        QFile sample(project + "/sample.pfp");
        QVERIFY(sample.open(QIODevice::ReadOnly));
        QVERIFY(writeFile(project + "/lost.pfp",
                          sample.readAll().replace("photos/img_0003.jpg", "photos/gone.jpg")));
        shown.openAnswers << project + "/lost.pfp";
        shown.names << "dialog-missing-photo";
        control<QAction>(&window, "actionImport")->trigger();
        QVERIFY(!window.session().missingPhotographs().isEmpty());
        control<QTabWidget>(&window, "tabWidget")->setCurrentIndex(0);
        QTest::qWait(300);
        QVERIFY(window.grab().save(picture("window-missing-photo")));
        window.setDialogProvider(nullptr);
        QVERIFY2(shown.taken.size() >= 4, qPrintable(shown.taken.join(", ")));
    }

    void previewOfTheRealMesh()
    {
        const QString folder = QStringLiteral(ORVELLE_TEST_DATA "/sceaux");
        ScriptedDialogs dialogs;
        MainWindow window;
        window.setDialogProvider(&dialogs);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Two meshes: the fine one is declined, the coarse one taken.
        dialogs.openAnswers << folder + "/sceaux.pfp";
        dialogs.questionAnswers << QMessageBox::No << QMessageBox::Ok;
        control<QAction>(&window, "actionImport")->trigger();
        QCOMPARE(window.dataset().shotCount(), 10);
        control<QLineEdit>(&window, "lowresModel")
            ->setText(QFileInfo(folder + "/scene_mesh.ply").canonicalFilePath());
        // Up from the cameras, untouched.
        const ksr::Point3f up = window.session().request().settings.upDirection;
        QVERIFY2(up == ksr::Point3f(0, 0, -1), qPrintable(QString("%1 %2 %3").arg(up.x).arg(up.y).arg(up.z)));
        clickControl(control<QCheckBox>(&window, "previewModelOrientation"));

        auto *preview = control<OrientationWidget>(&window, "orientationPreview");
        control<QTabWidget>(&window, "tabWidget")->setCurrentIndex(2);
        QTRY_VERIFY(preview->model() != nullptr);
        QVERIFY(!preview->modelHasColours());
        QCOMPARE(preview->frustumCount(), 10);
        const QImage frame = preview->grabFramebuffer();
        QVERIFY(
            frame.save(QString("%1/preview-sceaux-scale%2.png").arg(screenshotFolder()).arg(scaleFactor())));
        // Backed away and turned a little: the cameras come into sight.
        const QPointF middle = QRectF(preview->rect()).center();
        QWheelEvent away(middle, preview->mapToGlobal(middle), QPoint(), QPoint(0, -120 * 4), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(preview, &away);
        QTest::mousePress(preview, Qt::LeftButton, Qt::NoModifier, middle.toPoint());
        QTest::mouseMove(preview, middle.toPoint() + QPoint(60, -25));
        QTest::mouseRelease(preview, Qt::LeftButton, Qt::NoModifier, middle.toPoint() + QPoint(60, -25));
        QVERIFY(!preview->orbit().isStartView());
        QVERIFY(preview->grabFramebuffer().save(
            QString("%1/preview-sceaux-orbit-scale%2.png").arg(screenshotFolder()).arg(scaleFactor())));

        // Shaded, not a flat silhouette: the lit surface takes many levels of grey.
        QSet<int> levels;
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x)
                if (qGray(frame.pixel(x, y)) > 8)
                    levels.insert(qGray(frame.pixel(x, y)) / 4);
        QVERIFY2(levels.size() > 20, qPrintable(QString::number(levels.size())));
    }

    void viewerPreviewOfTheRealScene()
    {
        const QString folder = QStringLiteral(ORVELLE_TEST_DATA "/sceaux");
        ScriptedDialogs dialogs;
        MainWindow window;
        window.setDialogProvider(&dialogs);
        window.resize(window.size().boundedTo(smallestScreen()));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        dialogs.openAnswers << folder + "/sceaux.pfp";
        dialogs.questionAnswers << QMessageBox::No << QMessageBox::Ok;
        control<QAction>(&window, "actionImport")->trigger();
        QCOMPARE(window.dataset().shotCount(), 10);
        control<QLineEdit>(&window, "lowresModel")
            ->setText(QFileInfo(folder + "/scene_mesh_refine.ply").canonicalFilePath());
        clickControl(control<QRadioButton>(&window, "coloredDomeBackground"));
        control<QTabWidget>(&window, "tabWidget")->setCurrentIndex(2);
        auto *viewer = control<ViewerWidget>(&window, "viewerPreview");
        QTRY_VERIFY(viewer->scene().hasModel());
        QCOMPARE(viewer->scene().shots().size(), 10);
        QTest::qWait(100);
        const QString scale = QString::number(scaleFactor());
        const QImage domed = viewer->grabFramebuffer();
        QVERIFY(domed.save(QString("%1/viewer-sceaux-scale%2.png").arg(screenshotFolder(), scale)));
        QVERIFY(window.grab().save(
            QString("%1/window-viewer-sceaux-scale%2.png").arg(screenshotFolder(), scale)));
        // No label of the settings is cut.
        for (const QLabel *label :
             control<QTabWidget>(&window, "tabWidget")->currentWidget()->findChildren<QLabel *>())
            if (label->isVisible())
                QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));

        // A setting changed in the form changes the picture at once, and changing it back restores it.
        clickControl(control<QRadioButton>(&window, "orthoPlaneBackground"));
        const QImage plane = viewer->grabFramebuffer();
        clickControl(control<QRadioButton>(&window, "coloredDomeBackground"));
        QCOMPARE(viewer->grabFramebuffer(), domed);
        QVERIFY(plane.size() == domed.size() && plane != domed);
        int changed = 0;
        for (int y = 0; y < plane.height(); y += 4)
            for (int x = 0; x < plane.width(); x += 4)
                changed += plane.pixel(x, y) != domed.pixel(x, y);
        QVERIFY2(changed > plane.width() * plane.height() / 16 / 10, qPrintable(QString::number(changed)));

        // The next shot in viewing order, from the keyboard, selects its row in the table.
        viewer->setFocus();
        QTest::keyClick(viewer, Qt::Key_Right);
        QCOMPARE(viewer->scene().currentShot(), 1);
        QCOMPARE(control<QTableView>(&window, "data")->currentIndex().row(), 1);
    }
};

QTEST_MAIN(TestScreenshots)
#include "tst_screenshots.moc"
