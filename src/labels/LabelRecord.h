#pragma once

#include "RecordKind.h"

#include <QPoint>
#include <QSizeF>
#include <QString>

namespace vinarca {

struct LabelGeometry;

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
};

const LabelKind& verticalLabelKind();
const LabelKind& horizontalLabelKind();

} // namespace vinarca
