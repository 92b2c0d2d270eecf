#pragma once

#include "ReportModel.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace vinarca {

// Reads a layout description (JSON, lengths in millimetres, font sizes in
// points) into a report. Throws ReportError naming the file and the fault
// for anything it cannot take: bad JSON, an unknown kind, a missing size, a
// name used twice.
std::unique_ptr<TReport> loadReportLayout(const QString& path);
std::unique_ptr<TReport> parseReportLayout(const QByteArray& json, const QString& source = {});

} // namespace vinarca
