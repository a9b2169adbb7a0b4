#include "orderstrip.h"

#include "datasetstate.h"
#include "thumbnailcache.h"

#include <QFileInfo>
#include <QScrollBar>

#include <cmath>

#include <algorithm>

namespace
{
const int pathRole = Qt::UserRole;
const int rowRole = Qt::UserRole + 1;
} // namespace

OrderStrip::OrderStrip(ThumbnailCache *thumbnails, QWidget *parent)
    : QListWidget(parent), m_thumbnails(thumbnails)
{
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(false);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setIconSize(thumbnails->iconSize());
    setSpacing(2);
    const int textHeight = fontMetrics().height();
    setFixedHeight(thumbnails->iconSize().height() + textHeight + 4 * spacing() +
                   horizontalScrollBar()->sizeHint().height() + 2 * frameWidth() + 6);
    setToolTip(tr("The photographs in the order the viewer shows them; each cluster has its own colour. "
                  "Click one to select its row in the table."));
    connect(thumbnails, &ThumbnailCache::ready, this, &OrderStrip::thumbnailReady);
    connect(this, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *item) {
        if (item && !m_selecting)
            emit rowSelected(item->data(rowRole).toInt());
    });
}

QColor OrderStrip::clusterColor(int value, int lowest, int highest)
{
    const double share = highest > lowest ? double(value - lowest) / double(highest - lowest) : 0.0;
    return QColor::fromHsvF(float(0.8 * std::clamp(share, 0.0, 1.0)), 0.45f, 0.95f);
}

void OrderStrip::showShots(const DatasetState &state)
{
    clear();
    QVector<int> rows;
    for (int row = 0; row < state.shotCount(); ++row) {
        if (!state.shots.at(row).orderPosition)
            return;
        rows.append(row);
    }
    std::stable_sort(rows.begin(), rows.end(), [&state](int a, int b) {
        return *state.shots.at(a).orderPosition < *state.shots.at(b).orderPosition;
    });
    int lowest = 0, highest = 0;
    bool first = true;
    for (const ShotRecord &shot : state.shots)
        if (shot.cluster) {
            lowest = first ? *shot.cluster : std::min(lowest, *shot.cluster);
            highest = first ? *shot.cluster : std::max(highest, *shot.cluster);
            first = false;
        }
    for (int row : std::as_const(rows)) {
        const ShotRecord &shot = state.shots.at(row);
        auto *item = new QListWidgetItem(this);
        const QString cluster = shot.cluster ? QString::number(*shot.cluster) : QStringLiteral("?");
        item->setText(tr("%1 · c%2").arg(*shot.orderPosition).arg(cluster));
        item->setToolTip(tr("Shown %1 of %2, cluster %3, row %4\n%5")
                             .arg(*shot.orderPosition + 1)
                             .arg(rows.size())
                             .arg(cluster)
                             .arg(row + 1)
                             .arg(shot.imagePath));
        item->setBackground(shot.cluster ? clusterColor(*shot.cluster, lowest, highest)
                                         : QColor(Qt::lightGray));
        item->setData(rowRole, row);
        item->setData(pathRole, shot.thumbnailPath);
        item->setSizeHint(QSize(iconSize().width() + 8, iconSize().height() + fontMetrics().height() + 8));
        const QPixmap picture = m_thumbnails->picture(shot.thumbnailPath);
        if (!picture.isNull())
            item->setIcon(picture);
    }
}

QVector<int> OrderStrip::shownRows() const
{
    QVector<int> rows;
    for (int i = 0; i < count(); ++i)
        rows.append(item(i)->data(rowRole).toInt());
    return rows;
}

void OrderStrip::selectRow(int row)
{
    m_selecting = true;
    for (int i = 0; i < count(); ++i)
        if (item(i)->data(rowRole).toInt() == row) {
            setCurrentRow(i);
            scrollToItem(item(i));
        }
    m_selecting = false;
}

void OrderStrip::thumbnailReady(const QString &path)
{
    for (int i = 0; i < count(); ++i)
        if (item(i)->data(pathRole).toString() == path)
            item(i)->setIcon(m_thumbnails->picture(path));
}
