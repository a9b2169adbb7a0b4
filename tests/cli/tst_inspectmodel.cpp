// Runs the built orvelle-index on 3D models written here and reads its JSON.

#include "inspectrun.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

using Run = InspectRun;

QJsonArray triple(double x, double y, double z)
{
    return QJsonArray{x, y, z};
}

} // namespace

class TestInspectModel : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &content)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // The box (0,0,0)-(2,4,6) in each format: same counts, box, centre and radius.
    void boxInEveryFormat_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("vertices");
        QTest::addColumn<int>("faces");
        QTest::addColumn<bool>("colors");
        QTest::addRow("ply points, colours")
            << "box.ply"
            << QByteArray("ply\nformat ascii 1.0\nelement vertex 2\nproperty float x\nproperty float "
                          "y\nproperty float z\n"
                          "property uchar red\nproperty uchar green\nproperty uchar blue\nend_header\n0 0 0 "
                          "1 2 3\n2 4 6 4 5 6\n")
            << 2 << 0 << true;
        QTest::addRow("STL upper case")
            << "BOX.STL"
            << QByteArray("solid b\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 2 4 0\nvertex 0 0 "
                          "6\nendloop\nendfacet\nendsolid b\n")
            << 3 << 1 << false;
        QTest::addRow("off") << "box.off" << QByteArray("OFF\n3 1 0\n0 0 0\n2 0 6\n0 4 0\n3 0 1 2\n") << 3
                             << 1 << false;
        QTest::addRow("obj") << "box.obj" << QByteArray("v 0 0 0\nv 2 0 0\nv 2 4 6\nf 1 2 3\n") << 3 << 1
                             << false;
    }
    void boxInEveryFormat()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(int, vertices);
        QFETCH(int, faces);
        QFETCH(bool, colors);
        const QString path = write(name, content);
        const Run r = inspect(path);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.json["file"].toString(), path);
        QVERIFY(r.json["ok"].toBool());
        QCOMPARE(r.json["errorCode"].toInt(), 0);
        QCOMPARE(r.json["vertices"].toInt(), vertices);
        QCOMPARE(r.json["faces"].toInt(), faces);
        QCOMPARE(r.json["pointCloud"].toBool(), faces == 0);
        QCOMPARE(r.json["hasVertexColors"].toBool(), colors);
        QCOMPARE(r.json["bboxMin"].toArray(), triple(0, 0, 0));
        QCOMPARE(r.json["bboxMax"].toArray(), triple(2, 4, 6));
        QCOMPARE(r.json["center"].toArray(), triple(1, 2, 3));
        QCOMPARE(float(r.json["radius"].toDouble()), 0.5f * std::sqrt(56.0f));
        QVERIFY(r.json["loadMask"].toInt() & 1);
    }

    // The importer's verdict is reported; a file read in part is "ok", one refused whole is not.
    void importProblems_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("vertices");
        QTest::addRow("vmi") << "m.vmi" << QByteArray("data") << "VMI files are not supported" << 0;
        QTest::addRow("tsl, not ours")
            << "m.tsl" << QByteArray("data") << "Not a valid multiresolution (tsl) file (bad header)" << 0;
        QTest::addRow("truncated")
            << "t.ply"
            << QByteArray("ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\n"
                          "property float z\nend_header\n1 2 3\n4 5 6\n")
            << "Unexpected end of file: the PLY file is truncated" << 2;
    }
    void importProblems()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, text);
        QFETCH(int, vertices);
        const Run r = inspect(write(name, content));
        QCOMPARE(r.exitCode, vertices > 0 ? 0 : 1);
        QCOMPARE(r.json["ok"].toBool(), vertices > 0);
        QVERIFY(r.json["errorCode"].toInt() != 0);
        QCOMPARE(r.json["errorText"].toString(), text);
        QCOMPARE(r.json["vertices"].toInt(), vertices);
        QVERIFY(r.err.contains(text.toUtf8()));
    }

    void missingModelIsNotOk()
    {
        const Run r = inspect(m_dir.filePath("absent.obj"));
        QCOMPARE(r.exitCode, 1);
        QVERIFY(!r.json["ok"].toBool());
        QVERIFY(r.err.contains("file not found"));
    }
};

QTEST_GUILESS_MAIN(TestInspectModel)
#include "tst_inspectmodel.moc"
