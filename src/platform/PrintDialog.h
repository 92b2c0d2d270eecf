#pragma once

#include "PrintChoices.h"

#include <QWidget>

#include <memory>

class QButtonGroup;
class QComboBox;
class QPrintDialog;
class QPrinter;

namespace vinarca {

// The "Print mode" tab of the print dialog: the five modes, and the paper
// that "Print on sheet" prints on (offered only with that mode).
class PrintModeTab final : public QWidget
{
    Q_OBJECT

public:
    explicit PrintModeTab(QWidget* parent = nullptr);

    PrintChoices choices() const;
    void setChoices(const PrintChoices& choices);

    // The papers "Print on sheet" offers, in the order of the list.
    static QList<QPageSize::PageSizeId> sheetSizes();

private:
    void updateSheetChoice();

    QButtonGroup* m_modes;
    QComboBox* m_sheet;
};

// Qt's print dialog set up for `pageCount` pages (printer, print to file,
// page range with the current page, copies and collate, paper size) with the
// print mode tab added and showing `choices`.
std::unique_ptr<QPrintDialog> createPrintDialog(QWidget* parent, QPrinter& printer, int pageCount,
                                                const PrintChoices& choices);
PrintModeTab* printModeTabOf(QPrintDialog& dialog);

} // namespace vinarca
