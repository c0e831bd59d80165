#pragma once

#include <cstdint>

// The controller's words are little-endian on the wire whatever the host's order: fields are
// read and written byte by byte, never by laying a struct over a buffer.
inline uint16_t ReadU16Le(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

inline void WriteU16Le(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
