// `orvelle-index generate` run as the installed program: usage errors, failures with the
// readers' and the window's messages, and the index written for the generated sample compared
// byte for byte with the one the window writes from the same values and settings.

#include "cameraelement.h"
#include "clitestutil.h"
#include "mainwindow.h"
#include "orvelleindexread.h"
#include "session.h"
#include "windowtestutil.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>

class TestGenerate : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir sampleTemp;
    QString sampleDir; // canonical folder holding sample/ and the indexes written from it
    QString sampleProject;

    // Settings away from every default, given to the tool and set in the window alike.
    static QStringList customSettings()
    {
        return {"--scene-name",
                "Test scene",
                "--camera-speed",
                "2.5",
                "--start-shot",
                "3",
                "--up",
                "0,0,2",
                "--thumbnail-bar",
                "top",
                "--framelet-color",
                "255,128,0",
                "--background-color",
                "10,20,30",
                "--framelets-scale",
                "1.5",
                "--projection-reliability",
                "0.25",
                "--lighting",
                "--background",
                "dome",
                "--dome",
                "-1:0.1,0.2,0.3;0:0.4 0.5 0.6;1:0.7,0.8,0.9",
                "--order-weights",
                "10,60,40,0,20,0",
                "--cluster-weights",
                "0,50,50,10,0,0"};
    }

    // A project of one photograph beside a model, for the failures that need a readable dataset.
    static void writeSmallProject(const QString &folder, const QString &photo = "img/a.jpg")
    {
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(Qt::gray);
        QDir().mkpath(folder + "/img");
        QVERIFY(image.save(folder + "/img/a.jpg"));
        QVERIFY(writeFile(folder + "/m.ply", "ply\nformat ascii 1.0\nelement vertex 0\nend_header\n"));
        QVERIFY(writeFile(folder + "/p.pfp",
                          projectText({{Raster{testCamera(20.0f, {0, 0, 10}), photo}}}, {"m.ply"})));
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo(installedTool()).isExecutable(), "the tool has not been installed into the stage");
        QVERIFY(sampleTemp.isValid());
        sampleDir = QFileInfo(sampleTemp.path()).canonicalFilePath();
        QVERIFY(makeSample(sampleDir + "/sample"));
        sampleProject = sampleDir + "/sample/sample.pfp";
    }

    void helpListsCommandsAndOptions()
    {
        const ToolRun top = runTool({"--help"});
        QCOMPARE(top.exitCode, 0);
        QVERIFY2(top.out.contains("inspect") && top.out.contains("generate"), qPrintable(top.out));

        const ToolRun help = runTool({"generate", "--help"});
        QCOMPARE(help.exitCode, 0);
        for (const char *option : {"--output",
                                   "--model",
                                   "--lowres-model",
                                   "--thumbnails",
                                   "--depths",
                                   "--order-weights",
                                   "--cluster-weights",
                                   "--tessel",
                                   "--tessel-output",
                                   "--point-cloud",
                                   "--scene-name",
                                   "--camera-speed",
                                   "--start-shot",
                                   "--up",
                                   "--thumbnail-bar",
                                   "--framelet-color",
                                   "--background-color",
                                   "--framelets-scale",
                                   "--projection-reliability",
                                   "--lighting",
                                   "--background",
                                   "--dome",
                                   "--absolute-paths",
                                   "--one-step-at-a-time",
                                   "--reduced-decode",
                                   "xvfb-run"})
            QVERIFY2(help.out.contains(option), option);
        // The meaning of "none" is spelled out.
        QVERIFY(
            help.out.simplified().contains("none (no thumbnail step: the photographs serve as thumbnails"));
        // Lines wrap between words, never inside a number such as the dome's 0.85.
        QVERIFY2(!help.out.contains(QRegularExpression("[0-9][.,]?\\n\\s*[0-9]")), qPrintable(help.out));
        QVERIFY(help.out.simplified().contains("0:0.7,0.85,0.85"));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("mentioned");
        const QString input = "set.pfp";
        QTest::newRow("no input") << QStringList{"generate"} << "INPUT";
        QTest::newRow("two inputs") << QStringList{"generate", input, "other.pfp"} << "INPUT";
        QTest::newRow("unknown option") << QStringList{"generate", input, "--colour"} << "colour";
        QTest::newRow("other suffix") << QStringList{"generate", "set.xml"} << "set.xml";
        QTest::newRow("thumbnail mode")
            << QStringList{"generate", input, "--thumbnails", "fast"} << "--thumbnails";
        QTest::newRow("depth mode") << QStringList{"generate", input, "--depths", "lidar"} << "--depths";
        QTest::newRow("five weights")
            << QStringList{"generate", input, "--order-weights", "1,2,3,4,5"} << "--order-weights";
        QTest::newRow("weight above 100")
            << QStringList{"generate", input, "--cluster-weights", "0,101,0,0,0,0"} << "--cluster-weights";
        QTest::newRow("negative weight")
            << QStringList{"generate", input, "--order-weights", "0,-1,0,0,0,0"} << "--order-weights";
        QTest::newRow("speed above range")
            << QStringList{"generate", input, "--camera-speed", "101"} << "--camera-speed";
        QTest::newRow("speed not a number")
            << QStringList{"generate", input, "--camera-speed", "fast"} << "--camera-speed";
        QTest::newRow("scale zero") << QStringList{"generate", input, "--framelets-scale", "0"}
                                    << "--framelets-scale";
        QTest::newRow("reliability nan") << QStringList{"generate", input, "--projection-reliability", "nan"}
                                         << "--projection-reliability";
        QTest::newRow("start shot 0")
            << QStringList{"generate", input, "--start-shot", "0"} << "--start-shot";
        QTest::newRow("zero up") << QStringList{"generate", input, "--up", "0,0,0"} << "--up";
        QTest::newRow("two-axis up") << QStringList{"generate", input, "--up", "0,1"} << "--up";
        QTest::newRow("bar position")
            << QStringList{"generate", input, "--thumbnail-bar", "left"} << "--thumbnail-bar";
        QTest::newRow("colour above 255")
            << QStringList{"generate", input, "--framelet-color", "256,0,0"} << "--framelet-color";
        QTest::newRow("colour of two")
            << QStringList{"generate", input, "--background-color", "1,2"} << "--background-color";
        QTest::newRow("background kind")
            << QStringList{"generate", input, "--background", "sky"} << "--background";
        QTest::newRow("dome without dome background")
            << QStringList{"generate", input, "--dome", "0:1,1,1"} << "--dome";
        QTest::newRow("dome row without colon")
            << QStringList{"generate", input, "--background", "dome", "--dome", "0,1,1,1"} << "--dome";
        QTest::newRow("dome colour of two")
            << QStringList{"generate", input, "--background", "dome", "--dome", "0:1,1;1:1,1,1"} << "Row 1";
        QTest::newRow("tessel output without tessel")
            << QStringList{"generate", input, "--tessel-output", "m.tsl"} << "--tessel";
        QTest::newRow("lowres model without depths")
            << QStringList{"generate", input, "--depths", "none", "--lowres-model", "m.ply"}
            << "--lowres-model";
        QTest::newRow("empty output") << QStringList{"generate", input, "-o", ""} << "--output";
        QTest::newRow("multiresolution model is the index")
            << QStringList{"generate", input, "-o", "x.orx", "--tessel", "--tessel-output", "./x.orx"}
            << "--tessel-output";
    }
    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, mentioned);
        QTemporaryDir dir;
        const ToolRun run = runTool(arguments, dir.path());
        QVERIFY(!run.crashed);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(mentioned), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    // Without a display the help and the checks still work; the run stops before any job.
    void withoutDisplay()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        QCOMPARE(runTool({"generate", "--help"}, QString(), environment).exitCode, 0);
        QCOMPARE(runTool({"generate", sampleProject, "--up", "0,0,0"}, QString(), environment).exitCode, 2);

        const QString index = sampleDir + "/headless.orx";
        const ToolRun run = runTool({"generate", sampleProject, "-o", index}, QString(), environment);
        QVERIFY(!run.crashed);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("xvfb-run"), qPrintable(run.err));
        QVERIFY(!QFileInfo::exists(index));
        QVERIFY(!QFileInfo::exists(sampleDir + "/sample/photos/thumbnails"));

        // A display that is named but has no server behind it: the same message, no abort.
        environment.insert("DISPLAY", ":4242");
        QCOMPARE(runTool({"generate", "--help"}, QString(), environment).exitCode, 0);
        const ToolRun dead = runTool({"generate", sampleProject, "-o", index}, QString(), environment);
        QVERIFY(!dead.crashed);
        QCOMPARE(dead.exitCode, 1);
        QVERIFY2(dead.err.contains("xvfb-run"), qPrintable(dead.err));
        QVERIFY(!QFileInfo::exists(index));

        // The window says so too, and exits 1 instead of aborting, with no display named or a dead one.
        for (const bool named : {false, true}) {
            if (named)
                environment.insert("DISPLAY", ":4242");
            else
                environment.remove("DISPLAY");
            QProcess window;
            window.setProcessEnvironment(environment);
            window.start(QStringLiteral(ORVELLE_BIN_DIR "/OrvelleIndexGenerator"), QStringList());
            QVERIFY(window.waitForFinished(30000));
            QCOMPARE(window.exitStatus(), QProcess::NormalExit);
            QCOMPARE(window.exitCode(), 1);
            const QString said = QString::fromLocal8Bit(window.readAllStandardError());
            QVERIFY2(said.contains("OrvelleIndexGenerator: No display"), qPrintable(said));
        }
    }

    void startShotBeyondTheShots()
    {
        const ToolRun run =
            runTool({"generate", sampleProject, "--start-shot", "9", "-o", sampleDir + "/none.orx"});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("8 shots"), qPrintable(run.err));
        QVERIFY(!QFileInfo::exists(sampleDir + "/none.orx"));
    }

    // Each failure exits 1 with the message the window would show, and leaves an existing
    // output file as it was.
    void failures_data()
    {
        QTest::addColumn<QString>("input"); // relative to the test folder
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("mentioned");
        QTest::newRow("missing input")
            << "gone.pfp" << QStringList() << QStringList{"Wrong file format", "could not be read"};
        QTest::newRow("corrupt index") << "corrupt.orx" << QStringList()
                                       << QStringList{"Wrong file format", "Failed to parse index file!"};
        QTest::newRow("index with wrong root")
            << "root.orx" << QStringList() << QStringList{"Wrong index file format"};
        QTest::newRow("output folder missing")
            << "p.pfp" << QStringList{"-o", "@/no/such/folder/out.orx"}
            << QStringList{"An unexpected error occured while generating the index file!",
                           "cannot be written"};
        QTest::newRow("output is a folder")
            << "p.pfp" << QStringList{"-o", "@/img"}
            << QStringList{"An unexpected error occured while generating the index file!",
                           "cannot be written"};
        QTest::newRow("output over the project")
            << "p.pfp" << QStringList{"-o", "@/p.pfp"} << QStringList{"p.pfp", "is not written over"};
        QTest::newRow("output over a photograph")
            << "p.pfp" << QStringList{"-o", "@/img/a.jpg"} << QStringList{"a.jpg", "is not written over"};
        QTest::newRow("output over a thumbnail the run makes")
            << "p.pfp" << QStringList{"-o", "@/img/thumbnails/a.jpg"}
            << QStringList{"a thumbnail", "is not written over"};
        QTest::newRow("output is a device") << "p.pfp" << QStringList{"-o", "/dev/null"}
                                            << QStringList{"\"/dev/null\" cannot be written: it is a device"};
        QTest::newRow("model read only in part")
            << "p.pfp" << QStringList{"--thumbnails", "hires", "--lowres-model", "@/cut.ply"}
            << QStringList{"Model read only in part", "No index file was written."};
        QTest::newRow("multiresolution model over the model")
            << "p.pfp" << QStringList{"--tessel", "--tessel-output", "@/m.ply"}
            << QStringList{"is not written over"};
        QTest::newRow("model not found") << "p.pfp" << QStringList{"--model", "@/absent.ply"}
                                         << QStringList{"Model not found", "absent.ply"};
        QTest::newRow("dataset without model")
            << "nomodel.pfp" << QStringList() << QStringList{"No model found in the specified dataset!"};
        QTest::newRow("photograph missing")
            << "lost.pfp" << QStringList() << QStringList{"was not found", "img/lost.jpg"};
        QTest::newRow("project without depths")
            << "p.pfp" << QStringList{"--depths", "none"} << QStringList{"carries no depths"};
        QTest::newRow("thumbnails not there") << "p.pfp" << QStringList{"--thumbnails", "existing"}
                                              << QStringList{"Thumbnails missing", "thumbnails/a.jpg"};
        QTest::newRow("model without vertices")
            << "p.pfp" << QStringList{"--thumbnails", "hires"} << QStringList{"Model not loaded", "m.ply"};
        QTest::newRow("low-resolution model missing")
            << "p.pfp" << QStringList{"--thumbnails", "hires", "--lowres-model", "@/gone.ply"}
            << QStringList{"Model not found", "gone.ply"};
    }
    void failures()
    {
        QFETCH(QString, input);
        QFETCH(QStringList, options);
        QFETCH(QStringList, mentioned);
        QTemporaryDir temp;
        const QString dir = QFileInfo(temp.path()).canonicalFilePath();
        writeSmallProject(dir);
        QVERIFY(writeFile(dir + "/nomodel.pfp",
                          projectText({{Raster{testCamera(20.0f, {0, 0, 10}), "img/a.jpg"}}}, {})));
        QVERIFY(writeFile(dir + "/lost.pfp",
                          projectText({{Raster{testCamera(20.0f, {0, 0, 10}), "img/a.jpg"},
                                        Raster{testCamera(20.0f, {0, 1, 10}), "img/lost.jpg"}}},
                                      {"m.ply"})));
        QVERIFY(writeFile(dir + "/corrupt.orx", "<scene name=\"s\"><collection thumbnailBar=\"top\""));
        QVERIFY(writeFile(dir + "/root.orx", "<index/>"));
        QVERIFY(writeFile(dir + "/cut.ply",
                          "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\n"
                          "property float y\nproperty float z\nend_header\n0 0 0\n1 0 0\n"));
        // An index from an earlier run that a failed run must not touch.
        const QString earlier = dir + "/" + QFileInfo(input).baseName() + "_generated.orx";
        QVERIFY(writeFile(earlier, "earlier"));
        for (QString &option : options)
            option.replace("@", dir);

        const ToolRun run = runTool(QStringList{"generate", dir + "/" + input} + options, dir);
        QVERIFY(!run.crashed);
        QCOMPARE(run.exitCode, 1);
        for (const QString &text : std::as_const(mentioned))
            QVERIFY2(run.err.contains(text), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        QCOMPARE(readBytes(earlier), QByteArray("earlier"));
        QCOMPARE(readBytes(dir + "/m.ply"),
                 QByteArray("ply\nformat ascii 1.0\nelement vertex 0\nend_header\n"));
        QVERIFY(QFileInfo(dir + "/p.pfp").size() > 100);
        QCOMPARE(QImageReader(dir + "/img/a.jpg").size(), QSize(64, 48));
        QVERIFY(!QFileInfo::exists(dir + "/img/thumbnails") || options.contains("existing"));
    }

    // The tool's index for the sample, then the window's from the same per-shot values and the
    // same settings: the two files must be identical.
    void sampleIndexMatchesTheWindow_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::newRow("every setting changed") << "custom";
        QTest::newRow("defaults and derived output name") << "defaults";
        QTest::newRow("default dome") << "dome";
    }
    void sampleIndexMatchesTheWindow()
    {
        QFETCH(QString, settings);
        const bool custom = settings == "custom";
        // With the defaults both write to the name derived from the project.
        const QString cliIndex =
            settings == "defaults" ? sampleDir + "/sample/sample_generated.orx" : sampleDir + "/cli.orx";
        QStringList arguments{"generate", sampleProject};
        if (settings != "defaults")
            arguments << "-o" << cliIndex;
        if (custom)
            arguments << customSettings();
        if (settings == "dome")
            arguments << "--background"
                      << "dome";
        const ToolRun run = runTool(arguments);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(run.out.trimmed(), cliIndex);
        const QByteArray fromTool = readBytes(cliIndex);

        // Progress as plain lines, rising to 100 for every job.
        for (const char *job : {"thumbnails", "depths", "ordering"}) {
            const QRegularExpression line(QStringLiteral("^%1: (\\d+)%$").arg(job),
                                          QRegularExpression::MultilineOption);
            QList<int> values;
            for (auto it = line.globalMatch(run.err); it.hasNext();)
                values.append(it.next().captured(1).toInt());
            QVERIFY2(!values.isEmpty() && values.last() == 100, job);
            QVERIFY2(std::is_sorted(values.begin(), values.end()), job);
        }

        OrvelleIndexRead written;
        QVERIFY(written.readFile(cliIndex));
        QCOMPARE(written.collectionCount(), 1);
        const ShotCollection &shots = written.collection(0);
        QCOMPARE(shots.shotCount(), 8);

        // Thumbnails at most 256 px, in each photograph's thumbnails folder.
        for (int p = 0; p < shots.shotCount(); ++p) {
            const QFileInfo photo(shots.imagePaths().at(p));
            QCOMPARE(shots.thumbnailPaths().at(p), photo.absolutePath() + "/thumbnails/" + photo.fileName());
            const QSize size = QImageReader(shots.thumbnailPaths().at(p)).size();
            QCOMPARE(qMax(size.width(), size.height()), 256);
        }
        // Depths as the sample's ground truth has them.
        QFile truthFile(sampleDir + "/sample/truth.json");
        QVERIFY(truthFile.open(QIODevice::ReadOnly));
        const QJsonArray photographs = QJsonDocument::fromJson(truthFile.readAll())["photographs"].toArray();
        QCOMPARE(photographs.size(), 8);
        for (const QJsonValue &photograph : photographs) {
            const QString image = sampleDir + "/sample/" + photograph["image"].toString();
            const int p = int(shots.imagePaths().indexOf(image));
            QVERIFY2(p >= 0, qPrintable(image));
            const double truth = photograph["depth"].toDouble();
            QVERIFY2(
                qAbs(shots.depths().at(p) - truth) <= 0.005 * truth,
                qPrintable(QString("%1: %2 against %3").arg(image).arg(shots.depths().at(p)).arg(truth)));
        }

        // The window, from an import of the same project.
        ScriptedDialogs dialogs;
        MainWindow window;
        window.setDialogProvider(&dialogs);
        dialogs.openAnswers << sampleProject;
        control<QAction>(&window, "actionImport")->trigger();
        QVERIFY(dialogs.ofKind("warning").isEmpty());
        auto *table = control<QTableView>(&window, "data");
        QCOMPARE(table->model()->rowCount(), 8);
        // The tool's values land in the window as its jobs' results would.
        QVector<int> order(8, -1);
        QVector<int> clusters(8);
        for (int row = 0; row < 8; ++row) {
            const int p = int(shots.imagePaths().indexOf(cellText(table, row, 0)));
            QVERIFY2(p >= 0, qPrintable(cellText(table, row, 0)));
            giveThumbnail(window, row, shots.thumbnailPaths().at(p));
            giveDepth(window, row, shots.depths().at(p));
            order[p] = row;
            clusters[row] = shots.clusterNumbers().at(p);
        }
        giveOrder(window, order, clusters);
        if (custom) {
            control<QLineEdit>(&window, "sceneName")->setText("Test scene");
            control<QDoubleSpinBox>(&window, "cameraSpeed")->setValue(2.5);
            control<QSpinBox>(&window, "startShot")->setValue(3);
            control<QDoubleSpinBox>(&window, "upDirX")->setValue(0);
            control<QDoubleSpinBox>(&window, "upDirY")->setValue(0);
            control<QDoubleSpinBox>(&window, "upDirZ")->setValue(2);
            control<QComboBox>(&window, "thumbnailBarPosition")->setCurrentText("top");
            control<QPushButton>(&window, "frameletColor")->setPalette(QPalette(QColor(255, 128, 0)));
            control<QPushButton>(&window, "backgroundColor")->setPalette(QPalette(QColor(10, 20, 30)));
            control<QDoubleSpinBox>(&window, "frameletsScale")->setValue(1.5);
            control<QDoubleSpinBox>(&window, "projectionReliability")->setValue(0.25);
            control<QCheckBox>(&window, "lighting")->setChecked(true);
            auto *dome = control<QTableWidget>(&window, "backgroundDome");
            dome->setRowCount(3);
            const QStringList domeRows[3] = {
                {"-1", "0.1,0.2,0.3"}, {"0", "0.4 0.5 0.6"}, {"1", "0.7,0.8,0.9"}};
            for (int row = 0; row < 3; ++row)
                for (int column = 0; column < 2; ++column)
                    dome->setItem(row, column, new QTableWidgetItem(domeRows[row][column]));
        }
        if (settings != "defaults")
            control<QRadioButton>(&window, "coloredDomeBackground")->setChecked(true);
        // The window's default is the multiresolution model; the tool's is the input model.
        control<QRadioButton>(&window, "useInputModel")->setChecked(true);
        const QString windowIndex = settings == "defaults" ? cliIndex : sampleDir + "/window.orx";
        QCOMPARE(control<QLineEdit>(&window, "outputIndexFilename")->text(),
                 sampleDir + "/sample/sample_generated.orx");
        control<QLineEdit>(&window, "outputIndexFilename")->setText(windowIndex);
        window.saveDatasetORX();
        QCOMPARE(dialogs.ofKind("information").size(), 1);
        QVERIFY(dialogs.ofKind("information")
                    .first()
                    .text.startsWith("The index file has been successfully generated!"));

        const QByteArray fromWindow = readBytes(windowIndex);
        QCOMPARE(fromWindow.contains("<sphere>"), settings != "defaults");
        // Without --up, both take the cameras' (the sample's point to +Z).
        if (!custom)
            QVERIFY(fromTool.contains("updirection=\"0 0 1\""));
        QCOMPARE(fromTool, fromWindow);
    }

    // The whole preparation in the real window (its Update buttons start the same jobs) and in
    // the tool, from copies of the same sample: the two indexes are identical.
    void windowJobsGiveTheSameIndex()
    {
        QTemporaryDir temp;
        const QString dir = QFileInfo(temp.path()).canonicalFilePath();
        QVERIFY(makeSample(dir + "/sample"));
        const QString project = dir + "/sample/sample.pfp";
        const QString cliIndex = dir + "/cli.orx";
        const ToolRun run =
            runTool({"generate", project, "-o", cliIndex, "--order-weights", "0,40,60,10,30,0",
                     "--cluster-weights", "20,50,50,0,0,10", "--absolute-paths"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        // The window finds the thumbnails the tool made: make it draw its own.
        QVERIFY(QDir(dir + "/sample/photos/thumbnails").removeRecursively());

        ScriptedDialogs dialogs;
        MainWindow window;
        window.setDialogProvider(&dialogs);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        dialogs.openAnswers << project;
        control<QAction>(&window, "actionImport")->trigger();
        const char *order[] = {"timeOfShotOrder",  "dirOfShotOrder",  "posOfShotOrder",
                               "posOfTargetOrder", "colorDistrOrder", "colorSpatialDistrOrder"};
        const char *cluster[] = {"timeOfShotSemantic",  "dirOfShotSemantic",  "posOfShotSemantic",
                                 "posOfTargetSemantic", "colorDistrSemantic", "colorSpatialDistrSemantic"};
        const int orderWeights[] = {0, 40, 60, 10, 30, 0};
        const int clusterWeights[] = {20, 50, 50, 0, 0, 10};
        // Readiness is judged when a job ends: the input model is chosen before.
        clickControl(control<QRadioButton>(&window, "useInputModel"));
        clickControl(control<QCheckBox>(&window, "useSameClusteringAndOrderingFunctions"));
        for (int i = 0; i < 6; ++i) {
            control<QSlider>(&window, order[i])->setValue(orderWeights[i]);
            control<QSlider>(&window, cluster[i])->setValue(clusterWeights[i]);
        }
        for (const char *button : {"updateThumbnails", "updateDepths", "updateOrderingAndSemantic"}) {
            auto *update = control<QPushButton>(&window, button);
            QTRY_VERIFY2(update->isEnabled(), button);
            clickControl(update);
            QTRY_VERIFY_WITH_TIMEOUT(update->isEnabled(), 120000);
        }
        control<QCheckBox>(&window, "useRelativePaths")->setChecked(false);
        QTRY_VERIFY(control<QPushButton>(&window, "generateOrvelleIndex")->isEnabled());

        // An output that is one of the files read is refused by both, in the same words.
        const QString photo = dir + "/sample/photos/img_0002.jpg";
        const QByteArray photoBytes = readBytes(photo);
        const ToolRun refused = runTool({"generate", project, "-o", photo});
        QCOMPARE(refused.exitCode, 1);
        control<QLineEdit>(&window, "outputIndexFilename")->setText(photo);
        clickControl(control<QPushButton>(&window, "generateOrvelleIndex"));
        QCOMPARE(dialogs.ofKind("warning").size(), 1);
        const QString refusal = dialogs.ofKind("warning").first().text;
        QVERIFY2(refusal.contains("is one of the files the generation reads"), qPrintable(refusal));
        QVERIFY2(refused.err.contains(refusal), qPrintable(refused.err));
        QCOMPARE(readBytes(photo), photoBytes);
        dialogs.shown.clear();

        const QString windowIndex = dir + "/window.orx";
        control<QLineEdit>(&window, "outputIndexFilename")->setText(windowIndex);
        clickControl(control<QPushButton>(&window, "generateOrvelleIndex"));
        QVERIFY2(dialogs.ofKind("warning").isEmpty(), qPrintable(dialogs.ofKind("warning").value(0).text));
        QCOMPARE(readBytes(cliIndex), readBytes(windowIndex));
        QVERIFY(QFileInfo::exists(dir + "/sample/photos/thumbnails/img_0001.jpg"));
    }

    // Two sessions one after the other in this process, on two datasets, with colour weights (whose
    // features are kept per dataset), write what two fresh runs of the tool write.
    void twoSessionsInOneProcessMatchFreshRuns()
    {
        QTemporaryDir temp;
        const QString dir = QFileInfo(temp.path()).canonicalFilePath();
        const FeatureWeights orderWeights{10, 40, 40, 20, 30, 10};
        const FeatureWeights clusterWeights{0, 50, 50, 10, 20, 0};
        for (const int views : {6, 5}) {
            const QString sample = dir + QString("/views%1").arg(views);
            QVERIFY(makeSample(sample, views, "320x240"));
            const ToolRun run =
                runTool({"generate", sample + "/sample.pfp", "-o", sample + "/tool.orx", "--order-weights",
                         "10,40,40,20,30,10", "--cluster-weights", "0,50,50,10,20,0"});
            QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        }
        for (const int views : {6, 5}) {
            const QString sample = dir + QString("/views%1").arg(views);
            Session session;
            session.request().orderWeights = orderWeights;
            session.request().clusterWeights = clusterWeights;
            session.request().settings.backgroundKind = OrvelleIndex::OrthoPlaneBackground;
            session.request().settings.startShot = 0;
            const ImportOutcome imported = session.importDataset(sample + "/sample.pfp");
            QVERIFY2(imported.accepted, qPrintable(imported.refusal.text));
            session.request().outputFile = sample + "/session.orx";
            const auto failure = session.runAll();
            QVERIFY2(!failure, qPrintable(failure ? failure->text : QString()));
            const WriteOutcome written = session.writeIndex();
            QVERIFY2(written.written, qPrintable(written.problem.text));
            QCOMPARE(readBytes(sample + "/session.orx"), readBytes(sample + "/tool.orx"));
        }
    }

    // The steps side by side and one at a time write the same index, on the sample and on the
    // real scene, with the default weights and with colour and target weights (and the builder
    // beside them); so does a run whose ordering decodes the photographs itself. Each of the first
    // two runs draws its own thumbnails.
    void sideBySideMatchesOneStepAtATime_data()
    {
        QTest::addColumn<QString>("scene");
        QTest::addColumn<QStringList>("options");
        const QStringList weights{"--order-weights", "10,40,40,20,30,10", "--cluster-weights",
                                  "0,50,50,10,20,0"};
        QTest::newRow("sample, defaults") << "sample" << QStringList();
        QTest::newRow("sample, colour weights, builder") << "sample" << weights + QStringList{"--tessel"};
        QTest::newRow("real scene, defaults") << "sceaux" << QStringList();
        QTest::newRow("real scene, colour weights") << "sceaux" << weights;
    }
    void sideBySideMatchesOneStepAtATime()
    {
        QFETCH(QString, scene);
        QFETCH(QStringList, options);
        QTemporaryDir temp;
        const QString dir = QFileInfo(temp.path()).canonicalFilePath();
        QString project, photos;
        if (scene == "sample") {
            QVERIFY(makeSample(dir + "/sample"));
            project = dir + "/sample/sample.pfp";
            photos = dir + "/sample/photos";
        } else {
            // A copy, so that the thumbnails land beside it and not in the repository.
            const QDir data(QStringLiteral(ORVELLE_TEST_DATA) + "/sceaux");
            QVERIFY(QDir().mkpath(dir + "/sceaux/images"));
            for (const QString &name : data.entryList({"*.pfp", "*.ply"}, QDir::Files))
                QVERIFY(QFile::copy(data.filePath(name), dir + "/sceaux/" + name));
            for (const QString &name : QDir(data.filePath("images")).entryList(QDir::Files))
                QVERIFY(QFile::copy(data.filePath("images/" + name), dir + "/sceaux/images/" + name));
            project = dir + "/sceaux/sceaux.pfp";
            photos = dir + "/sceaux/images";
        }
        QByteArray indexes[2];
        for (const bool oneAtATime : {false, true}) {
            QVERIFY(QDir(photos + "/thumbnails").removeRecursively());
            const QString index = dir + (oneAtATime ? "/one.orx" : "/side.orx");
            QStringList arguments = QStringList{"generate", project, "-o", index} + options;
            if (oneAtATime)
                arguments << "--one-step-at-a-time";
            const ToolRun run = runTool(arguments);
            QVERIFY2(run.exitCode == 0, qPrintable(run.err));
            indexes[oneAtATime] = readBytes(index);
            QVERIFY(QFileInfo::exists(photos + "/thumbnails/" + QDir(photos).entryList(QDir::Files).first()));

            // Side by side the depths start before the thumbnails end; the ordering waits for both.
            const auto at = [&run](const char *line) { return run.err.indexOf(line); };
            QVERIFY2(at("thumbnails: 100%") >= 0 && at("depths: 100%") >= 0, qPrintable(run.err));
            QCOMPARE(at("depths: 0%") < at("thumbnails: 100%"), !oneAtATime);
            QVERIFY(at("ordering: 0%") > at("thumbnails: 100%"));
            QVERIFY(at("ordering: 0%") > at("depths: 100%"));
        }
        QVERIFY(indexes[0].contains("<shot "));
        QCOMPARE(indexes[0], indexes[1]);

        // The colours the thumbnails' decodes handed to the ordering are those the ordering finds by
        // itself when the thumbnails are already there and nothing is drawn.
        const QString reference = dir + "/reference.orx";
        const ToolRun run = runTool(QStringList{"generate", project, "-o", reference, "--one-step-at-a-time",
                                                "--thumbnails", "existing"} +
                                    options);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(readBytes(reference), indexes[0]);
    }

    // A step that fails while others run beside it stops them: exit 1 with its message, and an
    // index from an earlier run left as it was.
    void failureSideBySide()
    {
        QTemporaryDir temp;
        const QString dir = QFileInfo(temp.path()).canonicalFilePath();
        QVERIFY(makeSample(dir + "/sample"));
        QVERIFY(writeFile(dir + "/broken.ply", "not a model"));
        const QString index = dir + "/sample/sample_generated.orx";
        QVERIFY(writeFile(index, "earlier"));
        const ToolRun run = runTool({"generate", dir + "/sample/sample.pfp", "--lowres-model",
                                     dir + "/broken.ply", "--tessel", "--tessel-output", dir + "/scene.tsl"});
        QVERIFY(!run.crashed);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("Model not loaded") && run.err.contains("broken.ply"), qPrintable(run.err));
        QVERIFY(!run.err.contains("ordering:"));
        QVERIFY(run.out.isEmpty());
        QCOMPARE(readBytes(index), QByteArray("earlier"));
    }

    // A "thumbnails" folder, or a thumbnail, that is a link leading out of the dataset is not
    // written through: the run fails naming the link, and what lies outside stays as it was.
    void thumbnailsNotWrittenThroughLinks_data()
    {
        QTest::addColumn<QString>("link"); // relative to the photographs' folder; leads to "outside"
        QTest::newRow("folder") << "thumbnails";
        QTest::newRow("thumbnail") << "thumbnails/img_0001.jpg";
    }
    void thumbnailsNotWrittenThroughLinks()
    {
        QFETCH(QString, link);
        QTemporaryDir temp;
        const QString dir = QFileInfo(temp.path()).canonicalFilePath();
        QVERIFY(makeSample(dir + "/sample", 2, "320x240"));
        const QString outside = dir + "/outside";
        QVERIFY(QDir().mkpath(outside) && writeFile(outside + "/keep.txt", "keep"));
        QVERIFY(QDir().mkpath(dir + "/sample/photos/thumbnails"));
        QDir(dir + "/sample/photos").rmdir(link); // the folder row replaces the folder by the link
        QVERIFY(QFile::link(link == "thumbnails" ? outside : outside + "/keep.txt",
                            dir + "/sample/photos/" + link));

        const ToolRun run = runTool({"generate", dir + "/sample/sample.pfp", "-o", dir + "/out.orx"});
        QVERIFY(!run.crashed);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(dir + "/sample/photos/" + link + " is a link"), qPrintable(run.err));
        QCOMPARE(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{"keep.txt"});
        QCOMPARE(readBytes(outside + "/keep.txt"), QByteArray("keep"));
    }

    // An index read back with its own depths and the thumbnails made before: no GL step repeats
    // work, and the depths are carried over as they were.
    // Without --skip-missing a lost photograph refuses the run (see failures); with it the shot is
    // left out, named, and the index holds the others.
    void skipMissingLeavesShotsOut()
    {
        const QString lost = sampleDir + "/sample/lost.pfp";
        QVERIFY(writeFile(lost, readBytes(sampleProject).replace("photos/img_0002.jpg", "photos/gone.jpg")));
        const QString output = sampleDir + "/lost.orx";
        const ToolRun refused = runTool({"generate", lost, "-o", output});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains("--skip-missing"), qPrintable(refused.err));
        const ToolRun run = runTool({"generate", lost, "-o", output, "--skip-missing"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.err.contains("Left out") && run.err.contains("photos/gone.jpg"), qPrintable(run.err));
        OrvelleIndexRead index;
        QVERIFY(index.readFile(output));
        QCOMPARE(index.collection(0).shotCount(),
                 int(readBytes(sampleProject).count("fileName=\"photos/")) - 1);
        QVERIFY(!readBytes(output).contains("gone.jpg"));
        QVERIFY(!readBytes(output).contains("img_0002.jpg"));
    }

    void regenerateFromIndex()
    {
        const QString first = sampleDir + "/first.orx";
        QCOMPARE(runTool({"generate", sampleProject, "-o", first, "--absolute-paths"}).exitCode, 0);
        const QString second = sampleDir + "/second.orx";
        const ToolRun run =
            runTool({"generate", first, "-o", second, "--depths", "none", "--thumbnails", "existing"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(!run.err.contains("depths:"));
        QVERIFY(!run.err.contains("thumbnails:"));

        OrvelleIndexRead a, b;
        QVERIFY(a.readFile(first));
        QVERIFY(b.readFile(second));
        const ShotCollection &before = a.collection(0);
        const ShotCollection &after = b.collection(0);
        QCOMPARE(after.shotCount(), before.shotCount());
        for (int p = 0; p < after.shotCount(); ++p) {
            const int q = int(before.imagePaths().indexOf(after.imagePaths().at(p)));
            QVERIFY(q >= 0);
            QCOMPARE(after.depths().at(p), before.depths().at(q));
            QCOMPARE(after.thumbnailPaths().at(p), before.thumbnailPaths().at(q));
        }
        // Written with paths relative to its folder (the default), the model included.
        QVERIFY(readBytes(second).contains("filename=\"./sample/model/scene.ply\""));
    }

    // The multiresolution model is built by the builder beside the tool and named in the index.
    // The builder runs in the temporary folder: names given relative to where the tool was
    // started must still land there.
    void tesselModel()
    {
        const QString index = sampleDir + "/tessel.orx";
        const QString tessel = sampleDir + "/scene.tsl";
        const ToolRun run = runTool({"generate", "sample/sample.pfp", "-o", "tessel.orx", "--thumbnails",
                                     "hires", "--tessel", "--tessel-output", "scene.tsl", "--absolute-paths"},
                                    sampleDir);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(run.out.trimmed(), index);
        QVERIFY(run.err.contains("tessel: 100%"));
        QVERIFY(QFileInfo(tessel).size() > 0);
        QVERIFY(readBytes(index).contains(QString("<model filename=\"%1\"/>").arg(tessel).toUtf8()));
        // The photographs serve as thumbnails.
        QVERIFY(
            readBytes(index).contains("thumbnail=\"" + sampleDir.toUtf8() + "/sample/photos/img_0001.jpg\""));
    }

    void tesselFailure()
    {
        const QString index = sampleDir + "/notessel.orx";
        // A model the builder cannot read: the builder's own error, no index.
        QVERIFY(writeFile(sampleDir + "/broken.ply", "not a model"));
        const ToolRun run = runTool({"generate", sampleProject, "-o", index, "--thumbnails", "hires",
                                     "--model", sampleDir + "/broken.ply", "--lowres-model",
                                     sampleDir + "/sample/model/scene_lowres.ply", "--tessel"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("\"tesselbuilder\" error"), qPrintable(run.err));
        QVERIFY(!QFileInfo::exists(index));
    }
};

QTEST_MAIN(TestGenerate)
#include "tst_generate.moc"
