#!/usr/bin/env bash
# The installed layout, the desktop files' validity and the Debian package.
#   install_layout.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
root="$work/root/usr"
for file in lib/pictoreel/pictoreel lib/pictoreel/jpeg2swf lib/pictoreel/HAND-M.CUR lib/pictoreel/drag.ico \
            share/applications/org.pictoreel.Pictoreel.desktop \
            share/metainfo/org.pictoreel.Pictoreel.metainfo.xml \
            share/icons/hicolor/scalable/apps/org.pictoreel.Pictoreel.svg \
            share/icons/hicolor/48x48/apps/org.pictoreel.Pictoreel.png \
            share/icons/hicolor/256x256/apps/org.pictoreel.Pictoreel.png \
            share/man/man1/jpeg2swf.1.gz share/man/man1/pictoreel.1.gz \
            share/doc/pictoreel/copyright share/doc/pictoreel/changelog.gz; do
  [ -e "$root/$file" ] || fail "$file is not installed"
done
for program in pictoreel jpeg2swf; do
  [ "$(readlink "$root/bin/$program")" = "../lib/pictoreel/$program" ] || fail "bin/$program is not a link into the program folder"
done
"$root/bin/jpeg2swf" --version | grep -q '^jpeg2swf ' || fail "the linked converter does not run"

desktop-file-validate "$root/share/applications/org.pictoreel.Pictoreel.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/share/metainfo/org.pictoreel.Pictoreel.metainfo.xml" >/dev/null \
  || fail "appstreamcli validate"

# The Debian package: its files and its dependencies.
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null 2>&1)
deb=$(ls "$work"/package/*.deb)
contents=$(dpkg-deb -c "$deb")
[[ "$contents" == *"./usr/bin/pictoreel -> ../lib/pictoreel/pictoreel"* ]] || fail "package lacks bin/pictoreel"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6svg6 libturbojpeg0 libjpeg62-turbo libpng16-16 libgif7; do
  [[ "$depends" == *"$needed"* ]] || fail "package does not depend on $needed: $depends"
done
# Debian's own checks: informational and pedantic notes are fine, nothing worse.
lintian --fail-on error,warning "$deb" || fail "lintian finds errors or warnings in the package"
echo "install layout, desktop files and package: ok"
