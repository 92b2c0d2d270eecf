// The wine sheet: its layout, where its objects land on paper, and its print
// and preview windows driven through the platform seam: what they fill into
// the sheet, by which record fields, where it goes, and how they fail.

#include "WineWindows.h"
#include "ReportError.h"
#include "WineRecord.h"
#include "PictureBox.h"
#include "PreparedReport.h"
#include "ReportOutput.h"
#include "ReportPreview.h"
#include "ReportTestSupport.h"
#include "ScriptedPlatform.h"
#include "TestFiles.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTest>

#include <future>

using namespace vinarca;
using namespace reporttest;

Q_DECLARE_METATYPE(vinarca::DocumentAction)

namespace {

// Every text field of the wine record, by field name, as the editor hands
// them over: empty but for a few.
WineSheetInput sampleInput()
{
    WineSheetInput input;
    // The text fields run from Nome to Note; the attachment fields follow.
    for (int i = 0; i <= wineKind().field(QStringLiteral("Note")); ++i)
        input.fields.insert(wineLayout().field(i).name, QString());
    input.fields[QStringLiteral("Nome")] = QStringLiteral("  Barolo [Riserva] Cannubi \t");
    input.fields[QStringLiteral("Produttore")] = QStringLiteral("Cantina  Rossi ");
    input.fields[QStringLiteral("Giacenza")] = QStringLiteral("24");
    input.fields[QStringLiteral("Prezzo")] = QStringLiteral("42,50");
    input.fields[QStringLiteral("Sapidita")] = QStringLiteral("Sapida");
    input.fields[QStringLiteral("Note")] = QStringLiteral("[DATE] da decantare");
    input.photo = QImage(1200, 800, QImage::Format_RGB32);
    input.photo.fill(Qt::red);
    return input;
}

// The sheet with a few fields filled and a photo, prepared.
std::unique_ptr<TReport> filledSheet(const QImage& photo)
{
    auto report = loadWineSheet();
    report->find<TPictureView>(QStringLiteral("imgLogo"))->setPicture(photo);
    report->find<TMemoView>(QStringLiteral("txtVino"))->setText(QStringLiteral("Barolo Cannubi"));
    report->find<TMemoView>(QStringLiteral("txtProduttore"))->setText(QStringLiteral("Cantina Rossi"));
    report->find<TMemoView>(QStringLiteral("txtPrezzo"))->setText(QStringLiteral("42,50"));
    report->find<TMemoView>(QStringLiteral("txtNote"))->setText(QStringLiteral("Servire [DATE] [fresco]"));
    report->prepareReport(QDate(2024, 3, 5));
    return report;
}

QString memoText(const PreparedPage& page, const char* name)
{
    const PlacedView* placed = page.find(QString::fromLatin1(name));
    return placed ? static_cast<const TMemoView&>(*placed->view).text() : QStringLiteral("<missing>");
}

std::unique_ptr<DocumentWindow> makeWindow(DocumentAction action, const WineSheetInput& input)
{
    if (action == DocumentAction::Print)
        return std::make_unique<TfrmStampaVini>(input);
    return std::make_unique<TfrmAnteprimaVini>(input);
}

} // namespace

class TestSchedaVino : public QObject
{
    Q_OBJECT

private slots:
    void sheetObjectsStandWhereTheLayoutPutsThem_data();
    void sheetObjectsStandWhereTheLayoutPutsThem();
    void sheetTextsAreLiteralSingleLines();
    void sheetCaptions_data();
    void sheetCaptions();
    void sheetTextStandsInItsBoxesOnPaper_data();
    void sheetTextStandsInItsBoxesOnPaper();
    void sheetNamesRecordFieldsAndLayoutBoxes();
    void inputThatIsNotByFieldNameFailsLoudly_data();
    void inputThatIsNotByFieldNameFailsLoudly();
    void photoIsSharedNotCopied();
    void photoIsDecodedOnceForItsAreaOnPaper_data();
    void photoIsDecodedOnceForItsAreaOnPaper();
    void photoStillBeingDecodedIsWaitedForWhereItIsDrawn_data();
    void photoStillBeingDecodedIsWaitedForWhereItIsDrawn();
    void previewShowsTheEditorsFieldsTrimmed();
    void emptyPhotoBoxLeavesThePhotoAreaBlank();
    void printSendsOnePageToTheChosenPrinter();
    void cancellingThePrintDialogClosesSilently();
    void cancelButtonOutputsNothing();
    void failuresEndInTheWindowsWarning_data();
    void failuresEndInTheWindowsWarning();
    void openWineSheetShowsAFreshWindowModally_data();
    void openWineSheetShowsAFreshWindowModally();

private:
    QTemporaryDir m_dir;
};

void TestSchedaVino::sheetObjectsStandWhereTheLayoutPutsThem_data()
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

void TestSchedaVino::sheetObjectsStandWhereTheLayoutPutsThem()
{
    QFETCH(QString, name);
    QFETCH(QRectF, mm);
    auto report = loadWineSheet();
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

void TestSchedaVino::sheetTextsAreLiteralSingleLines()
{
    auto report = loadWineSheet();
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

void TestSchedaVino::sheetCaptions_data()
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

void TestSchedaVino::sheetCaptions()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    auto report = loadWineSheet();
    auto* memo = report->find<TMemoView>(name);
    QVERIFY(memo);
    QCOMPARE(memo->text(), text);
}

void TestSchedaVino::sheetTextStandsInItsBoxesOnPaper_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QRectF>("boxMm"); // on the paper
    QTest::addColumn<bool>("centred");
    QTest::newRow("header, left") << "SCHEDA" << QRectF(11, 10.5, 188, 4) << false;
    QTest::newRow("wine name, centred on the page") << "Barolo" << QRectF(12, 16.2, 186, 6) << true;
    QTest::newRow("caption of row 125") << "PRODUTTORE" << QRectF(12, 135.6, 91, 3.6) << false;
    QTest::newRow("value of row 125") << "Cantina" << QRectF(12, 141, 91, 4) << false;
    QTest::newRow("right column caption") << "DESIGNAZIONE" << QRectF(107, 135.6, 91, 3.6) << false;
    QTest::newRow("price, row 251 right") << "42,50" << QRectF(107, 267.4, 91, 4) << false;
    QTest::newRow("notes caption") << "NOTE" << QRectF(12, 275.6, 185.8, 3.6) << false;
}

void TestSchedaVino::sheetTextStandsInItsBoxesOnPaper()
{
    if (!haveTool("pdftotext"))
        QSKIP("pdftotext is needed to read the PDF back");
    QFETCH(QString, word);
    QFETCH(QRectF, boxMm);
    QFETCH(bool, centred);
    QImage photo(400, 300, QImage::Format_RGB32);
    photo.fill(Qt::red);
    auto report = filledSheet(photo);
    const QString pdf = m_dir.filePath(QStringLiteral("sheet-words.pdf"));
    writePdf(*report->prepared(), pdf);
    const QList<PdfWord> words = pdfWords(pdf);
    const auto found = std::find_if(words.begin(), words.end(), [&](const PdfWord& w) { return w.text == word; });
    QVERIFY2(found != words.end(), qPrintable(pdfTexts(words, 0).join(QLatin1Char(' '))));
    const QRectF& at = found->mm;
    // Text starts 2 units (0.53 mm) inside its box and is centred vertically in it.
    if (!centred)
        QVERIFY2(qAbs(at.left() - (boxMm.left() + Length::units(2).mm())) < 0.4, qPrintable(QString::number(at.left())));
    QVERIFY2(qAbs(at.center().y() - boxMm.center().y()) < 0.8, qPrintable(QString::number(at.center().y())));
    if (centred) {
        const auto next = std::next(found);
        QVERIFY(next != words.end() && next->text == QLatin1String("Cannubi"));
        QVERIFY(qAbs((at.left() + next->mm.right()) / 2 - 105) < 0.8);
    }
}

void TestSchedaVino::sheetNamesRecordFieldsAndLayoutBoxes()
{
    auto sheet = loadWineSheet();
    QSet<QString> boxes, fields;
    for (const SheetField& entry : kSheetFields) {
        QVERIFY2(wineLayout().indexOf(QString::fromLatin1(entry.field)) >= 0, entry.field);
        QVERIFY2(sheet->find<TMemoView>(QString::fromLatin1(entry.layoutName)), entry.layoutName);
        boxes << QString::fromLatin1(entry.layoutName);
        fields << QString::fromLatin1(entry.field);
    }
    QCOMPARE(boxes.size(), 22); // each box filled once,
    QCOMPARE(fields.size(), 22); // each from its own field
    QVERIFY(sheet->find<TPictureView>(wineSheetSpec(DocumentAction::Print).pictureView));
    QVERIFY(sheet->find<TPictureView>(wineSheetSpec(DocumentAction::Preview).pictureView));
    // The four fields the sheet does not print, and the attachments.
    for (const char* absent : {"Sapidita", "Astringenza", "Accostamenti", "Consumo", "File01", "Desc01"})
        QVERIFY2(!fields.contains(QString::fromLatin1(absent)), absent);
}

void TestSchedaVino::inputThatIsNotByFieldNameFailsLoudly_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("keyed by control names") << "controls";
    QTest::newRow("a printed field missing") << "missing";
    QTest::newRow("a name the record does not have") << "unknown";
}

void TestSchedaVino::inputThatIsNotByFieldNameFailsLoudly()
{
    QFETCH(QString, fault);
    WineSheetInput input = sampleInput();
    if (fault == QLatin1String("controls")) {
        QHash<QString, QString> byControl;
        for (auto it = input.fields.begin(); it != input.fields.end(); ++it)
            byControl.insert(QStringLiteral("txt") + it.key(), it.value());
        input.fields = byControl;
    } else if (fault == QLatin1String("missing")) {
        input.fields.remove(QStringLiteral("Giacenza"));
    } else {
        input.fields.insert(QStringLiteral("Tel"), QStringLiteral("24"));
    }
    auto sheet = loadWineSheet();
    QVERIFY_THROWS_EXCEPTION(ReportError, fillWineSheet(*sheet, input));

    // Through the window: the warning, never a sheet with blanks.
    TestWorld world;
    auto window = makeWindow(DocumentAction::Preview, input);
    window->show();
    int previews = 0;
    world.platform().onDialog = [&](QDialog&) { return ++previews, 0; };
    QTest::mouseClick(window->btnStampa, Qt::LeftButton);
    QCOMPARE(previews, 0);
    QCOMPARE(world.platform().lastMessage(), sheetFailureMessage(DocumentAction::Preview));
}

void TestSchedaVino::photoIsDecodedOnceForItsAreaOnPaper_data()
{
    // The photo area is 188 x 106 mm: at 200 dpi 1480 x 835 pixels, at 300
    // dpi 2220 x 1252.
    QTest::addColumn<QSize>("own");
    QTest::addColumn<bool>("jpeg");
    QTest::addColumn<QSize>("printed");
    QTest::newRow("camera JPEG: a quarter reaches 200 dpi") << QSize(6000, 4000) << true << QSize(1500, 1000);
    QTest::newRow("wide JPEG: a quarter falls short, a half") << QSize(4000, 2000) << true << QSize(2000, 1000);
    QTest::newRow("small JPEG: its own size") << QSize(800, 600) << true << QSize(800, 600);
    QTest::newRow("picture without its file: scaled to 300 dpi") << QSize(4000, 3000) << false << QSize(1669, 1252);
}

void TestSchedaVino::photoIsDecodedOnceForItsAreaOnPaper()
{
    QFETCH(QSize, own);
    QFETCH(bool, jpeg);
    QFETCH(QSize, printed);
    QImage picture(own, QImage::Format_RGB32);
    picture.fill(QColor(90, 20, 40));
    Photo shown{picture, {}};
    if (jpeg) {
        QBuffer buffer(&shown.jpegBytes);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(QImageWriter(&buffer, "jpeg").write(picture));
        // The editor shows it decoded for its box; the bytes are decoded again.
        shown.image = picture.scaled(own / 8);
    }
    QCOMPARE(wineSheetPhoto(shown).size(), printed);
    QCOMPARE(wineSheetPhotoAhead(shown).get().size(), printed); // the same, on a thread of its own
}

void TestSchedaVino::photoIsSharedNotCopied()
{
    // A camera photo is 100 MB: the window and the sheet print the editor's
    // picture itself, never a copy of it.
    TestWorld world;
    const WineSheetInput input = sampleInput();
    auto window = makeWindow(DocumentAction::Preview, input);
    window->show();
    QCOMPARE(window->imgLogo->image().constBits(), input.photo.constBits());
    const uchar* printed = nullptr;
    world.platform().onDialog = [&](QDialog& dialog) {
        if (auto* preview = qobject_cast<ReportPreview*>(&dialog))
            printed = static_cast<const TPictureView&>(*preview->report().pages.front().find(QStringLiteral("imgLogo"))->view)
                          .picture()
                          .constBits();
        return 0;
    };
    QTest::mouseClick(window->btnStampa, Qt::LeftButton);
    QCOMPARE(printed, input.photo.constBits());
}

void TestSchedaVino::photoStillBeingDecodedIsWaitedForWhereItIsDrawn_data()
{
    QTest::addColumn<DocumentAction>("action");
    QTest::addColumn<bool>("decodedBeforeTheDialog");
    QTest::newRow("print: the print dialog comes first") << DocumentAction::Print << false;
    QTest::newRow("preview: shown at once") << DocumentAction::Preview << true;
}

void TestSchedaVino::photoStillBeingDecodedIsWaitedForWhereItIsDrawn()
{
    QFETCH(DocumentAction, action);
    QFETCH(bool, decodedBeforeTheDialog);
    TestWorld world;
    WineSheetInput input = sampleInput();
    const QImage photo = input.photo;
    input.photo = QImage();
    // Decoded in the thread that first waits for it, so the test sees when.
    bool decoded = false;
    input.comingPhoto = std::async(std::launch::deferred, [&] {
                            decoded = true;
                            return photo;
                        }).share();
    auto window = makeWindow(action, input);
    window->show();
    const QString pdf = m_dir.filePath(QStringLiteral("coming.pdf"));
    QFile::remove(pdf);
    bool decodedAtDialog = false;
    world.platform().onPrintDialog = [&](QPrinter& printer, int) {
        decodedAtDialog = decoded;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    const uchar* shown = nullptr;
    world.platform().onDialog = [&](QDialog& dialog) {
        decodedAtDialog = decoded;
        if (auto* preview = qobject_cast<ReportPreview*>(&dialog))
            shown = static_cast<const TPictureView&>(*preview->report().pages.front().find(QStringLiteral("imgLogo"))->view)
                        .picture()
                        .constBits();
        return 0;
    };
    QTest::mouseClick(window->btnStampa, Qt::LeftButton);
    QVERIFY2(world.platform().messages.isEmpty(), qPrintable(world.platform().lastMessage()));
    QCOMPARE(decodedAtDialog, decodedBeforeTheDialog);
    QVERIFY(decoded);
    if (action == DocumentAction::Print)
        QVERIFY(testfiles::read(pdf).contains("/Subtype /Image")); // the photo is on the sheet
    else
        QCOMPARE(shown, photo.constBits());
}

void TestSchedaVino::previewShowsTheEditorsFieldsTrimmed()
{
    TestWorld world;
    auto window = makeWindow(DocumentAction::Preview, sampleInput());
    window->show();
    int previews = 0;
    world.platform().onDialog = [&](QDialog& dialog) {
        auto* preview = qobject_cast<ReportPreview*>(&dialog);
        if (!preview)
            return 0;
        ++previews;
        const PreparedReport& report = preview->report();
        [&] {
            QCOMPARE(report.pageCount(), 1);
            QCOMPARE(report.reportName, QStringLiteral("Scheda Tecnica Vino"));
            const PreparedPage& page = report.pages.front();
            QCOMPARE(page.paperMm, QSizeF(210, 297));
            QCOMPARE(memoText(page, "txtVino"), QStringLiteral("Barolo [Riserva] Cannubi"));
            QCOMPARE(memoText(page, "txtProduttore"), QStringLiteral("Cantina  Rossi"));
            QCOMPARE(memoText(page, "txtTel"), QStringLiteral("24"));
            QCOMPARE(memoText(page, "txtNote"), QStringLiteral("[DATE] da decantare"));
            QCOMPARE(memoText(page, "txtGrado"), QString());
            QCOMPARE(memoText(page, "txtNome"), QStringLiteral("SCHEDA TECNICA VINO"));
            const auto& photo = static_cast<const TPictureView&>(*page.find(QStringLiteral("imgLogo"))->view);
            QCOMPARE(photo.picture().size(), QSize(1200, 800));
            QCOMPARE(preview->zoom(), 1.0);
        }();
        return 0;
    };
    QTest::mouseClick(window->btnStampa, Qt::LeftButton);
    QCOMPARE(previews, 1);
    QVERIFY(world.platform().messages.isEmpty());
    QCOMPARE(world.platform().printDialogs, 0);
    QVERIFY(!window->isVisible()); // closed after the preview
    QCOMPARE(window->result(), int(QDialog::Accepted));
}

void TestSchedaVino::emptyPhotoBoxLeavesThePhotoAreaBlank()
{
    TestWorld world;
    WineSheetInput input = sampleInput();
    input.photo = QImage();
    auto window = makeWindow(DocumentAction::Preview, input);
    window->show();
    QImage page;
    world.platform().onDialog = [&](QDialog& dialog) {
        if (auto* preview = qobject_cast<ReportPreview*>(&dialog))
            page = renderPageImage(preview->report(), 0, 50);
        return 0;
    };
    QTest::mouseClick(window->btnStampa, Qt::LeftButton);
    QVERIFY(!page.isNull());
    QVERIFY(world.platform().messages.isEmpty());
    for (double x = 12; x < 198; x += 3)
        for (double y = 27; y < 131; y += 3)
            QVERIFY(near(pixelAtMm(page, 50, x, y), Qt::white, 2));
}

void TestSchedaVino::printSendsOnePageToTheChosenPrinter()
{
    if (!haveTool("pdftotext"))
        QSKIP("pdftotext is needed to read the printed file");
    TestWorld world;
    auto window = makeWindow(DocumentAction::Print, sampleInput());
    window->show();
    const QString pdf = m_dir.filePath(QStringLiteral("sheet.pdf"));
    world.platform().onPrintDialog = [&](QPrinter& printer, int pageCount) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return pageCount == 1;
    };
    QTest::mouseClick(window->btnStampa, Qt::LeftButton);
    QCOMPARE(world.platform().printDialogs, 1);
    QVERIFY(world.platform().messages.isEmpty());
    QVERIFY(!window->isVisible());
    QCOMPARE(pdfPageCount(pdf), 1);
    const QStringList words = pdfTexts(pdfWords(pdf), 0);
    for (const char* word : {"Barolo", "[Riserva]", "Cannubi", "Rossi", "42,50", "[DATE]", "GIACENZA"})
        QVERIFY2(words.contains(QString::fromLatin1(word)), word);
    QVERIFY(!words.contains(QStringLiteral("Sapida"))); // not on the sheet
}

void TestSchedaVino::cancellingThePrintDialogClosesSilently()
{
    TestWorld world;
    auto window = makeWindow(DocumentAction::Print, sampleInput());
    window->show();
    world.platform().onPrintDialog = [](QPrinter&, int) { return false; };
    QTest::mouseClick(window->btnStampa, Qt::LeftButton);
    QCOMPARE(world.platform().printDialogs, 1);
    QVERIFY(world.platform().messages.isEmpty());
    QVERIFY(!window->isVisible());
}

void TestSchedaVino::cancelButtonOutputsNothing()
{
    TestWorld world;
    auto window = makeWindow(DocumentAction::Preview, sampleInput());
    window->show();
    int dialogs = 0;
    world.platform().onDialog = [&](QDialog&) { return ++dialogs; };
    QTest::mouseClick(window->btnAnnulla, Qt::LeftButton);
    QVERIFY(!window->isVisible());
    QCOMPARE(window->result(), int(QDialog::Rejected));
    QCOMPARE(dialogs, 0);
    QCOMPARE(world.platform().printDialogs, 0);
    QVERIFY(world.platform().messages.isEmpty());
}

void TestSchedaVino::failuresEndInTheWindowsWarning_data()
{
    QTest::addColumn<DocumentAction>("action");
    QTest::addColumn<QString>("fault");
    const QString printFailed = QStringLiteral(
        "Attenzione: la stampa non è andata a buon fine.\n\r\n\rSi consiglia di ridurre le dimensioni della foto.");
    const QString previewFailed = QStringLiteral("Attenzione: la visualizzazione dell'anteprima di stampa non è andata "
                                                 "a buon fine.\n\r\n\rSi consiglia di ridurre le dimensioni della foto.");
    QTest::addColumn<QString>("message");
    QTest::newRow("print: photo too large") << DocumentAction::Print << "huge photo" << printFailed;
    QTest::newRow("preview: photo too large") << DocumentAction::Preview << "huge photo" << previewFailed;
    QTest::newRow("print: printer cannot write") << DocumentAction::Print << "printer" << QString::fromUtf8(kOutputFileFailureMessage);
    QTest::newRow("print: text box missing from the layout") << DocumentAction::Print << "missing box" << printFailed;
    QTest::newRow("preview: text box missing from the layout") << DocumentAction::Preview << "missing box" << previewFailed;
}

void TestSchedaVino::failuresEndInTheWindowsWarning()
{
    QFETCH(DocumentAction, action);
    QFETCH(QString, fault);
    QFETCH(QString, message);
    TestWorld world;
    WineSheetInput input = sampleInput();
    if (fault == QLatin1String("huge photo"))
        input.photo = QImage(20000, 20000, QImage::Format_Mono); // 400 megapixels in 50 MB
    auto window = makeWindow(action, input);
    window->show();
    if (fault == QLatin1String("missing box")) {
        auto& views = window->report()->page().views;
        std::erase_if(views, [](const auto& view) { return view->name() == QLatin1String("txtGrado"); });
        QVERIFY(!window->report()->findObject(QStringLiteral("txtGrado")));
    }
    const QString pdf = m_dir.filePath(QStringLiteral("missing-folder/out.pdf"));
    world.platform().onPrintDialog = [&](QPrinter& printer, int) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    int previews = 0;
    world.platform().onDialog = [&](QDialog&) { return ++previews, 0; };

    QTest::mouseClick(window->btnStampa, Qt::LeftButton);
    QCOMPARE(world.platform().messages.size(), 1);
    QCOMPARE(world.platform().messages.front().kind, MessageKind::Warning);
    QVERIFY(!world.platform().messages.front().plain);
    QCOMPARE(world.platform().lastMessage(), message);
    QCOMPARE(previews, 0);
    QVERIFY(!QFileInfo::exists(pdf));
    QVERIFY(!window->isVisible());
}

void TestSchedaVino::openWineSheetShowsAFreshWindowModally_data()
{
    QTest::addColumn<DocumentAction>("action");
    QTest::addColumn<QString>("objectName");
    QTest::newRow("print") << DocumentAction::Print << "frmStampaVini";
    QTest::newRow("preview") << DocumentAction::Preview << "frmAnteprimaVini";
}

void TestSchedaVino::openWineSheetShowsAFreshWindowModally()
{
    QFETCH(DocumentAction, action);
    QFETCH(QString, objectName);
    TestWorld world;
    QWidget owner;
    QStringList shown;
    world.platform().onDialog = [&](QDialog& dialog) {
        shown << dialog.objectName();
        [&] { QCOMPARE(dialog.parentWidget(), &owner); }();
        return 0;
    };
    openWineSheet(&owner, sampleInput(), action);
    openWineSheet(&owner, sampleInput(), action);
    QCOMPARE(shown, (QStringList{objectName, objectName}));
    QVERIFY(owner.findChildren<DocumentWindow*>().isEmpty()); // destroyed after each use
}

QTEST_MAIN(TestSchedaVino)
#include "tst_schedavino.moc"
