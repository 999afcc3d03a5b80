// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppRig.h"

#include "RigControls.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/TrendModule.h"
#include "assist/AboutWindow.h"
#include "assist/Colors.h"
#include "assist/Components.h"
#include "assist/ScriptedDialogService.h"
#include "assist/StatusBar.h"
#include "encoder/EncoderTestWindow.h"
#include "link/HidDevice.h"
#include "link/HidDeviceManager.h"
#include "link/Transport.h"
#include "program/ProgressWindow.h"
#include "sim/SimBackend.h"
#include "trend/TrendWindow.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QThread>

namespace rig {

struct AppRig::Impl {
    std::unique_ptr<kvt::ScriptedDialogService> dialogs = std::make_unique<kvt::ScriptedDialogService>();
    std::unique_ptr<kvt::sim::SimBackend> sim = std::make_unique<kvt::sim::SimBackend>();
    std::unique_ptr<kvt::Program> program;

    QList<QWidget*> windows() const {
        return {program->mainWindow, program->aboutWindow, program->encoderTestWindow,
                program->progressWindow};
    }
    QWidget* windowNamed(const QString& name) const {
        for (QWidget* window : windows()) {
            if (window->objectName() == name)
                return window;
        }
        return nullptr;
    }
    bool idle() const {
        return sim->pendingInput() == 0 && program->mainWindow->deviceManager().ioPending() == 0 &&
               dialogs->pendingContinuations() == 0;
    }
};

namespace {
void fail(const QString& message) {
    QTest::qFail(qPrintable(QStringLiteral("rig: ") + message), __FILE__, __LINE__);
}

template <typename T> T* as(QObject* object, const QString& name, const char* what) {
    auto* typed = qobject_cast<T*>(object);
    if (object && !typed)
        fail(QStringLiteral("\"%1\" is not %2").arg(name, QLatin1String(what)));
    return typed;
}
} // namespace

AppRig::AppRig() : AppRig(Start::AllAtOnce) {}

AppRig::AppRig(Start start) : d(std::make_unique<Impl>()) {
    // The program loads the trend window from its module beside the executable; a suite built on
    // the rig has none there, so the rig links the window in and hands its maker over.
    kvt::TrendModule::provide(&kvt::trend::TrendWindow::create);
    d->sim->setManualClock(true);
    d->program =
        std::make_unique<kvt::Program>(*d->sim, *d->dialogs,
                                       start == Start::AllAtOnce ? kvt::MainWindow::StartUp::Complete
                                                                 : kvt::MainWindow::StartUp::WindowFirst);
    d->program->mainWindow->show();
    if (start == Start::AllAtOnce)
        settle();
}

AppRig::~AppRig() {
    d->program.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    d->sim.reset();
    d->dialogs.reset();
}

kvt::Program& AppRig::program() {
    return *d->program;
}
kvt::sim::SimBackend& AppRig::sim() {
    return *d->sim;
}
kvt::ScriptedDialogService& AppRig::dialogService() {
    return *d->dialogs;
}

QObject* AppRig::object(const QString& name) {
    QObject* found = nullptr;
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot > 0) {
        if (QWidget* window = d->windowNamed(name.left(dot)))
            found = kvt::findComponent(window, name.mid(dot + 1));
    } else {
        for (QWidget* window : d->windows()) {
            if ((found = kvt::findComponent(window, name)))
                break;
        }
    }
    if (!found)
        fail(QStringLiteral("no control named \"%1\"").arg(name));
    return found;
}

QWidget* AppRig::widget(const QString& name) {
    return as<QWidget>(object(name), name, "a widget");
}

QString AppRig::text(const QString& name) {
    QObject* o = object(name);
    if (!o)
        return {};
    bool ok = false;
    QString result = userText(o, &ok);
    if (!ok)
        fail(QStringLiteral("\"%1\" shows no text").arg(name));
    return result;
}

bool AppRig::visible(const QString& name) {
    QObject* o = object(name);
    if (auto* action = qobject_cast<QAction*>(o))
        return action->isVisible();
    auto* w = as<QWidget>(o, name, "a control");
    if (!w)
        return false;
    return w->isWindow() ? w->isVisible() : !w->isHidden();
}

bool AppRig::enabled(const QString& name) {
    QObject* o = object(name);
    if (auto* action = qobject_cast<QAction*>(o))
        return action->isEnabled();
    auto* w = as<QWidget>(o, name, "a control");
    // Its own setting: a disabled parent marks it WA_Disabled too, but only its own
    // setEnabled(false) marks it WA_ForceDisabled.
    return w && !w->testAttribute(Qt::WA_ForceDisabled);
}

bool AppRig::checked(const QString& name) {
    QObject* o = object(name);
    if (auto* action = qobject_cast<QAction*>(o))
        return action->isChecked();
    auto* button = as<QAbstractButton>(o, name, "a check box or option");
    return button && button->isChecked();
}

int AppRig::index(const QString& name) {
    QObject* o = object(name);
    if (!o)
        return -1;
    if (auto* combo = qobject_cast<QComboBox*>(o))
        return combo->currentIndex();
    if (auto* slider = qobject_cast<QAbstractSlider*>(o))
        return slider->value();
    if (auto* bar = qobject_cast<QProgressBar*>(o))
        return bar->value();
    // A picture area that shows one of a list of pictures keeps the number in "pictureIndex".
    const QVariant picture = o->property("pictureIndex");
    if (picture.isValid())
        return picture.toInt();
    fail(QStringLiteral("\"%1\" has no index").arg(name));
    return -1;
}

QStringList AppRig::items(const QString& name) {
    QObject* o = object(name);
    QStringList result;
    if (auto* combo = qobject_cast<QComboBox*>(o)) {
        for (int i = 0; i < combo->count(); ++i)
            result << combo->itemText(i);
    } else if (auto* list = qobject_cast<QListWidget*>(o)) {
        for (int i = 0; i < list->count(); ++i)
            result << list->item(i)->text();
    } else if (o) {
        fail(QStringLiteral("\"%1\" has no items").arg(name));
    }
    return result;
}

QString AppRig::cell(const QString& name, int col, int row) {
    auto* grid = as<QTableWidget>(object(name), name, "a grid");
    if (!grid)
        return {};
    if (row < 0 || col < 0 || row >= grid->rowCount() || col >= grid->columnCount()) {
        fail(QStringLiteral("\"%1\" has no cell %2, %3").arg(name).arg(col).arg(row));
        return {};
    }
    const QTableWidgetItem* item = grid->item(row, col);
    return item ? item->text() : QString();
}

QString AppRig::statusPanel(int i) {
    return d->program->mainWindow->statusPanels().panelText(i);
}

int AppRig::page() {
    return d->program->mainWindow->pages()->currentIndex();
}

QColor AppRig::background(const QString& name) {
    auto* w = widget(name);
    return w ? kvt::background(w) : QColor();
}

QColor AppRig::textColor(const QString& name) {
    auto* w = widget(name);
    return w ? kvt::textColor(w) : QColor();
}

namespace {
bool held(const kvt::ScriptedDialogService& dialogs) {
    return dialogs.openCount() > 0; // an open box blocks the windows behind it
}

void pressAndRelease(QWidget* w) {
    const QPoint at = w->rect().center();
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}
} // namespace

bool AppRig::click(const QString& name) {
    QObject* o = object(name);
    if (!o)
        return false;
    if (auto* action = qobject_cast<QAction*>(o)) {
        if (!action->isEnabled() || !action->isVisible() || held(*d->dialogs) ||
            !reachable(kvt::owningWindow(action)))
            return false;
        action->trigger();
        return true;
    }
    auto* w = as<QWidget>(o, name, "a control");
    if (!w || held(*d->dialogs) || !reachable(w))
        return false;
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->click();
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        pressAndRelease(combo);
        combo->hidePopup();
    } else if (qobject_cast<QLineEdit*>(w)) {
        pressAndRelease(w);
    } else {
        fail(QStringLiteral("\"%1\" cannot be clicked").arg(name));
        return false;
    }
    return true;
}

bool AppRig::type(const QString& name, const QString& text) {
    auto* edit = as<QLineEdit>(object(name), name, "an edit field");
    if (!edit || held(*d->dialogs) || !reachable(edit) || edit->isReadOnly())
        return false;
    edit->setText(text);
    emit edit->textEdited(edit->text());
    return true;
}

bool AppRig::choose(const QString& name, int index) {
    QObject* o = object(name);
    if (auto* combo = qobject_cast<QComboBox*>(o)) {
        if (index < 0 || index >= combo->count()) {
            fail(QStringLiteral("\"%1\" has no item %2").arg(name).arg(index));
            return false;
        }
        if (held(*d->dialogs) || !reachable(combo))
            return false;
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        return true;
    }
    if (auto* slider = qobject_cast<QAbstractSlider*>(o)) {
        if (held(*d->dialogs) || !reachable(slider))
            return false;
        slider->setValue(index);
        emit slider->actionTriggered(QAbstractSlider::SliderMove);
        return true;
    }
    if (o)
        fail(QStringLiteral("\"%1\" is not a drop-down or scroll bar").arg(name));
    return false;
}

bool AppRig::showPage(int index) {
    QTabWidget* tabs = d->program->mainWindow->pages();
    if (index < 0 || index >= tabs->count()) {
        fail(QStringLiteral("no page %1").arg(index));
        return false;
    }
    if (held(*d->dialogs) || !reachable(tabs) || !tabs->isTabEnabled(index))
        return false;
    tabs->setCurrentIndex(index);
    return true;
}

bool AppRig::hover(const QString& name) {
    auto* w = widget(name);
    if (!w || held(*d->dialogs) || !reachable(w))
        return false;
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), w->mapToGlobal(QPointF(1, 1)));
    QApplication::sendEvent(w, &enter);
    const QPointF at = w->rect().center();
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    return true;
}

bool AppRig::openList(const QString& name) {
    auto* combo = as<QComboBox>(object(name), name, "a drop-down");
    if (!combo || held(*d->dialogs) || !reachable(combo))
        return false;
    combo->showPopup();
    combo->hidePopup();
    return true;
}

bool AppRig::selectCell(const QString& name, int col, int row) {
    auto* grid = as<QTableWidget>(object(name), name, "a grid");
    if (!grid)
        return false;
    if (row < 0 || col < 0 || row >= grid->rowCount() || col >= grid->columnCount()) {
        fail(QStringLiteral("\"%1\" has no cell %2, %3").arg(name).arg(col).arg(row));
        return false;
    }
    if (held(*d->dialogs) || !reachable(grid))
        return false;
    grid->setCurrentCell(row, col);
    emit grid->cellClicked(row, col);
    return true;
}

bool AppRig::setLanguage(int index) {
    return choose(QStringLiteral("siLangCombo1"), index);
}

QList<Dialog> AppRig::dialogs() {
    QList<Dialog> result;
    for (const auto& shown : d->dialogs->shown())
        result.append({shown.kind, shown.text, shown.caption});
    return result;
}

void AppRig::clearDialogs() {
    d->dialogs->clearShown();
}
void AppRig::answer(bool ok) {
    d->dialogs->queueAnswer(ok);
}
void AppRig::answerFile(const QString& path) {
    d->dialogs->queueFile(path);
}
void AppRig::holdDialogs(bool hold) {
    d->dialogs->setHolding(hold);
}
bool AppRig::closeDialog(bool ok) {
    return d->dialogs->closeOldest(ok);
}

void AppRig::settle(int ms) {
    QElapsedTimer clock;
    clock.start();
    qint64 advanced = 0;
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const qint64 now = std::min<qint64>(clock.elapsed(), ms);
        if (now > advanced) {
            d->sim->advance(int(now - advanced));
            advanced = now;
        }
        if (clock.elapsed() < ms)
            QThread::usleep(500);
    }
    if (advanced < ms)
        d->sim->advance(int(ms - advanced));
    // Then until nothing is pending: I/O on its way, posted events, box continuations.
    QElapsedTimer extra;
    extra.start();
    int quietPasses = 0;
    while (quietPasses < 2) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (d->idle()) {
            ++quietPasses;
        } else {
            quietPasses = 0;
            QThread::usleep(100);
        }
        if (extra.elapsed() > 5000) {
            fail(QStringLiteral("settle: still busy 5 s after %1 ms (input %2, io %3, continuations %4)")
                     .arg(ms)
                     .arg(d->sim->pendingInput())
                     .arg(d->program->mainWindow->deviceManager().ioPending())
                     .arg(d->dialogs->pendingContinuations()));
            return;
        }
    }
}

int AppRig::plugController(const QString& model, float firmware, const QString& deviceText) {
    return d->sim->plugController(model, firmware, deviceText);
}

int AppRig::plugDevice(const QString& productString, quint16 vid, quint16 pid, bool access, int inLen,
                       int outLen) {
    return d->sim->plugDevice(productString, vid, pid, access, inLen, outLen);
}

void AppRig::unplug(int id) {
    if (id == -1)
        d->sim->unplugAll();
    else
        d->sim->unplug(id);
}

void AppRig::replug(int id) {
    d->sim->replug(id);
}
void AppRig::setAccess(int id, bool access) {
    d->sim->setAccess(id, access);
}

QList<QByteArray> AppRig::written() {
    QList<QByteArray> result;
    for (const auto& w : d->sim->written())
        result << w.report;
    return result;
}

QList<QByteArray> AppRig::writtenTo(int id) {
    QList<QByteArray> result;
    for (const auto& w : d->sim->written()) {
        if (w.device == id)
            result << w.report;
    }
    return result;
}

void AppRig::clearWritten() {
    d->sim->clearWritten();
}

void AppRig::inject(QByteArray response, int id) {
    if (id == -1) {
        const kvt::HidDevice* active = d->program->mainWindow->link().activeDevice();
        for (int candidate : d->sim->pluggedIds()) {
            if (active && d->sim->info(candidate).instance == active->deviceInstance())
                id = candidate;
        }
        if (id == -1) {
            fail(QStringLiteral("inject: no active device"));
            return;
        }
    }
    if (!d->sim->isPlugged(id)) {
        fail(QStringLiteral("inject: device %1 is not plugged").arg(id));
        return;
    }
    d->sim->inject(id, response);
}

} // namespace rig
