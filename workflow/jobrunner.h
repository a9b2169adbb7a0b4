#pragma once
// Runs one job to its end for a front end without a window. Call on the thread that runs the
// application's event loop: the job's queued signals (results, progress) are delivered to their
// receivers while the call waits in a local event loop, exactly as they would be in the window.

#include <QString>

class QThread;
class TesselComputationProcess;

namespace JobRunner
{

// Starts the thread (inherited priority) and returns once it has finished and every signal it
// emitted has been delivered.
void runToEnd(QThread &job);

// Starts the builder on model, writing output, and returns once it has ended. True when it
// produced the model; otherwise title and message say why (the builder's own error texts).
bool runBuilder(TesselComputationProcess &builder, const QString &model, bool pointCloud,
                const QString &output, QString &title, QString &message);

} // namespace JobRunner
