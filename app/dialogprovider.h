#pragma once
// The modal dialogs the main window opens, behind one interface so that tests can answer them.
// Every call blocks until the user answers (the real dialogs) and runs on the GUI thread.

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

class DialogProvider
{
public:
    virtual ~DialogProvider() = default;

    // Empty text when the user cancels.
    virtual QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                                    const QString &filter) = 0;
    virtual QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                    const QString &filter) = 0;
    // Empty text when the user cancels.
    virtual QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir) = 0;
    // An invalid colour when the user cancels.
    virtual QColor getColor(const QColor &initial, QWidget *parent) = 0;
    // A question whose answers are buttons of its own (and Cancel): the index of the button pressed,
    // -1 for Cancel or a closed box.
    virtual int choose(QWidget *parent, const QString &title, const QString &text,
                       const QStringList &buttons) = 0;

    virtual QMessageBox::StandardButton question(QWidget *parent, const QString &title, const QString &text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton) = 0;
    // Message boxes with one Ok button.
    virtual void warning(QWidget *parent, const QString &title, const QString &text) = 0;
    virtual void information(QWidget *parent, const QString &title, const QString &text) = 0;
};

// The toolkit's own dialogs.
class QtDialogProvider : public DialogProvider
{
public:
    QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                            const QString &filter) override;
    QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                            const QString &filter) override;
    QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir) override;
    QColor getColor(const QColor &initial, QWidget *parent) override;
    int choose(QWidget *parent, const QString &title, const QString &text,
               const QStringList &buttons) override;
    QMessageBox::StandardButton question(QWidget *parent, const QString &title, const QString &text,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::StandardButton defaultButton) override;
    void warning(QWidget *parent, const QString &title, const QString &text) override;
    void information(QWidget *parent, const QString &title, const QString &text) override;
};
