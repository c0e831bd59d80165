#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QWidget;
class TControlRefresher;
class TControlSet;
class TControllerProtocol;
class TFLoadProg;
class TMainDisplays;
class TMemProtForm;
class TPassForm;
struct TPasswords;

// The control-set operations of the main window: read and refresh, write, restore, Load
// Memory with its unlock loop, the file commands and the protection dialog. User-interface
// thread only; every exchange goes through the protocol's request exchange.
class TMemoryOps : public QObject {
    Q_OBJECT
public:
    TMemoryOps(TControllerProtocol& protocol, TControlSet& controlSet, TMainDisplays& displays,
               TPasswords& passwords, QWidget* window);

    // Windows refreshed after a read, in this order: the main window, then the lambda,
    // control-system and cut-off dialogs. A null entry (a dialog not created yet) is skipped.
    void SetRefreshers(std::vector<TControlRefresher*> refreshers);
    void SetDialogs(TFLoadProg* loadProg, TPassForm* passForm, TMemProtForm* memProtForm);

    // Read the control set and refresh every control; false when nothing was read.
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
    QString CurrentFile() const { return FSaveFileName; }

    // Seams for the file dialogs: they return the chosen path, or an empty text when the user
    // cancelled. By default they run the open and save dialogs.
    std::function<QString(const QString& current)> ChooseOpenFile;
    std::function<QString(const QString& current)> ChooseSaveFile;
    // Seam for the error box of a failed file operation.
    std::function<void(const QString& message)> ShowFileError;
    // Told when Load Memory gives up after the controller kept refusing the load.
    std::function<void(const QString& message)> ShowLoadRefused;

private:
    bool SaveTo(const QString& path);
    void SetCaptionFile(const QString& path);

    TControllerProtocol& FProtocol;
    TControlSet& FControlSet;
    TMainDisplays& FDisplays;
    TPasswords& FPasswords;
    QWidget* FWindow;
    std::vector<TControlRefresher*> FRefreshers;
    TFLoadProg* FLoadProg = nullptr;
    TPassForm* FPassForm = nullptr;
    TMemProtForm* FMemProtForm = nullptr;
    QString FOpenFileName; // OpenDialog1's file name
    QString FSaveFileName; // SaveDialog1's file name: the current file
};
