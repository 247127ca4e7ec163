#!/usr/bin/env bash
# The window as a screen reader reads it over the desktop's accessibility bus: a virtual X
# server, a private session bus with the accessibility registry, the emulator with a small
# fleet, the real program, and atspi_read.py reading the main window and, after Enter on a row,
# the configuration dialog. Skips (exit 77) when a piece is not installed.
# Usage: AtspiReading.sh <bin dir> <fleet file>
set -u
bin=$1
fleet=$2
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3
for tool in Xvfb xdotool dbus-run-session /usr/libexec/at-spi-bus-launcher; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
"$python" -c 'import pyatspi' 2>/dev/null || { echo "skipped: python3-pyatspi is missing"; exit 77; }

if [[ ${ORDVANE_ATSPI_INSIDE:-} != 1 ]]; then
  exec env ORDVANE_ATSPI_INSIDE=1 dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and names it on the descriptor, so parallel runs never meet.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  [[ -s $work/display ]] && break
  sleep 0.1
done
display=:$(head -1 "$work/display")
[[ $display != : ]] || { echo "fault: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/bus.log" 2>&1 &
pids+=($!)
"$bin/quillmor-sim" --fleet "$fleet" --address 127.0.0.1 --port 0 >"$work/sim.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  grep -q '^ready ' "$work/sim.log" && break
  sleep 0.1
done
port=$(sed -n 's/^ready port=\([0-9]*\).*/\1/p' "$work/sim.log")
[[ -n $port ]] || { echo "fault: the emulator did not start"; cat "$work/sim.log"; exit 1; }

export DISPLAY=$display QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LANG=C.UTF-8
export XDG_CONFIG_HOME=$work ZEVA_TARGETS=127.0.0.1:$port ZEVA_INTERFACES=none
"$bin/ordvane" >"$work/ordvane.log" 2>&1 &
pids+=($!)
sleep 3
status=0
"$python" "$here/atspi_read.py" main ${ORDVANE_ATSPI_DUMP:-} || status=1
window=$(xdotool search --name 'Ordvane v' | head -1)
if [[ -z $window ]]; then
  echo "fault: no window"; cat "$work/ordvane.log"; exit 1
fi
xdotool windowfocus --sync "$window" key Tab Tab Down Return
sleep 2
"$python" "$here/atspi_read.py" dialog || status=1
exit $status
