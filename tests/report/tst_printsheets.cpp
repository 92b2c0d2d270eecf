// How the print modes lay prepared pages on sheets of paper: how many sheets,
// which pages on each, where and how large, for labels, full pages and
// landscape lists, on the papers a user may have in the printer.

#include "PreparedReport.h"
#include "PrintSheets.h"

#include <QTest>

using namespace vinarca;

Q_DECLARE_METATYPE(vinarca::PrintMode)

namespace {

const QSizeF kA4(210, 297), kA5(148, 210), kLetter(215.9, 279.4);
const QMarginsF kMargins(10, 10, 10, 10);

// The printed pages of the program's documents, as the print modes see them.
PageFootprint verticalLabel() { return {kA4, kMargins, QRectF(10, 10, 95, 120)}; }
PageFootprint horizontalLabel() { return {kA4, kMargins, QRectF(10, 10, 110, 85)}; }
PageFootprint fullSheet() { return {kA4, kMargins, QRectF(10, 10, 190, 277)}; }
// A list prints from a little inside its margins.
PageFootprint listPage() { return {kA4.transposed(), kMargins, QRectF(11, 12, 275, 150)}; }
PageFootprint blankPage() { return {kA4, kMargins, QRectF()}; }

PageFootprint footprintNamed(const QString& name)
{
    if (name == QLatin1String("vertical label"))
        return verticalLabel();
    if (name == QLatin1String("horizontal label"))
        return horizontalLabel();
    if (name == QLatin1String("list page"))
        return listPage();
    if (name == QLatin1String("blank page"))
        return blankPage();
    return fullSheet();
}

// "x,y@s" for each placement of a sheet, origins in millimetres to 0.01 mm.
QString describe(const PrintSheet& sheet)
{
    QStringList out;
    for (const SheetPlacement& p : sheet.placements) {
        QString one = QStringLiteral("%1,%2").arg(p.originMm.x(), 0, 'f', 2).arg(p.originMm.y(), 0, 'f', 2);
        if (std::abs(p.scale - 1) > 1e-9)
            one += QStringLiteral("@%1").arg(p.scale, 0, 'f', 4);
        out << one;
    }
    return QStringLiteral("%1x%2: ").arg(sheet.paperMm.width(), 0, 'f', 1).arg(sheet.paperMm.height(), 0, 'f', 1)
        + out.join(QLatin1Char(' '));
}

QList<int> copiesOfFirst(int copies)
{
    return QList<int>(copies, 0);
}

} // namespace

class TestPrintSheets : public QObject
{
    Q_OBJECT

private slots:
    void sheetsOfEachMode_data();
    void sheetsOfEachMode();
    void joinedPagesKeepTheirOrderAndNeverOverlap();
    void footprintIsWhatThePagePrints();
};

void TestPrintSheets::sheetsOfEachMode_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("copies");
    QTest::addColumn<PrintMode>("mode");
    QTest::addColumn<QSizeF>("paper");
    QTest::addColumn<QStringList>("sheets");

    const QString a4 = QStringLiteral("210.0x297.0: ");
    QTest::newRow("default: one label a sheet, whatever the paper")
        << "vertical label" << 3 << PrintMode::Default << kA5 << QStringList(3, a4 + "0.00,0.00");
    QTest::newRow("join: four vertical labels a sheet, in rows")
        << "vertical label" << 12 << PrintMode::JoinSmallPages << kA4
        << QStringList(3, a4 + "0.00,0.00 95.00,0.00 0.00,120.00 95.00,120.00");
    QTest::newRow("join: the last sheet holds the rest")
        << "vertical label" << 5 << PrintMode::JoinSmallPages << kA4
        << QStringList{a4 + "0.00,0.00 95.00,0.00 0.00,120.00 95.00,120.00", a4 + "0.00,0.00"};
    QTest::newRow("join: three horizontal labels a sheet, one under the other")
        << "horizontal label" << 12 << PrintMode::JoinSmallPages << kA4
        << QStringList(4, a4 + "0.00,0.00 0.00,85.00 0.00,170.00");
    QTest::newRow("join: a full page takes its sheet as it is")
        << "full sheet" << 2 << PrintMode::JoinSmallPages << kA4 << QStringList(2, a4 + "0.00,0.00");
    QTest::newRow("join: a page too large for the paper keeps its own paper")
        << "full sheet" << 2 << PrintMode::JoinSmallPages << kA5 << QStringList(2, a4 + "0.00,0.00");
    QTest::newRow("join: landscape lists on landscape sheets, where they were prepared")
        << "list page" << 2 << PrintMode::JoinSmallPages << kA4 << QStringList(2, "297.0x210.0: 0.00,0.00");
    QTest::newRow("join: a blank page still takes a sheet")
        << "blank page" << 2 << PrintMode::JoinSmallPages << kA4 << QStringList(2, a4 + "0.00,0.00");
    QTest::newRow("split: a label that fits one A5 tile prints on one A5 sheet")
        << "vertical label" << 1 << PrintMode::SplitBigPages << kA5 << QStringList{"148.0x210.0: 0.00,0.00"};
    QTest::newRow("split: a full A4 page on A5 paper, four tiles")
        << "full sheet" << 1 << PrintMode::SplitBigPages << kA5
        << QStringList{"148.0x210.0: 0.00,0.00", "148.0x210.0: -148.00,0.00", "148.0x210.0: 0.00,-210.00",
                       "148.0x210.0: -148.00,-210.00"};
    QTest::newRow("split: a page that fits the paper is not cut")
        << "full sheet" << 1 << PrintMode::SplitBigPages << kA4 << QStringList{a4 + "0.00,0.00"};
    QTest::newRow("split: a landscape list on A5 turned like it")
        << "list page" << 1 << PrintMode::SplitBigPages << kA5
        << QStringList{"210.0x148.0: 0.00,0.00", "210.0x148.0: -210.00,0.00", "210.0x148.0: 0.00,-148.00",
                       "210.0x148.0: -210.00,-148.00"};
    QTest::newRow("scale: A4 down to A5, whole sheet")
        << "full sheet" << 1 << PrintMode::Scale << kA5 << QStringList{"148.0x210.0: 0.00,0.34@0.7048"};
    QTest::newRow("scale: A4 on Letter, centred")
        << "vertical label" << 1 << PrintMode::Scale << kLetter << QStringList{"215.9x279.4: 9.17,0.00@0.9407"};
    QTest::newRow("scale: A4 on A4 is the page itself")
        << "vertical label" << 1 << PrintMode::Scale << kA4 << QStringList{a4 + "0.00,0.00"};
    QTest::newRow("on sheet: a label keeps its real size on A5")
        << "vertical label" << 2 << PrintMode::PrintOnSheet << kA5 << QStringList(2, "148.0x210.0: 0.00,0.00");
    QTest::newRow("on sheet: a full page shrinks just enough for A5")
        << "full sheet" << 1 << PrintMode::PrintOnSheet << kA5 << QStringList{"148.0x210.0: 0.00,0.00@0.7048"};
    QTest::newRow("on sheet: a page smaller than the sheet stays in its corner")
        << "full sheet" << 1 << PrintMode::PrintOnSheet << QSizeF(297, 420) << QStringList{"297.0x420.0: 0.00,0.00"};
}

void TestPrintSheets::sheetsOfEachMode()
{
    QFETCH(QString, page);
    QFETCH(int, copies);
    QFETCH(PrintMode, mode);
    QFETCH(QSizeF, paper);
    QFETCH(QStringList, sheets);
    const std::vector<PrintSheet> laid = layOutSheets({footprintNamed(page)}, copiesOfFirst(copies), mode, paper);
    QStringList seen;
    for (const PrintSheet& sheet : laid)
        seen << describe(sheet);
    QCOMPARE(seen, sheets);
}

void TestPrintSheets::joinedPagesKeepTheirOrderAndNeverOverlap()
{
    // Labels of both kinds and a full page, collated copies: each lands in
    // order, inside the margins, apart from every other on its sheet.
    const std::vector<PageFootprint> pages{verticalLabel(), horizontalLabel(), fullSheet()};
    const QList<int> order{0, 1, 0, 1, 2, 0, 0, 1};
    const std::vector<PrintSheet> sheets = layOutSheets(pages, order, PrintMode::JoinSmallPages, kA4);
    QList<int> printed;
    for (const PrintSheet& sheet : sheets) {
        QList<QRectF> taken;
        for (const SheetPlacement& p : sheet.placements) {
            printed << p.page;
            const QRectF ink = pages.at(p.page).inkMm.translated(p.originMm);
            QVERIFY(QRectF(QPointF(0, 0), sheet.paperMm).marginsRemoved(kMargins).adjusted(-0.01, -0.01, 0.01, 0.01)
                        .contains(ink));
            for (const QRectF& other : taken)
                QVERIFY(!ink.adjusted(0.01, 0.01, -0.01, -0.01).intersects(other));
            taken << ink;
        }
    }
    QCOMPARE(printed, order);
    // The full page breaks the row: it is alone on its sheet, and the labels
    // after it start a fresh one.
    QCOMPARE(sheets.size(), size_t(4));
    QCOMPARE(sheets[2].placements.size(), size_t(1));
    QCOMPARE(sheets[2].placements[0].page, 2);
}

void TestPrintSheets::footprintIsWhatThePagePrints()
{
    PreparedPage page;
    page.paperMm = kA4;
    page.marginsMm = kMargins;
    QCOMPARE(footprintOf(page).inkMm, QRectF());
    auto add = [&](QRectF units, QRectF clip = {}) {
        auto shape = std::make_unique<TShapeView>(QStringLiteral("shp"));
        shape->geometry = units;
        page.views.push_back({std::move(shape), clip});
    };
    const double mm = 96 / 25.4;
    add(QRectF(10 * mm, 10 * mm, 95 * mm, 120 * mm));
    add(QRectF(20 * mm, 20 * mm, 10 * mm, 0)); // nothing to print
    // A band slice that reaches past the page prints only its part.
    add(QRectF(10 * mm, 100 * mm, 50 * mm, 400 * mm), QRectF(0, 100 * mm, 210 * mm, 60 * mm));
    const QRectF ink = footprintOf(page).inkMm;
    QVERIFY(std::abs(ink.left() - 10) < 1e-9 && std::abs(ink.top() - 10) < 1e-9);
    QVERIFY(std::abs(ink.right() - 105) < 1e-9 && std::abs(ink.bottom() - 160) < 1e-9);
    QCOMPARE(footprintOf(page).marginsMm, kMargins);
}

QTEST_GUILESS_MAIN(TestPrintSheets)
#include "tst_printsheets.moc"
