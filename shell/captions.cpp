#include "captions.h"

using namespace Qt::Literals::StringLiterals;

const QList<CaptionRow> &captionTable()
{
    static const QList<CaptionRow> table = {
        {u"Panel3"_s, u"Opzioni:"_s, u"Settings:"_s, u"Settaggi:"_s},
        {u"BtnGenerali"_s, u"Generali"_s, u"General"_s, u"Generali"_s},
        {u"BtnCopia"_s, u"Copia"_s, u"Copy"_s, u"Copia"_s},
        {u"BtnSettaggi"_s, u"Settaggi"_s, u"Options"_s, u"Opzioni"_s},
        {u"BtnPath"_s, u"Path Dati"_s, u"Data Path"_s, u"Path Dati"_s},
        {u"BtnProfili"_s, u"Profili"_s, u"Profiles"_s, u"Profili"_s},
        {u"BtnPercorso"_s, u"Percorso"_s, u"Path"_s, u"Percorso"_s},
        {u"BtnAvvia"_s, u"Avvia INSTANT COPY"_s, u"Run INSTANTCOPY"_s, u"Avvia INSTANTCOPY"_s},
        {u"DefaultBtn"_s, u"Ripristina Default"_s, u"Restore Default"_s, u"Ripristina Default"_s},
        {u"ReadBtn"_s, u"Rileggi Parametri"_s, u"Read Settings"_s, u"Rileggi Impostazioni"_s},
        {u"SaveBtn"_s, u"Salva Parametri"_s, u"Save Settings"_s, u"Salva Impostazioni"_s},
        {u"Label3"_s, u", Hidden Registry Settings Editor For InstantCopy 8.0 to 8.3"_s,
         u", Hidden Registry Settings Editor For InstantCopy 8.0.0 to 8.0.3"_s,
         u", Editor Impostazioni Registro Per InstantCopy da 8.0.0 a 8.0.3"_s},
        {u"CbWarning"_s, u"Disabilita WARNING iniziale"_s, u"Disable WARNING Dialog"_s,
         u"Disabilita WARNING Iniziale"_s},
        {u"RbUnaLista"_s, u"Solo questa lista"_s, u"This List Only"_s, u"Solo Questa Lista"_s},
        {u"RbTutteListe"_s, u"Tutte le liste"_s, u"All Lists"_s, u"Tutte Le Liste"_s},
        {u"Panel8"_s, u"Settaggi Generali"_s, u"General"_s, u"Generali"_s},
        {u"Panel4"_s, u"Parametri Copia"_s, u"Copy"_s, u"Copia"_s},
        {u"Panel10"_s, u"Settaggi Utente"_s, u"Options"_s, u"Opzioni"_s},
        {u"Panel14"_s, u"Path Dati (percorsi)"_s, u"Data Path"_s, u"Percorso Dati"_s},
        {u"Panel12"_s, u"Profili"_s, u"Profiles"_s, u"Profili"_s},
        {u"Label2"_s, u"Gestione profili:"_s, u"Profiles Management:"_s, u"Gestione Profili:"_s},
        {u"Label1"_s,
         u"Non è stata implementata nella versione 8.0 di InstantCopy; cercherò di scriverne "
         u"una io (nella prossima release, se ho tempo) perchè penso possa essere utile poter "
         u"lanciare InstantCopy con parametri personalizzati, senza dover impostare ogni volta "
         u"il programma."_s,
         u"Not implemented into release 8.0.0 / 8.0.3 of InstantCopy."_s,
         u"Non implementata nella versione 8.0.0 / 8.0.3 di InstantCopy; cercherò di scriverne "
         u"una io (se ho tempo) perchè penso possa essere utile poter lanciare InstantCopy con "
         u"i parametri personalizzati, senza dover impostare ogni volta il programma."_s},
        {u"Label4"_s, u"Versione IC:"_s, u"IC version:"_s, u"Versione IC:"_s},
        {u"Label5"_s, u"Standard"_s, u"Standard"_s, u"Standard"_s},
        {u"Label6"_s, u"Specifico versione"_s, u"Version Specific"_s, u"Specifico versione"_s},
        {u"Label7"_s, u"Non disponibile"_s, u"Unavailable"_s, u"Non disponibile"_s},
        {u"Label8"_s, u"Valore:"_s, u"Value:"_s, u"Valore:"_s},
    };
    return table;
}
