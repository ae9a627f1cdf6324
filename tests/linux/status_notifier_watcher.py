#!/usr/bin/python3
"""Usage: status_notifier_watcher.py GIMBALO_REPLAY (under xvfb-run and dbus-run-session)

Gimbalo's tray icon and its exported menu, as a stand-in StatusNotifierWatcher
with a host reads and clicks them. Prints "N passed, M failed"; exits 0 only
when nothing failed.
"""

import os
import subprocess
import sys
import tempfile
import time

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

WATCHER, MENU = "org.kde.StatusNotifierWatcher", "com.canonical.dbusmenu"
ENGLISH = ["_Options...", "-", "_Language...", "Add a lan_guage...", "-", "Make a _donation...",
           "-", "_Check for updates...", "-", "L_icence...", "_Version history...",
           "_About Gimbalo...", "-", "E_xit"]
ITALIAN = ["_Opzioni...", "-", "_Lingua...", "A_ggiungi una lingua...", "-",
           "Fai una _donazione...", "-", "_Controlla aggiornamenti...", "-", "Licen_za...",
           "_Versioni del programma...", "_Informazioni su Gimbalo...", "-", "_Esci"]
PICTURED = [0, 5, 7, 9, 11, 13]  # the entries with a 13 x 13 picture


class Watcher(dbus.service.Object):
    items, updates = [], []

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierItem(self, service):
        self.items.append(service)

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return {"IsStatusNotifierHostRegistered": True}[name]


def main(replay):
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName(WATCHER, bus)  # noqa: F841 (the name lives as long as it)
    watcher = Watcher(bus, "/StatusNotifierWatcher")
    bus.add_signal_receiver(lambda *args: watcher.updates.append(args), "LayoutUpdated", MENU)
    results = {True: 0, False: 0}

    def check(ok, what):
        results[bool(ok)] += 1
        print("" if ok else "FAILED: " + what, end="" if ok else "\n")

    def wait_until(done, seconds=20):
        end = time.monotonic() + seconds
        while not done() and time.monotonic() < end:
            GLib.MainContext.default().iteration(False) or time.sleep(0.02)
        return done()

    def entries():
        return [(int(i), p) for i, p, _ in menu.GetLayout(0, -1, [], dbus_interface=MENU)[1][2]]

    def labels():
        return [str(p.get("label", "-")) for _, p in entries()]

    def pictured():
        return [n for n, (_, p) in enumerate(entries()) if bytes(p.get("icon-data", b""))[:24]
                == b"\x89PNG\r\n\x1a\n\0\0\0\rIHDR" + bytes([0, 0, 0, 13] * 2)]

    def shown(*search):
        return subprocess.run(["xdotool", "search", "--onlyvisible"] + list(search),
                              capture_output=True).returncode == 0

    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "Gimbalo.ini"), "wb") as settings:
            settings.write(b"1\r\n2\r\n3\r\n2\r\n1\r\n0\r\n0\r\nEnglish.lng\r\n")
        with open(os.path.join(folder, "tray.replay"), "w") as script:
            script.write('joystick "Pad" buttons=4\nat 1: dialog "%s"\nat 12000: quit\n'
                         % os.path.join(os.path.dirname(os.path.abspath(replay)), "Lang",
                                        "Italiano.lng"))
        os.mkdir(os.path.join(folder, "runtime"), 0o700)  # the program's own lock
        child = subprocess.Popen([replay, script.name, "--settings", folder],
                                 stdout=subprocess.DEVNULL, env=dict(
                                     os.environ, XDG_RUNTIME_DIR=os.path.join(folder, "runtime")))
        try:
            check(wait_until(lambda: watcher.items), "the icon never registered")
            item = bus.get_object(watcher.items[0], "/StatusNotifierItem")
            props = item.GetAll("org.kde.StatusNotifierItem", dbus_interface=dbus.PROPERTIES_IFACE)
            check(props["ToolTip"][2] == "Animated TrayIcon", "tooltip %r" % (props["ToolTip"],))
            check(props["ItemIsMenu"] and props["IconPixmap"], "not a menu, or no picture")
            menu = bus.get_object(watcher.items[0], props["Menu"])
            check(labels() == ENGLISH, "English menu %s" % labels())
            check(pictured() == PICTURED, "pictures at %s" % pictured())
            # The left and the right click open the program's menu; the middle one nothing.
            for method, opens in (("Activate", True), ("ContextMenu", True),
                                  ("SecondaryActivate", False)):
                getattr(item, method)(0, 0, dbus_interface="org.kde.StatusNotifierItem")
                pid = str(child.pid)
                check(wait_until(lambda: shown("--pid", pid), 20 if opens else 3) == opens, method)
                subprocess.run(["xdotool", "key", "Escape"])
                check(wait_until(lambda: not shown("--pid", pid)), method + ": the menu stayed")
            ids = dict(zip(ENGLISH, (i for i, _ in entries())))

            def click(label):
                menu.Event(ids[label], "clicked", 0, dbus.UInt32(0), dbus_interface=MENU)
            click("_Options...")
            check(wait_until(lambda: shown("--name", "^Gimbalo options - Pad$")), "no options")
            click("_Language...")
            check(wait_until(lambda: labels() == ITALIAN), "Italian menu %s" % labels())
            check(wait_until(lambda: watcher.updates, 5), "the panel heard of no new captions")
            check(pictured() == PICTURED, "Italian pictures at %s" % pictured())
            click("E_xit")
            check(child.wait(timeout=20) == 0, "Exit: status %s" % child.returncode)
        finally:
            if child.poll() is None:
                child.kill()
                child.wait()
    print("%d passed, %d failed" % (results[True], results[False]))
    return 0 if results[False] == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]) if len(sys.argv) == 2 else __doc__)
