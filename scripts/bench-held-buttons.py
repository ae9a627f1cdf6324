#!/usr/bin/env python3
"""Kills gimbalo-replay while it holds mouse buttons and counts the buttons
the X server still holds afterwards (must be 0), how long the release took,
and what the guardian process costs.

usage: scripts/bench-held-buttons.py [--runs N] [BINARY]
  BINARY   the gimbalo-replay to run (default: build/gimbalo-replay); its
           gimbalo-guardian must be beside it
  --runs   runs of each case (default 20, 1 to 10000)

Cases:
  - SIGKILL while left, right or middle is held: N runs each;
  - SIGKILL at a random moment while the buttons change on every tick
    (a press may be on its way to the server when the program dies): N runs;
  - the guardian's cost: resident and proportional memory, CPU time and
    wake-ups over 10 s while the program presses and releases a button
    every 100 ms, and over 10 s with no button.

Runs under its own Xvfb (xvfb-run -a) when DISPLAY is not set; every run has
its own settings and runtime folders. Exit status: 0 when no button stayed
held, 1 when one did or a run failed, 2 for bad arguments.
"""
import ctypes
import ctypes.util
import os
import random
import signal
import statistics
import subprocess
import sys
import tempfile
import time

USAGE = "usage: scripts/bench-held-buttons.py [--runs N] [BINARY]"
BUTTON_MASKS = {"left": 1 << 8, "middle": 1 << 9, "right": 1 << 10}  # Button1Mask..Button3Mask
JOYSTICK_BUTTON = {"left": 1, "right": 2, "middle": 4}  # default mapping: 1 left, 2 right, 3 middle
RELEASE_DEADLINE = 5.0


def fail_usage(message):
    print(f"bench-held-buttons: {message}", file=sys.stderr)
    print(USAGE, file=sys.stderr)
    sys.exit(2)


def parse_arguments(argv):
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    runs, binary = 20, None
    i = 0
    while i < len(argv):
        argument = argv[i]
        if argument in ("-h", "--help"):
            print(USAGE)
            sys.exit(0)
        if argument == "--runs":
            if i + 1 >= len(argv):
                fail_usage("--runs needs a number")
            text = argv[i + 1]
            if not text.isdigit() or not 1 <= int(text) <= 10000:
                fail_usage(f"--runs needs a whole number from 1 to 10000, not '{text}'")
            runs = int(text)
            i += 2
            continue
        if argument.startswith("-"):
            fail_usage(f"unknown option {argument}")
        if binary is not None:
            fail_usage("only one BINARY")
        binary = argument
        i += 1
    binary = os.path.abspath(binary or os.path.join(root, "build", "gimbalo-replay"))
    if not os.path.isfile(binary):
        fail_usage(f"no gimbalo-replay at {binary} (build it, or name it as the last argument)")
    if not os.access(binary, os.X_OK):
        fail_usage(f"{binary} is not executable")
    guardian = os.path.join(os.path.dirname(binary), "gimbalo-guardian")
    if not os.access(guardian, os.X_OK):
        fail_usage(f"no gimbalo-guardian beside {binary}")
    return runs, binary


class XButtons:
    """A second client of the X server, which asks it which buttons are down."""

    def __init__(self):
        name = ctypes.util.find_library("X11") or "libX11.so.6"
        self.x11 = ctypes.CDLL(name)
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        ulong_p, int_p = ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int)
        self.x11.XQueryPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ulong_p, ulong_p,
                                           int_p, int_p, int_p, int_p,
                                           ctypes.POINTER(ctypes.c_uint)]
        self.display = self.x11.XOpenDisplay(None)
        if not self.display:
            print("bench-held-buttons: cannot open the X display", file=sys.stderr)
            sys.exit(1)
        self.root = self.x11.XDefaultRootWindow(self.display)

    def held(self):
        window, child = ctypes.c_ulong(), ctypes.c_ulong()
        x, y, wx, wy = (ctypes.c_int() for _ in range(4))
        mask = ctypes.c_uint()
        self.x11.XQueryPointer(self.display, self.root, ctypes.byref(window), ctypes.byref(child),
                               ctypes.byref(x), ctypes.byref(y), ctypes.byref(wx),
                               ctypes.byref(wy), ctypes.byref(mask))
        return mask.value & sum(BUTTON_MASKS.values())


def children_named(parent, name):
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
            if int(fields[1]) == parent and os.path.basename(os.readlink(f"/proc/{entry}/exe")) == name:
                found.append(int(entry))
        except (OSError, IndexError, ValueError):
            continue
    return found


def running(pid):
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] not in ("Z", "X")
    except OSError:
        return False


def proc_status(pid, key):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


class Replay:
    """gimbalo-replay on a script, with its trace on a pipe."""

    def __init__(self, binary, work, script, trace=True):
        path = os.path.join(work, "run.script")
        with open(path, "w") as out:
            out.write(script)
        for folder in ("config", "runtime", "settings"):
            os.makedirs(os.path.join(work, folder), mode=0o700, exist_ok=True)
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"),
                   XDG_RUNTIME_DIR=os.path.join(work, "runtime"))
        self.process = subprocess.Popen(
            [binary, path] + (["--trace"] if trace else []) +
            ["--settings", os.path.join(work, "settings")],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env)

    def wait_for_tick(self, tick):
        start = f"tick={tick} "
        for line in self.process.stdout:
            if line.decode(errors="replace").startswith(start):
                return True
        return False

    def kill(self):
        """Sends SIGKILL; the moment it was sent."""
        sent = time.monotonic()
        self.process.send_signal(signal.SIGKILL)
        self.process.wait()
        self.process.stdout.close()
        return sent


def wait_until(condition, start, deadline):
    """Seconds from `start` until `condition` held, or None past `deadline`
    seconds."""
    while not condition():
        if time.monotonic() - start > deadline:
            return None
        time.sleep(0.0005)
    return time.monotonic() - start


def release_after_kill(buttons, replay, guardian):
    """Kills the replay: (seconds from the kill until no button is held or
    None, seconds until the guardian has ended or None)."""
    sent = replay.kill()
    released = wait_until(lambda: buttons.held() == 0, sent, RELEASE_DEADLINE)
    ended = wait_until(lambda: not running(guardian), sent, RELEASE_DEADLINE) if guardian else None
    return released, ended


def let_go(buttons):
    """A run that failed may leave a button held for the next: let go of it."""
    if buttons.held() == 0:
        return
    xtst = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")
    xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                          ctypes.c_ulong]
    for number, mask in enumerate(BUTTON_MASKS.values(), start=1):
        if buttons.held() & mask:
            xtst.XTestFakeButtonEvent(buttons.display, number, 0, 0)
    buttons.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    buttons.x11.XSync(buttons.display, 0)


def summary(times):
    if not times:
        return "-"
    ms = sorted(t * 1000 for t in times)
    return f"median {statistics.median(ms):.1f} ms, max {ms[-1]:.1f} ms"


def held_button_runs(binary, buttons, runs):
    """SIGKILL while one button is held, for each button. Failures found."""
    failures = 0
    print(f"{'held':8} {'runs':>5} {'still held':>10} {'no guardian':>11}  release after the kill"
          "                   guardian ended after")
    for name, joystick in JOYSTICK_BUTTON.items():
        held_after, missing, released, ended = 0, 0, [], []
        for _ in range(runs):
            with tempfile.TemporaryDirectory() as work:
                replay = Replay(binary, work, f'joystick "Bench" buttons=3\nat 1: buttons={joystick}\n')
                if not replay.wait_for_tick(3) or buttons.held() != BUTTON_MASKS[name]:
                    print(f"bench-held-buttons: the replay did not hold {name}", file=sys.stderr)
                    replay.kill()
                    let_go(buttons)
                    failures += 1
                    continue
                guardians = children_named(replay.process.pid, "gimbalo-guardian")
                missing += len(guardians) != 1
                release, end = release_after_kill(buttons, replay, guardians[0] if guardians else None)
                if release is None:
                    held_after += 1
                    let_go(buttons)
                else:
                    released.append(release)
                if end is not None:
                    ended.append(end)
        failures += held_after + missing
        print(f"{name:8} {runs:5} {held_after:10} {missing:11}  {summary(released):40} {summary(ended)}")
    return failures


def random_moment_runs(binary, buttons, runs):
    """SIGKILL at a random moment while the buttons change on every tick."""
    steps = []
    for tick in range(1, 4001):
        steps.append(f"at {tick}: buttons={[1, 0, 2, 0, 4, 0, 3, 0][tick % 8]}\n")
    script = 'joystick "Bench" buttons=3\n' + "".join(steps)
    held_after, released = 0, []
    rng = random.Random(9)
    for _ in range(runs):
        with tempfile.TemporaryDirectory() as work:
            # Without the trace, whose look at the pointer after each tick
            # would wait for the server to have done the tick's events.
            replay = Replay(binary, work, script, trace=False)
            time.sleep(rng.uniform(0.8, 1.6))
            release, _ = release_after_kill(buttons, replay, None)
            if release is None:
                held_after += 1
                let_go(buttons)
            else:
                released.append(release)
    print(f"random moment while buttons change each tick: {runs} runs, {held_after} left a button "
          f"held; no button held after {summary(released)}")
    return held_after


def guardian_cost(binary, seconds):
    """The guardian's memory, CPU and wake-ups while the program runs."""
    presses = "".join(f"at {t}: buttons=1\nat {t + 10}: buttons=0\n"
                      for t in range(20, seconds * 200 + 400, 20))
    for label, script in (("no button", 'joystick "Bench" buttons=3\n'),
                          ("a click every 100 ms", 'joystick "Bench" buttons=3\n' + presses)):
        with tempfile.TemporaryDirectory() as work:
            replay = Replay(binary, work, script)
            replay.wait_for_tick(200)
            guardian = children_named(replay.process.pid, "gimbalo-guardian")[0]

            def sample():
                # Run time in nanoseconds, then the times it was scheduled.
                with open(f"/proc/{guardian}/schedstat") as schedstat:
                    fields = schedstat.read().split()
                return int(fields[0]), int(fields[2])

            cpu0, wakes0 = sample()
            # Keeps reading the trace so the replay never blocks on the pipe.
            end = time.monotonic() + seconds
            lines = 0
            for _ in replay.process.stdout:
                lines += 1
                if time.monotonic() >= end:
                    break
            cpu1, wakes1 = sample()
            with open(f"/proc/{guardian}/smaps_rollup") as rollup:
                pss = next(int(line.split()[1]) for line in rollup if line.startswith("Pss:"))
            rss = proc_status(guardian, "VmRSS")
            dirty = proc_status(guardian, "RssAnon")
            replay.kill()
            print(f"guardian, {label}, {seconds} s: {rss} kB resident ({pss} kB proportional, "
                  f"{dirty} kB its own), CPU {(cpu1 - cpu0) / 1e6:.2f} ms, "
                  f"{wakes1 - wakes0} wake-ups ({lines} ticks)")


def main():
    runs, binary = parse_arguments(sys.argv[1:])
    if not os.environ.get("DISPLAY"):
        os.execvp("xvfb-run", ["xvfb-run", "-a", "-s", "-screen 0 1280x800x24 -noreset",
                               sys.executable, os.path.abspath(__file__)] + sys.argv[1:])
    print(f"binary:  {binary}")
    print(f"machine: {os.cpu_count()} cores, load average "
          f"{' '.join(open('/proc/loadavg').read().split()[:3])} at the start")
    buttons = XButtons()
    let_go(buttons)
    failures = held_button_runs(binary, buttons, runs)
    failures += random_moment_runs(binary, buttons, runs)
    guardian_cost(binary, 10)
    print("result:  " + ("no button stayed held" if failures == 0 else f"{failures} failures"))
    return 0 if failures == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
