#pragma once

// Wine's registry editor, run in a prefix: the way to a registry that a
// running Wine server holds in memory.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QProcess;

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
    // Exports each key, as exportKey() would; an editor that can runs them
    // side by side.
    virtual QList<Result> exportKeys(const QStringList &keys)
    {
        QList<Result> results;
        for (const QString &key : keys)
            results.append(exportKey(key));
        return results;
    }
};

// `wine regedit` from the search path, in `prefix`, without a shell.
class WineRegedit : public Regedit
{
public:
    explicit WineRegedit(QString prefix);

    Result importFile(const QByteArray &file) override;
    Result exportKey(const QString &key) override;
    QList<Result> exportKeys(const QStringList &keys) override;

private:
    Result run(const QStringList &arguments);
    // False when there is no wine to start.
    bool start(QProcess &regedit, const QStringList &arguments) const;
    // `notRunThrough`: it ended with a code other than 0 and said nothing, or
    // Wine said it could not start the editor.
    static Result finish(QProcess &regedit, bool &notRunThrough);
    static Result notFound();
    static Result exported(const QString &local, Result result);

    QString m_prefix;
};

// Removes the exchange files an Ordevan that was killed left in the
// prefix's temporary folder; those of a run still going are kept.
void removeStaleExchangeFiles(const QString &prefix);
