#pragma once

#include <QWidget>

class QLineEdit;
class QTableWidget;

namespace kvt {

struct AppContext;

// The RS485 page: Modbus link settings, the frame preview and the user-register grid.
class Rs485Page : public QWidget {
    Q_OBJECT
public:
    Rs485Page(AppContext& context, QWidget* parent = nullptr);

    QLineEdit* EditRx;         // Modbus receive indicator, lit by received frames
    QTableWidget* StringGrid1; // user registers R50..R99; row 0 and column 0 are header cells

private:
    AppContext& context_;
};

} // namespace kvt
