// The orientation preview drawn under xvfb: what the grabbed frame shows and when the model loads.
#include "model3d.h"
#include "orientationwidget.h"
#include "testsupport.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QOpenGLContext>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <functional>
#include <memory>

namespace
{
struct Quad {
    float x0, y0, x1, y1;
    int r, g, b;
};

// Flat coloured quads in the plane z = 0, as an ascii PLY.
bool writeQuads(const QString &path, const QList<Quad> &quads)
{
    QByteArray text = "ply\nformat ascii 1.0\nelement vertex " + QByteArray::number(4 * quads.size()) +
                      "\nproperty float x\nproperty float y\nproperty float z\n"
                      "property uchar red\nproperty uchar green\nproperty uchar blue\n"
                      "element face " +
                      QByteArray::number(2 * quads.size()) +
                      "\nproperty list uchar int vertex_indices\nend_header\n";
    for (const Quad &q : quads) {
        const QByteArray colour = " " + QByteArray::number(q.r) + " " + QByteArray::number(q.g) + " " +
                                  QByteArray::number(q.b) + "\n";
        text += QByteArray::number(q.x0) + " " + QByteArray::number(q.y0) + " 0" + colour;
        text += QByteArray::number(q.x1) + " " + QByteArray::number(q.y0) + " 0" + colour;
        text += QByteArray::number(q.x1) + " " + QByteArray::number(q.y1) + " 0" + colour;
        text += QByteArray::number(q.x0) + " " + QByteArray::number(q.y1) + " 0" + colour;
    }
    for (int i = 0; i < quads.size(); ++i) {
        const int v = 4 * i;
        text += "3 " + QByteArray::number(v) + " " + QByteArray::number(v + 1) + " " +
                QByteArray::number(v + 2) + "\n";
        text += "3 " + QByteArray::number(v) + " " + QByteArray::number(v + 2) + " " +
                QByteArray::number(v + 3) + "\n";
    }
    return writeFile(path, text);
}

// Red on the left, green on the right, blue band on top.
const QList<Quad> scene{{-4, -2, 0, 2, 255, 0, 0}, {0, -2, 4, 2, 0, 255, 0}, {-4, 2, 4, 4, 0, 0, 255}};

// A fold without colours: a face towards +z on the left, one turned 60 degrees away on the right.
bool writeUncolouredFold(const QString &path)
{
    return writeFile(path, "ply\nformat ascii 1.0\nelement vertex 6\n"
                           "property float x\nproperty float y\nproperty float z\n"
                           "element face 4\nproperty list uchar int vertex_indices\nend_header\n"
                           "-4 -3 0\n0 -3 0\n0 3 0\n-4 3 0\n2 -3 -3.4641\n2 3 -3.4641\n"
                           "3 0 1 2\n3 0 2 3\n3 1 4 5\n3 1 5 2\n");
}

int countPixels(const QImage &image, const std::function<bool(const QColor &)> &wanted)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += wanted(image.pixelColor(x, y));
    return count;
}

bool isBlackEverywhere(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0)
                return false;
    return true;
}

bool isColour(const QColor &c, int r, int g, int b)
{
    return std::abs(c.red() - r) < 30 && std::abs(c.green() - g) < 30 && std::abs(c.blue() - b) < 30;
}
} // namespace

class TstOrientationWidget : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_scene, m_yellow;

    // A shown widget of 200 x 200 pixels with a working GL context; fails the test otherwise.
    bool prepare(OrientationWidget &widget)
    {
        widget.resize(200, 200);
        widget.show();
        if (!QTest::qWaitForWindowExposed(&widget))
            return false;
        widget.grabFramebuffer();
        return widget.context() && widget.context()->isValid();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_scene = m_dir.filePath("scene.ply");
        m_yellow = m_dir.filePath("yellow.ply");
        QVERIFY(writeQuads(m_scene, scene));
        QVERIFY(writeQuads(m_yellow, {{-4, -4, 4, 4, 255, 255, 0}}));
    }

    void showsModelFromStartCamera_data()
    {
        QTest::addColumn<ksr::Point3f>("up");
        QTest::addColumn<QPoint>("redAt");
        QTest::addColumn<QPoint>("greenAt");
        QTest::addColumn<QPoint>("blueAt");
        // 60 degrees over 200 pixels at distance 10: about 17 pixels per unit. With x up, world x
        // points up the screen and world y to the left.
        QTest::newRow("y up") << ksr::Point3f(0, 1, 0) << QPoint(65, 100) << QPoint(135, 100)
                              << QPoint(100, 48);
        QTest::newRow("y down turns the picture")
            << ksr::Point3f(0, -1, 0) << QPoint(135, 100) << QPoint(65, 100) << QPoint(100, 152);
        QTest::newRow("x up turns it a quarter")
            << ksr::Point3f(1, 0, 0) << QPoint(100, 135) << QPoint(100, 65) << QPoint(48, 100);
    }
    void showsModelFromStartCamera()
    {
        QFETCH(ksr::Point3f, up);
        QFETCH(QPoint, redAt);
        QFETCH(QPoint, greenAt);
        QFETCH(QPoint, blueAt);
        OrientationWidget widget;
        QVERIFY2(prepare(widget), "no GL context");
        widget.set3DModel(m_scene);
        widget.setModelVisible(true);
        widget.setUpDir(up, cameraAt({0, 0, 10}).worldToCamera());
        const QImage image = widget.grabFramebuffer();
        QVERIFY(!image.isNull());
        QVERIFY(widget.model());
        QVERIFY2(isColour(image.pixelColor(redAt), 255, 0, 0), qPrintable(image.pixelColor(redAt).name()));
        QVERIFY2(isColour(image.pixelColor(greenAt), 0, 255, 0),
                 qPrintable(image.pixelColor(greenAt).name()));
        QVERIFY2(isColour(image.pixelColor(blueAt), 0, 0, 255), qPrintable(image.pixelColor(blueAt).name()));
        QVERIFY(isColour(image.pixelColor(3, 3), 0, 0, 0));
    }

    void hiddenModelIsNotLoadedNorDrawn()
    {
        OrientationWidget widget;
        QVERIFY2(prepare(widget), "no GL context");
        widget.set3DModel(m_scene);
        widget.setUpDir({0, 1, 0}, cameraAt({0, 0, 10}).worldToCamera());
        QImage image = widget.grabFramebuffer();
        QVERIFY(!image.isNull());
        QVERIFY(isBlackEverywhere(image));
        QVERIFY(!widget.model());

        // Shown, it loads; hidden again, only the background remains.
        widget.setModelVisible(true);
        image = widget.grabFramebuffer();
        QVERIFY(widget.model());
        QVERIFY(!isBlackEverywhere(image));
        widget.setModelVisible(false);
        image = widget.grabFramebuffer();
        QVERIFY(isBlackEverywhere(image));
    }

    void neverShownWidgetKeepsSettings()
    {
        auto widget = std::make_unique<OrientationWidget>();
        widget->set3DModel(m_scene);
        widget->setModelVisible(true);
        widget->setUpDir({0, 0, 1}, cameraAt({1, 2, 3}).worldToCamera());
        QCOMPARE(widget->modelPath(), m_scene);
        QCOMPARE(widget->pose().position, ksr::Point3f(1, 2, 3));
        QVERIFY(!widget->model());
        widget.reset();
    }

    void modelPathChanges()
    {
        OrientationWidget widget;
        QVERIFY2(prepare(widget), "no GL context");
        widget.setModelVisible(true);
        widget.setUpDir({0, 1, 0}, cameraAt({0, 0, 10}).worldToCamera());
        widget.set3DModel(m_scene);
        widget.grabFramebuffer();
        QVERIFY(widget.model());
        QSignalSpy loads(widget.model(), &Model3D::readyToRender);

        // The same path again: no reload, even when the file changed meanwhile.
        const QString copy = m_dir.filePath("copy.ply");
        QVERIFY(QFile::copy(m_scene, copy));
        widget.set3DModel(copy);
        QImage image = widget.grabFramebuffer();
        QCOMPARE(loads.count(), 1);
        QVERIFY(QFile::remove(copy) && QFile::copy(m_yellow, copy));
        widget.set3DModel(copy);
        image = widget.grabFramebuffer();
        QCOMPARE(loads.count(), 1);
        QVERIFY(isColour(image.pixelColor(65, 100), 255, 0, 0));

        // A path that names no file (still being typed) keeps the shown model.
        widget.set3DModel(m_dir.filePath("yel"));
        widget.set3DModel(m_dir.path());
        image = widget.grabFramebuffer();
        QCOMPARE(widget.modelPath(), copy);
        QCOMPARE(loads.count(), 1);

        // A new file is loaded into the same model object.
        const Model3D *model = widget.model();
        widget.set3DModel(m_yellow);
        image = widget.grabFramebuffer();
        QCOMPARE(loads.count(), 2);
        QCOMPARE(widget.model(), model);
        QVERIFY(isColour(image.pixelColor(100, 100), 255, 255, 0));
    }

    // Without colours of its own a model is lit from the eye: a face turned away is darker than
    // one facing the eye, and both are grey, not black.
    void uncolouredModelIsShaded()
    {
        const QString fold = m_dir.filePath("fold.ply");
        QVERIFY(writeUncolouredFold(fold));
        OrientationWidget widget;
        QVERIFY2(prepare(widget), "no GL context");
        widget.set3DModel(fold);
        widget.setModelVisible(true);
        widget.setUpDir({0, 1, 0}, cameraAt({0, 0, 10}).worldToCamera());
        const QImage image = widget.grabFramebuffer();
        QVERIFY(!widget.modelHasColours());
        const QColor facing = image.pixelColor(75, 100), turned = image.pixelColor(120, 100);
        QVERIFY2(facing.value() > turned.value() + 40, qPrintable(facing.name() + " " + turned.name()));
        QVERIFY2(turned.value() > 40, qPrintable(turned.name()));
        QVERIFY(std::abs(facing.red() - facing.blue()) < 20);

        widget.set3DModel(m_scene);
        widget.grabFramebuffer();
        QVERIFY(widget.modelHasColours());
    }

    // Dragging turns the view, the wheel moves back; a double-click returns to the start view,
    // as does a new start view.
    void orbitAndReset()
    {
        OrientationWidget widget;
        QVERIFY2(prepare(widget), "no GL context");
        widget.set3DModel(m_scene);
        widget.setModelVisible(true);
        widget.setUpDir({0, 1, 0}, cameraAt({0, 0, 10}).worldToCamera());
        const QImage start = widget.grabFramebuffer();

        QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QTest::mouseMove(&widget, QPoint(150, 90));
        QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(150, 90));
        QCOMPARE(widget.orbit().yaw, 20.0f);
        QVERIFY(widget.grabFramebuffer() != start);
        QTest::mouseDClick(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QVERIFY(widget.orbit().isStartView());
        QCOMPARE(widget.grabFramebuffer(), start);

        QWheelEvent away(QPointF(100, 100), widget.mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, -240),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&widget, &away);
        QVERIFY(widget.orbit().zoom > 1.0f);
        // Further away, the red and green halves take fewer pixels.
        const auto coloured = [](const QColor &c) { return c.value() > 100; };
        QVERIFY(countPixels(widget.grabFramebuffer(), coloured) < countPixels(start, coloured));
        widget.setUpDir({0, 1, 0}, cameraAt({0, 0, 10}).worldToCamera());
        QVERIFY(widget.orbit().isStartView());
    }

    // Every shot's camera is drawn; the start shot's, in yellow, once the view leaves it.
    void shotFrusta()
    {
        OrientationWidget widget;
        QVERIFY2(prepare(widget), "no GL context");
        widget.set3DModel(m_yellow);
        widget.setModelVisible(true);
        widget.setUpDir({0, 1, 0}, cameraAt({0, 0, 10}).worldToCamera());
        ShotFrustum start, other;
        start.centre = {0, 0, 10};
        other.centre = {1, 0, 6};
        widget.setShotFrusta({start, other}, 0);
        QCOMPARE(widget.frustumCount(), 2);
        const auto cyan = [](const QColor &c) { return isColour(c, 51, 204, 255); };
        const auto highlight = [](const QColor &c) { return isColour(c, 255, 217, 0); };
        QImage image = widget.grabFramebuffer();
        QVERIFY(countPixels(image, cyan) > 10);
        QCOMPARE(countPixels(image, highlight), 0);

        QWheelEvent away(QPointF(100, 100), widget.mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, -480),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&widget, &away);
        image = widget.grabFramebuffer();
        QVERIFY(countPixels(image, highlight) > 10);
    }
};

QTEST_MAIN(TstOrientationWidget)
#include "tst_orientationwidget.moc"
