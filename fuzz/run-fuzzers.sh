#!/bin/sh
# Runs every fuzz target for a while and reports what it did. Fails when any target finds a crash,
# a leak, a timeout or a broken reader promise (libFuzzer then leaves the input in the artefacts).
# Usage: run-fuzzers.sh BUILD_DIR SECONDS_PER_TARGET
set -u
build=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
src=$(dirname "$here")
targets="panel bitmaptable screenimport funckey freefunc store image"

mkdir -p "$build/tmp"
sh "$here/seed-corpus.sh" "$src" "$build/corpus" || exit 1

failed=""
summary=""
for t in $targets; do
    exe="$build/fuzz/fuzz_$t"
    corpus="$build/corpus/$t"
    artifacts="$build/artifacts/$t"
    log="$build/logs/$t.log"
    mkdir -p "$corpus" "$artifacts" "$build/logs"
    dict=""
    [ -f "$here/dict/$t.dict" ] && dict="-dict=$here/dict/$t.dict"
    echo "== fuzz_$t: $seconds s"
    # Findings of earlier runs stay where they are; only new ones count for this run.
    stamp="$build/logs/$t.start"
    : >"$stamp"
    # shellcheck disable=SC2086
    TMPDIR="$build/tmp" QT_QPA_PLATFORM=offscreen \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$exe" "$corpus" $dict -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -artifact_prefix="$artifacts/" -print_final_stats=1 >"$log" 2>&1
    rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    files=$(find "$corpus" -type f | wc -l)
    bytes=$(find "$corpus" -type f -exec cat {} + | wc -c)
    found=$(find "$artifacts" -type f -newer "$stamp" | wc -l)
    status=ok
    if [ "$rc" -ne 0 ] || [ "$found" -ne 0 ]; then
        status=FINDING
        failed="$failed $t"
        echo "   FINDING (exit $rc): see $log and $artifacts"
        grep -E "^(==[0-9]+==ERROR|SUMMARY|reader promise)" "$log" | head -n 5
    fi
    line=$(printf '%-13s %12s %8s %11s  %s' "$t" "${runs:-?}" "$files" "$bytes" "$status")
    summary="$summary$line
"
done

echo
echo "target          executions  corpus: files      bytes"
printf '%s' "$summary"
if [ -n "$failed" ]; then
    echo "fuzz: findings in:$failed (inputs in $build/artifacts/<target>/)" >&2
    exit 1
fi
echo "fuzz: no finding"
