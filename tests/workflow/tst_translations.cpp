// The catalogues as the programs load them: each library's texts are found under the context its
// code looks them up in (a text lupdate files elsewhere stays English).
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

private slots:
    void engineTextsFollowTheLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("expected");
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
        // Ours from the build tree, Qt's own from the system (qt6-translations-l10n).
        QCOMPARE(loaded.value(0),
                 QStringLiteral(ORVELLE_BIN_DIR "/translations/orvelle_%1.qm").arg(language));
        QCOMPARE(loaded.size(), 2);
        QTemporaryDir dir;
        QFile nvm(dir.filePath(QStringLiteral("bad.nvm")));
        QVERIFY(nvm.open(QIODevice::WriteOnly) && nvm.write("not a model\n") > 0);
        nvm.close();
        const QStringList shown = {
            upDirectionProblem(0, 0, 0).value_or(Problem()).title, DatasetImport::noModelTitle(),
            DatasetStates::fromImport(QStringLiteral("a.txt"), ImportedDataset(), QString()).refusal.title,
            NvmFile::read(nvm.fileName()).error.section(QStringLiteral(": "), -1)};
        for (QTranslator *translator : QCoreApplication::instance()->findChildren<QTranslator *>())
            delete translator;
        QCOMPARE(shown, expected);
    }
};

QTEST_GUILESS_MAIN(TstTranslations)
#include "tst_translations.moc"
