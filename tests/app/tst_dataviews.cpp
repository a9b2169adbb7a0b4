// What the window shows of the data and of the work under way, on the generated sample: the
// table's thumbnails, short texts and sorting, the order strip, Cancel, the status bar, the
// title, the photograph viewer, dropping a file, the output file dialog and the tooltips.
#include "mainwindow.h"
#include "orderstrip.h"
#include "orientationwidget.h"
#include "photoviewer.h"
#include "shottablemodel.h"
#include "thumbnailcache.h"
#include "windowtestutil.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSlider>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QUrl>
#include <QWheelEvent>
#include <QtTest>

#include <memory>

class TestDataViews : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir temp;
    QString small, large;
    std::unique_ptr<MainWindow> window;
    ScriptedDialogs dialogs;

    template <typename T> T *get(const char *name) { return control<T>(window.get(), name); }
    QTableView *table() { return get<QTableView>("data"); }
    QString status() { return window->statusBar()->currentMessage(); }
    void importFile(const QString &file)
    {
        dialogs.openAnswers << file;
        get<QAction>("actionImport")->trigger();
    }
    int rowsWithPicture()
    {
        int count = 0;
        for (int row = 0; row < table()->model()->rowCount(); ++row)
            count += !table()->model()->index(row, 0).data(Qt::DecorationRole).value<QPixmap>().isNull();
        return count;
    }
    void makeThumbnails()
    {
        clickControl(get<QRadioButton>("downsampleHiresThumbnails"));
        QVERIFY(runJobToEnd(window.get(), "updateThumbnails"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(temp.isValid());
        QString why;
        QVERIFY2(makeSample(temp.filePath("small"), 6, "640x480", why, 5000), qPrintable(why));
        QVERIFY2(makeSample(temp.filePath("large"), 30, "1600x1200", why, 5000), qPrintable(why));
        small = QDir(temp.filePath("small")).canonicalPath();
        large = QDir(temp.filePath("large")).canonicalPath();
    }

    void init() { QVERIFY(openScriptedWindow(window, dialogs)); }
    void cleanup()
    {
        window.reset();
        QDir(small + "/photos/thumbnails").removeRecursively();
        QDir(large + "/photos/thumbnails").removeRecursively();
    }

    // Import names the dataset in the title and the status bar; the thumbnail job fills the
    // table's pictures and says what it did.
    void thumbnailsAppearInTheTable()
    {
        QCOMPARE(window->windowTitle(), QString("Orvelle Index Generator"));
        importFile(small + "/sample.pfp");
        QCOMPARE(window->windowTitle(), QString("sample.pfp - Orvelle Index Generator"));
        QCOMPARE(status(), QString("Imported 6 shots from sample.pfp.  Up direction from the cameras: +Z."));
        QCOMPARE(rowsWithPicture(), 0);

        makeThumbnails();
        QCOMPARE(status(), QString("Thumbnails finished: 6 of 6 shots have a thumbnail."));
        QTRY_COMPARE(rowsWithPicture(), 6);
        const QPixmap picture = table()->model()->index(0, 0).data(Qt::DecorationRole).value<QPixmap>();
        QVERIFY(picture.width() <= 64 && picture.height() <= 48);
        QVERIFY(picture.width() == 64 || picture.height() == 48);
        QCOMPARE(get<QProgressBar>("thumbnailsComputationProgress")->text(), QString("100%"));

        // A new import starts the bars from nothing (once the thumbnails may go).
        dialogs.questionAnswers << QMessageBox::Discard;
        importFile(small + "/sample.pfp");
        QCOMPARE(get<QProgressBar>("thumbnailsComputationProgress")->value(), 0);
    }

    // The table shows short texts and keeps the whole ones as tooltips; sorting reorders the
    // view, never the dataset; a double-click opens the row's photograph.
    void tableTextsSortingAndViewer()
    {
        importFile(small + "/sample.pfp");
        const QAbstractItemModel *model = table()->model();
        const QModelIndex camera = model->index(0, ShotTableModel::CameraColumn);
        QVERIFY(camera.data().toString().startsWith("C ("));
        QVERIFY(camera.data().toString().contains(" mm"));
        QVERIFY(camera.data(Qt::ToolTipRole).toString().startsWith("<ksrCamera "));
        QCOMPARE(model->index(2, 0).data(Qt::ToolTipRole).toString(),
                 window->dataset().shots.at(2).imagePath);
        QCOMPARE(table()->textElideMode(), Qt::ElideMiddle);

        const QStringList shotOrder = window->dataset().imagePaths();
        table()->sortByColumn(ShotTableModel::ImageColumn, Qt::DescendingOrder);
        QCOMPARE(model->index(0, 0).data(Qt::ToolTipRole).toString(), shotOrder.last());
        QCOMPARE(window->dataset().imagePaths(), shotOrder);

        // The first row shown is the dataset's last photograph; next walks down the shown rows.
        const QRect cell = table()->visualRect(model->index(0, 0));
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::mouseDClick(table()->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        PhotoViewer *viewer = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *found = qobject_cast<PhotoViewer *>(top))
                viewer = found;
        QVERIFY(viewer && viewer->isVisible());
        QCOMPARE(viewer->windowTitle(), QFileInfo(shotOrder.last()).fileName() + " - Photograph");
        QCOMPARE(viewer->zoom(), 0.0); // fitted
        viewer->zoomIn();
        QVERIFY(viewer->zoom() > 0.0);
        // The arrow keys walk even where the scroll area has the focus.
        QTest::keyClick(viewer->findChild<QScrollArea *>(), Qt::Key_Right);
        QCOMPARE(viewer->windowTitle(),
                 QFileInfo(shotOrder.at(shotOrder.size() - 2)).fileName() + " - Photograph");
        QCOMPARE(viewer->zoom(), 0.0);
        QTest::keyClick(viewer->findChild<QScrollArea *>(), Qt::Key_Left);
        QCOMPARE(viewer->windowTitle(), QFileInfo(shotOrder.last()).fileName() + " - Photograph");
    }

    // After the ordering job the strip shows the thumbnails in viewing order; picking one selects
    // its row in the table.
    void stripFollowsTheOrder()
    {
        importFile(small + "/sample.pfp");
        auto *strip = get<OrderStrip>("orderStrip");
        QCOMPARE(strip->count(), 0);
        makeThumbnails();
        QVERIFY(runJobToEnd(window.get(), "updateDepths"));
        QVERIFY(runJobToEnd(window.get(), "updateOrderingAndSemantic"));
        QVERIFY(status().startsWith("Ordering and clustering finished: 6 shots in "));

        const QVector<ShotRecord> &shots = window->dataset().shots;
        const QVector<int> rows = strip->shownRows();
        QCOMPARE(rows.size(), 6);
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(*shots.at(rows.at(i)).orderPosition, i);
        QTRY_VERIFY(!strip->item(5)->icon().isNull());

        strip->setCurrentRow(3);
        const QModelIndex current = table()->currentIndex();
        QCOMPARE(table()->model()->index(current.row(), 0).data(Qt::ToolTipRole).toString(),
                 shots.at(rows.at(3)).imagePath);
    }

    // Cancel stops the thumbnail job between photographs; the thumbnails made are kept.
    void cancelKeepsFinishedRows()
    {
        importFile(large + "/sample.pfp");
        auto *cancel = get<QPushButton>("cancelThumbnails");
        QVERIFY(!cancel->isEnabled());
        clickControl(get<QRadioButton>("downsampleHiresThumbnails"));
        clickControl(get<QPushButton>("updateThumbnails"));
        QVERIFY(cancel->isEnabled());
        QCOMPARE(get<QLabel>("runningSteps")->text(), QString("Running: Thumbnails..."));
        QTRY_VERIFY_WITH_TIMEOUT(!window->dataset().shots.first().thumbnailPath.isEmpty(), 30000);
        clickControl(cancel);
        QTRY_VERIFY_WITH_TIMEOUT(get<QPushButton>("updateThumbnails")->isEnabled(), 30000);
        QVERIFY(!cancel->isEnabled());

        int made = 0;
        for (const ShotRecord &shot : window->dataset().shots)
            if (!shot.thumbnailPath.isEmpty()) {
                ++made;
                QVERIFY(QFileInfo(shot.thumbnailPath).isFile());
            }
        QVERIFY2(made >= 1 && made < 30, qPrintable(QString::number(made)));
        QCOMPARE(status(), QString("Thumbnails stopped: %1 of 30 shots have a thumbnail.").arg(made));
        QVERIFY(!get<QPushButton>("generateOrvelleIndex")->isEnabled());
    }

    // A dataset file dropped onto the window is imported; anything but one file is refused.
    void dropImports_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("project") << QStringList{"sample.pfp"} << true;
        QTest::newRow("two files") << QStringList{"sample.pfp", "sample.pfp"} << false;
        QTest::newRow("no file there") << QStringList{"absent.pfp"} << false;
    }
    void dropImports()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, accepted);
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString &file : files)
            urls << QUrl::fromLocalFile(small + "/" + file);
        mime.setUrls(urls);
        const QPoint where = window->rect().center();
        QDragEnterEvent enter(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        QDropEvent drop(QPointF(where), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &drop);
        QCOMPARE(window->dataset().shotCount(), accepted ? 6 : 0);
        QVERIFY(dialogs.ofKind("open").isEmpty());
    }

    // The "..." beside the output name asks where to save; Cancel keeps the name.
    void outputFileDialog()
    {
        importFile(small + "/sample.pfp");
        auto *output = get<QLineEdit>("outputIndexFilename");
        const QString derived = output->text();
        clickControl(get<QPushButton>("selectOutputIndexFilename"));
        QCOMPARE(output->text(), derived);
        dialogs.saveAnswers << small + "/chosen.orx";
        clickControl(get<QPushButton>("selectOutputIndexFilename"));
        QCOMPARE(output->text(), small + "/chosen.orx");
        const auto saves = dialogs.ofKind("save");
        QCOMPARE(saves.size(), 2);
        QVERIFY(saves.first().text.contains("*.orx"));
        QCOMPARE(dialogs.fileDialogFolders.last(), derived);
        // A name typed without a suffix gets the index's, so that the file can be imported again.
        dialogs.saveAnswers << small + "/typed";
        clickControl(get<QPushButton>("selectOutputIndexFilename"));
        QCOMPARE(output->text(), small + "/typed.orx");
    }

    // The preview's mouse turns are undone by its button.
    void previewReturnsToTheStartView()
    {
        auto *preview = get<OrientationWidget>("orientationPreview");
        QWheelEvent away(QPointF(10, 10), preview->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(preview, &away);
        QVERIFY(!preview->orbit().isStartView());
        clickControl(get<QPushButton>("resetPreviewView"));
        QVERIFY(preview->orbit().isStartView());
    }

    // Every control says what it does.
    void everyControlHasATooltip()
    {
        QStringList silent;
        const QList<QWidget *> widgets = window->findChildren<QWidget *>();
        for (QWidget *widget : widgets) {
            const bool control =
                qobject_cast<QAbstractButton *>(widget) || qobject_cast<QAbstractSlider *>(widget) ||
                qobject_cast<QAbstractSpinBox *>(widget) || qobject_cast<QLineEdit *>(widget) ||
                qobject_cast<QComboBox *>(widget) || qobject_cast<QProgressBar *>(widget) ||
                qobject_cast<QAbstractItemView *>(widget);
            // Parts the toolkit makes inside other controls (scroll bars, headers, editors) are
            // explained by their owners.
            if (!control || widget->objectName().isEmpty() || widget->objectName().startsWith("qt_") ||
                qobject_cast<QTabBar *>(widget->parentWidget()))
                continue;
            if (widget->toolTip().isEmpty())
                silent << widget->objectName();
        }
        QVERIFY2(silent.isEmpty(), qPrintable(silent.join(", ")));
    }

    // Numbers sort as numbers (9 before 10 before 100), unknown values first, and the view's
    // order never reaches the state.
    void numericColumnsSortAsNumbers_data()
    {
        QTest::addColumn<int>("column");
        QTest::newRow("depth") << int(ShotTableModel::DepthColumn);
        QTest::newRow("order") << int(ShotTableModel::OrderColumn);
        QTest::newRow("cluster") << int(ShotTableModel::SemanticColumn);
    }
    void numericColumnsSortAsNumbers()
    {
        QFETCH(int, column);
        DatasetState state;
        for (int value : {100, 9, -1, 10}) {
            ShotRecord shot;
            if (value >= 0) {
                shot.depth = float(value);
                shot.orderPosition = value;
                shot.cluster = value;
            }
            state.shots.append(shot);
        }
        ShotTableModel model(&state, nullptr);
        QSortFilterProxyModel sorted;
        sorted.setSourceModel(&model);
        sorted.setSortRole(ShotTableModel::SortRole);
        sorted.sort(column);
        QStringList shown;
        for (int row = 0; row < 4; ++row)
            shown << sorted.index(row, column).data().toString();
        QCOMPARE(shown, (QStringList{"", "9", "10", "100"}));
        QCOMPARE(model.index(0, column).data().toString(), QString("100"));
    }

    // A file that is no picture stays without one, is reported to nobody and is not tried again.
    void undecodableThumbnailIsTriedOnce()
    {
        const QString bogus = temp.filePath("not-a-picture.jpg");
        QVERIFY(writeFile(bogus, "no JPEG here"));
        ThumbnailCache cache(QSize(64, 48));
        QSignalSpy ready(&cache, &ThumbnailCache::ready);
        QVERIFY(cache.picture(bogus).isNull());
        QCOMPARE(cache.pendingCount(), 1);
        QTRY_COMPARE(cache.pendingCount(), 0);
        QVERIFY(cache.picture(bogus).isNull());
        QCOMPARE(cache.pendingCount(), 0);
        QCOMPARE(ready.count(), 0);
    }
};

QTEST_MAIN(TestDataViews)
#include "tst_dataviews.moc"
