#!/usr/bin/env bash
# Every picture ffmpeg decodes from a SWF file, in order, one line each:
# width height and mean colour (red green blue).
#   swf_frames.sh FILE.swf
set -euo pipefail
paste -d ' ' <(ffprobe -v error -select_streams v:0 -show_entries frame=width,height -of csv=p=0 "$1" | tr , ' ') \
  <(ffmpeg -v error -i "$1" -vf scale=1:1:flags=area -fps_mode passthrough -f rawvideo -pix_fmt rgb24 - |
    od -An -tu1 -v -w3 | awk '{ print $1, $2, $3 }')
