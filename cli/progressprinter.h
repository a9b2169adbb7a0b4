#pragma once
// Progress of the generation steps on standard error: a redrawn bar per step on a terminal,
// plain "step: N%" lines (one per change) when the stream goes to a file or a pipe.

#include <QObject>
#include <QString>

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
    // Ends a bar being drawn, so that a message can be printed on a line of its own.
    void interrupt();

private:
    void draw();

    FILE *m_stream;
    bool m_terminal;
    QString m_job;
    int m_percent = -1;
    bool m_barOpen = false;
};
