#include "LabelsTour.h"

#include "Artwork.h"
#include "Calibration.h"
#include "LabelWindows.h"
#include "FramedEdit.h"
#include "LabelCheckWindow.h"
#include "HighlightEdit.h"
#include "LabelPrint.h"
#include "LabelRun.h"
#include "LabelRunWindow.h"
#include "LabelSearch.h"
#include "LabelDrawing.h"
#include "LabelEditor.h"
#include "Length.h"
#include "LiveLabel.h"
#include "LabelWindows.h"
#include "PictureBox.h"
#include "PreparedReport.h"
#include "PrintDialog.h"
#include "QtTexts.h"
#include "RecordArchive.h"
#include "ReportModel.h"
#include "ReportOutput.h"
#include "ReportPreview.h"
#include "SampleData.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>

#include <cstdio>

using namespace vinarca;

namespace {
const QSize kScreen(1280, 800);

bool save(const QImage& image, const QString& path)
{
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool shoot(const QString& out, const QString& name, QWidget& window)
{
    window.resize(kScreen);
    window.show();
    QCoreApplication::processEvents();
    return save(window.grab().toImage(), out + QLatin1Char('/') + name + QStringLiteral(".png"));
}

void fill(LabelEditor& editor, bool longTexts)
{
    editor.txtProdotto->setText(QStringLiteral("Barbera d'Asti DOCG"));
    editor.txtImbottigliatore->setText(QStringLiteral("Cantina Sociale di Nizza"));
    editor.txtLotto->setText(QStringLiteral("L-2318"));
    editor.txtPrezzo->setText(QStringLiteral("12,50"));
    editor.txtCima->setText(QStringLiteral("Imbottigliato all'origine dal produttore"));
    editor.txtNome->setText(longTexts ? QStringLiteral("Barbera d'Asti Superiore Nizza Riserva")
                                      : QStringLiteral("Barbera d'Asti"));
    editor.txtRosso->setText(QStringLiteral("Denominazione di Origine Controllata e Garantita"));
    editor.txtSottotitolo->setText(longTexts ? QStringLiteral("Vigna del Bricco dei Cappuccini, vendemmia tardiva")
                                             : QStringLiteral("Vigna del Bricco"));
    editor.txtRigo01->setText(QStringLiteral("Vino rosso secco e armonico"));
    editor.txtRigo02->setText(QStringLiteral("Vendemmia 2019"));
    editor.txtRigo03->setText(QStringLiteral("750 ml"));
    editor.txtRigo04->setText(longTexts ? QStringLiteral("14,5 % vol. e oltre") : QStringLiteral("14 % vol"));
    editor.txtCalce->setText(QStringLiteral("Contiene solfiti - Prodotto in Italia"));
    editor.txtNote->setText(QStringLiteral("Etichetta per la fiera di primavera"));
    editor.lblPosizione->setText(QStringLiteral("3"));
}

// The live label alone, drawn at twice its screen size with the same drawing
// the editor uses, the logo included.
bool liveLabelAlone(const QString& out, const QString& name, const LabelEditor& editor)
{
    const LabelGeometry& g = *editor.labelKind().geometry;
    const QRect frame = g.frameUnits();
    const double pixelsPerUnit = 2;
    QImage image(frame.size() * pixelsPerUnit + QSize(40, 40), QImage::Format_RGB32);
    image.fill(QColor(0xF4, 0xF8, 0xFC));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(20 - frame.x() * pixelsPerUnit, 20 - frame.y() * pixelsPerUnit);
    painter.scale(pixelsPerUnit, pixelsPerUnit);
    drawLabel(painter, g, LabelFace{editor.label->lines(), editor.imgFoto->image(), artwork(editor.labelKind().ornament)});
    painter.end();
    return save(image, out + QLatin1Char('/') + name + QStringLiteral(".png"));
}
// The print and preview windows of the editor's kind, the preview of the
// filled label and the printed page.
bool printShots(const QString& out, const QString& suffix, LabelEditor& editor)
{
    const LabelPrintInput input = labelPrintInput(editor);
    const bool vertical = &editor.labelKind() == &verticalLabelKind();
    std::unique_ptr<DocumentWindow> print, preview;
    if (vertical) {
        print = std::make_unique<TfrmStampaVerticale>(input);
        preview = std::make_unique<TfrmAnteprimaVerticale>(input);
    } else {
        print = std::make_unique<TfrmStampaOrizzontale>(input);
        preview = std::make_unique<TfrmAnteprimaOrizzontale>(input);
    }
    bool ok = true;
    for (DocumentWindow* window : {print.get(), preview.get()}) {
        window->show();
        QCoreApplication::processEvents();
        const QString name = (window == print.get() ? QStringLiteral("etichetta_stampa_") : QStringLiteral("etichetta_anteprima_")) + suffix;
        ok &= save(window->grab().toImage(), out + QLatin1Char('/') + name + QStringLiteral(".png"));
        window->hide();
    }
    auto label = loadLabelLayout(editor.labelKind());
    fillLabel(*label, input);
    label->prepareReport();
    ReportPreview window(label->prepared());
    ok &= shoot(out, QStringLiteral("anteprima_report_etichetta_") + suffix, window);
    ok &= save(renderPageImage(*label->prepared(), 0, 96), out + QStringLiteral("/pagina_etichetta_") + suffix + QStringLiteral(".png"));
    // Twelve copies joined on A4 sheets: the first sheet.
    const auto sheets = printSheets(*label->prepared(), QList<int>(12, 0), {PrintMode::JoinSmallPages, QPageSize(QPageSize::A4), {}, {}}, QSizeF(210, 297));
    ok &= save(renderSheetImage(*label->prepared(), sheets.front(), 96),
               out + QStringLiteral("/pagina_etichette_unite_") + suffix + QStringLiteral(".png"));
    return ok;
}

// The print dialog as the label print window opens it, its print mode tab
// in front with "Join small pages" chosen.
bool printDialogShot(const QString& out)
{
    // Shown, as the platform shows it, with Qt's texts in English.
    const EnglishQtTexts english;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("/tmp/etichetta.pdf"));
    PrintChoices choices;
    choices.mode = PrintMode::JoinSmallPages;
    choices.showModeFirst = true;
    const auto dialog = createPrintDialog(nullptr, printer, 1, choices);
    dialog->show();
    QCoreApplication::processEvents();
    dialog->adjustSize();
    QCoreApplication::processEvents();
    return save(dialog->grab().toImage(), out + QStringLiteral("/dialogo_stampa_modi.png"));
}

// The printer calibration dialog with values set, the calibration sheet,
// and labels on die-cut stock started at the second place with crop marks.
bool calibrationShots(const QString& out, LabelEditor& editor)
{
    Calibrations calibrations;
    calibrations.byPrinter.insert(QStringLiteral("Ufficio"), {-1.2, 0.4, 0.995, 1.002});
    CalibrationDialog dialog(calibrations, QStringLiteral("Ufficio"));
    dialog.adjustSize();
    bool ok = shoot(out, QStringLiteral("dialogo_taratura"), dialog);

    constexpr double dpi = 96;
    QImage sheet(qRound(210 / 25.4 * dpi), qRound(297 / 25.4 * dpi), QImage::Format_RGB32);
    sheet.fill(Qt::white);
    {
        QPainter painter(&sheet);
        painter.scale(dpi / 25.4, dpi / 25.4);
        paintCalibrationSheet(painter, QStringLiteral("Ufficio"));
    }
    ok &= save(sheet, out + QStringLiteral("/foglio_taratura.png"));

    auto label = loadLabelLayout(editor.labelKind());
    fillLabel(*label, labelPrintInput(editor));
    label->prepareReport();
    PrintChoices choices;
    choices.mode = PrintMode::JoinSmallPages;
    choices.stock.firstMm = QPointF(8, 15);
    choices.stock.gapXMm = 4;
    choices.stock.gapYMm = 6;
    choices.stock.startAt = 2;
    choices.stock.cropMarks = true;
    const auto sheets = printSheets(*label->prepared(), QList<int>(3, 0), choices, QSizeF(210, 297));
    ok &= save(renderSheetImage(*label->prepared(), sheets.front(), dpi),
               out + QStringLiteral("/pagina_etichette_fustellate.png"));
    return ok;
}

// The search window of the kind over a few stored labels, after a find.
bool searchShot(const QString& out, const QString& name, LabelSearchWindow& window, const LabelKind& kind)
{
    const RecordLayout& layout = labelLayout();
    const char* const rows[][5] = {
        {"Barbera d'Asti DOCG", "Cantina Sociale di Nizza", "L-2318", "12,50", "fiera di primavera"},
        {"Barolo Riserva", "Cantina Rossi", "L-0412", "38,00", "solo su prenotazione"},
        {"Dolcetto d'Alba", "Azienda Agricola Bricco", "L-1107", "8,90", ""},
        {"Nebbiolo Langhe", "Cantina Rossi", "L-0977", "15,00", "annata 2020"},
        {"Arneis Roero", "Cascina del Pozzo", "L-3001", "11,20", "bianco"},
    };
    QFile::remove(kind.record.archivePath());
    {
    // Closed before the window reads it.
    RecordArchive archive(kind.record.archivePath(), layout, RecordArchive::Access::Write);
    for (const auto& row : rows) {
        QByteArray record = layout.emptyRecord();
        const char* fields[] = {"Prodotto", "Imbottigliatore", "Lotto", "Prezzo", "Note"};
        for (int i = 0; i < 5; ++i)
            layout.encodeField(record, layout.indexOf(QString::fromLatin1(fields[i])), QString::fromUtf8(row[i]));
        archive.append(record);
    }
    }
    window.show();
    window.txtTrova->setText(QStringLiteral("rossi"));
    window.btnTrovaClick();
    window.btnTrovaClick();
    QCoreApplication::processEvents();
    return save(window.grab().toImage(), out + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// The label check of a filled editor: its findings window with the first
// finding on a line chosen, the editor with that line outlined on the live
// label, and the question before a print.
bool checkShots(const QString& out, const QString& suffix, LabelEditor& editor)
{
    const QStringList lines = editor.label->lines();
    const QList<LabelCheckResult> results{
        {0, editor.txtProdotto->text(), lines, checkLabel(editor.labelKind(), lines)}};
    bool ok = true;
    {
        LabelCheckWindow window(results, LabelCheckWindow::Mode::Check, &editor);
        window.onFinding = [&editor](int, int line) { editor.label->setHighlightedLine(line); };
        window.show();
        QCoreApplication::processEvents();
        for (int i = 0; i < window.lstRilievi->count(); ++i)
            if (window.lstRilievi->item(i)->data(Qt::UserRole + 1).toInt() >= 0) {
                window.lstRilievi->setCurrentRow(i);
                break;
            }
        QCoreApplication::processEvents();
        ok &= save(window.grab().toImage(), out + QStringLiteral("/verifica_etichetta_") + suffix + QStringLiteral(".png"));
        ok &= save(editor.grab().toImage(),
                   out + QStringLiteral("/verifica_etichetta_rigo_evidenziato_") + suffix + QStringLiteral(".png"));
    }
    editor.label->setHighlightedLine(-1);
    LabelCheckWindow ask(results, LabelCheckWindow::Mode::BeforePrint, &editor);
    ask.show();
    QCoreApplication::processEvents();
    ok &= save(ask.grab().toImage(), out + QStringLiteral("/verifica_prima_della_stampa_") + suffix + QStringLiteral(".png"));
    return ok;
}
} // namespace

int tourLabels(const QString& out)
{
    int failures = 0;
    TfrmMenuEtichette menu;
    failures += !shoot(out, QStringLiteral("etichette_menu"), menu);

    TfrmVerticali vertical;
    failures += !shoot(out, QStringLiteral("etichette_verticali_nuova"), vertical);
    fill(vertical, false);
    vertical.imgFoto->setImage(tour::samplePhoto({560, 240}));
    vertical.txtNome->setFocus();
    failures += !shoot(out, QStringLiteral("etichette_verticali_compilata"), vertical);
    failures += !liveLabelAlone(out, QStringLiteral("etichetta_verticale_ingrandita"), vertical);
    failures += !printShots(out, QStringLiteral("verticale"), vertical);
    failures += !checkShots(out, QStringLiteral("verticale"), vertical);
    failures += !printDialogShot(out);
    failures += !calibrationShots(out, vertical);

    TfrmOrizzontali horizontal;
    failures += !shoot(out, QStringLiteral("etichette_orizzontali_nuova"), horizontal);
    fill(horizontal, true);
    horizontal.imgFoto->setImage(tour::samplePhoto({800, 140}));
    horizontal.txtRigo04->setFocus();
    failures += !shoot(out, QStringLiteral("etichette_orizzontali_compilata_testi_lunghi"), horizontal);
    failures += !liveLabelAlone(out, QStringLiteral("etichetta_orizzontale_ingrandita"), horizontal);
    failures += !printShots(out, QStringLiteral("orizzontale"), horizontal);
    failures += !checkShots(out, QStringLiteral("orizzontale"), horizontal);

    TfrmTrovaEtichetteVer searchVertical;
    failures += !searchShot(out, QStringLiteral("trova_etichette_verticali"), searchVertical, verticalLabelKind());
    TfrmTrovaEtichetteOri searchHorizontal;
    failures += !searchShot(out, QStringLiteral("trova_etichette_orizzontali"), searchHorizontal, horizontalLabelKind());

    // A run of three wines: the products are shown as added; the sheet count
    // comes from the stock.
    LabelRun& run = labelRunOf(verticalLabelKind());
    run.clear();
    run.add(1, QStringLiteral("Barolo Riserva 2019"), 20);
    run.add(2, QStringLiteral("Dolcetto d'Alba 2022"), 12);
    run.add(3, QStringLiteral("Roero Arneis 2023"), 30);
    LabelRunWindow runWindow(verticalLabelKind());
    failures += !shoot(out, QStringLiteral("serie_etichette_verticali"), runWindow);
    run.clear();
    return failures;
}
