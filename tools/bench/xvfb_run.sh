#!/usr/bin/env bash
# xvfb_run.sh [BUILD_DIR [SECONDS]]: the real game in a window under Xvfb, with the FPS counter on and
# the title left by a held z (xdotool). The preloaded tick counter counts its ticks and drawn frames over
# SECONDS (default 10) after a 2 s warm-up and reads its CPU time from /proc/self/stat over the same
# window. Then the cost of drawing and presenting a frame through the same X server, measured alone.
# BUILD_DIR (default build-bench, as tools/bench/bench.sh configures it) is brought up to date first.
set -euo pipefail
repo_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "${1:-$repo_dir/build-bench}" && pwd)
seconds=${2:-10}
display=:77
cmake --build "$build" -j "$(nproc)" --target vorpaline vorpaline-bench vorpaline-tick-counter >/dev/null

work=$(mktemp -d)
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do
    [ -S /tmp/.X11-unix/X${display#:} ] && break
    sleep 0.1
done

# A copy of the data folder in a window with the FPS counter.
mkdir "$work/data"
cp -r "$repo_dir/data/." "$work/data/"
printf 'krv_fullscreen = 0\nkrv_showfps = 1\n' >"$work/data/krv.ini"

(cd "$work/data" && DISPLAY=$display SDL_AUDIODRIVER=dummy VORPALINE_MEASURE_S=$seconds \
    VORPALINE_COUNT_OUT="$work/counts.txt" LD_PRELOAD="$build/tools/bench/libvorpaline-tick-counter.so" \
    exec "$build/vorpaline" >"$work/game.log" 2>&1) &
game_pid=$!
# Button 1 on the title starts a run: the window is measured playing, countdown and stage.
if command -v xdotool >/dev/null; then
    sleep 1
    window=$(DISPLAY=$display timeout 5 xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null | head -n 1 || true)
    if [ -n "$window" ]; then
        # Held for a few ticks: the game reads the keyboard state once per tick, so a tap that is down
        # and up again between two ticks is never seen.
        DISPLAY=$display timeout 5 xdotool windowfocus --sync "$window" keydown z sleep 0.2 keyup z ||
            echo "xdotool could not press z"
    else
        echo "no game window found: measuring the title"
    fi
fi
# A picture of the window half-way through, showing the FPS counter in its top-left corner.
sleep $((1 + seconds / 2))
if command -v xwd >/dev/null; then
    xwd -root -display "$display" -out "$work/screen.xwd" 2>/dev/null || true
    if command -v convert >/dev/null && [ -f "$work/screen.xwd" ]; then
        convert "$work/screen.xwd" "${SCREENSHOT:-/tmp/vorpaline-xvfb.png}" 2>/dev/null &&
            echo "screenshot: ${SCREENSHOT:-/tmp/vorpaline-xvfb.png}"
    fi
fi
wait "$game_pid"
echo "--- the game under Xvfb, ${seconds} s"
cat "$work/counts.txt"

echo "--- presenting a frame through the same X server, alone"
(cd "$work/data" && DISPLAY=$display SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy \
    "$build/tools/bench/vorpaline-bench" --benchmark_filter='Frame|Startup')
