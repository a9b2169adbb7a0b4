#pragma once
// The built orvelle-index run as a process, its JSON and messages kept for the checks.

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

struct InspectRun {
    int exitCode = -1; // -1 when the tool did not finish normally
    QJsonObject json;
    QByteArray out, err;
};

inline InspectRun runOrvelleIndex(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(ORVELLE_BIN_DIR "/orvelle-index"), arguments);
    InspectRun result;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    result.json = QJsonDocument::fromJson(result.out).object();
    return result;
}

inline InspectRun inspect(const QString &fileName)
{
    return runOrvelleIndex({QStringLiteral("inspect"), fileName});
}
