#!/usr/bin/env python3
"""The names the docs give exist (README.md, BUILDING.md, docs/*.md): the files and
folders of the tree they name in code or link to, the menu commands the guide names
(File / Patrol), the tests they cite (Suite.Name, Suite.*), and the version of the
downloads they name; every picture in docs/ is shown by one of them. Prints what is
missing and fails when anything is."""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else '.').resolve()
docs = [root / 'README.md', root / 'BUILDING.md'] + sorted((root / 'docs').glob('*.md'))
TOP = {p.name for p in root.iterdir() if not p.name.startswith('build')} - {'.git'}
SRC = {p.name for p in (root / 'src').iterdir() if p.is_dir()}
SYSTEM = {'windows.h'}
GENERATED = ('build', 'build64', 'build-native', 'build-dist', 'build-dist64', 'run', 'dist')
sources = {p.name for p in root.rglob('*') if p.is_file() and not p.relative_to(root).parts[0].startswith(('build', '.git'))}
testtext = '\n'.join(p.read_text(errors='replace') for p in (root / 'tests').rglob('*')
                     if p.is_file() and p.suffix in ('.cpp', '.h', '.sh'))
version = re.search(r'project\(Hostwarden VERSION ([0-9.]+)', (root / 'CMakeLists.txt').read_text()).group(1)


def menu():
    """'File / Configuration' and the like, from the menu resource."""
    items, top = set(), None
    for line in (root / 'src/resources/hostwarden.rc').read_text().splitlines():
        m = re.match(r'\s*POPUP "([^"]+)"', line)
        if m:
            top = m.group(1).replace('&', '')
        m = re.match(r'\s*MENUITEM "([^"]+)"', line)
        if m and top:
            items.add('%s / %s' % (top, m.group(1).replace('&', '')))
    return items


def exists(word, base):
    """A tree path named in a doc: from the root, from src/, or from the doc's folder."""
    word = word.rstrip('/.,:;)').split('#')[0]
    if not word:
        return True
    for start in (root, root / 'src', base):
        if list(start.glob(word)):
            return True
    return False


missing, shown = [], set()
items = menu()
for doc in docs:
    text = doc.read_text()
    base = doc.parent
    where = doc.relative_to(root)
    for target in re.findall(r'\]\(([^)]+)\)', text):
        if re.match(r'[a-z]+:', target):
            continue
        path = (base / target.split('#')[0]).resolve()
        if not path.exists():
            missing.append('%s: link to %s' % (where, target))
        if path.suffix == '.png':
            shown.add(path.name)
    for code in re.findall(r'`([^`\n]+)`', text) + re.findall(r'^    (.*)$', text, re.M):
        for word in code.split():
            first = word.split('/')[0]
            if '/' in word:
                if not word.startswith(GENERATED) and (first in TOP or first in SRC) \
                        and not exists(word, base):
                    missing.append('%s: file %s' % (where, word))
            elif re.fullmatch(r'[\w.-]+\.(cpp|h|sh|py|nsi|cmake|rc)', word) and word not in SYSTEM:
                # A source file named alone; version.h is made from version.h.in.
                if word not in sources and word + '.in' not in sources:
                    missing.append('%s: file %s' % (where, word))
            m = re.fullmatch(r'([A-Z]\w+)\.([A-Z][A-Za-z0-9]*[a-z][A-Za-z0-9]*|\*)', word)
            if m:
                suite, name = m.groups()
                found = ('%s, ' % suite) in testtext if name == '*' else \
                    re.search(r'\b%s, %s\)' % (suite, name), testtext)
                if not found:
                    missing.append('%s: test %s' % (where, word))
    for command in re.findall(r'\*\*((?:File|Report|Help) / [^*]+)\*\*', text):
        if command not in items:
            missing.append('%s: menu command %s' % (where, command))
    for named in set(re.findall(r'Hostwarden-(\d+(?:\.\d+)+)', text)) - {version}:
        missing.append('%s: version %s of the downloads (the project is %s)' % (where, named, version))

for picture in sorted(p.name for p in (root / 'docs').glob('*.png')):
    if picture not in shown:
        missing.append('docs/%s: a picture no doc shows' % picture)

missing = list(dict.fromkeys(missing))
print('\n'.join(missing) or 'every file, menu command, test and version the docs name exists, '
      'and every picture is shown')
sys.exit(1 if missing else 0)
