// The whole workflow in the real window, on a generated sample: import, thumbnails, depths,
// ordering and clustering, the multiresolution builder, the start view and generation; the values
// the jobs computed are checked once, in the written index, against the sample's known answers.

#include "mainwindow.h"
#include "orientationwidget.h"
#include "orvelleindexread.h"
#include "viewerwidget.h"
#include "windowtestutil.h"

#include <QAction>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

namespace
{

const int views = 8;

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir temp;
    QString sample; // canonical folder of the generated sample
    QJsonObject truth;
    std::unique_ptr<MainWindow> window;
    ScriptedDialogs dialogs;

    template <typename T> T *get(const char *name) { return control<T>(window.get(), name); }
    int rows() { return get<QTableView>("data")->model()->rowCount(); }
    QString cell(int row, int column) { return cellText(get<QTableView>("data"), row, column); }
    bool generateEnabled() { return get<QPushButton>("generateOrvelleIndex")->isEnabled(); }

    // Presses an Update button and waits until its job has ended (the button comes back).
    void runJob(const char *button, int timeoutMs)
    {
        auto *update = get<QPushButton>(button);
        QVERIFY2(update->isEnabled(), button);
        clickControl(update);
        QTRY_VERIFY_WITH_TIMEOUT(update->isEnabled(), timeoutMs);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(temp.isValid());
        QString why;
        QVERIFY2(makeSample(temp.filePath("sample"), views, "800x600", why, 20000), qPrintable(why));
        sample = QDir(temp.filePath("sample")).canonicalPath();
        QFile truthFile(sample + "/truth.json");
        QVERIFY(truthFile.open(QIODevice::ReadOnly));
        truth = QJsonDocument::fromJson(truthFile.readAll()).object();
        QCOMPARE(truth.value("photographs").toArray().size(), views);

        window = std::make_unique<MainWindow>();
        window->setDialogProvider(&dialogs);
        window->setBuilderProgram(QStringLiteral(ORVELLE_BIN_DIR "/tessel/tslbuilder"));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanupTestCase() { window.reset(); }

    void importSample()
    {
        dialogs.openAnswers << sample + "/sample.pfp";
        get<QAction>("actionImport")->trigger();
        QVERIFY2(dialogs.ofKind("warning").isEmpty(), qPrintable(dialogs.shown.value(1).text));
        QCOMPARE(rows(), views);
        for (int row = 0; row < views; ++row) {
            QVERIFY(QFileInfo::exists(cell(row, 0)));
            QVERIFY(cell(row, 2).startsWith("<ksrCamera"));
        }
        QCOMPARE(get<QLineEdit>("modelName")->text(), sample + "/model/scene.ply");
        QCOMPARE(get<QLineEdit>("tesselModelName")->text(), sample + "/model/scene.tsl");
        QVERIFY(!get<QPushButton>("updateOrderingAndSemantic")->isEnabled());
        QVERIFY(!generateEnabled());

        // Depths come from the low-resolution model, as the sample's answers do.
        get<QLineEdit>("lowresModel")
            ->setText(sample + "/" + truth.value("model").toObject().value("lowResolution").toString());
    }

    void thumbnails()
    {
        runJob("updateThumbnails", 60000);
        QCOMPARE(get<QProgressBar>("thumbnailsComputationProgress")->value(), 100);
        QVERIFY(dialogs.ofKind("warning").isEmpty());
        QVERIFY(!generateEnabled()); // depths, order and clusters are still missing
    }

    void depths()
    {
        runJob("updateDepths", 60000);
        QVERIFY2(dialogs.ofKind("warning").isEmpty(), qPrintable(dialogs.shown.value(1).text));
        QCOMPARE(get<QProgressBar>("depthComputationProgress")->value(), 100);
        QVERIFY(get<QPushButton>("updateOrderingAndSemantic")->isEnabled());
        QVERIFY(!generateEnabled());
    }

    void ordering()
    {
        runJob("updateOrderingAndSemantic", 60000);
        QCOMPARE(get<QProgressBar>("orderAndSemanticComputationProgress")->value(), 100);
        // Every cell is filled now, but the multiresolution model has not been built yet.
        QVERIFY(!generateEnabled());
    }

    void builder()
    {
        QCOMPARE(get<QLabel>("tesselStatus")->text(), QString());
        runJob("updateTesselModel", 60000);
        QVERIFY2(dialogs.ofKind("information").isEmpty(), qPrintable(dialogs.shown.value(1).text));
        QCOMPARE(get<QLabel>("tesselStatus")->text(), QString("Ready!"));
        QCOMPARE(get<QProgressBar>("tesselComputationProgress")->value(), 100);
        QVERIFY(QFileInfo(sample + "/model/scene.tsl").size() > 0);
        QVERIFY(generateEnabled());
        // The viewer preview draws the multiresolution model from now on.
        auto *viewer = window->findChild<ViewerWidget *>();
        QVERIFY(viewer);
        QCOMPARE(viewer->scene().modelFile(), sample + "/model/scene.tsl");
        QVERIFY(viewer->scene().isMultiresolution());
        // A wheel step draws from the coarser cut until the view rests.
        QWheelEvent wheel(QPointF(10, 10), viewer->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewer, &wheel);
        QVERIFY(viewer->scene().isMoving());
        QTRY_VERIFY(!viewer->scene().isMoving());
    }

    void startViewAndPreview()
    {
        auto *preview = window->findChild<OrientationWidget *>();
        QVERIFY(preview);
        QCOMPARE(preview->parentWidget(), get<QWidget>("groupBox_13"));
        QCOMPARE(preview->modelPath(), get<QLineEdit>("lowresModel")->text());

        get<QSpinBox>("startShot")->setValue(3);
        clickControl(get<QPushButton>("upDirPlusZ"));
        Camera start;
        QVERIFY(CameraElement::parseCameraText(cell(2, 2).toUtf8(), start));
        // The preview stands at the start shot's camera.
        QVERIFY2((preview->pose().position - start.center.toFloat()).length() <
                     1e-3f * (1.0f + float(start.center.length())),
                 "the preview is not at the start camera");

        clickControl(get<QCheckBox>("previewModelOrientation"));
        QVERIFY(preview->isModelVisible());
        QTRY_VERIFY(preview->model() != nullptr);
        const QImage picture = preview->grabFramebuffer();
        QVERIFY(!picture.isNull());
        int lit = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (qGray(picture.pixel(x, y)) > 20)
                    ++lit;
        // A person must see the model, not a black square.
        QVERIFY2(lit > picture.width() * picture.height() / 10, qPrintable(QString::number(lit)));

        const QString folder = QStringLiteral(ORVELLE_BIN_DIR "/../screenshots");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(window->grab().save(folder + "/endtoend.png"));
    }

    void generateAndReadBack()
    {
        QVERIFY(generateEnabled());
        const QString output = get<QLineEdit>("outputIndexFilename")->text();
        QCOMPARE(output, sample + "/sample_generated.orx");
        dialogs.shown.clear();
        clickControl(get<QPushButton>("generateOrvelleIndex"));
        QCOMPARE(dialogs.shown.size(), 1);
        QVERIFY(dialogs.shown[0].text.startsWith("The index file has been successfully generated!"));

        OrvelleIndexRead index;
        QVERIFY(index.readFile(output));
        QCOMPARE(index.collectionCount(), 1);
        const ShotCollection &shots = index.collection(0);
        QCOMPARE(shots.shotCount(), views);

        QHash<QString, double> truthDepth;
        for (const QJsonValue &photo : truth.value("photographs").toArray())
            truthDepth.insert(QFileInfo(photo["image"].toString()).fileName(), photo["depth"].toDouble());

        for (int k = 0; k < views; ++k) {
            const QString image = index.resolvePath(shots.imagePaths().at(k));
            const QString thumbnail = index.resolvePath(shots.thumbnailPaths().at(k));
            QVERIFY2(QFileInfo::exists(image), qPrintable(image));
            const QFileInfo photoFile(image);
            QCOMPARE(thumbnail, photoFile.canonicalPath() + "/thumbnails/" + photoFile.fileName());
            const QSize size = QImageReader(thumbnail).size();
            QVERIFY2(size.isValid(), qPrintable(thumbnail));
            QCOMPARE(qMax(size.width(), size.height()), 256);
            const QSize photo = QImageReader(image).size();
            QCOMPARE(size.width() > size.height(), photo.width() > photo.height());

            const QString name = QFileInfo(image).fileName();
            QVERIFY2(truthDepth.contains(name), qPrintable(name));
            const double expected = truthDepth.value(name);
            const double depth = shots.depths().at(k);
            QVERIFY2(qAbs(depth - expected) <= 0.02 * expected,
                     qPrintable(QString("%1: depth %2, truth %3").arg(name).arg(depth).arg(expected)));
        }

        // The order visits every shot once, and the cluster values grow along it.
        QVector<int> order = shots.order();
        QCOMPARE(order.size(), views);
        QVector<int> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        for (int k = 0; k < views; ++k)
            QCOMPARE(sorted[k], k);
        for (int k = 1; k < views; ++k)
            QVERIFY2(shots.clusterNumbers().at(order[k]) > shots.clusterNumbers().at(order[k - 1]),
                     qPrintable(QString("at position %1").arg(k)));

        const QString model = index.resolvePath(index.modelFileName());
        QCOMPARE(model, sample + "/model/scene.tsl");
        QVERIFY(QFileInfo(model).isFile());

        // Start camera: the third shot's; up direction: +Z.
        Camera third;
        QVERIFY(CameraElement::parseCameraText(cell(2, 2).toUtf8(), third));
        QCOMPARE(CameraElement::cameraText(index.startCamera(), "c"), CameraElement::cameraText(third, "c"));
        QVERIFY(index.upDirection() == ksr::Point3f(0, 0, 1));
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
