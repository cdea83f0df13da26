#!/usr/bin/python3
"""The program as assistive technology sees it: the accessibility tree over AT-SPI.

Usage: accessibility.py SCENARIO --exe build/app/strovane --artifacts DIR
Runs the real program on its own Xvfb display with openbox, inside a private D-Bus session with
the accessibility bus, and reads it as a screen reader does. Exit 77 (skipped) where no D-Bus
session or AT-SPI can be had.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import time
import traceback

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
from desktop import App, Desktop, ScenarioError, new_workdir, wait_for, wait_file  # noqa: E402
from scenarios import NAMESPACE, can_use_namespaces  # noqa: E402

SKIP = 77
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
SESSION_FLAG = "--in-session"

TITLE_BASE = "www.strovane.example - Strovane SC40518 - CANopen / RS232 / RS485  : "
NEW_PROJECT = "Create New Project"
OPEN_PROJECT = "Open Project"
ABOUT = "About..."
PAR_GEN = "Set Communication"
RPDO = "Receive PDOs"
TPDO = "Transmit PDOs"
UPDATE = "Update Firmware from Serial (RS232)"
PORT_LABEL = "3 - Select the  COM port and press the connect button"

pyatspi = None  # imported inside the session


# ---------------------------------------------------------------- the tree

def role(acc):
    return acc.getRoleName()


def has(acc, state):
    return acc.getState().contains(state)


def children(acc):
    return [acc.getChildAtIndex(i) for i in range(acc.childCount)]


class Program:
    """The program's accessible application, found by its process."""

    def __init__(self, app):
        self.app = app

    def root(self):
        def found():
            desktop = pyatspi.Registry.getDesktop(0)
            for acc in children(desktop):
                try:
                    if acc is not None and acc.get_process_id() == self.app.pid:
                        return acc
                except Exception:
                    continue
            return None
        return wait_for("the program on the accessibility bus", found)

    def windows(self):
        """Top-level windows shown now, by name."""
        return [w for w in children(self.root()) if w is not None and has(w, pyatspi.STATE_SHOWING)]

    def window(self, name):
        pattern = name if isinstance(name, re.Pattern) else re.compile(re.escape(name) + "$")

        def shown():
            for w in self.windows():
                if pattern.match(w.name):
                    return w
            return None
        return wait_for("window %r in the accessibility tree" % getattr(name, "pattern", name), shown)

    def wait_closed(self, name):
        wait_for("window %r to leave the accessibility tree" % name,
                 lambda: all(w.name != name for w in self.windows()))


def walk(acc, inside_combo=False):
    for child in children(acc):
        if child is None:
            continue
        yield child, inside_combo
        yield from walk(child, inside_combo or role(child) == "combo box")


def labelled_by(acc):
    for relation in acc.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY and relation.getNTargets():
            return relation.getTarget(0).name
    return None


def spoken_name(acc):
    """The name a screen reader announces. Qt names a combo box on Linux by its value and ties its
    label through the labelled-by relation, which screen readers read instead."""
    if role(acc) == "combo box":
        return labelled_by(acc)
    return acc.name


def focusable_controls(window):
    """(role, name) of every control a keyboard user can reach, in tree order. A combo box's
    popup list and a table's cells are parts of their control, not controls of their own."""
    found = []
    for acc, in_combo in walk(window):
        if in_combo or role(acc) in ("table cell", "list item"):
            continue
        if has(acc, pyatspi.STATE_FOCUSABLE) and has(acc, pyatspi.STATE_SHOWING):
            found.append((role(acc), spoken_name(acc)))
    return found


def find(window, role_name, name):
    for acc, _ in walk(window):
        if role(acc) == role_name and spoken_name(acc) == name and has(acc, pyatspi.STATE_SHOWING):
            return acc
    raise ScenarioError("no %s named %r in %r; focusable: %r" % (role_name, name, window.name,
                                                                   focusable_controls(window)))


def do_action(acc, *names):
    action = acc.queryAction()
    available = [action.getName(i) for i in range(action.nActions)]
    for name in names:
        if name in available:
            if not action.doAction(available.index(name)):
                raise ScenarioError("action %s of %r refused" % (name, acc.name))
            return
    raise ScenarioError("%r has none of the actions %r (it has %r)" % (acc.name, names, available))


def press(window, name):
    do_action(find(window, "push button", name), "Press", "press", "click")


def focus(acc):
    try:
        do_action(acc, "SetFocus")
    except ScenarioError:
        acc.queryComponent().grabFocus()
    wait_for("the focus on %r" % acc.name, lambda: has(acc, pyatspi.STATE_FOCUSED))


def choose(d, combo, item):
    """Opens a combo box through its action and picks the item by keyboard, as a screen reader
    user does."""
    names = [acc.name for acc, _ in walk(combo) if role(acc) == "list item"]
    if item not in names:
        raise ScenarioError("%r has no item %r (it has %r)" % (spoken_name(combo), item, names))
    steps = names.index(item) - names.index(combo.name)
    do_action(combo, "ShowMenu")
    wait_for("the list of %r" % spoken_name(combo),
             lambda: any(has(acc, pyatspi.STATE_SHOWING) for acc, _ in walk(combo) if role(acc) == "list"))
    d.key(*(["Down"] * steps if steps >= 0 else ["Up"] * -steps), "Return")
    wait_for("%r to show %r" % (spoken_name(combo), item), lambda: combo.name == item)


def expect_table(window, name, columns, rows):
    """The grid as a screen reader reads it: a table of that name whose column headers are the
    titles and whose row headers are the row numbers, with only the entry cells as cells."""
    tables = [acc for acc, _ in walk(window) if role(acc) == "table" and has(acc, pyatspi.STATE_SHOWING)]
    if len(tables) != 1 or tables[0].name != name:
        raise ScenarioError("window %r: tables %r, expected one named %r" % (window.name, [t.name for t in tables],
                                                                             name))
    table = tables[0].queryTable()
    titles = [table.getColumnDescription(c) or table.getColumnHeader(c).name for c in range(table.nColumns)]
    numbers = [table.getRowDescription(r) or table.getRowHeader(r).name for r in range(table.nRows)]
    if titles != columns or numbers != rows:
        raise ScenarioError("table %r: columns %r and rows %r, expected %r and %r" % (name, titles, numbers,
                                                                                      columns, rows))
    first = table.getAccessibleAt(0, 0)
    if role(first) != "table cell" or not has(first, pyatspi.STATE_FOCUSABLE):
        raise ScenarioError("table %r: its first cell is %s %r, not an entry cell"
                            % (name, role(first), first.name))
    print("ok  %-36s table %r, columns %r, rows %s..%s" % (name, name, titles, numbers[0], numbers[-1]))
    return tables[0]


def expect_controls(window, expected):
    got = focusable_controls(window)
    if got != expected:
        raise ScenarioError("window %r: controls %r, expected %r" % (window.name, got, expected))
    print("ok  %-36s %s" % (window.name[:36], ", ".join("%s %r" % c for c in got)))


# ---------------------------------------------------------------- what each window should say

MAIN_CONTROLS = [("push button", n) for n in ("New project", "Open project", "About", "X", "Set Communication",
                                               "Set Translate PDO", "Set Transmit PDO", "Update Device")]
NEW_PROJECT_CONTROLS = [("text", "Name of the new Project"), ("push button", "OK"), ("push button", "Cancel")]
OPEN_PROJECT_CONTROLS = [("list", "Name of the new Project"), ("push button", "Cancel"), ("push button", "OK")]
ABOUT_CONTROLS = [("push button", "OK")]
PAR_GEN_CONTROLS = [("text", "ID Device"), ("combo box", "Baudrate"),
                    ("check box", "Set Operational State at Start-Up"), ("check box", "Network State at Start-Up"),
                    ("text", "Delay"), ("text", "SDO Timeout (1/10 ms)"), ("combo box", "Serial"),
                    ("combo box", "Baudrate"), ("combo box", "Parity"), ("push button", "OK"),
                    ("push button", "Cancel")]

PDO_COLUMNS = ["COB-ID", "Dimension", "Mnemonic"]
UPDATE_STEPS_CONTROLS = [("combo box", PORT_LABEL), ("push button", "Update COM Port List"), ("push button", "Connect"),
                         ("push button", "Cancel"), ("push button", "Next")]
OPTIONS = ["Firmware", "Read Firmware when finish", "Project", "Read Project when finish"]
UPDATE_OPTIONS_CONTROLS = [("check box", o) for o in OPTIONS] + [("push button", "Execute update firmware")]


def with_port(workdir):
    """A wrapper that runs the program in a private mount namespace where a pseudo-terminal is
    the serial port ttyUSB0 ("E2E serial"); (None, None) where that needs root it does not have."""
    if not can_use_namespaces():
        return None, None
    master, slave = os.openpty()
    script = os.path.join(workdir, "namespace.sh")
    with open(script, "w") as f:
        f.write(NAMESPACE)
    return ["unshare", "-m", "--propagation", "private", "sh", script, os.ttyname(slave)], (master, slave)


def start(d, exe, workdir, wrapper=None):
    app = App(d, exe, workdir, wrapper=wrapper).start()
    program = Program(app)
    main = program.window(re.compile(re.escape(TITLE_BASE)))
    return app, program, main


def close_with_escape(d, program, name):
    d.key("Escape")
    program.wait_closed(name)


def new_project(d, program, main, name):
    press(main, "New project")
    dialog = program.window(NEW_PROJECT)
    focus(find(dialog, "text", "Name of the new Project"))
    d.type(name)
    press(dialog, "OK")
    program.wait_closed(NEW_PROJECT)
    wait_for("the title to name %r" % name, lambda: main.name == TITLE_BASE + name)


# ---------------------------------------------------------------- scenarios

def scenario_tree(d, exe, workdir):
    """Every window of the workflow: each focusable control's role and name."""
    os.makedirs(os.path.join(workdir, "PROJECTS", "Kept"))
    wrapper, ports_pty = with_port(workdir)
    app, program, main = start(d, exe, workdir, wrapper)
    expect_controls(main, MAIN_CONTROLS)

    press(main, "About")
    expect_controls(program.window(ABOUT), ABOUT_CONTROLS)
    press(program.window(ABOUT), "OK")
    program.wait_closed(ABOUT)

    press(main, "Open project")
    dialog = program.window(OPEN_PROJECT)
    expect_controls(dialog, OPEN_PROJECT_CONTROLS)
    items = [c.name for c in children(find(dialog, "list", "Name of the new Project"))]
    if items != ["Kept"]:
        raise ScenarioError("the project list reads %r" % items)
    press(dialog, "Cancel")
    program.wait_closed(OPEN_PROJECT)

    press(main, "New project")
    expect_controls(program.window(NEW_PROJECT), NEW_PROJECT_CONTROLS)
    press(program.window(NEW_PROJECT), "Cancel")
    program.wait_closed(NEW_PROJECT)

    new_project(d, program, main, "Tree")
    press(main, "Set Communication")
    expect_controls(program.window(PAR_GEN), PAR_GEN_CONTROLS)
    press(program.window(PAR_GEN), "Cancel")
    program.wait_closed(PAR_GEN)

    for button, title in (("Set Translate PDO", RPDO), ("Set Transmit PDO", TPDO)):
        press(main, button)
        editor = program.window(title)
        expect_controls(editor, [("table", title), ("push button", "OK"), ("push button", "Cancel")])
        expect_table(editor, title, PDO_COLUMNS, [str(n) for n in range(1, 11)])
        press(editor, "Cancel")  # through the action, exactly as a click
        program.wait_closed(title)

    press(main, "Update Device")
    dialog = program.window(UPDATE)
    expect_controls(dialog, UPDATE_STEPS_CONTROLS)
    ports = find(dialog, "combo box", PORT_LABEL)
    items = [acc.name for acc, _ in walk(ports) if role(acc) == "list item"]
    if ports_pty:
        if items != ["ttyUSB0 \u2013 E2E serial"] or ports.name != items[0]:
            raise ScenarioError("the port list reads %r, showing %r" % (items, ports.name))
        press(dialog, "Connect")
        press(dialog, "Next")
        wait_for("the options page", lambda: ("push button", "Execute update firmware") in focusable_controls(dialog))
        expect_controls(dialog, UPDATE_OPTIONS_CONTROLS)
        for option in OPTIONS:
            if not has(find(dialog, "check box", option), pyatspi.STATE_CHECKED):
                raise ScenarioError("option %r is not read as ticked" % option)
    else:
        print("SKIP (options page): showing a pseudo-terminal as a port needs a private mount namespace (root)")
    press(dialog, "Cancel") if not ports_pty else d.key("Escape")
    program.wait_closed(UPDATE)
    app.stop()


def scenario_workflow(d, exe, workdir):
    """A whole workflow by accessibility actions and typed text alone."""
    wrapper, ports_pty = with_port(workdir)
    app, program, main = start(d, exe, workdir, wrapper)
    new_project(d, program, main, "Spoken")
    project = app.path("PROJECTS", "Spoken")

    press(main, "Set Communication")
    dialog = program.window(PAR_GEN)
    focus(find(dialog, "text", "ID Device"))
    d.key("ctrl+a")
    d.type("7")
    choose(d, find(dialog, "combo box", "Parity"), "EVEN")
    press(dialog, "OK")
    program.wait_closed(PAR_GEN)
    wait_file(os.path.join(project, "ParGen.xml"),
              lambda t: "<CANopen_ID>7</CANopen_ID>" in t and "<Serial_Par>1</Serial_Par>" in t)

    press(main, "Set Translate PDO")
    editor = program.window(RPDO)
    table = expect_table(editor, RPDO, PDO_COLUMNS, [str(n) for n in range(1, 11)])
    ok = find(editor, "push button", "OK")
    wait_for("the focus on OK", lambda: has(ok, pyatspi.STATE_FOCUSED))
    d.key("shift+Tab")  # from OK into the table, on row 1's COB-ID
    wait_for("the focus on the table", lambda: has(table, pyatspi.STATE_FOCUSED))
    d.type("0x181")
    d.key("Tab")
    d.type("8")
    d.key("Tab")
    d.type("Temp in")
    d.key("Return")
    press(editor, "OK")
    program.wait_closed(RPDO)
    wait_file(os.path.join(project, "RPDOs.xml"),
              lambda t: t == '<RPDO><row COB-ID="0x181" Dimension="8" Mnemonic="Temp in"/></RPDO>')

    if not ports_pty:
        print("SKIP (update options): showing a pseudo-terminal as a port needs a private mount namespace (root)")
        app.stop()
        return 0
    press(main, "Update Device")
    dialog = program.window(UPDATE)
    wait_file(os.path.join(project, "bin", "bank.bin"), lambda t: len(t) > 12)
    press(dialog, "Connect")
    press(dialog, "Next")
    wait_for("the options page", lambda: ("push button", "Execute update firmware") in focusable_controls(dialog))
    option = find(dialog, "check box", "Read Project when finish")
    do_action(option, "Toggle", "Press", "click")
    wait_for("the option to read as not ticked", lambda: not has(option, pyatspi.STATE_CHECKED))
    do_action(option, "Toggle", "Press", "click")
    wait_for("the option to read as ticked again", lambda: has(option, pyatspi.STATE_CHECKED))
    d.key("Escape")
    program.wait_closed(UPDATE)
    app.stop()


SCENARIOS = {
    "tree": scenario_tree,
    "workflow": scenario_workflow,
}


# ---------------------------------------------------------------- the session

def in_session(argv):
    """Runs this script again inside a private D-Bus session; returns its exit status, or None
    where no session can be started."""
    runner = shutil.which("dbus-run-session")
    if not runner:
        print("SKIP: dbus-run-session is not installed (package dbus-daemon)")
        return SKIP
    return subprocess.run([runner, "--", sys.executable, os.path.abspath(__file__), SESSION_FLAG] + argv).returncode


def main():
    argv = sys.argv[1:]
    if SESSION_FLAG not in argv:
        return in_session(argv)
    argv.remove(SESSION_FLAG)
    parser = argparse.ArgumentParser()
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    parser.add_argument("--exe", required=True)
    parser.add_argument("--artifacts", required=True)
    opts = parser.parse_args(argv)

    global pyatspi
    try:
        import pyatspi as module
        pyatspi = module
    except ImportError:
        print("SKIP: pyatspi is not installed for %s (package python3-pyatspi)" % sys.executable)
        return SKIP
    if not os.path.exists(BUS_LAUNCHER):
        print("SKIP: %s is missing (package at-spi2-core)" % BUS_LAUNCHER)
        return SKIP

    os.makedirs(opts.artifacts, exist_ok=True)
    name = "a11y." + opts.scenario
    desktop = Desktop(opts.artifacts, name)
    desktop.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
    desktop.env.pop("QT_ACCESSIBILITY", None)
    bus = subprocess.Popen([BUS_LAUNCHER, "--launch-immediately"], env=desktop.env, stdout=desktop.log,
                           stderr=desktop.log)
    workdir = new_workdir(name)
    status = 0
    try:
        status = SCENARIOS[opts.scenario](desktop, opts.exe, workdir) or 0
        if status == 0:
            print("PASS", name)
    except Exception:
        traceback.print_exc()
        png, tree = desktop.save_evidence()
        print("FAIL %s: screenshot %s, window list %s" % (name, png, tree))
        status = 1
    finally:
        desktop.close()
        bus.terminate()
        bus.wait()
        shutil.rmtree(workdir, ignore_errors=True)
    return status


if __name__ == "__main__":
    sys.exit(main())
