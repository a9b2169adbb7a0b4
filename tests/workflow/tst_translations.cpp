// The catalogues as the programs load them: every library's texts are found under the context the
// code looks them up in (a text filed elsewhere by lupdate stays English), in French and Italian.
#include "datasetimport.h"
#include "datasetstate.h"
#include "indexvalues.h"
#include "nvmfile.h"
#include "translations.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

class TstTranslations : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // One text from each library or file whose texts go through a context of its own.
    static QStringList engineTexts(const QString &folder)
    {
        QFile nvm(folder + QStringLiteral("/bad.nvm"));
        if (nvm.open(QIODevice::WriteOnly))
            nvm.write("not a model\n");
        nvm.close();
        return {
            upDirectionProblem(0, 0, 0).value_or(Problem()).title, DatasetImport::noModelTitle(),
            DatasetStates::fromImport(QStringLiteral("a.txt"), ImportedDataset(), QString()).refusal.title,
            NvmFile::read(nvm.fileName()).error.section(QStringLiteral(": "), -1)};
    }

    void removeTranslators()
    {
        for (QTranslator *translator : QCoreApplication::instance()->findChildren<QTranslator *>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }

private slots:
    void cleanup() { removeTranslators(); }

    void catalogueFolders()
    {
        QCOMPARE(Translations::catalogueFolders(QStringLiteral("/opt/x/bin")),
                 (QStringList{QStringLiteral("/opt/x/bin/translations"),
                              QStringLiteral("/opt/x/share/orvelle-index-generator/translations")}));
    }

    void engineTextsFollowTheLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("English: no catalogue")
            << "en"
            << QStringList{"Up direction", "Imported dataset error!", "Wrong file format",
                           "the file does not start with NVM_V3"};
        QTest::newRow("French") << "fr"
                                << QStringList{"Direction du haut", "Erreur dans le jeu de données importé !",
                                               "Format de fichier incorrect",
                                               "le fichier ne commence pas par NVM_V3"};
        QTest::newRow("Italian") << "it"
                                 << QStringList{"Direzione verso l'alto",
                                                "Errore nell'insieme di dati importato!",
                                                "Formato di file errato", "il file non inizia con NVM_V3"};
    }
    void engineTextsFollowTheLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, expected);
        const QStringList loaded = Translations::install(*QCoreApplication::instance(), QLocale(language),
                                                         QStringLiteral(ORVELLE_BIN_DIR));
        if (language == QLatin1String("en")) {
            QVERIFY2(loaded.filter(QStringLiteral("orvelle")).isEmpty(), qPrintable(loaded.join(", ")));
        } else {
            // Ours from the build tree, Qt's own from the system (qt6-translations-l10n).
            QCOMPARE(loaded.size(), 2);
            QCOMPARE(loaded.first(),
                     QStringLiteral(ORVELLE_BIN_DIR "/translations/orvelle_%1.qm").arg(language));
        }
        QCOMPARE(engineTexts(m_dir.path()), expected);
    }
};

QTEST_GUILESS_MAIN(TstTranslations)
#include "tst_translations.moc"
