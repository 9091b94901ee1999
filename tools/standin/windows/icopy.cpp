// A stand-in for the copy program, built for Windows: at start it reads
// every value under the copy program's key through the registry API, as the
// program itself does, writes them to ICopy-report.txt beside itself and
// exits. Run under Wine, it shows what a Windows program really reads from
// a prefix whose settings were edited from Linux.
//
// One line per value, sorted, UTF-8:
//   <key below CD Wizard>\<value name> <TAB> <kind> <TAB> <value>
// Numbers are decimal; text is written with \\ \t \n \r \0 escaped (the
// items of a multi-string are joined by \0); other kinds are hex bytes.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr wchar_t ProgramKey[] = L"Software\\VOB\\CD Wizard";

std::string utf8(const std::wstring &text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                        nullptr, nullptr);
    return result;
}

std::wstring escaped(const std::wstring &text)
{
    std::wstring result;
    for (wchar_t c : text) {
        switch (c) {
        case L'\\':
            result += L"\\\\";
            break;
        case L'\t':
            result += L"\\t";
            break;
        case L'\n':
            result += L"\\n";
            break;
        case L'\r':
            result += L"\\r";
            break;
        case L'\0':
            result += L"\\0";
            break;
        default:
            result += c;
        }
    }
    return result;
}

const char *kindName(DWORD type)
{
    switch (type) {
    case REG_SZ:
        return "REG_SZ";
    case REG_EXPAND_SZ:
        return "REG_EXPAND_SZ";
    case REG_MULTI_SZ:
        return "REG_MULTI_SZ";
    case REG_DWORD:
        return "REG_DWORD";
    case REG_QWORD:
        return "REG_QWORD";
    case REG_BINARY:
        return "REG_BINARY";
    case REG_NONE:
        return "REG_NONE";
    default:
        return "REG_OTHER";
    }
}

// The value's data as the report writes it.
std::string shown(DWORD type, const std::vector<BYTE> &data)
{
    if (type == REG_DWORD && data.size() == 4) {
        DWORD number;
        memcpy(&number, data.data(), 4);
        return std::to_string(number);
    }
    if (type == REG_QWORD && data.size() == 8) {
        unsigned long long number;
        memcpy(&number, data.data(), 8);
        return std::to_string(number);
    }
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        std::wstring text(data.size() / sizeof(wchar_t), L'\0');
        memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
        // The terminating NULs are the storage's, not the text's.
        while (!text.empty() && text.back() == L'\0')
            text.pop_back();
        return utf8(escaped(text));
    }
    std::string hex;
    char byte[4];
    for (BYTE b : data) {
        snprintf(byte, sizeof byte, hex.empty() ? "%02x" : ",%02x", b);
        hex += byte;
    }
    return hex;
}

// Every value of `key` and of the keys below it, `below` naming it.
bool collect(HKEY key, const std::wstring &below, std::vector<std::string> &lines)
{
    DWORD subkeys = 0, values = 0, longestName = 0, longestData = 0, longestKey = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &longestKey, nullptr, &values,
                         &longestName, &longestData, nullptr, nullptr)
        != ERROR_SUCCESS)
        return false;

    for (DWORD i = 0; i < values; ++i) {
        std::wstring name(longestName + 1, L'\0');
        DWORD nameSize = longestName + 1;
        if (RegEnumValueW(key, i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr)
            != ERROR_SUCCESS)
            return false;
        name.resize(nameSize);
        DWORD type = 0, size = 0;
        if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return false;
        std::vector<BYTE> data(size);
        if (RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size)
            != ERROR_SUCCESS)
            return false;
        data.resize(size);
        lines.push_back(utf8(below) + utf8(escaped(name)) + '\t' + kindName(type) + '\t'
                        + shown(type, data));
    }
    for (DWORD i = 0; i < subkeys; ++i) {
        std::wstring name(longestKey + 1, L'\0');
        DWORD nameSize = longestKey + 1;
        if (RegEnumKeyExW(key, i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr)
            != ERROR_SUCCESS)
            return false;
        name.resize(nameSize);
        HKEY sub;
        if (RegOpenKeyExW(key, name.c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS)
            return false;
        const bool read = collect(sub, below + name + L"\\", lines);
        RegCloseKey(sub);
        if (!read)
            return false;
    }
    return true;
}

// The report beside the executable, replaced whole: a reader never sees
// half of one.
bool writeReport(const std::vector<std::string> &lines)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length
            = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return false;
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::wstring folder = path.substr(0, path.find_last_of(L"\\/") + 1);
    const std::wstring report = folder + L"ICopy-report.txt";
    const std::wstring temporary = report + L".tmp";

    const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool written = true;
    for (const std::string &line : lines) {
        const std::string text = line + '\n';
        DWORD done = 0;
        written = written
            && WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &done, nullptr)
            && done == text.size();
    }
    written = FlushFileBuffers(file) && written;
    CloseHandle(file);
    return written && MoveFileExW(temporary.c_str(), report.c_str(), MOVEFILE_REPLACE_EXISTING);
}

} // namespace

int wmain()
{
    std::vector<std::string> lines;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ProgramKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        const bool read = collect(key, L"", lines);
        RegCloseKey(key);
        if (!read)
            return 2;
    }
    std::sort(lines.begin(), lines.end());
    return writeReport(lines) ? 0 : 1;
}
