// Generation of the index file: the session checks the request and the dataset and writes; the
// window shows what it said.

#include "mainwindow.h"

#include "dialogprovider.h"

#include <QDir>
#include <QStatusBar>

void MainWindow::saveDatasetORX()
{
    updateRequest();
    const WriteOutcome outcome = m_session->writeIndex();
    if (!outcome.written) {
        dialogs().warning(this, outcome.problem.title, outcome.problem.text);
        return;
    }
    for (const Problem &notice : outcome.notices)
        dialogs().warning(this, notice.title, notice.text);
    statusBar()->showMessage(
        tr("Index written to %1.").arg(QDir::toNativeSeparators(m_session->request().outputFile)));
    dialogs().information(this, outcome.problem.title, outcome.problem.text);
}
