#pragma once

#include "ReportModel.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace vinarca {

// Reads a layout description (JSON, lengths in millimetres, font sizes in
// points) into a report. Throws ReportError naming the file and the fault
// for anything it cannot take: bad JSON, an unknown kind, a missing size, a
// name used twice. An object list may hold a block of kind "repeat": its
// "objects" stamped out "count" times, copy i moved by i × "stepLeft" and
// "stepTop" mm, with "{key}" in the names replaced by the i-th entry of the
// list "key" under "values".
std::unique_ptr<TReport> loadReportLayout(const QString& path);
std::unique_ptr<TReport> parseReportLayout(const QByteArray& json, const QString& source = {});

} // namespace vinarca
