// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// kvtctl run as a process, as a script runs it: against simulated controllers whose memory lives
// in a state file in a temporary folder that the runs share. A test that includes this defines
// KVTCTL_PATH, the program's path.

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace testing {

struct KvtctlResult {
    int exit = -1; // -1: crashed or killed after the time-out
    QByteArray out;
    QByteArray err;

    QString text() const { return QString::fromUtf8(out); }
    QString error() const { return QString::fromUtf8(err); }
    // The JSON documents on standard output, one per line.
    QList<QJsonObject> documents() const {
        QList<QJsonObject> docs;
        for (const QByteArray& line : out.split('\n')) {
            if (!line.isEmpty())
                docs.append(QJsonDocument::fromJson(line).object());
        }
        return docs;
    }
    // The last of them; empty when there is none.
    QJsonObject lastDocument() const {
        const QList<QJsonObject> docs = documents();
        return docs.isEmpty() ? QJsonObject() : docs.last();
    }
};

class Kvtctl {
public:
    static constexpr int TimeoutMs = 30000;

    Kvtctl() : env_(withLocale("C")) {}

    QString path(const QString& name) const { return dir_.filePath(name); }
    void setLocale(const char* locale) { env_ = withLocale(locale); }

    // Runs kvtctl with `simulate` (the simulation options), the shared state file and `args`.
    KvtctlResult run(const QStringList& args, const QStringList& simulate = {"--simulate"},
                     const QMap<QString, QString>& extraEnv = {}) const {
        QProcess p;
        QProcessEnvironment env = env_;
        for (auto it = extraEnv.cbegin(); it != extraEnv.cend(); ++it)
            env.insert(it.key(), it.value());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KVTCTL_PATH),
                simulate + QStringList{"--sim-state", path("state.json")} + args);
        if (!p.waitForFinished(TimeoutMs)) {
            p.kill();
            p.waitForFinished();
        }
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
                p.readAllStandardError()};
    }

    QByteArray read(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // Replaces one line of a file ("Key=old" by "Key=new").
    void edit(const QString& name, const QByteArray& from, const QByteArray& to) const {
        QByteArray bytes = read(name);
        QVERIFY2(bytes.contains(from), from.constData());
        write(name, bytes.replace(from, to));
    }
    // The files in the shared folder, hidden ones included.
    QStringList files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }

private:
    static QProcessEnvironment withLocale(const char* locale) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("LANGUAGE"));
        env.remove(QStringLiteral("KVTCTL_SIM_UNPLUG_AFTER"));
        env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
        env.insert(QStringLiteral("LANG"), QString::fromLatin1(locale));
        return env;
    }

    QTemporaryDir dir_;
    QProcessEnvironment env_;
};

} // namespace testing
