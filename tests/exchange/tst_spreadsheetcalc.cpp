// The exported files as a spreadsheet program reads them: LibreOffice,
// headless, under Italian and under English regional settings, converts each
// kind of export to its flat XML document, and every cell comes back as the
// grid showed it: texts as text (formulas never come alive, leading zeros and
// exponents stay), prices and stock as numbers whatever the settings.
#include "LabelRecord.h"
#include "RecordArchive.h"
#include "ScriptedPlatform.h"
#include "SpreadsheetExport.h"
#include "WineRecord.h"

#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <QtTest>

using namespace vinarca;

namespace {

struct Cell
{
    QString type;  // office:value-type: "string", "float" or "" for an empty cell
    QString value; // office:value of a number
    QString text;
};

struct Sheet
{
    QString name;
    QList<QList<Cell>> rows;
};

// The first sheet of a flat XML spreadsheet, `columns` cells of each of its first `rows` rows.
Sheet readFlatSheet(const QString& path, int rows, int columns)
{
    QFile file(path);
    Sheet sheet;
    if (!file.open(QIODevice::ReadOnly))
        return sheet;
    QXmlStreamReader xml(&file);
    QList<Cell>* row = nullptr;
    Cell cell;
    int cellRepeat = 0;
    bool inCell = false;
    bool inParagraph = false;
    while (!xml.atEnd()) {
        xml.readNext();
        const QStringView name = xml.qualifiedName();
        if (xml.isStartElement()) {
            if (name == u"table:table") {
                if (!sheet.name.isEmpty())
                    break;
                sheet.name = xml.attributes().value("table:name").toString();
            } else if (name == u"table:table-row") {
                if (sheet.rows.size() >= rows)
                    break;
                sheet.rows.append(QList<Cell>());
                row = &sheet.rows.last();
            } else if (name == u"table:table-cell" || name == u"table:covered-table-cell") {
                const QXmlStreamAttributes a = xml.attributes();
                cell = {a.value("office:value-type").toString(), a.value("office:value").toString(), {}};
                const QStringView repeated = a.value("table:number-columns-repeated");
                cellRepeat = repeated.isEmpty() ? 1 : repeated.toInt();
                inCell = true;
            } else if (name == u"text:p" && inCell) {
                if (!cell.text.isEmpty())
                    cell.text += u'\n';
                inParagraph = true;
            } else if (name == u"text:s" && inParagraph) {
                const QStringView count = xml.attributes().value("text:c");
                cell.text += QString(count.isEmpty() ? 1 : count.toInt(), u' ');
            }
        } else if (xml.isCharacters() && inParagraph) {
            cell.text += xml.text();
        } else if (xml.isEndElement() && name == u"text:p") {
            inParagraph = false;
        } else if (xml.isEndElement()
                   && (name == u"table:table-cell" || name == u"table:covered-table-cell") && row) {
            for (int i = 0; i < cellRepeat && row->size() < columns; ++i)
                row->append(cell);
            inCell = false;
        }
    }
    return sheet;
}

// A LibreOffice profile whose regional settings are `locale` ("it-IT").
QString profileFor(const TestWorld& world, const QString& locale)
{
    const QString folder = world.path("profilo-" + locale);
    QDir().mkpath(folder + "/user");
    QFile settings(folder + "/user/registrymodifications.xcu");
    if (settings.open(QIODevice::WriteOnly))
        settings.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                       "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
                       "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
                       "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
                       "<item oor:path=\"/org.openoffice.Setup/L10N\"><prop oor:name=\"ooSetupSystemLocale\" "
                       "oor:op=\"fuse\"><value>"
                       + locale.toUtf8() + "</value></prop></item></oor:items>");
    return QUrl::fromLocalFile(folder).toString();
}

// The texts that a spreadsheet would read as something else if the cell let it.
const QStringList kTricky{QStringLiteral("=1+1"), QStringLiteral("=HYPERLINK(\"http://x\";\"y\")"),
                          QStringLiteral("007"), QStringLiteral("1E5"), QStringLiteral("42,50"),
                          QStringLiteral("11.50"), QStringLiteral("01/02/2020")};

// What each record holds in a number column (money or quantity).
const QStringList kNumbers{QStringLiteral("12,50"), QStringLiteral("12.50"), QStringLiteral("a richiesta")};

} // namespace

class TestSpreadsheetCalc : public QObject
{
    Q_OBJECT
private slots:
    void calcReadsEveryCellAsExported_data();
    void calcReadsEveryCellAsExported();
};

void TestSpreadsheetCalc::calcReadsEveryCellAsExported_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("Italian settings") << "it-IT";
    QTest::newRow("English settings") << "en-US";
}

void TestSpreadsheetCalc::calcReadsEveryCellAsExported()
{
    QFETCH(QString, locale);
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice (Debian package libreoffice-calc-nogui) is not installed: the round trip is not checked");

    TestWorld world;
    const QList<const RecordKind*> kinds{&wineKind(), &verticalLabelKind().record, &horizontalLabelKind().record};
    QStringList files;
    for (const RecordKind* kind : kinds) {
        const QList<FieldFacts> columns = kind->exportColumns();
        RecordArchive archive(kind->archivePath(), *kind->layout, RecordArchive::Access::Write);
        for (int r = 0; r < 3; ++r) {
            QByteArray record = kind->layout->emptyRecord();
            for (int c = 0; c < columns.size(); ++c) {
                const FieldFacts& column = columns.at(c);
                const QString text = column.cell != CellType::Text ? kNumbers.at(r)
                                     : r == 1 ? kTricky.at(c % kTricky.size())
                                              : QStringLiteral("%1 %2 più € è").arg(column.field).arg(r + 1);
                kind->layout->encodeField(record, kind->field(column.field), text);
            }
            archive.append(record);
        }
        archive.close();
        ExportSheet sheet(*kind);
        // As typed by the user in the grid's last (editable) column.
        sheet.setCell(2, static_cast<int>(columns.size()) - 1, QStringLiteral("<b>&\"x\"</b>"));
        QVERIFY(writeSpreadsheet(exportFilePath(*kind), sheet));
        files << exportFilePath(*kind);
    }

    QProcess calc;
    calc.setProcessChannelMode(QProcess::MergedChannels);
    calc.start(soffice, QStringList{"-env:UserInstallation=" + profileFor(world, locale), "--headless", "--convert-to",
                                    "fods", "--outdir", world.path("fods")}
                            + files);
    QVERIFY(calc.waitForFinished(240000));
    const QByteArray log = calc.readAll();

    for (const RecordKind* kind : kinds) {
        const QList<FieldFacts> columns = kind->exportColumns();
        const ExportSheet exported(*kind);
        const Sheet read = readFlatSheet(
            world.path("fods/" + QFileInfo(kind->exporting.file).completeBaseName() + ".fods"), 4,
            static_cast<int>(columns.size()));
        QVERIFY2(read.rows.size() == 4, log.constData());
        for (int c = 0; c < columns.size(); ++c) {
            QCOMPARE(read.rows.at(0).value(c).text, columns.at(c).title());
            for (int r = 0; r < 3; ++r) {
                const Cell got = read.rows.at(r + 1).value(c);
                const QString where = QStringLiteral("%1 row %2 column %3").arg(kind->exporting.file).arg(r + 1).arg(c);
                const QString shown = r == 2 && c == columns.size() - 1 ? QStringLiteral("<b>&\"x\"</b>")
                                                                        : exported.cell(r, c);
                if (columns.at(c).cell != CellType::Text && r < 2) {
                    // "12,50" and "12.50" are both the number 12.5.
                    QVERIFY2(got.type == "float" && got.value == "12.5", qPrintable(where + " " + got.text));
                } else {
                    QVERIFY2(got.type == "string", qPrintable(where + " " + got.type + " " + got.text));
                    QCOMPARE(got.text, shown);
                }
            }
        }
        // The prices are shown with two decimals in the reader's own notation.
        const int price = static_cast<int>(std::find_if(columns.begin(), columns.end(),
                                                        [](const FieldFacts& f) { return f.field == "Prezzo"; })
                                           - columns.begin());
        QCOMPARE(read.rows.at(1).value(price).text, locale == "it-IT" ? QStringLiteral("12,50") : QStringLiteral("12.50"));
    }
}

QTEST_MAIN(TestSpreadsheetCalc)
#include "tst_spreadsheetcalc.moc"
