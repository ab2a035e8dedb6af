#!/usr/bin/env bash
# The installed Pictoreel in a real X session (Xvfb), driven with xdotool as a
# person would; waits for windows and files, never for a fixed time alone.
#   real_window.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
app_pid="" xvfb_pid="" wm_pid="" main=""
cleanup() { kill $app_pid $wm_pid $xvfb_pid 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
source "$(dirname "$0")/../support/window_driving.sh"

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
app="$work/root/usr/bin/pictoreel"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=xcb
mkdir -p "$XDG_CONFIG_HOME"

# Xvfb picks a free display itself and tells its number when it is ready.
# -noreset: the server must not start over when the program is restarted.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
wait_until test -s "$work/display"
export DISPLAY=":$(head -n 1 "$work/display")"
wait_until xdpyinfo

start_app() {
  "$app" &
  app_pid=$!
  main=""   # a restarted program may get the same window id
  main=$(focus_new Pictoreel)
}
stop_app() { kill "$app_pid"; wait "$app_pid" 2>/dev/null || true; app_pid=""; }
near() { [ $(($1 - $2)) -le 1 ] && [ $(($2 - $1)) -le 1 ]; }

# 1. The window: titled, designed client size, centred on the whole screen.
start_app
eval "$(xdotool getwindowgeometry --shell "$main")"
[ "$WIDTH" = 442 ] && [ "$HEIGHT" = 293 ] || fail "client area is ${WIDTH}x${HEIGHT}"
near "$X" 291 && near "$Y" 237 || fail "not centred: $X,$Y"

# 2. The delay: typed into the box, stored at once in the user's settings file.
click_at 269 146
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "2"
wait_until grep -qx 'Delay=2' "$XDG_CONFIG_HOME/Velmora.conf"

# 3. A folder of pictures added through the real prompts.
pictures="$work/pictures"
mkdir -p "$pictures/more"
for file in red.jpg lime.jpg blue.jpg more/YELLOW.JPG; do
  colour=$(basename "${file%.*}")
  ffmpeg -v error -f lavfi -i "color=c=${colour,,}:s=160x120" -frames:v 1 "$pictures/$file"
done
echo "not a picture" > "$pictures/notes.txt"
# Level order, each folder in name order.
expected=$'blue\nlime\nred\nyellow'

click_at 220 207                                   # "Add All Files(s) In Folder"
focus_new Pictoreel >/dev/null
xdotool key --clearmodifiers Return                # the default extension, jpg
browser=$(focus_new "Please select folder to add:")
xdotool type --delay 10 "$pictures"
xdotool key --clearmodifiers Return
# Qt's folder dialog may first open the typed folder; a second Return chooses
# it. Only ever into the dialog: a stray Return would press a main window button.
chosen() {
  window_gone "$1" "$browser" && return
  sleep 0.3
  window_gone "$1" "$browser" && return
  [ "$(xdotool getwindowfocus)" = "$browser" ] && xdotool key --clearmodifiers Return
  return 1
}
wait_until chosen "Please select folder to add:"

# 4. Convert through the real save dialog; "Done." when the converter is through.
output="$work/show.swf"
# Qt ignores clicks on the window until the folder dialog's modal session has
# wound down, a moment after it is gone from the screen: click until it opens.
save_title="Save Slide Show As \\(SWF file\\)"
save_opened() {
  other_window "$save_title" && return
  xdotool windowfocus --sync "$main"
  click_at 364 207                                 # "Convert"
  sleep 0.5
  other_window "$save_title"
}
wait_until save_opened
focus_new "$save_title" >/dev/null
xdotool type --delay 10 "$output"
xdotool key --clearmodifiers Return
done_box=$(focus_new Pictoreel)
[ -s "$output" ] || fail "no slide show was written"
xdotool key --clearmodifiers Return
wait_until window_gone Pictoreel "$done_box"

# 5. ffmpeg decodes every picture, in the list's order.
seen=$(bash "$(dirname "$0")/../support/swf_frames.sh" "$output" |
       awk '{ if ($3>200 && $4>200 && $5<80) print "yellow"; else if ($3>200) print "red";
              else if ($4>200) print "lime"; else if ($5>200) print "blue"; else print "?" }')
[ "$seen" = "$expected" ] || fail "pictures in the SWF: $(echo $seen) - expected $(echo $expected)"
# 6. Under a window manager, which adds its frame after the window is shown,
# the window is centred on its outer size, frame included.
stop_app
openbox >/dev/null 2>&1 &
wm_pid=$!
wait_until sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"
start_app
centred_in_frame() {
  local extents left right top bottom info
  extents=$(xprop -id "$main" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ' ')
  [ -n "$extents" ] || return 1
  IFS=, read -r left right top bottom <<<"$extents"
  info=$(xwininfo -id "$main")   # the client area's place (xdotool's is off under a frame)
  field() { sed -n "s/^ *$1: *//p" <<<"$info"; }
  local width=$(($(field Width) + left + right)) height=$(($(field Height) + top + bottom))
  near $(($(field 'Absolute upper-left X') - left)) $(((1024 - width) / 2)) &&
    near $(($(field 'Absolute upper-left Y') - top)) $(((768 - height) / 2))
}
wait_until centred_in_frame

echo "real window: ok ($(echo $seen))"
