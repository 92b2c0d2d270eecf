#pragma once

#include <QString>

#include <array>
#include <functional>

namespace vinarca {

// The three attachments of a record: bare file names inside the attachment
// folder ("" for a free slot) and their descriptions.
struct AttachmentSlots
{
    std::array<QString, 3> files;
    std::array<QString, 3> descriptions;
};

// "Documenti_Allegati" in the program folder, shared by every archive (no trailing separator).
QString attachmentFolder();

// Whether a stored name is a bare file name that stays inside the attachment
// folder: not empty, no path separator or drive, not "." or "..". A name from a
// damaged or hand-edited archive that fails this is never opened, copied or
// written over.
bool isBareAttachmentName(const QString& name);

// The attached file's path, or "" when the name is not a bare name.
QString attachmentPath(const QString& name);

// The name under which a file chosen with the name `chosenFileName` is copied
// into `folder` and stored in the record, so that the record holds the
// copy's real name. A name the record's 250-character Windows-1252 field can
// hold whole is answered unchanged (an existing file of that name is the
// caller's question). Otherwise characters the code page cannot represent,
// and path separators, become "_", the name is shortened to the field and to
// the file system's 255 bytes keeping its extension, and where a file of that
// name is already in `folder` it is numbered, "Fattura (2).pdf", to the first
// free name. Empty when no free name is left.
QString storableAttachmentName(const QString& chosenFileName, const QString& folder);

enum class CopyOutcome { Copied, Failed, Cancelled };

// Told how far a copy is: bytes copied so far and the source's size (0 when
// the source cannot tell, as a pipe). Answers false to stop the copy.
using CopyProgress = std::function<bool(qint64 done, qint64 total)>;

// Copies `source` into the attachment folder under `name`, creating the
// folder when missing. The file is copied in pieces of a fixed size, so a
// file of any size copies without holding it in memory, and `progress` is
// told after each piece. The copy is atomic: when it fails (the source gone,
// the folder not writable, a full disk) or is stopped, nothing is left under
// the name and a file of that name already there stays as it was.
CopyOutcome copyAttachment(const QString& source, const QString& name, const CopyProgress& progress = {});

} // namespace vinarca
