#pragma once
// The readers the fuzzer drives. Each reads one file by name, as the programs do.

#include <QString>
#include <QStringList>

struct ReaderTarget {
    const char *name;
    const char *summary;
    QStringList suffixes; // file-name endings the reader accepts; the seeds carry theirs
    void (*read)(const QString &path);
};

// Every target; find by name with readerTarget().
const QList<ReaderTarget> &readerTargets();
const ReaderTarget *readerTarget(const QString &name);
