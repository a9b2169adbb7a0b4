#pragma once
// Shows the scene's model from the start camera with the chosen up direction standing vertical.
// GUI thread only; its GL context is its own. The model file is loaded lazily, at the first draw
// after a new path was accepted while the model is visible.

#include "viewpose.h"

#include <QOpenGLWidget>
#include <QString>

#include <memory>

class Model3D;

class OrientationWidget : public QOpenGLWidget
{
    Q_OBJECT
public:
    explicit OrientationWidget(QWidget *parent = nullptr);
    ~OrientationWidget() override;

    const ViewPose &pose() const { return m_pose; }
    QString modelPath() const { return m_modelPath; }
    bool isModelVisible() const { return m_modelVisible; }
    // The loaded model, null until the first draw that needed it.
    const Model3D *model() const { return m_model.get(); }

public slots:
    // Accepts a path that differs from the current one and names an existing file.
    void set3DModel(QString filename);
    void setModelVisible(bool enable);
    // dir: up direction in world coordinates; startView: the start camera's R . T(-C).
    void setUpDir(ksr::Point3f dir, ksr::Matrix44f startView);

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;

private:
    ViewPose m_pose;
    std::unique_ptr<Model3D> m_model;
    QString m_modelPath;
    bool m_modelChanged = false;
    bool m_modelVisible = false;
};
