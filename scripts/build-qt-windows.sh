#!/usr/bin/env bash
# Builds Qt for Windows once, as static libraries, from Debian's own qt6-base
# source (the version of the host Qt, whose moc, rcc and uic it uses), and
# prints the folder it is installed in. The build is kept outside the checkout,
# in a cache folder named by what decides its contents (Qt's version, the
# configure options, the compiler's version), so later builds and later clones
# reuse it. About half an hour on two free cores the first time.
#   PICTOREEL_CACHE: where the cache lives (default ~/.cache/pictoreel).
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
cache=${PICTOREEL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/pictoreel}
say() { printf 'build-qt-windows: %s\n' "$*" >&2; }

qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
compiler=x86_64-w64-mingw32-g++-posix
compiler_version=$($compiler --version | head -n 1)

# Dynamic OpenGL is turned off with OpenGL: Qt 6.4 leaves it on otherwise,
# and the Windows platform plugin then names OpenGL classes never built.
options=(
  -DBUILD_SHARED_LIBS=OFF -DCMAKE_BUILD_TYPE=Release
  -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF
  -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF
  -DFEATURE_vulkan=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_freetype=OFF
  -DFEATURE_fontconfig=OFF -DFEATURE_pkg_config=OFF -DFEATURE_zstd=OFF
  -DFEATURE_icu=OFF -DFEATURE_testlib=ON -DFEATURE_tabletevent=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF
  -DFEATURE_system_jpeg=OFF -DFEATURE_system_doubleconversion=OFF
  -DFEATURE_system_md4c=OFF
)
key=$(printf '%s\n' "$qt_version" "$compiler_version" "${options[@]}" \
      "$(cat "$source_dir/cmake/mingw-w64.cmake")" | sha256sum | cut -c1-12)
qt_dir=$cache/qt-windows-$key
prefix=$qt_dir/install

if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

say "building Qt $qt_version for Windows into $qt_dir (the first time only: about 35 minutes on two free cores)"
mkdir -p "$qt_dir"
# The installed Qt names its toolchain file by absolute path: keep a copy
# beside it, so the checkout it was built from may go away.
cp "$source_dir/cmake/mingw-w64.cmake" "$qt_dir/toolchain.cmake"

cd "$qt_dir"
if ! compgen -G "qt6-base-*/" >/dev/null; then
  say "fetching Debian's qt6-base source"
  release=$(. /etc/os-release && echo "$VERSION_CODENAME")
  apt-get -q source qt6-base >&2 || apt-get -q source "qt6-base/$release" >&2
fi
qt_source=$(compgen -G "$qt_dir/qt6-base-*/" | head -n 1)

say "configuring"
cmake -S "$qt_source" -B build -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$qt_dir/toolchain.cmake" \
      -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
      -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" >build-configure.log 2>&1 \
  || { tail -n 40 build-configure.log >&2; exit 1; }

say "compiling (ninja's [done/total] counter follows)"
# One line every fifty steps keeps a log readable and shows the build going on.
cmake --build build --parallel "$(nproc)" 2>&1 \
  | awk '/^\[[0-9]+\/[0-9]+\]/ { split(substr($1, 2), n, "/"); if (n[1] % 50 == 0 || n[1] == n[2]) print "build-qt-windows: " $1 > "/dev/stderr"; fflush("/dev/stderr"); next }
       /error|Error|FAILED/ { print > "/dev/stderr"; fflush("/dev/stderr") }'
[ "${PIPESTATUS[0]}" -eq 0 ] || { say "the Qt build failed"; exit 1; }
cmake --install build >/dev/null
touch "$prefix/.complete"
rm -rf build
say "done"
echo "$prefix"
