#include "Vini.h"

#include "Artwork.h"
#include "Guida.h"
#include "HighlightEdit.h"
#include "Photo.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "Platform.h"
#include "ProgramFolder.h"
#include "RecordArchive.h"
#include "SchedaVinoWindow.h"
#include "ShortString.h"
#include "Slideshow_Vini.h"
#include "StatusHints.h"
#include "TrovaVini.h"
#include "WebCam.h"
#include "WineListReport.h"
#include "WineRecord.h"
#include "Zoom.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include <array>

using namespace vinarca;

TfrmVini* frmVini = nullptr;

namespace {

const QColor kWindowBlue(0x42, 0x7A, 0xA8);
const QColor kStatusBlue(0x30, 0x30, 0xDD);
const QColor kPhotoFrame(0xE0, 0xE9, 0xF1);
const QColor kTileOutline(0xB0, 0xC4, 0xDE);
const QColor kCaptionBlue(0x1C, 0x3F, 0x6E);

const QString kEmptyArchive = QStringLiteral("L'archivio non contiene nessuna scheda.");

struct FieldBox
{
    HighlightEdit* TfrmVini::*member;
    const char* name;
    const char* caption;
    int maxLength;
    int row;    // caption row of the right-hand section (-1: the Note row)
    int column; // 0..1 in rows of two, 0..2 in rows of three
};

// Fields 1 to 26 in record order, with the row and column of their box.
const std::array<FieldBox, kWineTextFields> kFieldBoxes{{
    {&TfrmVini::txtNome, "txtNome", "Nome vino:", 50, 0, 0},
    {&TfrmVini::txtProduttore, "txtProduttore", "Produttore:", 50, 0, 1},
    {&TfrmVini::txtDesignazione, "txtDesignazione", "Designazione:", 50, 1, 0},
    {&TfrmVini::txtNazione, "txtNazione", "Nazione:", 50, 1, 1},
    {&TfrmVini::txtRegione, "txtRegione", "Regione:", 50, 1, 2},
    {&TfrmVini::txtZona, "txtZona", "Zona:", 50, 2, 0},
    {&TfrmVini::txtCantina, "txtCantina", "Cantina:", 50, 2, 1},
    {&TfrmVini::txtAnnata, "txtAnnata", "Annata:", 50, 2, 2},
    {&TfrmVini::txtInvecchiamento, "txtInvecchiamento", "Invecchiamento:", 50, 3, 0},
    {&TfrmVini::txtMaturazione, "txtMaturazione", "Maturazione:", 50, 3, 1},
    {&TfrmVini::txtColore, "txtColore", "Colore:", 50, 3, 2},
    {&TfrmVini::txtProfumo, "txtProfumo", "Profumo:", 50, 4, 0},
    {&TfrmVini::txtGusto, "txtGusto", "Gusto:", 50, 4, 1},
    {&TfrmVini::txtRetrogusto, "txtRetrogusto", "Retrogusto:", 50, 4, 2},
    {&TfrmVini::txtGrado, "txtGrado", "Grado alcolico:", 50, 5, 0},
    {&TfrmVini::txtAcidita, "txtAcidita", "Acidità:", 50, 5, 1},
    {&TfrmVini::txtSapidita, "txtSapidita", "Sapidità:", 50, 5, 2},
    {&TfrmVini::txtAccostamenti, "txtAccostamenti", "Accostamenti gastronomici:", 50, 6, 0},
    {&TfrmVini::txtAstringenza, "txtAstringenza", "Astringenza:", 50, 6, 1},
    {&TfrmVini::txtTemperatura, "txtTemperatura", "Temperatura di servizio:", 50, 6, 2},
    {&TfrmVini::txtFornitore, "txtFornitore", "Fornitore:", 50, 7, 0},
    {&TfrmVini::txtTel, "txtTel", "Giacenza:", 10, 7, 1},
    {&TfrmVini::txtPrezzo, "txtPrezzo", "Prezzo:", 15, 7, 2},
    {&TfrmVini::txtConservazione, "txtConservazione", "Contenitore per conservazione:", 50, 8, 0},
    {&TfrmVini::txtConsumo, "txtConsumo", "Contenitore per consumo:", 50, 8, 1},
    {&TfrmVini::txtNote, "txtNote", nullptr, 250, -1, 0},
}};

constexpr std::array<QLabel* TfrmVini::*, kWineAttachmentFields> kAttachmentLabels{
    &TfrmVini::lblFile01, &TfrmVini::lblFile02, &TfrmVini::lblFile03,
    &TfrmVini::lblDesc01, &TfrmVini::lblDesc02, &TfrmVini::lblDesc03};
constexpr std::array<const char*, kWineAttachmentFields> kAttachmentNames{
    "lblFile01", "lblFile02", "lblFile03", "lblDesc01", "lblDesc02", "lblDesc03"};

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

// Sets a box's text from a record. The box's maximum length limits typing
// only: a longer stored value is shown (and saved again) whole.
void setFieldText(HighlightEdit* box, int designedMaxLength, const QString& text)
{
    box->setMaxLength(std::max<int>(designedMaxLength, static_cast<int>(text.size())));
    box->setText(text);
    box->setCursorPosition(0); // a long text shows its beginning

}

// The position shown, or 0 in the new-record state. Throws on a text that is
// not a position.
qint64 shownPosition(const QLabel* label)
{
    const QString text = trimControl(label->text());
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const qint64 position = text.toLongLong(&ok);
    if (!ok || position < 1)
        throw ArchiveError("position is not a number");
    return position;
}

} // namespace

TfrmVini::TfrmVini(QWidget* parent) : GradientWindow(kWindowBlue, QSize(996, 692), parent)
{
    setObjectName(QStringLiteral("frmVini"));
    setWindowTitle(QStringLiteral(" Vinarca - Catalogo Vini"));
    applyProcessFormats();
    m_record = wineLayout().emptyRecord();
    m_listPrinter = &printWineList;

    QWidget* panContainer = panel();
    auto* shpContainer = new ShapeRect(panContainer, QStringLiteral("shpContainer"), panContainer->rect(),
                                       QColor(0xF4, 0xF8, 0xFC), kTileOutline, 6);

    panInfo = makeLabel(panContainer, QStringLiteral("panInfo"),
                        QStringLiteral("Pronto per archiviare una nuova scheda..."), QRect(0, 656, 996, 36),
                        QStringLiteral("Tahoma"), 12, false, Qt::white);
    panInfo->setAutoFillBackground(true);
    QPalette statusPalette = panInfo->palette();
    statusPalette.setColor(QPalette::Window, kStatusBlue);
    panInfo->setPalette(statusPalette);
    panInfo->setIndent(12);

    auto* hints = new StatusHints(panInfo, this);
    hints->addBackground(this);
    hints->addBackground(panContainer);
    hints->addBackground(shpContainer);

    buildToolbar(panContainer, *hints);
    buildPhotoBox(panContainer, *hints);
    buildFields(panContainer, *hints);

    for (std::size_t i = 0; i < kAttachmentLabels.size(); ++i) {
        auto* label = new QLabel(panContainer);
        label->setObjectName(QString::fromLatin1(kAttachmentNames[i]));
        label->hide();
        this->*kAttachmentLabels[i] = label;
    }

    // The focus target of Save: present and focusable, but with no area on screen.
    btnFocus = new QPushButton(panContainer);
    btnFocus->setObjectName(QStringLiteral("btnFocus"));
    btnFocus->setGeometry(0, 0, 0, 0);
    btnFocus->setFocusPolicy(Qt::NoFocus);

    connect(cmdNuovo, &QAbstractButton::clicked, this, &TfrmVini::cmdNuovoClick);
    connect(cmdDuplica, &QAbstractButton::clicked, this, &TfrmVini::cmdDuplicaClick);
    connect(cmdSalva, &QAbstractButton::clicked, this, &TfrmVini::cmdSalvaClick);
    connect(cmdPrimo, &QAbstractButton::clicked, this, &TfrmVini::cmdPrimoClick);
    connect(cmdIndietro, &QAbstractButton::clicked, this, &TfrmVini::cmdIndietroClick);
    connect(cmdAvanti, &QAbstractButton::clicked, this, &TfrmVini::cmdAvantiClick);
    connect(cmdUltimo, &QAbstractButton::clicked, this, &TfrmVini::cmdUltimoClick);
    connect(cmdEsci, &QAbstractButton::clicked, this, &QWidget::close);
    connect(cmdGuida, &QAbstractButton::clicked, this, [this] { showHelp(this, HelpTopic::Wines); });
    connect(btnZoomFoto, &QAbstractButton::clicked, this, [this] { showZoom(this, imgFoto->image()); });
    connect(cmdTrova, &QAbstractButton::clicked, this, [this] {
        openWineSearch(
            this, [this](const QByteArray& record, qint64 position) { showRecord(record, position); }, m_listPrinter);
    });
    connect(cmdSlideshow, &QAbstractButton::clicked, this, [this] { openWineSlideshow(this); });
    connect(cmdAnteprima, &QAbstractButton::clicked, this, [this] { openSheet(SheetAction::Preview); });
    connect(cmdStampa, &QAbstractButton::clicked, this, [this] { openSheet(SheetAction::Print); });
    connect(btnWebcam, &QAbstractButton::clicked, this, [this] {
        openWebCam(this, [this](const QImage& picture) { imgFoto->setImage(picture); });
    });
    connect(btnCaricaFoto, &QAbstractButton::clicked, this, &TfrmVini::btnCaricaFotoClick);
    connect(btnSalvaFoto, &QAbstractButton::clicked, this, &TfrmVini::btnSalvaFotoClick);

    showPlaceholder();
}

void TfrmVini::buildToolbar(QWidget* panel, StatusHints& hints)
{
    struct Tile
    {
        const char* name;
        QRect geometry;
    };
    const Tile tiles[] = {
        {"shpNuovo", {6, 8, 215, 56}},      {"shpAnteprima", {227, 8, 158, 56}}, {"shpStampa", {391, 8, 158, 56}},
        {"shpRecord", {555, 8, 224, 56}},   {"shpRiepiloghi", {785, 8, 92, 56}}, {"shpEsci", {883, 8, 107, 56}},
    };
    for (const Tile& tile : tiles)
        hints.addBackground(new ShapeRect(panel, QString::fromLatin1(tile.name), tile.geometry, Qt::white, kTileOutline, 4));

    struct Button
    {
        PictureButton* TfrmVini::*member;
        const char* name;
        const char* picture;
        QPoint at;
        const char* status;
    };
    const Button buttons[] = {
        {&TfrmVini::cmdNuovo, "cmdNuovo", "nuovo", {11, 16}, "Prepara la schermata per l'inserimento di una nuova scheda."},
        {&TfrmVini::cmdDuplica, "cmdDuplica", "duplica", {52, 16},
         "Prepara la schermata per l'inserimento di una nuova scheda duplicando i dati correnti."},
        {&TfrmVini::cmdSalva, "cmdSalva", "salva", {93, 16}, "Salva la scheda in archivio."},
        {&TfrmVini::cmdTrova, "cmdTrova", "trova", {134, 16}, "Trova una scheda in archivio."},
        {&TfrmVini::cmdFile, "cmdFile", "file", {175, 16}, "Allega file alla scheda."},
        {&TfrmVini::cmdAnteprima, "cmdAnteprima", "anteprima", {232, 20}, "Visualizza l'anteprima di stampa della scheda."},
        {&TfrmVini::cmdStampa, "cmdStampa", "stampa", {396, 20}, "Stampa la scheda."},
        {&TfrmVini::cmdPrimo, "cmdPrimo", "primo", {562, 16}, "Visualizza la prima scheda in archivio."},
        {&TfrmVini::cmdIndietro, "cmdIndietro", "indietro", {603, 16}, "Visualizza la scheda precedente in archivio."},
        {&TfrmVini::cmdAvanti, "cmdAvanti", "avanti", {695, 16}, "Visualizza la scheda successiva in archivio."},
        {&TfrmVini::cmdUltimo, "cmdUltimo", "ultimo", {736, 16}, "Visualizza l'ultima scheda in archivio."},
        {&TfrmVini::cmdEsporta, "cmdEsporta", "esporta", {792, 16},
         "Esporta le schede in archivio in un file di Microsoft Excel."},
        {&TfrmVini::cmdSlideshow, "cmdSlideshow", "slideshow", {833, 16}, "Esegui lo slide show del catalogo vini."},
        {&TfrmVini::cmdGuida, "cmdGuida", "guida", {894, 16}, "Visualizza la pagina della guida sensibile al contesto."},
        {&TfrmVini::cmdEsci, "cmdEsci", "esci", {942, 16}, "Esci da questa schermata di lavoro."},
    };
    for (const Button& b : buttons) {
        auto* button = new PictureButton(QStringLiteral(":/wines/%1").arg(QLatin1String(b.picture)), panel);
        button->setObjectName(QString::fromLatin1(b.name));
        button->move(b.at);
        hints.addButton(button, QString::fromUtf8(b.status));
        this->*b.member = button;
    }

    lblPosizione = makeLabel(panel, QStringLiteral("lblPosizione"), QString(), QRect(642, 24, 50, 24),
                             QStringLiteral("Verdana"), 12, true, kCaptionBlue);
    lblPosizione->setAlignment(Qt::AlignCenter);
    hints.addQuiet(lblPosizione);
}

void TfrmVini::buildPhotoBox(QWidget* panel, StatusHints& hints)
{
    hints.addBackground(new ShapeRect(panel, QStringLiteral("shpFoto"), QRect(6, 72, 323, 500), kPhotoFrame, kTileOutline, 4));

    imgFoto = new PictureBox(panel);
    imgFoto->setObjectName(QStringLiteral("imgFoto"));
    imgFoto->setGeometry(14, 80, 307, 409);
    hints.addBackground(imgFoto);

    imgBianco = new PictureBox(panel);
    imgBianco->setObjectName(QStringLiteral("imgBianco"));
    imgBianco->setGeometry(14, 80, 307, 409);
    imgBianco->setImage(artwork(QStringLiteral(":/wines/foto_placeholder")));
    imgBianco->hide();

    auto* bkgPulsantiFoto = new ShapeRect(panel, QStringLiteral("bkgPulsantiFoto"), QRect(14, 500, 307, 64), Qt::white, kTileOutline, 4);
    hints.addBackground(bkgPulsantiFoto);

    struct Button
    {
        PictureButton* TfrmVini::*member;
        const char* name;
        const char* picture;
        int x;
        const char* status;
    };
    const Button buttons[] = {
        {&TfrmVini::btnCaricaFoto, "btnCaricaFoto", "carica_foto", 20, "Carica una foto."},
        {&TfrmVini::btnSalvaFoto, "btnSalvaFoto", "salva_foto", 176, "Salva la foto su disco."},
        {&TfrmVini::btnWebcam, "btnWebcam", "webcam_btn", 224, "Scatta la foto con la tua WebCam."},
        {&TfrmVini::btnZoomFoto, "btnZoomFoto", "zoom_foto", 272, "Visualizza la foto nelle sue dimensioni reali."},
    };
    for (const Button& b : buttons) {
        auto* button = new PictureButton(QStringLiteral(":/wines/%1").arg(QLatin1String(b.picture)), panel);
        button->setObjectName(QString::fromLatin1(b.name));
        button->move(b.x, 515);
        hints.addButton(button, QString::fromUtf8(b.status));
        this->*b.member = button;
    }
}

void TfrmVini::buildFields(QWidget* panel, StatusHints& hints)
{
    hints.addBackground(new ShapeRect(panel, QStringLiteral("shpSfondo"), QRect(337, 72, 653, 500), Qt::white, kTileOutline, 4));
    hints.addBackground(new ShapeRect(panel, QStringLiteral("shpSezione01"), QRect(6, 580, 984, 64), Qt::white, kTileOutline, 4));

    auto* title = new PictureBox(panel);
    title->setObjectName(QStringLiteral("imgTitolo"));
    title->setGeometry(363, 80, 600, 30);
    title->setImage(artwork(QStringLiteral(":/wines/titolo_scheda")));
    hints.addQuiet(title);
    auto* rule = new ShapeRect(panel, QStringLiteral("shpRigo"), QRect(363, 113, 600, 3), QColor(0x46, 0x82, 0xB4));
    rule->setGradient(QColor(0x46, 0x82, 0xB4), Qt::white, Qt::Horizontal);

    const QFont boxFont(QStringLiteral("Verdana"), 12, QFont::Bold);
    QList<HighlightEdit*> chain;
    for (const FieldBox& f : kFieldBoxes) {
        auto* box = new HighlightEdit(panel);
        box->setObjectName(QString::fromLatin1(f.name));
        box->setFont(boxFont);
        box->setMaxLength(f.maxLength);
        if (f.row >= 0) {
            const QRect r = boxRect(f.row, f.column);
            box->setGeometry(r);
            QLabel* caption = makeLabel(panel, QStringLiteral("lbl") + QString::fromLatin1(f.name + 3),
                                        QString::fromUtf8(f.caption), QRect(r.x(), r.y() - kCaptionHeight - 2, r.width(), kCaptionHeight),
                                        QStringLiteral("Verdana"), 9, false, kCaptionBlue);
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
    connect(txtTel, &HighlightEdit::left, this, [this] {
        if (trimControl(txtTel->text()).isEmpty())
            txtTel->setText(QStringLiteral("0"));
    });
    txtPrezzo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtPrezzo->setKeyFilter(isPriceTypingKey);
}

QList<HighlightEdit*> TfrmVini::editBoxes() const
{
    QList<HighlightEdit*> boxes;
    for (const FieldBox& f : kFieldBoxes)
        boxes << this->*f.member;
    return boxes;
}

QList<QLabel*> TfrmVini::attachmentLabels() const
{
    QList<QLabel*> labels;
    for (auto member : kAttachmentLabels)
        labels << this->*member;
    return labels;
}

void TfrmVini::showEvent(QShowEvent* event)
{
    GradientWindow::showEvent(event);
    if (!event->spontaneous())
        resetToNewRecord();
}

void TfrmVini::closeEvent(QCloseEvent* event)
{
    // The main menu is shown before this window is hidden, so one window of
    // the program is always on screen. Unsaved edits are discarded.
    emit closed();
    event->accept();
}

void TfrmVini::showPlaceholder()
{
    imgFoto->setImage(imgBianco->image());
}

void TfrmVini::resetToNewRecord()
{
    for (const FieldBox& f : kFieldBoxes)
        setFieldText(this->*f.member, f.maxLength, QString());
    txtTel->setText(QStringLiteral("0"));
    for (QLabel* label : attachmentLabels())
        label->clear();
    showPlaceholder();
    lblPosizione->clear();
    txtNome->setFocus(Qt::OtherFocusReason);
}

void TfrmVini::cmdNuovoClick()
{
    resetToNewRecord();
}

void TfrmVini::showRecord(const QByteArray& record, qint64 position)
{
    const RecordLayout& layout = wineLayout();
    for (int i = 0; i < kWineTextFields; ++i)
        setFieldText(this->*kFieldBoxes[i].member, kFieldBoxes[i].maxLength, layout.decodeField(record, i));
    const QList<QLabel*> labels = attachmentLabels();
    for (int i = 0; i < kWineAttachmentFields; ++i)
        labels[i]->setText(layout.decodeField(record, kWineTextFields + i));
    lblPosizione->setText(QString::number(position));
    loadPhoto();
}

void TfrmVini::loadPhoto()
{
    QDir().mkpath(winePhotoFolder());
    // Let go of the photo shown so far before reading the next: its memory is
    // then free for the new one.
    showPlaceholder();
    if (auto photo = readPhotoFile(WinePhotoPath(lblPosizione->text())))
        imgFoto->setImage(photo->image, photo->jpegBytes);
    else
        showPlaceholder();
}

void TfrmVini::writePhoto(qint64 position)
{
    const Photo photo{imgFoto->image(), imgFoto->sourceBytes()};
    if (!writePhotoFile(WinePhotoPath(QString::number(position)), photo))
        showPlaceholder();
}

void TfrmVini::openSheet(SheetAction action)
{
    // The sheet prints the boxes as they stand on screen, saved or not.
    WineSheetInput input;
    for (HighlightEdit* box : editBoxes())
        input.fields.insert(box->objectName(), box->text());
    input.photo = imgFoto->image();
    openWineSheet(this, input, action);
}

void TfrmVini::btnCaricaFotoClick()
{
    const OpenFileRequest request{
        QStringLiteral("Selezionare un file di immagine in formato Jpeg o Bitmap."),
        {{QStringLiteral("Immagine JPEG (*.jpg; *.jpeg)"), QStringLiteral("*.jpg;*.jpeg")},
         {QStringLiteral("Immagine Bitmap (*.bmp)"), QStringLiteral("*.bmp")}}};
    const QString path = platform().openFileName(this, request);
    if (path.isEmpty())
        return;
    // Only the picture box changes; the photo file is written by Save.
    if (auto photo = readPhotoFile(path))
        imgFoto->setImage(photo->image, photo->jpegBytes);
    else
        showPlaceholder();
}

SaveFileRequest vinarca::photoSaveRequest()
{
    return {QStringLiteral("Selezionare la cartella in cui si desidera salvare il file Jpeg."),
            {{QStringLiteral("File Jpeg (*.jpg)"), QStringLiteral("*.jpg")}},
            QStringLiteral("Foto.jpg"),
            true};
}

void TfrmVini::btnSalvaFotoClick()
{
    const QString path = platform().saveFileName(this, photoSaveRequest());
    if (path.isEmpty())
        return;
    if (!writePictureAs(path, Photo{imgFoto->image(), imgFoto->sourceBytes()}))
        showPlaceholder();
}

void TfrmVini::navigate(Step step)
{
    try {
        qint64 target = 0;
        bool reportEmpty = false;
        {
            RecordArchive archive(wineArchivePath(), kWineRecordSize, RecordArchive::Access::Read);
            const qint64 n = archive.count();
            const qint64 p = shownPosition(lblPosizione);
            switch (step) {
            case Step::First:
                n == 0 ? void(reportEmpty = true) : void(target = 1);
                break;
            case Step::Last:
                n == 0 ? void(reportEmpty = true) : void(target = n);
                break;
            case Step::Next:
                if (n == 0) {
                    lblPosizione->clear();
                    reportEmpty = true;
                } else if (p == 0) {
                    target = 1;
                } else if (p < n) {
                    target = p + 1;
                }
                break;
            case Step::Previous:
                if (p == 1)
                    break;
                if (n == 0)
                    reportEmpty = true;
                else
                    target = p == 0 ? 1 : p - 1;
                break;
            }
            if (target > 0)
                archive.readAt(target, m_record);
        } // the archive is closed before the photo is read and before any message
        if (target > 0)
            showRecord(m_record, target);
        if (reportEmpty)
            platform().message(this, MessageKind::Information, kEmptyArchive);
    } catch (const ArchiveError&) {
        platform().message(this, MessageKind::Error, accessFailureMessage());
    }
}

void TfrmVini::cmdPrimoClick() { navigate(Step::First); }
void TfrmVini::cmdIndietroClick() { navigate(Step::Previous); }
void TfrmVini::cmdAvantiClick() { navigate(Step::Next); }
void TfrmVini::cmdUltimoClick() { navigate(Step::Last); }

void TfrmVini::cmdSalvaClick()
{
    // The box being edited finishes its leave handling (Giacenza's "0").
    btnFocus->setFocus(Qt::OtherFocusReason);
    if (trimControl(txtNome->text()).isEmpty()) {
        platform().message(this, MessageKind::Warning,
                           QStringLiteral("Attenzione: per salvare la scheda è necessario indicare il nome del vino."));
        txtNome->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (trimControl(txtProduttore->text()).isEmpty()) {
        platform().message(this, MessageKind::Warning,
                           QStringLiteral("Attenzione: per salvare la scheda è necessario indicare il produttore del vino."));
        txtProduttore->setFocus(Qt::OtherFocusReason);
        return;
    }
    try {
        qint64 position = 0;
        bool appended = false;
        {
            RecordArchive archive(wineArchivePath(), kWineRecordSize, RecordArchive::Access::Write);
            QStringList texts;
            for (HighlightEdit* box : editBoxes())
                texts << box->text();
            for (QLabel* label : attachmentLabels())
                texts << label->text();
            wineLayout().encode(m_record, texts);
            position = shownPosition(lblPosizione);
            if (position > 0) {
                archive.writeAt(position, m_record);
            } else {
                position = archive.append(m_record);
                appended = true;
                lblPosizione->setText(QString::number(position));
            }
        }
        writePhoto(position);
        platform().message(this, MessageKind::Information,
                           appended ? QStringLiteral("La scheda corrente è stata inserita in archivio.")
                                    : QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio."));
    } catch (const ArchiveError&) {
        platform().message(this, MessageKind::Error, accessFailureMessage());
    }
}

void TfrmVini::cmdDuplicaClick()
{
    if (trimControl(lblPosizione->text()).isEmpty()) {
        platform().message(this, MessageKind::Warning,
                           QStringLiteral("Attenzione: la duplicazione di una scheda può avvenire soltanto dopo che "
                                          "questa è stata inserita in archivio."));
        return;
    }
    for (QLabel* label : attachmentLabels())
        label->clear();
    lblPosizione->clear();
    showPlaceholder();
    txtNome->setFocus(Qt::OtherFocusReason);
    platform().message(this, MessageKind::Information,
                       QStringLiteral("E' ora possibile apportare le proprie modifiche alla scheda corrente.\n\r\n\r"
                                      "Al termine premere Salva per inserire la scheda in archivio."));
}
