#include "session/TLoadMemory.h"

#include "protocol/TCommandCodes.h"
#include "protocol/TControllerProtocol.h"
#include "session/TPasswordField.h"
#include "session/TPasswords.h"

TLoadMemory::TOutcome TLoadMemory::Run(TControllerProtocol& protocol, TPasswords& passwords,
                                       const TPasswordPrompt& ask)
{
    int refusals = 0;
    for (;;) {
        const int answer = SendLoad(protocol);
        if (answer < 0)
            return TOutcome::NoAnswer;
        if (answer == fbAck)
            return TOutcome::Loaded;
        if (refusals == kMaxRefusals)
            return TOutcome::KeptRefusing;
        for (;;) {
            const int answer = SendUnlock(protocol, passwords.EnteredPassword);
            if (answer < 0) {
                ++refusals;
                break;
            }
            if (answer == fbAck) {
                passwords.AcceptedPassword = passwords.EnteredPassword;
                ++refusals;
                break;
            }
            const std::optional<QByteArray> next = ask ? ask() : std::nullopt;
            if (!next)
                return TOutcome::NoPassword;
            passwords.EnteredPassword = *next;
        }
    }
}

int TLoadMemory::SendLoad(TControllerProtocol& protocol)
{
    const uint8_t load[2] = { cmdLoadMemory, kLoadMemoryKey };
    uint8_t type = 0;
    return protocol.SendRequest(load, 2, nullptr, &type) < 0 ? -1 : type;
}

int TLoadMemory::SendUnlock(TControllerProtocol& protocol, const QByteArray& password)
{
    QByteArray unlock(1, char(cmdUnlock));
    unlock += TPasswordField::Field(password);
    uint8_t type = 0;
    const int n = protocol.SendRequest(reinterpret_cast<const uint8_t*>(unlock.constData()),
                                       int(unlock.size()), nullptr, &type);
    return n < 0 ? -1 : type;
}
