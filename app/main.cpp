// Program entry: the application object and the one main window.

#include "mainwindow.h"
#include "translations.h"
#include "windowcommandline.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
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
