// The inputs the window and the command-line tool hand to the jobs: thumbnail paths, the twelve
// feature weights and the positions derived from a viewing order.

#include "jobinputs.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestJobInputs : public QObject
{
    Q_OBJECT

private slots:
    void thumbnailPathBesideThePhotograph()
    {
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        const QString real = QDir(temp.path()).canonicalPath();
        QVERIFY(QDir(real).mkpath("photos"));
        QVERIFY(QFile::link(real + "/photos", real + "/link"));
        for (const char *name : {"IMG_0042.JPG", "a.b.jpg"}) {
            QFile photo(real + "/photos/" + name);
            QVERIFY(photo.open(QIODevice::WriteOnly));
        }

        // The folder is canonical (links resolved), the file name unchanged, case included.
        QCOMPARE(JobInputs::thumbnailPath(real + "/link/IMG_0042.JPG"),
                 real + "/photos/thumbnails/IMG_0042.JPG");
        QCOMPARE(JobInputs::thumbnailPath(real + "/link/../photos/a.b.jpg"),
                 real + "/photos/thumbnails/a.b.jpg");
        // A photograph missing from its folder, or from a folder that is missing too, still gets an
        // absolute path beside where it should be, never one relative to the current folder.
        QCOMPARE(JobInputs::thumbnailPath(real + "/link/gone.jpg"), real + "/photos/thumbnails/gone.jpg");
        QCOMPARE(JobInputs::thumbnailPath(real + "/nowhere/gone.jpg"), real + "/nowhere/thumbnails/gone.jpg");
        // A photograph that was never found has no thumbnail, rather than one in the current folder.
        QCOMPARE(JobInputs::thumbnailPath(QString()), QString());
        QCOMPARE(JobInputs::thumbnailPaths({real + "/photos/x.jpg", QString()}),
                 QStringList({real + "/photos/thumbnails/x.jpg", QString()}));
    }

    void featureWeights_data()
    {
        QTest::addColumn<QVector<int>>("ordering");
        QTest::addColumn<QVector<int>>("clustering");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QVector<float>>("expected");
        QTest::newRow("window defaults")
            << QVector<int>{0, 50, 50, 0, 0, 0} << QVector<int>{0, 50, 50, 0, 0, 0} << 100
            << QVector<float>{0, 0.5f, 0.5f, 0, 0, 0, 0, 0.5f, 0.5f, 0, 0, 0};
        // Each slider keeps its place: the ordering six first, then the clustering six.
        QTest::newRow("distinct") << QVector<int>{1, 2, 3, 4, 5, 6} << QVector<int>{10, 20, 30, 40, 50, 100}
                                  << 100 << QVector<float>{0.01f, 0.02f, 0.03f, 0.04f, 0.05f, 0.06f,
                                                           0.1f,  0.2f,  0.3f,  0.4f,  0.5f,  1.0f};
        QTest::newRow("other range") << QVector<int>{10, 0, 0, 0, 0, 5} << QVector<int>{0, 0, 0, 0, 0, 20}
                                     << 20 << QVector<float>{0.5f, 0, 0, 0, 0, 0.25f, 0, 0, 0, 0, 0, 1.0f};
        QTest::newRow("out of range clamped")
            << QVector<int>{-5, 150, 0, 0, 0, 0} << QVector<int>{0, 0, 0, 0, 0, 0} << 100
            << QVector<float>{0, 1.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        QTest::newRow("no range") << QVector<int>{1, 1, 1, 1, 1, 1} << QVector<int>{1, 1, 1, 1, 1, 1} << 0
                                  << QVector<float>(12, 0.0f);
    }
    void featureWeights()
    {
        QFETCH(QVector<int>, ordering);
        QFETCH(QVector<int>, clustering);
        QFETCH(int, maximum);
        QFETCH(QVector<float>, expected);
        JobInputs::FeatureSliders order{}, cluster{};
        for (int i = 0; i < 6; ++i) {
            order[std::size_t(i)] = ordering[i];
            cluster[std::size_t(i)] = clustering[i];
        }
        const OrderingWeights weights = JobInputs::featureWeights(order, cluster, maximum);
        const float found[12] = {
            weights.ordering.time,     weights.ordering.direction,   weights.ordering.position,
            weights.ordering.target,   weights.ordering.color,       weights.ordering.colorSpatial,
            weights.clustering.time,   weights.clustering.direction, weights.clustering.position,
            weights.clustering.target, weights.clustering.color,     weights.clustering.colorSpatial};
        for (int i = 0; i < 12; ++i)
            QVERIFY2(qAbs(found[i] - expected[i]) < 1e-6f,
                     qPrintable(QString("weight %1 is %2").arg(i).arg(found[i])));
    }

    void positionsFromOrder_data()
    {
        QTest::addColumn<QVector<int>>("order");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QVector<int>>("positions");
        QTest::newRow("2,0,1") << QVector<int>{2, 0, 1} << 3 << QVector<int>{1, 2, 0};
        QTest::newRow("identity") << QVector<int>{0, 1, 2, 3} << 4 << QVector<int>{0, 1, 2, 3};
        QTest::newRow("reversed") << QVector<int>{3, 2, 1, 0} << 4 << QVector<int>{3, 2, 1, 0};
        QTest::newRow("empty order") << QVector<int>{} << 2 << QVector<int>{-1, -1};
        // A table shrunk since the order was computed: rows it no longer has are ignored.
        QTest::newRow("rows gone") << QVector<int>{4, 1, 0, -2} << 2 << QVector<int>{2, 1};
        QTest::newRow("repeated row") << QVector<int>{1, 1, 0} << 3 << QVector<int>{2, 0, -1};
        QTest::newRow("no rows") << QVector<int>{0} << 0 << QVector<int>{};
    }
    void positionsFromOrder()
    {
        QFETCH(QVector<int>, order);
        QFETCH(int, rows);
        QFETCH(QVector<int>, positions);
        QCOMPARE(JobInputs::positionsFromOrder(order, rows), positions);
    }
};

QTEST_GUILESS_MAIN(TestJobInputs)
#include "tst_jobinputs.moc"
