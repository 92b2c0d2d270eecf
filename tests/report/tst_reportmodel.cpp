// The layout model, the layout files and preparation: where every object
// lands in millimetres, how a long list spreads over pages, what [DATE] prints.

#include "PreparedReport.h"
#include "ReportError.h"
#include "ReportTestSupport.h"

#include <QTest>

using namespace vinarca;
using namespace reporttest;

class TestReportModel : public QObject
{
    Q_OBJECT

private slots:
    void sheetObjectsStandWhereTheLayoutPutsThem_data();
    void sheetObjectsStandWhereTheLayoutPutsThem();
    void sheetTextsAreLiteralSingleLines();
    void sheetCaptions_data();
    void sheetCaptions();
    void findObjectMatchesExactNamesOnly_data();
    void findObjectMatchesExactNamesOnly();
    void orientationSwapsPaperOnlyOnChange();
    void expressionsEvaluateDateOnlyWhereOn_data();
    void expressionsEvaluateDateOnlyWhereOn();
    void listSplitsOverLandscapePages_data();
    void listSplitsOverLandscapePages();
    void preparingAgainDiscardsEarlierPages();
    void pictureFitsItsBox_data();
    void pictureFitsItsBox();
    void pictureSentAtMostAtTargetResolution_data();
    void pictureSentAtMostAtTargetResolution();
    void oversizedPictureIsRefused();
    void wrappingOnlyWhereSwitchedOn();
    void badLayoutFilesAreRefused_data();
    void badLayoutFilesAreRefused();
};

void TestReportModel::sheetObjectsStandWhereTheLayoutPutsThem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRectF>("mm"); // inside the printable area

    QTest::newRow("header line") << "txtNome" << QRectF(1, 0.5, 188, 4);
    QTest::newRow("title bar") << "shpTitolo" << QRectF(1, 5, 188, 8);
    QTest::newRow("wine name") << "txtVino" << QRectF(2, 6.2, 186, 6);
    QTest::newRow("photo") << "imgLogo" << QRectF(1, 16, 188, 106);
    QTest::newRow("notes bar") << "Shape15" << QRectF(1, 265, 188, 4.8);
    QTest::newRow("notes caption") << "titRaccomandazioni" << QRectF(2, 265.6, 185.8, 3.6);
    QTest::newRow("notes box") << "Shape16" << QRectF(1, 270, 188, 6);
    QTest::newRow("notes") << "txtNote" << QRectF(2, 271, 185.9, 4);
    // Rows 125 and 195 have their caption 0.6 mm and value 6 mm below the row top.
    QTest::newRow("row 125 left caption bar") << "Shape39" << QRectF(1, 125, 93, 4.8);
    QTest::newRow("row 125 left caption") << "Memo28" << QRectF(2, 125.6, 91, 3.6);
    QTest::newRow("row 125 left value box") << "Shape40" << QRectF(1, 130, 93, 6);
    QTest::newRow("row 125 left value") << "txtProduttore" << QRectF(2, 131, 91, 4);
    QTest::newRow("row 195 right value") << "txtGusto" << QRectF(97, 201, 91, 4);
    QTest::newRow("row 195 left caption") << "Memo8" << QRectF(2, 195.6, 91, 3.6);
    // The other rows: caption 1 mm, value 6.4 mm below the row top.
    QTest::newRow("row 139 right caption bar") << "Shape35" << QRectF(96, 139, 93, 4.8);
    QTest::newRow("row 139 right caption") << "Memo24" << QRectF(97, 140, 91, 3.6);
    QTest::newRow("row 139 right value box") << "Shape36" << QRectF(96, 144, 93, 6);
    QTest::newRow("row 139 right value") << "txtRegione" << QRectF(97, 145.4, 91, 4);
    QTest::newRow("row 237 right value (stock)") << "txtTel" << QRectF(97, 243.4, 91, 4);
    QTest::newRow("row 251 right caption bar") << "Shape43" << QRectF(96, 251, 93, 4.8);
    QTest::newRow("row 251 right value") << "txtPrezzo" << QRectF(97, 257.4, 91, 4);
    QTest::newRow("row 251 left caption") << "Memo1" << QRectF(2, 252, 91, 3.6);
}

void TestReportModel::sheetObjectsStandWhereTheLayoutPutsThem()
{
    QFETCH(QString, name);
    QFETCH(QRectF, mm);
    auto report = sheetLayout();
    auto* view = report->find<TView>(name);
    QVERIFY(view);

    report->prepareReport();
    const PreparedReport& prepared = *report->prepared();
    QCOMPARE(prepared.pageCount(), 1);
    const PreparedPage& page = prepared.pages.front();
    QCOMPARE(page.paperMm, QSizeF(210, 297));
    const PlacedView* placed = page.find(name);
    QVERIFY(placed);
    // On the paper: 10 mm margins on the left and the top.
    const QRectF onPaper = placed->view->geometry;
    QVERIFY2(qAbs(Length::units(onPaper.left()).mm() - (mm.left() + 10)) < 0.01, qPrintable(name));
    QVERIFY(qAbs(Length::units(onPaper.top()).mm() - (mm.top() + 10)) < 0.01);
    QVERIFY(qAbs(Length::units(onPaper.width()).mm() - mm.width()) < 0.01);
    QVERIFY(qAbs(Length::units(onPaper.height()).mm() - mm.height()) < 0.01);
}

void TestReportModel::sheetTextsAreLiteralSingleLines()
{
    auto report = sheetLayout();
    QCOMPARE(report->name(), QStringLiteral("repDocumento"));
    QCOMPARE(report->reportName, QStringLiteral("Scheda Tecnica Vino"));
    QCOMPARE(report->previewOptions.buttons,
             PreviewButton::Print | PreviewButton::Zoom | PreviewButton::FullScreen | PreviewButton::Close);
    QVERIFY(!report->previewOptions.allowEdit);
    QCOMPARE(report->previewOptions.zoom, 1.0);

    const TReportPage& page = report->page();
    QCOMPARE(page.views.size(), std::size_t(88));
    QVERIFY(page.bands.empty());
    int memos = 0, shapes = 0, pictures = 0;
    for (const auto& view : page.views) {
        if (auto* memo = dynamic_cast<TMemoView*>(view.get())) {
            ++memos;
            QVERIFY2(!memo->wordWrap && !memo->expressions, qPrintable(memo->name()));
            QCOMPARE(memo->fontName, QStringLiteral("Arial"));
            QCOMPARE(memo->vAlign, VAlign::Center);
        } else if (dynamic_cast<TShapeView*>(view.get())) {
            ++shapes;
        } else if (dynamic_cast<TPictureView*>(view.get())) {
            ++pictures;
        }
    }
    // Header, name, 20 captions, 20 values, notes caption, notes.
    QCOMPARE(memos, 44);
    QCOMPARE(shapes, 43);
    QCOMPARE(pictures, 1);
    auto* vino = report->find<TMemoView>(QStringLiteral("txtVino"));
    QCOMPARE(vino->hAlign, HAlign::Center);
    QCOMPARE(vino->textColour, QColor(Qt::white));
    QVERIFY(qAbs(Length::units(vino->fontSize).points() - 12) < 0.01);
    auto* bar = report->find<TShapeView>(QStringLiteral("shpTitolo"));
    QCOMPARE(bar->fill, QColor(0x41, 0x69, 0xE1));
    QCOMPARE(bar->frame.colour, QColor(0x41, 0x69, 0xE1));
    QVERIFY(!report->find<TShapeView>(QStringLiteral("Shape16"))->fill.isValid());
}

void TestReportModel::sheetCaptions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("fixed header") << "txtNome" << "SCHEDA TECNICA VINO";
    QTest::newRow("producer") << "Memo28" << "PRODUTTORE";
    QTest::newRow("designation") << "Memo30" << "DESIGNAZIONE";
    QTest::newRow("acidity, with apostrophe") << "Memo7" << "ACIDITA'";
    QTest::newRow("long caption") << "Memo4" << "CONTENITORE PER CONSERVAZIONE";
    QTest::newRow("stock") << "Memo2" << "GIACENZA";
    QTest::newRow("serving temperature") << "Memo1" << "TEMPERATURA DI SERVIZIO";
    QTest::newRow("price") << "Memo11" << "PREZZO";
    QTest::newRow("notes") << "titRaccomandazioni" << "NOTE";
}

void TestReportModel::sheetCaptions()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    auto report = sheetLayout();
    auto* memo = report->find<TMemoView>(name);
    QVERIFY(memo);
    QCOMPARE(memo->text(), text);
}

void TestReportModel::findObjectMatchesExactNamesOnly_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("found");
    QTest::newRow("view on the page") << "Footer" << true;
    QTest::newRow("band") << "MasterData" << true;
    QTest::newRow("view inside a band") << "txtRiepilogo" << true;
    QTest::newRow("other letter case") << "txtriepilogo" << false;
    QTest::newRow("prefix of a name") << "txtRiep" << false;
    QTest::newRow("empty name") << "" << false;
    QTest::newRow("not in the layout") << "imgFoto_A" << false;
}

void TestReportModel::findObjectMatchesExactNamesOnly()
{
    QFETCH(QString, name);
    QFETCH(bool, found);
    auto report = listLayout();
    TReportComponent* object = report->findObject(name);
    QCOMPARE(object != nullptr, found);
    if (found)
        QCOMPARE(object->name(), name);
}

void TestReportModel::orientationSwapsPaperOnlyOnChange()
{
    auto report = listLayout();
    TReportPage& page = report->page();
    QCOMPARE(page.orientation(), QPageLayout::Landscape);
    QCOMPARE(QSizeF(page.paperWidthMm, page.paperHeightMm), QSizeF(297, 210));
    page.setOrientation(QPageLayout::Landscape); // already landscape: nothing changes
    QCOMPARE(QSizeF(page.paperWidthMm, page.paperHeightMm), QSizeF(297, 210));
    page.setOrientation(QPageLayout::Portrait);
    QCOMPARE(QSizeF(page.paperWidthMm, page.paperHeightMm), QSizeF(210, 297));
    page.setOrientation(QPageLayout::Portrait);
    QCOMPARE(QSizeF(page.paperWidthMm, page.paperHeightMm), QSizeF(210, 297));
    report->prepareReport();
    QCOMPARE(report->prepared()->pages.front().paperMm, QSizeF(210, 297));
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
    auto report = listLayout();
    auto* footer = report->find<TMemoView>(QStringLiteral("txtPagina"));
    footer->setText(text);
    footer->expressions = expressions;
    report->prepareReport(QDate(2024, 3, 5));
    const auto* placed = report->prepared()->pages.back().find(QStringLiteral("txtPagina"));
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
    QTest::newRow("empty list: title, empty band, footer") << 0 << QList<int>{0} << 0;
    QTest::newRow("ten lines on one page") << 10 << QList<int>{10} << 0;
    QTest::newRow("50 lines and the footer fit the first page") << 50 << QList<int>{50} << 0;
    // 54 lines fit, but the band's 10-unit tail does not: it and the footer open page 2.
    QTest::newRow("54 lines leave the band's tail to page 2") << 54 << QList<int>{54, 0} << 1;
    QTest::newRow("100 lines split over two landscape pages") << 100 << QList<int>{54, 46} << 1;
    // 107 lines end the band 21 units above the margin: no room for the 30-unit footer.
    QTest::newRow("107 lines push the footer onto a third page") << 107 << QList<int>{54, 53, 0} << 2;
    QTest::newRow("200 lines over four pages") << 200 << QList<int>{54, 56, 56, 34} << 3;
}

void TestReportModel::listSplitsOverLandscapePages()
{
    QFETCH(int, lines);
    QFETCH(QList<int>, linesPerPage);
    QFETCH(int, footerPage);
    auto report = listLayout();
    fillList(*report, lines);
    auto* memo = report->find<TMemoView>(QStringLiteral("txtRiepilogo"));
    report->prepareReport(QDate(2024, 3, 5));
    const PreparedReport& prepared = *report->prepared();
    QCOMPARE(prepared.pageCount(), int(linesPerPage.size()));

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
        QCOMPARE(onPage, linesPerPage[p]);
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

void TestReportModel::preparingAgainDiscardsEarlierPages()
{
    auto report = listLayout();
    fillList(*report, 200);
    report->prepareReport();
    const auto first = report->prepared();
    QCOMPARE(first->pageCount(), 4);
    fillList(*report, 3);
    report->prepareReport();
    QCOMPARE(report->prepared()->pageCount(), 1);
    QCOMPARE(first->pageCount(), 4); // a preview still showing the old pages keeps them
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
    auto report = listLayout();
    auto* title = report->find<TMemoView>(QStringLiteral("txtTitolo"));
    const QString longText = QStringLiteral("parola ").repeated(200).trimmed();
    title->setText(longText);
    report->prepareReport();
    auto text = [&] {
        return static_cast<const TMemoView&>(*report->prepared()->pages.front().find(QStringLiteral("txtTitolo"))->view)
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

QTEST_MAIN(TestReportModel)
#include "tst_reportmodel.moc"
