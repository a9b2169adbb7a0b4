// The generated ground truth against the GL depth renderer: both must measure the same depth for
// every photograph, which holds only if the cameras written and the photographs' views agree with
// the renderer's projection. Needs GL (run under xvfb); fails, never skips, without it.

#include "depth.h"
#include "polyforgeproject.h"
#include "sampledataset.h"
#include "testsupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

class TestSampleDepth : public QObject
{
    Q_OBJECT

private slots:
    void depthRendererAgreesWithTruth_data();
    void depthRendererAgreesWithTruth();
};

void TestSampleDepth::depthRendererAgreesWithTruth_data()
{
    QTest::addColumn<QString>("model"); // key in truth.json "model"
    QTest::addColumn<quint64>("seed");
    QTest::newRow("low resolution, seed 1") << "lowResolution" << quint64(1);
    QTest::newRow("full model, seed 1") << "full" << quint64(1);
    QTest::newRow("low resolution, seed 5") << "lowResolution" << quint64(5);
}

void TestSampleDepth::depthRendererAgreesWithTruth()
{
    QFETCH(QString, model);
    QFETCH(quint64, seed);
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString folder = temp.filePath("sample");
    SampleGen::SampleOptions options;
    options.seed = seed;
    options.views = 16;
    options.triangles = 20000;
    options.size = QSize(480, 360); // the depth grid (64 x 48) is that of the default 1600 x 1200
    QString error;
    QVERIFY2(SampleGen::writeSampleDataset(folder, options, &error), qPrintable(error));

    const QJsonObject truth = QJsonDocument::fromJson(readFile(folder + "/truth.json")).object();
    const QJsonArray photographs = truth["photographs"].toArray();
    QVector<Camera> cameras;
    QStringList rasters, meshes;
    QVERIFY(PolyforgeProject::readProject(folder + "/sample.pfp", cameras, rasters, meshes));
    QCOMPARE(cameras.size(), photographs.size());

    Depth depth;
    QVERIFY2(depth.isValid() && depth.updateGL(), qPrintable("no GL: " + depth.errorString()));
    QVERIFY(depth.setModel(folder + "/" + truth["model"].toObject()[model].toString()));
    double worst = 0.0;
    for (int i = 0; i < cameras.size(); ++i) {
        const double expected = photographs[i].toObject()["depth"].toDouble();
        const double measured = depth.computeDepth(cameras[i]);
        QVERIFY(expected > 0.0);
        const double relative = std::fabs(measured - expected) / expected;
        worst = std::max(worst, relative);
        QVERIFY2(
            relative < 0.002,
            qPrintable(QString("%1: renderer %2, truth %3").arg(rasters[i]).arg(measured).arg(expected)));
    }
    qInfo("largest relative difference %.5f", worst);
}

QTEST_MAIN(TestSampleDepth)
#include "tst_sampledepth.moc"
