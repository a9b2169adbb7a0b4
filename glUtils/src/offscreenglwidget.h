#ifndef GLUTILS_OFFSCREENGLWIDGET_H
#define GLUTILS_OFFSCREENGLWIDGET_H

#include <QObject>
#include <QString>

class QOffscreenSurface;
class QOpenGLContext;
class QThread;

// A hidden OpenGL "widget" whose context is used from a worker thread.
//
// Threading contract:
// - Construct on the GUI thread: the surface and the context (default format,
//   so fixed-function calls work) are created there, as the platform requires.
// - The owner of the drawing thread (typically a QThread subclass in its own
//   constructor, still on the GUI thread) calls moveContextToThread(thread)
//   before starting it. Only the thread that currently owns the context may
//   move it.
// - On the drawing thread: makeCurrent(), updateGL() and every GL call of the
//   subclass. makeCurrent() returns false, rather than aborting, when called on
//   a thread that does not own the context.
// - When that thread finishes, the context is released there and handed back
//   to the GUI thread automatically, so the object may then be deleted on the
//   GUI thread; subclasses free their GL objects in their destructor after
//   makeCurrent() succeeded (if it fails, the objects die with the context).
// - GL entry points are loaded with GLEW (serialised process-wide) before the
//   first initializeGL(); a failure leaves updateGL() returning false and is
//   described by errorString().
class OffscreenGLWidget : public QObject
{
    Q_OBJECT
public:
    explicit OffscreenGLWidget(QObject *parent = nullptr);
    ~OffscreenGLWidget() override;

    // Whether the surface and the context could be created.
    bool isValid() const;
    // Why the last context, GLEW or thread operation failed; empty if none did.
    QString errorString() const { return m_error; }

    // Call on the thread that owns the context (the GUI thread at first).
    bool moveContextToThread(QThread *thread);

    bool makeCurrent();
    void doneCurrent();

    // Makes the context current, on first use loads GLEW and runs
    // initializeGL() and resizeGL(), then runs paintGL(). The context stays
    // current afterwards. Returns false if nothing could be drawn.
    bool updateGL();
    // Makes the context current and, on first use, loads GLEW and runs
    // initializeGL() and resizeGL(), without drawing.
    bool ensureInitialized();
    bool isInitialized() const { return m_initialized; }

    // Stores the nominal size; resizeGL() runs now if initialised, else at
    // the first updateGL().
    void resize(int width, int height);
    int width() const { return m_width; }
    int height() const { return m_height; }

    QOpenGLContext *context() const { return m_context; }

protected:
    virtual void initializeGL() {}
    virtual void resizeGL(int width, int height)
    {
        Q_UNUSED(width);
        Q_UNUSED(height);
    }
    virtual void paintGL() {}

    void setErrorString(const QString &message) { m_error = message; }

private:
    void handBackContext();

    QOffscreenSurface *m_surface = nullptr;
    QOpenGLContext *m_context = nullptr;
    QThread *m_guiThread = nullptr;
    QMetaObject::Connection m_handBack;
    bool m_initialized = false;
    int m_width = 0;
    int m_height = 0;
    QString m_error;
};

#endif
