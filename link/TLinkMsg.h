#pragma once

#include <cstdint>

// Message types of a TLinkMsg. Only frames are interpreted by Brevon; the others belong to
// the adapter.
enum TLinkMsgType : uint8_t {
    mtFrame = 3, // bytes of the controller's serial stream, either direction
};

// The 66-byte record that travels between the threads and over the adapter's bulk pipes.
// Its layout is the wire layout: a record is sent and received from its first byte.
struct TLinkMsg {
    uint8_t Type = 0;    // message type, see TLinkMsgType
    uint8_t Len = 0;     // valid bytes in Data; 0 marks an empty record
    uint8_t Data[64] {}; // payload
};
static_assert(sizeof(TLinkMsg) == 66, "TLinkMsg is a packed 66-byte wire record");

inline constexpr int kLinkMsgSize = sizeof(TLinkMsg);
inline constexpr int kLinkMsgDataSize = 64;

// The link status as the user-interface thread sees it.
enum TLinkStatus : int32_t {
    lkNoAdapter = 0,    // no adapter open
    lkOldFirmware = 1,  // the adapter's firmware is older than 1.03; it is retried every second
    lkAdapterReady = 2, // adapter open, nothing received lately
    lkReceiving = 3,    // a message has arrived lately; only now are controller frames sent
};
