#pragma once

#include <QWidget>

namespace kvt {

struct AppContext;

// The Program page: program file, transfer to and from the controller, and program execution.
class ProgramPage : public QWidget {
    Q_OBJECT
public:
    ProgramPage(AppContext& context, QWidget* parent = nullptr);

private:
    AppContext& context_;
};

} // namespace kvt
