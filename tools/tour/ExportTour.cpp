#include "ExportTour.h"

#include "AllegaCartella.h"
#include "ExportWindow.h"
#include "ImportWindow.h"
#include "LabelRecord.h"
#include "RecordArchive.h"
#include "WineRecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>

#include <cstdio>

using namespace vinarca;

namespace {

bool shoot(const QString& out, const QString& name, QWidget& window)
{
    window.show();
    QCoreApplication::processEvents();
    const QString path = out + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

void writeSampleLabels(const RecordKind& kind)
{
    static const char* const kProducts[] = {"Barbera d'Asti", "Grappa di Moscato", "Limoncello", "Nebbiolo d'Alba",
                                            "Passito di Pantelleria"};
    RecordArchive archive(kind.archivePath(), *kind.layout, RecordArchive::Access::Write);
    int n = 0;
    for (const char* product : kProducts) {
        ++n;
        QByteArray record = kind.layout->emptyRecord();
        const auto put = [&](const char* field, const QString& text) {
            kind.layout->encodeField(record, kind.field(QLatin1String(field)), text);
        };
        put("Prodotto", QString::fromUtf8(product));
        put("Imbottigliatore", QStringLiteral("Cantina Sociale di Nizza"));
        put("Lotto", QStringLiteral("L-23%1").arg(n));
        put("Prezzo", QStringLiteral("%1,50").arg(8 + n));
        put("Cima", QStringLiteral("Imbottigliato all'origine"));
        put("Nome", QString::fromUtf8(product));
        put("Rosso", QStringLiteral("Denominazione di Origine Controllata"));
        put("Sottotitolo", QStringLiteral("Vigna del Bricco"));
        put("Rigo01", QStringLiteral("Vino secco e armonico"));
        put("Note", QStringLiteral("Più venduto a dicembre"));
        archive.append(record);
    }
}

} // namespace

int tourExport(const QString& outFolder)
{
    int failures = 0;
    writeSampleLabels(verticalLabelKind().record);
    writeSampleLabels(horizontalLabelKind().record);
    {
        TfrmExpVini window(wineKind(), nullptr);
        failures += !shoot(outFolder, QStringLiteral("esporta_vini"), window);
    }
    {
        // A shop's list as it comes: semicolons, a column no field takes,
        // a row without a name and a price in words, checked.
        const QString list = QDir::temp().filePath(QStringLiteral("vinarca-tour-listino.csv"));
        QFile file(list);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            file.write("Vino;Azienda;Annata;Codice;Quantit\xC3\xA0;Prezzo \xE2\x82\xAC;Foto\r\n"
                       "Barbera d'Asti;Cantina Sociale di Nizza;2021;B21;24;9,50;\r\n"
                       "Nebbiolo d'Alba;Rocca;2019;N19;6;18,00;\r\n"
                       ";Rocca;2020;N20;6;17,00;\r\n"
                       "Passito di Pantelleria;Ferrandes;2018;P18;3;su richiesta;passito.jpg\r\n");
            file.close();
        }
        ImportWindow window(wineKind(), nullptr);
        window.openFile(list);
        window.cmdVerificaClick();
        failures += !shoot(outFolder, QStringLiteral("importa_vini"), window);
        QFile::remove(list);
    }
    {
        TfrmExpVerticali window(verticalLabelKind().record, nullptr);
        failures += !shoot(outFolder, QStringLiteral("esporta_verticali"), window);
    }
    {
        TfrmExpOrizzontali window(horizontalLabelKind().record, nullptr);
        failures += !shoot(outFolder, QStringLiteral("esporta_orizzontali"), window);
    }
    {
        TfrmAllegaCartella window;
        window.fill(QStringLiteral("vini"),
                    {{QStringLiteral("Fattura_2023_118.pdf"), QStringLiteral("Movimenti_cantina.txt"), QString()},
                     {QStringLiteral("Fattura d'acquisto del fornitore"), QStringLiteral("Carico e scarico"),
                      QStringLiteral("Scheda tecnica (da allegare)")}},
                    {});
        failures += !shoot(outFolder, QStringLiteral("allega_file"), window);
    }
    return failures;
}
