#!/usr/bin/env bash
# The Windows program folder as it is handed out: the zip holds exactly the
# folder, and both programs are standalone, importing only DLLs that Windows
# itself has: those Wine provides in its system folder, and the API sets
# (api-ms-win-*) that Windows' loader resolves without a file.
#   program_folder.sh WINDOWS_BUILD_DIR     (WINEPREFIX set)
set -euo pipefail
build=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

expected=$(printf '%s\n' Pictoreel/ Pictoreel/HAND-M.CUR Pictoreel/drag.ico Pictoreel/jpeg2swf.exe Pictoreel/pictoreel.exe)
held=$(cd "$build" && cmake -E tar tf Pictoreel-windows.zip | LC_ALL=C sort)
[ "$held" = "$expected" ] || fail "the zip holds: $(echo $held)"

system="$WINEPREFIX/drive_c/windows/system32"
# A window and no console for the program; a console for the converter.
for program in pictoreel:GUI jpeg2swf:CUI; do
  headers=$(x86_64-w64-mingw32-objdump -p "$build/Pictoreel/${program%:*}.exe")
  for dll in $(sed -n 's/^\tDLL Name: //p' <<<"$headers"); do
    [[ ${dll,,} == api-ms-win-* ]] || [ -e "$system/${dll,,}" ] || fail "${program%:*}.exe needs $dll, which is not a Windows DLL"
  done
  grep -q "^Subsystem.*(Windows ${program#*:})" <<<"$headers" || fail "${program%:*}.exe is not a Windows ${program#*:} program"
done
echo "program folder: ok ($(du -h "$build/Pictoreel-windows.zip" | cut -f1) zipped)"
