// Program entry: the application object and the one main window.

#include "displayaccess.h"
#include "mainwindow.h"
#include "translations.h"
#include "windowcommandline.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    // Without a display the toolkit would abort: one clear line and exit 1 instead.
    if (!DisplayAccess::named())
        return DisplayAccess::refuse("OrvelleIndexGenerator");
    DisplayAccess::allowFallback();
    QApplication app(argc, argv);
    if (!DisplayAccess::reached())
        return DisplayAccess::refuse("OrvelleIndexGenerator");
    QCoreApplication::setOrganizationName(QStringLiteral("ksr"));
    QCoreApplication::setApplicationName(QStringLiteral("orvelleIndexGenerator"));
    Translations::install(app);
    const WindowCommandLine commandLine = WindowCommandLine::parse(QCoreApplication::arguments());
    if (commandLine.exitNow)
        return commandLine.exitCode;

    MainWindow window;
    window.show();
    // Queued: the window is on screen before the import's questions and messages appear.
    if (!commandLine.datasetFile.isEmpty())
        QTimer::singleShot(0, &window,
                           [&window, file = commandLine.datasetFile] { window.importFile(file); });
    return app.exec();
}
