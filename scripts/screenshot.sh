#!/usr/bin/env bash
# Takes the README's screenshot of the main window: starts Zembra with an example list on a
# virtual X display (Xvfb), with a profile of its own, and grabs the screen into
# docs/main-window.png.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/setup.sh"
# Only this script needs a screen grabber and a window lister.
if ! command -v import >/dev/null || ! command -v xwininfo >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq imagemagick x11-utils >/dev/null
fi
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build" --target zembra zembractl >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config/Brelko" "$work/runtime"
chmod 700 "$work/runtime"
printf '[General]\nTips=0\nAutoload=0\nLang=Polski\n' > "$work/config/Brelko/Zembra.conf"
ctl="$here/build/src/cli/zembractl"
list="$work/Alarmy.zmb"
"$ctl" add "$list" --at "$(date -d 'tomorrow 06:30' +%Y-%m-%dT%H:%M)" --frequency workdays \
    --comment "Praca" --message "Wstawaj!" >/dev/null
"$ctl" add "$list" --at "$(date -d 'tomorrow 23:00' +%Y-%m-%dT%H:%M)" --frequency everyday \
    --type standby --comment "Pora spać" >/dev/null
"$ctl" add "$list" --at "$(date -d 'next saturday 09:00' +%Y-%m-%dT%H:%M)" --frequency weekend \
    --comment "Weekend" --sound /usr/share/sounds/alarm.wav >/dev/null

mkdir -p "$here/docs"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work"
export QT_QPA_PLATFORM=xcb
xvfb-run -a -s "-screen 0 800x500x24" bash -c "
    '$here/build/src/app/zembra' --simulate-power '$work/power.log' '$list' &
    pid=\$!
    for i in \$(seq 1 50); do
        xwininfo -root -tree 2>/dev/null | grep -q 'Zembra - Alarmy' && break
        sleep 0.2
    done
    sleep 1
    import -window 'Zembra - Alarmy' '$here/docs/main-window.png'
    kill \$pid
    wait \$pid || true
"
echo "docs/main-window.png written"
