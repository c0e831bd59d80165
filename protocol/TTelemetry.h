#pragma once

#include <cstdint>

inline constexpr int kTelemetrySize = 16;

// StatusFlags bits the system reads.
enum TStatusFlag : uint8_t {
    sfLedLit = 0x02,    // control LED lit (used when sfLedSteady is set)
    sfOnGas = 0x08,     // running on gas (CNG/NGV); clear: on gasoline
    sfLedSteady = 0x10, // control LED steady red; clear: blinking yellow
};
// RequestFlags bits the system reads.
enum TRequestFlag : uint8_t {
    rfReloadSet = 0x80, // the controller asks for its control set to be read again
};

// The 16-byte live-data record of an STX frame: payload bytes 1 to 16, words
// little-endian and unsigned.
struct TTelemetry {
    uint8_t StatusFlags = 0;     //  0: TStatusFlag bits
    uint8_t RequestFlags = 0;    //  1: TRequestFlag bits
    uint16_t Lambda = 0;         //  2: probe signal, counts; mV = counts x 4.887585532747
    uint16_t Reserved4 = 0;      //  4: not interpreted
    uint16_t AperturaActual = 0; //  6: actual valve position, 0 to 500
    uint16_t Reserved8 = 0;      //  8: not interpreted
    uint16_t Tps = 0;            // 10: throttle sensor, counts; V = counts x 0.0048875855
    uint16_t Rpm = 0;            // 12: engine speed, rev/min
    uint16_t LambdaSim = 0;      // 14: emulated probe signal, counts (controllers 0x0104 on)

    void ToBytes(uint8_t* out) const; // writes exactly kTelemetrySize bytes
    static TTelemetry FromBytes(const uint8_t* in);

    bool operator==(const TTelemetry&) const = default;
};
