// Import of a Polyforge project (.pfp) or an earlier index (.orx) into the data table.

#include "mainwindow.h"

#include "cameraelement.h"
#include "dialogprovider.h"
#include "orvelleindexread.h"
#include "polyforgeproject.h"
#include "shottable.h"
#include "ui_mainwindow.h"

#include <QDir>
#include <QFileInfo>

void MainWindow::importDataset()
{
    const QString fileName =
        dialogs().getOpenFileName(this, tr("Open file"), QDir::current().absolutePath(),
                                  tr("Polyforge project (*.pfp);;Orvelle index file (*.orx)"));
    if (fileName.isEmpty())
        return;

    ui->data->clearContents();

    const QFileInfo file(fileName);
    const QString suffix = file.suffix();
    QVector<Camera> cameras;
    QStringList images;
    QStringList models;
    if (suffix == QLatin1String("orx")) {
        readIndex(fileName, cameras, images, models);
        fillWindow(file.absolutePath(), cameras, images, models);
    } else if (suffix == QLatin1String("pfp")) {
        readProject(fileName, cameras, images, models);
        fillWindow(file.absolutePath(), cameras, images, models);
    }

    ui->outputIndexFilename->setText(file.absolutePath() + QLatin1Char('/') + file.baseName() +
                                     QLatin1String("_generated.orx"));

    if (!ui->modelName->text().isEmpty()) {
        ui->updateThumbnails->setEnabled(true);
        ui->updateDepths->setEnabled(true);
        ui->updateTesselModel->setEnabled(true);
    } else {
        dialogs().warning(this, tr("Imported dataset error!"),
                          tr("No model found in the specified dataset!"));
    }

    // The table changed under everything computed before: depths are needed again before the
    // ordering, and a generate button left enabled by the previous dataset must not stay so.
    ui->updateOrderingAndSemantic->setEnabled(false);
    checkIfReadyToGenerate();
}

bool MainWindow::readProject(const QString &fileName, QVector<Camera> &cameras, QStringList &images,
                             QStringList &models)
{
    QString why;
    if (PolyforgeProject::readProject(fileName, cameras, images, models, &why))
        return true;
    QString text = tr("The project file \"%1\" could not be read.").arg(QDir::toNativeSeparators(fileName));
    if (!why.isEmpty())
        text += QLatin1Char('\n') + why;
    dialogs().warning(this, tr("Wrong file format"), text);
    return false;
}

bool MainWindow::readIndex(const QString &fileName, QVector<Camera> &cameras, QStringList &images,
                           QStringList &models)
{
    OrvelleIndexRead index;
    QString title;
    QStringList messages;
    connect(&index, &OrvelleIndexRead::error, this, [&](const QString &errorTitle, const QString &message) {
        if (title.isEmpty())
            title = errorTitle;
        messages.append(message);
    });
    const bool accepted = index.readFile(fileName);
    if (!accepted && messages.isEmpty())
        messages.append(
            tr("The index file \"%1\" could not be read.").arg(QDir::toNativeSeparators(fileName)));

    // An index without collection imports as an index without shots.
    if (index.collectionCount() > 0) {
        const ShotCollection &collection = index.collection(0);
        const QStringList &paths = collection.imagePaths();
        const QVector<int> &order = collection.order();
        const bool ordered = order.size() == paths.size();
        // Cameras pair with shots only when every shot has one (non-projectable shots have none).
        const bool withCameras = collection.cameras().size() == paths.size();
        if (!withCameras)
            messages.append(tr("The index holds %1 shots but %2 cameras: no camera was imported.")
                                .arg(paths.size())
                                .arg(collection.cameras().size()));
        for (int i = 0; i < paths.size(); ++i) {
            // The shot shown at position i, with its own camera.
            const int shot = (ordered && order.at(i) >= 0 && order.at(i) < paths.size()) ? order.at(i) : i;
            images.append(paths.at(shot));
            if (withCameras)
                cameras.append(collection.cameras().at(shot));
        }
    }
    if (!index.modelFileName().isEmpty())
        models.append(index.modelFileName());

    if (!messages.isEmpty())
        dialogs().warning(this, title.isEmpty() ? tr("Wrong file format") : title,
                          messages.join(QLatin1Char('\n')));
    return accepted && messages.isEmpty();
}

QString MainWindow::chooseModel(const QString &folder, const QStringList &models)
{
    auto canonical = [&](const QString &name) {
        const QString path = QFileInfo(name).isRelative() ? folder + QLatin1Char('/') + name : name;
        return QFileInfo(path).canonicalFilePath();
    };

    QStringList names;
    for (const QString &name : models)
        if (!name.isEmpty()) // an empty name would resolve to the folder itself
            names.append(name);

    if (names.size() == 1)
        return canonical(names.first());
    for (const QString &name : std::as_const(names)) {
        const QMessageBox::StandardButton answer = dialogs().question(
            this, tr("Too many models"),
            tr("More than one model has been found in the specified dataset.\nShould I use \"%1\" ?")
                .arg(name),
            QMessageBox::Ok | QMessageBox::No, QMessageBox::Ok);
        if (answer == QMessageBox::Ok)
            return canonical(name);
    }
    return ui->modelName->text();
}

void MainWindow::fillWindow(const QString &folder, const QVector<Camera> &cameras, const QStringList &images,
                            const QStringList &models)
{
    const QString base = folder + QLatin1Char('/');
    QTableWidget *table = ui->data;
    table->setRowCount(int(images.size()));
    for (int row = 0; row < images.size(); ++row) {
        const QString &name = images.at(row);
        const QString path = QFileInfo(name).isRelative() ? QFileInfo(base + name).canonicalFilePath() : name;
        ShotTable::setCellText(table, row, ShotTable::ImageColumn, path);
    }
    const int shots = qMin(int(cameras.size()), int(images.size()));
    for (int row = 0; row < shots; ++row)
        ShotTable::setCellText(table, row, ShotTable::CameraColumn,
                               CameraElement::cameraText(cameras.at(row), QStringLiteral("ksrCamera")));

    // Shots are counted from 1, as people do.
    ui->startShot->setRange(1, qMax(1, int(images.size())));
    ui->startShot->setValue(1);
    ui->startShot->setEnabled(!images.isEmpty());
    setStartView();

    ui->modelName->setText(chooseModel(folder, models));
    const QString model = ui->modelName->text();
    if (model.isEmpty())
        return;
    const QFileInfo modelFile(model);
    ui->lowresModel->setText(model);
    ui->tesselModelName->setText(modelFile.canonicalPath() + QLatin1Char('/') + modelFile.completeBaseName() +
                                 QLatin1String(".tsl"));
    ui->sceneName->setText(modelFile.completeBaseName());
}
