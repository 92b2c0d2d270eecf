#include "ReportPreview.h"

#include "Platform.h"
#include "QtTexts.h"
#include "ReportError.h"
#include "ReportOutput.h"

#include <QAction>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <list>
#include <map>
#include <vector>

namespace vinarca {

namespace {
constexpr int kPageGap = 12; // pixels around and between pages
}

// The pages laid out on a grey desk, one per row (two with "Two Pages"),
// each painted into a pixmap at the screen's device pixel ratio.
class PreviewPages : public QWidget
{
public:
    PreviewPages(const PreparedReport& report, QWidget* parent) : QWidget(parent), m_report(report)
    {
        setObjectName(QStringLiteral("pages"));
        setAutoFillBackground(true);
        QPalette desk = palette();
        desk.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
        setPalette(desk);
    }

    void setLayout(double factor, int columns)
    {
        m_factor = factor;
        m_columns = std::max(1, columns);
        m_cache.clear();
        m_cacheOrder.clear();
        m_cacheBytes = 0;
        // Every page's place, row by row, once per layout: the pages of a long
        // list are found and painted without walking the pages before them.
        m_rects.clear();
        m_tallest = 0;
        m_rects.reserve(std::size_t(m_report.pageCount()));
        int y = kPageGap, x = kPageGap, rowHeight = 0;
        QRect all;
        for (int i = 0; i < m_report.pageCount(); ++i) {
            if (i % m_columns == 0 && i > 0) {
                y += rowHeight + kPageGap;
                rowHeight = 0;
                x = kPageGap;
            }
            const QSize size = pageSize(i);
            m_rects.emplace_back(QPoint(x, y), size);
            m_tallest = std::max(m_tallest, size.height());
            all |= m_rects.back();
            x += size.width() + kPageGap;
            rowHeight = std::max(rowHeight, size.height());
        }
        m_contentSize = all.size() + QSize(2 * kPageGap, 2 * kPageGap);
        resize(m_contentSize);
        update();
    }

    QSize pageSize(int index) const
    {
        const QSizeF units = m_report.pages.at(index).sizeUnits();
        return QSize(qRound(units.width() * m_factor), qRound(units.height() * m_factor));
    }

    QRect pageRect(int index) const
    {
        return index >= 0 && std::size_t(index) < m_rects.size() ? m_rects[std::size_t(index)] : QRect();
    }

    QSize contentSize() const { return m_contentSize; }

    // Page pictures kept at most, in bytes: the pages on screen and those
    // just scrolled past; a long list does not keep every page it showed.
    static constexpr qint64 kCacheBytes = qint64(128) << 20;
    qint64 cachedBytes() const { return m_cacheBytes; }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        // Rows go down the desk: the first page reaching into the area is
        // found by halving, and the pages below its bottom are not looked at.
        const QRect area = event->rect();
        // Tops never decrease along the table; no page is taller than the tallest.
        const auto first = std::lower_bound(m_rects.begin(), m_rects.end(), area.top() - m_tallest,
                                            [](const QRect& r, int top) { return r.top() < top; });
        for (auto it = first; it != m_rects.end() && it->top() <= area.bottom(); ++it) {
            if (it->intersects(area))
                painter.drawPixmap(it->topLeft(), pagePixmap(int(it - m_rects.begin())));
        }
    }

private:
    const QPixmap& pagePixmap(int index)
    {
        auto found = m_cache.find(index);
        if (found != m_cache.end()) {
            m_cacheOrder.remove(index);
            m_cacheOrder.push_back(index);
            return found->second;
        }
        const qreal ratio = devicePixelRatioF();
        QPixmap pixmap(pageSize(index) * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::white);
        QPainter painter(&pixmap);
        try {
            ReportRenderer(m_report).paintPageScaled(index, painter, m_factor);
        } catch (const ReportError&) {
            // A picture that cannot be scaled for the screen leaves its box
            // blank here; printing reports the same failure to the user.
        }
        const qint64 bytes = qint64(pixmap.width()) * pixmap.height() * 4;
        while (!m_cacheOrder.empty() && m_cacheBytes + bytes > kCacheBytes) {
            const auto oldest = m_cache.find(m_cacheOrder.front());
            m_cacheBytes -= qint64(oldest->second.width()) * oldest->second.height() * 4;
            m_cache.erase(oldest);
            m_cacheOrder.pop_front();
        }
        m_cacheBytes += bytes;
        m_cacheOrder.push_back(index);
        return m_cache.emplace(index, std::move(pixmap)).first->second;
    }

    const PreparedReport& m_report;
    double m_factor = 1.0;
    int m_columns = 1;
    std::vector<QRect> m_rects;
    QSize m_contentSize;
    int m_tallest = 0;
    std::map<int, QPixmap> m_cache;
    std::list<int> m_cacheOrder; // least recently painted first
    qint64 m_cacheBytes = 0;
};

ReportPreview::ReportPreview(std::shared_ptr<const PreparedReport> report, QWidget* parent)
    : QDialog(parent), m_report(std::move(report))
{
    if (!m_report || m_report->pages.empty())
        throw ReportError("nothing to preview");
    const EnglishQtTexts english;
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(QStringLiteral("Preview"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const PreviewButtons buttons = m_report->previewOptions.buttons;
    auto add = [&](const char* name, const QString& text, auto slot) {
        QAction* action = toolBar->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    if (buttons & PreviewButton::Print)
        add("actPrint", QStringLiteral("Print"), &ReportPreview::printClick);
    if (buttons & PreviewButton::Zoom) {
        toolBar->addSeparator();
        add("actWholePage", QStringLiteral("Whole Page"), [this] { setZoomMode(ZoomMode::WholePage); });
        add("actPageWidth", QStringLiteral("Page Width"), [this] { setZoomMode(ZoomMode::PageWidth); });
        add("actZoom100", QStringLiteral("100%"), [this] { setZoom(1.0); });
        add("actTwoPages", QStringLiteral("Two Pages"), [this] { setZoomMode(ZoomMode::TwoPages); });
        add("actZoomIn", QStringLiteral("Zoom In"), [this] { setZoom(zoom() * 1.25); });
        add("actZoomOut", QStringLiteral("Zoom Out"), [this] { setZoom(zoom() / 1.25); });
    }
    if (buttons & PreviewButton::FullScreen) {
        toolBar->addSeparator();
        add("actFullScreen", QStringLiteral("Full Screen"), &ReportPreview::toggleFullScreen);
    }
    if (buttons & PreviewButton::Close) {
        toolBar->addSeparator();
        add("actClose", QStringLiteral("Close"), &QDialog::accept);
    }

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("scrollArea"));
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_pages = new PreviewPages(*m_report, m_scroll);
    m_scroll->setWidget(m_pages);
    m_scroll->setWidgetResizable(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(m_scroll);

    resize(900, 700);
    m_factor = m_report->previewOptions.zoom > 0 ? m_report->previewOptions.zoom : 1.0;
    applyZoom();
}

ReportPreview::~ReportPreview() = default;

QAction* ReportPreview::action(const QString& objectName) const
{
    return findChild<QAction*>(objectName);
}

double ReportPreview::zoom() const
{
    const QSize viewport = m_scroll->viewport()->size() - QSize(2 * kPageGap, 2 * kPageGap);
    const QSizeF page = m_report->pages.front().sizeUnits();
    switch (m_mode) {
    case ZoomMode::Factor:
        return m_factor;
    case ZoomMode::WholePage:
        return std::min(viewport.width() / page.width(), viewport.height() / page.height());
    case ZoomMode::PageWidth:
        return viewport.width() / page.width();
    case ZoomMode::TwoPages:
        return std::min((viewport.width() - kPageGap) / (2 * page.width()), viewport.height() / page.height());
    }
    return m_factor;
}

void ReportPreview::setZoom(double factor)
{
    m_factor = std::clamp(factor, 0.1, 8.0);
    m_mode = ZoomMode::Factor;
    applyZoom();
}

void ReportPreview::setZoomMode(ZoomMode mode)
{
    m_mode = mode;
    applyZoom();
}

void ReportPreview::applyZoom()
{
    m_pages->setLayout(std::max(0.05, zoom()), m_mode == ZoomMode::TwoPages ? 2 : 1);
}

void ReportPreview::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_mode != ZoomMode::Factor)
        applyZoom();
}

QRect ReportPreview::pageRect(int index) const
{
    return m_pages->pageRect(index);
}

qint64 ReportPreview::cachedPictureBytes() const
{
    return m_pages->cachedBytes();
}

int ReportPreview::currentPage() const
{
    // The first page of the lowest row whose top has reached the view's top.
    const int top = m_scroll->verticalScrollBar()->value();
    int current = 0;
    int currentTop = -1;
    for (int i = 0; i < m_report->pageCount(); ++i) {
        const QRect r = m_pages->pageRect(i);
        if (r.top() - kPageGap <= top && r.top() > currentTop) {
            current = i;
            currentTop = r.top();
        }
    }
    return current;
}

void ReportPreview::showPage(int index)
{
    if (index < 0 || index >= m_report->pageCount())
        return;
    const QRect r = m_pages->pageRect(index);
    m_scroll->verticalScrollBar()->setValue(r.top() - kPageGap);
    m_scroll->horizontalScrollBar()->setValue(r.left() - kPageGap);
}

void ReportPreview::printClick()
{
    try {
        printReport(this, *m_report, currentPage());
    } catch (const OutputFileError&) {
        platform().message(this, MessageKind::Warning, QString::fromUtf8(kOutputFileFailureMessage));
    } catch (const ReportError& error) {
        platform().message(this, MessageKind::Error,
                           QStringLiteral("The document could not be printed: %1.").arg(QString::fromStdString(error.what())));
    }
}

void ReportPreview::toggleFullScreen()
{
    setWindowState(windowState() ^ Qt::WindowFullScreen);
}

void showPreview(QWidget* parent, std::shared_ptr<const PreparedReport> report)
{
    ReportPreview preview(std::move(report), parent);
    const EnglishQtTexts english;
    platform().execDialog(preview);
}

void showReport(const TReport& report, QWidget* owner)
{
    if (!report.prepared())
        throw ReportError("the report has not been prepared");
    showPreview(owner, report.prepared());
}

} // namespace vinarca
