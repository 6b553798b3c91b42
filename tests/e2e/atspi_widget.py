#!/usr/bin/python3
"""Reads and works Purrtick's widget through AT-SPI, as a screen reader does.

  atspi_widget.py describe       the widget's name, then each button as "name|actions|states"
  atspi_widget.py press NAME     does the first action of the button named NAME
  atspi_widget.py watch SECONDS  counts the widget's name-change events for that long
"""
import sys

import pyatspi
from gi.repository import GLib



def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name.lower() == "purrtick":
            return app
    sys.exit("no Purrtick on the accessibility bus")


def nodes(node):
    yield node
    for child in node:
        if child is not None:
            yield from nodes(child)


def widget(app):
    for node in nodes(app):
        if node.name.startswith("Purrtick, "):
            return node
    sys.exit("no accessible named for the time")


def buttons(app):
    return [n for n in nodes(app) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON]


def main():
    app = application()
    command = sys.argv[1]
    if command == "describe":
        print(widget(app).name)
        for button in buttons(app):
            action = button.queryAction()
            names = [action.getName(i) for i in range(action.nActions)]
            states = button.getState()
            shown = "visible" if states.contains(pyatspi.STATE_VISIBLE) else "invisible"
            print(f"{button.name}|{','.join(names)}|{shown}")
    elif command == "press":
        for button in buttons(app):
            if button.name == sys.argv[2]:
                button.queryAction().doAction(0)
                return
        sys.exit(f"no button named {sys.argv[2]}")
    elif command == "watch":
        target = widget(app)
        count = 0

        def heard(event):
            nonlocal count
            if event.source == target:
                count += 1

        pyatspi.Registry.registerEventListener(heard, "object:property-change:accessible-name")
        GLib.timeout_add(int(float(sys.argv[2]) * 1000), lambda: pyatspi.Registry.stop())
        pyatspi.Registry.start()
        print(count)


main()
