// The print settings file: every printer's calibration comes back under the
// name it was saved with, whatever that name holds, and the lines the
// program does not own stay byte for byte, in the file's line endings and
// code page.

#include "PrintSettings.h"
#include "ScriptedPlatform.h"
#include "TestFiles.h"

#include <QStringDecoder>
#include <QTest>

using namespace vinarca;

namespace {

QString settingsPath(TestWorld& world)
{
    return world.path(QString::fromLatin1(kPrintSettingsFileName));
}

bool isUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString ignored = decoder(bytes);
    return !decoder.hasError();
}

} // namespace

class TestPrintSettings : public QObject
{
    Q_OBJECT

private slots:
    void anyPrinterNameComesBack_data();
    void anyPrinterNameComesBack();
    void windows1252FileIsReadAndKept_data();
    void windows1252FileIsReadAndKept();
    void foreignLinesStayByteForByte_data();
    void foreignLinesStayByteForByte();
};

void TestPrintSettings::anyPrinterNameComesBack_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("header"); // the printer's header line in the file

    // Plain names are written as they always were, so existing files read the same.
    QTest::newRow("plain name") << "Ufficio" << QByteArray("[Stampante Ufficio]");
    QTest::newRow("blanks inside") << "HP LaserJet 400" << QByteArray("[Stampante HP LaserJet 400]");
    QTest::newRow("network printer") << "\\\\server\\Laser" << QByteArray("[Stampante \\\\server\\Laser]");
    QTest::newRow("equals sign") << "Sala=1" << QByteArray("[Stampante Sala=1]");
    QTest::newRow("non-ASCII letters") << "Büro Küche" << QByteArray("[Stampante B\xc3\xbcro K\xc3\xbc" "che]");
    QTest::newRow("a percent sign alone") << "Laser 100%" << QByteArray("[Stampante Laser 100%]");
    // A leading blank of the printer's name is inside the section's name.
    QTest::newRow("leading blank") << " Laser" << QByteArray("[Stampante  Laser]");
    // The rest is escaped.
    QTest::newRow("trailing blank") << "Laser " << QByteArray("[Stampante Laser%20]");
    QTest::newRow("empty name") << "" << QByteArray("[Stampante%20]");
    QTest::newRow("line break") << "Laser\nPiano 2" << QByteArray("[Stampante Laser%0APiano 2]");
    QTest::newRow("CR LF") << "A\r\nB" << QByteArray("[Stampante A%0D%0AB]");
    QTest::newRow("closing bracket at the end") << "Etichette]" << QByteArray("[Stampante Etichette%5D]");
    QTest::newRow("brackets") << "[A4] Sala" << QByteArray("[Stampante %5BA4%5D Sala]");
    QTest::newRow("a percent sign that reads as an escape") << "Laser%41" << QByteArray("[Stampante Laser%2541]");
}

void TestPrintSettings::anyPrinterNameComesBack()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, header);
    TestWorld world;
    QVERIFY(testfiles::write(settingsPath(world), "[Documento scheda_vino]\nCopie=3\n"));
    Calibrations saved;
    saved.byPrinter.insert(name, {-1.2, 0.4, 0.995, 1.0046});
    saved.byPrinter.insert(QStringLiteral("Magazzino"), {2, 0, 1, 1});
    saved.forPdf = name; // the same name, as a value
    QVERIFY(saveCalibrations(saved));

    const QByteArray file = testfiles::read(settingsPath(world));
    QVERIFY2(file.split('\n').contains(header), file.constData());
    // No stray header: the file holds the sections written, and no others.
    QStringList expected{QStringLiteral("Documento scheda_vino"), QStringLiteral("Stampante ") + name,
                         QStringLiteral("Stampante Magazzino")};
    if (!name.isEmpty()) // no printer for PDF files: no section for it
        expected << QStringLiteral("File PDF");
    QStringList sections = IniText::parse(file).sections();
    expected.sort();
    sections.sort();
    QCOMPARE(sections, expected);
    QCOMPARE(loadCalibrations(), saved);
    QCOMPARE(loadDocumentPrintSettings(QStringLiteral("scheda_vino")).copies, 3);
    // Saved again unchanged, the file stays as it is.
    QVERIFY(saveCalibrations(loadCalibrations()));
    QCOMPARE(testfiles::read(settingsPath(world)), file);
}

void TestPrintSettings::windows1252FileIsReadAndKept_data()
{
    QTest::addColumn<QString>("printer"); // saved into the file; empty: a document's settings
    QTest::addColumn<bool>("staysWindows1252");

    QTest::newRow("a document's settings added") << QString() << true;
    QTest::newRow("a printer the code page holds") << "Küche" << true;
    // Then the whole file turns to UTF-8, every line meaning what it meant.
    QTest::newRow("a printer the code page lacks") << "Drucker \u2116 3 \u6253\u5370" << false;
}

void TestPrintSettings::windows1252FileIsReadAndKept()
{
    QFETCH(QString, printer);
    QFETCH(bool, staysWindows1252);
    TestWorld world;
    // As an editor on Windows saves it.
    const QByteArray before = "; tarata da Andr\xe8 \x80 2024\r\n[Stampante B\xfcro]\r\nSpostamentoOrizzontale=1,5\r\n"
                              "ScalaVerticale=0.995\r\n";
    QVERIFY(testfiles::write(settingsPath(world), before));
    QCOMPARE(loadCalibrations().byPrinter.keys(), QStringList{QStringLiteral("Büro")});
    QCOMPARE(loadCalibrations().byPrinter.value(QStringLiteral("Büro")).offsetXMm, 1.5);

    if (printer.isEmpty()) {
        DocumentPrintSettings label;
        label.copies = 7;
        QVERIFY(saveDocumentPrintSettings(QStringLiteral("etichetta_verticale"), label));
    } else {
        Calibrations calibrations = loadCalibrations();
        calibrations.byPrinter.insert(printer, {0.5, 0, 1, 1});
        QVERIFY(saveCalibrations(calibrations));
    }

    const QByteArray after = testfiles::read(settingsPath(world));
    if (staysWindows1252) {
        QVERIFY2(after.startsWith(before), after.constData());
        QVERIFY(!isUtf8(after));
        if (!printer.isEmpty())
            QVERIFY(after.contains("\r\n[Stampante K\xfc" "che]\r\n"));
    } else {
        QVERIFY(isUtf8(after));
        QVERIFY(after.startsWith(QStringLiteral("; tarata da Andrè € 2024\r\n[Stampante Büro]\r\n").toUtf8()));
    }
    const Calibrations read = loadCalibrations();
    QCOMPARE(read.byPrinter.value(QStringLiteral("Büro")).offsetXMm, 1.5);
    QCOMPARE(read.byPrinter.value(QStringLiteral("Büro")).scaleY, 0.995);
    if (printer.isEmpty())
        QCOMPARE(loadDocumentPrintSettings(QStringLiteral("etichetta_verticale")).copies, 7);
    else
        QCOMPARE(read.byPrinter.value(printer).offsetXMm, 0.5);
}

void TestPrintSettings::foreignLinesStayByteForByte_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("newline"); // what the lines the program adds end with

    QTest::newRow("CR LF") << QByteArray("; mie note \r\n[Documento scheda_vino]\r\nModalita=Scale\r\nCopie=3\r\n"
                                         "MioCommento = s\xc3\xac  \r\n\r\n[Stampante Ufficio]\r\nSpostamentoOrizzontale=-1.2\r\n")
                           << QByteArray("\r\n");
    QTest::newRow("LF") << QByteArray("; mie note \n[Documento scheda_vino]\nModalita=Scale\nCopie=3\n"
                                      "MioCommento = s\xc3\xac  \n\n[Stampante Ufficio]\nSpostamentoOrizzontale=-1.2\n")
                        << QByteArray("\n");
    QTest::newRow("no line break after the last line")
        << QByteArray("[Documento scheda_vino]\r\nModalita=Scale\r\nCopie=3\r\nMioCommento = s\xc3\xac  ")
        << QByteArray("\r\n");
    QTest::newRow("UTF-8 byte order mark")
        << QByteArray("\xef\xbb\xbf[Documento scheda_vino]\r\nModalita=Scale\r\nCopie=3\r\nMioCommento = s\xc3\xac  \r\n")
        << QByteArray("\r\n");
}

void TestPrintSettings::foreignLinesStayByteForByte()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, newline);
    TestWorld world;
    QVERIFY(testfiles::write(settingsPath(world), file));
    QCOMPARE(loadDocumentPrintSettings(QStringLiteral("scheda_vino")).copies, 3);

    DocumentPrintSettings label;
    label.copies = 12;
    QVERIFY(saveDocumentPrintSettings(QStringLiteral("etichetta_verticale"), label));
    QByteArray after = testfiles::read(settingsPath(world));
    // What was there stays, the last line given the line break it lacked.
    const QByteArray kept = file.endsWith('\n') ? file : file + newline;
    QVERIFY2(after.startsWith(kept), after.constData());
    const QByteArray added = after.mid(kept.size());
    QVERIFY(added.startsWith("[Documento etichetta_verticale]" + newline));
    QCOMPARE(added.count('\n'), added.count(newline));
    QVERIFY(added.contains("Copie=12" + newline));

    // A value changed in place keeps its line's ending; the foreign lines stay.
    DocumentPrintSettings sheet = loadDocumentPrintSettings(QStringLiteral("scheda_vino"));
    sheet.copies = 4;
    QVERIFY(saveDocumentPrintSettings(QStringLiteral("scheda_vino"), sheet));
    after = testfiles::read(settingsPath(world));
    QVERIFY(after.contains("\nCopie=4" + newline));
    QVERIFY(!after.contains("Copie=3"));
    QVERIFY(after.contains("Modalita=Scale" + newline));
    QVERIFY(after.contains("MioCommento = s\xc3\xac  " + newline));
    QCOMPARE(after.startsWith("\xef\xbb\xbf"), file.startsWith("\xef\xbb\xbf"));
    if (newline == "\r\n")
        QCOMPARE(after.count('\n'), after.count("\r\n"));
    else
        QCOMPARE(after.count('\r'), 0);
    QCOMPARE(loadDocumentPrintSettings(QStringLiteral("scheda_vino")).copies, 4);
    QCOMPARE(loadDocumentPrintSettings(QStringLiteral("etichetta_verticale")).copies, 12);
}

QTEST_MAIN(TestPrintSettings)
#include "tst_printsettings.moc"
