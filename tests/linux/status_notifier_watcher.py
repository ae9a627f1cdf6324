#!/usr/bin/python3
"""Gimbalo's tray icon as a panel that takes StatusNotifierItems sees it.

Usage: status_notifier_watcher.py GIMBALO_REPLAY  (under xvfb-run and dbus-run-session)

A stand-in StatusNotifierWatcher with a host takes the icon's registration;
the icon's properties and its exported menu are read in English, the menu's
entries are clicked (Options, Language: Italiano, Exit) and the menu is read
again in Italian; Activate and ContextMenu must open the program's menu and
SecondaryActivate nothing. Prints "N passed, M failed"; exits 0 only when
nothing failed, 2 when it cannot run.
"""

import os
import subprocess
import sys
import tempfile
import time

WATCHER = "org.kde.StatusNotifierWatcher"
ENGLISH = ["_Options...", "-", "_Language...", "Add a lan_guage...", "-", "Make a _donation...",
           "-", "_Check for updates...", "-", "L_icence...", "_Version history...",
           "_About Gimbalo...", "-", "E_xit"]
ITALIAN = ["_Opzioni...", "-", "_Lingua...", "A_ggiungi una lingua...", "-",
           "Fai una _donazione...", "-", "_Controlla aggiornamenti...", "-", "Licen_za...",
           "_Versioni del programma...", "_Informazioni su Gimbalo...", "-", "_Esci"]
PICTURED = [0, 5, 7, 9, 11, 13]  # positions with a 13 x 13 picture


def main(argv):
    if len(argv) != 2 or not os.access(argv[1], os.X_OK):
        sys.exit("status_notifier_watcher.py: give the path of the gimbalo-replay program")
    import dbus
    import dbus.mainloop.glib
    import dbus.service
    from gi.repository import GLib
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    results = {True: 0, False: 0}

    def check(ok, what):
        results[bool(ok)] += 1
        if not ok:
            print("FAILED: " + what)

    def wait_until(done, seconds=20):
        end = time.monotonic() + seconds
        while not done() and time.monotonic() < end:
            GLib.MainContext.default().iteration(False) or time.sleep(0.02)
        return done()

    class Watcher(dbus.service.Object):
        items, layouts_updated = [], []

        @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
        def RegisterStatusNotifierItem(self, service, sender=None):
            self.items.append(service)

        @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
        def Get(self, interface, name):
            return {"IsStatusNotifierHostRegistered": True, "ProtocolVersion": dbus.Int32(0),
                    "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s")}[name]

    name = dbus.service.BusName(WATCHER, bus)  # kept: the name goes with the object
    watcher = Watcher(bus, "/StatusNotifierWatcher")
    bus.add_signal_receiver(lambda *args: watcher.layouts_updated.append(args),
                            "LayoutUpdated", "com.canonical.dbusmenu")

    def layout(menu):
        entries = menu.GetLayout(0, -1, [], dbus_interface="com.canonical.dbusmenu")[1][2]
        return [(int(e[0]), e[1]) for e in entries]

    def labels(entries):
        return [str(p.get("label", "-" if p.get("type") == "separator" else "?"))
                for _, p in entries]

    def pictures_of(entries):
        png = [bytes(p.get("icon-data", b"")) for _, p in entries]
        return [i for i, data in enumerate(png)
                if data[:8] == b"\x89PNG\r\n\x1a\n" and data[16:24] == bytes([0, 0, 0, 13] * 2)]

    def shown():
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(child.pid)],
                               capture_output=True, text=True)
        return found.stdout.split()

    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "Gimbalo.ini"), "wb") as settings:
            settings.write(b"1\r\n2\r\n3\r\n2\r\n1\r\n0\r\n0\r\nEnglish.lng\r\n")
        italian = os.path.join(os.path.dirname(os.path.abspath(argv[1])), "Lang", "Italiano.lng")
        script = os.path.join(folder, "tray.replay")
        with open(script, "w") as out:
            out.write('joystick "Pad" buttons=4\nat 1: dialog "%s"\nat 12000: quit\n' % italian)
        child = subprocess.Popen([argv[1], script, "--settings", folder],
                                 stdout=subprocess.DEVNULL)
        try:
            check(wait_until(lambda: watcher.items), "the icon never registered")
            item = bus.get_object(watcher.items[0], "/StatusNotifierItem")
            props = item.GetAll("org.kde.StatusNotifierItem", dbus_interface=dbus.PROPERTIES_IFACE)
            check(props["ToolTip"][2] == "Animated TrayIcon", "tooltip %r" % (props["ToolTip"],))
            check(props["ItemIsMenu"] and props["IconPixmap"], "not a menu, or no picture")
            menu = bus.get_object(watcher.items[0], props["Menu"])
            entries = layout(menu)
            check(labels(entries) == ENGLISH, "English menu %s" % labels(entries))
            check(pictures_of(entries) == PICTURED, "pictures at %s" % pictures_of(entries))

            # The left and the right click open the program's menu; the middle one nothing.
            for method in ("Activate", "ContextMenu", "SecondaryActivate"):
                getattr(item, method)(0, 0, dbus_interface="org.kde.StatusNotifierItem")
                opened = wait_until(lambda: shown(), 3 if method == "SecondaryActivate" else 20)
                check(bool(opened) == (method != "SecondaryActivate"), "%s: windows %s" % (method, opened))
                subprocess.run(["xdotool", "key", "Escape"])
                check(wait_until(lambda: not shown()), "%s: the menu stayed" % method)

            ids = {name: entry[0] for name, entry in zip(ENGLISH, entries)}
            click = lambda name: menu.Event(ids[name], "clicked", dbus.Int32(0), dbus.UInt32(0),
                                            dbus_interface="com.canonical.dbusmenu")
            click("_Options...")
            check(wait_until(lambda: subprocess.run(
                ["xdotool", "search", "--onlyvisible", "--name", "^Gimbalo options - Pad$"],
                capture_output=True).returncode == 0), "Options opened no dialog")
            click("_Language...")  # the script answers with Italiano.lng
            check(wait_until(lambda: labels(layout(menu)) == ITALIAN),
                  "Italian menu %s" % labels(layout(menu)))
            check(wait_until(lambda: watcher.layouts_updated, 5), "the panel heard of no new captions")
            check(pictures_of(layout(menu)) == PICTURED, "Italian pictures")
            click("E_xit")
            try:
                check(child.wait(timeout=20) == 0, "Exit: status %s" % child.returncode)
            except subprocess.TimeoutExpired:
                check(False, "Exit did not end the program")
        finally:
            if child.poll() is None:
                child.kill()
                child.wait()
    print("%d passed, %d failed" % (results[True], results[False]))
    return 0 if results[False] == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
