// wrap16.h: explicit wrap-around of the 16-bit record fields and counters.
//
// Every 16-bit field of the game wraps modulo 65536. Sums are formed in int (no overflow is possible
// for two 16-bit operands) and narrowed here; since C++20 the narrowing is defined as modulo 2^16.
#pragma once

#include <cstdint>

constexpr int16_t wrap16(int32_t value) { return static_cast<int16_t>(value); }
constexpr uint16_t wrap_u16(int32_t value) { return static_cast<uint16_t>(value); }
constexpr uint8_t wrap_u8(int32_t value) { return static_cast<uint8_t>(value); }
