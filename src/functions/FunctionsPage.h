#pragma once

#include "shell/Page.h"

namespace kvt {

// The Functions page ("Funkcje"): the generated back-and-forth program.
class FunctionsPage : public Page {
    Q_OBJECT
public:
    FunctionsPage(AppContext& context, QWidget* parent = nullptr);
};

} // namespace kvt
