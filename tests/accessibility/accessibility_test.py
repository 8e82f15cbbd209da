# What a screen reader finds in the window over AT-SPI beside what Orca says as the focus moves: the
# labels, which never take the focus, the joke read with its heading. An "&" marks the next letter
# as the access key, "&&" writes one.
# Usage (inside a private X server and D-Bus session): python3 accessibility_test.py FARLOUS
from session import pyatspi, start

window = start("Le &chat && la souris\n")
labels = [(node.name, node.description, node.getState().contains(pyatspi.STATE_FOCUSABLE))
          for node in pyatspi.findAllDescendants(window, lambda n: n.getRoleName() == "label")]
assert sorted(labels) == [("Zinoquet :", "", False),
                          ("Zinoquet : Le chat & la souris", "Blague du jour", False)], labels
