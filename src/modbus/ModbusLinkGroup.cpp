// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/ModbusLinkGroup.h"

#include "assist/DialogService.h"
#include "config/core/ConfigRecord.h"
#include "config/core/ModbusLink.h"
#include "link/OpCode.h"
#include "link/Transport.h"
#include "shell/AppContext.h"
#include "shell/AppState.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace kvt {

namespace {

// Shown when "Zapisz" is pressed before any rate is chosen; like the other fixed texts, the same
// in both languages.
const QString PickRateMessage = QStringLiteral("Wybierz prędkosc transmisji.");

} // namespace

ModbusLinkGroup::ModbusLinkGroup(AppContext& context, QWidget* parent)
    : QGroupBox(QStringLiteral("Parametry transmisji MODBUS"), parent), context_(context) {
    setObjectName(QStringLiteral("GroupBox4"));

    Label7 = new QLabel(QStringLiteral("Prędkosc transmisji"), this);
    Label7->setObjectName(QStringLiteral("Label7"));
    ComboBox_MBusRate = new QComboBox(this);
    ComboBox_MBusRate->setObjectName(QStringLiteral("ComboBox_MBusRate"));
    ComboBox_MBusRate->addItems(config::modbusRateItems());
    ComboBox_MBusRate->setCurrentIndex(-1);

    Label8 = new QLabel(QStringLiteral("Adres modbus sterownika"), this);
    Label8->setObjectName(QStringLiteral("Label8"));
    ComboBox_ModbusAdr = new QComboBox(this);
    ComboBox_ModbusAdr->setObjectName(QStringLiteral("ComboBox_ModbusAdr"));
    ComboBox_ModbusAdr->addItems(config::modbusAddressItems());
    ComboBox_ModbusAdr->setCurrentIndex(0);

    Label27 = new QLabel(QStringLiteral("Parzystosc: Brak, Bitów:8, Bitów stopu: 1"), this);
    Label27->setObjectName(QStringLiteral("Label27"));
    btn_SaveParamModbus = new QPushButton(QStringLiteral("Zapisz"), this);
    btn_SaveParamModbus->setObjectName(QStringLiteral("btn_SaveParamModbus"));
    btn_ReadSettings = new QPushButton(QStringLiteral("Odczytaj"), this);
    btn_ReadSettings->setObjectName(QStringLiteral("btn_ReadSettings"));

    auto* g = new QGridLayout(this);
    g->setContentsMargins(8, 4, 8, 6);
    g->setHorizontalSpacing(8);
    g->setVerticalSpacing(4);
    g->addWidget(Label7, 0, 0);
    g->addWidget(ComboBox_MBusRate, 0, 1);
    g->addWidget(btn_ReadSettings, 0, 3);
    g->addWidget(Label8, 1, 0);
    g->addWidget(ComboBox_ModbusAdr, 1, 1);
    g->addWidget(btn_SaveParamModbus, 1, 3);
    g->addWidget(Label27, 2, 0, 1, 2);
    g->setColumnStretch(2, 1);
    setFixedSize(sizeHint().expandedTo(QSize(400, 0)));

    connect(btn_SaveParamModbus, &QPushButton::clicked, this, &ModbusLinkGroup::saveLinkSettings);
    connect(btn_ReadSettings, &QPushButton::clicked, this, &ModbusLinkGroup::readSettings);
    connect(ComboBox_MBusRate, &QComboBox::activated, this, &ModbusLinkGroup::showRateHelp);
    connect(ComboBox_MBusRate, &QComboBox::currentIndexChanged, this, &ModbusLinkGroup::publishLink);
    connect(ComboBox_ModbusAdr, &QComboBox::currentIndexChanged, this, &ModbusLinkGroup::publishLink);
    connect(context_.state, &AppState::modbusLinkChanged, this, &ModbusLinkGroup::showLink);
    showLink(context_.state->modbusRateIndex(), context_.state->modbusAddressIndex());
}

void ModbusLinkGroup::publishLink() {
    if (!showingLink_)
        context_.state->setModbusLink(ComboBox_MBusRate->currentIndex(), ComboBox_ModbusAdr->currentIndex());
}

void ModbusLinkGroup::showLink(int rateIndex, int addressIndex) {
    showingLink_ = true;
    ComboBox_MBusRate->setCurrentIndex(rateIndex);
    ComboBox_ModbusAdr->setCurrentIndex(addressIndex);
    showingLink_ = false;
    publishLink(); // a position a list does not have leaves it without a selection
}

void ModbusLinkGroup::saveLinkSettings() {
    if (!context_.state->connected())
        return;
    // A rate code the controller may not know is never sent: the user picks one first.
    if (ComboBox_MBusRate->currentIndex() < 0) {
        context_.dialogs->message(window(), DialogService::Icon::Warning, PickRateMessage,
                                  context_.text("IDS_55"));
        return;
    }
    context_.link->send(
        config::encodeModbusLink(ComboBox_MBusRate->currentIndex(), ComboBox_ModbusAdr->currentIndex()));
}

void ModbusLinkGroup::readSettings() {
    context_.link->sendCode(op::Configuration);
    context_.link->sendCode(op::Identity);
}

void ModbusLinkGroup::showRateHelp() {
    emit helpRequested({context_.text("IDS_214"), context_.text("IDS_215")});
}

} // namespace kvt
