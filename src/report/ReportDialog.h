// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "encoder/core/EncoderVerdict.h"
#include "report/core/ReportCollector.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace kvt {

struct AppContext;
class HidDevice;
class ProgramTransfer;
namespace trend {
class Run;
}

// The last encoder test result since the program started, kept from the moment the main window
// is built so that a report made later still has it.
class EncoderResultMemory : public QObject {
    Q_OBJECT
public:
    EncoderResultMemory(AppContext& context, QObject* parent);
    const std::optional<encoder::EncoderResult>& last() const { return last_; }

private:
    std::optional<encoder::EncoderResult> last_;
};

// What the report reads beyond the controller's answers: the program transfer that reads the
// stored program back, the last encoder test and the trend window's run (null while the window
// was never opened).
struct ReportSources {
    ProgramTransfer* transfer = nullptr;
    EncoderResultMemory* encoder = nullptr;
    std::function<const trend::Run*()> trendRun;
    std::function<int()> language; // 1 Polish, 2 English
};

// The commissioning report dialog ("TFormReport"): the technician's free text, the sections to
// include and the format; "Create" asks for the file, reads the active controller (progress bar)
// and writes the report. Nothing is sent to any other controller, and nothing is changed in the
// drive.
class ReportDialog : public QDialog {
    Q_OBJECT
public:
    ReportDialog(AppContext& context, ReportSources sources, QWidget* parent);
    ~ReportDialog() override;

    void retranslate();
    bool collecting() const { return bool(run_); }

    QLineEdit* Edit_Operator;
    QLineEdit* Edit_Site;
    QPlainTextEdit* Memo_Notes;
    QCheckBox* CheckBox_Configuration;
    QCheckBox* CheckBox_Modbus;
    QCheckBox* CheckBox_Status;
    QCheckBox* CheckBox_Program;
    QCheckBox* CheckBox_Encoder;
    QCheckBox* CheckBox_Trend;
    QComboBox* ComboBox_Format;
    QProgressBar* ProgressBar_Report;
    QLabel* Label_ReportState;
    QGroupBox* GroupBox_Sections;
    QLabel* Label_Format;
    QPushButton* Button_Create;
    QPushButton* Button_Close;

signals:
    // The report was written to `path`, or writing failed with `error`.
    void finished(const QString& path, const QString& error);

private:
    struct Run;
    void create();
    void collect(const QString& path, HidDevice* device);
    void sendNext();
    void take(const Response& response);
    void readProgram();
    void complete();
    void fail(const QString& error);
    void end();
    QString text(const char* key) const;

    AppContext& context_;
    ReportSources sources_;
    std::unique_ptr<Run> run_;
    QTimer timeout_;
};

} // namespace kvt
