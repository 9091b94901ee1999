#include "standin.h"

#include "gridmodel.h"
#include "registryaccessor.h"

using namespace Qt::Literals::StringLiterals;

QList<StandInSetting> standInSettings(const QString &listFolder)
{
    QList<StandInSetting> settings;
    for (SettingsPage page : AllSettingsPages) {
        GridModel grid;
        grid.LoadGridFile(listFolder + u'/' + pageName(page) + u"_ENG.TXT"_s);
        for (int row = 1; row < grid.RowCount(); ++row) {
            const SettingRow listed = settingRow(grid, row);
            if (!listed.isSetting())
                continue;
            const SettingKind kind = listed.kind();
            StandInSetting setting{page, Release::R803, listed.name, kind, {}, 0};
            if (kind == SettingKind::Integer)
                setting.integer = integerCellValue(listed.value).value_or(0);
            else if (kind == SettingKind::YesNo)
                setting.text = listed.value == u"True"_s ? u"True"_s : u"False"_s;
            else
                setting.text = listed.value;

            for (Release release : {Release::R800, Release::R803}) {
                const bool other = (release == Release::R803 && listed.release == u"8v0"_s)
                    || (release == Release::R800 && listed.release == u"8v3"_s);
                if (!other) {
                    setting.release = release;
                    settings.append(setting);
                }
            }
        }
    }
    return settings;
}

bool hasCopyProgramSettings(RegistryStore &store)
{
    RegistryAccessor registry(store);
    return registry.openKey(StandInKey, false);
}

int seedSettings(RegistryStore &store, const QList<StandInSetting> &settings)
{
    RegistryBatch batch(store);
    RegistryAccessor registry(store);
    int created = 0;
    for (const StandInSetting &setting : settings) {
        if (!registry.openKey(settingsKeyPath(setting.page, setting.release).toStdU16String(),
                              true))
            throw ERegistryError("Cannot create the key "
                                 + settingsKeyPath(setting.page, setting.release).toStdString());
        const std::u16string name = setting.name.toStdU16String();
        bool present = true;
        try {
            if (setting.kind == SettingKind::Integer)
                registry.readInteger(name);
            else
                present = !registry.readString(name).empty();
        } catch (const ERegistryError &) {
            present = false;
        }
        if (present)
            continue;
        if (setting.kind == SettingKind::Integer)
            registry.writeInteger(name, setting.integer);
        else
            registry.writeString(name, setting.text.toStdU16String());
        ++created;
    }
    batch.commit();
    return created;
}

void recordStart(RegistryStore &store, const QDateTime &when)
{
    RegistryAccessor registry(store);
    if (!registry.openKey(StandInKey, true))
        throw ERegistryError("Cannot create the stand-in's key");
    registry.writeString(StartedValue, when.toString(Qt::ISODate).toStdU16String());
}

QStringList describeSettings(RegistryStore &store, const QList<StandInSetting> &settings)
{
    RegistryAccessor registry(store);
    QStringList lines;
    for (const StandInSetting &setting : settings) {
        const QString key = settingsKeyPath(setting.page, setting.release);
        QString value = u"(missing)"_s;
        if (registry.openKey(key.toStdU16String(), false)) {
            try {
                value = setting.kind == SettingKind::Integer
                    ? QString::number(registry.readInteger(setting.name.toStdU16String()))
                    : QString::fromStdU16String(registry.readString(setting.name.toStdU16String()));
            } catch (const ERegistryError &) {
                value = u"(of another kind)"_s;
            }
        }
        lines.append(key + u" \\ "_s + setting.name + u" = "_s + value);
    }
    return lines;
}
