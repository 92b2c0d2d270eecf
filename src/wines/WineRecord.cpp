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

namespace {

FieldFacts wineField(const char* field, const char* caption, int gridWidth, bool editable, int fileWidth = 280,
                     CellType cell = CellType::Text)
{
    return {QString::fromLatin1(field), QString::fromUtf8(caption), {}, gridWidth, editable, fileWidth, cell};
}

// The captions of the editor and the search and the export's columns, in
// the export's order; the astringency has a box but no column.
QList<FieldFacts> wineFields()
{
    return {wineField("Nome", "Nome vino", 250, false),
            wineField("Produttore", "Produttore", 250, false),
            wineField("Designazione", "Designazione", 200, false),
            wineField("Nazione", "Nazione", 200, false),
            wineField("Regione", "Regione", 200, false),
            wineField("Zona", "Zona", 200, false),
            wineField("Cantina", "Cantina", 200, false),
            wineField("Annata", "Annata", 200, false),
            wineField("Invecchiamento", "Invecchiamento", 200, false),
            wineField("Maturazione", "Maturazione", 200, true),
            wineField("Colore", "Colore", 200, true),
            wineField("Profumo", "Profumo", 200, true),
            wineField("Gusto", "Gusto", 200, true),
            wineField("Retrogusto", "Retrogusto", 200, true),
            wineField("Grado", "Grado alcolico", 200, true),
            wineField("Acidita", "Acidità", 200, true),
            wineField("Sapidita", "Sapidità", 200, true),
            wineField("Accostamenti", "Accostamenti gastronomici", 280, true),
            wineField("Astringenza", "Astringenza", 0, false),
            wineField("Temperatura", "Temperatura di servizio", 200, true),
            wineField("Fornitore", "Fornitore", 250, true),
            wineField("Giacenza", "Giacenza", 150, true, 200, CellType::Quantity),
            wineField("Prezzo", "Prezzo", 150, true, 200, CellType::Money),
            wineField("Conservazione", "Contenitore per conservazione", 250, true),
            wineField("Consumo", "Contenitore per consumo", 250, true),
            wineField("Note", "Note", 350, true, 400)};
}

} // namespace

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
        wineFields(),
        {QStringLiteral("frmExpVini"), QStringLiteral(" Esporta catalogo vini in Microsoft Excel"),
         QStringLiteral("Catalogo_Vini.xls"), QStringLiteral("Catalogo Vini"), HelpTopic::WineExport},
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
