#!/usr/bin/python3
"""Reads Kestrel's windows as a screen reader reads them, through AT-SPI on
the private session bus this runs in (dbus-run-session), and fails for every
control a screen reader would announce without a name.

    dbus-run-session -- python3 a11y_names.py build/src/kestrel
"""
import os
import subprocess
import sys
import tempfile
import time

import pyatspi

# What a user reaches and a screen reader names; containers need no name.
CONTROLS = {'push button', 'toggle button', 'check box', 'radio button', 'text', 'password text', 'combo box',
            'list', 'progress bar', 'page tab', 'menu item', 'label', 'spin button', 'slider'}


def wait_for(find, seconds=60):
    end = time.time() + seconds
    while time.time() < end:
        try:
            found = find()
            if found:
                return found
        except Exception:  # the tree changes while it is read
            pass
        time.sleep(0.3)
    return None


def children(acc):
    return [acc.getChildAtIndex(i) for i in range(acc.childCount)]


def walk(acc, depth=0):
    """Each node with its depth, leaving out the page's own content."""
    yield acc, depth
    if acc.getRoleName() == 'document web':
        return
    for child in children(acc):
        if child is not None:
            yield from walk(child, depth + 1)


def kestrel_frame(caption):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in children(desktop):
        if app is not None and app.name == 'Kestrel':
            for frame in children(app):
                if frame is not None and frame.name == caption and frame.childCount > 0:
                    return frame
    return None


def unnamed(frame):
    """The controls without a name, and the tree they were found in."""
    missing, tree = [], []
    for acc, depth in walk(frame):
        role = acc.getRoleName()
        tree.append('%s%s "%s" (%s)' % ('  ' * depth, role, acc.name, acc.description))
        if role in CONTROLS and not acc.name.strip():
            missing.append(tree[-1].strip())
    return missing, tree


def find(frame, role, name):
    for acc, _ in walk(frame):
        if acc.getRoleName() == role and acc.name == name:
            return acc
    return None


def main(program):
    home = tempfile.mkdtemp(prefix='kestrel-a11y-')
    ini = os.path.join(home, 'INI.ini')
    with open(ini, 'w') as f:
        f.write('[Settings]\r\nDoStartup=False\r\nStartup=Blank\r\n[Favorites]\r\nNumber=0\r\n')
    env = dict(os.environ, KESTREL_INI=ini, HOME=home, QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1')
    for name in ('XDG_DATA_HOME', 'XDG_CACHE_HOME', 'XDG_CONFIG_HOME'):
        env.pop(name, None)
    bus = subprocess.Popen(['/usr/libexec/at-spi-bus-launcher', '--launch-immediately'])
    kestrel = subprocess.Popen([program], env=env)
    problems = []
    try:
        main_window = wait_for(lambda: kestrel_frame('about:blank - Kestrel'))
        if not main_window:
            print('FAIL: no Kestrel window read through AT-SPI')
            return 1
        # The window's controls come a moment after its frame.
        wait_for(lambda: find(main_window, 'progress bar', 'Loading progress'), 20)
        missing, tree = unnamed(main_window)
        problems += missing
        for role, name in (('text', 'Address'), ('list', 'Favorites'), ('progress bar', 'Loading progress')):
            acc = find(main_window, role, name)
            if not acc:
                problems.append('no %s named "%s"' % (role, name))
            elif not acc.description:
                problems.append('%s "%s" has no description' % (role, name))
        # The status text is read as the label's name; what it is for, as its description.
        if not any(acc.getRoleName() == 'label' and acc.description == 'Status' for acc, _ in walk(main_window)):
            problems.append('no status text described as such')

        # A dialog's boxes, opened as a screen reader's user opens it.
        add = find(main_window, 'push button', 'Add Favorite')
        add.queryAction().doAction(0)
        dialog = wait_for(lambda: kestrel_frame('Add Favorite'), 20)
        if not dialog:
            problems.append('the Add Favorite dialog was not read')
        else:
            missing, dialog_tree = unnamed(dialog)
            problems += missing
            tree += dialog_tree
            for name in ('URL', 'Name'):
                if not find(dialog, 'text', name):
                    problems.append('no box named "%s" in Add Favorite' % name)
        if problems:
            print('\n'.join(tree))
    finally:
        kestrel.terminate()
        kestrel.wait(20)
        bus.terminate()
    for p in problems:
        print('FAIL:', p)
    print('%d problems' % len(problems))
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1]))
