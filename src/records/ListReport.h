#pragma once

#include <QStringList>

#include <memory>

class QWidget;

namespace vinarca {

class TReport;

// The list of a search result, on landscape A4 pages: a title bar, the lines
// in one text band that continues on the next page when it does not fit,
// and a footer with the date of printing. Filled and prepared; throws
// ReportError. `document` names the list for the remembered print settings.
std::unique_ptr<TReport> prepareListReport(const QString& title, const QStringList& lines,
                                           const QString& document = {});

// Prints a search list through the print dialog (no preview), offering the
// print settings last chosen for `document`. A failure is reported in the
// list windows' warning; cancelling prints nothing.
void printList(QWidget* owner, const QString& title, const QStringList& lines, const QString& document = {});

// The warning shown when a list cannot be printed.
QString listPrintFailureMessage();

} // namespace vinarca
