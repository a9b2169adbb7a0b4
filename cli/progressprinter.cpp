#include "progressprinter.h"

#include <QStringList>

#include <algorithm>

namespace
{
constexpr int BarWidth = 30;
}

ProgressPrinter::ProgressPrinter(FILE *stream, bool terminal, QObject *parent)
    : QObject(parent), m_stream(stream), m_terminal(terminal)
{
}

ProgressPrinter::Job *ProgressPrinter::find(const QString &name)
{
    for (Job &job : m_jobs)
        if (job.name == name)
            return &job;
    return nullptr;
}

void ProgressPrinter::start(const QString &job)
{
    if (!find(job))
        m_jobs.append({job, -1});
    update(job, 0);
}

void ProgressPrinter::update(const QString &name, int percent)
{
    percent = std::clamp(percent, 0, 100);
    Job *job = find(name);
    if (!job || percent == job->percent)
        return;
    job->percent = percent;
    if (m_terminal) {
        draw();
    } else {
        std::fprintf(m_stream, "%s: %d%%\n", qPrintable(name), percent);
        std::fflush(m_stream);
    }
}

void ProgressPrinter::finish(const QString &name)
{
    const Job *job = find(name);
    if (!job)
        return;
    if (m_terminal && m_jobs.size() > 1) {
        // Its last state stays above the line of the others.
        redraw(bar(*job));
        interrupt();
    }
    m_jobs.removeIf([&name](const Job &other) { return other.name == name; });
    if (m_jobs.isEmpty())
        interrupt();
    else if (m_terminal)
        draw();
}

void ProgressPrinter::interrupt()
{
    if (m_lineOpen) {
        std::fputc('\n', m_stream);
        std::fflush(m_stream);
    }
    m_lineOpen = false;
    m_lineWidth = 0;
}

QString ProgressPrinter::bar(const Job &job)
{
    const int percent = std::max(job.percent, 0);
    const int filled = percent * BarWidth / 100;
    return QStringLiteral("%1 [%2%3] %4%")
        .arg(job.name, -10)
        .arg(QString(filled, QLatin1Char('#')), QString(BarWidth - filled, QLatin1Char('.')))
        .arg(percent, 3);
}

void ProgressPrinter::draw()
{
    if (m_jobs.size() == 1) {
        redraw(bar(m_jobs.first()));
        return;
    }
    QStringList parts;
    for (const Job &job : std::as_const(m_jobs))
        parts.append(QStringLiteral("%1 %2%").arg(job.name).arg(std::max(job.percent, 0), 3));
    redraw(parts.join(QLatin1String("  ")));
}

void ProgressPrinter::redraw(const QString &text)
{
    // Spaces over what a longer line before left.
    const int width = int(text.size());
    std::fprintf(m_stream, "\r%s%s", qPrintable(text),
                 std::string(std::size_t(std::max(m_lineWidth - width, 0)), ' ').c_str());
    std::fflush(m_stream);
    m_lineOpen = true;
    m_lineWidth = std::max(width, m_lineWidth);
}
