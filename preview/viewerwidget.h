#pragma once
// The live viewer preview of the "View settings" tab: a ViewerScene in a GL widget, with the
// viewer's navigation. It opens at the start shot with the up direction vertical; a click on a
// thumbnail or a framelet, or the arrow keys (right/down next, left/up previous in viewing order),
// move to a shot with a smooth transition lasting 1 / camera speed seconds (speed 0: at once);
// dragging turns the view about the model's centre, the wheel moves closer or away, Home or
// showStartView() returns to the start shot. While the view moves, a multiresolution model is
// drawn from a coarser cut, and once more exactly when it rests. GUI thread only; its GL context is
// its own.

#include "viewerscene.h"

#include <QElapsedTimer>
#include <QOpenGLWidget>
#include <QPoint>
#include <QTimer>

class ViewerWidget : public QOpenGLWidget
{
    Q_OBJECT
public:
    explicit ViewerWidget(QWidget *parent = nullptr);
    ~ViewerWidget() override;

    const ViewerScene &scene() const { return m_scene; }
    const SceneView &view() const { return m_view; }
    bool isMoving() const { return m_moving.isActive(); }

    // Loads the model when path differs from the current one (no GL needed); false when it could
    // not be read, with the reason in *error.
    bool setModelFile(const QString &path, QString *error = nullptr);
    // Reads the current model file again (it was rewritten, as a rebuilt multiresolution model is).
    bool reloadModel(QString *error = nullptr);
    // New shots (indices are the dataset's rows) and their viewing order.
    void setShots(const QVector<ViewerShot> &shots, const QVector<int> &viewingOrder);
    void setSettings(const ViewerSettings &settings);
    // The shot the viewer starts from (-1 for none). A change moves the view there.
    void setStartShot(int shot);
    int startShot() const { return m_startShot; }

public slots:
    // Moves to shot with the viewer's transition; no shotChosen() is emitted.
    void showShot(int shot);
    void showStartView();
    // At the start shot at once, as for a new dataset.
    void startOver();

signals:
    // The user moved to shot (thumbnail, framelet, keys).
    void shotChosen(int shot);

protected:
    void initializeGL() override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void moveTo(int shot, bool animate);
    void step();
    void choose(int shot);
    // Drags and wheel steps come one by one: the view counts as moving until none came for a moment.
    void keepMoving();
    void rest();

    ViewerScene m_scene;
    SceneView m_view;
    SceneView m_from, m_to;
    QTimer m_moving;
    QTimer m_settling;
    QElapsedTimer m_clock;
    double m_duration = 0.0; // seconds
    int m_startShot = -1;
    bool m_glReady = false;
    QPoint m_pressed, m_lastMouse;
    bool m_dragged = false;
};
