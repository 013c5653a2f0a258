#!/usr/bin/python3
"""Start-up time of korvan.bin on the shipped world: from exec to the first frame written as a
screenshot and the program's exit, run several times, median and peak memory reported, cold and warm.

    bench/startup_time.py [--binary build/korvan.bin] [--runs 9]

Cold: every run with an empty cache folder, so the world is derived and the cache written (the first
start after a change of the data or the program). Warm: the cache filled (every later start). The
cache folders are scratch directories, never the user's. Headless (offscreen video, software renderer
unless SDL_RENDER_DRIVER says otherwise).
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time


def run_once(binary, screenshot, cache):
    env = dict(os.environ)
    env["XDG_CACHE_HOME"] = cache
    env.setdefault("SDL_VIDEODRIVER", "offscreen")
    env.setdefault("SDL_RENDER_DRIVER", "software")
    env.setdefault("SDL_AUDIODRIVER", "dummy")
    start = time.perf_counter()
    child = subprocess.Popen([binary, "--screenshot", screenshot], env=env,
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(child.pid, 0)
    seconds = time.perf_counter() - start
    errors = child.stderr.read().decode(errors="replace")
    child.stderr.close()
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"korvan.bin failed:\n{errors}")
    return seconds, usage.ru_maxrss / 1024.0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", default="build/korvan.bin")
    parser.add_argument("--runs", type=int, default=9)
    args = parser.parse_args()
    if args.runs < 1:
        parser.error("--runs must be at least 1")
    with tempfile.TemporaryDirectory() as scratch:
        screenshot = os.path.join(scratch, "first-frame.bmp")
        warm = os.path.join(scratch, "warm-cache")
        run_once(args.binary, screenshot, warm)  # warms the file cache and fills the warm folder
        results = {"cold": [], "warm": []}
        for _ in range(args.runs):  # in turn, so both see the same load
            results["cold"].append(run_once(args.binary, screenshot, tempfile.mkdtemp(dir=scratch)))
            results["warm"].append(run_once(args.binary, screenshot, warm))
    load = os.getloadavg()
    for kind, runs in results.items():
        times = sorted(seconds for seconds, _ in runs)
        peak = max(megabytes for _, megabytes in runs)
        print(f"start-up to first frame, {kind} cache, {args.runs} runs: median {statistics.median(times) * 1000:.0f} ms, "
              f"fastest {times[0] * 1000:.0f} ms, slowest {times[-1] * 1000:.0f} ms; peak memory {peak:.0f} MB")
    print(f"load average {load[0]:.2f}")


if __name__ == "__main__":
    main()
