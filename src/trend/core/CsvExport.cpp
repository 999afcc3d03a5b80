#include "trend/core/CsvExport.h"

#include <QSaveFile>

namespace kvt::trend {

bool exportCsv(const QString& path, const SampleBuffer& samples, const EventList& events, qint64 fromNs,
               qint64 toNs, const QString& unit, const csv::TimeBase& base, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QByteArray block = csv::header(unit);
    qsizetype s = samples.lowerBound(fromNs);
    const qsizetype sEnd = samples.upperBound(toNs);
    qsizetype e = events.lowerBound(fromNs);
    const qsizetype eEnd = events.upperBound(toNs);
    bool ok = true;
    while (ok && (s < sEnd || e < eEnd)) {
        if (e < eEnd && (s == sEnd || events.at(e).timeNs <= samples.at(s).timeNs))
            block.append(csv::eventRow(events.at(e++), base));
        else
            block.append(csv::sampleRow(samples.at(s++), base));
        if (block.size() > (1 << 20)) {
            ok = file.write(block) == block.size();
            block.clear();
        }
    }
    ok = ok && file.write(block) == block.size() && file.commit();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

} // namespace kvt::trend
