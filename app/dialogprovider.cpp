#include "dialogprovider.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QPushButton>

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

QString QtDialogProvider::getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir)
{
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}

int QtDialogProvider::choose(QWidget *parent, const QString &title, const QString &text,
                             const QStringList &buttons)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Cancel, parent);
    QList<QAbstractButton *> answers;
    for (const QString &label : buttons)
        answers.append(box.addButton(label, QMessageBox::AcceptRole));
    if (!answers.isEmpty())
        box.setDefaultButton(qobject_cast<QPushButton *>(answers.first()));
    box.exec();
    return int(answers.indexOf(box.clickedButton()));
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
