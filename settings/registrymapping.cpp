#include "registrymapping.h"

#include "gridmodel.h"
#include "registryaccessor.h"
#include "text.h"

using namespace Qt::Literals::StringLiterals;

namespace {

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

void StoredSettings::remember(const QString &name, Setting setting)
{
    m_settings.insert(upperAscii(name), std::move(setting));
}

const StoredSettings::Setting *StoredSettings::find(const QString &name) const
{
    const auto it = m_settings.constFind(upperAscii(name));
    return it == m_settings.constEnd() ? nullptr : &*it;
}

bool StoredSettings::isMissing(const QString &name) const
{
    const Setting *setting = find(name);
    return setting && !setting->value && !setting->unreadable;
}

namespace {

// The value cell's text for a value as stored; raises ERegistryError for a
// value of another kind, and for a missing integer.
// What the value cell shows for `value`; nullopt when it cannot show it (a
// missing number, or a value of another kind).
std::optional<QString> cellText(SettingKind kind, const std::optional<RegistryValue> &value)
{
    if (kind == SettingKind::Integer) {
        if (!value || value->kind != ValueKind::Integer)
            return std::nullopt;
        return QString::number(value->integer);
    }
    if (!value)
        return QString();
    if (value->kind != ValueKind::String && value->kind != ValueKind::ExpandString)
        return std::nullopt;
    return QString::fromStdU16String(value->text);
}

RegistryValue valueToWrite(SettingKind kind, const QString &cellText)
{
    if (kind == SettingKind::Integer)
        return {ValueKind::Integer, {}, integerCellValue(cellText).value_or(0)};
    return {ValueKind::String, u16(cellText), 0};
}

// The value is written in the kind of its row, never in the kind it had.
bool sameAsWritten(const std::optional<RegistryValue> &stored, const RegistryValue &written)
{
    return stored && *stored == written;
}

} // namespace

PageRead readPageSettings(GridModel &grid, RegistryAccessor &registry, SettingsPage page,
                          Release release, Language language, StoredSettings &stored)
{
    stored.clear();
    try {
        const OpenKeyScope key = pageKey(registry, page, release);
        for (int row = 1; row < grid.RowCount(); ++row) {
            const auto name = settingValueName(grid, row);
            const SettingKind kind = settingKind(grid.Cells(SettingColumn::Type, row));
            if (!name || kind == SettingKind::None)
                continue;
            if (!key.isOpen()) {
                // No value exists yet; what the row shows is what an edit is
                // told from, should another program create them meanwhile.
                stored.remember(*name, {std::nullopt, grid.Cells(SettingColumn::Value, row)});
                continue;
            }
            StoredSettings::Setting setting;
            try {
                setting.value = registry.readValue(u16(*name));
            } catch (const ERegistryStoreError &) {
                throw;
            } catch (const ERegistryError &) {
                setting.unreadable = true; // this value alone could not be read
            }
            // Missing, of another kind, or unreadable: the marker.
            const auto shown = setting.unreadable ? std::nullopt : cellText(kind, setting.value);
            setting.cellText = shown.value_or(readErrorMarker(language));
            grid.SetCells(SettingColumn::Value, row, setting.cellText);
            if (kind == SettingKind::YesNo && !isReadErrorText(setting.cellText))
                grid.SetCheckBox(SettingColumn::Value, row, setting.cellText == u"True"_s);
            stored.remember(*name, std::move(setting));
        }
        return {!key.isOpen(), std::nullopt};
    } catch (const ERegistryStoreError &e) {
        // Nothing the store holds is known: no value may pass for current.
        stored.clear();
        for (int row = 1; row < grid.RowCount(); ++row) {
            if (settingValueName(grid, row)
                && settingKind(grid.Cells(SettingColumn::Type, row)) != SettingKind::None)
                grid.SetCells(SettingColumn::Value, row, readErrorMarker(language));
        }
        return {false, e};
    }
}

PagePlan planPageSave(GridModel &grid, RegistryAccessor &registry, SettingsPage page,
                      Release release, const StoredSettings &stored)
{
    PagePlan plan;
    const OpenKeyScope key = pageKey(registry, page, release);
    plan.key = QString::fromStdU16String(registry.currentPath());
    if (!key.isOpen()) {
        plan.keyMissing = true;
        return plan;
    }
    for (int row = 1; row < grid.RowCount(); ++row) {
        const auto name = settingValueName(grid, row);
        const QString cell = grid.Cells(SettingColumn::Value, row);
        const SettingKind kind = settingKind(grid.Cells(SettingColumn::Type, row));
        if (!name || isReadErrorText(cell) || kind == SettingKind::None)
            continue;
        const StoredSettings::Setting *before = stored.find(*name);
        const bool edited = !before || cell != before->cellText;
        std::optional<StoredValue> now;
        bool known = true;
        try {
            now = registry.readStoredValue(u16(*name));
        } catch (const ERegistryStoreError &) {
            throw;
        } catch (const ERegistryError &) {
            known = false; // one value the store cannot read: it is not compared
        }
        // Untouched here and still there: it stays as whoever wrote it last left it.
        if (!edited && (now || !known))
            continue;
        const RegistryValue value = valueToWrite(kind, cell);
        const std::optional<RegistryValue> shown
            = now ? std::optional(decodeValue(*now)) : std::nullopt;
        if (known && before && !before->unreadable && shown != before->value
            && !sameAsWritten(shown, value))
            plan.overwritten.append(*name);
        plan.writes.append({*name, value, cell, now, known});
    }
    return plan;
}

PageSave writePlannedPage(RegistryAccessor &registry, const PagePlan &plan)
{
    PageSave save;
    save.keyMissing = plan.keyMissing;
    save.overwritten = plan.overwritten;
    if (plan.keyMissing || plan.writes.isEmpty())
        return save;
    registry.setRootKey(RootKey::CurrentUser);
    const OpenKeyScope key(registry, u16(u'\\' + plan.key), false);
    for (const PlannedWrite &write : plan.writes) {
        try {
            if (!key.isOpen())
                throw ERegistryError("the key is gone");
            if (write.value.kind == ValueKind::Integer)
                registry.writeInteger(u16(write.name), write.value.integer);
            else
                registry.writeString(u16(write.name), write.value.text);
        } catch (const ERegistryStoreError &) {
            throw;
        } catch (const ERegistryError &) {
            // A refused write is skipped; the rows after it are still written.
            save.refused.append(write.name);
            continue;
        }
        save.written.append({write.name, {write.value, write.cellText}});
    }
    return save;
}

QList<BackupValue> valuesReplacedBy(const PagePlan &plan)
{
    QList<BackupValue> values;
    for (const PlannedWrite &write : plan.writes) {
        // What could not be read cannot be put back; it is written as
        // before, without a backup.
        if (write.beforeKnown)
            values.append({RootKey::CurrentUser, plan.key, write.name, write.before});
    }
    return values;
}

PageSave writePageSettings(GridModel &grid, RegistryAccessor &registry, SettingsPage page,
                           Release release, const StoredSettings &stored)
{
    return writePlannedPage(registry, planPageSave(grid, registry, page, release, stored));
}

void takeRefused(PageSave &save, const QString &pageKey, const std::vector<RefusedWrite> &refused)
{
    const QString key = pageKey.startsWith(u'\\') ? pageKey.mid(1) : pageKey;
    for (const RefusedWrite &write : refused) {
        if (QString::fromStdU16String(write.key).compare(key, Qt::CaseInsensitive) != 0)
            continue;
        const QString name = QString::fromStdU16String(write.name);
        const auto stored
            = std::find_if(save.written.begin(), save.written.end(), [&](const auto &entry) {
                  return entry.first.compare(name, Qt::CaseInsensitive) == 0;
              });
        if (stored != save.written.end()) {
            save.refused.append(stored->first);
            save.written.erase(stored);
        }
    }
}

SaveReport saveReport(const QList<std::pair<SettingsPage, PageSave>> &saves, Language language,
                      Release release)
{
    const bool italian = language == Language::Italian;
    QStringList refused, overwritten, missing;
    for (const auto &[page, save] : saves) {
        const QString title = pageTitle(page, language);
        if (!save.refused.isEmpty())
            refused.append(title + u": "_s + save.refused.join(u", "_s));
        if (!save.overwritten.isEmpty())
            overwritten.append(title + u": "_s + save.overwritten.join(u", "_s));
        if (save.keyMissing)
            missing.append(title);
    }
    QStringList parts;
    if (!refused.isEmpty()) {
        parts.append((italian ? u"Questi valori non sono stati salvati:"_s
                              : u"These values could not be saved:"_s)
                     + u"\r\r"_s + refused.join(u'\r'));
    }
    if (!missing.isEmpty()) {
        parts.append((italian
                          ? u"Le impostazioni di InstantCopy %1 non esistono ancora nel registro, "
                            u"quindi queste liste non sono state salvate: %2.\r"
                            u"Avviare InstantCopy una volta: le crea."_s
                          : u"The settings of InstantCopy %1 do not exist in the registry yet, so "
                            u"these lists were not saved: %2.\r"
                            u"Start InstantCopy once: it creates them."_s)
                         .arg(release == Release::R803 ? u"8.0.3.x"_s : u"8.0.0.x"_s,
                              missing.join(u", "_s)));
    }
    if (!overwritten.isEmpty()) {
        parts.append((italian ? u"Questi valori erano stati cambiati da un altro programma dopo "
                                u"la lettura; le modifiche fatte qui li hanno sostituiti:"_s
                              : u"These values had been changed by another program since they "
                                u"were read; the edits made here replaced them:"_s)
                     + u"\r\r"_s + overwritten.join(u'\r'));
    }
    return {parts.join(u"\r\r"_s), !refused.isEmpty() || !missing.isEmpty()};
}
