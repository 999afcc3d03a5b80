// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the sample program files: `make_program_samples TESTDATA_DIR DEMO_FILE`.
#include "ProgramSamples.h"
#include "program/core/ProgramFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() != 3) {
        err << "usage: make_program_samples TESTDATA_DIR DEMO_FILE\n";
        return 2;
    }
    QList<samples::SampleFile> files = samples::testFiles();
    for (samples::SampleFile& f : files)
        f.name = QDir(args[1]).filePath(f.name);
    files.append({args[2], samples::demoProgram()});
    for (const samples::SampleFile& f : files) {
        QDir().mkpath(QFileInfo(f.name).path());
        if (const auto error = kvt::program::writeProgramFile(f.name, f.bytes)) {
            err << f.name << ": " << *error << '\n';
            return 1;
        }
    }
    return 0;
}
