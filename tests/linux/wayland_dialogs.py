#!/usr/bin/python3
"""Usage: wayland_dialogs.py GIMBALO GIMBALO_REPLAY UINPUT_STAND_IN ARTIFACTS

Gimbalo's windows in a headless weston of its own (no X server, QT_QPA_PLATFORM
unset), photographed into ARTIFACTS/wayland-*.png, and its pointer on the
stand-in for /dev/uinput. Prints "N passed, M failed"; exits 0 only when
nothing failed.
"""

import glob
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time


def main(gimbalo, replay, stand_in, artifacts):
    os.makedirs(artifacts, exist_ok=True)
    results = {True: 0, False: 0}

    def check(ok, what):
        results[bool(ok)] += 1
        print("" if ok else "FAILED: " + what, end="" if ok else "\n")

    folder = tempfile.mkdtemp()
    runtime, record = os.path.join(folder, "runtime"), os.path.join(folder, "uinput")
    os.mkdir(runtime, 0o700)
    with open(os.path.join(folder, "weston.ini"), "w") as config:
        config.write("[shell]\npanel-position=none\nbackground-color=0xff406080\n")
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM")}
    env.update(XDG_RUNTIME_DIR=runtime, WAYLAND_DISPLAY="gimbalo-test", XDG_SESSION_TYPE="",
               GIMBALO_UINPUT_STAND_IN=record, LD_PRELOAD=stand_in)
    weston = subprocess.Popen(
        ["weston", "--backend=headless-backend.so", "--use-pixman", "--width=1024",
         "--height=768", "--socket=gimbalo-test", "--idle-time=0", "--debug",
         "--config=" + config.name], env=dict(env, LD_PRELOAD=""),
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def differing(first, second):
        """How many pixels differ (ImageMagick's count)."""
        compared = subprocess.run(["compare", "-metric", "AE", first, second, "null:"],
                                  capture_output=True, text=True)
        return int(float((compared.stderr.split() or ["1e9"])[0]))

    def settled(changed, seconds=20):
        """A screenshot that holds still (a blinking caret aside) and `changed`."""
        shots, now, end = [os.path.join(folder, "%d.png" % i) for i in (0, 1)], 0, \
            time.monotonic() + seconds
        while time.monotonic() < end:
            time.sleep(0.2)
            now = 1 - now
            subprocess.run(["weston-screenshooter"], cwd=folder, env=dict(env, LD_PRELOAD=""),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for shot in glob.glob(os.path.join(folder, "wayland-screenshot-*.png")):
                os.replace(shot, shots[now])
            if os.path.exists(shots[0]) and os.path.exists(shots[1]) \
                    and differing(*shots) < 100 and changed(shots[now]):
                return shots[now]
        return None

    def photograph(command, name, language):
        """Runs `command` until its window shows and holds still; saves it."""
        home = os.path.join(folder, name, "gimbalo")
        os.makedirs(home)
        with open(os.path.join(home, "Gimbalo.ini"), "w", newline="\r\n") as settings:
            settings.write("1\n2\n3\n2\n1\n0\n0\n%s\n" % language)
        child = subprocess.Popen(command + (["--settings", home] if command[0] == replay else []),
                                 env=dict(env, XDG_CONFIG_HOME=os.path.dirname(home)),
                                 stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        shot = settled(lambda shot: differing(shot, empty) > 2000)
        check(shot, name + ": no window showed")
        if shot:
            os.replace(shot, os.path.join(artifacts, "wayland-%s.png" % name))
        child.send_signal(signal.SIGTERM)
        return child.communicate(timeout=20)[1].decode()

    try:
        empty = settled(os.path.exists)
        check(empty, "weston gave no screenshot")
        empty = shutil.copy(empty or "/dev/null", os.path.join(folder, "empty.png"))
        said = {"English": "gimbalo: No usable joystick or gamepad was found.",
                "Italian": "gimbalo: Non è stato trovato nessun joystick o gamepad utilizzabile."}
        for language, file in (("English", "English.lng"), ("Italian", "Italiano.lng")):
            for item, shown in (("mnuDef", "options"), ("mnuAbout", "about")):
                with open(os.path.join(folder, shown + ".replay"), "w") as script:
                    script.write('joystick "Pad" buttons=4\nat 5: x=0\nat 9: x=32768\n'
                                 "at 10: menu %s\nat 6000: quit\n" % item)
                photograph([replay, script.name], "%s-%s" % (shown, language), file)
            check(said[language] in photograph([gimbalo], "message-" + language, file),
                  language + " message")
        # Four replays, each pushed left for four ticks: a move and a report each.
        sent = os.path.getsize(record) if os.path.exists(record) else 0
        check(sent == 4 * 4 * 2 * 24, "the replays sent %d bytes to /dev/uinput" % sent)
    finally:
        weston.terminate()
        weston.wait(timeout=20)
        shutil.rmtree(folder)
    print("%d passed, %d failed" % (results[True], results[False]))
    return 0 if results[False] == 0 else 1


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]) if len(sys.argv) == 5 else __doc__)
