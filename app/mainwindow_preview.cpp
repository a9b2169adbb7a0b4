// The live viewer preview of the "View settings" tab: the settings column on the left, the scene
// as the viewer shows it on the right, following every setting as it changes, the dataset's shots
// and the selection of the table and the order strip.

#include "mainwindow.h"

#include "orderstrip.h"
#include "ui_mainwindow.h"
#include "viewerinput.h"
#include "viewerwidget.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QScrollArea>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

void MainWindow::setUpViewerPreview()
{
    // The tab's two rows of settings move into a column; the preview takes the rest and grows.
    QBoxLayout *page = ui->verticalLayout_8;
    auto *column = new QWidget;
    column->setObjectName(QStringLiteral("viewSettingsColumn"));
    auto *columnLayout = new QVBoxLayout(column);
    columnLayout->setContentsMargins(0, 0, 0, 0);
    columnLayout->setSpacing(page->spacing());
    while (page->count() > 0) {
        QLayoutItem *item = page->takeAt(0);
        // A row is its own layout item: it changes parent, nothing is left to delete.
        if (QLayout *row = item->layout()) {
            row->setParent(nullptr);
            columnLayout->addLayout(row);
        } else {
            columnLayout->addItem(item);
        }
    }
    columnLayout->addStretch(1);

    // The settings scroll on their own; the preview keeps the tab's whole height beside them, and
    // the divider between the two can be dragged.
    auto *settingsScroll = new QScrollArea;
    settingsScroll->setObjectName(QStringLiteral("viewSettingsScroll"));
    settingsScroll->setWidget(column);
    settingsScroll->setWidgetResizable(true);
    settingsScroll->setFrameShape(QFrame::NoFrame);
    settingsScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    settingsScroll->setMinimumWidth(qMin(column->sizeHint().width(), 320));

    m_viewer = new ViewerWidget;
    m_viewer->setObjectName(QStringLiteral("viewerPreview"));
    auto *startView = new QPushButton(tr("start view"));
    startView->setObjectName(QStringLiteral("previewStartView"));
    startView->setToolTip(tr("Back to the start shot, as the viewer opens"));
    auto *previewPane = new QWidget;
    auto *previewColumn = new QVBoxLayout(previewPane);
    previewColumn->setContentsMargins(0, 0, 0, 0);
    previewColumn->addWidget(startView, 0, Qt::AlignLeft);
    previewColumn->addWidget(m_viewer, 1);

    auto *splitter = new QSplitter(Qt::Horizontal);
    splitter->setObjectName(QStringLiteral("viewSettingsSplitter"));
    splitter->addWidget(settingsScroll);
    splitter->addWidget(previewPane);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    page->addWidget(splitter, 1);

    connect(startView, &QPushButton::clicked, this, [this] {
        m_viewer->showStartView();
        if (m_viewer->startShot() >= 0)
            selectTableRow(m_viewer->startShot());
    });
    // The user's choice in the preview selects the shot in the table and the strip, and the other way.
    connect(m_viewer, &ViewerWidget::shotChosen, this, [this](int row) {
        m_orderStrip->selectRow(row);
        selectTableRow(row);
    });
    connect(ui->data->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    m_viewer->showShot(m_sortedShots->mapToSource(current).row());
            });
    connect(m_session.get(), &Session::datasetReplaced, this, [this] {
        showPreviewShots();
        m_viewer->startOver();
    });
    connect(m_session.get(), &Session::shotsChanged, this, &MainWindow::showPreviewShots);
    connect(m_session.get(), &Session::shotsLeftOut, this, &MainWindow::showPreviewShots);
}

void MainWindow::showPreviewSettings()
{
    if (!m_viewer)
        return;
    const SessionRequest &request = m_session->request();
    // A dataset without a model shows none; one that cannot be read is said in the status bar.
    const QString model = ViewerInput::modelFile(request);
    QString why;
    if (model != m_viewer->scene().modelFile() && !m_viewer->setModelFile(model, &why) && !model.isEmpty())
        statusBar()->showMessage(tr("The preview cannot show the model: %1").arg(why));
    m_viewer->setSettings(ViewerInput::settings(request));
    m_viewer->setStartShot(request.settings.startShot);
}

void MainWindow::showBuiltModelInPreview(const QString &builtModel)
{
    if (m_viewer && m_viewer->scene().modelFile() == builtModel)
        m_viewer->reloadModel();
    showPreviewSettings();
}

void MainWindow::showPreviewShots()
{
    m_viewer->setShots(ViewerInput::shots(dataset()), ViewerInput::viewingOrder(dataset()));
    showPreviewSettings();
}
