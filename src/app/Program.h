#pragma once

namespace kvt {

class DialogService;
class HidBackend;
class TForm1;
class TForm2;
class TForm3;
class TFormProgress;

// The application's windows, created in program-entry order: the main window first, then the
// progress, About and encoder test windows, which stay hidden until used.
class Program {
public:
    Program(HidBackend& backend, DialogService& dialogs);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    TForm1* Form1;
    TFormProgress* FormProgress;
    TForm2* Form2;
    TForm3* Form3;
};

// The application's title (task-bar text).
inline constexpr const char* ApplicationTitle = "KVT318-REVIZAREDUVA";

} // namespace kvt
