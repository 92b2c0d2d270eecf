#include "LabelRecord.h"

#include "LabelDrawing.h"

namespace vinarca {

const RecordLayout& labelLayout()
{
    static const RecordLayout layout{
        {"Prodotto", 50}, {"Imbottigliatore", 50}, {"Lotto", 50}, {"Prezzo", 15},  {"Cima", 100},
        {"Nome", 50},     {"Sottotitolo", 50},     {"Rigo01", 100}, {"Rigo02", 100}, {"Rigo03", 100},
        {"Rigo04", 100},  {"Rosso", 100},          {"Calce", 100}, {"Note", 250},   {"File01", 250},
        {"File02", 250},  {"File03", 250},         {"Desc01", 250}, {"Desc02", 250}, {"Desc03", 250},
    };
    return layout;
}

QString labelLineField(LabelLine line)
{
    static const char* const kFields[kLabelLineCount] = {"Cima",   "Nome",   "Rosso",  "Sottotitolo", "Rigo01",
                                                         "Rigo02", "Rigo03", "Rigo04", "Calce"};
    return QString::fromLatin1(kFields[static_cast<int>(line)]);
}

namespace {
QList<RequiredField> productRequired()
{
    return {{QStringLiteral("Prodotto"),
             QStringLiteral("Attenzione: per salvare la scheda è necessario indicare il nome del prodotto.")}};
}

FieldFacts labelField(const char* field, const char* caption, const char* exportTitle, int gridWidth, bool editable,
                      int fileWidth = 280, CellType cell = CellType::Text)
{
    return {QString::fromLatin1(field), QString::fromUtf8(caption), QString::fromUtf8(exportTitle), gridWidth,
            editable, fileWidth, cell};
}

// The editor's captions and the export's columns: the nine label lines in
// the order they stand on the label, not the record order, titled by that
// order since the editor shows them on the label without captions.
QList<FieldFacts> labelFields()
{
    return {labelField("Prodotto", "Prodotto", "", 250, false),
            labelField("Imbottigliatore", "Imbottigliatore", "", 250, false),
            labelField("Lotto", "Lotto", "", 200, false, 250),
            labelField("Prezzo", "Prezzo", "", 160, true, 200, CellType::Money),
            labelField("Cima", "", "Etichetta rigo 1", 250, true),
            labelField("Nome", "", "Etichetta rigo 2", 250, true),
            labelField("Rosso", "", "Etichetta rigo 3", 250, true),
            labelField("Sottotitolo", "", "Etichetta rigo 4", 250, false),
            labelField("Rigo01", "", "Etichetta rigo 5", 250, false),
            labelField("Rigo02", "", "Etichetta rigo 6", 250, true),
            labelField("Rigo03", "", "Etichetta rigo 7", 250, false),
            labelField("Rigo04", "", "Etichetta rigo 8", 250, false),
            labelField("Calce", "", "Etichetta rigo 9", 250, false),
            labelField("Note", "Note", "", 350, true, 400)};
}

RecordKind labelRecordKind(const char* archive, const char* logoFolder, const char* exportWindow, const char* exportFile,
                           const char* worksheet)
{
    return {QString::fromLatin1(archive),
            &labelLayout(),
            QString::fromLatin1(logoFolder),
            QStringLiteral("Logo_"),
            productRequired(),
            labelFields(),
            {QString::fromLatin1(exportWindow), QStringLiteral(" Esportazione archivio etichette in Microsoft Excel"),
             QString::fromLatin1(exportFile), QString::fromLatin1(worksheet), HelpTopic::LabelExport}};
}
} // namespace

const LabelKind& verticalLabelKind()
{
    static const LabelKind kind{
        labelRecordKind("Etichette_Verticali.pro", "Logo_Etichette_Verticali", "frmExpVerticali",
                        "Etichette_Verticali.xls", "Etichette Verticali"),
        QStringLiteral("frmVerticali"),
        QStringLiteral(" Vinarca - Etichette verticali"),
        QStringLiteral("verticali"),
        QStringLiteral(":/labels/logo_verticale"),
        QStringLiteral(":/labels/cornice_verticale"),
        QSizeF(95, 120),
        QPoint(605, 167),
        &verticalGeometry(),
        QStringLiteral(":/labels/reports/etichetta_verticale.json"),
        QStringLiteral(":/labels/logo_verticale.svg"),
        QStringLiteral("frmStampaVerticale"),
        QStringLiteral("frmAnteprimaVerticale"),
        QStringLiteral("frmTrovaEtichetteVer"),
        &verticalLabelWindows,
    };
    return kind;
}

const LabelKind& horizontalLabelKind()
{
    static const LabelKind kind{
        labelRecordKind("Etichette_Orizzontali.pro", "Logo_Etichette_Orizzontali", "frmExpOrizzontali",
                        "Etichette_Orizzontali.xls", "Etichette Orizzontali"),
        QStringLiteral("frmOrizzontali"),
        QStringLiteral(" Vinarca - Etichette orizzontali"),
        QStringLiteral("orizzontali"),
        QStringLiteral(":/labels/logo_orizzontale"),
        QStringLiteral(":/labels/cornice_orizzontale"),
        QSizeF(110, 85),
        QPoint(548, 204),
        &horizontalGeometry(),
        QStringLiteral(":/labels/reports/etichetta_orizzontale.json"),
        QStringLiteral(":/labels/logo_orizzontale.svg"),
        QStringLiteral("frmStampaOrizzontale"),
        QStringLiteral("frmAnteprimaOrizzontale"),
        QStringLiteral("frmTrovaEtichetteOri"),
        &horizontalLabelWindows,
    };
    return kind;
}

} // namespace vinarca
