#pragma once
// The data table as a read-only view of the dataset state: one row per shot, six columns
// (photograph, thumbnail, camera, depth with six significant digits, order, cluster).
// The photograph column carries the shot's thumbnail as its picture once thumbnails exist; the
// camera column shows a short summary and keeps the element text as tooltip and value.
// Nothing is read back from it: jobs and generation take the state's typed values.

#include "datasetstate.h"
#include "steptable.h"

#include <QAbstractTableModel>

class QTableView;
class ThumbnailCache;

class ShotTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { ImageColumn = 0, ThumbnailColumn, CameraColumn, DepthColumn, OrderColumn, SemanticColumn };
    static constexpr int ColumnCount = 6;
    enum Role {
        ValueRole = Qt::UserRole, // the cell's whole text (the camera element for the camera)
        SortRole                  // numbers for the numeric columns, text otherwise
    };

    // state must outlive the model; the model never changes it. thumbnails may be null (no pictures).
    ShotTableModel(const DatasetState *state, ThumbnailCache *thumbnails, QObject *parent = nullptr);

    // The state holds other shots now (a new dataset).
    void showNewShots();
    // The state's values changed, its shots are the same ones.
    void showNewValues();
    // The state is about to go: the model shows no shots from now on.
    void forgetDataset();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The whole text of a cell; empty while the value is unknown.
    static QString cellText(const ShotRecord &shot, int column);
    // Makes `table` show `shots` (this model, or a proxy of it): pictures of iconSize, paths
    // shortened in the middle, wide text columns that share the width, sorting by any column
    // (starting in shot order), whole rows selected.
    static void setUpView(QTableView *table, QAbstractItemModel *shots, const QSize &iconSize);

    // What the camera column shows: "C (x, y, z)  f 35 mm".
    static QString cameraSummary(const Camera &camera);

private:
    void thumbnailReady(const QString &path);

    const DatasetState *m_state;
    DatasetState m_none; // shown once the state is gone
    QVector<const StepType *> m_stepColumns; // steps with a column of their own, after the six
    ThumbnailCache *m_thumbnails;
};
