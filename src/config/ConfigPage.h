#pragma once

#include "shell/Page.h"

class QPushButton;

namespace kvt {

// The Configuration page ("Konfiguracja"): the controller's stored configuration.
class ConfigPage : public Page {
    Q_OBJECT
public:
    ConfigPage(AppContext& context, QWidget* parent = nullptr);

    QPushButton* btn_Reconnect; // "Odczytaj": reads the identity and configuration again
};

} // namespace kvt
