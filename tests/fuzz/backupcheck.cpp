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
    const auto values = parseBackup(bytes, store, under);
    if (!values)
        return;
    const QDateTime when = QDateTime::fromSecsSinceEpoch(0, QTimeZone::utc());
    const auto written = backupFile(*values, store, when);
    require(written.has_value(), "a value read cannot be written");
    const auto again = parseBackup(*written, store, under);
    require(again.has_value(), "a backup written cannot be read");
    require(*again == *values, "values changed on the way");
    require(!parseBackup(*written, u"T"_s, under), "another store's backup was read");
}
