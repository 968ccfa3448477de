#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/, replays every kept
# input of fuzz/regressions/, then fuzzes each target for SECONDS (default 60)
# seeded from fuzz/corpus/ and examples/. Exits non-zero on any finding; the
# crashing inputs are left in build-fuzz/artifacts/<target>/.
#   bash fuzz/run.sh [SECONDS]
# VEXLOR_FUZZ_BUILD_DIR selects another build directory.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds="${1:-60}"
case "$seconds" in ''|*[!0-9]*) echo "usage: bash fuzz/run.sh [SECONDS]" >&2; exit 2 ;; esac
source "$top/tools/setup.sh"

build="${VEXLOR_FUZZ_BUILD_DIR:-$top/build-fuzz}"
CC=clang CXX=clang++ cmake -S "$top/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" --parallel "$(nproc)" >/dev/null

export ASAN_OPTIONS="abort_on_error=0:allocator_may_return_null=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen

# The examples are whole files; each target's input layout is made around them.
seeds="$build/seeds"
rm -rf "$seeds"
mkdir -p "$seeds/picture" "$seeds/preparation" "$seeds/binfile" "$seeds/export" "$seeds/import"
if [ -d "$top/examples" ]; then
    n=0
    while IFS= read -r -d '' f; do
        n=$((n + 1))
        case "$f" in
            *.bin)
                # 0x00 first: the rest of the input is the file as is.
                { printf '\000'; cat "$f"; } >"$seeds/binfile/example$n"
                # 16 bytes per line, C preset, then the first image.
                { printf '\020\000\000\000\004'; head -c 1024 "$f"; } >"$seeds/export/example$n" ;;
            *)
                cp "$f" "$seeds/picture/example$n"
                # Fitted and dithered (Floyd-Steinberg) at the middle threshold.
                { printf '\005\200'; cat "$f"; } >"$seeds/preparation/example$n" ;;
        esac
    done < <(find "$top/examples" -type f -size -200k -print0)
fi

declare -A max_len=([picture]=32768 [preparation]=32768 [binfile]=67000 [export]=6144 [import]=8192)
declare -A extra=([picture]="-dict=$top/fuzz/picture.dict" [preparation]="-dict=$top/fuzz/picture.dict")
status=0
summary=()
for target in picture preparation binfile export import; do
    exe="$build/fuzz_$target"
    logs="$build/logs"
    artifacts="$build/artifacts/$target"
    mkdir -p "$logs" "$artifacts" "$build/corpus/$target"

    mapfile -t kept < <(find "$top/fuzz/regressions/$target" -type f ! -name .keep | sort)
    if [ "${#kept[@]}" -gt 0 ] && ! "$exe" "${kept[@]}" >"$logs/$target-regressions.log" 2>&1; then
        echo "fuzz_$target: a kept regression input fails again" >&2
        tail -n 40 "$logs/$target-regressions.log" >&2
        status=1
        summary+=("$target: REGRESSION FAILED")
        continue
    fi

    # The first directory collects what this run finds; the others only seed.
    # shellcheck disable=SC2086
    if "$exe" -max_total_time="$seconds" -timeout=25 -max_len="${max_len[$target]}" \
            -print_final_stats=1 -artifact_prefix="$artifacts/" ${extra[$target]:-} \
            "$build/corpus/$target" "$top/fuzz/corpus/$target" "$seeds/$target" \
            >"$logs/$target.log" 2>&1; then
        result=ok
    else
        result="FOUND A FAULT (inputs in $artifacts)"
        tail -n 60 "$logs/$target.log" >&2
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$logs/$target.log" | tail -n 1)
    summary+=("$target: ${#kept[@]} regression inputs passed, ${runs:-?} executions, $result")
done

printf 'fuzz_%s\n' "${summary[@]}"
exit "$status"
