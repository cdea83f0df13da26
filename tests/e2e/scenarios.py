#!/usr/bin/env python3
"""End-to-end scenarios: the built program on its own X display, used as a person uses it.

Usage: scenarios.py SCENARIO --exe build/app/strovane --artifacts DIR [--runner PROGRAM]
--runner names what starts the program (the Windows build's Wine wrapper).
A failing scenario leaves SCENARIO.png (screenshot) and SCENARIO.windows.txt (window list)
in DIR, beside the program's own output.
"""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop import App, Desktop, ScenarioError, new_workdir, wait_file  # noqa: E402

MAIN = re.compile(r"Strovane SC40518 - CANopen / RS232 / RS485  : ")
NO_PROJECT = re.compile(r"Strovane SC40518 - CANopen / RS232 / RS485  : $")
NEW_PROJECT = "Create New Project"
PAR_GEN = "Set Communication"
RPDO = "Receive PDOs"
TPDO = "Transmit PDOs"
UPDATE = "Update Firmware from Serial (RS232)"
PROGRESS = "Updating device\u2026"
ERROR = "Error"
CONFIRM = "Confirm"
ABOUT = "About..."
SKIP = 77  # ctest SKIP_RETURN_CODE


def titled(name):
    return re.compile(re.escape("Strovane SC40518 - CANopen / RS232 / RS485  : " + name) + "$")


# Client-area centres of the controls a person clicks, as the windows lay them out.
MAIN_BUTTONS = {"new": (152, 49), "communication": (152, 93), "rpdo": (152, 137), "tpdo": (152, 181),
                "update": (152, 225), "close": (530, 30)}
NEW_NAME_BOX, NEW_OK = (160, 58), (162, 102)
PAR_ID_BOX, PAR_SET_OPE, PAR_OK = (184, 39), (35, 108), (163, 375)
GRID_COLUMNS = (64, 75, 75, 200)
GRID_ROW_HEIGHT = 21
UPDATE_CONNECT, UPDATE_NEXT, UPDATE_EXECUTE, UPDATE_CANCEL = (220, 106), (178, 187), (92, 185), (74, 187)
# Tab stops from the node ID box to OK in the communication dialog.
PAR_TABS_TO_OK = 9

RECEIVE_ROWS = [("0x181", "8", "Temp in"), ("386", "2", "Level")]
TRANSMIT_ROWS = [("$201", "4", "Valve"), ("0x202", "1", "")]


def pdo_xml(root, rows):
    body = "".join('<row COB-ID="%s" Dimension="%s" Mnemonic="%s"/>' % r for r in rows)
    return "<%s>%s</%s>" % (root, body, root)


def expect_file(path, expected):
    text = wait_file(path, lambda t: t == expected, what="%s to read %r" % (path, expected))
    return text


def dismiss_on_key_down(desktop, app, key, box, back_to):
    """Dismisses `box` with `key` as a person does: the key goes down, the box goes and the window
    below takes the focus, and only then the key comes up there."""
    app.wait_window(box)
    desktop.key_down(key)
    try:
        app.wait_gone(box)
        app.wait_window(back_to)
    finally:
        desktop.key_up(key)


def dismiss(desktop, app, key, box, back_to):
    """Dismisses a message box with `key`: Enter and Escape act on the key-down, Space on the key-up."""
    if key == "space":
        app.wait_window(box)
        desktop.key(key)
        app.wait_gone(box)
        app.wait_window(back_to)
    else:
        dismiss_on_key_down(desktop, app, key, box, back_to)


# ---------------------------------------------------------------- shared steps

def back_to_main(app, dialog, project):
    """The dialog closes and the main window has the focus again, so keys reach it."""
    app.wait_gone(dialog)
    app.wait_window(titled(project))


def start(desktop, exe, workdir, **kw):
    app = App(desktop, exe, workdir, **kw).start()
    app.wait_window(MAIN)
    return app


def new_project_by_keyboard(d, app, name):
    d.key("Return")  # the focus starts on "New project"
    app.wait_window(NEW_PROJECT)
    d.type(name)
    # Enter in the name box creates the project on the key-down; the key-up lands on the main window.
    dismiss_on_key_down(d, app, "Return", NEW_PROJECT, titled(name))
    app.expect_shown([titled(name)])


def par_gen_by_keyboard(d, app, node_id):
    app.wait_window(PAR_GEN)
    d.key("ctrl+a")
    d.type(node_id)
    d.key(*["Tab"] * PAR_TABS_TO_OK)
    d.key("Return")


def pdo_table_by_keyboard(d, app, title, rows):
    app.wait_window(title)
    d.key("shift+Tab")  # from OK back into the grid, on the first COB-ID
    type_rows(d, rows)
    d.key("ctrl+Tab")  # out of the grid, onto OK
    d.key("Return")


# ---------------------------------------------------------------- scenarios

def scenario_keyboard(d, exe, workdir):
    """New project, communication, both tables and the update, by keyboard only; close; restart."""
    app = start(d, exe, workdir)
    app.expect_shown([NO_PROJECT])
    new_project_by_keyboard(d, app, "Line1")
    project = app.path("PROJECTS", "Line1")

    d.key("Tab", "Tab", "Tab", "Tab", "Return")  # New, Open, About, X, Set Communication
    par_gen_by_keyboard(d, app, "5")
    back_to_main(app, PAR_GEN, "Line1")
    wait_file(os.path.join(project, "ParGen.xml"), lambda t: "<CANopen_ID>5</CANopen_ID>" in t)

    d.key("Tab", "Return")
    pdo_table_by_keyboard(d, app, RPDO, RECEIVE_ROWS)
    back_to_main(app, RPDO, "Line1")
    expect_file(os.path.join(project, "RPDOs.xml"), pdo_xml("RPDO", RECEIVE_ROWS))

    d.key("Tab", "Return")
    pdo_table_by_keyboard(d, app, TPDO, TRANSMIT_ROWS)
    back_to_main(app, TPDO, "Line1")
    expect_file(os.path.join(project, "TPDOs.xml"), pdo_xml("TPDO", TRANSMIT_ROWS))

    d.key("Tab", "Return")  # Update Device
    app.wait_window(UPDATE)
    wait_file(os.path.join(project, "bin", "bank.bin"), lambda t: len(t) > 12)
    d.key("Escape")
    back_to_main(app, UPDATE, "Line1")
    app.expect_shown([titled("Line1")])

    d.key("alt+F4")  # the window manager's close, as the close box does
    if app.wait_exit() != 0:
        raise ScenarioError("the program ended with status %s" % app.proc.returncode)
    wait_file(app.path("Strovane.xml"), lambda t: "<projectname>Line1</projectname>" in t)

    again = start(d, exe, workdir)
    again.wait_window(titled("Line1"))
    again.expect_shown([titled("Line1")])
    again.stop()


def grid_cell(column, row):
    x = 2 + sum(GRID_COLUMNS[:column]) + GRID_COLUMNS[column] // 2
    return x, 2 + row * GRID_ROW_HEIGHT + GRID_ROW_HEIGHT // 2


def pdo_table_by_mouse(d, app, title, rows):
    app.wait_window(title)
    for r, row in enumerate(rows, start=1):
        for c, text in enumerate(row, start=1):
            if text:
                app.click(title, *grid_cell(c, r))
                d.type(text)  # typing into a cell starts editing it
    wid = app.wait_window(title, active=False)
    _, _, _, height = d.geometry(wid)
    app.click(title, 46, height - 20)  # OK in the button bar


def scenario_mouse(d, exe, workdir):
    """The same workflow with the pointer: every button clicked where it is drawn."""
    app = start(d, exe, workdir)
    app.click(NO_PROJECT, *MAIN_BUTTONS["new"])
    app.wait_window(NEW_PROJECT)
    app.click(NEW_PROJECT, *NEW_NAME_BOX)
    d.type("Line2")
    app.click(NEW_PROJECT, *NEW_OK)
    app.wait_window(titled("Line2"))
    app.expect_shown([titled("Line2")])
    project = app.path("PROJECTS", "Line2")

    app.click(titled("Line2"), *MAIN_BUTTONS["communication"])
    app.wait_window(PAR_GEN)
    app.click(PAR_GEN, *PAR_SET_OPE)
    app.click(PAR_GEN, *PAR_OK)
    app.wait_gone(PAR_GEN)
    wait_file(os.path.join(project, "ParGen.xml"), lambda t: "<CANopen_Set_Ope>" in t)

    app.click(titled("Line2"), *MAIN_BUTTONS["rpdo"])
    pdo_table_by_mouse(d, app, RPDO, RECEIVE_ROWS)
    app.wait_gone(RPDO)
    expect_file(os.path.join(project, "RPDOs.xml"), pdo_xml("RPDO", RECEIVE_ROWS))

    app.click(titled("Line2"), *MAIN_BUTTONS["tpdo"])
    pdo_table_by_mouse(d, app, TPDO, TRANSMIT_ROWS)
    app.wait_gone(TPDO)
    expect_file(os.path.join(project, "TPDOs.xml"), pdo_xml("TPDO", TRANSMIT_ROWS))

    app.click(titled("Line2"), *MAIN_BUTTONS["update"])
    app.wait_window(UPDATE)
    wait_file(os.path.join(project, "bin", "bank.bin"), lambda t: len(t) > 12)
    d.click_at(*app.control(UPDATE, *UPDATE_CANCEL))
    app.wait_gone(UPDATE)

    # The window manager's close box at the right end of the title bar.
    wid = app.wait_window(titled("Line2"))
    left, top, width, _ = d.geometry(wid)
    d.click_at(left + width - 11, top - 11)
    if app.wait_exit() != 0:
        raise ScenarioError("the program ended with status %s" % app.proc.returncode)
    wait_file(app.path("Strovane.xml"), lambda t: "<projectname>Line2</projectname>" in t)

    again = start(d, exe, workdir)
    again.wait_window(titled("Line2"))
    again.stop()


MESSAGE_KEYS = ("Return", "space", "Escape")


def scenario_message_boxes(d, exe, workdir):
    """Each message box dismissed by Enter, by Space and by Escape, and it stays dismissed."""
    app = start(d, exe, workdir)
    # "Error! Project not Valid" from the main window; About shows the main window takes input again.
    d.key("Tab", "Tab", "Tab", "Tab")  # onto "Set Communication"
    for key in MESSAGE_KEYS:
        d.key("Return")
        dismiss(d, app, key, ERROR, NO_PROJECT)
        d.key("shift+Tab", "shift+Tab", "Return")
        app.wait_window(ABOUT)
        app.expect_shown([NO_PROJECT, ABOUT])
        d.key("Escape")
        app.wait_window(NO_PROJECT)
        app.expect_shown([NO_PROJECT])
        d.key("Tab", "Tab")

    d.key("shift+Tab", "shift+Tab", "shift+Tab", "shift+Tab", "Return")
    app.wait_window(NEW_PROJECT)
    d.type("Boxes")
    dismiss_on_key_down(d, app, "Return", NEW_PROJECT, titled("Boxes"))
    par_gen = app.path("PROJECTS", "Boxes", "ParGen.xml")

    d.key("Tab", "Tab", "Tab", "Tab")
    for n, key in enumerate(MESSAGE_KEYS, start=1):
        d.key("Return")
        # A node ID that is no number: the editor's error box.
        par_gen_by_keyboard(d, app, "abc")
        dismiss(d, app, key, ERROR, PAR_GEN)
        # Cancel with a change asks first; each answer here keeps the dialog open.
        d.key("Escape")
        app.wait_window(CONFIRM)
        app.expect_shown([titled("Boxes"), PAR_GEN, CONFIRM])
        dismiss(d, app, key, CONFIRM, PAR_GEN)
        # The focus went to the node ID, the field the message was about: the correction is typed
        # there at once, and saving it by keyboard shows that no box came back in between.
        par_gen_by_keyboard(d, app, str(n))
        back_to_main(app, PAR_GEN, "Boxes")
        wait_file(par_gen, lambda t, n=n: "<CANopen_ID>%d</CANopen_ID>" % n in t)
        app.expect_shown([titled("Boxes")])
    app.stop()


# ---- one program per workspace, Cancel, a workspace that cannot be written

READ_ONLY_WORKSPACE = 'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" && shift && exec "$@"'


def scenario_workspace(d, exe, workdir):
    """Cancel of New project keeps the open project; a second program on the workspace is refused
    and opens nothing; a killed program does not keep the workspace; a workspace that cannot be
    written is told at start."""
    first = start(d, exe, workdir)
    new_project_by_keyboard(d, first, "Line1")
    for key in ("Escape", "space"):
        d.key("Return")  # New project again, then cancelled by Escape or by Space on Cancel
        first.wait_window(NEW_PROJECT)
        d.type("Other")
        if key == "space":
            d.key("Tab", "Tab")  # past OK onto Cancel
        dismiss(d, first, key, NEW_PROJECT, titled("Line1"))
        first.expect_shown([titled("Line1")])
    if os.path.exists(first.path("PROJECTS", "Other")):
        raise ScenarioError("a cancelled new project was created")
    d.key("Tab", "Tab", "Tab", "Tab", "Return")  # step 2 still works on Line1
    first.wait_window(PAR_GEN)
    d.key("Escape")
    back_to_main(first, PAR_GEN, "Line1")

    second = App(d, exe, workdir).start()
    second.wait_window(ERROR)
    second.expect_shown([ERROR])  # no main window of its own
    d.key("Return")
    status = second.wait_exit()
    if status != 1:
        raise ScenarioError("the refused program ended with status %s" % status)
    first.expect_shown([titled("Line1")])

    # Killed: its lock file stays, but the next program takes the workspace over.
    first.proc.kill()
    first.proc.wait()
    if not os.path.exists(first.path("Strovane.lock")):
        raise ScenarioError("the killed program left no lock file: the take-over is not shown")
    third = start(d, exe, workdir)
    third.expect_shown([NO_PROJECT])
    third.click(NO_PROJECT, *MAIN_BUTTONS["close"])
    if third.wait_exit() != 0:
        raise ScenarioError("the program did not close cleanly")
    if os.path.exists(first.path("Strovane.lock")):
        raise ScenarioError("the lock file outlived the program that held it")

    # A workspace that cannot be written: said at start, and the program still opens.
    if os.geteuid() == 0:
        if not can_use_namespaces():
            print("SKIP (read-only part): root needs a private mount namespace to make a folder read-only")
            return 0
        wrapper = ["unshare", "-m", "--propagation", "private", "sh", "-c", READ_ONLY_WORKSPACE, "sh", workdir]
    else:
        os.chmod(workdir, 0o555)
        wrapper = None
    try:
        fourth = App(d, exe, workdir, wrapper=wrapper).start()
        fourth.wait_window(ERROR)
        dismiss_on_key_down(d, fourth, "Return", ERROR, NO_PROJECT)
        fourth.expect_shown([NO_PROJECT])
        fourth.stop()
    finally:
        os.chmod(workdir, 0o755)


# ---- the update step against a pseudo-terminal shown as a serial port

UPDATER = r"""#!/bin/sh
# Records its arguments, tells the test it runs, and waits to be let go; then fails.
out="$(dirname "$0")/updater"
printf '%s\n' "$@" > "$out.args.tmp" && mv "$out.args.tmp" "$out.args"
while [ ! -e "$out.release" ]; do sleep 0.02; done
rm -f "$out.release"
echo done > "$out.finished"
exit 3
"""

# Inside a private mount namespace: /sys/class/tty holds one serial device, ttyUSB0, whose
# node is the pseudo-terminal; /dev is rebuilt from the real one with that node added.
NAMESPACE = r"""set -e
pty="$1"; shift
stage="$(dirname "$0")/stage"   # inside the scenario's own folder, removed with it
mkdir -p "$stage"
mount -t tmpfs none /sys/class/tty
mkdir -p /sys/class/tty/ttyUSB0/device
echo "E2E serial" > /sys/class/tty/ttyUSB0/device/product
mkdir "$stage/dev"
mount --rbind /dev "$stage/dev"
mount -t tmpfs -o mode=755 none /dev
for entry in "$stage"/dev/* "$stage"/dev/.[!.]*; do
    [ -e "$entry" ] || [ -L "$entry" ] || continue
    name=${entry##*/}
    if [ -L "$entry" ]; then cp -P "$entry" "/dev/$name"
    elif [ -d "$entry" ]; then mkdir "/dev/$name"; mount --rbind "$entry" "/dev/$name"
    else touch "/dev/$name"; mount --bind "$entry" "/dev/$name"
    fi
done
touch /dev/ttyUSB0
mount --bind "$stage/dev/${pty#/dev/}" /dev/ttyUSB0
exec "$@"
"""


def can_use_namespaces():
    if os.geteuid() != 0 or not shutil.which("unshare"):
        return False
    probe = ["unshare", "-m", "--propagation", "private", "sh", "-c", "mount -t tmpfs none /sys/class/tty"]
    return subprocess.run(probe, capture_output=True).returncode == 0


def updater_workspace(workdir, project, updater_script, pty):
    """Lays out a workspace whose last project is `project`, with the firmware file and the shell
    updater `updater_script`; returns the wrapper that shows `pty` as the port ttyUSB0."""
    os.makedirs(os.path.join(workdir, "PROJECTS", project, "bin"))
    os.makedirs(os.path.join(workdir, "MASTER"))
    open(os.path.join(workdir, "MASTER", "sim40518.sim"), "w").close()
    with open(os.path.join(workdir, "Strovane.xml"), "w") as f:
        f.write("<Conf_Settings><lastproj><projectname>%s</projectname></lastproj>"
                "<lastipadd><ipaddress>0.0.0.0</ipaddress></lastipadd></Conf_Settings>" % project)
    updater = os.path.join(workdir, "Ser_40518_Update")
    with open(updater, "w") as f:
        f.write(updater_script)
    os.chmod(updater, 0o755)
    script = os.path.join(workdir, "namespace.sh")
    with open(script, "w") as f:
        f.write(NAMESPACE)
    return ["unshare", "-m", "--propagation", "private", "sh", script, pty]


def scenario_update(d, exe, workdir):
    """Update Device against a pseudo-terminal standing in for the device's port."""
    if not can_use_namespaces():
        print("SKIP: showing a pseudo-terminal as a port needs a private mount namespace (root, as in CI)")
        return SKIP
    master, slave = os.openpty()
    app = App(d, exe, workdir, wrapper=updater_workspace(workdir, "Line3", UPDATER, os.ttyname(slave)))
    app.start()
    main = titled("Line3")
    try:
        app.wait_window(main)
        args_file, release, finished = (os.path.join(workdir, "updater." + s) for s in ("args", "release", "finished"))
        expected_args = ["/dev/ttyUSB0", "FW", "FR", "PW", "PR", os.path.join(workdir, "MASTER", "sim40518.sim"),
                         os.path.join(workdir, "PROJECTS", "Line3", "bin") + "/"]

        for attempt in ("fails", "terminated"):
            app.click(main, *MAIN_BUTTONS["update"])
            app.wait_window(UPDATE)
            app.click(UPDATE, *UPDATE_CONNECT)  # the only port, selected: opens without modem lines
            app.click(UPDATE, *UPDATE_NEXT)
            app.expect_shown([main, UPDATE])
            app.click(UPDATE, *UPDATE_EXECUTE)
            app.wait_window(PROGRESS, active=False)
            args = wait_file(args_file).split("\n")[:-1]
            os.unlink(args_file)
            if args != expected_args:
                raise ScenarioError("updater arguments %r, expected %r" % (args, expected_args))
            if attempt == "fails":
                open(release, "w").close()
                app.wait_gone(PROGRESS)
                os.unlink(finished)
                expect_error_box(d, app, "Error!! The updater ended with status 3.", UPDATE)
                d.key("Escape")
                app.wait_gone(UPDATE)
                continue
            # Asked to end during the wait: the updater finishes first, then the program closes.
            os.kill(app.pid, signal.SIGTERM)
            app.expect_shown([main, UPDATE, PROGRESS])
            open(release, "w").close()
            status = app.wait_exit()
            if not os.path.exists(finished):
                raise ScenarioError("the program ended before the updater")
            if status != 0:
                raise ScenarioError("the program ended with status %s" % status)
            wait_file(app.path("Strovane.xml"), lambda t: "<projectname>Line3</projectname>" in t)
    finally:
        os.close(master)
        os.close(slave)


# ---- PDO tables longer than the grid's ten rows, and gaps in them

from desktop import wait_for  # noqa: E402

PLAIN_BOX = "Strovane"  # the title of the transmit editor's plain message boxes
ENTRY_GREEN = (206, 255, 206)


def last_project(workdir, name, documents):
    """A workspace whose last project is `name`, holding these documents (file name: text)."""
    folder = os.path.join(workdir, "PROJECTS", name)
    os.makedirs(folder)
    with open(os.path.join(workdir, "Strovane.xml"), "w") as f:
        f.write("<Conf_Settings><lastproj><projectname>%s</projectname></lastproj>"
                "<lastipadd><ipaddress>0.0.0.0</ipaddress></lastipadd></Conf_Settings>" % name)
    for file_name, text in documents.items():
        with open(os.path.join(folder, file_name), "w") as f:
            f.write(text)
    return folder


def pixel(d, wid, x, y):
    """The colour (r, g, b) the window shows at client point x, y."""
    shot = os.path.join(d.artifacts_dir, d.name + ".window.png")
    d.x("import", "-window", wid, shot, check=True)
    text = d.x("convert", shot, "-format", "%%[pixel:p{%d,%d}]" % (x, y), "info:", check=True)
    os.unlink(shot)
    values = re.findall(r"\d+", text)
    if len(values) < 3:
        raise ScenarioError("cannot read the colour at %d,%d: %r" % (x, y, text))
    return tuple(int(v) for v in values[:3])


def type_rows(d, rows):
    """Types rows into the grid from the cursor on, Tab between cells; an empty text is skipped."""
    for i, row in enumerate(rows):
        for j, text in enumerate(row):
            d.type(text)
            if i < len(rows) - 1 or j < 2:
                d.key("Tab")
    d.key("Return")  # the last cell is taken; the grid keeps the focus


def press_ok(d):
    d.key("ctrl+Tab")  # out of the grid, onto OK
    d.key("Return")


def scenario_pdo_long_table(d, exe, workdir):
    """A receive table of 40 rows: every row is there to scroll to and edit, and OK keeps all 40."""
    rows = [(str(0x181 + i), "8", "entry %d" % (i + 1)) for i in range(40)]
    folder = last_project(workdir, "Long", {"RPDOs.xml": pdo_xml("RPDO", rows)})
    app = start(d, exe, workdir)
    app.click(titled("Long"), *MAIN_BUTTONS["rpdo"])
    wid = app.wait_window(RPDO)
    header_cob_id = (2 + GRID_COLUMNS[0] + 4, 2 + 4)  # top left of the header's COB-ID cell

    d.key("shift+Tab")  # from OK back into the grid, on the first COB-ID
    d.key("ctrl+End")  # the last row's Mnemonic
    wait_for("the header row in sight at the last row", lambda: pixel(d, wid, *header_cob_id) != ENTRY_GREEN)
    d.type("last one")
    d.key("Return")
    press_ok(d)
    back_to_main(app, RPDO, "Long")
    rows[-1] = (rows[-1][0], rows[-1][1], "last one")
    expect_file(os.path.join(folder, "RPDOs.xml"), pdo_xml("RPDO", rows))
    app.stop()


def scenario_pdo_gaps(d, exe, workdir):
    """Rows typed after an empty COB-ID are refused at OK; the empty cell takes the missing value,
    or the later rows are cleared, and then OK saves."""
    folder = last_project(workdir, "Gaps", {})
    app = start(d, exe, workdir)
    main = titled("Gaps")
    rpdo, tpdo = os.path.join(folder, "RPDOs.xml"), os.path.join(folder, "TPDOs.xml")

    # Receive: rows 1-4 and 6; row 5 is left empty.
    app.click(main, *MAIN_BUTTONS["rpdo"])
    app.wait_window(RPDO)
    d.key("shift+Tab")
    typed = [("0x181", "8", "a"), ("0x182", "8", "b"), ("0x183", "8", "c"), ("0x184", "8", "d"), ("", "", ""),
             ("0x186", "8", "f")]
    type_rows(d, typed)
    press_ok(d)
    dismiss_on_key_down(d, app, "Return", ERROR, RPDO)
    app.expect_shown([main, RPDO])
    if os.path.exists(rpdo):
        raise ScenarioError("RPDOs.xml was written although row 5 has no COB-ID")
    # The empty COB-ID cell of row 5 is selected: what is typed now goes there.
    type_rows(d, [("0x185", "8", "e")])
    press_ok(d)
    back_to_main(app, RPDO, "Gaps")
    typed[4] = ("0x185", "8", "e")
    expect_file(rpdo, pdo_xml("RPDO", typed))

    # Transmit: row 1 and a Mnemonic in row 10; the row is cleared again.
    app.click(main, *MAIN_BUTTONS["tpdo"])
    app.wait_window(TPDO)
    d.key("shift+Tab")
    type_rows(d, [("$201", "4", "Valve")])
    d.key("ctrl+End")  # row 10, Mnemonic
    d.type("spare")
    d.key("Return")
    press_ok(d)
    dismiss_on_key_down(d, app, "Return", PLAIN_BOX, TPDO)
    app.expect_shown([main, TPDO])
    if os.path.exists(tpdo):
        raise ScenarioError("TPDOs.xml was written although row 2 has no COB-ID")
    d.key("ctrl+End", "F2", "ctrl+a", "BackSpace", "Return")
    press_ok(d)
    back_to_main(app, TPDO, "Gaps")
    expect_file(tpdo, pdo_xml("TPDO", [("$201", "4", "Valve")]))
    app.stop()

# ---- how an update ended, told once the updater has ended

from desktop import wait_for  # noqa: E402

OUTCOME_UPDATER = r"""#!/bin/sh
# Records its arguments, tells the test it runs, waits to be let go; then ends as the release
# file says: with that status, or killed by SIGKILL for "kill".
out="$(dirname "$0")/updater"
printf '%s\n' "$@" > "$out.args.tmp" && mv "$out.args.tmp" "$out.args"
while [ ! -e "$out.release" ]; do sleep 0.02; done
how=$(cat "$out.release")
rm -f "$out.release"
[ "$how" = kill ] && kill -KILL $$
exit "$how"
"""

# The outcome notice on the options page (client rectangle) and its backgrounds.
OUTCOME_NOTICE = (8, 136, 337, 32)
NOTICE_SUCCESS, NOTICE_FAILURE = (0xd4, 0xf0, 0xd4), (0xf8, 0xd4, 0xd4)


# The first line of a message box's text, in client coordinates: right of the icon.
BOX_TEXT = (100, 18)


def selection(d):
    return d.x("xclip", "-o", "-selection", "primary")


def expect_error_box(d, app, text, back_to):
    """An error box comes up saying `text`; it is read as a person copies it on this desktop (a
    triple click selects the text, the selection is pasted elsewhere) and dismissed with Enter."""
    app.wait_window(ERROR)
    # Empty the selection first; xclip stays behind serving it, so its output is not waited for.
    subprocess.run(["xclip", "-selection", "primary", "-i", "/dev/null"], env=d.env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    d.xdotool("mousemove", "--sync", *map(str, app.control(ERROR, *BOX_TEXT)))
    d.xdotool("click", "--repeat", "3", "--delay", "60", "1")
    try:
        wait_for("the error box to say %r" % text, lambda: text in selection(d), timeout=5)
    except ScenarioError as e:
        raise ScenarioError("%s; it says %r" % (e, selection(d)))
    dismiss_on_key_down(d, app, "Return", ERROR, back_to)


def screen_pixel(d, x, y):
    """The colour on the screen at (x, y) as (r, g, b)."""
    out = d.x("import", "-window", "root", "-crop", "1x1+%d+%d" % (x, y), "-depth", "8", "txt:-")
    match = re.search(r"\((\d+),(\d+),(\d+)", out.split("\n", 1)[-1])
    return tuple(int(v) for v in match.groups()) if match else None


def notice_colour(d, app):
    """The background of the outcome notice, at its inner bottom-right corner, free of text."""
    left, top, width, height = OUTCOME_NOTICE
    return screen_pixel(d, *app.control(UPDATE, left + width - 2, top + height - 2))


def expect_notice(d, app, colour, what):
    try:
        wait_for(what, lambda: notice_colour(d, app) == colour, timeout=5)
    except ScenarioError as e:
        raise ScenarioError("%s; the notice shows %r" % (e, notice_colour(d, app)))


def scenario_update_outcome(d, exe, workdir):
    """Each update's end is told: a success on the page, a failure in an error box naming it;
    a missing firmware file is told before the updater starts."""
    if not can_use_namespaces():
        print("SKIP: showing a pseudo-terminal as a port needs a private mount namespace (root, as in CI)")
        return SKIP
    master, slave = os.openpty()
    firmware = os.path.join(workdir, "MASTER", "sim40518.sim")
    app = App(d, exe, workdir, wrapper=updater_workspace(workdir, "Line4", OUTCOME_UPDATER, os.ttyname(slave)))
    app.start()
    main = titled("Line4")
    args_file, release = (os.path.join(workdir, "updater." + s) for s in ("args", "release"))

    def let_go(how):
        with open(release + ".tmp", "w") as f:
            f.write(how)
        os.rename(release + ".tmp", release)

    try:
        app.wait_window(main)
        app.click(main, *MAIN_BUTTONS["update"])
        app.wait_window(UPDATE)
        app.click(UPDATE, *UPDATE_CONNECT)
        app.click(UPDATE, *UPDATE_NEXT)
        app.expect_shown([main, UPDATE])

        # One device after another: Execute, the updater ends, Execute again.
        for how, box in (("0", None), ("kill", "Error!! The updater was killed by signal 9 (SIGKILL)."),
                         ("0", None), ("3", "Error!! The updater ended with status 3.")):
            app.click(UPDATE, *UPDATE_EXECUTE)
            app.wait_window(PROGRESS, active=False)
            wait_file(args_file)
            os.unlink(args_file)
            let_go(how)
            app.wait_gone(PROGRESS)
            if box is None:
                expect_notice(d, app, NOTICE_SUCCESS, "the success notice")
                app.expect_shown([main, UPDATE])  # told without a box to click away
            else:
                expect_error_box(d, app, box, UPDATE)
                expect_notice(d, app, NOTICE_FAILURE, "the failure notice")
                app.expect_shown([main, UPDATE])

        # Without the firmware file the updater is not started; the box names the file.
        os.unlink(firmware)
        app.click(UPDATE, *UPDATE_EXECUTE)
        expect_error_box(d, app, "Error!! The firmware file is missing: " + firmware, UPDATE)
        app.expect_shown([main, UPDATE])
        if os.path.exists(args_file):
            raise ScenarioError("the updater was started without the firmware file")
        d.key("Escape")
        back_to_main(app, UPDATE, "Line4")
    finally:
        os.close(master)
        os.close(slave)

def windows_path(path):
    """How a Windows program under Wine names a path of this machine (drive Z: is its root)."""
    return "Z:" + path.replace("/", "\\")


def scenario_update_wine(d, exe, workdir, updater):
    """Update Device by keyboard and mouse in the Windows program under Wine: the port is COM8 (one
    end of the test script's pseudo-terminal pair), the recording updater Ser_40518_Update.exe
    receives the command line exactly as Windows passes it, and the program waits for it."""
    os.makedirs(os.path.join(workdir, "PROJECTS", "Line3", "bin"))
    os.makedirs(os.path.join(workdir, "MASTER"))
    with open(os.path.join(workdir, "MASTER", "sim40518.sim"), "w") as f:
        f.write("firmware")  # the firmware options are on: the file must be there
    with open(os.path.join(workdir, "Strovane.xml"), "w") as f:
        f.write("<Conf_Settings><lastproj><projectname>Line3</projectname></lastproj>"
                "<lastipadd><ipaddress>0.0.0.0</ipaddress></lastipadd></Conf_Settings>")
    shutil.copy2(updater, os.path.join(workdir, "Ser_40518_Update.exe"))
    log = os.path.join(workdir, "updater.args")
    d.env["STROVANE_FAKE_UPDATER_LOG"] = windows_path(log)
    d.env["STROVANE_FAKE_UPDATER_MS"] = "500"
    app = start(d, exe, workdir)
    main = titled("Line3")
    app.wait_window(main)
    app.click(main, *MAIN_BUTTONS["update"])
    app.wait_window(UPDATE)
    app.click(UPDATE, *UPDATE_CONNECT)  # COM8, the first port present, is selected
    app.click(UPDATE, *UPDATE_NEXT)
    app.expect_shown([main, UPDATE])
    app.click(UPDATE, *UPDATE_EXECUTE)
    folder = windows_path(workdir)
    expected = ('\\\\.\\COM8 FW FR PW PR "%s\\MASTER\\sim40518.sim" "%s\\PROJECTS\\Line3\\bin\\"'
                % (folder, folder))
    line = wait_file(log + ".line")
    if line != expected:
        raise ScenarioError("updater command line %r, expected %r" % (line, expected))
    app.wait_gone(PROGRESS)
    # Wine does not always hand the activation back to the dialog when the progress window goes:
    # a click on it, as a person would give, before the key.
    app.wait_window(UPDATE, active=False)
    app.click(UPDATE, 300, 12)
    app.wait_window(UPDATE)
    d.key("Escape")
    back_to_main(app, UPDATE, "Line3")
    d.key("alt+F4")
    if app.wait_exit() != 0:
        raise ScenarioError("the program ended with status %s" % app.proc.returncode)


SCENARIOS = {
    "keyboard": scenario_keyboard,
    "mouse": scenario_mouse,
    "message_boxes": scenario_message_boxes,
    "update": scenario_update,
    "workspace": scenario_workspace,
    "pdo_long_table": scenario_pdo_long_table,
    "pdo_gaps": scenario_pdo_gaps,
    "update_outcome": scenario_update_outcome,
    "update_wine": scenario_update_wine,  # with --runner and --updater
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    parser.add_argument("--exe", required=True)
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--runner", help="program that runs the executable, e.g. a Wine wrapper")
    parser.add_argument("--updater", help="the recording updater Ser_40518_Update.exe (update_wine)")
    opts = parser.parse_args()
    os.makedirs(opts.artifacts, exist_ok=True)
    for old in ("png", "windows.txt", "app.log", "x.log"):
        path = os.path.join(opts.artifacts, "%s.%s" % (opts.scenario, old))
        if os.path.exists(path):
            os.unlink(path)
    workdir = new_workdir(opts.scenario)
    desktop = Desktop(opts.artifacts, opts.scenario, [opts.runner] if opts.runner else None)
    status = 0
    try:
        extra = {"updater": opts.updater} if opts.updater else {}
        status = SCENARIOS[opts.scenario](desktop, opts.exe, workdir, **extra) or 0
        if status == 0:
            print("PASS", opts.scenario)
    except Exception:
        traceback.print_exc()
        png, tree = desktop.save_evidence()
        print("FAIL %s: screenshot %s, window list %s, program output %s" %
              (opts.scenario, png, tree, os.path.join(opts.artifacts, opts.scenario + ".app.log")))
        status = 1
    finally:
        desktop.close()
        shutil.rmtree(workdir, ignore_errors=True)
    return status


if __name__ == "__main__":
    sys.exit(main())
