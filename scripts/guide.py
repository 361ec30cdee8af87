#!/usr/bin/env python3
"""The user's guide is written once, in docs/guide.md, and made from there into:
  guide.py text       the plain-text guide of the downloads (README.txt) on stdout:
                      contents first, wrapped at 76 columns, ASCII, no Markdown; the
                      pictures and comments are left out
  guide.py readme     README.md's copy of the guide's sections that its start marker
                      names (<!-- guide: Section | Section -->, up to <!-- /guide -->)
  guide.py check      fails when README.md's copy differs from the guide, or when the
                      guide holds what plain text cannot show (a table, non-ASCII)
The guide uses headings, paragraphs, lists (continued by indented lines), indented
examples, pictures alone on a line, links and inline marks; nothing else."""
import os
import re
import sys
import textwrap

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
GUIDE = os.path.join(ROOT, 'docs', 'guide.md')
README = os.path.join(ROOT, 'README.md')
WIDTH = 76
START = re.compile(r'^<!-- guide: (.*) -->$', re.M)
END = '<!-- /guide -->'


class GuideError(Exception):
    pass


def read(path):
    with open(path, encoding='utf-8') as f:
        return f.read()


def blocks(markdown):
    """The guide as (kind, data) blocks: heading (level, text), para (text),
    item (marker, text), code (lines), picture (alt)."""
    markdown = re.sub(r'<!--.*?-->', '', markdown, flags=re.S)
    out, cur = [], None
    for n, line in enumerate(markdown.split('\n'), 1):
        if line.startswith('|'):
            raise GuideError('line %d: a table does not read as plain text; write a list' % n)
        if re.search(r'[^\x00-\x7f]', line):
            raise GuideError('line %d: not ASCII (Notepad of older Windows shows it garbled)' % n)
        if not line.strip():
            cur = None
            continue
        m = re.match(r'^(#{1,3}) (.*)$', line)
        item = re.match(r'^(-|\d+\.) (.*)$', line)
        picture = re.match(r'^!\[([^\]]*)\]\([^)]*\)$', line)
        if m:
            out.append(('heading', (len(m.group(1)), m.group(2))))
            cur = None
        elif picture:
            out.append(('picture', picture.group(1)))
            cur = None
        elif item:
            cur = ['item', item.group(1), item.group(2)]
            out.append(cur)
        elif line.startswith('    ') and (cur is None or cur[0] == 'code'):
            if cur is None:
                cur = ['code', []]
                out.append(cur)
            cur[1].append(line[4:].rstrip())
        elif cur is not None and cur[0] in ('para', 'item'):
            cur[-1] += ' ' + line.strip()
        else:
            cur = ['para', line.strip()]
            out.append(cur)
    done = []
    for b in out:
        if isinstance(b, tuple):
            done.append(b)
        elif b[0] == 'item':
            done.append(('item', (b[1], b[2])))
        else:
            done.append((b[0], b[1]))
    return done


def inline(text, glue=' '):
    """Inline Markdown as plain text: code spans and bold as they are (their spaces as
    glue; a code span of several words in quotes), links as their text (and the address, for the web), no emphasis marks."""
    parts = re.split(r'(`[^`]*`)', text)
    for i, part in enumerate(parts):
        if part.startswith('`'):
            code = part[1:-1]
            # Several words (a message, a path with spaces) are quoted, to stand apart
            # from the sentence around them.
            if ' ' in code and '"' not in code:
                code = '"%s"' % code
            parts[i] = code.replace(' ', glue)
            continue
        part = re.sub(r'<(https?://[^>]+)>', r'\1', part)
        part = re.sub(r'\[([^\]]*)\]\((https?://[^)]+)\)', r'\1 (\2)', part)
        part = re.sub(r'\[([^\]]*)\]\([^)]*\)', r'\1', part)
        # A menu command in bold (File / Patrol) stays on one line, as a code span does.
        part = re.sub(r'\*\*(.+?)\*\*', lambda m: m.group(1).replace(' ', glue), part)
        part = re.sub(r'(?<![\w*])\*([^*\s][^*]*?)\*(?![\w*])', r'\1', part)
        parts[i] = part
    return ''.join(parts)


def wrap(text, first='', rest=''):
    """A paragraph filled to WIDTH; a code span (a path, a message) or a menu command is
    never split."""
    return textwrap.fill(inline(text, '\0'), WIDTH, initial_indent=first,
                         subsequent_indent=rest, break_long_words=False,
                         break_on_hyphens=False).replace('\0', ' ')


def text(markdown):
    bs = blocks(markdown)
    heads = [b[1][1] for b in bs if b[0] == 'heading' and b[1][0] == 2]
    out = []
    for i, (kind, data) in enumerate(bs):
        if kind == 'heading':
            level, title = data
            title = inline(title)
            out.append(title + '\n' + '=-~'[level - 1] * len(title))
            if level == 1:  # the contents follow the title's own paragraphs
                n = next((j for j in range(i + 1, len(bs)) if bs[j][0] == 'heading'), len(bs))
                for j in range(i + 1, n):
                    out.append(wrap(bs[j][1]))
                out.append('Contents\n' + '\n'.join('  ' + inline(h) for h in heads))
                bs[i + 1:n] = [('skip', None)] * (n - i - 1)
        elif kind == 'para':
            out.append(wrap(data))
        elif kind == 'item':
            marker, body = data
            line = wrap(body, '  %s ' % marker, ' ' * (len(marker) + 3))
            # Items of one list stay together, without blank lines between them.
            if i and bs[i - 1][0] == 'item':
                out[-1] += '\n' + line
            else:
                out.append(line)
        elif kind == 'code':
            out.append('\n'.join('    ' + l for l in data))
    return '\n\n'.join(out) + '\n'


def sections(markdown, names):
    """The named level-2 sections of the guide, as Markdown for README.md: pictures and
    links to files point into docs/."""
    found = {}
    for part in re.split(r'^(?=## )', markdown, flags=re.M):
        m = re.match(r'## (.*)\n', part)
        if m:
            found[m.group(1).strip()] = part.rstrip('\n') + '\n'
    missing = [n for n in names if n not in found]
    if missing:
        raise GuideError('README.md names sections the guide lacks: %s' % ', '.join(missing))
    md = '\n'.join(found[n] for n in names)
    md = re.sub(r'<!--.*?-->\n?', '', md, flags=re.S)
    return re.sub(r'\]\((?![a-z]+:|#|/)([^)]+)\)',
                  lambda m: '](%s)' % os.path.normpath(os.path.join('docs', m.group(1))), md)


def readme(current, markdown):
    m = START.search(current)
    end = current.find(END)
    if not m or end < m.end():
        raise GuideError('README.md has no %s ... %s markers' % ('<!-- guide: ... -->', END))
    names = [n.strip() for n in m.group(1).split('|')]
    return current[:m.end()] + '\n' + sections(markdown, names) + current[end:]


def main(args):
    if len(args) != 1 or args[0] not in ('text', 'readme', 'check'):
        sys.stderr.write(__doc__)
        return 2
    markdown = read(GUIDE)
    try:
        plain = text(markdown)
        if args[0] == 'text':
            sys.stdout.write(plain)
            return 0
        current = read(README)
        wanted = readme(current, markdown)
    except GuideError as e:
        sys.stderr.write('guide: %s\n' % e)
        return 1
    if args[0] == 'readme':
        if wanted != current:
            with open(README, 'w', encoding='utf-8') as f:
                f.write(wanted)
        return 0
    if wanted != current:
        sys.stderr.write('README.md differs from docs/guide.md in the sections it copies: '
                         'run python3 scripts/guide.py readme\n')
        return 1
    print('the guide reads as plain text, and README.md holds its sections as they are')
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
