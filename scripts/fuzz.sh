#!/usr/bin/env bash
# Fuzzes the GEDCOM reader and the whole chart pipeline with libFuzzer, under the address and
# undefined-behaviour sanitizers. Installs what is missing, builds build-fuzz with clang, replays
# fuzz/regressions (those of fuzz/known-failing.txt left out), then runs each target for SECONDS
# seconds (default 60). The corpus of each target is kept in build-fuzz/corpus between runs; what
# fails lands in build-fuzz/artifacts. Prints per target the executions and the files that failed.
#
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]      targets: read, chart (default both)
#
# The run goes on past a failing input (fork mode) and keeps every one of them, so that known
# faults do not hide new ones. To look at one:
#   build-fuzz/fuzz/arbolix_fuzz_chart FILE                      (replays it under the sanitizers)
#   ARBOLIX_FUZZ_TRACE=1 build-fuzz/fuzz/arbolix_fuzz_chart FILE (also tells each chart it draws)
#   build-fuzz/fuzz/arbolix_fuzz_chart -minimize_crash=1 -runs=20000 FILE
# then put the input in fuzz/regressions.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(read chart)
case $seconds in '' | *[!0-9]*)
    echo "usage: scripts/fuzz.sh [SECONDS] [read|chart...]" >&2
    exit 2
    ;;
esac

# Inputs up to 16 KiB: a hundred persons or more, enough for families and charts of every shape
# while each run stays short.
max_len=16384
fuzz_dir=$ARBOLIX_ROOT/fuzz
build=$ARBOLIX_ROOT/build-fuzz
shared=${ARBOLIX_SHARED_GEDCOM:-$ARBOLIX_ROOT/../shared/gedcom}

# Stack traces for undefined behaviour too.
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

ensure_packages "$ARBOLIX_ROOT/scripts/packages.txt"
ensure_packages "$ARBOLIX_ROOT/scripts/fuzz-packages.txt"

cmake -S "$ARBOLIX_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DARBOLIX_FUZZ=ON -DARBOLIX_BUILD_TESTS=OFF \
    -DARBOLIX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/#/arbolix_fuzz_}"

# The names of fuzz/known-failing.txt, one a line.
known_failing() {
    # An empty list is no failure.
    { grep -v -E '^\s*(#|$)' "$fuzz_dir/known-failing.txt" || true; } | awk '{ print $1 }'
}

# The inputs of fuzz/regressions whose faults are fixed.
fixed_regressions() {
    local file known
    known=$(known_failing)
    for file in "$fuzz_dir"/regressions/*; do
        [ -f "$file" ] || continue
        grep -qxF "$(basename "$file")" <<<"$known" || printf '%s\n' "$file"
    done
}

# A copy of a GEDCOM file of at most `max` bytes. A larger file keeps its header, the persons of the
# first half of the budget and then the families that join at least two of them; UTF-16 files and
# files with CR line ends alone are simply cut.
cut_gedcom() {
    local file=$1 out=$2 max=$3
    if [ "$(stat -c %s "$file")" -le "$max" ]; then
        cp "$file" "$out"
    elif [ "$(head -c 4096 "$file" | tr -d -c '\000' | wc -c)" -eq 0 ] &&
        [ "$(head -c 4096 "$file" | tr -d -c '\n' | wc -c)" -gt 0 ]; then
        LC_ALL=C awk -v max="$max" '
            /^[ \t]*0[ \t]/ || NR == 1 { n++ }
            { record[n] = record[n] $0 "\n" }
            function pointer(text) { return match(text, /@[^@]*@/) ? substr(text, RSTART, RLENGTH) : "" }
            END {
                used = length(record[1]); keep[1] = 1
                for (i = 2; i <= n; i++) {
                    if (record[i] !~ /^[ \t]*0[ \t]+@[^@]*@[ \t]+INDI/) continue
                    if (used + length(record[i]) > max / 2) break
                    keep[i] = 1; used += length(record[i]); person[pointer(record[i])] = 1
                }
                for (i = 2; i <= n; i++) {
                    if (record[i] !~ /^[ \t]*0[ \t]+@[^@]*@[ \t]+FAM/) continue
                    if (used + length(record[i]) > max - 8) continue
                    lines = split(record[i], line, "\n"); members = 0
                    for (k = 2; k <= lines; k++)
                        if (line[k] ~ /^[ \t]*1[ \t]+(HUSB|WIFE|CHIL)/ && pointer(line[k]) in person) members++
                    if (members >= 2) { keep[i] = 1; used += length(record[i]) }
                }
                for (i = 1; i <= n; i++) if (i in keep) printf "%s", record[i]
                print "0 TRLR"
            }' "$file" >"$out"
    else
        head -c "$max" "$file" >"$out"
    fi
}

# Seeds, made again at each run: ours, the regressions already fixed, and the shared files cut to
# size (their licences forbid copying them into the project: they stay in the build folder).
seeds=$build/seeds
rm -rf "$seeds"
mkdir -p "$seeds"
cp "$fuzz_dir"/seeds/* "$seeds"/
fixed_regressions | while read -r file; do cp "$file" "$seeds/regression-$(basename "$file")"; done
if [ -d "$shared" ]; then
    for file in "$shared"/*.ged "$shared"/*.GED; do
        [ -f "$file" ] && cut_gedcom "$file" "$seeds/shared-$(basename "$file")" "$max_len"
    done
else
    echo "No shared GEDCOM files in $shared: fuzzing from our own seeds only."
fi

# The regressions already fixed must pass under the sanitizers too.
mapfile -t regressions < <(fixed_regressions)
if [ ${#regressions[@]} -gt 0 ]; then
    for target in "${targets[@]}"; do
        echo "== $target: replaying ${#regressions[@]} inputs of fuzz/regressions"
        if ! "$build/fuzz/arbolix_fuzz_$target" "${regressions[@]}" >"$build/replay-$target.log" 2>&1; then
            tail -n 40 "$build/replay-$target.log"
            echo "A fixed input of fuzz/regressions fails again ($build/replay-$target.log)." >&2
            exit 1
        fi
    done
fi

summary=()
for target in "${targets[@]}"; do
    corpus=$build/corpus/$target
    artifacts=$build/artifacts/$target
    log=$build/fuzz-$target.log
    mkdir -p "$corpus" "$artifacts"
    marker=$(mktemp)
    echo "== $target: fuzzing for $seconds s (log in $log)"
    # One input draws up to twelve charts; one stopped at the duplication budget (250,000 boxes)
    # takes about half a second, and eight times that under the sanitizers: 30 s leaves room for
    # three of them while a hang is still caught.
    "$build/fuzz/arbolix_fuzz_$target" "$corpus" "$seeds" -fork=1 -ignore_crashes=1 -ignore_ooms=1 \
        -ignore_timeouts=1 -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=30 \
        -max_len="$max_len" -dict="$fuzz_dir/gedcom.dict" -entropic_scale_per_exec_time=1 \
        -artifact_prefix="$artifacts/" \
        >"$log" 2>&1 || true
    # The last status line of the fork mode: "#N: cov: C ft: F corp: K exec/s E oom/timeout/crash:
    # O/T/X time: Ss ..." (its exec/s is the last job's).
    status=$(grep -E '^#[0-9]+: cov:' "$log" | tail -n 1 || true)
    runs=$(grep -oE '^#[0-9]+' <<<"$status" | tr -d '#' || true)
    failures=$(grep -oE 'oom/timeout/crash: [0-9/]+' <<<"$status" || true)
    found=$(find "$artifacts" -type f -newer "$marker" | sort)
    rm -f "$marker"
    line="$target: ${runs:-0} executions in $seconds s ($(( ${runs:-0} / seconds ))/s), corpus $(find "$corpus" -type f | wc -l) files, ${failures:-oom/timeout/crash: 0/0/0}"
    summary+=("$line")
    echo "$line"
    if [ -n "$found" ]; then
        echo "Files that failed (with what a crash says when replayed):"
        while read -r file; do
            echo "  $file"
            case $(basename "$file") in crash-*)
                timeout 60 "$build/fuzz/arbolix_fuzz_$target" "$file" 2>&1 |
                    grep -m1 -E 'runtime error|ERROR: (Address|Leak)Sanitizer|FAULT:' | cut -c1-200 | sed 's/^/    /' || true
                ;;
            esac
        done <<<"$found"
    fi
done

echo
echo "== Summary"
printf '%s\n' "${summary[@]}"
