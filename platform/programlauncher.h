#pragma once

// The copy program as this machine reaches it: the path the preferences
// store, the file that path names here, and starting it. Natively the two
// paths are one. With the settings in a Wine prefix the stored path is the
// Windows path the program has inside the prefix, and it starts under Wine
// in that prefix.

#include <QString>

#include <memory>
#include <optional>

struct StoreChoice;

enum class LaunchResult {
    Started,
    NotStarted, // no such program, or it could not be started
    NoWine, // a Windows program, and no wine on the search path
};

class ProgramLauncher
{
public:
    virtual ~ProgramLauncher() = default;

    // The file of this machine that the stored path names; empty for none.
    virtual QString localFile(const QString &stored) const = 0;
    // How the preferences store `localFile`; nullopt when the program could
    // not be started from there.
    virtual std::optional<QString> storedPath(const QString &localFile) const = 0;
    // Where the path dialog opens while no path is stored; empty for the
    // dialog's own choice.
    virtual QString browseFolder() const = 0;
    // Starts exactly the program the stored path names, with no arguments
    // and no shell or command-line parsing, not awaited; whether it started
    // is known when the call returns.
    virtual LaunchResult launch(const QString &stored) = 0;
};

// The platform's own way. Elsewhere than on Windows a Windows program (its
// file begins with "MZ") is started through wine, in Wine's default prefix.
class LocalProgramLauncher : public ProgramLauncher
{
public:
    QString localFile(const QString &stored) const override { return stored; }
    std::optional<QString> storedPath(const QString &localFile) const override { return localFile; }
    QString browseFolder() const override { return {}; }
    LaunchResult launch(const QString &stored) override;
};

// The launcher that goes with the store the tool edits: inside the Wine
// prefix when that is the store, else the platform's own.
std::unique_ptr<ProgramLauncher> launcherFor(const StoreChoice &choice);
