#pragma once
// The shots' thumbnails in viewing order, one after another, each framed in its cluster's colour
// (neighbours in one cluster share a colour; the colour changes where a new cluster begins).
// Empty until every shot has a place in the order. Selecting a thumbnail reports its row.
// GUI thread only.

#include <QListWidget>
#include <QVector>

struct DatasetState;
class ThumbnailCache;

class OrderStrip : public QListWidget
{
    Q_OBJECT
public:
    // thumbnails must outlive the strip.
    explicit OrderStrip(ThumbnailCache *thumbnails, QWidget *parent = nullptr);

    // Shows the state's shots in their viewing order (nothing when the order is incomplete).
    void showShots(const DatasetState &state);
    // Table rows of the thumbnails shown, from first to last.
    QVector<int> shownRows() const;
    // Marks the thumbnail of a row as selected without reporting it back.
    void selectRow(int row);

    // A colour per cluster that tells neighbouring clusters apart.
    static QColor clusterColor(int clusterIndex);

signals:
    void rowSelected(int row);

private:
    void thumbnailReady(const QString &path);

    ThumbnailCache *m_thumbnails;
    bool m_selecting = false;
};
