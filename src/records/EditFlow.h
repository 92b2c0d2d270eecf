#pragma once

#include "Photo.h"
#include "RecordKind.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace vinarca {

// The editing flow of every record editor as plain logic: which record a
// navigation button leads to, how a save stores the record, and how a
// record's picture file is read and written. Archive actions throw
// ArchiveError; each opens the archive, works and closes it before returning.

// The message every failed archive action ends in.
QString accessFailureMessage();

enum class NavStep { First, Previous, Next, Last };

// Where a navigation button leads from the position shown (0: a new record)
// in an archive of `count` records.
struct NavigationTarget
{
    qint64 position = 0;        // the record to show; 0: nothing is read
    bool emptyArchive = false;  // report the empty archive
    bool clearPosition = false; // the editor drops its position (Next in an empty archive)

    bool operator==(const NavigationTarget&) const = default;
};
NavigationTarget navigationTarget(NavStep step, qint64 count, qint64 shown);

// The position an editor's position label holds: 0 for an empty label (a new
// record). Throws ArchiveError for a text that is not a position.
qint64 parsePosition(const QString& text);

// Stores the record: over the record shown, or appended after the last one
// when no record is shown (shown = 0).
struct StoreOutcome
{
    qint64 position = 0;
    bool appended = false;
    // Nothing was written: another desk saved the record (or one of its
    // pictures) after it was shown here.
    bool storedMeanwhile = false;
};

// What a save checks and writes while it holds the archive's write lock, so
// that no other desk's save can come in between.
struct StoreGuard
{
    // The record as it was read when shown; empty: stored without checking
    // (a new record, or the user chose to write over the other desk's save).
    QByteArray shownRecord;
    // Whether the record's picture files are still those read when shown.
    std::function<bool()> picturesUnchanged;
    // Writes the pictures the user changed (every picture of an appended
    // record), after the record itself.
    std::function<void(qint64 position, bool appended)> writePictures;
};

// Which file a path names at one moment: a picture file is replaced whole
// (a new file renamed over the old), so another desk's save gives it another
// identity even when its size and time look the same.
struct FileIdentity
{
    bool exists = false;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;

    bool operator==(const FileIdentity&) const = default;
};
FileIdentity fileIdentity(const QString& path);
QList<FileIdentity> fileIdentities(const QStringList& paths);

// The editing session of one editor, without widgets: its record buffer,
// which record each navigation leads to, how a save stores the record, which
// required field is missing and when a record may be duplicated. The position
// shown lives in the editor's position label; each action is given it.
class EditSession
{
public:
    explicit EditSession(const RecordLayout& layout) : m_record(layout.emptyRecord()) {}

    // Opens the archive, reads the record the step leads to into the buffer
    // when there is one, and closes the archive.
    NavigationTarget navigate(const ArchiveRef& archive, NavStep step, qint64 shown);
    // Fills the buffer from the texts (trimmed, cut to their fields) and
    // stores it, with the guard's check and pictures under the write lock.
    StoreOutcome store(const ArchiveRef& archive, qint64 shown, const QStringList& texts,
                       const StoreGuard& guard = {});
    // Reads the record at `position` into the buffer (the stored version of
    // the record shown).
    void readAt(const ArchiveRef& archive, qint64 position);
    // The first required field whose text, trimmed, is empty.
    const RequiredField* missingField(const QList<RequiredField>& required, const RecordLayout& layout,
                                      const QStringList& texts) const;
    // Only a stored record (its position label not empty) may be duplicated.
    static bool canDuplicate(const QString& positionText);

    QByteArray& record() { return m_record; }
    const QByteArray& record() const { return m_record; }

private:
    QByteArray m_record;
};

// A record's picture as read for the editor. `unreadable` marks a file that
// exists but could not be decoded: the editor shows its placeholder and must
// never write over that file, so the user can still recover the picture.
struct RecordPicture
{
    std::optional<Photo> photo;
    bool unreadable = false;
};
// Creates the picture folder when missing, then reads the picture of the
// position, decoded to fit `fitInto` (the box that shows it).
RecordPicture readRecordPicture(const RecordKind& kind, const QString& position, QSize fitInto = kLargestPhotoSize);
// Writes the picture shown as the picture of the position; false when the
// write failed (any earlier file is left as it was). A photo that stands for
// an unreadable file leaves that file as it is.
bool writeRecordPicture(const RecordKind& kind, qint64 position, const Photo& photo);

} // namespace vinarca
