// The feature store's lookup rules: a record serves only the file it was read from, and only a
// run whose needs it covers.

#include "featurestore.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(ImageFeatureNeeds)

class TestFeatureStore : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString photo(const QString &name, QRgb colour, int width = 16)
    {
        QImage image(width, 8, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = m_dir.filePath(name);
        if (!image.save(path, "PNG"))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void recordServesTheNeedsItCovers_data()
    {
        QTest::addColumn<ImageFeatureNeeds>("read");
        QTest::addColumn<ImageFeatureNeeds>("asked");
        QTest::addColumn<bool>("found");
        const ImageFeatureNeeds nothing{false, false}, time{true, false},
            full{true, true, FeatureDecoding::FullSize}, reduced{false, true, FeatureDecoding::Reduced};
        QTest::newRow("same needs") << full << full << true;
        QTest::newRow("fewer needs") << full << time << true;
        QTest::newRow("no needs") << time << nothing << true;
        QTest::newRow("colours missing") << time << full << false;
        QTest::newRow("time missing")
            << reduced << ImageFeatureNeeds{true, true, FeatureDecoding::Reduced} << false;
        QTest::newRow("colours decoded the other way") << reduced << full << false;
    }
    void recordServesTheNeedsItCovers()
    {
        QFETCH(ImageFeatureNeeds, read);
        QFETCH(ImageFeatureNeeds, asked);
        QFETCH(bool, found);
        const QString path = photo("needs.png", qRgb(10, 200, 30));
        FeatureStore store;
        store.store(computeImageFeatures(path, read));
        QCOMPARE(store.find(path, asked).has_value(), found);
    }

    void recordFollowsTheFile()
    {
        const ImageFeatureNeeds colours{false, true};
        FeatureStore store;
        const QString path = photo("follows.png", qRgb(255, 0, 0));
        store.store(computeImageFeatures(path, colours));
        QCOMPARE(store.find(path, colours)->colorDistr[48], 16 * 8);
        QVERIFY(!store.find(m_dir.filePath("other.png"), colours));

        // Another size, then the same size with another modification time.
        photo("follows.png", qRgb(255, 0, 0), 24);
        QVERIFY(!store.find(path, colours));
        store.store(computeImageFeatures(path, colours));
        QVERIFY(store.find(path, colours));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(
            file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        file.close();
        QVERIFY(!store.find(path, colours));

        // A photograph that is gone: its record no longer serves; one read while missing does.
        store.store(computeImageFeatures(path, colours));
        QVERIFY(QFile::remove(path));
        QVERIFY(!store.find(path, colours));
        store.store(computeImageFeatures(path, colours));
        QVERIFY(store.find(path, colours));
        QVERIFY(!store.find(path, colours)->imageReadable);

        // Nameless records (a photograph the import did not find) are not kept.
        store.store(computeImageFeatures(QString(), colours));
        QCOMPARE(store.size(), 1);
        store.clear();
        QCOMPARE(store.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestFeatureStore)
#include "tst_featurestore.moc"
