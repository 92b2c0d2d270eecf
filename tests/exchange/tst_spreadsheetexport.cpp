#include "LabelRecord.h"
#include "RecordArchive.h"
#include "ScriptedPlatform.h"
#include "ShortString.h"
#include "SpreadsheetExport.h"
#include "TestFiles.h"
#include "WineRecord.h"

#include <QtTest>

#include <cstring>
#include <stdexcept>

#include <csignal>
#include <sys/resource.h>

using namespace vinarca;

namespace {

// The file up to and including the opening of the table, for a worksheet name.
QByteArray head(const QByteArray& worksheet)
{
    return "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
           "xmlns:x=\"urn:schemas-microsoft-com:office:excel\" xmlns=\"http://www.w3.org/TR/REC-html40\">"
           "<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
           "<style>.t{mso-number-format:\"\\@\";text-align:left}.g{mso-number-format:General;text-align:left}"
           ".m{text-align:left}</style>"
           "<!--[if gte mso 9]><xml><x:ExcelWorkbook><x:ExcelWorksheets><x:ExcelWorksheet><x:Name>"
           + worksheet
           + "</x:Name><x:WorksheetOptions><x:Selected/><x:Panes><x:Pane><x:Number>1</x:Number>"
             "<x:ActiveRow>3</x:ActiveRow></x:Pane></x:Panes><x:ProtectContents>False</x:ProtectContents>"
             "<x:ProtectObjects>False</x:ProtectObjects><x:ProtectScenarios>False</x:ProtectScenarios>"
             "</x:WorksheetOptions></x:ExcelWorksheet></x:ExcelWorksheets></x:ExcelWorkbook>"
             "</xml><![endif]--></head><body><table x:str>";
}

QByteArray th(int width, const QByteArray& title)
{
    return "<td style=\"text-align: left; font-weight: bold;\" width=" + QByteArray::number(width) + ">" + title + "</td>";
}

QByteArray td(const QByteArray& text)
{
    return "<td class=t>" + text + "</td>";
}

// A number cell: the value in the notation every reader takes, the text as typed.
QByteArray money(const QByteArray& value, const QByteArray& text)
{
    return "<td class=m style=\"mso-number-format:Fixed\" x:num=\"" + value + "\" sdval=\"" + value
           + "\" sdnum=\"1033;0;0.00\">" + text + "</td>";
}

QByteArray quantity(const QByteArray& value, const QByteArray& text)
{
    return "<td class=g x:num=\"" + value + "\" sdval=\"" + value
           + "\" sdnum=\"1033;0;General\">" + text + "</td>";
}

// A row of text cells; a cell already in markup ("<td...") goes in as it is.
QByteArray row(const QList<QByteArray>& cells)
{
    QByteArray out = "<tr>";
    for (const QByteArray& c : cells)
        out += c.startsWith("<td") ? c : td(c);
    return out + "</tr>";
}

const QByteArray kTail = "</table></body></html>";

const QByteArray kWineHeader =
    "<tr>" + th(280, "Nome vino") + th(280, "Produttore") + th(280, "Designazione") + th(280, "Nazione")
    + th(280, "Regione") + th(280, "Zona") + th(280, "Cantina") + th(280, "Annata") + th(280, "Invecchiamento")
    + th(280, "Maturazione") + th(280, "Colore") + th(280, "Profumo") + th(280, "Gusto") + th(280, "Retrogusto")
    + th(280, "Grado alcolico") + th(280, "Acidit\xE0") + th(280, "Sapidit\xE0")
    + th(280, "Accostamenti gastronomici") + th(280, "Temperatura di servizio") + th(280, "Fornitore")
    + th(200, "Giacenza") + th(200, "Prezzo") + th(280, "Contenitore per conservazione")
    + th(280, "Contenitore per consumo") + th(400, "Note") + "</tr>";

const QByteArray kLabelHeader =
    "<tr>" + th(280, "Prodotto") + th(280, "Imbottigliatore") + th(250, "Lotto") + th(200, "Prezzo")
    + th(280, "Etichetta rigo 1") + th(280, "Etichetta rigo 2") + th(280, "Etichetta rigo 3")
    + th(280, "Etichetta rigo 4") + th(280, "Etichetta rigo 5") + th(280, "Etichetta rigo 6")
    + th(280, "Etichetta rigo 7") + th(280, "Etichetta rigo 8") + th(280, "Etichetta rigo 9") + th(400, "Note")
    + "</tr>";

// Appends a record whose named fields hold the given texts (the rest empty).
void appendRecord(const RecordKind& kind, const QList<std::pair<QString, QString>>& values)
{
    QByteArray record = kind.layout->emptyRecord();
    for (const auto& [field, text] : values)
        kind.layout->encodeField(record, kind.field(field), text);
    RecordArchive archive(kind.archivePath(), *kind.layout, RecordArchive::Access::Write);
    archive.append(record);
}

} // namespace

class TestSpreadsheetExport : public QObject
{
    Q_OBJECT
private slots:
    void everyColumnNamesAFieldOfItsKind();
    void fileBytesForEachKind_data();
    void fileBytesForEachKind();
    void emptyArchiveGivesNoRowsAndEmptyRowsGiveEmptyCells();
    void cellTextIsEscapedAndTrimmed_data();
    void cellTextIsEscapedAndTrimmed();
    void cellsKeepTheirType_data();
    void cellsKeepTheirType();
    void storedBytesAreWrittenAsTheirText();
    void storedNumbersAreWrittenAsTheirText_data();
    void storedNumbersAreWrittenAsTheirText();
    void editsTakeTheirPlaceAmongStoredRows();
    void aRecordGoneBeforeTheExportFailsIt();
    void failedWriteKeepsThePreviousFile();
};

void TestSpreadsheetExport::everyColumnNamesAFieldOfItsKind()
{
    // A misspelt field name would export a column of blanks; the kind refuses it.
    for (const RecordKind* kind : {&wineKind(), &verticalLabelKind().record, &horizontalLabelKind().record}) {
        for (const FieldFacts& facts : kind->fields)
            QVERIFY2(kind->field(facts.field) >= 0, qPrintable(facts.field));
    }
    RecordKind wrong = wineKind();
    wrong.fields[0].field = QStringLiteral("Nomi");
    TestWorld world;
    QVERIFY_THROWS_EXCEPTION(std::logic_error, ExportSheet{wrong});
}

void TestSpreadsheetExport::fileBytesForEachKind_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QByteArray>("expected");

    QByteArray wineRow1 = row({"Barolo \x80 d'\xE0nnata", "Cant\xECne Riunite", "DOCG", "Italia", "Piemonte", "Langhe",
                               "", "2016", "36 mesi", "", "Granato", "", "", "", "14,5%", "", "", "Brasato", "18 \xB0"
                               "C",
                               "", quantity("12", "12"), money("45", "45,00"), "", "", "Nota"});
    QList<QByteArray> second(25);
    second[0] = "Secondo";
    second[1] = "Io";
    second[20] = quantity("0", "0");
    second[21] = money("12.5", "12.50");
    QByteArray wineRow2 = row(second);
    QTest::newRow("wines, two records") << 0 << head("Catalogo Vini") + kWineHeader + wineRow1 + wineRow2 + kTail;

    QByteArray labelRow = row({"Grappa", "Distilleria", "L23", money("9.5", "9,50"), "CIMA", "NOME", "ROSSO", "Sotto", "R1", "R2",
                               "R3", "R4", "Calce", "\x80 nota"});
    QTest::newRow("vertical labels, lines in label order")
        << 1 << head("Etichette Verticali") + kLabelHeader + labelRow + kTail;
    QTest::newRow("horizontal labels, lines in label order")
        << 2 << head("Etichette Orizzontali") + kLabelHeader + labelRow + kTail;
}

void TestSpreadsheetExport::fileBytesForEachKind()
{
    QFETCH(int, which);
    QFETCH(QByteArray, expected);
    TestWorld world;
    const RecordKind& kind = which == 0 ? wineKind() : which == 1 ? verticalLabelKind().record : horizontalLabelKind().record;
    if (which == 0) {
        appendRecord(kind, {{"Nome", "  Barolo € d'ànnata "}, {"Produttore", "Cantìne Riunite"},
                            {"Designazione", "DOCG"}, {"Nazione", "Italia"}, {"Regione", "Piemonte"},
                            {"Zona", "Langhe"}, {"Annata", "2016"}, {"Invecchiamento", "36 mesi"},
                            {"Colore", "Granato"}, {"Grado", "14,5%"}, {"Accostamenti", "Brasato"},
                            {"Temperatura", "18 °C"}, {"Giacenza", "12"}, {"Prezzo", "45,00"}, {"Note", "Nota"},
                            // Not exported: the astringency and the attachments.
                            {"Astringenza", "Alta"}, {"File01", "Fattura.pdf"}, {"Desc01", "Acquisto"}});
        appendRecord(kind, {{"Nome", "Secondo"}, {"Produttore", "Io"}, {"Giacenza", "0"}, {"Prezzo", "12.50"}});
    } else {
        appendRecord(kind, {{"Prodotto", "Grappa"}, {"Imbottigliatore", "Distilleria"}, {"Lotto", "L23"},
                            {"Prezzo", "9,50"}, {"Cima", "CIMA"}, {"Nome", "NOME"}, {"Sottotitolo", "Sotto"},
                            {"Rigo01", "R1"}, {"Rigo02", "R2"}, {"Rigo03", "R3"}, {"Rigo04", "R4"},
                            {"Rosso", "ROSSO"}, {"Calce", "Calce"}, {"Note", "€ nota"}, {"File01", "x.pdf"}});
    }
    const QString path = exportFilePath(kind);
    QCOMPARE(path, world.path(kind.exporting.file));
    QVERIFY(writeSpreadsheet(path, ExportSheet(kind)));
    const QByteArray bytes = testfiles::read(path);
    QCOMPARE(bytes, expected);
    QVERIFY(!bytes.contains('\r') && !bytes.contains('\n'));
}

void TestSpreadsheetExport::emptyArchiveGivesNoRowsAndEmptyRowsGiveEmptyCells()
{
    TestWorld world;
    const ExportSheet sheet(verticalLabelKind().record);
    QVERIFY(!sheet.holdsRecords());
    QCOMPARE(sheet.rowCount(), kEmptyExportRows);
    // Loading created the missing archive empty, as every archive action does.
    QVERIFY(QFileInfo::exists(world.path("Etichette_Verticali.pro")));
    QByteArray expected = head("Etichette Verticali") + kLabelHeader;
    for (int r = 0; r < kEmptyExportRows; ++r)
        expected += row(QList<QByteArray>(14, QByteArray()));
    QCOMPARE(spreadsheetBytes(sheet), expected + kTail);
}

void TestSpreadsheetExport::cellTextIsEscapedAndTrimmed_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("markup") << QStringLiteral("<b>&\"x\"</b>") << QByteArray("&lt;b&gt;&amp;&quot;x&quot;&lt;/b&gt;");
    QTest::newRow("an entity typed as text stays text") << QStringLiteral("&amp;") << QByteArray("&amp;amp;");
    QTest::newRow("blanks and tabs at the ends") << QStringLiteral(" \t Lambrusco \t ") << QByteArray("Lambrusco");
    QTest::newRow("line break inside a cell") << QStringLiteral("uno\r\ndue") << QByteArray("uno&#13;&#10;due");
    QTest::newRow("accents and euro as single bytes") << QStringLiteral("più € è") << QByteArray("pi\xF9 \x80 \xE8");
    QTest::newRow("outside the code page") << QStringLiteral("Ω 🍷") << QByteArray("&#937; &#127863;");
}

void TestSpreadsheetExport::cellTextIsEscapedAndTrimmed()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, written);
    QCOMPARE(exportCell(typed, CellType::Text), td(written));
    // An edited cell goes into the file at its place.
    TestWorld world;
    appendRecord(wineKind(), {{"Nome", "Barolo"}, {"Note", "vecchia"}});
    ExportSheet sheet(wineKind());
    sheet.setCell(0, 24, typed);
    QVERIFY(spreadsheetBytes(sheet).endsWith(td(written) + "</tr>" + kTail));
    QCOMPARE(sheet.cell(0, 0), QStringLiteral("Barolo"));
}

void TestSpreadsheetExport::cellsKeepTheirType_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("written");
    const int text = int(CellType::Text), amount = int(CellType::Money), count = int(CellType::Quantity);
    QTest::newRow("a formula stays text") << "=1+1" << text << td("=1+1");
    QTest::newRow("a link formula stays text")
        << "=HYPERLINK(\"http://x\";\"y\")" << text << td("=HYPERLINK(&quot;http://x&quot;;&quot;y&quot;)");
    QTest::newRow("leading zeros stay") << "007" << text << td("007");
    QTest::newRow("an exponent stays") << "1E5" << text << td("1E5");
    QTest::newRow("a price in a text column stays text") << "42,50" << text << td("42,50");
    QTest::newRow("price with a comma") << "12,50" << amount << money("12.5", "12,50");
    QTest::newRow("price with a full stop") << " 12.50 " << amount << money("12.5", "12.50");
    QTest::newRow("whole price") << "7" << amount << money("7", "7");
    QTest::newRow("negative price") << "-0,5" << amount << money("-0.5", "-0,5");
    QTest::newRow("price with trailing zeros") << "100,00" << amount << money("100", "100,00");
    QTest::newRow("small price") << "0,0001" << amount << money("0.0001", "0,0001");
    QTest::newRow("tiny price in exponent notation") << "0,00001" << amount << money("1e-05", "0,00001");
    QTest::newRow("fifteen digits kept") << "123456789012,345" << amount
                                         << money("123456789012.345", "123456789012,345");
    QTest::newRow("sixteen digits rounded to fifteen")
        << "1234567890123456" << amount << money("1.23456789012346e+15", "1234567890123456");
    QTest::newRow("price with thousands is text") << "1.234,50" << amount << td("1.234,50");
    QTest::newRow("price in words is text") << "a richiesta" << amount << td("a richiesta");
    QTest::newRow("price formula is text") << "=1+1" << amount << td("=1+1");
    QTest::newRow("price exponent is text") << "1E5" << amount << td("1E5");
    QTest::newRow("price ending in a separator is text") << "12," << amount << td("12,");
    QTest::newRow("empty price is an empty text cell") << "" << amount << td("");
    QTest::newRow("stock") << "12" << count << quantity("12", "12");
    QTest::newRow("stock with leading zeros") << "007" << count << quantity("7", "007");
    QTest::newRow("stock in words is text") << "sei" << count << td("sei");
}

void TestSpreadsheetExport::cellsKeepTheirType()
{
    QFETCH(QString, typed);
    QFETCH(int, type);
    QFETCH(QByteArray, written);
    QCOMPARE(exportCell(typed, CellType(type)), written);
}

void TestSpreadsheetExport::storedBytesAreWrittenAsTheirText()
{
    // Text cells go from the record to the file byte by byte; each must come
    // out exactly as the decoded text would, for every byte the field can hold.
    TestWorld world;
    const RecordKind& kind = wineKind();
    const int nome = kind.field(QStringLiteral("Nome"));
    {
        RecordArchive archive(kind.archivePath(), *kind.layout, RecordArchive::Access::Write);
        for (int first = 0; first < 256; first += 40) {
            QByteArray record = kind.layout->emptyRecord();
            QByteArray bytes;
            for (int b = first; b < std::min(first + 40, 256); ++b)
                bytes += char(b);
            // Blanks and control bytes at the ends are trimmed, so put letters around them.
            bytes = "a" + bytes + "z";
            char* field = record.data() + kind.layout->field(nome).offset;
            field[0] = char(bytes.size());
            std::memcpy(field + 1, bytes.constData(), bytes.size());
            archive.append(record);
        }
    }
    const ExportSheet sheet(kind);
    const QByteArray file = spreadsheetBytes(sheet);
    for (int r = 0; r < sheet.rowCount(); ++r)
        QVERIFY2(file.contains("<tr>" + exportCell(sheet.cell(r, 0), CellType::Text)), qPrintable(QString::number(r)));
    // A field longer than its capacity in its length byte is cut at its capacity.
    QByteArray record = kind.layout->emptyRecord();
    char* field = record.data() + kind.layout->field(nome).offset;
    field[0] = char(200);
    std::memset(field + 1, 'x', 50);
    RecordArchive(kind.archivePath(), *kind.layout, RecordArchive::Access::Write).append(record);
    QVERIFY(spreadsheetBytes(ExportSheet(kind)).contains("<tr>" + td(QByteArray(50, 'x')) + td("")));
}

void TestSpreadsheetExport::storedNumbersAreWrittenAsTheirText_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("comma, blanks and control bytes around") << QByteArray(" \x01 12,50\x1F ");
    QTest::newRow("full stop, trailing zeros") << QByteArray("100.00");
    QTest::newRow("leading zeros") << QByteArray("007");
    QTest::newRow("negative") << QByteArray("-0,5");
    QTest::newRow("zero") << QByteArray("-0");
    QTest::newRow("exponent notation") << QByteArray("0,00001");
    QTest::newRow("rounded to fifteen digits") << QByteArray("1234567890,123456");
    QTest::newRow("thousands") << QByteArray("1.234,50");
    QTest::newRow("words") << QByteArray("a richiesta");
    QTest::newRow("euro sign") << QByteArray("\x80 5");
    QTest::newRow("no-break space inside") << QByteArray("12\xA0" "5");
    QTest::newRow("markup") << QByteArray("<5&\"");
    QTest::newRow("empty") << QByteArray();
}

void TestSpreadsheetExport::storedNumbersAreWrittenAsTheirText()
{
    // Price and stock cells are read from the stored bytes; each must come
    // out exactly as the decoded text would.
    QFETCH(QByteArray, stored);
    TestWorld world;
    const RecordKind& kind = wineKind();
    QByteArray record = kind.layout->emptyRecord();
    for (const char* name : {"Giacenza", "Prezzo"}) {
        char* field = record.data() + kind.layout->field(kind.field(QLatin1String(name))).offset;
        field[0] = char(stored.size());
        std::memcpy(field + 1, stored.constData(), stored.size());
    }
    RecordArchive(kind.archivePath(), *kind.layout, RecordArchive::Access::Write).append(record);
    const ExportSheet sheet(kind);
    const QByteArray cells = exportCell(sheet.cell(0, 20), CellType::Quantity) + exportCell(sheet.cell(0, 21), CellType::Money);
    QVERIFY2(spreadsheetBytes(sheet).contains(cells), cells.constData());
}

void TestSpreadsheetExport::editsTakeTheirPlaceAmongStoredRows()
{
    // More records than the sheet keeps in memory, read in an order that
    // makes it read them again; edits anywhere, written in their rows.
    TestWorld world;
    const RecordKind& kind = wineKind();
    constexpr int kRecords = 1500;
    {
        RecordArchive archive(kind.archivePath(), *kind.layout, RecordArchive::Access::Write);
        for (int r = 1; r <= kRecords; ++r) {
            QByteArray record = kind.layout->emptyRecord();
            kind.layout->encodeField(record, kind.field(QStringLiteral("Nome")), QStringLiteral("Vino %1").arg(r));
            kind.layout->encodeField(record, kind.field(QStringLiteral("Prezzo")), QStringLiteral("%1,50").arg(r));
            archive.append(record);
        }
    }
    const QByteArray archiveBefore = testfiles::read(kind.archivePath());
    ExportSheet sheet(kind);
    QCOMPARE(sheet.rowCount(), kRecords);
    for (int r : {1499, 0, 700, 64, 63, 1200, 3, 1499, 0})
        QCOMPARE(sheet.cell(r, 0), QStringLiteral("Vino %1").arg(r + 1));
    sheet.setCell(1499, 21, QStringLiteral("a richiesta"));
    sheet.setCell(3, 24, QStringLiteral("quarta"));
    sheet.setCell(3, 21, QStringLiteral("9.5"));
    sheet.setCell(700, 9, QStringLiteral("lenta"));
    // The longest text a grid cell takes, each character a reference: a cell
    // larger than the pieces the file is written in.
    const QString longest(32767, QChar(0x03A9));
    sheet.setCell(1200, 24, longest);
    QCOMPARE(sheet.cell(3, 24), QStringLiteral("quarta"));

    const QByteArray file = spreadsheetBytes(sheet);
    QVERIFY(!file.contains('\n'));
    qsizetype at = file.indexOf("</tr>") + 5; // after the header row
    for (int r = 0; r < kRecords; ++r) {
        QList<QByteArray> cells(25);
        cells[0] = "Vino " + QByteArray::number(r + 1);
        cells[21] = money(QByteArray::number(r + 1) + ".5", QByteArray::number(r + 1) + ",50");
        if (r == 3) {
            cells[21] = money("9.5", "9.5");
            cells[24] = "quarta";
        } else if (r == 700) {
            cells[9] = "lenta";
        } else if (r == 1200) {
            cells[24] = QByteArray("&#937;").repeated(longest.size());
        } else if (r == 1499) {
            cells[21] = td("a richiesta");
        }
        const QByteArray expected = row(cells);
        QVERIFY2(file.mid(at, expected.size()) == expected, qPrintable(QString::number(r)));
        at += expected.size();
    }
    QCOMPARE(file.mid(at), kTail);
    QCOMPARE(testfiles::read(kind.archivePath()), archiveBefore);
}

void TestSpreadsheetExport::aRecordGoneBeforeTheExportFailsIt()
{
    // The sheet counted three records; the archive lost one before the export
    // (another program cut it): the export fails instead of leaving a row out.
    TestWorld world;
    for (const char* name : {"uno", "due", "tre"})
        appendRecord(wineKind(), {{"Nome", name}});
    const QString path = exportFilePath(wineKind());
    QVERIFY(writeSpreadsheet(path, ExportSheet(wineKind())));
    const QByteArray first = testfiles::read(path);
    const ExportSheet sheet(wineKind());
    QVERIFY(QFile::resize(wineKind().archivePath(), 2 * kWineRecordSize));
    QVERIFY(!writeSpreadsheet(path, sheet));
    QCOMPARE(testfiles::read(path), first);
    QCOMPARE(sheet.cell(0, 0), QStringLiteral("uno"));
    QCOMPARE(sheet.cell(2, 0), QString());
}

void TestSpreadsheetExport::failedWriteKeepsThePreviousFile()
{
    TestWorld world;
    ExportSheet sheet(wineKind());
    const QString path = exportFilePath(wineKind());
    sheet.setCell(0, 0, QStringLiteral("primo"));
    QVERIFY(writeSpreadsheet(path, sheet));
    const QByteArray first = testfiles::read(path);
    // A disk that fills up while the new file is written: a file-size limit
    // far below the file's size makes the writes fail, for root as well.
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limit = previous;
    limit.rlim_cur = 512;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    sheet.setCell(0, 0, QStringLiteral("secondo"));
    const bool written = writeSpreadsheet(path, sheet);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    QVERIFY(!written);
    QCOMPARE(testfiles::read(path), first);
}

QTEST_MAIN(TestSpreadsheetExport)
#include "tst_spreadsheetexport.moc"
