#!/usr/bin/env python3
"""Start-up to the main window shown, Strovane against a bare Qt window, in one run.

Each program is started RUNS times (alternating) in a fresh folder with
STROVANE_QUIT_AFTER_SHOW=1, so it quits as soon as its window has been shown.
Reports the median wall time and the peak resident memory of each, and the ratios.
Usage: startup.py STROVANE_EXE BARE_EXE [RUNS]
"""
import os
import shutil
import statistics
import sys
import tempfile
import time


def run_once(exe, workdir):
    env = dict(os.environ, STROVANE_QUIT_AFTER_SHOW="1")
    env.setdefault("QT_QPA_PLATFORM", "offscreen")
    start = time.perf_counter()
    pid = os.spawnve(os.P_NOWAIT, exe, [exe], env)
    _, status, usage = os.wait4(pid, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{exe} failed with status {status}")
    return elapsed, usage.ru_maxrss  # seconds, KiB


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 30
    results = {}
    with tempfile.TemporaryDirectory() as tmp:
        exes = {}
        for name, src in (("strovane", sys.argv[1]), ("bare", sys.argv[2])):
            folder = os.path.join(tmp, name)
            os.mkdir(folder)
            exes[name] = shutil.copy(src, folder)  # the workspace folders land beside the copy
            results[name] = ([], [])
        for name in exes:  # warm the caches once
            run_once(exes[name], tmp)
        for _ in range(runs):
            for name, exe in exes.items():
                t, rss = run_once(exe, tmp)
                results[name][0].append(t)
                results[name][1].append(rss)
    s_t, b_t = (statistics.median(results[n][0]) * 1000 for n in ("strovane", "bare"))
    s_m, b_m = (max(results[n][1]) / 1024 for n in ("strovane", "bare"))
    print(f"runs: {runs} each, platform {os.environ.get('QT_QPA_PLATFORM', 'offscreen')}")
    print(f"start-up median: strovane {s_t:.1f} ms, bare window {b_t:.1f} ms, ratio {s_t / b_t:.2f} (goal <= 1.5)")
    print(f"peak memory:     strovane {s_m:.1f} MiB, bare window {b_m:.1f} MiB, ratio {s_m / b_m:.2f} (goal <= 1.3)")


if __name__ == "__main__":
    main()
