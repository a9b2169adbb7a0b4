// The form and the controls of the main window: defaults, the form's own connections, Esc,
// slider coupling, file and colour choices, up direction, job results and readiness.

#include "mainwindow.h"
#include "windowtestutil.h"

#include <orvelleversion.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> window;
    ScriptedDialogs dialogs;

    template <typename T> T *get(const char *name) { return control<T>(window.get(), name); }

    std::unique_ptr<QTemporaryDir> temp;

    // Imports a project of n photographs (with a model) made in a temporary folder.
    void importShots(int shots)
    {
        temp = std::make_unique<QTemporaryDir>();
        QList<Raster> rasters;
        for (int i = 0; i < shots; ++i) {
            const QString name = QString("p%1.jpg").arg(i);
            QVERIFY(writeFile(temp->filePath(name), "x"));
            rasters.append({testCamera(35, {float(i), 0, 0}), name});
        }
        QVERIFY(writeFile(temp->filePath("m.ply"), "ply\n"));
        QVERIFY(writeFile(temp->filePath("p.pfp"), projectText({rasters}, {"m.ply"})));
        dialogs.openAnswers << temp->filePath("p.pfp");
        get<QAction>("actionImport")->trigger();
        QCOMPARE(get<QTableView>("data")->model()->rowCount(), shots);
        dialogs.shown.clear();
    }
    QString cell(int row, int column) { return cellText(get<QTableView>("data"), row, column); }

private slots:
    void init() { QVERIFY(openScriptedWindow(window, dialogs)); }
    void cleanup() { window.reset(); }

    void membersInDeclaredOrder()
    {
        const QStringList expected = {"terminate()",
                                      "importDataset()",
                                      "saveDatasetORX()",
                                      "computeDepths()",
                                      "computeThumbnails()",
                                      "computeTessel()",
                                      "computeOrderAndSemantic()",
                                      "selectModel()",
                                      "selectLowresModel()",
                                      "selectTessel()",
                                      "selectFrameletColor()",
                                      "selectBackgroundColor()",
                                      "connectOrderingAndSemanticFunctions(bool)",
                                      "setStartView()",
                                      "setGenericUpDir()",
                                      "setPredefinedUpDir()",
                                      "showErrorMessage(QString,QString)",
                                      "depthsReady()",
                                      "tesselReady()",
                                      "checkIfReadyToGenerate()",
                                      "selectOutputIndexFile()",
                                      "showPhotograph(int)"};
        const QMetaObject *meta = window->metaObject();
        QStringList found;
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i)
            found.append(QString::fromLatin1(meta->method(i).methodSignature()));
        QCOMPARE(found, expected);
        QCOMPARE(meta->method(meta->methodOffset()).methodType(), QMetaMethod::Signal);
        QCOMPARE(meta->method(meta->methodOffset() + 1).methodType(), QMetaMethod::Slot);
    }

    void controlDefaults_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QVariant>("expected");
        auto row = [](const char *object, const char *property, const QVariant &value) {
            QTest::addRow("%s.%s", object, property)
                << QString::fromLatin1(object) << QByteArray(property) << value;
        };
        row("MainWindow", "windowTitle", QString("Orvelle Index Generator"));
        row("tabWidget", "currentIndex", 0);
        row("tabWidget", "count", 4);
        row("sceneName", "text", QString());
        row("data", "alternatingRowColors", true);
        row("data", "wordWrap", false);
        row("data", "selectionMode", int(QAbstractItemView::SingleSelection));
        row("data", "editTriggers", int(QAbstractItemView::NoEditTriggers));
        const char *radios[][2] = {
            {"doNotComputeThumbnails", "do not compute"},         {"useHiresThumbnails", "use same of hires"},
            {"downsampleHiresThumbnails", "downsample hires"},    {"doNotComputeDepths", "do not compute"},
            {"computeDepthFrom3DModel", "compute from 3D model"}, {"useInputModel", "use input model"},
            {"computeTessel", "use (and compute) Tessel"},        {"orthoPlaneBackground", "use ortho plane"},
            {"coloredDomeBackground", "use colored dome"}};
        for (auto &radio : radios)
            row(radio[0], "text", QString(radio[1]));
        row("doNotComputeThumbnails", "checked", false);
        row("useHiresThumbnails", "checked", false);
        row("downsampleHiresThumbnails", "checked", true);
        row("doNotComputeDepths", "checked", false);
        row("computeDepthFrom3DModel", "checked", true);
        row("useInputModel", "checked", false);
        row("computeTessel", "checked", true);
        row("orthoPlaneBackground", "checked", true);
        row("coloredDomeBackground", "checked", false);
        for (const char *update :
             {"updateThumbnails", "updateDepths", "updateOrderingAndSemantic", "updateTesselModel"}) {
            row(update, "enabled", false);
            row(update, "text", QString("Update"));
            row(update, "maximumWidth", 60);
        }
        for (const char *bar : {"thumbnailsComputationProgress", "depthComputationProgress",
                                "orderAndSemanticComputationProgress", "tesselComputationProgress"}) {
            row(bar, "value", 0);
            row(bar, "orientation", int(Qt::Vertical));
        }
        for (const char *dots :
             {"selectLowresModel", "selectModel", "selectTesselModel", "selectOutputIndexFilename"}) {
            row(dots, "text", QString("..."));
            row(dots, "maximumWidth", 30);
        }
        row("lowresModel", "text", QString());
        row("lowresModel", "enabled", true);
        row("modelName", "text", QString());
        row("tesselModelName", "text", QString());
        row("tesselStatus", "text", QString());
        row("pointCloud", "checked", false);
        row("pointCloud", "text", QString("point cloud"));
        row("useSameClusteringAndOrderingFunctions", "checked", true);
        row("useSameClusteringAndOrderingFunctions", "text", QString("cluster with same ordering function"));
        const QList<QPair<const char *, int>> sliders = {{"timeOfShot", 0}, {"dirOfShot", 50},
                                                         {"posOfShot", 50}, {"posOfTarget", 0},
                                                         {"colorDistr", 0}, {"colorSpatialDistr", 0}};
        for (const auto &slider : sliders) {
            for (const char *kind : {"Order", "Semantic"}) {
                const QByteArray name = QByteArray(slider.first) + kind;
                row(name.constData(), "value", slider.second);
                row(name.constData(), "maximum", 100);
                row(name.constData(), "minimum", 0);
                row(name.constData(), "orientation", int(Qt::Horizontal));
            }
            // Coupled at start: the clustering weights follow the ordering ones.
            row((QByteArray(slider.first) + "Semantic").constData(), "enabled", false);
        }
        const char *labels[][2] = {{"label_9", "ordering function"},
                                   {"label_10", "clustering function"},
                                   {"label_2", "time of shot"},
                                   {"label_4", "direction of shot"},
                                   {"label_5", "position of shot"},
                                   {"label_6", "position of target"},
                                   {"label_7", "color distribution"},
                                   {"label_8", "color spatial distribution"},
                                   {"label_15", "Scene name"},
                                   {"label_16", "Screen position"},
                                   {"label_17", "Color"},
                                   {"label_18", "Position %"},
                                   {"label_22", "Reliability"},
                                   {"label_21", "Color at infinity"},
                                   {"label_19", "Speed"},
                                   {"label_20", "Start shot"},
                                   {"label_23", "X"},
                                   {"label_24", "Y"},
                                   {"label_25", "Z"},
                                   {"label_3", "Filename"}};
        for (auto &label : labels)
            row(label[0], "text", QString(label[1]));
        const char *groups[][2] = {{"groupBox_3", "Thumbnails"},
                                   {"groupBox", "Depth of each view"},
                                   {"groupBox_4", "Image ordering and clustering"},
                                   {"groupBox_11", "3D Model"},
                                   {"groupBox_5", "Thumbnai lbar"},
                                   {"groupBox_7", "Framelets"},
                                   {"groupBox_9", "Projection"},
                                   {"groupBox_10", "Lighting"},
                                   {"groupBox_2", "Background"},
                                   {"groupBox_8", "Camera"},
                                   {"groupBox_13", "Up-direction"}};
        for (auto &group : groups)
            row(group[0], "title", QString(group[1]));
        row("thumbnailBarPosition", "currentIndex", 1);
        row("thumbnailBarPosition", "currentText", QString("bottom"));
        row("thumbnailBarPosition", "count", 2);
        for (const char *spin : {"frameletsScale", "projectionReliability"}) {
            row(spin, "decimals", 3);
            row(spin, "minimum", 0.001);
            row(spin, "maximum", 1000.0);
            row(spin, "singleStep", 0.1);
            row(spin, "value", 1.0);
        }
        row("lighting", "checked", false);
        row("lighting", "text", QString("enable"));
        row("backgroundDome", "enabled", false);
        row("backgroundDome", "rowCount", 5);
        row("backgroundDome", "columnCount", 2);
        row("cameraSpeed", "decimals", 2);
        row("cameraSpeed", "minimum", 0.0);
        row("cameraSpeed", "maximum", 100.0);
        row("cameraSpeed", "singleStep", 0.5);
        row("cameraSpeed", "value", 1.0);
        row("startShot", "minimum", 1);
        row("startShot", "maximum", 1);
        row("startShot", "value", 1);
        row("startShot", "enabled", false); // no shots yet
        const QList<QPair<const char *, double>> axes = {{"upDirX", 0.0}, {"upDirY", 1.0}, {"upDirZ", 0.0}};
        for (const auto &axis : axes) {
            row(axis.first, "value", axis.second);
            row(axis.first, "decimals", 1);
            row(axis.first, "minimum", -1000.0);
            row(axis.first, "maximum", 1000.0);
            row(axis.first, "maximumWidth", 40);
            row(axis.first, "buttonSymbols", int(QAbstractSpinBox::NoButtons));
        }
        for (const char *button :
             {"upDirMinusX", "upDirMinusY", "upDirMinusZ", "upDirPlusX", "upDirPlusY", "upDirPlusZ"}) {
            row(button, "checkable", true);
            row(button, "checked", QByteArray(button) == "upDirPlusY");
            row(button, "maximumWidth", 40);
            row(button, "text", QString(button).replace("upDirMinus", "-").replace("upDirPlus", "+"));
        }
        row("previewModelOrientation", "checked", false);
        row("previewModelOrientation", "text", QString("preview"));
        row("outputIndexFilename", "text", QString());
        row("useRelativePaths", "checked", true);
        row("useRelativePaths", "text", QString("use relative file paths"));
        row("generateOrvelleIndex", "enabled", false);
        row("generateOrvelleIndex", "text", QString("Generate Orvelle index file"));
        row("actionImport", "text", QString("Import..."));
        row("actionImport", "shortcut", QKeySequence("Ctrl+I"));
        row("actionExit", "text", QString("Exit"));
        row("actionExit", "shortcut", QKeySequence("Esc"));
        row("menuFile", "title", QString("File"));
    }
    void controlDefaults()
    {
        QFETCH(QString, object);
        QFETCH(QByteArray, property);
        QFETCH(QVariant, expected);
        QObject *target = object == "MainWindow" ? window.get() : window->findChild<QObject *>(object);
        QVERIFY2(target, qPrintable(object));
        const QVariant value = target->property(property.constData());
        QVERIFY2(value.isValid(), property.constData());
        if (expected.typeId() == QMetaType::Double)
            QCOMPARE(value.toDouble(), expected.toDouble());
        else if (expected.typeId() == QMetaType::Int)
            QCOMPARE(value.toInt(), expected.toInt());
        else
            QCOMPARE(value, expected);
    }

    void formLayoutAndTexts()
    {
        // The window starts inside the screen it is on.
        QVERIFY(window->screen()->availableGeometry().contains(window->frameGeometry()));
        QVERIFY(!window->windowIcon().isNull());
        QVERIFY(!QIcon(":/images/OrvelleIndexGenerator.ico").pixmap(32, 32).isNull());

        auto *tabs = get<QTabWidget>("tabWidget");
        const QStringList pages = {"tab_3", "tab", "tab_2", "tab_4"};
        const QStringList titles = {"Data overview", "Data precomputation", "View settings",
                                    "Output index (orx)"};
        for (int i = 0; i < 4; ++i) {
            // Settings pages sit in scroll areas.
            QWidget *page = tabs->widget(i);
            if (auto *scroll = qobject_cast<QScrollArea *>(page))
                page = scroll->widget();
            QCOMPARE(page->objectName(), pages[i]);
            QCOMPARE(tabs->tabText(i), titles[i]);
        }

        const QAbstractItemModel *data = get<QTableView>("data")->model();
        const QStringList headers = {"Hires images", "Lowres thumbnails", "Shots", "Depths",
                                     "Order",        "Semantic"};
        QCOMPARE(data->rowCount(), 0);
        QCOMPARE(data->columnCount(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(data->headerData(i, Qt::Horizontal).toString(), headers[i]);

        auto *dome = get<QTableWidget>("backgroundDome");
        QCOMPARE(dome->horizontalHeaderItem(0)->text(), QString("Height"));
        QCOMPARE(dome->horizontalHeaderItem(1)->text(), QString("RGB Color"));
        QVERIFY(dome->verticalHeader()->isHidden());
        const QStringList heights = {"-1", "-0.05", "0", "0.7", "1"};
        const QStringList colours = {"0.6,0.6,0.6", "0.65,0.65,0.65", "0.7,0.85,0.85", "0.4,0.6,0.8",
                                     "0.4,0.6,0.8"};
        for (int row = 0; row < 5; ++row) {
            QCOMPARE(dome->verticalHeaderItem(row)->text(), QString::number(row + 1));
            QCOMPARE(dome->item(row, 0)->text(), heights[row]);
            QCOMPARE(dome->item(row, 1)->text(), colours[row]);
        }

        auto *combo = get<QComboBox>("thumbnailBarPosition");
        QCOMPARE(combo->itemText(0), QString("top"));
        QCOMPARE(combo->itemText(1), QString("bottom"));

        auto *menuBar = window->menuBar();
        QCOMPARE(menuBar->objectName(), QString("menubar"));
        auto *menu = get<QMenu>("menuFile");
        QCOMPARE(menu->actions().size(), 2);
        QCOMPARE(menu->actions().at(0)->objectName(), QString("actionImport"));
        QCOMPARE(menu->actions().at(1)->objectName(), QString("actionExit"));

        QVERIFY(window->findChild<QLayout *>("cameraOrientationGLContainer"));

        // The colour buttons start black (background) and white (framelets).
        QCOMPARE(get<QPushButton>("backgroundColor")->palette().color(QPalette::Button), QColor(Qt::black));
        QCOMPARE(get<QPushButton>("frameletColor")->palette().color(QPalette::Button), QColor(Qt::white));
    }

    void centredOnScreen()
    {
        const QRect screen = window->screen()->geometry();
        QCOMPARE(window->pos(), QPoint(screen.x() + (screen.width() - window->width()) / 2,
                                       screen.y() + (screen.height() - window->height()) / 2));
    }

    // The form's own connections: the depth radio buttons drive the low-resolution model
    // field, the background radio buttons drive the dome table.
    void formConnections()
    {
        auto *lowres = get<QLineEdit>("lowresModel");
        auto *selectLowres = get<QPushButton>("selectLowresModel");
        auto *dome = get<QTableWidget>("backgroundDome");

        clickControl(get<QRadioButton>("doNotComputeDepths"));
        QVERIFY(!lowres->isEnabled());
        QVERIFY(!selectLowres->isEnabled());
        clickControl(get<QRadioButton>("computeDepthFrom3DModel"));
        QVERIFY(lowres->isEnabled());
        QVERIFY(selectLowres->isEnabled());

        QVERIFY(!dome->isEnabled());
        clickControl(get<QRadioButton>("coloredDomeBackground"));
        QVERIFY(dome->isEnabled());
        QVERIFY(!get<QRadioButton>("orthoPlaneBackground")->isChecked());
        clickControl(get<QRadioButton>("orthoPlaneBackground"));
        QVERIFY(!dome->isEnabled());
    }

    void escapeClosesWindow()
    {
        QSignalSpy terminated(window.get(), &MainWindow::terminate);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QTRY_VERIFY(!window->isVisible());
        QCOMPARE(terminated.count(), 1);
        QVERIFY(dialogs.shown.isEmpty()); // nothing to lose, nothing asked
    }

    // Computed values that no index holds yet are not thrown away without asking.
    void escapeAsksBeforeDiscardingResults()
    {
        importShots(2);
        giveDepth(*window, 0, 1.5f);
        QSignalSpy terminated(window.get(), &MainWindow::terminate);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        dialogs.questionAnswers << QMessageBox::Cancel;
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QCOMPARE(dialogs.ofKind("question").size(), 1);
        QCOMPARE(dialogs.ofKind("question")[0].title, QString("Discard the work?"));
        QVERIFY(window->isVisible());
        QCOMPARE(terminated.count(), 0);

        dialogs.questionAnswers << QMessageBox::Discard;
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QTRY_VERIFY(!window->isVisible());
        QCOMPARE(terminated.count(), 1);
    }

    void sliderCoupling()
    {
        auto *coupled = get<QCheckBox>("useSameClusteringAndOrderingFunctions");
        auto *order = get<QSlider>("posOfTargetOrder");
        auto *semantic = get<QSlider>("posOfTargetSemantic");

        order->setValue(30);
        QCOMPARE(semantic->value(), 30);
        QVERIFY(!semantic->isEnabled());

        clickControl(coupled);
        QVERIFY(!coupled->isChecked());
        const QList<QSlider *> clustering = window->findChildren<QSlider *>(QRegularExpression("Semantic$"));
        QCOMPARE(clustering.size(), 6);
        for (QSlider *slider : clustering)
            QVERIFY2(slider->isEnabled(), qPrintable(slider->objectName()));
        order->setValue(70);
        QCOMPARE(semantic->value(), 30);
        semantic->setValue(10);
        QCOMPARE(order->value(), 70);

        // Coupling again copies every ordering weight into its partner.
        get<QSlider>("timeOfShotSemantic")->setValue(90);
        clickControl(coupled);
        QCOMPARE(semantic->value(), 70);
        QCOMPARE(get<QSlider>("timeOfShotSemantic")->value(), 0);
        QCOMPARE(get<QSlider>("dirOfShotSemantic")->value(), 50);
        QVERIFY(!semantic->isEnabled());
        order->setValue(5);
        QCOMPARE(semantic->value(), 5);

        // Coupling twice in a row must not connect twice: uncoupling once frees the pair.
        window->connectOrderingAndSemanticFunctions(true);
        window->connectOrderingAndSemanticFunctions(false);
        order->setValue(6);
        QCOMPARE(semantic->value(), 5);

        // Each slider shows its number beside it.
        QCOMPARE(get<QLabel>("posOfTargetOrderValue")->text(), QString("6"));
        QCOMPARE(get<QLabel>("posOfTargetSemanticValue")->text(), QString("5"));
        QCOMPARE(window->findChildren<QLabel *>(QRegularExpression("(Order|Semantic)Value$")).size(), 12);
    }

    // Help > About names the version and the licence; Help > Keyboard shortcuts lists them. The
    // percentages under the bars keep their width whatever they say.
    void helpMenuAndSteadyLabels()
    {
        get<QAction>("actionAbout")->trigger();
        get<QAction>("actionShortcuts")->trigger();
        const auto told = dialogs.ofKind("information");
        QCOMPARE(told.size(), 2);
        QVERIFY(told[0].text.startsWith("Orvelle Index Generator " ORVELLE_VERSION "\n"));
        QVERIFY(told[0].text.contains("Licence"));
        QVERIFY(told[1].text.contains("Ctrl+I"));
        QVERIFY(told[1].text.contains("Right, Left"));

        auto *bar = get<QProgressBar>("depthComputationProgress");
        auto *percent = get<QLabel>("depthComputationProgressPercent");
        const int width = percent->width();
        bar->setValue(100);
        QCOMPARE(percent->text(), QString("100%"));
        QCOMPARE(percent->width(), width);
        QCOMPARE(percent->minimumWidth(), percent->maximumWidth());
    }

    void fileChoices_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("filter");
        QTest::newRow("model") << "selectModel"
                               << "modelName"
                               << "open"
                               << "Select 3D model"
                               << "PLY model (*.ply);;OBJ model(*.obj);;Tessel model (*.tsl)";
        QTest::newRow("lowres") << "selectLowresModel"
                                << "lowresModel"
                                << "open"
                                << "Select low resolution 3D model"
                                << "PLY model (*.ply);;OBJ model(*.obj)";
        QTest::newRow("tessel") << "selectTesselModel"
                                << "tesselModelName"
                                << "save"
                                << "Select Tessel 3D model"
                                << "Tessel model (*.tsl)";
    }
    void fileChoices()
    {
        QFETCH(QString, button);
        QFETCH(QString, target);
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        QFETCH(QString, filter);
        auto *edit = window->findChild<QLineEdit *>(target);
        auto *dots = window->findChild<QPushButton *>(button);
        edit->setText("/kept/before.ply");

        // Cancelled: the field keeps its text.
        clickControl(dots);
        QCOMPARE(edit->text(), QString("/kept/before.ply"));

        (kind == "open" ? dialogs.openAnswers : dialogs.saveAnswers) << "/chosen/model.ply";
        clickControl(dots);
        QCOMPARE(edit->text(), QString("/chosen/model.ply"));

        QCOMPARE(dialogs.shown.size(), 2);
        QCOMPARE(dialogs.shown[1].kind, kind);
        QCOMPARE(dialogs.shown[1].title, caption);
        QCOMPARE(dialogs.shown[1].text, filter);
        QCOMPARE(dialogs.shown[1].parent, window.get());
        QCOMPARE(dialogs.fileDialogFolders[1], QDir::current().absolutePath());
    }

    void colourChoices_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QColor>("initial");
        QTest::newRow("framelets") << "frameletColor" << QColor(Qt::white);
        QTest::newRow("background") << "backgroundColor" << QColor(Qt::black);
    }
    void colourChoices()
    {
        QFETCH(QString, button);
        QFETCH(QColor, initial);
        auto *colour = window->findChild<QPushButton *>(button);
        dialogs.colorAnswers << QColor(10, 200, 30) << QColor();

        clickControl(colour);
        QCOMPARE(colour->palette().color(QPalette::Button), QColor(10, 200, 30));
        // Cancelled: the chosen colour stays, and the dialog starts from it.
        clickControl(colour);
        QCOMPARE(colour->palette().color(QPalette::Button), QColor(10, 200, 30));
        QCOMPARE(dialogs.colorInitials, QList<QColor>({initial, QColor(10, 200, 30)}));
    }

    void upDirection()
    {
        auto *x = get<QDoubleSpinBox>("upDirX");
        auto *y = get<QDoubleSpinBox>("upDirY");
        auto *z = get<QDoubleSpinBox>("upDirZ");
        const QList<QPushButton *> buttons = {
            get<QPushButton>("upDirMinusX"), get<QPushButton>("upDirMinusY"), get<QPushButton>("upDirMinusZ"),
            get<QPushButton>("upDirPlusX"),  get<QPushButton>("upDirPlusY"),  get<QPushButton>("upDirPlusZ")};
        auto checked = [&] {
            QStringList names;
            for (QPushButton *b : buttons)
                if (b->isChecked())
                    names << b->text();
            return names;
        };

        clickControl(get<QPushButton>("upDirPlusZ"));
        QCOMPARE(QList<double>({x->value(), y->value(), z->value()}), QList<double>({0, 0, 1}));
        QCOMPARE(checked(), QStringList({"+Z"}));

        clickControl(get<QPushButton>("upDirMinusX"));
        QCOMPARE(QList<double>({x->value(), y->value(), z->value()}), QList<double>({-1, 0, 0}));
        QCOMPARE(checked(), QStringList({"-X"}));

        // Pressing the checked button again unchecks it and leaves the vector alone.
        clickControl(get<QPushButton>("upDirMinusX"));
        QCOMPARE(x->value(), -1.0);
        QCOMPARE(checked(), QStringList());

        // Typed vectors select the axis they normalise to, and nothing else.
        x->setValue(0);
        y->setValue(0);
        z->setValue(2);
        QCOMPARE(checked(), QStringList({"+Z"}));
        x->setValue(1);
        y->setValue(1);
        z->setValue(0);
        QCOMPARE(checked(), QStringList());
        x->setValue(0);
        y->setValue(-3);
        QCOMPARE(checked(), QStringList({"-Y"}));

        // A call without a preset button as sender changes nothing.
        window->setPredefinedUpDir();
        QCOMPARE(checked(), QStringList({"-Y"}));
    }

    void jobResultsLandInTheTable()
    {
        importShots(3);
        giveDepth(*window, 1, 0.123456789f);
        QCOMPARE(cell(1, 3), QString("0.123457"));
        giveDepth(*window, 2, 1536.0f);
        QCOMPARE(cell(2, 3), QString("1536"));
        giveThumbnail(*window, 0, "/photos/thumbnails/a.jpg");
        QCOMPARE(cell(0, 1), QString("/photos/thumbnails/a.jpg"));
        giveOrder(*window, {2, 0, 1}, {4, 5, 9});
        QCOMPARE(QStringList({cell(0, 4), cell(1, 4), cell(2, 4)}), QStringList({"1", "2", "0"}));
        QCOMPARE(cell(2, 5), QString("9"));
    }

    void builderMessages()
    {
        importShots(1);
        StepResult failed;
        failed.kind = StepKind::Multiresolution;
        window->session().merge(failed);
        window->showErrorMessage("Tessel builder", "Crashed");
        QCOMPARE(get<QLabel>("tesselStatus")->text(), QString("Error!"));
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].kind, QString("information"));
        QCOMPARE(dialogs.shown[0].title, QString("Tessel builder"));
        QCOMPARE(dialogs.shown[0].text, QString("Crashed"));
        QCOMPARE(dialogs.shown[0].parent, nullptr);

        giveBuiltModel(*window, get<QLineEdit>("tesselModelName")->text());
        window->tesselReady();
        QCOMPARE(get<QLabel>("tesselStatus")->text(), QString("Ready!"));
        QCOMPARE(get<QProgressBar>("tesselComputationProgress")->value(), 100);
    }

    void readiness()
    {
        auto *generate = get<QPushButton>("generateOrvelleIndex");
        // No rows never enables generation.
        window->checkIfReadyToGenerate();
        QVERIFY(!generate->isEnabled());

        importShots(2);
        for (int row = 0; row < 2; ++row) {
            giveThumbnail(*window, row, "t.jpg");
            giveDepth(*window, row, 1.0f);
        }
        window->checkIfReadyToGenerate();
        QVERIFY(!generate->isEnabled()); // no order nor cluster values yet
        giveOrder(*window, {1, 0}, {1, 2});
        window->checkIfReadyToGenerate();
        QVERIFY(!generate->isEnabled()); // the new dataset's multiresolution model is not built

        // With the multiresolution model in use the builder must have ended well.
        giveBuiltModel(*window, get<QLineEdit>("tesselModelName")->text());
        window->checkIfReadyToGenerate();
        QVERIFY(generate->isEnabled());
        StepResult failed;
        failed.kind = StepKind::Multiresolution;
        window->session().merge(failed);
        window->checkIfReadyToGenerate();
        QVERIFY(!generate->isEnabled());
        clickControl(get<QRadioButton>("useInputModel"));
        window->checkIfReadyToGenerate();
        QVERIFY(generate->isEnabled());
    }

    // (0, 0, 0) points nowhere: the fields show it and the preview keeps its last direction.
    void zeroUpDirectionIsShown()
    {
        importShots(1);
        auto *x = get<QDoubleSpinBox>("upDirX");
        auto *y = get<QDoubleSpinBox>("upDirY");
        QVERIFY(!x->toolTip().contains("(0, 0, 0)"));
        y->setValue(0);
        QVERIFY2(x->toolTip().contains("(0, 0, 0)"), qPrintable(x->toolTip()));
        QVERIFY(!x->styleSheet().isEmpty());
        x->setValue(1);
        QVERIFY(!x->toolTip().contains("(0, 0, 0)"));
        QVERIFY(x->styleSheet().isEmpty());
    }

    void startViewWithoutShotsIsHarmless()
    {
        // Before any import there is no camera for the start shot.
        get<QDoubleSpinBox>("upDirX")->setValue(1);
        window->setStartView();
        QCOMPARE(get<QSpinBox>("startShot")->value(), 1);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
