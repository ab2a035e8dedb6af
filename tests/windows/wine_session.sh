#!/usr/bin/env bash
# One session for the Windows tests: a virtual X screen and a Wine server that
# live from the first of them to the last, so that no server quits between two
# tests (the next one's connection can drop as it starts) and all of Wine's
# windows open on one screen. WINEPREFIX names the Wine prefix.
#   wine_session.sh start DIR | run DIR COMMAND... | stop DIR
set -euo pipefail
action=$1 dir=$2
shift 2
case $action in
start)
  rm -rf "$dir" && mkdir -p "$dir"
  # Nothing of ours stays open in what is left running: the test ends.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$dir/display" </dev/null >/dev/null 2>&1 &
  echo $! >"$dir/xvfb.pid"
  for _ in $(seq 600); do [ -s "$dir/display" ] && break; sleep 0.05; done
  export DISPLAY=":$(head -n 1 "$dir/display")"
  xdpyinfo >/dev/null
  # Its services start with the first program and stay as long as the server.
  exec </dev/null >/dev/null 2>&1
  wineserver -p
  wine cmd /c exit
  ;;
run)
  export DISPLAY=":$(head -n 1 "$dir/display")"
  exec "$@"
  ;;
stop)
  exec </dev/null >/dev/null 2>&1
  wineserver -k || true
  [ ! -s "$dir/xvfb.pid" ] || kill "$(cat "$dir/xvfb.pid")" || true
  rm -rf "$dir"
  ;;
esac
