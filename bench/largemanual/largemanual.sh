#!/usr/bin/env bash
# The large-manual run: the reader on a title made of the demo and 30,000 synthetic pages with a
# contents tree of as many items, against the demo itself, in one run. Each figure is the median
# of RUNS runs, the two titles taking turns, and is given as the ratio large / demo:
#   start-up      process start to the first frame of the start screen (--screenshot --after 0)
#   first page    process start to the reading screen's start page shown (--command 2)
#   first-frame, first-page, tree-click, search-all-pages, index-search, index-search-missing:
#                 the steps of bench_largemanual, the reader driven in one process (see there)
# and, for each step, the longest time the interface thread was held.
# Usage: bench/largemanual/largemanual.sh BUILD_DIR [RUNS] [PAGES]
set -euo pipefail
build=${1:?build folder}
runs=${2:-5}
pages=${3:-30000}
demo=$build/demo
work=${VELBROOK_BENCH_WORK:-$(mktemp -d)}
[ -n "${VELBROOK_BENCH_WORK:-}" ] || trap 'rm -rf "$work"' EXIT
large=$work/large-$pages

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} VELBROOK_AUDIO_OUTPUT=null
export QTWEBENGINE_CHROMIUM_FLAGS=${QTWEBENGINE_CHROMIUM_FLAGS:---no-sandbox --disable-gpu}
export VELBROOK_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/xdg
export XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

if [ ! -f "$large/Kel.dhl" ]; then
    echo "making the large title ($pages synthetic pages) in $large"
    "$build/bench/largemanual/velbrook-large-title" "$demo" "$large" --pages "$pages"
fi
last=$(printf 'html/part%02d/page%04d.htm' $(( (pages - 1) / 100 + 1 )) "$pages")

# Wall time in ms of one run of a command.
wall_ms() {
    local start end
    start=$(date +%s%N)
    "$@" > /dev/null 2>&1 || true
    end=$(date +%s%N)
    echo $(( (end - start) / 1000000 ))
}

results=$work/results.txt
: > "$results"
for run in $(seq "$runs"); do
    for title in demo large; do
        folder=$demo
        trees=(--tree-page prilozhenie.htm)
        if [ "$title" = large ]; then
            folder=$large
            trees+=(--tree-page "$last")
        fi
        echo "$title start-up $(wall_ms "$build/src/app/velbrook" --content "$folder" --screenshot "$work/shot.png" --after 0) 0" >> "$results"
        echo "$title first-page-process $(wall_ms "$build/src/app/velbrook" --content "$folder" --command 2 --screenshot "$work/shot.png" --after 0) 0" >> "$results"
        "$build/bench/largemanual/bench_largemanual" "$folder" "${trees[@]}" 2> "$work/driver.err" |
            awk -v t="$title" '{ step = $1; if (step == "tree-click") { step = step "-" (++n) } print t, step, $2, $3 }' >> "$results" ||
            { echo "bench_largemanual failed on $title:"; cat "$work/driver.err"; }
    done
    echo "run $run of $runs done"
done

python3 - "$results" "$pages" <<'PY'
import collections, statistics, sys
times = collections.defaultdict(list)
stalls = collections.defaultdict(list)
for line in open(sys.argv[1]):
    title, step, ms, stall = line.split()
    times[(title, step)].append(float(ms))
    stalls[(title, step)].append(float(stall))
steps = []
for (title, step) in times:
    if step not in steps:
        steps.append(step)
print("%-22s %12s %12s %8s %16s" % ("step (median ms)", "demo", "large", "ratio", "longest stall"))
worst = 0
for step in steps:
    demo = statistics.median(times[("demo", step)]) if ("demo", step) in times else float("nan")
    large = statistics.median(times[("large", step)]) if ("large", step) in times else float("nan")
    stall = max(stalls.get(("large", step), [0]) + stalls.get(("demo", step), [0]))
    worst = max(worst, stall)
    ratio = large / demo if demo > 0 else float("nan")
    print("%-22s %12.1f %12.1f %8.2f %13.1f ms" % (step, demo, large, ratio, stall))
print("longest interface-thread stall in any step: %.1f ms (%s)" % (worst, "over 1 s" if worst > 1000 else "under 1 s"))
PY
