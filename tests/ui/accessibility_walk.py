#!/usr/bin/env python3
"""Reads the real program the way a screen reader does.

Starts `orvex` under Xvfb with the accessibility bus, opens every editing
window from the navigation tree (keys only: F6, arrows, Enter), the memory
map by its keyboard gesture and every menu command that opens a window (by
its access keys), and walks the accessibility tree of each window.  Fails on
any focusable control without a spoken name and on two controls of one
window that sound alike, listing each by window and type, in English and in
Chinese.  Also types into a channel grid cell and reads the editor's name and
text and then the cell's name and value.

  accessibility_walk.py ORVEX_BINARY SOURCE_DIR
Exit status 77 (skipped) when the machine lacks the bus, Xvfb or xdotool.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
INNER = "ORVEX_A11Y_INNER"

# Commands that open no window, end the program, start a transfer with no
# radio attached, or only switch what is already walked.
NOT_WALKED = {
    "miExit", "miRead", "miWrite", "miEnglish", "miChinese", "miTreeView", "miToolBar", "miStatusBar",
    "miCascade", "miTileH", "miTileV", "miArrange", "miCloseAll", "miSignal",
    "miUndo", "miRedo", "miNextWindow", "miPreviousWindow",
    # Edits of the channel rows.
    "miCut", "miCopy", "miPaste", "miInsertChannel", "miDeleteChannels", "miClearChannels",
    "miMoveUp", "miMoveDown", "miSortRx", "miSortName", "miGoTo", "miFind", "miFindNext",
    # Qt's own file and print dialogs.
    "miOpen", "miSave", "miSaveAs", "miPrint", "miPrintPreview", "miImportCsv", "miImportJson", "miExportCsv",
    "miCompare",
}
# Where a screen reader starts a window of its own.
WINDOW_ROLES = None  # filled once pyatspi is imported
# Cells of a grid checked (see Walk.children).
CELL_SAMPLE = 20
GRID_ROLES = None
CELL_ROLES = None


def skip(reason):
    print("SKIPPED: " + reason)
    sys.exit(SKIP)


def outer(argv):
    missing = [tool for tool in ("xvfb-run", "Xvfb", "dbus-run-session", "xdotool") if shutil.which(tool) is None]
    if missing:
        skip("missing " + ", ".join(missing) + " (tools/install-deps.sh installs them)")
    if not os.path.exists("/usr/libexec/at-spi-bus-launcher"):
        skip("the accessibility bus (at-spi2-core) is not installed")
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        skip("python3-pyatspi is not installed")
    env = dict(os.environ, **{INNER: "1"})
    env.pop("QT_QPA_PLATFORM", None)
    command = ["xvfb-run", "-a", "-s", "-screen 0 1280x900x24", "dbus-run-session", "--",
               sys.executable, os.path.abspath(__file__)] + argv[1:]
    return subprocess.call(command, env=env)


class Walk:
    def __init__(self, binary, source):
        import pyatspi
        self.at = pyatspi
        global WINDOW_ROLES, GRID_ROLES
        WINDOW_ROLES = {pyatspi.ROLE_FRAME, pyatspi.ROLE_DIALOG, pyatspi.ROLE_INTERNAL_FRAME, pyatspi.ROLE_ALERT,
                        pyatspi.ROLE_WINDOW, pyatspi.ROLE_FILE_CHOOSER}
        GRID_ROLES = {pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_LIST}
        global CELL_ROLES
        CELL_ROLES = {pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_TREE_ITEM, pyatspi.ROLE_LIST_ITEM,
                      pyatspi.ROLE_COLUMN_HEADER, pyatspi.ROLE_ROW_HEADER, pyatspi.ROLE_TABLE_COLUMN_HEADER,
                      pyatspi.ROLE_TABLE_ROW_HEADER}
        self.binary = binary
        self.source = source
        self.failures = []
        self.process = None
        self.app = None
        # Where the focus is, as a screen reader learns it: from focus events
        # (an in-cell editor is no child of its grid in the tree).
        self.focus = None
        from gi.repository import GLib
        self.context = GLib.MainContext.default()
        pyatspi.Registry.registerEventListener(self.focus_event, "object:state-changed:focused")

    def focus_event(self, event):
        if event.detail1 and event.host_application is not None and event.host_application.name == "orvex":
            self.focus = event.source

    # --- the program -------------------------------------------------------------

    def start(self, language):
        config = tempfile.mkdtemp(prefix="orvex-a11y-")
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1", QT_QPA_PLATFORM="xcb",
                   XDG_CONFIG_HOME=config, HOME=config)
        self.process = subprocess.Popen([self.binary, "--lang", language], env=env, cwd=config)
        self.app = self.wait(self.find_app, 20, "the program on the accessibility bus")
        frame = self.wait(lambda: self.child(self.app, self.at.ROLE_FRAME), 10, "the main window")
        # Key events go to the window with the input focus; without a window
        # manager nobody gives it.
        windows = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(self.process.pid)],
                                 capture_output=True, text=True, timeout=20).stdout.split()
        self.main_window = windows[0]
        self.refocus()
        return frame

    def refocus(self):
        """Gives the main window the input focus again: with no window manager
        nobody does when a dialog closes."""
        subprocess.run(["xdotool", "windowfocus", "--sync", self.main_window], timeout=10)
        self.settle()

    def stop(self):
        if self.process is not None:
            self.process.kill()
            self.process.wait()
            self.process = None

    def find_app(self):
        desktop = self.at.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == "orvex":
                return app
        return None

    def wait(self, probe, seconds, what):
        deadline = time.time() + seconds
        while time.time() < deadline:
            try:
                found = probe()
            except Exception:  # objects come and go while windows open
                found = None
            if found:
                return found
            time.sleep(0.1)
        raise RuntimeError("timed out waiting for " + what)

    def settle(self, seconds=0.25):
        """Lets the program work for a while, taking its events in."""
        deadline = time.time() + seconds
        while time.time() < deadline:
            while self.context.iteration(False):
                pass
            time.sleep(0.02)

    def keys(self, *names):
        subprocess.run(["xdotool", "key", "--delay", "20"] + list(names), timeout=20, check=True)
        self.settle()

    def type(self, text):
        subprocess.run(["xdotool", "type", "--delay", "40", text], timeout=20, check=True)
        self.settle()

    # --- reading the tree ----------------------------------------------------------

    def child(self, parent, role):
        for i in range(parent.childCount):
            c = parent.getChildAtIndex(i)
            if c is not None and c.getRole() == role:
                return c
        return None

    def children(self, acc, limit=None):
        """The children, or the first `limit` of a table's or list's: every
        cell answers from the same model code, and all 8192 bytes of the
        memory map would take minutes to read."""
        count = acc.childCount
        if limit is not None and acc.getRole() in GRID_ROLES:
            count = min(count, limit)
        for i in range(count):
            c = acc.getChildAtIndex(i)
            if c is not None:
                yield c

    def states(self, acc):
        return acc.getState()

    def showing(self, acc):
        if self.states(acc).contains(self.at.STATE_VISIBLE):
            return True
        # Qt reports a child window of the work area that another one covers
        # as neither visible nor showing; its content knows better.
        return acc.getRole() in (self.at.ROLE_FRAME, self.at.ROLE_INTERNAL_FRAME) and \
            any(self.states(k).contains(self.at.STATE_VISIBLE) for k in self.children(acc))

    def spoken_name(self, acc):
        """The name a screen reader speaks: the label tied to the control,
        else its own name, else the group it sits in.  A drop-down's own name
        on Linux is its value."""
        groups = []
        for relation in acc.getRelationSet():
            if relation.getRelationType() == self.at.RELATION_LABELLED_BY:
                for i in range(relation.getNTargets()):
                    target = relation.getTarget(i)
                    if target is None or not target.name.strip():
                        continue
                    if target.getRole() == self.at.ROLE_LABEL:
                        return target.name.strip()
                    groups.append(target.name.strip())
        if acc.getRole() != self.at.ROLE_COMBO_BOX and acc.name.strip():
            return acc.name.strip()
        return groups[0] if groups else ""

    def window_of(self, acc):
        node = acc
        while node is not None:
            if node.getRole() in WINDOW_ROLES:
                return node
            node = node.parent
        return None

    def find(self, root, predicate, limit=CELL_SAMPLE):
        """The first showing object under root for which predicate holds."""
        stack = [root]
        while stack:
            node = stack.pop()
            if predicate(node):
                return node
            kids = list(self.children(node, limit))
            stack.extend(reversed([k for k in kids if self.showing(k)]))
        return None

    def check_window(self, window, label, checked):
        """Records every focusable showing control without a spoken name, and
        controls of one window that sound alike."""
        spoken = {}
        stack = [(window, None)]
        while stack:
            node, parent_name = stack.pop()
            role = node.getRole()
            if node is not window:
                if role in WINDOW_ROLES:
                    continue  # walked as a window of its own
                states = self.states(node)
                if not states.contains(self.at.STATE_VISIBLE):
                    continue
            stack.extend((k, None) for k in self.children(node, CELL_SAMPLE))
            if node is window or not states.contains(self.at.STATE_FOCUSABLE):
                continue
            name = self.spoken_name(node)
            kind = node.getRoleName()
            if not name:
                self.failures.append("%s: %s '%s' without a name" % (label, kind, node.name))
                continue
            if role in (self.at.ROLE_MENU_ITEM, self.at.ROLE_MENU, self.at.ROLE_PUSH_BUTTON) and \
                    self.inside(node, (self.at.ROLE_MENU_BAR, self.at.ROLE_TOOL_BAR)):
                continue  # a toolbar button speaks its menu command's name
            if role in CELL_ROLES:
                continue  # cells are told apart by their place
            said = (name + " | " + node.description.strip()).lower()
            other = spoken.get(said)
            # A spin box's text field is part of the spin box.
            if other is not None and node.parent != other:
                self.failures.append("%s: %s and %s both sound like '%s'" % (label, other.getRoleName(), kind, name))
            spoken[said] = node
        checked.add(label)

    def inside(self, node, roles):
        node = node.parent
        while node is not None:
            if node.getRole() in roles:
                return True
            node = node.parent
        return False

    def windows(self):
        """Every showing window of the program: top-level ones, the child
        windows of the work area and the docked tree."""
        found = []
        stack = [self.app]
        while stack:
            node = stack.pop()
            if node is not self.app and node.getRole() in WINDOW_ROLES:
                found.append(node)
            if node.getRole() in GRID_ROLES or node.getRole() in (self.at.ROLE_MENU_BAR, self.at.ROLE_COMBO_BOX):
                continue
            stack.extend(k for k in self.children(node) if self.showing(k))
        return found

    def walk_all(self, language, checked):
        for window in self.windows():
            label = "%s/%s '%s'" % (language, window.getRoleName(), window.name)
            if label not in checked:
                self.check_window(window, label, checked)

    # --- driving by keys -----------------------------------------------------------

    def focused(self):
        try:
            self.focus.getRole()  # a window that closed takes its objects along
            return self.focus
        except Exception:
            return None

    def tree(self, frame):
        return self.wait(lambda: self.find(frame, lambda n: n.getRole() in (self.at.ROLE_TREE, self.at.ROLE_TREE_TABLE)),
                         5, "the navigation tree")

    def in_tree(self, node):
        node = self.focused() if node is self.focus else node
        return node is not None and (node.getRole() in (self.at.ROLE_TREE, self.at.ROLE_TREE_TABLE) or
                                     self.inside(node, (self.at.ROLE_TREE, self.at.ROLE_TREE_TABLE)))

    def focus_tree(self, tree):
        for _ in range(3):
            if self.in_tree(self.focus):
                return
            self.keys("F6")
        raise RuntimeError("F6 does not reach the navigation tree")

    def tree_nodes(self, tree):
        return [n for n in self.children(tree) if n.getRole() in (self.at.ROLE_TREE_ITEM, self.at.ROLE_LIST_ITEM,
                                                                  self.at.ROLE_TABLE_CELL)]

    def open_tree_nodes(self, frame):
        tree = self.tree(frame)
        count = len(self.tree_nodes(tree))
        if count < 2:
            self.failures.append("the navigation tree shows %d nodes" % count)
        self.focus_tree(tree)
        for i in range(1, count):
            # Enter takes the focus into the window, F6 back to the tree.
            self.keys(*(["F6"] if i > 1 else []), "Home", *(["Down"] * i), "Return")
            if self.focused() is None or self.in_tree(self.focus):
                self.failures.append("Enter on tree node %d leaves the focus in the tree" % i)

    def menu_commands(self, language):
        name = "orvexc_layout.json" if language == "zh" else "orvexe_layout.json"
        with open(os.path.join(self.source, "resources", "ui", name), encoding="utf-8") as f:
            layout = json.load(f)
        for band in layout["bands"]:
            if band.get("kind") != "menu":
                continue
            for key in band["tools"]:
                tool = layout["tools"].get(key)
                if key == "-" or key in NOT_WALKED or tool is None:
                    continue
                yield band["caption"], key, tool["caption"]

    def access_key(self, caption):
        position = caption.find("&")
        if position < 0 or position + 1 >= len(caption):
            return None
        return caption[position + 1].lower()

    def open_menu_windows(self, language, checked):
        for band_caption, key, caption in self.menu_commands(language):
            band_key, tool_key = self.access_key(band_caption), self.access_key(caption)
            if band_key is None or tool_key is None:
                self.failures.append("%s: menu command %s has no access key" % (language, key))
                continue
            before = {(w.getRole(), w.name) for w in self.top_windows()}
            self.keys("alt+" + band_key, tool_key)
            # An ellipsis promises a dialog, which may take a moment (the port
            # dialog tries every port first).
            deadline = time.time() + (6 if caption.rstrip().endswith(("...", "\u2026")) else 0)
            while True:
                opened = [w for w in self.top_windows() if (w.getRole(), w.name) not in before]
                if opened or time.time() > deadline:
                    break
                self.settle(0.1)
            for window in opened:
                label = "%s/%s '%s' (%s)" % (language, window.getRoleName(), window.name, key)
                self.check_window(window, label, checked)
            if opened:
                self.keys(*(["Escape"] * len(opened)))
                self.refocus()

    def top_windows(self):
        return [w for w in self.children(self.app) if self.showing(w)]

    def open_memory_map(self, language, checked):
        before = len(self.top_windows())
        self.keys("ctrl+shift+alt+m")
        tops = self.top_windows()
        if len(tops) <= before:
            self.failures.append("%s: Ctrl+Shift+Alt+M opens no memory map" % language)
            return
        for window in tops[before:]:
            self.check_window(window, "%s/%s '%s'" % (language, window.getRoleName(), window.name), checked)
        self.keys("Escape")
        self.refocus()

    def type_into_cell(self, frame):
        """Opens Channel Information, types a receive frequency into the first
        channel and reads what a screen reader hears."""
        tree = self.tree(frame)
        self.focus_tree(tree)
        self.keys("Home", "Down", "Return", "ctrl+Home")
        self.type("145.5")
        editor = self.focused()
        if editor is None or editor.getRole() not in (self.at.ROLE_TEXT, self.at.ROLE_ENTRY):
            self.failures.append("typing into the channel grid opens no text editor")
            return
        text = editor.queryText().getText(0, -1)
        if editor.name != "Channel 1, Rx Freq" or text != "145.5":
            self.failures.append("the open editor reads '%s' = '%s', not 'Channel 1, Rx Freq' = '145.5'" %
                                 (editor.name, text))
        self.keys("Return")
        grid = self.find(frame, lambda n: n.getRole() == self.at.ROLE_TABLE and n.name.startswith("Channel"))
        if grid is None:
            self.failures.append("the channel grid is not named after its window")
            return
        cell = grid.queryTable().getAccessibleAt(1, 1)  # channel 1, Rx Freq
        if cell is None or cell.name != "Channel 1, Rx Freq, 145.50000":
            self.failures.append("after Enter the cell reads '%s', not 'Channel 1, Rx Freq, 145.50000'" %
                                 (cell.name if cell else None))
        focus = self.focused()
        if focus is None or not focus.name.startswith("Channel 1, "):
            self.failures.append("after Enter the focus is on '%s', not the next cell of channel 1" %
                                 (focus.name if focus else None))

    # --- one language ----------------------------------------------------------------

    def run(self, language):
        checked = set()
        try:
            frame = self.start(language)
            steps = [("tree", lambda: self.open_tree_nodes(frame)), ("walk", lambda: self.walk_all(language, checked)),
                     ("memory map", lambda: self.open_memory_map(language, checked)),
                     ("menus", lambda: self.open_menu_windows(language, checked))]
            if language == "en":
                steps.append(("cell", lambda: self.type_into_cell(frame)))
            for name, step in steps:
                began = time.time()
                step()
                print("  %s %s: %.1f s" % (language, name, time.time() - began))
        except Exception as error:  # report and go on with the other language
            self.failures.append("%s: %s" % (language, error))
        finally:
            self.stop()
        print("%s: walked %d windows: %s" % (language, len(checked), "; ".join(sorted(checked))))


def inner(argv):
    if len(argv) != 3:
        print(__doc__)
        return 2
    subprocess.run(["dbus-send", "--session", "--dest=org.a11y.Bus", "--print-reply", "/org/a11y/bus",
                    "org.freedesktop.DBus.Properties.Set", "string:org.a11y.Status", "string:IsEnabled",
                    "variant:boolean:true"], capture_output=True, timeout=20)
    walk = Walk(os.path.abspath(argv[1]), os.path.abspath(argv[2]))
    started = time.time()
    for language in ("en", "zh"):
        walk.run(language)
    print("took %.1f s" % (time.time() - started))
    for failure in walk.failures:
        print("FAIL " + failure)
    return 1 if walk.failures else 0


if __name__ == "__main__":
    sys.exit(inner(sys.argv) if os.environ.get(INNER) else outer(sys.argv))
