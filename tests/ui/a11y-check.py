#!/usr/bin/python3
"""Reads the program as a screen reader does, through AT-SPI, under a virtual display and a private D-Bus session:
a plan file loaded from the File menu, one calendar cell and the names of the editor's fields. Exits 0 when they read
as they should, 1 when not, 77 without the tools.   a11y-check.py PATH/TO/tamber98"""
import contextlib
import datetime
import importlib.util
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

A11Y_BUS_SERVICE = "/usr/share/dbus-1/services/org.a11y.Bus.service"


def plan_file(path, today):
    """A plan file written yesterday: balance 80,000 and a monthly expense of 3,200 from today."""
    def serial(day):
        return float((day - datetime.date(1899, 12, 30)).days)
    header = bytearray(188)
    struct.pack_into("<d", header, 0, serial(today - datetime.timedelta(days=1)))
    struct.pack_into("<i", header, 24, 80000)
    plan = bytearray(188)
    struct.pack_into("<diiB", plan, 0, serial(today), 12, 0, 5)  # start, periods, interval, monthly
    struct.pack_into("<ii", plan, 20, -1, 3200)                   # expense of 3,200
    with open(path, "wb") as f:
        f.write(bytes(header) + bytes(plan))


def wait_for(what, seconds=60, step=0.5):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if found := what():
            return found
        time.sleep(step)


class Session:
    """The program in a scratch folder with the accessibility bus, inside the display and session bus that
    main() runs this script in."""

    def __init__(self, program):
        self.work = tempfile.mkdtemp(prefix="tamber-a11y-")
        self.program = None
        try:
            self.open(program)
        except BaseException:
            self.close()
            raise

    def open(self, program):
        self.today = datetime.date.today()
        exe = os.path.join(self.work, "tamber98")
        shutil.copy(program, exe)
        self.plans = os.path.join(self.work, "plans.tbr")
        plan_file(self.plans, self.today)
        with open(os.path.join(self.work, "Tamber98.ini"), "w", newline="") as ini:
            ini.write(f"[Tamber98]\r\nHistory1={self.plans}\r\nHistory2=\r\nHistory3=\r\n")

        # Asking for the accessibility bus starts it. The program asks once, at start: the bus must answer
        # before, or on a busy machine the program is never seen.
        ask = ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus.GetAddress"]
        if not wait_for(lambda: subprocess.run(ask, capture_output=True).returncode == 0, 60):
            raise RuntimeError("the accessibility bus did not start")
        self.log = os.path.join(self.work, "program.log")
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   LANG="zh_TW.UTF-8")
        with open(self.log, "wb") as out:
            self.program = program = subprocess.Popen([exe], env=env, cwd=self.work, stdout=out, stderr=subprocess.STDOUT)

        import pyatspi  # after the session bus is known
        self.pyatspi = pyatspi
        self.app = wait_for(lambda: self.find_app() or program.poll() is not None, 120)
        if program.poll() is not None:
            raise RuntimeError(f"the program ended at start (exit {program.returncode}):\n{self.log_tail()}")
        if not self.app:
            raise RuntimeError(f"the program did not appear on the accessibility bus:\n{self.log_tail()}")

    def log_tail(self, lines=40):
        with open(self.log, errors="replace") as f:
            return "".join(f.readlines()[-lines:])

    def close(self):
        if self.program:
            self.program.terminate()
            try:
                self.program.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.program.kill()
        shutil.rmtree(self.work, ignore_errors=True)

    def find_app(self):
        desktop = self.pyatspi.Registry.getDesktop(0)
        apps = (desktop.getChildAtIndex(i) for i in range(desktop.childCount))
        return next((a for a in apps if a is not None and a.name.lower().startswith("tamber") and self.all(a, role="frame")), None)

    def all(self, root=None, role=None, name=None, showing=None):
        out = []

        def walk(a, depth):
            if a is None or depth > 30:
                return
            try:
                ok = (role is None or a.getRoleName() == role) and (name is None or a.name == name)
                if ok and showing is not None:
                    ok = a.getState().contains(self.pyatspi.STATE_SHOWING) == showing
                if ok:
                    out.append(a)
                # The calendar's cells are read through the table, not walked.
                if a.getRoleName() != "table":
                    for i in range(a.childCount):
                        walk(a.getChildAtIndex(i), depth + 1)
            except Exception:
                return
        walk(root or self.app, 0)
        return out

    def find(self, **kw):
        return next(iter(self.all(**kw)), None)

    @staticmethod
    def press(a):
        """The first action; one that opens a modal window answers late, which does not matter."""
        with contextlib.suppress(Exception):
            a.queryAction().doAction(0)


def calendar_cell(s, day):
    """The name of the calendar cell that starts with Day's "M月D日", or None."""
    table = s.find(role="table", showing=True)
    if table is None or not table.name.startswith("月曆"):
        return None
    cells = table.queryTable()
    prefix = f"{day.month}月{day.day}日"
    for row in range(cells.nRows):
        for column in range(cells.nColumns):
            name = cells.getAccessibleAt(row, column).name
            if name == prefix or name.startswith(prefix + " "):
                return name
    return None


def main():
    if len(sys.argv) == 2:  # first under a virtual display and a private session bus of its own
        needed = [shutil.which(t) for t in ("xvfb-run", "xauth", "dbus-run-session", "dbus-send")]
        if not importlib.util.find_spec("pyatspi") or not all(needed) or not os.path.exists(A11Y_BUS_SERVICE):
            print("SKIP: Xvfb, D-Bus, at-spi2-core or python3-pyatspi is not installed")
            return 77  # skipped
        return subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1600x1000x24 -nolisten tcp", "dbus-run-session", "--",
                               sys.executable, os.path.abspath(__file__), "--inside", sys.argv[1]]).returncode
    if len(sys.argv) != 3 or sys.argv[1] != "--inside":
        print(__doc__)
        return 2

    failures, s = [], Session(sys.argv[2])
    try:
        s.press(wait_for(lambda: s.find(role="menu item", name=s.plans), 30))
        expected = f"{s.today.month}月{s.today.day}日 支出 3,200 結存 76,800"
        cell = wait_for(lambda: calendar_cell(s, s.today) if calendar_cell(s, s.today) == expected else None, 30)
        if cell is None:
            failures.append(f"today's calendar cell reads {calendar_cell(s, s.today)!r}, not {expected!r}")

        s.press(s.find(role="menu item", name="計劃"))
        editor = wait_for(lambda: s.find(role="dialog", name="計劃編輯"), 30)
        if editor is None:
            failures.append("the plan editor did not open")
        else:
            roles = ("text", "combo box", "spin button", "table")
            fields = wait_for(lambda: [f for r in roles for f in s.all(root=editor, role=r, showing=True)], 10) or []
            names = {f.name for f in fields}
            wanted = {"計劃類別", "敘述／用途", "起始日期", "期別", "期數", "金額", "計劃列表", "期次預覽"}
            if not wanted <= names:
                failures.append(f"the editor's fields read {sorted(names)}, missing {sorted(wanted - names)}")
            nameless = [(f.getRoleName(), f.parent.getRoleName(), f.parent.name) for f in fields if not f.name]
            if nameless:
                failures.append(f"editor fields without a name (role, parent): {nameless}")
            s.press(s.find(root=editor, role="push button", name="回主畫面"))
    finally:
        s.close()
    print("\n".join("FAIL: " + f for f in failures) or "ok: the calendar cell and the editor's field names read through AT-SPI")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
