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
#       installs with /S into a folder with spaces and a diaeresis, written
#       with "/": the zip's files, the shortcut, the entry; edits a list and
#       installs again into the same folder written each other way (its short
#       name, ".", "..", lower case, a "\" at the end): the edit kept; leaves
#       DIR/setup-install/installed for playing the installed program
#   check_windows.sh setup-reinstall SETUP DIR VERSION PUBLISHER ID [required]
#       makes a setup of an older version from the same files and one of its
#       own, which can be cut off at any step (it needs cmake and makensis);
#       installs it, copies it to another folder under the key earlier builds
#       used, edits that one's list, upgrades, installs again with its entry
#       under that key alone; cuts the older
#       setup and its uninstaller off at steps throughout, each followed by a
#       run of setup or the uninstaller; then installs into another folder
#       (/D=): one entry, one set of files, one shortcut, the older one's own
#       file gone, the edited list kept throughout
#   check_windows.sh setup-uninstall SETUP DIR VERSION PUBLISHER ID [required]
#       with the game running (from another folder), installing and
#       uninstalling change nothing and end with 3, with a read-only list
#       with 4; uninstalls and installs again at once: the install is whole;
#       uninstalls: nothing is left; then installs into a
#       folder that holds a file of the player's, edits a list, uninstalls:
#       the player's file and the edited list stay
#   check_windows.sh setup-full SETUP DIR VERSION PUBLISHER ID [required]
#       on a drive of a small file system (mounting it needs root), a first
#       install with too little room, and installing again: 4, and nothing
#       changed; the same when the disk runs full while files are written
#   check_windows.sh setup-immutable SETUP DIR VERSION PUBLISHER ID [required]
#       with an installed file even root may not change (chattr +i, as root),
#       installing and uninstalling end with 4 and change nothing
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
# STATUS of it ("any": any), which it leaves in STATUS. Wine would quote
# arguments with spaces; cmd expands a variable into the line as it is.
run_line() {
  STATUS=0
  WIRLEP_LINE=$2 wine_run wine cmd /c '%WIRLEP_LINE%' >>"$work/wine.log" 2>&1 || STATUS=$?
  [ "$1" = any ] || [ $STATUS -eq "$1" ] || fail "'$2' ended with $STATUS, not $1; the end of wine.log: $(tail -n 3 "$work/wine.log")"
}

# setup_run [STATUS] [ARGUMENTS]: runs the installer, which should end with
# STATUS (0 unless given).
setup_run() {
  local status=0
  [[ ${1:-} =~ ^([0-9]+|any)$ ]] && status=$1 && shift
  run_line "$status" "\"$(wine_run winepath -w "$setup" | tr -d '\r')\" $*"
  log "installer ($*) ended with $STATUS"
}

# nothing_pending: no run of the installer or the uninstaller is noted as
# under way, or as cut off.
nothing_pending() { ! wine_run wine reg query "HKCU\\Software\\$id" >>"$work/wine.log" 2>&1; }

# entries: the keys under Uninstall, one a line, by name.
entries() {
  wine_run wine reg query "$UNINSTALL_KEY" 2>>"$work/wine.log" | tr -d '\r' | sed -n 's/^HKEY_CURRENT_USER\\.*\\Uninstall\\//p'
}

# read_entry: the entry's values in ENTRY (name -> "TYPE data"); fails
# without one.
read_entry() {
  local name type data out
  ENTRY=()
  # reg says what it found, or that there is no such key; once in a while
  # on a busy machine it says nothing at all, and is asked again.
  for _ in 1 2 3; do
    out=$(wine_run wine reg query "$UNINSTALL_KEY\\$id" 2>&1) || true
    [ -n "$out" ] && break
    echo "reg query said nothing: asked again" >>"$work/wine.log"
  done
  while read -r name type data; do
    ENTRY[$name]="$type $data"
  done < <(tr -d '\r' <<<"$out" | iconv -f CP850 -t UTF-8 | grep -E '^ +[^ ]+ +REG_')
  [ ${#ENTRY[@]} -gt 0 ] || fail "no entry $id under Uninstall; reg said: $(tr -d '\r' <<<"$out")"
}
declare -A ENTRY

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
  # The folder as its full long path, however the install named it.
  local location=${ENTRY[InstallLocation]#REG_SZ }
  [ "$location" = "$(wine_run winepath -w "$folder" | tr -d '\r')" ] || fail "InstallLocation is $location, not $folder"
  [ "$(entries)" = "$id" ] || fail "the entries under Uninstall: $(entries)"
  nothing_pending || fail "a run is noted as under way: $(wine_run wine reg query "HKCU\\Software\\$id")"
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
  # Only a finished uninstall leaves that copy: not a refused one (3, 4), nor
  # one cut off (9).
  [[ $STATUS == [349] ]] || wait_for "the uninstall's copy done" nothing_pending
  log "uninstaller ended with $STATUS"
}

# refused STATUS: installing again and uninstalling each end with STATUS,
# and leave drive C: as it was ($installed), the install whole.
refused() {
  setup_run "$1" /S
  uninstall "$1"
  [ "$(prefix_files)" = "$installed" ] || fail "drive C: changed by runs that ended with $1:
$(diff <(echo "$installed") <(prefix_files))"
  check_install "$default_folder"
}

# edit_list FOLDER: the player's own words in FOLDER's list EDITED.
load_layout
EDITED=$LIST_FILE_NORMAAL
edit_list() {
  printf 'eigen\r\nwoorden\r\n' >>"$1/$EDITED"
  cp "$1/$EDITED" "$work/edited"
}
kept_list() { cmp -s "$work/edited" "$1/$EDITED" || fail "the player's $EDITED in $1 was not kept"; }

# start_game: the zip's program running from a folder of its own: the
# installer knows it runs by its mutex alone.
start_game() {
  mkdir -p "$work/elders" && cp "$zip_files/wirlep.exe" "$work/elders/"
  wine_start "$work/wine.log" "$work/elders" ./wirlep.exe
  sleep 1
}

# make_setup SETUP DEFINE...: a setup made by makensis from the installer's
# script with the defines given.
make_setup() {
  makensis -V2 -INPUTCHARSET UTF8 "-DOUTFILE=$1" "${@:2}" "${setup%/*}/build/packaging/windows/wirlep.nsi" \
    >>"$work/makensis.log" 2>&1 || fail "makensis: $(tail -n 5 "$work/makensis.log")"
}

# kill_points: in POINTS, the steps a run that counted STATUS steps (a setup
# made -DKILLABLE, run with WIRLEP_KILL_AT=0) is cut off at: its first and
# last three, and every fifth of the way between.
kill_points() {
  ((STATUS >= 20)) || fail "a run of $STATUS steps: too few to cut off"
  local step
  POINTS=()
  for ((step = 1; step <= STATUS; step++)); do
    ((step > 3 && step <= STATUS - 3 && step % (STATUS / 5))) || POINTS+=("$step")
  done
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
  own='C:\Spelletjes\Zoë en Daan' installed=$WINEPREFIX/drive_c/Spelletjes/'Zoë en Daan'/Wirlep
  # Written with "/", which NSIS itself does not take.
  setup_run /S "/D=${own//\\//}/Wirlep"
  check_install "$installed"
  # The same folder, however it is written: each a reinstall into it.
  edit_list "$installed"
  short=$(wine_run winepath -s "$own\\Wirlep" | tr -d '\r')
  [[ $short == *~*~*'\Wirlep' ]] || fail "Wine gave the folders no short names: $short"
  for spelling in "$short" "$own\\.\\Wirlep" 'C:\Spelletjes\..\Spelletjes\Zoë en Daan\Wirlep' \
    "${own,,}\\wirlep" "$own\\Wirlep\\" "${own//\\//}/Wirlep"; do
    setup_run /S "/D=$spelling"
    check_install "$installed"
    kept_list "$installed"
  done
  ln -s "$installed" "$work/installed"
  ;;
setup-reinstall)
  setup_start "$@"
  # A setup of an older version, from the same files and one only it has, in
  # a folder of its own; the tests may cut it off at any step.
  older=$work/wirlep-0.99-setup.exe
  cp -r "$zip_files/." "$work/stage"
  mkdir "$work/stage/oud" && echo 0.99 >"$work/stage/oud/alleen-0.99.txt"
  cmake -DSTAGE="$work/stage" "-DWORD_LISTS=$(IFS=';' && echo "${LIST_FILES[*]}")" -DOUTPUT="$work/files.nsh" \
    -P "$(dirname "${BASH_SOURCE[0]}")/../../packaging/windows/nsis_files.cmake" >"$work/makensis.log" 2>&1 \
    || fail "nsis_files.cmake: $(tail -n 5 "$work/makensis.log")"
  make_setup "$older" -DVERSION=0.99 "-DFILES=$work/files.nsh" -DKILLABLE
  newer=$setup setup=$older
  setup_run /S
  # A copy of it elsewhere, under the key of the builds before the app id,
  # beside the entry under the app id's.
  elsewhere=$WINEPREFIX/drive_c/Spelletjes/Oud
  mkdir -p "${elsewhere%/*}" && cp -r "$default_folder" "$elsewhere"
  { wine_run wine reg copy "$UNINSTALL_KEY\\$id" "$UNINSTALL_KEY\\Wirlep" /s /f &&
    wine_run wine reg add "$UNINSTALL_KEY\\Wirlep" /v InstallLocation /d 'C:\Spelletjes\Oud' /f; } >>"$work/wine.log" 2>&1 \
    || fail "cannot make the earlier build's entry"
  edit_list "$elsewhere"
  setup=$newer
  setup_run /S
  [ ! -e "$elsewhere" ] || fail "the earlier install is left: $(find "$elsewhere")"
  kept_list "$default_folder"
  # Again, with the entry under the earlier builds' key alone: the same folder.
  { wine_run wine reg copy "$UNINSTALL_KEY\\$id" "$UNINSTALL_KEY\\Wirlep" /s /f &&
    wine_run wine reg delete "$UNINSTALL_KEY\\$id" /f; } >>"$work/wine.log" 2>&1 || fail "cannot move the entry"
  setup_run /S
  check_install "$default_folder"
  kept_list "$default_folder"
  # Cut off at steps throughout the older setup's run, and its uninstaller's;
  # the next run of the uninstaller, or of setup, undoes or completes it.
  WIRLEP_KILL_AT=0 setup=$older setup_run any /S
  kill_points
  for step in "${POINTS[@]}"; do
    WIRLEP_KILL_AT=$step setup=$older setup_run 9 /S
    setup_run /S
    check_install "$default_folder"
    kept_list "$default_folder"
  done
  windows_folder=$(wine_run winepath -w "$default_folder" | tr -d '\r')
  setup=$older setup_run /S
  WIRLEP_KILL_AT=0 uninstall any
  kill_points
  for step in "${POINTS[@]}"; do
    setup=$older setup_run /S
    WIRLEP_KILL_AT=$step uninstall 9
    if ((step % 2)); then
      run_line 0 "\"$windows_folder\\uninstall.exe\" /S _?=$windows_folder"
      wait_for "the uninstall's copy done" nothing_pending
      [ "$(ls -A "$default_folder")" = "$EDITED" ] || fail "left after uninstalling: $(ls -A "$default_folder")"
      [ -z "$(entries)" ] || fail "the entries under Uninstall after uninstalling: $(entries)"
    else
      setup_run /S
      check_install "$default_folder"
    fi
    kept_list "$default_folder"
  done
  # Into another folder: the earlier install goes, the player's list comes along.
  setup_run /S
  setup_run /S '/D=C:\Spelletjes\Wirlep'
  [ ! -e "$default_folder" ] || fail "the earlier install is left: $(find "$default_folder")"
  check_install "$WINEPREFIX/drive_c/Spelletjes/Wirlep"
  kept_list "$WINEPREFIX/drive_c/Spelletjes/Wirlep"
  ;;
setup-uninstall)
  setup_start "$@"
  before=$(prefix_files)
  setup_run /S
  # Neither installing again nor uninstalling touches a running game.
  installed=$(prefix_files)
  start_game
  refused 3
  # Closed, as everything in the prefix.
  wineserver --kill
  wineserver --wait
  # A list made read-only ends both with 4, before anything is changed.
  read_only=$(wine_run winepath -w "$default_folder/${LIST_FILES[0]}" | tr -d '\r')
  wine_run wine cmd /c attrib +r "$read_only" >>"$work/wine.log" 2>&1
  refused 4
  wine_run wine cmd /c attrib -r "$read_only" >>"$work/wine.log" 2>&1
  # Uninstalled and installed again at once, as a package manager upgrades:
  # the install is whole once the uninstaller's copy is done too.
  read_entry
  run_line 0 "${ENTRY[QuietUninstallString]#REG_SZ }"
  setup_run /S
  wineserver --wait
  check_install "$default_folder"
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
setup-full)
  umount "${3:-}/setup-full/e" 2>/dev/null || true
  setup_start "$@"
  # Drive E: on a file system the install fills but for 5 MB.
  drive=$work/e
  mkdir "$drive"
  mount -t tmpfs -o size=$(($(du -sk "$zip_files/" | cut -f1) + 5120))k tmpfs "$drive" 2>"$work/mount.log" \
    || { echo "cannot mount a file system (root can): skipped"; exit 77; }
  trap 'stop_wine; umount -l "$drive"' EXIT
  ln -s "$drive" "$WINEPREFIX/dosdevices/e:"
  sums() { (cd "$drive" && find . -type f -exec sha256sum {} + | sort); }
  # A first install with 4 MB free leaves nothing, refused as the room is
  # looked at first, or cut off as the disk runs full while files are
  # written (a setup that does not look).
  head -c $((($(df --output=avail -k "$drive" | tail -n 1) - 4096) * 1024)) /dev/zero >"$drive/vol"
  make_setup "$work/zonder-marge.exe" -DMARGIN_KB=-1000000
  for each in "$setup" "$work/zonder-marge.exe"; do
    setup=$each setup_run 4 /S '/D=E:\Wirlep'
    [ "$(ls -A "$drive")" = vol ] || fail "a first install that failed left: $(ls -A "$drive")"
  done
  rm "$drive/vol"
  setup_run /S '/D=E:\Wirlep'
  edit_list "$drive/Wirlep"
  earlier=$(sums)
  # Installing again, as an upgrade does, writes each new file beside the
  # old one: there is no room, and the earlier install stays as it was; the
  # same when the disk runs full while files are written.
  for each in "$setup" "$work/zonder-marge.exe"; do
    setup=$each setup_run 4 /S
    [ "$(sums)" = "$earlier" ] || fail "a failed install changed the earlier one"
  done
  nothing_pending || fail "a run is noted as under way"
  ;;
setup-immutable)
  setup_start "$@"
  setup_run /S
  installed=$(prefix_files)
  # A file that cannot be written, not even by root, ends both with 4,
  # before anything is changed.
  chattr +i "$default_folder/LEESMIJ.txt" 2>"$work/chattr.log" \
    || { echo "chattr +i is refused (root may, where the file system has it): skipped"; exit 77; }
  refused 4
  chattr -i "$default_folder/LEESMIJ.txt"
  ;;
*)
  fail "usage: $0 unpack|imports|resources|setup-install|setup-reinstall|setup-uninstall|setup-full|setup-immutable ..."
  ;;
esac
