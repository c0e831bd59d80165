#pragma once

#include "protocol/TControlSet.h"
#include "session/TControllerSession.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QWidget;
class TControlRefresher;
class TFLoadProg;
class TMainDisplays;
class TMemProtForm;
class TPassForm;

// The control-set commands of the main window: read and refresh, write, restore, Load Memory,
// the file commands and the protection dialog. The session runs the operations; this shows
// what they bring (the refresh of every window, the boxes, the caption) and answers their
// questions. User-interface thread only.
class TMemoryOps : public QObject {
    Q_OBJECT
public:
    using TUnsentChoice = TControllerSession::TUnsentChoice;

    // Answers the session's unsent-edits question with a question box.
    TMemoryOps(TControllerSession& session, TMainDisplays& displays, QWidget* window);

    // Windows refreshed after a read, in this order: the main window, then the lambda,
    // control-system and cut-off dialogs. A null entry (a dialog not created yet) is skipped.
    void SetRefreshers(std::vector<TControlRefresher*> refreshers);
    void SetDialogs(TFLoadProg* loadProg, TPassForm* passForm, TMemProtForm* memProtForm);

    // Read the control set and refresh every control; false when nothing was read. Edits the
    // controller does not hold are kept over the values read, and offered in one question.
    bool BMemLoadClick();
    // Send the device copy with command 0x21; the answer type (-1 for no answer).
    int WriteCtrlSet();
    void BMemRestoreClick();
    void BMemChargeClick();

    void BMemOpenClick();
    void BMemSaveClick();
    void Guardarcomo1Click();
    void ProtegerMemClick();

    // The current control-set file; empty when there is none.
    QString CurrentFile() const { return FSession.CurrentFile(); }

    // Puts the marker of unsent edits after the window caption, or takes it away.
    void ShowUnsentMarker();

    // Seams for the file dialogs: they return the chosen path, or an empty text when the user
    // cancelled. By default they run the open and save dialogs.
    std::function<QString(const QString& current)> ChooseOpenFile;
    std::function<QString(const QString& current)> ChooseSaveFile;
    // Seam for the error box of a failed file operation.
    std::function<void(const QString& message)> ShowFileError;
    // Told when Load Memory gives up after the controller kept refusing the load.
    std::function<void(const QString& message)> ShowLoadRefused;
    // Which values a save writes while there are unsent edits; nullopt: write nothing. By
    // default a question box.
    std::function<std::optional<TSaveChoice>()> AskSaveChoice;

private:
    void RefreshControls();
    std::optional<TSaveChoice> SaveChoice();
    bool SaveTo(const QString& path, TSaveChoice choice);
    void SetCaptionFile(const QString& path);

    TControllerSession& FSession;
    TControlSet& FControlSet;
    TMainDisplays& FDisplays;
    TPasswords& FPasswords;
    QWidget* FWindow;
    std::vector<TControlRefresher*> FRefreshers;
    TFLoadProg* FLoadProg = nullptr;
    TPassForm* FPassForm = nullptr;
    TMemProtForm* FMemProtForm = nullptr;
    bool FCharging = false; // Load Memory is running
};
