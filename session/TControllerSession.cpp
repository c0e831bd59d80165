#include "session/TControllerSession.h"

#include "link/TKorvelComm.h"
#include "protocol/TCommandCodes.h"
#include "protocol/TControllerProtocol.h"
#include "protocol/TCtrlSetCompare.h"
#include "protocol/TWaitClock.h"
#include "session/TControlSetFile.h"
#include "session/TLoadMemory.h"
#include "session/TPasswordField.h"

namespace {

// How often Connect looks at the link while it waits for the adapter.
constexpr int kConnectPollMs = 25;

} // namespace

TControllerSession::TControllerSession(std::unique_ptr<TKorvelComm> link, TWaitClock* clock,
                                       QObject* parent)
    : QObject(parent)
    , FClock(clock)
    , FProtocol(std::make_unique<TControllerProtocol>(nullptr))
{
    FElapsed.start();
    if (FClock) {
        FStartMs = FClock->NowMs();
        FProtocol->SetWaitClock(FClock);
    }
    FProtocol->SetTelemetryView(this);
    if (link)
        AttachLink(std::move(link));
}

TControllerSession::TControllerSession() : TControllerSession(nullptr) {}

TControllerSession::~TControllerSession()
{
    CloseLink();
    FProtocol->SetTelemetryView(nullptr);
}

void TControllerSession::AttachLink(std::unique_ptr<TKorvelComm> link)
{
    CloseLink();
    FLink = std::move(link);
    if (!FLink)
        return;
    FLink->OnLinkData = [this] { FProtocol->ReceiveFrames(); };
    FProtocol->SetLink(FLink.get());
}

void TControllerSession::CloseLink()
{
    // A request waiting below the caller ends with -1 and touches the link no more; a
    // hand-over the link has posted and nobody has served dies with the link.
    FProtocol->SetLink(nullptr);
    FProtocol->Abort();
    if (!FLink)
        return;
    FLink->OnLinkData = nullptr;
    FLink->OnFault = nullptr;
    FLink.reset();
}

int64_t TControllerSession::NowMs() const
{
    return FClock ? FClock->NowMs() - FStartMs : FElapsed.elapsed();
}

void TControllerSession::Pause(int ms)
{
    FProtocol->Pause(ms);
}

TControllerSession::TResult TControllerSession::Connect(int timeoutMs)
{
    const int64_t deadline = NowMs() + timeoutMs;
    while (NowMs() < deadline) {
        if (Receiving()) {
            if (FProtocol->ControllerVersion() == 0)
                FProtocol->GetTargetVersion();
            if (FProtocol->ControllerVersion() != 0)
                return TResult::Ok;
        }
        Pause(kConnectPollMs);
    }
    return TResult::NoAnswer;
}

bool TControllerSession::AdapterFound() const
{
    return FLink && FLink->GetLinkStatus() != lkNoAdapter;
}

bool TControllerSession::Receiving() const
{
    return FLink && FLink->GetLinkStatus() == lkReceiving;
}

uint16_t TControllerSession::AdapterVersion() const
{
    return FLink ? FLink->GetAdapterVersion() : 0;
}

uint16_t TControllerSession::ControllerVersion() const
{
    return FProtocol->ControllerVersion();
}

int32_t TControllerSession::Request(const uint8_t* payload, int count, uint8_t* answer,
                                    uint8_t& type)
{
    type = 0;
    return FProtocol->SendRequest(payload, count, answer, &type);
}

TControllerSession::TResult TControllerSession::ReadSet()
{
    const uint8_t request = cmdReadSet;
    uint8_t answer[kMaxFramePayload];
    uint8_t type = 0;
    const int32_t n = Request(&request, 1, answer, type);
    if (n < 0)
        return TResult::NoAnswer;
    if (type != fbAck)
        return TResult::Refused;
    if (n != kCtrlSetSize)
        return TResult::Failed;
    const std::vector<TUnsentEdit> kept = FControlSet.TakeRead(CtrlSet::FromBytes(answer));
    emit ControlSetRefreshed();
    if (!kept.empty() && !FAsking && AskUnsentEdits) {
        FAsking = true;
        const TUnsentChoice choice = AskUnsentEdits(kept);
        FAsking = false;
        if (choice == TUnsentChoice::SendAgain) {
            FControlSet.CommitWorkingCopy(); // the supervision's next write sends them
        } else {
            FControlSet.LoadWorkingCopy();
            emit ControlSetRefreshed();
        }
    }
    return TResult::Ok;
}

int TControllerSession::SendSet(const CtrlSet& set)
{
    uint8_t payload[1 + kCtrlSetSize];
    payload[0] = cmdWriteSet;
    set.ToBytes(payload + 1);
    uint8_t type = 0;
    return Request(payload, sizeof payload, nullptr, type) < 0 ? -1 : type;
}

TControllerSession::TResult TControllerSession::WriteAndReadBack(const CtrlSet& set,
                                                                 bool& accepted)
{
    const int answer = SendSet(set);
    accepted = answer == fbAck;
    if (!accepted)
        return answer < 0 ? TResult::NoAnswer : TResult::Refused;
    FControlSet.Device() = set;
    FControlSet.LoadWorkingCopy();
    FControlSet.ClearPendingSend();
    FControlSet.ConfirmWrite(set);
    const TResult read = ReadSet();
    if (read != TResult::Ok)
        emit ControlSetRefreshed(); // the copies hold what was written
    return read;
}

TControllerSession::TResult TControllerSession::WriteSet(const CtrlSet& set,
                                                         std::vector<const TCtrlSetItem*>* differing)
{
    bool accepted = false;
    if (const TResult result = WriteAndReadBack(set, accepted); result != TResult::Ok)
        return result;
    if (FControlSet.Device().ToBytes() == set.ToBytes())
        return TResult::Ok;
    if (differing) {
        const TCtrlSetCompare compare(set, FControlSet.Device());
        for (const TCtrlSetCompare::TRow& row : compare.Rows())
            if (row.Differs())
                differing->push_back(row.item);
    }
    return TResult::Failed;
}

TControllerSession::TResult TControllerSession::Restore()
{
    const uint8_t request = cmdRestore;
    uint8_t type = 0;
    if (Request(&request, 1, nullptr, type) < 0)
        return TResult::NoAnswer;
    return ReadSet();
}

TControllerSession::TResult TControllerSession::LoadMemory(const TPasswordPrompt& askPassword,
                                                           TLoadMemory::TOutcome* outcome)
{
    const TLoadMemory::TOutcome result = TLoadMemory::Run(*FProtocol, FPasswords, askPassword);
    if (outcome)
        *outcome = result;
    switch (result) {
    case TLoadMemory::TOutcome::Loaded:
        return TResult::Ok;
    case TLoadMemory::TOutcome::NoAnswer:
        return TResult::NoAnswer;
    case TLoadMemory::TOutcome::KeptRefusing:
    case TLoadMemory::TOutcome::NoPassword:
        break;
    }
    return TResult::Refused;
}

TControllerSession::TResult TControllerSession::LoadAttempt(int settleMs, int stepMs)
{
    Pause(settleMs);
    const int answer = TLoadMemory::SendLoad(*FProtocol);
    for (int percent = 0; percent < 100; ++percent) {
        emit Progress(percent);
        for (int i = 0; i < 4; ++i)
            Pause(stepMs);
    }
    if (answer < 0)
        return TResult::NoAnswer;
    return answer == fbAck ? TResult::Ok : TResult::Refused;
}

bool TControllerSession::SendControlMode(int mode)
{
    const uint8_t frame[] = { cmdSetMode, uint8_t(mode) };
    return FProtocol->SendFrame(frame, int(sizeof frame));
}

TControllerSession::TResult TControllerSession::Unlock(const QByteArray& password)
{
    const int answer = TLoadMemory::SendUnlock(*FProtocol, password);
    if (answer < 0)
        return TResult::NoAnswer;
    return answer == fbAck ? TResult::Ok : TResult::Refused;
}

TControllerSession::TResult TControllerSession::StorePassword(const QByteArray& current,
                                                              const QByteArray& newPassword,
                                                              const QByteArray& confirmation)
{
    QByteArray request(1, char(cmdSetPassword));
    request += TPasswordField::Field(current);
    request += TPasswordField::Field(newPassword);
    request += TPasswordField::Field(confirmation);
    uint8_t type = 0;
    if (Request(reinterpret_cast<const uint8_t*>(request.constData()), int(request.size()),
                nullptr, type)
        < 0)
        return TResult::NoAnswer;
    if (type != fbAck)
        return TResult::Refused;
    FPasswords.AcceptedPassword = newPassword;
    return TResult::Ok;
}

TControllerSession::TFileResult TControllerSession::OpenFile(const QString& path, QString& error)
{
    CtrlSet set;
    switch (TControlSetFile::Read(path, set, error)) {
    case TControlSetFile::TStatus::WrongSize:
        return TFileResult::WrongSize;
    case TControlSetFile::TStatus::Error:
        return TFileResult::Unreadable;
    case TControlSetFile::TStatus::Ok:
        break;
    }
    FLastFile = path;
    if (Receiving()) {
        bool accepted = false;
        WriteAndReadBack(set, accepted);
        if (!accepted) {
            // The file is not what the controller holds: naming it the current file would let
            // the next save overwrite it with the controller's values.
            ReadSet();
            return TFileResult::NotAccepted;
        }
    } else {
        FControlSet.LoadUnsent(set);
        emit ControlSetRefreshed();
    }
    FCurrentFile = path;
    return TFileResult::Opened;
}

bool TControllerSession::SaveFile(const QString& path, TSaveChoice choice, QString& error)
{
    FCurrentFile = path;
    if (!TControlSetFile::Write(path, FControlSet.BlockToSave(choice), error))
        return false;
    FLastFile = path;
    return true;
}

void TControllerSession::FrameShown()
{
    emit TelemetryArrived(FProtocol->Telemetry().Record(), NowMs());
}
