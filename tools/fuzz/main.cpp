// orvelle-fuzz: feeds mutated files to one of our readers for a while. A crash (or a sanitizer
// report, in a sanitizer build) ends the process and leaves the input as <reader>-current.<ext> in
// the failures folder (for formats of several files, the model folder <reader>-current/ holding it);
// an input that takes longer than the time limit is saved there as a hang and the program exits 1.
// Inputs that once failed are kept in the regressions folder and replayed first.
// Exit codes: 0 no failure, 1 a hang, 2 bad command line.

#include "importproperties.h"
#include "mutator.h"
#include "readertargets.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <random>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

// Present in sanitizer builds only: their reports must still be seen when standard error is silenced.
extern "C" void __sanitizer_set_report_fd(void *fd) __attribute__((weak));

namespace
{

struct Seed {
    QByteArray bytes;
    // The file-name ending the input is written with: its suffix, or the model file it stands for.
    QString ending;
};

// The ending a file is taken with by the target, empty when the target takes no such file.
QString endingOf(const ReaderTarget &target, const QString &fileName)
{
    if (target.modelFiles.isEmpty())
        return target.suffixes.contains(QFileInfo(fileName).suffix().toLower())
                   ? QFileInfo(fileName).suffix().toLower()
                   : QString();
    for (const QString &modelFile : target.modelFiles)
        if (fileName == modelFile || fileName.endsWith(QLatin1Char('.') + modelFile))
            return modelFile;
    return QString();
}

QList<Seed> loadSeeds(const QString &folder, const ReaderTarget &target)
{
    QList<Seed> seeds;
    if (folder.isEmpty())
        return seeds;
    const QString own = target.modelFiles.isEmpty() ? folder : folder + QLatin1Char('/') + target.name;
    for (const QFileInfo &info : QDir(own).entryInfoList(QDir::Files, QDir::Name)) {
        const QString ending = endingOf(target, info.fileName());
        if (ending.isEmpty())
            continue;
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly))
            seeds.append({file.readAll(), ending});
    }
    return seeds;
}

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

// Our own messages; standard error itself is silenced while the readers run (the EXIF reader prints
// a line per damaged header).
FILE *report = stderr;

void silenceStandardError()
{
    const int kept = ::dup(STDERR_FILENO);
    const int null = ::open("/dev/null", O_WRONLY);
    if (kept < 0 || null < 0)
        return;
    report = ::fdopen(kept, "w");
    if (__sanitizer_set_report_fd)
        __sanitizer_set_report_fd(reinterpret_cast<void *>(static_cast<intptr_t>(kept)));
    ::dup2(null, STDERR_FILENO);
    ::close(null);
}

} // namespace

void propertyViolated(const QString &what)
{
    std::fprintf(report, "orvelle-fuzz: %s\n", qPrintable(what));
    std::fflush(report);
    std::abort();
}

namespace
{

bool writeInput(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Ends the process when one input runs too long, keeping that input.
class Watchdog
{
public:
    Watchdog(qint64 limitMs, QString failures, QString reader)
        : m_limitMs(limitMs), m_failures(std::move(failures)), m_reader(std::move(reader)),
          m_thread([this] { watch(); })
    {
    }
    // Ends the watching thread: the leak check at exit stops every thread left running, and its
    // tracer was once seen to crash doing so.
    ~Watchdog()
    {
        m_stopping.store(true);
        m_thread.join();
    }
    // input: the file being read; ending: the end of the name it is saved under.
    void started(const QString &input, const QString &ending)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_current = input;
            m_ending = ending;
        }
        m_startedAt.store(QDateTime::currentMSecsSinceEpoch());
    }
    // Returns only when the watchdog has not taken the input as a hang; otherwise waits for the
    // watchdog to save it and end the process.
    void finished()
    {
        if (m_startedAt.exchange(0) != Hung)
            return;
        while (true)
            std::this_thread::sleep_for(std::chrono::seconds(1));
    }

private:
    void watch()
    {
        while (!m_stopping.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            qint64 started = m_startedAt.load();
            if (started <= 0 || QDateTime::currentMSecsSinceEpoch() - started <= m_limitMs)
                continue;
            // Claimed here, so that the reader ending now cannot end the process first.
            if (!m_startedAt.compare_exchange_strong(started, Hung))
                continue;
            QString current, ending;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                current = m_current;
                ending = m_ending;
            }
            QFile input(current);
            QByteArray bytes;
            if (input.open(QIODevice::ReadOnly))
                bytes = input.readAll();
            const QString saved =
                QStringLiteral("%1/%2-hang-%3.%4")
                    .arg(m_failures, m_reader,
                         QString::fromLatin1(
                             QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().left(12)),
                         ending);
            if (writeInput(saved, bytes))
                QFile::remove(current);
            std::fprintf(report, "orvelle-fuzz: an input took over %lld ms: saved as %s\n",
                         static_cast<long long>(m_limitMs), qPrintable(saved));
            std::fflush(report);
            ::_exit(1);
        }
    }

    static constexpr qint64 Hung = -1;
    const qint64 m_limitMs;
    const QString m_failures, m_reader;
    std::mutex m_mutex;
    QString m_current, m_ending;
    std::atomic<qint64> m_startedAt{0};
    std::atomic<bool> m_stopping{false};
    std::thread m_thread; // last: it starts once the rest is made
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    QString readers;
    for (const ReaderTarget &target : readerTargets())
        readers += QStringLiteral("  %1: %2\n").arg(QLatin1String(target.name), -8).arg(target.summary);
    parser.setApplicationDescription(QStringLiteral("Feeds mutated files to one reader.\nReaders:\n") +
                                     readers);
    parser.addHelpOption();
    parser.addPositionalArgument("reader", "The reader to drive.");
    parser.addPositionalArgument("files", "Only replay these files, no mutation.", "[FILE...]");
    const QCommandLineOption seedsOption("seeds", "Folder of seed inputs.", "folder");
    const QCommandLineOption regressionsOption("regressions", "Folder of inputs that once failed.", "folder");
    const QCommandLineOption failuresOption("failures", "Where failing inputs are saved (default: .).",
                                            "folder", ".");
    const QCommandLineOption secondsOption("seconds", "How long to mutate (default 10).", "seconds", "10");
    const QCommandLineOption limitOption("time-limit", "Longest time one input may take (default 5000).",
                                         "ms", "5000");
    const QCommandLineOption randomOption("random-seed", "Seed of the mutations (default: the time).", "n");
    parser.addOptions(
        {seedsOption, regressionsOption, failuresOption, secondsOption, limitOption, randomOption});
    parser.process(app);

    const QStringList positional = parser.positionalArguments();
    const ReaderTarget *target = positional.isEmpty() ? nullptr : readerTarget(positional.first());
    if (!target) {
        std::fputs(qPrintable(parser.helpText()), stderr);
        return 2;
    }
    bool ok = false;
    const int seconds = parser.value(secondsOption).toInt(&ok);
    const qint64 limitMs = ok ? parser.value(limitOption).toLongLong(&ok) : 0;
    const quint64 randomSeed = parser.isSet(randomOption) ? parser.value(randomOption).toULongLong(&ok)
                                                          : quint64(QDateTime::currentMSecsSinceEpoch());
    if (!ok || seconds < 0 || limitMs <= 0) {
        std::fputs("orvelle-fuzz: --seconds, --time-limit and --random-seed take whole numbers\n", stderr);
        return 2;
    }
    const QString failures = QFileInfo(parser.value(failuresOption)).absoluteFilePath();
    QDir().mkpath(failures);

    QList<Seed> seeds = loadSeeds(parser.value(seedsOption), *target);
    const QList<Seed> regressions = loadSeeds(parser.value(regressionsOption), *target);
    QList<Seed> replays = regressions;
    for (const QString &file : positional.mid(1)) {
        QFile input(file);
        if (!input.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "orvelle-fuzz: cannot read %s\n", qPrintable(file));
            return 2;
        }
        const QString ending = endingOf(*target, QFileInfo(file).fileName());
        if (ending.isEmpty()) {
            std::fprintf(stderr, "orvelle-fuzz: the %s reader takes no file named like %s\n", target->name,
                         qPrintable(file));
            return 2;
        }
        replays.append({input.readAll(), ending});
    }
    if (seeds.isEmpty() && replays.isEmpty()) {
        std::fprintf(stderr, "orvelle-fuzz: no seed for the %s reader\n", target->name);
        return 2;
    }
    // The model every input of a several-file format is completed with: the seeds themselves.
    QHash<QString, QByteArray> model;
    for (const QString &modelFile : target->modelFiles) {
        QFile file(QStringLiteral("%1/%2/%3")
                       .arg(parser.value(seedsOption), QLatin1String(target->name), modelFile));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "orvelle-fuzz: the %s reader needs the seed %s\n", target->name,
                         qPrintable(file.fileName()));
            return 2;
        }
        model.insert(modelFile, file.readAll());
    }
    seeds += regressions;

    // The reader's warnings about broken files would only slow the run down.
    qInstallMessageHandler(quiet);
    silenceStandardError();
    const QString currentStem = QStringLiteral("%1/%2-current").arg(failures, QLatin1String(target->name));
    if (!target->modelFiles.isEmpty())
        QDir().mkpath(currentStem);
    auto watchdog = std::make_unique<Watchdog>(limitMs, failures, QLatin1String(target->name));
    auto write = [&](const QString &path, const QByteArray &bytes) {
        if (!writeInput(path, bytes)) {
            std::fprintf(report, "orvelle-fuzz: cannot write %s\n", qPrintable(path));
            ::_exit(2);
        }
    };
    auto runOne = [&](const Seed &seed, const QByteArray &bytes) {
        if (target->modelFiles.isEmpty()) {
            const QString current = currentStem + QLatin1Char('.') + seed.ending;
            write(current, bytes);
            watchdog->started(current, seed.ending);
            target->read(current);
        } else {
            for (const QString &modelFile : target->modelFiles)
                write(currentStem + QLatin1Char('/') + modelFile,
                      modelFile == seed.ending ? bytes : model[modelFile]);
            watchdog->started(currentStem + QLatin1Char('/') + seed.ending, seed.ending);
            target->read(currentStem);
        }
        watchdog->finished();
    };
    qint64 runs = 0;
    for (const Seed &replay : std::as_const(replays)) {
        runOne(replay, replay.bytes);
        ++runs;
    }
    if (positional.size() == 1 && !seeds.isEmpty()) {
        QList<QByteArray> seedBytes;
        for (const Seed &seed : std::as_const(seeds))
            seedBytes.append(seed.bytes);
        Mutator mutator(randomSeed);
        std::mt19937_64 pick(randomSeed ^ 0x9e3779b97f4a7c15ull);
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < qint64(seconds) * 1000) {
            const Seed &seed = seeds[int(pick() % quint64(seeds.size()))];
            runOne(seed, mutator.mutate(seed.bytes, seedBytes));
            ++runs;
        }
    }
    for (const QString &suffix : target->suffixes)
        QFile::remove(currentStem + QLatin1Char('.') + suffix);
    if (!target->modelFiles.isEmpty())
        QDir(currentStem).removeRecursively();
    watchdog.reset();
    std::printf("orvelle-fuzz %s: %lld inputs, random seed %llu, no failure\n", target->name,
                static_cast<long long>(runs), static_cast<unsigned long long>(randomSeed));
    return 0;
}
