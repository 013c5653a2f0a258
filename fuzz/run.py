#!/usr/bin/python3
"""Runs every loader fuzz target of a KORVAN_FUZZ build for a fixed time (`make fuzz`).

Each target starts from its seeds in fuzz/corpus/<target> plus what earlier runs grew in the
scratch directory; new inputs and crash artefacts go to the scratch directory only. Prints one line
per target and exits non-zero when any target found something (crash, sanitizer report, leak,
timeout, out-of-memory).
"""

import argparse
import concurrent.futures
import os
import re
import subprocess
import sys
import tempfile
from pathlib import Path

FUZZ_DIR = Path(__file__).resolve().parent
# Inputs that take longer than this, or a process that needs more memory, are findings.
TIMEOUT_SECONDS = 25
RSS_LIMIT_MB = 2048
# Written by libFuzzer beside slow inputs; reported, but not a finding.
FINDING_PREFIXES = ("crash-", "leak-", "timeout-", "oom-")

STATS = re.compile(r"^#(\d+)\s+\w+\s+cov: (\d+) ft: \d+ corp: (\d+)/(\d+)(b|Kb|Mb)")


def run_target(binary: Path, work: Path, seconds: int) -> dict:
    name = binary.name
    corpus = work / "corpus" / name
    artefacts = work / "artefacts" / name
    corpus.mkdir(parents=True, exist_ok=True)
    artefacts.mkdir(parents=True, exist_ok=True)
    before = set(artefacts.iterdir())
    seeds = FUZZ_DIR / "corpus" / name.removeprefix("fuzz_")
    command = [str(binary), str(corpus), str(seeds), f"-dict={FUZZ_DIR / 'json.dict'}",
               f"-max_total_time={seconds}", f"-timeout={TIMEOUT_SECONDS}", f"-rss_limit_mb={RSS_LIMIT_MB}",
               f"-artifact_prefix={artefacts}/", "-print_final_stats=1"]
    log = work / f"{name}.log"
    with open(log, "w") as output:
        status = subprocess.run(command, stdout=output, stderr=subprocess.STDOUT).returncode
    text = log.read_text(errors="replace")
    executions, coverage, inputs, corpus_bytes = 0, 0, 0, "0b"
    for line in text.splitlines():
        match = STATS.match(line)
        if match:
            executions, coverage, inputs = int(match[1]), int(match[2]), int(match[3])
            corpus_bytes = match[4] + match[5]
        final = re.match(r"stat::number_of_executed_units: (\d+)", line)
        if final:
            executions = int(final[1])
    found = sorted(p for p in set(artefacts.iterdir()) - before if p.name.startswith(FINDING_PREFIXES))
    slow = sorted(p for p in set(artefacts.iterdir()) - before if p.name.startswith("slow-unit-"))
    return {"name": name, "status": status, "executions": executions, "coverage": coverage, "inputs": inputs,
            "bytes": corpus_bytes, "found": found, "slow": slow, "log": log}


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build-fuzz", help="the KORVAN_FUZZ build directory")
    parser.add_argument("--work", default=os.environ.get("FUZZ_WORK") or
                        os.path.join(tempfile.gettempdir(), f"korvan-fuzz-{os.getuid()}"),
                        help="scratch directory for grown corpora, logs and artefacts")
    parser.add_argument("--seconds", type=int, default=int(os.environ.get("FUZZ_SECONDS", "60")))
    parser.add_argument("--jobs", type=int, default=int(os.environ.get("FUZZ_JOBS", "1")),
                        help="targets run at the same time")
    parser.add_argument("targets", nargs="*", help="target names (default: all), e.g. fuzz_map")
    args = parser.parse_args()

    binaries = sorted(p for p in (Path(args.build) / "fuzz").glob("fuzz_*") if p.is_file() and os.access(p, os.X_OK))
    if args.targets:
        wanted = {t if t.startswith("fuzz_") else "fuzz_" + t for t in args.targets}
        binaries = [b for b in binaries if b.name in wanted]
        if len(binaries) != len(wanted):
            print(f"unknown fuzz target among: {' '.join(sorted(wanted))}", file=sys.stderr)
            return 2
    if not binaries:
        print(f"no fuzz targets in {args.build}/fuzz: configure with -DKORVAN_FUZZ=ON and build first", file=sys.stderr)
        return 2
    work = Path(args.work)
    print(f"fuzzing {len(binaries)} targets for {args.seconds} s each; logs, corpora and artefacts in {work}", flush=True)

    failed = False
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        for result in pool.map(lambda b: run_target(b, work, args.seconds), binaries):
            findings = len(result["found"]) or (1 if result["status"] != 0 else 0)
            line = (f"{result['name']:<24} {result['executions']:>10} executions  corpus {result['inputs']:>5} inputs "
                    f"({result['bytes']})  cov {result['coverage']:>5}  findings {findings}")
            if result["slow"]:
                line += f"  slow inputs {len(result['slow'])}"
            print(line, flush=True)
            if findings:
                failed = True
                for path in result["found"]:
                    print(f"    artefact: {path}")
                print(f"    log: {result['log']}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
