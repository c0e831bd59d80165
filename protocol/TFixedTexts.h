#pragma once

#include <QString>

#include <cstdint>

// The fixed texts of the caption and the status bar; they are never translated, and their
// leading blanks belong to them.
namespace TFixedTexts {

inline constexpr const char* AppTitle = "Brevon";
inline constexpr const char* AppVersion = "1.4.3.0";
inline constexpr const char* AdapterLabel = " KorvelConnect";
inline constexpr const char* DisconnectedText = " Desconectado";
inline constexpr const char* ControllerLabel = "Orbel";
inline constexpr const char* DetectedText = " Detectado";
inline constexpr const char* NotDetectedText = " No Detectado";
// After the caption while the window shows edits the controller has not confirmed.
inline constexpr const char* UnsentMarker = " *";

// Where the adapter's firmware update is offered, named in the old-firmware warning.
inline constexpr const char* kFirmwareDownloadAddress = "https://downloads.korvel.example/quillon";

// A firmware version word as the status bar shows it: "V-1.71" for 0x0171 (hexadecimal, high
// byte major and low byte minor).
inline QString VersionText(uint16_t version)
{
    return QString::asprintf("V-%x.%2.2x", unsigned(version >> 8), unsigned(version & 0xFF));
}

} // namespace TFixedTexts
