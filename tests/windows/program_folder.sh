#!/usr/bin/env bash
# The Windows program folder as it is handed out: the zip holds exactly the
# folder, and both programs are standalone, importing only DLLs that Windows
# itself has (those Wine provides in its system folder).
#   program_folder.sh WINDOWS_BUILD_DIR     (WINEPREFIX set)
set -euo pipefail
build=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

expected=$(printf '%s\n' Pictoreel/ Pictoreel/HAND-M.CUR Pictoreel/drag.ico Pictoreel/jpeg2swf.exe Pictoreel/pictoreel.exe)
held=$(cd "$build" && cmake -E tar tf Pictoreel-windows.zip | LC_ALL=C sort)
[ "$held" = "$expected" ] || fail "the zip holds: $(echo $held)"

system="$WINEPREFIX/drive_c/windows/system32"
for program in pictoreel jpeg2swf; do
  exe="$build/Pictoreel/$program.exe"
  for dll in $(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p'); do
    # api-ms-win-* are Windows' API sets, which the loader resolves by name.
    [[ "${dll,,}" == api-ms-win-* ]] || [ -e "$system/${dll,,}" ] \
      || fail "$program.exe needs $dll, which is not a Windows DLL"
  done
done
# A window and no console for the program; a console for the converter.
# (objdump's whole output is read first: grep -q would end it early, and
# pipefail would take that for a failure.)
subsystem() { x86_64-w64-mingw32-objdump -p "$build/Pictoreel/$1.exe" | sed -n 's/^Subsystem.*(\(.*\))$/\1/p'; }
[ "$(subsystem pictoreel)" = "Windows GUI" ] || fail "pictoreel.exe is not a Windows GUI program"
[ "$(subsystem jpeg2swf)" = "Windows CUI" ] || fail "jpeg2swf.exe is not a console program"
echo "program folder: ok ($(du -h "$build/Pictoreel-windows.zip" | cut -f1) zipped)"
