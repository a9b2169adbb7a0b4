// Generation of the index file from the window: the file written, the messages shown, and
// what happens when it cannot be written.

#include "mainwindow.h"
#include "translations.h"
#include "windowtestutil.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

namespace
{

const char *const identity = "1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 ";

QString cameraLine(const char *element, const char *translation, const char *focal)
{
    return QString(
               "<%1 RotationMatrix=\"%2\" TranslationVector=\"%3\" FocalMm=\"%4\" CenterPx=\"2000 1500 \" "
               "LensDistortion=\"0 0 \" ViewportPx=\"4000 3000 \" PixelSizeMm=\"0.01 0.01 \"/>")
        .arg(element, identity, translation, focal);
}

} // namespace

class TestGenerateIndex : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> window;
    ScriptedDialogs dialogs;
    std::unique_ptr<QTemporaryDir> temp;
    QString dir;
    const QLocale systemLocale;

    template <typename T> T *get(const char *name) { return control<T>(window.get(), name); }

    // Two photographs a and b with a model, imported, then every column filled as the jobs would.
    void importAndPrepare()
    {
        for (const char *file : {"img/a.jpg", "img/b.jpg", "mesh.ply"})
            QVERIFY(writeFile(dir + "/" + file, "x"));
        QVERIFY(writeFile(dir + "/site.pfp", projectText({{{testCamera(35, {1, 2, 3}), "img/a.jpg"}},
                                                          {{testCamera(50, {4, 5, 6}), "img/b.jpg"}}},
                                                         {"mesh.ply"})));
        dialogs.openAnswers << dir + "/site.pfp";
        get<QAction>("actionImport")->trigger();
        QCOMPARE(get<QTableView>("data")->model()->rowCount(), 2);

        giveThumbnail(*window, 0, dir + "/thumbs/a.jpg");
        giveThumbnail(*window, 1, dir + "/thumbs/b.jpg");
        giveDepth(*window, 0, 2.5f);
        giveDepth(*window, 1, 0.123456789f);
        giveOrder(*window, {1, 0}, {3, 7}); // b is shown first
        QVERIFY(writeFile(dir + "/mesh.tsl", "built"));
        giveBuiltModel(*window, dir + "/mesh.tsl");
        window->checkIfReadyToGenerate();
        QVERIFY(get<QPushButton>("generateOrvelleIndex")->isEnabled());
        dialogs.shown.clear();
    }

    static QString readAll(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
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
        for (QTranslator *translator : qApp->findChildren<QTranslator *>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        QLocale::setDefault(systemLocale);
    }

    void writesTheExpectedFile()
    {
        importAndPrepare();
        auto *scene = get<QLineEdit>("sceneName");
        scene->clear();
        QTest::keyClicks(scene, "my scene");
        get<QComboBox>("thumbnailBarPosition")->setCurrentIndex(0);
        dialogs.colorAnswers << QColor(255, 0, 0);
        clickControl(get<QPushButton>("frameletColor"));
        get<QDoubleSpinBox>("frameletsScale")->setValue(1.5);
        get<QDoubleSpinBox>("projectionReliability")->setValue(2);
        clickControl(get<QCheckBox>("lighting"));
        clickControl(get<QRadioButton>("coloredDomeBackground"));
        get<QDoubleSpinBox>("cameraSpeed")->setValue(2.5);
        get<QSpinBox>("startShot")->setValue(2);
        clickControl(get<QPushButton>("upDirPlusZ"));

        clickControl(get<QPushButton>("generateOrvelleIndex"));

        const QStringList expected = {
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
            "<scene name=\"my scene\" updirection=\"0 0 1\">",
            "  <collection thumbnailBar=\"top\" shotColor=\"1 0 0 \" frameletsScale=\"1.5\" "
            "projectionReliability=\"2\">",
            "    <shot id=\"0\" sem=\"7\" colormap=\"./img/b.jpg\" thumbnail=\"./thumbs/b.jpg\" "
            "projectable=\"true\" "
            "depth=\"0.123457\">",
            "      " + cameraLine("KSRCamera", "-4 -5 -6 ", "50"),
            "    </shot>",
            "    <shot id=\"1\" sem=\"3\" colormap=\"./img/a.jpg\" thumbnail=\"./thumbs/a.jpg\" "
            "projectable=\"true\" "
            "depth=\"2.5\">",
            "      " + cameraLine("KSRCamera", "-1 -2 -3 ", "35"),
            "    </shot>",
            "  </collection>",
            "  <model filename=\"./mesh.tsl\"/>",
            "  <camera>",
            "    <physic speed=\"2.5\"/>",
            "    " + cameraLine("StartCam", "-4 -5 -6 ", "50"),
            "  </camera>",
            "  <background rgb=\"0 0 0 \">",
            "    <sphere>",
            "      <vertex height=\"-1\" rgb=\"0.6 0.6 0.6\"/>",
            "      <vertex height=\"-0.05\" rgb=\"0.65 0.65 0.65\"/>",
            "      <vertex height=\"0\" rgb=\"0.7 0.85 0.85\"/>",
            "      <vertex height=\"0.7\" rgb=\"0.4 0.6 0.8\"/>",
            "      <vertex height=\"1\" rgb=\"0.4 0.6 0.8\"/>",
            "    </sphere>",
            "  </background>",
            "  <lighting enabled=\"true\"/>",
            "</scene>"};
        const QString written = readAll(dir + "/site_generated.orx");
        QCOMPARE(written.trimmed().split('\n'), expected);

        // The colour, the warning that +Z is far from the cameras' +Y, then the result.
        QCOMPARE(dialogs.shown.size(), 3);
        QCOMPARE(dialogs.shown[1].kind, QString("warning"));
        QCOMPARE(dialogs.shown[2].kind, QString("information"));
        QCOMPARE(dialogs.shown[2].title, QString("Index generation status"));
        QCOMPARE(dialogs.shown[2].text,
                 QString("The index file has been successfully generated!\nWritten to \"%1\".")
                     .arg(dir + "/site_generated.orx"));
        QCOMPARE(window->statusBar()->currentMessage(),
                 QString("Index written to %1.").arg(dir + "/site_generated.orx"));
        QCOMPARE(dialogs.shown[2].parent, window.get());
    }

    // Defaults of the controls, absolute paths, and the input model instead of the .tsl.
    void absolutePathsAndInputModel()
    {
        importAndPrepare();
        clickControl(get<QCheckBox>("useRelativePaths"));
        clickControl(get<QRadioButton>("useInputModel"));
        get<QLineEdit>("outputIndexFilename")->setText(dir + "/out/../plain.orx");
        QVERIFY(QDir(dir).mkpath("out"));

        clickControl(get<QPushButton>("generateOrvelleIndex"));

        const QString written = readAll(dir + "/plain.orx");
        QVERIFY(written.contains("<scene name=\"mesh\" updirection=\"0 1 0\">"));
        QVERIFY(
            written.contains("<collection thumbnailBar=\"bottom\" shotColor=\"1 1 1 \" frameletsScale=\"1\" "
                             "projectionReliability=\"1\">"));
        QVERIFY(written.contains("colormap=\"" + dir + "/img/b.jpg\""));
        QVERIFY(written.contains("<model filename=\"" + dir + "/mesh.ply\"/>"));
        QVERIFY(written.contains(cameraLine("StartCam", "-1 -2 -3 ", "35"))); // start shot 1 is row 0
        QVERIFY(written.contains("<background rgb=\"0 0 0 \">\n    <orthoPlane/>\n  </background>"));
        QVERIFY(written.contains("<lighting enabled=\"false\"/>"));
        QVERIFY(dialogs.ofKind("information")
                    .value(0)
                    .text.startsWith("The index file has been successfully generated!\nWritten to"));
    }

    // A window in French or Italian (its catalogue, its number format) writes the English one's bytes.
    void sameIndexInEveryLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("statusTitle");
        QTest::newRow("French") << "fr" << QString("État de la génération de l'index");
        QTest::newRow("Italian") << "it" << QString("Stato della generazione dell'indice");
    }
    void sameIndexInEveryLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, statusTitle);
        QByteArray written[2];
        for (const QString &run : {QString("en"), language}) {
            const bool translated = run != QLatin1String("en");
            cleanup();
            QLocale::setDefault(QLocale(run));
            if (translated)
                QVERIFY(!Translations::install(*qApp, QLocale(run), ORVELLE_BIN_DIR).isEmpty());
            init(); // the window is made in the language now installed
            importAndPrepare();
            get<QDoubleSpinBox>("frameletsScale")->setValue(1.5);
            get<QDoubleSpinBox>("cameraSpeed")->setValue(2.5);
            clickControl(get<QRadioButton>("coloredDomeBackground"));
            clickControl(get<QPushButton>("generateOrvelleIndex"));
            QCOMPARE(dialogs.ofKind("information").value(0).title,
                     translated ? statusTitle : QString("Index generation status"));
            QFile file(dir + "/site_generated.orx");
            QVERIFY(file.open(QIODevice::ReadOnly));
            written[translated] = file.readAll();
        }
        QVERIFY(written[0].contains("frameletsScale=\"1.5\""));
        QCOMPARE(written[1], written[0]);
    }

    // The warning names the file and the cause; nothing changes, so the user can retry.
    void unwritableTargetIsExplained_data()
    {
        QTest::addColumn<QString>("target"); // @ is the test folder
        QTest::addColumn<QString>("cause");
        QTest::newRow("missing folder") << "@/missing/out.orx"
                                        << "the folder \"@/missing\" does not exist";
        QTest::newRow("a folder") << "@/img"
                                  << "it is a folder";
        // Root may write anywhere on disk, but not among the kernel's objects.
        QTest::newRow("read-only folder") << "/sys/out.orx"
                                          << "the folder \"/sys\" cannot be written to";
    }
    void unwritableTargetIsExplained()
    {
        QFETCH(QString, target);
        QFETCH(QString, cause);
        target.replace("@", dir);
        cause.replace("@", dir);
        importAndPrepare();
        get<QLineEdit>("outputIndexFilename")->setText(target);
        const QStringList before = describeDataset(window.get());

        clickControl(get<QPushButton>("generateOrvelleIndex"));

        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].kind, QString("warning"));
        QCOMPARE(dialogs.shown[0].title, QString("Index generation status"));
        QVERIFY2(dialogs.shown[0].text.startsWith(
                     QString("The index file \"%1\" could not be written: %2").arg(target, cause)),
                 qPrintable(dialogs.shown[0].text));
        QVERIFY(!QFileInfo::exists(dir + "/missing"));
        QCOMPARE(describeDataset(window.get()), before);

        get<QLineEdit>("outputIndexFilename")->setText(dir + "/retry.orx");
        clickControl(get<QPushButton>("generateOrvelleIndex"));
        QVERIFY(QFileInfo::exists(dir + "/retry.orx"));
    }

    // The index never names no model, nor a multiresolution model that was not built for this
    // dataset, nor an up direction of zero: the user is told, nothing is written.
    void refusedModelOrDirection_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("said");
        QTest::newRow("empty model") << "modelName"
                                     << ""
                                     << "No model is chosen";
        QTest::newRow("multiresolution model not built") << "tesselModelName"
                                                         << "@/other.tsl"
                                                         << "was not built for this dataset";
        QTest::newRow("zero up direction") << "upDirY"
                                           << "0"
                                           << "(0, 0, 0)";
    }
    void refusedModelOrDirection()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, said);
        value.replace("@", dir);
        importAndPrepare();
        QVERIFY(writeFile(dir + "/other.tsl", "another dataset's model"));
        if (field == "upDirY")
            get<QDoubleSpinBox>("upDirY")->setValue(value.toDouble());
        else
            get<QLineEdit>(qPrintable(field))->setText(value);
        if (field == "modelName")
            clickControl(get<QRadioButton>("useInputModel"));

        clickControl(get<QPushButton>("generateOrvelleIndex"));

        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].kind, QString("warning"));
        QVERIFY2(dialogs.shown[0].text.contains(said), qPrintable(dialogs.shown[0].text));
        QVERIFY(!QFileInfo::exists(dir + "/site_generated.orx"));
    }

    // A model that is not on this disk may be beside the index where the viewer opens it: the
    // index is written, naming it, and the user is told.
    void missingModelIsNamedWithAWarning()
    {
        importAndPrepare();
        clickControl(get<QRadioButton>("useInputModel"));
        get<QLineEdit>("modelName")->setText("models/gone.ply");
        clickControl(get<QPushButton>("generateOrvelleIndex"));
        QCOMPARE(dialogs.ofKind("warning").size(), 1);
        QVERIFY2(dialogs.ofKind("warning").first().text.contains("is not on this disk"),
                 qPrintable(dialogs.ofKind("warning").first().text));
        QCOMPARE(dialogs.ofKind("information").size(), 1);
        QVERIFY(readAll(dir + "/site_generated.orx").contains("<model filename=\"models/gone.ply\"/>"));
    }

    // An up direction far from the cameras' is written, with a word of warning.
    void upDirectionFarFromTheCamerasIsWarned()
    {
        importAndPrepare();
        clickControl(get<QPushButton>("upDirPlusX")); // the cameras say +Y
        clickControl(get<QPushButton>("generateOrvelleIndex"));
        QCOMPARE(dialogs.ofKind("warning").size(), 1);
        QVERIFY2(dialogs.ofKind("warning").first().text.contains("90 degrees from the cameras"),
                 qPrintable(dialogs.ofKind("warning").first().text));
        QVERIFY(readAll(dir + "/site_generated.orx").contains("updirection=\"1 0 0\""));
    }

    void badDomeRowStopsGeneration_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::newRow("two numbers") << 1 << 1 << "0.5,0.5";
        QTest::newRow("words as colour") << 2 << 1 << "red green blue";
        QTest::newRow("height not a number") << 3 << 0 << "high";
        QTest::newRow("empty height") << 4 << 0 << "";
        QTest::newRow("cell without item") << 0 << 1 << "<none>";
    }
    void badDomeRowStopsGeneration()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, text);
        importAndPrepare();
        auto *dome = get<QTableWidget>("backgroundDome");
        if (text == "<none>")
            delete dome->takeItem(row, column);
        else
            dome->item(row, column)->setText(text);
        // An existing file of the same name must survive the refusal.
        QVERIFY(writeFile(dir + "/site_generated.orx", "earlier"));
        clickControl(get<QRadioButton>("coloredDomeBackground"));

        clickControl(get<QPushButton>("generateOrvelleIndex"));

        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].kind, QString("warning"));
        QVERIFY2(dialogs.shown[0].text.startsWith(QString("Row %1 of the background dome").arg(row + 1)),
                 qPrintable(dialogs.shown[0].text));
        QCOMPARE(readAll(dir + "/site_generated.orx"), QString("earlier"));

        // With the ortho plane the dome is not read at all.
        clickControl(get<QRadioButton>("orthoPlaneBackground"));
        clickControl(get<QPushButton>("generateOrvelleIndex"));
        QCOMPARE(dialogs.ofKind("information").size(), 1);
        QVERIFY(readAll(dir + "/site_generated.orx").contains("<orthoPlane/>"));
    }
};

QTEST_MAIN(TestGenerateIndex)
#include "tst_generateindex.moc"
