#pragma once

#include "RecordKind.h"

#include <QPoint>

#include <memory>

class QDialog;
class QWidget;
#include <QSizeF>
#include <QString>

namespace vinarca {

struct LabelGeometry;
struct LabelPrintInput;
class DocumentWindow;
class LabelSearchWindow;
enum class DocumentAction;

// How a label kind makes its windows, each a fresh one owned by `owner`:
// the named print, preview, search and export windows of the kind.
struct LabelWindowMakers
{
    std::unique_ptr<DocumentWindow> (*document)(const LabelPrintInput& input, DocumentAction action, QWidget* owner);
    std::unique_ptr<LabelSearchWindow> (*search)(QWidget* owner);
    std::unique_ptr<QDialog> (*exportWindow)(QWidget* owner);
};

// The Label record of both label archives: twenty short strings, 2735 bytes.
const RecordLayout& labelLayout();
inline constexpr int kLabelRecordSize = 2735;

// The nine label lines in the order they stand on the label, top to bottom.
enum class LabelLine { Cima, Nome, Rosso, Sottotitolo, Rigo01, Rigo02, Rigo03, Rigo04, Calce };
inline constexpr int kLabelLineCount = 9;
// The record field a line shows ("Cima", "Nome", ...).
QString labelLineField(LabelLine line);

// One kind of bottle label, described once: the vertical and the horizontal
// editors are the same window built from two of these.
struct LabelKind
{
    RecordKind record;       // archive, Label layout, logo folder and "Logo_" naming, product required
    QString windowName;      // the global reference's name ("frmVerticali")
    QString caption;
    QString tag;             // passed to the attachments window
    QString defaultLogo;     // artwork of the default logo
    QString ornament;        // artwork of the ornament on the label
    QSizeF printedSizeMm;    // the label on paper
    QPoint labelOrigin;      // top-left of the live label in the editor's panel
    const LabelGeometry* geometry = nullptr;
    QString layoutPath;        // the printed label's layout
    QString standBy;           // the stand-by logo of its print and preview windows
    QString printWindowName;   // objectName of the print window
    QString previewWindowName; // objectName of the preview window
    QString searchWindowName;  // objectName of the search window
    const LabelWindowMakers& (*windows)() = nullptr;
};

const LabelWindowMakers& verticalLabelWindows();
const LabelWindowMakers& horizontalLabelWindows();

const LabelKind& verticalLabelKind();
const LabelKind& horizontalLabelKind();

} // namespace vinarca
