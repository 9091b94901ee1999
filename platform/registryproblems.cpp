#include "registryproblems.h"

#include <QDir>

using namespace Qt::Literals::StringLiterals;

QString registryFileProblemText(const RegistryFileProblem &problem, Language language)
{
    const bool italian = language == Language::Italian;
    const QString file = QDir::toNativeSeparators(problem.path);
    const QString system = systemErrorText(problem.errorNumber, problem.systemError, language);
    QString detail = problem.fault == RegistryFileFault::System
        ? system
        : registryFileFaultText(problem.fault, language);
    if (problem.fault != RegistryFileFault::System && !system.isEmpty())
        detail += u" ("_s + system + u')';
    using Kind = RegistryFileProblem::Kind;
    switch (problem.kind) {
    case Kind::Damaged:
        if (problem.line > 0) {
            return (italian
                        ? u"Il file delle impostazioni %1 è danneggiato alla riga %2 (%3).\r"
                          u"Il file resta com'è: Ordevan non lo modifica finché non viene riparato."_s
                        : u"The settings file %1 is damaged at line %2 (%3).\r"
                          u"The file is left as it is: Ordevan will not change it until it is repaired."_s)
                .arg(file, QString::number(problem.line), detail);
        }
        return (italian
                    ? u"Il file delle impostazioni %1 è danneggiato (%2).\r"
                      u"Il file resta com'è: Ordevan non lo modifica finché non viene riparato."_s
                    : u"The settings file %1 is damaged (%2).\r"
                      u"The file is left as it is: Ordevan will not change it until it is repaired."_s)
            .arg(file, detail);
    case Kind::Unreadable:
        return (italian ? u"Impossibile leggere il file delle impostazioni %1: %2."_s
                        : u"The settings file %1 cannot be read: %2."_s)
            .arg(file, detail);
    case Kind::Unwritable:
        return (italian ? u"Impossibile salvare il file delle impostazioni %1: %2.\r"
                          u"La modifica non è stata salvata."_s
                        : u"The settings file %1 cannot be saved: %2.\r"
                          u"The change was not stored."_s)
            .arg(file, detail);
    case Kind::Locked:
        return (italian ? u"Il file delle impostazioni %1 è bloccato da un altro programma.\r"
                          u"La modifica non è stata salvata."_s
                        : u"The settings file %1 is locked by another program.\r"
                          u"The change was not stored."_s)
            .arg(file);
    }
    return {};
}

ERegistryStoreError registryFileError(const RegistryFileProblem &problem)
{
    return ERegistryStoreError(
        registryFileProblemText(problem, Language::English).toStdU16String(),
        registryFileProblemText(problem, Language::Italian).toStdU16String());
}
