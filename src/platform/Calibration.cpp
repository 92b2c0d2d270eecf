#include "Calibration.h"

#include "Platform.h"
#include "QtTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace vinarca {

namespace {

// The rulers' long marks the user measures, in millimetres from the
// sheet's edges: far apart for the scale, clear of every printer's margin.
constexpr double kNearMark = 10;
constexpr double kFarMarkX = 200;
constexpr double kFarMarkY = 280;
constexpr double kRulerTop = 20;  // the top ruler's line, down from the top edge
constexpr double kRulerLeft = 20; // the left ruler's line, in from the left edge

constexpr QSizeF kA4Mm(210, 297);

QString instructions()
{
    return QStringLiteral(
        "1. Print the calibration sheet on this printer with the values below at 0 mm and 100 %.\n"
        "2. With a ruler, measure on the sheet from its left edge the marks 10 and 200 of the top "
        "ruler (A and B), and from its top edge the marks 10 and 280 of the left ruler (C and D).\n"
        "3. Horizontal scale = 190 / (B - A) x 100 %; vertical scale = 270 / (D - C) x 100 %.\n"
        "4. Horizontal offset = 10 - A x horizontal scale; vertical offset = 10 - C x vertical scale "
        "(the scales as fractions: 99,5 % = 0,995).\n"
        "Example: A = 11,2 and B = 201,2 give 100 % and -1,2 mm.");
}

QDoubleSpinBox* spin(const char* name, double low, double high, int decimals, double step, const QString& suffix)
{
    auto* box = new QDoubleSpinBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(low, high);
    box->setDecimals(decimals);
    box->setSingleStep(step);
    box->setSuffix(suffix);
    return box;
}

} // namespace

void paintCalibrationSheet(QPainter& painter, const QString& printerName)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPen fine(Qt::black, 0.1, Qt::SolidLine, Qt::FlatCap);
    const QPen faint(QColor(170, 170, 170), 0.1, Qt::SolidLine, Qt::FlatCap);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(3); // 3 mm high numbers
    painter.setFont(font);

    // The centimetre grid between the rulers.
    painter.setPen(faint);
    for (double x = 30; x <= kFarMarkX + 0.01; x += 10)
        painter.drawLine(QPointF(x, 30), QPointF(x, kFarMarkY));
    for (double y = 30; y <= kFarMarkY + 0.01; y += 10)
        painter.drawLine(QPointF(30, y), QPointF(kFarMarkX, y));

    painter.setPen(fine);
    // Top ruler: marks hang down from its line, the numbers under them.
    painter.drawLine(QPointF(kNearMark, kRulerTop), QPointF(kFarMarkX, kRulerTop));
    for (int mm = int(kNearMark); mm <= int(kFarMarkX); ++mm) {
        const double length = mm % 10 == 0 ? 5 : mm % 5 == 0 ? 3 : 1.5;
        painter.drawLine(QPointF(mm, kRulerTop), QPointF(mm, kRulerTop + length));
        if (mm % 10 == 0)
            painter.drawText(QRectF(mm - 5, kRulerTop + 5.5, 10, 4), Qt::AlignCenter, QString::number(mm));
    }
    // Left ruler: marks to the right of its line, the numbers beside them.
    painter.drawLine(QPointF(kRulerLeft, kNearMark), QPointF(kRulerLeft, kFarMarkY));
    for (int mm = int(kNearMark); mm <= int(kFarMarkY); ++mm) {
        const double length = mm % 10 == 0 ? 5 : mm % 5 == 0 ? 3 : 1.5;
        painter.drawLine(QPointF(kRulerLeft, mm), QPointF(kRulerLeft + length, mm));
        // Below the top ruler's numbers, and its own first number above them.
        if (mm % 10 == 0 && (mm == int(kNearMark) || mm > kRulerTop + 10))
            painter.drawText(QRectF(kRulerLeft - 12, mm - 2, 11, 4), Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(mm));
    }

    font.setPixelSize(5);
    painter.setFont(font);
    painter.drawText(QRectF(30, 120, 170, 8), Qt::AlignCenter, QStringLiteral("Foglio di taratura"));
    font.setPixelSize(4);
    painter.setFont(font);
    painter.drawText(QRectF(30, 130, 170, 6), Qt::AlignCenter,
                     printerName + QStringLiteral(" - ") + QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    painter.drawText(QRectF(30, 138, 170, 30), Qt::AlignCenter | Qt::TextWordWrap,
                     QStringLiteral("Misurare dal bordo sinistro del foglio le tacche 10 e 200 del righello in alto "
                                    "e dal bordo superiore le tacche 10 e 280 del righello a sinistra."));
    painter.restore();
}

bool printCalibrationSheet(QPrinter& printer, const QString& printerName)
{
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                      QPageLayout::Millimeter));
    printer.setCopyCount(1);
    printer.setDocName(QStringLiteral("Foglio di taratura"));
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const double pixelsPerMm = printer.logicalDpiX() / 25.4;
    painter.scale(pixelsPerMm, printer.logicalDpiY() / 25.4);
    paintCalibrationSheet(painter, printerName);
    return painter.end() && printer.printerState() != QPrinter::Error;
}

CalibrationDialog::CalibrationDialog(const Calibrations& calibrations, const QString& printerName, QWidget* parent)
    : QDialog(parent), m_calibrations(calibrations)
{
    // Opened from the print dialog, in its language.
    const EnglishQtTexts english;
    setObjectName(QStringLiteral("dlgCalibration"));
    setWindowTitle(QStringLiteral("Printer calibration"));

    cboPrinter = new QComboBox;
    cboPrinter->setObjectName(QStringLiteral("cboPrinter"));
    QStringList printers = QPrinterInfo::availablePrinterNames();
    for (const QString& known : m_calibrations.byPrinter.keys())
        if (!printers.contains(known))
            printers << known;
    if (!printerName.isEmpty() && !printers.contains(printerName))
        printers << printerName;
    printers.sort();
    cboPrinter->addItems(printers);
    const QString first = printerName.isEmpty() ? QPrinterInfo::defaultPrinterName() : printerName;
    cboPrinter->setCurrentIndex(std::max<qsizetype>(0, printers.indexOf(first)));

    spnOffsetX = spin("spnOffsetX", -50, 50, 1, 0.1, QStringLiteral(" mm"));
    spnOffsetY = spin("spnOffsetY", -50, 50, 1, 0.1, QStringLiteral(" mm"));
    spnScaleX = spin("spnScaleX", 80, 120, 2, 0.01, QStringLiteral(" %"));
    spnScaleY = spin("spnScaleY", 80, 120, 2, 0.01, QStringLiteral(" %"));
    chkPdf = new QCheckBox(QStringLiteral("Apply to PDF files too"));
    chkPdf->setObjectName(QStringLiteral("chkPdf"));
    btnCalibrationSheet = new QPushButton(QStringLiteral("Print calibration sheet"));
    btnCalibrationSheet->setObjectName(QStringLiteral("btnCalibrationSheet"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Printer:"), cboPrinter);
    form->addRow(QStringLiteral("Horizontal offset:"), spnOffsetX);
    form->addRow(QStringLiteral("Vertical offset:"), spnOffsetY);
    form->addRow(QStringLiteral("Horizontal scale:"), spnScaleX);
    form->addRow(QStringLiteral("Vertical scale:"), spnScaleY);
    form->addRow(QString(), chkPdf);
    auto* help = new QLabel(instructions());
    help->setObjectName(QStringLiteral("lblInstructions"));
    help->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(btnCalibrationSheet, 0, Qt::AlignLeft);
    layout->addWidget(help);
    layout->addWidget(buttons);
    // The instructions wrap within a width that keeps the boxes at hand, and
    // the window is as tall as that makes them.
    constexpr int kWidth = 520;
    setFixedSize(kWidth, layout->hasHeightForWidth() ? layout->totalHeightForWidth(kWidth) : sizeHint().height());

    showPrinter();
    connect(cboPrinter, &QComboBox::currentTextChanged, this, [this] {
        keepShown();
        showPrinter();
    });
    connect(btnCalibrationSheet, &QPushButton::clicked, this, &CalibrationDialog::printSheet);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CalibrationDialog::showPrinter()
{
    m_shown = cboPrinter->currentText();
    const PrinterCalibration c = m_calibrations.byPrinter.value(m_shown);
    spnOffsetX->setValue(c.offsetXMm);
    spnOffsetY->setValue(c.offsetYMm);
    spnScaleX->setValue(c.scaleX * 100);
    spnScaleY->setValue(c.scaleY * 100);
    chkPdf->setChecked(!m_shown.isEmpty() && m_calibrations.forPdf == m_shown);
    const bool any = !m_shown.isEmpty();
    for (QWidget* w : {static_cast<QWidget*>(spnOffsetX), static_cast<QWidget*>(spnOffsetY),
                       static_cast<QWidget*>(spnScaleX), static_cast<QWidget*>(spnScaleY),
                       static_cast<QWidget*>(chkPdf), static_cast<QWidget*>(btnCalibrationSheet)})
        w->setEnabled(any);
}

void CalibrationDialog::keepShown()
{
    m_calibrations = calibrations();
}

Calibrations CalibrationDialog::calibrations() const
{
    Calibrations kept = m_calibrations;
    if (m_shown.isEmpty())
        return kept;
    // The boxes show tenths of a millimetre and hundredths of a percent:
    // what is kept is what is shown.
    PrinterCalibration c;
    c.offsetXMm = spnOffsetX->value();
    c.offsetYMm = spnOffsetY->value();
    c.scaleX = spnScaleX->value() / 100;
    c.scaleY = spnScaleY->value() / 100;
    if (!c.isIdentity() || kept.byPrinter.contains(m_shown))
        kept.byPrinter.insert(m_shown, c);
    if (chkPdf->isChecked())
        kept.forPdf = m_shown;
    else if (kept.forPdf == m_shown)
        kept.forPdf.clear();
    return kept;
}

void CalibrationDialog::printSheet()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(m_shown);
    if (!printCalibrationSheet(printer, m_shown))
        platform().message(this, MessageKind::Warning,
                           QStringLiteral("The calibration sheet could not be printed on %1.").arg(m_shown));
}

} // namespace vinarca
