#!/usr/bin/env bash
# soak_script.sh SEED TICKS [PRELUDE]: writes to standard output an input script for vorpaline-replay
# of exactly TICKS ticks, the same for the same SEED on every machine. PRELUDE, a recorded whole run from
# the title (tests/replays/full_normal_run.script), is played first, up to its last idle entry, which
# waits out the staff roll; what follows that (choosing "end") is left out. Then it plays run after run:
# on the title it idles, moves the cursor and starts a run (one in three a hard run); in a run it steers
# at random, at either speed, fires in bursts and now and then has late ticks (one run in 15 starts with
# a long stretch of no input, in which the ship can outlast the boss for hours); after a while it goes
# back to the title's sequence, which is harmless in a run and starts the next run once the last one
# has ended. The last tick holds Escape.
#
# It never quits early: button 1 is only pressed right after a tick of straight up, which puts the
# title's cursor on "start", and never together with straight down, the one key that moves the cursor
# to "end" before the press is read. Escape and the close event appear nowhere else.
set -euo pipefail
seed=$1 ticks=$2 prelude=${3:-}
[[ "$seed" =~ ^[0-9]+$ && "$ticks" =~ ^[0-9]+$ && "$ticks" -ge 1 ]] || {
    echo "usage: soak_script.sh SEED TICKS [PRELUDE]" >&2
    exit 2
}

# random N: a number from 0 to N - 1 in $r, from a 32-bit xorshift generator (no overflow in bash's
# 64-bit arithmetic, so the same numbers everywhere).
state=$(((seed * 2654435761 + 1) & 0xFFFFFFFF))
[ "$state" -ne 0 ] || state=1
random() {
    state=$(((state ^ (state << 13)) & 0xFFFFFFFF))
    state=$((state ^ (state >> 17)))
    state=$(((state ^ (state << 5)) & 0xFFFFFFFF))
    r=$((state % $1))
}

left=$((ticks - 1)) # the last tick is Escape's
# emit KEYS COUNT: one entry, cut short at the end of the script.
emit() {
    local count=$2
    [ "$left" -gt 0 ] || return 0
    [ "$count" -le "$left" ] || count=$left
    left=$((left - count))
    if [ "$count" -eq 1 ]; then echo "$1"; else echo "$1 $count"; fi
}

directions=(- U D L R UL UR DL DR)
fire_directions=(- U L R UL UR DL DR) # never straight down with button 1

title() {
    random 240
    emit - $((r + 1))
    random 3
    if [ "$r" -eq 0 ]; then # over to "end" and back
        emit D 1
        random 60
        emit - $((r + 1))
    fi
    emit U 1
    random 3
    if [ "$r" -eq 0 ]; then emit U13 1; else emit U1 1; fi
    emit - 1
}

fire_burst() {
    emit U 1
    random ${#fire_directions[@]}
    local keys=${fire_directions[r]}
    [ "$keys" = - ] && keys=""
    random 8
    emit "${keys}1" $((r + 1))
}

run() {
    random 15
    if [ "$r" -eq 0 ]; then # hands off: from where a run starts the ship can outlast the boss for good
        random 60000
        emit - $((20000 + r))
    fi
    random 12000
    local until=$((left - 600 - r))
    while [ "$left" -gt 0 ] && [ "$left" -gt "$until" ]; do
        random 10
        if [ "$r" -lt 4 ]; then
            fire_burst
            continue
        fi
        random ${#directions[@]}
        local keys=${directions[r]}
        random 3
        if [ "$r" -eq 0 ]; then # button 2: the faster speed
            [ "$keys" = - ] && keys=""
            keys+=2
        fi
        random 40
        if [ "$r" -eq 0 ]; then # the machine falls behind for a while
            [ "$keys" = - ] && keys=""
            keys+="~"
            random 30
        else
            random 90
        fi
        emit "$keys" $((r + 1))
    done
}

echo "# soak: seed $seed, $ticks ticks"
if [ -n "$prelude" ]; then
    entries=$(sed 's/#.*//' "$prelude" | awk 'NF')
    kept=$(awk '$1 == "-" { last = NR } { line[NR] = $0 } END { for (i = 1; i <= last; i++) print line[i] }' <<<"$entries")
    if grep -q '[EQ]' <<<"$kept"; then
        echo "soak_script.sh: $prelude quits before its last idle entry" >&2
        exit 2
    fi
    echo "# the prelude: $prelude"
    while read -r keys count; do
        emit "$keys" "${count:-1}"
    done <<<"$kept"
    echo "# random play"
fi
while [ "$left" -gt 0 ]; do
    title
    run
done
echo E
