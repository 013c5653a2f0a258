#!/usr/bin/python3
"""Start-up time of korvan.bin on the shipped world: from exec to the first frame written as a
screenshot and the program's exit, run several times, median and peak memory reported.

    bench/startup_time.py [--binary build/korvan.bin] [--runs 9]

Headless (offscreen video, software renderer unless SDL_RENDER_DRIVER says otherwise).
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time


def run_once(binary, screenshot):
    env = dict(os.environ)
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
        run_once(args.binary, screenshot)  # warms the file cache
        results = [run_once(args.binary, screenshot) for _ in range(args.runs)]
    times = sorted(seconds for seconds, _ in results)
    peak = max(megabytes for _, megabytes in results)
    load = os.getloadavg()
    print(f"start-up to first frame, {args.runs} runs: median {statistics.median(times) * 1000:.0f} ms, "
          f"fastest {times[0] * 1000:.0f} ms, slowest {times[-1] * 1000:.0f} ms; "
          f"peak memory {peak:.0f} MB; load average {load[0]:.2f}")


if __name__ == "__main__":
    main()
