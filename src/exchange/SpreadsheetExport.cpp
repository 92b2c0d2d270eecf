#include "SpreadsheetExport.h"

#include "AtomicSave.h"
#include "ProgramFolder.h"
#include "RecordArchive.h"
#include "ShortString.h"

#include <vector>

namespace vinarca {

namespace {

ExportColumn col(const char* title, int gridWidth, bool editable, const char* field, int fileWidth = 280)
{
    return {QString::fromUtf8(title), gridWidth, editable, QString::fromLatin1(field), fileWidth};
}

QList<ExportColumn> labelColumns()
{
    // The nine label lines in the order they stand on the label, not the record order.
    return {col("Prodotto", 250, false, "Prodotto"),
            col("Imbottigliatore", 250, false, "Imbottigliatore"),
            col("Lotto", 200, false, "Lotto", 250),
            col("Prezzo", 160, true, "Prezzo", 200),
            col("Etichetta rigo 1", 250, true, "Cima"),
            col("Etichetta rigo 2", 250, true, "Nome"),
            col("Etichetta rigo 3", 250, true, "Rosso"),
            col("Etichetta rigo 4", 250, false, "Sottotitolo"),
            col("Etichetta rigo 5", 250, false, "Rigo01"),
            col("Etichetta rigo 6", 250, true, "Rigo02"),
            col("Etichetta rigo 7", 250, false, "Rigo03"),
            col("Etichetta rigo 8", 250, false, "Rigo04"),
            col("Etichetta rigo 9", 250, false, "Calce"),
            col("Note", 350, true, "Note", 400)};
}

// Appends the text escaped for the markup, as Windows-1252 bytes. Characters
// the code page lacks and control characters (a line break inside a cell would
// be a line break in the file) go in as numeric references, so the cell keeps
// them and nothing turns into '?'.
void appendEscaped(QByteArray& out, const QString& text)
{
    const auto reference = [&out](char32_t code) {
        out += "&#";
        out += QByteArray::number(static_cast<uint>(code));
        out += ';';
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        switch (u) {
        case '&': out += "&amp;"; continue;
        case '<': out += "&lt;"; continue;
        case '>': out += "&gt;"; continue;
        case '"': out += "&quot;"; continue;
        default: break;
        }
        if (u >= 32 && u < 0x80) {
            out += static_cast<char>(u);
        } else if (u >= 0xA0 && u <= 0xFF) {
            out += static_cast<char>(u);
        } else if (u < 32) {
            reference(u);
        } else if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            reference(QChar::surrogateToUcs4(u, text.at(i + 1).unicode()));
            ++i;
        } else if (QChar::isSurrogate(u)) {
            reference(0xFFFD);
        } else {
            const QByteArray byte = toWindows1252(QString(QChar(u)));
            if (byte == "?")
                reference(u);
            else
                out += byte;
        }
    }
}

} // namespace

const ExportVariant& wineExportVariant()
{
    static const ExportVariant variant{
        QStringLiteral("frmExpVini"),
        QStringLiteral(" Esporta catalogo vini in Microsoft Excel"),
        QStringLiteral("Catalogo_Vini.xls"),
        QStringLiteral("Catalogo Vini"),
        HelpTopic::WineExport,
        {col("Nome vino", 250, false, "Nome"),
         col("Produttore", 250, false, "Produttore"),
         col("Designazione", 200, false, "Designazione"),
         col("Nazione", 200, false, "Nazione"),
         col("Regione", 200, false, "Regione"),
         col("Zona", 200, false, "Zona"),
         col("Cantina", 200, false, "Cantina"),
         col("Annata", 200, false, "Annata"),
         col("Invecchiamento", 200, false, "Invecchiamento"),
         col("Maturazione", 200, true, "Maturazione"),
         col("Colore", 200, true, "Colore"),
         col("Profumo", 200, true, "Profumo"),
         col("Gusto", 200, true, "Gusto"),
         col("Retrogusto", 200, true, "Retrogusto"),
         col("Grado alcolico", 200, true, "Grado"),
         col("Acidità", 200, true, "Acidita"),
         col("Sapidità", 200, true, "Sapidita"),
         col("Accostamenti gastronomici", 280, true, "Accostamenti"),
         col("Temperatura di servizio", 200, true, "Temperatura"),
         col("Fornitore", 250, true, "Fornitore"),
         col("Giacenza", 150, true, "Giacenza", 200),
         col("Prezzo", 150, true, "Prezzo", 200),
         col("Contenitore per conservazione", 250, true, "Conservazione"),
         col("Contenitore per consumo", 250, true, "Consumo"),
         col("Note", 350, true, "Note", 400)}};
    return variant;
}

const ExportVariant& verticalLabelExportVariant()
{
    static const ExportVariant variant{QStringLiteral("frmExpVerticali"),
                                       QStringLiteral(" Esportazione archivio etichette in Microsoft Excel"),
                                       QStringLiteral("Etichette_Verticali.xls"),
                                       QStringLiteral("Etichette Verticali"),
                                       HelpTopic::LabelExport,
                                       labelColumns()};
    return variant;
}

const ExportVariant& horizontalLabelExportVariant()
{
    static const ExportVariant variant{QStringLiteral("frmExpOrizzontali"),
                                       QStringLiteral(" Esportazione archivio etichette in Microsoft Excel"),
                                       QStringLiteral("Etichette_Orizzontali.xls"),
                                       QStringLiteral("Etichette Orizzontali"),
                                       HelpTopic::LabelExport,
                                       labelColumns()};
    return variant;
}

QList<QStringList> loadExportRows(const RecordKind& kind, const ExportVariant& variant)
{
    std::vector<int> fields;
    for (const ExportColumn& column : variant.columns)
        fields.push_back(kind.field(column.field));

    QList<QStringList> rows;
    try {
        RecordArchive archive(kind.archivePath(), *kind.layout, RecordArchive::Access::Read);
        rows.reserve(archive.count());
        QByteArray record;
        while (archive.readNext(record)) {
            QStringList row;
            row.reserve(static_cast<qsizetype>(fields.size()));
            for (int field : fields)
                row.append(kind.layout->decodeField(record, field));
            rows.append(std::move(row));
        }
    } catch (const ArchiveError&) {
        // Loading is not reported: the grid shows what was read so far.
    }
    return rows;
}

QByteArray spreadsheetBytes(const ExportVariant& variant, const QList<QStringList>& rows)
{
    QByteArray out;
    out += "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\""
           " xmlns:x=\"urn:schemas-microsoft-com:office:excel\""
           " xmlns=\"http://www.w3.org/TR/REC-html40\">"
           "<head>"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
           "<!--[if gte mso 9]><xml>"
           "<x:ExcelWorkbook><x:ExcelWorksheets><x:ExcelWorksheet>"
           "<x:Name>";
    appendEscaped(out, variant.worksheet);
    out += "</x:Name>"
           "<x:WorksheetOptions><x:Selected/><x:Panes><x:Pane><x:Number>1</x:Number>"
           "<x:ActiveRow>3</x:ActiveRow></x:Pane></x:Panes>"
           "<x:ProtectContents>False</x:ProtectContents><x:ProtectObjects>False</x:ProtectObjects>"
           "<x:ProtectScenarios>False</x:ProtectScenarios>"
           "</x:WorksheetOptions></x:ExcelWorksheet></x:ExcelWorksheets></x:ExcelWorkbook>"
           "</xml><![endif]-->"
           "</head><body><table x:str>";

    out += "<tr>";
    for (const ExportColumn& column : variant.columns) {
        out += "<td style=\"text-align: left; font-weight: bold;\" width=";
        out += QByteArray::number(column.fileWidth);
        out += '>';
        appendEscaped(out, column.title);
        out += "</td>";
    }
    out += "</tr>";

    const qsizetype columnCount = variant.columns.size();
    for (const QStringList& row : rows) {
        out += "<tr>";
        for (qsizetype c = 0; c < columnCount; ++c) {
            out += "<td style=\"text-align: left;\">";
            if (c < row.size())
                appendEscaped(out, trimControl(row.at(c)));
            out += "</td>";
        }
        out += "</tr>";
    }
    out += "</table></body></html>";
    return out;
}

QString exportFilePath(const ExportVariant& variant)
{
    return ProgramFolder() + variant.exportFile;
}

bool writeSpreadsheet(const QString& path, const ExportVariant& variant, const QList<QStringList>& rows)
{
    return saveWholeFile(path, spreadsheetBytes(variant, rows));
}

} // namespace vinarca
