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
    [[ -n $APP_PID ]] && kill "$APP_PID" 2>/dev/null
    [[ -n $WESTON_PID ]] && kill "$WESTON_PID" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$RUNTIME"
    if ((status == 0)) && [[ -z ${WIRLEP_E2E_KEEP:-} ]]; then
        rm -rf "$RUN"
    else
        echo "Kept for a look: $RUN"
    fi
}
trap cleanup EXIT
trap 'exit 143' TERM INT

command -v weston >/dev/null || fail "weston is missing (scripts/setup.sh installs it)"

# until SECONDS CHECK...: runs CHECK until it succeeds, for at most SECONDS.
until_within() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

export XDG_RUNTIME_DIR=$RUNTIME
unset DISPLAY WAYLAND_SOCKET
# Pixman rather than no renderer at all, so a screenshot shows something.
weston --backend=headless-backend.so --use-pixman --socket=wirlep-e2e --idle-time=0 \
    --width=640 --height=400 --debug >"$RUN/weston.log" 2>&1 &
WESTON_PID=$!
until_within 20 test -S "$RUNTIME/wirlep-e2e" || fail "weston did not start"

export WAYLAND_DISPLAY=wirlep-e2e QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=1
unset QT_QPA_PLATFORMTHEME QT_SCALE_FACTOR QT_STYLE_OVERRIDE
(cd "$(dirname "$WIRLEP")" && exec "$WIRLEP") >"$RUN/wirlep.log" 2>&1 &
APP_PID=$!

# The main window: a toplevel with the program's title and app id that,
# once weston has configured it, gets a picture of itself committed.
sent() { grep -q -- "-> $1" "$RUN/wirlep.log"; }
shown() {
    kill -0 "$APP_PID" 2>/dev/null || fail "the program ended"
    sent 'xdg_toplevel@[0-9]*\.set_title("Wirlep\.\.\.\.")' \
        && sent "xdg_toplevel@[0-9]*\\.set_app_id(\"${APP_ID//./\\.}\")" \
        && awk '/-> xdg_surface@[0-9]+\.ack_configure/ { configured = 1 }
                configured && /-> wl_surface@[0-9]+\.attach\(wl_buffer/ { found = 1; exit }
                END { exit !found }' "$RUN/wirlep.log"
}
until_within 20 shown || fail "no window 'Wirlep....' with app id $APP_ID shown on Wayland"
grep -q -- '-> xdg_toplevel@[0-9]*\.set_title("Wirlep")' "$RUN/wirlep.log" \
    && fail "the program showed a message box"
echo "shown on Wayland as $APP_ID"

if [[ -n ${WIRLEP_E2E_KEEP:-} ]]; then
    sleep 1
    (cd "$RUN" && timeout 10 weston-screenshooter) || echo "no screenshot"
fi
exit 0
