#!/usr/bin/env bash
# Runs a command against an X server of its own: Xvfb picks a free display itself, so runs side by
# side never race for one, and never resets between clients. Listing a test program's tests needs
# no server.
# Usage: with_x_server.sh COMMAND [ARGUMENTS...]
set -eu
case " $* " in *" --gtest_list_tests "*) exec "$@" ;; esac
exec 3< <(exec Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp -noreset 2>/dev/null)
server=$!
trap 'kill "$server" 2>/dev/null' EXIT
read -r -t 10 display <&3 || { echo "Xvfb n'a pas démarré" >&2; exit 1; }
DISPLAY=:$display "$@"
