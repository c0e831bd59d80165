#pragma once

#include "protocol/CtrlSet.h"
#include "protocol/TControlSet.h"
#include "protocol/TTelemetry.h"
#include "protocol/TTelemetryView.h"
#include "session/TLoadMemory.h"
#include "session/TPasswords.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TControllerProtocol;
class TKorvelComm;
class TWaitClock;
struct TCtrlSetItem;

// The controller without the window: the link, the protocol, the control set with its copies
// and the passwords, and the operations a user runs on them (connect, read, write with its
// read-back, restore, Load Memory with its unlock loop). It has no widget; views learn what
// happens through its signals. User-interface thread only; one operation at a time, each a
// request exchange of the protocol.
class TControllerSession : public QObject, private TTelemetryView {
    Q_OBJECT
public:
    enum class TResult {
        Ok,
        Failed,   // the controller answered, but not what the operation needs
        NoAnswer, // no adapter, or no controller answered in time
        Refused,  // the controller refused: NAK, protected memory, wrong password
    };

    // `clock` is where waits take their time from; null is the wall clock. The session owns
    // the link and wires the protocol to it; it may start without one (AttachLink).
    explicit TControllerSession(std::unique_ptr<TKorvelComm> link, TWaitClock* clock = nullptr,
                                QObject* parent = nullptr);
    TControllerSession(); // no link yet, the wall clock
    ~TControllerSession() override;

    // Takes `link` in place of the one it has, which is closed first.
    void AttachLink(std::unique_ptr<TKorvelComm> link);
    // Ends a waiting exchange and destroys the link; the session then has none.
    void CloseLink();

    TKorvelComm* Link() const { return FLink.get(); } // null when there is none
    TControllerProtocol& Protocol() { return *FProtocol; }
    const TControllerProtocol& Protocol() const { return *FProtocol; }
    TControlSet& ControlSet() { return FControlSet; }
    const TControlSet& ControlSet() const { return FControlSet; }
    TPasswords& Passwords() { return FPasswords; }

    // Milliseconds since the session was made, on its clock.
    int64_t NowMs() const;
    // Lets `ms` pass on the session's clock, events running.
    void Pause(int ms);

    // Waits until the adapter is open and the controller has told its firmware version.
    // NoAnswer when that did not happen within `timeoutMs`; AdapterFound() then tells which
    // of the two was missing.
    TResult Connect(int timeoutMs);
    bool AdapterFound() const;
    // The link receives from the controller (status 3).
    bool Receiving() const;
    uint16_t AdapterVersion() const;
    uint16_t ControllerVersion() const;

    // The question after a read that kept edits the controller does not hold: send them again
    // over the values read, or discard them. Unset: they stay on screen as unsent edits.
    enum class TUnsentChoice { SendAgain, Discard };
    std::function<TUnsentChoice(const std::vector<TUnsentEdit>& edits)> AskUnsentEdits;

    // Reads the control set. With no edits both copies take it; edits the controller does not
    // hold are laid over it and offered in one AskUnsentEdits question (a read while the
    // question is open keeps them for it). ControlSetRefreshed after the read, and again when
    // the edits are discarded.
    TResult ReadSet();
    // Sends `set` with the write command and nothing more: the answer's type, -1 for none.
    int SendSet(const CtrlSet& set);
    // Writes `set`; once the controller acknowledged it, it is both copies and the confirmed
    // values, and the set is read back and compared byte for byte: Failed when the controller
    // holds something else, with the items that differ in `differing`.
    TResult WriteSet(const CtrlSet& set, std::vector<const TCtrlSetItem*>* differing = nullptr);
    // The restore command, then a read.
    TResult Restore();
    // Load Memory with its unlock loop (TLoadMemory). `askPassword` is asked for another
    // password when the controller refuses the one offered; nullopt (or no function) gives up
    // with Refused, and so does a controller that keeps refusing the load. `outcome`, when
    // given, tells which of the two it was.
    using TPasswordPrompt = TLoadMemory::TPasswordPrompt;
    TResult LoadMemory(const TPasswordPrompt& askPassword,
                       TLoadMemory::TOutcome* outcome = nullptr);
    // One load command as the progress dialog makes it: `settleMs` before it, then the
    // progress from 0 to 99, one Progress step every four waits of `stepMs`. Ok when the
    // controller acknowledged the load.
    TResult LoadAttempt(int settleMs, int stepMs);
    // The control mode (0 automatic, 1 manual) with its command, sent without waiting for an
    // answer; false when it could not be queued.
    bool SendControlMode(int mode);
    // The unlock command with `password` (single bytes, at most 10): Ok when acknowledged.
    TResult Unlock(const QByteArray& password);
    // Stores `newPassword` in the controller with the set-password command, which carries the
    // current password, the new one and its confirmation (single bytes, at most 10 each); the
    // controller must have been unlocked with `current`. Ok when acknowledged: the new
    // password is then the accepted one.
    TResult StorePassword(const QByteArray& current, const QByteArray& newPassword,
                          const QByteArray& confirmation);

    // --- control-set files ---
    enum class TFileResult {
        Opened,      // the file's set is shown, and written to the controller when there is one
        WrongSize,   // not a control-set file: nothing happened
        Unreadable,  // the file could not be read; the error tells why
        NotAccepted, // the controller did not take the file's set: its own was read again
    };
    // Opens the control-set file `path`. With the controller receiving, its set is written,
    // made both copies and read back; without one, nothing is sent: the working copy takes it
    // as unsent edits for the next connection. Opened makes it the current file.
    TFileResult OpenFile(const QString& path, QString& error);
    // Writes the block `choice` picks (TControlSet::BlockToSave) into `path`, which becomes the
    // current file even when the write fails, so that the next save tries it again.
    bool SaveFile(const QString& path, TSaveChoice choice, QString& error);
    // The current file, which a save writes: the last opened or saved; empty when none.
    const QString& CurrentFile() const { return FCurrentFile; }
    // The last file read or written, which the open dialog proposes.
    const QString& LastFile() const { return FLastFile; }

signals:
    // A telemetry frame arrived, `timeMs` on the session's clock.
    void TelemetryArrived(const TTelemetry& record, int64_t timeMs);
    // The copies of the control set changed: a read, unsent edits discarded, a file opened.
    // Views show the working copy again.
    void ControlSetRefreshed();
    // How far a LoadAttempt has come, in percent.
    void Progress(int percent);

private:
    int32_t Request(const uint8_t* payload, int count, uint8_t* answer, uint8_t& type);
    void FrameShown();
    // WriteSet without the comparison; `accepted` tells whether the controller acknowledged.
    TResult WriteAndReadBack(const CtrlSet& set, bool& accepted);

    // TTelemetryView: only the last call of a frame matters here.
    void ShowControllerText(QLatin1String) override {}
    void ShowFuel(bool) override {}
    void ShowLambda(int, QLatin1String) override {}
    void ShowTps(int, QLatin1String) override {}
    void ShowRpm(double, QLatin1String) override {}
    void ShowValve(QLatin1String, double, double) override {}
    void AddLambdaPoint(double, double) override {}
    void AddLambdaSimPoint(double, double) override { FrameShown(); }
    void ClearLambdaSim() override { FrameShown(); }

    TWaitClock* FClock;
    QElapsedTimer FElapsed;          // the wall clock, when there is no wait clock
    int64_t FStartMs = 0;            // the wait clock's reading at construction
    std::unique_ptr<TKorvelComm> FLink;
    std::unique_ptr<TControllerProtocol> FProtocol;
    TControlSet FControlSet;
    TPasswords FPasswords;
    QString FCurrentFile;
    QString FLastFile;
    bool FAsking = false; // the unsent-edits question is open
};
