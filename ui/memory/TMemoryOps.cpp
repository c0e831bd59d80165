#include "ui/memory/TMemoryOps.h"

#include "protocol/TFixedTexts.h"
#include "ui/dialogs/TControlRefresher.h"
#include "ui/dialogs/TMainDisplays.h"
#include "ui/memory/TFLoadProg.h"
#include "ui/memory/TMemProtForm.h"
#include "ui/memory/TPassForm.h"
#include "session/TPasswords.h"
#include "ui/memory/TSaveChoiceBox.h"
#include "ui/memory/TUnsentEditsBox.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QScopeGuard>
#include <QWidget>

#include <libintl.h>

namespace {

QString RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& current)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilter(QString::fromUtf8(gettext("Memory files (*.mem)")));
    dialog.setDefaultSuffix(QStringLiteral("mem"));
    if (!current.isEmpty())
        dialog.selectFile(current);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString WithDefaultSuffix(const QString& path)
{
    return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".mem") : path;
}

} // namespace

TMemoryOps::TMemoryOps(TControllerSession& session, TMainDisplays& displays, QWidget* window)
    : QObject(window)
    , FSession(session)
    , FControlSet(session.ControlSet())
    , FDisplays(displays)
    , FPasswords(session.Passwords())
    , FWindow(window)
{
    connect(&FSession, &TControllerSession::ControlSetRefreshed, this,
            &TMemoryOps::RefreshControls);
    ChooseOpenFile = [this](const QString& current) {
        return RunFileDialog(FWindow, QFileDialog::AcceptOpen, current);
    };
    ChooseSaveFile = [this](const QString& current) {
        return RunFileDialog(FWindow, QFileDialog::AcceptSave, current);
    };
    ShowFileError = [this](const QString& message) {
        QMessageBox::critical(FWindow, QString::fromLatin1(TFixedTexts::AppTitle), message);
    };
    ShowLoadRefused = [this](const QString& message) {
        QMessageBox::warning(FWindow, QString::fromLatin1(TFixedTexts::AppTitle), message);
    };
    FSession.AskUnsentEdits = [this](const std::vector<TUnsentEdit>& edits) {
        TUnsentEditsBox box(edits, FWindow);
        return box.Ask() ? TUnsentChoice::SendAgain : TUnsentChoice::Discard;
    };
    AskSaveChoice = [this]() {
        TSaveChoiceBox box(FWindow);
        return box.Ask();
    };
}

void TMemoryOps::SetRefreshers(std::vector<TControlRefresher*> refreshers)
{
    FRefreshers = std::move(refreshers);
}

void TMemoryOps::SetDialogs(TFLoadProg* loadProg, TPassForm* passForm, TMemProtForm* memProtForm)
{
    FLoadProg = loadProg;
    FPassForm = passForm;
    FMemProtForm = memProtForm;
}

// ---------------------------------------------------------------------------------------------
// Read, write, restore

bool TMemoryOps::BMemLoadClick()
{
    if (FSession.ReadSet() != TControllerSession::TResult::Ok)
        return false;
    ShowUnsentMarker();
    return true;
}

void TMemoryOps::RefreshControls()
{
    FDisplays.SetEditsEnabled(false);
    for (TControlRefresher* r : FRefreshers)
        if (r)
            r->RefreshControls();
    FDisplays.SetEditsEnabled(true);
}

int TMemoryOps::WriteCtrlSet()
{
    return FSession.SendSet(FControlSet.Device());
}

void TMemoryOps::BMemRestoreClick()
{
    if (FSession.Restore() == TControllerSession::TResult::Ok)
        ShowUnsentMarker();
}

void TMemoryOps::BMemChargeClick()
{
    // A second click while the sequence waits for an answer or a password starts nothing.
    if (FCharging)
        return;
    FCharging = true;
    const auto done = qScopeGuard([this] { FCharging = false; });
    if (FLoadProg)
        FLoadProg->exec();
    TLoadMemory::TOutcome outcome = TLoadMemory::TOutcome::Loaded;
    FSession.LoadMemory(
        [this]() -> std::optional<QByteArray> {
            FPasswords.PasswordGiven = false;
            if (FPassForm)
                FPassForm->exec();
            if (!FPasswords.PasswordGiven)
                return std::nullopt;
            return FPasswords.EnteredPassword;
        },
        &outcome);
    if (outcome == TLoadMemory::TOutcome::KeptRefusing)
        ShowLoadRefused(QString::fromUtf8(gettext("The controller refused to load its memory.")));
}

void TMemoryOps::ProtegerMemClick()
{
    if (FMemProtForm)
        FMemProtForm->exec();
}

// ---------------------------------------------------------------------------------------------
// Files

void TMemoryOps::BMemOpenClick()
{
    const QString path = ChooseOpenFile(FSession.LastFile());
    if (path.isEmpty())
        return;
    QString error;
    switch (FSession.OpenFile(path, error)) {
    case TControllerSession::TFileResult::WrongSize:
        return;
    case TControllerSession::TFileResult::Unreadable:
        ShowFileError(QString::fromUtf8(gettext("Cannot open file %1:\n%2")).arg(path, error));
        return;
    case TControllerSession::TFileResult::NotAccepted:
        ShowUnsentMarker();
        ShowFileError(QString::fromUtf8(gettext("The controller did not accept the control set "
                                                "of file %1. It was not made the current file."))
                          .arg(path));
        return;
    case TControllerSession::TFileResult::Opened:
        SetCaptionFile(path);
        return;
    }
}

void TMemoryOps::BMemSaveClick()
{
    if (FSession.CurrentFile().isEmpty()) {
        Guardarcomo1Click();
        return;
    }
    if (const std::optional<TSaveChoice> choice = SaveChoice())
        SaveTo(FSession.CurrentFile(), *choice);
}

void TMemoryOps::Guardarcomo1Click()
{
    const QString chosen = ChooseSaveFile(FSession.CurrentFile());
    if (chosen.isEmpty())
        return;
    const std::optional<TSaveChoice> choice = SaveChoice();
    if (!choice)
        return;
    const QString path = WithDefaultSuffix(chosen);
    if (SaveTo(path, *choice))
        SetCaptionFile(path);
}

std::optional<TSaveChoice> TMemoryOps::SaveChoice()
{
    if (!FControlSet.SaveNeedsChoice() || !AskSaveChoice)
        return TSaveChoice::OnScreen;
    return AskSaveChoice();
}

bool TMemoryOps::SaveTo(const QString& path, TSaveChoice choice)
{
    QString error;
    if (FSession.SaveFile(path, choice, error))
        return true;
    ShowFileError(QString::fromUtf8(gettext("Cannot write file %1:\n%2")).arg(path, error));
    return false;
}

void TMemoryOps::SetCaptionFile(const QString& path)
{
    if (FWindow)
        FWindow->setWindowTitle(QString::fromLatin1(TFixedTexts::AppTitle) + QStringLiteral(" [")
                                + QFileInfo(path).fileName() + QStringLiteral("]"));
    ShowUnsentMarker();
}

void TMemoryOps::ShowUnsentMarker()
{
    if (!FWindow)
        return;
    const QString marker = QString::fromLatin1(TFixedTexts::UnsentMarker);
    QString caption = FWindow->windowTitle();
    if (caption.endsWith(marker))
        caption.chop(marker.size());
    if (FControlSet.HasUnsentEdits())
        caption += marker;
    if (caption != FWindow->windowTitle())
        FWindow->setWindowTitle(caption);
}
