#pragma once
// The readers the fuzzer drives. Each reads one file by name, as the programs do, or, for formats
// of several files, a model folder whose files come from the seeds but one, the mutated input.

#include <QString>
#include <QStringList>

struct ReaderTarget {
    const char *name;
    const char *summary;
    QStringList suffixes;              // file-name endings the reader accepts; the seeds carry theirs
    void (*read)(const QString &path); // a file, or the model folder when modelFiles is set
    // Formats of several files: the names of a model's files. Their seeds and regressions are in the
    // <name>/ subfolder of the seeds and regressions folders; an input stands for the model file its
    // name ends with ("short-track.points3D.txt" for points3D.txt).
    QStringList modelFiles = {};
};

// Every target; find by name with readerTarget().
const QList<ReaderTarget> &readerTargets();
const ReaderTarget *readerTarget(const QString &name);
