#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Pelorin Greetings

"""What a screen reader reads of a running program, through AT-SPI.

usage: screen_reader.py PID tree   every object of the program's windows:
                                   role | name | description [states]
       screen_reader.py PID announced SECONDS
                                   what takes the focus in the program in
                                   the next SECONDS, as a screen reader is
                                   told of it (menus are never in the tree):
                                   ROLE_NUMBER | NAME
       screen_reader.py PID where NAME
                                   the middle of the first shown object of
                                   that name that takes the focus (a field,
                                   not its label), in screen pixels: X Y
       screen_reader.py PID focus  the active window and the focused object,
                                   as a screen reader announces them:
                                   window: ROLE | NAME
                                   focus: ROLE | NAME
                                   description: DESCRIPTION

Lines of a description are joined with " / ". Roles are told by their
number, under the names below, since libatspi's own English names change
between releases (2.53 renamed "push button" to "button"). Exits 1 when the
program has no application on the accessibility bus (yet).
"""
import sys

import pyatspi


ROLE_NAMES = {
    pyatspi.ROLE_APPLICATION: "application",
    pyatspi.ROLE_FRAME: "frame",
    pyatspi.ROLE_DIALOG: "dialog",
    pyatspi.ROLE_PUSH_BUTTON: "push button",
    pyatspi.ROLE_TEXT: "text",
    pyatspi.ROLE_IMAGE: "image",
    pyatspi.ROLE_PANEL: "panel",
    pyatspi.ROLE_FILLER: "filler",
    pyatspi.ROLE_LABEL: "label",
    pyatspi.ROLE_SCROLL_BAR: "scroll bar",
    pyatspi.ROLE_SCROLL_PANE: "scroll pane",
    pyatspi.ROLE_POPUP_MENU: "popup menu",
    pyatspi.ROLE_MENU: "menu",
    pyatspi.ROLE_MENU_ITEM: "menu item",
}


def role(accessible):
    number = accessible.getRole()
    return ROLE_NAMES.get(number, f"role {int(number)}")


def application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:  # an application that went away meanwhile
            continue
    return None


def children(accessible):
    for index in range(accessible.childCount):
        child = accessible.getChildAtIndex(index)
        if child is not None:
            yield child


def description(accessible):
    return (accessible.description or "").replace("\n", " / ")


def tree(accessible, depth=0):
    marks = [pyatspi.stateToString(flag) for flag in accessible.getState().getStates()]
    print("  " * depth + f"{role(accessible)} | {accessible.name} | {description(accessible)} [{', '.join(marks)}]")
    for child in children(accessible):
        tree(child, depth + 1)


def focused(accessible):
    if accessible.getState().contains(pyatspi.STATE_FOCUSED):
        return accessible
    for child in children(accessible):
        found = focused(child)
        if found is not None:
            return found
    return None


def announced(pid, seconds):
    from gi.repository import GLib

    def on_focus(event):
        try:
            if event.detail1 and event.source.get_process_id() == pid:
                print(f"{int(event.source.getRole())} | {event.source.name}", flush=True)
        except Exception:  # an object that went away meanwhile
            pass

    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    GLib.timeout_add(int(seconds * 1000), lambda: pyatspi.Registry.stop())
    pyatspi.Registry.start()


def named(accessible, name):
    state = accessible.getState()
    if accessible.name == name and state.contains(pyatspi.STATE_SHOWING) and state.contains(pyatspi.STATE_FOCUSABLE):
        return accessible
    for child in children(accessible):
        found = named(child, name)
        if found is not None:
            return found
    return None


def main():
    pid, command = int(sys.argv[1]), sys.argv[2]
    if command == "announced":
        announced(pid, float(sys.argv[3]))
        return 0
    app = application(pid)
    if app is None:
        print(f"no application with pid {pid} on the accessibility bus", file=sys.stderr)
        return 1
    if command == "tree":
        tree(app)
        return 0
    if command == "where":
        found = named(app, sys.argv[3])
        if found is None:
            return 1
        box = found.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        print(box.x + box.width // 2, box.y + box.height // 2)
        return 0
    for window in children(app):
        if window.getState().contains(pyatspi.STATE_ACTIVE):
            print(f"window: {role(window)} | {window.name}")
            target = focused(window)
            if target is not None:
                print(f"focus: {role(target)} | {target.name}")
                print(f"description: {description(target)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
