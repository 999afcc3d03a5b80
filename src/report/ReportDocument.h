// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/core/ReportData.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

// The commissioning report as a person reads it: one HTML text that is both the self-contained
// HTML file and the content of the PDF. Needs Qt Gui (fonts, painting), never widgets.
namespace kvt::report {

enum class Format { Pdf, Html, Json };

// The format a file name asks for (".pdf", ".html"/".htm", ".json", any case); none otherwise.
std::optional<Format> formatOf(const QString& path);

// The trend's position and speed with its command marks, as a picture.
QImage trendPlot(const TrendSummary& trend, Language language, const QString& unit);

// The report as HTML; `plotSource` is where the trend picture is found (a data URI for the
// self-contained file, a resource name for the PDF).
QString reportHtml(const ReportData& data, Language language, const QString& plotSource);

// The file's bytes in `format`.
QByteArray renderReport(const ReportData& data, Language language, Format format);

// Writes the report to `path` in the format its name asks for, atomically: on failure the old
// file (if any) is left as it was and nothing half-written remains. The error text otherwise.
std::optional<QString> writeReport(const QString& path, const ReportData& data, Language language);

} // namespace kvt::report
