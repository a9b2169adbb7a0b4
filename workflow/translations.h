#pragma once
// The catalogues of the user's language: the program's own (orvelle_<language>.qm) and Qt's
// (qtbase_<language>.qm, for the standard dialogs' buttons). Call once, after the application
// object exists and before any window is made. Texts written into an index never go through
// these: the index is the same in every language.

#include <QLocale>
#include <QString>
#include <QStringList>

class QCoreApplication;

namespace Translations
{
// Folders searched for the program's catalogues, in order: beside the program (the build tree),
// then the installed place relative to the program's folder.
QStringList catalogueFolders(const QString &applicationDir);

// Installs the catalogues found for `locale` into `app` (they live as its children), the program's
// own looked for from `applicationDir` (default: this program's folder). Returns the names of the
// files loaded; none for English or a language without a catalogue.
QStringList install(QCoreApplication &app, const QLocale &locale = QLocale(),
                    const QString &applicationDir = QString());
} // namespace Translations
