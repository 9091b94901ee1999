#include "printers.h"
#include "registryfilestore.h"
#include "storechoice.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class StoreChoiceTest : public testing::Test
{
protected:
    // A prefix folder with a user.reg, holding the copy program's key or not.
    QString prefix(const QString &relative, bool copyProgram)
    {
        const QString folder = home.filePath(relative);
        QDir().mkpath(folder);
        QFile file(folder + u"/user.reg"_s);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("WINE REGISTRY Version 2\n\n#arch=win64\n\n[Software\\\\Wine] 1\n\"V\"=\"1\"\n");
        if (copyProgram)
            file.write("\n[Software\\\\vob\\\\CD Wizard\\\\8.0] 1\n\"Language\"=\"English\"\n");
        return folder;
    }

    StoreChoice choose(const QStringList &arguments = {})
    {
        QString error;
        const auto options = parseStoreOptions(QStringList{u"ordevan"_s} + arguments, &error);
        EXPECT_TRUE(options) << error.toStdString();
        return chooseStore(options.value_or(StoreOptions{}), environment, home.path());
    }

    QTemporaryDir home;
    QProcessEnvironment environment;
};

} // namespace

TEST_F(StoreChoiceTest, TheCommandLine)
{
    QString error;
    EXPECT_FALSE(parseStoreOptions({u"ordevan"_s, u"--wine-prefix"_s}, &error));
    EXPECT_EQ(error, u"--wine-prefix needs a path"_s);
    EXPECT_FALSE(parseStoreOptions({u"ordevan"_s, u"--verbose"_s}, &error));
    EXPECT_EQ(error, u"unknown option --verbose"_s);
    EXPECT_FALSE(parseStoreOptions(
        {u"ordevan"_s, u"--wine-prefix=/a"_s, u"--settings-file"_s, u"/b.reg"_s}, &error));
    QStringList rest;
    const auto options = parseStoreOptions(
        {u"ICopy.exe"_s, u"--seed"_s, u"--wine-prefix=/a/../b"_s}, &error, &rest);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->winePrefix, u"/b"_s);
    EXPECT_EQ(rest, QStringList{u"--seed"_s});

    prefix(u".wine"_s, true);
    EXPECT_EQ(choose({u"--settings-file"_s, home.filePath(u"x.reg"_s)}).kind,
              StoreChoice::Kind::File)
        << "what the command line names comes first";
    const StoreChoice given = choose({u"--wine-prefix"_s, home.filePath(u"other"_s)});
    EXPECT_EQ(given.kind, StoreChoice::Kind::WinePrefix);
    EXPECT_EQ(given.path, home.filePath(u"other"_s));
}

TEST_F(StoreChoiceTest, APrefixIsChosenOnlyWhenItHoldsTheCopyProgram)
{
    EXPECT_EQ(choose().kind, StoreChoice::Kind::File);
    EXPECT_EQ(choose().path, RegistryFileStore::defaultPath());

    prefix(u".wine"_s, false);
    const QString bottle = prefix(u".local/share/bottles/bottles/Copy"_s, true);
    prefix(u".local/share/wineprefixes/b"_s, false);
    const QString first = prefix(u".local/share/wineprefixes/c"_s, true);
    prefix(u".local/share/wineprefixes/d"_s, true);
    EXPECT_EQ(choose().path, first) << "the usual folders in order, prefixes by name";

    const QString homePrefix = prefix(u".wine"_s, true);
    EXPECT_EQ(choose().path, homePrefix);
    EXPECT_EQ(choose().description(Language::English),
              u"the Wine prefix "_s + QDir::toNativeSeparators(homePrefix));
    EXPECT_EQ(choose().description(Language::Italian),
              u"il prefisso di Wine "_s + QDir::toNativeSeparators(homePrefix));
    EXPECT_EQ(choose().location(Language::Italian),
              u"nel prefisso di Wine "_s + QDir::toNativeSeparators(homePrefix));
    EXPECT_EQ(choose().location(Language::English),
              u"in the Wine prefix "_s + QDir::toNativeSeparators(homePrefix));
    EXPECT_EQ((StoreChoice{StoreChoice::Kind::Registry, {}, {}}.location(Language::Italian)),
              u"nel registro di Windows"_s);
    EXPECT_EQ(
        (StoreChoice{StoreChoice::Kind::File, u"/a b/r.reg"_s, {}}.location(Language::Italian)),
        u"nel file delle impostazioni "_s + QDir::toNativeSeparators(u"/a b/r.reg"_s));

    environment.insert(u"WINEPREFIX"_s, bottle);
    EXPECT_EQ(choose().path, bottle) << "$WINEPREFIX in place of ~/.wine";
    environment.insert(u"WINEPREFIX"_s, homePrefix + u"/nowhere"_s);
    EXPECT_EQ(choose().path, first);
}
