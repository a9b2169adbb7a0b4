#pragma once
// Something the user must hear about, worded once: the window shows it in a message box, the
// command-line tool prints it. Readers, steps and the engine return these by value.

#include <QString>
#include <QVector>

struct Problem {
    QString title;
    QString text;

    bool operator==(const Problem &other) const { return title == other.title && text == other.text; }
};

using Problems = QVector<Problem>;
