#pragma once

// Wine's registry editor, run in a prefix: the way to a registry that a
// running Wine server holds in memory.

#include <QByteArray>
#include <QString>

class Regedit
{
public:
    virtual ~Regedit() = default;

    enum class Outcome { Done, NoSuchKey, Failed };
    struct Result
    {
        Outcome outcome = Outcome::Failed;
        QByteArray bytes; // what an export wrote
        QString error; // why it failed, in the words of Wine or the system
    };

    // Imports a registry-export file (UTF-16 with its mark). The editor does
    // not tell which values it could not import: read them back to know.
    virtual Result importFile(const QByteArray &file) = 0;
    // Exports a key ("HKEY_CURRENT_USER\Software\...") and all below it.
    virtual Result exportKey(const QString &key) = 0;
};

// `wine regedit` from the search path, in `prefix`, without a shell.
class WineRegedit : public Regedit
{
public:
    explicit WineRegedit(QString prefix);

    Result importFile(const QByteArray &file) override;
    Result exportKey(const QString &key) override;

private:
    Result run(const QStringList &arguments);
    // `endedSilently`: it ended with a code other than 0 and said nothing.
    Result runOnce(const QStringList &arguments, bool &endedSilently);

    QString m_prefix;
};

// Removes the exchange files an Ordevan that was killed left in the
// prefix's temporary folder; those of a run still going are kept.
void removeStaleExchangeFiles(const QString &prefix);
