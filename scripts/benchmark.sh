#!/usr/bin/env bash
# Usage: scripts/benchmark.sh [EARLIER_PROGRAM]
# Builds the bench preset, runs every speed measurement and prints one markdown table with the
# machine it ran on. Needs only what scripts/deps.sh installs; takes a few minutes at most.
# EARLIER_PROGRAM, a velmora binary of an earlier build (copy it out of build/bench first), is
# started in the same rounds as this build, so before and after come from one run on one load.
set -euo pipefail

earlier="${1:-}"
if [[ -n "$earlier" ]]; then
    earlier="$(realpath "$earlier")"
    [[ -x "$earlier" ]] || { echo "benchmark: $earlier is not a program" >&2; exit 2; }
fi

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
build="$root/build/bench"
startup_runs=15
key_presses=1000

log() { echo "benchmark: $*" >&2; }

scripts/deps.sh >&2
cmake --preset bench >/dev/null
# Only what is measured: the tests and the help file add nothing here.
cmake --build --preset bench --target engine_bench catalog_bench catalog_load_peak window_bench \
    ui_bench empty_dialog text_dialog measured_run velmora >&2

work="$(mktemp -d "${TMPDIR:-/tmp}/velmora-bench.XXXXXX")"
xvfb_pid=""
app_pid=""
cleanup() {
    if [[ -n "$app_pid" ]]; then kill "$app_pid" 2>/dev/null || true; fi
    if [[ -n "$xvfb_pid" ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

log "engine against muparser"
"$build/bench/engine_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_out="$work/engine.json" --benchmark_out_format=json >&2

log "catalog load"
"$build/bench/catalog_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_out="$work/catalog.json" --benchmark_out_format=json >&2

log "peak memory of the 100,000-line load"
"$build/bench/catalog_load_peak" --write 100000 "$work/conv-100000.txt"
# A fresh process, so nothing but the load raises its peak.
"$build/bench/catalog_load_peak" "$work/conv-100000.txt" | tee "$work/peak.txt" >&2

log "key press to result"
mkdir -p "$work/runtime"
chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
QT_QPA_PLATFORM=offscreen "$build/bench/window_bench" "$root/data/conv.txt" "$key_presses" \
    | tee "$work/keys.txt" >&2

# The catalogs that start-up is measured on: the delivered one and three shapes that users build.
mkdir -p "$work/catalogs"
cp "$root/data/conv.txt" "$work/catalogs/delivered.txt"
python3 - "$work/catalogs" <<'PY'
import sys
folder = sys.argv[1]
def write(name, lines):
    with open(f"{folder}/{name}.txt", "w", newline="") as out:
        out.writelines(lines)
write("lines100k", (f"Category {c}|Unit {s} to Base|Unit {s}|Base|x*{s + 1}\r\n"
                    for c in range(50) for s in range(2000)))
write("sources10k", (f"Category|Unit {s} to Base|Unit {s}|Base|x*{s + 1}\r\n"
                     for s in range(10000)))
write("categories5k", (f"Category {c}|Unit {c} to Base|Unit {c}|Base|x*{c + 1}\r\n"
                       for c in range(5000)))
PY

log "heap the loaded catalog keeps, per line"
for name in delivered lines100k sources10k categories5k; do
    # A fresh process each, so the heap holds nothing but the catalog.
    "$build/bench/catalog_load_peak" "$work/catalogs/$name.txt" >"$work/heap-$name.txt"
done

log "Options and tab change with 5,000 categories"
QT_QPA_PLATFORM=offscreen "$build/bench/ui_bench" "$work/catalogs/categories5k.txt" 20 \
    2>/dev/null | tee "$work/ui.txt" >&2

log "start-up to window shown"
# A display of our own, on a number nobody else holds. Without -noreset the server resets each
# time its last client leaves, and every xdotool look is such a client: a start could then fail.
display=""
for n in $(seq 140 240); do
    [[ -e "/tmp/.X$n-lock" || -e "/tmp/.X11-unix/X$n" ]] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
        if DISPLAY=":$n" xdotool getdisplaygeometry >/dev/null 2>&1; then
            display=":$n"
            break
        fi
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    [[ -n "$display" ]] && break
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
done
if [[ -z "$display" ]]; then
    log "could not start Xvfb"
    exit 1
fi
export DISPLAY="$display"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

# Each working folder holds one catalog and nothing else, as on a first start. The two floors are
# an empty dialog and one that draws a caption, a three-item list and an input.
startups=(floor text delivered lines100k sources10k categories5k)
for name in "${startups[@]:2}"; do
    mkdir -p "$work/startup-$name"
    cp "$work/catalogs/$name.txt" "$work/startup-$name/conv.txt"
done
mkdir -p "$work/startup-floor" "$work/startup-text"

shown() { xdotool search --onlyvisible --name '^Velmora$' >/dev/null 2>&1; }

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null; }

# The resident set of a shown program once it has gone idle: no processor time used over three
# looks 50 ms apart (a tick is 10 ms), or five seconds at most.
idle_rss_kb() {
    local pid=$1 previous="" now same=0
    for _ in $(seq 100); do
        now=$(cpu_ticks "$pid")
        if [[ -n "$now" && "$now" == "$previous" ]]; then
            same=$((same + 1))
            ((same >= 3)) && break
        else
            same=0
        fi
        previous=$now
        sleep 0.05
    done
    awk '/^VmRSS:/ {print $2}' "/proc/$pid/status"
}

# One start: the time from starting the program in its folder to its window being shown.
# xdotool's own --sync waits half a second between looks; asking again at once instead makes the
# figure accurate to one look, whose cost is measured and reported beside it. Then the memory
# once idle, and the processor time the program used up to then, which the load of the machine
# changes far less than the time on the clock.
start_once() {
    local name=$1 program=$2 polls=0 start end
    for _ in $(seq 100); do shown || break; sleep 0.05; done
    rm -f "$work/startup-$name/conv.ini" "$work/run.txt"
    start=$EPOCHREALTIME
    (cd "$work/startup-$name" && exec "$build/bench/measured_run" "$work/run.txt" "$program") \
        >>"$work/velmora.log" 2>&1 &
    app_pid=$!
    until shown; do
        polls=$((polls + 1))
        if ! kill -0 "$app_pid" 2>/dev/null || ((polls > 20000)); then
            log "$name did not show its window; its output:"
            cat "$work/velmora.log" >&2
            exit 1
        fi
    done
    end=$EPOCHREALTIME
    last_rss=$(idle_rss_kb "$(sed -n 's/^pid=//p' "$work/run.txt")")
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=""
    last_startup="$start $end $last_rss $(sed -n 's/^cpu_ms=//p' "$work/run.txt")"
}

# The starts take turns, so the floors are measured under the same conditions as each catalog;
# the first round fills the caches and is not counted.
: >"$work/startup.txt"
load_before="$(cut -d' ' -f1-3 /proc/loadavg)"
for run in $(seq 0 "$startup_runs"); do
    for name in "${startups[@]}"; do
        program="$build/velmora"
        [[ $name == floor ]] && program="$build/bench/empty_dialog"
        [[ $name == text ]] && program="$build/bench/text_dialog"
        start_once "$name" "$program"
        if ((run > 0)); then echo "$name $last_startup" >>"$work/startup.txt"; fi
        if [[ -n "$earlier" && $name != floor && $name != text ]]; then
            start_once "$name" "$earlier"
            if ((run > 0)); then echo "earlier-$name $last_startup" >>"$work/startup.txt"; fi
        fi
    done
done
look_start=$EPOCHREALTIME
for _ in $(seq 20); do shown || true; done
look_end=$EPOCHREALTIME
echo "$look_start $look_end" >"$work/look.txt"

kill "$xvfb_pid" 2>/dev/null || true
wait "$xvfb_pid" 2>/dev/null || true
xvfb_pid=""

cpu="$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)"
cores="$(nproc)"
ram_kb="$(awk '/^MemTotal:/ {print $2}' /proc/meminfo)"
os="$(. /etc/os-release && echo "${PRETTY_NAME:-$NAME}")"
load="$(cut -d' ' -f1-3 /proc/loadavg)"

WORK="$work" CPU="$cpu" CORES="$cores" RAM_KB="$ram_kb" OS="$os" LOAD="$load" \
    LOAD_BEFORE="$load_before" \
    KERNEL="$(uname -r)" KEY_PRESSES="$key_presses" STARTUP_RUNS="$startup_runs" \
    python3 - <<'PY'
import json, os, re, statistics
from datetime import datetime, timezone

work = os.environ["WORK"]

def medians(path):
    with open(path) as f:
        data = json.load(f)
    return {b["run_name"]: b for b in data["benchmarks"] if b.get("aggregate_name") == "median"}

def fields(path):
    with open(path) as f:
        return dict(re.findall(r'(\w+)=("[^"]*"|\S+)', f.read()))

engine = medians(f"{work}/engine.json")
ours = engine["ConversionEvaluate"]["items_per_second"]
text_only = engine["EvaluateFormulaOnWorkingText"]["items_per_second"]
theirs = engine["MuparserSetExprEval"]["items_per_second"]

catalog = medians(f"{work}/catalog.json")
peak = fields(f"{work}/peak.txt")
keys = fields(f"{work}/keys.txt")
ui = fields(f"{work}/ui.txt")

startups = {}
idle_mib = {}
cpu_ms = {}
with open(f"{work}/startup.txt") as f:
    for name, a, b, rss, cpu in (line.split() for line in f):
        startups.setdefault(name, []).append((float(b) - float(a)) * 1000)
        idle_mib.setdefault(name, []).append(int(rss) / 1024)
        cpu_ms.setdefault(name, []).append(float(cpu))
with open(f"{work}/look.txt") as f:
    a, b = f.read().split()
    look_ms = (float(b) - float(a)) * 1000 / 20

def rate(per_second):
    return f"{per_second / 1e6:.2f} M/s"

rows = [
    ("Engine: `Conversion::evaluate` (put x in, parse, compute)", rate(ours),
     "12 catalog formulas x 10 inputs, median of 5"),
    ("Engine alone on the prepared text", rate(text_only), "same cases, x already in place"),
    ("muparser `SetExpr` + `Eval` on the same text", rate(theirs), "same cases, same run"),
    ("Ratio ours / muparser", f"{ours / theirs:.2f}x",
     f"engine alone: {text_only / theirs:.2f}x"),
]
for lines in (1000, 10000, 100000):
    b = catalog[f"CatalogLoad/{lines}"]
    ms = b["real_time"]  # reported in milliseconds
    rows.append((f"Catalog load, {lines:,} lines", f"{ms:.2f} ms",
                 f"50 categories; {b['items_per_second'] / 1e6:.2f} M lines/s, median of 3"))
peak_mib = int(peak["peak_rss_kb"]) / 1024
before_mib = int(peak["before_load_kb"]) / 1024
rows.append(("Peak memory, 100,000-line load", f"{peak_mib:.1f} MiB",
             f"peak RSS of the whole process; {before_mib:.1f} MiB before the load"))
rows.append(("Key press to result, median", f"{float(keys['median_us']):.1f} µs",
             f"{keys['presses']} presses on the delivered catalog, digit and Backspace"))
rows.append(("Key press to result, p95", f"{float(keys['p95_us']):.1f} µs", "offscreen platform"))
rows.append(("Options opening, 5,000 categories", f"{float(ui['options_ms']):.1f} ms",
             "menu command to the list painted, median of 20; offscreen platform"))
rows.append(("Tab change, 5,000 categories", f"{float(ui['tab_change_ms']):.1f} ms",
             "arrow key in the tab strip to the window painted again, median of 40"))
floors = {"floor": "the empty dialog", "text": "the text dialog"}
floor = {name: statistics.median(startups[name]) for name in floors}
floor_mib = {name: statistics.median(idle_mib[name]) for name in floors}
rows.append(("Start-up floor: empty dialog, median", f"{floor['floor']:.0f} ms",
             f"an empty Qt dialog of the same caption and size; {len(startups['floor'])} runs, "
             f"{min(startups['floor']):.0f}–{max(startups['floor']):.0f} ms; "
             f"one look with xdotool takes {look_ms:.1f} ms"))
rows.append(("Start-up floor: text dialog, median", f"{floor['text']:.0f} ms",
             "the same dialog drawing a caption, a three-item list and an input; "
             f"{len(startups['text'])} runs, {min(startups['text']):.0f}–{max(startups['text']):.0f} ms"))
floor_cpu = {name: statistics.median(cpu_ms[name]) for name in floors}
rows.append(("Processor time to idle, floors: empty dialog, text dialog",
             f"{floor_cpu['floor']:.1f} / {floor_cpu['text']:.1f} ms",
             "user and system time of all threads from the start until the shown window is idle, "
             "median"))
rows.append(("Idle memory floors: empty dialog, text dialog",
             f"{floor_mib['floor']:.1f} / {floor_mib['text']:.1f} MiB",
             "resident set once the shown window has gone idle, median"))
catalogs = (("delivered", "delivered catalog"),
            ("lines100k", "100,000 lines, 50 categories of 2,000 source units"),
            ("sources10k", "one category of 10,000 source units"),
            ("categories5k", "5,000 categories of one line"))
def earlier(name, text):
    return f"; the earlier build: {text(f'earlier-{name}')}" if f"earlier-{name}" in startups else ""

def startup_ratios(name):
    median = statistics.median(startups[name])
    return f"{median:.0f} ms, " + ", ".join(f"{median / floor[f]:.2f}x {floors[f]}" for f in floors)

def cpu_over(name):
    ms = statistics.median(cpu_ms[name])
    return f"{ms:.1f} ms, " + ", ".join(f"{ms - floor_cpu[f]:+.1f} ms over {floors[f]}"
                                        for f in floors)

def memory_over(name):
    mib = statistics.median(idle_mib[name])
    return f"{mib:.1f} MiB, " + ", ".join(f"{mib - floor_mib[f]:+.1f} MiB over {floors[f]}"
                                          for f in floors)

for name, what in catalogs:
    times = startups[name]
    median = statistics.median(times)
    ratios = ", ".join(f"{median / floor[f]:.2f}x {floors[f]}" for f in floors)
    rows.append((f"Start-up to window shown, {what}", f"{median:.0f} ms",
                 f"{ratios}; {len(times)} runs under Xvfb, {min(times):.0f}–{max(times):.0f} ms"
                 + earlier(name, startup_ratios)))
for name, what in catalogs:
    ms = statistics.median(cpu_ms[name])
    over = ", ".join(f"{ms - floor_cpu[f]:+.1f} ms over {floors[f]}" for f in floors)
    rows.append((f"Processor time to idle, {what}", f"{ms:.1f} ms", over + earlier(name, cpu_over)))
for name, what in catalogs:
    mib = statistics.median(idle_mib[name])
    over = ", ".join(f"{mib - floor_mib[f]:+.1f} MiB over {floors[f]}" for f in floors)
    rows.append((f"Idle memory, {what}", f"{mib:.1f} MiB", over + earlier(name, memory_over)))
for name, what in catalogs:
    heap = fields(f"{work}/heap-{name}.txt")
    lines = int(heap["lines"])
    per_line = int(heap["heap_bytes"]) / lines
    beyond = (int(heap["heap_bytes"]) - int(heap["file_bytes"])) / lines
    rows.append((f"Catalog heap per line, {what}", f"{per_line:.0f} B",
                 f"{lines:,} lines; {beyond:.0f} B a line beyond the file's own bytes; "
                 "heap in use after the load less before it"))

print("| Measure | Result | Detail |")
print("|---|---|---|")
for row in rows:
    print("| " + " | ".join(row) + " |")
print()
ram_gib = int(os.environ["RAM_KB"]) / 1024 / 1024
print(f"Machine: {os.environ['CPU']}, {os.environ['CORES']} cores, {ram_gib:.1f} GiB RAM, "
      f"{os.environ['OS']} (Linux {os.environ['KERNEL']}); load average {os.environ['LOAD_BEFORE']} "
      f"before the start-ups, {os.environ['LOAD']} after; "
      f"{datetime.now(timezone.utc).strftime('%Y-%m-%d %H:%M UTC')}.")
PY
