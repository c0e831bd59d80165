#pragma once

#include <QByteArray>
#include <QString>

// Passwords travel as single bytes: at most 10 characters, zero-padded to an 11-byte field.
namespace TPasswordField {

inline constexpr int kMaxChars = 10;
inline constexpr int kFieldSize = 11;

// Each character becomes one byte through Windows-1252, the controller's code page; a
// character that Windows-1252 lacks but Latin-1 has (U+0080 to U+009F) becomes its Latin-1
// byte, and anything else becomes '?'. At most 10 bytes.
QByteArray ToSingleBytes(const QString& text);
// The 11-byte field: the bytes, then zeros up to and including the eleventh byte.
QByteArray Field(const QByteArray& password);

} // namespace TPasswordField
