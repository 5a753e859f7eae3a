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
# (tests/packaging/check_windows.sh makes it).
#
# Where the controls sit comes from WIRLEP_E2E_LAYOUT, the file the build's
# e2e_layout writes from the program's own layout table. WIRLEP_E2E_SCALE
# plays at another display scale, in percent (150 is 1.5 device pixels to
# a pixel): the system DPI under Wine, QT_SCALE_FACTOR on Linux. Every place
# in the layout is scaled by it.
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
SCALE=${WIRLEP_E2E_SCALE:-100}

TIMEOUT_MS=${WIRLEP_E2E_TIMEOUT_MS:-10000} # for anything to happen on screen
RUN=$PWD/e2e-${WINDOWS:+windows-}$SCENARIO
((SCALE == 100)) || RUN+=-$SCALE
rm -rf "$RUN"
mkdir -p "$RUN/shots"
PROG=$(mktemp -d "${TMPDIR:-/tmp}/wirlep-e2e.XXXXXX")
APP_PID=
XVFB_PID=
SHOT=
SHOT_COUNT=0

# Reporting, waiting, the X display and the program's end: shared with the
# screen reader's scenario.
# shellcheck source=SCRIPTDIR/../common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"

# --- Reporting -----------------------------------------------------------------

describe_windows() {
    local id
    for id in $(visible_windows --class .); do
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
    stop "$APP_PID"
    [[ -z $WINDOWS ]] || stop_wine
    stop "$XVFB_PID"
    rm -rf "$PROG"
    finish_run $status
}
trap cleanup EXIT
trap 'exit 143' TERM INT

for tool in Xvfb xdotool import convert realpath timeout ${WINDOWS:+wine wineserver}; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh installs it)"
done
load_layout

# --- The display scale ---------------------------------------------------------

# px N: N pixels of the layout in device pixels, to the nearest.
px() { echo $((($1 * SCALE + 50) / 100)); }

# scaled "X Y W H": the box in device pixels. A box's edges are scaled, not
# its size, so that boxes side by side stay side by side.
scaled() {
    local x y w h
    read -r x y w h <<<"$1"
    local left top
    left=$(px "$x") top=$(px "$y")
    echo "$left $top $(($(px $((x + w))) - left)) $(($(px $((y + h))) - top))"
}

# middle "X Y W H": the middle of the box in device pixels, as "X Y".
middle() {
    local x y w h
    read -r x y w h <<<"$1"
    echo "$(((2 * x + w) * SCALE / 200)) $(((2 * y + h) * SCALE / 200))"
}

# --- The program -------------------------------------------------------------

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
    ((SCALE == 100)) || export QT_SCALE_FACTOR=$((SCALE / 100)).$(printf '%02d' $((SCALE % 100)))
    (cd "$PROG" && exec ./wirlep) >>"$RUN/wirlep.log" 2>&1 &
    APP_PID=$!
    log "started the program (pid $APP_PID) in $PROG: $(cd "$PROG" && echo *.txt)"
}

# The .exe under Wine, in its native look, with a copy of the prepared prefix
# of its own.
start_windows_program() {
    [[ -d $PROG/wineprefix ]] || clone_prefix "${WIRLEP_WINEPREFIX:-}" "$PROG/wineprefix"
    cp "$WIRLEP" "$PROG/wirlep.exe"
    # The scale a Windows user sets in the display settings is the system DPI.
    if ((SCALE != 100)); then
        wine_run wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $((96 * SCALE / 100)) \
            /f >>"$RUN/wirlep.log" 2>&1 || fail "cannot set the system DPI"
        wineserver --wait
    fi
    wine_start "$RUN/wirlep.log" "$PROG" ./wirlep.exe
    log "started the Windows program under Wine (pid $APP_PID) in $PROG: $(cd "$PROG" && echo *.txt)"
}

# --- Windows -----------------------------------------------------------------

# geom ID: sets GX GY GW GH to the window's place and size on the screen.
geom() {
    local X='' Y='' WIDTH='' HEIGHT='' SCREEN=''
    eval "$(xdo getwindowgeometry --shell "$1" 2>/dev/null)"
    GX=$X GY=$Y GW=$WIDTH GH=$HEIGHT
    [[ -n $GX && -n $GY && -n $GW && -n $GH ]]
}

wait_window() {
    wait_for "window '$1'" window_shown "$1"
    shot "shown-${1// /-}"
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

# The layout's places on this screen. The letters, the probes on the
# gallows pieces and lblzoek are "x y w h" in client pixels.
CLIENT_W=$(px "$CLIENT_W")
CLIENT_H=$(px "$CLIENT_H")
read -r _ _ LINE1_W _ <<<"$(scaled "$LINE1")"
LBLZOEK=$(scaled "$LBLZOEK")
for i in "${!LETTER_BOXES[@]}"; do
    read -r x y w h <<<"${LETTER_BOXES[i]}"
    LETTER_MIDDLES[i]=$(middle "${LETTER_BOXES[i]}")
    # The middle of the letter, away from its edges and the focus frame.
    LETTER_FACES[i]=$(scaled "$((x + 6)) $((y + 6)) $((w - 12)) $((h - 12))")
done
for i in "${!PIECE_PROBES[@]}"; do
    PIECE_PROBES[i]=$(scaled "${PIECE_PROBES[i]}")
done

# An awk head for ImageMagick's txt: output of a grey 8-bit picture: sets x, y
# and v, the grey, for each pixel line ("12,3: (...)  #EFEFEF  gray(239)").
# shellcheck disable=SC2016 # awk's own $ fields
TXT_PIXELS='NR == 1 { next }
    { split($1, p, /[,:]/); x = p[1] + 0; y = p[2] + 0; v = $NF; gsub(/[^0-9]/, "", v); v += 0 }'

letter_index() {
    local before=${LETTERS%%"$1"*}
    echo ${#before}
}

# Finds the main window: MAIN, its place MX MY, and MB, the menu bar's height:
# the client area starts at Line1, the black line along its top.
find_main() {
    wait_window "$MAIN_TITLE"
    MAIN=$WIN
    # Without a window manager every window opens at 0,0: the main window is
    # moved aside, as a player would drag it, so the others do not cover it.
    wait_for "main window at $(px 260),$(px 160)" main_moved "$(px 260)" "$(px 160)"
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
    # The first row that is dark all along Line1.
    MB=$(convert "$SHOT" -crop "${LINE1_W}x${height}+${MX}+${MY}" +repage -colorspace Gray \
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
    local i x y
    i=$(letter_index "$1")
    read -r x y <<<"${LETTER_MIDDLES[i]}"
    click_at "$(client_x "$x")" "$(client_y "$y")"
}

# click_in WINDOW_X WINDOW_Y "X Y W H": clicks the middle of a control of the
# window whose client area is at WINDOW_X,WINDOW_Y.
click_in() {
    local x y
    read -r x y <<<"$(middle "$3")"
    click_at $(($1 + x)) $(($2 + y))
}

# The titles in the menu bar as seen: MENU_X holds the middle of each.
menu_titles() {
    shot menu-bar
    mapfile -t MENU_X < <(convert "$SHOT" -crop "${CLIENT_W}x$((MB - 2))+${MX}+${MY}" +repage \
        -colorspace Gray -threshold 50% -negate -scale "${CLIENT_W}x1!" -depth 8 txt:- \
        | awk -v gap="$(px 6)" "$TXT_PIXELS"' v > 0 { if (start < 0 || x - last > gap) {
                                             if (start >= 0) print int((start + last) / 2)
                                             start = x }
                                         last = x }
                             BEGIN { start = -1 }
                             END { if (start >= 0) print int((start + last) / 2) }')
    ((${#MENU_X[@]} == 4)) || fail "the menu bar shows ${#MENU_X[@]} titles, not 4"
}

new_window() {
    local id
    for id in $(visible_windows --class .); do
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
    before=$(visible_windows --class . | tr '\n' ' ')
    click_at "$((MX + MENU_X[$1]))" "$((MY + MB / 2))"
    wait_for "menu dropping down" new_window "$before"
    popup=$WIN
    geom "$popup" || fail "the menu has no geometry"
    click_at "$((GX + GW / 2))" "$((GY + (2 * $2 + 1) * GH / (2 * $3)))"
    wait_for "menu closing" popup_gone "$popup"
}

popup_gone() {
    local ids
    ids=$(visible_windows --class .) && ! grep -qx "$1" <<<"$ids"
}

# --- What the board shows --------------------------------------------------------

# Reads the board from a fresh screenshot: BUTTONS, a letter a-z each, "E" for
# an enabled button (black text), "D" for a greyed one, "?" for neither;
# PIECES, "1" for a piece drawn, "0" for one not, "?" for neither; either "c"
# where another window covers the spot. DASHES: the most dashes or other
# marks side by side in one row of lblzoek; INK: its dark pixels.
read_board() {
    shot "$1"
    local boxes=() box i x y w h
    for box in "${LETTER_FACES[@]}" "${PIECE_PROBES[@]}"; do
        read -r x y w h <<<"$box"
        boxes+=("$w $h $(client_x "$x") $(client_y "$y")")
    done
    local covers=() id
    for id in $(visible_windows --class .); do
        [[ $id == "$MAIN" ]] && continue
        geom "$id" && covers+=("$GX $GY $GW $GH")
    done
    mapfile -t GREYS < <(darkest "${boxes[@]}")
    ((${#GREYS[@]} == ${#boxes[@]})) || fail "cannot read the screenshot $SHOT"
    BUTTONS='' PIECES=
    local grey state
    for i in "${!boxes[@]}"; do
        grey=${GREYS[i]}
        if ((i < ${#LETTERS})); then
            # Greyed text is light grey in Fusion, mid grey (122) in Windows' style.
            if ((grey < 64)); then state=E; elif ((grey > 100)); then state=D; else state='?'; fi
        else
            if ((grey < 96)); then state=1; elif ((grey > 200)); then state=0; else state='?'; fi
        fi
        read -r w h x y <<<"${boxes[i]}"
        covered "$x" "$y" "$w" "$h" "${covers[@]}" && state=c
        if ((i < ${#LETTERS})); then BUTTONS+=$state; else PIECES+=$state; fi
    done
    read -r x y w h <<<"$LBLZOEK"
    read -r DASHES INK < <(convert "$SHOT" -crop "${w}x${h}+$(client_x "$x")+$(client_y "$y")" \
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
    for ((i = 0; i < ${#LETTERS}; i++)); do
        letter=${LETTERS:i:1}
        if [[ $1 == *$letter* ]]; then out+=D; else out+=E; fi
    done
    echo "$out"
}

# repeat TEXT COUNT: TEXT COUNT times over.
repeat() {
    local i
    for ((i = 0; i < $2; i++)); do printf '%s' "$1"; done
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
    for ((i = 0; i < ${#LETTERS}; i++)); do
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
        want_buttons=${BUTTONS//?/.}
    else
        want_buttons=$(expected_buttons "$disabled")
    fi
    want_pieces=$(repeat 1 "$pieces")$(repeat 0 $((PIECE_COUNT - pieces)))
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
    [[ -z $(titled "$BOX_TITLE") ]] || fail "a message box is shown: $1"
}

# A message box titled "Wirlep": its id in BOX.
wait_message_box() {
    wait_window "$BOX_TITLE"
    BOX=$WIN
    log "message box $BOX shown: $1"
}

# dismiss_message_box KEY: presses KEY (Return or space) on the box's OK.
dismiss_message_box() {
    focus "$BOX"
    xdo key "$1" || fail "cannot press $1"
    wait_window_gone "$BOX_TITLE"
}

close_main_by_menu() {
    choose 0 1 2 # Bestand > Sluiten
    wait_window_gone "$MAIN_TITLE"
    log "Bestand > Sluiten closed the main window"
}

# --- Scenarios -------------------------------------------------------------------

# A miss for every piece: the gallows grows piece by piece, the last miss says
# the game is lost and names the word, and OK brings a fresh board. A greyed
# letter clicked again counts for nothing.
scenario_lost() {
    word_lists kaas
    start_program
    find_main
    expect_board fresh "" 0 4
    local ink=$INK
    click_letter k
    expect_board hit-k "k" 0 . "$ink"
    local misses=(b c d e f g h i j l) greyed=k n
    for ((n = 1; n < PIECE_COUNT; n++)); do
        click_letter "${misses[n - 1]}"
        greyed+=${misses[n - 1]}
        expect_board "miss-$n-${misses[n - 1]}" "$greyed" "$n"
        no_message_box "after $n misses"
        # A greyed button takes no click: the next miss shows the next piece.
        ((n == 1)) && click_letter b
    done
    click_letter "${misses[n - 1]}"
    wait_message_box "after the last miss"
    # The whole gallows under the message box, as far as the box leaves it in view.
    expect_board lost-box . "$PIECE_COUNT"
    [[ ${PIECES: -1} == 1 ]] || fail "the last piece is hidden under the message box"
    dismiss_message_box Return
    expect_board after-lost "" 0 4
    close_main_by_menu
    expect_program_exit
}

# A win after a miss and "Nieuw" (F2), then one on the "Makkelijk" list.
scenario_won() {
    word_lists kaas
    word_list "$LIST_FILE_MAKKELIJK" ui
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
    word_lists kaas
    start_program
    find_main
    expect_board fresh "" 0 4
    choose 1 0 1 # Woord > Invullen
    wait_window "$INVUL_TITLE"
    local dialog=$WIN
    geom "$dialog"
    click_in "$GX" "$GY" "$INVUL_SLUITEN"
    wait_window_gone "$INVUL_TITLE"
    # The same main window, not one loaded anew; under load Wine may take a
    # moment to show it again.
    wait_for "main window after the dialog" window_shown "$MAIN_TITLE"
    [[ $WIN == "$MAIN" ]] || fail "the main window went with the dialog"
    choose 1 0 1
    wait_window "$INVUL_TITLE"
    dialog=$WIN
    # Where nothing of the board is under it: the top left corner, where a
    # window opens without a window manager, but not always under Wine.
    wait_for "dialog at 0,0" window_moved "$dialog" 0 0
    local dx=$GX dy=$GY
    # Into the text box, as a player would before typing.
    click_in "$dx" "$dy" "$INVUL_TXTINVUL"
    focus "$dialog"
    xdo type --delay 5 "$(repeat a $((WORD_MAX + 1)))" || fail "cannot type"
    click_in "$dx" "$dy" "$INVUL_OK"
    wait_message_box "for a word too long"
    dismiss_message_box Return
    window_shown "$INVUL_TITLE" || fail "the dialog closed on a word too long"
    expect_board still-kaas "" 0 4
    click_in "$dx" "$dy" "$INVUL_TXTINVUL"
    focus "$dialog"
    xdo key ctrl+a || fail "cannot select the text"
    xdo type --delay 20 "Fiets" || fail "cannot type"
    click_in "$dx" "$dy" "$INVUL_OK"
    wait_window_gone "$INVUL_TITLE"
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
    wait_window "$HELP_TITLE"
    HELP=$WIN
    geom "$HELP"
    log "help window $HELP at $GX,$GY"
}

# The help window: F1 opens it, it keeps the main window from play, Escape
# leaves it open; Space, Enter, a click on Sluiten and its close button close it.
scenario_help() {
    word_lists kaas
    start_program
    find_main
    expect_board fresh "" 0 4
    focus "$MAIN"
    xdo key F1
    help_shown
    click_letter q # the help window is modal: no guess
    focus "$HELP"
    xdo key Escape
    holds_for 1000 "the help window staying open after Escape" window_shown "$HELP_TITLE"
    xdo key space
    wait_window_gone "$HELP_TITLE"
    expect_board after-space "" 0 4
    focus "$MAIN"
    xdo key F1
    help_shown
    focus "$HELP"
    xdo key Return
    wait_window_gone "$HELP_TITLE"
    choose 3 0 2 # Help > Help
    help_shown
    click_in "$GX" "$GY" "$HELP_SLUITEN"
    wait_window_gone "$HELP_TITLE"
    # The close button on its title bar closes it too.
    focus "$MAIN"
    xdo key F1
    help_shown
    "$CLOSER" "$HELP" || fail "cannot ask the help window to close"
    wait_window_gone "$HELP_TITLE"
    window_shown "$MAIN_TITLE" || fail "the main window went with the help window"
    click_letter q
    expect_board miss-q "q" 1 4
    "$CLOSER" "$MAIN" || fail "cannot ask the main window to close"
    expect_program_exit
}

# "Info" twice gives one window; closing the main window leaves the program
# running until the info window closes too.
scenario_info() {
    word_lists kaas
    start_program
    find_main
    choose 3 1 2 # Help > Info
    wait_window "$INFO_TITLE"
    local info=$WIN
    choose 3 1 2
    close_main_by_menu
    window_shown "$INFO_TITLE" || fail "not one info window after choosing Info twice: $SEEN"
    [[ $WIN == "$info" ]] || fail "the info window was replaced by another"
    holds_for 1000 "the program running with the info window open" program_running
    window_shown "$INFO_TITLE" || fail "the info window closed with the main window"
    "$CLOSER" "$info" || fail "cannot ask the info window to close"
    wait_window_gone "$INFO_TITLE"
    expect_program_exit
}

# Plays a whole game on a word nobody knows: letters a to z until a message box
# says it is over, then OK brings a fresh board.
play_unknown_word() {
    local i letter greyed=
    for ((i = 0; i < ${#LETTERS}; i++)); do
        letter=${LETTERS:i:1}
        click_letter "$letter"
        greyed+=$letter
        wait_for "answer to '$letter'" letter_answered "$i"
        if [[ -n $(titled "$BOX_TITLE") ]]; then
            window_shown "$BOX_TITLE"
            BOX=$WIN
            log "message box after letter '$letter'"
            dismiss_message_box Return
            wait_for "fresh board" fresh_board
            return
        fi
    done
    fail "no message box after every letter"
}

letter_answered() {
    [[ -n $(titled "$BOX_TITLE") ]] && return 0
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
    word_lists kaas
    rm "$PROG/$LIST_FILE_NORMAAL"
    start_program
    wait_message_box "at start-up without $LIST_FILE_NORMAAL"
    [[ -z $(titled "$MAIN_TITLE") ]] || fail "the main window came before the message"
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
    word_lists kaas
    for kind in folder fifo long-line; do
        rm -rf "$PROG/$LIST_FILE_NORMAAL"
        if [[ $kind == folder ]]; then
            mkdir "$PROG/$LIST_FILE_NORMAAL"
        elif [[ $kind == fifo ]]; then
            mkfifo "$PROG/$LIST_FILE_NORMAAL"
        else
            # Only a list's slots are read: the long line comes first.
            printf '%s\r\n' "$(repeat x $((WORD_MAX + 1)))" kaas >"$PROG/$LIST_FILE_NORMAAL"
        fi
        start_program
        wait_message_box "at start-up with $LIST_FILE_NORMAAL a $kind"
        dismiss_message_box Return
        find_main
        wait_for "fresh board" fresh_board
        click_letter k
        wait_for "answer to 'k'" letter_answered "$(letter_index k)"
        close_main_by_menu
        expect_program_exit
    done
}

# --- Main --------------------------------------------------------------------------

declare -F "scenario_$SCENARIO" >/dev/null || fail "no scenario '$SCENARIO'"
SCREEN=$(px 800)x$(px 600)
start_display
log "scenario $SCENARIO"
"scenario_$SCENARIO"
