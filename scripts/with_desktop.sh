#!/usr/bin/env bash
# Runs one program on a desktop of its own: a virtual X server on a free display with a window
# manager that frames, places and moves windows as a user's desktop does, both ended with the
# program. The exit code is the program's.
#
#   with_desktop.sh PROGRAM [ARGS...]
#
# TARVOS_X_DISPLAYS=FIRST-LAST picks the display numbers to try (default 99-199); programs run in
# parallel each take the next free one. The screen is 1280 x 1024. The program finds the window
# manager's name in TARVOS_WINDOW_MANAGER.
set -uo pipefail

if [ $# -eq 0 ]; then
    echo "usage: $0 PROGRAM [ARGS...]" >&2
    exit 2
fi

range="${TARVOS_X_DISPLAYS:-99-199}"
first="${range%-*}"
last="${range#*-}"
work="$(mktemp -d "${TMPDIR:-/tmp}/tarvos-desktop.XXXXXX")"
server_pid=""
manager_pid=""

finish() {
    [ -n "$manager_pid" ] && kill "$manager_pid" 2>/dev/null && wait "$manager_pid" 2>/dev/null
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

# Waits up to 30 s for a condition, giving up early when the process it depends on has ended.
wait_for() {
    local pid="$1"
    shift
    for _ in $(seq 300); do
        "$@" && return 0
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# The server tells its parent it accepts connections with SIGUSR1 when it starts with that signal
# ignored; a display another server holds makes it exit instead, and the next one is tried.
server_ready=0
server_started() { [ "$server_ready" = 1 ]; }
trap 'server_ready=1' USR1
display=""
for number in $(seq "$first" "$last"); do
    [ -e "/tmp/.X${number}-lock" ] && continue
    server_ready=0
    (trap '' USR1 && exec Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp -noreset) \
        >"$work/server.log" 2>&1 &
    server_pid=$!
    if wait_for "$server_pid" server_started; then
        display=":$number"
        break
    fi
    kill "$server_pid" 2>/dev/null
    wait "$server_pid" 2>/dev/null
    server_pid=""
done
trap - USR1
if [ -z "$display" ]; then
    echo "with_desktop: no X server could start on displays $range" >&2
    cat "$work/server.log" >&2 2>/dev/null
    exit 1
fi
export DISPLAY="$display"

# The window manager's own default configuration, never the user's; it says it manages the
# screen by running the start-up command.
mkdir -p "$work/config"
XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work" \
    openbox --sm-disable --startup "touch $work/managing" >"$work/manager.log" 2>&1 &
manager_pid=$!
if ! wait_for "$manager_pid" test -e "$work/managing"; then
    echo "with_desktop: the window manager did not start on $display" >&2
    cat "$work/manager.log" >&2
    exit 1
fi

TARVOS_WINDOW_MANAGER=openbox "$@"
status=$?
exit "$status"
