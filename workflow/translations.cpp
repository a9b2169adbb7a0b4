#include "translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace Translations
{

QStringList catalogueFolders(const QString &applicationDir)
{
    return {
        applicationDir + QStringLiteral("/translations"),
        QDir::cleanPath(applicationDir + QLatin1Char('/') + QStringLiteral(ORVELLE_INSTALLED_TRANSLATIONS))};
}

QStringList install(QCoreApplication &app, const QLocale &locale, const QString &applicationDir)
{
    struct Catalogue {
        QString name;
        QStringList folders;
    };
    const Catalogue catalogues[] = {
        {QStringLiteral("orvelle"),
         catalogueFolders(applicationDir.isEmpty() ? QCoreApplication::applicationDirPath()
                                                   : applicationDir)},
        {QStringLiteral("qtbase"), {QLibraryInfo::path(QLibraryInfo::TranslationsPath)}},
    };
    QStringList loaded;
    for (const Catalogue &catalogue : catalogues) {
        for (const QString &folder : catalogue.folders) {
            auto *translator = new QTranslator(&app);
            if (translator->load(locale, catalogue.name, QStringLiteral("_"), folder)) {
                app.installTranslator(translator);
                loaded << translator->filePath();
                break;
            }
            delete translator;
        }
    }
    return loaded;
}

} // namespace Translations
