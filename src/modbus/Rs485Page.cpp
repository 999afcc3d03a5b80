#include "modbus/Rs485Page.h"

#include "assist/Colors.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

namespace kvt {

Rs485Page::Rs485Page(AppContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabSheet2"), parent) {

    EditRx = new QLineEdit(this);
    EditRx->setObjectName(QStringLiteral("EditRx"));
    EditRx->setReadOnly(true);
    EditRx->setGeometry(8, 8, 24, 20);

    StringGrid1 = new QTableWidget(6, 6, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < 6; ++row) {
        for (int col = 0; col < 6; ++col) {
            auto* item = new QTableWidgetItem;
            // Row 0 and column 0 hold the headers, shaded like fixed cells.
            if (row == 0 || col == 0)
                item->setBackground(palette().button());
            StringGrid1->setItem(row, col, item);
        }
    }
    // Every cell visible at once, without scroll bars.
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int rowHeight = StringGrid1->fontMetrics().height() + 8;
    for (int row = 0; row < 6; ++row)
        StringGrid1->setRowHeight(row, rowHeight);
    StringGrid1->setColumnWidth(0, 80);
    for (int col = 1; col < 6; ++col)
        StringGrid1->setColumnWidth(col, 94);
    const int frame = 2 * StringGrid1->frameWidth();
    StringGrid1->setGeometry(8, 300, 80 + 5 * 94 + frame, 6 * rowHeight + frame);
}

void Rs485Page::pollTick() {
    if (background(EditRx) == colors::ModbusRx)
        resetBackground(EditRx);
}

} // namespace kvt
