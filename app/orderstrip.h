#pragma once
// The shots' thumbnails in viewing order, one after another, each framed in the colour of its
// cluster value: shots with close values have close colours, and a jump in the value (a new
// cluster) shows as a jump in colour, from red at the lowest value to violet at the highest.
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

    // The colour of a cluster value within [lowest, highest].
    static QColor clusterColor(int value, int lowest, int highest);

signals:
    void rowSelected(int row);

private:
    void thumbnailReady(const QString &path);

    ThumbnailCache *m_thumbnails;
    bool m_selecting = false;
};
