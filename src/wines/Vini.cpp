#include "Vini.h"

#include "AllegaCartella.h"
#include "Artwork.h"
#include "ExportWindow.h"
#include "Guida.h"
#include "HighlightEdit.h"
#include "Palette.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "Platform.h"
#include "ReportOutput.h"
#include "SchedaVinoWindow.h"
#include "ShortString.h"
#include "Slideshow_Vini.h"
#include "StatusHints.h"
#include "TrovaVini.h"
#include "WebCam.h"
#include "WineRecord.h"
#include "Zoom.h"

#include <QLabel>

#include <array>

using namespace vinarca;

TfrmVini* frmVini = nullptr;

namespace {

struct FieldBox
{
    HighlightEdit* TfrmVini::*member;
    const char* field;
    const char* name;
    int maxLength;
    int row;    // caption row of the right-hand section (-1: the Note row)
    int column; // 0..1 in rows of two, 0..2 in rows of three
};

// The edit boxes with the field each shows, and the row and column of the box;
// the captions above them are the wine kind's.
const std::array<FieldBox, 26> kFieldBoxes{{
    {&TfrmVini::txtNome, "Nome", "txtNome", 50, 0, 0},
    {&TfrmVini::txtProduttore, "Produttore", "txtProduttore", 50, 0, 1},
    {&TfrmVini::txtDesignazione, "Designazione", "txtDesignazione", 50, 1, 0},
    {&TfrmVini::txtNazione, "Nazione", "txtNazione", 50, 1, 1},
    {&TfrmVini::txtRegione, "Regione", "txtRegione", 50, 1, 2},
    {&TfrmVini::txtZona, "Zona", "txtZona", 50, 2, 0},
    {&TfrmVini::txtCantina, "Cantina", "txtCantina", 50, 2, 1},
    {&TfrmVini::txtAnnata, "Annata", "txtAnnata", 50, 2, 2},
    {&TfrmVini::txtInvecchiamento, "Invecchiamento", "txtInvecchiamento", 50, 3, 0},
    {&TfrmVini::txtMaturazione, "Maturazione", "txtMaturazione", 50, 3, 1},
    {&TfrmVini::txtColore, "Colore", "txtColore", 50, 3, 2},
    {&TfrmVini::txtProfumo, "Profumo", "txtProfumo", 50, 4, 0},
    {&TfrmVini::txtGusto, "Gusto", "txtGusto", 50, 4, 1},
    {&TfrmVini::txtRetrogusto, "Retrogusto", "txtRetrogusto", 50, 4, 2},
    {&TfrmVini::txtGrado, "Grado", "txtGrado", 50, 5, 0},
    {&TfrmVini::txtAcidita, "Acidita", "txtAcidita", 50, 5, 1},
    {&TfrmVini::txtSapidita, "Sapidita", "txtSapidita", 50, 5, 2},
    {&TfrmVini::txtAccostamenti, "Accostamenti", "txtAccostamenti", 50, 6, 0},
    {&TfrmVini::txtAstringenza, "Astringenza", "txtAstringenza", 50, 6, 1},
    {&TfrmVini::txtTemperatura, "Temperatura", "txtTemperatura", 50, 6, 2},
    {&TfrmVini::txtFornitore, "Fornitore", "txtFornitore", 50, 7, 0},
    {&TfrmVini::txtTel, "Giacenza", "txtTel", 10, 7, 1},
    {&TfrmVini::txtPrezzo, "Prezzo", "txtPrezzo", 15, 7, 2},
    {&TfrmVini::txtConservazione, "Conservazione", "txtConservazione", 50, 8, 0},
    {&TfrmVini::txtConsumo, "Consumo", "txtConsumo", 50, 8, 1},
    {&TfrmVini::txtNote, "Note", "txtNote", 250, -1, 0},
}};

// Geometry of the right-hand section: rows of two boxes 296 wide and rows
// of three boxes 196 wide, all ending at the same right edge.
constexpr int kFieldsLeft = 363;
constexpr int kFieldsTop = 122;
constexpr int kRowPitch = 48;
constexpr int kCaptionHeight = 16;
constexpr int kBoxHeight = 26;

QRect boxRect(int row, int column)
{
    const bool pair = row == 0 || row == 8;
    const int width = pair ? 296 : 196;
    const int gap = pair ? 8 : 6;
    return {kFieldsLeft + column * (width + gap), kFieldsTop + row * kRowPitch + kCaptionHeight + 2, width,
            kBoxHeight};
}

} // namespace

TfrmVini::TfrmVini(QWidget* parent) : RecordEditor(wineKind(), palette::WindowBlue, QSize(996, 692), parent)
{
    setObjectName(QStringLiteral("frmVini"));
    setWindowTitle(QStringLiteral(" Vinarca - Catalogo Vini"));

    QWidget* panContainer = panel();
    auto* shpContainer = new ShapeRect(panContainer, QStringLiteral("shpContainer"), panContainer->rect(),
                                       QColor(0xF4, 0xF8, 0xFC), palette::PanelOutline, 6);
    shpContainer->lower();
    StatusHints* hints = createStatusLine(QRect(0, 656, 996, 36), palette::StatusBlue);
    hints->addBackground(shpContainer);

    buildToolbar(panContainer, *hints);
    buildPhotoBox(panContainer, *hints);
    buildFields(panContainer, *hints);
    createAttachmentLabels(panContainer);
    connectRecordButtons();

    connect(cmdEsci, &QAbstractButton::clicked, this, &QWidget::close);
    connect(cmdGuida, &QAbstractButton::clicked, this, [this] { showHelp(this, HelpTopic::Wines); });
    connect(btnZoomFoto, &QAbstractButton::clicked, this,
            [this] { showZoom(this, shownPictureAt(platform().screenSize())); });
    connect(cmdTrova, &QAbstractButton::clicked, this, [this] {
        openWineSearch(this, [this](const QByteArray& record, qint64 position) { openRecord(record, position); });
    });
    connect(cmdSlideshow, &QAbstractButton::clicked, this, [this] { openWineSlideshow(this); });
    connect(cmdAnteprima, &QAbstractButton::clicked, this, [this] { openSheet(DocumentAction::Preview); });
    connect(cmdStampa, &QAbstractButton::clicked, this, [this] { openSheet(DocumentAction::Print); });
    connect(cmdEsporta, &QAbstractButton::clicked, this, [this] {
        TfrmExpVini window(wineKind(), this);
        platform().execDialog(window);
    });
    connect(cmdFile, &QAbstractButton::clicked, this, [this] {
        openAttachments(this, QStringLiteral("vini"),
                        {{lblFile01, lblFile02, lblFile03}, {lblDesc01, lblDesc02, lblDesc03}});
    });
    connect(btnWebcam, &QAbstractButton::clicked, this, [this] {
        openWebCam(this, [this](const QImage& picture) { setShownPicture(picture); });
    });
}

void TfrmVini::buildToolbar(QWidget* panel, StatusHints& hints)
{
    addTiles(panel, hints,
             {{"shpNuovo", {6, 8, 215, 56}}, {"shpAnteprima", {227, 8, 158, 56}}, {"shpStampa", {391, 8, 158, 56}},
              {"shpRecord", {555, 8, 224, 56}}, {"shpRiepiloghi", {785, 8, 92, 56}}, {"shpEsci", {883, 8, 107, 56}}});

    addPictureButtons(panel, hints, QStringLiteral(":/wines"), {
        {&cmdNuovo, "cmdNuovo", "nuovo", {11, 16}, "Prepara la schermata per l'inserimento di una nuova scheda."},
        {&cmdDuplica, "cmdDuplica", "duplica", {52, 16},
         "Prepara la schermata per l'inserimento di una nuova scheda duplicando i dati correnti."},
        {&cmdSalva, "cmdSalva", "salva", {93, 16}, "Salva la scheda in archivio."},
        {&cmdTrova, "cmdTrova", "trova", {134, 16}, "Trova una scheda in archivio."},
        {&cmdFile, "cmdFile", "file", {175, 16}, "Allega file alla scheda."},
        {&cmdAnteprima, "cmdAnteprima", "anteprima", {232, 20}, "Visualizza l'anteprima di stampa della scheda."},
        {&cmdStampa, "cmdStampa", "stampa", {396, 20}, "Stampa la scheda."},
        {&cmdPrimo, "cmdPrimo", "primo", {562, 16}, "Visualizza la prima scheda in archivio."},
        {&cmdIndietro, "cmdIndietro", "indietro", {603, 16}, "Visualizza la scheda precedente in archivio."},
        {&cmdAvanti, "cmdAvanti", "avanti", {695, 16}, "Visualizza la scheda successiva in archivio."},
        {&cmdUltimo, "cmdUltimo", "ultimo", {736, 16}, "Visualizza l'ultima scheda in archivio."},
        {&cmdEsporta, "cmdEsporta", "esporta", {792, 16},
         "Esporta le schede in archivio in un file di Microsoft Excel."},
        {&cmdSlideshow, "cmdSlideshow", "slideshow", {833, 16}, "Esegui lo slide show del catalogo vini."},
        {&cmdGuida, "cmdGuida", "guida", {894, 16}, "Visualizza la pagina della guida sensibile al contesto."},
        {&cmdEsci, "cmdEsci", "esci", {942, 16}, "Esci da questa schermata di lavoro."},
    });

    createPositionLabel(panel, QRect(642, 24, 50, 24), hints);
}

void TfrmVini::buildPhotoBox(QWidget* panel, StatusHints& hints)
{
    hints.addBackground(new ShapeRect(panel, QStringLiteral("shpFoto"), QRect(6, 72, 323, 500), palette::PhotoFrame, palette::PanelOutline, 4));

    createPictureBoxes(panel, QRect(14, 80, 307, 409), artwork(QStringLiteral(":/wines/foto_placeholder")), hints);

    addTiles(panel, hints, {{"bkgPulsantiFoto", {14, 500, 307, 64}}});

    addPictureButtons(panel, hints, QStringLiteral(":/wines"),
                      {{&btnCaricaFoto, "btnCaricaFoto", "carica_foto", {20, 515}, "Carica una foto."},
                       {&btnSalvaFoto, "btnSalvaFoto", "salva_foto", {176, 515}, "Salva la foto su disco."},
                       {&btnWebcam, "btnWebcam", "webcam_btn", {224, 515}, "Scatta la foto con la tua WebCam."},
                       {&btnZoomFoto, "btnZoomFoto", "zoom_foto", {272, 515},
                        "Visualizza la foto nelle sue dimensioni reali."}});
}

void TfrmVini::buildFields(QWidget* panel, StatusHints& hints)
{
    addTiles(panel, hints, {{"shpSfondo", {337, 72, 653, 500}}, {"shpSezione01", {6, 580, 984, 64}}});

    auto* title = new PictureBox(panel);
    title->setObjectName(QStringLiteral("imgTitolo"));
    title->setGeometry(363, 80, 600, 30);
    title->setImage(artwork(QStringLiteral(":/wines/titolo_scheda")));
    hints.addQuiet(title);
    auto* rule = new ShapeRect(panel, QStringLiteral("shpRigo"), QRect(363, 113, 600, 3), palette::SteelBlue);
    rule->setGradient(palette::SteelBlue, Qt::white, Qt::Horizontal);

    const QFont boxFont(QStringLiteral("Verdana"), 12, QFont::Bold);
    QList<HighlightEdit*> chain;
    for (const FieldBox& f : kFieldBoxes) {
        auto* box = new HighlightEdit(panel);
        box->setObjectName(QString::fromLatin1(f.name));
        box->setFont(boxFont);
        bindBox(f.field, box, f.maxLength);
        if (f.row >= 0) {
            const QRect r = boxRect(f.row, f.column);
            box->setGeometry(r);
            QLabel* caption = makeLabel(panel, QStringLiteral("lbl") + QString::fromLatin1(f.name + 3),
                                        wineKind().facts(QString::fromLatin1(f.field)).label(),
                                        QRect(r.x(), r.y() - kCaptionHeight - 2, r.width(), kCaptionHeight),
                                        QStringLiteral("Verdana"), 9, false, palette::CaptionBlue);
            hints.addQuiet(caption);
        } else {
            box->setGeometry(100, 598, 878, 28);
            auto* picture = new PictureBox(panel);
            picture->setObjectName(QStringLiteral("imgNote"));
            picture->setGeometry(22, 600, 60, 24);
            picture->setImage(artwork(QStringLiteral(":/wines/note_caption")));
            hints.addQuiet(picture);
        }
        hints.addQuiet(box);
        this->*f.member = box;
        chain << box;
    }
    linkReturnChain(chain);
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain.at(i - 1), chain.at(i));

    txtTel->setAlignment(Qt::AlignCenter);
    txtTel->setKeyFilter(isDigitEditKey);
    txtTel->setText(QStringLiteral("0"));
    settleOnLeave(txtTel, [](const QString& text) {
        return trimControl(text).isEmpty() ? QStringLiteral("0") : text;
    });
    txtPrezzo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtPrezzo->setKeyFilter(isPriceTypingKey);
}

void TfrmVini::clearRecord()
{
    RecordEditor::clearRecord();
    txtTel->setText(QStringLiteral("0"));
}

void TfrmVini::showEvent(QShowEvent* event)
{
    RecordEditor::showEvent(event);
    // The sheet's Stampa then finds the print system's support loaded.
    loadPrintingAhead();
}

void TfrmVini::openSheet(DocumentAction action)
{
    // The sheet prints the boxes as they stand on screen, saved or not.
    WineSheetInput input;
    for (const FieldBox& f : kFieldBoxes)
        input.fields.insert(QString::fromLatin1(f.field), (this->*f.member)->text());
    // Decoded once, at the size the sheet's photo area needs on paper, never
    // the camera's full size in memory, on a thread of its own while the
    // print window and the print dialog are on screen.
    input.comingPhoto = wineSheetPhotoAhead(shownPhoto());
    openWineSheet(this, input, action);
}

