"""The built program as a screen reader sees it: its accessible tree, and what it announces.

Usage (inside a private X server and D-Bus session): python3 accessibility_test.py FARLOUS
"""

import sys

from atspi_session import (CAPTION, ESCAPE, RETURN, SPACE, TAB, Events, Failure, Program, check,
                           click, descendants, press, pyatspi, run, text_of, wait_for)

EXE = sys.argv[1]
JOKES = "Le &chat && la souris\nUne blague un peu plus longue que la première\nEt une troisième\n"
SHOWN = {"Le chat & la souris", "Une blague un peu plus longue que la première",
         "Et une troisième"}


def named(root, role, name):
    for node in descendants(root):
        if node.getRole() == role and node.name == name:
            return node
    raise Failure(f"pas de {role} « {name} »")


def focused(node):
    return node.getState().contains(pyatspi.STATE_FOCUSED)


def the_joke_label(dialog):
    return [node for node in descendants(dialog)
            if node.getRole() == pyatspi.ROLE_LABEL and node.name.startswith("Zinoquet : ")][0]


def tree_shows_roles_names_and_the_joke():
    program = Program(EXE, JOKES)
    try:
        dialog = program.window(pyatspi.ROLE_DIALOG, CAPTION)
        roles = [node.getRole() for node in descendants(dialog)]
        check(pyatspi.ROLE_FRAME not in roles, f"un cadre, rôle de fenêtre, dans la fenêtre : {roles}")
        buttons = {node.name for node in descendants(dialog)
                   if node.getRole() == pyatspi.ROLE_PUSH_BUTTON}
        check(buttons == {"OK", "Blague suivante", "A Propos de Glimbo"}, f"boutons : {buttons}")
        panel = named(dialog, pyatspi.ROLE_PANEL, "Blague du jour")
        check(panel.getState().contains(pyatspi.STATE_FOCUSABLE), "le panneau ne prend pas le focus")
        logo = named(dialog, pyatspi.ROLE_IMAGE, "Logo de Glimbo")
        check("Glimbo" in logo.description, f"description du logo : « {logo.description} »")
        heading = named(panel, pyatspi.ROLE_LABEL, "Zinoquet :")
        joke = the_joke_label(panel)
        check(text_of(joke) in SHOWN, f"texte de la blague : « {text_of(joke)} »")
        check(joke.name == "Zinoquet : " + text_of(joke), f"nom de la blague : « {joke.name} »")
        for label in (heading, joke):
            check(not label.getState().contains(pyatspi.STATE_FOCUSABLE), "une étiquette prend le focus")
            check(not label.getRelationSet(), f"« {label.name} » est reliée à un autre contrôle")
        program.activate(CAPTION)
        wait_for("le focus sur OK", lambda: focused(named(dialog, pyatspi.ROLE_PUSH_BUTTON, "OK")))
        press(ESCAPE)
        check(program.end() == 0, "Échap ne ferme pas le programme proprement")
    finally:
        program.close()


def each_new_joke_is_announced_once():
    program = Program(EXE, JOKES)
    events = Events("object:state-changed:showing")
    try:
        dialog = program.window(pyatspi.ROLE_DIALOG, CAPTION)
        next_tip = named(dialog, pyatspi.ROLE_PUSH_BUTTON, "Blague suivante")
        about = named(dialog, pyatspi.ROLE_PUSH_BUTTON, "A Propos de Glimbo")
        joke = the_joke_label(dialog)
        program.activate(CAPTION)
        wait_for("le focus sur OK", lambda: focused(named(dialog, pyatspi.ROLE_PUSH_BUTTON, "OK")))
        check(not events.shown(pyatspi.ROLE_NOTIFICATION), "une annonce à l'ouverture")
        press(TAB)
        press(TAB)
        wait_for("le focus sur « Blague suivante »", lambda: focused(next_tip))
        press(SPACE)
        announced = wait_for("l'annonce de la blague tirée au clavier",
                             lambda: events.shown(pyatspi.ROLE_NOTIFICATION))
        check(announced == [text_of(joke)], f"annoncé {announced}, affiché « {text_of(joke)} »")
        click(next_tip)
        announced = wait_for("l'annonce de la blague tirée à la souris",
                             lambda: events.shown(pyatspi.ROLE_NOTIFICATION)[1:])
        check(announced == [text_of(joke)], f"annoncé {announced}, affiché « {text_of(joke)} »")
        check(joke.name == "Zinoquet : " + text_of(joke), f"nom périmé : « {joke.name} »")
        # A later event: had a press been announced twice, the second would be in by now.
        press(TAB)
        wait_for("le focus sur « A Propos de Glimbo »", lambda: focused(about))
        count = len(events.shown(pyatspi.ROLE_NOTIFICATION))
        check(count == 2, f"{count} annonces pour deux blagues")
        press(ESCAPE)
        check(program.end() == 0, "Échap ne ferme pas le programme proprement")
    finally:
        events.close()
        program.close()


def missing_file_text_is_the_joke():
    program = Program(EXE, jokes=None)
    try:
        dialog = program.window(pyatspi.ROLE_DIALOG, CAPTION)
        text = text_of(the_joke_label(dialog))
        check(text.startswith("Si vous lisez ce texte"), f"texte sans fichier : « {text[:40]} »")
    finally:
        program.close()


def error_box_reads_its_message():
    program = Program(EXE, JOKES, setting="abc")
    try:
        box = program.window(pyatspi.ROLE_ALERT, "Zinoquet")
        texts = [node.name for node in descendants(box) if node.getRole() == pyatspi.ROLE_LABEL]
        check(any("Type incompatible" in text for text in texts), f"textes de la boîte : {texts}")
        program.activate("Zinoquet")
        press(RETURN)
        check(program.end() == 1, "la boîte d'erreur ne termine pas le programme en erreur")
    finally:
        program.close()


run([tree_shows_roles_names_and_the_joke, each_new_joke_is_announced_once,
     missing_file_text_is_the_joke, error_box_reads_its_message])
