#pragma once

// Helpers shared by the report tests: the engine's own test layout, and
// reading real output back with poppler's command-line tools.

#include "Length.h"
#include "ReportLayout.h"
#include "ReportModel.h"
#include "ScriptedPlatform.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QList>
#include <QPrinterInfo>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace reporttest {

// A small layout of the engine's tests' own: a portrait A4 page with a
// header line, a title bar with a centred title, a photo box, a caption bar,
// a framed value, a date line and a foot bar standing on the page, and one
// band that may split, with a text box of its own.
inline QByteArray engineLayoutJson()
{
    return R"({
  "report": "repProva", "name": "Documento di prova",
  "preview": {"allowEdit": false, "zoom": 1.0, "buttons": ["print", "zoom", "fullScreen", "close"]},
  "page": {"name": "Page1", "width": 210, "height": 297,
    "margins": {"left": 10, "top": 10, "right": 10, "bottom": 10},
    "objects": [
      {"kind": "text", "name": "txtHeader", "left": 1, "top": 0.5, "width": 188, "height": 4,
       "font": {"name": "Arial", "size": 7}, "valign": "center", "wordWrap": false, "text": "HEADER LINE"},
      {"kind": "shape", "name": "shpBar", "left": 1, "top": 5, "width": 188, "height": 8, "fill": "#4169E1",
       "frame": {"colour": "#4169E1"}},
      {"kind": "text", "name": "txtTitle", "left": 2, "top": 6.2, "width": 186, "height": 6,
       "font": {"name": "Arial", "size": 12, "colour": "#FFFFFF"}, "align": "center", "valign": "center",
       "wordWrap": false, "expressions": false},
      {"kind": "picture", "name": "imgPhoto", "left": 1, "top": 16, "width": 188, "height": 106},
      {"kind": "shape", "name": "shpCaption", "left": 1, "top": 125, "width": 93, "height": 4.8, "fill": "#4169E1",
       "frame": {"colour": "#4169E1"}},
      {"kind": "shape", "name": "shpValue", "left": 1, "top": 130, "width": 93, "height": 6},
      {"kind": "text", "name": "txtValue", "left": 2, "top": 131, "width": 91, "height": 4,
       "font": {"name": "Arial", "size": 8}, "valign": "center", "wordWrap": false, "expressions": false},
      {"kind": "text", "name": "txtDate", "left": 2, "top": 140, "width": 91, "height": 4,
       "font": {"name": "Arial", "size": 8}, "valign": "center", "wordWrap": false, "text": "[DATE]"},
      {"kind": "shape", "name": "shpFoot", "left": 1, "top": 265, "width": 188, "height": 4.8, "fill": "#4169E1",
       "frame": {"colour": "#4169E1"}}
    ],
    "bands": [
      {"kind": "masterData", "name": "Body", "height": 5, "allowSplit": true, "objects": [
        {"kind": "text", "name": "txtLines", "left": 3, "top": 0, "width": 180, "height": 5,
         "font": {"name": "Courier New", "size": 8}, "wordWrap": false}
      ]}
    ]
  }
})";
}

inline std::unique_ptr<vinarca::TReport> engineLayout()
{
    return vinarca::parseReportLayout(engineLayoutJson(), QStringLiteral("engine test layout"));
}

// Lines numbered from 001, as a search list would hold them.
inline QStringList numberedLines(int count)
{
    QStringList lines;
    lines.reserve(count);
    for (int i = 1; i <= count; ++i)
        lines << QStringLiteral("Riga %1 Barolo Riserva").arg(i, 3, 10, QLatin1Char('0'));
    return lines;
}

inline bool haveTool(const char* name)
{
    return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}

inline QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

struct PdfWord
{
    int page = 0; // 0-based
    QString text;
    QRectF mm; // on the paper, millimetres from the top-left corner
};

// Every word of a PDF with its box, read with `pdftotext -bbox`.
inline QList<PdfWord> pdfWords(const QString& pdf)
{
    const QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    QList<PdfWord> words;
    int page = -1;
    static const QRegularExpression token(
        QStringLiteral(R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    constexpr double kMmPerPoint = 25.4 / 72.0;
    for (auto it = token.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        const double x0 = m.captured(1).toDouble(), y0 = m.captured(2).toDouble();
        const double x1 = m.captured(3).toDouble(), y1 = m.captured(4).toDouble();
        QString text = m.captured(5);
        text.replace(QLatin1String("&apos;"), QLatin1String("'")).replace(QLatin1String("&amp;"), QLatin1String("&"));
        words.append({page, text, QRectF(QPointF(x0, y0) * kMmPerPoint, QPointF(x1, y1) * kMmPerPoint)});
    }
    return words;
}

inline QStringList pdfTexts(const QList<PdfWord>& words, int page)
{
    QStringList out;
    for (const PdfWord& w : words)
        if (w.page == page)
            out << w.text;
    return out;
}

inline int pdfPageCount(const QString& pdf)
{
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    static const QRegularExpression pages(QStringLiteral(R"(Pages:\s+(\d+))"));
    const auto m = pages.match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Page size in millimetres as pdfinfo reports it.
inline QSizeF pdfPageSizeMm(const QString& pdf)
{
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    static const QRegularExpression size(QStringLiteral(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)"));
    const auto m = size.match(info);
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) * (25.4 / 72.0) : QSizeF();
}

// The size of every page in millimetres, in page order.
inline QList<QSizeF> pdfPageSizesMm(const QString& pdf)
{
    const QString info = run(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                                         QStringLiteral("100000"), pdf});
    static const QRegularExpression size(QStringLiteral(R"(Page\s+\d+ size:\s+([\d.]+) x ([\d.]+) pts)"));
    QList<QSizeF> sizes;
    for (auto it = size.globalMatch(info); it.hasNext();) {
        const auto m = it.next();
        sizes << QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) * (25.4 / 72.0);
    }
    return sizes;
}

// One page of a PDF rasterised by poppler at `dpi`.
inline QImage pdfPageImage(const QString& pdf, int page, int dpi)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
                                     QString::number(page + 1), QStringLiteral("-l"), QString::number(page + 1),
                                     QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, prefix});
    return QImage(prefix + QStringLiteral(".png"));
}

// The pixel at a place on the paper given in millimetres.
inline QColor pixelAtMm(const QImage& image, double dpi, double xMm, double yMm)
{
    return image.pixelColor(int(xMm / 25.4 * dpi), int(yMm / 25.4 * dpi));
}

inline bool near(const QColor& a, const QColor& b, int tolerance = 40)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

// Share of pixels that differ noticeably between two images of one size.
inline double differingShare(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 1.0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    qint64 differing = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col)
            if (!near(QColor(p[col]), QColor(q[col]), 80))
                ++differing;
    }
    return double(differing) / (qint64(x.width()) * x.height());
}

// The real print spooler of the printing tests (scripts/print-spooler.sh):
// the queue and output folder named by VINARCA_PRINT_QUEUE and
// VINARCA_PRINT_OUT, and the PDFs already there when the object is made.
class Spooler
{
public:
    Spooler()
        : queue(qEnvironmentVariable("VINARCA_PRINT_QUEUE")), m_out(qEnvironmentVariable("VINARCA_PRINT_OUT")),
          m_before(pdfs())
    {
    }

    const QString queue;

    // Why the spooled output cannot be printed and read back; empty when it can.
    QString unavailable() const
    {
        if (queue.isEmpty() || qEnvironmentVariable("VINARCA_PRINT_OUT").isEmpty())
            return QStringLiteral("no print spooler: set VINARCA_PRINT_QUEUE and VINARCA_PRINT_OUT "
                                  "(scripts/print-spooler.sh start)");
        if (QPrinterInfo::printerInfo(queue).isNull())
            return QStringLiteral("the print queue %1 is not known to the spooler").arg(queue);
        if (!haveTool("pdfinfo") || !haveTool("pdftoppm") || !haveTool("pdftotext"))
            return QStringLiteral("poppler-utils are needed to read the spooled PDF");
        return {};
    }

    // Has the platform's print dialogs send their jobs to this spooler's
    // queue, `copies` copies each.
    void answerPrintDialogs(ScriptedPlatform& platform, int copies = 1) const
    {
        platform.onPrintDialog = [queue = queue, copies](QPrinter& printer, int) {
            printer.setOutputFormat(QPrinter::NativeFormat);
            printer.setPrinterName(queue);
            printer.setCopyCount(copies);
            return true;
        };
    }

    // The PDF the spooler writes for the job just sent, once its size has
    // settled (it converts and writes in the background); empty when none
    // comes within two minutes.
    QString awaitJob() const
    {
        QDeadlineTimer deadline(120000);
        qint64 lastSize = -1;
        while (!deadline.hasExpired()) {
            const QSet<QString> fresh = pdfs() - m_before;
            if (!fresh.isEmpty()) {
                const QString path = m_out.filePath(*fresh.begin());
                const qint64 size = QFileInfo(path).size();
                if (size > 0 && size == lastSize && pdfPageCount(path) > 0)
                    return path;
                lastSize = size;
            }
            QTest::qWait(500);
        }
        return {};
    }

private:
    QSet<QString> pdfs() const
    {
        const QStringList names = m_out.entryList({QStringLiteral("*.pdf")}, QDir::Files);
        return {names.begin(), names.end()};
    }

    QDir m_out;
    QSet<QString> m_before;
};

} // namespace reporttest
