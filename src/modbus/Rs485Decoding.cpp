// SPDX-License-Identifier: GPL-3.0-or-later
// The RS485 page's decoded view of the frame log (filters, bad-CRC count) and its capture files.
#include "modbus/Rs485Page.h"

#include "assist/Colors.h"
#include "assist/DialogService.h"
#include "format/core/AtomicFile.h"
#include "modbus/core/Capture.h"
#include "modbus/core/Crc.h"
#include "modbus/core/FramePreview.h"
#include "shell/AppContext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace kvt {

namespace {

// Function codes the filter offers, besides "all" and "other".
constexpr int FilterFunctions[] = {1, 2, 3, 4, 5, 6, 8, 15, 16};
constexpr int FilterAll = -1;
constexpr int FilterOther = 0;
constexpr int HighestSlave = 247;

} // namespace

bool Rs485Page::decoding() const {
    return cb_ModbusDecode->isChecked();
}

void Rs485Page::applyDecoding() {
    Panel_MbusBadCrc->setVisible(decoding());
    Panel_MbusDecode->setVisible(decoding());
    rebuildLog();
}

void Rs485Page::retranslate() {
    if (!cb_ModbusDecode)
        return; // not built yet: the texts are taken when it is
    decodeTexts_ = modbus::DecodeTexts::fromLookup([this](const QString& key) { return context_.text(key); });
    fillFilterLists();
    if (decoding())
        rebuildLog();
}

void Rs485Page::fillFilterLists() {
    const QString all = context_.text(QStringLiteral("MB_FILTER_ALL"));
    if (ComboBox_MbusSlave->count() == 0) {
        ComboBox_MbusSlave->addItem(all, FilterAll);
        for (int slave = 0; slave <= HighestSlave; ++slave)
            ComboBox_MbusSlave->addItem(QString::number(slave), slave);
    }
    ComboBox_MbusSlave->setItemText(0, all);
    QStringList functions{all};
    for (const int fc : FilterFunctions)
        functions.append(QStringLiteral("%1 %2").arg(fc).arg(modbus::functionName(fc, decodeTexts_)));
    functions.append(context_.text(QStringLiteral("MB_FILTER_OTHER")));
    if (ComboBox_MbusFunction->count() == 0) {
        ComboBox_MbusFunction->addItem(QString(), FilterAll);
        for (const int fc : FilterFunctions)
            ComboBox_MbusFunction->addItem(QString(), fc);
        ComboBox_MbusFunction->addItem(QString(), FilterOther);
    }
    for (int i = 0; i < functions.size(); ++i)
        ComboBox_MbusFunction->setItemText(i, functions[i]);
}

bool Rs485Page::passesFilter(const modbus::DecodedFrame& frame) const {
    const int slave = ComboBox_MbusSlave->currentData().toInt();
    if (slave != FilterAll && frame.slave != slave)
        return false;
    const int function = ComboBox_MbusFunction->currentData().toInt();
    if (function == FilterAll)
        return true;
    if (function == FilterOther)
        return !frame.knownFunction();
    return frame.baseFunction() == function; // exceptions with their function
}

modbus::RegisterView Rs485Page::registerView() const {
    return RadioButton_REAL->isChecked() ? modbus::RegisterView::Real : modbus::RegisterView::Dword;
}

Rs485Page::ShownLine Rs485Page::decodedLine(const SeenFrame& seen, const modbus::DecodedFrame& frame) const {
    ShownLine line;
    line.text = seen.plainLine.left(4 * seen.bytes.size()) + QStringLiteral("  ->>  ") +
                modbus::describe(frame, decodeTexts_, registerView());
    line.error = frame.crcError() || frame.kind == modbus::FrameKind::Exception;
    return line;
}

void Rs485Page::appendLines(const QList<ShownLine>& lines) {
    if (lines.isEmpty())
        return;
    QScrollBar* bar = MemoMbusTrans->verticalScrollBar();
    const bool atBottom = bar->value() == bar->maximum();
    QTextDocument* document = MemoMbusTrans->document();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat plain;
    QTextCharFormat error;
    error.setBackground(colors::Error);
    bool first = document->isEmpty();
    // Lines of one colour go in together: the document makes one block of each line.
    for (qsizetype i = 0; i < lines.size();) {
        qsizetype end = i + 1;
        while (end < lines.size() && lines[end].error == lines[i].error)
            ++end;
        QStringList run;
        run.reserve(end - i);
        for (qsizetype k = i; k < end; ++k)
            run.append(lines[k].text);
        if (!first)
            cursor.insertBlock(QTextBlockFormat(), plain);
        first = false;
        cursor.insertText(run.join(QLatin1Char('\n')), lines[i].error ? error : plain);
        i = end;
    }
    cursor.endEditBlock();
    if (atBottom)
        bar->setValue(bar->maximum());
}

void Rs485Page::rebuildLog() {
    pendingLines_.clear();
    pendingDecoded_.clear();
    MemoMbusTrans->clear();
    if (!decoding()) {
        QStringList lines;
        lines.reserve(qsizetype(seen_.size()));
        for (const SeenFrame& seen : seen_)
            lines.append(seen.plainLine);
        if (!lines.isEmpty())
            MemoMbusTrans->appendPlainText(lines.join(QLatin1Char('\n')));
        return;
    }
    decoder_.reset();
    QList<ShownLine> lines;
    for (const SeenFrame& seen : seen_) {
        const modbus::DecodedFrame frame = decoder_.decode(seen.bytes);
        if (passesFilter(frame))
            lines.append(decodedLine(seen, frame));
    }
    appendLines(lines);
}

void Rs485Page::showBadCrcCount() {
    EditMbusBadCrcCnt->setText(QString::number(badCrcCount_));
}

void Rs485Page::saveLog() {
    flushFrameLog();
    // The frames the log shows, as it shows them.
    QList<modbus::CapturedFrame> frames;
    QList<modbus::DecodedFrame> decoded;
    QStringList lines;
    modbus::FrameDecoder decoder;
    for (const SeenFrame& seen : seen_) {
        modbus::DecodedFrame frame = decoder.decode(seen.bytes);
        if (!passesFilter(frame))
            continue;
        frames.append({seen.msecs, seen.bytes});
        lines.append(decodedLine(seen, frame).text);
        decoded.append(std::move(frame));
    }
    DialogService::FileRequest request;
    request.filter = context_.text(QStringLiteral("MB_LOG_FILTER"));
    request.fileName = QStringLiteral("modbus.pcap");
    QPointer<Rs485Page> self(this);
    context_.dialogs->saveFile(context_.mainWindow, request, [self, frames, decoded, lines](const QString& path) {
        if (!self || path.isEmpty())
            return;
        QByteArray contents;
        switch (modbus::captureFormatForPath(path)) {
        case modbus::CaptureFormat::Pcap:
            contents = modbus::pcapCapture(frames);
            break;
        case modbus::CaptureFormat::Csv: {
            QStringList texts;
            for (const QString& line : lines)
                texts.append(line.section(QStringLiteral("  ->>  "), 1));
            contents = modbus::csvCapture(frames, decoded, texts, self->decodeTexts_);
            break;
        }
        case modbus::CaptureFormat::Text:
            contents = modbus::textCapture(frames, lines);
            break;
        }
        if (const std::optional<QString> error = files::writeFileAtomically(path, contents))
            self->context_.dialogs->message(self->context_.mainWindow, DialogService::Icon::Error,
                                            self->context_.text(QStringLiteral("MB_SAVE_FAILED")).arg(*error),
                                            QCoreApplication::applicationName());
    });
}

void Rs485Page::openLog() {
    DialogService::FileRequest request;
    request.filter = context_.text(QStringLiteral("MB_OPEN_FILTER"));
    QPointer<Rs485Page> self(this);
    context_.dialogs->openFile(context_.mainWindow, request, [self](const QString& path) {
        if (!self || path.isEmpty())
            return;
        QFile file(path);
        QByteArray contents;
        if (file.open(QIODevice::ReadOnly))
            contents = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            self->context_.dialogs->message(
                self->context_.mainWindow, DialogService::Icon::Error,
                self->context_.text(QStringLiteral("MB_OPEN_FAILED")).arg(QFileInfo(path).fileName()),
                QCoreApplication::applicationName());
            return;
        }
        self->loadCapture(contents, path);
    });
}

void Rs485Page::loadCapture(const QByteArray& file, const QString& path) {
    const std::optional<QList<modbus::CapturedFrame>> frames = modbus::readCapture(file);
    if (!frames) {
        context_.dialogs->message(context_.mainWindow, DialogService::Icon::Error,
                                  context_.text(QStringLiteral("MB_OPEN_FAILED")).arg(QFileInfo(path).fileName()),
                                  QCoreApplication::applicationName());
        return;
    }
    // The capture takes the place of what the log held; frames arriving later are added to it.
    flushFrameLog();
    seen_.clear();
    badCrcCount_ = 0;
    const int own = ownModbusAddress();
    for (const modbus::CapturedFrame& captured : *frames) {
        const modbus::FrameLogEntry entry = modbus::describeFrameBytes(captured.bytes, own);
        const QString text = entry.textKey.isEmpty() ? QString() : context_.text(entry.textKey);
        if (captured.bytes.size() >= 4 && modbus::modbusCrc(captured.bytes) != 0)
            ++badCrcCount_;
        rememberFrame({captured.msecs, captured.bytes, entry.hex + text});
    }
    frameCount_ = qint32(frames->size());
    EditMbusFrameCnt->setText(QString::number(frameCount_));
    showBadCrcCount();
    rebuildLog();
}

} // namespace kvt
