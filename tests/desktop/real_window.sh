#!/usr/bin/env bash
# Pictoreel in a real X session (Xvfb), installed and started through its link,
# driven with xdotool as a person would: the window opens titled and centred,
# the delay survives a restart, a folder added through the real prompts is
# converted through the real save dialog into a SWF that ffprobe decodes with
# every picture in order. Waits for windows and files, never for a fixed time
# alone.
#   real_window.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
app_pid="" xvfb_pid="" wm_pid=""
cleanup() {
  [ -z "$app_pid" ] || kill "$app_pid" 2>/dev/null || true
  [ -z "$wm_pid" ] || kill "$wm_pid" 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Waits up to 30 s for a condition (a command), checking every 50 ms.
wait_until() {
  local tries=600
  until "$@" >/dev/null 2>&1; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || fail "timed out waiting for: $*"
    sleep 0.05
  done
}

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
app="$work/root/usr/bin/pictoreel"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=xcb
mkdir -p "$XDG_CONFIG_HOME"

# Xvfb picks a free display itself and tells its number when it is ready.
# -noreset: the server must not start over when the program is restarted.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
display_known() { [ -s "$work/display" ]; }
wait_until display_known
export DISPLAY=":$(head -n 1 "$work/display")"
wait_until xdpyinfo

# Visible top-level windows named exactly "Pictoreel", newest last.
pictoreel_windows() { xdotool search --onlyvisible --name '^Pictoreel$' 2>/dev/null || true; }
# The id of a visible window with this exact title that is not the main window.
other_window() {
  local id
  for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
    [ "$id" != "$main" ] && { echo "$id"; return 0; }
  done
  return 1
}
window_gone() { ! xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -qx "$2"; }

start_app() {
  "$app" &
  app_pid=$!
  wait_until pictoreel_windows_present
  main=$(pictoreel_windows | head -n 1)
  xdotool windowfocus --sync "$main"
}
pictoreel_windows_present() { [ -n "$(pictoreel_windows)" ]; }
click_at() { xdotool mousemove --window "$main" "$1" "$2" click 1; }

# 1. The window: titled, designed client size, centred on the whole screen.
start_app
eval "$(xdotool getwindowgeometry --shell "$main")"
[ "$WIDTH" = 442 ] && [ "$HEIGHT" = 293 ] || fail "client area is ${WIDTH}x${HEIGHT}"
[ $((X - 291)) -le 1 ] && [ $((291 - X)) -le 1 ] || fail "not centred horizontally: x=$X"
[ $((Y - 237)) -le 1 ] && [ $((237 - Y)) -le 1 ] || fail "not centred vertically: y=$Y"

# 2. The delay: typed into the box, stored at once, shown again after a restart.
click_at 269 146
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "2"
delay_stored() { grep -qx 'Delay=2' "$XDG_CONFIG_HOME/Velmora.conf"; }
wait_until delay_stored
kill "$app_pid"; wait "$app_pid" 2>/dev/null || true; app_pid=""
start_app
click_at 269 146
xdotool key --clearmodifiers ctrl+a ctrl+c
box_shows_2() { [ "$(xclip -o -selection clipboard)" = 2 ]; }
wait_until box_shows_2

# 3. A folder of pictures added through the real prompts.
pictures="$work/pictures"
mkdir -p "$pictures/more"
for colour in red lime blue; do
  ffmpeg -v error -f lavfi -i "color=c=$colour:s=160x120" -frames:v 1 "$pictures/$colour.jpg"
done
ffmpeg -v error -f lavfi -i "color=c=yellow:s=160x120" -frames:v 1 "$pictures/more/YELLOW.JPG"
echo "not a picture" > "$pictures/notes.txt"
# Level order, each folder in the file system's own listing order.
expected=$( (find "$pictures" -maxdepth 1 -iname '*.jpg'; find "$pictures/more" -maxdepth 1 -iname '*.jpg') \
            | xargs -n1 basename | sed 's/\.[jJ][pP][gG]$//' | tr 'A-Z' 'a-z')

click_at 220 207                                   # "Add All Files(s) In Folder"
wait_until other_window Pictoreel
prompt=$(other_window Pictoreel)
xdotool windowfocus --sync "$prompt"
xdotool key --clearmodifiers Return                # the default extension, jpg
wait_until other_window "Please select folder to add:"
browser=$(other_window "Please select folder to add:")
xdotool windowfocus --sync "$browser"
xdotool type --delay 10 "$pictures"
xdotool key --clearmodifiers Return
# Qt's folder dialog may first open the typed folder; a second Return chooses it.
for _ in 1 2 3 4 5 6 7 8 9 10; do
  window_gone "Please select folder to add:" "$browser" && break
  sleep 0.3
  window_gone "Please select folder to add:" "$browser" || xdotool key --clearmodifiers Return
done
wait_until window_gone "Please select folder to add:" "$browser"

# 4. Convert through the real save dialog; "Done." when the converter is through.
output="$work/out/show.swf"
mkdir -p "$work/out"
xdotool windowfocus --sync "$main"
click_at 364 207                                   # "Convert"
wait_until other_window "Save Slide Show As \\(SWF file\\)"
saver=$(other_window "Save Slide Show As \\(SWF file\\)")
xdotool windowfocus --sync "$saver"
xdotool type --delay 10 "$output"
xdotool key --clearmodifiers Return
wait_until other_window Pictoreel
done_box=$(other_window Pictoreel)
[ -s "$output" ] || fail "no slide show was written"
xdotool windowfocus --sync "$done_box"
xdotool key --clearmodifiers Return
wait_until window_gone Pictoreel "$done_box"

# 5. ffprobe reads every picture, in the list's order.
seen=$(ffmpeg -v error -i "$output" -vf scale=1:1:flags=area -fps_mode passthrough -f rawvideo -pix_fmt rgb24 - \
       | od -An -tu1 -v -w3 | awk '{ if ($1>200 && $2>200 && $3<80) print "yellow";
                                     else if ($1>200) print "red"; else if ($2>200) print "lime"; else if ($3>200) print "blue";
                                     else print "?" }')
[ "$seen" = "$expected" ] || fail "pictures in the SWF: $(echo $seen) - expected $(echo $expected)"
frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$output")
[ "$frames" = 4 ] || fail "ffprobe counts $frames pictures"
# 6. Under a window manager, which adds its frame after the window is shown,
# the window is centred on its outer size, frame included.
kill "$app_pid"; wait "$app_pid" 2>/dev/null || true; app_pid=""
openbox >/dev/null 2>&1 &
wm_pid=$!
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
wait_until wm_running
start_app
centred_in_frame() {
  local extents left right top bottom
  extents=$(xprop -id "$main" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ' ')
  [ -n "$extents" ] || return 1
  IFS=, read -r left right top bottom <<<"$extents"
  # The client area's place on the screen (xdotool's is off under a frame).
  local info X Y WIDTH HEIGHT
  info=$(xwininfo -id "$main")
  X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  WIDTH=$(sed -n 's/^ *Width: *//p' <<<"$info")
  HEIGHT=$(sed -n 's/^ *Height: *//p' <<<"$info")
  local outer_x=$((X - left)) outer_y=$((Y - top))
  local want_x=$(((1024 - WIDTH - left - right) / 2)) want_y=$(((768 - HEIGHT - top - bottom) / 2))
  [ $((outer_x - want_x)) -le 1 ] && [ $((want_x - outer_x)) -le 1 ] &&
    [ $((outer_y - want_y)) -le 1 ] && [ $((want_y - outer_y)) -le 1 ]
}
wait_until centred_in_frame

echo "real window: ok ($(echo $seen))"
