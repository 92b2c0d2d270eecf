#include "Photo.h"
#include "RecordArchive.h"
#include "ScriptedPlatform.h"
#include "SpreadsheetExport.h"
#include "SpreadsheetImport.h"
#include "TestFiles.h"
#include "WineRecord.h"

#include <QImage>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace vinarca;

Q_DECLARE_METATYPE(CsvDialect)

namespace {

const RecordKind& wines()
{
    return wineKind();
}

// Stores wines given as field → text maps, in order.
void storeWines(const QList<QHash<QString, QString>>& rows)
{
    RecordArchive archive(wines().archivePath(), *wines().layout, RecordArchive::Access::Write);
    for (const auto& row : rows) {
        QByteArray record = wines().layout->emptyRecord();
        for (auto it = row.cbegin(); it != row.cend(); ++it)
            wines().layout->encodeField(record, wines().field(it.key()), it.value());
        archive.append(record);
    }
}

QString fieldOf(qint64 position, const QString& field)
{
    RecordArchive archive(wines().archivePath(), *wines().layout, RecordArchive::Access::Read);
    QByteArray record;
    archive.readAt(position, record);
    return wines().layout->decodeField(record, wines().field(field));
}

qint64 storedCount()
{
    return RecordArchive(wines().archivePath(), *wines().layout, RecordArchive::Access::Read).count();
}

// Checks a CSV file written from `text` (UTF-8) and returns the plan.
std::unique_ptr<ImportPlan> check(const TestWorld& world, const QByteArray& csv, CheckResult expected = CheckResult::Ready)
{
    const QString path = world.path("lista.csv");
    testfiles::write(path, csv);
    CsvReader reader(path, detectCsvDialect(csv));
    QStringList headers;
    reader.next(headers);
    auto plan = std::make_unique<ImportPlan>();
    const CheckResult result = checkImport(wines(), reader, matchColumns(wines(), headers), world.folder(), *plan);
    if (result != expected)
        qWarning("check gave %d", int(result));
    return plan;
}

QList<NoteKind> kindsOf(const ImportPlan& plan)
{
    QList<NoteKind> kinds;
    for (const ImportNote& note : plan.notes)
        kinds << note.kind;
    return kinds;
}

bool writeJpeg(const QString& path, QColor colour)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(colour);
    return image.save(path, "JPG");
}

} // namespace

class TestSpreadsheetImport : public QObject
{
    Q_OBJECT
private slots:
    void csvDialects_data();
    void csvDialects();
    void csvRowsAcrossReadChunks();
    void columnsMatchHeaders_data();
    void columnsMatchHeaders();
    void rememberedChoicesWin();
    void cellsBecomeFieldTexts_data();
    void cellsBecomeFieldTexts();
    void checkFlagsRowsBeforeWriting();
    void importAppendsAndUndoes();
    void duplicateChoices_data();
    void duplicateChoices();
    void undoRefusedAfterAnotherSave();
    void photosLandAndUndo();
    void cancelLeavesArchiveAsBefore();
    void killPartWayIsPutBack();
    void fullDiskLeavesArchiveAsBefore();
    void exportComesBackByteForByte();
};

void TestSpreadsheetImport::csvDialects_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QChar>("delimiter");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QList<QStringList>>("rows");

    const QList<QStringList> plain{{"Vino", "Prezzo"}, {"Barolo", "12,50"}};
    const int utf8 = int(TextEncoding::Utf8);
    const int cp1252 = int(TextEncoding::Windows1252);
    QTest::newRow("semicolon, UTF-8 with byte-order mark")
        << QByteArray("\xEF\xBB\xBFVino;Prezzo\r\nBarolo;12,50\r\n") << QChar(';') << utf8 << plain;
    QTest::newRow("comma, quoted comma in a price")
        << QByteArray("Vino,Prezzo\nBarolo,\"12,50\"\n") << QChar(',') << utf8 << plain;
    QTest::newRow("tab, Windows-1252 accents, no final line break")
        << QByteArray("Vino\tPrezzo\r\nN\xE9rello \x80\t3\r\nBarolo\t12,50") << QChar('\t') << cp1252
        << QList<QStringList>{{"Vino", "Prezzo"}, {QString::fromUtf8("Nérello €"), "3"}, {"Barolo", "12,50"}};
    QTest::newRow("UTF-8 accents without byte-order mark")
        << QByteArray("Vino;Note\nSassella;Più \xE2\x82\xAC\n") << QChar(';') << utf8
        << QList<QStringList>{{"Vino", "Note"}, {"Sassella", QString::fromUtf8("Più €")}};
    QTest::newRow("quoted line breaks, doubled quotes, delimiters in quotes")
        << QByteArray("Vino;Note\r\n\"Il \"\"Rosso\"\"\";\"una;due\r\ntre\"\r\n") << QChar(';') << utf8
        << QList<QStringList>{{"Vino", "Note"}, {"Il \"Rosso\"", "una;due\r\ntre"}};
    QTest::newRow("old Mac line ends, empty fields kept")
        << QByteArray("Vino;Annata;Note\r;;x\r") << QChar(';') << utf8
        << QList<QStringList>{{"Vino", "Annata", "Note"}, {"", "", "x"}};
}

void TestSpreadsheetImport::csvDialects()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QChar, delimiter);
    QFETCH(int, encoding);
    QFETCH(QList<QStringList>, rows);
    TestWorld world;
    const CsvDialect dialect = detectCsvDialect(bytes);
    QCOMPARE(dialect.delimiter, delimiter);
    QCOMPARE(int(dialect.encoding), encoding);
    testfiles::write(world.path("a.csv"), bytes);
    CsvReader reader(world.path("a.csv"), dialect);
    QList<QStringList> read;
    QStringList row;
    while (reader.next(row))
        read << row;
    QCOMPARE(read, rows);
    QVERIFY(!reader.failed());
}

void TestSpreadsheetImport::csvRowsAcrossReadChunks()
{
    // Rows whose quotes, doubled quotes, CR LF and accents fall on every
    // offset around the reader's chunk ends.
    TestWorld world;
    QByteArray bytes = "Vino;Note\r\n";
    QList<QStringList> expected;
    for (int i = 0; i < 3000; ++i) {
        const QString note = QString(200 + i % 97, QLatin1Char('x')) + QString::fromUtf8("\"à\"\r\n") + QString::number(i);
        bytes += "\"Vino " + QByteArray::number(i) + "\";\"" + note.toUtf8().replace("\"", "\"\"") + "\"\r\n";
        expected << QStringList{QStringLiteral("Vino %1").arg(i), note};
    }
    testfiles::write(world.path("b.csv"), bytes);
    QVERIFY(bytes.size() > 2 * 256 * 1024);
    CsvReader reader(world.path("b.csv"), detectCsvDialect(bytes));
    QStringList row;
    QVERIFY(reader.next(row));
    QList<QStringList> read;
    while (reader.next(row))
        read << row;
    QCOMPARE(read.size(), expected.size());
    QCOMPARE(read, expected);
}

void TestSpreadsheetImport::columnsMatchHeaders_data()
{
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("export titles") << QStringList{"Nome vino", "Produttore", "Grado alcolico", "Contenitore per consumo"}
                                   << QStringList{"Nome", "Produttore", "Grado", "Consumo"};
    QTest::newRow("case, accents and spacing ignored")
        << QStringList{"  NOME  VINO ", "acidita", "Sapidità", "temperatura di-servizio"}
        << QStringList{"Nome", "Acidita", "Sapidita", "Temperatura"};
    QTest::newRow("shop words") << QStringList{"Vino", "Azienda", "Cantina", "Prezzo €", "Quantità", "Foto", "Anno"}
                                << QStringList{"Nome", "Produttore", "Cantina", "Prezzo", "Giacenza", kPhotoColumn, "Annata"};
    // The export title outranks a shop word, wherever the columns stand.
    QTest::newRow("unknown and repeated columns ignored")
        << QStringList{"Codice", "Vino", "Nome vino", "", "vino"} << QStringList{"", "", "Nome", "", ""};
}

void TestSpreadsheetImport::columnsMatchHeaders()
{
    QFETCH(QStringList, headers);
    QFETCH(QStringList, fields);
    QCOMPARE(matchColumns(wines(), headers), fields);
}

void TestSpreadsheetImport::rememberedChoicesWin()
{
    TestWorld world;
    QVERIFY(saveRememberedColumns(wines(), {"Descrizione", "Vino", "Cantina"}, {"Note", "", "Produttore"}));
    // "Vino" was refused last time, "Cantina" went to the producer.
    QCOMPARE(matchColumns(wines(), {"Vino", "descrizione", "CANTINA", "Nome vino"}, loadRememberedColumns(wines())),
             (QStringList{"", "Note", "Produttore", "Nome"}));
}

void TestSpreadsheetImport::cellsBecomeFieldTexts_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("text"); // "!" for refused
    const int money = int(CellType::Money);
    const int quantity = int(CellType::Quantity);
    const int text = int(CellType::Text);
    QTest::newRow("price with euro sign") << money << QString::fromUtf8("€ 12,50") << "12,50";
    QTest::newRow("price as a spreadsheet number") << money << "12.5" << "12.5";
    QTest::newRow("price with thousands") << money << "1.234,50 EUR" << "1.234,50";
    QTest::newRow("price in words") << money << "su richiesta" << "!";
    QTest::newRow("negative price") << money << "-3" << "!";
    QTest::newRow("empty price") << money << "  " << "";
    QTest::newRow("stock") << quantity << " 007 " << "007";
    QTest::newRow("stock as a spreadsheet number") << quantity << "12,00" << "12";
    QTest::newRow("stock with a fraction") << quantity << "12,5" << "!";
    QTest::newRow("stock in words") << quantity << "dodici" << "!";
    QTest::newRow("text trimmed, formula kept") << text << " =1+1\t" << "=1+1";
}

void TestSpreadsheetImport::cellsBecomeFieldTexts()
{
    QFETCH(int, type);
    QFETCH(QString, cell);
    QFETCH(QString, text);
    NoteKind note = NoteKind::TooLong;
    const std::optional<QString> got = fieldText(CellType(type), cell, note);
    if (text == "!") {
        QVERIFY(!got);
        QCOMPARE(note, CellType(type) == CellType::Money ? NoteKind::NotAPrice : NoteKind::NotAQuantity);
    } else {
        QCOMPARE(got.value_or("!"), text);
    }
}

void TestSpreadsheetImport::checkFlagsRowsBeforeWriting()
{
    TestWorld world;
    storeWines({{{"Nome", "Barolo"}, {"Produttore", "Rossi"}, {"Annata", "2015"}}});
    const QByteArray before = testfiles::read(wines().archivePath());
    QVERIFY(writeJpeg(world.path("foto/buona.jpg"), Qt::red));
    testfiles::write(world.path("foto/rotta.jpg"), "not a picture");
    const QByteArray csv = "Vino;Produttore;Annata;Prezzo;Zona;Foto\n"
                           "BAROLO;rossi;2015;10;;\n"                               // 2: stored already
                           ";Bianchi;2020;5;;\n"                                    // 3: no name
                           "Dolcetto;Verdi;2021;gratis;;foto/buona.jpg\n"           // 4: not a price
                           "Arneis;Neri;2022;7;" + QByteArray(60, 'z') + ";foto/rotta.jpg\n" // 5: long zone, bad photo
                           "Grignolino;Blu;2022;8;;manca.jpg\n";                    // 6: no photo there
    const auto plan = check(world, csv);
    QCOMPARE(plan->rowsRead, 5);
    QCOMPARE(plan->rowsSkipped, 1);
    QCOMPARE(plan->rowsStaged, 4);
    QCOMPARE(plan->photos, 1);
    QCOMPARE(kindsOf(*plan), (QList<NoteKind>{NoteKind::MissingName, NoteKind::NotAPrice, NoteKind::TooLong,
                                              NoteKind::PhotoUnreadable, NoteKind::PhotoMissing}));
    QCOMPARE(plan->notes.at(0).line, 3);
    QCOMPARE(noteText(plan->notes.at(0)), QString::fromUtf8("Riga 3: manca il campo \"Nome vino\": la riga non sarà importata."));
    QCOMPARE(plan->notes.at(2).text, QString(50, 'z'));
    QCOMPARE(plan->duplicates.size(), 1u);
    QCOMPARE(plan->duplicates.at(0).storedPosition, 1);
    QCOMPARE(plan->duplicates.at(0).line, 2);
    // Nothing is written by the check.
    QCOMPARE(testfiles::read(wines().archivePath()), before);
}

void TestSpreadsheetImport::importAppendsAndUndoes()
{
    TestWorld world;
    storeWines({{{"Nome", "Barolo"}, {"Produttore", "Rossi"}}});
    const QByteArray before = testfiles::read(wines().archivePath());
    QVERIFY(!canUndoImport(wines()));
    const auto plan = check(world, "Vino;Produttore;Quantità;Prezzo €\nDolcetto;Verdi;6;\xE2\x82\xAC 9,90\nArneis;Neri;;\n");
    const ApplyOutcome outcome = applyImport(wines(), *plan);
    QCOMPARE(outcome.result, ApplyResult::Done);
    QCOMPARE(outcome.added, 2);
    QCOMPARE(storedCount(), 3);
    QCOMPARE(fieldOf(2, "Nome"), "Dolcetto");
    QCOMPARE(fieldOf(2, "Giacenza"), "6");
    QCOMPARE(fieldOf(2, "Prezzo"), "9,90");
    QCOMPARE(fieldOf(3, "Produttore"), "Neri");
    QVERIFY(canUndoImport(wines()));
    QCOMPARE(undoImport(wines()), UndoResult::Done);
    QCOMPARE(testfiles::read(wines().archivePath()), before);
    QCOMPARE(undoImport(wines()), UndoResult::Nothing);
}

void TestSpreadsheetImport::duplicateChoices_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("storedPrice");
    QTest::addColumn<QString>("storedZone");
    QTest::newRow("skip") << int(DuplicateChoice::Skip) << 1 << "5" << "Langhe";
    // The file's columns replace the stored fields, the others stay.
    QTest::newRow("update") << int(DuplicateChoice::Update) << 1 << "8" << "Langhe";
    QTest::newRow("add anyway") << int(DuplicateChoice::Add) << 2 << "5" << "Langhe";
}

void TestSpreadsheetImport::duplicateChoices()
{
    QFETCH(int, choice);
    QFETCH(int, count);
    QFETCH(QString, storedPrice);
    QFETCH(QString, storedZone);
    TestWorld world;
    storeWines({{{"Nome", "Barolo"}, {"Produttore", "Rossi"}, {"Prezzo", "5"}, {"Zona", "Langhe"}}});
    const QByteArray before = testfiles::read(wines().archivePath());
    auto plan = check(world, "Nome vino;Produttore;Prezzo\nbarolo;ROSSI;8\n");
    QCOMPARE(plan->duplicates.size(), 1u);
    plan->duplicates[0].choice = DuplicateChoice(choice);
    QCOMPARE(applyImport(wines(), *plan).result, ApplyResult::Done);
    QCOMPARE(storedCount(), count);
    QCOMPARE(fieldOf(1, "Prezzo"), storedPrice);
    QCOMPARE(fieldOf(1, "Zona"), storedZone);
    QCOMPARE(undoImport(wines()), UndoResult::Done);
    QCOMPARE(testfiles::read(wines().archivePath()), before);
}

void TestSpreadsheetImport::undoRefusedAfterAnotherSave()
{
    TestWorld world;
    storeWines({{{"Nome", "Barolo"}, {"Produttore", "Rossi"}}});
    const auto plan = check(world, "Vino;Produttore\nDolcetto;Verdi\n");
    QCOMPARE(applyImport(wines(), *plan).result, ApplyResult::Done);
    QTest::qWait(20); // a later save gets a later modification time
    {
        RecordArchive archive(wines().archivePath(), *wines().layout, RecordArchive::Access::Write);
        QByteArray record;
        archive.readAt(1, record);
        wines().layout->encodeField(record, wines().field("Note"), "salvata da un'altra postazione");
        archive.writeAt(1, record);
    }
    QVERIFY(!canUndoImport(wines()));
    QCOMPARE(undoImport(wines()), UndoResult::Changed);
    QCOMPARE(storedCount(), 2);
    QCOMPARE(fieldOf(1, "Note"), "salvata da un'altra postazione");
}

void TestSpreadsheetImport::photosLandAndUndo()
{
    TestWorld world;
    storeWines({{{"Nome", "Barolo"}, {"Produttore", "Rossi"}}});
    // A stale picture where the new wine's picture goes, and the stored wine's own.
    QVERIFY(writeJpeg(wines().picturePath("2"), Qt::blue));
    QVERIFY(writeJpeg(wines().picturePath("1"), Qt::green));
    const QByteArray stale = testfiles::read(wines().picturePath("2"));
    const QByteArray own = testfiles::read(wines().picturePath("1"));
    QVERIFY(writeJpeg(world.path("scatti/a.jpg"), Qt::red));
    QVERIFY(writeJpeg(world.path("scatti/b.jpg"), Qt::yellow));
    auto plan = check(world, "Vino;Produttore;Foto\nDolcetto;Verdi;scatti/a.jpg\nBarolo;Rossi;" +
                                 world.path("scatti/b.jpg").toUtf8() + "\n");
    QCOMPARE(plan->photos, 2);
    QCOMPARE(plan->duplicates.size(), 1u);
    plan->duplicates[0].choice = DuplicateChoice::Update;
    QCOMPARE(applyImport(wines(), *plan).result, ApplyResult::Done);
    // A JPEG goes in with its own bytes, as Carica foto keeps them.
    QCOMPARE(testfiles::read(wines().picturePath("2")), testfiles::read(world.path("scatti/a.jpg")));
    QCOMPARE(testfiles::read(wines().picturePath("1")), testfiles::read(world.path("scatti/b.jpg")));
    QCOMPARE(undoImport(wines()), UndoResult::Done);
    QCOMPARE(testfiles::read(wines().picturePath("2")), stale);
    QCOMPARE(testfiles::read(wines().picturePath("1")), own);
    QCOMPARE(QDir(wines().pictureFolderPath()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestSpreadsheetImport::cancelLeavesArchiveAsBefore()
{
    TestWorld world;
    storeWines({{{"Nome", "Barolo"}, {"Produttore", "Rossi"}}});
    const QByteArray before = testfiles::read(wines().archivePath());
    QByteArray csv = "Vino;Produttore\n";
    for (int i = 0; i < 2000; ++i)
        csv += "Vino " + QByteArray::number(i) + ";Verdi\n";
    const auto plan = check(world, csv);
    int calls = 0;
    const ApplyOutcome outcome = applyImport(wines(), *plan, [&calls](qint64, qint64) { return ++calls < 3; });
    QCOMPARE(outcome.result, ApplyResult::Cancelled);
    QCOMPARE(testfiles::read(wines().archivePath()), before);
    QVERIFY(!QFile::exists(importJournalPath(wines())));
    QVERIFY(!canUndoImport(wines()));
}

void TestSpreadsheetImport::killPartWayIsPutBack()
{
    // What the disk holds at a moment part-way through the writing is what a
    // kill leaves; the next import (or the program's start) puts it back.
    TestWorld world;
    storeWines({{{"Nome", "Barolo"}, {"Produttore", "Rossi"}}});
    const QByteArray before = testfiles::read(wines().archivePath());
    QByteArray csv = "Vino;Produttore\n";
    for (int i = 0; i < 2000; ++i)
        csv += "Vino " + QByteArray::number(i) + ";Verdi\n";
    const auto plan = check(world, csv);
    QByteArray archiveAtKill;
    QByteArray journalAtKill;
    int calls = 0;
    QCOMPARE(applyImport(wines(), *plan, [&](qint64, qint64) {
                 if (++calls == 3) {
                     archiveAtKill = testfiles::read(wines().archivePath());
                     journalAtKill = testfiles::read(importJournalPath(wines()));
                 }
                 return true;
             }).result,
             ApplyResult::Done);
    QVERIFY(archiveAtKill.size() > before.size());
    QVERIFY(!journalAtKill.isEmpty());
    testfiles::write(wines().archivePath(), archiveAtKill);
    testfiles::write(importJournalPath(wines()), journalAtKill);
    QVERIFY(recoverInterruptedImport(wines()));
    QCOMPARE(testfiles::read(wines().archivePath()), before);
    QVERIFY(!QFile::exists(importJournalPath(wines())));
}

void TestSpreadsheetImport::fullDiskLeavesArchiveAsBefore()
{
    TestWorld world;
    storeWines({{{"Nome", "Barolo"}, {"Produttore", "Rossi"}}});
    const QByteArray before = testfiles::read(wines().archivePath());
    QByteArray csv = "Vino;Produttore\n";
    for (int i = 0; i < 50; ++i)
        csv += "Vino " + QByteArray::number(i) + ";Verdi\n";
    const auto plan = check(world, csv);
    // The disk fills up ten records after the archive's end.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = rlim_t(before.size() + 10 * wines().layout->recordSize());
    setrlimit(RLIMIT_FSIZE, &limited);
    const ApplyOutcome outcome = applyImport(wines(), *plan);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    QCOMPARE(outcome.result, ApplyResult::Failed);
    QCOMPARE(testfiles::read(wines().archivePath()), before);
    QVERIFY(!canUndoImport(wines()));
}

void TestSpreadsheetImport::exportComesBackByteForByte()
{
    TestWorld world;
    QList<QHash<QString, QString>> rows;
    rows << QHash<QString, QString>{{"Nome", "<b>&\"x\"</b>"}, {"Produttore", QString::fromUtf8("Società € ăş")},
                                    {"Annata", "007"}, {"Giacenza", "007"}, {"Prezzo", "12,5"},
                                    {"Note", QString(250, QLatin1Char('n'))}}
         << QHash<QString, QString>{{"Nome", "=1+1"}, {"Produttore", "Verdi; \"Bianchi\""}, {"Prezzo", "1.234,50"},
                                    {"Accostamenti", QString::fromUtf8("Più sapori, à la carte")}};
    storeWines(rows);
    const QString exported = world.path("Catalogo_Vini.xls");
    QVERIFY(writeSpreadsheet(exported, ExportSheet(wines())));
    const QByteArray stored = testfiles::read(wines().archivePath());
    QVERIFY(QFile::remove(wines().archivePath()));

    auto reader = openTable(exported, {});
    QStringList headers;
    QVERIFY(reader->next(headers));
    QStringList fields = matchColumns(wines(), headers);
    QVERIFY(!fields.contains(QString()));
    ImportPlan plan;
    QCOMPARE(checkImport(wines(), *reader, fields, world.folder(), plan), CheckResult::Ready);
    QCOMPARE(plan.rowsStaged, 2);
    QCOMPARE(applyImport(wines(), plan).result, ApplyResult::Done);
    QVERIFY(plan.notes.empty());
    QCOMPARE(testfiles::read(wines().archivePath()), stored);
}

QTEST_MAIN(TestSpreadsheetImport)
#include "tst_spreadsheetimport.moc"
