// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/ReportDocument.h"

#include "control/core/Identity.h"
#include "control/core/LiveStatus.h"
#include "encoder/core/EncoderVerdict.h"
#include "format/core/AtomicFile.h"
#include "report/core/ReportTexts.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace kvt::report {

namespace {

// DejaVu carries every Polish letter; the generic family is the fallback where it is missing.
const QString FontFamily = QStringLiteral("DejaVu Sans");
const QString PlotResource = QStringLiteral("trend.png");

fmt::Separators separatorsOf(Language language) {
    return language == Language::Polish ? fmt::Separators{QLatin1Char(','), QLatin1Char(' ')}
                                        : fmt::Separators{QLatin1Char('.'), QLatin1Char(',')};
}

QString numberText(double value, int decimals, Language language) {
    QString text = QString::number(value, 'f', decimals);
    if (language == Language::Polish)
        text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

class Html {
public:
    explicit Html(const ReportTexts& tr) : tr_(tr) {}

    void heading(const char* key) { out_ += QStringLiteral("<h2>%1</h2>\n").arg(tr_(key).toHtmlEscaped()); }
    void beginTable() { out_ += QStringLiteral("<table>\n"); }
    void endTable() { out_ += QStringLiteral("</table>\n"); }
    void row(const QString& label, const QString& value) {
        out_ += QStringLiteral("<tr><th>%1</th><td>%2</td></tr>\n").arg(label.toHtmlEscaped(), value.toHtmlEscaped());
    }
    void row(const char* key, const QString& value) { row(tr_(key), value); }
    void paragraph(const QString& text) {
        out_ += QStringLiteral("<p>%1</p>\n").arg(text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br/>")));
    }
    void raw(const QString& html) { out_ += html; }
    const QString& text() const { return out_; }

private:
    const ReportTexts& tr_;
    QString out_;
};

QString bitsText(const ReportTexts& tr, quint8 mask, const QStringList& names) {
    QStringList parts;
    for (int i = 0; i < names.size(); ++i)
        parts << names[i] + QLatin1Char(' ') + tr(mask & (1 << i) ? "REPORT_ON" : "REPORT_OFF");
    return parts.join(QStringLiteral(", "));
}

QString verdictText(const ReportTexts& tr, const EncoderSummary& e) {
    if (e.wiring == encoder::ChannelsSwapped)
        return tr("REPORT_ENCODER_SWAPPED");
    if (e.wiring == encoder::NoSignal)
        return tr("REPORT_ENCODER_NO_SIGNAL");
    if (!e.expected)
        return tr("REPORT_ENCODER_NOT_JUDGED");
    return tr(e.passed ? "REPORT_ENCODER_PASSED" : "REPORT_ENCODER_FAILED");
}

QString isoTime(const QDateTime& t) {
    return t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODate);
}

} // namespace

std::optional<Format> formatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        return Format::Pdf;
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return Format::Html;
    if (suffix == QLatin1String("json"))
        return Format::Json;
    return std::nullopt;
}

QImage trendPlot(const TrendSummary& trend, Language language, const QString& unit) {
    const ReportTexts tr(language);
    const QSize size(1600, 760);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font(FontFamily);
    font.setPixelSize(22);
    p.setFont(font);

    const QRectF area(110, 40, size.width() - 230, size.height() - 130);
    double t0 = 0, t1 = 1, x0 = 0, x1 = 0, v0 = 0, v1 = 0;
    if (!trend.points.isEmpty()) {
        t0 = trend.points.first().timeS;
        t1 = trend.points.last().timeS;
        x0 = x1 = trend.points.first().position;
        v0 = v1 = trend.points.first().speed;
        for (const TrendPoint& pt : trend.points) {
            x0 = std::min(x0, pt.position), x1 = std::max(x1, pt.position);
            v0 = std::min(v0, pt.speed), v1 = std::max(v1, pt.speed);
        }
    }
    const auto widen = [](double& low, double& high) {
        if (high - low < 1e-9) {
            low -= 1;
            high += 1;
        }
        const double margin = (high - low) * 0.05;
        low -= margin;
        high += margin;
    };
    if (t1 - t0 < 1e-9)
        t1 = t0 + 1;
    widen(x0, x1);
    widen(v0, v1);
    const auto px = [&](double t) { return area.left() + (t - t0) / (t1 - t0) * area.width(); };
    const auto py = [&](double v, double low, double high) {
        return area.bottom() - (v - low) / (high - low) * area.height();
    };

    // Grid and scales: position on the left, speed on the right.
    p.setPen(QPen(QColor(0xDD, 0xDD, 0xDD), 1));
    const QColor positionColour(0x1F, 0x4E, 0xB4), speedColour(0xC0, 0x39, 0x2B);
    for (int i = 0; i <= 5; ++i) {
        const double y = area.top() + area.height() * i / 5;
        const double x = area.left() + area.width() * i / 5;
        p.setPen(QPen(QColor(0xDD, 0xDD, 0xDD), 1));
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        p.setPen(positionColour);
        p.drawText(QRectF(0, y - 15, area.left() - 8, 30), Qt::AlignRight | Qt::AlignVCenter,
                   numberText(x1 - (x1 - x0) * i / 5, 2, language));
        p.setPen(speedColour);
        p.drawText(QRectF(area.right() + 8, y - 15, 110, 30), Qt::AlignLeft | Qt::AlignVCenter,
                   numberText(v1 - (v1 - v0) * i / 5, 2, language));
        p.setPen(Qt::black);
        p.drawText(QRectF(x - 60, area.bottom() + 6, 120, 30), Qt::AlignCenter,
                   numberText(t0 + (t1 - t0) * i / 5, 1, language));
    }
    p.setPen(QPen(Qt::black, 2));
    p.drawRect(area);
    p.drawText(QRectF(area.left(), area.bottom() + 40, area.width(), 30), Qt::AlignCenter, tr("REPORT_TREND_TIME"));

    // Command marks.
    p.setPen(QPen(QColor(0x55, 0x55, 0x55), 1.5, Qt::DashLine));
    for (const TrendMark& m : trend.marks) {
        const double x = px(m.timeS);
        if (x < area.left() || x > area.right())
            continue;
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        p.save();
        p.translate(x + 4, area.top() + 6);
        p.rotate(90);
        p.drawText(QPointF(0, 0), m.name);
        p.restore();
    }

    const auto trace = [&](auto value, double low, double high, const QColor& colour) {
        QPainterPath path;
        for (qsizetype i = 0; i < trend.points.size(); ++i) {
            const QPointF pt(px(trend.points[i].timeS), py(value(trend.points[i]), low, high));
            if (i == 0)
                path.moveTo(pt);
            else
                path.lineTo(pt);
        }
        p.setPen(QPen(colour, 3));
        p.drawPath(path);
    };
    trace([](const TrendPoint& pt) { return pt.position; }, x0, x1, positionColour);
    trace([](const TrendPoint& pt) { return pt.speed; }, v0, v1, speedColour);

    // Legend.
    p.setPen(positionColour);
    p.drawText(QPointF(area.left(), 28), tr("REPORT_POSITION") + QStringLiteral(" [%1]").arg(unit));
    p.setPen(speedColour);
    p.drawText(QRectF(area.left(), 4, area.width(), 30), Qt::AlignRight,
               tr("REPORT_SPEED") + QStringLiteral(" [%1/s]").arg(unit));
    return image;
}

QString reportHtml(const ReportData& d, Language language, const QString& plotSource) {
    const ReportTexts tr(language);
    Html h(tr);
    const QString unit = d.configuration ? unitText(quint8(d.configuration->Units)) : QString();
    h.raw(QStringLiteral("<h1>%1</h1>\n").arg(tr("REPORT_TITLE").toHtmlEscaped()));

    h.heading("REPORT_GENERAL");
    h.beginTable();
    h.row("REPORT_PROGRAM_VERSION", d.programVersion);
    h.row("REPORT_CREATED", isoTime(d.createdAt));
    h.row("REPORT_OPERATOR", d.operatorName);
    h.row("REPORT_SITE", d.site);
    h.endTable();
    if (!d.notes.isEmpty()) {
        h.raw(QStringLiteral("<h3>%1</h3>\n").arg(tr("REPORT_NOTES").toHtmlEscaped()));
        h.paragraph(d.notes);
    }

    h.heading("REPORT_CONTROLLER");
    h.beginTable();
    h.row("REPORT_MODEL", d.model ? productString(*d.model) : QString());
    h.row("REPORT_FIRMWARE", control::versionText(d.firmware, separatorsOf(language)));
    h.row("REPORT_DEVICE_TEXT", deviceTextOf(d.deviceText));
    if (!d.devicePath.isEmpty())
        h.row("REPORT_DEVICE_PATH", d.devicePath);
    if (!d.serialNumber.isEmpty())
        h.row("REPORT_SERIAL", d.serialNumber);
    h.endTable();

    if (d.sections.configuration && d.configuration) {
        h.heading("REPORT_CONFIGURATION");
        h.raw(QStringLiteral("<table>\n<tr><th>%1</th><td><b>%2</b></td></tr>\n")
                  .arg(tr("REPORT_FIELD").toHtmlEscaped(), tr("REPORT_VALUE").toHtmlEscaped()));
        for (const ConfigValue& v : configValues(*d.configuration)) {
            QString value = exactText(v, language);
            if (v.name == QLatin1String("Units"))
                value += QStringLiteral(" (%1)").arg(unit);
            h.row(v.name, value);
        }
        h.endTable();
    }
    if (d.sections.modbus && d.configuration) {
        h.heading("REPORT_MODBUS");
        if (const std::optional<ModbusSummary> m = modbusSummary(*d.configuration)) {
            h.beginTable();
            h.row("REPORT_MODBUS_ADDRESS", QString::number(m->address));
            h.row("REPORT_MODBUS_RATE", QString::number(m->baudRate));
            h.endTable();
        } else {
            h.paragraph(tr("REPORT_MODBUS_UNKNOWN"));
        }
    }
    if (d.sections.status && d.status) {
        const control::LiveStatus& s = *d.status;
        h.heading("REPORT_STATUS");
        h.beginTable();
        h.row("REPORT_POSITION", exactFloatText(s.position, language) + QLatin1Char(' ') + unit);
        h.row("REPORT_SPEED", exactFloatText(s.speed, language) + QLatin1Char(' ') + unit + QStringLiteral("/s"));
        h.row("REPORT_INPUTS",
              bitsText(tr, s.inputMask(),
                       {QStringLiteral("Run"), QStringLiteral("Stop"), QStringLiteral("In1"), QStringLiteral("In2"),
                        QStringLiteral("Home1"), QStringLiteral("Home2")}));
        h.row("REPORT_OUTPUTS", bitsText(tr, s.outputMask(), {QStringLiteral("Out1"), QStringLiteral("Out2")}));
        h.row("REPORT_MOTOR_STATE",
              s.motorState <= 9 ? tr(QStringLiteral("REPORT_MOTOR_%1").arg(s.motorState))
                                : QString::number(s.motorState));
        h.row("REPORT_TEMPERATURE", QStringLiteral("%1 °C").arg(control::temperatureCelsius(s.temperatureRaw)));
        h.row("REPORT_SUPPLY", numberText(s.supplyMv / 1000.0, 3, language) + QStringLiteral(" V"));
        h.row("REPORT_ANALOG", numberText(s.analogMv / 1000.0, 3, language) + QStringLiteral(" V"));
        h.row("REPORT_ENCODER_COUNT", QString::number(s.encoderCount));
        h.endTable();
    }
    if (d.sections.program && d.program) {
        const ProgramSummary& p = *d.program;
        h.heading("REPORT_PROGRAM");
        h.beginTable();
        h.row("REPORT_PROGRAM_LENGTH", QString::number(p.length));
        h.row("REPORT_PROGRAM_SHA", QString::fromLatin1(p.sha256.toHex()));
        if (p.length > 0) {
            h.row("REPORT_PROGRAM_FIRST", p.firstLine);
            h.row("REPORT_PROGRAM_LAST", p.lastLine);
        }
        h.endTable();
        if (p.length == 0)
            h.paragraph(tr("REPORT_PROGRAM_EMPTY"));
    }
    if (d.sections.encoder) {
        h.heading("REPORT_ENCODER");
        if (d.encoder) {
            h.beginTable();
            h.row("REPORT_ENCODER_EXPECTED", d.encoder->expected ? QString::number(*d.encoder->expected) : QString());
            h.row("REPORT_ENCODER_MEASURED", QString::number(d.encoder->measured));
            h.row("REPORT_ENCODER_VERDICT", verdictText(tr, *d.encoder));
            h.endTable();
        } else {
            h.paragraph(tr("REPORT_ENCODER_NOT_RUN"));
        }
    }
    if (d.sections.trend) {
        h.heading("REPORT_TREND");
        if (d.trend && !plotSource.isEmpty()) {
            h.raw(QStringLiteral("<p><img src=\"%1\" width=\"640\"/></p>\n").arg(plotSource));
            if (!d.trend->marks.isEmpty()) {
                QStringList marks;
                for (const TrendMark& m : d.trend->marks)
                    marks << QStringLiteral("%1 s: %2").arg(numberText(m.timeS, 2, language), m.name);
                h.paragraph(tr("REPORT_TREND_MARKS") + QStringLiteral(": ") + marks.join(QStringLiteral("; ")));
            }
        } else {
            h.paragraph(tr("REPORT_TREND_NONE"));
        }
    }

    const QString lang = language == Language::Polish ? QStringLiteral("pl") : QStringLiteral("en");
    return QStringLiteral(
               "<!DOCTYPE html>\n<html lang=\"%1\">\n<head>\n<meta charset=\"utf-8\"/>\n<title>%2</title>\n"
               "<style>\nbody { font-family: '%3', sans-serif; font-size: 10pt; }\n"
               "h1 { font-size: 18pt; } h2 { font-size: 13pt; margin-top: 14pt; }\n"
               "table { border-collapse: collapse; }\n"
               "th, td { border: 1px solid #999999; padding: 2px 6px; text-align: left; }\n"
               "th { background-color: #EEEEEE; font-weight: normal; }\n</style>\n</head>\n<body>\n%4</body>\n</html>\n")
        .arg(lang, tr("REPORT_TITLE").toHtmlEscaped(), FontFamily, h.text());
}

namespace {

QByteArray pngOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray renderPdf(const ReportData& d, Language language, const std::optional<QImage>& plot) {
    const ReportTexts tr(language);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(18, 15, 18, 15), QPageLayout::Millimeter));
        writer.setResolution(300);
        writer.setTitle(tr("REPORT_TITLE"));
        writer.setCreator(QStringLiteral("KVT-REVIZAREDUVA ") + d.programVersion);

        QTextDocument document;
        document.documentLayout()->setPaintDevice(&writer);
        QFont font(FontFamily);
        font.setPointSizeF(10);
        // Any letter spacing turns ligatures off, so "fi" and "ff" stay two letters for a
        // reader that copies or searches the text (OffAfterError, Konfiguracja).
        font.setLetterSpacing(QFont::AbsoluteSpacing, 0.01);
        document.setDefaultFont(font);
        if (plot)
            document.addResource(QTextDocument::ImageResource, QUrl(PlotResource), *plot);
        document.setHtml(reportHtml(d, language, plot ? PlotResource : QString()));

        const QRect page = writer.pageLayout().paintRectPixels(writer.resolution());
        const int footer = writer.resolution() / 3; // a third of an inch for the page number
        const QSizeF body(page.width(), page.height() - footer);
        document.setPageSize(body);
        const int pages = document.pageCount();

        QPainter painter(&writer);
        QFont footerFont(FontFamily);
        footerFont.setPointSizeF(8);
        for (int i = 0; i < pages; ++i) {
            if (i > 0)
                writer.newPage();
            painter.save();
            painter.translate(0, -body.height() * i);
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = QRectF(0, body.height() * i, body.width(), body.height());
            document.documentLayout()->draw(&painter, context);
            painter.restore();
            painter.setFont(footerFont);
            painter.setPen(Qt::black);
            painter.drawText(QRectF(0, body.height(), body.width(), footer), Qt::AlignCenter | Qt::AlignBottom,
                             tr("REPORT_PAGE").arg(i + 1).arg(pages));
        }
        painter.end();
    }
    return bytes;
}

} // namespace

QByteArray renderReport(const ReportData& d, Language language, Format format) {
    if (format == Format::Json)
        return QJsonDocument(reportJson(d)).toJson(QJsonDocument::Indented);
    std::optional<QImage> plot;
    if (d.sections.trend && d.trend) {
        const QString unit = d.configuration ? unitText(quint8(d.configuration->Units)) : QString();
        plot = trendPlot(*d.trend, language, unit);
    }
    if (format == Format::Pdf)
        return renderPdf(d, language, plot);
    const QString source =
        plot ? QStringLiteral("data:image/png;base64,") + QString::fromLatin1(pngOf(*plot).toBase64()) : QString();
    return reportHtml(d, language, source).toUtf8();
}

std::optional<QString> writeReport(const QString& path, const ReportData& d, Language language) {
    const std::optional<Format> format = formatOf(path);
    if (!format)
        return ReportTexts(language)("REPORT_BAD_NAME").arg(path);
    return files::writeFileAtomically(path, renderReport(d, language, *format));
}

} // namespace kvt::report
