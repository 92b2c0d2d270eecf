#include "WineRecord.h"


namespace vinarca {

const RecordLayout& wineLayout()
{
    static const RecordLayout layout{
        {"Nome", 50},          {"Produttore", 50},   {"Designazione", 50}, {"Nazione", 50},
        {"Regione", 50},       {"Zona", 50},         {"Cantina", 50},      {"Annata", 50},
        {"Invecchiamento", 50}, {"Maturazione", 50}, {"Colore", 50},       {"Profumo", 50},
        {"Gusto", 50},         {"Retrogusto", 50},   {"Grado", 50},        {"Acidita", 50},
        {"Sapidita", 50},      {"Accostamenti", 50}, {"Astringenza", 50},  {"Temperatura", 50},
        {"Fornitore", 50},     {"Giacenza", 50},     {"Prezzo", 15},       {"Conservazione", 50},
        {"Consumo", 50},       {"Note", 250},        {"File01", 250},      {"File02", 250},
        {"File03", 250},       {"Desc01", 250},      {"Desc02", 250},      {"Desc03", 250},
    };
    return layout;
}

const RecordKind& wineKind()
{
    static const RecordKind kind{
        QStringLiteral("Catalogo_Vini.pro"),
        &wineLayout(),
        QStringLiteral("Catalogo_Vini"),
        QStringLiteral("Catalogo_Vini_Foto_"),
        {{QStringLiteral("Nome"), QStringLiteral("Attenzione: per salvare la scheda è necessario indicare il nome del vino.")},
         {QStringLiteral("Produttore"),
          QStringLiteral("Attenzione: per salvare la scheda è necessario indicare il produttore del vino.")}},
    };
    return kind;
}

QString wineArchivePath()
{
    return wineKind().archivePath();
}

QString winePhotoFolder()
{
    return wineKind().pictureFolderPath();
}

QString WinePhotoPath(const QString& position)
{
    return wineKind().picturePath(position);
}

} // namespace vinarca
