// BIFF8 record identifiers and little-endian helpers shared by the .xls
// reader and writer.
#pragma once

#include <cstdint>
#include <cstring>

namespace kv::xls::biff {

// Record identifiers.
constexpr uint16_t kFormula    = 0x0006;
constexpr uint16_t kEof        = 0x000A;
constexpr uint16_t kFilePass   = 0x002F;
constexpr uint16_t kContinue   = 0x003C;
constexpr uint16_t kCodePage   = 0x0042;
constexpr uint16_t kBoundSheet = 0x0085;
constexpr uint16_t kMulRk      = 0x00BD;
constexpr uint16_t kMulBlank   = 0x00BE;
constexpr uint16_t kSst        = 0x00FC;
constexpr uint16_t kLabelSst   = 0x00FD;
constexpr uint16_t kExtSst     = 0x00FF;
constexpr uint16_t kDimension  = 0x0200;
constexpr uint16_t kBlank      = 0x0201;
constexpr uint16_t kNumber     = 0x0203;
constexpr uint16_t kLabel      = 0x0204;
constexpr uint16_t kBoolErr    = 0x0205;
constexpr uint16_t kString     = 0x0207;
constexpr uint16_t kRk         = 0x027E;
constexpr uint16_t kBof        = 0x0809;

// BOF fields.
constexpr uint16_t kBiff8Version  = 0x0600;
constexpr uint16_t kBofGlobals    = 0x0005;
constexpr uint16_t kBofWorksheet  = 0x0010;

// Largest record body a conforming writer emits; longer data goes to CONTINUE.
constexpr uint16_t kMaxRecordBody = 8224;

// BIFF8 grid limits.
constexpr uint32_t kMaxRows = 65536;
constexpr uint32_t kMaxCols = 256;

// String option flags (XLUnicodeRichExtendedString).
constexpr uint8_t kStrHighByte = 0x01;
constexpr uint8_t kStrExtSt    = 0x04;
constexpr uint8_t kStrRichSt   = 0x08;

// Error cell codes.
constexpr uint8_t kErrNull  = 0x00;
constexpr uint8_t kErrDiv0  = 0x07;
constexpr uint8_t kErrValue = 0x0F;
constexpr uint8_t kErrRef   = 0x17;
constexpr uint8_t kErrName  = 0x1D;
constexpr uint8_t kErrNum   = 0x24;
constexpr uint8_t kErrNA    = 0x2A;

inline const char* errorText(uint8_t code)
{
    switch (code) {
    case kErrNull:  return "#NULL!";
    case kErrDiv0:  return "#DIV/0!";
    case kErrValue: return "#VALUE!";
    case kErrRef:   return "#REF!";
    case kErrName:  return "#NAME?";
    case kErrNum:   return "#NUM!";
    case kErrNA:    return "#N/A";
    default:        return "#ERR!";
    }
}

inline uint16_t u16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t u32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline double f64(const uint8_t* p)
{
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | p[i];
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

inline void put16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
inline void put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

// RK value: bit 0 = divide by 100, bit 1 = 30-bit signed integer, else the
// upper 30 bits of an IEEE double.
inline double rkValue(uint32_t rk)
{
    double v;
    if (rk & 0x02) {
        v = double(int32_t(rk) >> 2);
    } else {
        uint64_t bits = uint64_t(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&v, &bits, sizeof v);
    }
    return (rk & 0x01) ? v / 100.0 : v;
}

} // namespace kv::xls::biff
