#include "jobrunner.h"

#include "tesselcomputationprocess.h"

#include <QEventLoop>
#include <QThread>

namespace JobRunner
{

void runToEnd(QThread &job)
{
    QEventLoop loop;
    // Queued, so that the quit comes after every result the job emitted before it ended.
    QObject::connect(&job, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    job.start(QThread::InheritPriority);
    loop.exec();
    job.wait();
}

bool runBuilder(TesselComputationProcess &builder, const QString &model, bool pointCloud,
                const QString &output, QString &title, QString &message)
{
    bool ready = false;
    bool failed = false;
    QEventLoop loop;
    QObject::connect(&builder, &TesselComputationProcess::tesselReady, &loop, [&] { ready = true; });
    QObject::connect(&builder, &TesselComputationProcess::error, &loop,
                     [&](const QString &errorTitle, const QString &errorMessage) {
                         if (!failed) {
                             title = errorTitle;
                             message = errorMessage;
                         }
                         failed = true;
                     });
    // A builder that never started sends no finished(): its error ends the wait.
    QObject::connect(
        &builder, &QProcess::errorOccurred, &loop,
        [&](QProcess::ProcessError code) {
            if (code == QProcess::FailedToStart)
                loop.quit();
        },
        Qt::QueuedConnection);
    QObject::connect(&builder, &QProcess::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);

    builder.startBuilder(model, pointCloud, output);
    loop.exec();
    if (builder.state() != QProcess::NotRunning) {
        builder.kill();
        builder.waitForFinished(3000);
    }
    QObject::disconnect(&builder, nullptr, &loop, nullptr);
    return ready && !failed;
}

} // namespace JobRunner
