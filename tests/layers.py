#!/usr/bin/env python3
"""The source's layers (docs/architecture.md): every include from one folder of src/ into
another points down. Prints the includes that do not and fails when there are any."""
import pathlib, re, sys

LAYER = {'app': 7, 'reports': 6, 'monitor': 5, 'events': 4, 'settings': 3, 'textview': 3, 'dialogs': 2,
         'common': 1, 'resources': 1}
src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else 'src')
wrong = []
for f in sorted(src.rglob('*')):
    if f.suffix not in ('.cpp', '.h', '.rc', '.in'):
        continue
    mine = f.relative_to(src).parts[0]
    for inc in re.findall(r'#include "([^"/]+)/[^"]+"', f.read_text(errors='replace')):
        if inc != mine and LAYER.get(inc, 0) >= LAYER[mine]:
            wrong.append(f'{f.relative_to(src)} includes {inc}/')
print('\n'.join(wrong) or f'every include of {src} points down a layer')
sys.exit(1 if wrong else 0)
