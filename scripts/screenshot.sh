#!/usr/bin/env bash
# Takes the README's picture of the main window: starts the built program in a
# virtual X screen with an empty settings folder and captures its client area.
#   scripts/screenshot.sh [OUTPUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
output=${1:-docs/main-window.png}
mkdir -p "$(dirname "$output")"

work=$(mktemp -d)
cleanup() { kill "${app_pid:-}" "${xvfb_pid:-}" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

# Xvfb picks a free display and writes its number once it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

XDG_CONFIG_HOME="$work" QT_QPA_PLATFORM=xcb build/pictoreel &
app_pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Pictoreel$' | head -n 1)
sleep 0.5   # let the first paint land
eval "$(xdotool getwindowgeometry --shell "$window")"

ffmpeg -loglevel error -y -f x11grab -draw_mouse 0 -video_size "${WIDTH}x${HEIGHT}" \
  -i "${DISPLAY}+${X},${Y}" -frames:v 1 "$output"
echo "$output"
