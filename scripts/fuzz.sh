#!/usr/bin/env bash
# Runs each fuzz target for a bounded time from a fixed seed, starting from a copy of its
# committed corpus, and fails if any target crashes or finds a mismatch.
#   scripts/fuzz.sh [build folder]
#   FUZZ_SECONDS: per target (default 20); FUZZ_SEED (default 1); FUZZ_JOBS: targets run at
#   once (default: the number of cores), each on a core of its own.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/fuzz}" && pwd)
seconds=${FUZZ_SECONDS:-20}
seed=${FUZZ_SEED:-1}
jobs=${FUZZ_JOBS:-$(nproc)}
targets=(config_reader config_roundtrip asset_name journal number_index)

run() {
    local target=$1 work=$build/runs/$1
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/crashes"
    # libFuzzer adds what it finds to the first corpus folder; the committed one stays as it is.
    cp "$root/fuzz/corpus/$target/"* "$work/corpus/"
    local options=(-seed="$seed" -max_total_time="$seconds" -timeout=10 -print_final_stats=1
                   -artifact_prefix="$work/crashes/")
    [ -f "$root/fuzz/$target.dict" ] && options+=(-dict="$root/fuzz/$target.dict")
    "$build/fuzz/fuzz_$target" "${options[@]}" "$work/corpus" >"$work/log" 2>&1
    echo $? >"$work/status"
}

echo "fuzz: ${#targets[@]} targets, $seconds s each from seed $seed, $jobs at a time"
for target in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
        wait -n
    done
    run "$target" &
done
wait

failed=()
for target in "${targets[@]}"; do
    work=$build/runs/$target
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
    if [ "$(cat "$work/status")" != 0 ] || [ -n "$(ls -A "$work/crashes")" ]; then
        echo "fuzz: $target FAILED after ${runs:-?} executions; log $work/log"
        grep -E -A3 'MISMATCH|ERROR:|runtime error|SUMMARY' "$work/log" | head -20
        ls "$work/crashes"
        failed+=("$target")
    else
        echo "fuzz: $target: $runs executions in $seconds s, no crash or mismatch"
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzz: ${#failed[@]} of ${#targets[@]} targets failed: ${failed[*]}"
    exit 1
fi
echo "fuzz: all ${#targets[@]} targets passed"
