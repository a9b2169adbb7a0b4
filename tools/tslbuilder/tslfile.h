#pragma once
// Reading and writing the multiresolution file (layout in docs/tsl-format.md).
// The writer goes through a ksr::SafeFile: an existing file is replaced only when everything was written.

#include <ksr/tslmodel.h>

#include <ksr/safefile.h>

#include <QString>

class TslWriter
{
public:
    explicit TslWriter(const QString &path);
    ~TslWriter();

    // Opens the temporary file and writes the header and node table; needs every node's counts.
    bool begin(const TslModel &model, QString &error);
    // Writes positions, colours and triangles of every node of one level; levels in order 0, 1, ...
    bool writeLevel(const TslModel &model, int level, QString &error);
    // Writes every node's normals, then replaces the target file.
    bool finish(const TslModel &model, QString &error);

private:
    bool check(QString &error);

    ksr::SafeFile m_file;
    int m_nextLevel = 0;
};

// Reads and validates a whole file (ksr::io::readTslTree). False with a reason when it is not a valid one.
bool readTslFile(const QString &path, TslModel &model, QString &error);
