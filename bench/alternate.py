#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Times whole processes side by side: one run of each command per round,
in an order that rotates from round to round, so that a machine shared with
other work slows every command alike. Prints each command's median wall time
and writes them as JSON.

    alternate.py [--runs N] [--warmup N] [--fresh DIR] [--json FILE] NAME=COMMAND ...

COMMAND is split as a shell would split it but run without a shell; --fresh
empties DIR before every run (not timed)."""

import argparse
import json
import os
import shlex
import shutil
import statistics
import sys
import time


def run_once(argv):
    """Wall seconds of one run; the process's exit status must be 0."""
    with open(os.devnull, "wb") as null:
        start = time.perf_counter()
        pid = os.posix_spawn(argv[0], argv, os.environ,
                             file_actions=[(os.POSIX_SPAWN_DUP2, null.fileno(), 1)])
        _, status = os.waitpid(pid, 0)
        elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{' '.join(argv)} failed with {os.waitstatus_to_exitcode(status)}")
    return elapsed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=100)
    parser.add_argument("--warmup", type=int, default=3)
    parser.add_argument("--fresh")
    parser.add_argument("--json")
    parser.add_argument("commands", nargs="+", metavar="NAME=COMMAND")
    args = parser.parse_args()
    commands = []
    for given in args.commands:
        name, command = given.split("=", 1)
        argv = shlex.split(command)
        argv[0] = shutil.which(argv[0]) or argv[0]
        commands.append((name, argv))

    times = {name: [] for name, _ in commands}
    for round_number in range(args.warmup + args.runs):
        shift = round_number % len(commands)
        for name, argv in commands[shift:] + commands[:shift]:
            if args.fresh:
                shutil.rmtree(args.fresh, ignore_errors=True)
                os.makedirs(args.fresh)
            elapsed = run_once(argv)
            if round_number >= args.warmup:
                times[name].append(elapsed)
    medians = {name: statistics.median(values) for name, values in times.items()}
    for name, seconds in medians.items():
        print(f"  {name:14s} {seconds * 1e3:9.2f} ms (median of {args.runs})")
    if args.json:
        with open(args.json, "w") as out:
            json.dump(medians, out)


if __name__ == "__main__":
    main()
