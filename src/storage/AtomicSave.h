#pragma once

#include <QByteArray>
#include <QString>

namespace vinarca {

// Replaces the whole file `path` with `bytes`, all or nothing. The bytes go to
// a temporary file beside it ("<name>.vinarca-XXXXXX"); every write is checked,
// the data is forced to the disk and its size on disk compared with what was
// written before the temporary takes the file's place. On any failure (a full
// disk, a file-size limit, no rights) the temporary is removed, the old file
// stays as it was and the answer is false. A new file takes the permissions of
// the one it replaces.
//
// Temporaries of earlier saves of the same file that a crash left behind
// ("<name>.vinarca-" and six letters or digits) are removed first. Nothing
// else in the folder is touched.
bool saveWholeFile(const QString& path, const QByteArray& bytes);

// Whether `fileName` is a temporary that a save of `targetName` (in the same
// folder) made, by the exact name patterns above.
bool isSaveTemporaryOf(const QString& fileName, const QString& targetName);

} // namespace vinarca
