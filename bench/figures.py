#!/usr/bin/python3
"""The program's figures on this machine, one table: frame times of --benchmark-pan and
--benchmark-zoom, the CPU share of a still window, start-up to the first frame and peak memory
(start-up and self-test), per renderer.

    bench/figures.py [--binary build/korvan.bin] [--against OTHER/korvan.bin] [--runs 5]

With --against, both programs run in turn, run by run, and a column gives the ratio. Headless
(offscreen video). Renderers: "software" is SDL_RENDER_DRIVER=software, "default" is whatever the
program picks without the variable, "opengl" forces SDL's OpenGL renderer.

Start-up is measured cold (an empty cache folder: the world is derived and the cache written, as on
the first start after a change of the data or the program) and warm (the cache filled, as on every
later start); the self-test's peak is taken cold, its worst case. Every run has a cache folder of
its own in a scratch directory, never the user's.
"""
import argparse
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

RENDERERS = {"software": "software", "default": None, "opengl": "opengl"}
SCALES = ("0.1", "4", "18")


def environment(renderer, cache):
    env = dict(os.environ)
    env.pop("SDL_RENDER_DRIVER", None)
    env["XDG_CACHE_HOME"] = cache
    env.setdefault("SDL_VIDEODRIVER", "offscreen")
    env.setdefault("SDL_AUDIODRIVER", "dummy")
    if RENDERERS[renderer]:
        env["SDL_RENDER_DRIVER"] = RENDERERS[renderer]
    return env


def run_measured(binary, arguments, renderer, cache):
    """Runs to the end with the cache folder given; returns (seconds, peak resident MB, stdout)."""
    with tempfile.TemporaryFile() as out:
        start = time.perf_counter()
        child = subprocess.Popen([binary, *arguments], env=environment(renderer, cache), stdout=out,
                                 stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
        _, status, usage = os.wait4(child.pid, 0)
        seconds = time.perf_counter() - start
        if os.waitstatus_to_exitcode(status) != 0:
            sys.exit(f"{binary} {' '.join(arguments)} failed with {os.waitstatus_to_exitcode(status)}")
        out.seek(0)
        return seconds, usage.ru_maxrss / 1024.0, out.read().decode()


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def idle_share(binary, renderer, cache, display=None, settle=8.0, window=5.0):
    """Percent of one core a still window uses, after settle seconds for the start. On an X display
    when given: SDL's offscreen driver has no way to sleep until an event and looks every millisecond."""
    env = environment(renderer, cache)
    if display:
        env.update(SDL_VIDEODRIVER="x11", DISPLAY=display)
    child = subprocess.Popen([binary], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                             stdin=subprocess.DEVNULL)
    try:
        time.sleep(settle)
        before = cpu_seconds(child.pid)
        start = time.perf_counter()
        time.sleep(window)
        used = cpu_seconds(child.pid) - before
        return 100.0 * used / (time.perf_counter() - start)
    finally:
        child.send_signal(signal.SIGKILL)
        child.wait()


class VirtualDisplay:
    """An Xvfb server for the idle figure when Xvfb is installed; display is None otherwise."""

    def __enter__(self):
        self.server = None
        self.display = None
        if shutil.which("Xvfb"):
            for number in range(90, 100):
                if not os.path.exists(f"/tmp/.X11-unix/X{number}") and not os.path.exists(f"/tmp/.X{number}-lock"):
                    self.server = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "1600x1000x24"],
                                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                    time.sleep(1.0)
                    if self.server.poll() is None:
                        self.display = f":{number}"
                    break
        return self

    def __exit__(self, *_):
        if self.server and self.server.poll() is None:
            self.server.terminate()
            self.server.wait()


def frame_times(binary, kind, renderer, cache):
    _, _, out = run_measured(binary, [f"--benchmark-{kind}"], renderer, cache)
    found = dict(re.findall(r"(?:ZOOM at|PAN zoom) ([\d.]+): ([\d.]+) ms/frame", out))
    return [float(found[s]) for s in SCALES]


def figures(binary, renderers, scratch, display):
    """One run's worth of every figure: name -> value."""
    values = {}
    shot = os.path.join(scratch, "first.bmp")
    for renderer in renderers:
        cold = tempfile.mkdtemp(dir=scratch)
        seconds, peak, _ = run_measured(binary, ["--screenshot", shot], renderer, cold)
        values[("start-up cold ms", renderer)] = seconds * 1000
        values[("start-up cold peak MB", renderer)] = peak
        warm = cold  # filled by the cold start
        seconds, peak, _ = run_measured(binary, ["--screenshot", shot], renderer, warm)
        values[("start-up warm ms", renderer)] = seconds * 1000
        values[("start-up warm peak MB", renderer)] = peak
        _, peak, _ = run_measured(binary, ["--smoke-test"], renderer, tempfile.mkdtemp(dir=scratch))
        values[("self-test cold peak MB", renderer)] = peak
        for kind in ("pan", "zoom"):
            for scale, ms in zip(SCALES, frame_times(binary, kind, renderer, warm)):
                values[(f"{kind} {scale} ms/frame", renderer)] = ms
        values[("still window % core", renderer)] = idle_share(binary, renderer, warm, display)
    return values


def summarise(samples, key):
    """Frame times and start-up: the median; memory: the largest; idle: the median."""
    values = [s[key] for s in samples]
    return max(values) if "MB" in key[0] else statistics.median(values)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", default="build/korvan.bin")
    parser.add_argument("--against", help="a second build, measured in turn with the first")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--renderers", default="software,default,opengl")
    args = parser.parse_args()
    renderers = args.renderers.split(",")
    if args.runs < 1 or any(r not in RENDERERS for r in renderers):
        parser.error("--runs must be at least 1, --renderers a list of " + ",".join(RENDERERS))
    binaries = [args.binary] + ([args.against] if args.against else [])
    samples = {b: [] for b in binaries}
    load_before = os.getloadavg()
    with tempfile.TemporaryDirectory() as scratch, VirtualDisplay() as x:
        run_measured(args.binary, ["--screenshot", os.path.join(scratch, "warm.bmp")], "software",
                     tempfile.mkdtemp(dir=scratch))
        for _ in range(args.runs):
            for binary in binaries:
                samples[binary].append(figures(binary, renderers, scratch, x.display))
    keys = list(samples[args.binary][0])
    header = f"{'figure':<24}{'renderer':<10}{'this':>10}"
    if args.against:
        header += f"{'against':>10}{'ratio':>8}"
    print(header)
    for key in keys:
        mine = summarise(samples[args.binary], key)
        line = f"{key[0]:<24}{key[1]:<10}{mine:>10.1f}"
        if args.against:
            other = summarise(samples[args.against], key)
            line += f"{other:>10.1f}{(mine / other if other else float('nan')):>8.2f}"
        print(line)
    load_after = os.getloadavg()
    where = "Xvfb" if x.display else "the offscreen driver"
    print(f"still window on {where}; {args.runs} runs each; "
          f"load average {load_before[0]:.2f} before, {load_after[0]:.2f} after")


if __name__ == "__main__":
    main()
