#pragma once

#include <QWidget>

namespace kvt {

struct AppContext;

// The Functions page ("Funkcje"): the generated back-and-forth program.
class FunctionsPage : public QWidget {
    Q_OBJECT
public:
    FunctionsPage(AppContext& context, QWidget* parent = nullptr);

private:
    AppContext& context_;
};

} // namespace kvt
