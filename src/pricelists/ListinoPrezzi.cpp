#include "ListinoPrezzi.h"

#include "Artwork.h"
#include "EditFlow.h"
#include "Guida.h"
#include "HighlightEdit.h"
#include "PaginaListino.h"
#include "Palette.h"
#include "Photo.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "Platform.h"
#include "PricePage.h"
#include "RecordArchive.h"
#include "ShortString.h"
#include "StatusHints.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QShowEvent>

#include <algorithm>

using namespace vinarca;

TfrmListinoPrezzi* frmListinoPrezzi = nullptr;

namespace {
const QSize kSlotPictureSize(136, 104);
const QSize kPhotoSize(pricepage::kPhotoWidth, pricepage::kPhotoHeight);

// Slot panels: A to D down the left column, E to H down the right one.
QPoint slotPanelAt(int slot)
{
    return {slot < 4 ? 24 : 502, 120 + 128 * (slot % 4)};
}
} // namespace

TfrmListinoPrezzi::TfrmListinoPrezzi(QWidget* parent)
    : RecordEditor(pricepage::kind(), palette::SteelBlue, QSize(994, 692), parent)
{
    setObjectName(QStringLiteral("frmListinoPrezzi"));
    setWindowTitle(QStringLiteral(" Vinarca - Listini Prezzi"));
    QWidget* panContainer = panel();
    auto* shpContainer = new ShapeRect(panContainer, QStringLiteral("shpContainer"), panContainer->rect(),
                                       QColor(0xF4, 0xF8, 0xFC), palette::PanelOutline, 6);
    shpContainer->lower();

    StatusHints* hints = createStatusLine(QRect(0, 658, 994, 34), palette::StatusBlue);
    hints->addBackground(shpContainer);

    struct Command
    {
        PictureButton** member;
        const char* name;
        const char* art;
        int x;
        const char* hint;
    };
    const Command commands[] = {
        {&cmdNuovo, "cmdNuovo", "nuovo", 24, "Prepara la schermata per l'inserimento di una nuova scheda."},
        {&cmdSalva, "cmdSalva", "salva", 70, "Salva la scheda corrente."},
        {&cmdAnteprima, "cmdAnteprima", "anteprima", 130, "Visualizza l'anteprima di stampa."},
        {&cmdStampa, "cmdStampa", "stampa", 290, "Stampa la scheda corrente."},
        {&cmdPrimo, "cmdPrimo", "primo", 470, "Visualizza la prima scheda in archivio."},
        {&cmdIndietro, "cmdIndietro", "indietro", 516, "Visualizza la scheda precedente in archivio."},
        {&cmdAvanti, "cmdAvanti", "avanti", 652, "Visualizza la scheda successiva in archivio."},
        {&cmdUltimo, "cmdUltimo", "ultimo", 698, "Visualizza l'ultima scheda in archivio."},
        {&cmdGuida, "cmdGuida", "guida", 880, "Visualizza la pagina della guida sensibile al contesto."},
        {&cmdEsci, "cmdEsci", "esci", 926, "Esci da questa schermata di lavoro."},
    };
    for (const Command& c : commands) {
        auto* button = new PictureButton(QStringLiteral(":/pricelists/") + QString::fromLatin1(c.art), panContainer);
        button->setObjectName(QString::fromLatin1(c.name));
        const int height = button->sizeHint().height();
        button->move(c.x, 40 - height / 2);
        hints->addButton(button, QString::fromUtf8(c.hint));
        *c.member = button;
    }
    lblPosizione = makeLabel(panContainer, QStringLiteral("lblPosizione"), QString(), QRect(562, 28, 84, 24),
                             QStringLiteral("Verdana"), 12, true);
    lblPosizione->setAlignment(Qt::AlignCenter);

    auto* bkgTitolo = new ShapeRect(panContainer, QStringLiteral("bkgTitolo"), QRect(24, 76, 946, 34), Qt::black);
    hints->addBackground(bkgTitolo);
    lblNome = makeLabel(bkgTitolo, QStringLiteral("lblNome"), QStringLiteral("Titolo listino prezzi"),
                        bkgTitolo->rect(), QStringLiteral("Verdana"), 12, false, QColor(0xFF, 0xFF, 0x00));
    lblNome->setAlignment(Qt::AlignCenter);
    hints->addBackground(lblNome);

    imgBianco = new PictureBox(panContainer);
    imgBianco->setObjectName(QStringLiteral("imgBianco"));
    imgBianco->setImage(artwork(QStringLiteral(":/pricelists/bianco")).copy());
    imgBianco->hide();
    imgGomma = new PictureBox(panContainer);
    imgGomma->setObjectName(QStringLiteral("imgGomma"));
    QImage white(kSlotPictureSize, QImage::Format_RGB32);
    white.fill(Qt::white);
    imgGomma->setImage(white);
    imgGomma->hide();

    const QFont boxFont = [] {
        QFont font(QStringLiteral("Verdana"), 12);
        font.setBold(true);
        return font;
    }();
    QList<HighlightEdit*> returnChain;
    for (int i = 0; i < pricepage::kSlots; ++i) {
        const QString letter = pricepage::slotLetters().at(i);
        Slot& slot = slotControls[static_cast<std::size_t>(i)];
        auto* bkg = new ShapeRect(panContainer, QStringLiteral("bkgProdotto_0%1").arg(i + 1),
                                  QRect(slotPanelAt(i), QSize(468, 120)), QColor(0xE4, 0xE4, 0xE4));
        slot.bkgProdotto = bkg;
        hints->addBackground(bkg);
        slot.imgFoto = new PictureBox(bkg);
        slot.imgFoto->setObjectName(QStringLiteral("imgFoto_") + letter);
        slot.imgFoto->setGeometry(QRect(QPoint(10, 8), kSlotPictureSize));
        slot.imgFoto->setCursor(Qt::PointingHandCursor);
        hints->addButton(slot.imgFoto, QStringLiteral("Carica immagine articolo."));
        connect(slot.imgFoto, &PictureBox::clicked, this, [this, i] { imgFotoClick(i); });

        const auto edit = [&](const char* field, const QRect& geometry) {
            auto* box = new HighlightEdit(bkg);
            box->setObjectName(QStringLiteral("txt") + QString::fromLatin1(field) + QLatin1Char('_') + letter);
            box->setGeometry(geometry);
            box->setFont(boxFont);
            HighlightEdit::Colours colours;
            colours.resting = Qt::white;
            box->setColours(colours);
            const int index = pricepage::fieldIndex(i, QString::fromLatin1(field));
            bindBox(pricepage::layout().field(index).name.toLatin1().constData(), box,
                    pricepage::layout().field(index).capacity);
            return box;
        };
        slot.txtNome = edit("Nome", QRect(158, 8, 272, 22));
        slot.txtUM = edit("UM", QRect(158, 35, 300, 22));
        slot.txtCaratteristiche = edit("Caratteristiche", QRect(158, 62, 300, 22));
        slot.txtCodice = edit("Codice", QRect(158, 90, 149, 22));
        slot.txtPrezzo = edit("Prezzo", QRect(336, 90, 122, 22));
        makePriceBox(slot.txtPrezzo);

        slot.impProdotto = new PictureButton(QStringLiteral(":/pricelists/gomma"), bkg);
        slot.impProdotto->setObjectName(QStringLiteral("impProdotto_") + letter);
        slot.impProdotto->move(436, 8);
        hints->addButton(slot.impProdotto, QStringLiteral("Cancella dati articolo."));
        connect(slot.impProdotto, &QAbstractButton::clicked, this, [this, i] { impProdottoClick(i); });

        returnChain << slot.txtNome << slot.txtUM << slot.txtCaratteristiche << slot.txtCodice << slot.txtPrezzo;
    }
    for (qsizetype i = 1; i < returnChain.size(); ++i)
        setTabOrder(returnChain.at(i - 1), returnChain.at(i));
    linkReturnChain(returnChain);

    lblFile = new QLabel(panContainer);
    lblFile->setObjectName(QStringLiteral("lblFile"));
    lblFile->hide();

    m_firstBox = slotControls[0].txtNome;
    connectRecordButtons();
    connect(cmdAnteprima, &QAbstractButton::clicked, this, &TfrmListinoPrezzi::cmdAnteprimaClick);
    connect(cmdStampa, &QAbstractButton::clicked, this, &TfrmListinoPrezzi::cmdStampaClick);
    connect(cmdGuida, &QAbstractButton::clicked, this, [this] { showHelp(this, HelpTopic::PriceLists); });
    connect(cmdEsci, &QAbstractButton::clicked, this, &QWidget::close);
}

HighlightEdit* TfrmListinoPrezzi::box(int slot, const QString& field) const
{
    const Slot& s = slotControls.at(static_cast<std::size_t>(slot));
    if (field == QLatin1String("Codice"))
        return s.txtCodice;
    if (field == QLatin1String("Nome"))
        return s.txtNome;
    if (field == QLatin1String("UM"))
        return s.txtUM;
    if (field == QLatin1String("Caratteristiche"))
        return s.txtCaratteristiche;
    if (field == QLatin1String("Prezzo"))
        return s.txtPrezzo;
    throw std::logic_error("unknown slot field");
}

QStringList TfrmListinoPrezzi::pageTexts() const
{
    QStringList texts;
    for (int slot = 0; slot < pricepage::kSlots; ++slot) {
        for (const QString& field : pricepage::slotFields())
            texts << trimControl(box(slot, field)->text());
    }
    return texts;
}

QString TfrmListinoPrezzi::listTitle() const
{
    return lblNome->text();
}

void TfrmListinoPrezzi::openList(const QString& path, const QString& title)
{
    lblFile->setText(path);
    lblNome->setText(title);
}

ArchiveRef TfrmListinoPrezzi::archive() const
{
    return {trimControl(lblFile->text()), &pricepage::layout()};
}

void TfrmListinoPrezzi::setSlotPicture(int slot, const QImage& picture)
{
    slotControls.at(static_cast<std::size_t>(slot)).imgFoto->setImage(picture);
    m_unreadablePicture.at(static_cast<std::size_t>(slot)) = false;
}

void TfrmListinoPrezzi::clearRecord()
{
    RecordEditor::clearRecord();
    for (const Slot& slot : slotControls)
        slot.txtPrezzo->setText(QStringLiteral("0,00"));
}

void TfrmListinoPrezzi::clearPictures()
{
    for (int slot = 0; slot < pricepage::kSlots; ++slot)
        setSlotPicture(slot, imgBianco->image());
}

void TfrmListinoPrezzi::showPictures()
{
    const int page = trimControl(lblPosizione->text()).toInt();
    const QString folder = pricepage::photoFolderPath();
    for (int slot = 0; slot < pricepage::kSlots; ++slot) {
        QDir().mkpath(folder);
        const PhotoRead read = readPhoto(
            folder + QLatin1Char('/') + SlotPhotoFileName(listTitle(), pricepage::slotLetters().at(slot), page),
            kPhotoSize);
        setSlotPicture(slot, read.photo ? read.photo->image : imgBianco->image());
        m_unreadablePicture.at(static_cast<std::size_t>(slot)) = read.state == PhotoFileState::Unreadable;
    }
}

QStringList TfrmListinoPrezzi::pictureFiles(qint64 position) const
{
    QStringList files;
    if (position <= 0)
        return files;
    const QString folder = pricepage::photoFolderPath();
    for (int slot = 0; slot < pricepage::kSlots; ++slot)
        files << folder + QLatin1Char('/')
                + SlotPhotoFileName(listTitle(), pricepage::slotLetters().at(slot), static_cast<int>(position));
    return files;
}

bool TfrmListinoPrezzi::slotChanged(int slot) const
{
    const auto i = static_cast<std::size_t>(slot);
    return m_changedPicture.at(i) || slotControls.at(i).imgFoto->image().cacheKey() != m_shownPictureKeys.at(i);
}

bool TfrmListinoPrezzi::picturesChanged() const
{
    for (int slot = 0; slot < pricepage::kSlots; ++slot) {
        if (slotChanged(slot))
            return true;
    }
    return false;
}

void TfrmListinoPrezzi::forgetPictureChanges()
{
    m_changedPicture.fill(false);
    for (std::size_t i = 0; i < m_shownPictureKeys.size(); ++i)
        m_shownPictureKeys.at(i) = slotControls.at(i).imgFoto->image().cacheKey();
}

void TfrmListinoPrezzi::storePictures(qint64 position, bool all)
{
    // The slots the user changed are written (all eight on a new page); the
    // others are left as they are on disk. A slot whose file cannot be
    // written keeps its picture on show, silently: the next save writes it
    // again, and the file on disk keeps what it held.
    const QString folder = pricepage::photoFolderPath();
    for (int slot = 0; slot < pricepage::kSlots; ++slot) {
        if (!all && !slotChanged(slot))
            continue;
        QDir().mkpath(folder);
        const QImage framed = FramePicture(slotControls.at(static_cast<std::size_t>(slot)).imgFoto->image(),
                                                pricepage::kPhotoWidth, pricepage::kPhotoHeight);
        const QString file = folder + QLatin1Char('/')
            + SlotPhotoFileName(listTitle(), pricepage::slotLetters().at(slot), static_cast<int>(position));
        const auto i = static_cast<std::size_t>(slot);
        const bool written = writePhotoFile(file, Photo{framed, {}, m_unreadablePicture.at(i)});
        m_changedPicture.at(i) = !written;
        m_shownPictureKeys.at(i) = slotControls.at(i).imgFoto->image().cacheKey();
    }
}

void TfrmListinoPrezzi::imgFotoClick(int slot)
{
    // At its own size: the slot's picture is stretched into its frame when saved.
    if (const std::optional<Photo> photo = chooseAndReadPicture(kLargestPhotoSize)) {
        setSlotPicture(slot, photo->image);
        m_changedPicture.at(static_cast<std::size_t>(slot)) = true;
    }
}

void TfrmListinoPrezzi::impProdottoClick(int slot)
{
    Slot& s = slotControls.at(static_cast<std::size_t>(slot));
    setSlotPicture(slot, imgGomma->image());
    m_changedPicture.at(static_cast<std::size_t>(slot)) = true;
    for (HighlightEdit* b : {s.txtNome, s.txtUM, s.txtCaratteristiche, s.txtCodice})
        b->clear();
    s.txtPrezzo->setText(QStringLiteral("0,00"));
}

void TfrmListinoPrezzi::preparePreview()
{
    const QString folder = pricepage::photoFolderPath();
    const auto previewFile = [&](int slot) {
        return folder + QLatin1Char('/') + PreviewPhotoFileName(listTitle(), pricepage::slotLetters().at(slot));
    };
    // Each pass stops at the first slot that fails; the others keep what
    // they show.
    for (int slot = 0; slot < pricepage::kSlots; ++slot) {
        QDir().mkpath(folder);
        const QImage framed = FramePicture(slotControls.at(static_cast<std::size_t>(slot)).imgFoto->image(),
                                                pricepage::kPhotoWidth, pricepage::kPhotoHeight);
        if (!writePhotoFile(previewFile(slot), Photo{framed, {}, false}))
            break;
    }
    for (int slot = 0; slot < pricepage::kSlots; ++slot) {
        const std::optional<Photo> photo = readPhotoFile(previewFile(slot), kPhotoSize);
        if (!photo)
            break;
        // The same picture as stored for the page: a slot that stands for an
        // unreadable file keeps that mark, and a slot keeps whether the user
        // changed its picture.
        const auto i = static_cast<std::size_t>(slot);
        m_changedPicture.at(i) = slotChanged(slot);
        slotControls.at(i).imgFoto->setImage(photo->image);
        m_shownPictureKeys.at(i) = slotControls.at(i).imgFoto->image().cacheKey();
    }
}

PricePageInput TfrmListinoPrezzi::pageInput() const
{
    PricePageInput input{lblNome->text(), lblPosizione->text(), pageTexts(), {}};
    for (int slot = 0; slot < pricepage::kSlots; ++slot)
        input.pictures.at(static_cast<std::size_t>(slot)) = slotControls.at(static_cast<std::size_t>(slot)).imgFoto->image();
    return input;
}

void TfrmListinoPrezzi::cmdAnteprimaClick()
{
    preparePreview();
    openPricePage(this, pageInput(), DocumentAction::Preview);
}

void TfrmListinoPrezzi::cmdStampaClick()
{
    preparePreview();
    openPricePage(this, pageInput(), DocumentAction::Print);
}
