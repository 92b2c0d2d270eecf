#pragma once

#include "Length.h"

#include <QColor>
#include <QDate>
#include <QImage>
#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <future>
#include <memory>
#include <vector>

class QFont;
class QPainter;

class QPaintDevice;

namespace vinarca {

// Text is measured once, on a device of exactly 96 dots per inch, so that a
// unit of layout is a pixel of measurement and every output (preparation,
// preview, printer, PDF) lays the lines out alike.
const QPaintDevice& referenceDevice();

class PreparedReport;

// Anything in a layout that carries a name: views, bands, the page.
class TReportComponent
{
public:
    explicit TReportComponent(QString name) : m_name(std::move(name)) {}
    virtual ~TReportComponent() = default;
    TReportComponent(const TReportComponent&) = default;
    TReportComponent& operator=(const TReportComponent&) = delete;

    const QString& name() const { return m_name; }

private:
    QString m_name;
};

struct FrameStyle
{
    QColor colour = Qt::black;
    double width = 1; // units
    Qt::Edges lines;  // none drawn by default
};

// A text box, a picture or a shape: a named rectangle in units, measured from
// the printable area's corner (or from its band's corner), with a fill and a frame.
class TView : public TReportComponent
{
public:
    using TReportComponent::TReportComponent;

    QRectF geometry; // units
    QColor fill;     // invalid or transparent: no fill
    FrameStyle frame;

    void setHeight(double units) { geometry.setHeight(units); }

    // Draws the view where its geometry says, on a painter whose coordinates
    // are units: fill and frame, then the content clipped to the box.
    void draw(QPainter& painter) const;

    virtual std::unique_ptr<TView> clone() const = 0;

    // Does ahead of drawing whatever may fail (scaling a picture) for a
    // device of `pixelsPerUnit`, so that a page is drawn whole or not at all.
    // Throws ReportError.
    virtual void prepareDrawing(double pixelsPerUnit, bool paged) const { Q_UNUSED(pixelsPerUnit) Q_UNUSED(paged) }
    // Lets go of what prepareDrawing kept.
    virtual void releaseDrawing() const {}

protected:
    // In coordinates local to the box (0, 0 at its top-left corner).
    virtual void drawContent(QPainter& painter) const = 0;
    // Shapes outline the whole box whatever their frame lines say.
    virtual Qt::Edges frameLines() const { return frame.lines; }
};

enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Center };

class TMemoView final : public TView
{
public:
    using TView::TView;

    // Inner gaps and extra spacing between lines, in units.
    static constexpr double kGapX = 2;
    static constexpr double kGapY = 1;
    static constexpr double kLineSpacing = 2;

    QString fontName = QStringLiteral("Arial");
    double fontSize = 13.333; // pixel height in units (10 pt)
    bool bold = false;
    bool italic = false;
    QColor textColour = Qt::black;
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Top;
    bool wordWrap = true;
    bool expressions = true;

    // Replaces the whole text; line breaks start new lines.
    void setText(const QString& text);
    QString text() const { return m_lines.join(QLatin1Char('\n')); }
    void clear() { m_lines.clear(); }
    void addLine(const QString& line) { m_lines.append(line); }
    const QStringList& lines() const { return m_lines; }
    void setLines(QStringList lines) { m_lines = std::move(lines); m_firstLine = 0; }
    // Keeps only the lines [first, first + count) of the text, still drawn at
    // their own place in the box: the part of a long text that one page
    // shows, so a page never carries the lines of the others.
    void keepLines(int first, int count);
    int firstLine() const { return m_firstLine; }

    // The distance between the tops of two lines: the font's pixel height
    // plus the fixed spacing. Independent of the output device, so a page
    // breaks between the same lines on screen, paper and PDF.
    double linePitch() const { return fontSize + kLineSpacing; }
    // Top of line `index` (of the lines held) inside the box.
    double lineTop(int index) const;
    // The height that the text's lines take in the box: the top gap and one
    // pitch a line (nothing for no line).
    double linesHeight() const;
    // Text with every [DATE] replaced; other brackets stay as written.
    static QString evaluate(const QString& text, const QDate& today);
    // The font at its size in units for a device of the given resolution.
    QFont font(double deviceDpi = kUnitsPerInch) const;

    std::unique_ptr<TView> clone() const override { return std::make_unique<TMemoView>(*this); }

protected:
    void drawContent(QPainter& painter) const override;

private:
    QStringList m_lines;
    int m_firstLine = 0; // index in the whole text of m_lines[0]
};

// Pictures larger than this are refused: no camera makes them, and the photo
// reader never decodes one.
inline constexpr qint64 kMaxPicturePixels = 128LL * 1024 * 1024;

class TPictureView final : public TView
{
public:
    using TView::TView;

    bool center = true;
    bool keepAspect = true;
    bool stretch = true;

    // Takes a copy of the image (shared until either side changes). Throws
    // ReportError for a picture beyond kMaxPicturePixels.
    void setPicture(const QImage& image);
    // A picture still being made on another thread (a photo decoded for
    // paper while the print window and the print dialog are on screen): it
    // is waited for where it is first needed, when the page is drawn, and
    // judged then as setPicture judges it. Whatever making it threw is
    // thrown there.
    void setPicture(std::shared_future<QImage> coming);
    const QImage& picture() const;
    // Where the picture lands inside the box, in local units.
    QRectF pictureRect() const;
    // Size in pixels of the copy drawn into `target` device pixels: never
    // more than the picture has, never more than the box needs.
    static QSize drawnPixelSize(QSize picture, QSizeF targetPixels);

    std::unique_ptr<TView> clone() const override { return std::make_unique<TPictureView>(*this); }
    void prepareDrawing(double pixelsPerUnit, bool paged) const override;
    void releaseDrawing() const override { m_drawn = QImage(); }

protected:
    void drawContent(QPainter& painter) const override;

private:
    // The picture at the size it is drawn on a device; throws ReportError.
    QImage drawnPicture(double pixelsPerUnit, bool paged) const;

    // The picture scaled for a device, kept for the next page that draws it
    // at that size: the copies of a view (every prepared page, every copy
    // of a label) share it, so they all draw one image, and a PDF file
    // holds that image once however many pages show it.
    struct Scaled
    {
        qint64 source = 0; // cacheKey of the picture it was made from
        QImage image;
    };

    // Taken over from m_coming when first needed.
    mutable QImage m_picture;
    mutable std::shared_future<QImage> m_coming;
    mutable QImage m_drawn; // scaled ahead of drawing, until released
    std::shared_ptr<Scaled> m_scaled = std::make_shared<Scaled>();
};

class TShapeView final : public TView
{
public:
    using TView::TView;
    std::unique_ptr<TView> clone() const override { return std::make_unique<TShapeView>(*this); }

protected:
    void drawContent(QPainter&) const override {}
    Qt::Edges frameLines() const override { return Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge; }
};

enum class BandKind { ReportTitle, MasterData, Footer };

// A horizontal strip of views stacked below the previous band.
class TBand final : public TReportComponent
{
public:
    TBand(QString name, BandKind kind) : TReportComponent(std::move(name)), kind(kind) {}

    BandKind kind;
    double height = 0; // units
    bool allowSplit = false;
    std::vector<std::unique_ptr<TView>> views;

    void setHeight(double units) { height = units; }
};

class TReportPage final : public TReportComponent
{
public:
    using TReportComponent::TReportComponent;

    int paperSize = 9; // A4
    double paperWidthMm = 210;
    double paperHeightMm = 297;
    double leftMarginMm = 10, topMarginMm = 10, rightMarginMm = 10, bottomMarginMm = 10;
    std::vector<std::unique_ptr<TView>> views;
    std::vector<std::unique_ptr<TBand>> bands; // in stacking order

    QPageLayout::Orientation orientation() const { return m_orientation; }
    // Swaps the paper's width and height when the orientation changes.
    void setOrientation(QPageLayout::Orientation orientation);
    // Used by the layout loader: the paper as designed, without swapping.
    void setDesignedOrientation(QPageLayout::Orientation orientation) { m_orientation = orientation; }

private:
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
};

enum class PreviewButton {
    Print = 0x1,
    Zoom = 0x2,
    FullScreen = 0x4,
    Close = 0x8,
    Navigator = 0x10,
    Export = 0x20,
};
Q_DECLARE_FLAGS(PreviewButtons, PreviewButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(PreviewButtons)

struct PreviewOptions
{
    bool allowEdit = false;
    double zoom = 1.0;
    PreviewButtons buttons = PreviewButtons(0x3F);
};

struct PrintOptions
{
    bool showProgress = false;
    QString printer; // empty: the system's default printer
    // The kind of document under which the print dialog's choices are
    // remembered ("etichetta_verticale"); empty: nothing is remembered.
    QString document;
    // The pages are labels, to be laid on label stock: the print dialog
    // opens on its print mode tab with the options shown, so the sheet
    // layout is in sight before the user confirms.
    bool labels = false;
};

// A layout: one report page with its views and bands, and the options of
// its preview and printing. Windows fill its named objects, prepare it and
// show or print the prepared pages.
class TReport final : public TReportComponent
{
public:
    explicit TReport(QString objectName);
    ~TReport() override;

    QString reportName; // the document's title, given to the print spooler
    PreviewOptions previewOptions;
    PrintOptions printOptions;

    TReportPage& page() { return *m_page; }
    const TReportPage& page() const { return *m_page; }
    void setPage(std::unique_ptr<TReportPage> page) { m_page = std::move(page); }

    // The object of exactly this name on the page or in any band, or nothing.
    TReportComponent* findObject(const QString& name) const;
    template<class T>
    T* find(const QString& name) const { return dynamic_cast<T*>(findObject(name)); }

    // Discards earlier pages and builds the finished pages from the layout
    // as it now stands; `today` is what [DATE] prints.
    void prepareReport(const QDate& today = QDate::currentDate());
    // The pages of the last preparation (none before the first).
    std::shared_ptr<const PreparedReport> prepared() const { return m_prepared; }

private:
    std::unique_ptr<TReportPage> m_page;
    std::shared_ptr<const PreparedReport> m_prepared;
};

} // namespace vinarca
