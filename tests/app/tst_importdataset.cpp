// Importing projects and index files into the window: table rows, model choice, derived
// names, and what the user is told when a file cannot be read.

#include "mainwindow.h"
#include "orvelleindex.h"
#include "shotcollection.h"
#include "windowtestutil.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

class TestImportDataset : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> window;
    ScriptedDialogs dialogs;
    std::unique_ptr<QTemporaryDir> temp;
    QString dir; // canonical path of the temporary folder

    template <typename T> T *get(const char *name) { return control<T>(window.get(), name); }
    QString text(const char *lineEdit) { return get<QLineEdit>(lineEdit)->text(); }
    QTableWidget *table() { return get<QTableWidget>("data"); }
    QString cell(int row, int column)
    {
        const QTableWidgetItem *item = table()->item(row, column);
        return item ? item->text() : QString();
    }
    QString touch(const QString &relative)
    {
        const QString path = dir + "/" + relative;
        if (!writeTextFile(path, "x"))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    // Runs File > Import... with the given answer to the file dialog.
    void importFile(const QString &fileName)
    {
        dialogs.openAnswers << fileName;
        get<QAction>("actionImport")->trigger();
    }

private slots:
    void init()
    {
        temp = std::make_unique<QTemporaryDir>();
        QVERIFY(temp->isValid());
        dir = QFileInfo(temp->path()).canonicalFilePath();
        dialogs = ScriptedDialogs();
        window = std::make_unique<MainWindow>();
        window->setDialogProvider(&dialogs);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup()
    {
        window.reset();
        temp.reset();
    }

    void cancelledDialogChangesNothing()
    {
        table()->setRowCount(2);
        table()->setItem(0, 0, new QTableWidgetItem("/kept.jpg"));
        importFile(QString());
        QCOMPARE(cell(0, 0), QString("/kept.jpg"));
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].title, QString("Open file"));
        QVERIFY(dialogs.shown[0].text.startsWith("Polyforge project (*.pfp);;Orvelle index file (*.orx);;"));
        QCOMPARE(text("outputIndexFilename"), QString());
    }

    // Two raster groups, relative and absolute names, a missing image, two models.
    void importProject()
    {
        const QString a = touch("img/a.jpg");
        const QString elsewhere = touch("other/b.jpg");
        touch("first.ply");
        const QString second = touch("models/second.ply");
        const Camera ca = testCamera(35, {1, 2, 3});
        const Camera cb = testCamera(50, {4, 5, 6});
        const Camera cc = testCamera(24, {7, 8, 9});
        const QString project = dir + "/site.pfp";
        QVERIFY(writeTextFile(project,
                              projectText({{{ca, "img/a.jpg"}, {cb, elsewhere}}, {{cc, "img/missing.jpg"}}},
                                          {"first.ply", "models/second.ply"})));

        dialogs.questionAnswers << QMessageBox::No << QMessageBox::Ok;
        importFile(project);

        QCOMPARE(table()->rowCount(), 3);
        QCOMPARE(cell(0, 0), a);
        QCOMPARE(cell(1, 0), elsewhere);
        QCOMPARE(cell(2, 0), QString()); // a relative name that does not resolve stays empty
        QCOMPARE(cell(0, 2), CameraElement::cameraText(ca, "ksrCamera"));
        QCOMPARE(cell(1, 2), CameraElement::cameraText(cb, "ksrCamera"));
        QCOMPARE(cell(2, 2), CameraElement::cameraText(cc, "ksrCamera"));
        QVERIFY(cell(0, 2).startsWith("<ksrCamera RotationMatrix="));
        for (int column : {1, 3, 4, 5})
            QCOMPARE(cell(0, column), QString());

        // Asked about the first model, then the second, which was accepted.
        const QList<ScriptedDialogs::Shown> questions = dialogs.ofKind("question");
        QCOMPARE(questions.size(), 2);
        QCOMPARE(questions[0].title, QString("Too many models"));
        QCOMPARE(questions[0].text, QString("More than one model has been found in the specified dataset.\n"
                                            "Should I use \"first.ply\" ?"));
        QCOMPARE(questions[1].text, QString("More than one model has been found in the specified dataset.\n"
                                            "Should I use \"models/second.ply\" ?"));
        QCOMPARE(questions[0].parent, window.get());
        QCOMPARE(text("modelName"), second);
        QCOMPARE(text("lowresModel"), second);
        QCOMPARE(text("tesselModelName"), dir + "/models/second.tsl");
        QCOMPARE(text("sceneName"), QString("second"));
        QCOMPARE(text("outputIndexFilename"), dir + "/site_generated.orx");
        QVERIFY(dialogs.ofKind("warning").isEmpty());

        auto *start = get<QSpinBox>("startShot");
        QCOMPARE(start->minimum(), 1);
        QCOMPARE(start->maximum(), 3);
        QCOMPARE(start->value(), 1);
        QVERIFY(start->isEnabled());

        QVERIFY(get<QPushButton>("updateThumbnails")->isEnabled());
        QVERIFY(get<QPushButton>("updateDepths")->isEnabled());
        QVERIFY(get<QPushButton>("updateTesselModel")->isEnabled());
        QVERIFY(!get<QPushButton>("updateOrderingAndSemantic")->isEnabled());
        QVERIFY(!get<QPushButton>("generateOrvelleIndex")->isEnabled());
    }

    void twoModelsRefusedKeepPreviousModel()
    {
        touch("a.ply");
        touch("b.ply");
        touch("img/a.jpg");
        const QString project = dir + "/p.pfp";
        QVERIFY(
            writeTextFile(project, projectText({{{testCamera(35, {}), "img/a.jpg"}}}, {"a.ply", "b.ply"})));
        get<QLineEdit>("modelName")->setText("/earlier/model.ply");

        dialogs.questionAnswers << QMessageBox::No << QMessageBox::No;
        importFile(project);

        QCOMPARE(dialogs.ofKind("question").size(), 2);
        QCOMPARE(text("modelName"), QString("/earlier/model.ply"));
        QCOMPARE(table()->rowCount(), 1);
        QVERIFY(dialogs.ofKind("warning").isEmpty());
        QVERIFY(get<QPushButton>("updateDepths")->isEnabled());
    }

    // Names with two dots: the output stops at the first dot, scene and .tsl at the last.
    void derivedNames()
    {
        touch("mesh.old.ply");
        touch("img/a.jpg");
        const QString project = dir + "/site.old.pfp";
        QVERIFY(writeTextFile(project, projectText({{{testCamera(35, {}), "img/a.jpg"}}}, {"mesh.old.ply"})));
        importFile(project);
        QCOMPARE(text("outputIndexFilename"), dir + "/site_generated.orx");
        QCOMPARE(text("sceneName"), QString("mesh.old"));
        QCOMPARE(text("tesselModelName"), dir + "/mesh.old.tsl");
        QCOMPARE(text("modelName"), dir + "/mesh.old.ply");
        QVERIFY(dialogs.ofKind("question").isEmpty());
    }

    void importIndexWrittenByWriter()
    {
        const QString a = touch("img/a.jpg");
        const QString b = touch("img/b.jpg");
        const QString model = touch("mesh.ply");
        const Camera ca = testCamera(35, {1, 2, 3});
        const Camera cb = testCamera(50, {-4, 0.5f, 6});
        ShotCollection collection;
        collection.setImagePaths({a, b});
        collection.setCameras({ca, cb});
        collection.setDepths({2.5f, 3.5f});
        OrvelleIndex index;
        index.setModelFileName(model);
        index.addCollection(collection);
        const QString file = dir + "/earlier.orx";
        QVERIFY(index.save(file, true));

        importFile(file);

        QVERIFY2(dialogs.ofKind("warning").isEmpty(), qPrintable(dialogs.shown.value(1).text));
        QCOMPARE(table()->rowCount(), 2);
        QCOMPARE(cell(0, 0), a);
        QCOMPARE(cell(1, 0), b);
        QCOMPARE(cell(0, 2), CameraElement::cameraText(ca, "ksrCamera"));
        QCOMPARE(cell(1, 2), CameraElement::cameraText(cb, "ksrCamera"));
        QCOMPARE(text("modelName"), model);
        QCOMPARE(text("sceneName"), QString("mesh"));
        QCOMPARE(text("outputIndexFilename"), dir + "/earlier_generated.orx");
        QCOMPARE(get<QSpinBox>("startShot")->maximum(), 2);
    }

    // Shots stored in another display order keep their own camera.
    void indexInDisplayOrderKeepsCamerasWithTheirImages()
    {
        const QString a = touch("a.jpg");
        const QString b = touch("b.jpg");
        const Camera ca = testCamera(35, {1, 0, 0});
        const Camera cb = testCamera(50, {0, 1, 0});
        auto shot = [](int id, const char *image, const Camera &camera) {
            return QByteArray("<shot id=\"") + QByteArray::number(id) + "\" sem=\"1\" colormap=\"./" + image +
                   "\" thumbnail=\"./" + image + "\" projectable=\"true\" depth=\"1\">" +
                   CameraElement::cameraText(camera, "KSRCamera").toUtf8() + "</shot>";
        };
        const QByteArray xml =
            "<scene updirection=\"0 1 0\"><collection thumbnailBar=\"bottom\" shotColor=\"1 1 1 \">" +
            shot(1, "a.jpg", ca) + shot(0, "b.jpg", cb) + "</collection></scene>";
        QVERIFY(writeTextFile(dir + "/swapped.orx", xml));
        importFile(dir + "/swapped.orx");
        QCOMPARE(table()->rowCount(), 2);
        QCOMPARE(cell(0, 0), b);
        QCOMPARE(cell(0, 2), CameraElement::cameraText(cb, "ksrCamera"));
        QCOMPARE(cell(1, 0), a);
        QCOMPARE(cell(1, 2), CameraElement::cameraText(ca, "ksrCamera"));
    }

    void upperCaseSuffixReadsNothing()
    {
        const QString model = touch("mesh.ply");
        ShotCollection collection;
        collection.setImagePaths({touch("a.jpg")});
        collection.setCameras({testCamera(35, {})});
        OrvelleIndex index;
        index.setModelFileName(model);
        index.addCollection(collection);
        QVERIFY(index.save(dir + "/upper.ORX", false));

        importFile(dir + "/upper.ORX");
        QCOMPARE(table()->rowCount(), 0);
        QCOMPARE(text("modelName"), QString());
        QCOMPARE(text("outputIndexFilename"), dir + "/upper_generated.orx");
        const QList<ScriptedDialogs::Shown> warnings = dialogs.ofKind("warning");
        QCOMPARE(warnings.size(), 1);
        QCOMPARE(warnings[0].title, QString("Imported dataset error!"));
        QCOMPARE(warnings[0].text, QString("No model found in the specified dataset!"));
        QCOMPARE(warnings[0].parent, window.get());
        QVERIFY(!get<QPushButton>("updateDepths")->isEnabled());
    }

    // A file that cannot be read is reported once, with the reader's words, before the usual
    // no-model warning.
    void failedImportIsReported_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("index not xml") << "broken.orx" << QByteArray("<scene><collection")
                                       << "Wrong file format" << QStringList{"Failed to parse index file!"};
        QTest::newRow("empty index") << "empty.orx" << QByteArray() << "Wrong file format"
                                     << QStringList{"Failed to parse index file!"};
        QTest::newRow("wrong root") << "root.orx" << QByteArray("<index/>") << "Wrong index file format"
                                    << QStringList{
                                           "Expected \"scene|PolyforgeProject\" tag, but found \"index\"!"};
        QTest::newRow("two missing camera attributes")
            << "cams.orx"
            << QByteArray(
                   "<scene><collection thumbnailBar=\"bottom\" shotColor=\"1 1 1\">"
                   "<shot id=\"0\" sem=\"1\" colormap=\"./a.jpg\" thumbnail=\"./a.jpg\" projectable=\"true\" "
                   "depth=\"1\"><KSRCamera/></shot>"
                   "<shot id=\"1\" sem=\"1\" colormap=\"./a.jpg\" thumbnail=\"./a.jpg\" projectable=\"true\" "
                   "depth=\"1\"><KSRCamera/></shot></collection></scene>")
            << "Wrong index file format"
            << QStringList{"Expected \"TranslationVector\" attribute in tag \"KSRCamera\"!",
                           "Expected \"TranslationVector\" attribute in tag \"KSRCamera\"!"};
        QTest::newRow("project not xml") << "broken.pfp" << QByteArray("<PolyforgeProject><RasterGroup>")
                                         << "Wrong file format" << QStringList{"could not be read"};
    }
    void failedImportIsReported()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        QFETCH(QString, title);
        QFETCH(QStringList, lines);
        QVERIFY(writeTextFile(dir + "/" + fileName, content));

        importFile(dir + "/" + fileName);

        const QList<ScriptedDialogs::Shown> warnings = dialogs.ofKind("warning");
        QCOMPARE(warnings.size(), 2);
        QCOMPARE(warnings[0].title, title);
        QCOMPARE(warnings[0].parent, window.get());
        const QStringList shownLines = warnings[0].text.split('\n');
        for (int i = 0; i < lines.size(); ++i)
            QVERIFY2(shownLines.value(i).contains(lines[i]), qPrintable(warnings[0].text));
        QCOMPARE(warnings[1].text, QString("No model found in the specified dataset!"));
        QVERIFY(!get<QPushButton>("generateOrvelleIndex")->isEnabled());
        // Without a model nothing is derived from an empty name (no "/.tsl").
        QCOMPARE(text("tesselModelName"), QString());
        QCOMPARE(text("sceneName"), QString());
    }

    void unreadableProjectSaysSo()
    {
        importFile(dir + "/absent.pfp");
        const QList<ScriptedDialogs::Shown> warnings = dialogs.ofKind("warning");
        QCOMPARE(warnings.size(), 2);
        QCOMPARE(warnings[0].text.section('\n', 0, 0),
                 QString("The project file \"%1\" could not be read.")
                     .arg(QDir::toNativeSeparators(dir + "/absent.pfp")));
        QCOMPARE(table()->rowCount(), 0);
    }

    // A well-formed index without any collection: no shots, but its model is taken.
    void indexWithoutCollection()
    {
        const QString model = touch("mesh.ply");
        QVERIFY(writeTextFile(dir + "/bare.orx", "<scene><model filename=\"./mesh.ply\"/></scene>"));
        table()->setRowCount(4);
        importFile(dir + "/bare.orx");
        QCOMPARE(table()->rowCount(), 0);
        QCOMPARE(text("modelName"), model);
        QVERIFY(dialogs.ofKind("warning").isEmpty());
        QVERIFY(!get<QSpinBox>("startShot")->isEnabled());
    }

    // A collection with a non-projectable shot has fewer cameras than images: no camera is
    // paired with the wrong image, and the user hears why the column is empty.
    void indexWithShotWithoutCamera()
    {
        touch("a.jpg");
        touch("b.jpg");
        const QByteArray xml = "<scene><collection thumbnailBar=\"bottom\" shotColor=\"1 1 1\">"
                               "<shot id=\"0\" sem=\"1\" colormap=\"./a.jpg\" thumbnail=\"./a.jpg\" "
                               "projectable=\"false\" depth=\"1\"/>"
                               "<shot id=\"1\" sem=\"2\" colormap=\"./b.jpg\" thumbnail=\"./b.jpg\" "
                               "projectable=\"true\" depth=\"1\">" +
                               CameraElement::cameraText(testCamera(35, {}), "KSRCamera").toUtf8() +
                               "</shot></collection></scene>";
        QVERIFY(writeTextFile(dir + "/partial.orx", xml));
        importFile(dir + "/partial.orx");
        QCOMPARE(table()->rowCount(), 2);
        QCOMPARE(cell(0, 2), QString());
        QCOMPARE(cell(1, 2), QString());
        const QList<ScriptedDialogs::Shown> warnings = dialogs.ofKind("warning");
        QVERIFY(warnings.size() >= 1);
        QVERIFY2(warnings[0].text.contains("2 shots but 1 cameras"), qPrintable(warnings[0].text));
    }

    // A second import starts from a clean table and re-evaluates what may be pressed.
    void reimportClearsStaleState()
    {
        touch("mesh.ply");
        for (const char *image : {"a.jpg", "b.jpg", "c.jpg"})
            touch(image);
        QVERIFY(writeTextFile(dir + "/three.pfp", projectText({{{testCamera(35, {}), "a.jpg"},
                                                                {testCamera(35, {}), "b.jpg"},
                                                                {testCamera(35, {}), "c.jpg"}}},
                                                              {"mesh.ply"})));
        QVERIFY(writeTextFile(
            dir + "/two.pfp",
            projectText({{{testCamera(35, {}), "a.jpg"}, {testCamera(35, {}), "b.jpg"}}}, {"mesh.ply"})));
        importFile(dir + "/three.pfp");
        for (int row = 0; row < 3; ++row) {
            window->thumbnailCreated(row, "t");
            window->depthComputed(row, 1.0f);
        }
        window->orderComputed({0, 1, 2});
        window->semanticComputed({1, 1, 2});
        window->depthsReady();
        window->tesselReady();
        QVERIFY(get<QPushButton>("generateOrvelleIndex")->isEnabled());
        QVERIFY(get<QPushButton>("updateOrderingAndSemantic")->isEnabled());
        get<QSpinBox>("startShot")->setValue(3);

        importFile(dir + "/two.pfp");
        QCOMPARE(table()->rowCount(), 2);
        for (int column : {1, 3, 4, 5})
            QCOMPARE(cell(0, column), QString());
        QVERIFY(!get<QPushButton>("generateOrvelleIndex")->isEnabled());
        QVERIFY(!get<QPushButton>("updateOrderingAndSemantic")->isEnabled());
        QCOMPARE(get<QSpinBox>("startShot")->value(), 1);
        QCOMPARE(get<QSpinBox>("startShot")->maximum(), 2);

        // After an import of nothing readable, the old rows remain without any item: still no
        // generation, and nothing reads a missing cell.
        QVERIFY(writeTextFile(dir + "/other.txt", "x"));
        importFile(dir + "/other.txt");
        QCOMPARE(cell(0, 0), QString());
        QVERIFY(!get<QPushButton>("generateOrvelleIndex")->isEnabled());
        window->setStartView();
    }

    // The sample that `make run` opens: one row per photograph, every image found.
    void generatedSample()
    {
        const QString generator = QStringLiteral(ORVELLE_BIN_DIR) + "/make-sample-dataset";
        QVERIFY2(QFileInfo::exists(generator), "make-sample-dataset has not been built");
        QProcess process;
        process.start(generator, {dir + "/sample"});
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitCode(), 0);
        QFile project(dir + "/sample/sample.pfp");
        QVERIFY(project.open(QIODevice::ReadOnly));
        const int rasters = int(project.readAll().count("<PFRaster"));
        QVERIFY(rasters > 0);

        importFile(dir + "/sample/sample.pfp");
        QCOMPARE(table()->rowCount(), rasters);
        for (int row = 0; row < rasters; ++row) {
            QVERIFY(QFileInfo::exists(cell(row, 0)));
            QVERIFY(cell(row, 2).startsWith("<ksrCamera"));
        }
        QVERIFY(!text("modelName").isEmpty());
        QVERIFY(dialogs.ofKind("warning").isEmpty());
        QVERIFY(get<QPushButton>("updateDepths")->isEnabled());
    }

    void realProject()
    {
        const QString data = QStringLiteral(ORVELLE_TEST_DATA) + "/sceaux";
        QVERIFY(QFileInfo::exists(data + "/sceaux.pfp"));
        dialogs.questionAnswers << QMessageBox::No << QMessageBox::Ok;
        importFile(data + "/sceaux.pfp");
        QCOMPARE(table()->rowCount(), 10);
        for (int row = 0; row < 10; ++row) {
            QVERIFY(!cell(row, 2).isEmpty());
            QCOMPARE(
                cell(row, 0),
                QFileInfo(data + QString("/images/%1.jpg").arg(row, 5, 10, QChar('0'))).canonicalFilePath());
        }
        QCOMPARE(QFileInfo(text("modelName")).fileName(), QString("scene_mesh.ply"));
    }
};

QTEST_MAIN(TestImportDataset)
#include "tst_importdataset.moc"
