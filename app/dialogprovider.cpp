#include "dialogprovider.h"

#include <QColorDialog>
#include <QFileDialog>

QString QtDialogProvider::getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                                          const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString QtDialogProvider::getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                          const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

QColor QtDialogProvider::getColor(const QColor &initial, QWidget *parent)
{
    return QColorDialog::getColor(initial, parent);
}

QMessageBox::StandardButton QtDialogProvider::question(QWidget *parent, const QString &title,
                                                       const QString &text,
                                                       QMessageBox::StandardButtons buttons,
                                                       QMessageBox::StandardButton defaultButton)
{
    return QMessageBox::question(parent, title, text, buttons, defaultButton);
}

void QtDialogProvider::warning(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::warning(parent, title, text, QMessageBox::Ok);
}

void QtDialogProvider::information(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}
