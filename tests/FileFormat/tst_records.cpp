#include "orvelleindex.h"

#include <QtTest>

class TestRecords : public QObject
{
    Q_OBJECT
private slots:
    void defaults()
    {
        const ShotCollection collection;
        QCOMPARE(collection.frameletsScale(), 1.0f);
        QCOMPARE(collection.projectionReliability(), 1.0f);
        QVERIFY(collection.shotFrame().isIdentity());
        QCOMPARE(collection.thumbnailBarPosition(), 0);
        QCOMPARE(collection.shotColor(), (Color4f{1, 1, 1, 1}));
        QVERIFY(collection.name().isEmpty() && !collection.name().isNull());

        const OrvelleIndex index;
        QCOMPARE(index.upDirection(), ksr::Point3f(0, 1, 0));
        QCOMPARE(index.cameraSpeed(), 1.0f);
        QCOMPARE(index.backgroundKind(), 0);
        QCOMPARE(index.backgroundColor(), (Color4f{0, 0, 0, 1}));
        QVERIFY(!index.lighting());
        QVERIFY(!index.startCamera().isSet());
        QCOMPARE(index.collectionCount(), 0);
    }

    void orderFromPositions_data()
    {
        QTest::addColumn<QVector<int>>("positions");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QVector<int>>("order");
        QTest::newRow("inverse") << QVector<int>{2, 0, 1} << true << QVector<int>{1, 2, 0};
        QTest::newRow("empty") << QVector<int>{} << true << QVector<int>{};
        QTest::newRow("repeated") << QVector<int>{0, 0, 1} << false << QVector<int>{9};
        QTest::newRow("too large") << QVector<int>{3, 0, 1} << false << QVector<int>{9};
        QTest::newRow("negative") << QVector<int>{-1, 0, 1} << false << QVector<int>{9};
    }
    void orderFromPositions()
    {
        QFETCH(QVector<int>, positions);
        QFETCH(bool, accepted);
        QFETCH(QVector<int>, order);
        ShotCollection collection;
        collection.setOrder({9});
        QCOMPARE(collection.setOrderFromPositions(positions), accepted);
        QCOMPARE(collection.order(), order);
    }

    void domeBackground()
    {
        OrvelleIndex index;
        QVERIFY(index.setDomeBackground({0.2f, 0.5f}, {{1, 0, 0, 0.3f}, {0, 0, 1, 1}}));
        QCOMPARE(index.backgroundKind(), 2);
        QCOMPARE(index.domeVertices(), (QVector<DomeVertex>{{1, 0, 0, 0.2f}, {0, 0, 1, 0.5f}}));

        // Fewer colours than heights: refused, nothing changes.
        OrvelleIndex other;
        QVERIFY(!other.setDomeBackground({0.2f, 0.5f}, {{1, 0, 0, 1}}));
        QCOMPARE(other.backgroundKind(), 0);
        QVERIFY(other.domeVertices().isEmpty());
    }

    void writeDefaults()
    {
        ShotCollection collection;
        collection.setImagePaths({"a", "b", "c"});
        collection.setDepths({5, 6, 7});
        collection.fillWriteDefaults();
        QCOMPARE(collection.thumbnailPaths(), (QStringList{"a", "b", "c"}));
        QCOMPARE(collection.order(), (QVector<int>{0, 1, 2}));
        QCOMPARE(collection.clusterNumbers(), (QVector<int>{1, 2, 3}));
        QCOMPARE(collection.projectableFlags(), (QStringList{"true", "true", "true"}));
        QCOMPARE(collection.depths(), (QVector<float>{5, 6, 7}));
        QVERIFY(!collection.isConsistent()); // no cameras yet
        collection.setCameras(QVector<Camera>(3));
        QVERIFY(collection.isConsistent());
        collection.setOrder({0, 2, 2});
        QVERIFY(!collection.isConsistent());
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
