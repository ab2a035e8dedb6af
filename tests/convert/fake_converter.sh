#!/usr/bin/env bash
# A stand-in for jpeg2swf: records its arguments (an @FILE's lines in its place)
# and ends as told by its environment.
#   FAKE_RECORD   file to write the arguments to, each followed by a NUL byte
#   FAKE_WAIT_FOR wait until this file exists (at most 30 s) before going on
#   FAKE_REPORTS  progress lines, ';' between them; those after a '|' come after the wait
#   FAKE_STDERR   text to write to standard error
#   FAKE_STATUS   exit status
trap '' PIPE
report() { [ -n "${JPEG2SWF_PROGRESS_FD:-}" ] && [ -n "$1" ] && printf '%s\n' "${1//;/$'\n'}" >&"$JPEG2SWF_PROGRESS_FD"; }
reports=${FAKE_REPORTS:-}
report "${reports%%|*}"
for _ in $(seq 3000); do [ ! -e "${FAKE_WAIT_FOR:-/}" ] || break; sleep 0.01; done
[[ $reports != *'|'* ]] || report "${reports#*|}"
printf '%s' "${FAKE_STDERR:-}" >&2
if [ -n "${FAKE_RECORD:-}" ]; then
  for arg; do
    if [[ $arg == @?* ]]; then
      while IFS= read -r line; do printf '%s\0' "$line"; done <"${arg:1}"
    else
      printf '%s\0' "$arg"
    fi
  done >"$FAKE_RECORD.part" && mv "$FAKE_RECORD.part" "$FAKE_RECORD"   # appears whole
fi
exit "${FAKE_STATUS:-0}"
