#pragma once

#include <QWidget>

namespace kvt {

struct AppContext;

// The Control page ("Sterowanie"): live status, direct motion commands and motion parameters.
class ControlPage : public QWidget {
    Q_OBJECT
public:
    ControlPage(AppContext& context, QWidget* parent = nullptr);

private:
    AppContext& context_;
};

} // namespace kvt
