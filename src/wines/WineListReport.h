#pragma once

#include <QStringList>

#include <memory>

class QWidget;

namespace vinarca {

class TReport;

// The list of a search, on landscape A4 pages: a title bar, the lines in one
// text band that continues on the next page when it does not fit, and a
// footer with the date of printing. Throws ReportError.
std::unique_ptr<TReport> prepareListReport(const QString& title, const QStringList& lines);

// Prints the wine search list through the print dialog; a failure is reported.
void printWineList(QWidget* owner, const QStringList& lines);

} // namespace vinarca
