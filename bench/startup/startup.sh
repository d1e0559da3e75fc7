#!/usr/bin/env bash
# Start-up of the reader on the demo manual, from process start to the first painted frame of
# screen 0 (--screenshot with --after 0), against a minimal Qt program that shows one window of the
# same size with the same background picture. The two run in pairs, which one goes first
# alternating from pair to pair, so that the load of a shared machine falls on both alike. Prints
# the median wall time and the median peak resident memory of RUNS pairs, and their ratios, twice:
#   first frame          the picture goes to a folder that does not exist, so both end at their
#                        first frame without encoding it (Qt opens the file before it looks for a
#                        writer);
#   first frame + PNG    the picture written: Qt's writer asks every image plug-in it has, which
#                        loads them all into both programs at the end.
# Usage: bench/startup/startup.sh BUILD_DIR [RUNS]
set -euo pipefail
build=${1:?build folder}
runs=${2:-15}
demo=$build/demo
tool=$build/tools/velbrook-tool
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} VELBROOK_AUDIO_OUTPUT=null
export VELBROOK_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/xdg
export XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache HOME=$work/home
mkdir -p "$XDG_RUNTIME_DIR" "$HOME" && chmod 700 "$XDG_RUNTIME_DIR"

# The background of screen 0, as the reader finds it in the container.
background=$("$tool" script dump "$demo/Kel.dhl" | python3 -c 'import json,sys; print(json.load(sys.stdin)["screens"][0]["background"])')
"$tool" container cat "$demo/Kel.dhl" "$background" > "$work/background.bmp"

for out in "$work/none/" "$work/"; do
python3 - "$runs" "$([ "$out" = "$work/" ] && echo "first frame + PNG" || echo "first frame")" \
    "$build/src/app/velbrook --content $demo --screenshot ${out}reader.png --after 0" \
    "$build/bench/startup/startup_baseline $work/background.bmp ${out}baseline.png" <<'PY'
import os, statistics, subprocess, sys, time
runs, what = int(sys.argv[1]), sys.argv[2]
commands = {"reader": sys.argv[3].split(), "baseline": sys.argv[4].split()}
wall = {name: [] for name in commands}
peak = {name: [] for name in commands}

def run(name):
    start = time.monotonic_ns()
    process = subprocess.Popen(commands[name], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    wall[name].append((time.monotonic_ns() - start) / 1e6)
    peak[name].append(usage.ru_maxrss / 1024)  # KiB to MiB
    # Without a folder to write into, the reader ends with status 1 after its first frame.
    if os.waitstatus_to_exitcode(status) not in ((0, 1) if what == "first frame" else (0,)):
        sys.exit("%s failed (status %d)" % (" ".join(commands[name]), status))

for name in commands:  # one unmeasured run of each fills the file cache
    run(name)
    wall[name].clear()
    peak[name].clear()
for i in range(runs):
    for name in (("reader", "baseline") if i % 2 == 0 else ("baseline", "reader")):
        run(name)
r, b = statistics.median(wall["reader"]), statistics.median(wall["baseline"])
rm, bm = statistics.median(peak["reader"]), statistics.median(peak["baseline"])
print("start-up to %s, median of %d pairs: reader %.1f ms, baseline %.1f ms, ratio %.2f" % (what, runs, r, b, r / b))
print("peak memory at %s, median of %d pairs: reader %.1f MiB, baseline %.1f MiB, ratio %.2f" % (what, runs, rm, bm, rm / bm))
PY
done
