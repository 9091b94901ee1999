#include "backupcheck.h"

#include "invariant.h"
#include "registrybackups.h"

#include <QTimeZone>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr Invariants require{"backup"};

} // namespace

void checkBackupInput(const QByteArray &bytes)
{
    // Inputs name the store "S", as the seeds do.
    const QString store = u"S"_s;
    const QString under = QString::fromUtf16(CopyProgramKey);
    qint64 sequence = -1;
    const auto values = parseBackup(bytes, store, under, &sequence);
    if (!values)
        return;
    require(sequence >= 0, "a negative sequence number");
    for (const BackupValue &value : *values) {
        require(value.root == RootKey::CurrentUser, "a value outside HKEY_CURRENT_USER");
        require(value.key.startsWith(under, Qt::CaseInsensitive), "a value outside the key");
    }
    // What is read is written as a backup, which reads back as it was
    // written from then on. The first trip may merge what a damaged file
    // spelt two ways (keys that differ only in case, say).
    const QDateTime when = QDateTime::fromSecsSinceEpoch(0, QTimeZone::utc());
    const auto written = backupFile(*values, store, when, sequence);
    require(written.has_value(), "a value read cannot be written");
    qint64 sequenceAgain = -1;
    const auto again = parseBackup(*written, store, under, &sequenceAgain);
    require(sequenceAgain == sequence, "the sequence number changed on the way");
    require(again.has_value(), "a backup written cannot be read");
    require(again->size() <= values->size(), "values were added on the way");
    const auto rewritten = backupFile(*again, store, when, sequence);
    require(rewritten == written || parseBackup(*rewritten, store, under) == again,
            "values changed on the way");
    require(!parseBackup(*written, u"T"_s, under), "another store's backup was read");
}
