#!/usr/bin/python3
"""Fails for each control a screen reader, reading Kestrel through AT-SPI, finds without a name."""
import os, subprocess, sys, tempfile, time
import pyatspi

# What a user reaches and a screen reader names; containers need no name.
CONTROLS = {'push button', 'check box', 'radio button', 'text', 'password text', 'combo box', 'list',
            'progress bar', 'page tab', 'menu item', 'label'}


def wait_for(find, seconds):
    for _ in range(int(seconds / 0.3)):
        try:
            found = find()
        except Exception:  # the tree changes while it is read
            found = None
        if found:
            return found
        time.sleep(0.3)


def walk(acc, depth=0):
    """Each node with its depth, without the page's own content."""
    yield acc, depth
    if acc.getRoleName() != 'document web':
        for child in filter(None, acc):
            yield from walk(child, depth + 1)


def frame(caption):
    apps = [a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == 'Kestrel']
    return next((f for a in apps for f in a if f is not None and f.name == caption and f.childCount), None)


def find(top, role, name=None, description=None):
    return next((a for a, _ in walk(top) if a.getRoleName() == role and name in (None, a.name)
                 and description in (None, a.description)), None)


def check(top, problems):
    for acc, depth in walk(top):
        line = '%s%s "%s" (%s)' % ('  ' * depth, acc.getRoleName(), acc.name, acc.description)
        print(line)
        if acc.getRoleName() in CONTROLS and not acc.name.strip():
            problems.append('no name: ' + line.strip())


def main(program):
    home = tempfile.mkdtemp(prefix='kestrel-a11y-')
    with open(os.path.join(home, 'INI.ini'), 'w') as f:
        f.write('[Settings]\r\nDoStartup=False\r\nStartup=Blank\r\n')
    env = {k: v for k, v in os.environ.items() if k not in ('XDG_DATA_HOME', 'XDG_CACHE_HOME', 'XDG_CONFIG_HOME')}
    env.update(KESTREL_INI=os.path.join(home, 'INI.ini'), HOME=home, QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1')
    bus = subprocess.Popen(['/usr/libexec/at-spi-bus-launcher', '--launch-immediately'])
    kestrel = subprocess.Popen([program], env=env)
    problems = []
    try:
        window = wait_for(lambda: frame('about:blank - Kestrel'), 60)
        # The window's controls come a moment after its frame.
        if not window or not wait_for(lambda: find(window, 'progress bar'), 20):
            problems.append('no Kestrel window read through AT-SPI')
            return 1
        check(window, problems)
        for role, name in (('text', 'Address'), ('list', 'Favorites'), ('progress bar', 'Loading progress')):
            if not find(window, role, name) or not find(window, role, name).description:
                problems.append('no %s named "%s" with a description' % (role, name))
        # The status text is the label's name, what it is for its description.
        if not find(window, 'label', description='Status'):
            problems.append('no status text described as such')
        # A dialog's boxes, opened as a screen reader's user opens it.
        find(window, 'push button', 'Add Favorite').queryAction().doAction(0)
        dialog = wait_for(lambda: frame('Add Favorite'), 20)
        if not dialog or not find(dialog, 'text', 'URL') or not find(dialog, 'text', 'Name'):
            problems.append('Add Favorite has no boxes named URL and Name')
    finally:
        kestrel.terminate()
        kestrel.wait(20)
        bus.terminate()
        for p in problems:
            print('FAIL:', p)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1]))
