// The printed price-list page: where every slot's objects stand, what the
// editor's page fills in, the words on paper from a PDF, and the print and
// preview windows opened from the editor.
#include "HighlightEdit.h"
#include "Length.h"
#include "ListinoPrezzi.h"
#include "PriceListWindows.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "PreparedReport.h"
#include "PricePage.h"
#include "ReportError.h"
#include "ReportLayout.h"
#include "ReportModel.h"
#include "ReportOutput.h"
#include "ReportPreview.h"
#include "ReportTestSupport.h"
#include "ScriptedPlatform.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QPrinterInfo>
#include <QPrinter>
#include <QPushButton>
#include <QTest>

using namespace vinarca;
using namespace reporttest;

namespace {
PricePageInput sampleInput()
{
    PricePageInput input;
    input.title = QStringLiteral("  Vini rossi ");
    input.page = QStringLiteral(" 3 ");
    input.texts = QStringList(40);
    for (int slot = 0; slot < 8; ++slot) {
        const QString letter = pricepage::slotLetters().at(slot);
        input.texts[pricepage::fieldIndex(slot, "Nome")] = "Nome" + letter;
        input.texts[pricepage::fieldIndex(slot, "Codice")] = " Cod" + letter;
        input.texts[pricepage::fieldIndex(slot, "Prezzo")] = QStringLiteral("%1,50 ").arg(11 * (slot + 1));
        QImage picture(366, 274, QImage::Format_RGB32);
        picture.fill(Qt::red);
        input.pictures.at(slot) = picture;
    }
    input.texts[pricepage::fieldIndex(1, "UM")] = QStringLiteral("[DATE] [Riserva]");
    return input;
}

std::unique_ptr<TReport> filledPage(const PricePageInput& input)
{
    auto page = loadPricePageLayout();
    fillPricePage(*page, input);
    page->prepareReport();
    return page;
}

QString memoText(const PreparedPage& page, const QString& name)
{
    const PlacedView* placed = page.find(name);
    return placed ? static_cast<const TMemoView&>(*placed->view).text() : QStringLiteral("<missing>");
}
} // namespace

class TestPaginaListino : public QObject
{
    Q_OBJECT
private slots:
    void objectsStandWhereTheLayoutPutsThem_data();
    void objectsStandWhereTheLayoutPutsThem();
    void fillingFromTheEditor();
    void repeatBlockFaults_data();
    void repeatBlockFaults();
    void wordsOnPaper_data();
    void wordsOnPaper();
    void editorOpensAFreshWindow_data();
    void editorOpensAFreshWindow();
    void cancelOutputsNothing();
    void printGoesToThePrinter();
    void pagePrintsThroughTheSpooler();

private:
    QTemporaryDir m_dir;
};

void TestPaginaListino::objectsStandWhereTheLayoutPutsThem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRectF>("mm"); // inside the printable area
    QTest::newRow("title") << "txtNome" << QRectF(1, 0.6, 188, 4);
    QTest::newRow("page number") << "txtPagina" << QRectF(0, 273, 190, 4);
    const char* frames[] = {"Shape19", "Shape1", "Shape2", "Shape3", "Shape4", "Shape5", "Shape6", "Shape7"};
    const double tops[] = {6, 39, 72, 105, 138, 171, 204, 237};
    for (int k = 0; k < 8; ++k) {
        const QString x = QString(QChar('A' + k));
        const double t = tops[k];
        QTest::addRow("%s frame", qPrintable(x)) << frames[k] << QRectF(1, t, 188, 30);
        QTest::addRow("%s photo", qPrintable(x)) << "imgFoto_" + x << QRectF(2, t + 1, 38, 28);
        QTest::addRow("%s name", qPrintable(x)) << "txtNome_" + x << QRectF(42.4, t + 1, 145, 7);
        QTest::addRow("%s first line", qPrintable(x)) << "txtUM_" + x << QRectF(42.4, t + 10, 145, 4);
        QTest::addRow("%s second line", qPrintable(x)) << "txtCaratteristiche_" + x << QRectF(42.4, t + 16, 145, 4);
        QTest::addRow("%s code", qPrintable(x)) << "txtCodice_" + x << QRectF(42.4, t + 22, 93.6, 7);
        QTest::addRow("%s price", qPrintable(x)) << "txtPrezzo_" + x << QRectF(146, t + 21.8, 40.4, 7);
    }
}

void TestPaginaListino::objectsStandWhereTheLayoutPutsThem()
{
    QFETCH(QString, name);
    QFETCH(QRectF, mm);
    auto report = filledPage(sampleInput());
    const PreparedReport& prepared = *report->prepared();
    QCOMPARE(prepared.pageCount(), 1);
    const PreparedPage& page = prepared.pages.front();
    QCOMPARE(page.paperMm, QSizeF(210, 297));
    const PlacedView* placed = page.find(name);
    QVERIFY2(placed, qPrintable(name));
    const QRectF at = placed->view->geometry;
    QVERIFY2(qAbs(Length::units(at.left()).mm() - (mm.left() + 10)) < 0.01, qPrintable(QString::number(Length::units(at.left()).mm())));
    QVERIFY(qAbs(Length::units(at.top()).mm() - (mm.top() + 10)) < 0.01);
    QVERIFY(qAbs(Length::units(at.width()).mm() - mm.width()) < 0.01);
    QVERIFY(qAbs(Length::units(at.height()).mm() - mm.height()) < 0.01);
}

void TestPaginaListino::fillingFromTheEditor()
{
    auto report = loadPricePageLayout();
    QCOMPARE(report->reportName, QStringLiteral("Listino Prezzi"));
    QCOMPARE(report->page().views.size(), std::size_t(2 + 8 * 7));
    fillPricePage(*report, sampleInput());
    report->prepareReport();
    const PreparedPage& page = report->prepared()->pages.front();
    QCOMPARE(memoText(page, "txtNome"), QStringLiteral("Vini rossi"));
    QCOMPARE(memoText(page, "txtPagina"), QStringLiteral("3"));
    QCOMPARE(memoText(page, "txtPrezzo_A"), QStringLiteral("€  11,50"));
    QCOMPARE(memoText(page, "txtPrezzo_H"), QStringLiteral("€  88,50"));
    QCOMPARE(memoText(page, "txtCodice_C"), QStringLiteral("CodC"));
    QCOMPARE(memoText(page, "txtUM_B"), QStringLiteral("[DATE] [Riserva]")); // printed literally
    QCOMPARE(memoText(page, "txtCaratteristiche_D"), QString()); // no design text left
    const auto& photo = static_cast<const TPictureView&>(*page.find(QStringLiteral("imgFoto_E"))->view);
    QCOMPARE(photo.picture().size(), QSize(366, 274));

    // An unsaved page prints no number; an empty price box the euro sign alone.
    PricePageInput unsaved = sampleInput();
    unsaved.page.clear();
    unsaved.texts[pricepage::fieldIndex(6, "Prezzo")].clear();
    auto second = filledPage(unsaved);
    QCOMPARE(memoText(second->prepared()->pages.front(), "txtPagina"), QString());
    QCOMPARE(memoText(second->prepared()->pages.front(), "txtPrezzo_G"), QStringLiteral("€  "));
}

void TestPaginaListino::repeatBlockFaults_data()
{
    QTest::addColumn<QByteArray>("repeat");
    QTest::newRow("too few values") << QByteArray(R"({"kind": "repeat", "count": 3, "values": {"s": ["A", "B"]},
        "objects": [{"kind": "shape", "name": "f{s}", "left": 1, "top": 1, "width": 1, "height": 1}]})");
    QTest::newRow("names collide") << QByteArray(R"({"kind": "repeat", "count": 2,
        "objects": [{"kind": "shape", "name": "f", "left": 1, "top": 1, "width": 1, "height": 1}]})");
    QTest::newRow("template without a top") << QByteArray(R"({"kind": "repeat", "count": 2, "values": {"s": ["A", "B"]},
        "objects": [{"kind": "shape", "name": "f{s}", "left": 1, "width": 1, "height": 1}]})");
    QTest::newRow("no count") << QByteArray(R"({"kind": "repeat",
        "objects": [{"kind": "shape", "name": "f", "left": 1, "top": 1, "width": 1, "height": 1}]})");
}

void TestPaginaListino::repeatBlockFaults()
{
    QFETCH(QByteArray, repeat);
    const QByteArray json = R"({"report": "r", "name": "n", "page": {"name": "Page1", "paper": 9, "width": 210,
        "height": 297, "orientation": "portrait", "margins": {"left": 10, "top": 10, "right": 10, "bottom": 10},
        "objects": [)" + repeat + "]}}";
    QVERIFY_THROWS_EXCEPTION(ReportError, parseReportLayout(json, QStringLiteral("test")));
}

void TestPaginaListino::wordsOnPaper_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("check");
    QTest::newRow("title at the top left") << "Vini" << "title";
    QTest::newRow("slot A price, right-aligned") << "11,50" << "priceA";
    QTest::newRow("slot H price, right-aligned") << "88,50" << "priceH";
    QTest::newRow("slot H name") << "NomeH" << "nameH";
    QTest::newRow("page number centred at the foot") << "3" << "page";
}

void TestPaginaListino::wordsOnPaper()
{
    if (!haveTool("pdftotext"))
        QSKIP("pdftotext is needed to read the PDF back");
    QFETCH(QString, word);
    QFETCH(QString, check);
    auto report = filledPage(sampleInput());
    const QString pdf = m_dir.filePath(QStringLiteral("page.pdf"));
    writePdf(*report->prepared(), pdf);
    const QList<PdfWord> words = pdfWords(pdf);
    const auto found = std::find_if(words.begin(), words.end(), [&](const PdfWord& w) { return w.text == word; });
    QVERIFY2(found != words.end(), qPrintable(pdfTexts(words, 0).join(QLatin1Char(' '))));
    const QRectF at = found->mm;
    const QString where = QStringLiteral("%1,%2 %3x%4").arg(at.left()).arg(at.top()).arg(at.width()).arg(at.height());
    // On the sheet: the printable area starts 10 mm in from the left and the top.
    if (check == QLatin1String("title")) {
        QVERIFY2(qAbs(at.left() - (11 + Length::units(2).mm())) < 0.5, qPrintable(where));
        QVERIFY2(at.top() > 10.3 && at.bottom() < 15, qPrintable(where));
    } else if (check.startsWith(QLatin1String("price"))) {
        const double boxTop = 10 + (check.endsWith('A') ? 6 : 237) + 21.8;
        // Right-aligned in the box ending at 186.4 mm, the euro sign before it.
        QVERIFY2(at.right() < 196.4 && at.right() > 194.5, qPrintable(where));
        QVERIFY2(qAbs(at.center().y() - (boxTop + 3.5)) < 1, qPrintable(where));
        const auto euro = std::prev(found);
        QCOMPARE(euro->text, QStringLiteral("€"));
        QVERIFY(euro->mm.right() < at.left() - 1); // two blanks between
    } else if (check == QLatin1String("nameH")) {
        QVERIFY2(qAbs(at.left() - (52.4 + Length::units(2).mm())) < 0.5, qPrintable(where));
        QVERIFY2(qAbs(at.center().y() - (10 + 238 + 3.5)) < 1, qPrintable(where));
    } else {
        QVERIFY2(qAbs(at.center().x() - 105) < 0.8, qPrintable(where));
        QVERIFY2(qAbs(at.center().y() - 285) < 1, qPrintable(where));
        QCOMPARE(std::count_if(words.begin(), words.end(), [](const PdfWord& w) { return w.text.startsWith("Pag"); }),
                 0);
    }
}

void TestPaginaListino::editorOpensAFreshWindow_data()
{
    QTest::addColumn<bool>("print");
    QTest::newRow("preview") << false;
    QTest::newRow("print") << true;
}

void TestPaginaListino::editorOpensAFreshWindow()
{
    QFETCH(bool, print);
    TestWorld world;
    TfrmListinoPrezzi editor;
    editor.lblFile->setText(world.path("Rossi.lis"));
    editor.lblNome->setText(QStringLiteral("Rossi"));
    editor.show();
    editor.slotControls[0].txtNome->setText(QStringLiteral("Barolo"));
    editor.slotControls[0].txtPrezzo->setText(QStringLiteral("35,00"));
    QStringList shown;
    int previews = 0;
    world.platform().onDialog = [&](QDialog& dialog) {
        if (auto* preview = qobject_cast<ReportPreview*>(&dialog)) {
            ++previews;
            const PreparedPage& page = preview->report().pages.front();
            shown << memoText(page, "txtNome") << memoText(page, "txtNome_A") << memoText(page, "txtPrezzo_A")
                  << memoText(page, "txtPrezzo_B") << memoText(page, "txtPagina");
            return 0;
        }
        auto* window = qobject_cast<DocumentWindow*>(&dialog);
        shown << dialog.objectName() << dialog.windowTitle() << window->btnStampa->text();
        QTest::mouseClick(window->btnStampa, Qt::LeftButton);
        return 0;
    };
    world.platform().onPrintDialog = [&](QPrinter& printer, int) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_dir.filePath(QStringLiteral("editor.pdf")));
        return true;
    };
    QTest::mouseClick(print ? editor.cmdStampa : editor.cmdAnteprima, Qt::LeftButton);
    QVERIFY(world.platform().messages.isEmpty());
    if (print) {
        QCOMPARE(shown, (QStringList{"frmStampaProdotto", " Stampa scheda", "Stampa"}));
        QCOMPARE(world.platform().printDialogs, 1);
        QVERIFY(pdfTexts(pdfWords(m_dir.filePath(QStringLiteral("editor.pdf"))), 0).contains("35,00"));
    } else {
        QCOMPARE(previews, 1);
        QCOMPARE(shown, (QStringList{"frmAnteprimaProdotto", " Anteprima di stampa", "Mostra anteprima", "Rossi",
                                     "Barolo", "€  35,00", "€  0,00", ""}));
    }
    // The slots now show the preview photos; the page is still unsaved.
    QCOMPARE(editor.slotControls[3].imgFoto->image().size(), QSize(366, 274));
    QVERIFY(editor.lblPosizione->text().isEmpty());
}

void TestPaginaListino::cancelOutputsNothing()
{
    TestWorld world;
    TfrmAnteprimaProdotto window(sampleInput());
    int previews = 0;
    world.platform().onDialog = [&](QDialog&) { return ++previews, 0; };
    window.show();
    QTest::mouseClick(window.btnAnnulla, Qt::LeftButton);
    QCOMPARE(previews, 0);
    QVERIFY(!window.isVisible());
}

void TestPaginaListino::printGoesToThePrinter()
{
    if (!haveTool("pdftotext"))
        QSKIP("pdftotext is needed to read the PDF back");
    TestWorld world;
    const QString pdf = m_dir.filePath(QStringLiteral("printed.pdf"));
    world.platform().onPrintDialog = [&](QPrinter& printer, int pages) {
        [&] { QCOMPARE(pages, 1); }();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    TfrmStampaProdotto window(sampleInput());
    window.show();
    QTest::mouseClick(window.btnStampa, Qt::LeftButton);
    QVERIFY(world.platform().messages.isEmpty());
    QCOMPARE(pdfPageCount(pdf), 1);
    const QStringList texts = pdfTexts(pdfWords(pdf), 0);
    for (const char* word : {"NomeA", "NomeH", "CodD", "44,50", "€"})
        QVERIFY2(texts.contains(QString::fromUtf8(word)), word);
}

// Through a real spooler (cups with a cups-pdf queue, scripts/print-spooler.sh),
// skipped when VINARCA_PRINT_QUEUE and VINARCA_PRINT_OUT do not name one.
void TestPaginaListino::pagePrintsThroughTheSpooler()
{
    const Spooler spooler;
    if (const QString why = spooler.unavailable(); !why.isEmpty())
        QSKIP(qPrintable(why));
    TestWorld world;
    TfrmStampaProdotto window(sampleInput());
    window.show();
    spooler.answerPrintDialogs(world.platform());
    QTest::mouseClick(window.btnStampa, Qt::LeftButton);
    QVERIFY2(world.platform().messages.isEmpty(), qPrintable(world.platform().lastMessage()));
    const QString spooled = spooler.awaitJob();
    QVERIFY2(!spooled.isEmpty(), "the spooler wrote no PDF within two minutes");
    QCOMPARE(pdfPageCount(spooled), 1);
    const QSizeF size = pdfPageSizeMm(spooled);
    QVERIFY2(qAbs(size.width() - 210) < 1 && qAbs(size.height() - 297) < 1, "A4 portrait");
    const QImage image = pdfPageImage(spooled, 0, 100);
    // Slot photos (red, 4:3 in a 38 x 28 mm box) at the left of each slot box.
    for (double top : {6.0, 105.0, 237.0}) {
        QVERIFY(near(pixelAtMm(image, 100, 31, 10 + top + 15), Qt::red));
        QVERIFY(near(pixelAtMm(image, 100, 100, 10 + top + 15), Qt::white)); // between the texts
    }
    QVERIFY(near(pixelAtMm(image, 100, 31, 10 + 37.5), Qt::white)); // the gap between slots A and B
}

QTEST_MAIN(TestPaginaListino)
#include "tst_paginalistino.moc"
