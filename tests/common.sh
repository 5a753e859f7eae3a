# shellcheck shell=bash
# Helpers of the test scripts that start processes, a virtual display or a
# Wine prefix, sourced by them: reporting, waiting, ending what was started,
# the X display, word lists, the program's end and Wine prefixes. A script
# defines fail MESSAGE, which reports and exits, and sets what the helpers it
# uses read: RUN (where its logs go), PROG (the program's folder),
# TIMEOUT_MS, XVFB_PID and APP_PID; SCREEN may size the display
# ("WIDTHxHEIGHT", 800x600 unless set).

# --- Reporting -----------------------------------------------------------------

now_ms() { echo $((${EPOCHREALTIME/./} / 1000)); }
START_MS=$(now_ms)

log() {
    local ms=$(($(now_ms) - START_MS))
    printf '[%3d.%02ds] %s\n' $((ms / 1000)) $((ms % 1000 / 10)) "$*"
}

# needs REQUIRED TOOL...: every TOOL is on the PATH. A missing one skips the
# test (exit 77, which CTest reports as skipped), or fails it when REQUIRED
# is "required", as in the ci preset.
needs() {
    local required=$1 tool
    shift
    for tool in "$@"; do
        command -v "$tool" >/dev/null && continue
        [[ $required == required ]] && fail "$tool is missing (scripts/setup.sh installs it)"
        echo "$tool is missing (scripts/setup.sh installs it): skipped"
        exit 77
    done
}

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

# --- Ending what was started ----------------------------------------------------

# stop PID...: ends each process this script started, in order, and waits
# for it; an empty or ended one is passed over. Safe under set -e.
stop() {
    local pid
    for pid in "$@"; do
        [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null || continue
        kill "$pid" 2>/dev/null || true
        for _ in {1..20}; do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}

# stop_wine: ends what runs in the Wine prefix this script made or copied, if any.
stop_wine() { [[ -z ${OWN_PREFIX:-} ]] || WINEPREFIX=$OWN_PREFIX wineserver --kill 2>/dev/null || true; }

# finish_run STATUS: RUN goes after a pass or a skip (77) but for
# WIRLEP_E2E_KEEP, and stays for a look after a failure.
finish_run() {
    (($1 == 0)) && log "passed"
    if (($1 == 77)) || { (($1 == 0)) && [[ -z ${WIRLEP_E2E_KEEP:-} ]]; }; then
        rm -rf "$RUN"
    else
        echo "Kept for a look: $RUN"
    fi
}

# --- The X display and word lists ----------------------------------------------

xdo() { timeout 10 xdotool "$@"; }

start_display() {
    # -displayfd picks a free display number and writes it once the server
    # takes connections; -noreset keeps it from starting over as short-lived
    # xdotool and import clients leave; -r: a key let go of late is not repeated.
    Xvfb -displayfd 3 -screen 0 "${SCREEN:-800x600}x24" -dpi 96 -nolisten tcp -noreset -r \
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

# The program's facts, which e2e_layout writes: its window titles, limits,
# letters, word lists and the places of its controls.
load_layout() {
    [[ -f ${WIRLEP_E2E_LAYOUT:-} ]] || fail "no layout file in WIRLEP_E2E_LAYOUT ('${WIRLEP_E2E_LAYOUT:-}')"
    # shellcheck source=/dev/null
    source "$WIRLEP_E2E_LAYOUT"
}

# word_list NAME WORD: a full list, every line WORD, so every draw is WORD.
word_list() {
    local i
    for ((i = 0; i < LIST_SLOTS; i++)); do printf '%s\r\n' "$2"; done >"$PROG/$1"
}

# word_lists WORD: every level's list, all WORD.
word_lists() {
    local list
    for list in "${LIST_FILES[@]}"; do word_list "$list" "$1"; done
}

# visible_windows SEARCH...: the visible windows xdotool's search SEARCH
# finds, one id a line. A window destroyed while xdotool walks the window tree
# (Wine takes a closed dialog's windows down a moment later) kills it with
# BadWindow halfway through, which would read as "no such window"; the walk
# is then made again. Ends with 2 when every walk was cut short.
visible_windows() {
    local out
    for _ in {1..20}; do
        out=$(xdo search --onlyvisible "$@" 2>&1)
        if [[ $out != *"X Error"* ]]; then
            grep -E '^[0-9]+$' <<<"$out"
            return 0
        fi
        sleep 0.02
    done
    return 2
}

# titled TITLE: the visible windows titled TITLE, one id a line. Only windows
# on the screen count: Qt's hidden client leader window carries a title too.
titled() { visible_windows --name "^$(sed -E 's/[][\.*^$+?(){}|]/\\&/g' <<<"$1")\$"; }

# One visible window titled TITLE: its id in WIN.
window_shown() {
    local ids
    if [[ -n $APP_PID ]] && program_ended; then
        fail "the program ended while a window '$1' was awaited"
    fi
    ids=$(titled "$1")
    SEEN="$(wc -w <<<"$ids") windows titled '$1'"
    [[ $(wc -w <<<"$ids") -eq 1 ]] || return 1
    WIN=$ids
}

window_gone() {
    local ids
    ids=$(titled "$1") || return 1
    SEEN="still shown: $ids"
    [[ -z $ids ]]
}

# --- The end of the program ---------------------------------------------------

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


# --- Wine prefixes ------------------------------------------------------------

use_prefix() {
    OWN_PREFIX=$1
    export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

# What start.exe says when Wine could not start a program.
WINE_LAUNCH_FAILED='Application could not be started'

# wine_run COMMAND...: a Wine command, run again (three times at most) when
# Wine could not start its program at all. On a busy machine Wine 8 now and
# then fails to load the program it is asked to start from Linux, and says
# so through start.exe: the program never ran, and the status means nothing.
# The output and status are the last run's.
wine_run() {
    local out err status try tries=''
    out=$(mktemp) err=$(mktemp)
    for try in 1 2 3; do
        status=0
        "$@" >"$out" 2>"$err" || status=$?
        grep -qs "$WINE_LAUNCH_FAILED" "$out" "$err" || break
        tries+="Wine could not start it ($*): again"$'\n'
    done
    cat "$out" && printf '%s' "$tries" >&2 && cat "$err" >&2
    rm -f "$out" "$err"
    return "$status"
}

# wine_start LOG DIR EXE: the Windows program EXE started under Wine from
# DIR in the background, its output added to LOG and its pid in APP_PID,
# once Wine has loaded it. It is started again (three times at most) when
# Wine could not start it at all, as wine_run does.
wine_start() {
    local log=$1 dir=$2 exe=$3 from
    for _ in 1 2 3; do
        from=$(($(stat -c %s "$log" 2>/dev/null || echo 0) + 1))
        (cd "$dir" && exec wine "$exe") >>"$log" 2>&1 &
        APP_PID=$!
        wait_for "Wine loading $exe" wine_settled "${exe##*/}"
        if ! program_ended || ! tail -c "+$from" "$log" | grep -qs "$WINE_LAUNCH_FAILED"; then
            return 0
        fi
        wait "$APP_PID" 2>/dev/null || true
        echo "Wine could not start $exe: again" >>"$log"
    done
}
# wine_settled NAME: Wine has mapped the program NAME into its process, or
# the process has ended.
wine_settled() { grep -qs "/$1\$" "/proc/$APP_PID/maps" || program_ended; }

# new_prefix DIR LOG: a fresh prefix in use, with Wine's own fonts in its
# Fonts folder, as Windows has its fonts there: Debian's Wine does not load
# them from fonts-wine by itself, and without Tahoma (for "MS Shell Dlg") and
# MS Sans Serif a program would meet fallbacks no Windows has.
new_prefix() {
    use_prefix "$1"
    DISPLAY='' wine_run wine wineboot --init >"$2" 2>&1 || fail "wineboot failed: $(tail -n 3 "$2")"
    wineserver --wait
    local fonts=/usr/share/wine/fonts
    [[ -d $fonts ]] || fail "$fonts is missing (fonts-wine)"
    cp "$fonts"/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" || fail "cannot copy Wine's fonts"
}

# clone_prefix TEMPLATE DIR: a prefix in use that costs next to nothing: hard
# links to TEMPLATE's files but for those Wine writes in place (the registry
# and its stamp), which are copies.
clone_prefix() {
    [[ -d $1 ]] || fail "no Wine prefix to copy at '$1'"
    cp -al "$1" "$2" || fail "cannot copy the Wine prefix $1"
    local file
    for file in "$1"/*.reg "$1"/.update-timestamp; do
        [[ ! -f $file ]] || cp --remove-destination "$file" "$2/" || fail "cannot copy $file"
    done
    use_prefix "$2"
}
