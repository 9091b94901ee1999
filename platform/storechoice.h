#pragma once

// Which registry the tool edits, decided once at start. On Windows it is
// the registry itself. Elsewhere the copy program runs under Wine, so its
// settings are in a Wine prefix: the one named on the command line, else
// $WINEPREFIX or ~/.wine when the copy program's key is there, else the
// first prefix of the usual Wine front-ends that holds it; without one, the
// tool's own per-user file.

#include "registrystore.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

struct StoreChoice
{
    enum class Kind { Registry, WinePrefix, File };
    Kind kind = Kind::Registry;
    QString path; // the prefix folder, or the file
    QString reason; // how it was chosen, for the start's report

    // "the Wine prefix /home/anna/.wine", as the window's title tells it.
    QString description(Language language) const;
    // "in the Wine prefix /home/anna/.wine": where the settings are edited.
    QString location(Language language) const;
};

struct StoreOptions
{
    std::optional<QString> winePrefix; // --wine-prefix DIR
    std::optional<QString> settingsFile; // --settings-file FILE
};

// The options of the command line `arguments` (the program's name first);
// nullopt, with `error` set, for arguments it does not take.
std::optional<StoreOptions> parseStoreOptions(const QStringList &arguments, QString *error,
                                              QStringList *rest = nullptr);
// The store options' help lines, their meanings starting at `column`.
QString storeOptionsUsage(qsizetype column = 24);

// The copy program's key, whose presence makes a prefix the one to edit.
inline constexpr char16_t CopyProgramKey[] = u"Software\\VOB\\CD Wizard";
// Ordevan's own, where its preferences are.
inline constexpr char16_t OrdevanKey[] = u"Software\\Tarsel\\Ordevan8";

// What a start reads of `store`, read at once: the two keys above.
inline void readAheadAtStart(RegistryStore &store)
{
    store.readAhead({CopyProgramKey, OrdevanKey});
}

StoreChoice chooseStore(const StoreOptions &options, const QProcessEnvironment &environment,
                        const QString &home);
// The store of the choice, or of the platform when it is Registry.
std::unique_ptr<RegistryStore> openStore(const StoreChoice &choice);
// Why the chosen store cannot be edited at all, told in `language`, or
// nullopt. A folder named as a Wine prefix must be one: a typo would
// otherwise pass for a prefix the copy program has not written to yet.
std::optional<QString> storeChoiceProblem(const StoreChoice &choice, Language language);
