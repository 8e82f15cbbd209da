# What Orca says of the window: its title, the joke under its heading and the focused OK as it
# opens, each control Tab stops at, and each new joke, once, without the focus moving. Orca's
# speech is read from its debug log, and printed; nothing is synthesised.
# Usage (inside a private X server and D-Bus session): python3 orca_test.py FARLOUS
import atexit, os, pty, re, shutil, subprocess, sys, threading
from session import CAPTION, pyatspi, scratch, start, wait_for

if not shutil.which("orca"):
    print("skipped: paquet orca absent")
    sys.exit(77)
said, TAB, BACKTAB, SPACE = [], 0xFF09, 0xFE20, 0x20
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
    (TAB, "A Propos de Glimbo push button.", "Dit qui offre ce programme et où trouver d'autres "),
    (TAB, "Logo de Glimbo image.", "Le mot Glimbo en grosses lettres arrondies, dégradées du "),
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
