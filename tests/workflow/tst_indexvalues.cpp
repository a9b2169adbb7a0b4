// Settings and per-shot values turned into an index, without any window.

#include "indexvalues.h"

#include <QtTest>

class TestIndexValues : public QObject
{
    Q_OBJECT

private:
    static Camera cameraAt(const ksr::Point3f &centre, float focal)
    {
        Camera camera;
        camera.focalMm = focal;
        camera.pixelSizeMm[0] = camera.pixelSizeMm[1] = 0.01f;
        camera.center = centre;
        return camera;
    }
    static QVector<ShotRecord> threeShots()
    {
        const char *names[] = {"a", "b", "c"};
        const int positions[] = {2, 0, 1};
        const int clusters[] = {1, 1, 2};
        QVector<ShotRecord> shots;
        for (int i = 0; i < 3; ++i) {
            ShotRecord shot;
            shot.imagePath = QString("/%1.jpg").arg(names[i]);
            shot.thumbnailPath = QString("/t%1.jpg").arg(names[i]);
            shot.camera = cameraAt({float(i + 1), 0, 0}, 10.0f * float(i + 1));
            shot.depth = 1.5f + float(i);
            shot.orderPosition = positions[i];
            shot.cluster = clusters[i];
            shots.append(shot);
        }
        return shots;
    }

private slots:
    void domeRows_data()
    {
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("colour");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<float>("expectedHeight");
        QTest::addColumn<float>("red");
        QTest::addColumn<float>("blue");
        QTest::newRow("commas") << "-0.05"
                                << "0.65,0.6,0.7" << true << -0.05f << 0.65f << 0.7f;
        QTest::newRow("spaces and commas") << "1"
                                           << " 0.1, 0.2  0.3 " << true << 1.0f << 0.1f << 0.3f;
        QTest::newRow("extra numbers ignored") << "0"
                                               << "0.1,0.2,0.3,0.9" << true << 0.0f << 0.1f << 0.3f;
        QTest::newRow("two numbers") << "0"
                                     << "0.1,0.2" << false << 0.0f << 0.0f << 0.0f;
        QTest::newRow("empty colour") << "0"
                                      << "" << false << 0.0f << 0.0f << 0.0f;
        QTest::newRow("word in colour") << "0"
                                        << "0.1,x,0.3" << false << 0.0f << 0.0f << 0.0f;
        QTest::newRow("height a word") << "top"
                                       << "0.1,0.2,0.3" << false << 0.0f << 0.0f << 0.0f;
        QTest::newRow("height empty") << ""
                                      << "0.1,0.2,0.3" << false << 0.0f << 0.0f << 0.0f;
    }
    void domeRows()
    {
        QFETCH(QString, height);
        QFETCH(QString, colour);
        QFETCH(bool, accepted);
        float h = 42.0f;
        Color4f c{9, 9, 9, 9};
        QCOMPARE(parseDomeRow(height, colour, h, c), accepted);
        if (accepted) {
            QTEST(h, "expectedHeight");
            QTEST(c.red, "red");
            QTEST(c.blue, "blue");
            QCOMPARE(c.alpha, 1.0f);
        } else {
            QCOMPARE(h, 42.0f); // untouched on refusal
            QCOMPARE(c.red, 9.0f);
        }
    }

    void upVectorIsNormalised()
    {
        QCOMPARE(upVector(0, 0, 2), ksr::Point3f(0, 0, 1));
        QCOMPARE(upVector(0, -3, 0), ksr::Point3f(0, -1, 0));
        QCOMPARE(upVector(0, 0, 0), ksr::Point3f(0, 0, 0));
        QVERIFY(qFuzzyCompare(upVector(1, 1, 0).length(), 1.0f));
    }

    void startViewPutsTheCameraAtTheOrigin()
    {
        Camera camera = cameraAt({1, 2, 3}, 35);
        // A quarter turn about z: x axis of the camera is the model's y.
        const float rows[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        camera.rotation = ksr::Matrix44f::fromRowMajor(rows);
        const ksr::Matrix44f view = startViewMatrix(camera);
        QCOMPARE(view * ksr::Point3f(1, 2, 3), ksr::Point3f(0, 0, 0));
        // One unit along model y from the centre is one unit along camera x.
        QCOMPARE(view * ksr::Point3f(1, 3, 3), ksr::Point3f(1, 0, 0));
        QCOMPARE(view.m[0][3], -2.0f);
        QCOMPARE(view.m[1][3], 1.0f);
        QCOMPARE(view.m[2][3], -3.0f);
    }

    void buildCarriesSettingsAndShots()
    {
        IndexSettings settings;
        settings.sceneName = "hall";
        settings.modelFileName = "/m.tsl";
        settings.cameraSpeed = 3;
        settings.upDirection = {0, 0, 1};
        settings.backgroundColor = {0.5f, 0.25f, 0, 1};
        settings.backgroundKind = OrvelleIndex::DomeBackground;
        settings.domeHeights = {0.2f, 0.5f};
        settings.domeColors = {{1, 0, 0, 0.3f}, {0, 0, 1, 1}};
        settings.lighting = true;
        settings.startShot = 1;
        settings.thumbnailBarPosition = 1;
        settings.frameletColor = {0, 1, 0, 1};
        settings.frameletsScale = 2;
        settings.projectionReliability = 0.5f;

        OrvelleIndex index;
        QVERIFY(buildIndex(settings, threeShots(), index));
        QCOMPARE(index.name(), QString("hall"));
        QCOMPARE(index.modelFileName(), QString("/m.tsl"));
        QCOMPARE(index.cameraSpeed(), 3.0f);
        QCOMPARE(index.upDirection(), ksr::Point3f(0, 0, 1));
        QCOMPARE(index.backgroundColor(), Color4f({0.5f, 0.25f, 0, 1}));
        QCOMPARE(index.backgroundKind(), int(OrvelleIndex::DomeBackground));
        QCOMPARE(index.domeVertices().size(), 2);
        QCOMPARE(index.domeVertices()[0], DomeVertex({1, 0, 0, 0.2f}));
        QVERIFY(index.lighting());
        QCOMPARE(index.startCamera().focalMm, 20.0f);

        QCOMPARE(index.collectionCount(), 1);
        const ShotCollection &collection = index.collection(0);
        QCOMPARE(collection.imagePaths(), QStringList({"/a.jpg", "/b.jpg", "/c.jpg"}));
        QCOMPARE(collection.thumbnailPaths(), QStringList({"/ta.jpg", "/tb.jpg", "/tc.jpg"}));
        QCOMPARE(collection.order(), QVector<int>({1, 2, 0}));
        QCOMPARE(collection.clusterNumbers(), QVector<int>({1, 1, 2}));
        QCOMPARE(collection.depths(), QVector<float>({1.5f, 2.5f, 3.5f}));
        QCOMPARE(collection.cameras().size(), 3);
        QCOMPARE(collection.thumbnailBarPosition(), 1);
        QCOMPARE(collection.shotColor(), Color4f({0, 1, 0, 1}));
        QCOMPARE(collection.frameletsScale(), 2.0f);
        QCOMPARE(collection.projectionReliability(), 0.5f);
    }

    void startShotOutsideTheShotsLeavesNoStartCamera()
    {
        IndexSettings settings;
        for (int row : {-1, 3}) {
            settings.startShot = row;
            OrvelleIndex index;
            QVERIFY(buildIndex(settings, threeShots(), index));
            QVERIFY(!index.startCamera().isSet());
        }
    }

    void inconsistentShotsAreRefused_data()
    {
        QTest::addColumn<int>("damage");
        QTest::newRow("repeated position") << 0;
        QTest::newRow("position out of range") << 1;
        QTest::newRow("one depth missing") << 2;
        QTest::newRow("one camera missing") << 3;
    }
    void inconsistentShotsAreRefused()
    {
        QFETCH(int, damage);
        QVector<ShotRecord> shots = threeShots();
        if (damage == 0)
            shots[0].orderPosition = 1; // twice 1, no 2
        else if (damage == 1)
            shots[2].orderPosition = 3;
        else if (damage == 2)
            shots[2].depth.reset();
        else
            shots[2].camera.reset();
        OrvelleIndex index;
        index.setName("untouched");
        QString why;
        QVERIFY(!buildIndex(IndexSettings(), shots, index, &why));
        QVERIFY(!why.isEmpty());
        QCOMPARE(index.name(), QString("untouched"));
    }
};

QTEST_MAIN(TestIndexValues)
#include "tst_indexvalues.moc"
