#pragma once

#include "LabelRecord.h"
#include "ListWindow.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class QLineEdit;
class QPushButton;

namespace vinarca {

class LabelEditor;
class PictureBox;
struct LabelRunEntry;

// The summary line of a label in the search list: product (30 columns),
// bottler (28), lot (20) and price (15) in fixed columns, then the notes
// whole; every field trimmed of blanks and control characters first.
QString LabelSearchLine(const QByteArray& record);

// The sorted summary lines of every label of the kind's archive with a
// product. Creates the archive empty when it does not exist yet. Throws
// ArchiveError.
QStringList listLabelLines(const LabelKind& kind);

// The labels that the listed lines stand for, in the lines' order, each
// with `copies`: its archive position (of the last equal line, as a double
// click takes) and its product. One reading of the archive. Throws ArchiveError.
QList<LabelRunEntry> listedLabels(const LabelKind& kind, const QStringList& lines, int copies);

// The search window of a kind of label, one implementation for both: fills
// its list each time it is shown, finds in the list, loads the record of a
// double-clicked line into the editor of its kind, and prints the list.
class LabelSearchWindow : public RecordListWindow
{
    Q_OBJECT
public:
    const LabelKind& labelKind() const { return m_labelKind; }

    QWidget* panContainer = nullptr;
    PictureBox* imgLogo = nullptr;
    PictureBox* icoIstruzioni = nullptr;
    PictureBox* imgLente = nullptr;
    // The run of label stock: the copies of each label added, adding the
    // marked labels or every listed one, and the run's window.
    QLineEdit* txtCopie = nullptr;
    QPushButton *btnAggiungi = nullptr, *btnAggiungiTutte = nullptr, *btnSerie = nullptr;

    void btnAggiungiClick();
    void btnAggiungiTutteClick();

    // Fill: forget the last find, read the archive into the list.
    void FormShow();

protected:
    LabelSearchWindow(const LabelKind& kind, QWidget* owner);

    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void addToRun(const QStringList& lines);

    const LabelKind& m_labelKind;
};

// Opens a fresh search window of the editor's kind, modal; a double click
// loads the record into that editor, with its logo.
void openLabelSearch(LabelEditor& editor);

} // namespace vinarca
