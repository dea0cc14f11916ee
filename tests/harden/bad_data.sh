#!/usr/bin/env bash
# bad_data.sh REPLAY_TOOL DATA_DIR FILE
#
# One data file of the game (krv.ini, krvcolor.ini, icon.bmp, font.bmp, kvs.ini, or sheet.kvs and
# sheet.bmp for every sheet listed in kvs.ini) made bad in every way we know, one case at a time, in a
# copy of DATA_DIR: missing, empty, a folder, a FIFO or a device in its place, unreadable, binary
# garbage, and for text files
# lines far longer than the read buffers and 300 entries where 256 are read; for bitmaps a truncated
# file, a corrupt header, 24 bits, and a 4x4 picture. Each case plays a short run with and without the
# draw log and must end normally with the messages the game has for the case.
set -euo pipefail
replay=$1 data_dir=$2 file=$3
source "$(dirname "${BASH_SOURCE[0]}")/harden_lib.sh"

# The files a case changes: one, or the same file of every sheet.
targets() {
    case $file in
    sheet.kvs) sheet_names "$1" | sed 's/$/.kvs/' ;;
    sheet.bmp) sheet_names "$1" | sed 's/$/.bmp/' ;;
    *) echo "$file" ;;
    esac
}

is_bitmap() { [ "${file##*.}" = bmp ]; }

# The cases: each changes the target in $dir/$1.
break_missing() { rm -f "$1"; }
break_empty() { : >"$1"; }
break_folder() { rm -f "$1" && mkdir "$1"; }
break_fifo() { rm -f "$1" && mkfifo "$1"; } # no program ever writes to it
break_device() { rm -f "$1" && ln -s /dev/zero "$1"; } # endless
break_unreadable() { chmod 000 "$1"; }
break_garbage() { garbage 4096 "${#1}" >"$1"; }
break_long_lines() {
    case $file in
    krv.ini) # 2000 blanks carry the setting into the second 1023-character read; a 3000-character key
        printf '%3000s' '' | tr ' ' k >"$1"
        printf ' = 1\n' >>"$1"
        printf '%2000skrv_showfps = 1\n' '' >>"$1" ;;
    krvcolor.ini) printf '%05000d 1 2\n7 8 9\n' 0 >"$1" ;;
    kvs.ini) # a 45-character name is read as three names of 15
        sheet_names "$data_dir" | sed 's/.*/&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&&/' | cut -c 1-45 >"$1" ;;
    sheet.kvs) for i in $(seq 40); do printf '0,0,16,16,'; done >"$1" && echo >>"$1" ;;
    esac
}
break_300_entries() {
    case $file in
    krv.ini) for i in $(seq 300); do echo "krv_showfps = $((i % 2))"; done >"$1" ;;
    krvcolor.ini) for i in $(seq 300); do echo "$i $((i * 2)) $((i * 3))"; done >"$1" ;;
    kvs.ini) for i in $(seq 0 299); do printf 's%03d\n' "$i"; done >"$1" ;;
    sheet.kvs) for i in $(seq 0 299); do echo "$((i % 8 * 17)),0,16,16,"; done >"$1" ;;
    esac
}
break_truncated() { head -c $(($(stat -c %s "$1") / 2)) "$1" >"$1.cut" && mv "$1.cut" "$1"; }
break_huge_header() { patch_bytes "$1" 18 '\xff\xff\x00\x00\xff\xff\x00\x00'; } # 65535 x 65535
break_pixels_past_end() { patch_bytes "$1" 10 '\xff\xff\xff\x7f'; }
break_24_bits() { write_bmp "$1" 128 64 24; }
break_4x4() { write_bmp "$1" 4 4 8; }

text_cases=(missing empty folder fifo device unreadable garbage long_lines 300_entries)
bitmap_cases=(missing empty folder fifo device unreadable garbage truncated huge_header pixels_past_end 24_bits 4x4)

# What standard output must (or must not) say in a case.
check_messages() {
    local out=$1 label=$2 case_name=$3 target=$4
    case "$file:$case_name" in
    *.bmp:empty | *.bmp:garbage | *.bmp:truncated | *.bmp:huge_header | *.bmp:pixels_past_end)
        expect_line "$out" "$label" "ERROR! $target is not a usable bitmap." ;;
    *.bmp:*)
        ! grep -q 'is not a usable bitmap' "$out/stdout" || fail "$label: a usable bitmap was refused" ;;
    krvcolor.ini:missing | krvcolor.ini:unreadable | krvcolor.ini:folder | krvcolor.ini:fifo | krvcolor.ini:device)
        expect_line "$out" "$label" 'File "krvcolor.ini" can'"'"'t open. Setting default color table.' ;;
    krvcolor.ini:300_entries)
        [ "$(grep -cE '^[0-9]+,[0-9]+,[0-9]+$' "$out/stdout")" -eq 256 ] || fail "$label: not 256 palette entries" ;;
    krvcolor.ini:long_lines)
        expect_line "$out" "$label" 'Loading...krvcolor.ini'
        expect_line "$out" "$label" '7,8,9' ;;
    krvcolor.ini:*) expect_line "$out" "$label" 'Loading...krvcolor.ini' ;;
    kvs.ini:missing | kvs.ini:unreadable | kvs.ini:folder | kvs.ini:fifo | kvs.ini:device) expect_line "$out" "$label" 'File "kvs.ini" can'"'"'t open.' ;;
    kvs.ini:300_entries)
        [ "$(grep -cE '^Loading s[0-9]{3}\.kvs$' "$out/stdout")" -eq 256 ] || fail "$label: not 256 sheets"
        expect_line "$out" "$label" 'Loading s255.kvs'
        expect_no_line "$out" "$label" 'Loading s256.kvs' ;;
    kvs.ini:long_lines)
        local first
        first=$(sheet_names "$data_dir" | head -n 1)
        expect_line "$out" "$label" "Loading $(printf '%s' "$first$first$first$first$first$first$first$first" | cut -c 1-15).kvs" ;;
    kvs.ini:*) expect_line "$out" "$label" 'Loading kvs.ini' ;;
    krv.ini:long_lines) expect_line "$out" "$label" 'setting...show FPS' ;;
    krv.ini:300_entries)
        [ "$(grep -c '^setting\.\.\.' "$out/stdout")" -eq 300 ] || fail "$label: not 300 setting lines" ;;
    krv.ini:*) ! grep -q '^setting\.\.\.' "$out/stdout" || fail "$label: a setting was read" ;;
    sheet.kvs:garbage | sheet.kvs:long_lines)
        expect_line "$out" "$label" "Loading $target"
        grep -qF "ERROR! $target..l" "$out/stdout" || fail "$label: no invalid-number message" ;;
    sheet.kvs:300_entries)
        expect_line "$out" "$label" "Loading $target"
        [ "$(grep -cE '^[0-9]+,0,16,16$' "$out/stdout")" -ge 256 ] || fail "$label: fewer than 256 frames echoed" ;;
    sheet.kvs:*) expect_line "$out" "$label" "Loading $target" ;;
    esac
}

cases=("${text_cases[@]}")
is_bitmap && cases=("${bitmap_cases[@]}")
ran=0 skipped=0
for case_name in "${cases[@]}"; do
    dir=$(copy_data "data-$case_name")
    first_target=""
    for target in $(targets "$dir"); do
        [ -n "$first_target" ] || first_target=$target
        (cd "$dir" && "break_$case_name" "$target")
    done
    [ -n "$first_target" ] || fail "$file: the data folder has no such file to break"
    nobody=()
    if [ "$case_name" = unreadable ] && [ "$(id -u)" -eq 0 ]; then
        if ! can_drop_privileges; then
            echo "SKIP $file:unreadable: root reads every file, and no unprivileged user can be had here"
            skipped=$((skipped + 1))
            continue
        fi
        nobody=(--nobody)
    fi
    for options in "" "--draws"; do
        label="$file:$case_name${options:+ $options}"
        run_game "$dir" "$work/out" "${nobody[@]}" $options
        check_run "$work/out" "$label"
        check_messages "$work/out" "$label" "$case_name" "$first_target"
        ran=$((ran + 1))
    done
done
echo "$file: $ran runs passed, $skipped cases skipped"
