#include "progressprinter.h"

#include <algorithm>

namespace
{
constexpr int BarWidth = 30;
}

ProgressPrinter::ProgressPrinter(FILE *stream, bool terminal, QObject *parent)
    : QObject(parent), m_stream(stream), m_terminal(terminal)
{
}

void ProgressPrinter::start(const QString &job)
{
    interrupt();
    m_job = job;
    m_percent = -1;
    update(job, 0);
}

void ProgressPrinter::update(const QString &job, int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (job != m_job || percent == m_percent)
        return;
    m_percent = percent;
    if (m_terminal) {
        draw();
    } else {
        std::fprintf(m_stream, "%s: %d%%\n", qPrintable(m_job), m_percent);
        std::fflush(m_stream);
    }
}

void ProgressPrinter::finish(const QString &job)
{
    if (job == m_job)
        interrupt();
    m_job.clear();
}

void ProgressPrinter::interrupt()
{
    if (m_barOpen) {
        std::fputc('\n', m_stream);
        std::fflush(m_stream);
    }
    m_barOpen = false;
}

void ProgressPrinter::draw()
{
    const int filled = m_percent * BarWidth / 100;
    const std::string bar =
        std::string(std::size_t(filled), '#') + std::string(std::size_t(BarWidth - filled), '.');
    std::fprintf(m_stream, "\r%-10s [%s] %3d%%", qPrintable(m_job), bar.c_str(), m_percent);
    std::fflush(m_stream);
    m_barOpen = true;
}
