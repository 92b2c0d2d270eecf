#pragma once

#include "DocumentWindow.h"
#include "Photo.h"

#include <QHash>
#include <QImage>
#include <QString>

#include <future>
#include <memory>

namespace vinarca {

class TReport;

// What the wine sheet prints, as the editor shows it: the texts of the wine
// record's fields by field name ("Nome", "Giacenza", ..., as wineLayout()
// names them), every field the sheet prints among them, and the picture of
// the photo box (null when the box is empty).
struct WineSheetInput
{
    QHash<QString, QString> fields;
    QImage photo;
    // The photo still being decoded for paper (wineSheetPhotoAhead): when
    // it is given, it is printed in place of `photo`.
    std::shared_future<QImage> comingPhoto;
};

// The layout text boxes the sheet fills, in filling order, each with the
// wine record field whose text it prints.
struct SheetField
{
    const char* layoutName;
    const char* field;
};
extern const SheetField kSheetFields[22];

// The sheet layout as delivered, and the sheet filled from the record's
// texts (trimmed) and photo, ready to prepare. A field name that the wine
// record does not have, or that the input lacks, and a text box that the
// layout lacks, throw: the sheet is never printed with a blank in their place.
std::unique_ptr<TReport> loadWineSheet();
void fillWineSheet(TReport& sheet, const WineSheetInput& input);
void fillWineSheetTexts(TReport& sheet, const QHash<QString, QString>& fields);

// The photo as the sheet prints it, decoded once at the size its area on
// paper needs: a camera JPEG is decoded straight at the least reduction that
// gives at least 200 dots per inch of the area (the printout then takes no
// more than 300); a picture without its JPEG bytes is scaled down to 300.
QImage wineSheetPhoto(const Photo& shown);
// The same, decoded on a thread of its own from now on: the print window and
// the print dialog are shown meanwhile, and the sheet waits for the photo
// only when it draws it. A null picture is at hand at once.
std::shared_future<QImage> wineSheetPhotoAhead(const Photo& shown);

// The print or preview window of the sheet, as its named subclasses show it.
DocumentWindowSpec wineSheetSpec(DocumentAction action);

// Opens the print or preview window of the sheet, owned by `owner`, modally
// through the platform seam, and destroys it when it closes.
void openWineSheet(QWidget* owner, const WineSheetInput& input, DocumentAction action);

// The failure warnings of the two windows.
QString sheetFailureMessage(DocumentAction action);

} // namespace vinarca
