"""What the Orca screen reader says of the built program: the joke as the window opens, each new
joke after "Blague suivante" (by keyboard and by mouse), the missing-file text, the About box and an
error box.

Orca's speech is read from its debug log, written to a terminal of our own so that each line comes
as soon as it is written; nothing is synthesised. Every line Orca speaks is printed.

Usage (inside a private X server and D-Bus session): python3 orca_test.py FARLOUS
"""

import os
import pty
import re
import shutil
import subprocess
import sys
import tempfile
import threading

from atspi_session import (CAPTION, ESCAPE, RETURN, SKIPPED, SPACE, TAB, Failure, Program, check,
                           click, descendants, press, pyatspi, run, text_of, wait_for)

EXE = sys.argv[1]
JOKES = "Le &chat && la souris\nUne blague un peu plus longue que la première\nEt une troisième\n"
# The spoken text, then the voice's name and settings, if any.
SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*?)'(?: voice=\w+)?\s*(?:\{.*\})?\s*$")

if not shutil.which("orca"):
    print("Orca absent : paquet orca", file=sys.stderr)
    sys.exit(SKIPPED)


class Orca:
    """Orca with settings of its own; `said` holds every line it has spoken so far."""

    def __init__(self):
        self.home = tempfile.mkdtemp(prefix="farlous-orca-")
        self.said = []
        log, self._terminal = pty.openpty()
        environment = dict(os.environ, HOME=self.home,
                           XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                           XDG_DATA_HOME=os.path.join(self.home, "data"),
                           LANG="C.UTF-8", LC_ALL="C.UTF-8", LANGUAGE="",  # role names in English
                           SPEECHD_CMD="/bin/false")  # no speech server: the log is enough
        self.process = subprocess.Popen(
            ["orca", "--debug-file", os.ttyname(self._terminal), "-u",
             os.path.join(self.home, "prefs")],
            env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        threading.Thread(target=self._read, args=(log,), daemon=True).start()
        wait_for("Orca prêt", lambda: "Screen reader on." in self.said)

    def _read(self, log):
        with open(log, "rb", buffering=0) as lines:
            pending = b""
            while True:
                try:
                    chunk = lines.read(65536)
                except OSError:  # Orca has ended
                    return
                if not chunk:
                    return
                pending += chunk
                *complete, pending = pending.split(b"\n")
                for line in complete:
                    match = SPOKEN.search(line.decode("utf-8", "replace").rstrip("\r"))
                    if match:
                        print(f"    Orca : {match.group(1)}")
                        self.said.append(match.group(1))

    def says(self, text, since=0):
        return [line for line in self.said[since:] if text in line]

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:  # Orca can hang as it leaves: its word is in already
            self.process.kill()
            self.process.wait()
        os.close(self._terminal)  # kept open until then: Orca may not open it once it is closed
        shutil.rmtree(self.home, ignore_errors=True)


def the_joke_label(dialog):
    return [node for node in descendants(dialog)
            if node.getRole() == pyatspi.ROLE_LABEL and node.name.startswith("Zinoquet : ")][0]


def button(dialog, name):
    return [node for node in descendants(dialog)
            if node.getRole() == pyatspi.ROLE_PUSH_BUTTON and node.name == name][0]


def start(jokes, setting=None, role=pyatspi.ROLE_DIALOG, title=CAPTION):
    program = Program(EXE, jokes, setting)
    window = program.window(role, title)
    program.activate(title)
    return program, window


def speaks_the_joke_as_the_window_opens_and_after_each_new_one():
    orca = Orca()
    program = None
    try:
        program, dialog = start(JOKES)
        joke = text_of(the_joke_label(dialog))
        wait_for("le titre, l'en-tête et la blague à l'ouverture",
                 lambda: orca.says(f"{CAPTION} dialog Zinoquet : {joke}"))
        wait_for("le bouton OK ensuite", lambda: orca.says("OK push button"))
        for press_it in (lambda: (press(TAB), press(TAB), press(SPACE)),
                         lambda: click(button(dialog, "Blague suivante"))):
            before = len(orca.said)
            press_it()
            spoken = wait_for("la nouvelle blague",
                              lambda: orca.says(text_of(the_joke_label(dialog)), before))
            check(spoken[0].startswith("notification "), f"dit : « {spoken[0]} »")
        # A later line: had a joke been said twice, the second would be in by now.
        before = len(orca.said)
        press(TAB)
        wait_for("« A Propos de Glimbo »", lambda: orca.says("A Propos de Glimbo push button", before))
        jokes = [line for line in orca.said if line.startswith("notification ")]
        check(len(jokes) == 2, f"{len(jokes)} blagues dites pour deux tirages : {jokes}")
        window = orca.says(f"{CAPTION} dialog")
        check(len(window) == 1, f"la fenêtre et sa blague lues {len(window)} fois : {window}")
        press(ESCAPE)
        check(program.end() == 0, "Échap ne ferme pas le programme proprement")
    finally:
        if program:
            program.close()
        orca.close()


def speaks_the_missing_file_text_the_about_box_and_an_error():
    orca = Orca()
    program = None
    try:
        program, dialog = start(jokes=None)
        wait_for("le texte sans fichier", lambda: orca.says("Zinoquet : Si vous lisez ce texte"))
        click(button(dialog, "A Propos de Glimbo"))
        wait_for("« A Propos de Glimbo »", lambda: orca.says("Ce programme vous est offert"))
        program.close()
        program, _ = start(JOKES, setting="abc", role=pyatspi.ROLE_ALERT, title="Zinoquet")
        wait_for("l'erreur", lambda: orca.says("Type incompatible"))
        press(RETURN)
        check(program.end() == 1, "la boîte d'erreur ne termine pas le programme en erreur")
    finally:
        if program:
            program.close()
        orca.close()


run([speaks_the_joke_as_the_window_opens_and_after_each_new_one,
     speaks_the_missing_file_text_the_about_box_and_an_error])
