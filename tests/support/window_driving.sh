# Driving a program's windows with xdotool as a person would, for the
# real-window tests, which source this. They set `main`, the main window's id
# once it is known, and may set wait_tries (50 ms each, 600 by default).

fail() { echo "FAIL: $*" >&2; exit 1; }

# Waits for a command to succeed: up to 30 s unless wait_tries says otherwise.
wait_until() {
  local tries=${wait_tries:-600}
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
