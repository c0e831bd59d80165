#include "session/TPasswordField.h"

#include <QList>

namespace TPasswordField {

namespace {

// The characters Windows-1252 puts at 0x80 to 0x9F; 0 where it has none.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039,
    0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

char ToByte(char32_t c)
{
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] != 0 && kCp1252High[i] == c)
            return char(0x80 + i);
    if (c < 0x100)
        return char(c);
    return '?';
}

} // namespace

QByteArray ToSingleBytes(const QString& text)
{
    QByteArray out;
    for (char32_t c : text.toUcs4()) {
        if (out.size() == kMaxChars)
            break;
        out.append(ToByte(c));
    }
    return out;
}

QByteArray Field(const QByteArray& password)
{
    QByteArray field = password.left(kMaxChars);
    field.append(QByteArray(kFieldSize - field.size(), '\0'));
    return field;
}

} // namespace TPasswordField
