#pragma once

#include "ProgramFolder.h"

#include <QString>
#include <QStringList>

namespace vinarca {

// A price list is the file "<name>.lis" directly in the program folder; the
// set of lists is exactly the set of such files found when they are listed.

// The full path of the list called `name`: the folder, the name, ".lis".
QString PriceListPath(const QString& name, const QString& folder = ProgramFolder());

// The names (with extension) of the ".lis" files directly in `folder`, in the
// order the file system gives them; sub-folders are not searched.
QStringList ListPriceListFiles(const QString& folder = ProgramFolder());

// The list title of a shown name: the name without its last four characters.
QString PriceListTitle(const QString& shownName);

enum class CreateOutcome { Created, Exists, Failed };

// Creates the file empty. A file of the same name, also in other capital
// and small letters, counts as existing. An existing file is never truncated or touched:
// the creation itself refuses it, so no other process can slip in between a
// test of existence and the creation.
CreateOutcome CreatePriceListFile(const QString& path);

// Removes that one file; true when it was removed.
bool DeletePriceListFile(const QString& path);

// Why a typed name cannot become a list file in the program folder. Pasted
// text escapes the typing filter, so the name itself is checked before any
// file is made from it.
// Besides the separators, a name may not hold the characters that FAT and
// Windows refuse, nor be a Windows device name, so the program folder can be
// copied anywhere; and it must leave room for the list's photo names.
enum class NameProblem { None, Empty, Separator, OnlyDots, ControlCharacter, ReservedCharacter, DeviceName, TooLong };
NameProblem priceListNameProblem(const QString& trimmedName);

// The warning shown for a refused name (empty text for NameProblem::None).
QString nameProblemMessage(NameProblem problem);

} // namespace vinarca
