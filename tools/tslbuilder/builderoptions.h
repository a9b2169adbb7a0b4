#pragma once
// Command line of the multiresolution builder:
//   tslbuilder [-P] [-C] [-F faceLimit] -o output input
//   tslbuilder --help | --version
// -P  treat the input as a point cloud (its faces, if any, are ignored)
// -C  keep the per-vertex colours of the input in the output
// -F  most triangles (points, with -P) a partition node may hold; default 10000
// -o  the multiresolution file to write

#include <QString>
#include <QStringList>

struct BuilderOptions {
    bool pointCloud = false;
    bool keepColors = false;
    int faceLimit = 10000;
    QString outputPath;
    QString inputPath;
    bool helpRequested = false;
    bool versionRequested = false;
};

// Parses the arguments after the program name. Returns false and says why in `error` when the
// command line is unusable.
bool parseBuilderArguments(const QStringList &arguments, BuilderOptions &options, QString &error);

QString builderUsage();
