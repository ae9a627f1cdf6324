#!/usr/bin/python3
"""Gimbalo on a Wayland session: its windows, and its pointer on /dev/uinput.

Usage: wayland_dialogs.py GIMBALO GIMBALO_REPLAY UINPUT_STAND_IN ARTIFACTS

Starts a headless weston of its own (no X server in it, no DISPLAY for the
program, QT_QPA_PLATFORM unset) and photographs, in English and Italian, the
options dialog and the about box of gimbalo-replay, and the message box of
gimbalo without a joystick, into ARTIFACTS/wayland-*.png. The replay's
pointer goes to the stand-in for /dev/uinput, which must receive the
scripted push. Prints "N passed, M failed"; exits 0 only when nothing failed.
"""

import glob
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

LANGUAGES = {"English": "English.lng", "Italian": "Italiano.lng"}
NO_JOYSTICK = {"English": "gimbalo: No usable joystick or gamepad was found.",
               "Italian": "gimbalo: Non è stato trovato nessun joystick o gamepad utilizzabile."}


def main(argv):
    if len(argv) != 5:
        sys.exit(__doc__)
    gimbalo, replay, stand_in, artifacts = argv[1:]
    os.makedirs(artifacts, exist_ok=True)
    results = {True: 0, False: 0}

    def check(ok, what):
        results[bool(ok)] += 1
        if not ok:
            print("FAILED: " + what)

    with tempfile.TemporaryDirectory() as folder:
        runtime = os.path.join(folder, "runtime")
        os.mkdir(runtime, 0o700)
        with open(os.path.join(folder, "weston.ini"), "w") as config:
            config.write("[shell]\npanel-position=none\nbackground-color=0xff406080\n")
        socket = "gimbalo-test-%d" % os.getpid()
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "QT_QPA_PLATFORM", "GIMBALO_POINTER", "XDG_SESSION_TYPE")}
        env.update(XDG_RUNTIME_DIR=runtime, WAYLAND_DISPLAY=socket)
        weston = subprocess.Popen(
            ["weston", "--backend=headless-backend.so", "--use-pixman", "--width=1024",
             "--height=768", "--socket=" + socket, "--idle-time=0", "--debug",
             "--config=" + os.path.join(folder, "weston.ini")],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def screenshot(path):
            for old in glob.glob(os.path.join(folder, "wayland-screenshot-*.png")):
                os.remove(old)
            subprocess.run(["weston-screenshooter"], cwd=folder, env=env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            shots = glob.glob(os.path.join(folder, "wayland-screenshot-*.png"))
            if shots:
                os.replace(shots[0], path)
            return path

        def differing(first, second):
            """How many pixels differ between two pictures (ImageMagick's count)."""
            compared = subprocess.run(["compare", "-metric", "AE", first, second, "null:"],
                                      capture_output=True, text=True)
            try:
                return int(float(compared.stderr.split()[0]))
            except (IndexError, ValueError):
                return 1 << 30

        def settled(seconds, changed):
            """A screenshot that holds still (a blinking caret aside) and `changed`."""
            shots = [os.path.join(folder, "%d.png" % i) for i in range(2)]
            end, now = time.monotonic() + seconds, 0
            while time.monotonic() < end:
                time.sleep(0.2)
                now = 1 - now
                screenshot(shots[now])
                if differing(shots[0], shots[1]) < 100 and changed(shots[now]):
                    return shots[now]
            return None

        def photograph(command, name, settings):
            """Runs `command` until a window shows and holds still; saves it."""
            home = os.path.join(folder, name)
            os.makedirs(os.path.join(home, "gimbalo"))
            with open(os.path.join(home, "gimbalo", "Gimbalo.ini"), "wb") as out:
                out.write(settings)
            child = subprocess.Popen(command, env=dict(env, XDG_CONFIG_HOME=home),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
            shot = settled(20, lambda shot: differing(shot, empty) > 2000)
            check(shot, name + ": no window showed")
            if shot:
                os.replace(shot, os.path.join(artifacts, "wayland-%s.png" % name))
            child.send_signal(signal.SIGTERM)
            return child.communicate(timeout=20)[1].decode("utf-8", "replace")

        try:
            end = time.monotonic() + 20
            while not os.path.exists(os.path.join(runtime, socket)) and time.monotonic() < end:
                time.sleep(0.1)
            empty = settled(20, os.path.exists)
            check(empty, "weston gave no screenshot")
            empty = empty and shutil.copy(empty, os.path.join(folder, "empty.png"))
            record = os.path.join(folder, "uinput")
            preload = ["env", "LD_PRELOAD=" + stand_in, "GIMBALO_UINPUT_STAND_IN=" + record]
            for language, file in LANGUAGES.items():
                settings = b"1\r\n2\r\n3\r\n2\r\n1\r\n0\r\n0\r\n" + file.encode() + b"\r\n"
                for item, shown in (("mnuDef", "options"), ("mnuAbout", "about")):
                    script = os.path.join(folder, "%s.replay" % shown)
                    with open(script, "w") as out:
                        out.write('joystick "Pad" buttons=4\nat 5: x=0\nat 9: x=32768\n'
                                  "at 10: menu %s\nat 6000: quit\n" % item)
                    name = "%s-%s" % (shown, language)
                    photograph(preload + [replay, script, "--settings",
                                          os.path.join(folder, name, "gimbalo")], name, settings)
                said = photograph(preload + [gimbalo], "message-" + language, settings)
                check(NO_JOYSTICK[language] in said, "%s message: %r" % (language, said))
            events = open(record, "rb").read() if os.path.exists(record) else b""
            check(len(events) == 4 * 8 * 24, "the replays sent %d bytes to /dev/uinput"
                  % len(events))
        finally:
            weston.terminate()
            weston.wait(timeout=20)
    print("%d passed, %d failed" % (results[True], results[False]))
    return 0 if results[False] == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
