#pragma once

#include <cstdint>
#include <cstring>

// The KORVEL-CONNECT adapter's vendor requests. Every request carries a 12-byte TAdapterCmd as
// its data stage, with wValue 0, wIndex 0 and wLength 12.
enum TAdapterRequest : uint32_t {
    rqInfo = 29,    // OUT: the adapter then sends its information block on bulk IN
    rqRelease = 30, // OUT: sent to adapters older than 0.50 before closing
    rqPoll = 35,    // IN: Code 35 when a message waits, Count its length
    rqFetch = 36,   // OUT: the rqPoll answer with Code 36; Count bytes follow on bulk IN
    rqTxReady = 37, // IN: Code 0 when the adapter can take a message
    rqSend = 38,    // OUT: {38, 0, n}; n bytes of a TLinkMsg follow on bulk OUT
};

// The request's name as the log shows it.
inline const char* AdapterRequestName(uint32_t code)
{
    switch (code) {
    case rqInfo: return "rqInfo";
    case rqRelease: return "rqRelease";
    case rqPoll: return "rqPoll";
    case rqFetch: return "rqFetch";
    case rqTxReady: return "rqTxReady";
    case rqSend: return "rqSend";
    default: return "unknown";
    }
}

inline constexpr uint8_t kRequestTypeOut = 0x40; // vendor, host to device, device recipient
inline constexpr uint8_t kRequestTypeIn = 0xC0;  // vendor, device to host, device recipient
inline constexpr uint16_t kAdapterCmdSize = 12;
inline constexpr uint32_t kAdapterInfoSize = 20;

inline uint32_t ReadU32Le(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void WriteU32Le(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

// The data stage of every vendor request, in both directions (little-endian words).
struct TAdapterCmd {
    uint32_t Code = 0;  // request code; in an IN answer, the adapter's reply code
    uint32_t Arg = 0;   // 0 in requests; rqFetch carries back what rqPoll's answer held
    uint32_t Count = 0; // length of the bulk data phase that follows

    void ToBytes(uint8_t* out) const
    {
        WriteU32Le(out, Code);
        WriteU32Le(out + 4, Arg);
        WriteU32Le(out + 8, Count);
    }
    static TAdapterCmd FromBytes(const uint8_t* in)
    {
        return { ReadU32Le(in), ReadU32Le(in + 4), ReadU32Le(in + 8) };
    }
};

// The first 20 bytes the adapter sends after rqInfo.
struct TAdapterInfo {
    uint32_t Version = 0; // low 16 bits: high byte major, low byte minor, read in hexadecimal
    uint8_t Reserved[16] {};
};

// Adapters below this version are refused; below the second they are told rqRelease first.
inline constexpr uint32_t kMinAdapterVersion = 259;    // 0x0103, version 1.03
inline constexpr uint32_t kReleaseBelowVersion = 80;   // 0x0050, version 0.50
