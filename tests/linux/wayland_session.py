#!/usr/bin/python3
"""Usage: wayland_session.py GIMBALO REPLAY UINPUT_STAND_IN ARTIFACTS (under dbus-run-session)
Gimbalo on a headless weston with stand-ins for a tray watcher and /dev/uinput; photographs."""

import glob, os, shutil, signal, subprocess, sys, tempfile, time  # noqa: E401

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

WATCHER, MENU, ITEM = "org.kde.StatusNotifierWatcher", "com.canonical.dbusmenu", \
    "org.kde.StatusNotifierItem"
LABELS = {"English.lng": ["_Options...", "-", "_Language...", "Add a lan_guage...", "-",
                          "Make a _donation...", "-", "_Check for updates...", "-", "L_icence...",
                          "_Version history...", "_About Gimbalo...", "-", "E_xit"],
          "Italiano.lng": ["_Opzioni...", "-", "_Lingua...", "A_ggiungi una lingua...", "-",
                           "Fai una _donazione...", "-", "_Controlla aggiornamenti...", "-",
                           "Licen_za...", "_Versioni del programma...",
                           "_Informazioni su Gimbalo...", "-", "_Esci"]}
PICTURED = [0, 5, 7, 9, 11, 13]  # the entries with a 13 x 13 picture
PNG13 = b"\x89PNG\r\n\x1a\n\0\0\0\rIHDR" + bytes([0, 0, 0, 13] * 2)


class Watcher(dbus.service.Object):
    items, updates = [], []

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierItem(self, service):
        self.items.append(service)


def main(gimbalo, replay, stand_in, artifacts):
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
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

    folder = tempfile.mkdtemp()
    runtime, record = os.path.join(folder, "runtime"), os.path.join(folder, "uinput")
    os.mkdir(runtime, 0o700)
    with open(os.path.join(folder, "weston.ini"), "w") as config:
        config.write("[shell]\npanel-position=none\nbackground-color=0xff406080\n")
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM")}
    env.update(XDG_RUNTIME_DIR=runtime, WAYLAND_DISPLAY="gimbalo-test", XDG_SESSION_TYPE="")
    weston = subprocess.Popen(
        ["weston", "--backend=headless-backend.so", "--use-pixman", "--width=1024",
         "--height=768", "--socket=gimbalo-test", "--idle-time=0", "--debug",
         "--config=" + config.name], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def differing(first, second):  # how many pixels differ (ImageMagick's count)
        compared = subprocess.run(["compare", "-metric", "AE", first, second, "null:"],
                                  capture_output=True, text=True)
        return int(float((compared.stderr.split() or ["1e9"])[0]))

    def settled(changed, seconds=20):  # a screenshot that holds still (a caret aside), `changed`
        shots, now, end = [os.path.join(folder, "%d.png" % i) for i in (0, 1)], 0, \
            time.monotonic() + seconds
        while time.monotonic() < end:
            time.sleep(0.2)
            now = 1 - now
            subprocess.run(["weston-screenshooter"], cwd=folder, env=env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for shot in glob.glob(os.path.join(folder, "wayland-screenshot-*.png")):
                os.replace(shot, shots[now])
            if os.path.exists(shots[0]) and os.path.exists(shots[1]) \
                    and differing(*shots) < 100 and changed(shots[now]):
                return shots[now]
        return None

    def start(program, language, script="at 5: x=0\nat 9: x=32768\n"):  # a replay runs `script`
        home = os.path.join(tempfile.mkdtemp(dir=folder), "gimbalo")
        os.makedirs(home)
        for name, text in (("Gimbalo.ini", "\r\n".join("1232100") + "\r\n%s\r\n" % language),
                           ("run", 'joystick "Pad" buttons=4\n%sat 9000: quit\n' % script)):
            with open(os.path.join(home, name), "w", newline="") as out:
                out.write(text)
        command = [program] + ([out.name, "--settings", home, "--trace"] * (program == replay))
        child = subprocess.Popen(command, stdout=open(os.path.join(home, "trace"), "w"),
                                 stderr=subprocess.DEVNULL,
                                 env=dict(env, XDG_CONFIG_HOME=os.path.dirname(home),
                                          LD_PRELOAD=stand_in, GIMBALO_UINPUT_STAND_IN=record))
        child.trace = os.path.join(home, "trace")
        return child

    def photograph(name):  # once a window shows and holds still
        shot = settled(lambda shot: differing(shot, empty) > 2000)
        check(shot, name + ": nothing showed")
        if shot:
            os.replace(shot, os.path.join(artifacts, "wayland-%s.png" % name))

    def end(child):
        child.send_signal(signal.SIGTERM) or child.wait(timeout=20)

    def icon():  # the newest icon on the bus, and its menu
        count = len(watcher.items)
        check(wait_until(lambda: len(watcher.items) > count), "no icon registered")
        item = bus.get_object(watcher.items[-1], "/StatusNotifierItem")
        return item, bus.get_object(watcher.items[-1],
                                    item.Get(ITEM, "Menu", dbus_interface=dbus.PROPERTIES_IFACE))

    def layout(menu, ids=False):  # the labels ("-": a separator) and where the 13 x 13 PNGs are
        entries = menu.GetLayout(0, -1, [], dbus_interface=MENU)[1][2]
        return {str(p.get("label", "-")): i for i, p, _ in entries} if ids else (
            [str(p.get("label", "-")) for _, p, _ in entries],
            [n for n, (_, p, _) in enumerate(entries)
             if bytes(p.get("icon-data", b""))[:24] == PNG13])

    def click(menu, label):
        menu.Event(layout(menu, True)[label], "clicked", 0, dbus.UInt32(0), dbus_interface=MENU)

    try:
        os.makedirs(artifacts, exist_ok=True)
        empty = settled(os.path.exists)
        check(empty, "weston gave no screenshot")
        empty = shutil.copy(empty or "/dev/null", os.path.join(folder, "empty.png"))
        # The first icon is on the bus before a watcher is, and waits for one.
        first = start(replay, "English.lng")
        check(wait_until(lambda: any(n.startswith(ITEM) for n in bus.list_names())), "no item")
        name = dbus.service.BusName(WATCHER, bus)  # noqa: F841 (the name lives as long as it)
        for language, shown, opens in (("English.lng", "English", "Activate"),
                                       ("Italiano.lng", "Italian", "ContextMenu")):
            # The icon, with its tooltip and the menu in the language; the
            # middle click opens nothing, the left or the right one the menu.
            child = first if language == "English.lng" else start(replay, language)
            item, menu = icon()
            props = item.GetAll(ITEM, dbus_interface=dbus.PROPERTIES_IFACE)
            check(props["ToolTip"][2] == "Animated TrayIcon" and props["ItemIsMenu"]
                  and props["IconPixmap"], "tooltip, menu or picture: %r" % props)
            check(layout(menu) == (LABELS[language], PICTURED), "menu %s" % (layout(menu),))
            item.SecondaryActivate(0, 0, dbus_interface=ITEM)
            check(not settled(lambda shot: differing(shot, empty) > 2000, 2), "middle click")
            getattr(item, opens)(0, 0, dbus_interface=ITEM)
            photograph("menu-" + shown)
            end(child)
            # The exported entries open the options and the about box.
            for label, photo in ((0, "options"), (11, "about")):
                child = start(replay, language)
                click(icon()[1], LABELS[language][label])
                photograph("%s-%s" % (photo, shown))
                end(child)
            child = start(gimbalo, language)  # no joystick: its message box
            photograph("message-" + shown)
            end(child)
        # Choosing Italiano.lng from the exported Language makes the menu
        # Italian and tells the panel; the exported Exit ends the program.
        italian = os.path.join(os.path.dirname(os.path.abspath(replay)), "Lang", "Italiano.lng")
        child = start(replay, "English.lng", 'at 1: dialog "%s"\n' % italian)
        menu = icon()[1]
        # Once its script's first tick has queued the answer to the file dialog.
        check(wait_until(lambda: "tick=1 " in open(child.trace).read()), "no first tick")
        click(menu, "_Language...")
        check(wait_until(lambda: layout(menu) == (LABELS["Italiano.lng"], PICTURED)),
              "not Italian, or pictures lost: %s" % (layout(menu),))
        check(wait_until(lambda: watcher.updates, 5), "the panel heard of no new captions")
        click(menu, "_Esci")
        check(child.wait(timeout=20) == 0, "Exit: status %s" % child.returncode)
        # Six replays were pushed left for four ticks: a move and a report each.
        sent = os.path.getsize(record) if os.path.exists(record) else 0
        check(sent == 6 * 4 * 2 * 24, "the replays sent %d bytes to /dev/uinput" % sent)
    finally:
        weston.terminate()
        weston.wait(timeout=20)
        shutil.rmtree(folder)
    print("%d passed, %d failed" % (results[True], results[False]))
    return 0 if results[False] == 0 else 1


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]) if len(sys.argv) == 5 else __doc__)
