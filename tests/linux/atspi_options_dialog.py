#!/usr/bin/python3
"""Reads the options dialog of a running Gimbalo as a screen reader does.

Usage: atspi_options_dialog.py GIMBALO_REPLAY

Runs the replay program with a scripted joystick, opens the options dialog
from its menu and walks the dialog's tree through the AT-SPI registry: the
dialog's role and name, each list named by its caption and related to it,
the check boxes and buttons named by their texts, and no name that is only a
control's name in the code. Needs an X display and a session bus of its own:
run it under `dbus-run-session` (the registry then starts on demand).
Prints "N passed, M failed" and exits with 0 only when nothing failed.
"""

import os
import signal
import subprocess
import sys
import tempfile
import time

PAD = "AT-SPI Test Pad"
TITLE = "Gimbalo options - " + PAD
CAPTIONS = [
    "Left mouse button",
    "Right mouse button",
    "Middle mouse button",
    "Pointer speed",
    "Joystick in use",
]
CHECK_BOXES = ["Enable acceleration", "Start automatically when I log in"]
BUTTONS = ["OK", "Apply", "Cancel"]
CODE_NAMES = {"Combo%d" % n for n in range(1, 6)} | {"Label%d" % n for n in range(1, 7)} | {
    "Check1", "Check2", "Command1", "Command2", "Command3", "Image2", "frmOpzioni"}
DEADLINE = 30.0


class Results:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def check(self, ok, what):
        if ok:
            self.passed += 1
        else:
            self.failed += 1
            print("FAILED: " + what)


def fail_usage(message):
    sys.stderr.write("atspi_options_dialog.py: %s\n" % message)
    sys.exit(2)


def start_replay(replay, folder):
    with open(os.path.join(folder, "Gimbalo.ini"), "wb") as settings:
        settings.write(b"1\r\n2\r\n3\r\n2\r\n1\r\n0\r\n0\r\nEnglish.lng\r\n")
    script = os.path.join(folder, "open-options.replay")
    with open(script, "w") as out:
        # Open the dialog at once; close well after the reading is done.
        out.write('joystick "%s" buttons=4\nat 10: menu mnuDef\nat 12000: quit\n' % PAD)
    env = dict(os.environ)
    # Qt speaks to the registry without waiting for a screen reader to ask.
    env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
    env.pop("QT_QPA_PLATFORMTHEME", None)
    return subprocess.Popen([replay, script, "--settings", folder], env=env,
                            stdout=subprocess.DEVNULL)


def find_dialog(pyatspi):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is None:
            continue
        for window in app:
            if window is not None and window.name == TITLE:
                return window
    return None


def descendants(node):
    for child in node:
        if child is None:
            continue
        yield child
        yield from descendants(child)


def labelled_by(pyatspi, node):
    targets = []
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            targets += [relation.getTarget(i) for i in range(relation.getNTargets())]
    return targets


def read_dialog(pyatspi, dialog, results):
    results.check(dialog.getRole() == pyatspi.ROLE_DIALOG,
                  "the dialog's role is %s, not dialog" % dialog.getRoleName())
    nodes = list(descendants(dialog))
    lists = [n for n in nodes if n.getRole() == pyatspi.ROLE_COMBO_BOX]
    results.check([n.name for n in lists] == CAPTIONS,
                  "lists are named %s, not %s" % ([n.name for n in lists], CAPTIONS))
    for node in lists:
        labels = [t.name for t in labelled_by(pyatspi, node)]
        results.check(node.name in labels,
                      "list %r is labelled by %s, not by its caption" % (node.name, labels))
        # Its text part, where typing goes, is called as the list is.
        parts = [c.name for c in node if c is not None and c.getRole() == pyatspi.ROLE_TEXT]
        results.check(parts == [node.name], "list %r has text parts %s" % (node.name, parts))
    checks = [n.name for n in nodes if n.getRole() == pyatspi.ROLE_CHECK_BOX]
    results.check(checks == CHECK_BOXES, "check boxes are named %s" % checks)
    buttons = [n.name for n in nodes if n.getRole() == pyatspi.ROLE_PUSH_BUTTON]
    results.check(buttons == BUTTONS, "buttons are named %s" % buttons)
    code = sorted({n.name for n in nodes} & CODE_NAMES)
    results.check(not code, "names from the code are heard: %s" % code)
    images = [n for n in nodes if n.getRole() in (pyatspi.ROLE_IMAGE, pyatspi.ROLE_ICON)]
    results.check(not images, "the decoration is in the tree: %d pictures" % len(images))


def main(argv):
    if len(argv) != 2:
        fail_usage("give the path of gimbalo-replay")
    replay = argv[1]
    if not os.access(replay, os.X_OK):
        fail_usage("%s is not an executable program" % replay)
    if not os.environ.get("DISPLAY"):
        fail_usage("no X display (run it under xvfb-run)")
    if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        fail_usage("no session bus (run it under dbus-run-session)")
    try:
        import pyatspi
    except ImportError as error:
        fail_usage("pyatspi is missing (%s): run scripts/install-deps.sh" % error)

    results = Results()
    with tempfile.TemporaryDirectory() as folder:
        child = start_replay(replay, folder)
        try:
            dialog = None
            end = time.monotonic() + DEADLINE
            while dialog is None and time.monotonic() < end and child.poll() is None:
                dialog = find_dialog(pyatspi)
                if dialog is None:
                    time.sleep(0.2)
            results.check(dialog is not None,
                          "no window called %r reached the registry" % TITLE)
            if dialog is not None:
                read_dialog(pyatspi, dialog, results)
        finally:
            if child.poll() is None:
                child.send_signal(signal.SIGTERM)
                try:
                    child.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    child.kill()
                    child.wait()
    print("%d passed, %d failed" % (results.passed, results.failed))
    return 0 if results.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
