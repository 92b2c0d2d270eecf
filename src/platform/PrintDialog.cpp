#include "PrintDialog.h"

#include "Calibration.h"
#include "Platform.h"
#include "QtTexts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vinarca {

namespace {

struct ModeText
{
    PrintMode mode;
    const char* objectName;
    const char* text;
};

constexpr ModeText kModes[] = {
    {PrintMode::Default, "optDefault", "Default"},
    {PrintMode::SplitBigPages, "optSplitBigPages", "Split big pages"},
    {PrintMode::JoinSmallPages, "optJoinSmallPages", "Join small pages"},
    {PrintMode::Scale, "optScale", "Scale"},
    {PrintMode::PrintOnSheet, "optPrintOnSheet", "Print on sheet"},
};

QDoubleSpinBox* millimetres(const char* name, double high)
{
    auto* box = new QDoubleSpinBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(0, high);
    box->setDecimals(1);
    box->setSingleStep(0.1);
    box->setSuffix(QStringLiteral(" mm"));
    return box;
}

// Brings the print mode tab to the front and unfolds the options part of
// the dialog, which Qt's dialog keeps folded behind its options button: the
// button its button box holds in the reset role, whatever its text in the
// user's language, clicked as the user would.
void showModeTabFirst(QPrintDialog& dialog, PrintModeTab& tab)
{
    for (QWidget* up = tab.parentWidget(); up; up = up->parentWidget())
        if (auto* tabs = qobject_cast<QTabWidget*>(up)) {
            tabs->setCurrentWidget(&tab);
            break;
        }
    if (tab.isVisibleTo(&dialog))
        return;
    for (QDialogButtonBox* box : dialog.findChildren<QDialogButtonBox*>())
        for (QAbstractButton* button : box->buttons())
            if (box->buttonRole(button) == QDialogButtonBox::ResetRole) {
                button->click();
                return;
            }
}

} // namespace

QList<QPageSize::PageSizeId> PrintModeTab::sheetSizes()
{
    return {QPageSize::A3, QPageSize::A4, QPageSize::A5, QPageSize::A6, QPageSize::B5, QPageSize::Letter,
            QPageSize::Legal};
}

PrintModeTab::PrintModeTab(QWidget* parent, const QString& printerName)
    : QWidget(parent), m_modes(new QButtonGroup(this)), m_sheet(new QComboBox), m_printerName(printerName)
{
    // The papers are named by Qt, in the language of the dialog the tab sits in.
    const EnglishQtTexts english;
    setObjectName(QStringLiteral("printModeTab"));
    setWindowTitle(QStringLiteral("Print mode"));
    auto* group = new QGroupBox(QStringLiteral("Print mode"));
    auto* modes = new QVBoxLayout(group);
    for (const ModeText& m : kModes) {
        auto* option = new QRadioButton(QString::fromLatin1(m.text));
        option->setObjectName(QString::fromLatin1(m.objectName));
        m_modes->addButton(option, static_cast<int>(m.mode));
        modes->addWidget(option);
        if (m.mode == PrintMode::PrintOnSheet) {
            auto* sheetRow = new QHBoxLayout;
            sheetRow->setContentsMargins(24, 0, 0, 0);
            auto* label = new QLabel(QStringLiteral("Sheet:"));
            label->setBuddy(m_sheet);
            sheetRow->addWidget(label);
            sheetRow->addWidget(m_sheet, 1);
            modes->addLayout(sheetRow);
        }
    }
    m_sheet->setObjectName(QStringLiteral("cboSheet"));
    for (QPageSize::PageSizeId id : sheetSizes())
        m_sheet->addItem(QPageSize::name(id), static_cast<int>(id));

    // The label stock, under "Join small pages".
    m_stock = new QGroupBox(QStringLiteral("Label stock"));
    m_stock->setObjectName(QStringLiteral("grpLabelStock"));
    spnFirstLeft = millimetres("spnFirstLeft", 1000);
    spnFirstTop = millimetres("spnFirstTop", 1000);
    spnGapX = millimetres("spnGapX", 1000);
    spnGapY = millimetres("spnGapY", 1000);
    spnStartAt = new QSpinBox;
    spnStartAt->setObjectName(QStringLiteral("spnStartAt"));
    spnStartAt->setRange(1, 999);
    chkCropMarks = new QCheckBox(QStringLiteral("Crop marks"));
    chkCropMarks->setObjectName(QStringLiteral("chkCropMarks"));
    auto* stock = new QFormLayout(m_stock);
    stock->addRow(QStringLiteral("First label from left:"), spnFirstLeft);
    stock->addRow(QStringLiteral("First label from top:"), spnFirstTop);
    stock->addRow(QStringLiteral("Horizontal gap:"), spnGapX);
    stock->addRow(QStringLiteral("Vertical gap:"), spnGapY);
    stock->addRow(QStringLiteral("Start at label:"), spnStartAt);
    stock->addRow(QString(), chkCropMarks);

    btnCalibration = new QPushButton(QStringLiteral("Printer calibration..."));
    btnCalibration->setObjectName(QStringLiteral("btnCalibration"));
    connect(btnCalibration, &QPushButton::clicked, this, &PrintModeTab::calibrate);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(m_stock);
    layout->addWidget(btnCalibration, 0, Qt::AlignLeft);
    layout->addStretch(1);
    connect(m_modes, &QButtonGroup::idToggled, this, [this](int, bool) { updateSheetChoice(); });
    setChoices({});
}

PrintChoices PrintModeTab::choices() const
{
    PrintChoices chosen;
    chosen.mode = static_cast<PrintMode>(std::max(0, m_modes->checkedId()));
    chosen.sheet = QPageSize(static_cast<QPageSize::PageSizeId>(m_sheet->currentData().toInt()));
    chosen.stock.firstMm = QPointF(spnFirstLeft->value(), spnFirstTop->value());
    chosen.stock.gapXMm = spnGapX->value();
    chosen.stock.gapYMm = spnGapY->value();
    chosen.stock.startAt = spnStartAt->value();
    chosen.stock.cropMarks = chkCropMarks->isChecked();
    chosen.calibrations = m_calibrations;
    return chosen;
}

void PrintModeTab::setChoices(const PrintChoices& choices)
{
    if (QAbstractButton* option = m_modes->button(static_cast<int>(choices.mode)))
        option->setChecked(true);
    const int sheet = m_sheet->findData(static_cast<int>(choices.sheet.id()));
    m_sheet->setCurrentIndex(sheet >= 0 ? sheet : m_sheet->findData(static_cast<int>(QPageSize::A4)));
    spnFirstLeft->setValue(choices.stock.firstMm.x());
    spnFirstTop->setValue(choices.stock.firstMm.y());
    spnGapX->setValue(choices.stock.gapXMm);
    spnGapY->setValue(choices.stock.gapYMm);
    spnStartAt->setValue(choices.stock.startAt);
    chkCropMarks->setChecked(choices.stock.cropMarks);
    m_calibrations = choices.calibrations;
    updateSheetChoice();
}

void PrintModeTab::updateSheetChoice()
{
    m_sheet->setEnabled(m_modes->checkedId() == static_cast<int>(PrintMode::PrintOnSheet));
    m_stock->setEnabled(m_modes->checkedId() == static_cast<int>(PrintMode::JoinSmallPages));
}

void PrintModeTab::calibrate()
{
    CalibrationDialog dialog(m_calibrations, m_printerName, this);
    if (platform().execDialog(dialog) == QDialog::Accepted)
        m_calibrations = dialog.calibrations();
}

std::unique_ptr<QPrintDialog> createPrintDialog(QWidget* parent, QPrinter& printer, int pageCount,
                                                const PrintChoices& choices)
{
    const EnglishQtTexts english;
    auto dialog = std::make_unique<QPrintDialog>(&printer, parent);
    dialog->setMinMax(1, std::max(1, pageCount));
    dialog->setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange
                       | QAbstractPrintDialog::PrintCurrentPage | QAbstractPrintDialog::PrintCollateCopies
                       | QAbstractPrintDialog::PrintShowPageSize);
    auto* tab = new PrintModeTab(nullptr, printer.outputFormat() == QPrinter::NativeFormat ? printer.printerName() : QString());
    tab->setChoices(choices);
    dialog->setOptionTabs({tab});
    if (choices.showModeFirst)
        showModeTabFirst(*dialog, *tab);
    return dialog;
}

PrintModeTab* printModeTabOf(QPrintDialog& dialog)
{
    return dialog.findChild<PrintModeTab*>(QStringLiteral("printModeTab"));
}

void takePrintChoices(QPrintDialog& dialog, bool accepted, PrintChoices& choices)
{
    const PrintModeTab* tab = printModeTabOf(dialog);
    if (!tab)
        return;
    if (accepted)
        choices = tab->choices();
    else
        choices.calibrations = tab->choices().calibrations;
}

} // namespace vinarca
