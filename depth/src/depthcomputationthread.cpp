#include "depthcomputationthread.h"

#include "depth.h"
#include "polymodel3d.h"

#include <QFileInfo>

DepthComputationThread::DepthComputationThread(const QString &modelFileName, const QVector<Camera> &shots,
                                               QObject *parent)
    : QThread(parent), m_modelFileName(modelFileName), m_shots(shots), m_depth(std::make_unique<Depth>())
{
    m_depth->moveContextToThread(this);
}

DepthComputationThread::~DepthComputationThread() = default;

void DepthComputationThread::run()
{
    const QString name = QFileInfo(m_modelFileName).fileName();
    if (!m_depth->updateGL()) {
        emit modelProblem(tr("Depths not computed"),
                          tr("OpenGL could not be used to render the model: %1").arg(m_depth->errorString()));
        return;
    }
    if (!m_depth->setModel(m_modelFileName)) {
        emit modelProblem(
            tr("Model not found"),
            tr("The model file \"%1\" does not exist. No depths were computed.").arg(m_modelFileName));
        return;
    }
    const PolyModel3D *model = m_depth->model();
    if (model->vertexCount() == 0) {
        const QString why = model->errorCode() != 0 ? model->errorText() : tr("the file holds no vertex");
        emit modelProblem(
            tr("Model not loaded"),
            tr("The model \"%1\" could not be read (%2). No depths were computed.").arg(name, why));
        return;
    }
    if (model->errorCode() != 0)
        emit modelProblem(
            tr("Model read only in part"),
            tr("The model \"%1\" was read only in part (%2). The depths are computed on what was read.")
                .arg(name, model->errorText()));

    const int n = int(m_shots.size());
    for (int i = 0; i < n; ++i) {
        if (m_stopRequested.load())
            return;
        const float value = m_depth->computeDepth(m_shots[i]);
        emit newDepth(i, value);
        emit progress(int((i + 1) / double(n) * 100.0));
    }
}
