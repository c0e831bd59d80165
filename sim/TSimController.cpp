#include "sim/TSimController.h"

#include "sim/TSimAdapter.h"

#include <algorithm>
#include <cstring>

namespace {

// The controller's own view of the serial protocol and of its memory: kept apart from
// protocol/ on purpose, so the tests run two independent readings of the same frames.
constexpr uint8_t kSoh = 0x01, kStx = 0x02, kEot = 0x04, kAck = 0x06, kDle = 0x10, kNak = 0x15;
constexpr int kMaxPayload = 256;

constexpr uint8_t kCmdSetMode = 0x18, kCmdRead = 0x20, kCmdWrite = 0x21, kCmdRestore = 0x22,
                  kCmdLoad = 0x23, kCmdUnlock = 0x30, kCmdSetPassword = 0x31, kCmdVersion = 0xFF;
constexpr uint8_t kLoadKey = 0x55;
constexpr uint16_t kLambdaSimVersion = 0x0104;

// Control-set offsets.
enum : int {
    oFlags = 0, oPulsoVuelta = 1, oTimArrSonda = 2, oPosInteg = 3, oRpmReacL = 4, oRpmReacH = 6,
    oSondaIdeal = 8, oSondaPobre = 10, oSondaRica = 12, oAperturaPos = 14, oAperturaPosMin = 16,
    oAperturaPosMax = 18, oCutOffLTps = 20, oCutOffLRpm = 22, oCutOffLPos = 24, oCutOffHTps = 26,
    oCutOffHRpm = 28, oCutOffHPos = 30, oSimLTim = 32, oSimLLev = 34, oSimHTim = 36,
    oSimHLev = 38, oSimCutOffLevel = 40, oSim2RPM = 42, oSim2LTim = 44, oSim2HTim = 46,
};
enum : uint8_t {
    fManual = 0x01, fActSim = 0x02, fCutOffLAct = 0x04, fCutOffHAct = 0x08, fActSim2 = 0x10,
    fSimCutOff = 0x20,
};
enum : uint8_t { sLedLit = 0x02, sOnGas = 0x08, sLedSteady = 0x10 };
constexpr uint8_t kRequestReload = 0x80;

constexpr double kCountsPerMv = 0.2046;
constexpr double kMvPerCount = 4.887585532747;
constexpr double kCountsPerVolt = 204.6;
constexpr uint16_t kDefaultIdealCounts = 92; // 450 mV when the set leaves it at 0

bool Escaped(uint8_t b)
{
    return b == kSoh || b == kStx || b == kEot || b == kAck || b == kDle || b == kNak;
}

void PutU16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

uint16_t ToCounts(double v, double scale)
{
    const double c = v * scale;
    return uint16_t(c < 0 ? 0 : (c > 1023 ? 1023 : c));
}

} // namespace

TSimController::TSimController(std::shared_ptr<TSimAdapter> adapter)
    : FOut([a = adapter.get()](const uint8_t* bytes, size_t count) { a->FeedSerial(bytes, count); }),
      FAdapter(std::move(adapter))
{
    FSet = FPreviousSet = DefaultControlSet();
    FRx.reserve(kMaxPayload);
    FAdapter->AttachPeer(this);
}

TSimController::TSimController(TSerialOut out) : FOut(std::move(out))
{
    FSet = FPreviousSet = DefaultControlSet();
    FRx.reserve(kMaxPayload);
}

TSimController::~TSimController()
{
    if (FAdapter)
        FAdapter->AttachPeer(nullptr);
}

TSimController::TBytes TSimController::DefaultControlSet()
{
    TBytes s {};
    s[oFlags] = fCutOffLAct;
    s[oPulsoVuelta] = 4;  // 4 cylinders, 1 coil
    s[oTimArrSonda] = 5;  // seconds on gasoline before gas
    s[oPosInteg] = 30;    // control value 20
    PutU16(&s[oRpmReacL], 1000);
    PutU16(&s[oRpmReacH], 2500);
    PutU16(&s[oSondaIdeal], 92); // 450 mV
    PutU16(&s[oSondaPobre], 41); // 200 mV
    PutU16(&s[oSondaRica], 143); // 700 mV
    PutU16(&s[oAperturaPos], 200);
    PutU16(&s[oAperturaPosMin], 100);
    PutU16(&s[oAperturaPosMax], 400);
    PutU16(&s[oCutOffLTps], 102); // 0.5 V
    PutU16(&s[oCutOffLRpm], 1500);
    PutU16(&s[oCutOffLPos], 0);
    PutU16(&s[oCutOffHTps], 900);
    PutU16(&s[oCutOffHRpm], 6000);
    PutU16(&s[oCutOffHPos], 450);
    PutU16(&s[oSimLTim], 50);
    PutU16(&s[oSimLLev], 20);
    PutU16(&s[oSimHTim], 50);
    PutU16(&s[oSimHLev], 164);
    PutU16(&s[oSimCutOffLevel], 20);
    PutU16(&s[oSim2RPM], 3000);
    PutU16(&s[oSim2LTim], 20);
    PutU16(&s[oSim2HTim], 20);
    return s;
}

// ---------------------------------------------------------------------------------------------
// Serial side

void TSimController::Send(const TOut& out)
{
    // Outside FLock: the adapter takes its own lock, and a test's line may call back.
    if (!out.empty())
        FOut(out.data(), out.size());
}

void TSimController::AppendFrame(uint8_t start, const uint8_t* payload, size_t count, TOut& out)
{
    out.push_back(start);
    for (size_t i = 0; i < count; ++i) {
        if (Escaped(payload[i])) {
            out.push_back(kDle);
            out.push_back(uint8_t(payload[i] ^ 0xFF));
        } else {
            out.push_back(payload[i]);
        }
    }
    out.push_back(kEot);
}

void TSimController::OnSerialFromPc(const uint8_t* bytes, size_t count)
{
    TOut out;
    {
        std::lock_guard lock(FLock);
        if (FFault == fmSilent)
            return;
        for (size_t i = 0; i < count; ++i)
            FeedByte(bytes[i], out);
    }
    Send(out);
}

void TSimController::FeedByte(uint8_t b, TOut& out)
{
    switch (b) {
    case kSoh:
        FInFrame = true;
        FDlePending = false;
        FRx.clear();
        return;
    case kEot:
        if (!FInFrame)
            return;
        FInFrame = false;
        HandleCommand(FRx.data(), int(FRx.size()), out);
        return;
    case kDle:
        FDlePending = true;
        return;
    default:
        if (!FInFrame)
            return;
        if (FRx.size() >= size_t(kMaxPayload)) {
            FInFrame = false;
            ++FAbandoned;
            return;
        }
        if (FDlePending) {
            FDlePending = false;
            b ^= 0xFF;
        }
        FRx.push_back(b);
        return;
    }
}

void TSimController::HandleCommand(const uint8_t* payload, int count, TOut& out)
{
    if (count == 0)
        return;
    ++FCommands[payload[0]];
    FLastCommand.assign(payload, payload + count);

    // The control mode has no answer, so no answer fault touches it.
    const bool answered = payload[0] != kCmdSetMode;
    const TFaultMode fault = answered ? FFault : fmNone;
    if (answered && fault != fmNone && FFaultCount > 0 && --FFaultCount == 0)
        FFault = fmNone;
    const TCommandFault own = answered && fault == fmNone ? FCommandFaults[payload[0]] : cmfNone;

    bool ack = false;
    std::vector<uint8_t> answer;
    if (fault == fmNakAll || own == cmfNak) {
        ack = false;
    } else if (!Execute(payload, count, ack, answer)) {
        return;
    }
    if (own == cmfDropAnswer)
        return;

    switch (fault) {
    case fmDropAnswer:
        return;
    case fmCorruptAnswer:
        if (!answer.empty())
            answer[0] ^= 0xFF;
        break;
    case fmAnswerLate: {
        TLateAnswer late { FNowMs + uint64_t(FAnswerDelayMs), {} };
        AppendFrame(ack ? kAck : kNak, answer.data(), answer.size(), late.bytes);
        FLate.push_back(std::move(late));
        return;
    }
    default:
        break;
    }
    AppendFrame(ack ? kAck : kNak, answer.data(), answer.size(), out);
    ++FAnswers;
    if (ack)
        ++FAcks[payload[0]];
}

bool TSimController::Execute(const uint8_t* p, int n, bool& ack, std::vector<uint8_t>& answer)
{
    ack = false;
    switch (p[0]) {
    case kCmdSetMode:
        if (n == 2 && p[1] <= 1)
            FSet[oFlags] = uint8_t((FSet[oFlags] & ~fManual) | (p[1] ? fManual : 0));
        return false;
    case kCmdRead:
        if (n != 1)
            return true;
        ack = true;
        answer.assign(FSet.begin(), FSet.end());
        FReloadRequest = false;
        return true;
    case kCmdWrite:
        if (n != 1 + kCtrlSetSize)
            return true;
        FPreviousSet = FSet;
        std::memcpy(FSet.data(), p + 1, kCtrlSetSize);
        ack = true;
        return true;
    case kCmdRestore:
        if (n != 1)
            return true;
        FSet = FPreviousSet;
        FReloadRequest = true;
        ack = true;
        return true;
    case kCmdLoad:
        if (n != 2 || p[1] != kLoadKey)
            return true;
        if (FLocked)
            return true;
        // A protected memory locks itself again after each load.
        FLocked = IsProtected();
        ack = true;
        return true;
    case kCmdUnlock:
        if (n != 1 + kPasswordSize)
            return true;
        if (std::memcmp(p + 1, FPassword.data(), kPasswordSize) == 0) {
            FLocked = false;
            ack = true;
        }
        return true;
    case kCmdSetPassword: {
        if (n != 1 + 3 * kPasswordSize)
            return true;
        const uint8_t* current = p + 1;
        const uint8_t* fresh = current + kPasswordSize;
        const uint8_t* confirm = fresh + kPasswordSize;
        if (std::memcmp(current, FPassword.data(), kPasswordSize) != 0
            || std::memcmp(fresh, confirm, kPasswordSize) != 0)
            return true;
        std::memcpy(FPassword.data(), fresh, kPasswordSize);
        FLocked = IsProtected();
        ack = true;
        return true;
    }
    case kCmdVersion:
        if (n != 1)
            return true;
        answer = { uint8_t(FVersion), uint8_t(FVersion >> 8) };
        ack = true;
        return true;
    default:
        return true; // unknown command: NAK
    }
}

// ---------------------------------------------------------------------------------------------
// Clock, engine and valve control

void TSimController::Advance(int ms)
{
    if (ms <= 0)
        return;
    TOut out;
    {
        std::lock_guard lock(FLock);
        FNowMs += uint64_t(ms);

        for (auto it = FLate.begin(); it != FLate.end();) {
            if (it->dueMs <= FNowMs && FFault != fmSilent) {
                out.insert(out.end(), it->bytes.begin(), it->bytes.end());
                ++FAnswers;
                it = FLate.erase(it);
            } else {
                ++it;
            }
        }

        int frames = 0;
        while (FModelMs + TEngineModel::kStepMs <= FNowMs) {
            FModelMs += TEngineModel::kStepMs;
            StepFirmware();
            if (FTelemetryPeriodMs <= 0)
                continue;
            // Frames follow the clock: however Advance is sliced, one per period.
            while (FNextFrameMs <= FModelMs) {
                FNextFrameMs += uint64_t(FTelemetryPeriodMs);
                if (FFault != fmSilent && frames < kMaxCatchUpFrames) {
                    AppendTelemetry(out);
                    ++frames;
                }
            }
        }
    }
    Send(out);
}

uint16_t TSimController::Field(int offset) const
{
    return uint16_t(FSet[size_t(offset)] | FSet[size_t(offset) + 1] << 8);
}

bool TSimController::FlagSet(uint8_t mask) const
{
    return (FSet[oFlags] & mask) != 0;
}

void TSimController::StepFirmware()
{
    const double rpm = FEngine.Rpm();
    const uint16_t tps = ToCounts(FEngine.TpsVolts(), kCountsPerVolt);
    const uint16_t probe = ToCounts(FEngine.ProbeMillivolts(), kCountsPerMv);
    const uint16_t ideal = Field(oSondaIdeal) ? Field(oSondaIdeal) : kDefaultIdealCounts;

    // The engine starts with the clock at 0 and runs on gasoline until the probe is warm.
    FOnGas = FModelMs >= uint64_t(FSet[oTimArrSonda]) * 1000u;
    const bool cutLow = FlagSet(fCutOffLAct) && tps < Field(oCutOffLTps) && rpm > Field(oCutOffLRpm);
    const bool cutHigh = FlagSet(fCutOffHAct) && tps > Field(oCutOffHTps) && rpm > Field(oCutOffHRpm);
    FCutOff = FOnGas && (cutLow || cutHigh);

    TEngineModel::TFuel fuel = TEngineModel::fuGas;
    if (!FOnGas) {
        FValve = 0;
        FClosedLoop = false;
        fuel = TEngineModel::fuGasoline;
    } else if (cutLow) {
        FValve = Field(oCutOffLPos);
        fuel = TEngineModel::fuCut;
    } else if (cutHigh) {
        FValve = Field(oCutOffHPos);
    } else if (FlagSet(fManual)) {
        FValve = Field(oAperturaPos);
        FClosedLoop = false;
    } else {
        // Automatic: integrate towards the ideal level between the two limits; the speed comes
        // from PosInteg. The probe's delay makes the valve hunt, and the signal switch.
        if (!FClosedLoop) {
            FValve = Field(oAperturaPos);
            FClosedLoop = true;
        }
        const double perSecond = 20.0 + 8.0 * std::max(0, int(FSet[oPosInteg]) - 10);
        const double step = perSecond * TEngineModel::kStepMs / 1000.0;
        FValve += probe > ideal ? -step : step;
        const double lo = std::min(Field(oAperturaPosMin), Field(oAperturaPosMax));
        const double hi = std::max(Field(oAperturaPosMin), Field(oAperturaPosMax));
        FValve = std::clamp(FValve, lo, hi);
    }
    FValve = std::clamp(FValve, 0.0, 500.0);

    FEngine.SetProbeCentre(ideal * kMvPerCount);
    FEngine.Step(FValve, fuel);

    // The emulated probe signal the controller hands the car's computer.
    const uint16_t lambda = ToCounts(FEngine.ProbeMillivolts(), kCountsPerMv);
    if (!FlagSet(fActSim)) {
        FLambdaSim = lambda;
    } else if (FCutOff && FlagSet(fSimCutOff)) {
        FLambdaSim = Field(oSimCutOffLevel);
    } else {
        const bool high = FlagSet(fActSim2) && FEngine.Rpm() > Field(oSim2RPM);
        const uint64_t lowMs = uint64_t(Field(high ? oSim2LTim : oSimLTim)) * 10;
        const uint64_t highMs = uint64_t(Field(high ? oSim2HTim : oSimHTim)) * 10;
        const uint64_t period = lowMs + highMs;
        const bool low = period == 0 || FModelMs % period < lowMs;
        FLambdaSim = Field(low ? oSimLLev : oSimHLev);
    }
}

void TSimController::AppendTelemetry(TOut& out)
{
    const uint16_t lambda = ToCounts(FEngine.ProbeMillivolts(), kCountsPerMv);
    const uint16_t ideal = Field(oSondaIdeal) ? Field(oSondaIdeal) : kDefaultIdealCounts;

    uint8_t status = 0;
    if (FOnGas) {
        // On gas the LED is steady red and lit while the probe reads rich; on gasoline it
        // blinks yellow while the probe warms up.
        status |= sOnGas | sLedSteady;
        if (FlagSet(fManual) || lambda > ideal)
            status |= sLedLit;
    }

    uint8_t payload[17] {};
    payload[0] = FSequence++;
    uint8_t* r = payload + 1;
    r[0] = status;
    r[1] = FReloadRequest ? kRequestReload : 0;
    PutU16(r + 2, lambda);
    PutU16(r + 4, uint16_t(FEngine.NeededPosition())); // not interpreted by the PC
    PutU16(r + 6, uint16_t(FValve + 0.5));
    PutU16(r + 8, 0);
    PutU16(r + 10, ToCounts(FEngine.TpsVolts(), kCountsPerVolt));
    PutU16(r + 12, uint16_t(std::max(0.0, FEngine.Rpm())));
    PutU16(r + 14, FVersion >= kLambdaSimVersion ? FLambdaSim : 0);
    AppendFrame(kStx, payload, sizeof payload, out);
    ++FTelemetry;
}

// ---------------------------------------------------------------------------------------------
// Settings and observations

uint64_t TSimController::NowMs() const
{
    std::lock_guard lock(FLock);
    return FNowMs;
}

void TSimController::SetVersion(uint16_t version)
{
    std::lock_guard lock(FLock);
    FVersion = version;
}

uint16_t TSimController::Version() const
{
    std::lock_guard lock(FLock);
    return FVersion;
}

void TSimController::SetPassword(std::string_view password)
{
    std::lock_guard lock(FLock);
    FPassword.fill(0);
    std::memcpy(FPassword.data(), password.data(), std::min<size_t>(password.size(), kPasswordSize - 1));
    FLocked = IsProtected();
}

bool TSimController::Protected() const
{
    std::lock_guard lock(FLock);
    return IsProtected();
}

bool TSimController::Locked() const
{
    std::lock_guard lock(FLock);
    return FLocked;
}

void TSimController::SetTelemetryPeriodMs(int ms)
{
    std::lock_guard lock(FLock);
    FTelemetryPeriodMs = ms;
    FNextFrameMs = FModelMs + uint64_t(ms > 0 ? ms : 0);
}

void TSimController::SetFault(TFaultMode mode, int count)
{
    std::lock_guard lock(FLock);
    FFault = mode;
    FFaultCount = count;
}

void TSimController::SetCommandFault(uint8_t code, TCommandFault fault)
{
    std::lock_guard lock(FLock);
    FCommandFaults[code] = fault;
}

TSimController::TCommandFault TSimController::CommandFault(uint8_t code) const
{
    std::lock_guard lock(FLock);
    return FCommandFaults[code];
}

TSimController::TFaultMode TSimController::Fault() const
{
    std::lock_guard lock(FLock);
    return FFault;
}

void TSimController::SetAnswerDelayMs(int ms)
{
    std::lock_guard lock(FLock);
    FAnswerDelayMs = ms < 0 ? 0 : ms;
}

void TSimController::SetControlSet(const TBytes& bytes)
{
    std::lock_guard lock(FLock);
    FSet = bytes;
    FPreviousSet = bytes;
}

TSimController::TBytes TSimController::ControlSet() const
{
    std::lock_guard lock(FLock);
    return FSet;
}

TSimController::TState TSimController::State() const
{
    std::lock_guard lock(FLock);
    TState s;
    s.nowMs = FNowMs;
    s.rpm = FEngine.Rpm();
    s.tpsVolts = FEngine.TpsVolts();
    s.probeMv = FEngine.ProbeMillivolts();
    s.valve = FValve;
    s.lambdaSimMv = FLambdaSim * kMvPerCount;
    s.onGas = FOnGas;
    s.cutOff = FCutOff;
    s.manual = FlagSet(fManual);
    s.reloadRequest = FReloadRequest;
    return s;
}

int TSimController::CommandsReceived(uint8_t code) const
{
    std::lock_guard lock(FLock);
    return FCommands[code];
}

std::vector<uint8_t> TSimController::LastCommand() const
{
    std::lock_guard lock(FLock);
    return FLastCommand;
}

int TSimController::AnswersSent() const
{
    std::lock_guard lock(FLock);
    return FAnswers;
}

int TSimController::Acknowledged(uint8_t code) const
{
    std::lock_guard lock(FLock);
    return FAcks[code];
}

int TSimController::TelemetrySent() const
{
    std::lock_guard lock(FLock);
    return FTelemetry;
}

int TSimController::FramesAbandoned() const
{
    std::lock_guard lock(FLock);
    return FAbandoned;
}
