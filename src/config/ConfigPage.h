#pragma once

#include <QWidget>

class QPushButton;

namespace kvt {

struct AppContext;

// The Configuration page ("Konfiguracja"): the controller's stored configuration.
class ConfigPage : public QWidget {
    Q_OBJECT
public:
    ConfigPage(AppContext& context, QWidget* parent = nullptr);

    QPushButton* btn_Reconnect; // "Odczytaj": reads the identity and configuration again

private:
    AppContext& context_;
};

} // namespace kvt
