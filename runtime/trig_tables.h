// trig_tables.h: the cosine and arctangent tables behind every heading, built once when the program
// starts, before any run, and only read after.
#pragma once

#include <cstdint>

struct TrigTables {
    int32_t cos_table[1024];  // 65536 * cos(k / 1024 turn), truncated toward zero
    uint16_t atan_table[256]; // atan(k / 256) in full-circle units, truncated toward zero
};

extern const TrigTables trig_tables;

// The tables as the program builds them: the only floating point outside the boss's orbit.
TrigTables build_trig_tables();
