// The layout model, the layout files and preparation: how a long list
// spreads over pages, what [DATE] prints, which layouts are refused.

#include "ListReport.h"
#include "PreparedReport.h"
#include "ReportError.h"
#include "ReportOutput.h"
#include "ReportTestSupport.h"
#include "ExactBytes.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTest>

using namespace vinarca;
using namespace reporttest;

class TestReportModel : public QObject
{
    Q_OBJECT

private slots:
    void findObjectMatchesExactNamesOnly_data();
    void findObjectMatchesExactNamesOnly();
    void orientationSwapsPaperOnlyOnChange();
    void expressionsEvaluateDateOnlyWhereOn_data();
    void expressionsEvaluateDateOnlyWhereOn();
    void listSplitsOverLandscapePages_data();
    void listSplitsOverLandscapePages();
    void listFooterFollowsTheLastLineAtAFixedDistance_data();
    void listFooterFollowsTheLastLineAtAFixedDistance();
    void eachPageHoldsOnlyItsOwnLines();
    void preparingAgainDiscardsEarlierPages();
    void pictureFitsItsBox_data();
    void pictureFitsItsBox();
    void pictureSentAtMostAtTargetResolution_data();
    void pictureSentAtMostAtTargetResolution();
    void oversizedPictureIsRefused();
    void wrappingOnlyWhereSwitchedOn();
    void badLayoutFilesAreRefused_data();
    void badLayoutFilesAreRefused();
    void mutatedLayoutsAreReadOrRefusedNeverHang();
};

namespace {

const PreparedReport& preparedOf(const TReport& report)
{
    return *report.prepared();
}

std::unique_ptr<TReport> wineList(int lines)
{
    return prepareListReport(QStringLiteral("Riepilogo vini in catalogo"), numberedLines(lines));
}

} // namespace

void TestReportModel::findObjectMatchesExactNamesOnly_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("found");
    QTest::newRow("view on the page") << "txtHeader" << true;
    QTest::newRow("picture on the page") << "imgPhoto" << true;
    QTest::newRow("band") << "Body" << true;
    QTest::newRow("view inside a band") << "txtLines" << true;
    QTest::newRow("the page") << "Page1" << true;
    QTest::newRow("other letter case") << "txtheader" << false;
    QTest::newRow("prefix of a name") << "txtHead" << false;
    QTest::newRow("empty name") << "" << false;
    QTest::newRow("not in the layout") << "imgFoto_A" << false;
}

void TestReportModel::findObjectMatchesExactNamesOnly()
{
    QFETCH(QString, name);
    QFETCH(bool, found);
    auto report = engineLayout();
    TReportComponent* object = report->findObject(name);
    QCOMPARE(object != nullptr, found);
    if (found)
        QCOMPARE(object->name(), name);
}

void TestReportModel::orientationSwapsPaperOnlyOnChange()
{
    auto report = engineLayout();
    TReportPage& page = report->page();
    QCOMPARE(page.orientation(), QPageLayout::Portrait);
    QCOMPARE(QSizeF(page.paperWidthMm, page.paperHeightMm), QSizeF(210, 297));
    page.setOrientation(QPageLayout::Portrait); // already portrait: nothing changes
    QCOMPARE(QSizeF(page.paperWidthMm, page.paperHeightMm), QSizeF(210, 297));
    page.setOrientation(QPageLayout::Landscape);
    QCOMPARE(QSizeF(page.paperWidthMm, page.paperHeightMm), QSizeF(297, 210));
    page.setOrientation(QPageLayout::Landscape);
    QCOMPARE(QSizeF(page.paperWidthMm, page.paperHeightMm), QSizeF(297, 210));
    report->prepareReport();
    QCOMPARE(report->prepared()->pages.front().paperMm, QSizeF(297, 210));
    // The list layout is designed landscape.
    auto list = wineList(0);
    QCOMPARE(list->page().orientation(), QPageLayout::Landscape);
    QCOMPARE(preparedOf(*list).pages.front().paperMm, QSizeF(297, 210));
}

void TestReportModel::expressionsEvaluateDateOnlyWhereOn_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expressions");
    QTest::addColumn<QString>("printed");
    QTest::newRow("footer date") << "Stampa eseguita in data [DATE]" << true << "Stampa eseguita in data 05/03/2024";
    QTest::newRow("date off") << "[DATE]" << false << "[DATE]";
    QTest::newRow("record text in brackets, off") << "[Riserva] 2019 [x]" << false << "[Riserva] 2019 [x]";
    QTest::newRow("unknown expression stays as written") << "[Riserva]" << true << "[Riserva]";
    QTest::newRow("unclosed bracket") << "Barolo [DATE" << true << "Barolo [DATE";
}

void TestReportModel::expressionsEvaluateDateOnlyWhereOn()
{
    QFETCH(QString, text);
    QFETCH(bool, expressions);
    QFETCH(QString, printed);
    auto report = engineLayout();
    auto* footer = report->find<TMemoView>(QStringLiteral("txtDate"));
    footer->setText(text);
    footer->expressions = expressions;
    report->prepareReport(QDate(2024, 3, 5));
    const auto* placed = report->prepared()->pages.back().find(QStringLiteral("txtDate"));
    QVERIFY(placed);
    QCOMPARE(static_cast<const TMemoView&>(*placed->view).text(), printed);
    QCOMPARE(footer->text(), text); // the layout itself keeps what was put in
}

void TestReportModel::listSplitsOverLandscapePages_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<QList<int>>("linesPerPage");
    QTest::addColumn<int>("footerPage");

    // A landscape page holds 190 mm; under the 8 mm title the first page
    // takes 54 lines of 12.667 units (8 pt + 2 units), a page without title 56.
    // The band is its lines (1 unit of top gap + 12.667 a line) + 10 units.
    QTest::newRow("empty list: title, empty band, footer") << 0 << QList<int>{0} << 0;
    QTest::newRow("ten lines on one page") << 10 << QList<int>{10} << 0;
    QTest::newRow("50 lines and the footer fit the first page") << 50 << QList<int>{50} << 0;
    // 53 lines and the band's tail fit, the 30-unit footer does not.
    QTest::newRow("53 lines push the footer alone onto page 2") << 53 << QList<int>{53} << 1;
    // 54 lines fit, but the band's 10-unit tail does not: it and the footer open page 2.
    QTest::newRow("54 lines leave the band's tail to page 2") << 54 << QList<int>{54, 0} << 1;
    QTest::newRow("100 lines split over two landscape pages") << 100 << QList<int>{54, 46} << 1;
    QTest::newRow("107 lines and the footer fill page 2") << 107 << QList<int>{54, 53} << 1;
    // 109 lines end the band 11 units above the margin: no room for the footer.
    QTest::newRow("109 lines push the footer onto a third page") << 109 << QList<int>{54, 55} << 2;
    QTest::newRow("200 lines over four pages") << 200 << QList<int>{54, 56, 56, 34} << 3;
}

void TestReportModel::listSplitsOverLandscapePages()
{
    QFETCH(int, lines);
    QFETCH(QList<int>, linesPerPage);
    QFETCH(int, footerPage);
    auto report = wineList(lines);
    auto* memo = report->find<TMemoView>(QStringLiteral("txtRiepilogo"));
    report->prepareReport(QDate(2024, 3, 5));
    const PreparedReport& prepared = *report->prepared();
    QCOMPARE(prepared.pageCount(), footerPage + 1);

    const double top = Length::mm(10).units();
    const double bottom = Length::mm(200).units();
    int seen = 0;
    for (int p = 0; p < prepared.pageCount(); ++p) {
        const PreparedPage& page = prepared.pages[p];
        QCOMPARE(page.paperMm, QSizeF(297, 210));
        QCOMPARE(page.orientation, QPageLayout::Landscape);
        QCOMPARE(page.find(QStringLiteral("txtTitolo")) != nullptr, p == 0);
        QCOMPARE(page.find(QStringLiteral("txtPagina")) != nullptr, p == footerPage);

        // Lines of this page: those whose whole pitch lies in the page's slice of the band.
        int onPage = 0;
        for (const PlacedBand& slice : page.bands) {
            QVERIFY(slice.top >= top - 1e-6 && slice.top + slice.height <= bottom + 1e-6);
            if (slice.name != QLatin1String("MasterData"))
                continue;
            for (int i = 0; i < lines; ++i) {
                const double lineTop = memo->lineTop(i);
                if (lineTop >= slice.offset - 1e-6 && lineTop + memo->linePitch() <= slice.offset + slice.height + 1e-6)
                    ++onPage;
            }
        }
        QCOMPARE(onPage, p < linesPerPage.size() ? linesPerPage[p] : 0);
        seen += onPage;
    }
    QCOMPARE(seen, lines); // no line lost or cut in two
    // The footer follows the band's last part directly.
    const PreparedPage& last = prepared.pages.back();
    const PlacedBand& footer = last.bands.back();
    QCOMPARE(footer.name, QStringLiteral("Footer"));
    if (last.bands.size() > 1) {
        const PlacedBand& before = last.bands[last.bands.size() - 2];
        QVERIFY(qAbs(footer.top - (before.top + before.height)) < 1e-6);
    } else {
        QVERIFY(qAbs(footer.top - top) < 1e-6);
    }
    const auto* date = last.find(QStringLiteral("txtPagina"));
    QCOMPARE(static_cast<const TMemoView&>(*date->view).text(), QStringLiteral("Stampa eseguita in data 05/03/2024"));
}

void TestReportModel::listFooterFollowsTheLastLineAtAFixedDistance_data()
{
    QTest::addColumn<int>("lines");
    QTest::newRow("100 lines") << 100;
    QTest::newRow("1,000 lines") << 1000;
    QTest::newRow("10,000 lines") << 10000;
}

void TestReportModel::listFooterFollowsTheLastLineAtAFixedDistance()
{
    QFETCH(int, lines);
    auto report = wineList(lines);
    const PreparedReport& prepared = preparedOf(*report);
    // The last drawn line's bottom on the paper, from the page that carries it.
    double lastLineBottom = -1;
    int lastLinePage = -1;
    for (int p = 0; p < prepared.pageCount(); ++p) {
        const PlacedView* placed = prepared.pages[p].find(QStringLiteral("txtRiepilogo"));
        if (!placed)
            continue;
        const auto& memo = static_cast<const TMemoView&>(*placed->view);
        if (memo.lines().isEmpty() || memo.firstLine() + memo.lines().size() != lines)
            continue;
        const double bottom = placed->view->geometry.top() + memo.lineTop(int(memo.lines().size()) - 1) + memo.linePitch();
        if (placed->clip.isEmpty() || bottom <= placed->clip.bottom() + 1e-6) {
            lastLineBottom = bottom;
            lastLinePage = p;
        }
    }
    QVERIFY(lastLinePage >= 0);
    const PreparedPage& page = prepared.pages[lastLinePage];
    const PlacedBand& footer = page.bands.back();
    if (footer.name != QLatin1String("Footer"))
        QSKIP("the footer went to the next page"); // the rows are chosen so it does not
    // The 10 units of the band under its lines, whatever the length.
    QVERIFY2(qAbs(footer.top - lastLineBottom - 10) < 1e-6, qPrintable(QString::number(footer.top - lastLineBottom)));
}

void TestReportModel::eachPageHoldsOnlyItsOwnLines()
{
    // A long list's pages carry each its own part of the text, not the whole:
    // preparation and output then grow with the list, not with its square.
    auto report = wineList(5000);
    const PreparedReport& prepared = preparedOf(*report);
    QVERIFY(prepared.pageCount() > 80);
    int held = 0;
    for (const PreparedPage& page : prepared.pages) {
        const PlacedView* placed = page.find(QStringLiteral("txtRiepilogo"));
        if (!placed)
            continue;
        const auto& memo = static_cast<const TMemoView&>(*placed->view);
        QVERIFY2(memo.lines().size() <= 57, qPrintable(QString::number(memo.lines().size())));
        if (!memo.lines().isEmpty())
            QCOMPARE(memo.lines().front(), QStringLiteral("Riga %1 Barolo Riserva").arg(memo.firstLine() + 1, 3, 10, QLatin1Char('0')));
        held += int(memo.lines().size());
    }
    QVERIFY(held >= 5000 && held < 5000 + 2 * prepared.pageCount());
}

void TestReportModel::preparingAgainDiscardsEarlierPages()
{
    auto report = engineLayout();
    auto* memo = report->find<TMemoView>(QStringLiteral("txtLines"));
    auto* band = report->find<TBand>(QStringLiteral("Body"));
    auto fill = [&](int lines) {
        memo->setLines(numberedLines(lines));
        memo->setHeight(memo->linesHeight());
        band->setHeight(memo->geometry.height());
    };
    fill(200); // 82 lines of 8 pt to a portrait page's 277 mm: three pages
    report->prepareReport();
    const auto first = report->prepared();
    QCOMPARE(first->pageCount(), 3);
    fill(3);
    report->prepareReport();
    QCOMPARE(report->prepared()->pageCount(), 1);
    QCOMPARE(first->pageCount(), 3); // a preview still showing the old pages keeps them
}

void TestReportModel::pictureFitsItsBox_data()
{
    QTest::addColumn<QSizeF>("boxMm");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRectF>("expectedMm");

    QTest::newRow("wide photo fills the width, centred vertically")
        << QSizeF(188, 106) << QSize(4000, 1000) << QRectF(0, 29.5, 188, 47);
    QTest::newRow("tall photo fills the height, centred horizontally")
        << QSizeF(188, 106) << QSize(1000, 2000) << QRectF(67.5, 0, 53, 106);
    QTest::newRow("small picture is enlarged") << QSizeF(40, 20) << QSize(10, 10) << QRectF(10, 0, 20, 20);
    QTest::newRow("same proportions fill the box") << QSizeF(188, 106) << QSize(1880, 1060) << QRectF(0, 0, 188, 106);
}

void TestReportModel::pictureFitsItsBox()
{
    QFETCH(QSizeF, boxMm);
    QFETCH(QSize, picture);
    QFETCH(QRectF, expectedMm);
    TPictureView view(QStringLiteral("imgLogo"));
    view.geometry = QRectF(QPointF(5, 5), boxMm * kUnitsPerMm);
    QImage image(picture, QImage::Format_RGB32);
    image.fill(Qt::red);
    view.setPicture(image);
    const QRectF r = view.pictureRect();
    const QRectF mm(r.topLeft() / kUnitsPerMm, r.size() / kUnitsPerMm);
    QVERIFY2(qAbs(mm.left() - expectedMm.left()) < 0.01 && qAbs(mm.top() - expectedMm.top()) < 0.01
                 && qAbs(mm.width() - expectedMm.width()) < 0.01 && qAbs(mm.height() - expectedMm.height()) < 0.01,
             qPrintable(QStringLiteral("%1,%2 %3x%4").arg(mm.left()).arg(mm.top()).arg(mm.width()).arg(mm.height())));

    view.setPicture(QImage());
    QVERIFY(view.pictureRect().isEmpty()); // an empty picture leaves the box blank
}

void TestReportModel::pictureSentAtMostAtTargetResolution_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSizeF>("target");
    QTest::addColumn<QSize>("drawn");
    // The sheet's 188 mm photo box at 300 dpi is 2220 dots wide.
    QTest::newRow("24-megapixel photo brought down to the box")
        << QSize(6000, 4000) << QSizeF(2220.5, 1480.3) << QSize(2221, 1481);
    QTest::newRow("picture smaller than the box goes as it is") << QSize(640, 480) << QSizeF(2220, 1665) << QSize(640, 480);
    QTest::newRow("exact size untouched") << QSize(800, 600) << QSizeF(800, 600) << QSize(800, 600);
}

void TestReportModel::pictureSentAtMostAtTargetResolution()
{
    QFETCH(QSize, picture);
    QFETCH(QSizeF, target);
    QFETCH(QSize, drawn);
    QCOMPARE(TPictureView::drawnPixelSize(picture, target), drawn);
}

void TestReportModel::oversizedPictureIsRefused()
{
    TPictureView view(QStringLiteral("imgLogo"));
    // One bit a pixel keeps this 400-megapixel picture at 50 MB in the test.
    const QImage giant(20000, 20000, QImage::Format_Mono);
    QVERIFY(!giant.isNull());
    QVERIFY_THROWS_EXCEPTION(ReportError, view.setPicture(giant));
    QVERIFY(view.picture().isNull());
}

void TestReportModel::wrappingOnlyWhereSwitchedOn()
{
    auto report = engineLayout();
    auto* title = report->find<TMemoView>(QStringLiteral("txtTitle"));
    const QString longText = QStringLiteral("parola ").repeated(200).trimmed();
    title->setText(longText);
    report->prepareReport();
    auto text = [&] {
        return static_cast<const TMemoView&>(*report->prepared()->pages.front().find(QStringLiteral("txtTitle"))->view)
            .lines();
    };
    QCOMPARE(text(), QStringList{longText}); // one line, cut by the box when drawn

    title->wordWrap = true;
    report->prepareReport();
    QVERIFY(text().size() > 1);
    QCOMPARE(text().join(QLatin1Char(' ')), longText);
}

void TestReportModel::badLayoutFilesAreRefused_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("fault");
    const QByteArray page = R"("page": {"width": 210, "height": 297, "objects": [%1]})";
    auto layout = [&](const char* objects) {
        return QByteArray(R"({"report": "rep", )") + QByteArray(page).replace("%1", objects) + "}";
    };
    QTest::newRow("not JSON") << QByteArray("{\"report\": ") << "offset";
    QTest::newRow("no page") << QByteArray(R"({"report": "rep"})") << "no page";
    QTest::newRow("unknown kind") << layout(R"({"kind": "barcode", "name": "a", "left": 0, "top": 0, "width": 1, "height": 1})")
                                  << "unknown kind";
    QTest::newRow("missing width") << layout(R"({"kind": "shape", "name": "a", "left": 0, "top": 0, "height": 1})")
                                   << "width";
    QTest::newRow("name used twice")
        << layout(R"({"kind": "shape", "name": "a", "left": 0, "top": 0, "width": 1, "height": 1},
                     {"kind": "shape", "name": "a", "left": 0, "top": 0, "width": 1, "height": 1})")
        << "used twice";
    QTest::newRow("bad colour")
        << layout(R"({"kind": "shape", "name": "a", "left": 0, "top": 0, "width": 1, "height": 1, "fill": "blu"})")
        << "bad colour";
    QTest::newRow("missing fixed picture")
        << layout(R"({"kind": "picture", "name": "a", "left": 0, "top": 0, "width": 1, "height": 1, "picture": ":/none.png"})")
        << "cannot read picture";
    // Damaged layouts that would otherwise prepare forever or overflow the drawing.
    auto page2 = [](const char* pageJson) { return QByteArray(R"({"report": "rep", "page": )") + pageJson + "}"; };
    QTest::newRow("paper of 1e48 mm") << page2(R"({"width": 210, "height": 1e48})") << "\"height\" out of range";
    QTest::newRow("paper of no size") << page2(R"({"width": 0, "height": 297})") << "\"width\" out of range";
    QTest::newRow("negative margin") << page2(R"({"width": 210, "height": 297, "margins": {"left": -5}})")
                                     << "\"left\" out of range";
    QTest::newRow("margins leave no room")
        << page2(R"({"width": 210, "height": 297, "margins": {"top": 150, "bottom": 150}})") << "leave no room";
    QTest::newRow("margins leave no room once turned")
        << page2(R"({"width": 210, "height": 297, "margins": {"top": 110, "bottom": 100}})") << "leave no room";
    QTest::newRow("band taller than any page")
        << page2(R"({"width": 210, "height": 297, "bands": [{"kind": "masterData", "name": "b", "height": 300}]})")
        << "band taller";
    QTest::newRow("negative band height")
        << page2(R"({"width": 210, "height": 297, "bands": [{"kind": "footer", "name": "b", "height": -1}]})")
        << "\"height\" out of range";
    QTest::newRow("coordinate beyond any int")
        << layout(R"({"kind": "shape", "name": "a", "left": 1e12, "top": 0, "width": 1, "height": 1})")
        << "\"left\" out of range";
    QTest::newRow("negative width")
        << layout(R"({"kind": "shape", "name": "a", "left": 0, "top": 0, "width": -3, "height": 1})")
        << "\"width\" out of range";
    QTest::newRow("font size zero")
        << layout(R"({"kind": "text", "name": "a", "left": 0, "top": 0, "width": 1, "height": 1, "font": {"size": 0}})")
        << "\"size\" out of range";
    QTest::newRow("size given as text")
        << layout(R"({"kind": "text", "name": "a", "left": 0, "top": 0, "width": 1, "height": 1, "font": {"size": "8"}})")
        << "not a number";
}

void TestReportModel::badLayoutFilesAreRefused()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, fault);
    try {
        parseReportLayout(json, QStringLiteral("test.json"));
        QFAIL("the layout was accepted");
    } catch (const ReportError& error) {
        const QString what = QString::fromStdString(error.what());
        QVERIFY2(what.contains(fault) && what.startsWith(QLatin1String("test.json")), qPrintable(what));
    }
}

void TestReportModel::mutatedLayoutsAreReadOrRefusedNeverHang()
{
    // Seeded mutations of a small valid layout: every one is either read and
    // prepared into a bounded number of pages, or refused with a ReportError.
    // Any crash, hang or other exception fails the suite (and the sanitizer
    // build catches undefined behaviour on the way).
    const QJsonObject valid = QJsonDocument::fromJson(engineLayoutJson()).object();
    QVERIFY(!valid.isEmpty());
    static const QJsonValue kNasty[] = {0, -1, 1e48, -1e48, 1e308, 2147483648.0, 1e-300, 0.5, 300, 5000, 9999,
                                        QString(), QStringLiteral("x"), true, QJsonValue::Null, QJsonArray{},
                                        QJsonObject{}};
    QRandomGenerator random(20240305);

    // Changes one value somewhere in the tree.
    std::function<QJsonValue(const QJsonValue&)> mutate = [&](const QJsonValue& value) -> QJsonValue {
        if (value.isObject()) {
            QJsonObject object = value.toObject();
            if (object.isEmpty())
                return kNasty[random.bounded(int(std::size(kNasty)))];
            const QStringList keys = object.keys();
            const QString key = keys[random.bounded(int(keys.size()))];
            switch (random.bounded(6)) {
            case 0: object.remove(key); break;
            case 1: object.insert(key, kNasty[random.bounded(int(std::size(kNasty)))]); break;
            default: object.insert(key, mutate(object.value(key))); break;
            }
            return object;
        }
        if (value.isArray()) {
            QJsonArray array = value.toArray();
            if (array.isEmpty())
                return kNasty[random.bounded(int(std::size(kNasty)))];
            const int at = random.bounded(int(array.size()));
            switch (random.bounded(5)) {
            case 0: array.removeAt(at); break;
            case 1: array.append(array.at(at)); break; // also repeats a name
            default: array.replace(at, mutate(array.at(at))); break;
            }
            return array;
        }
        if (value.isDouble() && random.bounded(2))
            return value.toDouble() * (random.generateDouble() * 4 - 1);
        return kNasty[random.bounded(int(std::size(kNasty)))];
    };

    QElapsedTimer clock;
    clock.start();
    int read = 0, refused = 0;
    for (int round = 0; clock.elapsed() < 3000; ++round) {
        QByteArray bytes;
        if (round % 4 == 3) {
            // Raw damage to the text: flipped, dropped and repeated bytes.
            bytes = engineLayoutJson();
            for (int n = 1 + random.bounded(4); n > 0; --n) {
                const int at = random.bounded(int(bytes.size()));
                switch (random.bounded(3)) {
                case 0: bytes[at] = char(random.bounded(256)); break;
                case 1: bytes.remove(at, 1 + random.bounded(8)); break;
                default: bytes.insert(at, bytes.mid(at, 1 + random.bounded(16))); break;
                }
            }
        } else {
            QJsonValue tree = valid;
            for (int n = 1 + random.bounded(3); n > 0; --n)
                tree = mutate(tree);
            bytes = tree.isObject() ? QJsonDocument(tree.toObject()).toJson(QJsonDocument::Compact) : QByteArray("[]");
        }
        std::unique_ptr<TReport> report;
        try {
            // In a block of exactly its size, so a read past its end is caught.
            report = parseReportLayout(ExactBytes(bytes).view(), QStringLiteral("fuzz"));
        } catch (const ReportError&) {
            ++refused;
            continue;
        }
        ++read;
        try {
            if (auto* lines = report->find<TMemoView>(QStringLiteral("txtLines")))
                lines->setLines(numberedLines(40));
            report->prepareReport(QDate(2024, 3, 5));
            const PreparedReport& prepared = preparedOf(*report);
            QVERIFY2(prepared.pageCount() >= 1 && prepared.pageCount() < 200, bytes.constData());
            renderPageImage(prepared, 0, 4);
        } catch (const ReportError&) {
            // Refused while preparing or drawing: a clear error, not a crash.
        }
    }
    qInfo("%d mutated layouts read, %d refused", read, refused);
    QVERIFY(read > 0 && refused > 0);
}

QTEST_MAIN(TestReportModel)
#include "tst_reportmodel.moc"
