#pragma once

#include "sim/TEngineModel.h"
#include "sim/TSimSerialPeer.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

class TSimAdapter;

// The Orbel controller, simulated: it sits on the simulated adapter's serial line, decodes the
// PC's command frames, answers them the way the real controller does, and sends a telemetry
// frame every 50 ms of its own clock from a small engine model. The program and the tests
// drive it through the real link and the real protocol code; nothing above the transport
// knows it is there.
//
// Its clock moves only by Advance: tests step it by hand, the demo from a timer with the real
// elapsed time. Frames follow from the clock, not from the calls, so timer jitter does not
// change their rate. OnSerialFromPc comes on the link thread and Advance on the user-interface
// thread: one mutex guards the state, and bytes go out only after it is released.
class TSimController : public TSimSerialPeer {
public:
    // Faults for tests and the demo. Those about answers apply to the next `count` answers
    // (SetFault), then the controller behaves again.
    enum TFaultMode : int {
        fmNone = 0,
        fmSilent,        // a dead serial line: ignores what it gets, sends nothing at all
        fmNakAll,        // refuses every request with an empty NAK and changes nothing
        fmCorruptAnswer, // the first payload byte of an answer goes out inverted
        fmDropAnswer,    // carries the command out but sends no answer
        fmAnswerLate,    // carries the command out, answers once the clock has moved on
    };

    // Faults of one command, lasting until changed: what a controller does whose firmware
    // mishandles that command alone.
    enum TCommandFault : int {
        cmfNone = 0,
        cmfDropAnswer, // carries the command out but never answers it
        cmfNak,        // refuses it with an empty NAK and changes nothing
    };

    static constexpr int kCtrlSetSize = 48;
    static constexpr int kPasswordSize = 11;
    static constexpr uint16_t kDefaultVersion = 0x0104;
    static constexpr int kDefaultTelemetryPeriodMs = 50;
    // An Advance over a long stall sends at most this many telemetry frames; the older ones
    // are skipped, as a controller whose serial line was busy would lose them.
    static constexpr int kMaxCatchUpFrames = 20;

    using TBytes = std::array<uint8_t, kCtrlSetSize>;
    using TSerialOut = std::function<void(const uint8_t* bytes, size_t count)>;

    // On the adapter's serial line: attaches itself and answers through FeedSerial. Destroy
    // the link that drives the adapter before the controller.
    explicit TSimController(std::shared_ptr<TSimAdapter> adapter);
    // On a bare serial line: `out` receives every byte the controller sends (tests).
    explicit TSimController(TSerialOut out);
    ~TSimController() override;

    TSimController(const TSimController&) = delete;
    TSimController& operator=(const TSimController&) = delete;

    // TSimSerialPeer: the PC's bytes, link thread.
    void OnSerialFromPc(const uint8_t* bytes, size_t count) override;

    // Moves the clock on by `ms`: runs the engine and the valve control in 10 ms steps, sends
    // the telemetry frames that fell due and the late answers whose time has come.
    void Advance(int ms);
    uint64_t NowMs() const;

    // --- settings ---
    void SetVersion(uint16_t version);
    uint16_t Version() const;
    // Empty: no protection. Otherwise the memory is protected and locked until unlocked.
    void SetPassword(std::string_view password);
    bool Protected() const;
    bool Locked() const;
    // 0 stops the telemetry.
    void SetTelemetryPeriodMs(int ms);
    // `count` answers are affected (-1: until changed); fmSilent lasts until changed.
    void SetFault(TFaultMode mode, int count = -1);
    TFaultMode Fault() const;
    // A fault of every frame of command `code`; the answer faults above take precedence.
    void SetCommandFault(uint8_t code, TCommandFault fault);
    TCommandFault CommandFault(uint8_t code) const;
    // How far the clock has to move before a late answer goes out; 0 = the next Advance.
    void SetAnswerDelayMs(int ms);
    void SetControlSet(const TBytes& bytes);
    TBytes ControlSet() const;
    // A plausibly tuned control set, what a fresh simulated controller holds.
    static TBytes DefaultControlSet();

    // --- what it sees and does, for tests and the demo ---
    struct TState {
        uint64_t nowMs = 0;
        double rpm = 0, tpsVolts = 0, probeMv = 0, valve = 0, lambdaSimMv = 0;
        bool onGas = false, cutOff = false, manual = false, reloadRequest = false;
    };
    TState State() const;
    int CommandsReceived(uint8_t code) const;     // command frames decoded, by command byte
    std::vector<uint8_t> LastCommand() const;     // the payload of the last command frame
    int AnswersSent() const;
    int Acknowledged(uint8_t code) const;         // ACKs sent at once, by command byte
    int TelemetrySent() const;
    int FramesAbandoned() const;                  // command frames longer than 256 bytes

private:
    using TOut = std::vector<uint8_t>;

    void FeedByte(uint8_t b, TOut& out);
    void HandleCommand(const uint8_t* payload, int count, TOut& out);
    // Carries a command out; false when it has no answer. `ack` and `answer` say what to send.
    bool Execute(const uint8_t* payload, int count, bool& ack, std::vector<uint8_t>& answer);
    void StepFirmware();
    void AppendTelemetry(TOut& out);
    void Send(const TOut& out);
    uint16_t Field(int offset) const;
    bool FlagSet(uint8_t mask) const;
    bool IsProtected() const { return FPassword[0] != 0; } // FLock held
    static void AppendFrame(uint8_t start, const uint8_t* payload, size_t count, TOut& out);

    const TSerialOut FOut;
    std::shared_ptr<TSimAdapter> FAdapter; // when attached to one

    mutable std::mutex FLock;              // guards everything below
    // Receive decoder for the PC's frames.
    bool FInFrame = false;
    bool FDlePending = false;
    std::vector<uint8_t> FRx;
    // Memory and settings.
    TBytes FSet {};
    TBytes FPreviousSet {};                // what a restore brings back
    std::array<uint8_t, kPasswordSize> FPassword {};
    bool FLocked = false;
    bool FReloadRequest = false;           // RequestFlags bit 7 until the next read
    uint16_t FVersion = kDefaultVersion;
    int FTelemetryPeriodMs = kDefaultTelemetryPeriodMs;
    TFaultMode FFault = fmNone;
    int FFaultCount = -1;
    int FAnswerDelayMs = 0;
    std::array<TCommandFault, 256> FCommandFaults {}; // by command byte
    // Clock, engine and valve control.
    uint64_t FNowMs = 0;
    uint64_t FModelMs = 0;                 // the engine has been stepped up to here
    uint64_t FNextFrameMs = kDefaultTelemetryPeriodMs; // the next telemetry frame is due here
    TEngineModel FEngine;
    double FValve = 0;                     // the valve's actual position, 0 to 500
    bool FOnGas = false;
    bool FClosedLoop = false;              // the automatic control has taken the valve over
    bool FCutOff = false;
    uint16_t FLambdaSim = 0;               // the emulated probe signal, counts
    uint8_t FSequence = 0;                 // payload byte 0 of the telemetry frames
    struct TLateAnswer {
        uint64_t dueMs;
        TOut bytes;
    };
    std::vector<TLateAnswer> FLate;
    // Observations.
    std::array<int, 256> FCommands {};
    std::vector<uint8_t> FLastCommand;
    int FAnswers = 0;
    std::array<int, 256> FAcks {};
    int FTelemetry = 0;
    int FAbandoned = 0;
};
