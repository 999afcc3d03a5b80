#pragma once

#include "shell/Page.h"

namespace kvt {

// The Program page: program file, transfer to and from the controller, and program execution.
class ProgramPage : public Page {
    Q_OBJECT
public:
    ProgramPage(AppContext& context, QWidget* parent = nullptr);

    std::optional<quint8> pollRequest() const override;
};

} // namespace kvt
