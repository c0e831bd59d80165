#pragma once

#include <QByteArray>

#include <functional>
#include <optional>

class TControllerProtocol;
struct TPasswords;

// Load Memory with its unlock loop, for the window and the command line alike: the load
// command; while the controller refuses it, the unlock command with the entered password,
// asking for another password whenever the controller refuses the one offered.
namespace TLoadMemory {

enum class TOutcome {
    Loaded,      // the controller acknowledged the load
    NoAnswer,    // the load command got no answer
    KeptRefusing, // the controller refused the load kMaxRefusals times after unlocks
    NoPassword,  // the controller refused the password and no other was given
};

// Refusals of the load command, after an accepted or unanswered unlock, before giving up.
inline constexpr int kMaxRefusals = 5;

// Asked for another password after a refused one; nullopt gives up. May be empty: giving up.
using TPasswordPrompt = std::function<std::optional<QByteArray>()>;

TOutcome Run(TControllerProtocol& protocol, TPasswords& passwords, const TPasswordPrompt& ask);

// The load command: the answer's type, -1 for none.
int SendLoad(TControllerProtocol& protocol);

// The unlock command with `password` (at most 10 single bytes): the answer's type, -1 for none.
int SendUnlock(TControllerProtocol& protocol, const QByteArray& password);

} // namespace TLoadMemory
