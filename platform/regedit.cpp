#include "regedit.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <memory>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int Timeout = 60'000;
// What the editor says, in the C locale, of a key that is not there.
constexpr char16_t NoSuchKeyWords[] = u"Unable to open the registry key";
// What Wine says when it could not start the editor at all.
constexpr char16_t NotStartedWords[] = u"ShellExecuteEx failed";
// Exchange files older than this are left by an Ordevan that was killed:
// a run that is still going has a minute at most.
constexpr qint64 StaleAfterSeconds = 600;

QString exchangeFolder(const QString &prefix)
{
    return prefix + u"/drive_c/windows/temp"_s;
}

// A file for the editor, on the prefix's own C: drive, which every prefix
// has: its name here and its name for Wine. Removed when it ends.
struct ExchangeFile
{
    explicit ExchangeFile(const QString &prefix)
    {
        const QString name = u"ordevan-%1.reg"_s.arg(QRandomGenerator::global()->generate(), 0, 36);
        local = exchangeFolder(prefix) + u'/' + name;
        windows = u"C:\\windows\\temp\\"_s + name;
        QDir().mkpath(QFileInfo(local).absolutePath());
    }
    ~ExchangeFile() { QFile::remove(local); }

    QString local;
    QString windows;
};

} // namespace

WineRegedit::WineRegedit(QString prefix)
    : m_prefix(std::move(prefix))
{ }

void removeStaleExchangeFiles(const QString &prefix)
{
    const QDir folder(exchangeFolder(prefix));
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-StaleAfterSeconds);
    for (const QFileInfo &file : folder.entryInfoList({u"ordevan-*.reg"_s}, QDir::Files)) {
        if (file.lastModified() < stale)
            QFile::remove(file.filePath());
    }
}

// The editor itself always ends with code 0, whatever it could not do. Any
// other end without a word, or with Wine saying it could not start the
// editor, means Wine did not run it through (both seen, rarely, in the
// tests). Running an import or an export twice is harmless, so such a run
// is tried once more.
Regedit::Result WineRegedit::run(const QStringList &arguments)
{
    QProcess regedit;
    bool notRunThrough = false;
    Result result = start(regedit, arguments) ? finish(regedit, notRunThrough) : notFound();
    if (notRunThrough)
        result = start(regedit, arguments) ? finish(regedit, notRunThrough) : notFound();
    return result;
}

Regedit::Result WineRegedit::notFound()
{
    return {Outcome::Failed, {}, u"wine is not on the search path"_s};
}

bool WineRegedit::start(QProcess &regedit, const QStringList &arguments) const
{
    const QString wine = QStandardPaths::findExecutable(u"wine"_s);
    if (wine.isEmpty())
        return false;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"WINEPREFIX"_s, m_prefix);
    environment.insert(u"WINEDEBUG"_s, u"-all"_s);
    // Its words in English, which tell a missing key from a failure.
    environment.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
    regedit.setProcessEnvironment(environment);
    regedit.setProcessChannelMode(QProcess::MergedChannels);
    regedit.start(wine, QStringList{u"regedit"_s} + arguments);
    return true;
}

Regedit::Result WineRegedit::finish(QProcess &regedit, bool &notRunThrough)
{
    notRunThrough = false;
    if (!regedit.waitForFinished(Timeout)) {
        regedit.kill();
        regedit.waitForFinished();
        return {Outcome::Failed, {}, u"wine regedit did not end"_s};
    }
    const QString output = QString::fromLocal8Bit(regedit.readAll()).trimmed();
    if (regedit.exitStatus() == QProcess::CrashExit)
        return {Outcome::Failed, {}, output.isEmpty() ? regedit.errorString() : output};
    if (regedit.exitCode() != 0) {
        notRunThrough = output.isEmpty() || output.contains(QStringView(NotStartedWords));
        return {Outcome::Failed,
                {},
                output.isEmpty() ? u"wine regedit ended with code %1"_s.arg(regedit.exitCode())
                                 : output};
    }
    return {Outcome::Done, {}, output};
}

Regedit::Result WineRegedit::importFile(const QByteArray &file)
{
    const ExchangeFile exchange(m_prefix);
    QFile out(exchange.local);
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size() || !out.flush())
        return {Outcome::Failed, {}, out.errorString()};
    out.close();
    return run({u"/S"_s, exchange.windows});
}

Regedit::Result WineRegedit::exportKey(const QString &key)
{
    return exportKeys({key}).constFirst();
}

// Each run of Wine costs a tenth of a second or more, most of it Wine's own
// start: the exports asked together run side by side.
QList<Regedit::Result> WineRegedit::exportKeys(const QStringList &keys)
{
    std::vector<std::unique_ptr<ExchangeFile>> files;
    std::vector<std::unique_ptr<QProcess>> runs;
    const auto arguments = [&](qsizetype i) {
        return QStringList{u"/E"_s, files[i]->windows, keys[i]};
    };
    for (qsizetype i = 0; i < keys.size(); ++i) {
        files.push_back(std::make_unique<ExchangeFile>(m_prefix));
        runs.push_back(std::make_unique<QProcess>());
        if (!start(*runs.back(), arguments(i)))
            return QList<Result>(keys.size(), notFound());
    }
    QList<Result> results;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        bool notRunThrough = false;
        Result result = finish(*runs[i], notRunThrough);
        if (notRunThrough)
            result = run(arguments(i));
        results.append(result.outcome == Outcome::Done ? exported(files[i]->local, result)
                                                       : result);
    }
    return results;
}

// What an export that ended well wrote.
Regedit::Result WineRegedit::exported(const QString &local, Result result)
{
    QFile file(local);
    if (!file.open(QIODevice::ReadOnly)) {
        // The editor ends well and writes nothing for a key that is not
        // there, and says so; ended well without a word or a file, it was
        // cut short (a Wine server stopped under it).
        if (result.error.contains(QStringView(NoSuchKeyWords)))
            return {Outcome::NoSuchKey, {}, result.error};
        return {Outcome::Failed,
                {},
                result.error.isEmpty() ? u"wine regedit wrote no export; did the Wine server "
                                         u"stop?"_s
                                       : result.error};
    }
    result.bytes = file.readAll();
    return result;
}
