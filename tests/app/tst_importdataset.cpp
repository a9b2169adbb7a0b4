// Importing projects and index files into the window: table rows, model choice, derived
// names, and what the user is told when a file cannot be read.

#include "mainwindow.h"
#include "orvelleindex.h"
#include "shotcollection.h"
#include "windowtestutil.h"

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
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
    int rows() { return get<QTableView>("data")->model()->rowCount(); }
    QString cell(int row, int column) { return cellText(get<QTableView>("data"), row, column); }
    // A project of one photograph and its model, imported: the dataset a failed import must keep.
    void importOneShot()
    {
        touch("kept/a.jpg");
        touch("kept/kept.ply");
        QVERIFY(
            writeFile(dir + "/kept/kept.pfp", projectText({{{testCamera(35, {}), "a.jpg"}}}, {"kept.ply"})));
        importFile(dir + "/kept/kept.pfp");
        QCOMPARE(rows(), 1);
        dialogs.shown.clear();
    }
    QString touch(const QString &relative)
    {
        const QString path = dir + "/" + relative;
        if (!writeFile(path, "x"))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    // A small real photograph, which also serves as a usable thumbnail.
    QString photo(const QString &relative)
    {
        const QString path = touch(relative);
        QImage picture(16, 12, QImage::Format_RGB32);
        picture.fill(Qt::darkYellow);
        if (!picture.save(path, "JPG"))
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
        QVERIFY(openScriptedWindow(window, dialogs));
    }
    void cleanup()
    {
        window.reset();
        temp.reset();
    }

    void cancelledDialogChangesNothing()
    {
        importOneShot();
        const QStringList before = describeDataset(window.get());
        importFile(QString());
        QCOMPARE(describeDataset(window.get()), before);
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].title, QString("Open file"));
        // Every kind under one filter, the default, then each kind on its own.
        const QStringList filters = dialogs.shown[0].text.split(";;");
        QVERIFY(filters[0].startsWith("All supported files (*.pfp *.orx cameras.txt"));
        for (const char *pattern : {"*.nvm", "*.out", "*.xml", "*.json", "*.sfm", "points3D.bin"})
            QVERIFY2(filters[0].contains(pattern), pattern);
        QCOMPARE(filters.value(1), QString("Polyforge project (*.pfp)"));
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
        QVERIFY(
            writeFile(project, projectText({{{ca, "img/a.jpg"}, {cb, elsewhere}}, {{cc, "img/missing.jpg"}}},
                                           {"first.ply", "models/second.ply"})));

        dialogs.questionAnswers << QMessageBox::No << QMessageBox::Ok;
        importFile(project);

        QCOMPARE(rows(), 3);
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
        // The photograph that is not there is named at once.
        const QList<ScriptedDialogs::Shown> warnings = dialogs.ofKind("warning");
        QCOMPARE(warnings.size(), 1);
        QCOMPARE(warnings[0].title, QString("Photographs not found"));
        QVERIFY2(warnings[0].text.startsWith("1 photograph was not found:\nimg/missing.jpg\n"),
                 qPrintable(warnings[0].text));

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

        // The missing photograph's row names it, greyed, and says where it was looked for; Delete
        // leaves the shot out and the dataset can be finished without it.
        auto *table = get<QTableView>("data");
        const QModelIndex missing = table->model()->index(2, 0);
        QCOMPARE(missing.data().toString(), QString("img/missing.jpg (not found)"));
        QCOMPARE(missing.data(Qt::ForegroundRole).value<QBrush>().color(),
                 QPalette().color(QPalette::Disabled, QPalette::Text));
        QVERIFY2(
            missing.data(Qt::ToolTipRole).toString().contains("Looked for at " + dir + "/img/missing.jpg"),
            qPrintable(missing.data(Qt::ToolTipRole).toString()));
        table->setCurrentIndex(missing);
        window->activateWindow();
        table->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(table, Qt::Key_Delete);
        QCOMPARE(rows(), 2);
        QVERIFY(window->session().missingPhotographs().isEmpty());
        QCOMPARE(start->maximum(), 2);
        QVERIFY(!window->session().runRefusal().has_value() ||
                !window->session().runRefusal()->text.contains("not found"));
    }

    // Declining every model leaves the dataset shown before, its model included.
    void twoModelsRefusedKeepPreviousDataset()
    {
        importOneShot();
        const QStringList before = describeDataset(window.get());
        touch("a.ply");
        touch("b.ply");
        touch("img/a.jpg");
        touch("img/b.jpg");
        const QString project = dir + "/p.pfp";
        QVERIFY(writeFile(
            project, projectText({{{testCamera(35, {}), "img/a.jpg"}, {testCamera(35, {}), "img/b.jpg"}}},
                                 {"a.ply", "b.ply"})));

        dialogs.questionAnswers << QMessageBox::No << QMessageBox::No;
        importFile(project);

        QCOMPARE(dialogs.ofKind("question").size(), 2);
        QCOMPARE(dialogs.ofKind("warning").size(), 1);
        QCOMPARE(dialogs.ofKind("warning")[0].title, QString("No model chosen"));
        QVERIFY(dialogs.ofKind("warning")[0].text.startsWith("Every model of the dataset was declined"));
        QCOMPARE(describeDataset(window.get()), before);
    }

    // Names with two dots: the output stops at the first dot, scene and .tsl at the last.
    void derivedNames()
    {
        touch("mesh.old.ply");
        touch("img/a.jpg");
        const QString project = dir + "/site.old.pfp";
        QVERIFY(writeFile(project, projectText({{{testCamera(35, {}), "img/a.jpg"}}}, {"mesh.old.ply"})));
        importFile(project);
        QCOMPARE(text("outputIndexFilename"), dir + "/site_generated.orx");
        QCOMPARE(text("sceneName"), QString("mesh.old"));
        QCOMPARE(text("tesselModelName"), dir + "/mesh.old.tsl");
        QCOMPARE(text("modelName"), dir + "/mesh.old.ply");
        QVERIFY(dialogs.ofKind("question").isEmpty());
    }

    void importIndexWrittenByWriter()
    {
        const QString a = photo("img/a.jpg");
        const QString b = photo("img/b.jpg");
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
        QCOMPARE(rows(), 2);
        QCOMPARE(cell(0, 0), a);
        QCOMPARE(cell(1, 0), b);
        // What the index holds is shown; what it lacks (thumbnails that are not there) stays empty.
        QCOMPARE(cell(0, 3), QString("2.5"));
        QCOMPARE(cell(1, 3), QString("3.5"));
        QCOMPARE(QStringList({cell(0, 4), cell(1, 4)}), QStringList({"0", "1"}));
        QVERIFY(!cell(0, 5).isEmpty());
        QCOMPARE(cell(0, 1), a); // the writer's default thumbnail is the photograph
        QVERIFY(get<QPushButton>("updateOrderingAndSemantic")->isEnabled());
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
            shot(1, "a.jpg", ca) + shot(0, "b.jpg", cb) +
            "</collection><model filename=\"./m.ply\"/></scene>";
        touch("m.ply");
        QVERIFY(writeFile(dir + "/swapped.orx", xml));
        importFile(dir + "/swapped.orx");
        QCOMPARE(rows(), 2);
        QCOMPARE(cell(0, 0), b);
        QCOMPARE(cell(0, 2), CameraElement::cameraText(cb, "ksrCamera"));
        QCOMPARE(cell(1, 0), a);
        QCOMPARE(cell(1, 2), CameraElement::cameraText(ca, "ksrCamera"));
    }

    // Suffixes are read in any case.
    void upperCaseSuffixIsRead()
    {
        const QString model = touch("mesh.ply");
        const QString photo = touch("a.jpg");
        ShotCollection collection;
        collection.setImagePaths({photo});
        collection.setCameras({testCamera(35, {})});
        OrvelleIndex index;
        index.setModelFileName(model);
        index.addCollection(collection);
        QVERIFY(index.save(dir + "/upper.ORX", false));
        QVERIFY(writeFile(dir + "/SAMPLE.PFP", projectText({{{testCamera(35, {}), "a.jpg"}}}, {"mesh.ply"})));

        for (const char *file : {"/upper.ORX", "/SAMPLE.PFP"}) {
            importFile(dir + file);
            QVERIFY2(dialogs.ofKind("warning").isEmpty(),
                     qPrintable(dialogs.ofKind("warning").value(0).text));
            QCOMPARE(rows(), 1);
            QCOMPARE(cell(0, 0), photo);
            QCOMPARE(text("modelName"), model);
            QVERIFY(get<QPushButton>("updateDepths")->isEnabled());
        }
        QCOMPARE(text("outputIndexFilename"), dir + "/SAMPLE_generated.orx");
    }

    // A dataset that cannot be used is reported once, with the reader's words, and the dataset
    // shown before stays exactly as it was.
    void failedImportKeepsTheDataset_data()
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
        QTest::newRow("truncated project") << "broken.pfp" << QByteArray("<PolyforgeProject><RasterGroup>")
                                           << "Wrong file format" << QStringList{"could not be read"};
        QTest::newRow("absent project")
            << "absent.pfp" << QByteArray() << "Wrong file format" << QStringList{"could not be read"};
        QTest::newRow("model missing")
            << "nomesh.pfp" << projectText({{{testCamera(35, {}), "a.jpg"}}}, {"gone.ply"})
            << "Imported dataset error!"
            << QStringList{"No model found in the specified dataset!", "gone.ply"};
        QTest::newRow("no photograph found")
            << "nophoto.pfp" << projectText({{{testCamera(35, {}), "lost.jpg"}}}, {"mesh.ply"})
            << "Imported dataset error!" << QStringList{"None of the 1 photographs", "lost.jpg"};
        QTest::newRow("index without collection")
            << "bare.orx" << QByteArray("<scene><model filename=\"./mesh.ply\"/></scene>")
            << "Imported dataset error!" << QStringList{"The dataset lists no photograph."};
        QTest::newRow("shot without camera")
            << "partial.orx"
            << QByteArray("<scene><collection thumbnailBar=\"bottom\" shotColor=\"1 1 1\">"
                          "<shot id=\"0\" sem=\"1\" colormap=\"./a.jpg\" thumbnail=\"./a.jpg\" "
                          "projectable=\"false\" depth=\"1\"/></collection></scene>")
            << "Wrong file format" << QStringList{"1 shots but 0 cameras"};
        QTest::newRow("other suffix")
            << "notes.txt" << QByteArray("x") << "Wrong file format"
            << QStringList{"is neither a Polyforge project", "nor a reconstruction"};
    }
    void failedImportKeepsTheDataset()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        QFETCH(QString, title);
        QFETCH(QStringList, lines);
        importOneShot();
        giveDepth(*window, 0, 4.0f);
        const QStringList before = describeDataset(window.get());
        dialogs.questionAnswers << QMessageBox::Discard; // the depth is not written yet
        touch("a.jpg");
        touch("mesh.ply");
        if (!content.isEmpty() || !fileName.startsWith("absent"))
            QVERIFY(writeFile(dir + "/" + fileName, content));

        importFile(dir + "/" + fileName);

        const QList<ScriptedDialogs::Shown> warnings = dialogs.ofKind("warning");
        QCOMPARE(warnings.size(), 1);
        QCOMPARE(warnings[0].title, title);
        QCOMPARE(warnings[0].parent, window.get());
        const QStringList shownLines = warnings[0].text.split('\n');
        for (int i = 0; i < lines.size(); ++i)
            QVERIFY2(shownLines.value(i).contains(lines[i]), qPrintable(warnings[0].text));
        QCOMPARE(describeDataset(window.get()), before);
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
        QCOMPARE(rows(), rasters);
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
        QCOMPARE(rows(), 10);
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
