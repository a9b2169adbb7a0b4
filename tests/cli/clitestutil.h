#pragma once
// Shared by the tests of `orvelle-index generate`: the installed tool run as a process, and the
// generated sample dataset.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTest>

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

// make-sample-dataset FOLDER --views N --size WxH; false when the generator failed.
inline bool makeSample(const QString &folder, int views = 8, const QString &size = QStringLiteral("800x600"))
{
    QProcess process;
    process.start(
        QStringLiteral(ORVELLE_BIN_DIR) + QStringLiteral("/make-sample-dataset"),
        {folder, QStringLiteral("--views"), QString::number(views), QStringLiteral("--size"), size});
    return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0 && QFileInfo::exists(folder + QStringLiteral("/sample.pfp"));
}

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
