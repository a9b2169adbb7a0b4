#include "shottablemodel.h"

#include "cameraelement.h"
#include "thumbnailcache.h"

#include <QCoreApplication>
#include <QDir>
#include <QHeaderView>
#include <QPalette>
#include <QTableView>

#include <cmath>

ShotTableModel::ShotTableModel(const DatasetState *state, ThumbnailCache *thumbnails, QObject *parent)
    : QAbstractTableModel(parent), m_state(state), m_thumbnails(thumbnails)
{
    for (const StepType *type : stepTypes())
        if (!type->columnTitle().isEmpty())
            m_stepColumns.append(type);
    if (m_thumbnails)
        connect(m_thumbnails, &ThumbnailCache::ready, this, &ShotTableModel::thumbnailReady);
}

void ShotTableModel::showNewShots()
{
    beginResetModel();
    endResetModel();
}

void ShotTableModel::showNewValues()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

void ShotTableModel::thumbnailReady(const QString &path)
{
    for (int row = 0; row < m_state->shotCount(); ++row)
        if (m_state->shots.at(row).thumbnailPath == path)
            emit dataChanged(index(row, ImageColumn), index(row, ImageColumn), {Qt::DecorationRole});
}

void ShotTableModel::forgetDataset()
{
    beginResetModel();
    m_state = &m_none;
    endResetModel();
}

int ShotTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_state->shotCount();
}

int ShotTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount + int(m_stepColumns.size());
}

QString ShotTableModel::cellText(const ShotRecord &shot, int column)
{
    switch (column) {
    case ImageColumn:
        return shot.imagePath;
    case ThumbnailColumn:
        return shot.thumbnailPath;
    case CameraColumn:
        return shot.camera ? CameraElement::cameraText(*shot.camera, QStringLiteral("ksrCamera")) : QString();
    case DepthColumn:
        return shot.depth ? QString::number(double(*shot.depth), 'g', 6) : QString();
    case OrderColumn:
        return shot.orderPosition ? QString::number(*shot.orderPosition) : QString();
    case SemanticColumn:
        return shot.cluster ? QString::number(*shot.cluster) : QString();
    }
    return QString();
}

QString ShotTableModel::cameraSummary(const Camera &camera)
{
    const auto number = [](double value) { return QString::number(value, 'g', 5); };
    // Projected or geocentric coordinates (millions) would read 4.5e+06: centimetres instead.
    const auto coordinate = [&](double value) {
        return std::fabs(value) >= 1e5 ? QString::number(value, 'f', 2) : number(value);
    };
    return QCoreApplication::translate("MainWindow", "C (%1, %2, %3)  f %4 mm")
        .arg(coordinate(camera.center.x), coordinate(camera.center.y), coordinate(camera.center.z),
             number(camera.focalMm));
}

QVariant ShotTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_state->shotCount())
        return QVariant();
    const ShotRecord &shot = m_state->shots.at(index.row());
    const int column = index.column();
    if (column >= ColumnCount) {
        const QVariant value = m_stepColumns.at(column - ColumnCount)->columnValue(shot);
        if (role == SortRole)
            return value.isValid() ? value : QVariant(-1);
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole || role == ValueRole)
            return value.toString();
        return QVariant();
    }
    const bool missing = !shot.missingNote.isEmpty();
    switch (role) {
    case Qt::DisplayRole:
        if (column == CameraColumn && shot.camera)
            return cameraSummary(*shot.camera);
        // A photograph that is not there is named as the dataset lists it.
        if (column == ImageColumn && shot.imagePath.isEmpty())
            return QCoreApplication::translate("MainWindow", "%1 (not found)").arg(shot.imageName);
        return cellText(shot, column);
    case Qt::ForegroundRole:
        if (missing && column == ImageColumn)
            return QPalette().brush(QPalette::Disabled, QPalette::Text);
        return QVariant();
    case Qt::ToolTipRole:
        if (missing && column == ImageColumn)
            return QCoreApplication::translate("MainWindow",
                                               "Not found: %1\nLooked for at %2\nDelete, or the context "
                                               "menu, leaves the shot out.")
                .arg(shot.missingNote, QDir::toNativeSeparators(shot.lookedFor));
        return cellText(shot, column);
    case ValueRole:
        return cellText(shot, column);
    case Qt::DecorationRole:
        if (column == ImageColumn && m_thumbnails && !shot.thumbnailPath.isEmpty()) {
            const QPixmap picture = m_thumbnails->picture(shot.thumbnailPath);
            if (!picture.isNull())
                return picture;
        }
        return QVariant();
    case SortRole:
        switch (column) {
        case DepthColumn:
            return shot.depth ? QVariant(double(*shot.depth)) : QVariant(-1.0);
        case OrderColumn:
            return shot.orderPosition ? *shot.orderPosition : -1;
        case SemanticColumn:
            return shot.cluster ? *shot.cluster : -1;
        case CameraColumn:
            return shot.camera ? cameraSummary(*shot.camera) : QString();
        default:
            return cellText(shot, column);
        }
    }
    return QVariant();
}

QVariant ShotTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char *const titles[ColumnCount] = {
        QT_TRANSLATE_NOOP("MainWindow", "Hires images"), QT_TRANSLATE_NOOP("MainWindow", "Lowres thumbnails"),
        QT_TRANSLATE_NOOP("MainWindow", "Shots"),        QT_TRANSLATE_NOOP("MainWindow", "Depths"),
        QT_TRANSLATE_NOOP("MainWindow", "Order"),        QT_TRANSLATE_NOOP("MainWindow", "Semantic")};
    if (section >= ColumnCount && section < columnCount())
        return m_stepColumns.at(section - ColumnCount)->columnTitle();
    if (section < 0 || section >= ColumnCount)
        return QVariant();
    return QCoreApplication::translate("MainWindow", titles[section]);
}

void ShotTableModel::setUpView(QTableView *table, QAbstractItemModel *shots, const QSize &iconSize)
{
    table->setModel(shots);
    table->setIconSize(iconSize);
    table->setTextElideMode(Qt::ElideMiddle);
    table->setWordWrap(false);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(iconSize.height() + 4);

    QHeaderView *header = table->horizontalHeader();
    header->setSortIndicatorClearable(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    table->setSortingEnabled(true);
    header->setMinimumSectionSize(40);
    for (int column : {ImageColumn, ThumbnailColumn, CameraColumn})
        header->setSectionResizeMode(column, QHeaderView::Stretch);
    // Numbers: as wide as their title or their longest value needs.
    const QFontMetrics metrics = table->fontMetrics();
    for (int column : {DepthColumn, OrderColumn, SemanticColumn}) {
        header->setSectionResizeMode(column, QHeaderView::Interactive);
        const QString title = shots->headerData(column, Qt::Horizontal).toString();
        const int wanted =
            qMax(metrics.horizontalAdvance(title),
                 metrics.horizontalAdvance(column == DepthColumn ? QStringLiteral("-0.00000e+00")
                                                                 : QStringLiteral("00000")));
        header->resizeSection(column, wanted + 2 * metrics.averageCharWidth());
    }
}
