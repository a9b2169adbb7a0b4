#pragma once
// The options of `orvelle-index generate`, parsed into a generation request. Every value is
// checked here, before any file is read, so that a usage error costs nothing.

#include "generation.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

struct GenerateCommandLine {
    bool helpRequested = false;
    QString usageError; // empty when the command line is usable
    GenerationRequest request;
    int startShot = 1; // as given, counted from 1; checked against the dataset once it is read
};

// Registers every option of the command on parser (help included).
void addGenerateOptions(QCommandLineParser &parser);

// arguments: the whole command line (program, "generate", ...).
GenerateCommandLine parseGenerateCommandLine(QCommandLineParser &parser, const QStringList &arguments);
