#include "photoviewer.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace
{
const double zoomStep = 1.25;
const double minZoom = 0.02;
const double maxZoom = 8.0;
} // namespace

PhotoViewer::PhotoViewer(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("photoViewer"));

    m_picture = new QLabel;
    m_picture->setAlignment(Qt::AlignCenter);
    m_scroll = new QScrollArea;
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setWidget(m_picture);
    m_scroll->setWidgetResizable(false);
    m_scroll->viewport()->installEventFilter(this);
    // The scroll area has the focus and would take the arrow keys for scrolling.
    m_scroll->installEventFilter(this);

    m_caption = new QLabel;
    m_caption->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_previous = new QPushButton(tr("Previous"));
    m_previous->setToolTip(tr("Show the photograph of the row above (Left arrow)"));
    m_next = new QPushButton(tr("Next"));
    m_next->setToolTip(tr("Show the photograph of the row below (Right arrow)"));
    auto *fit = new QPushButton(tr("Fit"));
    fit->setToolTip(tr("Fit the whole photograph into the window (F)"));
    auto *in = new QPushButton(tr("Zoom in"));
    in->setToolTip(tr("Enlarge the photograph (+ or the mouse wheel)"));
    auto *out = new QPushButton(tr("Zoom out"));
    out->setToolTip(tr("Reduce the photograph (- or the mouse wheel)"));
    for (QPushButton *button : {m_previous, m_next, fit, in, out})
        button->setFocusPolicy(Qt::NoFocus);
    connect(m_previous, &QPushButton::clicked, this, &PhotoViewer::showPrevious);
    connect(m_next, &QPushButton::clicked, this, &PhotoViewer::showNext);
    connect(fit, &QPushButton::clicked, this, &PhotoViewer::fitToWindow);
    connect(in, &QPushButton::clicked, this, &PhotoViewer::zoomIn);
    connect(out, &QPushButton::clicked, this, &PhotoViewer::zoomOut);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_previous);
    buttons->addWidget(m_next);
    buttons->addStretch(1);
    buttons->addWidget(fit);
    buttons->addWidget(in);
    buttons->addWidget(out);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_scroll, 1);
    layout->addWidget(m_caption);
    layout->addLayout(buttons);
    resize(900, 700);
}

void PhotoViewer::showPhotographs(const QStringList &paths, int current)
{
    m_paths = paths;
    m_current = paths.isEmpty() ? -1 : qBound(0, current, int(paths.size()) - 1);
    load();
}

void PhotoViewer::showNext()
{
    if (m_current + 1 < m_paths.size()) {
        ++m_current;
        load();
    }
}

void PhotoViewer::showPrevious()
{
    if (m_current > 0) {
        --m_current;
        load();
    }
}

void PhotoViewer::load()
{
    m_previous->setEnabled(m_current > 0);
    m_next->setEnabled(m_current >= 0 && m_current + 1 < m_paths.size());
    if (m_current < 0) {
        m_image = QImage();
        m_caption->clear();
        showPicture();
        return;
    }
    const QString path = m_paths.at(m_current);
    QImageReader reader(path);
    reader.setAutoTransform(true);
    m_image = reader.read();
    const QString place = tr("%1 of %2").arg(m_current + 1).arg(m_paths.size());
    setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" - ") + tr("Photograph"));
    m_caption->setText(
        m_image.isNull()
            ? tr("%1: %2 cannot be shown (%3)").arg(place, path, reader.errorString())
            : tr("%1: %2 (%3 x %4 pixels)").arg(place, path).arg(m_image.width()).arg(m_image.height()));
    m_fit = true;
    showPicture();
    emit currentChanged(m_current);
}

void PhotoViewer::fitToWindow()
{
    m_fit = true;
    showPicture();
}

void PhotoViewer::zoomIn()
{
    setZoom(m_zoom * zoomStep);
}

void PhotoViewer::zoomOut()
{
    setZoom(m_zoom / zoomStep);
}

void PhotoViewer::setZoom(double zoom)
{
    m_fit = false;
    m_zoom = qBound(minZoom, zoom, maxZoom);
    showPicture();
}

void PhotoViewer::showPicture()
{
    if (m_image.isNull()) {
        m_picture->setPixmap(QPixmap());
        m_picture->resize(m_scroll->viewport()->size());
        return;
    }
    const QSize room = m_scroll->viewport()->size();
    if (m_fit) {
        // Zooming in from the fitted picture starts at the scale shown.
        const QSize fitted = m_image.size().scaled(room, Qt::KeepAspectRatio);
        m_zoom = double(fitted.width()) / double(m_image.width());
    }
    const QSize shown = (QSizeF(m_image.size()) * m_zoom).toSize().expandedTo(QSize(1, 1));
    m_picture->setPixmap(
        QPixmap::fromImage(m_image.scaled(shown, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    m_picture->resize(shown.expandedTo(m_fit ? room : QSize(1, 1)));
}

void PhotoViewer::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_fit)
        showPicture();
}

void PhotoViewer::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_PageDown:
    case Qt::Key_Space:
        showNext();
        break;
    case Qt::Key_Left:
    case Qt::Key_PageUp:
    case Qt::Key_Backspace:
        showPrevious();
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomIn();
        break;
    case Qt::Key_Minus:
        zoomOut();
        break;
    case Qt::Key_F:
    case Qt::Key_0:
        fitToWindow();
        break;
    case Qt::Key_Escape:
        close();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

bool PhotoViewer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Wheel) {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->angleDelta().y() > 0)
            zoomIn();
        else if (wheel->angleDelta().y() < 0)
            zoomOut();
        return true;
    }
    if (watched == m_scroll && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right || key->key() == Qt::Key_PageUp ||
            key->key() == Qt::Key_PageDown || key->key() == Qt::Key_Space) {
            keyPressEvent(key);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
