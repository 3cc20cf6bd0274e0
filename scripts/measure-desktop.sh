#!/usr/bin/env bash
# Measures what the desktop program costs beside a bare Qt program of the same shape (main
# window, menu bar, toolbar, three-column list, tray icon: bench/bench_bare_window.cpp),
# and how late its alarms show, and prints the figures as Markdown tables.
#
#   scripts/measure-desktop.sh [--build-dir DIR] [--zembra PATH] [--runs N] [--idle SECONDS]
#                              [--keep]
#
#   --build-dir DIR  where the reference, the window clock and (without --zembra) the program
#                    are built, RelWithDebInfo; build/ by default
#   --zembra PATH    measure this zembra binary (an older build, say) instead of DIR's
#   --runs N         runs of every measurement (3); program and reference take turns
#   --idle SECONDS   how long idle context switches are counted (20), scaled to a minute
#   --keep           keep the working folder (logs of every run) and say where it is
#
# Everything runs on a private X display (Xvfb, 1280x800) with a window manager (openbox), a
# tray host (trayer), a private session bus and a private PulseAudio server with a null sink,
# as on a desktop; each run has a fresh XDG_CONFIG_HOME (Tips=0, Autoload=0) and
# XDG_RUNTIME_DIR; the program runs with --simulate-power and ZEMBRA_NO_WAKE_ALARM=1. One
# unmeasured run of each program first fills the caches (GStreamer's registry, the page cache).
#
# How each figure is taken:
#   start to window mapped / painted: bench/window_clock starts the program (the clock
#     starts just before fork) and watches the X server: "mapped" when the window manager's
#     frame holding a window whose _NET_WM_PID is the program's is mapped on the root window,
#     "painted" at the first drawing inside that window (Damage extension on the root window,
#     which reports every change to the screen). A map is stamped when it is read, a drawing
#     with the X server's own time stamp, both within about a millisecond. The program maps
#     its window before it loads the list and paints only then: "painted" is what the user
#     sees, and the only one of the two that includes loading a long list.
#   threads: Threads in /proc/PID/status 2 s after the start.
#   memory: /proc/PID/smaps_rollup 5 s after the start, once start-up work has settled;
#     hidden: started with --hidden (in the tray), shown: started normally. PSS splits each
#     library page among the processes that map it, so it drops while other Qt programs run on
#     the machine: each run records how many other processes map Qt then ("others"), and PSS
#     compares between builds only where that is 0. RSS (every page mapped, shared or not) and
#     Private_Dirty (what the process wrote: heap, stacks, relocations) do not depend on other
#     processes.
#   idle context switches per minute: voluntary + nonvoluntary switches of all threads
#     (/proc/PID/task/*/status), counted from 5 s after the start for --idle seconds and scaled
#     to a minute; the CPU time (utime + stime of /proc/PID/stat) over the same interval beside
#     it. Lists: three one-time alarms years ahead; "power countdown" adds a standby alarm
#     290 s ahead, so that the countdown of a power alarm runs during the interval.
#   10,000-alarm list: a .zmb of 10,000 one-time alarms years ahead, written directly; the
#     reference fills 10,000 rows.
#   firing lateness: the program starts hidden with a one-time wake-up alarm with a message
#     about 5 s ahead; from its due moment to: carried out (the alerter thread's "display-on"
#     line in the simulated power log, the first thing it does for a wake-up alarm), firing
#     pass (the first zembra.timer line after the due moment: the re-arming that follows the
#     firing pass on the user-interface thread), pop-up asked for (zembra.alert's "pop-up:"
#     line; the first message comes 2 s after the carrying-out by design) and pop-up mapped /
#     painted (window_clock). One alarm per run: later messages join a rotation.
set -Eeuo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
trap 'echo "measure-desktop: failed at line $LINENO: $BASH_COMMAND" >&2' ERR

die()
{
    echo "measure-desktop: $*" >&2
    exit 1
}

build="$here/build"
zembra=""
runs=3
idle=20
keep=0
while [ $# -gt 0 ]; do
    case "$1" in
    --build-dir) build="$(realpath -m "${2:?--build-dir needs a folder}")"; shift 2 ;;
    --zembra) zembra="$(realpath "${2:?--zembra needs a path}")"; shift 2 ;;
    --runs) runs="${2:?--runs needs a number}"; shift 2 ;;
    --idle) idle="${2:?--idle needs seconds}"; shift 2 ;;
    --keep) keep=1; shift ;;
    -h | --help) sed -n '2,/^set -Eeuo/p' "${BASH_SOURCE[0]}" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    *) die "unknown option $1 (see --help)" ;;
    esac
done
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || die "--runs takes a positive whole number"
[[ "$idle" =~ ^[1-9][0-9]*$ ]] && [ "$idle" -le 240 ] || die "--idle takes 1 to 240 seconds"
[ -z "$zembra" ] || [ -x "$zembra" ] || die "$zembra is not an executable"

# ---- tools and build ----

"$here/scripts/setup.sh" openbox trayer
for tool in Xvfb openbox trayer dbus-daemon pulseaudio cmake date awk; do
    command -v "$tool" >/dev/null || die "$tool is missing: scripts/setup.sh should have installed it"
done

if [ -f "$build/CMakeCache.txt" ]; then
    cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEMBRA_BUILD_BENCHMARKS=ON >/dev/null
else
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
grep -q '^XCB_DAMAGE_FOUND:INTERNAL=1' "$build/CMakeCache.txt" \
    || die "XCB with its Damage extension was not found: window_clock cannot be built (scripts/setup.sh)"
targets=(bench_bare_window window_clock)
[ -n "$zembra" ] || targets+=(zembra)
build_log="$(mktemp)"
if ! cmake --build "$build" -j 2 --target "${targets[@]}" >"$build_log" 2>&1; then
    tail -n 40 "$build_log" >&2
    rm -f "$build_log"
    die "the build failed"
fi
rm -f "$build_log"
[ -n "$zembra" ] || zembra="$build/src/app/zembra"
reference="$build/bench/bench_bare_window"
clock="$build/bench/window_clock"
for binary in "$zembra" "$reference" "$clock"; do
    [ -x "$binary" ] || die "$binary was not built"
done

# ---- the private desktop ----

work="$(mktemp -d "${TMPDIR:-/tmp}/measure-desktop.XXXXXX")"
services=() # background processes of the desktop, ended last
current=()  # the program being measured and its window clock

cleanup()
{
    local pid
    for pid in "${current[@]}" "${services[@]}"; do
        kill -TERM "$pid" 2>/dev/null || true
    done
    for pid in "${current[@]}" "${services[@]}"; do
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    if [ "$keep" = 1 ]; then
        echo "measure-desktop: the runs' files are in $work" >&2
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Waits up to $2 seconds for file $1 to have content.
wait_for_file()
{
    local i
    for i in $(seq $(($2 * 50))); do
        [ -s "$1" ] && return 0
        sleep 0.02
    done
    return 1
}

mkdir -p "$work/home" "$work/cache" "$work/data" "$work/wm" "$work/pulse"
chmod 700 "$work/pulse"
unset WAYLAND_DISPLAY XDG_SESSION_TYPE SESSION_MANAGER LC_ALL LANGUAGE QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE
export HOME="$work/home" XDG_CACHE_HOME="$work/cache" XDG_DATA_HOME="$work/data"
export XDG_CONFIG_HOME="$work/wm" XDG_RUNTIME_DIR="$work/pulse"
export LANG=C.UTF-8 TZ=UTC QT_QPA_PLATFORM=xcb

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
services+=($!)
wait_for_file "$work/display" 10 || die "Xvfb did not start: $(tail -n 5 "$work/xvfb.log")"
export DISPLAY=":$(head -n 1 "$work/display")"

dbus-daemon --session --nofork --print-address=3 3>"$work/bus" >"$work/dbus.log" 2>&1 &
services+=($!)
wait_for_file "$work/bus" 10 || die "the session bus did not start: $(tail -n 5 "$work/dbus.log")"
export DBUS_SESSION_BUS_ADDRESS="$(head -n 1 "$work/bus")"

# A sound server as on a desktop, reachable only from here; it warns when run as root, but runs.
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disable-shm=yes --use-pid-file=no \
    --log-target=stderr -L "module-native-protocol-unix auth-anonymous=1 socket=$work/pulse/native" \
    -L "module-null-sink channels=2 sink_name=measure" >"$work/pulse.log" 2>&1 &
services+=($!)
export PULSE_SERVER="unix:$work/pulse/native"
for _ in $(seq 250); do
    [ -S "$work/pulse/native" ] && break
    sleep 0.02
done
[ -S "$work/pulse/native" ] || die "PulseAudio did not start: $(tail -n 5 "$work/pulse.log")"

openbox --sm-disable >"$work/openbox.log" 2>&1 &
services+=($!)
"$clock" wait-selection WM_S0 10 || die "openbox did not start: $(tail -n 5 "$work/openbox.log")"

trayer --edge bottom --align right --widthtype pixel --width 120 --heighttype pixel --height 28 \
    --SetDockType true >"$work/trayer.log" 2>&1 &
services+=($!)
"$clock" wait-selection _NET_SYSTEM_TRAY_S0 10 || die "trayer did not start: $(tail -n 5 "$work/trayer.log")"

# ---- alarm lists ----

# One <Alarm> of a .zmb (times in UTC, CRLF as the program writes): EPOCH TYPE COMMENT MESSAGE.
alarm_xml()
{
    local y m d w H M S
    read -r y m d w H M S < <(date -u -d "@$1" '+%Y %m %d %w %H %M %S')
    printf '<Alarm Active="1" Type="%s" Frequency="once">\r\n' "$2"
    printf '<Date Year="%d" Month="%d" Day="%d" DayOfWeek="%d"/>\r\n' "$y" $((10#$m)) $((10#$d)) "$w"
    printf '<Time Hour="%d" Min="%d" Sec="%d"/>\r\n' $((10#$H)) $((10#$M)) $((10#$S))
    printf '<Comment>%s</Comment>\r\n<Message Active="1">%s</Message>\r\n' "$3" "$4"
    printf '<Sound Active="0"/>\r\n<Program Active="0"/>\r\n</Alarm>\r\n'
}

zmb_head()
{
    printf '<?xml version="1.0" encoding="windows-1250"?>\r\n<Zembra Version="1">\r\n'
}

far="$(date -u -d '2035-03-14 06:30:00' +%s)"
# small.zmb with three alarms years ahead; EXTRA... adds alarm_xml lines
small_list()
{
    local file="$1"
    shift
    {
        zmb_head
        alarm_xml "$far" wakeup "Work" "Get up"
        alarm_xml $((far + 86400)) wakeup "Weekend" "Slept enough"
        alarm_xml $((far + 2 * 86400)) standby "Night" "Time to sleep"
        [ $# -eq 0 ] || alarm_xml "$@"
        printf '</Zembra>\r\n'
    } >"$file"
}

# 10,000 one-time alarms years ahead, spread over dates and times (day of week by Sakamoto).
awk 'function dow(y, m, d) {
         split("0 3 2 5 0 3 5 1 4 6 2 4", t, " ")
         if (m < 3) y -= 1
         return (y + int(y / 4) - int(y / 100) + int(y / 400) + t[m] + d) % 7
     }
     BEGIN {
         printf "<?xml version=\"1.0\" encoding=\"windows-1250\"?>\r\n<Zembra Version=\"1\">\r\n"
         for (i = 0; i < 10000; i++) {
             y = 2035 + int(i / 8064); m = 1 + i % 12; d = 1 + int(i / 12) % 28
             printf "<Alarm Active=\"1\" Type=\"%s\" Frequency=\"once\">\r\n", (i % 10 == 9) ? "standby" : "wakeup"
             printf "<Date Year=\"%d\" Month=\"%d\" Day=\"%d\" DayOfWeek=\"%d\"/>\r\n", y, m, d, dow(y, m, d)
             printf "<Time Hour=\"%d\" Min=\"%d\" Sec=\"0\"/>\r\n", int(i / 336) % 24, i % 60
             printf "<Comment>Alarm %d</Comment>\r\n<Message Active=\"1\">Message %d</Message>\r\n", i + 1, i + 1
             printf "<Sound Active=\"0\"/>\r\n<Program Active=\"0\"/>\r\n</Alarm>\r\n"
         }
         printf "</Zembra>\r\n"
     }' >"$work/large.zmb"

# ---- one run ----

run=""      # the run's folder
z=()        # the program's command line for this run, without the list
prog=""     # the measured process
watcher=""  # its window clock (its parent)
started=""  # $EPOCHREALTIME at the start
run_env=()  # further environment of the next launch

new_run()
{
    run="$(mktemp -d "$work/run.XXXX")"
    mkdir -p "$run/config/Brelko" "$run/runtime"
    chmod 700 "$run/runtime"
    printf '[General]\nTips=0\nAutoload=0\n' >"$run/config/Brelko/Zembra.conf"
    z=("$zembra" --simulate-power "$run/power.log")
}

# launch [--follow] [--timeout S] -- COMMAND...: starts COMMAND under the window clock in $run.
launch()
{
    started="$EPOCHREALTIME"
    (cd "$run" && exec env XDG_CONFIG_HOME="$run/config" XDG_RUNTIME_DIR="$run/runtime" TMPDIR="$run" \
        ZEMBRA_NO_WAKE_ALARM=1 "${run_env[@]}" "$clock" launch "$@") >"$run/clock" 2>"$run/stderr" &
    watcher=$!
    current=("$watcher")
    wait_for_file "$run/clock" 10 || die "$* did not start: $(tail -n 5 "$run/stderr")"
    prog="$(awk '$1 == "pid" {print $2; exit}' "$run/clock")"
    current=("$prog" "$watcher")
}

# Sleeps until $1 seconds after the start.
sleep_until()
{
    local left
    left="$(awk -v s="$started" -v n="$EPOCHREALTIME" -v t="$1" 'BEGIN {d = s + t - n; print (d > 0 ? d : 0)}')"
    sleep "$left"
}

# Waits for the clock's first paint (or its giving up); prints "MAP PAINT" in ms, or fails.
window_times()
{
    local i
    for i in $(seq 1000); do
        grep -q '^paint\|^no-window' "$run/clock" && break
        kill -0 "$prog" 2>/dev/null || break
        sleep 0.02
    done
    awk '$1 == "map" && !m {m = $2} $1 == "paint" {p = $2; exit} END {if (!p) exit 1; print m, p}' "$run/clock"
}

threads() { awk '/^Threads:/ {print $2}' "/proc/$prog/status"; }
pss_mib() { awk '/^Pss:/ {printf "%.1f\n", $2 / 1024}' "/proc/$prog/smaps_rollup"; }
rss_mib() { awk '/^Rss:/ {printf "%.1f\n", $2 / 1024}' "/proc/$prog/smaps_rollup"; }
# How many processes other than $1 map Qt, among which PSS splits Qt's pages.
qt_sharers()
{
    { grep -l 'libQt6Core' /proc/[0-9]*/maps 2>/dev/null || true; } | grep -cv "^/proc/${1:-0}/maps\$" || true
}
dirty_mib() { awk '/^Private_Dirty:/ {printf "%.1f\n", $2 / 1024}' "/proc/$prog/smaps_rollup"; }
switches() { cat /proc/"$prog"/task/*/status 2>/dev/null | awk '/ctxt_switches:/ {s += $2} END {print s + 0}'; }
cpu_ticks() { sed 's/.*) //' "/proc/$prog/stat" | awk '{print $12 + $13}'; }
ticks_per_s="$(getconf CLK_TCK)"

stop()
{
    local i
    kill -TERM "$prog" 2>/dev/null || true
    for i in $(seq 100); do
        kill -0 "$watcher" 2>/dev/null || break
        sleep 0.05
    done
    kill -KILL "$prog" "$watcher" 2>/dev/null || true
    wait "$watcher" 2>/dev/null || true
    current=()
}

results="$work/results"
: >"$results"
# record WHO WHAT VALUE
record() { echo "$1 $2 $3" >>"$results"; }

# measure WHO SHOWN(0/1) IDLE(0/1) -- COMMAND...: start times when shown, threads, PSS and,
# with IDLE, the switches and CPU over the idle interval.
measure()
{
    local who="$1" shown="$2" with_idle="$3" suffix times c0 t0 c1 t1
    shift 4
    suffix="$([ "$shown" = 1 ] && echo shown || echo hidden)"
    if [ "$shown" = 1 ]; then
        launch --timeout 20 -- "$@"
        times="$(window_times)" || die "no window of $* was painted: $(tail -n 5 "$run/stderr")"
        # With a power alarm within five minutes the first window may be the countdown's pop-up.
        if [ "$who" != zembra-countdown ]; then
            record "$who" map "${times% *}"
            record "$who" paint "${times#* }"
        fi
    else
        launch --timeout 3 -- "$@"
    fi
    sleep_until 2
    kill -0 "$prog" 2>/dev/null || die "$* ended at start: $(tail -n 5 "$run/stderr")"
    record "$who" "threads-$suffix" "$(threads)"
    sleep_until 5
    record "$who" "pss-$suffix" "$(pss_mib)"
    record "$who" "rss-$suffix" "$(rss_mib)"
    record "$who" "dirty-$suffix" "$(dirty_mib)"
    record "$who" "others-$suffix" "$(qt_sharers "$prog")"
    if [ "$with_idle" = 1 ]; then
        c0="$(switches)" t0="$(cpu_ticks)"
        sleep_until $((5 + idle))
        c1="$(switches)" t1="$(cpu_ticks)"
        record "$who" "switches-$suffix" "$(((c1 - c0) * 60 / idle))"
        record "$who" "cpu-$suffix" "$(awk -v a="$t0" -v b="$t1" -v hz="$ticks_per_s" -v s="$idle" \
            'BEGIN {printf "%.3f\n", (b - a) / hz * 60 / s}')"
    fi
    stop
}

# Milliseconds since the epoch of an ISO time (UTC).
epoch_ms() { date -u -d "$1" +%s%3N; }

# One alarm ahead of a hidden program: its lateness at each step.
measure_lateness()
{
    local due due_ms i line t
    new_run
    due=$(($(date +%s) + 5))
    small_list "$run/list.zmb" "$due" wakeup "Lateness" "Lateness check"
    due_ms=$((due * 1000))
    run_env=(QT_LOGGING_RULES="zembra.timer.info=true;zembra.alert.info=true"
        QT_MESSAGE_PATTERN="%{time yyyy-MM-ddTHH:mm:ss.zzz} %{category} %{message}")
    launch --follow -- "${z[@]}" --hidden "$run/list.zmb"
    run_env=()
    for i in $(seq 600); do
        grep -q 'zembra.alert pop-up:' "$run/stderr" && grep -q '^paint' "$run/clock" && break
        kill -0 "$prog" 2>/dev/null || break
        sleep 0.02
    done
    sleep 0.5
    stop
    line="$(awk '$2 == "display-on" {print $1; exit}' "$run/power.log" 2>/dev/null || true)"
    [ -z "$line" ] || record zembra late-carried $(($(epoch_ms "$line") - due_ms))
    # The first line of the timer after the due moment: the re-arming after the firing pass.
    for t in $(awk '$2 == "zembra.timer" {print $1}' "$run/stderr"); do
        t="$(epoch_ms "$t")"
        if [ "$t" -ge "$due_ms" ]; then
            record zembra late-pass $((t - due_ms))
            break
        fi
    done
    line="$(awk '$2 == "zembra.alert" && $3 == "pop-up:" {print $1; exit}' "$run/stderr")"
    [ -z "$line" ] || record zembra late-popup $(($(epoch_ms "$line") - due_ms))
    line="$(awk -v due="$due" '$1 == "map" && $3 >= due {printf "%d\n", ($3 - due) * 1000; exit}' "$run/clock")"
    [ -z "$line" ] || record zembra late-map "$line"
    line="$(awk -v due="$due" '$1 == "paint" && $3 >= due {printf "%d\n", ($3 - due) * 1000; exit}' "$run/clock")"
    [ -z "$line" ] || record zembra late-paint "$line"
}

# ---- the runs ----

load_before="$(uptime)"
sharers_before="$(qt_sharers)"
echo "measure-desktop: $runs runs of each measurement, idle intervals of $idle s; this takes about $((runs * (5 * idle + 51) / 60 + 1)) minutes" >&2

# Unmeasured: fill the caches for both.
new_run
small_list "$run/list.zmb"
launch --timeout 20 -- "${z[@]}" "$run/list.zmb"
window_times >/dev/null || die "no window of $zembra was painted: $(tail -n 5 "$run/stderr")"
sleep 2
stop
new_run
launch --timeout 20 -- "$reference" 3
window_times >/dev/null || die "no window of $reference was painted: $(tail -n 5 "$run/stderr")"
stop

for round in $(seq "$runs"); do
    echo "measure-desktop: round $round of $runs" >&2
    new_run
    small_list "$run/list.zmb"
    measure zembra 1 1 -- "${z[@]}" "$run/list.zmb"
    new_run
    measure reference 1 1 -- "$reference" 3
    new_run
    small_list "$run/list.zmb"
    measure zembra 0 1 -- "${z[@]}" --hidden "$run/list.zmb"
    new_run
    measure reference 0 1 -- "$reference" --hidden 3
    new_run
    small_list "$run/list.zmb" $(($(date +%s) + 290)) standby "Countdown" "Going to sleep"
    measure zembra-countdown 1 1 -- "${z[@]}" "$run/list.zmb"
    new_run
    measure zembra-large 1 0 -- "${z[@]}" "$work/large.zmb"
    new_run
    measure reference-large 1 0 -- "$reference" 10000
    measure_lateness
done
load_after="$(uptime)"
sharers_after="$(qt_sharers)"

# ---- the tables ----

# The median of WHO's WHAT, or nothing.
median()
{
    awk -v who="$1" -v what="$2" '$1 == who && $2 == what {print $3}' "$results" | sort -g \
        | awk '{a[NR] = $1} END {if (NR == 0) exit; if (NR % 2) print a[(NR + 1) / 2]; else print (a[NR / 2] + a[NR / 2 + 1]) / 2}'
}
# The median PSS of WHO's runs in state $2 (hidden, shown) while no other process mapped Qt,
# with the number of such runs: "PSS (N)", or "n/a".
pss_alone()
{
    awk -v who="$1" -v pss="pss-$2" -v others="others-$2" \
        '$1 == who && $2 == pss {p[++np] = $3} $1 == who && $2 == others {o[++no] = $3}
         END {for (i = 1; i <= np; i++) if (o[i] == 0) print p[i]}' "$results" | sort -g \
        | awk '{a[NR] = $1} END {if (NR == 0) {print "n/a"; exit}
                m = NR % 2 ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2; print m " (" NR ")"}'
}
values() { awk -v who="$1" -v what="$2" '$1 == who && $2 == what {printf "%s%s", sep, $3; sep = ", "}' "$results"; }
seconds() { [ -z "$1" ] && echo "n/a" || awk -v v="$1" 'BEGIN {printf "%.3f s", v / 1000}'; }
ratio() { [ -z "$1" ] || [ -z "$2" ] && echo "n/a" || awk -v a="$1" -v b="$2" 'BEGIN {printf (b > 0 ? "%.2f" : "n/a"), a / b}'; }
difference() { [ -z "$1" ] || [ -z "$2" ] && echo "n/a" || awk -v a="$1" -v b="$2" 'BEGIN {printf "%.1f", a - b}'; }
or_na() { [ -n "$1" ] && echo "$1" || echo "n/a"; }
idle_cell() { [ -z "$(median "$1" "switches-$2")" ] && echo "n/a" || printf '%s (%s s CPU)' "$(median "$1" "switches-$2")" "$(median "$1" "cpu-$2")"; }

z_map="$(median zembra map)" r_map="$(median reference map)"
z_paint="$(median zembra paint)" r_paint="$(median reference paint)"
z_ph="$(median zembra pss-hidden)" r_ph="$(median reference pss-hidden)"
z_ps="$(median zembra pss-shown)" r_ps="$(median reference pss-shown)"
zl_map="$(median zembra-large map)" rl_map="$(median reference-large map)"
zl_paint="$(median zembra-large paint)" rl_paint="$(median reference-large paint)"
zl_pss="$(median zembra-large pss-shown)" rl_pss="$(median reference-large pss-shown)"

cat <<EOF
Zembra: $zembra
Reference: $reference
Load before: ${load_before# }; other processes mapping Qt: $sharers_before
Load after: ${load_after# }; other processes mapping Qt: $sharers_after

| Measure (median of $runs) | Zembra | bare Qt reference | ratio |
|---|---|---|---|
| start to window mapped | $(seconds "$z_map") | $(seconds "$r_map") | $(ratio "$z_map" "$r_map") |
| start to window painted | $(seconds "$z_paint") | $(seconds "$r_paint") | $(ratio "$z_paint" "$r_paint") |
| memory PSS, hidden / shown (see "others" below) | $(or_na "$z_ph") / $(or_na "$z_ps") MiB | $(or_na "$r_ph") / $(or_na "$r_ps") MiB | $(ratio "$z_ph" "$r_ph") / $(ratio "$z_ps" "$r_ps") |
| memory PSS, hidden / shown, runs with no other Qt process (how many) | $(pss_alone zembra hidden) / $(pss_alone zembra shown) MiB | $(pss_alone reference hidden) / $(pss_alone reference shown) MiB | |
| memory RSS, hidden / shown | $(or_na "$(median zembra rss-hidden)") / $(or_na "$(median zembra rss-shown)") MiB | $(or_na "$(median reference rss-hidden)") / $(or_na "$(median reference rss-shown)") MiB | $(ratio "$(median zembra rss-hidden)" "$(median reference rss-hidden)") / $(ratio "$(median zembra rss-shown)" "$(median reference rss-shown)") |
| memory Private_Dirty, hidden / shown | $(or_na "$(median zembra dirty-hidden)") / $(or_na "$(median zembra dirty-shown)") MiB | $(or_na "$(median reference dirty-hidden)") / $(or_na "$(median reference dirty-shown)") MiB | $(ratio "$(median zembra dirty-hidden)" "$(median reference dirty-hidden)") / $(ratio "$(median zembra dirty-shown)" "$(median reference dirty-shown)") |
| threads at start, hidden / shown | $(or_na "$(median zembra threads-hidden)") / $(or_na "$(median zembra threads-shown)") | $(or_na "$(median reference threads-hidden)") / $(or_na "$(median reference threads-shown)") | |
| idle context switches per minute, hidden | $(idle_cell zembra hidden) | $(idle_cell reference hidden) | |
| idle context switches per minute, window shown (the status panel's countdown running) | $(idle_cell zembra shown) | $(idle_cell reference shown) | |
| idle context switches per minute, window shown, power countdown running | $(idle_cell zembra-countdown shown) | | |
| memory PSS, window shown, power countdown running | $(or_na "$(median zembra-countdown pss-shown)") MiB | | |
| 10,000-alarm list: start to window mapped | $(seconds "$zl_map") | $(seconds "$rl_map") | $(ratio "$zl_map" "$rl_map") |
| 10,000-alarm list: start to window painted | $(seconds "$zl_paint") | $(seconds "$rl_paint") | $(ratio "$zl_paint" "$rl_paint") |
| 10,000-alarm list: PSS above the three-alarm list, shown | $(difference "$zl_pss" "$z_ps") MiB | $(difference "$rl_pss" "$r_ps") MiB | |
| 10,000-alarm list: PSS / RSS / Private_Dirty | $(or_na "$zl_pss") / $(or_na "$(median zembra-large rss-shown)") / $(or_na "$(median zembra-large dirty-shown)") MiB | $(or_na "$rl_pss") / $(or_na "$(median reference-large rss-shown)") / $(or_na "$(median reference-large dirty-shown)") MiB | $(ratio "$zl_pss" "$rl_pss") / $(ratio "$(median zembra-large rss-shown)" "$(median reference-large rss-shown)") / $(ratio "$(median zembra-large dirty-shown)" "$(median reference-large dirty-shown)") |

Firing lateness of one-time alarms (ms after the due moment, logs to the millisecond; median,
then each run):

| Step | median | runs |
|---|---|---|
| carried out (simulated power log "display-on", alerter thread) | $(or_na "$(median zembra late-carried)") | $(values zembra late-carried) |
| firing pass done (zembra.timer re-arming line, user-interface thread) | $(or_na "$(median zembra late-pass)") | $(values zembra late-pass) |
| pop-up asked for (zembra.alert "pop-up:" line; 2000 by design) | $(or_na "$(median zembra late-popup)") | $(values zembra late-popup) |
| pop-up window mapped | $(or_na "$(median zembra late-map)") | $(values zembra late-map) |
| pop-up first pixels | $(or_na "$(median zembra late-paint)") | $(values zembra late-paint) |

Each run (ms, MiB, switches and CPU seconds per minute; others: other processes mapping Qt
when the memory was read):

| Program | Measure | runs |
|---|---|---|
EOF
awk '{print $1, $2}' "$results" | grep -v ' late-' | awk '!seen[$0]++' | while read -r who what; do
    echo "| $who | $what | $(values "$who" "$what") |"
done
