#pragma once
// The options of `orvelle-index generate`, parsed into a session request. Every value is
// checked here, before any file is read, so that a usage error costs nothing.

#include "sessionrequest.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

struct GenerateCommandLine {
    bool helpRequested = false;
    QString usageError; // empty when the command line is usable
    QString datasetFile;
    SessionRequest request;
    // Names given on the command line; they replace the dataset's own once it is imported.
    QString outputFile;
    QString modelFile;
    QString lowresModelFile;
    QString tesselFile;
    bool sceneNameGiven = false;
    bool upGiven = false;
    bool skipMissing = false; // shots whose photograph is not found are left out
    int startShot = 1;        // as given, counted from 1; checked against the dataset once it is read

    // The given names into the session's request, after the import filled in the dataset's own.
    void applyGivenNames(SessionRequest &target) const;
};

// Registers every option of the command on parser (help included).
void addGenerateOptions(QCommandLineParser &parser, const QString &command);

// arguments: the whole command line (program, "generate", ...).
GenerateCommandLine parseGenerateCommandLine(QCommandLineParser &parser, const QStringList &arguments);
