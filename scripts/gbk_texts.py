#!/usr/bin/env python3
"""Turns a UTF-8 list of the program's fixed texts into a C++ header of GBK
byte literals, so the texts stay readable in the source tree while the
program holds them as code page 936 bytes whatever the compiler.

Input lines: `kName: text`. The text runs to the end of the line; \\r and \\n
stand for CR and LF. A text that begins or ends with a space is written in
double quotes ("项   "), so an editor that trims lines cannot change it; the
quotes are not part of the text. Named blanks such as {mode} are filled in
by the program. Blank lines and lines starting with # are skipped.

The list is strict: a line without ": ", a repeated name, or an unquoted
text with spaces at either end stops the build.
"""
import re
import sys


def literal(data: bytes) -> str:
    out, hex_open = ['"'], False
    for b in data:
        ch = chr(b)
        if b == 0x0D:
            out.append('\\r'); hex_open = False
        elif b == 0x0A:
            out.append('\\n'); hex_open = False
        elif b >= 0x80 or b < 0x20:
            out.append('\\x%02X' % b); hex_open = True
        else:
            if hex_open and ch in '0123456789abcdefABCDEF':
                out.append('" "')
            out.append('\\' + ch if ch in '"\\?' else ch)
            hex_open = False
    out.append('"')
    return ''.join(out)


NAME = re.compile(r'k[A-Z][A-Za-z0-9]*\Z')


def parse(src: str):
    """The (name, text) pairs of a list, or SystemExit naming the bad line."""
    entries, seen = [], {}
    with open(src, encoding='utf-8', newline='') as f:
        for number, raw in enumerate(f, 1):
            raw = raw.rstrip('\n').rstrip('\r')
            where = '%s:%d: ' % (src, number)
            if not raw.strip() or raw.lstrip().startswith('#'):
                continue
            name, sep, text = raw.partition(': ')
            if not sep:
                sys.exit(where + 'expected "kName: text"')
            if not NAME.match(name):
                sys.exit(where + 'bad name %r' % name)
            if name in seen:
                sys.exit(where + '%s repeats line %d' % (name, seen[name]))
            seen[name] = number
            if len(text) >= 2 and text[0] == '"' and text[-1] == '"':
                text = text[1:-1]
            elif text != text.strip(' \t'):
                sys.exit(where + 'spaces at an end of the text: put it in double quotes')
            entries.append((name, text))
    return entries


def main(src: str, dst: str, namespace: str) -> None:
    lines = ['// Generated from %s; edit that file.' % src.split('/')[-1], '#pragma once', '',
             'namespace %s {' % namespace, '']
    for name, text in parse(src):
        value = text.replace('\\r', '\r').replace('\\n', '\n')
        lines.append('inline constexpr char %s[] = %s;  // %s' % (name, literal(value.encode('gbk')), text))
    lines += ['', '}  // namespace %s' % namespace, '']
    with open(dst, 'w', encoding='utf-8') as f:
        f.write('\n'.join(lines))


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2], sys.argv[3])
