// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/ReportDialog.h"

#include "assist/DialogService.h"
#include "version/Version.h"
#include "link/HidDevice.h"
#include "link/OpCode.h"
#include "link/Transport.h"
#include "program/ProgramTransfer.h"
#include "report/ReportDocument.h"
#include "shell/AppContext.h"
#include "shell/AppState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace kvt {

namespace {

constexpr int AnswerTimeoutMs = 2000;
constexpr int RequestCount = 3; // identity, configuration, live status

report::Language languageOf(const ReportSources& sources) {
    return sources.language && sources.language() == 2 ? report::Language::English : report::Language::Polish;
}

} // namespace

EncoderResultMemory::EncoderResultMemory(AppContext& context, QObject* parent) : QObject(parent) {
    if (context.link) {
        context.link->subscribe(op::EncoderResult, this, [this](const Response& r) {
            last_ = encoder::decodeEncoderResult(r.data);
        });
    }
}

// One reading of the controller: the answers go to a receiver that lives only as long as the
// reading, so nothing of it is called afterwards.
struct ReportDialog::Run {
    explicit Run(report::ReportData data) : collector(std::move(data)) {}
    QObject receiver;
    QString path;
    HidDevice* device = nullptr;
    report::ReportCollector collector;
    QList<report::ReportCollector::Request> requests = report::ReportCollector::requests();
    int next = 0;
    QString step;
    QList<QMetaObject::Connection> connections;
};

ReportDialog::ReportDialog(AppContext& context, ReportSources sources, QWidget* parent)
    : QDialog(parent), context_(context), sources_(std::move(sources)) {
    setObjectName(QStringLiteral("TFormReport"));
    auto* column = new QVBoxLayout(this);

    auto* form = new QFormLayout;
    Edit_Operator = new QLineEdit(this);
    Edit_Operator->setObjectName(QStringLiteral("Edit_Operator"));
    Edit_Site = new QLineEdit(this);
    Edit_Site->setObjectName(QStringLiteral("Edit_Site"));
    Memo_Notes = new QPlainTextEdit(this);
    Memo_Notes->setObjectName(QStringLiteral("Memo_Notes"));
    Memo_Notes->setFixedHeight(90);
    form->addRow(new QLabel(this), Edit_Operator);
    form->addRow(new QLabel(this), Edit_Site);
    form->addRow(new QLabel(this), Memo_Notes);
    column->addLayout(form);

    auto* sections = GroupBox_Sections = new QGroupBox(this);
    sections->setObjectName(QStringLiteral("GroupBox_Sections"));
    auto* grid = new QGridLayout(sections);
    const auto box = [&](const char* name, int index) {
        auto* check = new QCheckBox(sections);
        check->setObjectName(QLatin1String(name));
        check->setChecked(true);
        grid->addWidget(check, index / 2, index % 2);
        return check;
    };
    CheckBox_Configuration = box("CheckBox_Configuration", 0);
    CheckBox_Modbus = box("CheckBox_Modbus", 1);
    CheckBox_Status = box("CheckBox_Status", 2);
    CheckBox_Program = box("CheckBox_Program", 3);
    CheckBox_Encoder = box("CheckBox_Encoder", 4);
    CheckBox_Trend = box("CheckBox_Trend", 5);
    column->addWidget(sections);

    auto* formatRow = new QHBoxLayout;
    auto* formatLabel = Label_Format = new QLabel(this);
    formatLabel->setObjectName(QStringLiteral("Label_Format"));
    ComboBox_Format = new QComboBox(this);
    ComboBox_Format->setObjectName(QStringLiteral("ComboBox_Format"));
    ComboBox_Format->addItems({QStringLiteral("PDF"), QStringLiteral("HTML"), QStringLiteral("JSON")});
    formatRow->addWidget(formatLabel);
    formatRow->addWidget(ComboBox_Format, 1);
    column->addLayout(formatRow);

    ProgressBar_Report = new QProgressBar(this);
    ProgressBar_Report->setObjectName(QStringLiteral("ProgressBar_Report"));
    ProgressBar_Report->setRange(0, RequestCount + 1);
    ProgressBar_Report->setValue(0);
    column->addWidget(ProgressBar_Report);
    Label_ReportState = new QLabel(this);
    Label_ReportState->setObjectName(QStringLiteral("Label_ReportState"));
    Label_ReportState->setWordWrap(true);
    column->addWidget(Label_ReportState);

    auto* buttons = new QHBoxLayout;
    Button_Create = new QPushButton(this);
    Button_Create->setObjectName(QStringLiteral("Button_Create"));
    Button_Create->setDefault(true);
    Button_Close = new QPushButton(this);
    Button_Close->setObjectName(QStringLiteral("Button_Close"));
    buttons->addStretch(1);
    buttons->addWidget(Button_Create);
    buttons->addWidget(Button_Close);
    column->addLayout(buttons);

    connect(Button_Create, &QPushButton::clicked, this, &ReportDialog::create);
    connect(Button_Close, &QPushButton::clicked, this, &QDialog::close);
    timeout_.setSingleShot(true);
    connect(&timeout_, &QTimer::timeout, this, [this] {
        fail(text("REPORT_NO_ANSWER").arg(run_ ? run_->step : QString()));
    });
    if (context_.state) {
        connect(context_.state, &AppState::connectedChanged, this, [this](bool connected) {
            Button_Create->setEnabled(connected && !run_);
            if (!connected && run_)
                fail(text("REPORT_LOST"));
        });
        Button_Create->setEnabled(context_.state->connected());
    }
    retranslate();
}

ReportDialog::~ReportDialog() = default;

QString ReportDialog::text(const char* key) const {
    return context_.text(QLatin1String(key));
}

void ReportDialog::retranslate() {
    setWindowTitle(text("REPORT_DIALOG_TITLE"));
    auto* form = qobject_cast<QFormLayout*>(layout()->itemAt(0)->layout());
    const char* labels[] = {"REPORT_OPERATOR", "REPORT_SITE", "REPORT_NOTES"};
    for (int row = 0; row < 3; ++row) {
        if (auto* label = qobject_cast<QLabel*>(form->itemAt(row, QFormLayout::LabelRole)->widget()))
            label->setText(text(labels[row]));
    }
    GroupBox_Sections->setTitle(text("REPORT_SECTIONS"));
    CheckBox_Configuration->setText(text("REPORT_SECTION_CONFIGURATION"));
    CheckBox_Modbus->setText(text("REPORT_SECTION_MODBUS"));
    CheckBox_Status->setText(text("REPORT_SECTION_STATUS"));
    CheckBox_Program->setText(text("REPORT_SECTION_PROGRAM"));
    CheckBox_Encoder->setText(text("REPORT_SECTION_ENCODER"));
    CheckBox_Trend->setText(text("REPORT_SECTION_TREND"));
    Label_Format->setText(text("REPORT_FORMAT"));
    Button_Create->setText(text("REPORT_CREATE"));
    Button_Close->setText(text("REPORT_CLOSE"));
}

void ReportDialog::create() {
    if (run_ || !context_.link || !context_.state || !context_.state->connected())
        return;
    // The report reads the controller that is active now, whatever happens while the file
    // dialog is open.
    HidDevice* device = context_.link->activeDevice();
    static const char* const Extensions[] = {"pdf", "html", "json"};
    const QString extension = QLatin1String(Extensions[std::clamp(ComboBox_Format->currentIndex(), 0, 2)]);
    DialogService::FileRequest request;
    request.caption = text("REPORT_DIALOG_TITLE");
    request.directory = context_.state->applicationDirectory();
    request.fileName = QStringLiteral("report.") + extension;
    request.filter = ComboBox_Format->currentText() + QStringLiteral("|*.") + extension;
    QPointer<ReportDialog> self(this);
    context_.dialogs->saveFile(this, request, [self, device, extension](QString path) {
        if (!self || path.isEmpty())
            return;
        if (report::formatOf(path) == std::nullopt)
            path += QLatin1Char('.') + extension;
        self->collect(path, device);
    });
}

void ReportDialog::collect(const QString& path, HidDevice* device) {
    if (run_)
        return;
    if (!context_.state->connected() || context_.link->activeDevice() != device || !device) {
        Label_ReportState->setText(text("REPORT_LOST"));
        return;
    }
    report::ReportData collected;
    collected.operatorName = Edit_Operator->text().trimmed();
    collected.site = Edit_Site->text().trimmed();
    collected.notes = Memo_Notes->toPlainText().trimmed();
    collected.sections = {CheckBox_Configuration->isChecked(), CheckBox_Modbus->isChecked(),
                     CheckBox_Status->isChecked(),        CheckBox_Program->isChecked(),
                     CheckBox_Encoder->isChecked(),       CheckBox_Trend->isChecked()};
    collected.programVersion = QLatin1String(ProgramVersion);
    collected.createdAt = QDateTime::currentDateTime();
    collected.model = context_.state->model();
    collected.devicePath = device->info().path;
    collected.serialNumber = device->info().serial;

    run_ = std::make_unique<Run>(std::move(collected));
    run_->path = path;
    run_->device = device;
    for (const quint8 code : {quint8(op::Identity), quint8(op::Configuration), quint8(op::LiveStatus)})
        context_.link->subscribe(code, &run_->receiver, [this](const Response& r) { take(r); });
    Button_Create->setEnabled(false);
    ProgressBar_Report->setRange(0, RequestCount + 1);
    ProgressBar_Report->setValue(0);
    sendNext();
}

void ReportDialog::sendNext() {
    const report::ReportCollector::Request& request = run_->requests[run_->next];
    run_->step = text("REPORT_READING").arg(languageOf(sources_) == report::Language::English ? request.step
                                                                                             : request.stepPolish);
    Label_ReportState->setText(run_->step);
    context_.link->send(request.command);
    timeout_.start(AnswerTimeoutMs);
}

void ReportDialog::take(const Response& response) {
    if (!run_ || run_->next >= run_->requests.size() || response.code() != run_->requests[run_->next].answer)
        return;
    run_->collector.take(response);
    ProgressBar_Report->setValue(++run_->next);
    if (run_->next < run_->requests.size())
        sendNext();
    else if (run_->collector.data().sections.program && sources_.transfer)
        readProgram();
    else
        complete();
}

void ReportDialog::readProgram() {
    ProgramTransfer* transfer = sources_.transfer;
    run_->step = text("REPORT_READING").arg(languageOf(sources_) == report::Language::English
                                                ? QStringLiteral("the program (103, 104)")
                                                : QStringLiteral("programu (103, 104)"));
    Label_ReportState->setText(run_->step);
    // The window's program transfer reads the program back (the Program page shows it too);
    // a program of one or two commands it leaves unread is asked for here, and the transfer
    // follows the exchange to its end.
    run_->connections << connect(transfer, &ProgramTransfer::readBackStarted, this, [this, transfer] {
        const quint32 length = transfer->store().length;
        ProgressBar_Report->setRange(0, RequestCount + int(std::max<quint32>(length, 1)));
        timeout_.start(AnswerTimeoutMs);
        if (length == 0)
            complete();
        else if (length <= 2)
            context_.link->sendCode(op::ProgramReadNext);
    });
    run_->connections << connect(transfer, &ProgramTransfer::readBackStep, this,
                                 [this](const program::ReadBackStep& step) {
                                     ProgressBar_Report->setValue(RequestCount + step.index);
                                     timeout_.start(AnswerTimeoutMs);
                                 });
    run_->connections << connect(transfer, &ProgramTransfer::readBackComplete, this, [this] { complete(); });
    transfer->readBack();
    timeout_.start(AnswerTimeoutMs);
}

void ReportDialog::complete() {
    if (!run_)
        return;
    if (run_->collector.data().sections.program && sources_.transfer)
        run_->collector.takeProgram(sources_.transfer->store());
    report::ReportData& collected = run_->collector.data();
    if (collected.sections.encoder && sources_.encoder && sources_.encoder->last() && collected.configuration)
        collected.encoder = report::summarizeEncoder(*sources_.encoder->last(), *collected.configuration);
    if (collected.sections.trend && sources_.trendRun) {
        if (const trend::Run* run = sources_.trendRun())
            collected.trend = report::summarizeTrend(*run);
    }
    const QString path = run_->path;
    const std::optional<QString> error = report::writeReport(path, collected, languageOf(sources_));
    end();
    ProgressBar_Report->setValue(ProgressBar_Report->maximum());
    if (error) {
        Label_ReportState->setText(*error);
        context_.dialogs->message(this, DialogService::Icon::Error, *error, text("REPORT_DIALOG_TITLE"));
        emit finished(path, *error);
        return;
    }
    const QString done = text("REPORT_WRITTEN").arg(QDir::toNativeSeparators(path));
    Label_ReportState->setText(done);
    context_.dialogs->message(this, DialogService::Icon::Information, done, text("REPORT_DIALOG_TITLE"));
    emit finished(path, QString());
}

void ReportDialog::fail(const QString& error) {
    if (!run_)
        return;
    const QString path = run_->path;
    end();
    ProgressBar_Report->setValue(0);
    Label_ReportState->setText(error);
    context_.dialogs->message(this, DialogService::Icon::Error, error, text("REPORT_DIALOG_TITLE"));
    emit finished(path, error);
}

void ReportDialog::end() {
    timeout_.stop();
    for (const QMetaObject::Connection& c : run_->connections)
        disconnect(c);
    run_.reset();
    Button_Create->setEnabled(context_.state && context_.state->connected());
}

} // namespace kvt
