// The viewer preview's picture, read back from the off-screen renderer under xvfb: backgrounds, the
// thumbnail bar, framelets, lighting, and the photograph projected from its camera onto the
// generated sample (its photographs are renderings of its own coloured model).
#include "offscreenviewer.h"
#include "session.h"
#include "testsupport.h"
#include "viewerinput.h"

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <cmath>

namespace
{

const QSize pictureSize(160, 120);

// A fold in one colour: a face towards +z (x from -2 to 0) and one turned 60 degrees away.
bool writeFold(const QString &path)
{
    return writeFile(path, "ply\nformat ascii 1.0\nelement vertex 6\n"
                           "property float x\nproperty float y\nproperty float z\n"
                           "property uchar red\nproperty uchar green\nproperty uchar blue\n"
                           "element face 4\nproperty list uchar int vertex_indices\nend_header\n"
                           "-2 -1 0 200 160 120\n0 -1 0 200 160 120\n0 1 0 200 160 120\n-2 1 0 200 160 120\n"
                           "1 -1 -1.7320508 200 160 120\n1 1 -1.7320508 200 160 120\n"
                           "3 0 1 2\n3 0 2 3\n3 1 4 5\n3 1 5 2\n");
}

// Eye at (0, 0, 8) looking along -z with y up.
SceneView frontView()
{
    SceneView view;
    view.eye = Vec3d(0, 0, 8);
    view.tanHalfHeight = 0.5;
    return view;
}

// Eye at the origin looking straight along +y (zenith) or -y (nadir).
SceneView verticalView(bool up)
{
    SceneView view;
    view.tanHalfHeight = 0.05;
    const Vec3d rows[3] = {{1, 0, 0}, {0, 0, up ? 1.0 : -1.0}, {0, up ? -1.0 : 1.0, 0}};
    for (int r = 0; r < 3; ++r) {
        view.rotation.m[r][0] = rows[r].x;
        view.rotation.m[r][1] = rows[r].y;
        view.rotation.m[r][2] = rows[r].z;
    }
    return view;
}

int colourDistance(QRgb a, QRgb b)
{
    return std::max(
        {std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

QRgb rgb(const Color4f &c)
{
    return qRgb(qRound(c.red * 255), qRound(c.green * 255), qRound(c.blue * 255));
}

int countColour(const QImage &image, QRgb colour, int tolerance, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += colourDistance(image.pixel(x, y), colour) <= tolerance;
    return count;
}

// Three shots around the fold, looking at it, each with the same one-colour thumbnail.
QVector<ViewerShot> threeShots(const QString &thumbnail)
{
    QVector<ViewerShot> shots;
    for (int i = 0; i < 3; ++i) {
        ViewerShot shot;
        shot.camera = cameraAt(ksr::Point3f(float(i - 1), 0.0f, 4.0f));
        shot.thumbnailPath = thumbnail;
        shot.depth = 2.0f;
        shot.cluster = i == 2 ? 2 : 1;
        shots.append(shot);
    }
    return shots;
}

} // namespace

class TestViewerScene : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_fold;
    QString m_thumbnail;
    std::unique_ptr<OffscreenViewer> m_viewer;

    // A fresh scene on the one context: the fold, no shots, plain black background.
    ViewerScene &freshScene(bool withModel = true)
    {
        m_viewer = std::make_unique<OffscreenViewer>();
        if (withModel)
            m_viewer->scene().loadModel(m_fold);
        return m_viewer->scene();
    }
    QImage render(const SceneView &view, const QSize &size = pictureSize)
    {
        const QImage image = m_viewer->render(view, size);
        if (image.isNull())
            qWarning().noquote() << m_viewer->errorString();
        return image;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_fold = m_dir.filePath(QStringLiteral("fold.ply"));
        QVERIFY(writeFold(m_fold));
        m_thumbnail = m_dir.filePath(QStringLiteral("orange.png"));
        QImage orange(64, 48, QImage::Format_RGB32);
        orange.fill(qRgb(255, 128, 0));
        QVERIFY(orange.save(m_thumbnail));
        // No skip without GL: the render must work here.
        OffscreenViewer probe;
        QVERIFY2(probe.isValid() && probe.ensureInitialized(), qPrintable(probe.errorString()));
    }

    // The viewer's view of a shot: the camera's place and axis, its roll taken out; moves between
    // views, orbits and the order of the shots.
    void viewsAndNavigation()
    {
        Camera camera = cameraAt(ksr::Point3f(0.0f, 0.0f, 10.0f));
        const float c = std::cos(0.5f), s = std::sin(0.5f); // rolled about its axis
        camera.rotation.m[0][0] = c;
        camera.rotation.m[0][1] = -s;
        camera.rotation.m[1][0] = s;
        camera.rotation.m[1][1] = c;
        const SceneView rolled = SceneView::fromCamera(camera);
        QVERIFY(std::abs(rolled.rotation.row(0).y) > 0.4);
        const SceneView level = SceneView::fromShot(camera, {0.0f, 1.0f, 0.0f});
        QVERIFY(std::abs(level.rotation.row(0).y) < 1e-9 && level.rotation.row(1).y > 0.99);
        QVERIFY((level.axis() - Vec3d(0, 0, -1)).length() < 1e-9 &&
                (level.eye - Vec3d(0, 0, 10)).length() < 1e-9);
        QVERIFY(std::abs(level.tanHalfHeight - 0.15) < 1e-6); // half of 600 pixels of 0.01 mm, at 20 mm

        SceneView other = level;
        other.eye = Vec3d(4, 0, 10);
        const SceneView halfway = SceneView::interpolate(level, other, 0.5);
        QVERIFY((halfway.eye - Vec3d(2, 0, 10)).length() < 1e-9);
        QVERIFY(
            (SceneView::interpolate(rolled, level, 1.0).rotation.row(0) - level.rotation.row(0)).length() <
            1e-9);

        SceneView turned = level;
        turned.orbit(Vec3d(), Vec3d(0, 1, 0), M_PI / 2, 0.0);
        QVERIFY((turned.eye - Vec3d(10, 0, 0)).length() < 1e-9);
        QVERIFY((turned.axis() - Vec3d(-1, 0, 0)).length() < 1e-9 && turned.rotation.row(1).y > 0.99);
        turned.zoom(Vec3d(), 0.5);
        QVERIFY((turned.eye - Vec3d(5, 0, 0)).length() < 1e-9);

        ViewerScene scene;
        scene.setShots(threeShots(QString()), {2, 0, 1});
        QCOMPARE(scene.neighbourShot(0, 1), 1);
        QCOMPARE(scene.neighbourShot(1, 1), 2); // wraps round to the first
        QCOMPARE(scene.neighbourShot(2, -1), 1);
    }

    void backgrounds_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("colour at infinity") << int(OrvelleIndex::ColorBackground);
        QTest::newRow("ortho plane") << int(OrvelleIndex::OrthoPlaneBackground);
        QTest::newRow("coloured dome") << int(OrvelleIndex::DomeBackground);
    }
    void backgrounds()
    {
        QFETCH(int, kind);
        ViewerScene &scene = freshScene();
        ViewerSettings settings;
        settings.backgroundKind = kind;
        settings.backgroundColor = {0.2f, 0.4f, 0.6f, 1.0f};
        settings.dome = {{1.0f, 0.0f, 0.0f, -1.0f}, {0.0f, 1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f, 1.0f}};
        scene.setSettings(settings);
        const QImage front = render(frontView());
        QVERIFY(!front.isNull());
        const QRgb sky = rgb(settings.backgroundColor);
        const QRgb topCorner = front.pixel(2, 2), bottomCorner = front.pixel(2, front.height() - 3);
        if (kind == OrvelleIndex::ColorBackground) {
            QCOMPARE(colourDistance(topCorner, sky), 0);
            QCOMPARE(colourDistance(bottomCorner, sky), 0);
        } else if (kind == OrvelleIndex::OrthoPlaneBackground) {
            // Above the horizon the colour at infinity, below it the ground under the model.
            QCOMPARE(colourDistance(topCorner, sky), 0);
            QVERIFY2(colourDistance(bottomCorner, sky) > 20, qPrintable(QString::number(bottomCorner, 16)));
            const int grey = std::abs(qRed(bottomCorner) - qGreen(bottomCorner));
            QVERIFY(grey < 30);
        } else {
            // The zenith row's colour straight up, the nadir row's straight down.
            QVERIFY(colourDistance(render(verticalView(true)).pixel(80, 60), qRgb(0, 0, 255)) <= 8);
            QVERIFY(colourDistance(render(verticalView(false)).pixel(80, 60), qRgb(255, 0, 0)) <= 8);
            // Between them, at the horizon, the middle row's green.
            const QRgb horizon = front.pixel(2, front.height() / 2);
            QVERIFY2(qGreen(horizon) > 200 && qRed(horizon) < 40, qPrintable(QString::number(horizon, 16)));
        }
    }

    void thumbnailBar_data()
    {
        QTest::addColumn<bool>("top");
        QTest::newRow("bottom") << false;
        QTest::newRow("top") << true;
    }
    void thumbnailBar()
    {
        QFETCH(bool, top);
        ViewerScene &scene = freshScene(false);
        scene.setShots(threeShots(m_thumbnail), {2, 0, 1});
        scene.setFrameletsVisible(false);
        ViewerSettings settings;
        settings.thumbnailBarTop = top;
        scene.setSettings(settings);
        scene.setCurrentShot(0);
        const QSize size(320, 240);
        const QImage image = render(frontView(), size);
        const QRect bar = scene.barRect(size.width(), size.height());
        QCOMPARE(bar.top() == 0, top);
        const QRect otherEnd = top ? QRect(0, size.height() - bar.height(), size.width(), bar.height())
                                   : QRect(0, 0, size.width(), bar.height());
        const QRgb orange = qRgb(255, 128, 0);
        QVERIFY(countColour(image, orange, 10, bar) > 500);
        QCOMPARE(countColour(image, orange, 10, otherEnd), 0);
        // Viewing order, the current one marked, a break before the shot of another cluster.
        const QVector<ViewerScene::BarCell> cells = scene.barCells(size.width(), size.height());
        QCOMPARE(cells.size(), 3);
        QCOMPARE(cells.at(0).shot, 2);
        QVERIFY(cells.at(1).breakBefore && !cells.at(2).breakBefore);
        QVERIFY(cells.at(1).rect.left() - cells.at(0).rect.right() >
                cells.at(2).rect.left() - cells.at(1).rect.right());
        const QRect marked = cells.at(1).rect.adjusted(-3, -3, 3, 3);
        QVERIFY(countColour(image, qRgb(255, 217, 26), 10, marked) > 50);
        QCOMPARE(scene.thumbnailAt(cells.at(2).rect.center(), size.width(), size.height()), 1);
    }

    void frameletColour_data()
    {
        QTest::addColumn<QColor>("colour");
        QTest::newRow("green") << QColor(0, 255, 0);
        QTest::newRow("magenta") << QColor(255, 0, 255);
    }
    void frameletColour()
    {
        QFETCH(QColor, colour);
        ViewerScene &scene = freshScene(false);
        scene.setShots(threeShots(m_thumbnail), {});
        scene.setBarVisible(false);
        ViewerSettings settings;
        settings.frameletColor = {float(colour.redF()), float(colour.greenF()), float(colour.blueF()), 1.0f};
        scene.setSettings(settings);
        const QImage image = render(frontView());
        const QRect all(QPoint(0, 0), pictureSize);
        QVERIFY(countColour(image, colour.rgb(), 0, all) > 100);
        // The middle shot's framelet: at depth 2 ahead of (0, 0, 4), the camera's 0.4 x 0.3 view at 1 unit.
        Vec3d corners[4];
        QVERIFY(scene.frameletCorners(1, corners));
        QVERIFY(std::abs(corners[0].z - 2.0) < 1e-6 && std::abs(corners[2].x - 0.4) < 1e-6 &&
                std::abs(corners[2].y - 0.3) < 1e-6);
        QCOMPARE(scene.frameletAt(frontView(), QPointF(80 + 0.4 / 6 * 120, 60), 160, 120), 1);
    }

    void lighting()
    {
        // The two faces of the fold: equal in their own colour, different under the headlight.
        ViewerScene &scene = freshScene();
        ViewerSettings settings;
        scene.setSettings(settings);
        const QImage unlit = render(frontView());
        settings.lighting = true;
        scene.setSettings(settings);
        const QImage lit = render(frontView());
        const QPoint facing(65, 60), turned(86, 60);
        QCOMPARE(colourDistance(unlit.pixel(facing), qRgb(200, 160, 120)), 0);
        QCOMPARE(colourDistance(unlit.pixel(turned), qRgb(200, 160, 120)), 0);
        QVERIFY(qRed(lit.pixel(facing)) > qRed(lit.pixel(turned)) + 40);
    }

    // Seen from shot k's own camera, the photograph painted on the model agrees with the model's
    // colours wherever the model shows; a camera read the wrong way paints it elsewhere.
    void projectionMatchesTheModel_data()
    {
        QTest::addColumn<QString>("convention");
        QTest::addColumn<bool>("atVertices");
        for (bool atVertices : {false, true}) {
            const char *where = atVertices ? ", tested at vertices" : ", tested per pixel";
            QTest::addRow("as written%s", where) << QString() << atVertices;
            QTest::addRow("rotation transposed%s", where) << QStringLiteral("transposed") << atVertices;
            QTest::addRow("principal point mirrored%s", where) << QStringLiteral("mirrored") << atVertices;
        }
    }
    void projectionMatchesTheModel()
    {
        QFETCH(QString, convention);
        QFETCH(bool, atVertices);
        const QString folder = m_dir.filePath(QStringLiteral("sample"));
        QString why;
        if (!QFileInfo::exists(folder + QStringLiteral("/sample.pfp")))
            QVERIFY2(makeSample(folder, 4, QStringLiteral("400x300"), why), qPrintable(why));
        Session session;
        QVERIFY(session.importDataset(folder + QStringLiteral("/sample.pfp")).accepted);
        QVector<ViewerShot> shots = ViewerInput::shots(session.dataset());
        const int k = 1;
        // The photograph cut to its left three quarters and lower two thirds, so that the principal
        // point is off the middle and its mirror image is another point; red and blue swapped, so
        // that a photograph left off shows as much as one painted in the wrong place.
        ViewerShot &shot = shots[k];
        const QImage photo(shot.photoPath);
        QVERIFY(!photo.isNull());
        const int width = photo.width() * 3 / 4, height = photo.height() * 2 / 3;
        shot.photoPath = m_dir.filePath(QStringLiteral("cut.png"));
        QVERIFY(photo.copy(0, photo.height() - height, width, height).rgbSwapped().save(shot.photoPath));
        Camera &camera = shot.camera;
        // Horizontal offsets count mirrored: the point (W/2 from the left) is width - W/2 from the right.
        camera.centerPx[0] = float(width - camera.viewportPx[0] / 2);
        camera.viewportPx[0] = width;
        camera.viewportPx[1] = height;
        const SceneView view = SceneView::fromCamera(camera);
        if (convention == QLatin1String("transposed"))
            camera.rotation = camera.rotation.transposed();
        else if (convention == QLatin1String("mirrored"))
            camera.centerPx[0] = float(width) - camera.centerPx[0];

        ViewerScene &scene = freshScene(false);
        QVERIFY(scene.loadModel(folder + QStringLiteral("/model/scene.ply")));
        scene.setVertexVisibilityFaces(atVertices ? 0 : INT_MAX);
        scene.setShots(shots, {});
        scene.setBarVisible(false);
        scene.setFrameletsVisible(false);
        ViewerSettings settings;
        settings.backgroundColor = {1.0f, 0.0f, 1.0f, 1.0f};
        settings.projectionReliability = 1000.0f;
        scene.setSettings(settings);
        scene.setCurrentShot(k);
        const QSize size(width, height);
        const QImage painted = render(view, size);
        scene.setProjectionEnabled(false);
        const QImage bare = render(view, size);
        QVERIFY(!painted.isNull() && !bare.isNull());

        // Colour without brightness: the photographs are shaded by a sun, the model is not. The
        // painted picture should be the model's with red and blue swapped.
        const auto chroma = [](QRgb c, double out[3]) {
            const double sum = qRed(c) + qGreen(c) + qBlue(c) + 1.0;
            out[0] = qRed(c) / sum;
            out[1] = qGreen(c) / sum;
            out[2] = qBlue(c) / sum;
        };
        double difference = 0.0;
        int count = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const QRgb model = bare.pixel(x, y);
                if (colourDistance(model, qRgb(255, 0, 255)) == 0)
                    continue;
                double a[3], b[3];
                chroma(qRgb(qBlue(model), qGreen(model), qRed(model)), a);
                chroma(painted.pixel(x, y), b);
                difference += std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
                ++count;
            }
        QVERIFY(count > size.width() * size.height() / 4);
        const double mean = difference / count;
        qInfo().noquote() << convention << "mean chroma difference" << mean << "over" << count << "pixels";
        if (convention.isEmpty())
            QVERIFY2(mean < 0.05, qPrintable(QString::number(mean)));
        else
            QVERIFY2(mean > 0.1, qPrintable(QString::number(mean)));
    }
};

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    TestViewerScene test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_viewerscene.moc"
