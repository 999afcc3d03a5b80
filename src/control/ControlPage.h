#pragma once

#include "shell/Page.h"

namespace kvt {

// The Control page ("Sterowanie"): live status, direct motion commands and motion parameters.
class ControlPage : public Page {
    Q_OBJECT
public:
    ControlPage(AppContext& context, QWidget* parent = nullptr);

    std::optional<quint8> pollRequest() const override;
};

} // namespace kvt
