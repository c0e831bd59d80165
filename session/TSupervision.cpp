#include "session/TSupervision.h"

#include "link/TKorvelComm.h"
#include "protocol/TControlSet.h"
#include "protocol/TControllerProtocol.h"
#include "protocol/TFixedTexts.h"
#include "protocol/TTelemetry.h"
#include "session/TAccessNotice.h"
#include "session/TControllerSession.h"

#include "settings/Gettext.h"

namespace {

// The text of the one-time warning about old adapter firmware; not translated.
QString FirmwareWarningText()
{
    return QString::fromUtf8(
               "Esta aplicación requiere un KORVEL-CONNECT con version de firmware FV 1.71 o "
               "posterior para funcionar correctamente. Por favor, descargue y actualice el "
               "Quillon desde ")
        + QString::fromLatin1(TFixedTexts::kFirmwareDownloadAddress)
        + QStringLiteral(", y luego actualice su KORVEL-CONNECT");
}

} // namespace

TSupervision::TSupervision(TControllerSession& session, QObject* parent)
    : QObject(parent)
    , FSession(session)
    , FProtocol(session.Protocol())
    , FControlSet(session.ControlSet())
    , FWrites(session.ControlSet())
{
}

void TSupervision::TimerRefreshCtrlSetTimer()
{
    if (SupervisionBusy)
        return;
    SupervisionBusy = true;

    TKorvelComm* link = FProtocol.Link();
    const int32_t status = link ? link->GetLinkStatus() : lkNoAdapter;
    FollowAccessDenials(link, status);
    switch (status) {
    case lkNoAdapter:
        emit LinkLed(false);
        FLastLinkStatus = lkNoAdapter;
        emit AdapterText(QString::fromLatin1(TFixedTexts::AdapterLabel)
                         + QString::fromLatin1(TFixedTexts::DisconnectedText));
        break;
    case lkOldFirmware:
        // Refused for its firmware and retried every second: shown with the version that
        // each attempt read. The last status acted on stays, so the pass is no change.
        if (link->InfoOpenCount() != FShownOpen)
            ShowAdapterOfThisOpen(*link);
        break;
    case lkAdapterReady:
        if (FLastLinkStatus != lkAdapterReady || link->InfoOpenCount() != FShownOpen) {
            // The link opens the adapter a tick before it reads its version: wait for it.
            if (!ShowAdapterOfThisOpen(*link))
                break;
            emit LinkLed(true);
        }
        FLastLinkStatus = lkAdapterReady;
        break;
    case lkReceiving:
        // Another adapter opened between two ticks counts as a new connection too.
        if (FLastLinkStatus != lkReceiving || link->InfoOpenCount() != FShownOpen) {
            ShowAdapterOfThisOpen(*link);
            FLastLinkStatus = lkReceiving;
            // Edits made while the link was away were never asked to go to this controller:
            // they stay unsent, and the read below offers them.
            FWriteDelay = 0;
            if (FControlSet.PendingSend())
                FControlSet.WithdrawPendingWrite();
            FSession.ReadSet();
        }
        emit LinkLed(true);
        if (WriteDelayElapsed())
            CommitEdits();
        break;
    default:
        break;
    }

    if (FProtocol.ControllerVersion() == 0)
        FProtocol.GetTargetVersion();
    if (FProtocol.Telemetry().TakeReloadRequest())
        FSession.ReadSet();
    WriteStep();
    SupervisionBusy = false;
}

// Each plug-in of an adapter this user may not open shows the access notice once; the adapter
// opening takes it away. The status texts stay as they are.
void TSupervision::FollowAccessDenials(const TKorvelComm* link, int32_t status)
{
    if (!link)
        return;
    if (status == lkAdapterReady || status == lkReceiving) {
        if (FAccessNoticeShown)
            emit AccessNoticeGone();
        FAccessNoticeShown = false;
        return;
    }
    const uint32_t denials = link->AccessDenials();
    if (denials == FAccessDenialsSeen)
        return;
    FAccessDenialsSeen = denials;
    FAccessNoticeShown = true;
    emit AccessNotice(TAccessNotice::Text());
}

void TSupervision::WriteStep()
{
    // A tick that runs inside another operation's exchange leaves the write for a later tick.
    if (FProtocol.ExchangeBusy() || !FWrites.TakeDue())
        return;
    const CtrlSet sent = FControlSet.Device();
    const int answer = FSession.SendSet(sent);
    const TKorvelComm* link = FProtocol.Link();
    const bool receiving = link && link->GetLinkStatus() == lkReceiving;
    switch (FWrites.Finish(sent, answer, receiving)) {
    case TWriteRetry::woRefused:
        emit Notice(_("The controller refused the change. It is kept on screen as an unsent "
                      "edit (marked * in the title)."));
        break;
    case TWriteRetry::woUnconfirmed:
        emit Notice(_("The controller did not confirm the change after %1 attempts. It is "
                      "kept on screen as an unsent edit (marked * in the title).")
                        .arg(TWriteRetry::kMaxSends));
        break;
    default:
        break;
    }
}

bool TSupervision::ShowAdapterOfThisOpen(const TKorvelComm& link)
{
    const uint32_t open = link.InfoOpenCount();
    if (open != link.OpenCount())
        return false;
    // The version is read after the count: the link stores the count after the version.
    ShowAdapter(link.GetAdapterVersion());
    FShownOpen = open;
    return true;
}

void TSupervision::ShowAdapter(uint16_t version)
{
    const QString text = QString::fromLatin1(TFixedTexts::AdapterLabel) + QLatin1Char(' ')
        + TFixedTexts::VersionText(version);
    emit AdapterText(text);
    if (version < kWarnBelowAdapterVersion && !FFirmwareWarned) {
        FFirmwareWarned = true;
        emit FirmwareWarning(FirmwareWarningText());
    }
}

void TSupervision::Timer1Timer()
{
    if (FProtocol.Telemetry().CountSilenceTick()) {
        emit ControllerText(QString::fromLatin1(TFixedTexts::NotDetectedText));
        FProtocol.SetControllerVersion(0);
    }
    const uint8_t flags = (FShown ? *FShown : FProtocol.Telemetry()).Record().StatusFlags;
    if (flags & sfLedSteady) {
        emit ControlLed(TControlLed::Steady, (flags & sfLedLit) != 0);
    } else {
        FControlLedOn = !FControlLedOn;
        emit ControlLed(TControlLed::Blinking, FControlLedOn);
    }
}

void TSupervision::RestartWriteDelay()
{
    FWriteDelay = FRefreshIntervalMs > 0 ? 200 / FRefreshIntervalMs : 2;
}

bool TSupervision::WriteDelayElapsed()
{
    if (FWriteDelay == 0)
        return false;
    return --FWriteDelay == 0;
}

void TSupervision::CommitEdits()
{
    FControlSet.CommitWorkingCopy();
}
