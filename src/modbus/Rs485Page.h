#pragma once

#include "shell/Page.h"

class QLineEdit;
class QTableWidget;

namespace kvt {

// The RS485 page: Modbus link settings, the frame preview and the user-register grid.
class Rs485Page : public Page {
    Q_OBJECT
public:
    Rs485Page(AppContext& context, QWidget* parent = nullptr);

    // The receive indicator goes back to normal on every tick.
    void pollTick() override;

    QLineEdit* EditRx;         // Modbus receive indicator, lit by received frames
    QTableWidget* StringGrid1; // user registers R50..R99; row 0 and column 0 are header cells
};

} // namespace kvt
