// trace.cpp: the trace writer, one function per JSON object in key order.
#include "trace.h"

#include <cstring>

#include "scenes/run.h"

namespace {

void observe_draw(void *context, const DrawCall &call)
{
    DrawLog &log = *static_cast<DrawLog *>(context);
    if (log.count == DrawLog::capacity) {
        log.dropped++;
        return;
    }
    int n = log.count;
    log.calls[n] = call;
    if (call.type == DRAW_TEXT) {
        size_t length = std::strlen(call.text);
        if (log.text_used + length + 1 > DrawLog::text_capacity) {
            log.dropped++;
            return;
        }
        std::memcpy(log.texts + log.text_used, call.text, length + 1);
        log.text_offset[n] = log.text_used;
        log.text_used += static_cast<uint32_t>(length + 1);
    }
    log.count++;
}

void write_json_string(std::FILE *out, const char *text)
{
    std::fputc('"', out);
    for (const char *p = text; *p != '\0'; p++) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '"' || c == '\\')
            std::fprintf(out, "\\%c", c);
        else if (c < 0x20 || c >= 0x7F)
            std::fprintf(out, "\\u%04x", c); // bytes outside ASCII as their Latin-1 code points
        else
            std::fputc(c, out);
    }
    std::fputc('"', out);
}

void write_title(std::FILE *out, const Run &run)
{
    std::fprintf(out, "\"title\":{\"cursor\":%u,\"blink\":%u}", run.title_cursor, run.title_blink);
}

void write_game(std::FILE *out, const Run &run)
{
    std::fprintf(out, "\"game\":{\"phase\":%u,\"tick\":%u,\"score\":%u,\"hi\":%u,\"hard\":%u}", run.game_phase,
                 run.game_tick, run.score, run.hi_score, run.hard_mode);
}

void write_ship(std::FILE *out, const Run &run)
{
    std::fprintf(out, "\"ship\":{\"x\":%d,\"y\":%d,\"state\":%u,\"lives\":%u,\"inv\":%u}", run.player_ship.x,
                 run.player_ship.y, run.ship_state, run.lives, run.invincible_ticks);
}

// "name":[...] of the active records in slot order, each one written by 'write' with its slot.
template <int count, typename Write>
void write_active(std::FILE *out, const char *name, const Actor (&records)[count], Write write)
{
    std::fprintf(out, "\"%s\":[", name);
    bool first = true;
    for (int slot = 0; slot < count; slot++) {
        if (!records[slot].active)
            continue;
        if (!first)
            std::fputc(',', out);
        write(slot, records[slot]);
        first = false;
    }
    std::fputc(']', out);
}

void write_shots(std::FILE *out, const Run &run)
{
    write_active(out, "shots", run.player_shots, [out](int slot, const Actor &s) {
        std::fprintf(out, "[%d,%d,%d,%d,%d,%d,%d,%d,%d,%d]", slot, s.x, s.y, s.w, s.h, s.hit_x, s.hit_y, s.hit_w,
                     s.hit_h, static_cast<int16_t>(s.kind));
    });
}

void write_actors(std::FILE *out, const Run &run)
{
    write_active(out, "actors", run.actor_pool, [out](int i, const Actor &a) {
        std::fprintf(out, "[%d,%u,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d]", i, a.kind, a.x, a.y, a.w, a.h,
                     a.hit_x, a.hit_y, a.hit_w, a.hit_h, a.origin_x, a.origin_y, a.param, a.angle, a.anim, a.step,
                     a.hp);
    });
}

void write_draw(std::FILE *out, const DrawLog &log, int n)
{
    const DrawCall &call = log.calls[n];
    switch (call.type) {
    case DRAW_FILL:
        std::fprintf(out, "[\"fill\",%d,%d,%u,%u,%u]", call.x, call.y, call.w, call.h, call.colour);
        break;
    case DRAW_SPRITE:
        std::fprintf(out, "[\"sprite\",%d,%d,%u,%u]", call.x, call.y, call.sheet, call.frame);
        break;
    case DRAW_TEXT:
        std::fprintf(out, "[\"text\",%d,%d,", call.x, call.y);
        write_json_string(out, log.texts + log.text_offset[n]);
        std::fputc(']', out);
        break;
    }
}

void write_draws(std::FILE *out, const DrawLog &log)
{
    std::fputs("\"draws\":[", out);
    for (int n = 0; n < log.count; n++) {
        if (n > 0)
            std::fputc(',', out);
        write_draw(out, log, n);
    }
    std::fputc(']', out);
}

} // namespace

void record_draws(DrawTarget &target, DrawLog *log)
{
    target.observer = log != nullptr ? observe_draw : nullptr;
    target.observer_context = log;
}

void clear_draw_log(DrawLog &log)
{
    log.count = 0;
    log.text_used = 0;
}

void write_trace_line(std::FILE *out, const Run &run, uint32_t tick, uint8_t drawn, const DrawLog *draws)
{
    std::fprintf(out, "{\"tick\":%u,\"scene\":\"%s\",\"quit\":%u,\"drawn\":%u,", tick,
                 title_is_current(run) ? "title" : "game", run.quit_requested ? 1u : 0u, drawn);
    write_title(out, run);
    std::fputc(',', out);
    write_game(out, run);
    std::fputc(',', out);
    write_ship(out, run);
    std::fputc(',', out);
    write_shots(out, run);
    std::fputc(',', out);
    write_actors(out, run);
    if (drawn && draws != nullptr) {
        std::fputc(',', out);
        write_draws(out, *draws);
    }
    std::fputs("}\n", out);
}
