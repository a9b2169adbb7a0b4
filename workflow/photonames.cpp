#include "photonames.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace PhotoNames
{

bool isInside(const QString &canonicalPath, const QString &canonicalFolder)
{
    if (canonicalPath.isEmpty() || canonicalFolder.isEmpty())
        return false;
    const QString prefix =
        canonicalFolder.endsWith(QLatin1Char('/')) ? canonicalFolder : canonicalFolder + QLatin1Char('/');
    return canonicalPath.startsWith(prefix) && canonicalPath.size() > prefix.size();
}

Resolution resolveInside(const QString &folder, const QString &name, QString &path)
{
    path.clear();
    const QString root = QFileInfo(folder).canonicalFilePath();
    const QDir dir(root);
    const QString lastPart = name.section(QRegularExpression(QStringLiteral("[/\\\\]")), -1);
    bool outside = false;
    for (const QString &candidate : {name, lastPart}) {
        if (candidate.isEmpty())
            continue;
        const QString found = QFileInfo(dir.filePath(candidate)).canonicalFilePath();
        if (found.isEmpty())
            continue;
        if (isInside(found, root)) {
            path = found;
            return Resolution::Found;
        }
        outside = true;
    }
    return outside ? Resolution::Outside : Resolution::Missing;
}

} // namespace PhotoNames
