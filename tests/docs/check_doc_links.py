#!/usr/bin/env python3
"""Every link and picture of the project's Markdown files leads somewhere: a relative target names
a file or folder of the tree, and a #fragment a heading of the Markdown file or an id of the help
page it points into. The README also stays short enough to read in two minutes.

Usage: check_doc_links.py ROOT; exit status 0 when all resolve, 1 with each fault on a line."""
import os
import re
import sys

README_MAX_LINES = 150
# [text](target) and ![alt](target), the target up to a blank or the closing parenthesis.
LINK = re.compile(r'!?\[[^\]]*\]\(([^)\s]+)\)')
HEADING = re.compile(r'^#{1,6}\s+(.*?)\s*$', re.MULTILINE)


def anchor(heading):
    """The fragment a heading gets: lower case, punctuation dropped, blanks as hyphens."""
    text = re.sub(r'[`*_]', '', heading.lower())
    text = re.sub(r'[^\w\- ]', '', text)
    return text.replace(' ', '-')


def markdown_files(root):
    for folder, folders, files in os.walk(root):
        folders[:] = [f for f in folders if not f.startswith('.') and f != 'build']
        for name in files:
            if name.endswith('.md'):
                yield os.path.join(folder, name)


def faults(root):
    found = []
    for path in sorted(markdown_files(root)):
        with open(path, encoding='utf-8') as file:
            text = file.read()
        where = os.path.relpath(path, root)
        # Links inside code blocks are examples, not links.
        prose = re.sub(r'```.*?```', '', text, flags=re.DOTALL)
        for target in LINK.findall(prose):
            if re.match(r'^[a-z]+:', target):
                continue
            file_part, _, fragment = target.partition('#')
            resolved = os.path.normpath(os.path.join(os.path.dirname(path), file_part)) \
                if file_part else path
            if not os.path.exists(resolved):
                found.append(f'{where}: {target}: no such file')
            elif fragment and resolved.endswith(('.md', '.html')):
                with open(resolved, encoding='utf-8') as file:
                    page = file.read()
                anchors = {anchor(h) for h in HEADING.findall(page)} \
                    if resolved.endswith('.md') else set(re.findall(r'\bid="([^"]+)"', page))
                if fragment not in anchors:
                    found.append(f'{where}: {target}: no anchor "{fragment}"')
    with open(os.path.join(root, 'README.md'), encoding='utf-8') as file:
        lines = len(file.read().splitlines())
    if lines > README_MAX_LINES:
        found.append(f'README.md: {lines} lines, more than {README_MAX_LINES}')
    return found


if __name__ == '__main__':
    problems = faults(sys.argv[1])
    print('\n'.join(problems) or 'every link and picture resolves')
    sys.exit(1 if problems else 0)
