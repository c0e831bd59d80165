#include "ui/main/TSupervision.h"

#include "link/TKorvelComm.h"
#include "protocol/TControlSet.h"
#include "protocol/TControllerProtocol.h"
#include "protocol/TTelemetry.h"
#include "ui/main/TAccessNotice.h"
#include "ui/main/TFixedTexts.h"
#include "ui/main/TSupervisionView.h"
#include "ui/memory/TMemoryOps.h"

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

TSupervision::TSupervision(TControllerProtocol& protocol, TControlSet& controlSet,
                           TMemoryOps& memory, TSupervisionView& view)
    : FProtocol(protocol)
    , FControlSet(controlSet)
    , FMemory(memory)
    , FView(view)
{
}

void TSupervision::TimerRefreshCtrlSetTimer()
{
    if (FSupervisionBusy)
        return;
    FSupervisionBusy = true;

    TKorvelComm* link = FProtocol.Link();
    const int32_t status = link ? link->GetLinkStatus() : lkNoAdapter;
    FollowAccessDenials(link, status);
    switch (status) {
    case lkNoAdapter:
        FView.SetLinkLed(false);
        FLastLinkStatus = lkNoAdapter;
        FView.SetAdapterText(QString::fromLatin1(TFixedTexts::AdapterLabel)
                             + QString::fromLatin1(TFixedTexts::DisconnectedText));
        break;
    case lkAdapterReady:
        if (FLastLinkStatus != lkAdapterReady) {
            // The link opens the adapter a tick before it reads its version; a version of 0
            // would show a wrong text and warn about a good adapter, so wait for it.
            if (link->GetAdapterVersion() == 0)
                break;
            FView.SetLinkLed(true);
            ShowAdapter();
        }
        FLastLinkStatus = lkAdapterReady;
        break;
    case lkReceiving:
        if (FLastLinkStatus != lkReceiving) {
            ShowAdapter();
            FLastLinkStatus = lkReceiving;
            FWriteDelay = 0;
            FMemory.BMemLoadClick();
        }
        FView.SetLinkLed(true);
        if (WriteDelayElapsed())
            CommitEdits();
        break;
    default:
        break;
    }

    if (FProtocol.ControllerVersion() == 0)
        FProtocol.GetTargetVersion();
    if (FProtocol.Telemetry().TakeReloadRequest())
        FMemory.BMemLoadClick();
    if (FControlSet.TakePendingSend()) {
        // A write that got no answer while the link still receives is tried again at the next
        // tick; a refusal is an answer, and a change of link status lets the read that follows
        // bring the controller's values.
        if (FMemory.WriteCtrlSet() < 0 && FProtocol.Link()
            && FProtocol.Link()->GetLinkStatus() == lkReceiving)
            FControlSet.RestorePendingSend();
    }
    FSupervisionBusy = false;
}

// Each plug-in of an adapter this user may not open shows the access notice once; the adapter
// opening takes it away. The status texts stay as they are.
void TSupervision::FollowAccessDenials(const TKorvelComm* link, int32_t status)
{
    if (!link)
        return;
    if (status == lkAdapterReady || status == lkReceiving) {
        if (FAccessNoticeShown)
            FView.HideAccessNotice();
        FAccessNoticeShown = false;
        return;
    }
    const uint32_t denials = link->AccessDenials();
    if (denials == FAccessDenialsSeen)
        return;
    FAccessDenialsSeen = denials;
    FAccessNoticeShown = true;
    FView.ShowAccessNotice(TAccessNotice::Text());
}

void TSupervision::ShowAdapter()
{
    const uint16_t version = FProtocol.Link() ? FProtocol.Link()->GetAdapterVersion() : 0;
    const QString text = QString::fromLatin1(TFixedTexts::AdapterLabel)
        + QString::asprintf(" V-%x.%2.2x", version >> 8, version & 0xFF);
    FView.SetAdapterText(text);
    if (version < kWarnBelowAdapterVersion && !FFirmwareWarned) {
        FFirmwareWarned = true;
        FView.ShowFirmwareWarning(FirmwareWarningText());
    }
}

void TSupervision::Timer1Timer()
{
    if (FProtocol.Telemetry().CountSilenceTick()) {
        FView.SetControllerText(QString::fromLatin1(TFixedTexts::NotDetectedText));
        FProtocol.SetControllerVersion(0);
    }
    const uint8_t flags = FProtocol.Telemetry().Record().StatusFlags;
    if (flags & sfLedSteady) {
        FView.SetControlLed(QColor(255, 0, 0), (flags & sfLedLit) != 0);
    } else {
        FControlLedOn = !FControlLedOn;
        FView.SetControlLed(QColor(255, 255, 0), FControlLedOn);
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
