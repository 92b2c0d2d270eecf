#include "ReportModel.h"

#include "PreparedReport.h"
#include "ProgramFolder.h"
#include "ReportError.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <cmath>

namespace vinarca {

namespace {


QFontMetricsF referenceMetrics(const TMemoView& memo)
{
    return QFontMetricsF(memo.font(referenceDevice().logicalDpiY()), &referenceDevice());
}

} // namespace

const QPaintDevice& referenceDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = qRound(kUnitsPerInch / kMmPerInch * 1000.0);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

void TView::draw(QPainter& painter) const
{
    painter.save();
    painter.translate(geometry.topLeft());
    const QRectF box(QPointF(0, 0), geometry.size());
    if (fill.isValid() && fill.alpha() > 0)
        painter.fillRect(box, fill);
    const Qt::Edges edges = frameLines();
    if (edges) {
        QPen pen(frame.colour, frame.width);
        pen.setJoinStyle(Qt::MiterJoin);
        pen.setCapStyle(Qt::SquareCap);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        if (edges == (Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge)) {
            painter.drawRect(box);
        } else {
            if (edges & Qt::LeftEdge)
                painter.drawLine(box.topLeft(), box.bottomLeft());
            if (edges & Qt::TopEdge)
                painter.drawLine(box.topLeft(), box.topRight());
            if (edges & Qt::RightEdge)
                painter.drawLine(box.topRight(), box.bottomRight());
            if (edges & Qt::BottomEdge)
                painter.drawLine(box.bottomLeft(), box.bottomRight());
        }
    }
    painter.setClipRect(box, Qt::IntersectClip);
    drawContent(painter);
    painter.restore();
}

void TMemoView::setText(const QString& text)
{
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_lines = normalised.isEmpty() ? QStringList() : normalised.split(QLatin1Char('\n'));
}

double TMemoView::lineTop(int index) const
{
    const int line = m_firstLine + index;
    if (vAlign == VAlign::Center)
        return (geometry.height() - m_lines.size() * linePitch()) / 2 + line * linePitch();
    return kGapY + line * linePitch();
}

double TMemoView::linesHeight() const
{
    return m_lines.isEmpty() ? 0 : kGapY + m_lines.size() * linePitch();
}

void TMemoView::keepLines(int first, int count)
{
    first = std::clamp(first, 0, int(m_lines.size()));
    count = std::clamp(count, 0, int(m_lines.size()) - first);
    m_lines = m_lines.mid(first, count);
    m_firstLine += first;
}

QString TMemoView::evaluate(const QString& text, const QDate& today)
{
    if (!text.contains(QLatin1Char('[')))
        return text; // shared, not copied: a long list keeps one copy of its lines
    QString result = text;
    return result.replace(QLatin1String("[DATE]"), shortDateText(today), Qt::CaseInsensitive);
}

QFont TMemoView::font(double deviceDpi) const
{
    QFont f(fontName);
    // A point size that comes out at `fontSize` pixels of the painter's own
    // coordinates, whatever the device's resolution.
    f.setPointSizeF(fontSize * 72.0 / deviceDpi);
    f.setBold(bold);
    f.setItalic(italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    return f;
}

void TMemoView::drawContent(QPainter& painter) const
{
    if (m_lines.isEmpty())
        return;
    const QFontMetricsF metrics = referenceMetrics(*this);
    const double pitch = linePitch();
    // The glyphs sit in the middle of their line's pitch.
    const double baselineInLine = (pitch - metrics.ascent() - metrics.descent()) / 2 + metrics.ascent();
    const QRectF visible = painter.hasClipping() ? painter.clipBoundingRect() : QRectF(QPointF(0, 0), geometry.size());

    painter.setFont(font(painter.device()->logicalDpiY()));
    painter.setPen(textColour);
    for (int i = 0; i < m_lines.size(); ++i) {
        const double top = lineTop(i);
        // Lines outside the clip (the rest of a split band) are not drawn at
        // all, so a PDF holds only the text that shows on its page.
        if (top + pitch <= visible.top() || top >= visible.bottom())
            continue;
        const QString& line = m_lines[i];
        double x = kGapX;
        if (hAlign != HAlign::Left) {
            const double advance = metrics.horizontalAdvance(line);
            x = hAlign == HAlign::Center ? (geometry.width() - advance) / 2 : geometry.width() - kGapX - advance;
        }
        painter.drawText(QPointF(x, top + baselineInLine), line);
    }
}

void TPictureView::setPicture(const QImage& image)
{
    if (qint64(image.width()) * image.height() > kMaxPicturePixels)
        throw ReportError("picture too large");
    m_coming = {};
    m_picture = image;
}

void TPictureView::setPicture(std::shared_future<QImage> coming)
{
    m_picture = QImage();
    m_coming = std::move(coming);
}

const QImage& TPictureView::picture() const
{
    if (m_coming.valid()) {
        // The copies of a view share the one picture being made; each
        // takes it over once it is there.
        const QImage& made = m_coming.get();
        if (qint64(made.width()) * made.height() > kMaxPicturePixels)
            throw ReportError("picture too large");
        m_picture = made;
        m_coming = {};
    }
    return m_picture;
}

QRectF TPictureView::pictureRect() const
{
    const QSizeF box = geometry.size();
    const QImage& shown = picture();
    if (shown.isNull() || box.isEmpty())
        return {};
    QSizeF size = shown.size(); // one pixel per unit when not stretched
    if (stretch)
        size = size.scaled(box, keepAspect ? Qt::KeepAspectRatio : Qt::IgnoreAspectRatio);
    const QPointF at = center ? QPointF((box.width() - size.width()) / 2, (box.height() - size.height()) / 2)
                              : QPointF(0, 0);
    return {at, size};
}

QSize TPictureView::drawnPixelSize(QSize picture, QSizeF targetPixels)
{
    if (picture.width() <= std::ceil(targetPixels.width()) && picture.height() <= std::ceil(targetPixels.height()))
        return picture;
    const QSizeF fitted = QSizeF(picture).scaled(targetPixels, Qt::KeepAspectRatio);
    return QSize(std::max(1, int(std::ceil(fitted.width()))), std::max(1, int(std::ceil(fitted.height()))));
}

QImage TPictureView::drawnPicture(double pixelsPerUnit, bool paged) const
{
    const QRectF target = pictureRect();
    if (target.isEmpty())
        return {};
    QSizeF pixels = target.size() * pixelsPerUnit;
    // Printers and PDF files get the picture at no more than 300 dots per
    // inch of its box: a camera photo then prints fast and files stay small.
    if (paged) {
        constexpr double kPrintDotsPerUnit = 300.0 / kUnitsPerInch;
        pixels = pixels.boundedTo(target.size() * kPrintDotsPerUnit);
    }
    const QSize drawn = drawnPixelSize(m_picture.size(), pixels);
    if (drawn == m_picture.size())
        return m_picture;
    if (m_scaled->source == m_picture.cacheKey() && m_scaled->image.size() == drawn)
        return m_scaled->image;
    const QImage scaled = m_picture.scaled(drawn, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (scaled.isNull())
        throw ReportError("not enough memory to scale the picture");
    *m_scaled = Scaled{m_picture.cacheKey(), scaled};
    return scaled;
}

void TPictureView::prepareDrawing(double pixelsPerUnit, bool paged) const
{
    m_drawn = QImage();
    m_drawn = drawnPicture(pixelsPerUnit, paged);
}

void TPictureView::drawContent(QPainter& painter) const
{
    const QRectF target = pictureRect();
    if (target.isEmpty())
        return;
    QImage drawn = m_drawn;
    if (drawn.isNull()) {
        const double pixelsPerUnit = painter.combinedTransform().mapRect(target).width() / target.width();
        drawn = drawnPicture(pixelsPerUnit, dynamic_cast<QPagedPaintDevice*>(painter.device()) != nullptr);
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, drawn);
}

void TReportPage::setOrientation(QPageLayout::Orientation orientation)
{
    if (orientation == m_orientation)
        return;
    m_orientation = orientation;
    std::swap(paperWidthMm, paperHeightMm);
}

TReport::TReport(QString objectName)
    : TReportComponent(std::move(objectName)), m_page(std::make_unique<TReportPage>(QStringLiteral("Page1")))
{
}

TReport::~TReport() = default;

TReportComponent* TReport::findObject(const QString& name) const
{
    if (m_page->name() == name)
        return m_page.get();
    for (const auto& view : m_page->views)
        if (view->name() == name)
            return view.get();
    for (const auto& band : m_page->bands) {
        if (band->name() == name)
            return band.get();
        for (const auto& view : band->views)
            if (view->name() == name)
                return view.get();
    }
    return nullptr;
}

void TReport::prepareReport(const QDate& today)
{
    m_prepared.reset();
    m_prepared = prepare(*this, today);
}

} // namespace vinarca
