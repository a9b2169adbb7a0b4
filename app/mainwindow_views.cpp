// What the window shows of the dataset beside the controls: the table (thumbnails, short texts,
// sorting), the order strip, the photograph viewer, the title; the layout that fits small
// screens; files dropped onto the window.

#include "mainwindow.h"

#include "orderstrip.h"
#include "photoviewer.h"
#include "shottablemodel.h"
#include "thumbnailcache.h"
#include "ui_mainwindow.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QSortFilterProxyModel>

namespace
{

// Thumbnails in the table and the strip: small enough for many rows, big enough to recognise.
const QSize shotIconSize(64, 48);

// The one local file dropped, or empty.
QString droppedFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1 || !mime->urls().first().isLocalFile())
        return QString();
    const QString file = mime->urls().first().toLocalFile();
    return QFileInfo(file).isFile() ? file : QString();
}

} // namespace

void MainWindow::setUpDataViews()
{
    m_thumbnails = new ThumbnailCache(shotIconSize, this);
    m_shotTable = new ShotTableModel(&m_session->dataset(), m_thumbnails, this);

    // Sorting happens in the view only: the dataset keeps its shot order.
    m_sortedShots = new QSortFilterProxyModel(this);
    m_sortedShots->setSourceModel(m_shotTable);
    m_sortedShots->setSortRole(ShotTableModel::SortRole);
    m_sortedShots->setSortCaseSensitivity(Qt::CaseInsensitive);

    QTableView *table = ui->data;
    ShotTableModel::setUpView(table, m_sortedShots, shotIconSize);
    connect(table, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { showPhotograph(m_sortedShots->mapToSource(index).row()); });

    m_orderStrip = new OrderStrip(m_thumbnails, this);
    m_orderStrip->setObjectName(QStringLiteral("orderStrip"));
    ui->verticalLayout_2->addWidget(m_orderStrip);
    connect(m_orderStrip, &OrderStrip::rowSelected, this, &MainWindow::selectTableRow);
    connect(table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    m_orderStrip->selectRow(m_sortedShots->mapToSource(current).row());
            });
}

void MainWindow::selectTableRow(int row)
{
    const QModelIndex shown = m_sortedShots->mapFromSource(m_shotTable->index(row, 0));
    if (!shown.isValid())
        return;
    ui->data->selectRow(shown.row());
    ui->data->scrollTo(shown);
}

void MainWindow::showPhotograph(int row)
{
    if (row < 0 || row >= dataset().shotCount())
        return;
    // Previous and next follow the rows as the table shows them.
    QStringList paths;
    int current = 0;
    for (int shown = 0; shown < m_sortedShots->rowCount(); ++shown) {
        const int shot = m_sortedShots->mapToSource(m_sortedShots->index(shown, 0)).row();
        if (shot == row)
            current = int(paths.size());
        paths.append(dataset().shots.at(shot).imagePath);
    }
    if (!m_photoViewer) {
        m_photoViewer = std::make_unique<PhotoViewer>();
        m_photoViewer->setWindowIcon(windowIcon());
    }
    m_photoViewer->showPhotographs(paths, current);
    m_photoViewer->show();
    m_photoViewer->raise();
    m_photoViewer->activateWindow();
}

void MainWindow::showTitle()
{
    const QString application = tr("Orvelle Index Generator");
    setWindowTitle(dataset().datasetFile.isEmpty()
                       ? application
                       : QFileInfo(dataset().datasetFile).fileName() + QStringLiteral(" - ") + application);
}

// Every settings tab scrolls rather than squeezing its controls; the window starts at a size
// that fits the screen it is on.
void MainWindow::setUpLayout()
{
    QTabWidget *tabs = ui->tabWidget;
    const int current = tabs->currentIndex();
    for (int i = 0; i < tabs->count(); ++i) {
        QWidget *page = tabs->widget(i);
        // The data overview's table and strip, and the view settings beside their preview, scroll themselves.
        if (page == ui->tab_3 || page == ui->tab_2)
            continue;
        const QString title = tabs->tabText(i);
        tabs->removeTab(i);
        auto *scroll = new QScrollArea;
        scroll->setObjectName(page->objectName() + QStringLiteral("Scroll"));
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidget(page);
        tabs->insertTab(i, scroll, title);
    }
    tabs->setCurrentIndex(current);

    if (const QScreen *screen = this->screen()) {
        const QRect room = screen->availableGeometry();
        resize(qMin(1100, room.width() * 9 / 10), qMin(760, room.height() * 9 / 10));
    }
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QString file = droppedFile(event->mimeData());
    if (file.isEmpty())
        return;
    event->acceptProposedAction();
    importFile(file);
}
