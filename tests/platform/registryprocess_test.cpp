// Saves from other processes: killed in the middle, and two at once.

#include "printers.h"
#include "regfile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Key = u"HKEY_CURRENT_USER\\Software\\Ordevan\\Writers"_s;
constexpr int Saves = 100;
constexpr int Payload = 200;

QString payload(const QString &prefix, int index)
{
    return QString(Payload, QChar(u'a' + index % 26)) + prefix + QString::number(index);
}

void startWriter(QProcess &process, const QString &path, const QString &prefix)
{
    process.start(QString::fromUtf8(REGISTRY_WRITER),
                  {path, prefix, QString::number(Saves), QString::number(Payload)});
    ASSERT_TRUE(process.waitForStarted()) << process.errorString().toStdString();
}

// How many of the writer's values are in the file; they must be a run from
// the first on, each whole.
int savedRun(const RegFile &file, const QString &prefix)
{
    int run = 0;
    while (run < Saves && file.value(Key, prefix + QString::number(run)))
        ++run;
    for (int i = 0; i < Saves; ++i) {
        const auto value = file.value(Key, prefix + QString::number(i));
        EXPECT_EQ(value.has_value(), i < run) << prefix.toStdString() << i;
        if (value) {
            EXPECT_EQ(value->text(), payload(prefix, i));
        }
    }
    return run;
}

// How many of a writer's values the file holds now (it may be mid-save).
int savedSoFar(const QString &path, const QString &prefix)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    try {
        const RegFile doc = RegFile::parse(file.readAll());
        int run = 0;
        while (run < Saves && doc.value(Key, prefix + QString::number(run)))
            ++run;
        return run;
    } catch (const RegFileError &) {
        return 0; // checked properly after the kill
    }
}

RegFile readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return RegFile();
    return RegFile::parse(file.readAll());
}

} // namespace

TEST(RegistryProcessTest, AWriterKilledAnywhereLeavesAWholeFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"registry.reg"_s);
    QRandomGenerator random(8);
    int killedMidway = 0;
    QList<int> runs;
    for (int round = 0; round < 12; ++round) {
        const QString prefix = u"R%1_"_s.arg(round);
        // Kill the writer once it has saved a random number of values:
        // between two saves or in the middle of one.
        const int killAfter = static_cast<int>(random.bounded(0, Saves - 10));
        QProcess writer;
        startWriter(writer, path, prefix);
        while (writer.state() != QProcess::NotRunning && savedSoFar(path, prefix) < killAfter)
            writer.waitForFinished(1);
        writer.kill();
        writer.waitForFinished();

        RegFile file;
        ASSERT_NO_THROW(file = readFile(path)) << "round " << round;
        runs.append(savedRun(file, prefix));
        killedMidway += runs.last() < Saves ? 1 : 0;
        // What earlier writers saved is still there.
        for (int earlier = 0; earlier < round; ++earlier)
            EXPECT_EQ(savedRun(file, u"R%1_"_s.arg(earlier)), runs[earlier]);
    }
    EXPECT_GT(killedMidway, 0) << "no writer was killed in the middle of its saves";
}

TEST(RegistryProcessTest, TwoWritersAtOnceLoseNoUpdate)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"registry.reg"_s);
    QProcess first, second;
    startWriter(first, path, u"A"_s);
    startWriter(second, path, u"B"_s);
    ASSERT_TRUE(first.waitForFinished(120000));
    ASSERT_TRUE(second.waitForFinished(120000));
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();

    const RegFile file = readFile(path);
    EXPECT_EQ(savedRun(file, u"A"_s), Saves);
    EXPECT_EQ(savedRun(file, u"B"_s), Saves);
}

TEST(RegistryProcessTest, ABatchKilledAnywhereLeavesTheOldOrTheNewWholeSave)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"registry.reg"_s);
    // Other programs' keys make the file large, so that a save takes a while.
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QString text = u"Windows Registry Editor Version 5.00\r\n"_s;
        for (int key = 0; key < 4000; ++key)
            text
                += u"\r\n[HKEY_CURRENT_USER\\Software\\Other\\Key%1]\r\n\"A\"=\"%2\"\r\n"_s.arg(key)
                       .arg(QString(200, u'o'));
        file.write(text.toUtf8());
    }
    QRandomGenerator random(13);
    constexpr int Values = 56;
    auto startWriter = [&](QProcess &writer, int rounds) {
        writer.start(QString::fromUtf8(REGISTRY_WRITER),
                     {path, u"W"_s, QString::number(Values), QString::number(Payload),
                      u"--rounds"_s, QString::number(rounds)});
        ASSERT_TRUE(writer.waitForStarted());
    };
    // How long two whole saves take here, so that the kills below fall
    // before, during and after saves however fast the machine is.
    QElapsedTimer clock;
    clock.start();
    {
        QProcess writer;
        startWriter(writer, 2);
        ASSERT_TRUE(writer.waitForFinished(60000));
        ASSERT_EQ(writer.exitCode(), 0);
    }
    const int span = static_cast<int>(clock.elapsed());
    int roundsSeen = 0;
    for (int run = 0; run < 30; ++run) {
        QProcess writer;
        startWriter(writer, 1000);
        QThread::msleep(random.bounded(1, span + 2));
        writer.kill();
        writer.waitForFinished();

        RegFile file;
        ASSERT_NO_THROW(file = readFile(path)) << "run " << run;
        // Every value of the writer comes from one and the same round.
        std::optional<QString> round;
        int present = 0;
        for (int i = 0; i < Values; ++i) {
            const auto value = file.value(Key, u"W"_s + QString::number(i));
            if (!value)
                continue;
            ++present;
            const QString text = value->text();
            if (!round)
                round = text;
            EXPECT_EQ(text, *round) << "run " << run << " value " << i;
        }
        EXPECT_TRUE(present == 0 || present == Values) << "run " << run << ": " << present;
        roundsSeen += present == Values ? 1 : 0;
        EXPECT_TRUE(file.value(u"HKEY_CURRENT_USER\\Software\\Other\\Key3999"_s, u"A"_s));
    }
    EXPECT_GT(roundsSeen, 0) << "no save ever completed";
}
