#include "RecordEditor.h"

#include "HighlightEdit.h"
#include "Palette.h"
#include "PhotosAhead.h"
#include "PictureBox.h"
#include "PictureButton.h"
#include "Platform.h"
#include "PriceEntry.h"
#include "RecordArchive.h"
#include "ShortString.h"
#include "StatusHints.h"

#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>

#include <stdexcept>

namespace vinarca {

namespace {
const QString kEmptyArchive = QStringLiteral("L'archivio non contiene nessuna scheda.");

const QString kSaveBeforeLeaving = QStringLiteral("Salvare le modifiche apportate alla scheda corrente?");

const QString kStoredMeanwhile = QStringLiteral(
    "Attenzione: un'altra postazione ha salvato questa scheda dopo che è stata aperta qui.\n\r\n\r"
    "Sì: salva la scheda così come è mostrata, al posto di quella salvata dall'altra postazione "
    "(le immagini non cambiate qui restano quelle dell'altra postazione).\n\r"
    "No: non salva e mostra la scheda così come è ora in archivio; le modifiche apportate qui vanno perse.\n\r"
    "Annulla: non salva nulla e lascia la scheda com'è sullo schermo.");

// Sets a box's text from a record. The box's maximum length limits typing
// only: a longer stored value is shown (and saved again) whole.
void setFieldText(HighlightEdit* box, int designedMaxLength, const QString& text)
{
    box->setMaxLength(std::max<int>(designedMaxLength, static_cast<int>(text.size())));
    box->setText(text);
    box->setCursorPosition(0); // a long text shows its beginning
}
} // namespace

QString pictureCopyFailureMessage()
{
    return QStringLiteral("Attenzione: non è stato possibile salvare l'immagine nel file indicato.\r\n\r\n"
                          "Accertarsi che il disco non sia pieno e di possedere i privilegi di scrittura nella "
                          "cartella scelta.");
}

SaveFileRequest photoSaveRequest()
{
    return {QStringLiteral("Selezionare la cartella in cui si desidera salvare il file Jpeg."),
            {{QStringLiteral("File Jpeg (*.jpg)"), QStringLiteral("*.jpg")}},
            QStringLiteral("Foto.jpg"),
            true};
}

RecordEditor::~RecordEditor() = default;

RecordEditor::RecordEditor(const RecordKind& kind, const QColor& colour, const QSize& panelSize, QWidget* parent)
    : GradientWindow(colour, panelSize, parent), m_kind(kind), m_session(*kind.layout),
      m_photosAhead(std::make_unique<PhotosAhead>())
{
    // The focus target of Save: present and focusable, but with no area on screen.
    btnFocus = new QPushButton(panel());
    btnFocus->setObjectName(QStringLiteral("btnFocus"));
    btnFocus->setGeometry(0, 0, 0, 0);
    btnFocus->setFocusPolicy(Qt::NoFocus);
}

StatusHints* RecordEditor::createStatusLine(const QRect& geometry, const QColor& colour)
{
    panInfo = makeLabel(panel(), QStringLiteral("panInfo"), QStringLiteral("Pronto per archiviare una nuova scheda..."),
                        geometry, QStringLiteral("Tahoma"), 12, false, Qt::white);
    panInfo->setAutoFillBackground(true);
    QPalette statusPalette = panInfo->palette();
    statusPalette.setColor(QPalette::Window, colour);
    panInfo->setPalette(statusPalette);
    panInfo->setIndent(12);
    auto* hints = new StatusHints(panInfo, this);
    hints->addBackground(this);
    hints->addBackground(panel());
    return hints;
}

void RecordEditor::addPictureButtons(QWidget* panel, StatusHints& hints, const QString& artFolder,
                                     std::initializer_list<ButtonSpec> buttons)
{
    for (const ButtonSpec& b : buttons) {
        auto* button = new PictureButton(artFolder + QLatin1Char('/') + QLatin1String(b.picture), panel);
        button->setObjectName(QString::fromLatin1(b.name));
        button->move(b.at);
        hints.addButton(button, QString::fromUtf8(b.status));
        *b.member = button;
    }
}

void RecordEditor::addTiles(QWidget* panel, StatusHints& hints,
                            std::initializer_list<std::pair<const char*, QRect>> tiles)
{
    for (const auto& [name, geometry] : tiles)
        hints.addBackground(new ShapeRect(panel, QString::fromLatin1(name), geometry, Qt::white, palette::PanelOutline, 4));
}

void RecordEditor::createPositionLabel(QWidget* panel, const QRect& geometry, StatusHints& hints)
{
    lblPosizione = makeLabel(panel, QStringLiteral("lblPosizione"), QString(), geometry, QStringLiteral("Verdana"), 12,
                             true, palette::CaptionBlue);
    lblPosizione->setAlignment(Qt::AlignCenter);
    hints.addQuiet(lblPosizione);
}

void RecordEditor::createPictureBoxes(QWidget* panel, const QRect& geometry, const QImage& placeholder,
                                      StatusHints& hints)
{
    imgFoto = new PictureBox(panel);
    imgFoto->setObjectName(QStringLiteral("imgFoto"));
    imgFoto->setGeometry(geometry);
    hints.addBackground(imgFoto);

    imgBianco = new PictureBox(panel);
    imgBianco->setObjectName(QStringLiteral("imgBianco"));
    imgBianco->setGeometry(geometry);
    imgBianco->setImage(placeholder);
    imgBianco->hide();
    showPlaceholder();
}

void RecordEditor::createAttachmentLabels(QWidget* panel)
{
    struct Attachment
    {
        QLabel* RecordEditor::*member;
        const char* field;
    };
    static constexpr Attachment kAttachments[] = {
        {&RecordEditor::lblFile01, "File01"}, {&RecordEditor::lblFile02, "File02"}, {&RecordEditor::lblFile03, "File03"},
        {&RecordEditor::lblDesc01, "Desc01"}, {&RecordEditor::lblDesc02, "Desc02"}, {&RecordEditor::lblDesc03, "Desc03"},
    };
    for (const Attachment& a : kAttachments) {
        auto* label = new QLabel(panel);
        label->setObjectName(QStringLiteral("lbl") + QLatin1String(a.field));
        label->hide();
        this->*a.member = label;
        bindLabel(a.field, label);
    }
}

void RecordEditor::bindBox(const char* field, HighlightEdit* box, int maxLength)
{
    box->setMaxLength(maxLength);
    m_bindings.append({m_kind.field(QString::fromLatin1(field)), box, nullptr, maxLength, {}});
}

void RecordEditor::makePriceBox(HighlightEdit* box)
{
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setKeyFilter([](const QKeyEvent& event) { return IsPriceKey(event.key(), event.text()); });
    settleOnLeave(box, [box](const QString& text) { return NormalizePriceToFit(text, box->maxLength()); });
    box->setText(QStringLiteral("0,00"));
}

void RecordEditor::settleOnLeave(HighlightEdit* box, std::function<QString(const QString&)> settle)
{
    for (Binding& b : m_bindings) {
        if (b.box == box)
            b.settle = settle;
    }
    connect(box, &HighlightEdit::left, box, [box, settle] { box->setText(settle(box->text())); });
}

void RecordEditor::bindLabel(const char* field, QLabel* label)
{
    m_bindings.append({m_kind.field(QString::fromLatin1(field)), nullptr, label, 0, {}});
}

void RecordEditor::connectRecordButtons()
{
    std::sort(m_bindings.begin(), m_bindings.end(),
              [](const Binding& a, const Binding& b) { return a.field < b.field; });
    const std::pair<PictureButton*, void (RecordEditor::*)()> handlers[] = {
        {cmdNuovo, &RecordEditor::cmdNuovoClick},       {cmdDuplica, &RecordEditor::cmdDuplicaClick},
        {cmdSalva, &RecordEditor::cmdSalvaClick},       {cmdPrimo, &RecordEditor::cmdPrimoClick},
        {cmdIndietro, &RecordEditor::cmdIndietroClick}, {cmdAvanti, &RecordEditor::cmdAvantiClick},
        {cmdUltimo, &RecordEditor::cmdUltimoClick},     {btnCaricaFoto, &RecordEditor::btnCaricaFotoClick},
        {btnSalvaFoto, &RecordEditor::btnSalvaFotoClick},
    };
    for (const auto& [button, handler] : handlers) {
        if (button)
            connect(button, &QAbstractButton::clicked, this, handler);
    }

    for (const EditorShortcut& s : editorShortcuts()) {
        auto* button = findChild<PictureButton*>(QString::fromLatin1(s.button));
        if (!button)
            continue; // this editor has no such button
        // Window context: the key acts only while this window is the active
        // one, so never while a modal window is open over it.
        auto* shortcut = new QShortcut(QKeySequence(s.key), this);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setAutoRepeat(s.repeats);
        // The key presses the button, so it runs whatever the button runs;
        // like the mouse, it does nothing on a disabled or hidden button.
        connect(shortcut, &QShortcut::activated, button, [this, button] {
            if (button->isEnabled() && button->isVisibleTo(this))
                button->click();
        });
        button->setToolTip(QStringLiteral("%1 (%2)").arg(QString::fromUtf8(s.name), keyText(s.key)));
    }
}

std::span<const EditorShortcut> editorShortcuts()
{
    // Ctrl with a letter no text box uses, Alt with the page keys for the
    // records (plain Home, End and the arrows move the cursor in a box), F1.
    static constexpr EditorShortcut kShortcuts[] = {
        {"cmdNuovo", "Nuovo", Qt::CTRL | Qt::Key_N, false},
        {"cmdDuplica", "Duplica", Qt::CTRL | Qt::Key_D, false},
        {"cmdSalva", "Salva", Qt::CTRL | Qt::Key_S, false},
        {"cmdTrova", "Trova", Qt::CTRL | Qt::Key_F, false},
        {"cmdAnteprima", "Anteprima", Qt::CTRL | Qt::SHIFT | Qt::Key_P, false},
        {"cmdStampa", "Stampa", Qt::CTRL | Qt::Key_P, false},
        {"cmdVerifica", "Verifica", Qt::CTRL | Qt::Key_R, false},
        {"cmdPrimo", "Prima scheda", Qt::ALT | Qt::Key_Home, true},
        {"cmdIndietro", "Scheda precedente", Qt::ALT | Qt::Key_PageUp, true},
        {"cmdAvanti", "Scheda successiva", Qt::ALT | Qt::Key_PageDown, true},
        {"cmdUltimo", "Ultima scheda", Qt::ALT | Qt::Key_End, true},
        {"cmdGuida", "Guida", Qt::Key_F1, false},
        {"cmdEsci", "Esci", Qt::CTRL | Qt::Key_W, false},
    };
    return kShortcuts;
}

QString keyText(QKeyCombination key)
{
    static const std::pair<const char*, const char*> kItalianNames[] = {
        {"Shift", "Maiusc"}, {"PgUp", "PagSu"}, {"PgDown", "PagGiù"}, {"End", "Fine"}};
    QStringList parts = QKeySequence(key).toString(QKeySequence::PortableText).split(QLatin1Char('+'));
    for (QString& part : parts) {
        for (const auto& [english, italian] : kItalianNames) {
            if (part == QLatin1String(english))
                part = QString::fromUtf8(italian);
        }
    }
    return parts.join(QLatin1Char('+'));
}

QList<HighlightEdit*> RecordEditor::editBoxes() const
{
    QList<HighlightEdit*> boxes;
    for (const Binding& b : m_bindings) {
        if (b.box)
            boxes << b.box;
    }
    return boxes;
}

QList<QLabel*> RecordEditor::attachmentLabels() const
{
    QList<QLabel*> labels;
    for (const Binding& b : m_bindings) {
        if (b.label)
            labels << b.label;
    }
    return labels;
}

HighlightEdit* RecordEditor::boxOf(const QString& field) const
{
    const int index = m_kind.field(field);
    for (const Binding& b : m_bindings) {
        if (b.field == index && b.box)
            return b.box;
    }
    throw std::logic_error("no box shows field " + field.toStdString());
}

QStringList RecordEditor::texts() const
{
    QStringList texts(m_kind.layout->fieldCount());
    for (const Binding& b : m_bindings)
        texts[b.field] = b.box ? b.box->text() : b.label->text();
    return texts;
}

HighlightEdit* RecordEditor::firstBox() const
{
    return m_firstBox ? m_firstBox : editBoxes().constFirst();
}

void RecordEditor::showEvent(QShowEvent* event)
{
    GradientWindow::showEvent(event);
    if (!event->spontaneous()) {
        startNewRecord();
        // The first photo the user will likely ask for is decoded while
        // they look at the empty editor.
        readPhotosAhead(0);
    }
}

void RecordEditor::closeEvent(QCloseEvent* event)
{
    // Unsaved edits are saved or discarded as the user answers; Annulla
    // keeps the editor open. The main menu is shown before this window is
    // hidden, so one window of the program is always on screen.
    if (!confirmLeave()) {
        event->ignore();
        return;
    }
    emit closed();
    event->accept();
}

QByteArray RecordEditor::comparableRecord(const QStringList& texts) const
{
    QStringList settled = texts;
    for (const Binding& b : m_bindings) {
        if (b.settle)
            settled[b.field] = b.settle(settled.at(b.field));
    }
    QByteArray record = m_kind.layout->emptyRecord();
    m_kind.layout->encode(record, settled);
    return record;
}

QStringList RecordEditor::pictureFiles(qint64 position) const
{
    if (!imgFoto || position <= 0)
        return {};
    return {m_kind.picturePath(QString::number(position))};
}

void RecordEditor::rememberShown(const QByteArray& stored, bool picturesAsShown)
{
    m_shownRecord = stored;
    m_shownBoxes = comparableRecord(texts());
    if (picturesAsShown)
        forgetPictureChanges();
}

bool RecordEditor::hasUnsavedChanges() const
{
    return picturesChanged() || comparableRecord(texts()) != m_shownBoxes;
}

bool RecordEditor::confirmLeave()
{
    if (!hasUnsavedChanges())
        return true;
    switch (platform().message(this, MessageKind::Choice, kSaveBeforeLeaving)) {
    case MessageAnswer::Yes:
        return saveRecord();
    case MessageAnswer::No:
        return true;
    default:
        return false;
    }
}

void RecordEditor::startNewRecord()
{
    clearRecord();
    m_shownPosition = 0;
    m_shownPictureFiles.clear();
    rememberShown({});
    m_blankBoxes = m_shownBoxes;
}

void RecordEditor::showPlaceholder()
{
    imgFoto->setImage(imgBianco->image());
}

void RecordEditor::setShownPicture(const QImage& picture, const QByteArray& sourceBytes)
{
    m_unreadablePicture = 0;
    imgFoto->setImage(picture, sourceBytes);
    markPictureChanged();
}

Photo RecordEditor::shownPhoto() const
{
    return Photo{imgFoto->image(), imgFoto->sourceBytes()};
}

QImage RecordEditor::shownPictureAt(QSize size) const
{
    return photoImageAt(shownPhoto(), size);
}

void RecordEditor::clearRecord()
{
    for (const Binding& b : m_bindings) {
        if (b.box)
            setFieldText(b.box, b.maxLength, QString());
        else
            b.label->clear();
    }
    clearPictures();
    lblPosizione->clear();
    firstBox()->setFocus(Qt::OtherFocusReason);
}

void RecordEditor::clearPictures()
{
    m_unreadablePicture = 0;
    showPlaceholder();
}

void RecordEditor::cmdNuovoClick()
{
    if (confirmLeave())
        startNewRecord();
}

bool RecordEditor::openRecord(const QByteArray& record, qint64 position)
{
    if (!confirmLeave())
        return false;
    showRecord(record, position);
    return true;
}

void RecordEditor::showRecord(const QByteArray& record, qint64 position)
{
    const RecordLayout& layout = *m_kind.layout;
    for (const Binding& b : m_bindings) {
        const QString text = layout.decodeField(record, b.field);
        if (b.box)
            setFieldText(b.box, b.maxLength, text);
        else
            b.label->setText(text);
    }
    lblPosizione->setText(QString::number(position));
    // The picture files' identities are taken before they are read: a
    // picture replaced while it is read then counts as changed by another
    // desk at the next save, never the other way round.
    m_shownPosition = position;
    m_shownPictureFiles = fileIdentities(pictureFiles(position));
    showPictures();
    rememberShown(record);
}

void RecordEditor::loadPhoto()
{
    // Let go of the picture shown so far before reading the next: its memory
    // is then free for the new one.
    m_unreadablePicture = 0;
    showPlaceholder();
    // Decoded at the size of its box: a camera photo shows quickly, and its
    // file's bytes are kept for a larger decoding (zoom, print) and for
    // writing it back unchanged. Taken from the photos decoded ahead when
    // the file still holds what was decoded.
    QDir().mkpath(m_kind.pictureFolderPath());
    const PhotoRead picture = m_photosAhead->read(m_kind.picturePath(lblPosizione->text()), imgFoto->size());
    // A position label that is not a number names no file, so this parse
    // cannot fail here.
    const qint64 shown = trimControl(lblPosizione->text()).toLongLong();
    if (picture.photo)
        imgFoto->setImage(picture.photo->image, picture.photo->jpegBytes);
    else if (picture.state == PhotoFileState::Unreadable)
        m_unreadablePicture = shown;
    readPhotosAhead(shown);
}

void RecordEditor::readPhotosAhead(qint64 shown)
{
    if (!imgFoto)
        return;
    QStringList beside{m_kind.picturePath(QString::number(shown + 1))};
    if (shown > 1)
        beside << m_kind.picturePath(QString::number(shown - 1));
    m_photosAhead->keepAhead(beside, imgFoto->size());
}

bool RecordEditor::picturesChanged() const
{
    return m_pictureChanged || (imgFoto && imgFoto->image().cacheKey() != m_shownPictureKey);
}

void RecordEditor::forgetPictureChanges()
{
    m_pictureChanged = false;
    m_shownPictureKey = imgFoto ? imgFoto->image().cacheKey() : 0;
}

void RecordEditor::storePictures(qint64 position, bool all)
{
    if (!all && !picturesChanged())
        return;
    // A picture that could not be written is still a change to save.
    if (writePhoto(position))
        forgetPictureChanges();
    else
        m_pictureChanged = true;
}

bool RecordEditor::writePhoto(qint64 position)
{
    Photo photo = shownPhoto();
    // The placeholder stands for a file the user may still recover.
    photo.keepsUnreadableFile = position == m_unreadablePicture;
    // A picture that could not be written stays on show: the next save
    // writes it again, and the file on disk keeps what it held. Showing the
    // placeholder instead would make that next save store the placeholder
    // over the user's picture.
    return writeRecordPicture(m_kind, position, photo);
}

QString pictureLoadFailureMessage()
{
    return QStringLiteral("Attenzione: non è stato possibile caricare l'immagine dal file indicato.\r\n\r\n"
                          "Accertarsi che il file contenga un'immagine in formato Jpeg o Bitmap completa e di "
                          "possedere i privilegi di lettura nella cartella scelta.");
}

std::optional<Photo> RecordEditor::chooseAndReadPicture(QSize fitInto)
{
    const OpenFileRequest request{
        QStringLiteral("Selezionare un file di immagine in formato Jpeg o Bitmap."),
        {{QStringLiteral("Immagine JPEG (*.jpg; *.jpeg)"), QStringLiteral("*.jpg;*.jpeg")},
         {QStringLiteral("Immagine Bitmap (*.bmp)"), QStringLiteral("*.bmp")}}};
    const QString path = platform().openFileName(this, request);
    if (path.isEmpty())
        return std::nullopt;
    std::optional<Photo> photo = readPhotoFile(path, fitInto);
    // Showing the placeholder instead would make the next save store it
    // over the record's own picture.
    if (!photo)
        platform().message(this, MessageKind::Warning, pictureLoadFailureMessage());
    return photo;
}

void RecordEditor::btnCaricaFotoClick()
{
    // Only the picture box changes; the picture file is written by Save.
    if (const std::optional<Photo> photo = chooseAndReadPicture(imgFoto->size()))
        setShownPicture(photo->image, photo->jpegBytes);
}

void RecordEditor::btnSalvaFotoClick()
{
    const QString path = platform().saveFileName(this, photoSaveRequest());
    if (path.isEmpty())
        return;
    // The picture stays on show whatever happens to the copy: it is still
    // the record's picture, and the next save stores it.
    if (!writePictureAs(path, shownPhoto()))
        platform().message(this, MessageKind::Warning, pictureCopyFailureMessage());
}

void RecordEditor::navigate(NavStep step)
{
    try {
        const qint64 shown = parsePosition(lblPosizione->text());
        // Unsaved work is settled only when the step shows another record:
        // on the last record Avanti leaves everything as it is. Saving a new
        // record does not change where the step leads.
        if (hasUnsavedChanges()) {
            qint64 count = 0;
            {
                const ArchiveRef ref = archive();
                count = RecordArchive(ref.path, *ref.layout, RecordArchive::Access::Read).count();
            }
            if (navigationTarget(step, count, shown).position > 0 && !confirmLeave())
                return;
        }
        const NavigationTarget target = m_session.navigate(archive(), step, shown);
        // The archive is closed before the picture is read and before any message.
        if (target.clearPosition)
            lblPosizione->clear();
        if (target.position > 0)
            showRecord(m_session.record(), target.position);
        if (target.emptyArchive)
            platform().message(this, MessageKind::Information, kEmptyArchive);
    } catch (const ArchiveError&) {
        platform().message(this, MessageKind::Error, accessFailureMessage());
    }
}

void RecordEditor::cmdPrimoClick() { navigate(NavStep::First); }
void RecordEditor::cmdIndietroClick() { navigate(NavStep::Previous); }
void RecordEditor::cmdAvantiClick() { navigate(NavStep::Next); }
void RecordEditor::cmdUltimoClick() { navigate(NavStep::Last); }

void RecordEditor::cmdSalvaClick()
{
    saveRecord();
}

bool RecordEditor::saveRecord()
{
    // The box being edited finishes its leave handling (a default or a
    // normalised price) before anything is read.
    btnFocus->setFocus(Qt::OtherFocusReason);
    const QStringList values = texts();
    if (const RequiredField* missing = m_session.missingField(m_kind.required, *m_kind.layout, values)) {
        platform().message(this, MessageKind::Warning, missing->message);
        boxOf(missing->field)->setFocus(Qt::OtherFocusReason);
        return false;
    }
    try {
        const qint64 shown = parsePosition(lblPosizione->text());
        // The record and its picture files must still be as they were shown;
        // the pictures are written under the same lock as the record.
        StoreGuard guard;
        if (shown > 0 && shown == m_shownPosition) {
            guard.shownRecord = m_shownRecord;
            const QStringList files = pictureFiles(shown);
            guard.picturesUnchanged = [this, files] { return fileIdentities(files) == m_shownPictureFiles; };
        }
        guard.writePictures = [this](qint64 position, bool appended) {
            storePictures(position, appended);
            m_shownPictureFiles = fileIdentities(pictureFiles(position));
        };
        StoreOutcome stored = m_session.store(archive(), shown, values, guard);
        if (stored.storedMeanwhile) {
            switch (platform().message(this, MessageKind::Choice, kStoredMeanwhile)) {
            case MessageAnswer::Yes:
                guard.shownRecord.clear();
                guard.picturesUnchanged = nullptr;
                stored = m_session.store(archive(), shown, values, guard);
                break;
            case MessageAnswer::No:
                m_session.readAt(archive(), shown);
                showRecord(m_session.record(), shown);
                return false;
            default:
                return false;
            }
        }
        if (stored.appended)
            lblPosizione->setText(QString::number(stored.position));
        m_shownPosition = stored.position;
        // A picture that could not be written is still a change to save.
        rememberShown(m_session.record(), false);
        platform().message(this, MessageKind::Information,
                           stored.appended
                               ? QStringLiteral("La scheda corrente è stata inserita in archivio.")
                               : QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio."));
        return true;
    } catch (const ArchiveError&) {
        platform().message(this, MessageKind::Error, accessFailureMessage());
        return false;
    }
}

void RecordEditor::cmdDuplicaClick()
{
    if (!EditSession::canDuplicate(lblPosizione->text())) {
        platform().message(this, MessageKind::Warning,
                           QStringLiteral("Attenzione: la duplicazione di una scheda può avvenire soltanto dopo che "
                                          "questa è stata inserita in archivio."));
        return;
    }
    for (QLabel* label : attachmentLabels())
        label->clear();
    lblPosizione->clear();
    m_unreadablePicture = 0;
    if (!m_duplicateKeepsPicture)
        clearPictures();
    // The copy is a new record, not yet stored: what it holds is unsaved
    // work, as if typed into an empty editor.
    m_shownRecord.clear();
    m_shownPosition = 0;
    m_shownPictureFiles.clear();
    m_shownBoxes = m_blankBoxes;
    if (m_duplicateKeepsPicture)
        markPictureChanged();
    firstBox()->setFocus(Qt::OtherFocusReason);
    platform().message(this, MessageKind::Information,
                       QStringLiteral("E' ora possibile apportare le proprie modifiche alla scheda corrente.\n\r\n\r"
                                      "Al termine premere Salva per inserire la scheda in archivio."));
}

} // namespace vinarca
