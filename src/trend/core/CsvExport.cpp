// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/core/CsvExport.h"

#include "format/core/AtomicFile.h"

namespace kvt::trend {

bool exportCsv(const QString& path, const SampleBuffer& samples, const EventList& events, qint64 fromNs,
               qint64 toNs, const QString& unit, const csv::TimeBase& base, QString* error) {
    files::AtomicFile file(path);
    bool ok = file.open();
    QByteArray block = csv::header(unit);
    qsizetype s = samples.lowerBound(fromNs);
    const qsizetype sEnd = samples.upperBound(toNs);
    qsizetype e = events.lowerBound(fromNs);
    const qsizetype eEnd = events.upperBound(toNs);
    while (ok && (s < sEnd || e < eEnd)) {
        if (e < eEnd && (s == sEnd || events.at(e).timeNs <= samples.at(s).timeNs))
            block.append(csv::eventRow(events.at(e++), base));
        else
            block.append(csv::sampleRow(samples.at(s++), base));
        if (block.size() > (1 << 20)) {
            ok = file.write(block);
            block.clear();
        }
    }
    ok = ok && file.write(block) && file.commit();
    if (!ok && error)
        *error = file.reason();
    return ok;
}

} // namespace kvt::trend
