#!/usr/bin/env bash
# Start-up of the reader on the demo manual, from process start to the first painted frame of
# screen 0 (--screenshot with --after 0), against a minimal Qt program that shows one window of the
# same size with the same background picture. Prints the median of RUNS runs of each and the ratio.
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
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# The background of screen 0, as the reader finds it in the container.
background=$("$tool" script dump "$demo/Kel.dhl" | python3 -c 'import json,sys; print(json.load(sys.stdin)["screens"][0]["background"])')
"$tool" container cat "$demo/Kel.dhl" "$background" > "$work/background.bmp"

median_ms() {
    local times=() start end
    for _ in $(seq "$runs"); do
        start=$(date +%s%N)
        "$@" > /dev/null 2>&1
        end=$(date +%s%N)
        times+=($(( (end - start) / 1000 )))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}'
}

reader=$(median_ms "$build/src/app/velbrook" --content "$demo" --screenshot "$work/reader.png" --after 0)
baseline=$(median_ms "$build/bench/startup/startup_baseline" "$work/background.bmp" "$work/baseline.png")
echo "start-up to first frame, median of $runs: reader $reader ms, baseline $baseline ms"
awk -v r="$reader" -v b="$baseline" 'BEGIN {printf "ratio %.2f\n", r / b}'
