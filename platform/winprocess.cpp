#include "winprocess.h"

#include <windows.h>

bool startProgramDetached(const std::u16string &path)
{
    if (path.empty())
        return false;
    // The program's own command line is just its quoted path, so that its
    // first argument is whole; which program runs comes from the
    // application name alone.
    std::u16string commandLine = u"\"" + path + u"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(reinterpret_cast<const wchar_t *>(path.c_str()),
                        reinterpret_cast<wchar_t *>(commandLine.data()), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
