#!/usr/bin/env bash
# Builds Wirlep for 64-bit Windows on Debian: a static Qt for MinGW-w64 once,
# into a cache, then wirlep.exe and the zip a Windows player unpacks.
#
#   scripts/build-windows.sh     -> build-windows/wirlep-<version>-windows-x64.zip
#                                   build-windows/wirlep-<version>-setup.exe
#
# Qt comes from the source of Debian's own Qt (apt-get source qt6-base, the
# version installed here, whose moc, rcc and uic it builds with), configured
# as qt_configure below says. It is kept in ${XDG_CACHE_HOME:-~/.cache}/wirlep/,
# in a folder named after that version and a digest of the configure line and
# the toolchain file, so a change to either builds it anew. Building it takes
# 35 to 45 minutes on two cores; everything else is built afresh each run, in
# about a minute. WIRLEP_WINDOWS_OUT moves the output folder (the tests look
# for the zip where the CMake cache variable WIRLEP_WINDOWS_ZIP says).
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
out=${WIRLEP_WINDOWS_OUT:-$top/build-windows}
toolchain=$top/packaging/windows/mingw-w64-x86_64.cmake

# What an earlier run made; the folder itself may be the user's.
rm -rf "$out/build" "$out/extra" "$out/source" "$out"/wirlep-*-windows-x64.zip "$out"/wirlep-*-setup.exe
scripts/apt-install.sh cmake ninja-build qt6-base-dev qt6-base-dev-tools dpkg-dev xz-utils \
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64 nsis

# --- Qt for Windows --------------------------------------------------------------

qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
qt_configure=(
  -release -static -static-runtime -platform linux-g++ -xplatform win32-g++
  -qt-host-path /usr -nomake examples -nomake tests
  # What a Widgets game does not use. Debian's source leaves out the tablet
  # headers (src/3rdparty/wintab), so tablets go too.
  -no-feature-sql -no-feature-network -no-feature-testlib -no-feature-printsupport
  -no-feature-concurrent -no-feature-xml -no-dbus -no-opengl -no-feature-vulkan -no-icu
  -no-freetype -no-feature-tabletevent
  # Direct2D cannot go alone in Qt 6.4: DirectWrite 3 needs it.
  -no-feature-direct2d -no-feature-directwrite3
  -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre -qt-harfbuzz
  -- -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/$(gcc -print-multiarch)/cmake
)
# The toolchain's text counts, not where this checkout lies.
key=$( (printf '%s\n' "${qt_configure[@]}"; cat "$toolchain") | sha256sum | cut -c1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/wirlep/qt-${qt_version}-win64-${key}
qt=$cache/qt

build_qt() {
  scripts/apt-sources.sh deb-src
  local work=$cache/work
  rm -rf "$cache"
  mkdir -p "$work"
  echo "Building Qt $qt_version for Windows in $cache (35 to 45 minutes)"
  (cd "$work" && apt-get source -qq "qt6-base=$qt_version" >fetch.log 2>&1) \
    || { cat "$work/fetch.log" >&2; echo "build-windows.sh: cannot fetch Qt's source" >&2; exit 1; }
  local src
  src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*')
  mkdir "$work/build"
  (cd "$work/build" && "$src/configure" -prefix "$qt" "${qt_configure[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" >configure.log 2>&1) \
    || { tail -40 "$work/build/configure.log" >&2; exit 1; }
  cmake --build "$work/build" --parallel "$(nproc)"
  cmake --install "$work/build" >/dev/null
  # Its licences go into the zip with the program.
  cp -r "$src/LICENSES" "$qt/LICENSES"
  rm -rf "$work"
  touch "$cache/complete"
}

[ -f "$cache/complete" ] || build_qt

# --- The program and the zip -------------------------------------------------------

mkdir -p "$out/extra/licenties"
cp -r "$qt/LICENSES" "$out/extra/licenties/qt"

# The toolchain again: Qt remembers the one of the checkout that built it.
"$qt/bin/qt-cmake" -S "$top" -B "$out/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" \
  -DBUILD_TESTING=OFF -DWIRLEP_BENCH=OFF -DWIRLEP_ZIP_EXTRA="$out/extra" \
  -DWIRLEP_QT_SOURCE="Debians bronpakket qt6-base $qt_version (apt-get source qt6-base=$qt_version)" \
  >"$out/configure.log" || { cat "$out/configure.log" >&2; exit 1; }
# The source of this program, as the build found it, goes into the zip too.
(cd "$out" && cpack --config build/CPackSourceConfig.cmake -G TGZ -B source >/dev/null)
mv "$out"/source/*.tar.gz "$out/extra/wirlep-bron.tar.gz"
rm -rf "$out/source"

# The installer (NSIS) holds the same files as the zip.
cmake --build "$out/build" --target wirlep-windows-zip wirlep-windows-setup
mv "$out"/build/wirlep-*-windows-x64.zip "$out"/build/wirlep-*-setup.exe "$out/"
echo "Built: $(ls "$out"/wirlep-*-windows-x64.zip "$out"/wirlep-*-setup.exe)"
