#include "tesselcomputationprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace
{
QString errorTitle()
{
    return TesselComputationProcess::tr("\"tesselbuilder\" error");
}

// Last non-empty line of what the builder wrote on standard error.
QString lastLine(const QByteArray &text)
{
    const QList<QByteArray> lines = text.split('\n');
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        const QByteArray line = it->trimmed();
        if (!line.isEmpty())
            return QString::fromLocal8Bit(line);
    }
    return QString();
}
// Relative paths resolved against the current folder; absolute and empty ones as given.
QString absolutePath(const QString &path)
{
    const QFileInfo info(path);
    return path.isEmpty() || info.isAbsolute() ? path : info.absoluteFilePath();
}
} // namespace

TesselComputationProcess::TesselComputationProcess()
    : QProcess(nullptr), m_builderProgram(defaultBuilderProgram())
{
    setReadChannel(QProcess::StandardOutput);
    connect(this, &QProcess::errorOccurred, this, &TesselComputationProcess::processError,
            Qt::AutoConnection);
    connect(this, &QProcess::readyReadStandardOutput, this, &TesselComputationProcess::updateTslProgress,
            Qt::DirectConnection);
    // Only a clean exit means a usable model; crashes and failures are reported as errors.
    connect(this, &QProcess::finished, this, &TesselComputationProcess::processFinished, Qt::AutoConnection);
}

TesselComputationProcess::~TesselComputationProcess()
{
    // The killed child would otherwise report "Crashed" to a window that is closing.
    blockSignals(true);
    kill();
    waitForFinished(3000);
}

QString TesselComputationProcess::defaultBuilderProgram()
{
    return builderProgramFor(QCoreApplication::applicationDirPath());
}

QString TesselComputationProcess::builderProgramFor(const QString &applicationDir)
{
    const QString besideProgram = applicationDir + QStringLiteral("/tessel/tslbuilder");
    const QString installed =
        QDir::cleanPath(applicationDir + QLatin1Char('/') + QStringLiteral(ORVELLE_INSTALLED_BUILDER));
    for (const QString &candidate : {besideProgram, installed}) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable())
            return candidate;
    }
    return besideProgram;
}

QStringList TesselComputationProcess::builderArguments(const QString &inputModel, bool pointCloud,
                                                       const QString &outputModel, int faceLimit)
{
    QStringList arguments;
    if (pointCloud)
        arguments << QStringLiteral("-P");
    arguments << QStringLiteral("-C") << QStringLiteral("-F") << QString::number(faceLimit)
              << QStringLiteral("-o") << outputModel << inputModel;
    return arguments;
}

int TesselComputationProcess::levelStepFor(int triangles, int faceLimit)
{
    int k = 1;
    // (triangles >> 31) is 0 or -1, so stopping there also ends the search for absurd limits.
    while (k < 31 && (triangles >> k) > faceLimit)
        ++k;
    return 80 / (2 * k);
}

void TesselComputationProcess::startBuilder(const QString &inputModel, bool pointCloud,
                                            const QString &outputModel)
{
    percentDone = 0;
    // The builder runs in the temporary folder: relative paths must not move there with it.
    const QStringList arguments =
        builderArguments(absolutePath(inputModel), pointCloud, absolutePath(outputModel), faceLimit);
    // Only the child starts there; the program's own current folder stays where it was.
    setWorkingDirectory(QDir(QDir::tempPath()).canonicalPath());
    // The builder dies with this program: killed, it must not go on and replace the model file.
    const pid_t parent = ::getpid();
    setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) // the parent died before the line above
            ::_exit(1);
    });
    start(m_builderProgram, arguments, QIODevice::ReadWrite);
}

void TesselComputationProcess::processError(QProcess::ProcessError code)
{
    QString msg;
    switch (code) {
    case QProcess::FailedToStart:
        msg = tr("Failed to start");
        break;
    case QProcess::Crashed:
        msg = tr("Crashed");
        break;
    case QProcess::Timedout:
        msg = tr("Timedout");
        break;
    case QProcess::ReadError:
        msg = tr("Read error");
        break;
    case QProcess::WriteError:
        msg = tr("Write error");
        break;
    case QProcess::UnknownError:
        msg = tr("Unknown error");
        break;
    default:
        msg = tr("Unexpected error");
        break;
    }
    emit error(errorTitle(), msg);
}

void TesselComputationProcess::processFinished(int exitCode, QProcess::ExitStatus status)
{
    // A crash has already been reported through processError().
    if (status != QProcess::NormalExit)
        return;
    if (exitCode == 0) {
        emit tesselReady();
        return;
    }
    QString msg = tr("Exited with code %1").arg(exitCode);
    const QString reason = lastLine(readAllStandardError());
    if (!reason.isEmpty())
        msg += QLatin1Char('\n') + reason;
    emit error(errorTitle(), msg);
}

void TesselComputationProcess::updateTslProgress()
{
    for (QByteArray line = readLine(); !line.isEmpty(); line = readLine()) {
        const int nul = line.indexOf('\0');
        if (nul >= 0)
            line.truncate(nul);
        advance(QString::fromLatin1(line));
    }
}

void TesselComputationProcess::advance(const QString &line)
{
    // Each rule may only raise the percentage: the bar never runs backwards during one build, and
    // 100 is left for the builder's end.
    const int before = percentDone;
    if (line.startsWith(QLatin1String("Building multipartition"))) {
        percentDone = std::min(percentDone + 5, 95);
    } else if (line.startsWith(QLatin1String("N_triangles"))) {
        // Trailing blanks before the newline must not hide the count.
        const QStringList parts = line.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const int triangles = parts.isEmpty() ? 0 : parts.last().trimmed().toInt();
        if (levelStep == -1)
            levelStep = levelStepFor(triangles, faceLimit);
        percentDone = std::min(percentDone + levelStep, 60);
    } else if (line.startsWith(QLatin1String("Exporting partition"))) {
        // Before the first "N_triangles" line the step is unknown: the percentage stays.
        if (levelStep != -1)
            percentDone = std::min(percentDone + levelStep, 85);
    } else if (line.startsWith(QLatin1String("Uniforming normals"))) {
        percentDone = 95;
    }
    percentDone = std::max(percentDone, before);
    emit tesselProgress(percentDone);
}
