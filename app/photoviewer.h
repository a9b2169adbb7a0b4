#pragma once
// A window that shows one photograph of the dataset at a time: fitted to the window at first,
// zoomed with the wheel, + and -, panned with the scroll bars; previous and next walk through
// the list it was given. GUI thread only; decoding the full photograph happens on demand.

#include <QImage>
#include <QStringList>
#include <QWidget>

class QLabel;
class QPushButton;
class QScrollArea;

class PhotoViewer : public QWidget
{
    Q_OBJECT
public:
    explicit PhotoViewer(QWidget *parent = nullptr);

    // Shows photograph `current` of `paths` (clamped to the list).
    void showPhotographs(const QStringList &paths, int current);

    int currentIndex() const { return m_current; }
    // 0 while the picture is fitted to the window.
    double zoom() const { return m_fit ? 0.0 : m_zoom; }

public slots:
    void showNext();
    void showPrevious();
    void fitToWindow();
    void zoomIn();
    void zoomOut();

signals:
    // The photograph shown changed (its index in the list).
    void currentChanged(int index);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void load();
    void setZoom(double zoom);
    void showPicture();

    QStringList m_paths;
    int m_current = -1;
    QImage m_image;
    bool m_fit = true;
    double m_zoom = 1.0;

    QScrollArea *m_scroll;
    QLabel *m_picture;
    QLabel *m_caption;
    QPushButton *m_previous;
    QPushButton *m_next;
};
