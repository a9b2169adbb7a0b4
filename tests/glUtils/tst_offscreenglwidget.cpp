#include "offscreenglwidget.h"

#include <QGuiApplication>
#include <QOpenGLContext>
#include <QThread>
#include <QtTest>

namespace
{

// Records what ran where, and whether fixed-function drawing works.
class ProbeWidget : public OffscreenGLWidget
{
public:
    int initCount = 0;
    int paintCount = 0;
    int resizeCount = 0;
    QThread *paintThread = nullptr;
    GLenum lastError = GL_NO_ERROR;
    QByteArray version;

protected:
    void initializeGL() override
    {
        ++initCount;
        version = reinterpret_cast<const char *>(glGetString(GL_VERSION));
    }
    void resizeGL(int, int) override { ++resizeCount; }
    void paintGL() override
    {
        ++paintCount;
        paintThread = QThread::currentThread();
        glBegin(GL_TRIANGLES);
        glVertex2f(0, 0);
        glVertex2f(1, 0);
        glVertex2f(0, 1);
        glEnd();
        glFinish();
        lastError = glGetError();
    }
};

class DrawingThread : public QThread
{
public:
    explicit DrawingThread(ProbeWidget *widget) : m_widget(widget) { m_widget->moveContextToThread(this); }
    bool firstResult = false;
    bool secondResult = false;

protected:
    void run() override
    {
        firstResult = m_widget->updateGL();
        secondResult = m_widget->updateGL();
    }

private:
    ProbeWidget *m_widget;
};

} // namespace

class TestOffscreenGLWidget : public QObject
{
    Q_OBJECT
private slots:
    void drawsOnTheGuiThread();
    void drawsFromAWorkerAndComesBack();
    void refusesAForeignThreadWithoutAborting();
};

void TestOffscreenGLWidget::drawsOnTheGuiThread()
{
    ProbeWidget widget;
    QVERIFY2(widget.isValid(), qPrintable(widget.errorString()));
    QVERIFY2(widget.updateGL(), qPrintable(widget.errorString()));
    QVERIFY(widget.updateGL());
    QCOMPARE(widget.initCount, 1);
    QCOMPARE(widget.resizeCount, 1);
    QCOMPARE(widget.paintCount, 2);
    QVERIFY(!widget.version.isEmpty());
    // A core profile would reject glBegin with GL_INVALID_OPERATION.
    QCOMPARE(widget.lastError, GLenum(GL_NO_ERROR));
    widget.resize(64, 32);
    QCOMPARE(widget.resizeCount, 2);
    QCOMPARE(widget.width(), 64);
}

void TestOffscreenGLWidget::drawsFromAWorkerAndComesBack()
{
    auto *widget = new ProbeWidget;
    QVERIFY2(widget->isValid(), qPrintable(widget->errorString()));
    DrawingThread thread(widget);
    thread.start();
    QVERIFY(thread.wait(30000));
    QVERIFY2(thread.firstResult, qPrintable(widget->errorString()));
    QVERIFY(thread.secondResult);
    QCOMPARE(widget->initCount, 1);
    QCOMPARE(widget->paintCount, 2);
    QCOMPARE(widget->paintThread, static_cast<QThread *>(&thread));
    QCOMPARE(widget->lastError, GLenum(GL_NO_ERROR));
    // Handed back when the worker finished: usable and deletable here.
    QCOMPARE(widget->context()->thread(), QThread::currentThread());
    QVERIFY(widget->makeCurrent());
    QVERIFY(widget->updateGL());
    QCOMPARE(widget->paintThread, QThread::currentThread());
    delete widget;
}

void TestOffscreenGLWidget::refusesAForeignThreadWithoutAborting()
{
    auto *widget = new ProbeWidget;
    QVERIFY(widget->isValid());
    {
        QThread neverStarted;
        QVERIFY(widget->moveContextToThread(&neverStarted));
        QVERIFY(!widget->makeCurrent());
        QVERIFY(!widget->updateGL());
        QVERIFY(!widget->errorString().isEmpty());
        QCOMPARE(widget->paintCount, 0);
        // Only the owner may move it: from here this must be refused.
        QVERIFY(!widget->moveContextToThread(QThread::currentThread()));
    }
    delete widget; // stranded context, destroyed from the GUI thread
}

QTEST_MAIN(TestOffscreenGLWidget)
#include "tst_offscreenglwidget.moc"
