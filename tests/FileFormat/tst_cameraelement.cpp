#include "cameraelement.h"
#include "fileformattestutil.h"

#include <QXmlStreamReader>
#include <QtTest>

#include <cstdio>

class TestCameraElement : public QObject
{
    Q_OBJECT
private:
    // The attributes of the element text starts with, as a reader standing at it sees them.
    static QXmlStreamAttributes attributesOf(const QString &text)
    {
        QXmlStreamReader reader(text);
        return reader.readNextStartElement() ? reader.attributes() : QXmlStreamAttributes();
    }

private slots:
    void formatNumber_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("one") << 1.0 << "1";
        QTest::newRow("half") << 0.5 << "0.5";
        QTest::newRow("integer") << 1536.0 << "1536";
        QTest::newRow("small") << 0.0000012 << "1.2e-06";
        QTest::newRow("rounded") << 35.123456 << "35.1235";
        QTest::newRow("exp boundary low") << 0.0001 << "0.0001";
        QTest::newRow("exp below -4") << 0.00001 << "1e-05";
        QTest::newRow("six digits") << 123456.0 << "123456";
        QTest::newRow("million") << 1e6 << "1e+06";
        QTest::newRow("rounded large") << 1234567.0 << "1.23457e+06";
        QTest::newRow("negative zero") << -0.0 << "-0";
        QTest::newRow("negative") << -2.25 << "-2.25";
    }
    void formatNumber()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(CameraElement::formatNumber(value), text);
    }

    // Same text as the C library's %g (in the C locale) for many values.
    void formatNumberMatchesPrintf()
    {
        QRandomGenerator random(42);
        for (int i = 0; i < 2000; ++i) {
            const double value = (random.generateDouble() - 0.5) * std::pow(10.0, random.bounded(-9, 10));
            char expected[64];
            std::snprintf(expected, sizeof expected, "%g", value);
            QCOMPARE(CameraElement::formatNumber(value), QString::fromLatin1(expected));
        }
    }

    // Six digits where they keep the millimetre (ordinary scenes keep their bytes), more where not.
    void formatCoordinate_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("ordinary") << 3.08059 << "3.08059";
        QTest::newRow("float of a short decimal") << double(0.1f) << "0.1";
        QTest::newRow("below a thousand") << 999.4996 << "999.5";
        QTest::newRow("float of 1234.567") << double(1234.567f) << "1234.567";
        QTest::newRow("projected") << 4500000.123 << "4500000.123";
        QTest::newRow("geocentric") << -6378137.5 << "-6378137.5";
        QTest::newRow("negative zero") << -0.0 << "-0";
    }
    void formatCoordinate()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(CameraElement::formatCoordinate(value), text);
    }

    void writeEmptyCamera()
    {
        QCOMPARE(CameraElement::cameraText(Camera(), QStringLiteral("StartCam")),
                 QStringLiteral("<StartCam RotationMatrix=\"1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 \" "
                                "TranslationVector=\"-0 -0 -0 \" FocalMm=\"0\" CenterPx=\"0 0 \" "
                                "LensDistortion=\"0 0 \" ViewportPx=\"0 0 \" PixelSizeMm=\"0 0 \"/>"));
    }

    void writeNegatesCentre()
    {
        Camera camera;
        camera.center = ksr::Point3f(1, 2, 3);
        const QString text = CameraElement::cameraText(camera);
        QVERIFY(text.startsWith(QLatin1String("<ksrCamera ")));
        QVERIFY(text.contains(QLatin1String("TranslationVector=\"-1 -2 -3 \"")));
        Camera back;
        QVERIFY(CameraElement::parseCameraText(text.toUtf8(), back));
        QCOMPARE(back.center, ksr::Point3f(1, 2, 3));
    }

    // Attribute texts as found in files, and the fields they give.
    void parseAttributes_data()
    {
        QTest::addColumn<QString>("attributes");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVector<float>>("expected");
        QTest::newRow("homogeneous translation") << "TranslationVector=\"-1 -2 -3 1 \""
                                                 << "center" << QVector<float>{1, 2, 3};
        QTest::newRow("double space is an empty field") << "TranslationVector=\"1  2 3\""
                                                        << "center" << QVector<float>{-1, 0, -2};
        QTest::newRow("short translation") << "TranslationVector=\"4\""
                                           << "center" << QVector<float>{-4, 0, 0};
        QTest::newRow("viewport") << "ViewportPx=\"4000 3000\""
                                  << "viewport" << QVector<float>{4000, 3000};
        QTest::newRow("viewport trailing space") << "ViewportPx=\"4000 3000 \""
                                                 << "viewport" << QVector<float>{4000, 3000};
        QTest::newRow("fractional centre px") << "CenterPx=\"2000.5 1500 \""
                                              << "centerPx" << QVector<float>{2000.5f, 1500};
        QTest::newRow("garbage reads 0") << "CenterPx=\"abc 7\""
                                         << "centerPx" << QVector<float>{0, 7};
        QTest::newRow("nan and overflow read 0") << "PixelSizeMm=\"nan 1e39\""
                                                 << "pixelSize" << QVector<float>{0, 0};
        QTest::newRow("focal") << "FocalMm=\" 35.5 \""
                               << "focal" << QVector<float>{35.5f};
        QTest::newRow("rotation double spaces")
            << "RotationMatrix=\"0  1 0 0 -1 0  0 0 0 0 1 0 0 0 0 1 \""
            << "rotation" << QVector<float>{0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        QTest::newRow("short rotation keeps identity entries")
            << "RotationMatrix=\"2 3\""
            << "rotation" << QVector<float>{2, 3, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        QTest::newRow("missing rotation is identity")
            << ""
            << "rotation" << QVector<float>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    }
    void parseAttributes()
    {
        QFETCH(QString, attributes);
        QFETCH(QString, field);
        QFETCH(QVector<float>, expected);
        Camera camera;
        camera.distortion[3] = 7; // not stored, must survive the project flavour
        QVERIFY(CameraElement::readCameraProject(
            attributesOf(QStringLiteral("<KSRCamera %1/>").arg(attributes)), camera));
        QVector<float> actual;
        if (field == "center")
            actual = {float(camera.center.x), float(camera.center.y), float(camera.center.z)};
        else if (field == "viewport")
            actual = {float(camera.viewportPx[0]), float(camera.viewportPx[1])};
        else if (field == "centerPx")
            actual = {camera.centerPx[0], camera.centerPx[1]};
        else if (field == "pixelSize")
            actual = {camera.pixelSizeMm[0], camera.pixelSizeMm[1]};
        else if (field == "focal")
            actual = {camera.focalMm};
        else
            actual = QVector<float>(camera.rotation.data(), camera.rotation.data() + 16);
        QCOMPARE(actual, expected);
        QCOMPARE(camera.distortion[3], 7.0f);
    }

    void roundTrip()
    {
        const Camera camera = sampleCamera(3);
        Camera viaText;
        QVERIFY(CameraElement::parseCameraText(CameraElement::cameraText(camera).toUtf8(), viaText));
        compareCameras(viaText, camera);
        if (QTest::currentTestFailed())
            return;
        const QXmlStreamAttributes attributes =
            attributesOf(CameraElement::cameraText(camera, QStringLiteral("KSRCamera")));
        QCOMPARE(attributes.size(), 7);
        QString missing = QStringLiteral("not cleared");
        compareCameras(CameraElement::readCameraIndex(attributes, &missing), camera);
        QVERIFY(missing.isEmpty());
    }

    void indexFlavourReportsFirstMissing_data()
    {
        QTest::addColumn<QStringList>("removed");
        QTest::addColumn<QString>("reported");
        QTest::newRow("translation") << QStringList{"TranslationVector"} << "TranslationVector";
        QTest::newRow("lens only") << QStringList{"LensDistortion"} << "LensDistortion";
        QTest::newRow("reader order, not file order")
            << QStringList{"PixelSizeMm", "ViewportPx", "CenterPx"} << "ViewportPx";
    }
    void indexFlavourReportsFirstMissing()
    {
        QFETCH(QStringList, removed);
        QFETCH(QString, reported);
        QXmlStreamAttributes attributes =
            attributesOf(CameraElement::cameraText(sampleCamera(1), QStringLiteral("KSRCamera")));
        attributes.removeIf(
            [&](const QXmlStreamAttribute &a) { return removed.contains(a.qualifiedName()); });
        QCOMPARE(attributes.size(), 7 - removed.size());
        QString missing;
        const Camera camera = CameraElement::readCameraIndex(attributes, &missing);
        QCOMPARE(missing, reported);
        QCOMPARE(camera.focalMm, 0.0f);
        QVERIFY(camera.rotation.isIdentity());
    }

    void malformedTextLeavesCamera()
    {
        Camera camera = sampleCamera(2);
        QVERIFY(!CameraElement::parseCameraText("<ksrCamera FocalMm=\"1\"", camera));
        QVERIFY(!CameraElement::parseCameraText("", camera));
        QVERIFY(!CameraElement::parseCameraText("<ksrCamera FocalMm=\"1\">" +
                                                    QByteArray("<a>").repeated(200000) +
                                                    QByteArray("</a>").repeated(200000) + "</ksrCamera>",
                                                camera));
        compareCameras(camera, sampleCamera(2));
    }
};

QTEST_GUILESS_MAIN(TestCameraElement)
#include "tst_cameraelement.moc"
