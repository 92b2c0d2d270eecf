#pragma once

#include "LabelRecord.h"
#include "PrintChoices.h"

#include <QList>
#include <QSizeF>
#include <QString>

#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

class QWidget;

namespace vinarca {

class PreparedReport;
struct PrintSheet;
enum class DocumentAction;

// One label of a run of label stock: where it is in the archive, its
// product as the user saw it when adding it, and how many copies it prints.
struct LabelRunEntry
{
    qint64 position = 0;
    QString product;
    int copies = 1;

    bool operator==(const LabelRunEntry&) const = default;
};

// The most copies one label of a run may print.
inline constexpr int kMaxRunCopies = 10000;

// A run of label stock for several wines: labels in the order they print,
// each with its copies. A label appears once; adding it again sets its
// copies where it stands.
class LabelRun
{
public:
    const QList<LabelRunEntry>& entries() const { return m_entries; }
    bool isEmpty() const { return m_entries.isEmpty(); }
    qint64 totalCopies() const;

    void add(qint64 position, const QString& product, int copies);
    void setCopies(int row, int copies);
    void remove(int row);
    // Moves the label at `row` one place up (-1) or down (+1); false at an end.
    bool move(int row, int step);
    void clear() { m_entries.clear(); }

private:
    QList<LabelRunEntry> m_entries;
};

// The run of each kind of label (vertical and horizontal labels are
// different stock), kept while the program runs.
LabelRun& labelRunOf(const LabelKind& kind);

// The copies typed in a box: a whole number from 1 to kMaxRunCopies, or nothing.
std::optional<int> parseRunCopies(const QString& text);
QString runCopiesMessage();

// What the user is told when a run cannot print; nothing is printed then.
class RunError : public std::runtime_error
{
public:
    explicit RunError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// The labels of a run ready to print: one prepared page for each label,
// in the run's order, and the copies of each page.
struct PreparedRun
{
    std::shared_ptr<PreparedReport> labels;
    QList<int> copies;
    qint64 totalCopies() const;
};

// Reads every label of the run from the archive as it is now, with its own
// logo file (the kind's default logo where the file is missing or cannot
// be read), and prepares it. Throws RunError for a run without copies, a
// label no longer in the archive (a position beyond its end) or an archive
// that cannot be read; nothing is prepared then.
PreparedRun prepareRun(const LabelKind& kind, const LabelRun& run);

// The name the run's print settings are remembered under ("etichetta_verticale_serie").
QString runDocumentName(const LabelKind& kind);

// The paper the run is counted and previewed on: A4, as label stock comes.
QSizeF runPaperMm();

// How many sheets `labels` labels of the kind take on the stock the run's
// print settings remember.
int runSheetCount(const LabelKind& kind, qint64 labels, const LabelStock& stock);

// The sheets of a run as pages of their own, for the preview: each label
// where the print puts it, and the crop marks.
std::shared_ptr<PreparedReport> sheetsAsPages(const PreparedReport& labels, const std::vector<PrintSheet>& sheets);

// Called once before a run is printed or previewed, with the labels that
// are about to go out; false stops the job before anything is printed.
// Checks on the labels' contents belong here; today every run passes.
bool checkRunBeforePrint(QWidget* parent, const LabelKind& kind, const PreparedRun& run);

// The run's print or preview window's Stampa: prepares the run, checks it,
// and prints it through the print dialog or shows its sheets. A RunError
// is said to the user in its words.
void outputLabelRun(QWidget* parent, const LabelKind& kind, const LabelRun& run, DocumentAction action);

// Opens the print or preview window of the kind's run, modally.
void openRunDocument(QWidget* owner, const LabelKind& kind, DocumentAction action);

} // namespace vinarca
