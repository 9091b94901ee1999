#include "registryfaults.h"

#include <array>
#include <cerrno>
#include <utility>

using namespace Qt::Literals::StringLiterals;

QString registryFileFaultText(RegistryFileFault fault, Language language)
{
    // English and Italian, in the order of the enumeration.
    static const std::array<std::pair<QString, QString>, 27> texts = {{
        {u"the file is larger than 64 MiB"_s, u"il file è più grande di 64 MiB"_s},
        {u"the file ends in the middle of a character"_s,
         u"il file finisce a metà di un carattere"_s},
        {u"big-endian UTF-16 is not a registry-export encoding"_s,
         u"l'UTF-16 big-endian non è una codifica dei file di esportazione del registro"_s},
        {u"the first line is not a registry-export header"_s,
         u"la prima riga non è l'intestazione di un'esportazione del registro"_s},
        {u"a value outside of any key"_s, u"un valore fuori da ogni chiave"_s},
        {u"a line that is neither a key nor a value"_s,
         u"una riga che non è né una chiave né un valore"_s},
        {u"a key name without its closing bracket"_s,
         u"un nome di chiave senza la parentesi di chiusura"_s},
        {u"text after a key name"_s, u"testo dopo un nome di chiave"_s},
        {u"an empty key name"_s, u"un nome di chiave vuoto"_s},
        {u"a value name without its closing quote"_s,
         u"un nome di valore senza le virgolette di chiusura"_s},
        {u"a value name not followed by \"=\""_s, u"un nome di valore non seguito da \"=\""_s},
        {u"a text value without its closing quote"_s,
         u"un valore di testo senza le virgolette di chiusura"_s},
        {u"text after a quoted value"_s, u"testo dopo un valore tra virgolette"_s},
        {u"a dword value that is not 1 to 8 hexadecimal digits"_s,
         u"un valore dword che non è di 1-8 cifre esadecimali"_s},
        {u"a value of unknown form"_s, u"un valore di forma sconosciuta"_s},
        {u"a hex value with a bad type number"_s,
         u"un valore hex con un numero di tipo non valido"_s},
        {u"a hex value without \":\""_s, u"un valore hex senza \":\""_s},
        {u"hex data continued past the end of the file"_s,
         u"dati hex che continuano oltre la fine del file"_s},
        {u"hex data that is not a list of two-digit bytes"_s,
         u"dati hex che non sono un elenco di byte di due cifre"_s},
        {u"it is not a regular file"_s, u"non è un file normale"_s},
        {u"the first line is not \"WINE REGISTRY Version 2\""_s,
         u"la prima riga non è \"WINE REGISTRY Version 2\""_s},
        {u"an architecture Wine does not know"_s, u"un'architettura che Wine non conosce"_s},
        {u"bytes that are not UTF-8 text"_s, u"byte che non sono testo UTF-8"_s},
        {u"its folder cannot be created"_s, u"la sua cartella non può essere creata"_s},
        {u"its lock file cannot be created"_s, u"il suo file di blocco non può essere creato"_s},
        {u"another program keeps it locked"_s, u"un altro programma lo tiene bloccato"_s},
        {QString(), QString()},
    }};
    const auto &[english, italianText] = texts[static_cast<std::size_t>(fault)];
    return language == Language::Italian ? italianText : english;
}

QString systemErrorText(int errorNumber, const QString &systemWords, Language language)
{
    struct Words
    {
        int number;
        const char16_t *english;
        const char16_t *italian;
    };
    static const Words words[] = {
        {ENOENT, u"it does not exist", u"non esiste"},
        {EACCES, u"permission denied", u"permesso negato"},
        {EPERM, u"operation not permitted", u"operazione non permessa"},
        {ENOSPC, u"no space left on the disk", u"spazio esaurito sul disco"},
        {EROFS, u"the file system is read-only", u"il file system è di sola lettura"},
        {EIO, u"input/output error", u"errore di input/output"},
        {EISDIR, u"it is a folder", u"è una cartella"},
        {ENOTDIR, u"a folder on its path is a file", u"una cartella del percorso è un file"},
        {EBUSY, u"it is in use", u"è in uso"},
#ifdef EDQUOT
        {EDQUOT, u"the disk quota is exceeded", u"la quota del disco è superata"},
#endif
#ifdef ELOOP
        {ELOOP, u"too many symbolic links", u"troppi collegamenti simbolici"},
#endif
    };
    for (const Words &known : words) {
        if (known.number == errorNumber && errorNumber != 0)
            return QString::fromUtf16(language == Language::Italian ? known.italian
                                                                    : known.english);
    }
    return systemWords;
}
