#include "jobmessages.h"

#include <QCoreApplication>

namespace
{
// Lists at most this many problems in a message; the rest are counted.
constexpr int listedProblems = 10;

QString tr(const char *text, int n = -1)
{
    return QCoreApplication::translate("JobMessages", text, nullptr, n);
}
} // namespace

namespace JobMessages
{

QString problemList(const QStringList &problems)
{
    QStringList shown = problems.mid(0, listedProblems);
    if (problems.size() > listedProblems)
        shown.append(tr("... and %1 more.").arg(problems.size() - listedProblems));
    return shown.join(QLatin1Char('\n'));
}

QString thumbnailFailure(int row, const QString &reason)
{
    return tr("Photograph %1: %2").arg(row + 1).arg(reason);
}

JobMessage thumbnailsNotMade(const QStringList &failures)
{
    return {tr("Thumbnails not made"),
            (failures.size() == 1 ? tr("1 thumbnail could not be made:")
                                  : tr("%1 thumbnails could not be made:").arg(failures.size())) +
                QLatin1Char('\n') + problemList(failures)};
}

JobMessage photographsNotRead(const QStringList &imagePaths)
{
    return {tr("Photographs not read"),
            (imagePaths.size() == 1 ? tr("1 photograph could not be read; its colours were not compared:")
                                    : tr("%1 photographs could not be read; their colours were not compared:")
                                          .arg(imagePaths.size())) +
                QLatin1Char('\n') + problemList(imagePaths)};
}

JobMessage photographsNotFound(const QStringList &names)
{
    return {tr("Photographs not found"),
            (names.size() == 1 ? tr("1 photograph was not found:")
                               : tr("%1 photographs were not found:").arg(names.size())) +
                QLatin1Char('\n') + problemList(names)};
}

} // namespace JobMessages
