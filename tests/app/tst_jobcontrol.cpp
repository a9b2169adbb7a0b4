// Job control of the window with the real jobs: Update buttons while jobs run, failures told once,
// builder errors, readiness after the steps, the start view in the preview, a re-import while a
// job runs, and closing the window while jobs work.

#include "mainwindow.h"
#include "orientationwidget.h"
#include "windowtestutil.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>

namespace
{

// A stand-in for the builder: a shell script with the given body.
bool writeBuilder(const QString &path, const QByteArray &body)
{
    if (!writeFile(path, "#!/bin/sh\n" + body + "\n"))
        return false;
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

bool processAlive(qint64 pid)
{
    // A zombie still has a /proc entry: look at its state.
    QFile status(QString("/proc/%1/stat").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> fields = status.readAll().split(' ');
    return fields.size() > 2 && fields[2] != "Z";
}

} // namespace

class TestJobControl : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir temp;
    QString small; // 6 photographs
    QString large; // 40 photographs, large enough to keep the thumbnail job busy for a while
    std::unique_ptr<MainWindow> window;
    ScriptedDialogs dialogs;

    template <typename T> T *get(const char *name) { return control<T>(window.get(), name); }
    int rows() { return get<QTableView>("data")->model()->rowCount(); }
    QString cell(int row, int column) { return cellText(get<QTableView>("data"), row, column); }
    int filledCells(int column)
    {
        int filled = 0;
        for (int row = 0; row < rows(); ++row)
            filled += cell(row, column).isEmpty() ? 0 : 1;
        return filled;
    }
    bool generateEnabled() { return get<QPushButton>("generateOrvelleIndex")->isEnabled(); }
    void importFile(const QString &file)
    {
        dialogs.openAnswers << file;
        get<QAction>("actionImport")->trigger();
    }
    // Presses an Update button; the button must be disabled at once and come back when the job ends.
    void runJob(const char *button)
    {
        auto *update = get<QPushButton>(button);
        QVERIFY2(update->isEnabled(), button);
        clickControl(update);
        QVERIFY2(!update->isEnabled(), button);
        QTRY_VERIFY_WITH_TIMEOUT(update->isEnabled(), 60000);
    }
    void useInputModel(bool use) { clickControl(get<QRadioButton>(use ? "useInputModel" : "computeTessel")); }
    // Thumbnails without a job: the photographs themselves.
    void hiresThumbnails()
    {
        clickControl(get<QRadioButton>("useHiresThumbnails"));
        clickControl(get<QPushButton>("updateThumbnails"));
        // The photographs are checked off the window's thread; their cells fill once that is done.
        QTRY_COMPARE(filledCells(1), rows());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(temp.isValid());
        QString why;
        QVERIFY2(makeSample(temp.filePath("small"), 6, "640x480", why, 5000), qPrintable(why));
        QVERIFY2(makeSample(temp.filePath("large"), 40, "1600x1200", why, 5000), qPrintable(why));
        small = QDir(temp.filePath("small")).canonicalPath();
        large = QDir(temp.filePath("large")).canonicalPath();
    }

    void init()
    {
        dialogs = ScriptedDialogs();
        window = std::make_unique<MainWindow>();
        window->setDialogProvider(&dialogs);
        window->setBuilderProgram(QStringLiteral(ORVELLE_BIN_DIR "/tessel/tslbuilder"));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup()
    {
        window.reset();
        // Thumbnails of one test must not be found by the next.
        QDir(small + "/photos/thumbnails").removeRecursively();
        QDir(large + "/photos/thumbnails").removeRecursively();
    }

    // A full run on one dataset, then another import: a failed one leaves exactly the first
    // dataset; a good one shows exactly what a fresh window shows for it.
    void importAfterAFullRun_data()
    {
        QTest::addColumn<QString>("file"); // in the small sample's folder
        QTest::addColumn<bool>("accepted");
        QTest::newRow("truncated project") << "truncated.pfp" << false;
        QTest::newRow("model missing") << "nomodel.pfp" << false;
        QTest::newRow("no photograph found") << "nophotos.pfp" << false;
        QTest::newRow("upper-case suffix") << "SAMPLE.PFP" << true;
        QTest::newRow("another dataset") << "../large/sample.pfp" << true;
    }
    void importAfterAFullRun()
    {
        QFETCH(QString, file);
        QFETCH(bool, accepted);
        QFile sample(small + "/sample.pfp");
        QVERIFY(sample.open(QIODevice::ReadOnly));
        const QByteArray project = sample.readAll();
        QVERIFY(writeFile(small + "/truncated.pfp", project.left(project.size() / 2)));
        QVERIFY(writeFile(small + "/nomodel.pfp",
                          QByteArray(project).replace("model/scene.ply", "model/absent.ply")));
        QVERIFY(writeFile(small + "/nophotos.pfp", QByteArray(project).replace("photos/", "elsewhere/")));
        QVERIFY(writeFile(small + "/SAMPLE.PFP", project));

        importFile(small + "/sample.pfp");
        runJob("updateThumbnails");
        runJob("updateDepths");
        runJob("updateOrderingAndSemantic");
        runJob("updateTesselModel");
        QVERIFY(generateEnabled());
        const QStringList before = describeDataset(window.get());
        dialogs.shown.clear();

        dialogs.questionAnswers << QMessageBox::Discard; // the values are not written yet
        importFile(small + "/" + file);
        if (!accepted) {
            QCOMPARE(dialogs.ofKind("warning").size(), 1);
            QCOMPARE(describeDataset(window.get()), before);
            return;
        }
        QVERIFY2(dialogs.ofKind("warning").isEmpty(), qPrintable(dialogs.ofKind("warning").value(0).text));
        ScriptedDialogs freshDialogs;
        MainWindow fresh;
        fresh.setDialogProvider(&freshDialogs);
        freshDialogs.openAnswers << small + "/" + file;
        control<QAction>(&fresh, "actionImport")->trigger();
        QCOMPARE(describeDataset(window.get()), describeDataset(&fresh));
        // Generation waits for the new dataset's own multiresolution model.
        QVERIFY(!generateEnabled());
        QCOMPARE(get<QLabel>("tesselStatus")->text(), QString());
    }

    // The cameras say where up is (the sample's point to +Z); a new dataset takes its own again.
    void upDirectionFromTheCameras()
    {
        const auto up = [this] {
            return ksr::Point3f(float(get<QDoubleSpinBox>("upDirX")->value()),
                                float(get<QDoubleSpinBox>("upDirY")->value()),
                                float(get<QDoubleSpinBox>("upDirZ")->value()));
        };
        importFile(small + "/sample.pfp");
        QCOMPARE(up(), ksr::Point3f(0, 0, 1));
        QVERIFY2(window->statusBar()->currentMessage().contains("Up direction from the cameras: +Z"),
                 qPrintable(window->statusBar()->currentMessage()));
        clickControl(get<QPushButton>("upDirPlusY"));
        QCOMPARE(window->session().request().settings.upDirection, ksr::Point3f(0, 1, 0));
        clickControl(get<QPushButton>("upDirFromCameras"));
        QCOMPARE(up(), ksr::Point3f(0, 0, 1));
        clickControl(get<QPushButton>("upDirMinusX"));
        importFile(small + "/sample.pfp");
        QCOMPARE(up(), ksr::Point3f(0, 0, 1));
    }

    void updateButtonsWhileJobsRun()
    {
        importFile(small + "/sample.pfp");
        QCOMPARE(rows(), 6);
        auto *thumbnails = get<QPushButton>("updateThumbnails");
        auto *depths = get<QPushButton>("updateDepths");
        auto *ordering = get<QPushButton>("updateOrderingAndSemantic");

        // Two different jobs may run side by side; each button waits for its own job only.
        clickControl(thumbnails);
        QVERIFY(!thumbnails->isEnabled());
        QVERIFY(depths->isEnabled());
        clickControl(depths);
        QVERIFY(!depths->isEnabled());
        QVERIFY(!thumbnails->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(thumbnails->isEnabled() && depths->isEnabled(), 60000);
        QCOMPARE(filledCells(1), 6);
        QCOMPARE(filledCells(3), 6);
        QCOMPARE(get<QProgressBar>("thumbnailsComputationProgress")->value(), 100);
        QCOMPARE(get<QProgressBar>("depthComputationProgress")->value(), 100);

        runJob("updateOrderingAndSemantic");
        QCOMPARE(filledCells(4), 6);
        QCOMPARE(filledCells(5), 6);
        QVERIFY(ordering->isEnabled());
        QVERIFY(dialogs.shown.size() == 1); // the import's file dialog only

        // Readiness after each job: everything filled, but no multiresolution model yet.
        QVERIFY(!generateEnabled());
        useInputModel(true);
        runJob("updateOrderingAndSemantic");
        QVERIFY(generateEnabled());
        // Generation waits while a job is about to replace values.
        clickControl(ordering);
        QVERIFY(!generateEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(ordering->isEnabled(), 60000);
        QVERIFY(generateEnabled());
    }

    void builderRunsOnceAtATime()
    {
        importFile(small + "/sample.pfp");
        const QString log = temp.filePath("starts.log");
        QFile::remove(log);
        const QString builder = temp.filePath("slow-builder.sh");
        QVERIFY(
            writeBuilder(builder, "echo $$ >> '" + log.toUtf8() + "'\nsleep 1\necho 'Uniforming normals'"));
        window->setBuilderProgram(builder);
        QCOMPARE(window->builderProgram(), builder);

        auto *update = get<QPushButton>("updateTesselModel");
        clickControl(update);
        QVERIFY(!update->isEnabled());
        // A second start while the first runs is refused.
        window->computeTessel();
        QTRY_VERIFY_WITH_TIMEOUT(update->isEnabled(), 20000);
        QFile starts(log);
        QVERIFY(starts.open(QIODevice::ReadOnly));
        QCOMPARE(starts.readAll().count('\n'), 1);
        QCOMPARE(get<QLabel>("tesselStatus")->text(), QString("Ready!"));
        QCOMPARE(get<QProgressBar>("tesselComputationProgress")->value(), 100);
    }

    void builderFailures_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("message");
        QTest::newRow("crash") << QByteArray("echo 'Building multipartition'\nkill -SEGV $$") << "Crashed";
        QTest::newRow("exit code") << QByteArray("echo 'cannot read the model' >&2\nexit 3")
                                   << "Exited with code 3\ncannot read the model";
        QTest::newRow("missing") << QByteArray() << "Failed to start";
    }
    void builderFailures()
    {
        QFETCH(QByteArray, script);
        QFETCH(QString, message);
        importFile(small + "/sample.pfp");
        // Every other column is filled, so only the builder decides.
        hiresThumbnails();
        runJob("updateDepths");
        runJob("updateOrderingAndSemantic");
        QVERIFY(!generateEnabled());

        const QString builder = temp.filePath(QString("builder-%1.sh").arg(QTest::currentDataTag()));
        if (!script.isEmpty())
            QVERIFY(writeBuilder(builder, script));
        window->setBuilderProgram(script.isEmpty() ? temp.filePath("no-such-builder") : builder);
        dialogs.shown.clear();
        runJob("updateTesselModel");

        const QList<ScriptedDialogs::Shown> boxes = dialogs.ofKind("information");
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].title, QString("\"tesselbuilder\" error"));
        QCOMPARE(boxes[0].text, message);
        QCOMPARE(boxes[0].parent, nullptr);
        QCOMPARE(get<QLabel>("tesselStatus")->text(), QString("Error!"));
        QVERIFY(!generateEnabled());

        // The input model does not need the builder.
        useInputModel(true);
        runJob("updateOrderingAndSemantic");
        QVERIFY(generateEnabled());
        useInputModel(false);
        runJob("updateOrderingAndSemantic");
        QVERIFY(!generateEnabled());

        // With the multiresolution model, only a new successful build enables generation again.
        window->setBuilderProgram(QStringLiteral(ORVELLE_BIN_DIR "/tessel/tslbuilder"));
        runJob("updateTesselModel");
        QCOMPARE(get<QLabel>("tesselStatus")->text(), QString("Ready!"));
        QVERIFY(generateEnabled());
    }

    void builderNeverWritesOverItsInput()
    {
        importFile(small + "/sample.pfp");
        // A builder that writes whatever it is given after -o.
        const QString builder = temp.filePath("writing-builder.sh");
        QVERIFY(writeBuilder(builder,
                             "while [ $# -gt 0 ]; do [ \"$1\" = -o ] && echo built > \"$2\"; shift; done"));
        window->setBuilderProgram(builder);
        const QString model = temp.filePath("own/scene.tsl");
        QVERIFY(writeFile(model, "the user's model"));
        QVERIFY(QFile::link(temp.filePath("own"), temp.filePath("alias")));

        get<QLineEdit>("modelName")->setText(model);
        get<QLineEdit>("tesselModelName")->setText(temp.filePath("alias/../alias/scene.tsl"));
        dialogs.shown.clear();
        clickControl(get<QPushButton>("updateTesselModel"));
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].kind, QString("warning"));
        QVERIFY(get<QPushButton>("updateTesselModel")->isEnabled());
        QTest::qWait(200);
        QFile kept(model);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("the user's model"));

        // Another output is built as asked.
        get<QLineEdit>("tesselModelName")->setText(temp.filePath("own/other.tsl"));
        runJob("updateTesselModel");
        QCOMPARE(get<QLabel>("tesselStatus")->text(), QString("Ready!"));
        QVERIFY(QFileInfo::exists(temp.filePath("own/other.tsl")));
    }

    void depthsNotComputedAfterImport()
    {
        importFile(small + "/sample.pfp");
        useInputModel(true);
        clickControl(get<QRadioButton>("doNotComputeDepths"));
        clickControl(get<QPushButton>("updateDepths"));
        QCOMPARE(get<QProgressBar>("depthComputationProgress")->value(), 100);
        QCOMPARE(filledCells(3), 0);
        hiresThumbnails();
        QCOMPARE(filledCells(1), 6);
        QVERIFY(!get<QPushButton>("updateOrderingAndSemantic")->isEnabled());
        QVERIFY(!generateEnabled());
    }

    void noRowsNeverEnablesGeneration()
    {
        useInputModel(true);
        window->computeThumbnails();
        window->computeDepths();
        QVERIFY(!generateEnabled());

        // A project with a model but no photograph is refused: still nothing to generate.
        QVERIFY(writeFile(temp.filePath("empty/model.ply"), "ply\n"));
        QVERIFY(writeFile(temp.filePath("empty/empty.pfp"), projectText({}, {"model.ply"})));
        importFile(temp.filePath("empty/empty.pfp"));
        QCOMPARE(rows(), 0);
        QCOMPARE(dialogs.ofKind("warning").size(), 1);
        QVERIFY(!get<QPushButton>("updateThumbnails")->isEnabled());
        QVERIFY(!generateEnabled());
    }

    void failuresToldOncePerJob()
    {
        // Three photographs, two of which do not decode; a model file that holds no mesh.
        const QString dir = temp.filePath("broken");
        QImage picture(320, 240, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(picture.save(dir + "/good.jpg"));
        QVERIFY(writeFile(dir + "/bad1.jpg", "not a photograph"));
        QVERIFY(writeFile(dir + "/bad2.jpg", QByteArray(100, '\xff')));
        QVERIFY(writeFile(dir + "/model.ply", "ply\nformat ascii 1.0\nend_header\n"));
        const QList<Raster> rasters = {{testCamera(35, {0, 0, 10}), "good.jpg"},
                                       {testCamera(35, {0, 1, 10}), "bad1.jpg"},
                                       {testCamera(35, {0, 2, 10}), "bad2.jpg"}};
        QVERIFY(writeFile(dir + "/broken.pfp", projectText({rasters}, {"model.ply"})));
        importFile(dir + "/broken.pfp");
        QCOMPARE(rows(), 3);
        dialogs.shown.clear();

        runJob("updateThumbnails");
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].kind, QString("warning"));
        QVERIFY2(dialogs.shown[0].text.contains(QRegularExpression("^2 thumbnails could not be made:")),
                 qPrintable(dialogs.shown[0].text));
        QVERIFY(dialogs.shown[0].text.contains("Photograph 2:"));
        QVERIFY(dialogs.shown[0].text.contains("Photograph 3:"));
        QCOMPARE(cell(0, 1), QDir(dir).canonicalPath() + "/thumbnails/good.jpg");
        QCOMPARE(cell(1, 1), QString());
        QCOMPARE(cell(2, 1), QString());

        dialogs.shown.clear();
        runJob("updateDepths");
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].kind, QString("warning"));
        QCOMPARE(dialogs.shown[0].parent, window.get());
        QCOMPARE(filledCells(3), 0);

        dialogs.shown.clear();
        runJob("updateOrderingAndSemantic");
        QCOMPARE(dialogs.shown.size(), 1);
        QVERIFY2(dialogs.shown[0].text.contains("bad1.jpg") && dialogs.shown[0].text.contains("bad2.jpg"),
                 qPrintable(dialogs.shown[0].text));
        QVERIFY(!dialogs.shown[0].text.contains("good.jpg"));
        QVERIFY(!generateEnabled());
    }

    void startViewInThePreview()
    {
        auto *preview = window->findChild<OrientationWidget *>();
        QVERIFY(preview);
        QCOMPARE(preview->minimumSize(), QSize(100, 100));
        auto *x = get<QDoubleSpinBox>("upDirX");
        auto *y = get<QDoubleSpinBox>("upDirY");
        auto *z = get<QDoubleSpinBox>("upDirZ");
        auto up = [&] {
            const ksr::Matrix44f &frame = preview->pose().upFrame;
            return ksr::Point3f(frame.m[0][1], frame.m[1][1], frame.m[2][1]);
        };
        auto near = [](const ksr::Point3f &a, const ksr::Point3f &b) {
            return (a - b).length() < 1e-4f * (1.0f + b.length());
        };

        // Before any import there is no start camera: the preview stays as it was built.
        clickControl(get<QPushButton>("upDirPlusZ"));
        QVERIFY(near(up(), {0, 1, 0}));
        QVERIFY(near(preview->pose().position, {0, 0, 0}));

        importFile(small + "/sample.pfp");
        auto *start = get<QSpinBox>("startShot");
        start->setValue(2);
        Camera second;
        QVERIFY(CameraElement::parseCameraText(cell(1, 2).toUtf8(), second));
        QVERIFY2(near(preview->pose().position, second.center.toFloat()),
                 qPrintable(QString::number((preview->pose().position - second.center.toFloat()).length())));

        clickControl(get<QPushButton>("upDirPlusX")); // +Z was left checked: +X replaces it
        QVERIFY(near(up(), {1, 0, 0}));
        clickControl(get<QPushButton>("upDirPlusZ"));
        QVERIFY(near(up(), {0, 0, 1}));
        QCOMPARE(QList<double>({x->value(), y->value(), z->value()}), QList<double>({0, 0, 1}));

        x->setValue(0);
        y->setValue(0);
        z->setValue(2);
        QVERIFY(near(up(), {0, 0, 1}));
        QVERIFY(get<QPushButton>("upDirPlusZ")->isChecked());
        x->setValue(1);
        y->setValue(1);
        z->setValue(0);
        const float half = std::sqrt(0.5f);
        QVERIFY(near(up(), {half, half, 0}));
        for (const char *name :
             {"upDirMinusX", "upDirMinusY", "upDirMinusZ", "upDirPlusX", "upDirPlusY", "upDirPlusZ"})
            QVERIFY2(!get<QPushButton>(name)->isChecked(), name);
        QVERIFY(near(preview->pose().position, second.center.toFloat()));

        // The preview follows the model field.
        QCOMPARE(preview->modelPath(), small + "/model/scene.ply");
        get<QLineEdit>("lowresModel")->setText(small + "/model/scene_lowres.ply");
        QCOMPARE(preview->modelPath(), small + "/model/scene_lowres.ply");
    }

    void reimportDropsResultsOfEarlierJobs()
    {
        importFile(large + "/sample.pfp");
        QCOMPARE(rows(), 40);
        clickControl(get<QPushButton>("updateThumbnails"));
        QTRY_VERIFY_WITH_TIMEOUT(filledCells(1) > 0, 30000);
        QVERIFY2(filledCells(1) < 40, "the thumbnail job ended too early for this test");

        // Another project of as many rows: any result of the earlier job would find a row.
        // Asked first; kept on Cancel.
        QVERIFY(QFile::copy(large + "/sample.pfp", large + "/again.pfp"));
        dialogs.questionAnswers << QMessageBox::Cancel;
        importFile(large + "/again.pfp");
        QCOMPARE(dialogs.ofKind("question").value(0).title, QString("Discard the work?"));
        QVERIFY(window->session().isRunning(StepKind::Thumbnails));
        QCOMPARE(window->dataset().datasetFile, large + "/sample.pfp");
        dialogs.questionAnswers << QMessageBox::Discard;
        importFile(large + "/again.pfp");
        QCOMPARE(window->dataset().datasetFile, large + "/again.pfp");
        QVERIFY(!window->session().isAnyRunning());
        QVERIFY(!get<QPushButton>("cancelThumbnails")->isEnabled());
        QVERIFY(get<QPushButton>("updateThumbnails")->isEnabled());
        QCOMPARE(rows(), 40);
        QTest::qWait(500);
        QCOMPARE(filledCells(1), 0);
        // The earlier job was asked to stop, and did.
        const QDir thumbnails(large + "/photos/thumbnails");
        const qsizetype written = thumbnails.entryList(QDir::Files).size();
        QVERIFY(written < 40);
        QTest::qWait(300);
        QCOMPARE(thumbnails.entryList(QDir::Files).size(), written);

        runJob("updateThumbnails");
        QCOMPARE(filledCells(1), 40);
        for (int row = 0; row < 40; ++row)
            QVERIFY2(cell(row, 1).startsWith(large + "/photos/thumbnails/"), qPrintable(cell(row, 1)));
    }

    void closingStopsRunningJobs()
    {
        importFile(large + "/sample.pfp");
        const QString pidFile = temp.filePath("builder.pid");
        QFile::remove(pidFile);
        const QString builder = temp.filePath("endless-builder.sh");
        QVERIFY(writeBuilder(builder, "echo $$ > '" + pidFile.toUtf8() + "'\nexec sleep 60"));
        window->setBuilderProgram(builder);
        QSignalSpy terminated(window.get(), &MainWindow::terminate);

        clickControl(get<QPushButton>("updateTesselModel"));
        clickControl(get<QPushButton>("updateDepths"));
        clickControl(get<QPushButton>("updateThumbnails"));
        QTRY_VERIFY_WITH_TIMEOUT(filledCells(1) > 0 && QFileInfo(pidFile).size() > 0, 30000);
        QVERIFY2(filledCells(1) < 40, "the thumbnail job ended too early for this test");
        QFile pidText(pidFile);
        QVERIFY(pidText.open(QIODevice::ReadOnly));
        const qint64 pid = pidText.readAll().trimmed().toLongLong();
        QVERIFY(processAlive(pid));

        QElapsedTimer clock;
        clock.start();
        dialogs.questionAnswers << QMessageBox::Discard;
        QVERIFY(window->close());
        QCOMPARE(dialogs.ofKind("question").size(), 1);
        // Workers stop at their next photograph: closing does not wait for the whole dataset.
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(terminated.count(), 1);
        // Closing itself, not the end of the window object, stops the builder and the workers.
        QTRY_VERIFY(!processAlive(pid));
        const QDir thumbnails(large + "/photos/thumbnails");
        const qsizetype written = thumbnails.entryList(QDir::Files).size();
        QVERIFY(written < 40);
        QTest::qWait(500);
        QCOMPARE(thumbnails.entryList(QDir::Files).size(), written);
        window.reset();
        // A builder stopped on purpose is no error to report.
        QCOMPARE(dialogs.ofKind("question").size(), 1);
        QVERIFY(dialogs.ofKind("information").isEmpty());
        QVERIFY(dialogs.ofKind("warning").isEmpty());
    }
};

QTEST_MAIN(TestJobControl)
#include "tst_jobcontrol.moc"
