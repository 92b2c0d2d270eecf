// The label check: label texts and expected findings for every rule, the
// sizes the check computes against the characters printed in the PDF, the
// marks file beside the archive, and the check in both editors (Verifica and
// the question before a print).

#include "../report/ReportTestSupport.h"
#include "LabelCheck.h"
#include "LabelCheckMarks.h"
#include "LabelCheckWindow.h"
#include "LabelDrawing.h"
#include "LabelFixture.h"
#include "LabelPrint.h"
#include "Length.h"
#include "PreparedReport.h"
#include "ReportOutput.h"
#include "RecordEditor.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

using namespace vinarca;
using namespace reporttest;

namespace {

// A label that carries every particular, one line each in label order.
QStringList completeLabel()
{
    return {QStringLiteral("Imbottigliato da Cantina Rossi - Alba"),
            QStringLiteral("Barolo"),
            QStringLiteral("Denominazione di Origine Controllata e Garantita"),
            QStringLiteral("Riserva"),
            QStringLiteral("Contiene solfiti - L 2318"),
            QStringLiteral("13,5 % vol"),
            QStringLiteral("75 cl"),
            QStringLiteral("E 83 kcal"),
            QStringLiteral("Prodotto in Italia")};
}

const char* ruleName(LabelRule rule)
{
    switch (rule) {
    case LabelRule::Alcohol: return "Alcohol";
    case LabelRule::Volume: return "Volume";
    case LabelRule::VolumeFigures: return "VolumeFigures";
    case LabelRule::Sulphites: return "Sulphites";
    case LabelRule::Lot: return "Lot";
    case LabelRule::Bottler: return "Bottler";
    case LabelRule::Designation: return "Designation";
    case LabelRule::Provenance: return "Provenance";
    case LabelRule::XHeight: return "XHeight";
    case LabelRule::Energy: return "Energy";
    case LabelRule::Cut: return "Cut";
    }
    return "?";
}

// "Rule:line" for each finding, in order; "?" marks a reminder to verify.
QString summary(const QList<LabelFinding>& findings)
{
    QStringList out;
    for (const LabelFinding& f : findings)
        out << QStringLiteral("%1:%2%3").arg(QLatin1String(ruleName(f.rule))).arg(f.line).arg(f.toVerify ? "?" : "");
    return out.join(QLatin1Char(' '));
}

QList<PrintedLine> withSizes(const QStringList& lines, double xHeight, double figures)
{
    QList<PrintedLine> out;
    for (const QString& l : lines)
        out << PrintedLine{l, {}, {xHeight, figures}};
    return out;
}

const QDate kToday(2026, 12, 11);

// Rows of a crop of the printed page, at a high resolution, that hold the
// ink of the text's colour (the ornament behind some lines is another): the
// height of the characters, in millimetres.
double inkHeightMm(const QString& pdf, const QRectF& mm, int dpi, const QColor& ink)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("crop"));
    const auto px = [dpi](double v) { return QString::number(qRound(v * dpi / 25.4)); };
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
                                     QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-x"),
                                     px(mm.x()), QStringLiteral("-y"), px(mm.y()), QStringLiteral("-W"), px(mm.width()),
                                     QStringLiteral("-H"), px(mm.height()),
                                     QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, prefix});
    const QImage image(prefix + QStringLiteral(".png"));
    int top = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QColor c = image.pixelColor(x, y);
                std::max({std::abs(c.red() - ink.red()), std::abs(c.green() - ink.green()),
                          std::abs(c.blue() - ink.blue())}) < 100) {
                if (top < 0)
                    top = y;
                bottom = y;
                break;
            }
    return top < 0 ? 0 : (bottom - top + 1) * 25.4 / dpi;
}

} // namespace

class TestLabelCheck : public QObject
{
    Q_OBJECT

private slots:
    void findings_data();
    void findings();
    void findingNamesRuleLineAndExpectation();
    void rulesTableIsDatedAndReferenced();
    void printedSizesFollowTheLayout_data();
    void printedSizesFollowTheLayout();
    void sizesAgreeWithThePrintedPdf_data();
    void sizesAgreeWithThePrintedPdf();
    void marksAreKeptBesideTheArchive();
    void verificaShowsFindingsAndMarksTheLine_data();
    void verificaShowsFindingsAndMarksTheLine();
    void printAsksAndRemembers_data();
    void printAsksAndRemembers();
};

void TestLabelCheck::findings_data()
{
    QTest::addColumn<int>("line");      // the line replaced (-1: none)
    QTest::addColumn<QString>("text");  // its text
    QTest::addColumn<double>("xHeight");
    QTest::addColumn<double>("figures");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("expected");

    const auto row = [](const char* name, int line, const char* text, const char* expected, double xHeight = 1.6,
                        double figures = 5.0, QDate today = kToday) {
        QTest::newRow(name) << line << QString::fromUtf8(text) << xHeight << figures << today
                            << QString::fromLatin1(expected);
    };
    row("complete label", -1, "", "");
    // Alcoholic strength.
    row("strength whole unit", 5, "13 % vol", "");
    row("strength half unit, no spaces, capitals", 5, "13,5%VOL", "");
    row("strength with alc. and point", 5, "alc. 13.5 % vol.", "");
    row("strength in tenths", 5, "13,3 % vol", "Alcohol:5");
    row("strength without vol", 5, "13.5 %", "Alcohol:5");
    row("strength missing", 5, "", "Alcohol:-1");
    row("a grape share is no strength", 5, "100% Nebbiolo", "Alcohol:-1");
    // Nominal volume and its figures.
    row("volume in litres", 6, "0,75 l", "");
    row("volume in millilitres", 6, "750 ml", "");
    row("volume without space, capitals", 6, "75CL", "");
    row("volume missing", 6, "", "Volume:-1");
    row("a nutrition figure's measure is not the volume", 6, "E 83 kcal per 100 ml", "Volume:-1");
    row("figures too small for 75 cl", 6, "75 cl", "VolumeFigures:6", 1.6, 3.9);
    row("figures just enough for 75 cl", 6, "75 cl", "", 1.6, 4.0);
    row("figures too small for 1,5 l", 6, "1,5 l", "VolumeFigures:6", 1.6, 5.0);
    row("3 mm enough for 18,7 cl", 6, "18,7 cl", "", 1.6, 3.0);
    row("2 mm enough for 5 cl", 6, "5 cl", "", 1.6, 2.0);
    // Sulphites.
    row("sulphites in capitals", 4, "CONTIENE SOLFITI - L 2318", "");
    row("sulphur dioxide", 4, "Contiene anidride  solforosa - Lotto 2318", "");
    row("sulphites in a list of ingredients", 4, "Ingredienti: uve, solfiti. L2318", "");
    row("sulphites without contiene", 4, "Solfiti - L 2318", "Sulphites:4");
    row("sulphites missing", 4, "L 2318", "Sulphites:-1");
    // Lot.
    row("lot written out", 4, "Contiene solfiti - Lotto n. 23/045", "");
    row("lot with a point", 4, "Contiene solfiti L.2318", "");
    row("lot missing", 4, "Contiene solfiti", "Lot:-1");
    row("litres are not a lot", 4, "Contiene solfiti 0,75 l 2318", "Lot:-1");
    // Bottler, designation, provenance.
    row("bottler as a noun", 0, "Imbottigliatore: Cantina Rossi", "");
    row("bottler with accents dropped", 0, "IMBOTTIGLIATO ALL'ORIGINE DA Cantina Rossi", "");
    row("bottler missing", 0, "Cantina Rossi - Alba", "Bottler:-1");
    row("designation with dots", 2, "D.O.C.G.", "");
    row("designation as a category", 2, "Vino rosso", "");
    row("designation missing", 2, "Annata 2019", "Designation:-1");
    row("provenance in English", 8, "Product of Italy", "");
    row("provenance in capitals", 8, "ITALIA", "");
    row("provenance missing", 8, "Alba", "Provenance:-1");
    // Energy, since 8 December 2023.
    row("energy in kcal only", 7, "83 kcal", "");
    row("nutrition given elsewhere", 7, "Ingredienti e valori nutrizionali: codice QR", "");
    row("energy missing: to verify", 7, "", "Energy:-1?");
    row("energy missing before the rule applied", 7, "", "", 1.6, 5.0, QDate(2023, 12, 7));
    // x-height of the lines that carry a particular (Barolo and Riserva carry none).
    row("x-height too small", -1, "", "XHeight:0 XHeight:2 XHeight:4 XHeight:5 XHeight:6 XHeight:7 XHeight:8", 1.19);
    row("x-height just enough", -1, "", "", 1.2);
}

void TestLabelCheck::findings()
{
    QFETCH(int, line);
    QFETCH(QString, text);
    QFETCH(double, xHeight);
    QFETCH(double, figures);
    QFETCH(QDate, today);
    QFETCH(QString, expected);
    QStringList lines = completeLabel();
    if (line >= 0)
        lines[line] = text;
    QCOMPARE(summary(checkPrintedLines(withSizes(lines, xHeight, figures), today)), expected);
}

void TestLabelCheck::findingNamesRuleLineAndExpectation()
{
    QStringList lines = completeLabel();
    lines[5] = QStringLiteral("13,3 % vol");
    const QList<LabelFinding> findings = checkPrintedLines(withSizes(lines, 1.6, 2.5), kToday);
    QCOMPARE(findings.size(), 2);
    QCOMPARE(findings.at(0).text, QStringLiteral("Rigo 6 «13,3 % vol»: Titolo alcolometrico — «13,3 % vol» non è in "
                                                 "unità o mezze unità; serve un numero in unità o mezze unità seguito "
                                                 "da «% vol», per esempio «13 % vol» o «13,5 % vol»."));
    QCOMPARE(findings.at(1).text, QStringLiteral("Rigo 7 «75 cl»: Altezza delle cifre del volume — le cifre di «75 cl» "
                                                 "si stampano alte 2,5 mm; per 75 cl servono almeno 4 mm."));
    const QList<LabelFinding> none = checkPrintedLines(withSizes(QStringList(9), 1.6, 5), kToday);
    QVERIFY(none.first().text.startsWith(QStringLiteral("Etichetta: Titolo alcolometrico — nessun rigo")));
}

void TestLabelCheck::rulesTableIsDatedAndReferenced()
{
    // Every rule a finding can name is in the table once, with its source.
    QSet<int> seen;
    for (const LabelRuleFacts& r : labelRules()) {
        QVERIFY(!seen.contains(int(r.rule)));
        seen.insert(int(r.rule));
        QVERIFY(qstrlen(r.title) > 0 && qstrlen(r.reference) > 0 && qstrlen(r.requirement) > 0);
        QVERIFY(r.rule == LabelRule::Cut || r.since.isValid());
    }
    QCOMPARE(seen.size(), int(LabelRule::Cut) + 1);
    QCOMPARE(labelRuleFacts(LabelRule::Energy).since, QDate(2023, 12, 8));
}

void TestLabelCheck::printedSizesFollowTheLayout_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("line");
    QTest::addColumn<bool>("figuresFlagged");
    forBothKinds([](const QString& kind) {
        // 24 pt figures pass the 4 mm of 75 cl; 12 pt and 10 pt do not.
        QTest::addRow("%s: Rigo03 at 24 pt", qPrintable(kind)) << kind << 6 << false;
        QTest::addRow("%s: Rigo04 at 24 pt", qPrintable(kind)) << kind << 7 << false;
        QTest::addRow("%s: Rigo01 at 12 pt", qPrintable(kind)) << kind << 4 << true;
        QTest::addRow("%s: Rosso at 10 pt", qPrintable(kind)) << kind << 2 << true;
    });
}

void TestLabelCheck::printedSizesFollowTheLayout()
{
    QFETCH(QString, kind);
    QFETCH(int, line);
    QFETCH(bool, figuresFlagged);
    QStringList lines = completeLabel();
    lines[6] = QString();
    lines[line] = QStringLiteral("75 cl");
    const QList<LabelFinding> findings = checkLabel(labelKindNamed(kind), lines, kToday);
    QCOMPARE(summary(findings).contains(QStringLiteral("VolumeFigures:%1").arg(line)), figuresFlagged);
    // Every line of both layouts has an x-height above 1.2 mm.
    QVERIFY(!summary(findings).contains(QStringLiteral("XHeight")));

    // A line too long for its place loses its end, and what is lost does not count.
    lines = completeLabel();
    lines[4] = QStringLiteral("L 2318 ") + QString(90, QLatin1Char('-')) + QStringLiteral(" Contiene solfiti");
    const QList<PrintedLine> printed = printedLines(*labelKindNamed(kind).geometry, lines);
    QVERIFY(printed.at(4).lost.endsWith(QStringLiteral("Contiene solfiti")));
    QCOMPARE(printed.at(4).text + printed.at(4).lost, lines.at(4));
    QCOMPARE(summary(checkPrintedLines(printed, kToday)), QStringLiteral("Sulphites:-1 Cut:4"));
}

void TestLabelCheck::sizesAgreeWithThePrintedPdf_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("word");
    forBothKinds([](const QString& kind) {
        QTest::addRow("%s: figures of Rigo03 (24 pt)", qPrintable(kind)) << kind << 6 << "750";
        QTest::addRow("%s: figures of Rigo01 (12 pt)", qPrintable(kind)) << kind << 4 << "750";
        QTest::addRow("%s: x of Rosso (10 pt)", qPrintable(kind)) << kind << 2 << "xxxx";
        QTest::addRow("%s: x of Rigo02 (12 pt)", qPrintable(kind)) << kind << 5 << "xxxx";
        QTest::addRow("%s: x of Nome (24 pt bold)", qPrintable(kind)) << kind << 1 << "xxxx";
    });
}

void TestLabelCheck::sizesAgreeWithThePrintedPdf()
{
    if (!haveTool("pdftotext") || !haveTool("pdftoppm"))
        QSKIP("poppler's tools are needed to read the PDF back");
    QFETCH(QString, kind);
    QFETCH(int, line);
    QFETCH(QString, word);
    const LabelKind& labelKind = labelKindNamed(kind);
    LabelPrintInput input;
    input.lines[line] = word;
    auto report = loadLabelLayout(labelKind);
    fillLabel(*report, input);
    report->prepareReport();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("label.pdf"));
    writePdf(*report->prepared(), pdf);

    const QList<PdfWord> words = pdfWords(pdf);
    QCOMPARE(words.size(), 1);
    QCOMPARE(words.first().text, word);
    // The word's box from the PDF, with a margin, rasterised fine enough
    // that a pixel is a fortieth of the tolerance.
    QColor ink;
    for (const LabelElement& e : labelKind.geometry->elements)
        if (e.kind == LabelElementKind::Text && int(e.line) == line)
            ink = e.printed->textColour;
    const double measured = inkHeightMm(pdf, words.first().mm.adjusted(-0.5, -0.5, 0.5, 0.5), 2400, ink);
    const LabelLineSize computed = printedLines(*labelKind.geometry, input.lines).at(line).size;
    const double expected = word.at(0).isDigit() ? computed.figureHeightMm : computed.xHeightMm;
    QVERIFY2(std::abs(measured - expected) <= 0.1,
             qPrintable(QStringLiteral("printed %1 mm, computed %2 mm").arg(measured).arg(expected)));
}

void TestLabelCheck::marksAreKeptBesideTheArchive()
{
    TestWorld world;
    const LabelKind& kind = verticalLabelKind();
    QCOMPARE(labelMarksPath(kind), world.path(QStringLiteral("Etichette_Verticali.verificate")));
    QStringList first = completeLabel();
    first[5] = QStringLiteral("13,3 % vol");
    QStringList second = first;
    second[1] = QStringLiteral("Barbaresco");
    QVERIFY(!isLabelMarked(kind, first));

    QVERIFY(markLabels(kind, {first, first}));
    QVERIFY(isLabelMarked(kind, first));
    // The mark holds for the texts as they print: spaces at the ends do not count, a change does.
    QStringList padded = first;
    padded[0] = QLatin1Char(' ') + padded[0] + QLatin1Char('\t');
    QVERIFY(isLabelMarked(kind, padded));
    QVERIFY(!isLabelMarked(kind, second));
    QVERIFY(!isLabelMarked(horizontalLabelKind(), first));

    QVERIFY(markLabels(kind, {second, first}));
    const QList<QByteArray> lines = testfiles::read(labelMarksPath(kind)).split('\n');
    QCOMPARE(lines.size(), 4); // heading, two labels, the final newline
    QVERIFY(lines.at(0).startsWith('#'));
    QCOMPARE(lines.at(1), labelMarkKey(first).toLatin1() + "\tImbottigliato da Cantina Rossi - Alba");
    QCOMPARE(lines.at(2).left(40), labelMarkKey(second).toLatin1());

    // A run of labels: only the unmarked ones with findings are asked about.
    QStringList third = completeLabel();
    QStringList fourth = completeLabel();
    fourth[0] = QString();
    const QList<LabelCheckResult> ask =
        labelsToConfirm(kind, {{QStringLiteral("A"), first}, {QStringLiteral("B"), third}, {QStringLiteral("C"), fourth}},
                        kToday);
    QCOMPARE(ask.size(), 1);
    QCOMPARE(ask.first().index, 2);
    QCOMPARE(ask.first().name, QStringLiteral("C"));
}

void TestLabelCheck::verificaShowsFindingsAndMarksTheLine_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("byKey");
    forBothKinds([](const QString& kind) {
        QTest::addRow("%s, button", qPrintable(kind)) << kind << false;
        QTest::addRow("%s, Ctrl+R", qPrintable(kind)) << kind << true;
    });
}

void TestLabelCheck::verificaShowsFindingsAndMarksTheLine()
{
    QFETCH(QString, kind);
    QFETCH(bool, byKey);
    LabelFixture f(kind);
    const QStringList lines = completeLabel();
    const char* boxes[] = {"txtCima", "txtNome", "txtRosso", "txtSottotitolo", "txtRigo01",
                           "txtRigo02", "txtRigo03", "txtRigo04", "txtCalce"};
    for (int i = 0; i < kLabelLineCount; ++i)
        f.edit(boxes[i])->setText(lines.at(i));
    f.edit("txtRigo02")->setText(QStringLiteral("13,3 % vol"));

    QStringList shown;
    int highlighted = -2;
    f.world.platform().onDialog = [&](QDialog& dialog) {
        auto* window = qobject_cast<LabelCheckWindow*>(&dialog);
        if (!window)
            return 0;
        for (int i = 0; i < window->lstRilievi->count(); ++i)
            shown << window->lstRilievi->item(i)->text();
        window->lstRilievi->setCurrentRow(0);
        highlighted = f.window->label->highlightedLine();
        return 0;
    };
    f.edit("txtNome")->setFocus();
    if (byKey)
        QTest::keyClick(f.window.get(), Qt::Key_R, Qt::ControlModifier);
    else
        f.click("cmdVerifica");
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown.first().startsWith(QStringLiteral("Rigo 6 «13,3 % vol»: Titolo alcolometrico")));
    QCOMPARE(highlighted, 5);
    QCOMPARE(f.window->label->highlightedLine(), -1); // gone with the window
    QVERIFY(f.world.platform().messages.isEmpty());
    QCOMPARE(f.edit("txtRigo02")->text(), QStringLiteral("13,3 % vol")); // nothing changed

    // A label that passes says so.
    f.edit("txtRigo02")->setText(QStringLiteral("13 % vol"));
    QString title;
    f.world.platform().onDialog = [&](QDialog& dialog) {
        title = dialog.findChild<QLabel*>(QStringLiteral("lblTitolo"))->text();
        return 0;
    };
    f.click("cmdVerifica");
    QCOMPARE(title, QStringLiteral("Nessun rilievo: l'etichetta supera i controlli che la verifica conosce."));
}

void TestLabelCheck::printAsksAndRemembers_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("vertical") << "vertical";
    QTest::newRow("horizontal") << "horizontal";
}

void TestLabelCheck::printAsksAndRemembers()
{
    QFETCH(QString, kind);
    LabelFixture f(kind);
    f.type("txtProdotto", QStringLiteral("Barolo 2019"));
    f.type("txtNome", QStringLiteral("Barolo"));
    QStringList asked, opened;
    bool dontAsk = false;
    bool print = false;
    f.world.platform().onDialog = [&](QDialog& dialog) {
        opened << dialog.objectName();
        auto* window = qobject_cast<LabelCheckWindow*>(&dialog);
        if (!window)
            return 0;
        asked << window->lstRilievi->item(0)->text();
        if (dontAsk)
            window->chkNonChiedere->setChecked(true);
        (print ? window->cmdStampaComunque : window->cmdAnnulla)->click();
        return window->result();
    };
    // Annulla: no print window opens.
    f.click("cmdStampa");
    QCOMPARE(opened, QStringList{QStringLiteral("frmVerifica")});
    QCOMPARE(asked, QStringList{QStringLiteral("Barolo 2019")});
    // Stampa comunque, asking again: the print window opens, the next print asks again.
    print = true;
    f.click("cmdStampa");
    QCOMPARE(opened.mid(1), (QStringList{QStringLiteral("frmVerifica"), f.kind().printWindowName}));
    QVERIFY(!QFile::exists(labelMarksPath(f.kind())));
    // Stampa comunque, not to ask again: marked; the next print goes straight to the print window.
    dontAsk = true;
    f.click("cmdStampa");
    QVERIFY(isLabelMarked(f.kind(), f.window->label->lines()));
    opened.clear();
    f.click("cmdStampa");
    QCOMPARE(opened, QStringList{f.kind().printWindowName});
    // A change to the label asks again.
    f.type("txtRigo04", QStringLiteral("13 % vol"));
    opened.clear();
    f.click("cmdStampa");
    QCOMPARE(opened.first(), QStringLiteral("frmVerifica"));
}

QTEST_MAIN(TestLabelCheck)
#include "tst_labelcheck.moc"
