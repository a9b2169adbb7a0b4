#pragma once
// Shared by the tests of `orvelle-index generate`: the installed tool run as a process, and the
// generated sample dataset.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTest>

#include "testsupport.h"

struct ToolRun {
    int exitCode = -1;
    bool crashed = false;
    QString out;
    QString err;
};

// The tool as `cmake --install` put it into the stage folder (the builder in its installed place).
inline QString installedTool()
{
    return QStringLiteral(ORVELLE_STAGE_DIR) + QStringLiteral("/bin/orvelle-index");
}

inline ToolRun runTool(const QStringList &arguments, const QString &workingDirectory = QString(),
                       const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                       int timeoutMs = 300000)
{
    ToolRun run;
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(installedTool(), arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
    }
    run.crashed = process.exitStatus() != QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

// The sample dataset with the generator's own triangle count; false when the generator failed.
inline bool makeSample(const QString &folder, int views = 8, const QString &size = QStringLiteral("800x600"))
{
    QString why;
    return makeSample(folder, views, size, why);
}

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
