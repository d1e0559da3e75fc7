#!/usr/bin/env bash
# Every figure of the reader's speed at scale, each against its baseline measured in the same run,
# and a table of them at the end:
#   start-up and peak memory at start     the reader against a bare Qt window with the same picture
#   page display (demo, 200 synthetic)    the HTML pane against a bare web view (bench_pagedisplay)
#   scan of 3,000 pages                   velbrook-tool scan against grep -rli over the same pages
#                                         written out as plain files
#   scan of 30,000 packed pages           time and peak memory against the same scan of 3,000
#   index build of 30,000 packed pages    velbrook-tool index build, against 3,000 pages
#   warm index look-ups on 30,000 pages   bench_index, against reading the index files once
#   the large-manual run                  bench/largemanual/largemanual.sh (large title vs demo)
# Timings that take turns with their baseline are medians of pairs, the side that goes first
# alternating, so the load of a shared machine falls on both alike.
# Usage: bench/figures.sh BUILD_DIR [RUNS]   (RUNS: pairs for the short timings, 15 by default)
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
runs=${2:-15}
here=$(cd "$(dirname "$0")" && pwd)
tool=$build/tools/velbrook-tool
synth=$build/bench/search/velbrook-synth-manual
work=${VELBROOK_BENCH_WORK:-$(mktemp -d)}
[ -n "${VELBROOK_BENCH_WORK:-}" ] || trap 'rm -rf "$work"' EXIT
summary=$work/summary.txt
: > "$summary"

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} VELBROOK_AUDIO_OUTPUT=null
export QTWEBENGINE_CHROMIUM_FLAGS=${QTWEBENGINE_CHROMIUM_FLAGS:---no-sandbox --disable-gpu}

# figure NAME VALUE BASELINE RATIO GOAL: one line of the table at the end.
figure() { printf '%s\t%s\t%s\t%s\t%s\n' "$@" >> "$summary"; }

echo "== start-up"
"$here/startup/startup.sh" "$build" "$runs" | tee "$work/startup.txt"
python3 - "$work/startup.txt" >> "$summary" <<'PY'
import re, sys
for line in open(sys.argv[1]):
    m = re.match(r"(start-up|peak memory) (?:to|at) (.*), median of \d+ pairs: reader ([\d.]+) (\S+), baseline ([\d.]+) \S+, ratio ([\d.]+)", line)
    if m:
        kind, what, reader, unit, base, ratio = m.groups()
        goal = "<= 1.20" if kind == "start-up" else "<= 1.30"
        print("%s at %s vs bare window\t%s %s\t%s %s\t%s\t%s" % (kind, what, reader, unit, base, unit, ratio, goal))
PY

echo "== page display"
"$build/bench/viewer/bench_pagedisplay" 2> "$work/pagedisplay.err" | tee "$work/pagedisplay.txt" ||
    { echo "bench_pagedisplay failed:"; cat "$work/pagedisplay.err"; }
awk '$1 == "demo" || $1 == "synthetic" {
         printf "page display, %s (%s pages), pane vs bare view\t%s ms\t%s ms\t%s\t<= 1.00\n", $1, $2, $5, $7, $9
         printf "page display, %s, pane vs bare view on the content scheme\t%s ms\t%s ms\t%s\t(the pane itself)\n", $1, $5, $10, $12
         printf "page display, %s, content scheme vs plain files (bare views)\t%s ms\t%s ms\t%s\t(the scheme)\n", $1, $10, $7, $13 }' \
    "$work/pagedisplay.txt" >> "$summary"

echo "== the manuals: 3,000 pages (and written out), 30,000 pages"
small=$work/manual-3000 large=$work/manual-30000
[ -f "$small/interface.dat" ] || "$synth" "$small" --pages 3000 --pages-to "$work/plain-3000" > "$work/small.txt"
[ -f "$large/interface.dat" ] || "$synth" "$large" --pages 30000 > "$work/large.txt"
cat "$work/small.txt" "$work/large.txt" 2> /dev/null || true

python3 - "$runs" "$tool" "$small" "$work/plain-3000" "$large" "$work" "$build" >> "$summary" <<'PY'
import os, re, shutil, statistics, subprocess, sys, time
runs, tool, small, plain, large, work, build = int(sys.argv[1]), *sys.argv[2:]

def run(command, env=None):
    """Wall ms and peak resident MiB of one run of command."""
    start = time.monotonic_ns()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = (time.monotonic_ns() - start) / 1e6
    if os.waitstatus_to_exitcode(status) not in (0, 1):  # 1: nothing found
        sys.exit("failed: %s" % " ".join(command))
    return elapsed, usage.ru_maxrss / 1024

def pairs(a, b, count):
    """Medians of count runs of a and of b, taking turns."""
    ta, tb, ma, mb = [], [], [], []
    run(a), run(b)  # the file cache
    for i in range(count):
        for which in ((a, b) if i % 2 == 0 else (b, a)):
            t, m = run(which)
            (ta if which is a else tb).append(t)
            (ma if which is a else mb).append(m)
    return statistics.median(ta), statistics.median(tb), statistics.median(ma), statistics.median(mb)

def words(folder):
    text = open(os.path.join(work, "small.txt" if folder == small else "large.txt"), encoding="utf-8").read()
    return {k: re.search(k + r" word: (\S+)", text).group(1) for k in ("rare", "missing")}

def row(name, value, baseline, ratio, goal):
    print("%s\t%s\t%s\t%.2f\t%s" % (name, value, baseline, ratio, goal))
    sys.stdout.flush()

for kind, word in words(small).items():
    scan = [tool, "scan", small, word]
    # The pages are in code page 1251: grep looks for the word's bytes in them, byte by byte (in a
    # UTF-8 locale grep would take those bytes for broken characters and crawl).
    grep = ["env", "LC_ALL=C", "grep", "-rli", word.encode("cp1251"), plain]
    ts, tg, _, _ = pairs(scan, grep, runs)
    print("scan of 3,000 pages, %s word: velbrook-tool scan %.1f ms, grep -rli %.1f ms" % (kind, ts, tg), file=sys.stderr)
    row("scan of 3,000 pages (%s word) vs grep -rli" % kind, "%.1f ms" % ts, "%.1f ms" % tg, ts / tg, "<= 4")

word = words(large)["missing"]
t30, t3, m30, m3 = pairs([tool, "scan", large, word], [tool, "scan", small, word], max(3, runs // 3))
print("scan, missing word: 30,000 pages %.0f ms %.1f MiB, 3,000 pages %.0f ms %.1f MiB" % (t30, m30, t3, m3), file=sys.stderr)
row("scan of 30,000 packed pages vs 3,000 (time)", "%.0f ms" % t30, "%.0f ms" % t3, t30 / t3, "< 2000 ms")
row("scan of 30,000 packed pages vs 3,000 (memory)", "%.1f MiB" % m30, "%.1f MiB" % m3, m30 / m3, "a few pages")

# The index build writes beside the pack: each into a folder of its own holding only the pack.
builds = {}
for name, folder in (("large", large), ("small", small)):
    target = os.path.join(work, "index-" + name)
    shutil.rmtree(target, ignore_errors=True)
    os.makedirs(target)
    os.link(os.path.join(folder, "interface.dat"), os.path.join(target, "interface.dat"))
    builds[name] = [tool, "index", "build", target]
b30, b3, bm30, bm3 = pairs(builds["large"], builds["small"], 3)
print("index build: 30,000 pages %.0f ms %.1f MiB, 3,000 pages %.0f ms %.1f MiB" % (b30, bm30, b3, bm3), file=sys.stderr)
row("index build of 30,000 packed pages vs 3,000", "%.0f ms" % b30, "%.0f ms" % b3, b30 / b3, "< 10000 ms")
PY

echo "== index look-ups on 30,000 pages (warm)"
VELBROOK_BENCH_MANUAL=$large VELBROOK_BENCH_PAGES=30000 "$build/bench/search/bench_index" \
    --benchmark_filter='readIndexFilesOnce|FindInIndex/' --benchmark_format=csv 2> "$work/index.err" |
    tee "$work/index.csv" || { echo "bench_index failed:"; tail -5 "$work/index.err"; }
python3 - "$work/index.csv" >> "$summary" <<'PY'
import csv, sys
rows = {r["name"]: r for r in csv.DictReader(l for l in open(sys.argv[1]) if l.startswith(("name", '"')))}
if "readIndexFilesOnce" not in rows:
    sys.exit(0)
def ms(r):
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[r["time_unit"]]
    return float(r["real_time"]) * scale
base = ms(rows["readIndexFilesOnce"])
for name, r in rows.items():
    if name.startswith("FindInIndex/"):
        print("warm look-up on 30,000 pages, %s vs reading the index once\t%.3f ms\t%.1f ms\t%.4f\t< 1 ms"
              % (name.split("/")[1], ms(r), base, ms(r) / base))
PY

echo "== the large-manual run"
"$here/largemanual/largemanual.sh" "$build" 3 30000 | tee "$work/largemanual.txt" || echo "the large-manual run failed"
awk '/^[a-z-]+ +[0-9.]+ +[0-9.]+ +[0-9.]+ +[0-9.]+ ms$/ {
         printf "large manual vs demo: %s\t%s ms\t%s ms\t%s\tlinear at most\n", $1, $3, $2, $4 }
     /^longest interface-thread stall/ { printf "longest interface-thread stall (large run)\t%s ms\t1000 ms\t%.2f\t< 1 s\n", $7, $7 / 1000 }' \
    "$work/largemanual.txt" >> "$summary"

echo
echo "== figures (value, baseline, ratio, goal)"
column -t -s $'\t' "$summary"
