#pragma once

#include <cstdint>

// Which USB stack a transport drives.
enum TUsbBackend : int32_t {
    beNone = 0,
    beWinUsb = 1,    // Windows only; not built elsewhere
    beLibusb = 2,
    beSimulated = 3, // the simulated adapter of sim/
};

enum class TOpenOutcome {
    Opened,       // the adapter is open and its endpoints are known
    NotFound,     // no adapter on this stack: the next stack is tried
    SetupFailed,  // a device opened but could not be configured; the caller closes it
    AccessDenied, // an adapter is plugged in but this user may not open it: the next stack is
                  // tried, and the search goes on as if none were found
    OpenFailed,   // an adapter is plugged in but opening it failed otherwise: likewise
};

// One USB stack's way to the KORVEL-CONNECT adapter: open and close plus the three primitives
// the link engine uses. All calls come from the link thread, one at a time.
class TUsbTransport {
public:
    virtual ~TUsbTransport() = default;

    virtual TUsbBackend Kind() const = 0;

    // Opens the adapter. A successful descriptor scan overwrites only the endpoint directions
    // it finds; the others keep the caller's values.
    virtual TOpenOutcome Open(uint8_t& epIn, uint8_t& epOut) = 0;
    // Releases what the open holds; a second call releases nothing twice.
    virtual void Close() = 0;

    // One control transfer whose data stage is `data` (wLength bytes, either direction).
    virtual bool VendorRequest(uint8_t bmRequestType, uint8_t bRequest, uint16_t wValue,
                               uint16_t wIndex, uint8_t* data, uint16_t wLength,
                               uint32_t timeoutMs) = 0;
    // One bulk transfer; the bytes moved, or -1 on any error (a time-out that moved some
    // bytes included).
    virtual int32_t BulkRead(uint8_t endpoint, uint8_t* buffer, uint32_t length,
                             uint32_t timeoutMs) = 0;
    virtual int32_t BulkWrite(uint8_t endpoint, const uint8_t* buffer, uint32_t length,
                              uint32_t timeoutMs) = 0;
};
