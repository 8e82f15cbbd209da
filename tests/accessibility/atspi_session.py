"""The built program in a session of its own, as assistive tools see it over AT-SPI.

Run inside a private X server and D-Bus session (xvfb-run ... dbus-run-session -- python3 ...):
the accessibility bus is started on demand by D-Bus. Every wait is bounded and ends as soon as
what it waits for has happened, so a loaded machine only makes a test slower.
"""

import ctypes
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIPPED = 77  # the exit code that CTest reports as skipped
WAIT_SECONDS = 30
CAPTION = "Glimbo http://www.glimbo.example"

try:
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import GLib
    import pyatspi
except (ImportError, ValueError) as missing:
    print(f"pyatspi absent ({missing}) : paquet python3-pyatspi", file=sys.stderr)
    sys.exit(SKIPPED)


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(what, condition):
    """Runs the events of the accessibility bus until `condition()` holds."""
    deadline = time.monotonic() + WAIT_SECONDS
    context = GLib.MainContext.default()
    while True:
        while context.pending():
            context.iteration(False)
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure(f"toujours pas au bout de {WAIT_SECONDS} s : {what}")
        time.sleep(0.02)


def descendants(node):
    for child in node:
        if child is not None:
            yield child
            yield from descendants(child)


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


class Events:
    """AT-SPI events of the given kinds, in order, as (type, role, name, detail1)."""

    def __init__(self, *kinds):
        self.seen = []
        self._kinds = kinds
        for kind in kinds:
            pyatspi.Registry.registerEventListener(self._record, kind)

    def _record(self, event):
        try:
            role, name = event.source.getRole(), event.source.name
        except Exception:  # the source went away before we asked
            role, name = None, None
        self.seen.append((event.type, role, name, event.detail1))

    def shown(self, role):
        return [name for kind, r, name, up in self.seen
                if kind == "object:state-changed:showing" and r == role and up]

    def close(self):
        for kind in self._kinds:
            pyatspi.Registry.deregisterEventListener(self._record, kind)


class _X:
    """The few Xlib calls with which the tests stand in for a window manager and a user."""

    def __init__(self):
        lib = ctypes.cdll.LoadLibrary("libX11.so.6")
        lib.XOpenDisplay.restype = ctypes.c_void_p
        lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        lib.XDefaultRootWindow.restype = ctypes.c_ulong
        lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        lib.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                   ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
                                   ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                   ctypes.POINTER(ctypes.c_uint)]
        lib.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                   ctypes.POINTER(ctypes.c_char_p)]
        lib.XSetInputFocus.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                       ctypes.c_ulong]
        lib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        lib.XFree.argtypes = [ctypes.c_void_p]
        self.lib = lib
        self.display = lib.XOpenDisplay(None)
        check(self.display, "pas de serveur X : lancez le test sous xvfb-run")

    def windows_named(self, title):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        self.lib.XQueryTree(self.display, self.lib.XDefaultRootWindow(self.display),
                            ctypes.byref(root), ctypes.byref(parent), ctypes.byref(children),
                            ctypes.byref(count))
        found = []
        for i in range(count.value):
            name = ctypes.c_char_p()
            if self.lib.XFetchName(self.display, children[i], ctypes.byref(name)) and name.value:
                if name.value.decode() == title:
                    found.append(children[i])
        return found

    def focus(self, window):
        self.lib.XSetInputFocus(self.display, window, 1, 0)  # RevertToPointerRoot, now
        self.lib.XSync(self.display, 0)


class Program:
    """FARLOUS in a folder of its own, with the given jokes file (None: none) and setting."""

    def __init__(self, exe, jokes=None, setting=None):
        self.folder = tempfile.mkdtemp(prefix="farlous-a11y-")
        shutil.copy(exe, os.path.join(self.folder, "FARLOUS"))
        if jokes is not None:
            with open(os.path.join(self.folder, "FARLOUS.TXT"), "w", encoding="utf-8") as file:
                file.write(jokes)
        config = os.path.join(self.folder, "config")
        os.mkdir(config)
        if setting is not None:
            with open(os.path.join(config, "FARLOUS.conf"), "w", encoding="utf-8") as file:
                file.write(f"[Options]\nShow Tips at Startup={setting}\n")
        environment = dict(os.environ, XDG_CONFIG_HOME=config,
                           QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        self.process = subprocess.Popen([os.path.join(self.folder, "FARLOUS")], env=environment,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.x = _X()

    def application(self):
        """The program's node on the accessibility bus, once it has one."""
        def find():
            desktop = pyatspi.Registry.getDesktop(0)
            for app in desktop:
                try:
                    if app is not None and app.get_process_id() == self.process.pid:
                        return app
                except Exception:  # an application that just went away
                    pass
            return None
        return wait_for("le programme sur le bus d'accessibilité", find)

    def window(self, role, name=None):
        """Its top-level window with this role (and name), once shown."""
        def find():
            for node in self.application():
                if node is not None and node.getRole() == role and name in (None, node.name):
                    if node.getState().contains(pyatspi.STATE_SHOWING):
                        return node
            return None
        return wait_for(f"une fenêtre {role} {name or ''}", find)

    def activate(self, title):
        """Gives the window the focus, as a window manager does when a window opens."""
        windows = wait_for(f"la fenêtre X « {title} »", lambda: self.x.windows_named(title))
        self.x.focus(windows[0])

    def end(self):
        """Waits for the program's end and returns its exit status."""
        wait_for("la fin du programme", lambda: self.process.poll() is not None)
        return self.process.returncode

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)


def press(keysym):
    pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)


def click(node):
    x, y, width, height = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    pyatspi.Registry.generateMouseEvent(x + width // 2, y + height // 2, "b1c")


TAB, SPACE, ESCAPE, RETURN = 0xFF09, 0x20, 0xFF1B, 0xFF0D


def run(tests):
    """Runs each test; prints and counts the failures; the exit status says whether all passed."""
    failed = 0
    for test in tests:
        try:
            test()
            print(f"[  OK  ] {test.__name__}")
        except Failure as failure:
            failed += 1
            print(f"[ÉCHEC ] {test.__name__} : {failure}")
    sys.exit(1 if failed else 0)
