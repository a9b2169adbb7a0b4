// What the window shows of the dataset beside the controls: the table (thumbnails, short texts,
// sorting), the order strip, the photograph viewer, the title; the layout that fits small
// screens; files dropped onto the window.

#include "mainwindow.h"

#include "dialogprovider.h"
#include "orderstrip.h"
#include "photoviewer.h"
#include "shottablemodel.h"
#include "thumbnailcache.h"
#include "ui_mainwindow.h"

#include <orvelleversion.h>

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QSortFilterProxyModel>
#include <QStatusBar>

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

    // Shots can be left out: the selected one (Delete), or every one whose photograph is missing.
    auto *leaveOut = new QAction(tr("Leave out"), table);
    leaveOut->setObjectName(QStringLiteral("actionLeaveOut"));
    leaveOut->setShortcut(QKeySequence::Delete);
    leaveOut->setShortcutContext(Qt::WidgetShortcut);
    connect(leaveOut, &QAction::triggered, this, [this] {
        const QModelIndex current = ui->data->currentIndex();
        if (current.isValid())
            leaveOutShots({m_sortedShots->mapToSource(current).row()});
    });
    auto *leaveOutMissing = new QAction(tr("Leave out every shot whose photograph is missing"), table);
    leaveOutMissing->setObjectName(QStringLiteral("actionLeaveOutMissing"));
    connect(leaveOutMissing, &QAction::triggered, this, [this] {
        QVector<int> rows;
        for (int row = 0; row < dataset().shotCount(); ++row)
            if (!dataset().shots.at(row).missingNote.isEmpty())
                rows.append(row);
        leaveOutShots(rows);
    });
    table->addAction(leaveOut);
    table->addAction(leaveOutMissing);
    table->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(m_session.get(), &Session::shotsLeftOut, this, &MainWindow::showShotsLeft);
}

void MainWindow::leaveOutShots(const QVector<int> &rows)
{
    if (rows.isEmpty())
        return;
    updateRequest();
    if (const auto refusal = m_session->leaveOut(rows))
        dialogs().warning(this, refusal->title, refusal->text);
    else
        statusBar()->showMessage(rows.size() == 1 ? tr("1 shot left out.")
                                                  : tr("%1 shots left out.").arg(rows.size()));
}

// Rows were removed from the dataset: the views and the start shot follow, the values stay.
void MainWindow::showShotsLeft()
{
    const DatasetState &state = dataset();
    m_shotTable->showNewShots();
    m_orderStrip->showShots(state);
    ui->startShot->setRange(1, qMax(1, state.shotCount()));
    ui->startShot->setValue(m_session->request().settings.startShot + 1);
    setStartView();
    showShotFrusta();
    enableStepButtons();
    checkIfReadyToGenerate();
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

// Each weight slider shows its value beside it, in a label as wide as the largest value.
void MainWindow::addSliderValues()
{
    for (const SliderPair &pair : sliderPairs())
        for (QSlider *slider : {pair.ordering, pair.clustering}) {
            auto *grid = qobject_cast<QGridLayout *>(ui->gridLayout_2);
            const int at = grid ? grid->indexOf(slider) : -1;
            if (at < 0)
                continue;
            int row, column, rows, columns;
            grid->getItemPosition(at, &row, &column, &rows, &columns);
            grid->removeWidget(slider);
            auto *cell = new QHBoxLayout;
            auto *value = new QLabel(QString::number(slider->value()), slider->parentWidget());
            value->setObjectName(slider->objectName() + QStringLiteral("Value"));
            value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            value->setFixedWidth(value->fontMetrics().horizontalAdvance(QString::number(slider->maximum())) +
                                 value->fontMetrics().averageCharWidth());
            cell->addWidget(slider, 1);
            cell->addWidget(value);
            grid->addLayout(cell, row, column, rows, columns);
            connect(slider, &QSlider::valueChanged, value,
                    [value](int number) { value->setText(QString::number(number)); });
        }
}

void MainWindow::addHelpMenu()
{
    QMenu *help = menuBar()->addMenu(tr("Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    QAction *keys = help->addAction(tr("Keyboard shortcuts"));
    keys->setObjectName(QStringLiteral("actionShortcuts"));
    connect(keys, &QAction::triggered, this, [this] {
        dialogs().information(this, tr("Keyboard shortcuts"),
                              tr("Ctrl+I\tImport a dataset\n"
                                 "Esc\tClose the window (asks first while jobs run or values are unwritten)\n"
                                 "Double click on a row\tOpen its photograph\n\n"
                                 "In the photograph viewer:\n"
                                 "Right, Left\tNext and previous photograph (also Page Down, Page Up)\n"
                                 "+, -, mouse wheel\tZoom in and out\n"
                                 "F\tFit the photograph to the window\n"
                                 "Esc\tClose the viewer"));
    });
    QAction *about = help->addAction(tr("About"));
    about->setObjectName(QStringLiteral("actionAbout"));
    connect(about, &QAction::triggered, this, [this] {
        dialogs().information(
            this, tr("About Orvelle Index Generator"),
            tr("Orvelle Index Generator %1\n"
               "Prepares a dataset of calibrated photographs registered to a 3D model and writes the "
               "index file a viewer loads. The same is done without a window by orvelle-index.\n\n"
               "Licence: not published yet; every right is reserved by the Orvelle Index Generator "
               "developers.")
                .arg(QStringLiteral(ORVELLE_VERSION)));
    });
}
