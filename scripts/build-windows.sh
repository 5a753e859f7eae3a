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
# in a folder named after that version and a digest of the MinGW compiler's
# version, the toolchain file and the steps that build it, configure line
# included, so a change to any of them builds it anew; a lock keeps two runs
# from building it at once. Building it takes 20 to 45 minutes on two cores;
# everything else is built afresh each run, in a few minutes. Each step's
# output is in build-windows/logs/; a failed step is named, with its log, and
# leaves no half-built Qt behind. WIRLEP_WINDOWS_OUT moves the output folder
# (the tests look for the zip where the CMake cache variable
# WIRLEP_WINDOWS_ZIP says).
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
out=${WIRLEP_WINDOWS_OUT:-$top/build-windows}
toolchain=$top/packaging/windows/mingw-w64-x86_64.cmake

# What an earlier run made; the folder itself may be the user's.
rm -rf "$out/build" "$out/extra" "$out"/wirlep-*-windows-x64.zip "$out"/wirlep-*-setup.exe
mkdir -p "$out/logs"
scripts/apt-install.sh cmake ninja-build qt6-base-dev qt6-base-dev-tools dpkg-dev xz-utils \
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64 nsis zip

# Runs one step of the build with its output in $out/logs/NAME.log; when it
# fails, says which step and shows the end of its log.
step() {
  local name=$1 log=$out/logs/$1.log
  shift
  "$@" >"$log" 2>&1 && return
  tail -40 "$log" >&2
  echo "build-windows.sh: the step '$name' failed; its log is $log" >&2
  return 1
}

# --- Qt for Windows --------------------------------------------------------------

# Qt's source package and its version, which a binary-only rebuild (+b1) of
# the installed package does not change.
qt_source=$(dpkg-query -W -f='${source:Package}' qt6-base-dev)
qt_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
compiler_version=$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)
qt_configure=(
  -release -static -static-runtime -platform linux-g++ -xplatform win32-g++
  -qt-host-path /usr -nomake examples -nomake tests
  # Small rather than fast. Not link-time optimised: Qt compiles for MinGW
  # into the big object format (-Wa,-mbig-obj), which GCC 12's linker plugin
  # cannot read, so archives of such objects lose their symbols.
  -optimize-size
  # What a Widgets game does not use. Debian's source leaves out the tablet
  # headers (src/3rdparty/wintab), so tablets go too.
  -no-feature-sql -no-feature-network -no-feature-testlib -no-feature-printsupport
  -no-feature-concurrent -no-feature-xml -no-dbus -no-opengl -no-feature-vulkan -no-icu
  -no-freetype -no-feature-tabletevent
  # Widgets, dialogs and formats the game never shows: the style and
  # accessibility code that serves every widget class would keep them.
  # (The input dialog stays: Windows' own style includes it unconditionally.)
  -no-feature-graphicsview -no-feature-graphicseffect -no-feature-mdiarea
  -no-feature-calendarwidget -no-feature-colordialog -no-feature-fontdialog
  -no-feature-filedialog -no-feature-wizard -no-feature-undoview -no-feature-fontcombobox
  -no-feature-keysequenceedit -no-feature-lcdnumber -no-feature-dial -no-feature-splashscreen
  -no-feature-commandlinkbutton -no-feature-columnview -no-feature-datawidgetmapper
  -no-feature-errormessage -no-feature-progressdialog
  -no-feature-syntaxhighlighter -no-feature-style-fusion -no-feature-cssparser
  -no-feature-textodfwriter -no-feature-textmarkdownreader -no-feature-textmarkdownwriter
  -no-feature-pdf -no-feature-movie
  # Parts of Qt a game never reaches: the built-in MIME database
  # (Windows has none of its own to replace it, and the game asks for no MIME
  # type), the faster but larger SHA-3, the calendars other than the
  # Gregorian, the file system model and gestures.
  -no-feature-mimetype-database -no-feature-sha3-fast -no-feature-jalalicalendar
  -no-feature-hijricalendar -no-feature-filesystemmodel -no-feature-gestures
  # Above 100 % Qt draws text with DirectWrite, which it builds in only with
  # Direct2D: glyphs drawn by GDI at such a scale lose strokes. Direct2D's own
  # platform plugin (Direct2D 1.1) and DirectWrite 3 are not used.
  -no-feature-direct2d1_1 -no-feature-directwrite3
  -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre -qt-harfbuzz
  -- -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/$(gcc -print-multiarch)/cmake
)

build_qt() {
  local work=$cache/work
  rm -rf "$cache"
  mkdir -p "$work"
  # A failed step leaves gigabytes behind: they go, its log stays.
  trap 'rm -rf "$cache"' EXIT
  echo "Building Qt $qt_version for Windows in $cache (20 to 45 minutes on two cores)"
  step qt-sources scripts/apt-sources.sh deb-src
  step qt-fetch bash -c 'cd "$1" && apt-get source "$2"' - "$work" "$qt_source=$qt_version"
  local src
  src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt*-base-*')
  mkdir "$work/build"
  # Nothing of this machine goes into Qt, and so into the program: the
  # prefix compiled in is a fixed one (the files go to -extprefix), no path
  # of the source or build folder reaches a __FILE__, and every date Qt's
  # resource compiler writes is the source package's.
  local flags=-ffile-prefix-map=$work=/qt-build
  local epoch
  epoch=$(dpkg-parsechangelog -l "$src/debian/changelog" -STimestamp)
  step qt-configure env CFLAGS="$flags" CXXFLAGS="$flags" SOURCE_DATE_EPOCH="$epoch" \
    bash -c 'cd "$1" && shift && "$@"' - "$work/build" \
    "$src/configure" -prefix /qt -extprefix "$qt" "${qt_configure[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain"
  step qt-build env SOURCE_DATE_EPOCH="$epoch" cmake --build "$work/build" --parallel "$(nproc)"
  step qt-install cmake --install "$work/build"
  # Its licences go into the zip with the program.
  cp -r "$src/LICENSES" "$qt/LICENSES"
  rm -rf "$work"
  trap - EXIT
  touch "$cache/complete"
}

# The cache is named after everything that makes this Qt: its version, the
# compiler's, the toolchain's text and the steps above, configure line
# included; a change to any of them builds it anew.
key=$( (echo "$compiler_version"; cat "$toolchain"; declare -f step build_qt
  printf '%s\n' "${qt_configure[@]}") | sha256sum | cut -c1-12)
caches=${XDG_CACHE_HOME:-$HOME/.cache}/wirlep
cache=$caches/qt-${qt_version}-win64-${key}
qt=$cache/qt

# One run at a time builds or reads the cache: another waits rather than
# deleting the Qt it is building.
mkdir -p "$caches"
exec {lock}>"$caches/.lock"
flock "$lock"
[ -f "$cache/complete" ] || build_qt

# --- The program and the zip -------------------------------------------------------

# Every date the build writes (the program's time stamp, those of its
# resources, the zip's and the installer's file times) is SOURCE_DATE_EPOCH;
# unless set, the date of the commit built, or in a tree without git (the
# source archive unpacked) the time of its CMakeLists.txt, which that archive
# dates the same. So one commit gives the same bytes, whenever it is built.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null \
  || stat -c %Y CMakeLists.txt)}

mkdir -p "$out/extra/licenties"
cp -r "$qt/LICENSES" "$out/extra/licenties/qt"

# The toolchain again: Qt remembers the one of the checkout that built it.
# Small, like Qt.
"$qt/bin/qt-cmake" -S "$top" -B "$out/build" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" \
  -DBUILD_TESTING=OFF -DWIRLEP_ZIP_EXTRA="$out/extra" \
  -DWIRLEP_QT_SOURCE="Debians bronpakket $qt_source $qt_version (apt-get source $qt_source=$qt_version)" \
  >"$out/configure.log" || { cat "$out/configure.log" >&2; exit 1; }
# The installer (NSIS) holds the same files as the zip.
cmake --build "$out/build" --target wirlep-windows-zip wirlep-windows-setup
mv "$out"/build/wirlep-*-windows-x64.zip "$out"/build/wirlep-*-setup.exe "$out/"
echo "Built: $(ls "$out"/wirlep-*-windows-x64.zip "$out"/wirlep-*-setup.exe)"
