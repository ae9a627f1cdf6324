#!/usr/bin/env python3
"""Reads a replay's --trace from the standard input as it is written, notes
when each tick line comes, and prints the distribution of the wall-time gaps
between consecutive ticks that ran (a rest, marked "rest tick=N", breaks the
chain: the gap across it is no tick late). The trace itself goes on to the
standard output unchanged, so a caller can keep it.

usage: REPLAY ... --trace | scripts/tick-gaps.py [--period MS] [--report FILE]
  --period  the polling period in ms (default 5); gaps longer than three
            periods are listed one by one
  --report  where the distribution goes (default: the standard error)
"""
import argparse
import sys
import time


def main():
    parser = argparse.ArgumentParser(add_help=True)
    parser.add_argument("--period", type=float, default=5.0)
    parser.add_argument("--report", default=None)
    options = parser.parse_args()
    if options.period <= 0:
        sys.exit("tick-gaps.py: --period needs a positive number of milliseconds")
    last = None  # (tick, time) of the last tick line since a wake
    gaps = []
    late = []
    for line in sys.stdin.buffer:
        now = time.monotonic()
        sys.stdout.buffer.write(line)
        sys.stdout.buffer.flush()
        text = line.decode("utf-8", "replace")
        if text.startswith("rest "):
            last = None
            continue
        if not text.startswith("tick=") or " x=" not in text:
            continue
        tick = text.split()[0][len("tick="):]
        if last is not None:
            gap = (now - last[1]) * 1000
            gaps.append(gap)
            if gap > 3 * options.period:
                late.append((last[0], tick, gap))
        last = (tick, now)
    out = open(options.report, "w") if options.report else sys.stderr
    if not gaps:
        print("gaps: no two ticks in a row", file=out)
        return
    gaps.sort()
    def at(share):
        return gaps[min(len(gaps) - 1, int(share * len(gaps)))]
    print(f"gaps: {len(gaps)} between ticks; ms: median {at(0.5):.2f}, 90 % {at(0.9):.2f}, "
          f"99 % {at(0.99):.2f}, 99.9 % {at(0.999):.2f}, longest {gaps[-1]:.2f}", file=out)
    bounds = [1, 2, 5, 7.5, 10, 15, 20, 50, 100, 1000]
    counts = []
    low = 0
    for bound in bounds + [float("inf")]:
        counts.append(sum(1 for g in gaps if low <= g < bound))
        low = bound
    names = [f"<{b:g}" for b in bounds] + [f">={bounds[-1]:g}"]
    print("gaps by ms: " + "  ".join(f"{n}:{c}" for n, c in zip(names, counts) if c), file=out)
    limit = 3 * options.period
    longest = sorted(late, key=lambda each: -each[2])[:10]
    print(f"longer than {limit:g} ms: {len(late)}" + ("; the longest:" if late else "") +
          "".join(f"\n  tick {a} to {b}: {g:.1f} ms" for a, b, g in longest), file=out)


if __name__ == "__main__":
    main()
