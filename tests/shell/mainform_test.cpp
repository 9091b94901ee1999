#include "filesystem.h"
#include "mainform.h"
#include "memoryregistrystore.h"
#include "printers.h"
#include "scripteddialogs.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(MainFormTest, TheFirstWindowIsTheToolsOwn)
{
    MemoryRegistryStore registry;
    LocalFileSystem files;
    ScriptedDialogs dialogs;
    TMainForm form({ registry, files, dialogs });
    EXPECT_EQ(form.windowTitle(), u"Ordevan"_s);
    EXPECT_EQ(form.size(), QSize(792, 607));
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "the window is not resizable";
    EXPECT_FALSE(form.italian());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}
