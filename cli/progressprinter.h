#pragma once
// Progress of the generation steps on standard error. On a terminal one line is redrawn: a bar
// while a single step runs, each running step's percentage side by side while several do; a step
// that ends leaves its bar on a line of its own. When the stream goes to a file or a pipe, plain
// "step: N%" lines, one per change.

#include <QObject>
#include <QString>
#include <QVector>

#include <cstdio>

class ProgressPrinter : public QObject
{
    Q_OBJECT
public:
    ProgressPrinter(FILE *stream, bool terminal, QObject *parent = nullptr);

public slots:
    void start(const QString &job);
    void update(const QString &job, int percent);
    void finish(const QString &job);
    // Ends the line being drawn, so that a message can be printed on a line of its own.
    void interrupt();

private:
    struct Job {
        QString name;
        int percent = -1;
    };
    Job *find(const QString &name);
    // Writes text over the line being drawn.
    void redraw(const QString &text);
    void draw();
    static QString bar(const Job &job);

    FILE *m_stream;
    bool m_terminal;
    QVector<Job> m_jobs; // running, in the order they started
    bool m_lineOpen = false;
    int m_lineWidth = 0; // characters drawn on the open line
};
