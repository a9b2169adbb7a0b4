#pragma once
// Something the user must hear about, worded once: the window shows it in a message box, the
// command-line tool prints it. Readers, steps and the engine return these by value.

#include <QString>
#include <QVector>

struct Problem {
    QString title;
    QString text;
};

using Problems = QVector<Problem>;
