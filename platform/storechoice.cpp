#include "storechoice.h"

#include <QDir>

using namespace Qt::Literals::StringLiterals;

QString StoreChoice::description(Language language) const
{
    const bool italian = language == Language::Italian;
    const QString where = QDir::toNativeSeparators(path);
    switch (kind) {
    case Kind::Registry:
        return italian ? u"il registro di Windows"_s : u"the Windows registry"_s;
    case Kind::WinePrefix:
        return (italian ? u"il prefisso di Wine %1"_s : u"the Wine prefix %1"_s).arg(where);
    case Kind::File:
        return (italian ? u"il file delle impostazioni %1"_s : u"the settings file %1"_s)
            .arg(where);
    }
    return {};
}

QString StoreChoice::location(Language language) const
{
    const bool italian = language == Language::Italian;
    // Italian joins "in" and the article: "nel prefisso", not "in il prefisso".
    const QString text = description(language);
    return italian ? u"nel"_s + text.mid(text.indexOf(u' ')) : u"in "_s + text;
}

QString storeOptionsUsage([[maybe_unused]] qsizetype column)
{
#ifdef Q_OS_WIN
    return {}; // the registry is the only store
#else
    const qsizetype width = column - 3; // after the indent of two, before a space
    const auto line = [width](const QString &option, const QString &meaning) -> QString {
        return u"  "_s + option.leftJustified(width) + u' ' + meaning + u'\n';
    };
    return line(u"--wine-prefix DIR"_s, u"edit the settings in the Wine prefix DIR"_s)
        + line(u"--settings-file FILE"_s, u"edit the settings in the registry-export file FILE"_s);
#endif
}

std::optional<StoreOptions> parseStoreOptions(const QStringList &arguments, QString *error,
                                              QStringList *rest)
{
    StoreOptions options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        std::optional<QString> *option = nullptr;
        QString name = argument.section(u'=', 0, 0);
        if (name == u"--wine-prefix"_s)
            option = &options.winePrefix;
        else if (name == u"--settings-file"_s)
            option = &options.settingsFile;
        if (!option) {
            if (rest) {
                rest->append(argument);
                continue;
            }
            *error = u"unknown option %1"_s.arg(argument);
            return std::nullopt;
        }
        QString value;
        if (argument.contains(u'=')) {
            value = argument.section(u'=', 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        }
        if (value.isEmpty()) {
            *error = u"%1 needs a path"_s.arg(name);
            return std::nullopt;
        }
        *option = QDir::cleanPath(QDir::current().absoluteFilePath(value));
    }
    if (options.winePrefix && options.settingsFile) {
        *error = u"--wine-prefix and --settings-file cannot be given together"_s;
        return std::nullopt;
    }
    return options;
}
