// `orvelle-index render` as a user runs it (the built tool, under xvfb): the picture it writes, and
// the refusals that leave an existing file as it was.
#include "testsupport.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace
{

struct Run {
    int exitCode = -1;
    QString err;
};

Run render(const QStringList &arguments,
           const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ORVELLE_BIN_DIR "/orvelle-index"),
                  QStringList{QStringLiteral("render")} + arguments);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

class TestRender : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_project;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QString why;
        QVERIFY2(
            makeSample(m_dir.filePath(QStringLiteral("sample")), 3, QStringLiteral("320x240"), why, 3000),
            qPrintable(why));
        m_project = m_dir.filePath(QStringLiteral("sample/sample.pfp"));
    }

    void writesTheShotsView()
    {
        const QString picture = m_dir.filePath(QStringLiteral("view.png"));
        const Run run = render({m_project, QStringLiteral("-o"), picture, QStringLiteral("--shot"),
                                QStringLiteral("2"), QStringLiteral("--size"), QStringLiteral("200x150"),
                                QStringLiteral("--background"), QStringLiteral("dome")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QImage image(picture);
        QCOMPARE(image.size(), QSize(200, 150));
        // The model and the photograph, not one flat colour.
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 5)
            for (int x = 0; x < image.width(); x += 5)
                colours.insert(image.pixel(x, y));
        QVERIFY(colours.size() > 50);
    }

    void refusalsLeaveTheFileAlone_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("display");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        QTest::newRow("size") << QStringList{QStringLiteral("--size"), QStringLiteral("12x9000")} << true << 2
                              << QStringLiteral("--size");
        QTest::newRow("shot") << QStringList{QStringLiteral("--shot"), QStringLiteral("9")} << true << 2
                              << QStringLiteral("holds 3 shots");
        QTest::newRow("no display") << QStringList() << false << 1 << QStringLiteral("No display");
    }
    void refusalsLeaveTheFileAlone()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, display);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        const QString picture = m_dir.filePath(QStringLiteral("kept.png"));
        QVERIFY(writeFile(picture, "earlier picture"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!display)
            for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
                environment.remove(QString::fromLatin1(name));
        const Run run = render(QStringList{m_project, QStringLiteral("-o"), picture} + options, environment);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(said), qPrintable(run.err));
        QCOMPARE(readFile(picture), QByteArray("earlier picture"));
    }
};

QTEST_GUILESS_MAIN(TestRender)
#include "tst_render.moc"
