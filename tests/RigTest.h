// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared set-up of the tests that drive the whole application through the rig.

#include "AppRig.h"

#include <QApplication>
#include <QLocale>
#include <QTest>

namespace testing {

// Runs a test object under a comma locale (Polish) and then a point locale (English).
template <typename T> int runInBothLocales(int argc, char** argv) {
    QApplication app(argc, argv);
    int failures = 0;
    for (const QLocale& locale :
         {QLocale(QLocale::Polish, QLocale::Poland), QLocale(QLocale::English, QLocale::UnitedStates)}) {
        QLocale::setDefault(locale);
        T test;
        failures += QTest::qExec(&test, argc, argv);
    }
    return failures;
}

// Connects a simulated controller and shows the Configuration page, where nothing is polled, so
// that written() holds only what a test sends; returns the controller's id.
inline int connectQuietly(rig::AppRig& rig, const QString& model = QStringLiteral("KVT318")) {
    const int id = rig.plugController(model);
    rig.settle();
    rig.showPage(1);
    rig.settle();
    rig.clearWritten();
    rig.clearDialogs();
    return id;
}

inline QByteArray bytes(std::initializer_list<int> values) {
    QByteArray result;
    for (int v : values)
        result.append(char(v));
    return result;
}

// The command of an output report: the bytes after the report ID, up to the last nonzero one.
inline QByteArray command(const QByteArray& report) {
    QByteArray c = report.mid(1);
    while (!c.isEmpty() && c.back() == '\0')
        c.chop(1);
    return c;
}

inline QList<int> codes(const QList<QByteArray>& reports) {
    QList<int> result;
    for (const QByteArray& r : reports)
        result << (r.size() > 1 ? quint8(r[1]) : -1);
    return result;
}

// The commands of `reports` (without the report ID) whose code is `code`.
inline QList<QByteArray> commandsWithCode(const QList<QByteArray>& reports, int code) {
    QList<QByteArray> result;
    for (const QByteArray& r : reports)
        if (r.size() > 1 && quint8(r[1]) == code)
            result << command(r);
    return result;
}

} // namespace testing
