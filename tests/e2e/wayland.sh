#!/usr/bin/env bash
# Starts Wirlep as a Wayland client of a headless weston and reads, from the
# protocol log the client writes with WAYLAND_DEBUG, that it shows its main
# window under the app id of its menu entry.
#
# Usage: wayland.sh <wirlep> <app id>
# With WIRLEP_E2E_KEEP=1, e2e-wayland/ keeps the logs and a screenshot.
set -uo pipefail

if (($# != 2)); then
    echo "usage: $0 <wirlep> <app id>" >&2
    exit 2
fi
WIRLEP=$(realpath "$1")
APP_ID=$2
RUN=$PWD/e2e-wayland
rm -rf "$RUN"
mkdir -p "$RUN"
RUNTIME=$(mktemp -d "${TMPDIR:-/tmp}/wirlep-wayland.XXXXXX")
chmod 700 "$RUNTIME"
WESTON_PID=
APP_PID=
TIMEOUT_MS=20000

# shellcheck source=SCRIPTDIR/../common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"

fail() {
    echo "FAILED: $*"
    echo "weston ($RUN/weston.log):"
    tail -n 10 "$RUN/weston.log" 2>/dev/null | sed 's/^/  /'
    echo "the program ($RUN/wirlep.log):"
    grep -v '^\[' "$RUN/wirlep.log" 2>/dev/null | tail -n 10 | sed 's/^/  /'
    exit 1
}

cleanup() {
    local status=$?
    stop "$APP_PID" "$WESTON_PID"
    rm -rf "$RUNTIME"
    finish_run $status
}
trap cleanup EXIT
trap 'exit 143' TERM INT

command -v weston >/dev/null || fail "weston is missing (scripts/setup.sh installs it)"
load_layout

export XDG_RUNTIME_DIR=$RUNTIME
unset DISPLAY WAYLAND_SOCKET
# Pixman rather than no renderer at all, so a screenshot shows something.
weston --backend=headless-backend.so --use-pixman --socket=wirlep-e2e --idle-time=0 \
    --width=640 --height=400 --debug >"$RUN/weston.log" 2>&1 &
WESTON_PID=$!
wait_for "weston's socket" test -S "$RUNTIME/wirlep-e2e"

export WAYLAND_DISPLAY=wirlep-e2e QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=1
unset QT_QPA_PLATFORMTHEME QT_SCALE_FACTOR QT_STYLE_OVERRIDE
(cd "$(dirname "$WIRLEP")" && exec "$WIRLEP") >"$RUN/wirlep.log" 2>&1 &
APP_PID=$!

# The main window: a toplevel with the program's title and app id that,
# once weston has configured it, gets a picture of itself committed.
# sent REQUEST TEXT: the program asked a toplevel for REQUEST with TEXT.
sent() { grep -E -- '-> xdg_toplevel@[0-9]+\.' "$RUN/wirlep.log" | grep -F ".$1(\"$2\")" >/dev/null; }
shown() {
    program_running || fail "the program ended"
    sent set_title "$MAIN_TITLE" && sent set_app_id "$APP_ID" \
        && awk '/-> xdg_surface@[0-9]+\.ack_configure/ { configured = 1 }
                configured && /-> wl_surface@[0-9]+\.attach\(wl_buffer/ { found = 1; exit }
                END { exit !found }' "$RUN/wirlep.log"
}
wait_for "window '$MAIN_TITLE' with app id $APP_ID shown on Wayland" shown
sent set_title "$BOX_TITLE" && fail "the program showed a message box"
echo "shown on Wayland as $APP_ID"

if [[ -n ${WIRLEP_E2E_KEEP:-} ]]; then
    sleep 1
    (cd "$RUN" && timeout 10 weston-screenshooter) || echo "no screenshot"
fi
exit 0
