#include "ctl/TCtlCommand.h"

#include "datalog/TDatalogFormat.h"
#include "datalog/TDatalogRow.h"
#include "link/TKorvelComm.h"
#include "protocol/TControllerRules.h"
#include "protocol/TCtrlSetCompare.h"
#include "protocol/TCtrlSetItem.h"
#include "protocol/TFixedTexts.h"
#include "protocol/TTelemetryMonitor.h"
#include "session/TControlSetFile.h"
#include "session/TPasswordField.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <algorithm>
#include <cmath>

#include "settings/Gettext.h"

namespace {

// The longest the monitor lets the session run before it looks at the clock again; frames come
// in as events during the pause.
constexpr int kMonitorPassMs = 250;

QString Translate(const char* text)
{
    return TGettext::Translate(text);
}

QString AdapterPanel(const TControllerSession& session)
{
    const QString label = QString::fromLatin1(TFixedTexts::AdapterLabel).trimmed();
    return session.AdapterFound()
        ? label + QLatin1Char(' ') + TFixedTexts::VersionText(session.AdapterVersion())
        : label + QString::fromLatin1(TFixedTexts::DisconnectedText);
}

QString ControllerPanel(const TControllerSession& session)
{
    const QString label = QString::fromLatin1(TFixedTexts::ControllerLabel);
    if (session.ControllerVersion() != 0)
        return label + QLatin1Char(' ') + TFixedTexts::VersionText(session.ControllerVersion());
    return label + QString::fromLatin1(session.AdapterFound() ? TFixedTexts::DetectedText
                                                               : TFixedTexts::NotDetectedText);
}

// A number of seconds given on the command line, within (0, max].
bool ParseSeconds(const QString& text, double max, double& seconds)
{
    bool ok = false;
    seconds = text.toDouble(&ok);
    return ok && std::isfinite(seconds) && seconds > 0 && seconds <= max;
}

QJsonObject ItemJson(const TCtrlSetItem& item, int raw)
{
    return QJsonObject {
        { QStringLiteral("name"), QString::fromLatin1(item.name) },
        { QStringLiteral("caption"), item.CaptionText(Translate) },
        { QStringLiteral("value"), item.ValueText(raw, Translate) },
        { QStringLiteral("unit"), item.unit ? Translate(item.unit) : QString() },
        { QStringLiteral("raw"), raw },
    };
}

} // namespace

TCtlCommand::TCtlCommand(TCtlRigFactory rigs, QTextStream& out, QTextStream& err)
    : FRigs(std::move(rigs)), FOut(out), FErr(err)
{
}

int TCtlCommand::Run(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        _("Sets up and checks an Orbel controller through the KORVEL-CONNECT adapter."));
    const QCommandLineOption help({ QStringLiteral("h"), QStringLiteral("help") },
                                  _("Shows this help."));
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  _("Uses the simulated adapter and controller."));
    const QCommandLineOption timeout(QStringLiteral("timeout"),
                                     _("Waits at most SECONDS for the adapter and the controller "
                                       "(default 5)."),
                                     QStringLiteral("SECONDS"));
    const QCommandLineOption json(QStringLiteral("json"),
                                  _("Machine-readable output for info, read and diff."));
    const QCommandLineOption verbose(QStringLiteral("verbose"), _("Logs the exchanges."));
    const QCommandLineOption output({ QStringLiteral("o"), QStringLiteral("output") },
                                    _("read: writes the 48-byte control-set file FILE."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption password(QStringLiteral("password"),
                                      _("load: the password to unlock a protected memory."),
                                      QStringLiteral("TEXT"));
    const QCommandLineOption csv(QStringLiteral("csv"), _("monitor: writes a datalog."));
    const QCommandLineOption duration(QStringLiteral("duration"),
                                      _("monitor: stops after SECONDS."),
                                      QStringLiteral("SECONDS"));
    parser.addOptions({ help, demo, timeout, json, verbose, output, password, csv, duration });
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("info | read | write FILE | restore | load | "
                                                "monitor | diff FILE [FILE2]"));

    const auto usage = [&](const QString& problem) {
        FErr << "brevonctl: " << problem << "\n\n" << parser.helpText();
        FErr.flush();
        return int(exUsage);
    };
    if (!parser.parse(arguments))
        return usage(parser.errorText());
    if (parser.isSet(help)) {
        FOut << parser.helpText();
        FOut.flush();
        return exOk;
    }
    FDemo = parser.isSet(demo);
    FJson = parser.isSet(json);
    FVerbose = parser.isSet(verbose);
    FCsv = parser.isSet(csv);
    if (parser.isSet(timeout)) {
        double seconds = 0;
        if (!ParseSeconds(parser.value(timeout), kMaxTimeoutS, seconds))
            return usage(_("The time-out must be a number of seconds above 0 and at most %1.")
                             .arg(kMaxTimeoutS));
        FTimeoutMs = int(std::lround(seconds * 1000));
    }
    if (parser.isSet(duration)
        && !ParseSeconds(parser.value(duration), kMaxDurationS, FDurationS))
        return usage(_("The duration must be a number of seconds above 0 and at most %1.")
                         .arg(kMaxDurationS));
    FOutput = parser.value(output);
    FPassword = parser.value(password);
    FPasswordSet = parser.isSet(password);

    QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return usage(_("No command given."));
    const QString command = args.takeFirst();

    const QStringList known = { QStringLiteral("info"), QStringLiteral("read"),
                                QStringLiteral("write"), QStringLiteral("restore"),
                                QStringLiteral("load"), QStringLiteral("monitor"),
                                QStringLiteral("diff") };
    if (!known.contains(command))
        return usage(_("Unknown command: %1").arg(command));

    // Each option belongs to its commands: one given to another is a mistake, not a no-op.
    const struct {
        const QCommandLineOption& option;
        QStringList commands;
    } owners[] = {
        { output, { QStringLiteral("read") } },
        { password, { QStringLiteral("load") } },
        { csv, { QStringLiteral("monitor") } },
        { duration, { QStringLiteral("monitor") } },
        { json, { QStringLiteral("info"), QStringLiteral("read"), QStringLiteral("diff") } },
    };
    for (const auto& owner : owners)
        if (parser.isSet(owner.option) && !owner.commands.contains(command))
            return usage(_("Option --%1 does not apply to %2.")
                             .arg(owner.option.names().constLast(), command));

    const auto arity = [&](int min, int max) { return args.size() >= min && args.size() <= max; };
    if (command == QLatin1String("info") && arity(0, 0))
        return Info();
    if (command == QLatin1String("read") && arity(0, 0))
        return Read();
    if (command == QLatin1String("write") && arity(1, 1))
        return Write(args.constFirst());
    if (command == QLatin1String("restore") && arity(0, 0))
        return Restore();
    if (command == QLatin1String("load") && arity(0, 0))
        return Load();
    if (command == QLatin1String("monitor") && arity(0, 0))
        return Monitor();
    if (command == QLatin1String("diff") && arity(1, 2))
        return Diff(args);
    return usage(_("Wrong number of arguments for %1.").arg(command));
}

TControllerSession& TCtlCommand::Session()
{
    if (!FRig)
        FRig = FRigs(FDemo);
    return FRig->Session();
}

int TCtlCommand::Fail(TExit code, const QString& message)
{
    FErr << "brevonctl: " << message << '\n';
    FErr.flush();
    return code;
}

int TCtlCommand::Connect()
{
    TControllerSession& session = Session();
    if (session.Connect(FTimeoutMs) == TControllerSession::TResult::Ok)
        return exOk;
    return Fail(exNoAnswer, session.AdapterFound()
                                ? _("No controller answered within %1 s.").arg(FTimeoutMs / 1000.0)
                                : _("No adapter found within %1 s.").arg(FTimeoutMs / 1000.0));
}

int TCtlCommand::ResultExit(TControllerSession::TResult result, const QString& what)
{
    switch (result) {
    case TControllerSession::TResult::Ok:
        return exOk;
    case TControllerSession::TResult::NoAnswer:
        return Fail(exNoAnswer, _("%1: the controller did not answer.").arg(what));
    case TControllerSession::TResult::Refused:
        return Fail(exRefused, _("%1: the controller refused.").arg(what));
    case TControllerSession::TResult::Failed:
        break;
    }
    return Fail(exFailed, _("%1: the controller's answer was not what was expected.").arg(what));
}

bool TCtlCommand::ReadFile(const QString& path, CtrlSet& set)
{
    if (QFileInfo(path).isDir()) {
        Fail(exFailed, _("%1 is a folder, not a control-set file.").arg(path));
        return false;
    }
    QString error;
    switch (TControlSetFile::Read(path, set, error)) {
    case TControlSetFile::TStatus::Ok:
        return true;
    case TControlSetFile::TStatus::WrongSize:
        Fail(exFailed, _("%1 is not a control-set file: it does not hold exactly %2 bytes.")
                           .arg(path).arg(kCtrlSetSize));
        return false;
    case TControlSetFile::TStatus::Error:
        break;
    }
    Fail(exFailed, _("Cannot open file %1:\n%2").arg(path, error));
    return false;
}

int TCtlCommand::Info()
{
    TControllerSession& session = Session();
    const int connected = Connect();
    if (FJson) {
        const QJsonObject info {
            { QStringLiteral("adapter"), AdapterPanel(session) },
            { QStringLiteral("controller"), ControllerPanel(session) },
            { QStringLiteral("adapterFound"), session.AdapterFound() },
            { QStringLiteral("adapterVersion"), session.AdapterFound()
                  ? TFixedTexts::VersionText(session.AdapterVersion()) : QString() },
            { QStringLiteral("controllerVersion"), session.ControllerVersion() != 0
                  ? TFixedTexts::VersionText(session.ControllerVersion()) : QString() },
        };
        FOut << QJsonDocument(info).toJson(QJsonDocument::Indented);
    } else {
        FOut << AdapterPanel(session) << '\n' << ControllerPanel(session) << '\n';
    }
    FOut.flush();
    return connected;
}

int TCtlCommand::Read()
{
    if (const int connected = Connect(); connected != exOk)
        return connected;
    TControllerSession& session = Session();
    if (const int read = ResultExit(session.ReadSet(), _("read")); read != exOk)
        return read;
    const CtrlSet& set = session.ControlSet().Device();
    if (!FOutput.isEmpty()) {
        QString error;
        if (!TControlSetFile::Write(FOutput, set, error))
            return Fail(exFailed, _("Cannot write file %1:\n%2").arg(FOutput, error));
        return exOk;
    }
    if (FJson) {
        QJsonArray items;
        for (const TCtrlSetItem& item : TCtrlSetItem::All())
            items.append(ItemJson(item, item.Get(set)));
        const CtrlSet::TBytes bytes = set.ToBytes();
        const QJsonObject read {
            { QStringLiteral("bytes"),
              QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                             int(bytes.size())).toHex()) },
            { QStringLiteral("items"), items },
        };
        FOut << QJsonDocument(read).toJson(QJsonDocument::Indented);
    } else {
        for (const TCtrlSetItem& item : TCtrlSetItem::All()) {
            const int raw = item.Get(set);
            FOut << item.CaptionText(Translate) << '\t' << item.ValueText(raw, Translate) << '\t'
                 << raw << '\n';
        }
    }
    FOut.flush();
    return exOk;
}

int TCtlCommand::Write(const QString& path)
{
    CtrlSet set;
    if (!ReadFile(path, set))
        return exFailed;
    if (const int connected = Connect(); connected != exOk)
        return connected;
    std::vector<const TCtrlSetItem*> differing;
    const TControllerSession::TResult result = Session().WriteSet(set, &differing);
    if (result != TControllerSession::TResult::Failed || differing.empty())
        return ResultExit(result, _("write"));
    FErr << "brevonctl: " << _("The controller holds other values than were written:") << '\n';
    for (const TCtrlSetItem* item : differing)
        FErr << "  " << item->CaptionText(Translate) << '\n';
    FErr.flush();
    return exFailed;
}

int TCtlCommand::Restore()
{
    if (const int connected = Connect(); connected != exOk)
        return connected;
    return ResultExit(Session().Restore(), _("restore"));
}

int TCtlCommand::Load()
{
    if (const int connected = Connect(); connected != exOk)
        return connected;
    TControllerSession& session = Session();
    if (FPasswordSet)
        session.Passwords().EnteredPassword = TPasswordField::ToSingleBytes(FPassword);
    // Nobody to ask on the command line: a refused password ends the load.
    return ResultExit(session.LoadMemory({}), _("load"));
}

int TCtlCommand::Monitor()
{
    if (const int connected = Connect(); connected != exOk)
        return connected;
    TControllerSession& session = Session();
    // The control position of each row, and the set the log names; the monitor runs without.
    const bool haveSet = session.ReadSet() == TControllerSession::TResult::Ok;
    const bool hasLambdaSim = TControllerRules::HasHighRegime(session.ControllerVersion());
    const int64_t start = session.NowMs();
    if (FCsv) {
        FOut << TDatalogFormat::kMagic.data() << '\n'
             << TDatalogFormat::StartedComment(QDateTime::currentDateTimeUtc()).c_str();
        if (haveSet)
            FOut << TDatalogFormat::ControlSetComment({}, session.ControlSet().Device()).c_str();
        FOut << TDatalogFormat::kHeader.data() << '\n';
    }
    FOut.flush();
    const QMetaObject::Connection rows = QObject::connect(
        &session, &TControllerSession::TelemetryArrived,
        [&](const TTelemetry& record, int64_t timeMs) {
            const TDatalogRow row = TDatalogRow::FromTelemetry(
                record, timeMs - start, session.ControlSet().Device().AperturaPos, hasLambdaSim);
            if (FCsv) {
                char line[TDatalogFormat::kMaxRowLength];
                FOut << QLatin1String(line, qsizetype(TDatalogFormat::FormatRow(row, line)));
            } else {
                char volts[16], millivolts[16];
                TTelemetryMonitor::FormatVolts(volts, sizeof volts, record.Tps);
                TTelemetryMonitor::FormatMillivolts(millivolts, sizeof millivolts, record.Lambda);
                FOut << row.timeMs << " ms  " << row.rpm << " rpm  TPS " << volts << " V  "
                     << _("lambda") << ' ' << millivolts << " mV  " << _("valve") << ' '
                     << row.valveActual << '/' << row.valveControl << "  "
                     << (row.gas ? _("gas") : _("gasoline")) << "  LED " << int(row.led) << '\n';
            }
            FOut.flush();
        });
    const int64_t end = start + int64_t(std::llround(FDurationS * 1000));
    for (int64_t now = session.NowMs(); FDurationS == 0 || now < end; now = session.NowMs())
        session.Pause(FDurationS == 0 ? kMonitorPassMs
                                      : int(std::min<int64_t>(end - now, kMonitorPassMs)));
    QObject::disconnect(rows);
    return exOk;
}

int TCtlCommand::Diff(const QStringList& files)
{
    CtrlSet a;
    if (!ReadFile(files.constFirst(), a))
        return exFailed;
    CtrlSet b;
    QString nameB;
    if (files.size() == 2) {
        if (!ReadFile(files.constLast(), b))
            return exFailed;
        nameB = files.constLast();
    } else {
        if (const int connected = Connect(); connected != exOk)
            return connected;
        if (const int read = ResultExit(Session().ReadSet(), _("read")); read != exOk)
            return read;
        b = Session().ControlSet().Device();
        nameB = _("controller");
    }
    const TCtrlSetCompare compare(a, b);
    if (FJson) {
        QJsonArray rows;
        for (const TCtrlSetCompare::TRow& row : compare.Rows()) {
            if (!row.Differs())
                continue;
            rows.append(QJsonObject {
                { QStringLiteral("name"), QString::fromLatin1(row.item->name) },
                { QStringLiteral("caption"), row.item->CaptionText(Translate) },
                { QStringLiteral("a"), row.item->ValueText(row.a, Translate) },
                { QStringLiteral("b"), row.item->ValueText(row.b, Translate) },
                { QStringLiteral("rawA"), row.a },
                { QStringLiteral("rawB"), row.b },
                { QStringLiteral("difference"),
                  TCtrlSetCompare::DifferenceText(*row.item, row.a, row.b) },
            });
        }
        const QJsonObject diff {
            { QStringLiteral("a"), files.constFirst() },
            { QStringLiteral("b"), nameB },
            { QStringLiteral("differences"), rows },
        };
        FOut << QJsonDocument(diff).toJson(QJsonDocument::Indented);
    } else if (compare.Differences() > 0) {
        FOut << compare.Text(files.constFirst(), nameB, true, Translate);
    }
    FOut.flush();
    // As diff does: a script tells equal sets by the exit code.
    if (compare.Differences() == 0)
        return exOk;
    return Fail(exFailed, _("%1 items differ.").arg(compare.Differences()));
}
