// The report written piece by piece is byte for byte what the JSON library writes whole.
#include "jsonstream.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

#include <cstdio>

class TestJsonStream : public QObject
{
    Q_OBJECT

private slots:
    void sameBytesAsTheLibrary_data()
    {
        QTest::addColumn<QJsonObject>("object");
        QTest::newRow("empty") << QJsonObject();
        QTest::newRow("empty containers") << QJsonObject{
            {"a", QJsonArray()}, {"o", QJsonObject()}, {"n", QJsonArray{QJsonArray(), QJsonObject()}}};
        QTest::newRow("numbers") << QJsonObject{{"n", QJsonArray{0, -0.0, 1, -7, 0.1, 1.0 / 3, 1e-300, 1e21,
                                                                 4503599627370497.0, 2147483648LL, 35.1235}}};
        QTest::newRow("strings and other scalars") << QJsonObject{
            {"q\"uote", "a\\b\n\t\x01 é 写"},
            {"mixed", QJsonArray{"1,2", true, false, QJsonValue(), 2.5, QJsonObject{{"k", "v"}}}}};
        QTest::newRow("nested") << QJsonObject{
            {"z", QJsonObject{{"b", QJsonArray{QJsonArray{1, 2}, QJsonObject{{"c", QJsonArray{"x"}}}}}}},
            {"a", 1}};
    }
    void sameBytesAsTheLibrary()
    {
        QFETCH(QJsonObject, object);
        std::FILE *file = std::tmpfile();
        QVERIFY(file);
        QVERIFY(JsonStream::writeIndented(object, file));
        const long size = std::ftell(file);
        QByteArray written(size, '\0');
        std::rewind(file);
        QCOMPARE(std::fread(written.data(), 1, size_t(size), file), size_t(size));
        std::fclose(file);
        QCOMPARE(written, QJsonDocument(object).toJson(QJsonDocument::Indented));
    }

    void fullDeviceIsFailure()
    {
        std::FILE *full = std::fopen("/dev/full", "w");
        QVERIFY(full);
        QVERIFY(!JsonStream::writeIndented(QJsonObject{{"a", QJsonArray{1, 2, 3}}}, full));
        std::fclose(full);
    }
};

QTEST_GUILESS_MAIN(TestJsonStream)
#include "tst_jsonstream.moc"
