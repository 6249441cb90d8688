#!/usr/bin/env bash
# Builds the fuzz targets (preset fuzz: clang, libFuzzer, ASan + UBSan) and
# runs each for a bounded time, starting from its seed corpus, then prints
# the executions of each.
#
#   tests/fuzz/run.sh [SECONDS [TARGET...]]      (make fuzz FUZZ_SECONDS=...)
#
# New inputs go to build-fuzz/fuzz/<target>/corpus, never into the seed
# corpus; an input that fails is saved in build-fuzz/fuzz/<target>/ and the
# script exits non-zero. Once its cause is fixed, keep it as a regression
# input in tests/fuzz/corpus/<target>/.
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds=${1:-60}
shift || true
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "${JOBS:-2}"

bin=build-fuzz/tests/fuzz
if [ $# -gt 0 ]; then targets=("$@"); else mapfile -t targets <"$bin/targets.txt"; fi

failed=()
summary=()
for target in "${targets[@]}"; do
    work=build-fuzz/fuzz/$target
    mkdir -p "$work/corpus"
    options=(-max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1
             -artifact_prefix="$work/")
    [ -f "tests/fuzz/$target.dict" ] && options+=(-dict="tests/fuzz/$target.dict")
    echo "fuzz_$target: $seconds s"
    if "$bin/fuzz_$target" "${options[@]}" "$work/corpus" "tests/fuzz/corpus/$target" >"$work/log" 2>&1; then
        status=ok
    else
        status=FAILED
        failed+=("$target")
        tail -n 60 "$work/log"
    fi
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
    summary+=("$(printf '%-12s %-6s %12s executions in %s s' "$target" "$status" "${executions:-?}" "$seconds")")
done

printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
    echo "failing inputs kept in build-fuzz/fuzz/<target>/ (crash-*, timeout-*, oom-*): ${failed[*]}" >&2
    exit 1
fi
