#pragma once

#include "EditFlow.h"
#include "RecordKind.h"
#include "Shapes.h"

#include <QByteArray>
#include <QKeyCombination>
#include <QList>

#include <functional>
#include <initializer_list>
#include <memory>
#include <span>

class QLabel;
class QPushButton;

namespace vinarca {

class HighlightEdit;
class PhotosAhead;
class PictureBox;
class PictureButton;
class StatusHints;

// The window base of every record editor. It holds what all editors share:
// the position label (empty: a new record not yet stored), the status line,
// the hidden focus target, the picture box with its placeholder, the hidden
// attachment labels, and the handlers of New, Duplicate, Save, the four
// navigation buttons and the picture buttons. A concrete editor declares
// its kind, builds and places its own boxes and binds each to its field.
class RecordEditor : public GradientWindow
{
    Q_OBJECT
public:
    ~RecordEditor() override;

    QLabel* lblPosizione = nullptr;
    QLabel* panInfo = nullptr;
    QPushButton* btnFocus = nullptr;
    PictureBox* imgFoto = nullptr;   // the record's picture as shown
    PictureBox* imgBianco = nullptr; // hidden: the placeholder picture
    QLabel *lblFile01 = nullptr, *lblFile02 = nullptr, *lblFile03 = nullptr, *lblDesc01 = nullptr,
           *lblDesc02 = nullptr, *lblDesc03 = nullptr;
    PictureButton *cmdNuovo = nullptr, *cmdDuplica = nullptr, *cmdSalva = nullptr, *cmdPrimo = nullptr,
                  *cmdIndietro = nullptr, *cmdAvanti = nullptr, *cmdUltimo = nullptr;
    PictureButton *btnCaricaFoto = nullptr, *btnSalvaFoto = nullptr, *btnZoomFoto = nullptr;

    const RecordKind& kind() const { return m_kind; }
    // Where the records are: the kind's archive, unless the editor works on
    // a file the user chose.
    virtual ArchiveRef archive() const { return m_kind.archive(); }
    // The bound edit boxes and the attachment labels, each in record order.
    QList<HighlightEdit*> editBoxes() const;
    QList<QLabel*> attachmentLabels() const;
    // The box that shows a field; throws std::logic_error for an unbound name.
    HighlightEdit* boxOf(const QString& field) const;

    void cmdNuovoClick();
    void cmdDuplicaClick();
    void cmdSalvaClick();
    void cmdPrimoClick();
    void cmdIndietroClick();
    void cmdAvantiClick();
    void cmdUltimoClick();
    void btnCaricaFotoClick();
    void btnSalvaFotoClick();

    // Fills the editor from a record read elsewhere (a search window) and
    // shows the record's picture.
    void showRecord(const QByteArray& record, qint64 position);
    // The same from a search window, once the user has settled what the
    // editor holds unsaved (see confirmLeave); false when they stayed.
    bool openRecord(const QByteArray& record, qint64 position);
    // Saves as Salva does; true when the record was stored.
    bool saveRecord();
    // Before the editor leaves what it shows (browsing, Nuovo, another
    // record from a search, closing): when the boxes or a picture differ
    // from the record as shown, asks whether to save them first. True when
    // the editor may go on: nothing to save, saved, or the user discards.
    bool confirmLeave();
    // Whether the boxes or a picture differ from the record as shown.
    bool hasUnsavedChanges() const;
    // The files of the record's pictures at `position`, whose identities the
    // editor remembers when it shows the record.
    virtual QStringList pictureFiles(qint64 position) const;
    // Reads the picture of the shown position into imgFoto, or the placeholder.
    void loadPhoto();
    // The picture shown with the bytes of the file it came from, while unchanged.
    Photo shownPhoto() const;
    // The picture shown, decoded again from its file's bytes to fit `size`
    // (the zoom window, a printout); a drawn or captured one scaled down.
    QImage shownPictureAt(QSize size) const;
    // A picture the user chose, captured or cleared: the record's new picture.
    void setShownPicture(const QImage& picture, const QByteArray& sourceBytes = {});
    // Asks for a picture file and reads it, fitted to `fitInto`: nothing when
    // the user cancels; a warning and nothing when the file cannot be read,
    // so the picture on show (and the file a save would write) stays as it was.
    std::optional<Photo> chooseAndReadPicture(QSize fitInto);

signals:
    // The window was closed (any way): the window set hands over to the main menu.
    void closed();

protected:
    RecordEditor(const RecordKind& kind, const QColor& colour, const QSize& panelSize, QWidget* parent);

    // Building blocks for the concrete editor's constructor.
    StatusHints* createStatusLine(const QRect& geometry, const QColor& colour);
    // A clickable picture with its status-line text, named and placed.
    struct ButtonSpec
    {
        PictureButton** member;
        const char* name;
        const char* picture; // artwork name under `artFolder`
        QPoint at;
        const char* status;
    };
    void addPictureButtons(QWidget* panel, StatusHints& hints, const QString& artFolder,
                           std::initializer_list<ButtonSpec> buttons);
    // White tiles with the panel outline, under groups of buttons; the status
    // line empties over them.
    void addTiles(QWidget* panel, StatusHints& hints, std::initializer_list<std::pair<const char*, QRect>> tiles);
    // The position label: bold Verdana, centred, between Previous and Next.
    void createPositionLabel(QWidget* panel, const QRect& geometry, StatusHints& hints);
    void createPictureBoxes(QWidget* panel, const QRect& geometry, const QImage& placeholder, StatusHints& hints);
    void createAttachmentLabels(QWidget* panel);
    // Shows `field` in `box`; `maxLength` limits typing only.
    void bindBox(const char* field, HighlightEdit* box, int maxLength);
    void bindLabel(const char* field, QLabel* label);
    // Makes a bound box a price box: right-aligned, showing "0,00", taking
    // only the keys of a price, and writing the canonical price when the
    // focus leaves it, as far as the box holds it (NormalizePriceToFit).
    void makePriceBox(HighlightEdit* box);
    // Rewrites a bound box's text when the focus leaves it (a default, a
    // normalised price). What the rule makes of a text counts as that text:
    // leaving a box unchanged is no change to save.
    void settleOnLeave(HighlightEdit* box, std::function<QString(const QString&)> settle);
    // Connects the shared buttons that exist and gives every toolbar button
    // of the editor its key (see editorShortcuts()); call once everything is built.
    void connectRecordButtons();

    // Empties the boxes and labels, shows the placeholder, empties the
    // position and focuses the first box. Editors add their designed texts.
    virtual void clearRecord();
    // The record's pictures: shown after a record is shown, stored with it,
    // cleared with it. By default the one picture box imgFoto. A save writes
    // only the pictures the user changed, or all of them when the record is
    // appended (`all`): a picture left alone is never written, so a save
    // never puts back a picture another desk has replaced.
    virtual void showPictures() { loadPhoto(); }
    virtual void storePictures(qint64 position, bool all);
    virtual void clearPictures();
    // Whether the user changed a picture since the record was shown (or one
    // changed could not be written yet), and forgetting those changes once
    // another record is shown.
    virtual bool picturesChanged() const;
    virtual void forgetPictureChanges();
    // Called by an editor when the user changes a picture of its own.
    void markPictureChanged() { m_pictureChanged = true; }
    // The box New, Duplicate and a refused save's focus start from (the first
    // bound box when not set).
    HighlightEdit* m_firstBox = nullptr;
    // Whether Duplicate keeps the picture shown (true) or shows the placeholder.
    bool m_duplicateKeepsPicture = false;

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // A field shown either in an edit box (with its typing limit) or in a
    // hidden label.
    struct Binding
    {
        int field;
        HighlightEdit* box = nullptr;
        QLabel* label = nullptr;
        int maxLength = 0;
        std::function<QString(const QString&)> settle;
    };
    void navigate(NavStep step);
    // Empties the editor for a new record and remembers that as shown.
    void startNewRecord();
    // Remembers the editor's contents as the record shown: `stored` is the
    // record as read from the archive (empty for a new record).
    void rememberShown(const QByteArray& stored, bool picturesAsShown = true);
    // The record the boxes make, each settled as leaving it would: equal
    // for two sets of texts that store the same.
    QByteArray comparableRecord(const QStringList& texts) const;
    // Asks what to do when another desk saved the record since it was shown.
    StoreOutcome storeOverOtherDesk(const StoreGuard& guard, const QStringList& values);
    void showPlaceholder();
    bool writePhoto(qint64 position);
    // Decodes ahead the photos of the records beside `shown` (0: no record
    // shown, so the first): where Avanti, Indietro or Primo lead.
    void readPhotosAhead(qint64 shown);
    QStringList texts() const;
    HighlightEdit* firstBox() const;

    const RecordKind& m_kind;
    QList<Binding> m_bindings;
    EditSession m_session;
    // The position whose picture file exists but could not be read: its
    // placeholder is on show and the file must survive a save.
    qint64 m_unreadablePicture = 0;
    // The record shown, as read from the archive (empty: a new record), the
    // boxes as they were shown, and the identities of its picture files:
    // what a save checks against the archive, and leaving against the boxes.
    QByteArray m_shownRecord;
    QByteArray m_shownBoxes;
    QByteArray m_blankBoxes;
    qint64 m_shownPosition = 0;
    QList<FileIdentity> m_shownPictureFiles;
    bool m_pictureChanged = false;
    qint64 m_shownPictureKey = 0; // the picture on show when the record was shown
    std::unique_ptr<PhotosAhead> m_photosAhead;
};

// The keyboard path to an editor's toolbar: each button, by its object name,
// with its key and the short name its tooltip shows before the key. None
// of the keys edits text in a box, so they work wherever the focus is.
struct EditorShortcut
{
    const char* button;
    const char* name;
    QKeyCombination key;
    bool repeats; // held down, the key acts again (browsing only)
};
std::span<const EditorShortcut> editorShortcuts();
// A key as the tooltips and the help pages write it, with the names on an
// Italian keyboard ("Ctrl+Maiusc+P", "Alt+PagGiù").
QString keyText(QKeyCombination key);

// The save dialog of a record's picture, shared by the editors and the webcam window.
struct SaveFileRequest;
SaveFileRequest photoSaveRequest();
// The warning when a picture could not be copied to the file the user chose.
QString pictureCopyFailureMessage();
// The warning when the picture file the user chose could not be read.
QString pictureLoadFailureMessage();

} // namespace vinarca
