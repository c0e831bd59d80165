#pragma once

#include <cstdint>

// Bytes with a meaning of their own on the controller's serial stream.
enum TFrameByte : uint8_t {
    fbSoh = 0x01, // first byte of every frame the PC sends
    fbStx = 0x02, // first byte of a telemetry frame from the controller
    fbEot = 0x04, // last byte of every frame, both directions
    fbAck = 0x06, // first byte of a positive answer frame
    fbDle = 0x10, // escape: the next byte is the complement of a payload byte
    fbNak = 0x15, // first byte of a negative answer frame
};

// Every command the PC sends, by the first payload byte of its frame.
enum TCommandCode : uint8_t {
    cmdSetMode = 0x18,     // 1 byte: control mode, 0 automatic, 1 manual; sent without waiting
    cmdReadSet = 0x20,     // no argument; the answer carries the 48-byte control set
    cmdWriteSet = 0x21,    // 48 bytes: the device copy of the control set
    cmdRestore = 0x22,     // no argument; any answer, then the set is read again
    cmdLoadMemory = 0x23,  // 1 byte: kLoadMemoryKey; ACK = done, anything else = refused
    cmdUnlock = 0x30,      // 11 bytes: password field
    cmdSetPassword = 0x31, // 33 bytes: current, new and confirmation password fields
    cmdVersion = 0xFF,     // no argument; the answer carries the version, 2 bytes little-endian
};

// What a command does, as the log names it.
inline const char* CommandName(uint8_t code)
{
    switch (code) {
    case cmdSetMode: return "set control mode";
    case cmdReadSet: return "read control set";
    case cmdWriteSet: return "write control set";
    case cmdRestore: return "restore control set";
    case cmdLoadMemory: return "load memory";
    case cmdUnlock: return "unlock";
    case cmdSetPassword: return "set password";
    case cmdVersion: return "firmware version";
    default: return "unknown command";
    }
}

inline constexpr uint8_t kLoadMemoryKey = 0x55;   // the argument of cmdLoadMemory
inline constexpr int kPasswordFieldSize = 11;      // up to 10 single-byte characters, zero-padded
inline constexpr int kMaxFramePayload = 256;       // the longest payload the decoder keeps
inline constexpr int kDefaultReplyTimeoutMs = 1600; // TimerRxFt: how long a request waits
