#ifndef DEPTH_DEPTHCOMPUTATIONTHREAD_H
#define DEPTH_DEPTHCOMPUTATIONTHREAD_H

#include "camera.h"

#include <QString>
#include <QThread>
#include <QVector>

#include <atomic>
#include <memory>

class Depth;

// One-shot job: loads the model once and reports the depth of every shot, in dataset order.
// Construct on the GUI thread (the Depth renderer and its context are made there and the
// context is handed to this thread); inputs are copied. Delete on the GUI thread after
// finished(); the renderer goes with it.
class DepthComputationThread : public QThread
{
    Q_OBJECT
public:
    DepthComputationThread(const QString &modelFileName, const QVector<Camera> &shots,
                           QObject *parent = nullptr);
    ~DepthComputationThread() override;

    // Asks run() to stop before the next shot; wait() for it afterwards. Safe from any thread.
    void requestStop() { m_stopRequested.store(true); }

    Depth *depthRenderer() const { return m_depth.get(); }

signals:
    // Depth of shot i in model units (0.0 when the model covers none of its pixels).
    void newDepth(int i, float val);
    // Whole percent of the shots done, after each one.
    void progress(int perc);
    // At most once per run: the depths are missing or were computed on an incomplete model
    // (missing file, no vertex, partial import, no GL). Title and message for the user.
    void modelProblem(const QString &title, const QString &message);

protected:
    void run() override;

private:
    QString m_modelFileName;
    QVector<Camera> m_shots;
    std::unique_ptr<Depth> m_depth;
    std::atomic<bool> m_stopRequested{false};
};

#endif
