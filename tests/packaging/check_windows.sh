#!/usr/bin/env bash
# The Windows zip's tests, one command each:
#   check_windows.sh unpack ZIP DIR SOURCE_ARCHIVE [required]
#       unzips ZIP into DIR/zip and checks what it holds (the program, its
#       word lists, the source archive SOURCE_ARCHIVE, ...), then makes a Wine
#       prefix in DIR/wineprefix for the end-to-end scenarios to copy. A
#       missing ZIP skips the Windows tests, or fails them when "required".
# The word lists' names come from the file WIRLEP_E2E_LAYOUT names.
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
# a missing SETUP skips them, or fails them when "required". VERSION,
# PUBLISHER and ID are what the entry under Apps should say and its key.
#   check_windows.sh setup-install SETUP DIR VERSION PUBLISHER ID [required]
#       installs with /S into a folder with spaces and a diaeresis: the zip's
#       files, the shortcut, the entry; leaves DIR/setup-install/installed
#       for playing the installed program, which the game then uninstalls
#   check_windows.sh setup-reinstall SETUP DIR VERSION PUBLISHER ID [required]
#       installs a setup of an older version made from the same files (it
#       needs makensis) with its entry where earlier builds kept it, edits
#       a word list, upgrades, installs again, then
#       into another folder (/D=): one entry, one set of files, one shortcut,
#       and the edited list kept throughout
#   check_windows.sh setup-uninstall SETUP DIR VERSION PUBLISHER ID [required]
#       with the game running, installing and uninstalling change nothing and
#       end with 3, with a file that cannot be written they end with 4; then
#       uninstalls: nothing is left; then installs into a
#       folder that holds a file of the player's, edits a list, uninstalls:
#       the player's file and the edited list stay
set -euo pipefail

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Reporting, ending what was started and Wine prefixes: shared with the other
# scripts that start programs.
# shellcheck source=SCRIPTDIR/../common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"

# --- The installer under Wine ---------------------------------------------------

UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'

# setup_start COMMAND SETUP DIR VERSION PUBLISHER [required]: a fresh copy of
# the prefix unpack made, in use.
setup_start() {
  [ $# -ge 6 ] || fail "usage: $0 $1 SETUP DIR VERSION PUBLISHER ID [required]"
  setup=$2 dir=$3 version=$4 publisher=$5 id=$6
  if [ ! -f "$setup" ]; then
    [ "${7:-}" = required ] && fail "$setup is missing: scripts/build-windows.sh makes it"
    echo "$setup is missing: skipped (scripts/build-windows.sh makes it)"
    exit 77
  fi
  [ -d "$dir/wineprefix" ] || { echo "no zip was unpacked: skipped"; exit 77; }
  zip_files=$dir/wirlep
  work=$dir/$1
  rm -rf "$work"
  mkdir -p "$work"
  clone_prefix "$dir/wineprefix" "$work/prefix"
  # Folder names beyond ASCII reach Wine as UTF-8.
  export DISPLAY= LC_ALL=C.UTF-8
  TIMEOUT_MS=30000
  trap stop_wine EXIT
  # Where a player's own programs go: %LOCALAPPDATA%\Programs.
  local local_appdata=("$WINEPREFIX"/drive_c/users/*/AppData/Local)
  [ ${#local_appdata[@]} -eq 1 ] && [ -d "${local_appdata[0]}" ] \
    || fail "not one user's AppData\\Local in the prefix"
  default_folder=${local_appdata[0]}/Programs/Wirlep
}

# run_line STATUS COMMAND_LINE: runs a Windows command line as Windows
# would, unsplit (a /D= or _?= folder with spaces stays one), and expects
# STATUS of it. Wine would quote arguments with spaces; cmd expands a
# variable into the line as it is.
run_line() {
  local status=0
  WIRLEP_LINE=$2 wine cmd /c '%WIRLEP_LINE%' >>"$work/wine.log" 2>&1 || status=$?
  [ $status -eq "$1" ] || fail "'$2' ended with $status, not $1"
}

# setup_run [STATUS] [ARGUMENTS]: runs the installer, which should end with
# STATUS (0 unless given).
setup_run() {
  local status=0
  [[ ${1:-} =~ ^[0-9]+$ ]] && status=$1 && shift
  run_line "$status" "\"$(winepath -w "$setup" | tr -d '\r')\" $*"
  log "installer ($*) ended with $status"
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
  done < <(wine reg query "$UNINSTALL_KEY\\$id" 2>>"$work/wine.log" | tr -d '\r' | iconv -f CP850 -t UTF-8 \
    | grep -E '^ +[^ ]+ +REG_')
  [ ${#ENTRY[@]} -gt 0 ] || fail "no entry $id under Uninstall"
}
declare -A ENTRY

# unix_path WINDOWS_PATH: where it is in the prefix, through no link.
unix_path() { realpath -m "$(winepath -u "$1" 2>>"$work/wine.log" | tr -d '\r')"; }

# holds FILE ENCODING TEXT: FILE's bytes hold TEXT in ENCODING.
holds() {
  local bytes want
  bytes=$(od -An -tx1 -v "$1" | tr -d ' \n')
  want=$(printf '%s' "$3" | iconv -t "$2" | od -An -tx1 -v | tr -d ' \n')
  [[ $bytes == *"$want"* ]]
}

# check_install FOLDER: FOLDER (a path in the prefix) holds the zip's files,
# but for the player's own list, the uninstaller and its record, the entry
# under Apps says so, and one shortcut in the Start menu starts the program there.
check_install() {
  local folder=$1 only
  # The player's list differs once edit_list has edited it.
  local edited="Only in $folder/: uninstall.exe"
  [ ! -f "$work/edited" ] || edited="Files $zip_files/$EDITED and $folder/$EDITED differ"
  only=$(diff -rq "$zip_files/" "$folder/" | grep -vxF -e "Only in $folder/: uninstall.exe" \
    -e "Only in $folder/: uninstall.ini" -e "$edited" || true)
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
    [UninstallString]="REG_SZ \"$location\\uninstall.exe\" _?=$location"
    [QuietUninstallString]="REG_SZ \"$location\\uninstall.exe\" /S _?=$location"
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
  # program's own, in UTF-16.
  holds "$links" CP1252 "$location\\wirlep.exe" || fail "the shortcut does not lead to $location\\wirlep.exe"
  holds "$links" UTF-16LE "$location" || fail "the shortcut does not start in $location"
  holds "$links" UTF-16LE "$location\\wirlep.exe" || fail "the shortcut's icon is not wirlep.exe's"
  log "the files, the entry under Apps and the shortcut lead to $location"
}

# uninstall [STATUS]: runs the entry's QuietUninstallString, as a package
# manager would, expecting STATUS (0 unless given), and waits for the copy
# of itself the uninstaller starts from %TEMP% to remove it.
uninstall() {
  read_entry
  run_line "${1:-0}" "${ENTRY[QuietUninstallString]#REG_SZ }"
  # Only a finished uninstall leaves that copy; a refused one, the game running.
  [ "${1:-0}" -ne 0 ] || wineserver --wait
  log "uninstaller ended with ${1:-0}"
}

# edit_list FOLDER: the player's own words in FOLDER's list EDITED.
load_layout
EDITED=$LIST_FILE_NORMAAL
edit_list() {
  printf 'eigen\r\nwoorden\r\n' >>"$1/$EDITED"
  cp "$1/$EDITED" "$work/edited"
}
kept_list() { cmp -s "$work/edited" "$1/$EDITED" || fail "the player's $EDITED in $1 was not kept"; }

# start_game FOLDER: the installed game, running.
start_game() {
  wine "$1/wirlep.exe" >>"$work/wine.log" 2>&1 &
  APP_PID=$!
  wait_for "the game running" pgrep -f 'wirlep\.exe' >/dev/null
  sleep 1
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
  [ $# -ge 4 ] || fail "usage: $0 unpack ZIP DIR SOURCE_ARCHIVE [required]"
  zip=$2 dir=$3 source_archive=$4
  rm -rf "$dir"
  if [ ! -f "$zip" ]; then
    [ "${5:-}" = required ] && fail "$zip is missing: scripts/build-windows.sh makes it"
    echo "$zip is missing: the Windows tests are skipped (scripts/build-windows.sh makes it)"
    exit 77
  fi
  needs "${5:-}" unzip wine wineserver
  mkdir -p "$dir"
  unzip -q "$zip" -d "$dir/zip"
  top=("$dir"/zip/*)
  [ ${#top[@]} -eq 1 ] && [ -d "${top[0]}" ] || fail "the zip should hold one folder"
  for file in wirlep.exe "${LIST_FILES[@]}" LEESMIJ.txt "$source_archive" \
    licenties/COPYING.txt licenties/qt/LGPL-3.0-only.txt; do
    [ -s "${top[0]}/$file" ] || fail "the zip lacks $file"
  done
  ln -s "${top[0]}" "$dir/wirlep"
  new_prefix "$dir/wineprefix" "$dir/wineboot.log"
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
  setup_run /S '/D=C:\Spelletjes\Zoë en Daan\Wirlep'
  check_install "$WINEPREFIX/drive_c/Spelletjes/Zoë en Daan/Wirlep"
  ln -s "$WINEPREFIX/drive_c/Spelletjes/Zoë en Daan/Wirlep" "$work/installed"
  ;;
setup-reinstall)
  setup_start "$@"
  # A setup of an older version, from the same files.
  older=$work/wirlep-0.99-setup.exe
  makensis -V2 -INPUTCHARSET UTF8 -DVERSION=0.99 "-DOUTFILE=$older" \
    "${setup%/*}/build/packaging/windows/wirlep.nsi" >"$work/makensis.log" 2>&1 \
    || fail "makensis: $(tail -n 5 "$work/makensis.log")"
  newer=$setup setup=$older
  setup_run /S
  # Its entry where builds before the app id kept it.
  { wine reg copy "$UNINSTALL_KEY\\$id" "$UNINSTALL_KEY\\Wirlep" /s /f &&
    wine reg delete "$UNINSTALL_KEY\\$id" /f; } >>"$work/wine.log" 2>&1 || fail "cannot move the entry"
  edit_list "$default_folder"
  setup=$newer
  setup_run /S
  kept_list "$default_folder"
  setup_run /S
  check_install "$default_folder"
  kept_list "$default_folder"
  [ "$(entries)" = "$id" ] || fail "the entries under Uninstall after installing twice: $(entries)"
  # Into another folder: the earlier install goes, the player's list comes along.
  setup_run /S '/D=C:\Spelletjes\Wirlep'
  [ ! -e "$default_folder" ] || fail "the earlier install is left: $(find "$default_folder")"
  check_install "$WINEPREFIX/drive_c/Spelletjes/Wirlep"
  kept_list "$WINEPREFIX/drive_c/Spelletjes/Wirlep"
  [ "$(entries)" = "$id" ] || fail "the entries under Uninstall after installing elsewhere: $(entries)"
  ;;
setup-uninstall)
  setup_start "$@"
  before=$(prefix_files)
  setup_run /S
  # Neither installing again nor uninstalling touches a running game.
  installed=$(prefix_files)
  start_game "$default_folder"
  setup_run 3 /S
  uninstall 3
  [ "$(prefix_files)" = "$installed" ] || fail "drive C: changed while the game ran:
$(diff <(echo "$installed") <(prefix_files))"
  check_install "$default_folder"
  # Closed, as everything in the prefix.
  wineserver --kill
  wineserver --wait
  # A file that cannot be written (immutable even to root here) ends both
  # with 4, before anything is changed.
  if chattr +i "$default_folder/LEESMIJ.txt" 2>/dev/null; then
    setup_run 4 /S
    uninstall 4
    chattr -i "$default_folder/LEESMIJ.txt"
    [ "$(prefix_files)" = "$installed" ] || fail "drive C: changed by a failed run"
    check_install "$default_folder"
  fi
  uninstall
  after=$(prefix_files)
  [ "$after" = "$before" ] || fail "drive C: after uninstalling:
$(diff <(echo "$before") <(echo "$after"))"
  [ -z "$(entries)" ] || fail "the entries under Uninstall after uninstalling: $(entries)"
  # Into a folder of the player's, with spaces and a diaeresis in its name:
  # the player's own file and edited list stay, with their folder.
  own='C:\Spelletjes\Zoë en Daan' own_unix=$WINEPREFIX/drive_c/Spelletjes/'Zoë en Daan'
  mkdir -p "$own_unix"
  printf 'eigen\r\nwoorden\r\n' >"$own_unix/woorden.txt"
  before=$(prefix_files)
  setup_run /S "/D=$own"
  [ -s "$own_unix/wirlep.exe" ] || fail "nothing was installed into $own"
  edit_list "$own_unix"
  uninstall
  after=$(prefix_files)
  [ "$after" = "$(sort <<<"$before"$'\n'"./${own_unix#*/drive_c/}/$EDITED")" ] \
    || fail "drive C: after uninstalling from $own:
$(diff <(echo "$before") <(echo "$after"))"
  kept_list "$own_unix"
  printf 'eigen\r\nwoorden\r\n' | cmp -s - "$own_unix/woorden.txt" || fail "the player's file changed"
  [ -z "$(entries)" ] || fail "the entries under Uninstall after uninstalling: $(entries)"
  ;;
*)
  fail "usage: $0 unpack|imports|resources|setup-install|setup-reinstall|setup-uninstall ..."
  ;;
esac
