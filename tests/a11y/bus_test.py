#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The desktop application as a screen reader meets it.

Starts the application on a virtual X display with its own D-Bus session and
AT-SPI accessibility bus, then works it only through that bus: it walks the
accessible tree and checks every control's name, role and description and the
values the fields tell; types a text through the EditableText interface,
presses Encode through the Action interface, hears the status line announce
the result and reads the symbol on a screenshot of the window back to the same
text with the zxing-cpp reader. It also drives the keyboard (keys sent through
the bus): the first focus, the tab order, a visible focus on every button, and
the mnemonics; it finds the scan warnings under the status line and hears
them in its description; it picks a colour in the colour picker and hears the
colour button say it; and Ctrl+E opens the Explain view with its tables.

Usage: bus_test.py PATH-TO-barquill-gui
Exits 0 when every check passes, 1 when one fails, and 77 (skipped) when the
accessibility bus cannot be started on this machine.
"""

import contextlib
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
STARTUP_SECONDS = 30
SETTLE_SECONDS = 10
XK_TAB = 0xFF09
XK_ESCAPE = 0xFF1B
MAX_TAB_STOPS = 40
# The events by which a screen reader learns that a label's text changed.
ANNOUNCING_EVENTS = (
    "object:text-changed",
    "object:property-change:accessible-name",
    "object:property-change:accessible-description",
    "object:announcement",
)
ALT_MASK = 1 << 3  # Mod1, where the X server puts the Alt keys
CONTROL_MASK = 1 << 2

# Words, a long run of digits and punctuation: text and numeric compaction.
SAMPLE = "Read me aloud: 0123456789012345, #42!"


class Skip(Exception):
    """The accessibility bus cannot run here."""


class Failure(Exception):
    """A check failed."""


def log(message):
    print(message, flush=True)


# ---------------------------------------------------------------------------
# The display, the session bus and the accessibility bus


def spawn(stack, argv, env, **kwargs):
    """Starts a background process in its own process group, ended on exit."""
    process = subprocess.Popen(argv, env=env, start_new_session=True, **kwargs)

    def stop():
        if process.poll() is None:
            with contextlib.suppress(ProcessLookupError):
                os.killpg(process.pid, signal.SIGTERM)
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                with contextlib.suppress(ProcessLookupError):
                    os.killpg(process.pid, signal.SIGKILL)
                process.wait()

    stack.callback(stop)
    return process


def read_line(stream, seconds, what):
    """One line from a background process's pipe, waiting at most `seconds`."""
    import selectors

    with selectors.DefaultSelector() as selector:
        selector.register(stream, selectors.EVENT_READ)
        if not selector.select(seconds):
            raise Skip(f"{what} did not answer within {seconds} s")
    line = stream.readline().strip()
    if not line:
        raise Skip(f"{what} ended without answering")
    return line


def start_display(stack, env):
    """An Xvfb server on a free display number."""
    reader, writer = os.pipe()
    server = spawn(
        stack,
        # No reset when the last client leaves: the bus launcher connects and
        # leaves before the application does, which would meet a resetting server.
        ["Xvfb", "-displayfd", str(writer), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
         "-noreset"],
        env,
        pass_fds=(writer,),
        stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL,
    )
    os.close(writer)
    with os.fdopen(reader) as stream:
        try:
            number = read_line(stream, STARTUP_SECONDS, "Xvfb")
        except Skip as cause:
            raise Failure(f"the virtual display did not start: {cause}") from None
    if server.poll() is not None:
        raise Failure("the virtual display ended at once")
    return ":" + number


def start_session_bus(stack, env):
    """A private D-Bus session bus; its address."""
    daemon = spawn(
        stack,
        ["dbus-daemon", "--session", "--nofork", "--print-address=1"],
        env,
        stdout=subprocess.PIPE,
        stderr=subprocess.DEVNULL,
        text=True,
    )
    return read_line(daemon.stdout, STARTUP_SECONDS, "the D-Bus session daemon")


def start_accessibility_bus(stack, env):
    """The AT-SPI bus launcher on the session bus; waits until it answers."""
    launcher = "/usr/libexec/at-spi-bus-launcher"
    if not os.access(launcher, os.X_OK):
        raise Failure(f"{launcher} is missing: install at-spi2-core")
    spawn(
        stack,
        [launcher, "--launch-immediately"],
        env,
        stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL,
    )
    deadline = time.monotonic() + STARTUP_SECONDS
    while time.monotonic() < deadline:
        answer = subprocess.run(
            [
                "dbus-send",
                "--session",
                "--print-reply=literal",
                "--reply-timeout=2000",
                "--dest=org.a11y.Bus",
                "/org/a11y/bus",
                "org.a11y.Bus.GetAddress",
            ],
            env=env,
            capture_output=True,
            text=True,
        )
        if answer.returncode == 0 and answer.stdout.strip():
            return answer.stdout.strip()
        time.sleep(0.2)
    raise Skip("the AT-SPI bus launcher gave no bus address")


# ---------------------------------------------------------------------------
# The accessible tree


def wait_for(condition, seconds, what):
    """Polls `condition` (also running the event loop) until it is truthy."""
    deadline = time.monotonic() + seconds
    while True:
        pump_events()
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise Failure(f"timed out after {seconds} s waiting for {what}")
        time.sleep(0.1)


def pump_events():
    from gi.repository import GLib

    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def descendants(node):
    """Every object below `node`, depth first."""
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is None:
            continue
        yield child
        yield from descendants(child)


def find_application(pyatspi, pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        with contextlib.suppress(Exception):
            if app is not None and app.get_process_id() == pid and app.childCount > 0:
                return app
    return None


def role_name(role):
    return str(role).removeprefix("ROLE_").replace("_", " ").lower()


def describe(node):
    return f"{node.getRoleName()} '{node.name}'"


def find(pyatspi, window, name, roles=None):
    """The one object called `name` (of one of `roles`, when given).

    A field's label usually carries the field's name too, so labels are
    passed over unless a label is what is wanted.
    """
    named = [node for node in descendants(window) if node.name == name]
    if roles is not None:
        matches = [node for node in named if node.getRole() in roles]
    else:
        matches = [node for node in named if node.getRole() != pyatspi.ROLE_LABEL] or named
    if len(matches) == 1:
        return matches[0]
    if len(matches) > 1:
        raise Failure(f"{len(matches)} objects are called '{name}'")
    if named:
        wanted = " or ".join(sorted(role_name(role) for role in roles))
        found = ", ".join(node.getRoleName() for node in named)
        raise Failure(f"'{name}' is a {found}, not a {wanted}")
    raise Failure(f"no object is called '{name}'")


def query(node, interface):
    """One of the node's AT-SPI interfaces, or a failure that names it."""
    try:
        return getattr(node, "query" + interface)()
    except NotImplementedError:
        raise Failure(f"{describe(node)} does not offer the {interface} interface") from None


def press(node):
    """Runs the node's press (or click) action."""
    action = query(node, "Action")
    names = [action.getName(index).lower() for index in range(action.nActions)]
    for wanted in ("press", "click", "activate"):
        if wanted in names:
            action.doAction(names.index(wanted))
            return
    raise Failure(f"{describe(node)} offers no press action, only {names}")


# ---------------------------------------------------------------------------
# The checks


class Dialog:
    """The main window as the bus shows it, and what it must offer."""

    def __init__(self, pyatspi, window, display, artifacts):
        self.pyatspi = pyatspi
        self.window = window
        self.display = display
        self.artifacts = artifacts
        text = {pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY}
        button = {pyatspi.ROLE_PUSH_BUTTON}
        spin = {pyatspi.ROLE_SPIN_BUTTON}
        # Name: (accepted roles or None for any, whether it is an input).
        self.contract = {
            "Profile": ({pyatspi.ROLE_COMBO_BOX}, True),
            "Text": (text, True),
            "Level": ({pyatspi.ROLE_COMBO_BOX}, True),
            "Margin": (spin, True),
            "Columns": (spin, True),
            "Background: white, #FFFFFF": (button, True),
            "Bar color: black, #000000": (button, True),
            "Live preview": ({pyatspi.ROLE_CHECK_BOX}, True),
            "Encode": (button, False),
            "Save": (button, False),
            "Cancel": (button, False),
            "Status": ({pyatspi.ROLE_LABEL, pyatspi.ROLE_STATUS_BAR}, False),
            "Symbol": (None, False),
        }
        self.inputs = [name for name, (_, is_input) in self.contract.items() if is_input]
        # What the application tells the bus unasked: (event type, source name).
        self.events = []

    def heard(self, event):
        with contextlib.suppress(Exception):
            self.events.append((event.type, event.source.name))

    def status_text(self):
        """What the status line says: its text, or its description."""
        status = self.control("Status")
        with contextlib.suppress(Failure):
            return query(status, "Text").getText(0, -1) or status.description
        return status.description

    def control(self, name):
        return find(self.pyatspi, self.window, name, self.contract[name][0])

    def focused(self):
        for node in descendants(self.window):
            if node.getState().contains(self.pyatspi.STATE_FOCUSED):
                return node
        return None

    def wait_for_focus(self, name, what):
        def arrived():
            node = self.focused()
            return node is not None and node.name == name

        wait_for(arrived, SETTLE_SECONDS, what)

    def key(self, keysym):
        self.pyatspi.Registry.generateKeyboardEvent(keysym, None, self.pyatspi.KEY_SYM)

    def check_names_and_roles(self):
        problems = []
        if self.window.name != "Barquill":
            problems.append(f"the window is called '{self.window.name}', not 'Barquill'")
        for name, (_, is_input) in self.contract.items():
            try:
                node = self.control(name)
            except Failure as failure:
                problems.append(str(failure))
                continue
            if is_input and not node.description:
                problems.append(f"'{name}' has no description")
        problems += self.unlabelled()
        if problems:
            raise Failure("accessible names and roles:\n  " + "\n  ".join(problems))
        log("ok: every control has its name and role, every input a description")

    def unlabelled(self):
        """Every control on show that takes the focus has a name, and one that
        has a label is named after it (a combo box named after its current
        item tells the user nothing of what it sets)."""
        problems = []
        for node in descendants(self.window):
            states = node.getState()
            if not (states.contains(self.pyatspi.STATE_FOCUSABLE)
                    and states.contains(self.pyatspi.STATE_SHOWING)):
                continue
            if not node.name.strip():
                problems.append(f"a {node.getRoleName()} that takes the focus has no name")
            # Group boxes label their members too; only a label names one.
            labels = [
                target.name
                for relation in node.getRelationSet()
                if relation.getRelationType() == self.pyatspi.RELATION_LABELLED_BY
                for target in map(relation.getTarget, range(relation.getNTargets()))
                if target.getRole() == self.pyatspi.ROLE_LABEL
            ]
            if labels and node.name not in labels:
                problems.append(f"the {describe(node)} is labelled {labels}")
        return problems

    def check_spin_ranges(self):
        """The spin boxes tell their start value and range."""
        for name, start, lowest, highest in (("Margin", 10, 0, None), ("Columns", 0, 0, 30)):
            value = query(self.control(name), "Value")
            shown = (value.currentValue, value.minimumValue, value.maximumValue)
            if shown[0] != start or shown[1] != lowest or highest not in (None, shown[2]):
                raise Failure(
                    f"'{name}' reads {shown[0]} in {shown[1]}..{shown[2]}, "
                    f"not {start} in {lowest}..{highest or 'any'}"
                )
        log("ok: the spin boxes tell their values and ranges")

    def check_level_value(self):
        """The level box tells which level is chosen, as text or as the
        selected item of its list."""
        box = self.control("Level")
        told = []
        for node in [box, *descendants(box)]:
            if node.getRole() == self.pyatspi.ROLE_LIST_ITEM:
                if node.getState().contains(self.pyatspi.STATE_SELECTED):
                    told.append(node.name)
            elif "Text" in node.get_interfaces():
                told.append(node.queryText().getText(0, -1))
        if told != ["1"]:
            raise Failure(f"the level box tells {told} as its value, not level 1")
        log("ok: the level box tells that level 1 is chosen")

    def look(self, node):
        """What the screen shows of one control."""
        extents = query(node, "Component").getExtents(self.pyatspi.DESKTOP_COORDS)
        return screenshot(self.display, extents).tobytes()

    def check_keyboard(self):
        """The first focus is the text; Tab visits every input and shows where
        it is; the mnemonics reach their fields."""
        self.wait_for_focus("Text", "the text field to have the first focus")
        # Buttons and check boxes have no blinking caret, so a change of their
        # pixels as the focus comes or goes is the focus indicator. Both ways
        # count: a default button may look focused already while the focus is
        # in a field, and changes only when another button takes the focus.
        roles = {self.pyatspi.ROLE_PUSH_BUTTON, self.pyatspi.ROLE_CHECK_BOX}
        watched = {
            name: self.control(name)
            for name, (accepted, _) in self.contract.items()
            if accepted is not None and accepted <= roles
        }

        def changes(node, look):
            try:
                wait_for(lambda: self.look(node) != look, 2, "a repaint")
                return True
            except Failure:
                return False

        visited, unmarked, last = ["Text"], [], None
        for _ in range(MAX_TAB_STOPS):
            looks = {name: self.look(node) for name, node in watched.items()}
            self.key(XK_TAB)

            def moved():
                node = self.focused()
                return node if node is not None and node.name != visited[-1] else None

            node = wait_for(moved, SETTLE_SECONDS, f"Tab to move on from '{visited[-1]}'")
            if last is not None:
                name, gained, focused_look = last
                if not gained and not changes(watched[name], focused_look):
                    unmarked.append(name)
                last = None
            if node.name == "Text":
                break
            visited.append(node.name)
            if node.name in watched:
                gained = changes(node, looks[node.name])
                last = (node.name, gained, self.look(node))
        missing = [name for name in self.inputs if name not in visited]
        if missing:
            raise Failure(f"Tab never reaches {missing}; it visits {visited}")
        log(f"ok: Tab runs through {visited} and back to the text")

        for letter, name in (("l", "Level"), ("m", "Margin"), ("c", "Columns"), ("t", "Text")):
            registry = self.pyatspi.Registry
            registry.generateKeyboardEvent(ALT_MASK, None, self.pyatspi.KEY_LOCKMODIFIERS)
            self.key(ord(letter))
            registry.generateKeyboardEvent(ALT_MASK, None, self.pyatspi.KEY_UNLOCKMODIFIERS)
            self.wait_for_focus(name, f"Alt+{letter.upper()} to focus '{name}'")
        log("ok: Alt+L, Alt+M, Alt+C and Alt+T focus their fields")

        if unmarked:
            raise Failure(f"the focus does not show on {unmarked}")
        log("ok: the focus shows on every button and check box")

    def check_typing_and_encoding(self):
        field = self.control("Text")
        self.events.clear()
        for kind in ANNOUNCING_EVENTS:
            self.pyatspi.Registry.registerEventListener(self.heard, kind)
        try:
            self.type_and_encode(field)
        finally:
            for kind in ANNOUNCING_EVENTS:
                self.pyatspi.Registry.deregisterEventListener(self.heard, kind)

    def type_and_encode(self, field):
        query(field, "EditableText").setTextContents(SAMPLE)
        text = query(field, "Text")
        wait_for(lambda: text.getText(0, -1) == SAMPLE, SETTLE_SECONDS, "the typed text to show")
        log("ok: typed the text through the EditableText interface")

        press(self.control("Encode"))
        extents = query(self.window, "Component").getExtents(self.pyatspi.DESKTOP_COORDS)
        shots = []

        def read_back():
            shots.append(screenshot(self.display, extents))
            return SAMPLE in decode(shots[-1])

        try:
            wait_for(read_back, SETTLE_SECONDS, f"the symbol on screen to read '{SAMPLE}'")
        finally:
            if shots:
                shots[-1].save(os.path.join(self.artifacts, "a11y_window.png"))
        log("ok: pressed Encode through the Action interface; the screenshot reads back exactly")

        def announced():
            return [kind for kind, source in self.events if source == "Status"]

        wait_for(announced, SETTLE_SECONDS, "the status line to announce its change")
        log(f"ok: the status line announced its change ({', '.join(sorted(set(announced())))})")

    def check_colour_change(self):
        """A colour chosen in the picker shows in the button's name."""
        press(self.control("Background: white, #FFFFFF"))
        application = self.window.getApplication()

        def picker():
            windows = [application.getChildAtIndex(i) for i in range(application.childCount)]
            return next((w for w in windows if w is not None and w != self.window), None)

        dialog = wait_for(picker, SETTLE_SECONDS, "the colour picker to open")
        for channel, level in (("Red:", 255), ("Green:", 0), ("Blue:", 0)):
            field = find(self.pyatspi, dialog, channel, {self.pyatspi.ROLE_SPIN_BUTTON})
            query(field, "Value").currentValue = level
        press(find(self.pyatspi, dialog, "OK", {self.pyatspi.ROLE_PUSH_BUTTON}))

        def renamed():
            for node in descendants(self.window):
                if node.name.startswith("Background: ") and node.name.endswith(", #FF0000"):
                    return node
            return None

        node = wait_for(renamed, SETTLE_SECONDS, "the background button to name red")
        if node.getRole() != self.pyatspi.ROLE_PUSH_BUTTON:
            raise Failure(f"{describe(node)} is not a push button")
        log(f"ok: after picking red the background button is called '{node.name}'")

    def check_warnings(self):
        """The scan warnings show under the status line beside a warning icon,
        and screen readers hear them after the status line, as its description.
        The sample at level 1 is below the level recommended for its length."""
        icons = [node for node in descendants(self.window) if node.name == "Warning"]
        if not icons:
            raise Failure("no icon called 'Warning' shows a warning")
        warnings = [
            node
            for node in descendants(self.window)
            if node.getRole() == self.pyatspi.ROLE_LABEL and "recommended" in node.name
        ]
        if not warnings:
            raise Failure("the level below the recommended one is not warned about")
        said = warnings[0].name
        description = self.control("Status").description
        if not said.endswith(".") or not description.endswith(said):
            raise Failure(f"the status line is described as '{description}', without '{said}'")
        log(f"ok: the warning '{said}' shows under the status line and ends its description")

    def check_explain(self):
        """Ctrl+E opens the Explain view, whose tables are the segments and the
        codewords; Esc closes it."""
        registry = self.pyatspi.Registry
        application = self.window.getApplication()

        def others():
            windows = [application.getChildAtIndex(i) for i in range(application.childCount)]
            return [w for w in windows if w is not None and w != self.window and w.name == "Explain"]

        registry.generateKeyboardEvent(CONTROL_MASK, None, self.pyatspi.KEY_LOCKMODIFIERS)
        self.key(ord("e"))
        registry.generateKeyboardEvent(CONTROL_MASK, None, self.pyatspi.KEY_UNLOCKMODIFIERS)
        view = wait_for(lambda: next(iter(others()), None), SETTLE_SECONDS, "Ctrl+E to explain")
        tables = {node.name for node in descendants(view) if node.getRole() == self.pyatspi.ROLE_TABLE}
        if not {"Segments", "Codewords"} <= tables:
            raise Failure(f"the Explain view's tables are {sorted(tables)}")
        self.key(XK_ESCAPE)
        wait_for(lambda: not others(), SETTLE_SECONDS, "Esc to close the Explain view")
        log("ok: Ctrl+E opens the Explain view with its Segments and Codewords tables; Esc closes it")

    def check_symbol_description(self):
        """The symbol area reads out what the status line says."""
        symbol = self.control("Symbol")
        said = self.status_text()
        if not said or not re.search(r"\d", said):
            raise Failure(f"the status line says '{said}', no size")
        if symbol.description != said:
            raise Failure(f"the symbol is described as '{symbol.description}', not as '{said}'")
        log(f"ok: the symbol is described as the status says: '{said}'")


def screenshot(display, extents):
    from PIL import ImageGrab

    box = (extents.x, extents.y, extents.x + extents.width, extents.y + extents.height)
    return ImageGrab.grab(bbox=box, xdisplay=display)


def decode(image):
    import zxingcpp

    results = zxingcpp.read_barcodes(image, formats=zxingcpp.BarcodeFormat.PDF417)
    return [result.text for result in results]


# ---------------------------------------------------------------------------


def run(application, artifacts):
    for program in ("Xvfb", "dbus-daemon", "dbus-send"):
        if shutil.which(program) is None:
            raise Failure(f"{program} is missing: run scripts/install-deps.sh")
    with contextlib.ExitStack() as stack:
        env = {
            key: value
            for key, value in os.environ.items()
            if not key.startswith(("DBUS_", "AT_SPI", "XDG_", "DISPLAY", "WAYLAND"))
        }
        runtime = stack.enter_context(tempfile.TemporaryDirectory(prefix="barquill-a11y-"))
        os.chmod(runtime, 0o700)
        env["XDG_RUNTIME_DIR"] = runtime
        # A fresh home for settings, so that what an earlier run chose (the
        # colour picked below among them) does not carry over.
        for kind in ("CONFIG", "DATA", "CACHE", "STATE"):
            env[f"XDG_{kind}_HOME"] = os.path.join(runtime, kind.lower())
        env["DISPLAY"] = start_display(stack, env)
        try:
            env["DBUS_SESSION_BUS_ADDRESS"] = start_session_bus(stack, env)
            start_accessibility_bus(stack, env)
        except OSError as error:
            raise Skip(f"the D-Bus session could not start: {error}") from None
        os.environ.update(
            {k: env[k] for k in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR")}
        )

        try:
            import pyatspi
        except ImportError as error:
            raise Failure(f"{error}: run scripts/install-deps.sh") from None

        app_env = dict(
            env,
            QT_QPA_PLATFORM="xcb",
            QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
            LANG="en_US.UTF-8",
            LC_ALL="en_US.UTF-8",
            LANGUAGE="en",
        )
        app = spawn(stack, [application], app_env)
        log(f"started {application} on display {env['DISPLAY']}")

        def window():
            if app.poll() is not None:
                raise Failure(f"the application ended with status {app.returncode}")
            found = find_application(pyatspi, app.pid)
            return found.getChildAtIndex(0) if found is not None else None

        top = wait_for(window, STARTUP_SECONDS, "the application on the accessibility bus")
        wait_for(lambda: top.childCount > 0, SETTLE_SECONDS, "the window's controls")
        log("the accessible tree:")
        for node in descendants(top):
            log(f"  {describe(node)}: {node.description}")

        # Each check runs even when an earlier one failed, so that one run
        # shows every gap.
        dialog = Dialog(pyatspi, top, env["DISPLAY"], artifacts)
        checks = [
            dialog.check_names_and_roles,
            dialog.check_spin_ranges,
            dialog.check_level_value,
            dialog.check_keyboard,
            dialog.check_typing_and_encoding,
            dialog.check_symbol_description,
            dialog.check_warnings,
            # While the main window has the keyboard: no window manager gives
            # it back after the colour picker closes.
            dialog.check_explain,
            dialog.check_colour_change,
        ]
        from gi.repository import GLib

        failures = []
        for check in checks:
            try:
                check()
            except (Failure, GLib.Error) as failure:
                log(f"FAILED: {failure}")
                failures.append(failure)
        if failures:
            raise Failure(f"{len(failures)} of {len(checks)} checks failed")


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    application = os.path.abspath(sys.argv[1])
    artifacts = os.getcwd()
    try:
        run(application, artifacts)
    except Skip as skip:
        log(f"SKIPPED: the accessibility bus cannot start here ({skip})")
        return SKIPPED
    except Failure as failure:
        log(f"FAILED: {failure}")
        return 1
    log("all accessibility checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
