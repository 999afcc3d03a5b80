// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>

class QComboBox;
class QLabel;
class QPushButton;

namespace kvt {

struct AppContext;
struct Response;

// The Modbus link settings of the RS485 page ("Parametry transmisji MODBUS"): the controller's
// slave address and baud rate, written with command 222. The configuration record and file set
// them through the shared state, which always holds what the selectors show.
class ModbusLinkGroup : public QGroupBox {
    Q_OBJECT
public:
    ModbusLinkGroup(AppContext& context, QWidget* parent = nullptr);

    QLabel* Label7;
    QComboBox* ComboBox_MBusRate; // the rate code; no selection until a report or a file sets one
    QLabel* Label8;
    QComboBox* ComboBox_ModbusAdr; // address minus 1
    QLabel* Label27;
    QPushButton* btn_SaveParamModbus; // "Zapisz"
    QPushButton* btn_ReadSettings;    // "Odczytaj"

signals:
    // Lines for the main window's help panel.
    void helpRequested(const QStringList& lines);

private:
    void saveLinkSettings();
    void readSettings();
    void showRateHelp();
    // The selectors and the shared state show the same link: each follows the other.
    void publishLink();
    void showLink(int rateIndex, int addressIndex);

    AppContext& context_;
    bool showingLink_ = false;
};

} // namespace kvt
