#!/usr/bin/python3
"""Reads the options dialog of a running Gimbalo as a screen reader does.

Usage: atspi_options_dialog.py GIMBALO_REPLAY  (under xvfb-run and dbus-run-session)

The replay program opens the dialog from its menu; its tree is then read
through the AT-SPI registry. Prints "N passed, M failed"; exits 0 only when
nothing failed, 2 when it cannot run.
"""

import os
import signal
import subprocess
import sys
import tempfile
import time

PAD = "AT-SPI Test Pad"
TITLE = "Gimbalo options - " + PAD
CAPTIONS = ["Left mouse button", "Right mouse button", "Middle mouse button", "Pointer speed",
            "Joystick in use"]
CHECK_BOXES = ["Enable acceleration", "Start automatically when I log in"]
BUTTONS = ["OK", "Apply", "Cancel"]


def usage_error(message):
    sys.stderr.write("atspi_options_dialog.py: %s\n" % message)
    sys.exit(2)


def descendants(node):
    for child in node:
        if child is not None:
            yield child
            yield from descendants(child)


def read_dialog(pyatspi, dialog, check):
    check(dialog.getRole() == pyatspi.ROLE_DIALOG, "role " + dialog.getRoleName())
    nodes = list(descendants(dialog))
    named = lambda role: [n.name for n in nodes if n.getRole() == role]
    check(named(pyatspi.ROLE_COMBO_BOX) == CAPTIONS, "lists %s" % named(pyatspi.ROLE_COMBO_BOX))
    for node in (n for n in nodes if n.getRole() == pyatspi.ROLE_COMBO_BOX):
        labels = [r.getTarget(i).name for r in node.getRelationSet()
                  if r.getRelationType() == pyatspi.RELATION_LABELLED_BY
                  for i in range(r.getNTargets())]
        check(labels == [node.name], "list %r labelled by %s" % (node.name, labels))
        # Its text part, where typing goes, is called as the list is.
        parts = [c.name for c in node if c is not None and c.getRole() == pyatspi.ROLE_TEXT]
        check(parts == [node.name], "list %r has text parts %s" % (node.name, parts))
    check(named(pyatspi.ROLE_CHECK_BOX) == CHECK_BOXES, "check boxes %s"
          % named(pyatspi.ROLE_CHECK_BOX))
    check(named(pyatspi.ROLE_PUSH_BUTTON) == BUTTONS, "buttons %s"
          % named(pyatspi.ROLE_PUSH_BUTTON))


def main(argv):
    if len(argv) != 2 or not os.access(argv[1], os.X_OK):
        usage_error("give the path of the gimbalo-replay program")
    for variable, wrapper in (("DISPLAY", "xvfb-run"), ("DBUS_SESSION_BUS_ADDRESS",
                                                        "dbus-run-session")):
        if not os.environ.get(variable):
            usage_error("%s is not set: run it under %s" % (variable, wrapper))
    try:
        import pyatspi
    except ImportError as error:
        usage_error("%s: run scripts/install-deps.sh" % error)

    results = {True: 0, False: 0}

    def check(ok, what):
        results[bool(ok)] += 1
        if not ok:
            print("FAILED: " + what)

    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "Gimbalo.ini"), "wb") as settings:
            settings.write(b"1\r\n2\r\n3\r\n2\r\n1\r\n0\r\n0\r\nEnglish.lng\r\n")
        script = os.path.join(folder, "open-options.replay")
        with open(script, "w") as out:
            out.write('joystick "%s" buttons=4\nat 10: menu mnuDef\nat 12000: quit\n' % PAD)
        # Qt speaks to the registry without waiting for a screen reader to ask.
        # A runtime folder of its own: another copy running is no concern.
        runtime = os.path.join(folder, "runtime")
        os.mkdir(runtime, 0o700)
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", XDG_RUNTIME_DIR=runtime)
        child = subprocess.Popen([argv[1], script, "--settings", folder], env=env,
                                 stdout=subprocess.DEVNULL)
        try:
            dialog, end = None, time.monotonic() + 30
            while dialog is None and time.monotonic() < end and child.poll() is None:
                windows = [w for app in pyatspi.Registry.getDesktop(0) if app is not None
                           for w in app if w is not None and w.name == TITLE]
                dialog = windows[0] if windows else None
                time.sleep(0 if dialog else 0.2)
            check(dialog is not None, "no window called %r reached the registry" % TITLE)
            if dialog is not None:
                read_dialog(pyatspi, dialog, check)
        finally:
            child.send_signal(signal.SIGTERM)
            try:
                child.wait(timeout=10)
            except subprocess.TimeoutExpired:
                child.kill()
                child.wait()
    print("%d passed, %d failed" % (results[True], results[False]))
    return 0 if results[False] == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
