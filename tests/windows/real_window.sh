#!/usr/bin/env bash
# Pictoreel for Windows under Wine in a real window, driven with xdotool as a
# person would; waits for windows and files, never for a fixed time alone.
# Message boxes are read as a person copies them: Ctrl+C puts a Qt message
# box's text on the clipboard.
#   real_window.sh PROGRAM_FOLDER      (DISPLAY and WINEPREFIX set)
set -euo pipefail
folder=$(cd "$1" && pwd)
work=$(mktemp -d)
app_pid="" main=""
cleanup() { [ -z "$app_pid" ] || kill "$app_pid" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
source "$(dirname "$0")/../support/window_driving.sh"
wait_tries=1200   # 60 s: Wine's dialogs are slow to start
type_text() { xdotool type --delay 20 "$1"; xdotool key --clearmodifiers Return; }
windows_path() { winepath -w "$1" 2>/dev/null; }
delay_is() { [ "$(wine reg query 'HKCU\Software\Velmora\Pictoreel' /v Delay | tr -d '\r' | awk '$1 == "Delay" { print $3 }')" = "$1" ]; }
# Qt ignores clicks on the window until a dialog's modal session has wound
# down, a moment after it is gone from the screen: clicks at X Y until a
# window titled TITLE opens, and focuses it.
open_by_click() {
  opened() {
    other_window "$3" && return
    xdotool windowfocus --sync "$main"
    click_at "$1" "$2"
    sleep 0.5
    other_window "$3"
  }
  wait_until opened "$@"
  focus_new "$3" >/dev/null
}
# The text of the message box with this id, copied, and the box closed.
clipboard() { xclip -o -selection clipboard 2>/dev/null | tr -d '\r'; }
message_text() {
  local before
  before=$(clipboard || true)
  xdotool windowfocus --sync "$1"
  xdotool key --clearmodifiers ctrl+c
  wait_until eval '[ "$(clipboard)" != "$before" ]'
  clipboard
  xdotool key --clearmodifiers Return
  wait_until window_gone Pictoreel "$1"
}

pictures="$work/pictures"
mkdir -p "$pictures/picked" "$pictures/folder/more"
for file in picked/red.jpg picked/yellow.jpg folder/lime.jpg folder/more/BLUE.JPG; do
  colour=$(basename "${file%.*}")
  ffmpeg -v error -f lavfi -i "color=c=${colour,,}:s=160x120" -frames:v 1 "$pictures/$file"
done
echo "not a picture" | tee "$pictures/folder/notes.txt" > "$pictures/picked/broken.jpg"

# 1. The window: titled, designed client size, centred on the screen. Its
# frame is Wine's, which no window manager draws here: the client area lies
# centred across, and below the middle by up to a title bar's height.
wine reg delete 'HKCU\Software\Velmora' /f >/dev/null 2>&1 || true
wine "$folder/pictoreel.exe" &
app_pid=$!
main=$(focus_new Pictoreel)
eval "$(xdotool getwindowgeometry --shell "$main")"
[ "$WIDTH" = 442 ] && [ "$HEIGHT" = 293 ] || fail "client area is ${WIDTH}x${HEIGHT}"
read -r left top < <(xdpyinfo | awk '/dimensions:/ { split($2, s, "x"); print int((s[1] - 442) / 2), int((s[2] - 293) / 2) }')
((X - left <= 1 && left - X <= 1 && Y >= top && Y <= top + 40)) || fail "not centred: $X,$Y"

# 2. The delay: in the registry from the start, and each change as it is typed.
wait_until delay_is 1
click_at 269 146
xdotool key --clearmodifiers ctrl+a
xdotool type 2
wait_until delay_is 2

# 3. Two pictures picked in Wine's open dialog, by their full paths, in the
# order typed; then a folder of pictures through the extension prompt and
# Wine's folder dialog (which keeps a title of its own).
open_title="Add File\\(s\\) - Hold Ctrl or Shift to select multiple files"
open_by_click 76 207 "$open_title"                 # "Add JPG File(s)"
type_text "\"$(windows_path "$pictures/picked/yellow.jpg")\" \"$(windows_path "$pictures/picked/red.jpg")\""
open_by_click 220 207 Pictoreel                    # "Add All Files(s) In Folder"
xdotool key --clearmodifiers Return                # the default extension, jpg
focus_new "(Please select folder to add:|Select Folder)" >/dev/null
type_text "$(windows_path "$pictures/folder")"

# 4. Convert through Wine's save dialog: "Done.", and ffmpeg decodes every
# picture in the list's order.
convert_to() {
  open_by_click 364 207 "Save Slide Show As \\(SWF file\\)"   # "Convert"
  type_text "$(windows_path "$1")"
  message_text "$(focus_new Pictoreel)"
}
said=$(convert_to "$work/show.swf")
grep -qx "Done." <<<"$said" || fail "after Convert: $said"
seen=$(bash "$(dirname "$0")/../support/swf_frames.sh" "$work/show.swf" |
       awk '{ if ($3>200 && $4>200 && $5<80) print "yellow"; else if ($3>200) print "red";
              else if ($4>200) print "lime"; else if ($5>200) print "blue"; else print "?" }')
[ "$(echo $seen)" = "yellow red lime blue" ] || fail "pictures in the SWF: $(echo $seen)"

# 5. A bad picture added: the warning names it, and nothing is written.
open_by_click 76 207 "$open_title"
type_text "$(windows_path "$pictures/picked/broken.jpg")"
said=$(convert_to "$work/bad.swf")
grep -qF "$(windows_path "$pictures/picked/broken.jpg"): " <<<"$said" || fail "the warning says: $said"
[ ! -e "$work/bad.swf" ] || fail "a failed conversion wrote bad.swf"

echo "real window under Wine: ok ($(echo $seen))"
