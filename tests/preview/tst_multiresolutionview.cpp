// The preview of a multiresolution model (.tsl) on the real scene: the cut of its tree follows the
// distance of the eye, its picture agrees with the full mesh's, and damaged files are refused.
#include "offscreenviewer.h"
#include "session.h"
#include "testsupport.h"
#include "viewerinput.h"

#include <ksr/meshio.h>
#include <ksr/tslreader.h>

#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace
{
const QString sceaux = QStringLiteral(ORVELLE_TEST_DATA "/sceaux/");

SceneView scaledAway(const SceneView &view, const Vec3d &centre, double factor)
{
    SceneView scaled = view;
    scaled.eye = centre + (view.eye - centre) * factor;
    return scaled;
}
} // namespace

class TestMultiresolutionView : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_tsl;
    Session m_session;

    void prepare(ViewerScene &scene, int shot, bool projection)
    {
        scene.setShots(ViewerInput::shots(m_session.dataset()), {});
        scene.setSettings(ViewerInput::settings(m_session.request()));
        scene.setCurrentShot(shot);
        scene.setProjectionEnabled(projection);
        scene.setBarVisible(false);
        scene.setFrameletsVisible(false);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(m_session.importDataset(sceaux + QStringLiteral("sceaux.pfp")).accepted);
        // As the window builds it.
        m_tsl = m_dir.filePath(QStringLiteral("scene.tsl"));
        QProcess builder;
        builder.start(QStringLiteral(ORVELLE_BIN_DIR "/tessel/tslbuilder"),
                      {"-C", "-F", "10000", "-o", m_tsl, sceaux + QStringLiteral("scene_mesh_refine.ply")});
        QVERIFY(builder.waitForFinished(120000));
        QCOMPARE(builder.exitCode(), 0);
    }

    // From far away the root alone; finer as the eye comes closer; from a shot only original geometry.
    void cutFollowsTheDistance()
    {
        ViewerScene scene;
        QString why;
        QVERIFY2(scene.loadModel(m_tsl, &why), qPrintable(why));
        QVERIFY(scene.isMultiresolution());
        TslModel tree;
        QCOMPARE(ksr::io::readTslTree(m_tsl, tree), int(ksr::io::ErrorNone));
        QCOMPARE(scene.triangleCount(), 174899);
        prepare(scene, 0, true);
        const SceneView overall = scene.overallView();
        QCOMPARE(scene.cut(scaledAway(overall, scene.modelCentre(), 64.0), 1280, 720), std::vector<int>{0});
        int coarser = 0;
        for (double factor : {64.0, 3.0, 1.5, 1.0}) {
            const int triangles =
                scene.cutTriangleCount(scaledAway(overall, scene.modelCentre(), factor), 1280, 720);
            QVERIFY2(triangles > coarser, qPrintable(QStringLiteral("%1 at %2").arg(triangles).arg(factor)));
            coarser = triangles;
        }
        QVERIFY(coarser < scene.triangleCount()); // the whole model in view: not all of it is needed
        // A smaller picture needs less.
        QVERIFY(scene.cutTriangleCount(overall, 320, 180) < coarser);
        const std::vector<int> close = scene.cut(scene.shotView(0), 1280, 720);
        QVERIFY(!close.empty());
        for (int node : close)
            QVERIFY2(tree.isLeaf(node), qPrintable(QString::number(node)));
    }

    void pictureMatchesTheMesh_data()
    {
        QTest::addColumn<bool>("wholeModel");
        QTest::addColumn<bool>("projection");
        QTest::addColumn<bool>("lighting");
        QTest::addColumn<bool>("moving");
        QTest::addColumn<QSize>("size");
        const QSize small(320, 180), large(1280, 720);
        QTest::newRow("first shot, photograph projected") << false << true << false << false << small;
        QTest::newRow("whole model, photograph projected") << true << true << false << false << small;
        QTest::newRow("whole model, lit") << true << false << true << false << small;
        // The view in motion, at the size the benchmark times.
        QTest::newRow("first shot, moving, projected") << false << true << false << true << large;
        QTest::newRow("whole model, moving, lit") << true << false << true << true << large;
    }
    void pictureMatchesTheMesh()
    {
        QFETCH(bool, wholeModel);
        QFETCH(bool, projection);
        QFETCH(bool, lighting);
        QFETCH(bool, moving);
        QFETCH(QSize, size);
        OffscreenViewer meshViewer, cutViewer;
        QString why;
        QVERIFY2(meshViewer.scene().loadModel(sceaux + QStringLiteral("scene_mesh_refine.ply"), &why),
                 qPrintable(why));
        QVERIFY2(cutViewer.scene().loadModel(m_tsl, &why), qPrintable(why));
        QImage pictures[2];
        OffscreenViewer *viewers[2] = {&meshViewer, &cutViewer};
        for (int k = 0; k < 2; ++k) {
            ViewerScene &scene = viewers[k]->scene();
            prepare(scene, 0, projection);
            ViewerSettings settings = scene.settings();
            settings.lighting = lighting;
            settings.backgroundColor = {0.0f, 0.0f, 0.0f, 1.0f};
            scene.setSettings(settings);
            scene.setMoving(moving);
            const SceneView view = wholeModel ? scene.overallView() : scene.shotView(0);
            pictures[k] = viewers[k]->render(view, size);
            QVERIFY2(!pictures[k].isNull(), qPrintable(viewers[k]->errorString()));
            if (k == 1 && (wholeModel || moving)) // a real cut, coarser than the mesh
                QVERIFY(scene.cutTriangleCount(view, size.width(), size.height()) <
                        scene.triangleCount() / 2);
        }
        double difference = 0.0;
        int model = 0, holes = 0; // holes: the background seen through the cut where the mesh is
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const QRgb a = pictures[0].pixel(x, y), b = pictures[1].pixel(x, y);
                model += qGray(a) > 0;
                holes += qGray(a) > 0 && b == qRgb(0, 0, 0);
                difference += (std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                               std::abs(qBlue(a) - qBlue(b))) /
                              3.0;
            }
        QVERIFY2(model > size.width() * size.height() / 50, qPrintable(QString::number(model)));
        const double mean = difference / (size.width() * size.height());
        qInfo() << "mean colour difference" << mean << "over" << model << "model pixels";
        QVERIFY2(mean < 2.0, qPrintable(QString::number(mean)));
        // Nodes of different levels meet without cracks: inside the facade only the odd pixel
        // differs (1 % of the model's pixels when each node was thinned on its own).
        if (!wholeModel)
            QVERIFY2(holes < model / 200, qPrintable(QStringLiteral("%1 of %2").arg(holes).arg(model)));
    }

    // The preview takes the multiresolution model once it is built for the model, not a stale one.
    void previewChoosesTheBuiltModel()
    {
        SessionRequest request;
        request.modelFile = m_dir.filePath(QStringLiteral("model.ply"));
        request.lowresModelFile = m_dir.filePath(QStringLiteral("lowres.ply"));
        request.tesselFile = m_dir.filePath(QStringLiteral("model.tsl"));
        QVERIFY(writeFile(request.modelFile, "ply") && writeFile(request.tesselFile, "tsl"));
        const QDateTime now = QDateTime::currentDateTime();
        QFile tessel(request.tesselFile);
        QVERIFY(tessel.open(QIODevice::ReadWrite) &&
                tessel.setFileTime(now, QFileDevice::FileModificationTime));
        tessel.close();
        QCOMPARE(ViewerInput::modelFile(request), request.lowresModelFile); // not asked for
        request.multiresolution = true;
        QCOMPARE(ViewerInput::modelFile(request), request.tesselFile);
        QVERIFY(tessel.open(QIODevice::ReadWrite) &&
                tessel.setFileTime(now.addSecs(-3600), QFileDevice::FileModificationTime));
        tessel.close();
        QCOMPARE(ViewerInput::modelFile(request), request.lowresModelFile); // older than the model
        QVERIFY(tessel.remove());
        QCOMPARE(ViewerInput::modelFile(request), request.lowresModelFile); // not built
    }

    void damagedFileIsRefused_data()
    {
        QTest::addColumn<QString>("damage");
        for (const char *damage :
             {"header only", "node table cut", "geometry cut", "normals cut", "triangle index", "node level"})
            QTest::newRow(damage) << QString::fromLatin1(damage);
    }
    void damagedFileIsRefused()
    {
        QFETCH(QString, damage);
        QByteArray bytes = readFile(m_tsl);
        QVERIFY(bytes.size() > 1000);
        const quint32 table = qFromLittleEndian<quint32>(bytes.constData() + 8) == 2 ? 76 : 52;
        const quint32 vertices = qFromLittleEndian<quint32>(bytes.constData() + table + 32);
        const quint64 geometry = qFromLittleEndian<quint64>(bytes.constData() + table + 40);
        if (damage == QLatin1String("header only"))
            bytes.truncate(int(table));
        else if (damage == QLatin1String("node table cut"))
            bytes.truncate(int(table + 56 * 10));
        else if (damage == QLatin1String("geometry cut"))
            bytes.truncate(bytes.size() / 2);
        else if (damage == QLatin1String("normals cut"))
            bytes.chop(4);
        else if (damage ==
                 QLatin1String("triangle index")) // the root's first triangle, after positions and colours
            qToLittleEndian<quint32>(0xFFFFFFF0u, bytes.data() + geometry + quint64(vertices) * 16);
        else
            qToLittleEndian<quint32>(7, bytes.data() + table + 56); // node 1 is on level 1
        const QString path = m_dir.filePath(QStringLiteral("damaged.tsl"));
        QVERIFY(writeFile(path, bytes));

        OffscreenViewer viewer;
        ViewerScene &scene = viewer.scene();
        QString why;
        QVERIFY(!scene.loadModel(path, &why));
        QVERIFY(!scene.hasModel());
        QVERIFY2(why.contains(QStringLiteral("damaged.tsl")) &&
                     why.contains(QStringLiteral("cannot be read")),
                 qPrintable(why));
        prepare(scene, 0, true);
        QVERIFY(!viewer.render(scene.shotView(0), QSize(64, 48)).isNull()); // the rest is still drawn
    }
};

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    TestMultiresolutionView test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_multiresolutionview.moc"
