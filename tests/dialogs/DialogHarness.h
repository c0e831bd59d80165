#pragma once

#include "protocol/TControlSet.h"
#include "tests/dialogs/TRecordingDisplays.h"
#include "ui/dialogs/TConfDialog.h"

#include <QString>

#include <functional>
#include <memory>
#include <ostream>

class TFlagBox;
class TSlider;
class TValueBox;

enum class TDialogKind { Ctrl, CutOff, Lambda };
std::ostream& operator<<(std::ostream& os, TDialogKind kind);

// The dialog of `kind`, made as the application makes it at start-up.
std::unique_ptr<TConfDialog> MakeDialog(TDialogKind kind, TControlSet& controlSet,
                                        TMainDisplays& displays);

// One configuration dialog on a real control set and a recording main window.
class TDialogHarness {
public:
    // `beforeCreation` changes the working copy before the dialog is made (null: all zero).
    explicit TDialogHarness(TDialogKind kind,
                            const std::function<void(CtrlSet&)>& beforeCreation = {});

    TControlSet controlSet;
    TRecordingDisplays displays;
    std::unique_ptr<TConfDialog> dialog;

    TSlider* Slider(const QString& name) const;
    TValueBox* ValueBoxOf(const QString& sliderName) const;
    QString TextOf(const QString& sliderName) const;
    TFlagBox* Box(const QString& name) const;

    // The user moves a slider to `position`.
    void Move(const QString& slider, double position);
    // A successful read of `block` and the refresh that follows it, as the memory operations do
    // it: both copies take the block, the controls are set with the guard off, the flag is
    // cleared.
    void Read(const CtrlSet& block);
    void Read(const std::function<void(CtrlSet&)>& change);
};
