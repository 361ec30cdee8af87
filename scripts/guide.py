#!/usr/bin/env python3
"""The user's guide is written once, in docs/guide.md, and made from there into:
  guide.py text       the plain-text guide of the downloads (README.txt) on stdout:
                      contents first, within 76 columns, ASCII, no Markdown; the
                      pictures, the comments and the paragraphs marked as the web's
                      only are left out
  guide.py readme     README.md's copy of the guide's sections that its start marker
                      names (<!-- guide: Section | Section -->, up to <!-- /guide -->)
  guide.py check      fails when README.md's copy differs from the guide, when the
                      guide holds what plain text cannot show (a table, non-ASCII),
                      when its plain text breaks a rule of RULES, or when a row of
                      ROWS does not render as it must
  guide.py check FILE fails when FILE (a README.txt of a download) breaks a rule
The guide uses headings, paragraphs, lists (continued by indented lines), indented
examples, pictures alone on a line, links and inline marks; nothing else. A paragraph
right after a line "<!-- not in the plain text -->" is the web's only: it would point
at the file it is in, or at a picture."""
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
WEBONLY = '<!-- not in the plain text -->'
# A code span up to this long stays on one line; a longer one (a long message) breaks at
# its spaces as a sentence does.
GLUED = 40


class GuideError(Exception):
    pass


def read(path):
    with open(path, encoding='utf-8') as f:
        return f.read()


def blocks(markdown):
    """The guide as (kind, data) blocks: heading (level, text), para (text),
    item (marker, text), more (marker, text: a later paragraph of that item, indented
    under its text), code (lines), picture (alt); a block of the web's only is left
    out."""
    markdown = markdown.replace('\n%s\n' % WEBONLY, '\n\x01\n')
    markdown = re.sub(r'<!--.*?-->', '', markdown, flags=re.S)
    out, cur, webonly, marker = [], None, [], None
    for n, line in enumerate(markdown.split('\n'), 1):
        if line == '\x01':
            webonly.append(len(out))
            cur = None
            continue
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
            cur = marker = None
        elif picture:
            out.append(('picture', picture.group(1)))
            cur = marker = None
        elif item:
            marker = item.group(1)
            cur = ['item', marker, item.group(2)]
            out.append(cur)
        elif re.match(r' {1,3}\S', line) and cur is None and marker:
            cur = ['more', marker, line.strip()]
            out.append(cur)
        elif line.startswith('    ') and (cur is None or cur[0] == 'code'):
            if cur is None:
                cur = ['code', []]
                out.append(cur)
            cur[1].append(line[4:].rstrip())
        elif cur is not None and cur[0] in ('para', 'item', 'more'):
            cur[-1] += ' ' + line.strip()
        else:
            cur = ['para', line.strip()]
            marker = None
            out.append(cur)
    done = []
    for i, b in enumerate(out):
        if i in webonly:
            continue
        if isinstance(b, tuple):
            done.append(b)
        elif b[0] in ('item', 'more'):
            done.append((b[0], (b[1], b[2])))
        else:
            done.append((b[0], b[1]))
    return done


def inline(text, glue=' ', opening=False):
    """Inline Markdown as plain text: code spans and bold as they are (a short span's
    spaces as glue; a code span of several words, a mark alone, or spans in lower case
    that open a paragraph (opening), in quotes), emphasis in quotes, links as their text
    (and the address, for the web), pictures left out with the parentheses around
    them."""
    parts = re.split(r'(`[^`]*`)', text)
    # The code spans that open a paragraph or an item ("`lowhost`, `highhost`: range 1")
    # are quoted when the first starts in lower case, which would start the paragraph so.
    lead = set()
    if opening and len(parts) > 1 and not parts[0] and parts[1][1:2].islower():
        i = 1
        while i < len(parts):
            lead.add(i)
            if i + 2 >= len(parts) or not re.fullmatch(r', |,? (?:and|or) ', parts[i + 1]):
                break
            i += 2
    for i, part in enumerate(parts):
        if part.startswith('`'):
            code = part[1:-1]
            # Several words (a message, a path with spaces) are quoted, to stand apart
            # from the sentence around them; so is a mark alone (`)`), and an opening
            # span in lower case.
            if (' ' in code or not re.search(r'\w', code) or i in lead) and '"' not in code:
                code = '"%s"' % code
            parts[i] = code.replace(' ', glue) if len(code) <= GLUED else code
            continue
        part = re.sub(r'!\[[^\]]*\]\([^)]*\)', '', part)
        part = re.sub(r'<(https?://[^>]+)>', r'\1', part)
        part = re.sub(r'\[([^\]]*)\]\((https?://[^)]+)\)', r'\1 (\2)', part)
        part = re.sub(r'\[([^\]]*)\]\([^)]*\)', r'\1', part)
        part = re.sub(r' ?\(\s*\)', '', part)
        # A menu command in bold (File / Patrol) stays on one line, as a code span does.
        part = re.sub(r'\*\*(.+?)\*\*', lambda m: m.group(1).replace(' ', glue), part)
        # Emphasis names a thing (a section, a button, a field): quoted, the sentence
        # still reads.
        part = re.sub(r'(?<![\w*])\*([^*\s][^*]*?)\*(?![\w*])', r'"\1"', part)
        parts[i] = part
    return ''.join(parts)


def wrap(text, first='', rest=''):
    """A paragraph filled to WIDTH; a code span (a path, a message) or a menu command is
    never split."""
    return textwrap.fill(inline(text, '\0', True), WIDTH, initial_indent=first,
                         subsequent_indent=rest, break_long_words=False,
                         break_on_hyphens=False).replace('\0', ' ')


def fold(line):
    """An example line wider than the text, broken at its last space that fits; the rest
    goes on in lines indented four columns more. A line without such a space stays wide
    (and the check names it)."""
    lead = len(line) - len(line.lstrip(' '))
    more = ' ' * (lead + 4)
    out = []
    while len(line) > WIDTH:
        cut = line.rfind(' ', len(more) + 1 if out else lead + 1, WIDTH + 1)
        if cut < 0 or not line[:cut].strip():
            break
        out.append(line[:cut].rstrip())
        line = more + line[cut:].lstrip()
    return out + [line]


FOLDED = 'Example lines wider than this text go on in the next line, indented further.'


def text(markdown):
    bs = blocks(markdown)
    folds = any(len(l) + 4 > WIDTH for kind, data in bs if kind == 'code' for l in data)
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
                if folds:
                    out.append(FOLDED)
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
        elif kind == 'more':
            marker, body = data
            rest = ' ' * (len(marker) + 3)
            out.append(wrap(body, rest, rest))
        elif kind == 'code':
            out.append('\n'.join(f for l in data for f in fold('    ' + l)))
    return '\n\n'.join(out) + '\n'


# What the plain text must not hold. Each row: where it looks (every line; the start of
# every paragraph and list item; the opening, the lines before the contents), what it
# looks for, and what is wrong then.
RULES = [
    ('line', r'^.{%d}' % (WIDTH + 1), 'wider than %d columns' % WIDTH),
    ('line', r'`|\*\*|\]\(|<!--|^#|^\|', 'a Markdown mark'),
    ('line', r'(?<![\w*])\*(?=\w)|(?<=\w)\*(?![\w*])', 'an emphasis mark'),
    ('line', r'\(\s*\)', 'an empty "( )", left by a link or a picture'),
    ('line', r'\.\.\.\.', 'four dots, which read as an ellipsis'),
    ('line', r'(?i)\b(picture|screenshot|image)s?\b', 'a picture, which the text does not hold'),
    ('start', r'^[a-z]', 'a paragraph or an item that starts in lower case'),
    ('opening', r'README\.txt', 'README.txt named in the file it is in'),
]

# Markdown and the plain text it must give, as text() renders a guide of that one block.
ROWS = [
    # Emphasis is quoted: without the quotes the name runs into the sentence.
    ('See *Every line says [NA]* in [Troubleshooting](guide.md#na), or the *Start in* folder.',
     'See "Every line says [NA]" in Troubleshooting, or the "Start in" folder.'),
    # A picture inside a sentence goes with its parentheses.
    ('The notice (![The notice](notice.png)) names them.', 'The notice names them.'),
    ('A link to nothing ([](guide.md)) goes too.', 'A link to nothing goes too.'),
    # Code spans in lower case that open a paragraph or an item are quoted, so they do not
    # start it in lower case; the ones that follow are not; a mark alone is.
    ('`unknown` means no entry, as `unknown` says.', '"unknown" means no entry, as unknown says.'),
    ('- `lowhost`, `highhost`: range 1; `lowhost2`, `highhost2`: range 2.',
     '  - "lowhost", "highhost": range 1; lowhost2, highhost2: range 2.'),
    ('`Hostwarden.INI` is a text file: a line that holds a `)`.',
     'Hostwarden.INI is a text file: a line that holds a ")".'),
    # A message longer than GLUED breaks at its spaces; a shorter one stays whole.
    ('A save is told: `The profile <...> has not been saved for ... seconds: another program '
     'holds it open ...`, once; then `Cannot save the profile <...>` comes.',
     'A save is told: "The profile <...> has not been saved for ... seconds:\n'
     'another program holds it open ...", once; then\n"Cannot save the profile <...>" comes.'),
    # An example wider than the text goes on, further indented, in the next lines.
    ('    10.77.1.13 (02:77:01:5e:00:13) [laptop-anna.lab] 1 probe 00:00, 100% replies, '
     'last succeeded',
     '    10.77.1.13 (02:77:01:5e:00:13) [laptop-anna.lab] 1 probe 00:00, 100%\n'
     '        replies, last succeeded'),
    # A later paragraph of an item stays under the item's text.
    ('1. Run `ipconfig`:\n\n       IPv4 Address. . . : 192.168.1.23\n\n   With the mask 255.255.255.0,'
     ' the machines are 192.168.1.1 to 192.168.1.254.\n2. Next.',
     '  1. Run ipconfig:\n\n       IPv4 Address. . . : 192.168.1.23\n\n     With the mask 255.255.255.0,'
     ' the machines are 192.168.1.1 to\n     192.168.1.254.\n\n  2. Next.'),
    # The web's own paragraph is left out, and its neighbours stay.
    ('Before.\n\n%s\nThis guide is also in every download, as `README.txt`.\n\nAfter.' % WEBONLY,
     'Before.\n\nAfter.'),
]


def broken(plain):
    """The rules the plain text breaks, one line each: where, what is wrong, the line."""
    lines = plain.replace('\r\n', '\n').split('\n')
    opening = next((n for n, l in enumerate(lines) if l == 'Contents'), 0)
    faults = []
    for n, line in enumerate(lines):
        item = re.match(r'^  (?:-|\d+\.) (.*)', line)
        first = not line.startswith(' ') and (n == 0 or not lines[n - 1].strip())
        seen = {'line': line, 'opening': line if n < opening else None,
                'start': item.group(1) if item else line if first else None}
        for where, pattern, fault in RULES:
            if seen[where] is not None and re.search(pattern, seen[where]):
                faults.append('line %d: %s: %s' % (n + 1, fault, line.strip()[:60]))
    return faults


def misrendered():
    """The rows of ROWS that do not render as they must."""
    faults = []
    for markdown, wanted in ROWS:
        got = text(markdown).rstrip('\n')
        if got != wanted:
            faults.append('%r renders as\n%s\ninstead of\n%s' % (markdown, got, wanted))
    return faults


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
    if args not in (['text'], ['readme'], ['check']) and not (len(args) == 2 and args[0] == 'check'):
        sys.stderr.write(__doc__)
        return 2
    if len(args) == 2:
        faults = broken(read(args[1]))
        sys.stderr.write(''.join('%s: %s\n' % (args[1], f) for f in faults))
        if not faults:
            print('%s reads as plain text' % args[1])
        return 1 if faults else 0
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
    faults = ['the plain text, %s' % f for f in broken(plain)] + misrendered()
    if wanted != current:
        faults.append('README.md differs from docs/guide.md in the sections it copies: '
                      'run python3 scripts/guide.py readme')
    if faults:
        sys.stderr.write(''.join('guide: %s\n' % f for f in faults))
        return 1
    print('the guide reads as plain text, renders as it must, and README.md holds its '
          'sections as they are')
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
