#!/usr/bin/env bash
# no_writable_data.sh OBJECT...: the game's folders keep no mutable global. Fails when an object file
# has a section of writable data (.data or .bss, thread-local ones included) that is not empty, and
# names the symbols in it. Read-only tables are fine, function-pointer tables in .data.rel.ro too.
set -euo pipefail
failed=0
for object in "$@"; do
    writable=$(objdump -h "$object" | awk '$2 ~ /^\.(data|bss|tdata|tbss)($|\.)/ && $2 !~ /^\.data\.rel\.ro/ && $3 !~ /^0+$/ {print $2}')
    [ -z "$writable" ] && continue
    failed=1
    for section in $writable; do
        echo "$(basename "$object"): writable data in $section:"
        objdump -t -C "$object" | awk -v s="$section" '$4 == s || $3 == s {print "    " $0}'
    done
done
if [ "$failed" = 0 ]; then
    echo "no writable data in $# object files of the game"
fi
exit "$failed"
