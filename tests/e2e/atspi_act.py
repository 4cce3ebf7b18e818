#!/usr/bin/python3
"""Does an accessible action on a control of a running application, as a screen reader or a
voice-control tool would, through AT-SPI.

    atspi_act.py APPLICATION CONTROL ACTION [DESCRIPTION]

APPLICATION is the application's accessible name, CONTROL a control's accessible name (and, when
several share it, DESCRIPTION its accessible description), ACTION the action's name (Toggle,
Press). Waits up to 20 seconds for the control to appear; exits 0 once the action was done, 1
with a reason otherwise.
"""
import sys
import time

import pyatspi


def controls(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for i in range(node.childCount):
        try:
            child = node.getChildAtIndex(i)
        except Exception:  # a child that went away meanwhile
            continue
        yield from controls(child, depth + 1)


def find(application, name, description):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is None or app.name.lower() != application.lower():
            continue
        for node in controls(app):
            if node.name == name and (description is None or node.description == description):
                return node
    return None


def main(argv):
    if len(argv) not in (4, 5):
        print(__doc__, file=sys.stderr)
        return 2
    application, name, action = argv[1:4]
    description = argv[4] if len(argv) == 5 else None
    deadline = time.monotonic() + 20
    node = None
    while node is None and time.monotonic() < deadline:
        node = find(application, name, description)
        if node is None:
            time.sleep(0.2)
    if node is None:
        print(f"no control named {name!r} in {application!r}", file=sys.stderr)
        return 1
    actions = node.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    for i, found in enumerate(names):
        if found.lower() == action.lower():
            actions.doAction(i)
            return 0
    print(f"{name!r} offers no {action!r}, only {names}", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
