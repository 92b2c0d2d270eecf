#pragma once

#include "ListSearch.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

namespace vinarca {

class FramedEdit;
class RecordListView;

// Where the result controls of a list window sit in their panel.
struct ListWindowGeometry
{
    QRect find;      // txtTrova
    QRect findButton;
    QRect list;
    QRect hint;      // lblRigo03
    QRect close;     // btnChiudi
    QRect count;     // lblTrovate
    QRect print;     // btnStampa
};

// The window core of every search: the sorted list of record lines with its
// count line, find with wrap-around, the double click that loads the last
// equal record into the opener's editor, and printing the list. A concrete
// search window adds its pictures, its criteria (if any) and its texts.
class RecordListWindow : public QDialog
{
    Q_OBJECT
public:
    FramedEdit* txtTrova = nullptr;
    QPushButton* btnTrova = nullptr;
    RecordListView* lstRecords = nullptr;
    QLabel* lblRigo03 = nullptr;
    QPushButton* btnChiudi = nullptr;
    QLabel* lblTrovate = nullptr;
    QPushButton* btnStampa = nullptr;
    QLabel* lblMemory = nullptr; // the routing marker: the tag of the editor to fill

    // Receives the record to show in the editor and its position.
    using Loader = std::function<void(const QByteArray& record, qint64 position)>;
    void setLoader(Loader loader) { m_loader = std::move(loader); }
    // Prints the list lines; by default on the list document under the
    // window's list title, through the print dialog.
    using ListPrinter = std::function<void(QWidget* owner, const QStringList& lines)>;
    void setListPrinter(ListPrinter printer) { m_printer = std::move(printer); }

    void btnTrovaClick();
    void lstRecordsDblClick();
    void btnStampaClick();

protected:
    // `tag`: the routing marker under which a double click loads a record;
    // `listTitle`: the title of the printed list.
    RecordListWindow(const RecordKind& kind, RecordLine lineOf, QString tag, const QString& listTitle, QWidget* owner);

    // Builds the result controls in `panel`; `hint` is the line under the list.
    void buildResultControls(QWidget* panel, const ListWindowGeometry& geometry, const QString& hint);
    // Shows the lines, sorted already, with the count line, and puts the
    // focus in the find box.
    void showLines(ListLines lines);
    void showLines(const QStringList& lines) { showLines(ListLines(lines)); }
    // Forgets the last find text and empties the find box.
    void resetFind();

    void done(int result) override;

private:
    const RecordKind& m_kind;
    RecordLine m_lineOf;
    QString m_tag;
    QString m_lastFind;
    Loader m_loader;
    ListPrinter m_printer;
};

} // namespace vinarca
