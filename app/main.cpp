// Program entry: the application object and the one main window.

#include "displayaccess.h"
#include "mainwindow.h"
#include "translations.h"
#include "windowcommandline.h"

#include <QApplication>
#include <QTimer>

namespace
{
// --help and --version answer without a display, and without the display's warnings.
bool asksOnlyForText(int argc, char *argv[])
{
    static const QStringList textOptions{"-h", "--help", "-?", "--help-all", "-v", "--version"};
    for (int i = 1; i < argc; ++i)
        if (textOptions.contains(QString::fromLocal8Bit(argv[i])))
            return true;
    return false;
}
} // namespace

int main(int argc, char *argv[])
{
    if (asksOnlyForText(argc, argv)) {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        return WindowCommandLine::parse(arguments).exitCode;
    }
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
