#include "TSoak.h"

#include "tests/ui/MainWindowFixture.h"

#include "protocol/CtrlSet.h"
#include "protocol/TCommandCodes.h"
#include "ui/dialogs/TConfCtrlForm.h"
#include "ui/dialogs/TConfCutOffForm.h"
#include "ui/dialogs/TConfLambdaForm.h"
#include "ui/dialogs/TSliderRow.h"
#include "ui/main/TLiveMonitor.h"
#include "ui/memory/TFLoadProg.h"
#include "ui/memory/TPassForm.h"
#include "ui/widgets/TSlider.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <random>
#include <thread>

namespace {

constexpr char kPassword[] = "clave";
// No operation of the program may keep the clock this long: it has not ended.
constexpr int64_t kHangMs = 3600000;
// Operations that keep the clock longer are counted and named, not failed: Load Memory refused
// five times takes about 20 s, and its progress animation takes as long as the supervision's
// exchanges that run inside it.
constexpr int64_t kLongWaitMs = 120000;
// Real time one event may take before the soak calls it a hang and stops.
constexpr auto kWatchdog = std::chrono::seconds(120);

// The fields the soak edits: the valve position in the main window, one field of each dialog.
uint16_t FieldValue(const CtrlSet& s, int field)
{
    switch (field) {
    case 0: return s.AperturaPos;
    case 1: return s.PosInteg;
    case 2: return s.CutOffHRpm;
    default: return s.SimLTim;
    }
}
const char* const kFieldNames[] = { "AperturaPos", "PosInteg", "CutOffHRpm", "SimLTim" };
// The faults stop and the controller is looked at after this many events, and at the end.
constexpr int kSettleEvery = 50;

long ResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

// Stops the process, naming the seed and the event, when one event takes too long in real
// time: a wait that never ends.
class TWatchdog {
public:
    TWatchdog()
        : FThread([this] { Watch(); })
    {
    }
    ~TWatchdog()
    {
        {
            std::lock_guard lock(FLock);
            FStop = true;
        }
        FCv.notify_all();
        FThread.join();
    }
    void Arm(std::string what)
    {
        std::lock_guard lock(FLock);
        FWhat = std::move(what);
        ++FGeneration;
        FArmed = true;
        FCv.notify_all();
    }
    void Disarm()
    {
        std::lock_guard lock(FLock);
        FArmed = false;
        ++FGeneration;
        FCv.notify_all();
    }

private:
    void Watch()
    {
        std::unique_lock lock(FLock);
        while (!FStop) {
            if (!FArmed) {
                FCv.wait(lock);
                continue;
            }
            const uint64_t generation = FGeneration;
            if (!FCv.wait_for(lock, kWatchdog,
                              [&] { return FStop || FGeneration != generation; })) {
                std::fprintf(stderr, "soak: HANG %s\n", FWhat.c_str());
                std::fflush(stderr);
                std::_Exit(3);
            }
        }
    }

    std::mutex FLock;
    std::condition_variable FCv;
    std::string FWhat;
    uint64_t FGeneration = 0;
    bool FArmed = false;
    bool FStop = false;
    std::thread FThread;
};

enum TKind {
    kUnplug, kReplug, kSilence, kNakAll, kDropOne, kSlowAdapter, kHeal,
    kEditMain, kEditDialog, kRead, kRestore, kLoadMemory, kLoadMemoryPassword, kOpen, kSave, kIdle,
    kKinds
};
const char* const kKindNames[] = { "unplug", "replug", "silence", "nak-everything",
                                   "drop-answers-of-one-command", "slow-adapter", "heal",
                                   "edit-main-window", "edit-dialog", "read", "restore",
                                   "load-memory", "load-memory-password", "open-file",
                                   "save-file", "idle" };
// How often each kind comes, out of the sum.
const int kWeights[] = { 5, 6, 3, 3, 4, 3, 6, 14, 14, 6, 4, 4, 4, 5, 6, 4 };

bool IsFault(int kind) { return kind <= kHeal; }

// The commands whose answers the controller may drop.
const uint8_t kDroppable[] = { cmdWriteSet, cmdReadSet, cmdRestore, cmdLoadMemory, cmdUnlock,
                               cmdVersion };

class TSoakRun {
public:
    TSoakRun(int events, uint64_t seed, bool trace)
        : FEvents(events), FRandom(seed), FTrace(trace)
    {
        FFigures.seed = seed;
        FFigures.events = events;
    }

    TSoakFigures Run()
    {
        const auto started = std::chrono::steady_clock::now();
        TWatchdog watchdog;
        MainWindowRig rig;
        FRig = &rig;
        Wire();
        watchdog.Arm(Where(-1, "connect"));
        if (!rig.RunUntilReceiving(20000))
            Fail(-1, "the link never reached status 3");
        FWrites0 = rig.controller().Acknowledged(cmdWriteSet);
        for (int i = 0; i < FEvents && FFigures.failures.size() < 10; ++i) {
            const int kind = Pick();
            ++FFigures.byKind[kKindNames[kind]];
            watchdog.Arm(Where(i, kKindNames[kind]));
            Event(i, kind);
            watchdog.Disarm();
            // Every so often the faults stop and the soak looks at the controller.
            if ((i + 1) % kSettleEvery == 0 && i + 1 < FEvents) {
                watchdog.Arm(Where(i, "settle"));
                Settle(i);
                watchdog.Disarm();
            }
        }
        watchdog.Arm(Where(FEvents, "settle"));
        Settle(FEvents);
        watchdog.Disarm();
        FFigures.writesAcknowledged = rig.controller().Acknowledged(cmdWriteSet) - FWrites0;
        FFigures.unsentNotices = int(rig.notices.size());
        FFigures.fileErrors = FFileErrors;
        FFigures.loadRefusals = FLoadRefusals;
        FFigures.simulatedMs = rig.clock().NowMs();
        FFigures.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        FAnswerer->stop();
        FRig = nullptr;
        return FFigures;
    }

private:
    MainWindowRig& rig() { return *FRig; }
    TMainForm& window() { return rig().window(); }
    TMemoryOps& memory() { return window().MemoryOps(); }
    CtrlSet Held() { return CtrlSet::FromBytes(rig().controller().ControlSet().data()); }

    std::string Where(int event, const char* what) const
    {
        return "seed " + std::to_string(FFigures.seed) + ", event " + std::to_string(event) + " ("
            + what + ")";
    }
    void Fail(int event, const std::string& what)
    {
        FFigures.failures.push_back(Where(event, FEventKind) + ": " + what);
    }
    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(FRandom); }
    bool Chance(int percent) { return Uniform(1, 100) <= percent; }

    int Pick()
    {
        int total = 0;
        for (int w : kWeights)
            total += w;
        int r = Uniform(0, total - 1);
        for (int k = 0; k < kKinds; ++k) {
            if (r < kWeights[k])
                return k;
            r -= kWeights[k];
        }
        return kIdle;
    }

    void Wire()
    {
        memory().ChooseOpenFile = [this](const QString&) { return FOpenPath; };
        memory().ChooseSaveFile = [this](const QString&) { return FSavePath; };
        memory().ShowFileError = [this](const QString&) { ++FFileErrors; };
        memory().ShowLoadRefused = [this](const QString&) { ++FLoadRefusals; };
        memory().AskSaveChoice = [this]() -> std::optional<TSaveChoice> {
            ++rig().saveAsked;
            FSaveChoice = Chance(50) ? TSaveChoice::OnScreen : TSaveChoice::Controller;
            return FSaveChoice;
        };
        // The modal dialogs are answered at every pass of the event loop, their own included.
        FAnswerer = new QTimer(&window());
        FAnswerer->setInterval(0);
        QObject::connect(FAnswerer, &QTimer::timeout, FAnswerer, [this] { AnswerModal(); });
        FAnswerer->start();
    }

    void AnswerModal()
    {
        QWidget* w = QApplication::activeModalWidget();
        if (!w)
            return;
        TWindowSet& set = rig().windows();
        if (w == &set.LoadProg()) {
            if (set.LoadProg().OKBtn()->isEnabled())
                set.LoadProg().OKBtn()->click();
        } else if (w == &set.PassForm()) {
            // The right password once per Load Memory, then the user gives up.
            if (FPasswordPrompts++ == 0) {
                set.PassForm().InActPass()->setText(QString::fromLatin1(kPassword));
                set.PassForm().BAceptarClick();
            } else {
                set.PassForm().reject();
            }
        } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
            box->accept();
        } else if (auto* dialog = qobject_cast<QDialog*>(w)) {
            dialog->reject();
        }
    }

    // --- the events ---

    void Event(int i, int kind)
    {
        FEventKind = kKindNames[kind];
        rig().unsentAnswer = Chance(70) ? TMemoryOps::TUnsentChoice::SendAgain
                                        : TMemoryOps::TUnsentChoice::Discard;
        const size_t asked = rig().unsentAsked.size();
        const int64_t start = rig().clock().NowMs();
        if (IsFault(kind)) {
            // Half the faults strike in the middle of the next operation.
            if (Chance(50)) {
                const int operation = Uniform(kEditMain, kSave);
                ++FFigures.struckDuring[kKindNames[operation]];
                Trace(i, kKindNames[operation]);
                rig().clock().After(Uniform(0, 400), [this, kind] { Fault(kind); });
                Operation(i, operation);
            } else {
                Fault(kind);
            }
        } else {
            Operation(i, kind);
        }
        if (rig().clock().NowMs() - start > kLongWaitMs)
            FFigures.longWaits.push_back(Where(i, FEventKind) + ": "
                                         + std::to_string(rig().clock().NowMs() - start) + " ms");
        if (rig().clock().NowMs() - start > kHangMs) {
            ++FFigures.hangs;
            Fail(i, "the operation kept the clock " + std::to_string(rig().clock().NowMs() - start)
                     + " ms");
        }
        rig().PumpFor(Uniform(0, 1500));
        NoteAnswers(asked);
        CheckMarker(i);
        Trace(i, FEventKind);
    }

    void Fault(int kind)
    {
        TSimController& c = rig().controller();
        switch (kind) {
        case kUnplug: SetPlugged(false); break;
        case kReplug: SetPlugged(true); break;
        case kSilence: c.SetFault(TSimController::fmSilent); break;
        case kNakAll: c.SetFault(TSimController::fmNakAll, Uniform(1, 8)); break;
        case kDropOne:
            c.SetCommandFault(kDroppable[Uniform(0, int(std::size(kDroppable)) - 1)],
                              TSimController::cmfDropAnswer);
            break;
        case kSlowAdapter: rig().transport().SetDelayMs(Uniform(2, 10)); break;
        case kHeal: Heal(); break;
        default: break;
        }
    }

    void SetPlugged(bool plugged)
    {
        if (rig().link())
            rig().transport().SetPlugged(plugged);
    }

    void Heal()
    {
        TSimController& c = rig().controller();
        c.SetFault(TSimController::fmNone);
        for (const uint8_t command : kDroppable)
            c.SetCommandFault(command, TSimController::cmfNone);
        rig().transport().SetDelayMs(0);
        SetPlugged(true);
    }

    void Operation(int i, int kind)
    {
        switch (kind) {
        case kEditMain: Edit(0, [this] {
                window().Monitor().SET_AperturaPos()->setPosition(Uniform(0, 500));
            });
            break;
        case kEditDialog: {
            const int field = Uniform(1, 3);
            Edit(field, [this, field] {
                TWindowSet& w = rig().windows();
                if (field == 1)
                    w.ConfCtrlForm().Row(QStringLiteral("PosInteg"))->Slider()->setPosition(
                        Uniform(0, 60));
                else if (field == 2)
                    w.ConfCutOffForm().Row(QStringLiteral("CutOffHRpm"))->Slider()->setPosition(
                        Uniform(3000, 8000));
                else
                    w.ConfLambdaForm().Row(QStringLiteral("SimLTim"))->Slider()->setPosition(
                        Uniform(100, 2000));
            });
            break;
        }
        case kRead: memory().BMemLoadClick(); break;
        case kRestore:
            memory().BMemRestoreClick();
            Forget();
            break;
        case kLoadMemory:
        case kLoadMemoryPassword:
            rig().controller().SetPassword(kind == kLoadMemoryPassword ? kPassword : "");
            FPasswordPrompts = 0;
            memory().BMemChargeClick();
            rig().controller().SetPassword("");
            Forget();
            break;
        case kOpen: Open(); break;
        case kSave: Save(i); break;
        default: break;
        }
    }

    // An edit counts when it changed the working copy (the edit guard may have kept it out).
    void Edit(int field, const std::function<void()>& edit)
    {
        const uint16_t before = FieldValue(rig().controlSet().Working(), field);
        edit();
        const uint16_t after = FieldValue(rig().controlSet().Working(), field);
        if (after != before) {
            ++FFigures.editsMade;
            FExpected[field] = after;
        }
    }

    // What the controller holds was replaced on purpose: the edits before are no measure.
    void Forget() { FExpected.clear(); }

    void Open()
    {
        if (FSaved.empty() || Chance(30)) {
            // A file of the default set with one field moved.
            CtrlSet set = CtrlSet::FromBytes(TSimController::DefaultControlSet().data());
            set.AperturaPos = uint16_t(Uniform(0, 500));
            FOpenPath = FDir.filePath(QStringLiteral("made-%1.mem").arg(FFiles++));
            QFile f(FOpenPath);
            if (f.open(QIODevice::WriteOnly)) {
                const auto bytes = set.ToBytes();
                f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
            }
        } else {
            FOpenPath = FSaved[size_t(Uniform(0, int(FSaved.size()) - 1))];
        }
        memory().BMemOpenClick();
        Forget();
    }

    void Save(int i)
    {
        FSavePath = FDir.filePath(QStringLiteral("saved-%1.mem").arg(FFiles++));
        const int asked = rig().saveAsked;
        const CtrlSet working = rig().controlSet().Working();
        const CtrlSet confirmed = rig().controlSet().Confirmed();
        const bool unsent = rig().controlSet().HasUnsentEdits();
        memory().Guardarcomo1Click();
        QFile f(FSavePath);
        if (!f.open(QIODevice::ReadOnly))
            return; // refused or failed: reported as file errors are
        const QByteArray bytes = f.readAll();
        FSaved.push_back(FSavePath);
        std::optional<CtrlSet> expected;
        if (rig().saveAsked > asked)
            expected = FSaveChoice == TSaveChoice::OnScreen ? working : confirmed;
        else if (!unsent)
            expected = working;
        if (!expected)
            return;
        ++FFigures.filesSaved;
        const auto want = expected->ToBytes();
        if (bytes.size() != qsizetype(want.size())
            || std::memcmp(bytes.constData(), want.data(), want.size()) != 0)
            Fail(i, "the saved file does not hold the chosen values");
    }

    void NoteAnswers(size_t askedBefore)
    {
        for (size_t k = askedBefore; k < rig().unsentAsked.size(); ++k) {
            ++FFigures.unsentQuestions;
            if (rig().unsentAnswer == TMemoryOps::TUnsentChoice::Discard)
                Forget();
        }
    }

    // While edits wait unsent, the caption says so, and only then: within three supervision
    // ticks, which put the marker up or take it away.
    void CheckMarker(int i)
    {
        auto agree = [this] {
            return rig().controlSet().HasUnsentEdits()
                == window().windowTitle().contains(u'*');
        };
        if (rig().controlSet().HasUnsentEdits())
            ++FFigures.unsentSeen;
        if (!rig().RunUntil(agree, 300))
            Fail(i, rig().controlSet().HasUnsentEdits()
                     ? "unsent edits without the caption's marker"
                     : "the caption's marker without unsent edits");
    }

    // The faults stop, the link comes back by an unplug and replug, the unsent edits are sent
    // again, and every edit since the last replacement of the set is on the controller.
    void Settle(int i)
    {
        FEventKind = "settle";
        ++FFigures.settles;
        Trace(i, "before settling");
        Heal();
        rig().unsentAnswer = TMemoryOps::TUnsentChoice::SendAgain;
        const size_t asked = rig().unsentAsked.size();
        const bool unsent = rig().controlSet().HasUnsentEdits();
        SetPlugged(false);
        rig().PumpFor(2000);
        SetPlugged(true);
        if (!rig().RunUntilReceiving(30000)) {
            Fail(i, "the link did not come back");
            return;
        }
        // Without a question the read found the edits already on the controller (a write
        // carried out whose answer was lost); the check below holds either way.
        FFigures.unsentQuestions += int(rig().unsentAsked.size() - asked);
        const bool settled = rig().RunUntil(
            [this] {
                return !rig().protocol().ExchangeBusy() && !rig().controlSet().HasUnsentEdits()
                    && !rig().controlSet().PendingSend()
                    && rig().controlSet().Working().ToBytes() == rig().controller().ControlSet();
            },
            30000);
        Trace(i, "settled");
        if (!settled)
            Fail(i, "the controller does not hold what the window shows");
        if (unsent)
            FFigures.unsentDeliveredAtEnd += int(FExpected.size());
        const CtrlSet held = Held();
        for (const auto& [field, value] : FExpected) {
            ++FFigures.editsChecked;
            if (FieldValue(held, field) != value)
                Fail(i, std::string(kFieldNames[field]) + " is "
                                  + std::to_string(FieldValue(held, field))
                                  + " on the controller, edited to " + std::to_string(value));
        }
        CheckMarker(i);
    }

    void Trace(int i, const char* what)
    {
        if (!FTrace)
            return;
        const auto w = rig().controlSet().Working().ToBytes();
        const auto c = rig().controlSet().Confirmed().ToBytes();
        const auto h = rig().controller().ControlSet();
        std::fprintf(stderr,
                     "%4d %-28s t=%7lld link=%d unsent=%d pending=%d working%sconfirmed "
                     "working%sheld\n",
                     i, what, static_cast<long long>(rig().clock().NowMs()),
                     rig().link() ? int(rig().link()->GetLinkStatus()) : -1,
                     int(rig().controlSet().HasUnsentEdits()),
                     int(rig().controlSet().PendingSend()), w == c ? "==" : "!=",
                     w == h ? "==" : "!=");
    }

    const int FEvents;
    std::mt19937_64 FRandom;
    const bool FTrace;
    TSoakFigures FFigures;
    MainWindowRig* FRig = nullptr;
    QTimer* FAnswerer = nullptr;
    QTemporaryDir FDir;
    QString FOpenPath, FSavePath;
    std::vector<QString> FSaved;
    int FFiles = 0;
    int FFileErrors = 0;
    int FLoadRefusals = 0;
    int FPasswordPrompts = 0;
    TSaveChoice FSaveChoice = TSaveChoice::OnScreen;
    int FWrites0 = 0;
    const char* FEventKind = "";
    std::map<int, uint16_t> FExpected; // field -> the last edit since the set was last replaced
};

} // namespace

TSoakFigures TSoak::Run(int events, uint64_t seed, bool trace)
{
    return TSoakRun(events, seed, trace).Run();
}

TSoak::TMemoryFigures TSoak::Telemetry(double hours)
{
    TMemoryFigures figures;
    const auto started = std::chrono::steady_clock::now();
    MainWindowRig rig;
    rig.RunUntilReceiving(20000);
    // One link tick per step; events (and with them painting) once a simulated second.
    rig.clock().SetStepMs(TKorvelComm::kTickMs);
    rig.clock().SetEventsEvery(40);
    // A warm-up of ten minutes fills the plots' windows and every cache.
    rig.PumpFor(10 * 60 * 1000);
    const uint32_t frames0 = rig.protocol().Telemetry().FramesHandled();
    figures.rssStartKb = figures.rssPeakKb = ResidentKb();
    const int64_t total = int64_t(hours * 3600 * 1000);
    for (int64_t done = 0; done < total; done += 60000) {
        rig.PumpFor(60000);
        figures.rssPeakKb = std::max(figures.rssPeakKb, ResidentKb());
    }
    figures.rssEndKb = ResidentKb();
    figures.frames = int64_t(rig.protocol().Telemetry().FramesHandled() - frames0);
    figures.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return figures;
}
