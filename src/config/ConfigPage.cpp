#include "config/ConfigPage.h"

#include <QPushButton>

namespace kvt {

ConfigPage::ConfigPage(AppContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    setObjectName(QStringLiteral("TabSheet3"));
    btn_Reconnect = new QPushButton(QStringLiteral("Odczytaj"), this);
    btn_Reconnect->setObjectName(QStringLiteral("btn_Reconnect"));
    btn_Reconnect->setGeometry(488, 440, 88, 28);
}

} // namespace kvt
