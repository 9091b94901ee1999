#pragma once

// A main window started as a user starts it: the shipped setting lists in a
// DATA folder beside a pretend executable, a registry (file or memory) of
// its own, and scripted dialogs that also receive the error reports.

#include "application.h"
#include "filesystem.h"
#include "mainform.h"
#include "memoryregistrystore.h"
#include "oxbutton.h"
#include "programlauncher.h"
#include "registryaccessor.h"
#include "registrybackups.h"
#ifndef Q_OS_WIN
#include "registryfilestore.h"
#endif
#include "scripteddialogs.h"
#include "toolfolderfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

using namespace Qt::Literals::StringLiterals;

// A control of the window, found as any code outside it finds one: by its
// object name, which is the name the form gives it. A control that is
// missing, or of another class, fails the test and ends it there.
template<class W>
W *control(QWidget &form, const char *name)
{
    W *found = form.findChild<W *>(QString::fromLatin1(name));
    if (!found) {
        const std::string what = std::string("the window has no ") + W::staticMetaObject.className()
            + " named " + name;
        ADD_FAILURE() << what;
        throw std::runtime_error(what);
    }
    return found;
}

// The per-user file store where the tool uses one; on Windows, where the tool
// uses the registry, the window's tests keep theirs in memory.
inline std::unique_ptr<RegistryStore> testStore([[maybe_unused]] const QString &path)
{
#ifdef Q_OS_WIN
    return std::make_unique<MemoryRegistryStore>();
#else
    return std::make_unique<RegistryFileStore>(path);
#endif
}

class MainFormTest : public testing::Test
{
protected:
    MainFormTest()
        : toolDir(dir.filePath(u"Tool"_s))
        , registryPath(dir.filePath(u"home/.config/Ordevan/registry.reg"_s))
        , store(testStore(registryPath))
        , files(toolDir + u"/ordevan"_s)
    {
        QDir().mkpath(toolDir + u"/DATA"_s);
        const QDir data(QString::fromUtf8(ORDEVAN_DATA_DIR));
        for (const QString &name : data.entryList(QDir::Files))
            QFile::copy(data.filePath(name), toolDir + u"/DATA/"_s + name);
        app()->setDialogs(&dialogs);
    }
    ~MainFormTest() override { app()->setDialogs(nullptr); }

    static OrdevanApplication *app()
    {
        return static_cast<OrdevanApplication *>(QCoreApplication::instance());
    }

    TMainForm &start()
    {
        form.reset();
        form = std::make_unique<TMainForm>(MainFormServices{
            *store, files, dialogs, programs, [this] { ++terminations; }, std::nullopt, &backups});
        return *form;
    }

    // The tool's preferences as stored.
    QString preference(std::u16string_view name)
    {
        RegistryAccessor reg(*store);
        if (!reg.openKey(u"\\Software\\Tarsel\\Ordevan8", false))
            return u"<no key>"_s;
        return QString::fromStdU16String(reg.readString(name));
    }

    void storePreferences(const QString &warning, const QString &language, const QString &version,
                          const QString &path = QString())
    {
        RegistryAccessor reg(*store);
        ASSERT_TRUE(reg.openKey(u"\\Software\\Tarsel\\Ordevan8", true));
        reg.writeString(u"WantWarning", warning.toStdU16String());
        reg.writeString(u"Language", language.toStdU16String());
        reg.writeString(u"Version", version.toStdU16String());
        reg.writeString(u"PathIC8", path.toStdU16String());
    }

    // An in-memory registry in place of the file store, with the start-up
    // warning off.
    MemoryRegistryStore &useMemoryStore()
    {
        auto memory = std::make_unique<MemoryRegistryStore>();
        memory->put(RootKey::CurrentUser, u"Software\\Tarsel\\Ordevan8", u"WantWarning",
                    {ValueKind::String, u"False", 0});
        MemoryRegistryStore &result = *memory;
        store = std::move(memory);
        return result;
    }

    void removeList(const QString &name)
    {
        ASSERT_TRUE(QFile::remove(toolDir + u"/DATA/"_s + name));
    }

    QTemporaryDir dir;
    QString toolDir;
    QString registryPath;
    std::unique_ptr<RegistryStore> store;
    ToolFolderFiles files;
    ScriptedDialogs dialogs;
    LocalProgramLauncher programs;
    RegistryBackups backups{dir.filePath(u"home/.config/Ordevan/backups"_s), QString()};
    int terminations = 0;
    std::unique_ptr<TMainForm> form;
};
