#!/usr/bin/env bash
# Pictoreel for Windows under Wine, in a real window, driven with xdotool as a
# person would: the window, the delay in the registry, pictures added through
# the open dialog and through the folder route, a conversion named in the save
# dialog, and a bad picture named in the warning. Waits for windows and files,
# never for a fixed time alone. Message boxes are read as a person copies them
# (Ctrl+C puts a Qt message box's text on the clipboard).
#   real_window.sh PROGRAM_FOLDER      (DISPLAY and WINEPREFIX set)
set -euo pipefail
folder=$(cd "$1" && pwd)
work=$(mktemp -d)
app_pid="" main=""
cleanup() { [ -z "$app_pid" ] || kill "$app_pid" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Waits up to 60 s for a command to succeed (Wine's dialogs are slow to start).
wait_until() {
  local tries=1200
  until "$@" >/dev/null 2>&1; do
    ((--tries > 0)) || fail "timed out waiting for: $*"
    sleep 0.05
  done
}
# The id of a visible window with this exact title that is not the main window.
other_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -vxm1 "${main:-none}"; }
# Waits for such a window, focuses it and prints its id.
focus_new() { wait_until other_window "$1"; local id; id=$(other_window "$1"); xdotool windowfocus --sync "$id" && echo "$id"; }
window_gone() { ! xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -qx "$2"; }
click_at() { xdotool mousemove --window "$main" "$1" "$2" click 1; }
type_text() { xdotool type --delay 20 "$1"; }
press() { xdotool key --clearmodifiers "$@"; }
near() { [ $(($1 - $2)) -le 1 ] && [ $(($2 - $1)) -le 1 ]; }
windows_path() { winepath -w "$1" 2>/dev/null; }
stored_delay() { wine reg query 'HKCU\Software\Velmora\Pictoreel' /v Delay 2>/dev/null | tr -d '\r' | awk '$1 == "Delay" { print $3 }'; }
delay_is() { [ "$(stored_delay)" = "$1" ]; }
# The text of the message box with this id, copied as a person would, and the box closed.
message_text() {
  xdotool windowfocus --sync "$1"
  press ctrl+c
  local text
  wait_until sh -c 'xclip -o -selection clipboard | grep -q .'
  text=$(xclip -o -selection clipboard | tr -d '\r')
  printf '' | xclip -selection clipboard
  press Return
  wait_until window_gone Pictoreel "$1"
  printf '%s\n' "$text"
}

pictures="$work/pictures"
mkdir -p "$pictures/picked" "$pictures/folder/more"
make_picture() { ffmpeg -v error -f lavfi -i "color=c=$1:s=160x120" -frames:v 1 "$2"; }
make_picture red "$pictures/picked/red.jpg"
make_picture yellow "$pictures/picked/yellow.jpg"
make_picture lime "$pictures/folder/lime.jpg"
make_picture blue "$pictures/folder/more/BLUE.JPG"
echo "not a picture" > "$pictures/folder/notes.txt"
echo "not a picture" > "$pictures/picked/broken.jpg"

# 1. The window: titled, designed client size, centred on the whole screen.
wine reg delete 'HKCU\Software\Velmora' /f >/dev/null 2>&1 || true
wine "$folder/pictoreel.exe" &
app_pid=$!
main=$(focus_new Pictoreel)
eval "$(xdotool getwindowgeometry --shell "$main")"
[ "$WIDTH" = 442 ] && [ "$HEIGHT" = 293 ] || fail "client area is ${WIDTH}x${HEIGHT}"
SCREEN_WIDTH=$(xdpyinfo | awk '/dimensions:/ { split($2, s, "x"); print s[1] }')
echo "window at $X,$Y"

# 2. The delay: in the registry from the start, and each change as it is typed.
wait_until delay_is 1
click_at 269 146
press ctrl+a
type_text 2
wait_until delay_is 2
