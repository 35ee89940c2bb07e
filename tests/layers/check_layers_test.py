#!/usr/bin/env python3
"""The layering check fails on each kind of fault planted in a small tree, and passes the tree
without it."""
import os
import subprocess
import sys
import tempfile

CHECK = os.path.join(os.path.dirname(__file__), '..', '..', 'scripts', 'check-layers.py')
CLEAN = {
    'core/catalog/catalog.h': '#include <string>\n',
    'core/catalog/catalog.cpp': '#include "catalog/catalog.h"\n#include "catalog/store.h"\n',
    'core/catalog/store.h': '#include <string>\n',
    'core/search/search.h': '#include "catalog/catalog.h"\n',
    'qt/app/main.cpp': '#include "cli/command.h"\n',
    'cli/command.h': '#include "catalog/catalog.h"\n',
    'converter/model.h': '#include "search/search.h"\n',
    'qt/window/dialog.h': '#include "converter/model.h"\n#include <QDialog>\n',
    'win32/window/window.cpp': '#include "converter/model.h"\n#include <windows.h>\n',
}
# Each planted file, and the words its fault must be reported with.
PLANTED = [
    ('core/catalog/up.cpp', '#include "converter/model.h"\n', 'may not include converter/'),
    ('converter/model.cpp', '#include "qt/window/dialog.h"\n', 'may not include qt/'),
    ('win32/window/bad.cpp', '#include "qt/window/dialog.h"\n', 'may not include qt/'),
    ('converter/tint.cpp', '#include <QColor>\n', 'a Qt header outside qt/'),
    ('core/files/file.cpp', '#include <windows.h>\n', 'a Windows header outside win32/'),
    ('core/catalog/back.cpp', '#include "search/search.h"\n', 'a circle between folders'),
    ('converter/long.cpp', '#include "core/catalog/catalog.h"\n', 'without core/'),
    ('core/names/names.h', '#include "search/search.h"\n', 'core/names/ may not include core/search/'),
    ('core/newfolder/x.h', '#include "catalog/catalog.h"\n', "no place among the core's folders"),
    ('qt/window/cli.cpp', '#include "cli/command.h"\n', 'only app/ starts the command line'),
    # A header and its sources are one unit: catalog.cpp includes store.h, so this closes a circle.
    ('core/catalog/store_posix.cpp', '#include "catalog/catalog.h"\n', 'a circle between files'),
]


def run(files):
    with tempfile.TemporaryDirectory() as root:
        for path, text in files.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), 'w') as file:
                file.write(text)
        done = subprocess.run([sys.executable, CHECK, '--root', root], capture_output=True,
                              text=True)
        return done.returncode, done.stdout


failures = []
status, output = run(CLEAN)
if status != 0:
    failures.append(f'the clean tree fails: {output}')
for path, text, fault in PLANTED:
    status, output = run({**CLEAN, path: text})
    if status != 1 or fault not in output:
        failures.append(f'{path} planted: status {status}, said {output!r}, expected {fault!r}')
print('\n'.join(failures) or f'{len(PLANTED)} planted faults found, the clean tree passes')
sys.exit(1 if failures else 0)
