#!/usr/bin/env bash
# Cross-builds Pictoreel for Windows into build-windows/: the program folder
# build-windows/Pictoreel (pictoreel.exe, jpeg2swf.exe, HAND-M.CUR, drag.ico;
# both programs standalone, needing only Windows' own DLLs), the same folder as
# build-windows/Pictoreel-windows.zip, and the tests that run under Wine.
# Installs what is missing; fetches Debian's sources of libjpeg-turbo, libpng
# and giflib and builds them, with GoogleTest, as static libraries once (kept
# in build-windows/deps); builds Qt for Windows once (scripts/build-qt-windows.sh,
# kept outside the checkout); and makes the Wine prefix the tests use
# (build-windows/wine, with Liberation Sans standing in for Arial).
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
out=$source_dir/build-windows
deps=$out/deps
prefix=$deps/prefix
toolchain=$source_dir/cmake/mingw-w64.cmake
say() { printf 'build-windows: %s\n' "$*" >&2; }

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
apt_get() { $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 -q "$@"; }

# The build machine's own Qt draws the icons (svgrender) and runs moc and rcc:
# the Linux build's packages, and the cross-compiler, Wine and the rest.
scripts/install-deps.sh g++-mingw-w64-x86-64-posix libz-mingw-w64-dev nasm wine wine64 googletest

mkdir -p "$deps"
cd "$deps"
sources=(libjpeg-turbo libpng1.6 giflib)
have_sources() { compgen -G "$1-[0-9]*/" >/dev/null; }
need_sources=0
for s in "${sources[@]}"; do have_sources "$s" || need_sources=1; done
if [ "$need_sources" -eq 1 ]; then
  # apt-get source needs a deb-src entry: one beside the system's own, once.
  if ! grep -rqsE '^(deb-src |Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
        | $sudo tee /etc/apt/sources.list.d/pictoreel-deb-src.sources >/dev/null
    else
      sed -n 's/^deb /deb-src /p' /etc/apt/sources.list \
        | $sudo tee /etc/apt/sources.list.d/pictoreel-deb-src.list >/dev/null
    fi
  fi
  apt_get update
  # A mirror may lack the security archive's sources: then the release's own.
  release=$(. /etc/os-release && echo "$VERSION_CODENAME")
  for s in "${sources[@]}"; do
    have_sources "$s" || apt-get -q source "$s" || apt-get -q source "$s/$release"
  done
fi
source_of() { compgen -G "$deps/$1-[0-9]*/" | head -n 1; }

cross=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release
       -DCMAKE_INSTALL_PREFIX="$prefix")
mingw_root=/usr/x86_64-w64-mingw32

if [ ! -f "$prefix/lib/libturbojpeg.a" ]; then
  cmake -S "$(source_of libjpeg-turbo)" -B build-jpeg "${cross[@]}" \
        -DENABLE_SHARED=OFF -DENABLE_STATIC=ON >/dev/null
  cmake --build build-jpeg --target install
fi
if [ ! -f "$prefix/lib/libpng16.a" ]; then
  cmake -S "$(source_of libpng1.6)" -B build-png "${cross[@]}" \
        -DCMAKE_INSTALL_LIBDIR=lib -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
        -DZLIB_LIBRARY="$mingw_root/lib/libz.a" -DZLIB_INCLUDE_DIR="$mingw_root/include" >/dev/null
  cmake --build build-png --target install
fi
if [ ! -f "$prefix/lib/libgif.a" ]; then
  # giflib builds with a plain Makefile: its library is a handful of C files.
  gif_source=$(source_of giflib)
  rm -rf build-gif && mkdir -p build-gif "$prefix/include" "$prefix/lib"
  for c in dgif_lib egif_lib gifalloc gif_err gif_font gif_hash openbsd-reallocarray quantize; do
    x86_64-w64-mingw32-gcc-posix -O2 -c "$gif_source/$c.c" -o "build-gif/$c.o"
  done
  x86_64-w64-mingw32-ar rcs build-gif/libgif.a build-gif/*.o
  cp "$gif_source/gif_lib.h" "$prefix/include/"
  cp build-gif/libgif.a "$prefix/lib/"
fi
if [ ! -f "$prefix/lib/libgtest.a" ]; then
  cmake -S /usr/src/googletest -B build-gtest "${cross[@]}" -DCMAKE_INSTALL_LIBDIR=lib -DBUILD_GMOCK=OFF >/dev/null
  cmake --build build-gtest --target install
fi

cd "$source_dir"
qt_prefix=$(scripts/build-qt-windows.sh)

say "drawing tool for the icons, built for this machine (build-windows/host)"
cmake -S . -B "$out/host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPICTOREEL_BUILD_TESTS=OFF >/dev/null
cmake --build "$out/host" --target svgrender

say "Pictoreel for Windows"
# A build folder made with another toolchain (before Qt, or another Qt) starts afresh.
qt_toolchain=$qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake
if [ -f "$out/CMakeCache.txt" ] && ! grep -q "^CMAKE_TOOLCHAIN_FILE:[A-Z]*=$qt_toolchain\$" "$out/CMakeCache.txt"; then
  rm -rf "$out/CMakeCache.txt" "$out/CMakeFiles"
fi
PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig:$mingw_root/lib/pkgconfig" PKG_CONFIG_PATH="" \
  cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$qt_toolchain" \
        -DPICTOREEL_WINDOWS_DEPS="$prefix" -DPICTOREEL_SVGRENDER="$out/host/resources/svgrender" \
        -DZLIB_LIBRARY="$mingw_root/lib/libz.a" >/dev/null
cmake --build "$out"

# What is handed out: the program folder, zipped.
rm -f "$out/Pictoreel-windows.zip"
(cd "$out" && cmake -E tar cf Pictoreel-windows.zip --format=zip Pictoreel)
say "$out/Pictoreel-windows.zip: $(cd "$out/Pictoreel" && echo *)"

# The Wine prefix the tests run the Windows programs in, made once (without
# the .NET and browser add-ons, which the programs do not need). Wine finds
# the system's Liberation Sans, which has Arial's metrics; under that name
# the window gets it for the Arial it asks for.
export WINEPREFIX=$out/wine WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i
  wineserver -w
fi
if ! grep -qs '"Arial"="Liberation Sans"' "$WINEPREFIX/user.reg"; then
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f >/dev/null
  wineserver -w
fi
