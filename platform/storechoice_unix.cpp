#include "regedit.h"
#include "registryfilestore.h"
#include "safefile.h"
#include "storechoice.h"
#include "wineprefixstore.h"
#include "winereg.h"

#include <QDir>

using namespace Qt::Literals::StringLiterals;

namespace {

// Whether the prefix's user registry holds the copy program's settings.
bool holdsCopyProgram(const QString &prefix)
{
    if (!WinePrefixStore::isPrefix(prefix))
        return false;
    QByteArray bytes;
    FileStamp stamp;
    if (!readRegularFile(FileCalls::system(), prefix + u"/user.reg"_s, WineRegFile::MaxFileSize,
                         bytes, stamp))
        return false;
    try {
        return WineRegFile::parse(bytes).hasKey(QString::fromUtf16(CopyProgramKey));
    } catch (const RegFileError &) {
        return false;
    }
}

} // namespace

StoreChoice chooseStore(const StoreOptions &options, const QProcessEnvironment &environment,
                        const QString &home)
{
    if (options.winePrefix)
        return {StoreChoice::Kind::WinePrefix, *options.winePrefix, u"given on the command line"_s};
    if (options.settingsFile)
        return {StoreChoice::Kind::File, *options.settingsFile, u"given on the command line"_s};

    const QString wineprefix = environment.value(u"WINEPREFIX"_s);
    const QString usual = wineprefix.isEmpty() ? home + u"/.wine"_s : wineprefix;
    if (holdsCopyProgram(usual)) {
        return {StoreChoice::Kind::WinePrefix, QDir::cleanPath(usual),
                wineprefix.isEmpty() ? u"~/.wine holds the copy program's settings"_s
                                     : u"$WINEPREFIX holds the copy program's settings"_s};
    }
    // Where Wine front-ends keep their prefixes, one folder each.
    const QStringList frontEnds = {
        u"/.local/share/wineprefixes"_s,
        u"/.PlayOnLinux/wineprefix"_s,
        u"/.local/share/bottles/bottles"_s,
        u"/.var/app/com.usebottles.bottles/data/bottles/bottles"_s,
    };
    for (const QString &frontEnd : frontEnds) {
        const QDir folder(home + frontEnd);
        for (const QString &name :
             folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            if (holdsCopyProgram(folder.filePath(name))) {
                return {StoreChoice::Kind::WinePrefix, folder.filePath(name),
                        u"the first Wine prefix found that holds the copy program's settings"_s};
            }
        }
    }
    return {StoreChoice::Kind::File, RegistryFileStore::defaultPath(),
            u"no Wine prefix holds the copy program's settings"_s};
}

std::unique_ptr<RegistryStore> openStore(const StoreChoice &choice)
{
    // What an Ordevan killed in the middle of a save or a Wine run left
    // behind goes now, not only at the next save.
    if (choice.kind == StoreChoice::Kind::WinePrefix) {
        removeStaleExchangeFiles(choice.path);
        auto store = std::make_unique<WinePrefixStore>(choice.path);
        removeStaleCopies(FileCalls::system(), store->userRegPath(), StaleCopySeconds);
        return store;
    }
    removeStaleCopies(FileCalls::system(), choice.path, StaleCopySeconds);
    return std::make_unique<RegistryFileStore>(choice.path);
}

std::optional<QString> storeChoiceProblem(const StoreChoice &choice, Language language)
{
    if (choice.kind != StoreChoice::Kind::WinePrefix || WinePrefixStore::isPrefix(choice.path))
        return std::nullopt;
    return (language == Language::Italian ? u"%1 non è un prefisso di Wine (non ha user.reg)."_s
                                          : u"%1 is not a Wine prefix (it has no user.reg)."_s)
        .arg(QDir::toNativeSeparators(choice.path));
}
