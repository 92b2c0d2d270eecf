#pragma once

#include <QString>

#include <array>

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

// Copies `source` into the attachment folder under `name`, creating the
// folder when missing. The copy is atomic: on any failure (the source gone,
// the folder not writable, a full disk) it answers false and a file of that
// name already there stays as it was.
bool copyAttachment(const QString& source, const QString& name);

} // namespace vinarca
