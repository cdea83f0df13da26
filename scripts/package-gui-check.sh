#!/usr/bin/env bash
# Run by test-package.sh as the non-root user on a virtual display: starts the installed strovane,
# presses "New project", types a name, presses Enter, and waits for the title to name the project.
# Every wait is for a condition, bounded in time.
set -euo pipefail
fail() { echo "FAIL: $*" >&2; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; exit 1; }

# Waits until "$@" succeeds, at most 20 s.
wait_for() {
    local deadline=$((SECONDS + 20))
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

strovane &
pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name "Strovane SC40518") || fail "no main window"
main=${main%%$'\n'*}
xdotool mousemove --window "$main" 150 49 click 1 # the "New project" button
dialog=$(timeout 20 xdotool search --sync --onlyvisible --name "^Create New Project$") || fail "no new-project dialog"
dialog=${dialog%%$'\n'*}
xdotool windowfocus --sync "$dialog"
xdotool type --delay 20 "Line 1"
xdotool key Return
title_names_project() { xdotool getwindowname "$main" | grep -q " : Line 1$"; }
wait_for title_names_project || fail "the title does not name the new project: $(xdotool getwindowname "$main")"
# Asked to end, it closes as the user would and writes its settings file.
kill -TERM "$pid"
wait "$pid" || fail "strovane ended with status $?"
