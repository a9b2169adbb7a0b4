#pragma once
// Every file one generation reads and every file it writes, named before any step runs: a write
// that would replace one of its inputs, or a file written twice, is refused before anything is
// written. Files are compared by what they are on disk (links and hard links followed), and by
// name when they do not exist yet.

#include "datasetstate.h"
#include "problem.h"

#include <QString>
#include <QVector>

#include <optional>

class RunFiles
{
public:
    // role: what the file is to the run, in the user's words ("the index", "a thumbnail", ...).
    void addRead(const QString &path, const QString &role);
    void addWrite(const QString &path, const QString &role);
    // The dataset file and the files that come with it (a COLMAP model's six files, Bundler's
    // list). An index given as input is no input here: the new index may replace it.
    void addDataset(const QString &datasetFile);

    // The files of generating state's index into indexFile; tesselFile and pointCloudFile are
    // written too when not empty. Photographs, the thumbnails used or made, the model and the
    // low-resolution model (unless they are the point cloud the run writes) are read.
    static RunFiles ofGeneration(const DatasetState &state, const QString &modelFile,
                                 const QString &lowresModelFile, const QString &indexFile,
                                 const QString &tesselFile = QString(),
                                 const QString &pointCloudFile = QString());

    // The first write that meets a read or another write, worded for the user.
    std::optional<Problem> collision() const;

private:
    struct Entry {
        QString path;
        QString role;
        QString name; // resolved: canonical, or the canonical folder and the file name
        QString node; // device and inode of an existing file; empty otherwise
    };
    static Entry entry(const QString &path, const QString &role);
    static bool same(const Entry &a, const Entry &b);

    QVector<Entry> m_reads;
    QVector<Entry> m_writes;
};
