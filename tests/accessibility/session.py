# FARLOUS as a screen reader meets it, inside a private X server and D-Bus session (xvfb-run ...
# dbus-run-session -- python3 ...), whose accessibility bus D-Bus starts on demand. Every wait ends
# as soon as what it waits for has happened: a loaded machine only makes a run slower.
import atexit, ctypes, importlib.util, os, pathlib, re, shutil, subprocess, sys, tempfile, time

if not importlib.util.find_spec("pyatspi"):
    print("skipped: paquet python3-pyatspi absent")
    sys.exit(77)  # reported as skipped
import pyatspi

CAPTION = "Glimbo http://www.glimbo.example"
scratch = tempfile.TemporaryDirectory(prefix="farlous-a11y-")


def wait_for(what, condition):
    deadline = time.monotonic() + 90  # a first start on a fresh, busy machine can take 30 s
    while not (result := condition()):
        assert time.monotonic() < deadline, f"toujours pas au bout de 90 s : {what}"
        time.sleep(0.02)
    return result


# FARLOUS in a folder of its own beside these jokes, without settings. Once its window is on the
# accessibility bus, so that screen readers hear of it, and on the screen, it gets the focus as a
# window manager would give it. Returns the window as AT-SPI has it.
def start(jokes):
    folder = tempfile.mkdtemp(dir=scratch.name)
    shutil.copy(sys.argv[1], folder)
    pathlib.Path(folder, "FARLOUS.TXT").write_text(jokes, encoding="utf-8")
    env = dict(os.environ, XDG_CONFIG_HOME=folder, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    atexit.register(subprocess.Popen([f"{folder}/FARLOUS"], env=env).kill)
    window = wait_for("la fenêtre sur le bus d'accessibilité", lambda: next(
        (w for app in pyatspi.Registry.getDesktop(0) for w in app if w.name == CAPTION), None))
    shown = wait_for("la fenêtre", lambda: re.search(r"id: (\w+).*IsViewable", subprocess.run(
        ["xwininfo", "-name", CAPTION], capture_output=True, text=True).stdout, re.S))
    x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    display = ctypes.c_void_p(x11.XOpenDisplay(None))
    x11.XSetInputFocus(display, ctypes.c_ulong(int(shown[1], 16)), 1, 0)  # RevertToPointerRoot, now
    x11.XCloseDisplay(display)
    return window
