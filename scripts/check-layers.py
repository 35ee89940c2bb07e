#!/usr/bin/env python3
"""Keeps the layers of src/ apart: fails on an include that points up a layer, on a toolkit or
system window header outside the folders allowed to use it, and on a circle between folders or
between files.

The layers, each a folder of src/ and a CMake target:
  core/       plain C++ for both systems; includes only itself
  converter/  the converter model both windows share; core
  cli/        the command line; core
  qt/         the Qt front end; core, converter, and cli from app/ alone
  win32/      the Windows front end; core, converter, and cli from app/ alone

The core's folders are layers of their own, each including only those below it (CORE_FOLDERS):
text and colour at the bottom, files on text; the formula engine; the catalog, values, settings and
the user's lists; the unit names; Find's ranking; the reading of queries; help contents and CHM
reading. A new folder of the core takes its place there before it may hold a file.

Files: a header and its source are one unit, and so are the _posix and _windows sources of a
header and the _accessible face of a widget; no two units include each other, however far round.

Core is its own include root ("catalog/catalog.h"); the others are named from src/
("converter/converter_model.h", "qt/widgets/tab_strip.h").

Usage: check-layers.py [--root SRC_DIR]; exit status 0 when the tree keeps its layers, 1 when it
does not (each fault on a line of its own), 2 when the folder cannot be read.
"""
import argparse
import os
import re
import sys

ALLOWED = {
    'core': {'core'},
    'converter': {'core', 'converter'},
    'cli': {'core', 'cli'},
    'qt': {'core', 'converter', 'cli', 'qt'},
    'win32': {'core', 'converter', 'cli', 'win32'},
}
# Each folder of the core and the folders of the core below it that it may include; every folder
# may include itself and the core's own files (result.h).
CORE_FOLDERS = {
    'text': set(),
    'colour': set(),
    'files': {'text'},
    'formula': {'text'},
    'catalog': {'files', 'formula', 'text'},
    'settings': {'files', 'text'},
    'lists': {'files', 'text', 'value'},
    'value': {'catalog', 'formula', 'text'},
    'names': {'catalog', 'files', 'text'},
    'search': {'catalog', 'names', 'text'},
    'query': {'catalog', 'formula', 'names', 'search', 'text', 'value'},
    'help': {'text'},
    'chm': {'help', 'text'},
}
# The command line runs before any window: only the programs' entry points start it.
CLI_USERS = ('qt/app/', 'win32/app/')
# Headers made by the build, not found in the tree.
GENERATED = {'product.h'}
SOURCE_ENDINGS = ('.h', '.cpp', '.rc')
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
QT_HEADER = re.compile(r'^(Q[A-Za-z]+|Qt[A-Za-z]+/.*|q[a-z]+\.h)$')
WINDOWS_HEADERS = {'windows.h', 'commctrl.h', 'commdlg.h', 'shellapi.h', 'shlobj.h', 'winreg.h',
                   'shlwapi.h', 'winuser.h', 'wingdi.h', 'knownfolders.h', 'objbase.h',
                   'shobjidl.h', 'aclapi.h', 'winioctl.h', 'sddl.h', 'io.h'}


def may_use_windows(path):
    # The core's few calls whose form differs between the systems sit in files of their own.
    return path.startswith('win32/') or (path.startswith('core/') and
                                         path.endswith('_windows.cpp'))


def resolve(root, path, name):
    """The file of src that a quoted include names, relative to src; None when none does."""
    here = os.path.dirname(path)
    candidates = [os.path.join(here, name)] if path.endswith('.rc') else []
    candidates += [os.path.join('core', name), name]
    for candidate in candidates:
        candidate = os.path.normpath(candidate)
        if os.path.isfile(os.path.join(root, candidate)):
            return candidate
    return None


def sources(root):
    for folder, _, files in os.walk(root):
        for file in sorted(files):
            if file.endswith(SOURCE_ENDINGS):
                yield os.path.relpath(os.path.join(folder, file), root).replace(os.sep, '/')


def unit(path):
    """The unit a file belongs to: its path without the ending, and without the _posix, _windows
    or _accessible that makes it a part of another file's unit."""
    stem = os.path.splitext(path)[0]
    for part in ('_posix', '_windows', '_accessible'):
        if stem.endswith(part):
            return stem[:-len(part)]
    return stem


def core_folder(path):
    """The folder of the core a path of src/ lies in ('' for the core's own files), else None."""
    parts = path.split('/')
    if parts[0] != 'core':
        return None
    return parts[1] if len(parts) > 2 else ''


def core_fault(path, target):
    """Why the core file path may not include the core file target; None when it may."""
    source, folder = core_folder(path), core_folder(target)
    if source not in CORE_FOLDERS and source != '':
        return f'core/{source}/ has no place among the core\'s folders (CORE_FOLDERS)'
    if folder in ('', source):
        return None
    if source == '' or folder not in CORE_FOLDERS[source]:
        return f'core/{source}/ may not include core/{folder}/'
    return None


def circles(edges):
    """The nodes that depend on each other, as groups of two or more (Tarjan's algorithm)."""
    index, low, stack, on_stack, groups, counter = {}, {}, [], set(), [], [0]

    def visit(node):
        index[node] = low[node] = counter[0]
        counter[0] += 1
        stack.append(node)
        on_stack.add(node)
        for target in sorted(edges.get(node, ())):
            if target not in index:
                visit(target)
                low[node] = min(low[node], low[target])
            elif target in on_stack:
                low[node] = min(low[node], index[target])
        if low[node] == index[node]:
            group = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                group.append(member)
                if member == node:
                    break
            if len(group) > 1:
                groups.append(sorted(group))

    for node in sorted(edges):
        if node not in index:
            visit(node)
    return groups


def check(root):
    faults = []
    edges = {}
    unit_edges = {}
    for path in sources(root):
        layer = path.split('/', 1)[0]
        if layer not in ALLOWED:
            faults.append(f'{path}: a folder of src/ that is no layer ({layer}/)')
            continue
        with open(os.path.join(root, path), encoding='utf-8', errors='replace') as file:
            text = file.read()
        for kind, name in INCLUDE.findall(text):
            where = f'{path}: #include {kind}{name}{">" if kind == "<" else chr(34)}'
            if kind == '<':
                if QT_HEADER.match(name) and layer != 'qt':
                    faults.append(f'{where}: a Qt header outside qt/')
                if name.lower() in WINDOWS_HEADERS and not may_use_windows(path):
                    faults.append(f'{where}: a Windows header outside win32/')
                continue
            if os.path.basename(name) in GENERATED:
                continue
            if name.startswith('core/'):
                faults.append(f'{where}: the core is named from its own root, without core/')
                continue
            target = resolve(root, path, name)
            if target is None:
                faults.append(f'{where}: names no file of src/')
                continue
            target_layer = target.split('/', 1)[0]
            if target_layer not in ALLOWED.get(layer, ()):
                faults.append(f'{where}: {layer}/ may not include {target_layer}/')
            elif target_layer == 'cli' and layer != 'cli' and not path.startswith(CLI_USERS):
                faults.append(f'{where}: only app/ starts the command line')
            elif layer == 'core' and (fault := core_fault(path, target)):
                faults.append(f'{where}: {fault}')
            if unit(path) != unit(target):
                unit_edges.setdefault(unit(path), set()).add(unit(target))
            source_folder, target_folder = os.path.dirname(path), os.path.dirname(target)
            if source_folder != target_folder:
                edges.setdefault(source_folder, set()).add(target_folder)
    for group in circles(edges):
        faults.append('a circle between folders: ' + ' -> '.join(group + group[:1]))
    for group in circles(unit_edges):
        faults.append('a circle between files: ' + ' -> '.join(group + group[:1]))
    return faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('--root', default=os.path.join(os.path.dirname(__file__), '..', 'src'))
    root = parser.parse_args().root
    if not os.path.isdir(root):
        print(f'check-layers: {root} is no folder', file=sys.stderr)
        return 2
    faults = check(root)
    for fault in faults:
        print(fault)
    if faults:
        print(f'check-layers: {len(faults)} faults', file=sys.stderr)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
