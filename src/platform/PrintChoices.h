#pragma once

#include <QPageSize>

namespace vinarca {

// How prepared pages go onto the sheets of paper in the printer.
enum class PrintMode {
    Default,        // each page on a sheet of its own size, as prepared
    SplitBigPages,  // a page larger than the paper spread over several sheets at real size
    JoinSmallPages, // as many pages' printed areas on each sheet as fit, at real size
    Scale,          // each page scaled to fit the paper
    PrintOnSheet,   // each page at real size on a sheet of a chosen size, shrunk only if it would not fit
};

// The print dialog's choices beyond what QPrinter carries.
struct PrintChoices
{
    PrintMode mode = PrintMode::Default;
    QPageSize sheet = QPageSize(QPageSize::A4); // the paper of "Print on sheet"
};

} // namespace vinarca
