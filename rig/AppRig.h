// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

class QObject;
class QWidget;

namespace kvt {
class Program;
class ScriptedDialogService;
namespace sim {
class SimBackend;
}
} // namespace kvt

namespace rig {

// A box or file dialog the application showed.
struct Dialog {
    QString kind; // "information", "warning", "question", "error", "open" or "save"
    QString text; // the text as shown, or a file dialog's filter
    QString caption;
};

// The whole application, built as program entry builds it, on a simulated HID backend with a
// scripted dialog service, for tests that act as a user would. One exists at a time; the caller
// creates the QApplication and sets the default QLocale first.
class AppRig {
public:
    // Start::AsTheProgram builds the window as the program's own start does: the shown page
    // first, the hidden pages and the device scan once the window has been painted (or input has
    // reached it). The window is shown but nothing is settled, so a test sees it as it is before
    // its first paint. The plain constructor builds everything at once, then shows and settles.
    enum class Start { AllAtOnce, AsTheProgram };

    AppRig();
    explicit AppRig(Start start);
    ~AppRig();
    AppRig(const AppRig&) = delete;
    AppRig& operator=(const AppRig&) = delete;

    // Finding controls: a plain name is looked up in TForm1, TForm2, TForm3, TFormProgress in
    // that order; "TForm3.btn_EncoderTest" names the control of one window.
    QWidget* widget(const QString& name);
    QObject* object(const QString& name);

    // Reading controls.
    QString text(const QString& name);
    bool visible(const QString& name);
    bool enabled(const QString& name);
    bool checked(const QString& name);
    int index(const QString& name);
    QStringList items(const QString& name);
    QString cell(const QString& name, int col, int row);
    QString statusPanel(int i);
    int page();
    QColor background(const QString& name);
    QColor textColor(const QString& name);

    // Acting as a user: true when done, false when the control is hidden, disabled or blocked.
    bool click(const QString& name);
    bool type(const QString& name, const QString& text);
    bool choose(const QString& name, int index);
    bool showPage(int index);
    bool hover(const QString& name);
    bool openList(const QString& name);
    bool selectCell(const QString& name, int col, int row);
    bool setLanguage(int index);

    // Dialogs.
    QList<Dialog> dialogs();
    void clearDialogs();
    void answer(bool ok);
    void answerFile(const QString& path);
    void holdDialogs(bool hold);
    bool closeDialog(bool ok);

    // Time: processes events for at least `ms` of real time (the simulated controllers' clocks
    // advance as much), then until nothing is pending.
    void settle(int ms = 0);

    // Devices, listed in the order they were plugged.
    int plugController(const QString& model, float firmware = 2.04f, const QString& deviceText = "SIM");
    int plugDevice(const QString& productString, quint16 vid = 0x1234, quint16 pid = 0x5678,
                   bool access = true, int inLen = 65, int outLen = 65);
    void unplug(int id = -1);
    void replug(int id);
    void setAccess(int id, bool access);
    QList<QByteArray> written();
    QList<QByteArray> writtenTo(int id);
    void clearWritten();
    void inject(QByteArray response, int id = -1);

    // Beyond the user's view, for this project's own tests.
    kvt::Program& program();
    kvt::sim::SimBackend& sim();
    kvt::ScriptedDialogService& dialogService();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace rig
