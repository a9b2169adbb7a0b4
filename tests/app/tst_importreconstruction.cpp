// File > Import with a reconstruction: the window asks where the photographs are when they are
// not where the format keeps them, and for an optional mesh; without one the 3D points become
// the model.
#include "mainwindow.h"
#include "sampledataset.h"
#include "windowtestutil.h"

#include <QAction>
#include <QLineEdit>
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
    void importWith(const QStringList &answers)
    {
        dialogs.openAnswers = answers;
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
        const QString nvm = temp.filePath("scene.nvm");
        QVERIFY(QFile::copy(fixture("nvm/model.nvm"), nvm));
        importWith({nvm, sample + "/photos/img_0001.jpg", QString()});

        const auto opened = dialogs.ofKind("open");
        QCOMPARE(opened.size(), 3);
        QVERIFY(opened[1].title.contains("photographs"));
        QVERIFY(opened[2].title.contains("Mesh"));
        QCOMPARE(table()->model()->rowCount(), 25);
        for (int row = 0; row < 25; ++row) {
            QVERIFY(cellText(table(), row, 0).startsWith(sample + "/photos/img_"));
            QVERIFY(cellText(table(), row, 2).contains("ksrCamera"));
        }
        const QString cloud = QFileInfo(temp.path()).canonicalFilePath() + "/scene_generated_points.ply";
        QCOMPARE(text("modelName"), cloud);
        QVERIFY(QFileInfo::exists(cloud));
        const auto told = dialogs.ofKind("information");
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].text.contains("11 photographs"), qPrintable(told[0].text));
        QVERIFY(dialogs.ofKind("warning").isEmpty());
    }

    void meshChosen()
    {
        const QString mesh = sample + "/model/scene_lowres.ply";
        importWith({fixture("txt/cameras.txt"), sample + "/photos/img_0002.jpg", mesh});
        QCOMPARE(table()->model()->rowCount(), 25);
        QCOMPARE(text("modelName"), mesh);
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
        importWith({cut});
        QCOMPARE(dialogs.ofKind("open").size(), 1);
        const auto warned = dialogs.ofKind("warning");
        QVERIFY(!warned.isEmpty());
        QVERIFY2(warned[0].text.contains("cut.out, line"), qPrintable(warned[0].text));
        QCOMPARE(table()->model()->rowCount(), 0);
    }
};

QTEST_MAIN(TestImportReconstruction)
#include "tst_importreconstruction.moc"
