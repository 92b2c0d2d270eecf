#pragma once

#include "PreparedReport.h"

#include <QDialog>

#include <memory>

class QAction;
class QScrollArea;

namespace vinarca {

class PreviewPages;

// The engine's preview window: the prepared pages, read-only, with the tool
// bar the layout allows (print, zoom choices, full screen, close).
class ReportPreview : public QDialog
{
    Q_OBJECT
public:
    enum class ZoomMode { Factor, WholePage, PageWidth, TwoPages };

    ReportPreview(std::shared_ptr<const PreparedReport> report, QWidget* parent = nullptr);
    ~ReportPreview() override;

    double zoom() const; // 1.0 = 100 %: one unit of the page on one screen pixel
    ZoomMode zoomMode() const { return m_mode; }
    void setZoom(double factor);
    void setZoomMode(ZoomMode mode);
    // The page at the top of the view: what the print dialog's "Current
    // page" prints.
    int currentPage() const;
    // Scrolls page `index` to the top of the view.
    void showPage(int index);
    const PreparedReport& report() const { return *m_report; }
    // Where page `index` stands on the desk, and the bytes of the page
    // pictures kept for painting.
    QRect pageRect(int index) const;
    qint64 cachedPictureBytes() const;
    QAction* action(const QString& objectName) const;

    void printClick();
    void toggleFullScreen();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyZoom();

    std::shared_ptr<const PreparedReport> m_report;
    QScrollArea* m_scroll = nullptr;
    PreviewPages* m_pages = nullptr;
    ZoomMode m_mode = ZoomMode::Factor;
    double m_factor = 1.0;
};

// Shows the prepared pages in the preview window, modally through the
// platform seam; returns when the user closes it.
void showPreview(QWidget* parent, std::shared_ptr<const PreparedReport> report);
// The same for the last preparation of a layout; throws ReportError when it
// has not been prepared.
void showReport(const TReport& report, QWidget* owner);

} // namespace vinarca
