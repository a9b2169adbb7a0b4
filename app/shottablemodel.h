#pragma once
// The data table as a read-only view of the dataset state: one row per shot, six columns of text
// (photograph, thumbnail, camera element, depth with six significant digits, order, cluster).
// Nothing is read back from it: jobs and generation take the state's typed values.

#include "datasetstate.h"

#include <QAbstractTableModel>

class ShotTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { ImageColumn = 0, ThumbnailColumn, CameraColumn, DepthColumn, OrderColumn, SemanticColumn };
    static constexpr int ColumnCount = 6;

    // state must outlive the model; the model never changes it.
    explicit ShotTableModel(const DatasetState *state, QObject *parent = nullptr);

    // The state holds other shots now (a new dataset).
    void showNewShots();
    // The state's values changed, its shots are the same ones.
    void showNewValues();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The text a cell shows; empty while the value is unknown.
    static QString cellText(const ShotRecord &shot, int column);

private:
    const DatasetState *m_state;
};
