#pragma once

#include <QByteArray>

// The passwords Brevon remembers while it runs; nothing of them is stored. Texts of
// single-byte characters, at most 10 long.
struct TPasswords {
    QByteArray EnteredPassword;  // set by the prompt's OK; offered by every unlock of Load Memory
    QByteArray AcceptedPassword; // the last password the controller accepted or stored
    bool PasswordGiven = false;  // the latest showing of the prompt ended with OK
};
