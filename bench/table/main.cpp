// Scrolls the window's data table over many shots with thumbnails and reports the time each
// frame takes to paint: first while the thumbnails are still being decoded, then with all of
// them in memory. Usage: table-bench [rows] (default 2000). The thumbnails are made here, small
// JPEGs of 256 x 192 pixels in a temporary folder.

#include "datasetstate.h"
#include "shottablemodel.h"
#include "thumbnailcache.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace
{

QString makeThumbnail(const QString &folder, int index)
{
    QImage image(256, 192, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(index * 37 % 360, 160, 200));
    QPainter painter(&image);
    painter.setPen(Qt::black);
    painter.drawText(image.rect(), Qt::AlignCenter, QString::number(index));
    painter.drawEllipse(QPoint(40 + index % 170, 96), 30, 30);
    painter.end();
    const QString path = QString("%1/shot%2.jpg").arg(folder).arg(index, 5, 10, QChar('0'));
    image.save(path, "JPEG", 85);
    return path;
}

struct Frames {
    QVector<double> ms;
    void print(const char *what) const
    {
        QVector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        double total = 0;
        for (double t : sorted)
            total += t;
        std::printf("%-34s frames %4d  mean %6.2f ms  median %6.2f ms  p95 %6.2f ms  max %6.2f ms\n", what,
                    int(sorted.size()), total / sorted.size(), sorted.at(sorted.size() / 2),
                    sorted.at(sorted.size() * 95 / 100), sorted.last());
    }
};

// Scrolls from top to bottom a few rows at a time, painting every step at once.
Frames scrollThrough(QTableView &table)
{
    Frames frames;
    QScrollBar *bar = table.verticalScrollBar();
    const int step = table.verticalHeader()->defaultSectionSize() * 3;
    bar->setValue(0);
    QApplication::processEvents();
    QElapsedTimer timer;
    for (int value = 0; value <= bar->maximum(); value += step) {
        timer.start();
        bar->setValue(value);
        table.viewport()->repaint();
        frames.ms.append(timer.nsecsElapsed() / 1e6);
        QApplication::processEvents(); // decoded thumbnails arrive in between, as in the window
    }
    return frames;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, atoi(argv[1])) : 2000;
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "table-bench: no temporary folder\n");
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    DatasetState state;
    state.id = 1;
    for (int i = 0; i < rows; ++i) {
        ShotRecord shot;
        shot.imagePath =
            QString("/data/some/long/folder/of/photographs/IMG_%1.JPG").arg(i, 5, 10, QChar('0'));
        shot.thumbnailPath = makeThumbnail(folder.path(), i);
        Camera camera;
        camera.focalMm = 35.0f;
        camera.pixelSizeMm[0] = camera.pixelSizeMm[1] = 0.01f;
        camera.viewportPx[0] = 4000;
        camera.viewportPx[1] = 3000;
        camera.center = {float(i), 2.0f * i, 1.5f};
        shot.camera = camera;
        shot.depth = 10.0f + i * 0.01f;
        shot.orderPosition = rows - 1 - i;
        shot.cluster = i / 7;
        state.shots.append(shot);
    }
    std::printf("made %d thumbnails in %.1f s\n", rows, timer.elapsed() / 1000.0);

    ThumbnailCache thumbnails(QSize(64, 48));
    ShotTableModel model(&state, &thumbnails);
    QSortFilterProxyModel sorted;
    sorted.setSourceModel(&model);
    sorted.setSortRole(ShotTableModel::SortRole);
    QTableView table;
    ShotTableModel::setUpView(&table, &sorted, thumbnails.iconSize());
    table.resize(1100, 600);
    table.show();
    QApplication::processEvents();

    scrollThrough(table).print("cold (thumbnails decoding)");
    timer.start();
    while (thumbnails.pendingCount() > 0)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    std::printf("remaining decodes finished after    %.1f s\n", timer.elapsed() / 1000.0);
    // Everything scrolled past once is in memory now; the second pass paints from the cache.
    scrollThrough(table).print("warm (all in memory)");
    table.sortByColumn(ShotTableModel::DepthColumn, Qt::DescendingOrder);
    scrollThrough(table).print("warm, sorted by depth");
    return 0;
}
