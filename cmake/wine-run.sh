#!/bin/sh
# wine-run.sh PREFIX PROGRAM.exe [ARGS...]: runs a Windows program under Wine in PREFIX.
#
# Wine's start-up (its server and its own background services) costs seconds, and a service
# started by a test's program keeps that test's output open, so CTest would wait for it. So
# the server is started once, to stay 30 s after its last program, and its services are
# started beside it with no output of any test; every test then runs in a fraction of a second.
set -u
export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
shift
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver64

quiet() { "$@" </dev/null >/dev/null 2>&1 9>&-; }

(
    flock 9
    quiet "$server" --persistent=30
    case $? in
        0) quiet "$wine" wineboot ;;  # a new server: its services
        1)                            # no prefix yet: made by a first boot, whose server ends
            quiet "$wine" wineboot
            quiet "$server" --wait
            quiet "$server" --persistent=30
            quiet "$wine" wineboot
            ;;
        *) ;;                         # running already
    esac
) 9>"$WINEPREFIX.lock"

exec "$wine" "$@"
