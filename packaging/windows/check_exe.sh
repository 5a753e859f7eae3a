#!/usr/bin/env bash
# The Windows zip's tests, one command each:
#   check_exe.sh unpack ZIP DIR [required]
#       unzips ZIP into DIR/zip and checks what it holds, then makes a Wine
#       prefix in DIR/wineprefix for the end-to-end scenarios to copy. A
#       missing ZIP skips the Windows tests, or fails them when "required".
#   check_exe.sh imports DIR     wirlep.exe needs no DLL beyond Windows' own
#   check_exe.sh resources DIR GROUP FIRST LANGID VERSION ICO
#                                wirlep.exe holds icon group GROUP with one
#                                image for each of ICO's from id FIRST on, and
#                                the version record of VERSION, all in LANGID
# The last two, like the scenarios played under Wine, are skipped when there
# was no zip to unpack.
set -euo pipefail

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

case "${1:-}" in
unpack)
  [ $# -ge 3 ] || fail "usage: $0 unpack ZIP DIR [required]"
  zip=$2 dir=$3
  rm -rf "$dir"
  if [ ! -f "$zip" ]; then
    [ "${4:-}" = required ] && fail "$zip is missing: scripts/build-windows.sh makes it"
    echo "$zip is missing: the Windows tests are skipped (scripts/build-windows.sh makes it)"
    exit 77
  fi
  for tool in unzip wine wineserver; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh installs it)"
  done
  mkdir -p "$dir"
  unzip -q "$zip" -d "$dir/zip"
  top=("$dir"/zip/*)
  [ ${#top[@]} -eq 1 ] && [ -d "${top[0]}" ] || fail "the zip should hold one folder"
  for file in wirlep.exe makkelijk.txt normaal.txt moeilijk.txt LEESMIJ.txt wirlep-bron.tar.gz \
    licenties/COPYING.txt licenties/qt/LGPL-3.0-only.txt; do
    [ -s "${top[0]}/$file" ] || fail "the zip lacks $file"
  done
  ln -s "${top[0]}" "$dir/wirlep"
  # A prefix with Wine's own fonts in its Fonts folder, as Windows has its
  # fonts there: Debian's Wine does not load them from fonts-wine by itself,
  # and without Tahoma (for "MS Shell Dlg") and MS Sans Serif the program
  # would meet fallbacks no Windows has.
  export WINEPREFIX=$dir/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  DISPLAY='' wine wineboot --init >"$dir/wineboot.log" 2>&1 || fail "wineboot failed: $(tail -3 "$dir/wineboot.log")"
  wineserver --wait
  fonts=/usr/share/wine/fonts
  [ -d "$fonts" ] || fail "$fonts is missing (fonts-wine)"
  cp "$fonts"/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  echo "unpacked ${top[0]##*/}; Wine prefix ready"
  ;;
imports)
  exe=$2/wirlep/wirlep.exe
  [ -f "$exe" ] || { echo "no zip was unpacked: skipped"; exit 77; }
  # Windows' own DLLs a Qt program may use; MinGW's runtime and Qt are linked in.
  system='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comdlg32|imm32|winmm|ws2_32|version|uxtheme|dwmapi|shcore|shlwapi|userenv|netapi32|wtsapi32|authz|d3d9|d3d11|dxgi|msvcrt|api-ms-win-[a-z0-9-]+)\.dll$'
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
  [ -n "$dlls" ] || fail "no imports read from $exe"
  others=$(tr 'A-Z' 'a-z' <<<"$dlls" | grep -Ev "$system" || true)
  [ -z "$others" ] || fail "wirlep.exe needs DLLs that Windows does not have: $others"
  echo "imports only Windows' own DLLs: $(tr '\n' ' ' <<<"$dlls")"
  ;;
resources)
  [ $# -eq 7 ] || fail "usage: $0 resources DIR GROUP FIRST LANGID VERSION ICO"
  exe=$2/wirlep/wirlep.exe group=$3 first=$4 language=$(($5)) version=$6 ico=$7
  [ -f "$exe" ] || { echo "no zip was unpacked: skipped"; exit 77; }
  for tool in wrestool icotool; do
    command -v "$tool" >/dev/null || fail "$tool is missing (icoutils)"
  done
  images=$(icotool -l "$ico" | wc -l)
  listed=$(wrestool -l "$exe" | sed -E 's/ \[.*//' | sort)
  expected=$(
    for ((id = first; id < first + images; id++)); do
      echo "--type=3 --name=$id --language=$language"
    done
    echo "--type=14 --name=$group --language=$language"
    echo "--type=16 --name=1 --language=$language"
  )
  [ "$listed" = "$(sort <<<"$expected")" ] || fail "resources of wirlep.exe:
$listed
expected:
$expected"
  # The version record names the program and its version, as the player sees it.
  record=$(wrestool -x --raw --type=16 --name=1 "$exe" | tr -d '\0')
  for text in ProductNameWirlep InternalNameWirlep OriginalFilenamewirlep.exe "FileVersion$version"; do
    grep -q "$text" <<<"$record" || fail "the version record lacks $text"
  done
  echo "icon group $group ($images images from $first) and the version record, language $language"
  ;;
*)
  fail "usage: $0 unpack|imports|resources ..."
  ;;
esac
