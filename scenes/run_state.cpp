// run_state.cpp: the run's globals copied out and back, part after part.
#include "scenes/run_state.h"

#include <cstring>

void save_run_state(RunState &state)
{
    uint8_t *to = state.bytes;
    for (const RunStatePart &part : run_state_parts) {
        std::memcpy(to, part.address, part.size);
        to += part.size;
    }
}

void restore_run_state(const RunState &state)
{
    const uint8_t *from = state.bytes;
    for (const RunStatePart &part : run_state_parts) {
        std::memcpy(part.address, from, part.size);
        from += part.size;
    }
}
