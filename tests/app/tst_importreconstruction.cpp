// File > Import with a reconstruction: the window asks where the photographs are when they are
// not where the format keeps them, and for an optional mesh; without one the 3D points become
// the model.
#include "mainwindow.h"
#include "sampledataset.h"
#include "windowtestutil.h"

#include <QAction>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

QString fixture(const QString &name)
{
    return QStringLiteral(ORVELLE_SOURCE_DIR "/tests/data/sfm/") + name;
}

} // namespace

class TestImportReconstruction : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir temp;
    QString sample;
    std::unique_ptr<MainWindow> window;
    ScriptedDialogs dialogs;

    QTableView *table() { return control<QTableView>(window.get(), "data"); }
    QString text(const char *lineEdit) { return control<QLineEdit>(window.get(), lineEdit)->text(); }
    // The file, the photographs' folder when asked, the mesh question's answer (0: choose one,
    // 1: use the points, -1: cancel) and the mesh chosen.
    void importWith(const QString &file, const QString &photoFolder, int meshAnswer, const QString &mesh = {})
    {
        dialogs.openAnswers = QStringList{file};
        if (!mesh.isEmpty())
            dialogs.openAnswers << mesh;
        dialogs.folderAnswers = QStringList{photoFolder};
        dialogs.choiceAnswers = {meshAnswer};
        control<QAction>(window.get(), "actionImport")->trigger();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(temp.isValid());
        sample = QFileInfo(temp.path()).canonicalFilePath() + "/sample";
        SampleGen::SampleOptions options;
        options.views = 36;
        options.size = QSize(1024, 768);
        QString error;
        QVERIFY2(SampleGen::writeSampleDataset(sample, options, &error), qPrintable(error));
    }
    void init() { QVERIFY(openScriptedWindow(window, dialogs)); }
    void cleanup() { window.reset(); }

    void photographsAskedForAndPointsAsModel()
    {
        // The model in <project>/sfm, the photographs in <project>/photos.
        const QString nvm = sample + "/sfm/scene.nvm";
        QVERIFY(QDir().mkpath(sample + "/sfm"));
        QVERIFY(QFile::copy(fixture("nvm/model.nvm"), nvm));
        importWith(nvm, sample + "/photos", 1);

        // The folder question starts in the reconstruction's folder and says where it looked; the
        // mesh question explains itself in its text and names its answers.
        QCOMPARE(dialogs.ofKind("open").size(), 1);
        const auto folders = dialogs.ofKind("folder");
        QCOMPARE(folders.size(), 1);
        QVERIFY2(folders[0].title.contains("not in " + sample + "/sfm"), qPrintable(folders[0].title));
        QCOMPARE(dialogs.fileDialogFolders.value(1), sample + "/sfm");
        const auto choices = dialogs.ofKind("choice");
        QCOMPARE(choices.size(), 1);
        QVERIFY(choices[0].text.contains("no mesh"));
        QCOMPARE(dialogs.choiceButtons.value(0), (QStringList{"Choose a mesh...", "Use the points"}));
        QCOMPARE(table()->model()->rowCount(), 25);
        for (int row = 0; row < 25; ++row) {
            QVERIFY(cellText(table(), row, 0).startsWith(sample + "/photos/img_"));
            QVERIFY(cellText(table(), row, 2).contains("ksrCamera"));
        }
        const QString cloud = sample + "/sfm/scene_generated_points.ply";
        QCOMPARE(text("modelName"), cloud);
        // The index goes to the project's folder, where every path written is relative.
        QCOMPARE(text("outputIndexFilename"), sample + "/scene_generated.orx");
        QVERIFY(QFileInfo::exists(cloud));
        const auto told = dialogs.ofKind("information");
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].text.contains("11 photographs"), qPrintable(told[0].text));
        QVERIFY(dialogs.ofKind("warning").isEmpty());
    }

    void meshChosen()
    {
        const QString mesh = sample + "/model/scene_lowres.ply";
        importWith(fixture("txt/cameras.txt"), sample + "/photos", 0, mesh);
        QCOMPARE(table()->model()->rowCount(), 25);
        QCOMPARE(text("modelName"), mesh);
        QVERIFY(dialogs.ofKind("warning").isEmpty());
    }

    // Cancelling either question cancels the import: the window keeps what it showed, says so, and
    // asks nothing more.
    void cancelledQuestionsImportNothing()
    {
        importWith(fixture("txt/cameras.txt"), QString(), 1);
        QCOMPARE(dialogs.ofKind("choice").size(), 0);
        QCOMPARE(table()->model()->rowCount(), 0);
        QVERIFY(dialogs.ofKind("warning").isEmpty());
        QCOMPARE(window->statusBar()->currentMessage(), QString("Import cancelled."));
        importWith(fixture("txt/cameras.txt"), sample + "/photos", -1);
        QCOMPARE(table()->model()->rowCount(), 0);
        QVERIFY(dialogs.ofKind("warning").isEmpty());
    }

    void brokenFileWarnsOnly()
    {
        const QString cut = temp.filePath("cut.out");
        QFile file(cut);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QFile source(fixture("bundler/model.bundle.out"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        file.write(source.read(3000));
        file.close();
        QVERIFY(QFile::copy(fixture("bundler/model.list.txt"), temp.filePath("cut.list.txt")));
        importWith(cut, QString(), 1);
        QCOMPARE(dialogs.ofKind("open").size(), 1);
        const auto warned = dialogs.ofKind("warning");
        QVERIFY(!warned.isEmpty());
        QVERIFY2(warned[0].text.contains("cut.out, line"), qPrintable(warned[0].text));
        QCOMPARE(table()->model()->rowCount(), 0);
    }
};

QTEST_MAIN(TestImportReconstruction)
#include "tst_importreconstruction.moc"
