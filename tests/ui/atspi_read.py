# Reads the window through the desktop's accessibility bus (AT-SPI) as a screen reader does and
# prints one line per finding; exits 1 when something a screen reader needs is missing.
# Usage: atspi_read.py main | dialog
import sys
import time

import pyatspi


def find_application(name):
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            application = desktop.getChildAtIndex(index)
            if application is not None and application.name == name:
                return application
        time.sleep(0.1)
    return None


def walk(node, depth=0):
    if node is None or depth > 12:
        return
    yield node
    for index in range(min(node.childCount, 40)):
        yield from walk(node.getChildAtIndex(index), depth + 1)


def read_headings(nodes):
    """The table's column headings through its table interface, as a reader moving along a row
    announces them."""
    tables = [node for node in nodes if node.getRoleName() == "table" and node.name == "Modules"]
    headings = []
    if tables:
        table = tables[0].queryTable()
        for column in range(table.nColumns):
            heading = table.getColumnHeader(column)
            headings.append(heading.name if heading is not None else None)
    wanted = ["IP", "SN", "GW", "DHCP", "Version", "Type", "MAC"]
    found = headings == wanted
    print(("read" if found else "fault: headings are"), "column headings", headings)
    return 0 if found else 1


def main():
    which = sys.argv[1]
    application = find_application("ordvane")
    if application is None:
        print("fault: ordvane is not on the accessibility bus")
        return 1
    nodes = list(walk(application))
    seen = {(node.getRoleName(), node.name) for node in nodes}
    descriptions = {(node.getRoleName(), node.name): node.description for node in nodes}
    if which == "main":
        wanted = [("dialog", None), ("table", "Modules"), ("push button", "Scan"),
                  ("table column header", "SN")]
        described = [("table column header", "SN", "Subnet mask"),
                     ("table column header", "GW", "Default gateway")]
    else:
        wanted = [("dialog", None), ("panel", "IP address:"), ("text", "Hostname:"),
                  ("password text", "Password:"), ("password text", "Confirm:"),
                  ("radio button", "On"), ("radio button", "Off"),
                  ("check box", "Change password")]
        described = []
    faults = 0
    if "--dump" in sys.argv:
        for role, name in sorted(seen):
            print("  ", role, repr(name))
    for role, name in wanted:
        found = any(r == role and (name is None or n == name) for r, n in seen)
        print(("read" if found else "fault: missing"), role, repr(name))
        faults += 0 if found else 1
    for role, name, description in described:
        found = descriptions.get((role, name)) == description
        print(("read" if found else "fault: no description"), role, repr(name), repr(description))
        faults += 0 if found else 1
    if which == "main":
        # Without a card on the demo network every row warns; the warning is the description.
        warned = [node for node in nodes if node.getRoleName() == "table cell" and node.description]
        print(("read" if warned else "fault: no"), "row warning as a cell's description")
        faults += 0 if warned else 1
        faults += read_headings(nodes)
    dialogs = [node for node in nodes if node.getRoleName() == "dialog"]
    if not any(node.getState().contains(pyatspi.STATE_MODAL) for node in dialogs):
        print("fault: no dialog is modal")
        faults += 1
    return 1 if faults else 0


sys.exit(main())
