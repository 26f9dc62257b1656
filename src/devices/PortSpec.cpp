#include "devices/PortSpec.h"

#include "bell/Bus.h"
#include "bell/Transactions.h"
#include "devices/DirectPort.h"
#include "devices/ExecBridge.h"
#include "devices/PpdevPort.h"
#include "devices/TracingPort.h"
#include "platform/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace tinkla
{

namespace
{
// The context of this unit's texts in the translation catalogue.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(PortSpec)
};

constexpr double kMaxOptionMs = 60000.0;
constexpr int kMaxFaultAfterBytes = 1000000;

QString Grammar()
{
    return Text::tr("Возможные значения: sim[:ФАЙЛ][,absent|sda-low|scl-low|busy|wp|midread|"
                    "stretch=МС|twr=МС|release=МКС|after=N], ppdev:/dev/parportN, "
                    "direct:0x378, exec:КОМАНДА.");
}

// The user's text as a message quotes it: short and printable.
QString Quoted(const QString& text)
{
    QString shown = text.left(80);
    for (QChar& c : shown)
        if (c.unicode() < 0x20)
            c = QChar(u'?');
    if (text.size() > 80)
        shown += QStringLiteral("…");
    //: The quotation marks of the language around a user's text.
    return Text::tr("«%1»").arg(shown);
}

bool ParseMs(const QString& name, const QString& value, double* ms, QString* error)
{
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < 0.0 || v > kMaxOptionMs) {
        *error = Text::tr("Параметр %1 эмулятора звонка — время в миллисекундах от 0 до %2, "
                          "а не %3.")
                     .arg(name)
                     .arg(kMaxOptionMs)
                     .arg(Quoted(value));
        return false;
    }
    *ms = v;
    return true;
}

bool ParseSim(const QString& rest, PortSpec* parsed, QString* error)
{
    const QStringList parts = rest.split(QLatin1Char(','));
    QString path = parts.first().mid(1); // after the ':' (or nothing)
    if (path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
    parsed->sim.path = path.isEmpty() ? DefaultDoorbellFile() : path;
    for (int i = 1; i < parts.size(); ++i) {
        const QString& opt = parts[i];
        const int eq = opt.indexOf(QLatin1Char('='));
        const QString name = eq < 0 ? opt : opt.left(eq);
        const QString value = eq < 0 ? QString() : opt.mid(eq + 1);
        if (opt.isEmpty())
            continue;
        if (opt == QLatin1String("absent"))
            parsed->sim.absent = true;
        else if (opt == QLatin1String("sda-low"))
            parsed->sim.sdaLow = true;
        else if (opt == QLatin1String("scl-low"))
            parsed->sim.sclLow = true;
        else if (opt == QLatin1String("busy"))
            parsed->sim.busy = true;
        else if (opt == QLatin1String("wp"))
            parsed->sim.writeProtect = true;
        else if (opt == QLatin1String("midread"))
            parsed->sim.leftInRead = true;
        else if (eq >= 0 && name == QLatin1String("release")) {
            double ms = 0.0;
            if (!ParseMs(name, value, &ms, error)) // microseconds, within the same bounds
                return false;
            parsed->sim.releaseUs = ms;
        } else if (eq >= 0 && name == QLatin1String("after")) {
            bool ok = false;
            const int n = value.toInt(&ok);
            if (!ok || n < 0 || n > kMaxFaultAfterBytes) {
                *error = Text::tr("Параметр after эмулятора звонка — число байтов от 0 до "
                                  "%1, а не %2.")
                             .arg(kMaxFaultAfterBytes)
                             .arg(Quoted(value));
                return false;
            }
            parsed->sim.faultAfterBytes = n;
        } else if (eq >= 0 && name == QLatin1String("stretch")) {
            if (!ParseMs(name, value, &parsed->sim.stretchMs, error))
                return false;
        } else if (eq >= 0 && name == QLatin1String("twr")) {
            if (!ParseMs(name, value, &parsed->sim.twrMs, error))
                return false;
        } else {
            *error = Text::tr("Неизвестный параметр эмулятора звонка %1. Возможны: absent, "
                              "sda-low, scl-low, busy, wp, midread, stretch=МС, twr=МС, "
                              "release=МКС, after=N.")
                         .arg(Quoted(opt));
            return false;
        }
    }
    return true;
}

bool ParseBase(const QString& text, uint16_t* base, QString* error)
{
    QString digits = text;
    if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        digits = digits.mid(2);
    bool ok = false;
    const uint value = digits.size() <= 4 ? digits.toUInt(&ok, 16) : 0;
    // Below 0x100 sit the motherboard's own devices; the three registers must fit below 0x10000.
    if (!ok || digits.isEmpty() || value < 0x100 || value > 0xFFFD) {
        *error = Text::tr("Адрес порта %1 не подходит: нужен шестнадцатеричный адрес от 0x100 "
                          "до 0xfffd, например direct:0x378.")
                     .arg(Quoted(text));
        return false;
    }
    *base = static_cast<uint16_t>(value);
    return true;
}

struct Connection {
    PortDevice* top = nullptr;
    SimDoorbell* sim = nullptr;
    QString text;
};

Connection& Connected()
{
    static Connection connection;
    return connection;
}

// Whether two PORT texts name the same piece of hardware, which cannot be opened twice.
bool SameHardware(const QString& a, const QString& b)
{
    if (a == b)
        return true;
    PortSpec x;
    PortSpec y;
    QString ignored;
    if (!ParsePortSpec(a, &x, &ignored) || !ParsePortSpec(b, &y, &ignored) || x.kind != y.kind)
        return false;
    return (x.kind == PortSpec::Kind::Ppdev && x.device == y.device) ||
           (x.kind == PortSpec::Kind::Direct && x.base == y.base);
}

bool IsConnected()
{
    return Connected().top && Connected().top == Ports::Instance().Parallel();
}

QString LineStuckText(bool clock, const QString& where)
{
    return clock ? Text::tr("Линия тактов на %1 остается низкой, хотя программа ее отпустила: "
                            "проверьте кабель, питание звонка и интерфейс.")
                       .arg(where)
                 : Text::tr("Линия данных на %1 остается низкой, хотя программа ее "
                            "отпустила: проверьте кабель, питание звонка и интерфейс.")
                       .arg(where);
}

ProbeResult ProbeInstalled()
{
    PortDevice* device = Ports::Instance().Parallel();
    if (!device)
        return {false, Text::tr("Порт звонка не подключен.")};
    auto* port = dynamic_cast<ParallelPort*>(device);
    const QString where = port ? port->Describe() : Text::tr("порту");
    const BusProbe answer = ProbeBus(kDeviceFormatWrite);
    // A port that failed under the probe (a bridge that died) says why better than the lines.
    if (port && !port->Fault().isEmpty())
        return {false, port->Fault()};
    switch (answer) {
    case BusProbe::Answers:
        return {true, Text::tr("Звонок отвечает на %1.").arg(where)};
    case BusProbe::ClockStuckLow:
        return {false, LineStuckText(true, where)};
    case BusProbe::DataStuckLow:
        return {false, LineStuckText(false, where)};
    case BusProbe::ClockHeld:
        return {false, Text::tr("Линию тактов на %1 держат низкой дольше %2 с: "
                                "звонок или интерфейс неисправен.")
                           .arg(where)
                           .arg(g_dTimeout)};
    case BusProbe::NoAnswer:
        break;
    }
    return {false, Text::tr("Звонок не отвечает на %1: никто на шине не подтверждает свой "
                            "адрес. Проверьте, что звонок подключен к этому порту и включен.")
                       .arg(where)};
}

} // namespace

bool ParsePortSpec(const QString& input, PortSpec* parsed, QString* error)
{
    const QString text = input.trimmed();
    *parsed = PortSpec();
    if (text.size() > kMaxPortSpecLength) {
        *error = Text::tr("Описание порта длиннее %1 символов.").arg(kMaxPortSpecLength);
        return false;
    }
    const int colon = text.indexOf(QLatin1Char(':'));
    const QString scheme = text.left(colon < 0 ? text.size() : colon);
    const QString rest = colon < 0 ? QString() : text.mid(colon + 1);
    if (text == QLatin1String("sim") || text.startsWith(QLatin1String("sim:")) ||
        text.startsWith(QLatin1String("sim,"))) {
        parsed->kind = PortSpec::Kind::Sim;
        return ParseSim(text.mid(3), parsed, error);
    }
    if (scheme == QLatin1String("ppdev")) {
        parsed->kind = PortSpec::Kind::Ppdev;
        QString device = rest.isEmpty() ? QStringLiteral("/dev/parport0") : rest;
        if (!device.startsWith(QLatin1Char('/')))
            device = QStringLiteral("/dev/") + device;
        parsed->device = device;
        return true;
    }
    if (scheme == QLatin1String("direct")) {
        parsed->kind = PortSpec::Kind::Direct;
        return rest.isEmpty() || ParseBase(rest, &parsed->base, error);
    }
    if (scheme == QLatin1String("exec") && colon >= 0) {
        parsed->kind = PortSpec::Kind::Exec;
        parsed->command = rest.trimmed();
        if (parsed->command.isEmpty()) {
            *error = Text::tr("После «exec:» нужна команда программы-моста.");
            return false;
        }
        return true;
    }
    *error = Text::tr("Неизвестный порт %1. %2").arg(Quoted(text), Grammar());
    return false;
}

OpenedPort OpenPort(const QString& text)
{
    OpenedPort opened;
    PortSpec parsed;
    if (!ParsePortSpec(text, &parsed, &opened.error))
        return opened;
    switch (parsed.kind) {
    case PortSpec::Kind::Sim: {
        auto sim = std::make_unique<SimDoorbell>(parsed.sim);
        if (!sim->FileError().isEmpty()) {
            opened.error = sim->FileError();
            return opened;
        }
        opened.sim = sim.get();
        opened.device = std::move(sim);
        break;
    }
    case PortSpec::Kind::Ppdev:
        opened.device = PpdevPort::Open(parsed.device, &opened.error);
        break;
    case PortSpec::Kind::Direct:
        opened.device = DirectPort::Open(parsed.base, &opened.error);
        break;
    case PortSpec::Kind::Exec:
        opened.device = ExecBridge::Start(parsed.command, &opened.error);
        break;
    }
    return opened;
}

bool ConnectPort(const QString& text, QString* error, const QString& traceFile, bool traceTimes)
{
    OpenedPort opened = OpenPort(text);
    if (!opened.device) {
        *error = opened.error;
        return false;
    }
    std::unique_ptr<PortDevice> top = std::move(opened.device);
    if (!traceFile.isEmpty()) {
        auto tracing = TracingPort::Open(std::move(top), traceFile, error);
        if (!tracing)
            return false;
        tracing->SetTimes(traceTimes);
        top = std::move(tracing);
    }
    Connected() = Connection{top.get(), opened.sim, text};
    Ports::Instance().SetParallel(std::move(top));
    return true;
}

SimDoorbell* ConnectedSim()
{
    return IsConnected() ? Connected().sim : nullptr;
}

QString ConnectedPortText()
{
    return IsConnected() ? Connected().text : QString();
}

void DisconnectPort()
{
    Ports::Instance().SetParallel(nullptr);
    Connected() = Connection{};
}

ProbeResult ProbeDoorbell(const QString& text)
{
    if (IsConnected() && SameHardware(Connected().text, text))
        return ProbeInstalled();
    OpenedPort opened = OpenPort(text);
    if (!opened.device)
        return {false, opened.error};
    std::unique_ptr<PortDevice> previous =
        Ports::Instance().ExchangeParallel(std::move(opened.device));
    const ProbeResult result = ProbeInstalled();
    Ports::Instance().ExchangeParallel(std::move(previous)); // the probed port closes here
    return result;
}

} // namespace tinkla
