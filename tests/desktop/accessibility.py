"""Reads and drives Quorvane through AT-SPI: roles, names and actions of the picture controls,
the status bar, and one translation started by the 日 -> 中 button's action."""
import sys
import time

import pyatspi
from gi.repository import GLib

PICTURES = {
    "日 -> 中": "push button",
    "中 -> 日": "push button",
    "最小化": "push button",
    "关闭": "push button",
    "关于": "push button",
    "帮助": "link",
    "主页": "link",
}


def wait_for(what, probe, seconds=20):
    """Polls `probe` while the accessibility events that have come in are dispatched."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while GLib.MainContext.default().iteration(False):
            pass
        found = probe()
        if found:
            return found
        time.sleep(0.05)
    sys.exit(f"timed out waiting for {what}")


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        candidate = desktop.getChildAtIndex(index)
        if candidate is not None and candidate.name == "Quorvane":
            return candidate
    return None


def walk(node):
    yield node
    for index in range(node.childCount):
        yield from walk(node.getChildAtIndex(index))


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(index) for index in range(action.nActions)]


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def print_tree(node, depth=0):
    names = actions(node)
    print("  " * depth + f'{node.getRoleName()} "{node.name}"' + (f" {names}" if names else ""))
    for index in range(node.childCount):
        print_tree(node.getChildAtIndex(index), depth + 1)


def check(condition, message):
    if not condition:
        sys.exit(message)


app = wait_for("the application on the accessibility bus", application)
window = wait_for("the window", lambda: app.childCount and app.getChildAtIndex(0))
print_tree(app)
nodes = list(walk(window))
for name, role in PICTURES.items():
    matches = [node for node in nodes if node.name == name and node.getRoleName() == role]
    check(len(matches) == 1, f"no single {role} named {name}")
    check(actions(matches[0]) == ["Press"], f"{name} has the actions {actions(matches[0])}")
check(not [node for node in nodes if node.getRoleName() == "image"], "a picture is in the tree")
check(all(node.name for node in nodes if node.getRoleName() in ("push button", "link")),
      "an unnamed control")

status = [node for node in nodes if node.getRoleName() == "status bar"]
check(len(status) == 1, "no single status bar")
status = status[0]
check(text_of(status) == "状态:就绪", f"the status bar reads {text_of(status)!r}")

# What a screen reader is told of the status bar while the translation runs.
announced = []


def on_name_change(event):
    if event.source.getRoleName() == "status bar":
        announced.append(event.source.name)


pyatspi.Registry.registerEventListener(on_name_change, "object:property-change:accessible-name")

source = next(node for node in nodes if node.name == "原文")
source.queryEditableText().setTextContents("こんにちは")
check(text_of(source) == "こんにちは", "the source text was not set")
button = next(node for node in nodes if node.name == "日 -> 中")
button.queryAction().doAction(0)
line = wait_for("the elapsed seconds",
                lambda: (lambda t: t if t.startswith("总计耗时: ") and t.endswith("秒") else None)(
                    text_of(status)))
print(f"status bar: {line}")
wait_for("the seconds announced", lambda: announced and announced[-1] == line)
check(announced[0] == "翻译中 ...", f"the status bar announced {announced}")
print(f"announced: {announced}")
result = next(node for node in nodes if node.name == "译文")
check(text_of(result) == "你好，世界", f"the translation reads {text_of(result)!r}")
print("translation: " + text_of(result))
