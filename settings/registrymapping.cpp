#include "registrymapping.h"

#include "gridmodel.h"
#include "registryaccessor.h"
#include "text.h"

using namespace Qt::Literals::StringLiterals;

SettingKind settingKind(const QString &typeWord)
{
    static const QStringList integers
        = {u"VALORE"_s, u"VALUE"_s, u"PUNTI"_s, u"PIXELS"_s, u"MBYTE"_s, u"MB*2.5"_s, u"%"_s};
    static const QStringList texts = {u"TESTO"_s, u"STRING"_s, u"LISTA"_s, u"LIST"_s};
    const QString upper = upperAscii(typeWord);
    if (integers.contains(upper))
        return SettingKind::Integer;
    if (upper == u"SI/NO"_s || upper == u"BOOL"_s)
        return SettingKind::YesNo;
    if (texts.contains(upper))
        return SettingKind::Text;
    return SettingKind::None;
}

namespace {

// Column 0 holds the value name wrapped in three leading and four trailing
// characters; shorter cells are headings and name no value.
std::optional<QString> valueName(const GridModel &grid, int row)
{
    const QString cell = grid.Cells(0, row);
    if (cell.size() <= 7)
        return std::nullopt;
    return cell.mid(3, cell.size() - 7);
}

std::u16string u16(const QString &text)
{
    return text.toStdU16String();
}

// The page's key, opened from the branch root and never created.
OpenKeyScope pageKey(RegistryAccessor &registry, SettingsPage page, Release release)
{
    registry.setRootKey(RootKey::CurrentUser);
    return OpenKeyScope(registry, u16(settingsKeyPath(page, release)), false);
}

} // namespace

QString settingsKeyPath(SettingsPage page, Release release)
{
    const QString version = release == Release::R803 ? u"8.0"_s : u"7.5"_s;
    switch (page) {
    case SettingsPage::General:
        return u"\\Software\\VOB\\CD Wizard\\"_s + version;
    case SettingsPage::Copy:
        return u"\\Software\\vob\\CD Wizard\\"_s + version + u"\\Copy"_s;
    case SettingsPage::Options:
        return u"\\Software\\vob\\CD Wizard\\"_s + version + u"\\Copy\\CurrentSettings"_s;
    case SettingsPage::DataPath:
        return u"\\Software\\vob\\CD Wizard\\"_s + version + u"\\DataPath"_s;
    }
    return {};
}

QString readErrorMarker(Language language)
{
    return language == Language::Italian ? u"Non disponibile (errore in lettura)"_s
                                         : u"Not available (read error)"_s;
}

bool isReadErrorText(const QString &value)
{
    const QString upper = upperAscii(value);
    return upper.contains(u"READ ERROR"_s) || upper.contains(u"ERRORE IN LETTURA"_s);
}

std::optional<qint32> integerCellValue(QStringView text)
{
    qsizetype blanks = 0;
    while (blanks < text.size() && text[blanks] == u' ')
        ++blanks;
    const NumberStart start = numberStart(text, blanks);
    const int base = start.base;
    const bool negative = start.negative;
    qsizetype i = start.digits;
    if (i == text.size())
        return std::nullopt;
    // Hexadecimal covers the 32 bits as they are stored; decimal the signed range.
    const qint64 limit = base == 16 ? 0xFFFFFFFFll : (negative ? 0x80000000ll : 0x7FFFFFFFll);
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const int value = hexDigitValue(text[i]);
        if (value < 0 || value >= base)
            return std::nullopt;
        magnitude = magnitude * base + value;
        if (magnitude > limit)
            return std::nullopt;
    }
    const auto bits = static_cast<quint32>(magnitude);
    return static_cast<qint32>(negative ? 0u - bits : bits);
}

void readPageSettings(GridModel &grid, RegistryAccessor &registry, SettingsPage page,
                      Release release, Language language)
{
    const OpenKeyScope key = pageKey(registry, page, release);
    if (!key.isOpen())
        return;
    for (int row = 1; row < grid.RowCount(); ++row) {
        const auto name = valueName(grid, row);
        if (!name)
            continue;
        try {
            switch (settingKind(grid.Cells(2, row))) {
            case SettingKind::Integer:
                grid.SetCells(1, row, QString::number(registry.readInteger(u16(*name))));
                break;
            case SettingKind::YesNo: {
                const QString text = QString::fromStdU16String(registry.readString(u16(*name)));
                grid.SetCells(1, row, text);
                grid.SetCheckBox(1, row, text == u"True"_s);
                break;
            }
            case SettingKind::Text:
                grid.SetCells(1, row, QString::fromStdU16String(registry.readString(u16(*name))));
                break;
            case SettingKind::None:
                break;
            }
        } catch (const std::exception &) {
            grid.SetCells(1, row, readErrorMarker(language));
        }
    }
}

QStringList writePageSettings(GridModel &grid, RegistryAccessor &registry, SettingsPage page,
                              Release release)
{
    QStringList refused;
    const OpenKeyScope key = pageKey(registry, page, release);
    if (!key.isOpen())
        return refused;
    for (int row = 1; row < grid.RowCount(); ++row) {
        const auto name = valueName(grid, row);
        const QString value = grid.Cells(1, row);
        if (!name || isReadErrorText(value))
            continue;
        try {
            switch (settingKind(grid.Cells(2, row))) {
            case SettingKind::Integer:
                registry.writeInteger(u16(*name), integerCellValue(value).value_or(0));
                break;
            case SettingKind::YesNo:
            case SettingKind::Text:
                registry.writeString(u16(*name), u16(value));
                break;
            case SettingKind::None:
                break;
            }
        } catch (const std::exception &) {
            // A refused write is skipped; the rows after it are still written.
            refused.append(*name);
        }
    }
    return refused;
}
