#include "app/Program.h"

#include "app/TForm1.h"
#include "assist/TForm2.h"
#include "encoder/TForm3.h"
#include "program/TFormProgress.h"

namespace kvt {

Program::Program(HidBackend& backend, DialogService& dialogs) {
    Form1 = new TForm1(backend, dialogs);
    auto language = [form = Form1] { return form->languageIndex(); };
    FormProgress = new TFormProgress(language, Form1);
    Form2 = new TForm2(language, Form1);
    Form3 = new TForm3(Form1->context(), language, Form1);
    Form1->attachWindows(FormProgress, Form2, Form3);
}

Program::~Program() {
    delete Form1; // the secondary windows are its children
}

} // namespace kvt
