// Program entry: the application object and the one main window.

#include "displayaccess.h"
#include "mainwindow.h"

#include <QApplication>

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

    MainWindow window;
    window.show();
    return app.exec();
}
