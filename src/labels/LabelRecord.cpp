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
} // namespace

const LabelKind& verticalLabelKind()
{
    static const LabelKind kind{
        {QStringLiteral("Etichette_Verticali.pro"), &labelLayout(), QStringLiteral("Logo_Etichette_Verticali"),
         QStringLiteral("Logo_"), productRequired()},
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
        {QStringLiteral("Etichette_Orizzontali.pro"), &labelLayout(), QStringLiteral("Logo_Etichette_Orizzontali"),
         QStringLiteral("Logo_"), productRequired()},
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
