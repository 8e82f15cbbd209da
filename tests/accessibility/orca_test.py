# What Orca says of FARLOUS's window: its title, the joke under its heading and the focused OK as
# it opens, each control Tab stops at, the About box, and each new joke, once, without the focus
# moving. Orca's speech is read from its debug log, and printed; nothing is synthesised. Every
# wait ends as soon as what it waits for has happened: a loaded machine only makes a run slower.
# Usage, inside a private X server and D-Bus session, whose accessibility bus D-Bus starts on
# demand: xvfb-run ... dbus-run-session -- python3 orca_test.py FARLOUS
import atexit, ctypes, importlib.util, os, pathlib, pty, re, shutil, subprocess, sys, tempfile
import threading, time

if not importlib.util.find_spec("pyatspi") or not shutil.which("orca"):
    print("skipped: paquet python3-pyatspi ou orca absent")
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
# window manager would give it.
def start(jokes):
    folder = tempfile.mkdtemp(dir=scratch.name)
    shutil.copy(sys.argv[1], folder)
    pathlib.Path(folder, "FARLOUS.TXT").write_text(jokes, encoding="utf-8")
    env = dict(os.environ, XDG_CONFIG_HOME=folder, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    atexit.register(subprocess.Popen([f"{folder}/FARLOUS"], env=env).kill)
    wait_for("la fenêtre sur le bus d'accessibilité", lambda: next(
        (w for app in pyatspi.Registry.getDesktop(0) for w in app if w.name == CAPTION), None))
    shown = wait_for("la fenêtre", lambda: re.search(r"id: (\w+).*IsViewable", subprocess.run(
        ["xwininfo", "-name", CAPTION], capture_output=True, text=True).stdout, re.S))
    x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    display = ctypes.c_void_p(x11.XOpenDisplay(None))
    x11.XSetInputFocus(display, ctypes.c_ulong(int(shown[1], 16)), 1, 0)  # RevertToPointerRoot, now
    x11.XCloseDisplay(display)


said, TAB, BACKTAB, SPACE, ESCAPE = [], 0xFF09, 0xFE20, 0x20, 0xFF1B
log, terminal = pty.openpty()  # where Orca writes each line as soon as it has it
# Orca will not start if pgrep finds another Orca of the same user: this one has a session of
# its own, so let the others be. No speech server either, and English role names.
os.symlink("/bin/false", f"{scratch.name}/pgrep")
env = dict(os.environ, PATH=f"{scratch.name}:{os.environ['PATH']}", HOME=scratch.name,
           LC_ALL="C.UTF-8", LANGUAGE="", SPEECHD_CMD="/bin/false")
atexit.register(subprocess.Popen(
    ["orca", "--debug-file", os.ttyname(terminal), "-u", scratch.name], env=env,
    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).kill)


def listen():
    for line in open(log, "rb"):
        if spoken := re.search(rb"SPEECH OUTPUT: '(.*?)'( voice=\w+)?\s*(\{.*\})?$", line.strip()):
            said.append(spoken[1].decode())
            print("    Orca :", said[-1])


# Presses the key, then waits until Orca has said lines starting so, in this order; returns them.
# Without a key, they are looked for in all Orca has said.
def hear(key, *lines):
    since = len(said) if key else 0
    if key:
        pyatspi.Registry.generateKeyboardEvent(key, None, pyatspi.KEY_SYM)

    def heard():
        rest = iter(said[since:])
        found = [next((line for line in rest if line.startswith(text)), None) for text in lines]
        return None not in found and found

    return wait_for(f"Orca dit {lines}", heard)


threading.Thread(target=listen, daemon=True).start()
wait_for("Orca prêt", lambda: "Screen reader on." in said)
start("Le &chat && la souris\nUn &cochon && un âne\n")
opening = hear(None, f"{CAPTION} dialog Zinoquet : ", "OK push button.", "Ferme la fenêtre.")
joke = opening[0].removeprefix(f"{CAPTION} dialog ")
assert joke in ("Zinoquet : Le chat & la souris.", "Zinoquet : Un cochon & un âne."), joke
for key, *lines in [
    (TAB, "Blague du jour panel.", joke),
    (TAB, "Blague suivante push button.", "Montre une autre blague tirée au hasard."),
    (TAB, "A Propos de Glimbo push button.",
     "Dit qui offre ce programme et où trouver d'autres blagues."),
    (SPACE, "alert Zinoquet.", "Ce programme vous est offert par Glimbo, Webzine",
     "OK push button."),
    (ESCAPE, "A Propos de Glimbo push button."),
    (TAB, "Logo de Glimbo image.", "Le mot Glimbo en grosses lettres arrondies, dégradées du rouge "
     "au jaune et bordées de bleu, avec dessous l'adresse www.glimbo.example."),
    (TAB, "OK push button.", "Ferme la fenêtre."),
    (TAB, "Blague du jour panel."),
    (TAB, "Blague suivante push button."),
]:
    hear(key, *lines)
# Shift+Tab after each new joke finds the focus where it was, and the panel showing the joke said
# (an "&" left in would not match).
for _ in range(4):
    joke = "Zinoquet : " + hear(SPACE, "notification ")[0].removeprefix("notification ")
    hear(BACKTAB, "Blague du jour panel.", joke)
    hear(TAB, "Blague suivante push button.")
assert len([line for line in said if line.startswith("notification ")]) == 4, said
