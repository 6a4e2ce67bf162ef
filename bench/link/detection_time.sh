#!/bin/sh
# Time from starting vyk2 to "Brixo VYK II présente" with vyk2-sim on COM1
# (the program's own Qt port and event loop). Usage: detection_time.sh [BUILD]
set -eu
build=${1:-build}
[ -x "$build/src/app/vyk2" ] && [ -x "$build/src/sim/app/vyk2-sim" ] || {
  echo "build vyk2 and vyk2-sim in $build first" >&2; exit 2; }
tmp=$(mktemp -d)
sim_pid=
trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; rm -rf "$tmp"' EXIT
mkdir -p "$tmp/run" "$tmp/config" "$tmp/home"
chmod 700 "$tmp/run"
"$build/src/sim/app/vyk2-sim" --com 1 --ports-dir "$tmp/ports" >/dev/null &
sim_pid=$!
i=0
until [ -e "$tmp/ports/COM1" ]; do
  i=$((i + 1)); [ $i -lt 500 ] || { echo "vyk2-sim did not start" >&2; exit 1; }
  sleep 0.01
done
debut=$(date +%s.%N)
VYK2_PORTS_DIR="$tmp/ports" VYK2_TRACE="$tmp/trace" QT_QPA_PLATFORM=offscreen \
XDG_RUNTIME_DIR="$tmp/run" XDG_CONFIG_HOME="$tmp/config" XDG_CONFIG_DIRS="$tmp/etc" HOME="$tmp/home" \
  "$build/src/app/vyk2" >/dev/null 2>&1 &
app_pid=$!
i=0
until grep -q "statut 0: Brixo VYK II présente" "$tmp/trace" 2>/dev/null; do
  i=$((i + 1)); [ $i -lt 1000 ] || { kill $app_pid; echo "not detected within 10 s" >&2; exit 1; }
  sleep 0.005
done
fin=$(date +%s.%N)
kill $app_pid 2>/dev/null || true
wait $app_pid 2>/dev/null || true
awk -v a="$debut" -v b="$fin" 'BEGIN { printf "start-up to \"Brixo VYK II présente\": %.3f s (goal 1.3 s)\n", b - a }'
