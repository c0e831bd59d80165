#pragma once

#include "ui/dialogs/TControlRefresher.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <span>
#include <vector>

class QGroupBox;
class QPushButton;
class TControlSet;
class TFlagBox;
class TMainDisplays;
class TSliderRow;
struct CtrlSet;
struct TFlagBoxDef;
struct TRowPlace;
struct TSliderRowDef;

// What the three configuration dialogs share: the window (caption, fixed size, centred, the
// "Ok" button), the slider rows and flag boxes, and how an edit travels. The dialogs have no
// state of their own and nothing to undo: every change is stored in the working copy and
// committed at once, and the supervision timer writes it at its next tick.
//
// Every change handler first tests the edit guard and does nothing while it is off; that is how
// loading the controls from the working copy keeps from writing back.
class TConfDialog : public QDialog, public TControlRefresher {
    Q_OBJECT
public:
    ~TConfDialog() override;

    // Sets the controls from the working copy after a read. The memory operations call it with
    // the edit guard off; called with the guard on, it turns the guard off for that time.
    void RefreshControls() override;

    // Runs each time the dialog becomes active, and so on every showing.
    virtual void FormActivate() {}
    // "Ok": closes the dialog. Every edit is already stored and committed.
    void BAceptarClick();
    // Runs when the dialog closes; there is nothing to undo or to keep.
    void FormClose() {}

    // The row of the slider named `name`, or null.
    TSliderRow* Row(const QString& name) const;
    // The flag box named `name`, or null.
    TFlagBox* FlagBox(const QString& name) const;
    QPushButton* BAceptar() const { return FBAceptar; }

protected:
    TConfDialog(const char* caption, QSize clientSize, QPoint okPlace, TControlSet& controlSet,
                TMainDisplays& displays, QWidget* parent);

    QGroupBox* AddGroupBox(const char* title, const QRect& place);
    void AddRows(QWidget* parent, std::span<const TSliderRowDef> defs, const TRowPlace& place);
    TFlagBox* AddFlagBox(QWidget* parent, const TFlagBoxDef& def);

    // Loads the controls named in `creationOrder`, in that order, with the edit guard off, and
    // keeps `refreshOrder` for RefreshControls. Both are static lists of object names.
    void FormCreate(std::span<const char* const> creationOrder,
                    std::span<const char* const> refreshOrder);

    // A slider row's caption and unit label stay enabled.
    void SetControlsEnabled(std::span<const char* const> names, bool enabled);

    // What every slider handler does for the row of the slider named `slider`: the edit guard,
    // the handler's own rule, the position converted into its field, the value box's text, the
    // handler's updates of the main window's displays, and the commit.
    void SliderPositionChange(const char* slider, const std::function<void()>& rule = {},
                              const std::function<void()>& displays = {});
    // What every check box handler does: the edit guard, the box's bit into Flags, the commit.
    void FlagBoxClick(const char* box);

    TMainDisplays& Displays() const { return FDisplays; }
    const CtrlSet& Working() const;

    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    bool EditsAllowed() const;
    void LoadControls(std::span<const char* const> names);
    void ForEachControl(std::span<const char* const> names,
                        const std::function<void(TSliderRow&)>& onRow,
                        const std::function<void(TFlagBox&)>& onBox) const;
    void CenterOnScreen();

    TControlSet& FControlSet;
    TMainDisplays& FDisplays;
    std::vector<std::unique_ptr<TSliderRow>> FRows; // in the order they were added
    std::vector<TFlagBox*> FFlagBoxes;              // children of the dialog
    std::span<const char* const> FRefreshOrder;     // what a refresh loads, in order
    QPushButton* FBAceptar;
};
