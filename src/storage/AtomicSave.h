#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

namespace vinarca {

// Replaces one whole file, all or nothing, written in pieces: the bytes go to
// a temporary file beside it; every write is checked, the data is forced to
// the disk and its size on disk compared with what was written before the
// temporary takes the file's place. On any failure (a full disk, a file-size
// limit, no rights) or when the writer is dropped without commit(), the
// temporary is removed and the old file stays as it was. A new file takes the
// permissions of the one it replaces.
//
// The temporary is named "<name>.vinarca-XXXXXX"; where that would pass the
// file system's 255-byte limit on names, the name is shortened to its first
// bytes followed by "~" and eight hexadecimal digits that stand for the whole
// name, so every file that can exist can also be saved. Temporaries of earlier
// saves of the same file that a crash left behind are removed first. Nothing
// else in the folder is touched.
//
// A large file is forced to the disk step by step, in the background, while
// it is written, and a large file it replaces keeps a temporary's name until
// a background thread has unlinked it, so that the save waits for neither.
//
// Refused before anything is written:
// - a target the user made read-only (no write permission for anyone, or
//   none for us): the user protected it;
// - a target in the program folder whose path, through a symbolic link,
//   leads out of the program folder: what the program stores stays in it.
class AtomicFile
{
public:
    AtomicFile();
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool open(const QString& path);
    bool write(const char* data, qint64 size);
    bool write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }
    // Puts the written bytes in the file's place; false (and the old file
    // kept) when anything failed.
    bool commit();
    // Drops what was written; the old file stays.
    void discard();

    // For a writer that opens files by name itself (a printer writing a PDF
    // file): the temporary to write into, after open(), and the commit of
    // what that writer left in it.
    QString temporaryPath() const { return m_temporary; }
    bool commitWrittenElsewhere();

private:
    class BackgroundSync;
    bool finishBackgroundSync();

    std::unique_ptr<BackgroundSync> m_background;
    QString m_target;
    QString m_temporary;
    QString m_temporaryStem;
    int m_fd = -1;
    qint64 m_written = 0;
    qint64 m_handedToDisk = 0;
    bool m_failed = false;
};

bool saveWholeFile(const QString& path, const QByteArray& bytes);

// Whether `fileName` is a temporary that a save of `targetName` (in the same
// folder) made, by the exact name patterns above.
bool isSaveTemporaryOf(const QString& fileName, const QString& targetName);

// Whether a path inside the program folder leads, through a symbolic link on
// the way (the file itself or any folder above it), to a place outside the
// program folder. Paths outside the program folder (a place the user chose
// in a dialog) are the user's to choose and answer false.
bool leadsOutOfProgramFolder(const QString& path);

// Whether the user made an existing file read-only: nobody may write it, or
// this process may not.
bool isProtectedFile(const QString& path);

// The longest file name, in bytes of the file system's encoding, that a
// folder can hold.
inline constexpr int kMaxFileNameBytes = 255;

} // namespace vinarca
