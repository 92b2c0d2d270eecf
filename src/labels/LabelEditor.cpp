#include "LabelEditor.h"

#include "AllegaCartella.h"
#include "Artwork.h"
#include "ExportWindow.h"
#include "Guida.h"
#include "HighlightEdit.h"
#include "LabelCheckWindow.h"
#include "LabelPrint.h"
#include "LabelSearch.h"
#include "LiveLabel.h"
#include "Palette.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "Platform.h"
#include "ShortString.h"
#include "StatusHints.h"
#include "Zoom.h"

#include <QKeyEvent>
#include <QLabel>

namespace vinarca {

namespace {
const QColor kPaleGrey(0xEE, 0xEE, 0xEE);
constexpr QSize kPanelSize(994, 692);
constexpr QSize kBlankLogo(338, 145);

struct BoxSpec
{
    HighlightEdit* LabelEditor::*member;
    const char* field;
    int maxLength;
};

// Tab and Return order: archive data, then the label lines as they stand on
// the label, then the notes.
constexpr BoxSpec kBoxes[] = {
    {&LabelEditor::txtProdotto, "Prodotto", 50},  {&LabelEditor::txtImbottigliatore, "Imbottigliatore", 50},
    {&LabelEditor::txtLotto, "Lotto", 50},        {&LabelEditor::txtPrezzo, "Prezzo", 15},
    {&LabelEditor::txtCima, "Cima", 100},         {&LabelEditor::txtNome, "Nome", 50},
    {&LabelEditor::txtRosso, "Rosso", 100},       {&LabelEditor::txtSottotitolo, "Sottotitolo", 50},
    {&LabelEditor::txtRigo01, "Rigo01", 100},     {&LabelEditor::txtRigo02, "Rigo02", 100},
    {&LabelEditor::txtRigo03, "Rigo03", 100},     {&LabelEditor::txtRigo04, "Rigo04", 100},
    {&LabelEditor::txtCalce, "Calce", 100},       {&LabelEditor::txtNote, "Note", 250},
};

bool isReturn(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}
} // namespace

LabelEditor::LabelEditor(const LabelKind& kind, QWidget* parent)
    : RecordEditor(kind.record, palette::WindowBlue, kPanelSize, parent), m_labelKind(kind)
{
    setObjectName(kind.windowName);
    setWindowTitle(kind.caption);
    m_duplicateKeepsPicture = true; // a duplicated label keeps its logo

    QWidget* panContainer = panel();
    auto* shpContainer = new ShapeRect(panContainer, QStringLiteral("shpContainer"), panContainer->rect(),
                                       QColor(0xF4, 0xF8, 0xFC), palette::PanelOutline, 6);
    shpContainer->lower();
    StatusHints* hints = createStatusLine(QRect(0, 656, kPanelSize.width(), 36), palette::StatusBlue);
    hints->addBackground(shpContainer);

    // Every edit box exists before any is placed, so the builders can share them.
    QList<HighlightEdit*> chain;
    for (const BoxSpec& b : kBoxes) {
        auto* box = new HighlightEdit(panContainer);
        box->setObjectName(QStringLiteral("txt") + QLatin1String(b.field));
        box->setColours({Qt::white, palette::FocusYellow, QColor(0x87, 0xCE, 0xEB)});
        bindBox(b.field, box, b.maxLength);
        hints->addQuiet(box);
        this->*b.member = box;
        chain << box;
    }
    linkReturnChain(chain);
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain.at(i - 1), chain.at(i));

    buildToolbar(panContainer, *hints);
    buildDataBand(panContainer, *hints);
    buildComposition(panContainer, *hints);
    buildNotes(panContainer, *hints);
    createAttachmentLabels(panContainer);
    connectRecordButtons();
    // The boxes were made first, so the bands and tiles built since lie under them.
    for (HighlightEdit* box : chain)
        box->raise();

    connect(cmdEsci, &QAbstractButton::clicked, this, &QWidget::close);
    connect(cmdGuida, &QAbstractButton::clicked, this, [this] { showHelp(this, HelpTopic::Labels); });
    connect(cmdTrova, &QAbstractButton::clicked, this, [this] { openLabelSearch(*this); });
    connect(cmdAnteprima, &QAbstractButton::clicked, this, [this] { openLabelDocument(*this, DocumentAction::Preview); });
    connect(cmdStampa, &QAbstractButton::clicked, this, [this] { openLabelDocument(*this, DocumentAction::Print); });
    connect(cmdVerifica, &QAbstractButton::clicked, this, [this] { showLabelCheck(*this); });
    connect(btnCancFoto, &QAbstractButton::clicked, this, &LabelEditor::btnCancFotoClick);
    connect(cmdEsporta, &QAbstractButton::clicked, this, [this] {
        const std::unique_ptr<QDialog> window = m_labelKind.windows().exportWindow(this);
        vinarca::platform().execDialog(*window);
    });
    connect(cmdAllega, &QAbstractButton::clicked, this, [this] {
        openAttachments(this, m_labelKind.tag, {{lblFile01, lblFile02, lblFile03}, {lblDesc01, lblDesc02, lblDesc03}});
    });
    connect(btnZoomFoto, &QAbstractButton::clicked, this, &LabelEditor::btnZoomFotoClick);

    makePriceBox(txtPrezzo);
}

void LabelEditor::buildToolbar(QWidget* panel, StatusHints& hints)
{
    addTiles(panel, hints,
             {{"shpNuovo", {6, 8, 174, 56}}, {"shpAnteprima", {186, 8, 158, 56}}, {"shpStampa", {350, 8, 158, 56}},
              {"shpRecord", {514, 8, 246, 56}}, {"shpArchivio", {766, 8, 131, 56}}, {"shpEsci", {903, 8, 85, 56}}});
    const QString art = QStringLiteral(":/labels");
    addPictureButtons(panel, hints, art, {
        {&cmdNuovo, "cmdNuovo", "nuovo", {11, 16}, "Prepara la schermata per l'inserimento di una nuova scheda."},
        {&cmdDuplica, "cmdDuplica", "duplica", {52, 16},
         "Prepara la schermata per l'inserimento di una nuova scheda duplicando i dati correnti."},
        {&cmdSalva, "cmdSalva", "salva", {93, 16}, "Salva la scheda in archivio."},
        {&cmdPrimo, "cmdPrimo", "primo", {521, 16}, "Visualizza la prima scheda in archivio."},
        {&cmdIndietro, "cmdIndietro", "indietro", {562, 16}, "Visualizza la scheda precedente in archivio."},
        {&cmdAvanti, "cmdAvanti", "avanti", {681, 16}, "Visualizza la scheda successiva in archivio."},
        {&cmdUltimo, "cmdUltimo", "ultimo", {722, 16}, "Visualizza l'ultima scheda in archivio."},
    });
    // The buttons of this editor's own.
    struct Own
    {
        PictureButton* LabelEditor::*member;
        const char* name;
        const char* picture;
        QPoint at;
        const char* status;
    };
    static constexpr Own kOwn[] = {
        {&LabelEditor::cmdTrova, "cmdTrova", "trova", {134, 16}, "Trova schede in archivio."},
        {&LabelEditor::cmdAnteprima, "cmdAnteprima", "anteprima", {191, 20},
         "Visualizza l'anteprima di stampa dell'etichetta."},
        {&LabelEditor::cmdStampa, "cmdStampa", "stampa", {355, 20}, "Stampa l'etichetta."},
        {&LabelEditor::cmdAllega, "cmdAllega", "allega", {772, 16}, "Allega file alla scheda."},
        {&LabelEditor::cmdEsporta, "cmdEsporta", "esporta", {813, 16}, "Esporta archivio in Excel."},
        {&LabelEditor::cmdVerifica, "cmdVerifica", "verifica", {854, 16},
         "Verifica l'etichetta: indicazioni obbligatorie e altezze minime dei caratteri."},
        {&LabelEditor::cmdGuida, "cmdGuida", "guida", {909, 16}, "Visualizza la guida."},
        {&LabelEditor::cmdEsci, "cmdEsci", "esci", {948, 16}, "Esci da questa schermata."},
    };
    for (const Own& o : kOwn) {
        auto* button = new PictureButton(art + QLatin1Char('/') + QLatin1String(o.picture), panel);
        button->setObjectName(QString::fromLatin1(o.name));
        button->move(o.at);
        hints.addButton(button, QString::fromUtf8(o.status));
        this->*o.member = button;
    }
    createPositionLabel(panel, QRect(603, 24, 74, 24), hints);
}

void LabelEditor::buildDataBand(QWidget* panel, StatusHints& hints)
{
    addTiles(panel, hints, {{"shpDati", {6, 72, 982, 82}}});
    const QFont boxFont(QStringLiteral("Verdana"), 12, QFont::Bold);
    const struct
    {
        HighlightEdit* box;
        const char* field; // whose caption the box shows
        const char* name;
        int x, width;
    } data[] = {
        {txtProdotto, "Prodotto", "lblCampo01", 20, 300},
        {txtImbottigliatore, "Imbottigliatore", "lblCampo02", 334, 300},
        {txtLotto, "Lotto", "lblCampo03", 648, 160},
        {txtPrezzo, "Prezzo", "lblCampo04", 822, 126},
    };
    for (const auto& d : data) {
        d.box->setFont(boxFont);
        d.box->setGeometry(d.x, 100, d.width, 30);
        hints.addQuiet(makeLabel(panel, QString::fromLatin1(d.name),
                                 m_labelKind.record.facts(QString::fromLatin1(d.field)).label(),
                                 QRect(d.x, 80, d.width, 18), QStringLiteral("Verdana"), 10, false,
                                 palette::CaptionBlue));
    }
}

void LabelEditor::buildComposition(QWidget* panel, StatusHints& hints)
{
    // The composition panel ends short of the live label where the label
    // reaches further left (the horizontal one).
    const int frameLeft = m_labelKind.labelOrigin.x() + m_labelKind.geometry->frameUnits().x();
    const int width = std::min(570, frameLeft - 12);
    const int inner = width - 16;  // bands and strips
    const int boxes = inner - 32;  // full-width boxes
    const int half = (boxes - 6) / 2;
    const int x0 = 14, bx = x0 + 16;

    hints.addBackground(new ShapeRect(panel, QStringLiteral("shpComposizione"), QRect(6, 162, width, 392), kPaleGrey,
                                      palette::PanelOutline, 4));
    PictureBox* icoIstruzioni = makePicture(panel, "icoIstruzioni", QStringLiteral(":/labels/istruzioni_editor"),
                                            QRect(x0, 170, inner, 36));
    hints.addQuiet(icoIstruzioni);

    hints.addBackground(new ShapeRect(panel, QStringLiteral("shpCima"), QRect(x0, 214, inner, 40), palette::Cornflower));
    hints.addBackground(new ShapeRect(panel, QStringLiteral("shpLogo"), QRect(x0, 260, inner, 52), Qt::white));
    hints.addBackground(new ShapeRect(panel, QStringLiteral("shpCalce"), QRect(x0, 504, inner, 40), palette::Cornflower));

    const auto place = [&](HighlightEdit* box, const QRect& r, int points, const QColor& ink, Qt::Alignment align) {
        box->setGeometry(r);
        box->setFont(QFont(QStringLiteral("Verdana"), points, QFont::Bold));
        QPalette p = box->palette();
        p.setColor(QPalette::Text, ink);
        box->setPalette(p);
        box->setAlignment(align | Qt::AlignVCenter);
    };
    place(txtCima, {bx, 220, boxes, 28}, 12, Qt::black, Qt::AlignHCenter);
    place(txtNome, {bx, 318, boxes, 34}, 16, palette::LabelBrown, Qt::AlignHCenter);
    place(txtRosso, {bx, 358, boxes, 28}, 12, Qt::black, Qt::AlignHCenter);
    place(txtSottotitolo, {bx, 392, boxes, 32}, 14, palette::LabelBrown, Qt::AlignHCenter);
    place(txtRigo01, {bx, 430, half, 28}, 12, Qt::black, Qt::AlignHCenter);
    place(txtRigo02, {bx + boxes - half, 430, half, 28}, 12, Qt::black, Qt::AlignHCenter);
    place(txtRigo03, {bx, 464, half, 32}, 14, Qt::black, Qt::AlignLeft);
    place(txtRigo04, {bx + boxes - half, 464, half, 32}, 14, Qt::black, Qt::AlignRight);
    place(txtCalce, {bx, 510, boxes, 28}, 12, Qt::black, Qt::AlignHCenter);

    addPictureButtons(panel, hints, QStringLiteral(":/labels"), {
        {&btnCaricaFoto, "btnCaricaFoto", "carica_logo", {x0 + 10, 266}, "Carica un'immagine."},
        {&btnSalvaFoto, "btnSalvaFoto", "salva_logo", {x0 + 176, 266}, "Salva l'immagine su disco."},
        {&btnZoomFoto, "btnZoomFoto", "zoom_logo", {x0 + 272, 266}, "Visualizza l'immagine nelle sue dimensioni reali."},
    });
    btnCancFoto = new PictureButton(QStringLiteral(":/labels/canc_logo"), panel);
    btnCancFoto->setObjectName(QStringLiteral("btnCancFoto"));
    btnCancFoto->move(x0 + 224, 266);
    hints.addButton(btnCancFoto, QStringLiteral("Cancella l'immagine."));

    // The live label, with the logo box laid over its element.
    label = new LiveLabel(m_labelKind, panel);
    hints.addBackground(label);
    createPictureBoxes(label, label->elementRect(QStringLiteral("imgFoto")), artwork(m_labelKind.defaultLogo), hints);
    QImage blank(kBlankLogo, QImage::Format_RGB32);
    blank.fill(Qt::white);
    imgGomma = new PictureBox(label);
    imgGomma->setObjectName(QStringLiteral("imgGomma"));
    imgGomma->setImage(blank);
    imgGomma->hide();

    for (const LabelLine line : {LabelLine::Cima, LabelLine::Nome, LabelLine::Rosso, LabelLine::Sottotitolo,
                                 LabelLine::Rigo01, LabelLine::Rigo02, LabelLine::Rigo03, LabelLine::Rigo04,
                                 LabelLine::Calce}) {
        HighlightEdit* box = boxOf(labelLineField(line));
        m_lineOf.insert(box, line);
        box->installEventFilter(this);
        connect(box, &QLineEdit::textChanged, this, [this, box] { mirror(box); });
    }
}

void LabelEditor::buildNotes(QWidget* panel, StatusHints& hints)
{
    const int width = panel->findChild<QWidget*>(QStringLiteral("shpComposizione"))->width();
    addTiles(panel, hints, {{"shpNote", {6, 562, width, 86}}});
    hints.addQuiet(makeLabel(panel, QStringLiteral("lblCampo05"),
                             m_labelKind.record.facts(QStringLiteral("Note")).label(), QRect(20, 572, 200, 18),
                             QStringLiteral("Verdana"), 10, false, palette::CaptionBlue));
    txtNote->setFont(QFont(QStringLiteral("Verdana"), 12, QFont::Bold));
    txtNote->setGeometry(20, 594, width - 28, 30);
}

void LabelEditor::mirror(HighlightEdit* box)
{
    label->setLine(m_lineOf.value(box), trimControl(box->text()));
}

bool LabelEditor::eventFilter(QObject* watched, QEvent* event)
{
    // Every key press but Return, and every key release, draws the line
    // again as it stands.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* box = qobject_cast<HighlightEdit*>(watched);
        if (m_lineOf.contains(box)
            && !(event->type() == QEvent::KeyPress && isReturn(static_cast<QKeyEvent*>(event))))
            mirror(box);
    }
    return RecordEditor::eventFilter(watched, event);
}

void LabelEditor::clearRecord()
{
    RecordEditor::clearRecord();
    txtPrezzo->setText(QStringLiteral("0,00"));
    label->clearLines();
}

void LabelEditor::btnCancFotoClick()
{
    // Only the display changes: the white picture becomes the logo file at the next save.
    setShownPicture(imgGomma->image());
}

void LabelEditor::btnZoomFotoClick()
{
    showZoom(this, imgFoto->image());
}

} // namespace vinarca
