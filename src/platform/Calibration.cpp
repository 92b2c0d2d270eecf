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
// The top ruler starts at 10 mm, the left one below the top ruler's marks,
// so the two never cross and no number stands on the other ruler.
constexpr double kNearMarkX = 10;
constexpr double kFarMarkX = 200;
constexpr double kNearMarkY = 30;
constexpr double kFarMarkY = 280;
constexpr double kRulerTop = 20;  // the top ruler's line, down from the top edge
constexpr double kRulerLeft = 20; // the left ruler's line, in from the left edge
constexpr double kLinePitch = 5.5; // of the instructions on the sheet
constexpr double kStepGap = 2.5;

QString instructions()
{
    return QStringLiteral(
        "1. Print the calibration sheet on this printer: it is printed without any correction.\n"
        "2. With a ruler, measure on the sheet from its left edge the marks 10 and 200 of the top "
        "ruler (A and B), and from its top edge the marks 30 and 280 of the left ruler (C and D).\n"
        "3. Horizontal scale = 190 / (B - A) x 100 %; vertical scale = 250 / (D - C) x 100 %.\n"
        "4. Horizontal offset = 10 - A x horizontal scale; vertical offset = 30 - C x vertical scale "
        "(the scales as fractions: 99,5 % = 0,995).\n"
        "Example: A = 11,2 and B = 201,2 give 100 % and -1,2 mm.\n"
        "The sheet itself carries these steps.");
}

// The same steps on the sheet, in the program's language.
QStringList sheetInstructions()
{
    return {
        QStringLiteral("1. Con un righello misurare in millimetri:"),
        QStringLiteral("    dal bordo sinistro del foglio le tacche 10 (A) e 200 (B) del righello in alto;"),
        QStringLiteral("    dal bordo superiore del foglio le tacche 30 (C) e 280 (D) del righello a sinistra."),
        QStringLiteral("2. Scala orizzontale = 190 / (B \u2212 A) \u00d7 100 %"),
        QStringLiteral("    Scala verticale = 250 / (D \u2212 C) \u00d7 100 %"),
        QStringLiteral("3. Spostamento orizzontale = 10 \u2212 A \u00d7 scala orizzontale"),
        QStringLiteral("    Spostamento verticale = 30 \u2212 C \u00d7 scala verticale"),
        QStringLiteral("    (le scale come frazioni: 99,5 % = 0,995)"),
        QStringLiteral("    Esempio: A = 11,2 e B = 201,2 danno scala 100 % e spostamento \u22121,2 mm."),
        QStringLiteral("4. Scrivere i quattro valori nella finestra Printer calibration"),
        QStringLiteral("    (Horizontal offset, Vertical offset, Horizontal scale, Vertical scale)."),
    };
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
    const auto markLength = [](int mm) { return mm % 10 == 0 ? 5.0 : mm % 5 == 0 ? 3.0 : 1.5; };

    // The centimetre grid, inside the rulers.
    constexpr double kGridLeft = kRulerLeft + 10, kGridTop = kNearMarkY;
    painter.setPen(faint);
    for (double x = kGridLeft; x <= kFarMarkX + 0.01; x += 10)
        painter.drawLine(QPointF(x, kGridTop), QPointF(x, kFarMarkY));
    for (double y = kGridTop; y <= kFarMarkY + 0.01; y += 10)
        painter.drawLine(QPointF(kGridLeft, y), QPointF(kFarMarkX, y));

    painter.setPen(fine);
    // Top ruler: marks hang down from its line, the numbers stand above it.
    painter.drawLine(QPointF(kNearMarkX, kRulerTop), QPointF(kFarMarkX, kRulerTop));
    for (int mm = int(kNearMarkX); mm <= int(kFarMarkX); ++mm) {
        painter.drawLine(QPointF(mm, kRulerTop), QPointF(mm, kRulerTop + markLength(mm)));
        if (mm % 10 == 0)
            painter.drawText(QRectF(mm - 5, kRulerTop - 4.5, 10, 4), Qt::AlignHCenter | Qt::AlignBottom,
                             QString::number(mm));
    }
    // Left ruler: marks to the right of its line, the numbers to its left.
    painter.drawLine(QPointF(kRulerLeft, kNearMarkY), QPointF(kRulerLeft, kFarMarkY));
    for (int mm = int(kNearMarkY); mm <= int(kFarMarkY); ++mm) {
        painter.drawLine(QPointF(kRulerLeft, mm), QPointF(kRulerLeft + markLength(mm), mm));
        if (mm % 10 == 0)
            painter.drawText(QRectF(kRulerLeft - 12, mm - 2, 11, 4), Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(mm));
    }

    // The title and how to read the sheet, on a white panel over the grid.
    const QStringList steps = sheetInstructions();
    double textHeight = 0;
    for (qsizetype i = 0; i < steps.size(); ++i)
        textHeight += kLinePitch + (i > 0 && steps.at(i).front().isDigit() ? kStepGap : 0);
    const QRectF panel(kGridLeft + 5, 90, kFarMarkX - kGridLeft - 10, 4 + 18 + textHeight + 4);
    painter.setPen(faint);
    painter.setBrush(Qt::white);
    painter.drawRect(panel);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(fine);
    const QRectF inside = panel.adjusted(5, 4, -5, -4);
    font.setPixelSize(5);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRectF(inside.left(), inside.top(), inside.width(), 7), Qt::AlignCenter,
                     QStringLiteral("Foglio di taratura"));
    font.setBold(false);
    font.setPixelSize(4);
    painter.setFont(font);
    painter.drawText(QRectF(inside.left(), inside.top() + 8, inside.width(), 5), Qt::AlignCenter,
                     printerName + QStringLiteral(" - ") + QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    font.setPixelSize(3);
    painter.setFont(font);
    double y = inside.top() + 18;
    for (const QString& line : steps) {
        // A new step stands a little apart from the lines of the one before.
        if (line.front().isDigit() && y > inside.top() + 18)
            y += kStepGap;
        const bool indented = line.startsWith(QLatin1String("    "));
        const double indent = indented ? 5 : 0;
        painter.drawText(QRectF(inside.left() + indent, y, inside.width() - indent, 5), Qt::AlignLeft | Qt::AlignVCenter,
                         indented ? line.mid(4) : line);
        y += kLinePitch;
    }
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
