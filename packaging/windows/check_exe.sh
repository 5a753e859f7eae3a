#!/usr/bin/env bash
# The Windows zip's tests, one command each:
#   check_exe.sh unpack ZIP DIR [required]
#       unzips ZIP into DIR/zip and checks what it holds, then makes a Wine
#       prefix in DIR/wineprefix for the end-to-end scenarios to copy. A
#       missing ZIP skips the Windows tests, or fails them when "required".
#   check_exe.sh imports DIR     wirlep.exe needs no DLL beyond Windows' own
#   check_exe.sh resources DIR   wirlep.exe holds icon group 1 with images
#                                30001 to 30006 and the version record, in Dutch
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
  exe=$2/wirlep/wirlep.exe
  [ -f "$exe" ] || { echo "no zip was unpacked: skipped"; exit 77; }
  command -v wrestool >/dev/null || fail "wrestool is missing (icoutils)"
  listed=$(wrestool -l "$exe" | sed -E 's/ \[.*//' | sort)
  expected=$(
    for id in 30001 30002 30003 30004 30005 30006; do echo "--type=3 --name=$id --language=1043"; done
    echo "--type=14 --name=1 --language=1043"
    echo "--type=16 --name=1 --language=1043"
  )
  [ "$listed" = "$(sort <<<"$expected")" ] || fail "resources of wirlep.exe:
$listed
expected:
$expected"
  # The version record names the program and its version, as the player sees it.
  version=$(wrestool -x --raw --type=16 --name=1 "$exe" | tr -d '\0')
  for text in ProductNameWirlep InternalNameWirlep OriginalFilenamewirlep.exe FileVersion1.00; do
    grep -q "$text" <<<"$version" || fail "the version record lacks $text"
  done
  echo "icon group 1 (30001-30006) and the version record, all Dutch"
  ;;
*)
  fail "usage: $0 unpack|imports|resources ..."
  ;;
esac
