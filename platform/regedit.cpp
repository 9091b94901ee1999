#include "regedit.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int Timeout = 60'000;

// A file for the editor, on the prefix's own C: drive, which every prefix
// has: its name here and its name for Wine. Removed when it ends.
struct ExchangeFile
{
    explicit ExchangeFile(const QString &prefix)
    {
        const QString name = u"ordevan-%1.reg"_s.arg(QRandomGenerator::global()->generate(), 0, 36);
        local = prefix + u"/drive_c/windows/temp/"_s + name;
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

// The editor itself always ends with code 0, whatever it could not do; any
// other end without a word means Wine did not run it through (seen, rarely,
// in the tests). Running an import or an export twice is harmless, so such
// a run is tried once more.
Regedit::Result WineRegedit::run(const QStringList &arguments)
{
    bool endedSilently = false;
    Result result = runOnce(arguments, endedSilently);
    if (endedSilently)
        result = runOnce(arguments, endedSilently);
    return result;
}

Regedit::Result WineRegedit::runOnce(const QStringList &arguments, bool &endedSilently)
{
    const QString wine = QStandardPaths::findExecutable(u"wine"_s);
    if (wine.isEmpty())
        return {Outcome::Failed, {}, u"wine is not on the search path"_s};
    QProcess regedit;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"WINEPREFIX"_s, m_prefix);
    environment.insert(u"WINEDEBUG"_s, u"-all"_s);
    regedit.setProcessEnvironment(environment);
    regedit.setProcessChannelMode(QProcess::MergedChannels);
    regedit.start(wine, QStringList{u"regedit"_s} + arguments);
    if (!regedit.waitForFinished(Timeout)) {
        regedit.kill();
        regedit.waitForFinished();
        return {Outcome::Failed, {}, u"wine regedit did not end"_s};
    }
    const QString output = QString::fromLocal8Bit(regedit.readAll()).trimmed();
    if (regedit.exitStatus() == QProcess::CrashExit)
        return {Outcome::Failed, {}, output.isEmpty() ? regedit.errorString() : output};
    if (regedit.exitCode() != 0) {
        endedSilently = output.isEmpty();
        return {Outcome::Failed,
                {},
                endedSilently ? u"wine regedit ended with code %1"_s.arg(regedit.exitCode())
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
    const ExchangeFile exchange(m_prefix);
    Result result = run({u"/E"_s, exchange.windows, key});
    if (result.outcome != Outcome::Done)
        return result;
    QFile exported(exchange.local);
    if (!exported.open(QIODevice::ReadOnly)) {
        // The editor ends well and writes nothing for a key that is not there.
        result.outcome = Outcome::NoSuchKey;
        return result;
    }
    result.bytes = exported.readAll();
    return result;
}
