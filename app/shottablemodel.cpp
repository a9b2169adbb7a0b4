#include "shottablemodel.h"

#include "cameraelement.h"

#include <QCoreApplication>

ShotTableModel::ShotTableModel(const DatasetState *state, QObject *parent)
    : QAbstractTableModel(parent), m_state(state)
{
}

void ShotTableModel::showNewShots()
{
    beginResetModel();
    endResetModel();
}

void ShotTableModel::showNewValues()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1), {Qt::DisplayRole});
}

int ShotTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_state->shotCount();
}

int ShotTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
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

QVariant ShotTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_state->shotCount())
        return QVariant();
    return cellText(m_state->shots.at(index.row()), index.column());
}

QVariant ShotTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char *const titles[ColumnCount] = {"Hires images", "Lowres thumbnails", "Shots", "Depths",
                                                    "Order",        "Semantic"};
    if (section < 0 || section >= ColumnCount)
        return QVariant();
    return QCoreApplication::translate("MainWindow", titles[section]);
}
