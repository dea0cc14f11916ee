// trig_tables.cpp: the angle tables, computed in double and truncated, as they always were.
#include "runtime/trig_tables.h"

#include <cmath>
#include <numbers>

TrigTables build_trig_tables()
{
    TrigTables tables;
    for (int k = 0; k < 1024; k++)
        tables.cos_table[k] = static_cast<int32_t>(std::cos(k * std::numbers::pi * (1.0 / 512)) * 65536.0);
    for (int k = 0; k < 256; k++)
        tables.atan_table[k] = static_cast<uint16_t>(std::atan(k * (1.0 / 256)) * 32768.0 / std::numbers::pi);
    return tables;
}

// Initialised before main, so every run, on every thread, finds them built.
const TrigTables trig_tables = build_trig_tables();
