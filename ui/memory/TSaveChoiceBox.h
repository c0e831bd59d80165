#pragma once

#include "protocol/TControlSet.h"

#include <QMessageBox>

#include <optional>

class QPushButton;

// Asks which values a save writes while the window shows edits the controller has not
// confirmed: the values on screen (the default) or the controller's.
class TSaveChoiceBox : public QMessageBox {
    Q_OBJECT
public:
    explicit TSaveChoiceBox(QWidget* parent);

    // Runs the box; nullopt when it was cancelled.
    std::optional<TSaveChoice> Ask();

    QPushButton* OnScreenButton() const { return FOnScreen; }
    QPushButton* ControllerButton() const { return FController; }

private:
    QPushButton* FOnScreen;
    QPushButton* FController;
};
