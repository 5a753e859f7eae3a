# shellcheck shell=bash
# Helpers of the end-to-end scripts, sourced by them: reporting, waiting, the
# X display, word lists and the program's end. A script sets RUN (where its
# logs go), PROG (the program's folder), TIMEOUT_MS, XVFB_PID and APP_PID, and
# defines fail MESSAGE, which reports and exits; SCREEN may size the display
# ("WIDTHxHEIGHT", 800x600 unless set).

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

# --- The X display and word lists ----------------------------------------------

xdo() { timeout 10 xdotool "$@"; }

start_display() {
    # -displayfd picks a free display number and writes it once the server
    # takes connections; -noreset keeps it from starting over each time the
    # last of the short-lived xdotool and import clients leaves.
    Xvfb -displayfd 3 -screen 0 "${SCREEN:-800x600}x24" -dpi 96 -nolisten tcp -noreset \
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

