#include "PrintDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QRadioButton>
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

} // namespace

QList<QPageSize::PageSizeId> PrintModeTab::sheetSizes()
{
    return {QPageSize::A3, QPageSize::A4, QPageSize::A5, QPageSize::A6, QPageSize::B5, QPageSize::Letter,
            QPageSize::Legal};
}

PrintModeTab::PrintModeTab(QWidget* parent) : QWidget(parent), m_modes(new QButtonGroup(this)), m_sheet(new QComboBox)
{
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
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch(1);
    connect(m_modes, &QButtonGroup::idToggled, this, [this](int, bool) { updateSheetChoice(); });
    setChoices({});
}

PrintChoices PrintModeTab::choices() const
{
    PrintChoices chosen;
    chosen.mode = static_cast<PrintMode>(std::max(0, m_modes->checkedId()));
    chosen.sheet = QPageSize(static_cast<QPageSize::PageSizeId>(m_sheet->currentData().toInt()));
    return chosen;
}

void PrintModeTab::setChoices(const PrintChoices& choices)
{
    if (QAbstractButton* option = m_modes->button(static_cast<int>(choices.mode)))
        option->setChecked(true);
    const int sheet = m_sheet->findData(static_cast<int>(choices.sheet.id()));
    m_sheet->setCurrentIndex(sheet >= 0 ? sheet : m_sheet->findData(static_cast<int>(QPageSize::A4)));
    updateSheetChoice();
}

void PrintModeTab::updateSheetChoice()
{
    m_sheet->setEnabled(m_modes->checkedId() == static_cast<int>(PrintMode::PrintOnSheet));
}

std::unique_ptr<QPrintDialog> createPrintDialog(QWidget* parent, QPrinter& printer, int pageCount,
                                                const PrintChoices& choices)
{
    auto dialog = std::make_unique<QPrintDialog>(&printer, parent);
    dialog->setMinMax(1, std::max(1, pageCount));
    dialog->setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange
                       | QAbstractPrintDialog::PrintCurrentPage | QAbstractPrintDialog::PrintCollateCopies
                       | QAbstractPrintDialog::PrintShowPageSize);
    auto* tab = new PrintModeTab;
    tab->setChoices(choices);
    dialog->setOptionTabs({tab});
    return dialog;
}

PrintModeTab* printModeTabOf(QPrintDialog& dialog)
{
    return dialog.findChild<PrintModeTab*>(QStringLiteral("printModeTab"));
}

} // namespace vinarca
