// Program entry: the application object and the one main window.

#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("ksr"));
    QCoreApplication::setApplicationName(QStringLiteral("orvelleIndexGenerator"));

    MainWindow window;
    window.show();
    return app.exec();
}
