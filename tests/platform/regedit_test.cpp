// How the registry editor is run: against a `wine` of the test's own on the
// search path, which logs its calls and ends as each test tells it to.

#include "regedit.h"
#include "testfiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// FAKE_WINE_ENDS: the exit code of each call in turn ("3 0": 3, then 0; the
// last one stays). FAKE_WINE_SAYS: what every call prints. FAKE_WINE_EXPORT:
// a file an export copies to where it was asked to write.
const char FakeWine[] = R"(#!/bin/sh
printf '%s\n' "$*" >> "$FAKE_WINE_LOG"
calls=$(wc -l < "$FAKE_WINE_LOG")
code=0
i=0
for c in $FAKE_WINE_ENDS; do i=$((i + 1)); code=$c; [ "$i" -ge "$calls" ] && break; done
[ -n "$FAKE_WINE_SAYS" ] && echo "$FAKE_WINE_SAYS"
if [ "$2" = "/E" ] && [ "$code" = 0 ] && [ -n "$FAKE_WINE_EXPORT" ]; then
    cp "$FAKE_WINE_EXPORT" "$WINEPREFIX/drive_c/windows/temp/${3##*\\}"
fi
exit "$code"
)";

class WineRegeditTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        const QString bin = m_dir.filePath(u"bin"_s);
        ASSERT_TRUE(QDir().mkpath(bin));
        writeAll(bin + u"/wine"_s, FakeWine);
        QFile(bin + u"/wine"_s).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        m_path = qgetenv("PATH");
        qputenv("PATH", bin.toLocal8Bit() + ':' + m_path);
        qputenv("FAKE_WINE_LOG", m_dir.filePath(u"calls"_s).toLocal8Bit());
        prefix = m_dir.filePath(u"prefix"_s);
    }
    void TearDown() override
    {
        qputenv("PATH", m_path);
        for (const char *name :
             {"FAKE_WINE_LOG", "FAKE_WINE_ENDS", "FAKE_WINE_SAYS", "FAKE_WINE_EXPORT"})
            qunsetenv(name);
    }

    QStringList calls() const
    {
        return QString::fromLocal8Bit(readAll(m_dir.filePath(u"calls"_s)))
            .split(u'\n', Qt::SkipEmptyParts);
    }
    QString file(const QString &name) const { return m_dir.filePath(name); }

    QString prefix;

private:
    QTemporaryDir m_dir;
    QByteArray m_path;
};

TEST_F(WineRegeditTest, AnImportIsRunOnceMoreOnlyWhenWineDidNotRunTheEditor)
{
    WineRegedit regedit(prefix);

    qputenv("FAKE_WINE_ENDS", "3 0");
    EXPECT_EQ(regedit.importFile("bytes").outcome, Regedit::Outcome::Done);
    ASSERT_EQ(calls().size(), 2);
    EXPECT_TRUE(calls()[0].startsWith(u"regedit /S C:\\windows\\temp\\ordevan-"_s));
    EXPECT_EQ(calls()[0], calls()[1]);
    // The file the editor was given is gone once it ended.
    EXPECT_TRUE(QDir(prefix + u"/drive_c/windows/temp"_s).isEmpty());

    qputenv("FAKE_WINE_ENDS", "0 3 3 3");
    const Regedit::Result failed = regedit.importFile("bytes");
    EXPECT_EQ(failed.outcome, Regedit::Outcome::Failed);
    EXPECT_EQ(failed.error, u"wine regedit ended with code 3"_s);
    EXPECT_EQ(calls().size(), 4) << "two more calls, no third";

    // What Wine says is its reason, and nothing is tried again.
    qputenv("FAKE_WINE_ENDS", "0 0 0 0 1 0");
    qputenv("FAKE_WINE_SAYS", "wine: could not load kernel32.dll");
    const Regedit::Result said = regedit.importFile("bytes");
    EXPECT_EQ(said.outcome, Regedit::Outcome::Failed);
    EXPECT_EQ(said.error, u"wine: could not load kernel32.dll"_s);
    EXPECT_EQ(calls().size(), 5);

    // Unless it says it could not start the editor at all.
    qputenv("FAKE_WINE_ENDS", "0 0 0 0 1 1 0");
    qputenv("FAKE_WINE_SAYS",
            "Application could not be started, or no application associated "
            "with the specified file.\nShellExecuteEx failed: Internal error.");
    EXPECT_EQ(regedit.importFile("bytes").outcome, Regedit::Outcome::Done);
    EXPECT_EQ(calls().size(), 7);
}

TEST_F(WineRegeditTest, AnExportGivesWhatTheEditorWroteOrTellsThatTheKeyIsMissing)
{
    WineRegedit regedit(prefix);
    writeAll(file(u"export.reg"_s), "exported");

    qputenv("FAKE_WINE_ENDS", "1 0");
    qputenv("FAKE_WINE_EXPORT", file(u"export.reg"_s).toLocal8Bit());
    const Regedit::Result done = regedit.exportKey(u"HKEY_CURRENT_USER\\Software\\VOB"_s);
    EXPECT_EQ(done.outcome, Regedit::Outcome::Done);
    EXPECT_EQ(done.bytes, "exported");
    ASSERT_EQ(calls().size(), 2);
    EXPECT_TRUE(calls()[1].endsWith(u".reg HKEY_CURRENT_USER\\Software\\VOB"_s));

    // Side by side, each with its own file and its own retry.
    const auto both = regedit.exportKeys({u"HKEY_CURRENT_USER\\A"_s, u"HKEY_CURRENT_USER\\B"_s});
    ASSERT_EQ(both.size(), 2);
    for (const Regedit::Result &result : both)
        EXPECT_EQ(result.bytes, "exported");
    EXPECT_EQ(calls().size(), 4);

    // The editor writes nothing for a missing key, and says so; nothing
    // written and nothing said is a run cut short, not a missing key.
    qunsetenv("FAKE_WINE_EXPORT");
    qputenv("FAKE_WINE_ENDS", "0");
    qputenv("FAKE_WINE_SAYS", "regedit: Unable to open the registry key 'X'.");
    EXPECT_EQ(regedit.exportKey(u"HKEY_CURRENT_USER\\Software\\None"_s).outcome,
              Regedit::Outcome::NoSuchKey);
    qunsetenv("FAKE_WINE_SAYS");
    const Regedit::Result cut = regedit.exportKey(u"HKEY_CURRENT_USER\\Software\\VOB"_s);
    EXPECT_EQ(cut.outcome, Regedit::Outcome::Failed);
    EXPECT_TRUE(cut.error.contains(u"Wine server stop"_s)) << cut.error.toStdString();

    // What a killed run left goes at the next start; a file of a run going
    // on, or another program's, stays.
    const QString temp = prefix + u"/drive_c/windows/temp/"_s;
    for (const char16_t *name : {u"ordevan-old.reg", u"ordevan-new.reg", u"other-old.reg"}) {
        writeAll(temp + QString::fromUtf16(name), "x");
        QFile file(temp + QString::fromUtf16(name));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        if (QString::fromUtf16(name).endsWith(u"old.reg"_s))
            file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                             QFileDevice::FileModificationTime);
    }
    removeStaleExchangeFiles(prefix);
    EXPECT_EQ(QDir(temp).entryList({u"*.reg"_s}, QDir::Files),
              (QStringList{u"ordevan-new.reg"_s, u"other-old.reg"_s}));
}

} // namespace
