#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>

#include <cstdint>
#include <memory>

// The advanced options, kept per user: the group "OpcionesAvanzadas" of organisation "Korvel",
// application "Brevon" (the registry key Software\Korvel\Brevon\OpcionesAvanzadas on Windows,
// Qt's per-user settings file elsewhere). Loaded once by the constructor. Only LangCode is used
// by the program; the other three are carried along unchanged.
//
// Stored values: "PathEntrada", "PathSalida" and "LangCode" as 256 bytes each (the text, a zero
// byte, zero bytes up to 256) and "SerialComm" as 4 bytes, little-endian.
//
// Reading takes a value's bytes whatever type it was stored with and stops at the first value
// that is missing or too large for its field; the values after it keep their defaults. A text
// is used up to its first zero byte; a text of 256 bytes without one loses its last byte (a field
// holds at most 255 bytes). A SerialComm shorter than 4 bytes fills its low bytes.
//
// Failures are silent: options that cannot be read keep their defaults, writes that fail are
// lost. Used on the user-interface thread only.
class TOpcionesAvanzadas {
public:
    static constexpr int kTextFieldSize = 256;
    static constexpr int kMaxTextLength = kTextFieldSize - 1;

    // The per-user store.
    TOpcionesAvanzadas();
    // The store in the settings file `fileName` (tests use a temporary one).
    explicit TOpcionesAvanzadas(const QString& fileName,
                                QSettings::Format format = QSettings::IniFormat);

    int32_t SerialComm() const { return serialComm_; }
    QString PathEntrada() const { return QString::fromLocal8Bit(pathEntrada_); }
    QString PathSalida() const { return QString::fromLocal8Bit(pathSalida_); }
    // The language the user chose; empty until one was chosen.
    QString LangCode() const { return QString::fromLocal8Bit(langCode_); }

    // Stores a new language code, cut to 255 bytes (up to a zero byte, like any text), and
    // writes all four options at once.
    void SetLangCode(const QString& code);

    // The folder the last datalog was recorded into; empty until one was. Kept beside the four
    // options above, in the group "Datalog" as text, and written at once.
    QString DatalogFolder() const { return datalogFolder_; }
    void SetDatalogFolder(const QString& folder);

    // Sets the defaults and reads the stored options; on the first run (an empty group) writes
    // the defaults, and writes all four back when a stored SerialComm was out of range.
    void LoadOptions();
    // Writes all four options; nothing when the store cannot be written.
    void SaveOptions();

private:
    std::unique_ptr<QSettings> OpenStore(const char* group) const;
    void SetDefaults();
    // Resets a SerialComm outside 0 to 23 to 0; true when it did.
    bool CheckSerialComm();
    void WriteOptionValues(QSettings& store) const;

    QString fileName_;                      // empty: the per-user store
    QSettings::Format format_ = QSettings::NativeFormat;

    int32_t serialComm_ = 0;                // serial port setting, 0 to 23
    QByteArray pathEntrada_;                // input folder, at most 255 bytes, no zero byte
    QByteArray pathSalida_;                 // output folder, likewise
    QByteArray langCode_;                   // chosen language code, likewise
    QString datalogFolder_;                 // where the last recording went
};
