// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Cli.h"

#include "cli/Commands.h"
#include "cli/Options.h"
#include "cli/Output.h"
#include "cli/Session.h"
#include "cli/Simulation.h"
#include "link/HidBackend.h"
#include "system/QuitSignals.h"
#include "version/Version.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <exception>

namespace kvt::cli {

QString helpText(const Texts& tr) {
    const QString text = tr(
        R"(Usage: kvtctl [options] COMMAND [arguments]
Talks to one KVT servo controller (KVT318, KVT317, PXA-KVT) on USB, without a window.

Commands:
  list                        every HID device; the identity of each controller
  status [--watch [PERIOD]]   the live status; --watch prints a line per sample
                              (every 500ms, or PERIOD such as 200ms or 2s) until Ctrl-C
  config get [-o FILE] [--decimals N]
                              the configuration in the window's configuration-file
                              format (.kvt), to FILE or to standard output
  config set FILE [--dry-run] [--modbus] [--modbus-address N]
                              write the file's configuration, read it back, compare;
                              --modbus also writes the file's Modbus baud rate and
                              address, --modbus-address N with this address
  config diff FILE [--modbus] the fields where the controller and the file differ
  program send FILE [--address N] [--no-verify]
                              send the program of device address N (default 0) of a
                              program file (.txp), then read it back and compare
  program read [-o FILE]      the controller's program, to FILE or as a listing
  program start|pause|stop    run, pause or stop the stored program
  reg get [R50..R96 ...]      user registers (default R50 to R96)
  reg set R50=1.5 ...         set user registers, then read them back
  reg save                    keep the user registers in non-volatile memory
  modbus watch [--decode]     the Modbus frames the controller receives, a line per
                              frame (--decode: what each says) until Ctrl-C
  encoder-test                turn one revolution and check the encoder's pulses
  factory-reset --yes         restore the factory settings
  report -o FILE.pdf|.html|.json [--operator NAME] [--site TEXT]
         [--notes TEXT]       the commissioning report: identity, configuration,
                              Modbus link, live status and stored program
  move --to X | --by X | --speed V --allow-motion [--wait]
                              go to a position, move by a distance, run at a speed
  home --speed V --allow-motion [--wait]
                              home at speed V (its sign gives the direction)
  drive on|off --allow-motion switch the drive on or off
  stop                        stop the motor and the program (needs no flag)

Options:
  --device NAME        the controller: its path (/dev/hidraw3), serial number or
                       instance, as list shows them; needed with several controllers
  --simulate[=MODELS]  simulated controllers instead of USB: KVT318 (default),
                       KVT317, PXA-KVT; several separated by commas
  --sim-state FILE     where simulated controllers keep their memory between runs
                       (default %1)
  --timeout MS         how long to wait for each answer (default 2000)
  --json               one JSON document per result, one per line
  --lang pl|en         language of the messages (default: the locale's)
  --version            print the version
  -h, --help           print this help

Exit codes:
  0  success
  1  failure: a file that cannot be read or written, a value that is not a number
  2  usage error
  3  no controller, the one named is not there, or several and none named
  4  no access to the controller: install the udev rule (see kvtctl(1))
  5  no answer in time, or the controller vanished
  6  the controller holds something else than was written or expected
  130 interrupted
)",
        R"(Użycie: kvtctl [opcje] POLECENIE [argumenty]
Obsługuje jeden sterownik KVT (KVT318, KVT317, PXA-KVT) przez USB, bez okna.

Polecenia:
  list                        wszystkie urządzenia HID; identyfikacja sterowników
  status [--watch [OKRES]]    bieżący stan; --watch wypisuje wiersz na próbkę
                              (co 500ms lub co OKRES, np. 200ms, 2s) aż do Ctrl-C
  config get [-o PLIK] [--decimals N]
                              konfiguracja w formacie pliku konfiguracji programu
                              okienkowego (.kvt), do PLIKU lub na standardowe wyjście
  config set PLIK [--dry-run] [--modbus] [--modbus-address N]
                              zapis konfiguracji z pliku, odczyt i porównanie;
                              --modbus zapisuje też prędkość i adres Modbus z pliku,
                              --modbus-address N z tym adresem
  config diff PLIK [--modbus] pola, w których sterownik i plik się różnią
  program send PLIK [--address N] [--no-verify]
                              wysyła program adresu N (domyślnie 0) z pliku programu
                              (.txp), potem odczytuje go i porównuje
  program read [-o PLIK]      program sterownika, do PLIKU lub jako wykaz
  program start|pause|stop    uruchamia, wstrzymuje lub zatrzymuje program
  reg get [R50..R96 ...]      rejestry użytkownika (domyślnie R50 do R96)
  reg set R50=1.5 ...         ustawia rejestry użytkownika i odczytuje je
  reg save                    zapisuje rejestry w pamięci nieulotnej
  modbus watch [--decode]     ramki Modbus odbierane przez sterownik, wiersz na ramkę
                              (--decode: ich znaczenie) aż do Ctrl-C
  encoder-test                obrót o jeden obrót i sprawdzenie impulsów enkodera
  factory-reset --yes         przywraca ustawienia fabryczne
  report -o PLIK.pdf|.html|.json [--operator NAZWA] [--site TEKST]
         [--notes TEKST]      raport uruchomienia: identyfikacja, konfiguracja,
                              łącze Modbus, bieżący stan i program w sterowniku
  move --to X | --by X | --speed V --allow-motion [--wait]
                              jazda do pozycji, o odległość, z prędkością
  home --speed V --allow-motion [--wait]
                              bazowanie z prędkością V (znak określa kierunek)
  drive on|off --allow-motion włącza lub wyłącza napęd
  stop                        zatrzymuje silnik i program (bez dodatkowej opcji)

Opcje:
  --device NAZWA       sterownik: ścieżka (/dev/hidraw3), numer seryjny lub instancja,
                       jak pokazuje list; konieczne przy kilku sterownikach
  --simulate[=MODELE]  symulowane sterowniki zamiast USB: KVT318 (domyślnie),
                       KVT317, PXA-KVT; kilka oddzielonych przecinkami
  --sim-state PLIK     gdzie symulowane sterowniki pamiętają stan między
                       uruchomieniami (domyślnie %1)
  --timeout MS         jak długo czekać na każdą odpowiedź (domyślnie 2000)
  --json               jeden dokument JSON na wynik, jeden na wiersz
  --lang pl|en         język komunikatów (domyślnie według ustawień regionalnych)
  --version            wypisuje wersję
  -h, --help           wypisuje tę pomoc

Kody wyjścia:
  0  powodzenie
  1  błąd: pliku nie można odczytać lub zapisać, wartość nie jest liczbą
  2  błędne wywołanie
  3  brak sterownika, brak wskazanego albo kilka bez wskazania
  4  brak dostępu do sterownika: zainstaluj regułę udev (zob. kvtctl(1))
  5  brak odpowiedzi w czasie lub sterownik zniknął
  6  sterownik ma inne wartości niż zapisane lub oczekiwane
  130 przerwano
)");
    return text.arg(defaultSimStatePath());
}

namespace {

// The commissioning report paints its PDF, which needs fonts and so a Qt Gui application; it
// runs on the offscreen platform, so kvtctl still needs no display. Every other command stays a
// plain core application.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "report") == 0) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            // Qt Gui's notes about the session it starts in (no runtime folder) are not the
            // command's output: a script reads one line on standard error per failure.
            static QtMessageHandler previous = nullptr;
            previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context,
                                                 const QString& message) {
                if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths:")))
                    return;
                if (previous)
                    previous(type, context, message);
            });
            return std::make_unique<QGuiApplication>(argc, argv);
        }
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int run(int argc, char** argv, const HardwareBackendFactory& hardware) {
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kvtctl"));
    QCoreApplication::setApplicationVersion(QLatin1String(ProgramVersion));
    const QStringList arguments = QCoreApplication::arguments().mid(1);

    // Read once in the locale's language to find --lang, then again in the one chosen.
    Invocation inv = parseInvocation(arguments, Texts(languageFromLocale()));
    const Language language = inv.options.language.value_or(languageFromLocale());
    const Texts tr(language);
    if (language != languageFromLocale())
        inv = parseInvocation(arguments, tr);

    const Output out(inv.options.json);
    const QString named = commandName(inv.words); // as usage errors name it
    const QString helpHint =
        tr("; kvtctl --help lists the commands and options", "; kvtctl --help wymienia polecenia i opcje");
    if (!inv.error.isEmpty()) {
        out.error(named, {Exit::Usage, inv.error + helpHint});
        return int(Exit::Usage);
    }
    if (inv.options.help || inv.words == QStringList{QStringLiteral("help")}) {
        std::fputs(helpText(tr).toUtf8().constData(), stdout);
        return 0;
    }
    if (inv.options.version) {
        if (out.json())
            out.report(QStringLiteral("version"),
                       {{QStringLiteral("program"), QStringLiteral("kvtctl")},
                        {QStringLiteral("version"), QLatin1String(ProgramVersion)}});
        else
            std::printf("kvtctl %s\n", ProgramVersion);
        return 0;
    }
    if (inv.words.isEmpty()) {
        out.error({}, {Exit::Usage, tr("no command given", "nie podano polecenia") + helpHint});
        return int(Exit::Usage);
    }

    std::unique_ptr<Simulation> simulation;
    std::unique_ptr<HidBackend> hardwareBackend;
    if (!inv.options.simulate.isEmpty()) {
        auto started = Simulation::start(inv.options, tr);
        if (Failure* failure = std::get_if<Failure>(&started)) {
            out.error(named, *failure);
            return int(failure->exit);
        }
        simulation = std::move(std::get<std::unique_ptr<Simulation>>(started));
    } else {
        try {
            hardwareBackend = hardware();
        } catch (const std::exception& e) {
            // The environment names no backend this build has (KVT_HID_BACKEND).
            out.error({}, {Exit::Usage, QString::fromUtf8(e.what())});
            return int(Exit::Usage);
        }
    }
    HidBackend& backend = simulation ? simulation->backend() : *hardwareBackend;

    int exit = 0;
    {
        Session session(inv.options, out, tr, backend);
        auto made = makeCommand(inv.words, session);
        if (const QString* error = std::get_if<QString>(&made)) {
            out.error(named, {Exit::Usage, *error + helpHint});
            exit = int(Exit::Usage);
        } else {
            std::unique_ptr<Command> command = std::move(std::get<std::unique_ptr<Command>>(made));
            QuitSignals interrupts;
            QObject::connect(&interrupts, &QuitSignals::received, &session, &Session::interrupt);
            session.start(command.get());
            exit = QCoreApplication::exec();
        }
    }
    // Saved once every reader and writer of the device layer has stopped.
    if (simulation) {
        if (const std::optional<QString> error = simulation->save())
            out.warning(tr("simulated controllers: %1", "symulowane sterowniki: %1").arg(*error));
    }
    return exit;
}

} // namespace kvt::cli
