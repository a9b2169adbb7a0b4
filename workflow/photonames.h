#pragma once
// Photograph names from a reconstruction resolved inside its images folder, and nowhere else: a
// name that climbs out of the folder ("../../elsewhere/a.jpg"), an absolute name or a link that
// leads outside is refused, so that nothing is read or written (thumbnails beside the photograph)
// outside the dataset's folders.

#include <QString>

namespace PhotoNames
{

// Whether the canonical path lies inside the canonical folder, at any depth.
bool isInside(const QString &canonicalPath, const QString &canonicalFolder);

enum class Resolution { Found, Missing, Outside };

// The canonical path of the photograph called name inside folder: the name as written, else its
// last part (names written on another machine carry its folders). Outside, with an empty path,
// when the file the name (or its last part) leads to lies outside the folder.
Resolution resolveInside(const QString &folder, const QString &name, QString &path);

} // namespace PhotoNames
