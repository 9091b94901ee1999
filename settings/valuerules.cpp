#include "valuerules.h"

#include "registrymapping.h"
#include "text.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

QStringList listSettingItems(const QString &valueName)
{
    static const QList<std::pair<QString, QStringList>> lists = {
        {u"INTERFACETYPE"_s,
         {u"ditNone"_s, u"ditAny"_s, u"ditASPI"_s, u"ditASAPI"_s, u"ditMiniPort"_s}},
        {u"VIEWSTATUS"_s, {u"vsStandard"_s, u"vsDetails"_s, u"vsProgress"_s}},
        {u"WRITEMETHOD"_s,
         {u"dwmAutomatic"_s, u"dwmTAO"_s, u"dwmDAO"_s, u"dwmRAW"_s, u"dwmRestrictedOVR"_s}},
        {u"CLOSECDMETHOD"_s,
         {u"dcmAutomatic"_s, u"dcmCloseDisc"_s, u"dcmCloseSession"_s, u"dcmLeaveOpen"_s}},
        {u"COPYPRECISION"_s,
         {u"drpAutomatic"_s, u"drpStandard"_s, u"drpRaw"_s, u"drpRaw96"_s, u"drpRaw16"_s}},
        {u"ERRORHANDLING"_s, {u"ehStop"_s, u"ehIgnore"_s, u"ehCopy"_s}},
        {u"DVDCOPYMETHOD"_s,
         {u"dcmAutomatic"_s, u"dcmCustomize"_s, u"dcmDirect"_s, u"dcmMainMovie"_s}},
        {u"DVDCOPYFORMAT"_s, {u"dcfAutomatic"_s, u"dcfDVD"_s, u"dcfSVCD"_s, u"dcfVCD"_s}},
        {u"DVDCOPYPICTUREFORMAT"_s,
         {u"dcpfAutomatic"_s, u"dcpfLetterBox"_s, u"dcpfPanScan"_s, u"dcpfAnamorphic"_s}},
        {u"DVDREDUCTIONMETHOD"_s,
         {u"vrmParent"_s, u"vrmAutomatic"_s, u"vrmOriginal"_s, u"vrmQuality"_s, u"vrmSpeed"_s,
          u"vrmRemove"_s}},
    };
    const QString name = upperAscii(valueName);
    for (const auto &[listName, items] : lists) {
        if (listName == name)
            return items;
    }
    return {};
}

std::optional<int> spinMaximum(const QString &typeWord)
{
    static const QList<std::pair<QString, int>> maxima = {{u"PUNTI"_s, 1280},
                                                          {u"PIXELS"_s, 1280},
                                                          {u"%"_s, 100},
                                                          {u"MBYTE"_s, 8848},
                                                          {u"MB*2.5"_s, 3569}};
    const QString type = upperAscii(typeWord);
    for (const auto &[word, max] : maxima) {
        if (word == type)
            return max;
    }
    return std::nullopt;
}

namespace {

bool isListType(const QString &typeWord)
{
    const QString type = upperAscii(typeWord);
    return type == u"LIST"_s || type == u"LISTA"_s;
}

} // namespace

QString allowedValues(const SettingRow &setting, Language language)
{
    const bool italian = language == Language::Italian;
    switch (setting.kind()) {
    case SettingKind::YesNo:
        return italian ? u"True o False"_s : u"True or False"_s;
    case SettingKind::Integer:
        if (const auto max = spinMaximum(setting.type)) {
            return (italian ? u"un numero intero da 0 a %1"_s : u"a whole number from 0 to %1"_s)
                .arg(*max);
        }
        return italian
            ? u"un numero intero a 32 bit (decimale, o esadecimale dopo \"$\" o \"0x\")"_s
            : u"a 32-bit whole number (decimal, or hexadecimal after \"$\" or \"0x\")"_s;
    case SettingKind::Text:
        if (isListType(setting.type)) {
            return (italian ? u"uno di: %1"_s : u"one of: %1"_s)
                .arg(listSettingItems(setting.name).join(u", "_s));
        }
        return italian ? u"qualsiasi testo su una riga, che non dica \"errore in lettura\""_s
                       : u"any text on one line that does not say \"read error\""_s;
    case SettingKind::None:
        break;
    }
    return italian ? u"nessun valore: è un titolo"_s : u"no value: it is a heading"_s;
}

ValueCheck checkSettingValue(const SettingRow &setting, const QString &given, Language language)
{
    const auto refused = [&] {
        return ValueCheck{std::nullopt, allowedValues(setting, language)};
    };
    switch (setting.kind()) {
    case SettingKind::YesNo:
        if (given.compare(u"True"_s, Qt::CaseInsensitive) == 0)
            return {u"True"_s, {}};
        if (given.compare(u"False"_s, Qt::CaseInsensitive) == 0)
            return {u"False"_s, {}};
        return refused();
    case SettingKind::Integer:
        if (const auto max = spinMaximum(setting.type)) {
            bool ok = false;
            const int number = given.trimmed().toInt(&ok);
            if (ok && number >= 0 && number <= *max)
                return {QString::number(number), {}};
            return refused();
        }
        if (const auto number = integerCellValue(given))
            return {QString::number(*number), {}};
        return refused();
    case SettingKind::Text:
        if (isListType(setting.type)) {
            for (const QString &item : listSettingItems(setting.name)) {
                if (item.compare(given, Qt::CaseInsensitive) == 0)
                    return {item, {}};
            }
            return refused();
        }
        if (isReadErrorText(given)
            || std::any_of(given.begin(), given.end(), [](QChar c) { return c.unicode() < 0x20; }))
            return refused();
        return {given, {}};
    case SettingKind::None:
        break;
    }
    return refused();
}

QString heldToRange(const SettingRow &setting, const QString &text)
{
    const auto max = spinMaximum(setting.type);
    if (setting.kind() != SettingKind::Integer || !max)
        return text;
    bool ok = false;
    const qlonglong number = text.trimmed().toLongLong(&ok);
    return ok ? QString::number(std::clamp<qlonglong>(number, 0, *max)) : text;
}
