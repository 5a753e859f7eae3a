#!/usr/bin/env bash
# Plays Wirlep by ear: the Orca screen reader reads the real program in a
# virtual X display, and every utterance Orca speaks is checked, in order.
# One game is won and one lost, on a list of one known word, by the keyboard
# alone (Tab, Space, Enter, F2), as a blind player plays (WIRLEP_E2E_BUSY=1: with every core busy).
#
# Usage: orca.sh <wirlep> <e2e_close_window> [required]
# Without "required" a missing tool skips the test (exit 77); with it, the
# test fails.
#
# Everything runs privately: an Xvfb, a D-Bus session bus, the accessibility
# bus (at-spi-bus-launcher), openbox as the window manager, speech-dispatcher
# writing what it is told to say to a file, and Orca with its own home,
# settings folder and debug file. Orca writes each utterance to its debug
# file as "SPEECH OUTPUT: '...'", which the test reads. Logs, the debug file
# and the transcript are kept in a11y-orca/ of the current folder when a run
# fails (always, with WIRLEP_E2E_KEEP=1).
set -uo pipefail
export LC_ALL=C.UTF-8

if (($# < 2 || $# > 3)); then
    echo "usage: $0 <wirlep> <e2e_close_window> [required]" >&2
    exit 2
fi
WIRLEP=$(realpath "$1")
CLOSER=$(realpath "$2")
REQUIRED=${3:-}

TIMEOUT_MS=${WIRLEP_E2E_TIMEOUT_MS:-15000} # for Orca to say the next thing
RUN=$PWD/a11y-orca${WIRLEP_E2E_BUSY:+-busy}
rm -rf "$RUN"
mkdir -p "$RUN"
PROG=$(mktemp -d "${TMPDIR:-/tmp}/wirlep-orca.XXXXXX")
XVFB_PID='' BUS_PID='' ATSPI_PID='' WM_PID='' SPEECHD_PID='' SCRIPT_PID='' ORCA_PID='' APP_PID=''
DEBUG=$RUN/orca-debug.txt
HEARD=0 # utterances of the debug file checked so far

# shellcheck source=SCRIPTDIR/../common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"

fail() {
    log "FAILED: $*"
    echo "What Orca said ($RUN/transcript.txt):"
    utterances | sed 's/^/  /' | tee "$RUN/transcript.txt" | tail -n 15
    echo "Program output ($RUN/wirlep.log):"
    tail -n 20 "$RUN/wirlep.log" 2>/dev/null | sed 's/^/  /'
    exit 1
}

cleanup() {
    local status=$?
    # The program first, then the screen reader, then what they talk through.
    stop "$APP_PID" "$ORCA_PID" "$SCRIPT_PID" "$SPEECHD_PID" "$WM_PID" "$ATSPI_PID" "$BUS_PID" "$XVFB_PID" \
        "${BUSY[@]}"
    rm -rf "$PROG"
    finish_run $status
}
trap cleanup EXIT
trap 'exit 143' TERM INT

# --- What Orca says ----------------------------------------------------------------

# Every utterance in the debug file, one a line, without Orca's echo of the
# keys the test presses. A text of several lines is joined with " / ".
utterances() {
    [[ -f $DEBUG ]] || return 0
    tr -d '\r' <"$DEBUG" | awk '
        match($0, /^[0-9:.]+ - SPEECH OUTPUT: \x27/) { text = substr($0, RLENGTH + 1); open = 1 }
        RSTART == 0 && open { line = $0; sub(/^ +/, "", line); text = text " / " line }
        open && text ~ /\x27 ?\{\x27established\x27/ {
            sub(/\x27 ?\{\x27established\x27.*$/, "", text)
            open = 0
            if (text !~ /^(tab|space|return|F2) $/) print text
        }'
}

# hear TEXT...: Orca's next utterances are TEXT..., in this order.
hear() {
    local expected=("$@")
    wait_for "utterance '${expected[-1]}'" heard "${#expected[@]}"
    local said=("${UTTERANCES[@]:HEARD:${#expected[@]}}") i
    for i in "${!expected[@]}"; do
        [[ ${said[i]} == "${expected[i]}" ]] \
            || fail "Orca said '${said[i]}' where '${expected[i]}' was expected"
        log "heard: ${said[i]}"
    done
    HEARD=$((HEARD + ${#expected[@]}))
}

heard() {
    kill -0 "$ORCA_PID" 2>/dev/null || fail "Orca ended"
    [[ -n $APP_PID ]] && program_ended && fail "the program ended"
    mapfile -t UTTERANCES < <(utterances)
    SEEN="${UTTERANCES[*]:HEARD}"
    ((${#UTTERANCES[@]} >= HEARD + $1))
}

# press KEY TEXT...: presses KEY and hears TEXT...
press() {
    local key=$1
    shift
    xdo key "$key" || fail "cannot press $key"
    hear "$@"
}

# The state the letter buttons describe, as the program words it.
load_layout
NEW="Nieuw woord van 4 letters. Woord: streepje streepje streepje streepje. Galg: 0 van $PIECE_COUNT delen."
state() { echo "$1 Woord: $2. Galg: $3 van $PIECE_COUNT delen. Gebruikt: $4."; }

# tab_to FROM TO: Tab from letter FROM to letter TO over the enabled letters
# between them (all of them, in these games), hearing each with STATE.
tab_to() {
    local letter=$1
    while [[ $letter != "$2" ]]; do
        letter=$(tr 'A-Y' 'B-Z' <<<"$letter")
        press Tab "$letter push button." "$STATE"
    done
}

# --- The tools -------------------------------------------------------------------

ATSPI_LAUNCHER=
for launcher in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
    [[ -x $launcher ]] && ATSPI_LAUNCHER=$launcher && break
done
needs "$REQUIRED" Xvfb xdotool xprop dbus-daemon dbus-send openbox speech-dispatcher orca script \
    timeout "${ATSPI_LAUNCHER:-at-spi-bus-launcher}"

# --- The desktop -------------------------------------------------------------------

start_desktop() {
    mkdir -p "$PROG/home" "$PROG/runtime" "$PROG/orca" "$PROG/speechd/modules"
    chmod 700 "$PROG/runtime"
    export HOME=$PROG/home XDG_RUNTIME_DIR=$PROG/runtime XDG_CONFIG_HOME=$PROG/home/.config \
        XDG_DATA_HOME=$PROG/home/.local/share XDG_CACHE_HOME=$PROG/home/.cache
    unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS SPEECHD_ADDRESS QT_QPA_PLATFORMTHEME \
        QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_FONT_DPI QT_ENABLE_HIGHDPI_SCALING \
        QT_LINUX_ACCESSIBILITY_ALWAYS_ON XDG_CURRENT_DESKTOP DESKTOP_SESSION
    start_display

    dbus-daemon --session --nofork --print-address=3 3>"$RUN/bus" 2>"$RUN/dbus.log" &
    BUS_PID=$!
    wait_for "D-Bus session bus" test -s "$RUN/bus"
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$RUN/bus")
    export DBUS_SESSION_BUS_ADDRESS

    # The accessibility bus; it also puts its address on the X root window,
    # where Qt finds it when it starts.
    "$ATSPI_LAUNCHER" --launch-immediately >"$RUN/at-spi.log" 2>&1 &
    ATSPI_PID=$!
    wait_for "accessibility bus" a11y_bus_answers

    openbox --sm-disable >"$RUN/openbox.log" 2>&1 &
    WM_PID=$!
    wait_for "window manager" window_manager_runs

    # speech-dispatcher must find a sound device, or it quits: a null one.
    # Its one synthesizer appends each text to a file.
    printf 'pcm.!default { type null }\n' >"$HOME/.asoundrc"
    cat >"$PROG/speechd/speechd.conf" <<EOF
AudioOutputMethod "alsa"
LogDir "$RUN"
AddModule "capture" "sd_generic" "capture.conf"
DefaultModule capture
EOF
    cat >"$PROG/speechd/modules/capture.conf" <<EOF
GenericExecuteSynth "printf '%s\\\\n' \\'\$DATA\\' >>'$RUN/synthesized.txt'"
AddVoice "en" "MALE1" "capture"
GenericLanguage "en" "en" "utf-8"
EOF
    speech-dispatcher --run-single --timeout 0 --config-dir "$PROG/speechd" \
        >"$RUN/speech-dispatcher.out" 2>&1 &
    SPEECHD_PID=$!
    wait_for "speech-dispatcher's socket" test -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock"

    # Python writes a debug file in blocks, but a terminal line by line: Orca
    # writes to the terminal that script(1) gives it, and script to the file.
    script --quiet --flush --return \
        --command "echo \$\$ >'$PROG/orca.pid'; exec orca -u '$PROG/orca' --debug-file /dev/tty" \
        "$DEBUG" </dev/null >/dev/null 2>&1 &
    SCRIPT_PID=$!
    wait_for "Orca's process id" test -s "$PROG/orca.pid"
    ORCA_PID=$(cat "$PROG/orca.pid")
    hear "Screen reader on."
    log "Orca $(orca --version 2>/dev/null) (pid $ORCA_PID) on $DISPLAY"
}

a11y_bus_answers() {
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        >/dev/null 2>&1 && xprop -root AT_SPI_BUS 2>/dev/null | grep -q unix
}

window_manager_runs() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# After Orca: Qt decides once, as it starts, whether anyone listens.
start_program() {
    word_lists kaas
    cp "$WIRLEP" "$PROG/wirlep"
    (cd "$PROG" && QT_QPA_PLATFORM=xcb QT_STYLE_OVERRIDE=Fusion exec ./wirlep) \
        >>"$RUN/wirlep.log" 2>&1 &
    APP_PID=$!
    log "started the program (pid $APP_PID)"
}

# --- The games ---------------------------------------------------------------------

for ((core = 0; core < ${WIRLEP_E2E_BUSY:+$(nproc)}+0; core++)); do
    (while :; do :; done) &
    BUSY+=($!)
done
start_desktop
start_program
hear "$MAIN_TITLE frame." "A push button." "$NEW"

# Won: Tab from A to K, and each guess heard with its result: k, s and a.
STATE=$NEW
tab_to A K
press space "L push button." "$(state "Goed: K." "k streepje streepje streepje" 0 K)"
STATE=$(state "Goed: K." "k streepje streepje streepje" 0 K)
tab_to L S
press Return "T push button." "$(state "Goed: S." "k streepje streepje s" 0 "K S")"
STATE=$(state "Goed: S." "k streepje streepje s" 0 "K S")
for letter in U V W X Y Z A; do
    press Tab "$letter push button." "$STATE"
done
press space "alert $BOX_TITLE." "Gefeliciteerd, u heeft gewonnen!!" "OK push button."
press Return "$MAIN_TITLE frame." "B push button." "$NEW"

# Lost: after F2, nine misses from B to J; the focus passes the k, L is the tenth.
press F2 "notification $NEW"
MISSED=
for letter in B C D E F G H I J; do
    MISSED+=${MISSED:+ }$letter
    STATE=$(state "Fout: $letter." "streepje streepje streepje streepje" $(((${#MISSED} + 1) / 2)) "$MISSED")
    press space "$(tr 'A-Y' 'B-Z' <<<"$letter") push button." "$STATE"
done
press Tab "L push button." "$STATE"
press space "alert $BOX_TITLE." "Helaas, u heeft verloren /  / Het woord was: 'kaas'." "OK push button."
press Return "$MAIN_TITLE frame." "M push button." "$NEW"

# The close button, as the window manager passes it on.
MAIN=$(titled "$MAIN_TITLE") || fail "no main window to close"
"$CLOSER" "$MAIN" || fail "cannot ask the main window to close"
expect_program_exit
log "$HEARD utterances as expected:"
utterances | sed 's/^/  /'
