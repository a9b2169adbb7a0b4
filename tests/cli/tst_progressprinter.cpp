// The generate command's progress on a terminal with several steps at once: one redrawn line,
// nothing left over from a longer line, a finished step's bar on a line of its own.

#include "progressprinter.h"

#include <QtTest>

#include <cstdio>

class TestProgressPrinter : public QObject
{
    Q_OBJECT

private slots:
    void severalStepsOnATerminal()
    {
        char *buffer = nullptr;
        std::size_t size = 0;
        FILE *stream = open_memstream(&buffer, &size);
        QVERIFY(stream);
        {
            ProgressPrinter printer(stream, true);
            printer.start("thumbnails");
            printer.start("depths");
            printer.start("tessel");
            printer.update("thumbnails", 40);
            printer.update("depths", 75);
            printer.finish("tessel");
            printer.update("depths", 100);
            printer.finish("depths");
            printer.update("thumbnails", 100);
            printer.finish("thumbnails");
        }
        std::fclose(stream);
        const QString text = QString::fromLatin1(buffer, qsizetype(size));
        std::free(buffer);

        const QStringList lines = text.split('\n');
        QCOMPARE(lines.size(), 4); // three finished bars, then nothing
        QVERIFY(lines.last().isEmpty());
        // Each line shows, after its last return, what the terminal keeps.
        const auto shown = [](const QString &line) { return line.mid(line.lastIndexOf('\r') + 1).trimmed(); };
        QCOMPARE(shown(lines.at(0)), QString("tessel     [..............................]   0%"));
        QCOMPARE(shown(lines.at(1)), QString("depths     [##############################] 100%"));
        QCOMPARE(shown(lines.at(2)), QString("thumbnails [##############################] 100%"));
        QVERIFY2(lines.at(0).contains("\rthumbnails  40%  depths  75%  tessel   0%"), qPrintable(lines.at(0)));
        QVERIFY2(lines.at(1).contains("\rthumbnails  40%  depths  75%"), qPrintable(lines.at(1)));
        // The second step's line, shorter than the first step's bar, blanks the rest of it.
        const QString shorter = lines.at(0).section('\r', 2, 2);
        QCOMPARE(shorter.trimmed(), QString("thumbnails   0%  depths   0%"));
        QCOMPARE(shorter.size(), shown(lines.at(2)).size());
    }
};

QTEST_APPLESS_MAIN(TestProgressPrinter)
#include "tst_progressprinter.moc"
