#pragma once

// What can be wrong with the settings file, and how the user is told so in
// either interface language.

#include "language.h"

#include <QString>

enum class RegistryFileFault {
    // Reading.
    TooLarge,
    BrokenCharacter,
    BigEndian,
    NoHeader,
    ValueOutsideKey,
    NeitherKeyNorValue,
    KeyNotClosed,
    TextAfterKey,
    EmptyKeyName,
    NameNotClosed,
    NameWithoutEquals,
    TextNotClosed,
    TextAfterText,
    BadDword,
    UnknownValueForm,
    BadHexType,
    HexWithoutColon,
    HexPastEnd,
    BadHexBytes,
    NotRegularFile,
    // Reading a Wine registry file.
    WineHeader,
    UnknownArchitecture,
    NotUtf8,
    // Saving.
    FolderNotCreated,
    LockNotCreated,
    LockedByAnother,
    // Told in the system's own words.
    System
};

// The fault as a phrase that fits into a sentence; empty for System.
QString registryFileFaultText(RegistryFileFault fault, Language language);

// The system's error `errorNumber` in the interface language; `systemWords`
// (the system's own text) for one that has no words here.
QString systemErrorText(int errorNumber, const QString &systemWords, Language language);
