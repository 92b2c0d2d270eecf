// Build step: writes the user manual Guida.pdf from the same help texts the
// help windows show: a title page, one chapter per topic, page numbers.
// Usage: makeguide <output file>
#include "HelpTopics.h"

#include <QDate>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace {
QTextCharFormat font(const QString& family, double points, bool bold, const QColor& colour = Qt::black)
{
    QTextCharFormat format;
    format.setFontFamilies({family});
    format.setFontPointSize(points);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    format.setForeground(colour);
    return format;
}
} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2)
        return 2;

    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("Verdana"), 11));
    QTextCursor cursor(&document);
    const QColor crimson(0xDC, 0x14, 0x3C);

    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    centred.setTopMargin(220);
    cursor.setBlockFormat(centred);
    cursor.insertText(QStringLiteral("Vinarca"), font(QStringLiteral("Arial"), 40, true, QColor(0x7B, 0x1E, 0x3A)));
    QTextBlockFormat subtitle;
    subtitle.setAlignment(Qt::AlignHCenter);
    subtitle.setTopMargin(24);
    subtitle.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysAfter);
    cursor.insertBlock(subtitle);
    cursor.insertText(QStringLiteral("Guida all'utilizzo del software"), font(QStringLiteral("Arial"), 20, false));

    const QList<vinarca::HelpText> chapters = vinarca::manualChapters();
    for (qsizetype i = 0; i < chapters.size(); ++i) {
        QTextBlockFormat heading;
        heading.setBottomMargin(18);
        if (i > 0)
            heading.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        cursor.insertBlock(heading);
        cursor.insertText(QStringLiteral("%1. %2").arg(i + 1).arg(chapters[i].title),
                          font(QStringLiteral("Arial"), 18, true, crimson));
        QTextBlockFormat paragraph;
        paragraph.setBottomMargin(10);
        paragraph.setAlignment(Qt::AlignJustify);
        for (const QString& text : chapters[i].body.split(QStringLiteral("\r\n\r\n"))) {
            cursor.insertBlock(paragraph);
            cursor.insertText(text, font(QStringLiteral("Verdana"), 11, false));
        }
    }

    QPdfWriter pdf(QString::fromLocal8Bit(argv[1]));
    pdf.setTitle(QStringLiteral("Vinarca - Guida all'utilizzo del software"));
    pdf.setCreator(QStringLiteral("Vinarca"));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 20, 20, 20),
                                  QPageLayout::Millimeter));
    pdf.setResolution(300);
    // With no page size of its own, the document is laid out on the writer's
    // pages and printed with page numbers.
    document.print(&pdf);
    return 0;
}
