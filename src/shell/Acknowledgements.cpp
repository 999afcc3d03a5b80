// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Acknowledgements.h"

#include "assist/DialogService.h"
#include "assist/StatusBar.h"
#include "link/OpCode.h"
#include "link/Transport.h"
#include "shell/AppContext.h"

#include <QList>
#include <QPointer>

namespace kvt {

namespace {

struct Acknowledgement {
    quint8 code;
    const char* status;
    const char* boxText; // null: no box
    const char* boxCaption;
    QList<quint8> afterwards; // commands sent once the box is closed
};

const QList<Acknowledgement>& acknowledgements() {
    static const QList<Acknowledgement> Table = {
        {op::DriveOn, "IDS_68", nullptr, nullptr, {}},
        {op::DriveOff, "IDS_69", nullptr, nullptr, {}},
        {op::Stopped, "IDS_71", nullptr, nullptr, {}},
        {op::Home, "IDS_49", nullptr, nullptr, {}},
        {op::MotionConfigSaved, "IDS_72", "IDS_72", "IDS_55", {}},
        {op::EncoderSettingsSaved, "IDS_56", "IDS_56", "IDS_55", {}},
        {op::FactoryReset, "IDS_65", "IDS_65", "IDS_55", {op::Configuration}},
        {op::SetModbusLink, "IDS_53", "IDS_54", "IDS_55", {}},
        {op::DefaultsSaved, "IDS_62", "IDS_63", "IDS_55", {}},
        {op::SetMotionParams, "IDS_59", "IDS_59", "IDS_55", {}},
        {op::DriveParamsSaved, "IDS_75", "IDS_75", "IDS_55", {}},
        {op::SetRegister, "IDS_78", nullptr, nullptr, {}},
        {op::SaveRegisters, "IDS_79", "IDS_80", "IDS_81", {}},
        {op::WriteConfiguration, "IDS_82", "IDS_83", "IDS_84", {op::Identity, op::Configuration}},
    };
    return Table;
}

} // namespace

Acknowledgements::Acknowledgements(AppContext& context, QObject* parent)
    : QObject(parent), context_(context) {
    for (const Acknowledgement& ack : acknowledgements()) {
        context_.link->subscribe(ack.code, this, [this, &ack](const Response&) {
            // Texts are looked up when the acknowledgement arrives, in the language of that moment.
            context_.statusBar->setPanelText(0, context_.text(QLatin1String(ack.status)));
            if (!ack.boxText)
                return;
            const quint32 sender = context_.link->activeInstance();
            const auto open = openBoxes_.find(ack.code);
            if (open != openBoxes_.end()) {
                open.value() = sender; // the open box now stands for this acknowledgement too
                return;
            }
            openBoxes_.insert(ack.code, sender);
            QPointer<Transport> link(context_.link);
            QPointer<Acknowledgements> self(this);
            const quint8 code = ack.code;
            const QList<quint8> afterwards = ack.afterwards;
            context_.dialogs->message(context_.mainWindow, DialogService::Icon::Information,
                                      context_.text(QLatin1String(ack.boxText)),
                                      context_.text(QLatin1String(ack.boxCaption)),
                                      DialogService::Buttons::Ok, [self, link, code, afterwards](bool) {
                                          if (!self)
                                              return;
                                          const quint32 latest = self->openBoxes_.take(code);
                                          if (!link || latest == 0 || link->activeInstance() != latest)
                                              return;
                                          for (quint8 c : afterwards)
                                              link->sendCode(c);
                                      });
        });
    }
}

} // namespace kvt
