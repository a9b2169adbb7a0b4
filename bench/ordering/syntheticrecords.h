#pragma once
// Synthetic shot records shared by the ordering benchmark and the test that holds the ordering of
// the benchmark's records to checksums: shots spread over a 400 x 400 x 40 site and a day, random
// directions and colours, drawn from one seed.

#include "shotfeatures.h"

#include <QDateTime>
#include <QVector>

#include <random>

// One shot spread over a day and a site, with random colours.
inline ShotFeatures syntheticRecord(std::mt19937 &random, bool withColors)
{
    static const QDateTime start(QDate(2010, 10, 12), QTime(8, 0), Qt::LocalTime);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    ShotFeatures f;
    f.time = start.addSecs(qint64(random() % 36000));
    if (withColors) {
        for (int k = 0; k < 64; ++k)
            f.colorDistr[k] = int(random() % 50000);
        for (int k = 0; k < 48; ++k)
            f.colorSpatialDistr[k] = int(random() % 256);
    }
    f.dir = ksr::Point3f(unit(random), unit(random), unit(random)).normalized();
    f.pos = {200 * unit(random), 200 * unit(random), 20 * unit(random)};
    f.depth = 20 + 10 * unit(random);
    f.target = f.pos + f.dir * f.depth;
    updateDerivedFeatures(f);
    return f;
}

inline QVector<ShotFeatures> syntheticRecords(int n)
{
    std::mt19937 random(12345);
    QVector<ShotFeatures> rows;
    rows.reserve(n);
    for (int i = 0; i < n; ++i)
        rows.append(syntheticRecord(random, true));
    return rows;
}
