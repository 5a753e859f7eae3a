#!/usr/bin/env bash
# The Windows zip's tests, one command each:
#   check_windows.sh unpack ZIP DIR [required]
#       unzips ZIP into DIR/zip and checks what it holds, then makes a Wine
#       prefix in DIR/wineprefix for the end-to-end scenarios to copy. A
#       missing ZIP skips the Windows tests, or fails them when "required".
#   check_windows.sh imports DIR     wirlep.exe needs no DLL beyond Windows' own
#   check_windows.sh resources DIR GROUP FIRST LANGID VERSION ICO
#                                wirlep.exe holds icon group GROUP with one
#                                image for each of ICO's from id FIRST on, and
#                                the version record of VERSION, all in LANGID
#   check_windows.sh size ZIP DIR EXE_KIB ZIP_KIB
#                                wirlep.exe and the zip stay within their
#                                budgets, so that growth is seen, and its
#                                unwind table kept what the linker kept
# The last three, like the scenarios played under Wine, are skipped when there
# was no zip to unpack.
#
# The installer's tests, each in a fresh copy of that prefix in DIR/COMMAND;
# a missing SETUP skips them, or fails them when "required". VERSION and
# PUBLISHER are what the entry under Apps should say.
#   check_windows.sh setup-install SETUP DIR VERSION PUBLISHER [required]
#       installs with /S: the zip's files, the shortcut, the entry; leaves
#       DIR/setup-install/installed for playing the installed program
#   check_windows.sh setup-reinstall SETUP DIR VERSION PUBLISHER [required]
#       installs twice into one folder, then into another (/D=): one entry,
#       one set of files, one shortcut
#   check_windows.sh setup-uninstall SETUP DIR VERSION PUBLISHER [required]
#       installs and uninstalls with /S: nothing is left; then installs into a
#       folder that holds a file of the player's, which the uninstall leaves
set -euo pipefail

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# --- The installer under Wine ---------------------------------------------------

UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'

# setup_start COMMAND SETUP DIR VERSION PUBLISHER [required]: a fresh prefix,
# hard links to the one unpack made but for the files Wine writes in place
# (the registry and its stamp), and Wine set up to use it.
setup_start() {
  [ $# -ge 5 ] || fail "usage: $0 $1 SETUP DIR VERSION PUBLISHER [required]"
  setup=$2 dir=$3 version=$4 publisher=$5
  if [ ! -f "$setup" ]; then
    [ "${6:-}" = required ] && fail "$setup is missing: scripts/build-windows.sh makes it"
    echo "$setup is missing: skipped (scripts/build-windows.sh makes it)"
    exit 77
  fi
  [ -d "$dir/wineprefix" ] || { echo "no zip was unpacked: skipped"; exit 77; }
  command -v strings >/dev/null || fail "strings is missing (binutils)"
  zip_files=$dir/wirlep
  work=$dir/$1
  rm -rf "$work"
  mkdir -p "$work"
  cp -al "$dir/wineprefix" "$work/prefix"
  local file
  for file in "$dir"/wineprefix/*.reg "$dir/wineprefix/.update-timestamp"; do
    cp --remove-destination "$file" "$work/prefix/"
  done
  export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
  trap 'wineserver --kill 2>/dev/null || true' EXIT
  start_ms=$(now_ms)
  # Where a player's own programs go: %LOCALAPPDATA%\Programs.
  local local_appdata=("$WINEPREFIX"/drive_c/users/*/AppData/Local)
  [ ${#local_appdata[@]} -eq 1 ] && [ -d "${local_appdata[0]}" ] \
    || fail "not one user's AppData\\Local in the prefix"
  default_folder=${local_appdata[0]}/Programs/Wirlep
}

now_ms() { echo $((${EPOCHREALTIME/./} / 1000)); }

log() {
  local ms=$(($(now_ms) - start_ms))
  printf '[%3d.%02ds] %s\n' $((ms / 1000)) $((ms % 1000 / 10)) "$*"
}

# setup_run [ARGUMENT...]: runs the installer, which should end with 0.
setup_run() {
  local status=0
  wine "$setup" "$@" >>"$work/wine.log" 2>&1 || status=$?
  [ $status -eq 0 ] || fail "the installer ($*) ended with $status"
  log "installed ($*)"
}

# entries: the keys under Uninstall, one a line, by name.
entries() {
  wine reg query "$UNINSTALL_KEY" 2>>"$work/wine.log" | tr -d '\r' | sed -n 's/^HKEY_CURRENT_USER\\.*\\Uninstall\\//p'
}

# read_entry: the entry's values in ENTRY (name -> "TYPE data"); fails
# without one.
read_entry() {
  local name type data
  ENTRY=()
  while read -r name type data; do
    ENTRY[$name]="$type $data"
  done < <(wine reg query "$UNINSTALL_KEY\\Wirlep" 2>>"$work/wine.log" | tr -d '\r' | grep -E '^ +[^ ]+ +REG_')
  [ ${#ENTRY[@]} -gt 0 ] || fail "no entry Wirlep under Uninstall"
}
declare -A ENTRY

# unix_path WINDOWS_PATH: where it is in the prefix, through no link.
unix_path() { realpath -m "$(winepath -u "$1" 2>>"$work/wine.log" | tr -d '\r')"; }

# counted LINES TEXT: one of LINES is TEXT, or TEXT after one character.
counted() {
  TEXT=$2 awk '$0 == ENVIRON["TEXT"] || substr($0, 2) == ENVIRON["TEXT"] { found = 1 }
               END { exit !found }' <<<"$1"
}

# check_install FOLDER: FOLDER (a path in the prefix) holds the zip's files and
# the uninstaller, the entry under Apps says so, and one shortcut in the Start
# menu starts the program there.
check_install() {
  local folder=$1 only
  only=$(diff -rq "$zip_files/" "$folder/" | grep -v "^Only in $folder/: uninstall.exe$" || true)
  [ -z "$only" ] || fail "the installed files differ from the zip's:
$only"
  [ -s "$folder/uninstall.exe" ] || fail "no uninstall.exe in $folder"

  read_entry
  local location=${ENTRY[InstallLocation]#REG_SZ }
  [ "$(unix_path "$location")" = "$(realpath -m "$folder")" ] || fail "InstallLocation is $location, not $folder"
  local -A want=(
    [DisplayName]="REG_SZ Wirlep"
    [DisplayVersion]="REG_SZ $version"
    [Publisher]="REG_SZ $publisher"
    [DisplayIcon]="REG_SZ $location\\wirlep.exe"
    [UninstallString]="REG_SZ \"$location\\uninstall.exe\""
    [QuietUninstallString]="REG_SZ \"$location\\uninstall.exe\" /S"
    [NoModify]="REG_DWORD 0x1"
    [NoRepair]="REG_DWORD 0x1"
  )
  local name
  for name in "${!want[@]}"; do
    [ "${ENTRY[$name]:-}" = "${want[$name]}" ] \
      || fail "$name is '${ENTRY[$name]:-}', not '${want[$name]}'"
  done
  # EstimatedSize, in KiB: what the files hold, give or take a twentieth.
  local size=${ENTRY[EstimatedSize]:-} kib
  [[ $size == "REG_DWORD 0x"* ]] || fail "EstimatedSize is '$size', not a REG_DWORD"
  size=$((${size#REG_DWORD })) kib=$((($(find "$folder" -type f -printf '%s+')0) / 1024))
  ((size * 20 > kib * 19 && size * 20 < kib * 21)) || fail "EstimatedSize is $size KiB, the files $kib"

  local links
  links=$(find "$WINEPREFIX/drive_c" -iname 'wirlep*.lnk')
  [[ $links == */"Start Menu/Programs/Wirlep.lnk" && $links != *$'\n'* ]] \
    || fail "not one shortcut Start Menu\\Programs\\Wirlep.lnk: ${links:-none}"
  # Its target in the link's ANSI path; its working folder and its icon, the
  # program's own, as counted UTF-16 strings (the count may read as a character).
  strings -a "$links" | grep -qxF "$location\\wirlep.exe" || fail "the shortcut does not lead to $location\\wirlep.exe"
  local wide
  wide=$(strings -el "$links")
  counted "$wide" "$location" || fail "the shortcut does not start in $location: $wide"
  counted "$wide" "$location\\wirlep.exe" || fail "the shortcut's icon is not wirlep.exe's: $wide"
  log "the files, the entry under Apps and the shortcut lead to $location"
}

# uninstall: runs the entry's QuietUninstallString, as a package manager
# would, and waits for the copy of itself the uninstaller runs from %TEMP%.
uninstall() {
  read_entry
  local command=${ENTRY[QuietUninstallString]#REG_SZ } status=0
  [[ $command =~ ^\"([^\"]+)\"\ (/S)$ ]] || fail "QuietUninstallString is not '\"program\" /S': $command"
  wine "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}" >>"$work/wine.log" 2>&1 || status=$?
  [ $status -eq 0 ] || fail "the uninstaller ended with $status"
  wineserver --wait
  log "uninstalled"
}

# prefix_files: every file and folder on drive C: but for the temporary
# files, one a line; %LOCALAPPDATA%\Programs, which a first per-user install
# makes and Windows keeps for every such program, counts as there.
prefix_files() {
  mkdir -p "${default_folder%/*}"
  (cd "$WINEPREFIX/drive_c" && find . \( -path './users/*/Temp' -o -path './users/*/AppData/Local/Temp' \) \
    -prune -o -print | sort)
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
  for file in wirlep.exe makkelijk.txt normaal.txt moeilijk.txt LEESMIJ.txt "$(basename "${top[0]}" -windows-x64)-bron.tar.gz" \
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
  system='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comdlg32|imm32|winmm|ws2_32|version|uxtheme|dwmapi|shcore|shlwapi|userenv|netapi32|wtsapi32|authz|d3d9|d3d11|dxgi|dwrite|msvcrt|api-ms-win-[a-z0-9-]+)\.dll$'
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
  [ -n "$dlls" ] || fail "no imports read from $exe"
  others=$(tr 'A-Z' 'a-z' <<<"$dlls" | grep -Ev "$system" || true)
  [ -z "$others" ] || fail "wirlep.exe needs DLLs that Windows does not have: $others"
  echo "imports only Windows' own DLLs: $(tr '\n' ' ' <<<"$dlls")"
  ;;
size)
  [ $# -eq 5 ] || fail "usage: $0 size ZIP DIR EXE_KIB ZIP_KIB"
  zip=$2 exe=$3/wirlep/wirlep.exe
  [ -f "$exe" ] || { echo "no zip was unpacked: skipped"; exit 77; }
  exe_kib=$((($(stat -c %s "$exe") + 1023) / 1024))
  zip_kib=$((($(stat -c %s "$zip") + 1023) / 1024))
  ((exe_kib <= $4)) || fail "wirlep.exe is $exe_kib KiB, over its budget of $4 KiB"
  ((zip_kib <= $5)) || fail "the zip is $zip_kib KiB, over its budget of $5 KiB"
  echo "wirlep.exe $exe_kib KiB (budget $4), the zip $zip_kib KiB (budget $5)"
  # What the linker left out must not take the unwind data of what it kept
  # with it: the table is there, sorted, and each row lies in the code or,
  # for a function left out, is empty.
  read -r text_vma text_size < <(x86_64-w64-mingw32-objdump -h "$exe" \
    | awk '$2 == ".text" { print $4, $3 }') || fail "no code section (.text) in $exe"
  text_end=$(printf '%016x' $((16#$text_vma + 16#$text_size)))
  x86_64-w64-mingw32-objdump -p "$exe" | awk -v start="$text_vma" -v end="$text_end" '
    /^The Function Table/ { table = 1; next }
    table && /^ [0-9a-f]+:/ {
      # Compared as text: "...2e43" would be read as a number.
      begin = $2 ""; stop = $3 ""
      ++rows
      if (begin < last) bad = bad "\n  out of order: " $0
      last = begin
      if (begin == stop) ++empty
      else if (begin < start "" || stop > end "" || stop < begin)
        bad = bad "\n  outside the code: " $0
    }
    table && /^$/ && rows { table = 0 }
    END {
      if (!rows) { print "no unwind table"; exit 1 }
      if (bad != "") { print "its unwind table:" substr(bad, 1, 2000); exit 1 }
      printf "unwind table: %d rows, %d of them for functions left out\n", rows, empty
    }' || fail "wirlep.exe cannot be unwound through as built"
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
setup-install)
  setup_start "$@"
  grep -qaF 'level="asInvoker"' "$setup" || fail "the installer asks for more rights than the player's"
  setup_run /S
  check_install "$default_folder"
  ln -s "$default_folder" "$work/installed"
  ;;
setup-reinstall)
  setup_start "$@"
  setup_run /S
  setup_run /S
  check_install "$default_folder"
  [ "$(entries)" = Wirlep ] || fail "the entries under Uninstall after installing twice: $(entries)"
  # Into another folder: the earlier install goes.
  setup_run /S '/D=C:\Spelletjes\Wirlep'
  [ ! -e "$default_folder" ] || fail "the earlier install is left: $(find "$default_folder")"
  check_install "$WINEPREFIX/drive_c/Spelletjes/Wirlep"
  [ "$(entries)" = Wirlep ] || fail "the entries under Uninstall after installing elsewhere: $(entries)"
  ;;
setup-uninstall)
  setup_start "$@"
  before=$(prefix_files)
  setup_run /S
  uninstall
  after=$(prefix_files)
  [ "$after" = "$before" ] || fail "drive C: after uninstalling:
$(diff <(echo "$before") <(echo "$after"))"
  [ -z "$(entries)" ] || fail "the entries under Uninstall after uninstalling: $(entries)"
  # Into a folder of the player's, which keeps the player's file.
  mkdir -p "$WINEPREFIX/drive_c/Spelletjes"
  printf 'eigen\r\nwoorden\r\n' >"$WINEPREFIX/drive_c/Spelletjes/woorden.txt"
  before=$(prefix_files)
  setup_run /S '/D=C:\Spelletjes'
  [ -s "$WINEPREFIX/drive_c/Spelletjes/wirlep.exe" ] || fail "nothing was installed into C:\\Spelletjes"
  uninstall
  after=$(prefix_files)
  [ "$after" = "$before" ] || fail "drive C: after uninstalling from C:\\Spelletjes:
$(diff <(echo "$before") <(echo "$after"))"
  printf 'eigen\r\nwoorden\r\n' | cmp -s - "$WINEPREFIX/drive_c/Spelletjes/woorden.txt" \
    || fail "the player's file changed"
  [ -z "$(entries)" ] || fail "the entries under Uninstall after uninstalling: $(entries)"
  ;;
*)
  fail "usage: $0 unpack|imports|resources|setup-install|setup-reinstall|setup-uninstall ..."
  ;;
esac
