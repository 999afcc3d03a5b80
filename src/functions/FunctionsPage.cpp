// SPDX-License-Identifier: GPL-3.0-or-later
#include "functions/FunctionsPage.h"

#include "assist/Colors.h"
#include "assist/DialogService.h"
#include "format/InvalidEntry.h"
#include "functions/AxisPicture.h"
#include "program/ProgramTransfer.h"
#include "shell/AppContext.h"
#include "shell/AskedController.h"
#include "shell/Widgets.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <algorithm>

namespace kvt {

namespace {

QLineEdit* entry(const QString& text, QWidget* parent, const char* name, const QRect& geometry) {
    auto* field = named(new QLineEdit(text, parent), name);
    field->setGeometry(geometry);
    field->setAlignment(Qt::AlignRight);
    return field;
}

} // namespace

FunctionsPage::FunctionsPage(AppContext& context, ProgramTransfer& transfer, QWidget* parent, Build build)
    : Page(context, QStringLiteral("TabSheet1"), parent), transfer_(transfer) {
    if (build == Build::Now)
        ensureBuilt();
}

void FunctionsPage::buildContent() {
    Label42 = named(new QLabel(QStringLiteral("Automatyczne funkcje ruchu pozwalają w szybki sposób "
                                              "skonfigurowac sterownik do prostych zadan."),
                               this),
                    "Label42");
    Label42->setGeometry(12, 6, 560, 36);
    Label42->setWordWrap(true);

    Panel1 = named(new QFrame(this), "Panel1");
    Panel1->setGeometry(10, 48, 564, 236);
    Panel1->setFrameShape(QFrame::Box);
    Panel1->setAutoFillBackground(true);
    setBackground(Panel1, Qt::white);

    Label43 = named(
        new QLabel(QStringLiteral("1. Automatyczna zmiana kierunków ruchu od sygnałów z wejsc Home1 i Home2"),
                   Panel1),
        "Label43");
    Label43->setGeometry(10, 8, 544, 20);
    QFont title = Label43->font();
    title.setBold(true);
    Label43->setFont(title);

    Image1 = named(new QLabel(Panel1), "Image1");
    Image1->setGeometry(112, 40, 340, 116);
    Image1->setPixmap(functions::axisPicture(340, 116));

    Label29 = named(new QLabel(QStringLiteral("Czekaj [ms]"), Panel1), "Label29");
    Label29->setGeometry(12, 78, 96, 18);
    Edit_AF_Wait1 = entry(QStringLiteral("500"), Panel1, "Edit_AF_Wait1", QRect(12, 98, 90, 24));

    Label32 = named(new QLabel(QStringLiteral("Czekaj [ms]"), Panel1), "Label32");
    Label32->setGeometry(462, 78, 96, 18);
    Edit_AF_Wait2 = entry(QStringLiteral("500"), Panel1, "Edit_AF_Wait2", QRect(462, 98, 90, 24));

    Labe_lAutoFunc1_Speed =
        named(new QLabel(QStringLiteral("Prędkosc [obr/s]"), Panel1), "Labe_lAutoFunc1_Speed");
    Labe_lAutoFunc1_Speed->setGeometry(170, 166, 160, 18);
    Edit_AF_Speed = entry(QStringLiteral("1,0"), Panel1, "Edit_AF_Speed", QRect(170, 186, 90, 24));
    Edit_AF_Ain = named(new QCheckBox(QStringLiteral("We. 0-10V"), Panel1), "Edit_AF_Ain");
    Edit_AF_Ain->setGeometry(272, 188, 110, 20);
    connect(Edit_AF_Ain, &QCheckBox::clicked, this, &FunctionsPage::toggleAnalogSpeed);

    btn_MotionFunctionSet =
        named(new QPushButton(QStringLiteral("Programuj"), Panel1), "btn_MotionFunctionSet");
    btn_MotionFunctionSet->setGeometry(440, 182, 112, 32);
    connect(btn_MotionFunctionSet, &QPushButton::clicked, this, &FunctionsPage::programFunction);
}

void FunctionsPage::toggleAnalogSpeed() {
    Edit_AF_Speed->setEnabled(!Edit_AF_Ain->isChecked());
}

std::optional<functions::AutoFunctionSettings> FunctionsPage::readSettings() {
    functions::AutoFunctionSettings settings;
    // The speed is read even when the field is disabled: the analog variant does not use it,
    // but an invalid entry is still reported.
    restoreEntryBackground(Edit_AF_Speed);
    const fmt::Separators separators = fmt::Separators::current();
    const std::optional<float> speed = functions::readSpeed(Edit_AF_Speed->text(), separators);
    if (!speed) {
        showInvalidEntry(Edit_AF_Speed, *context_.dialogs, *context_.texts);
        return std::nullopt;
    }
    settings.speed = *speed;
    Edit_AF_Speed->setText(functions::speedText(*speed, separators));

    for (auto [field, wait] :
         {std::pair{Edit_AF_Wait1, &settings.wait1}, std::pair{Edit_AF_Wait2, &settings.wait2}}) {
        restoreEntryBackground(field);
        const std::optional<qint32> value = functions::readWait(field->text());
        if (!value) {
            showInvalidEntry(field, *context_.dialogs, *context_.texts);
            return std::nullopt;
        }
        *wait = *value;
        field->setText(functions::waitText(*value));
    }
    settings.analogSpeed = Edit_AF_Ain->isChecked();
    return settings;
}

void FunctionsPage::programFunction() {
    const std::optional<functions::AutoFunctionSettings> settings = readSettings();
    if (!settings)
        return;
    context_.dialogs->message(
        window(), DialogService::Icon::Question, context_.text(QStringLiteral("IDS_43")),
        context_.text(QStringLiteral("IDS_58")), DialogService::Buttons::OkCancel,
        [page = QPointer<FunctionsPage>(this), s = *settings, asked = AskedController(context_)](bool ok) {
            if (ok && page && asked.stillActive(page->context_, page->window()))
                page->sendProgram(s);
        });
}

void FunctionsPage::applyModelProfile(const control::ModelProfile& profile) {
    Edit_AF_Speed->setText(profile.autoFunctionSpeed);
}

void FunctionsPage::sendProgram(const functions::AutoFunctionSettings& settings) {
    // The generated program replaces the whole store; records beyond it are zeros.
    const QList<program::CommandRecord> records = functions::generateProgram(settings);
    program::ProgramStore& store = transfer_.store();
    store.commands.fill(program::CommandRecord{});
    std::copy(records.begin(), records.end(), store.commands.begin());
    transfer_.start(quint32(records.size()));
}

} // namespace kvt
