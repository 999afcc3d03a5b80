// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/HelpEntries.h"

#include "assist/TranslationStore.h"

#include <algorithm>

namespace kvt {

namespace {

using Trigger = HelpEntry::Trigger;

HelpLine keyed(const QString& key) {
    return {key, {}};
}
HelpLine fixed(const QString& text) {
    return {{}, text};
}

} // namespace

const QList<HelpEntry>& helpEntries() {
    static const QList<HelpEntry> Entries = {
        {QStringLiteral("btn_ProgOpen"), Trigger::Movement, {keyed(QStringLiteral("IDS_64"))}},
        {QStringLiteral("btn_SendProg"), Trigger::Movement, {keyed(QStringLiteral("IDS_141"))}},
        {QStringLiteral("JvXPButton3"), Trigger::Movement, {keyed(QStringLiteral("IDS_142"))}},
        {QStringLiteral("ComboBoxModulNumer"), Trigger::Click, {keyed(QStringLiteral("IDS_213"))}},
        {QStringLiteral("RadioButtonHome0"), Trigger::Movement, {keyed(QStringLiteral("IDS_205"))}},
        {QStringLiteral("RadioButtonHome1"), Trigger::Movement, {keyed(QStringLiteral("IDS_206"))}},
        {QStringLiteral("RadioButtonHome2"), Trigger::Movement, {keyed(QStringLiteral("IDS_111"))}},
        {QStringLiteral("cb_HomeAsLimitSwitch"),
         Trigger::Movement,
         {keyed(QStringLiteral("IDS_187")), keyed(QStringLiteral("IDS_188"))}},
        {QStringLiteral("cb_MotorAutoOff"), Trigger::Movement, {keyed(QStringLiteral("IDS_173"))}},
        {QStringLiteral("cb_InStartStopMode"), Trigger::Movement, {keyed(QStringLiteral("IDS_184"))}},
        {QStringLiteral("cb_AutoRed"), Trigger::Movement, {keyed(QStringLiteral("IDS_207"))}},
        {QStringLiteral("GroupBox_Encoder"),
         Trigger::Movement,
         {keyed(QStringLiteral("IDS_185")), keyed(QStringLiteral("IDS_186"))}},
        {QStringLiteral("GroupBox2"), Trigger::Movement, {keyed(QStringLiteral("IDS_182"))}},
        {QStringLiteral("GroupBox3"), Trigger::Movement, {keyed(QStringLiteral("IDS_183"))}},
        {QStringLiteral("Panel1"),
         Trigger::Movement,
         {keyed(QStringLiteral("IDS_60")), keyed(QStringLiteral("IDS_61"))}},
        {QStringLiteral("GroupBox_Homing"),
         Trigger::Movement,
         {fixed(QStringLiteral("Konfiguracja trybu bazowania")),
          fixed(QStringLiteral("Bazowanie proste - po wykryciu sygnału z wejścia K1 (Home1) silnik jest "
                               "automatycznie zatrzymywany i ustalana jest pozycja 0.")),
          fixed(QStringLiteral("Bazowanie precyzyjne - po wykryciu sygnału z wejścia K1 (Home1) silnik jest "
                               "automatycznie zatrzymywany, a następnie cofa się z prędkością 0,05 [obr/s], "
                               "aż do zaniknięcia sygnału z wejścia Home1 (odjazd od czujnika krańcowego")),
          fixed(QStringLiteral("Bazowanie inteligentne - nie jest wymagane podłączanie czujnika krańcowego "
                               "do wejścia Home1. Bazowanie wykorzystuje sygnał z enkodera. Pozycja jest "
                               "automatycznie zerowana po mechanicznym zatrzymaniu silnika."))}},
        {QStringLiteral("GroupBox_Ain"),
         Trigger::Movement,
         {fixed(QStringLiteral("Konfiguracja wejscia analogowego 0-10V")),
          fixed(QStringLiteral(
              "Tryb pracy wejscia \"Predkosc\" umożliwia sterowanie predkoscią silnika poprzez wejscie "
              "analogowe 0-10V. By załączyc napęd należy aktywowac wejscie RUN sterownika.")),
          fixed(QStringLiteral(
              "Prędkosc w stosunku do wartosci napięcia z wejscia 0-10V może zostac przeskalowana.")),
          fixed(QStringLiteral(
              " \"Pole \"Wartosc dla Vin = 0V\" okresla prędkosc dla wartosci napięcia = 0, natomiast pole "
              "\"Wartosc dla Vin = 10V\" okresla prędkosc dla wartosci napięcia wejsciowego = 10V")),
          fixed(QStringLiteral("Wprowadzone wartosci mogą byc takze ujemne, np. "))}},
        {QStringLiteral("Edit_RevToLinearCoef"),
         Trigger::Movement,
         {fixed(QStringLiteral(
              "Współczynnik skalujący - pozwala przeskalowac obroty silnika na inne jednostki (np. w "
              "przypadku zamiany ruch obrotowego na liniowy. Dodatkowo ustawiana jednostka obok pola "
              "wspólczynnika słuzy jedynie wizualnemu okresleniu ustawionej jednostki")),
          fixed(QStringLiteral("Np. silnik napędza mechanizm ze srubą o skoku 10mm - 1 obrót silnika "
                               "powoduje przesunięcie o 10mm. Wprowadzamy wspólczynnik = 10. Wówczas "
                               "wszystkie jednostki ruchu mogą byc podawane w [mm]."))}},
        {QStringLiteral("Edit_KP"),
         Trigger::Movement,
         {fixed(QStringLiteral("Wzmocnienie regulatora pozycji")),
          fixed(QStringLiteral("Parametr aktywny tylko dla pracy z enkoderem.")),
          fixed(
              QStringLiteral("Pozwala okreslic szybkosc korekcji pozycji po utracie pozycji przez silnik. ")),
          fixed(QStringLiteral("Uwaga, ustawiona zbyt duza wartosc współczynnika (>10) moze powodowac "
                               "problemy z ruchem silnika w trakcie korekcji"))}},
        {QStringLiteral("GroupBoxSpeedSets"),
         Trigger::Movement,
         {fixed(QStringLiteral("Zadanie prędkosci"))}},
        {QStringLiteral("GroupBox_PosSets"),
         Trigger::Movement,
         {fixed(QStringLiteral(
             "Zadanie pozycji absolutnej. Np zadanie wartosci 2 powoduje ruch na pozycję 2 (np. obr.), "
             "nastepnie zadanie 0 powoduje ruch na pozycję 0 (powrót do pozycji początkowej)"))}},
        {QStringLiteral("GroupBox_PosRelSet"),
         Trigger::Movement,
         {fixed(QStringLiteral("Zadanie pozycji relatywnej (względnej). Np zadanie wartosci 2 powoduje "
                               "zmiane pozycji o 2 (np. obr)."))}},
    };
    return Entries;
}

const HelpEntry* helpEntry(const QString& control) {
    const QList<HelpEntry>& entries = helpEntries();
    const auto it = std::find_if(entries.begin(), entries.end(),
                                 [&](const HelpEntry& e) { return e.control == control; });
    return it == entries.end() ? nullptr : &*it;
}

QStringList helpLines(const HelpEntry& entry, const TranslationStore& texts) {
    QStringList lines;
    for (const HelpLine& line : entry.lines)
        lines << (line.key.isEmpty() ? line.text : texts.text(line.key));
    return lines;
}

QString helpText(const HelpEntry& entry, const TranslationStore& texts) {
    return helpLines(entry, texts).join(QLatin1Char('\n'));
}

} // namespace kvt
