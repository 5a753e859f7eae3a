#!/usr/bin/env bash
# Plays Wirlep in a virtual X display as a person would: xdotool moves the
# mouse, clicks and presses keys, and screenshots show what the program drew.
# There is no window manager: windows have no frames, and where a person
# would click a title bar to give a window the keyboard, xdotool gives it.
#
# Usage: play.sh <wirlep> <e2e_close_window> <scenario>
# Scenarios: lost won typed help info missing_list unreadable_list
#
# A <wirlep> ending in .exe is the Windows program: it is played the same
# way under Wine, in a throw-away copy of the Wine prefix WIRLEP_WINEPREFIX
# (packaging/windows/check_exe.sh makes it).
#
# Each run copies the program into a fresh folder beside word lists of its
# own, so every draw is known. Screenshots and the program's output are kept
# in e2e-<scenario>/ of the current folder when a run fails (always, with
# WIRLEP_E2E_KEEP=1).
set -uo pipefail
export LC_ALL=C

if (($# != 3)); then
    echo "usage: $0 <wirlep> <e2e_close_window> <scenario>" >&2
    exit 2
fi
WINDOWS=
[[ $1 == *.exe ]] && WINDOWS=yes
if [[ -n $WINDOWS && ! -f $1 ]]; then
    echo "$1 is missing (no Windows zip was unpacked, or nothing installed): skipped"
    exit 77
fi
WIRLEP=$(realpath "$1")
CLOSER=$(realpath "$2")
SCENARIO=$3

TIMEOUT_MS=${WIRLEP_E2E_TIMEOUT_MS:-10000} # for anything to happen on screen
RUN=$PWD/e2e-${WINDOWS:+windows-}$SCENARIO
rm -rf "$RUN"
mkdir -p "$RUN/shots"
PROG=$(mktemp -d "${TMPDIR:-/tmp}/wirlep-e2e.XXXXXX")
APP_PID=
XVFB_PID=
SHOT=
SHOT_COUNT=0
START_MS=

# --- Reporting -----------------------------------------------------------------

now_ms() {
    local t=${EPOCHREALTIME/./}
    echo $((t / 1000))
}
START_MS=$(now_ms)

log() {
    local ms=$(($(now_ms) - START_MS))
    printf '[%3d.%02ds] %s\n' $((ms / 1000)) $((ms % 1000 / 10)) "$*"
}

describe_windows() {
    local id
    for id in $(xdo search --onlyvisible --class . 2>/dev/null); do
        geom "$id" || continue
        echo "  window $id '$(xdo getwindowname "$id" 2>/dev/null)' at ${GX},${GY} size ${GW}x${GH}"
    done
}

fail() {
    log "FAILED: $*"
    if [[ -n ${DISPLAY:-} ]]; then
        echo "Windows on the screen:"
        describe_windows
        import -window root "$RUN/shots/failure.png" 2>/dev/null \
            && echo "Screenshot: $RUN/shots/failure.png"
    fi
    [[ -n $SHOT ]] && echo "Last screenshot examined: $SHOT"
    echo "Program output ($RUN/wirlep.log):"
    tail -n 20 "$RUN/wirlep.log" 2>/dev/null | sed 's/^/  /'
    exit 1
}

cleanup() {
    local status=$?
    if [[ -n $APP_PID ]] && kill -0 "$APP_PID" 2>/dev/null; then
        kill "$APP_PID" 2>/dev/null
        for _ in {1..20}; do
            kill -0 "$APP_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$APP_PID" 2>/dev/null
    fi
    [[ -n $WINDOWS && -d $PROG/wineprefix ]] && WINEPREFIX=$PROG/wineprefix wineserver --kill 2>/dev/null
    if [[ -n $XVFB_PID ]]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
    fi
    rm -rf "$PROG"
    if ((status == 0)) && [[ -z ${WIRLEP_E2E_KEEP:-} ]]; then
        rm -rf "$RUN/shots"
        log "passed"
    else
        echo "Kept for a look: $RUN"
    fi
}
trap cleanup EXIT
trap 'exit 143' TERM INT

for tool in Xvfb xdotool import convert realpath timeout ${WINDOWS:+wine wineserver}; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh installs it)"
done

# --- Waiting -----------------------------------------------------------------

# wait_for WHAT CHECK [ARGS...]: runs CHECK until it succeeds. A check says in
# SEEN what it saw, for the message when it never does.
wait_for() {
    local what=$1
    shift
    local deadline=$(($(now_ms) + TIMEOUT_MS))
    SEEN=
    until "$@"; do
        (($(now_ms) < deadline)) || fail "no $what after $((TIMEOUT_MS / 1000)) s${SEEN:+; saw $SEEN}"
        sleep 0.05
    done
}

# holds_for MS WHAT CHECK [ARGS...]: CHECK keeps succeeding for MS milliseconds;
# for what must not happen, such as a window closing on a key it ignores.
holds_for() {
    local ms=$1 what=$2
    shift 2
    local deadline=$(($(now_ms) + ms))
    SEEN=
    while (($(now_ms) < deadline)); do
        "$@" || fail "$what did not hold${SEEN:+; saw $SEEN}"
        sleep 0.05
    done
}

# --- The X display and the program -------------------------------------------

xdo() { timeout 10 xdotool "$@"; }

start_display() {
    # -displayfd picks a free display number and writes it once the server
    # takes connections; -noreset keeps it from starting over each time the
    # last of the short-lived xdotool and import clients leaves.
    Xvfb -displayfd 3 -screen 0 800x600x24 -dpi 96 -nolisten tcp -noreset \
        3>"$RUN/display" 2>"$RUN/xvfb.log" &
    XVFB_PID=$!
    wait_for "X display" test -s "$RUN/display"
    DISPLAY=:$(head -n 1 "$RUN/display")
    export DISPLAY
    wait_for "X display $DISPLAY answering" display_answers
    log "Xvfb on $DISPLAY"
}

display_answers() {
    kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb ended: $(tail -n 3 "$RUN/xvfb.log")"
    xdo getdisplaygeometry >/dev/null 2>&1
}

# word_list NAME WORD: a list of 26 lines, all WORD, so every draw is WORD.
word_list() {
    local i
    for i in {1..26}; do printf '%s\r\n' "$2"; done >"$PROG/$1"
}

start_program() {
    if [[ -n $WINDOWS ]]; then
        start_windows_program
        return
    fi
    cp "$WIRLEP" "$PROG/wirlep"
    mkdir -p "$PROG/runtime" && chmod 700 "$PROG/runtime"
    # The system's look, as on a desktop without settings of its own.
    unset QT_QPA_PLATFORMTHEME QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_FONT_DPI \
        QT_ENABLE_HIGHDPI_SCALING XDG_CURRENT_DESKTOP DESKTOP_SESSION
    export QT_QPA_PLATFORM=xcb QT_STYLE_OVERRIDE=Fusion XDG_RUNTIME_DIR=$PROG/runtime
    (cd "$PROG" && exec ./wirlep) >>"$RUN/wirlep.log" 2>&1 &
    APP_PID=$!
    log "started the program (pid $APP_PID) in $PROG: $(cd "$PROG" && echo *.txt)"
}

# The .exe under Wine, in its native look, with a prefix of its own: hard
# links to the prepared one, but for the files Wine writes (the registry and
# its stamp), which are copies.
start_windows_program() {
    local template=${WIRLEP_WINEPREFIX:-}
    [[ -d $template ]] || fail "no Wine prefix to copy in WIRLEP_WINEPREFIX ('$template')"
    if [[ ! -d $PROG/wineprefix ]]; then
        cp -al "$template" "$PROG/wineprefix" || fail "cannot copy the Wine prefix"
        local file
        for file in "$template"/*.reg "$template"/.update-timestamp; do
            [[ -f $file ]] && cp --remove-destination "$file" "$PROG/wineprefix/"
        done
    fi
    cp "$WIRLEP" "$PROG/wirlep.exe"
    export WINEPREFIX=$PROG/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    (cd "$PROG" && exec wine ./wirlep.exe) >>"$RUN/wirlep.log" 2>&1 &
    APP_PID=$!
    log "started the Windows program under Wine (pid $APP_PID) in $PROG: $(cd "$PROG" && echo *.txt)"
}

# Ended, or ended and not yet reaped.
program_ended() {
    local stat
    stat=$(cat "/proc/$APP_PID/stat" 2>/dev/null) || return 0
    stat=${stat##*) }
    [[ $stat == Z* || $stat == X* ]]
}

program_running() { ! program_ended; }

# Waits for the program to end by itself and checks it ended well.
expect_program_exit() {
    wait_for "end of the program" program_ended
    wait "$APP_PID"
    local status=$?
    APP_PID=
    ((status == 0)) || fail "the program ended with status $status"
    log "the program ended with status 0"
}

# --- Windows -----------------------------------------------------------------

# geom ID: sets GX GY GW GH to the window's place and size on the screen.
geom() {
    local out
    out=$(xdo getwindowgeometry --shell "$1" 2>/dev/null) || return 1
    GX=$(sed -n 's/^X=//p' <<<"$out")
    GY=$(sed -n 's/^Y=//p' <<<"$out")
    GW=$(sed -n 's/^WIDTH=//p' <<<"$out")
    GH=$(sed -n 's/^HEIGHT=//p' <<<"$out")
    [[ -n $GX && -n $GY && -n $GW && -n $GH ]]
}

visible_named() { xdo search --onlyvisible --name "$1" 2>/dev/null; }

# One visible window titled to match REGEX: its id in WIN.
window_shown() {
    local ids
    if [[ -n $APP_PID ]] && program_ended; then
        fail "the program ended while a window '$1' was awaited"
    fi
    ids=$(visible_named "$1")
    SEEN="$(wc -w <<<"$ids") windows titled '$1'"
    [[ $(wc -w <<<"$ids") -eq 1 ]] || return 1
    WIN=$ids
}

window_gone() {
    local ids
    ids=$(visible_named "$1")
    SEEN="still shown: $ids"
    [[ -z $ids ]]
}

wait_window() {
    wait_for "window '$1'" window_shown "$1"
    local title=${1//[\^\$\\]/}
    shot "shown-${title// /-}"
}
wait_window_gone() { wait_for "closing of window '$1'" window_gone "$1"; }

# Gives WIN the keyboard, as a click on its title bar would.
focus() { xdo windowfocus --sync "$1" || fail "cannot give window $1 the keyboard"; }

# --- Screenshots ---------------------------------------------------------------

# shot LABEL: a screenshot of the whole screen in SHOT. Repeated shots with
# the same label while polling replace each other.
LAST_LABEL=
shot() {
    if [[ $1 != "$LAST_LABEL" ]]; then
        SHOT_COUNT=$((SHOT_COUNT + 1))
        LAST_LABEL=$1
    fi
    SHOT=$RUN/shots/$(printf '%03d' "$SHOT_COUNT")-$1.png
    import -window root "$SHOT" 2>>"$RUN/import.log" || fail "no screenshot could be taken"
}

# darkest BOX...: the darkest grey (0-255) inside each screen box "w h x y",
# one line each, from SHOT.
darkest() {
    local args=() box w h x y
    for box in "$@"; do
        read -r w h x y <<<"$box"
        args+=('(' -clone 0 -crop "${w}x${h}+${x}+${y}" +repage ')')
    done
    convert "$SHOT" "${args[@]}" -delete 0 -colorspace Gray \
        -format '%[fx:int(255*minima+0.5)]\n' info:
}

# --- The main window -----------------------------------------------------------

# Letter buttons "A" to "Z" in twips, as designed: 25x25 pixels, 15 twips each.
LETTER_TWIPS=(240 720 600 720 960 720 1320 720 1680 720 2040 720 2400 720
    360 1080 720 1080 1080 1080 1440 1080 1800 1080 2160 1080
    240 1440 600 1440 960 1440 1320 1440 1680 1440 2040 1440 2400 1440
    360 1800 720 1800 1080 1800 1440 1800 1800 1800 2160 1800)
# Where each gallows piece is looked for, in client pixels "w h x y": a small
# box on the piece's one-pixel outline that no other piece crosses.
PIECE_PROBES=(
    "10 3 400 215" # ground, 200,216 225 wide
    "5 10 246 190" # post, x 248 from y 16 to 216
    "6 3 380 15"   # beam, y 16 from x 216 to 392
    "5 8 366 25"   # rope, x 368 from y 16 to 40
    "5 6 346 57"   # head, a circle 348 to 388 wide, 40 to 80 high
    "5 6 342 112"  # body, an oval 344 to 392 wide, 80 to 136 high
    "10 3 320 103" # left arm, y 104 from x 312 to 344
    "10 3 405 103" # right arm, y 104 from x 392 to 424
    "5 10 350 150" # left leg, x 352 from y 128 to 168
    "5 10 382 150" # right leg, x 384 from y 128 to 168
)
LBLZOEK=(177 25 16 160) # w h x y
CLIENT_W=454
CLIENT_H=232

# An awk head for ImageMagick's txt: output of a grey 8-bit picture: sets x, y
# and v, the grey, for each pixel line ("12,3: (...)  #EFEFEF  gray(239)").
# shellcheck disable=SC2016 # awk's own $ fields
TXT_PIXELS='NR == 1 { next }
    { split($1, p, /[,:]/); x = p[1] + 0; y = p[2] + 0; v = $NF; gsub(/[^0-9]/, "", v); v += 0 }'

LETTERS=abcdefghijklmnopqrstuvwxyz

letter_index() {
    local before=${LETTERS%%"$1"*}
    echo ${#before}
}

# Finds the main window: MAIN, its place MX MY, and MB, the menu bar's height:
# the client area starts at Line1, the black line along its top.
find_main() {
    wait_window '^Wirlep\.\.\.\.$'
    MAIN=$WIN
    # Without a window manager every window opens at 0,0: the main window is
    # moved aside, as a player would drag it, so the others do not cover it.
    wait_for "main window at 260,160" main_moved 260 160
    MX=$GX MY=$GY
    ((GW == CLIENT_W)) || fail "the main window is $GW wide, not $CLIENT_W"
    wait_for "Line1 at the top of the client area" line1_found "$GH"
    ((GH - MB == CLIENT_H)) || fail "the client area is $((GH - MB)) high, not $CLIENT_H"
    log "main window $MAIN at $MX,$MY; menu bar $MB high"
    menu_titles
}

main_moved() { window_moved "$MAIN" "$@"; }

# window_moved ID X Y: the window is at X,Y, or is asked to move there.
window_moved() {
    geom "$1" || return 1
    SEEN="window $1 at $GX,$GY"
    [[ $GX == "$2" && $GY == "$3" ]] && return 0
    xdo windowmove "$1" "$2" "$3"
    return 1
}

line1_found() {
    local height=$1
    shot main-window
    # The first row that is dark all along Line1's 448 pixels.
    MB=$(convert "$SHOT" -crop "448x${height}+${MX}+${MY}" +repage -colorspace Gray \
        -scale "1x${height}!" -depth 8 txt:- \
        | awk "$TXT_PIXELS"' v < 64 { print y; exit }')
    SEEN="no dark row in the main window"
    [[ -n $MB ]] && ((MB > 0))
}

# Screen position of a point in the client area.
client_x() { echo $((MX + $1)); }
client_y() { echo $((MY + MB + $1)); }

click_at() { xdo mousemove "$1" "$2" click 1 || fail "cannot click at $1,$2"; }

click_letter() {
    local i
    i=$(letter_index "$1")
    click_at "$(client_x $((LETTER_TWIPS[2 * i] / 15 + 12)))" \
        "$(client_y $((LETTER_TWIPS[2 * i + 1] / 15 + 12)))"
}

# The titles in the menu bar as seen: MENU_X holds the middle of each.
menu_titles() {
    shot menu-bar
    mapfile -t MENU_X < <(convert "$SHOT" -crop "${CLIENT_W}x$((MB - 2))+${MX}+${MY}" +repage \
        -colorspace Gray -threshold 50% -negate -scale "${CLIENT_W}x1!" -depth 8 txt:- \
        | awk "$TXT_PIXELS"' v > 0 { if (start < 0 || x - last > 6) {
                                             if (start >= 0) print int((start + last) / 2)
                                             start = x }
                                         last = x }
                             BEGIN { start = -1 }
                             END { if (start >= 0) print int((start + last) / 2) }')
    ((${#MENU_X[@]} == 4)) || fail "the menu bar shows ${#MENU_X[@]} titles, not 4"
}

new_window() {
    local id
    for id in $(xdo search --onlyvisible --class . 2>/dev/null); do
        [[ " $1 " == *" $id "* ]] && continue
        WIN=$id
        return 0
    done
    SEEN="no new window"
    return 1
}

# choose TITLE ITEM COUNT: clicks menu title TITLE (0 Bestand, 1 Woord,
# 2 Niveau, 3 Help), then ITEM (from 0) of the COUNT items it drops down.
choose() {
    local before popup
    before=$(xdo search --onlyvisible --class . 2>/dev/null | tr '\n' ' ')
    click_at "$((MX + MENU_X[$1]))" "$((MY + MB / 2))"
    wait_for "menu dropping down" new_window "$before"
    popup=$WIN
    geom "$popup" || fail "the menu has no geometry"
    click_at "$((GX + GW / 2))" "$((GY + (2 * $2 + 1) * GH / (2 * $3)))"
    wait_for "menu closing" popup_gone "$popup"
}

popup_gone() { ! xdo search --onlyvisible --class . 2>/dev/null | grep -qx "$1"; }

# --- What the board shows --------------------------------------------------------

# Reads the board from a fresh screenshot: BUTTONS, a letter a-z each, "E" for
# an enabled button (black text), "D" for a greyed one, "?" for neither;
# PIECES, "1" for a piece drawn, "0" for one not, "?" for neither; either "c"
# where another window covers the spot. DASHES: the most dashes or other
# marks side by side in one row of lblzoek; INK: its dark pixels.
read_board() {
    shot "$1"
    local boxes=() i x y w h
    for i in {0..25}; do
        x=$(client_x $((LETTER_TWIPS[2 * i] / 15 + 6)))
        y=$(client_y $((LETTER_TWIPS[2 * i + 1] / 15 + 6)))
        boxes+=("13 13 $x $y")
    done
    for i in {0..9}; do
        read -r w h x y <<<"${PIECE_PROBES[i]}"
        boxes+=("$w $h $(client_x "$x") $(client_y "$y")")
    done
    local covers=() id
    for id in $(xdo search --onlyvisible --class . 2>/dev/null); do
        [[ $id == "$MAIN" ]] && continue
        geom "$id" && covers+=("$GX $GY $GW $GH")
    done
    mapfile -t GREYS < <(darkest "${boxes[@]}")
    ((${#GREYS[@]} == 36)) || fail "cannot read the screenshot $SHOT"
    BUTTONS='' PIECES=
    local grey state
    for i in {0..35}; do
        grey=${GREYS[i]}
        if ((i < 26)); then
            # Greyed text is light grey in Fusion, mid grey (122) in Windows' style.
            if ((grey < 64)); then state=E; elif ((grey > 100)); then state=D; else state='?'; fi
        else
            if ((grey < 96)); then state=1; elif ((grey > 200)); then state=0; else state='?'; fi
        fi
        read -r w h x y <<<"${boxes[i]}"
        covered "$x" "$y" "$w" "$h" "${covers[@]}" && state=c
        if ((i < 26)); then BUTTONS+=$state; else PIECES+=$state; fi
    done
    read -r DASHES INK < <(convert "$SHOT" \
        -crop "${LBLZOEK[0]}x${LBLZOEK[1]}+$(client_x "${LBLZOEK[2]}")+$(client_y "${LBLZOEK[3]}")" \
        +repage -colorspace Gray -threshold 50% -depth 8 txt:- \
        | awk "$TXT_PIXELS"' { dark = v == 0
                               if (dark) { ink++; if (!prev[y]) runs[y]++ }
                               prev[y] = dark }
                             END { m = 0; for (r in runs) if (runs[r] > m) m = runs[r]
                                   print m, ink + 0 }')
}

covered() {
    local x=$1 y=$2 w=$3 h=$4
    shift 4
    local rect rx ry rw rh
    for rect in "$@"; do
        read -r rx ry rw rh <<<"$rect"
        ((x < rx + rw && rx < x + w && y < ry + rh && ry < y + h)) && return 0
    done
    return 1
}

# The expected board: DISABLED letters greyed, the first PIECES pieces drawn.
expected_buttons() {
    local i letter out=
    for i in {0..25}; do
        letter=${LETTERS:i:1}
        if [[ $1 == *$letter* ]]; then out+=D; else out+=E; fi
    done
    echo "$out"
}

# fits SEEN EXPECTED: "." expects anything; a covered spot fits anything.
fits() {
    local i
    ((${#1} == ${#2})) || return 1
    for ((i = 0; i < ${#2}; i++)); do
        [[ ${2:i:1} == . || ${1:i:1} == c || ${1:i:1} == "${2:i:1}" ]] || return 1
    done
}

letters_as_seen() {
    local i out=
    for i in {0..25}; do
        out+=${LETTERS:i:1}${BUTTONS:i:1}
    done
    echo "$out"
}

# board_is LABEL DISABLED PIECES [DASHES [MIN_INK]]: one check of the board.
# DISABLED "." leaves the buttons unchecked; DASHES "." the mask.
board_is() {
    local label=$1 disabled=$2 pieces=$3 dashes=${4:-.} min_ink=${5:-0}
    read_board "$label"
    local want_buttons want_pieces
    if [[ $disabled == . ]]; then
        want_buttons=$(printf '.%.0s' {1..26})
    else
        want_buttons=$(expected_buttons "$disabled")
    fi
    want_pieces=1111111111
    want_pieces=${want_pieces:0:pieces}0000000000
    want_pieces=${want_pieces:0:10}
    SEEN="buttons $(letters_as_seen), pieces $PIECES, $DASHES dashes, ink $INK"
    fits "$BUTTONS" "$want_buttons" && fits "$PIECES" "$want_pieces" \
        && [[ $dashes == . || $DASHES == "$dashes" ]] && ((INK > min_ink))
}

# expect_board LABEL DISABLED PIECES [DASHES [MIN_INK]]: waits for that board.
expect_board() {
    wait_for "board '$1' (greyed: '${2}', pieces: $3, dashes: ${4:-any})" board_is "$@"
    log "board $1: ${2:-no} letters greyed, $3 pieces, $DASHES dashes"
}

no_message_box() {
    [[ -z $(visible_named '^Wirlep$') ]] || fail "a message box is shown: $1"
}

# A message box titled "Wirlep": its id in BOX.
wait_message_box() {
    wait_window '^Wirlep$'
    BOX=$WIN
    log "message box $BOX shown: $1"
}

# dismiss_message_box KEY: presses KEY (Return or space) on the box's OK.
dismiss_message_box() {
    focus "$BOX"
    xdo key "$1" || fail "cannot press $1"
    wait_window_gone '^Wirlep$'
}

close_main_by_menu() {
    choose 0 1 2 # Bestand > Sluiten
    wait_window_gone '^Wirlep\.\.\.\.$'
    log "Bestand > Sluiten closed the main window"
}

# --- Scenarios -------------------------------------------------------------------

# Ten misses: the gallows grows piece by piece, the tenth says the game is lost
# and names the word, and OK brings a fresh board. A greyed letter clicked
# again counts for nothing.
scenario_lost() {
    word_list normaal.txt kaas
    word_list makkelijk.txt kaas
    word_list moeilijk.txt kaas
    start_program
    find_main
    expect_board fresh "" 0 4
    local ink=$INK
    click_letter k
    expect_board hit-k "k" 0 . "$ink"
    local misses=(b c d e f g h i j l) greyed=k n
    for ((n = 1; n <= 9; n++)); do
        click_letter "${misses[n - 1]}"
        greyed+=${misses[n - 1]}
        expect_board "miss-$n-${misses[n - 1]}" "$greyed" "$n"
        no_message_box "after $n misses"
        # A greyed button takes no click: the next miss shows the next piece.
        ((n == 1)) && click_letter b
    done
    click_letter l
    wait_message_box "after the tenth miss"
    # The whole gallows under the message box, as far as the box leaves it in view.
    expect_board lost-box . 10
    [[ ${PIECES:9:1} == 1 ]] || fail "the tenth piece is hidden under the message box"
    dismiss_message_box Return
    expect_board after-lost "" 0 4
    close_main_by_menu
    expect_program_exit
}

# A win after a miss and "Nieuw" (F2), then one on the "Makkelijk" list.
scenario_won() {
    word_list normaal.txt kaas
    word_list makkelijk.txt ui
    word_list moeilijk.txt kaas
    start_program
    find_main
    expect_board fresh "" 0 4
    click_letter z
    expect_board miss-z "z" 1 4
    focus "$MAIN"
    xdo key F2
    expect_board nieuw "" 0 4
    local ink=$INK letter greyed=
    for letter in k a; do
        click_letter "$letter"
        greyed+=$letter
        expect_board "hit-$letter" "$greyed" 0 . "$ink"
        ink=$INK
        no_message_box "with letters still hidden"
    done
    click_letter s
    wait_message_box "after the last letter"
    expect_board won-box . 0
    dismiss_message_box space
    expect_board after-won "" 0 4
    choose 2 0 3 # Niveau > Makkelijk
    expect_board makkelijk "" 0 2
    click_letter u
    expect_board hit-u "u" 0
    click_letter i
    wait_message_box "after the last letter of 'ui'"
    dismiss_message_box Return
    expect_board after-won-makkelijk "" 0 2
    # The close button of the main window, as a window manager passes it on.
    "$CLOSER" "$MAIN" || fail "cannot ask the main window to close"
    expect_program_exit
}

# "Woord > Invullen": Sluiten, a word too long, then a word typed and guessed.
scenario_typed() {
    word_list normaal.txt kaas
    word_list makkelijk.txt kaas
    word_list moeilijk.txt kaas
    start_program
    find_main
    expect_board fresh "" 0 4
    choose 1 0 1 # Woord > Invullen
    wait_window '^Woord invullen$'
    local dialog=$WIN
    geom "$dialog"
    # Sluiten: 8,80 89x25.
    click_at $((GX + 52)) $((GY + 92))
    wait_window_gone '^Woord invullen$'
    window_shown '^Wirlep\.\.\.\.$' || fail "the main window went with the dialog"
    choose 1 0 1
    wait_window '^Woord invullen$'
    dialog=$WIN
    # Where nothing of the board is under it: the top left corner, where a
    # window opens without a window manager, but not always under Wine.
    wait_for "dialog at 0,0" window_moved "$dialog" 0 0
    local dx=$GX dy=$GY
    # Into the text box (8,56 177x19), as a player would before typing.
    click_at $((dx + 96)) $((dy + 65))
    focus "$dialog"
    xdo type --delay 5 "$(printf 'a%.0s' {1..51})" || fail "cannot type"
    click_at $((dx + 144)) $((dy + 92)) # OK: 104,80 81x25
    wait_message_box "for 51 letters"
    dismiss_message_box Return
    window_shown '^Woord invullen$' || fail "the dialog closed on a word too long"
    expect_board still-kaas "" 0 4
    click_at $((dx + 96)) $((dy + 65))
    focus "$dialog"
    xdo key ctrl+a || fail "cannot select the text"
    xdo type --delay 20 "Fiets" || fail "cannot type"
    click_at $((dx + 144)) $((dy + 92))
    wait_window_gone '^Woord invullen$'
    expect_board typed "" 0 5
    local ink=$INK letter greyed=
    for letter in f i e t; do
        click_letter "$letter"
        greyed+=$letter
        expect_board "hit-$letter" "$greyed" 0 . "$ink"
        ink=$INK
    done
    click_letter s
    wait_message_box "after guessing the typed word"
    expect_board won-box . 0
    dismiss_message_box Return
    expect_board after-won "" 0 4
    close_main_by_menu
    expect_program_exit
}

help_shown() {
    wait_window '^Help$'
    HELP=$WIN
    geom "$HELP"
    log "help window $HELP at $GX,$GY"
}

# The help window: F1 opens it, it keeps the main window from play, Escape
# leaves it open; Space, Enter, a click on Sluiten and its close button close it.
scenario_help() {
    word_list normaal.txt kaas
    word_list makkelijk.txt kaas
    word_list moeilijk.txt kaas
    start_program
    find_main
    expect_board fresh "" 0 4
    focus "$MAIN"
    xdo key F1
    help_shown
    click_letter q # the help window is modal: no guess
    focus "$HELP"
    xdo key Escape
    holds_for 1000 "the help window staying open after Escape" window_shown '^Help$'
    xdo key space
    wait_window_gone '^Help$'
    expect_board after-space "" 0 4
    focus "$MAIN"
    xdo key F1
    help_shown
    focus "$HELP"
    xdo key Return
    wait_window_gone '^Help$'
    choose 3 0 2 # Help > Help
    help_shown
    click_at $((GX + 80 + 36)) $((GY + 256 + 12)) # Sluiten: 80,256 73x25
    wait_window_gone '^Help$'
    # The close button on its title bar closes it too.
    focus "$MAIN"
    xdo key F1
    help_shown
    "$CLOSER" "$HELP" || fail "cannot ask the help window to close"
    wait_window_gone '^Help$'
    window_shown '^Wirlep\.\.\.\.$' || fail "the main window went with the help window"
    click_letter q
    expect_board miss-q "q" 1 4
    "$CLOSER" "$MAIN" || fail "cannot ask the main window to close"
    expect_program_exit
}

# "Info" twice gives one window; closing the main window leaves the program
# running until the info window closes too.
scenario_info() {
    word_list normaal.txt kaas
    word_list makkelijk.txt kaas
    word_list moeilijk.txt kaas
    start_program
    find_main
    choose 3 1 2 # Help > Info
    wait_window '^Info$'
    local info=$WIN
    choose 3 1 2
    close_main_by_menu
    window_shown '^Info$' || fail "not one info window after choosing Info twice: $SEEN"
    [[ $WIN == "$info" ]] || fail "the info window was replaced by another"
    holds_for 1000 "the program running with the info window open" program_running
    window_shown '^Info$' || fail "the info window closed with the main window"
    "$CLOSER" "$info" || fail "cannot ask the info window to close"
    wait_window_gone '^Info$'
    expect_program_exit
}

# Plays a whole game on a word nobody knows: letters a to z until a message box
# says it is over, then OK brings a fresh board.
play_unknown_word() {
    local i letter greyed=
    for i in {0..25}; do
        letter=${LETTERS:i:1}
        click_letter "$letter"
        greyed+=$letter
        wait_for "answer to '$letter'" letter_answered "$i"
        if [[ -n $(visible_named '^Wirlep$') ]]; then
            window_shown '^Wirlep$'
            BOX=$WIN
            log "message box after letter '$letter'"
            dismiss_message_box Return
            wait_for "fresh board" fresh_board
            return
        fi
    done
    fail "no message box after all 26 letters"
}

letter_answered() {
    [[ -n $(visible_named '^Wirlep$') ]] && return 0
    read_board "letter-$1"
    SEEN="buttons $(letters_as_seen)"
    [[ ${BUTTONS:$1:1} == D ]]
}

fresh_board() {
    board_is fresh-again "" 0 && ((DASHES > 0))
}

# normaal.txt missing: a message box before the main window, then a game on the
# words built into the program.
scenario_missing_list() {
    word_list makkelijk.txt kaas
    word_list moeilijk.txt kaas
    start_program
    wait_message_box "at start-up without normaal.txt"
    [[ -z $(visible_named '^Wirlep\.\.\.\.$') ]] || fail "the main window came before the message"
    dismiss_message_box Return
    find_main
    wait_for "fresh board" fresh_board
    log "built-in word of $DASHES letters"
    play_unknown_word
    close_main_by_menu
    expect_program_exit
}

# normaal.txt a folder, a named pipe nobody writes to, or with a line too
# long: as when it is missing, and nothing waits.
scenario_unreadable_list() {
    local kind
    for kind in folder fifo long-line; do
        word_list makkelijk.txt kaas
        word_list moeilijk.txt kaas
        rm -rf "$PROG/normaal.txt"
        if [[ $kind == folder ]]; then
            mkdir "$PROG/normaal.txt"
        elif [[ $kind == fifo ]]; then
            mkfifo "$PROG/normaal.txt"
        else
            # Only the first 26 lines are read: the long one comes first.
            printf '%s\r\n' "$(printf 'x%.0s' {1..51})" kaas >"$PROG/normaal.txt"
        fi
        start_program
        wait_message_box "at start-up with normaal.txt a $kind"
        dismiss_message_box Return
        find_main
        wait_for "fresh board" fresh_board
        click_letter k
        wait_for "answer to 'k'" letter_answered 10
        close_main_by_menu
        expect_program_exit
    done
}

# --- Main --------------------------------------------------------------------------

declare -F "scenario_$SCENARIO" >/dev/null || fail "no scenario '$SCENARIO'"
start_display
log "scenario $SCENARIO"
"scenario_$SCENARIO"
