#pragma once
// Shows the scene's model from the start camera with the chosen up direction standing vertical.
// A model with its own colours is drawn in them; one without is shaded by a light at the eye so
// its shape can be read. The cameras of all shots are drawn as small frusta, the start shot's
// highlighted (all of it only while the model is shown). Dragging with the mouse turns the view about the
// model's centre, the wheel moves closer or away; a double-click or resetView() returns to the start view.
// GUI thread only; its GL context is its own. The model file is loaded lazily, at the first draw
// after a new path was accepted while the model is visible.

#include "viewpose.h"

#include <QOpenGLWidget>
#include <QPoint>
#include <QString>
#include <QVector>

#include <memory>

class Model3D;

// Where a shot's camera is and what it sees, in world coordinates.
struct ShotFrustum {
    ksr::Point3f centre;
    ksr::Matrix44f rotation; // world-to-camera; rows are the camera axes, it looks along -z
    float halfWidth = 0.5f;  // tangent of half the horizontal angle of view
    float halfHeight = 0.4f; // tangent of half the vertical angle of view
};

class OrientationWidget : public QOpenGLWidget
{
    Q_OBJECT
public:
    explicit OrientationWidget(QWidget *parent = nullptr);
    ~OrientationWidget() override;

    const ViewPose &pose() const { return m_pose; }
    const Orbit &orbit() const { return m_orbit; }
    QString modelPath() const { return m_modelPath; }
    bool isModelVisible() const { return m_modelVisible; }
    // The loaded model, null until the first draw that needed it.
    const Model3D *model() const { return m_model.get(); }
    // The loaded model has colours of its own (drawn unlit).
    bool modelHasColours() const;

    // The shots drawn as frusta; startShot (an index into frusta, or -1) is highlighted.
    void setShotFrusta(const QVector<ShotFrustum> &frusta, int startShot);
    int frustumCount() const { return int(m_frusta.size()); }

public slots:
    // Accepts a path that differs from the current one and names an existing file.
    void set3DModel(QString filename);
    void setModelVisible(bool enable);
    // dir: up direction in world coordinates; startView: the start camera's R . T(-C).
    // Also returns to the start view.
    void setUpDir(ksr::Point3f dir, ksr::Matrix44f startView);
    // Undoes the mouse's turns and moves.
    void resetView();

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void drawModel();
    void drawFrusta(float size);
    ksr::Point3f pivot() const;

    ViewPose m_pose;
    Orbit m_orbit;
    QPoint m_lastMouse;
    std::unique_ptr<Model3D> m_model;
    QString m_modelPath;
    bool m_modelChanged = false;
    bool m_modelVisible = false;
    QVector<ShotFrustum> m_frusta;
    int m_startShot = -1;
};
