#!/bin/sh
# Runs a window test under a window manager (openbox) on the current display:
#   with_window_manager.sh TEST-PROGRAM [ARGUMENTS...]
# The manager is started first and the test waits until it has taken the display.
set -u
ready=$(mktemp -u "${TMPDIR:-/tmp}/gw-wm-ready.XXXXXX")
openbox --startup "touch $ready" >/dev/null 2>&1 &
wm=$!
i=0
while [ ! -e "$ready" ] && [ $i -lt 300 ]; do
    sleep 0.1
    i=$((i + 1))
done
if [ ! -e "$ready" ]; then
    echo "openbox did not start on $DISPLAY" >&2
    kill $wm 2>/dev/null
    exit 1
fi
rm -f "$ready"
"$@"
status=$?
kill $wm 2>/dev/null
wait $wm 2>/dev/null
exit $status
