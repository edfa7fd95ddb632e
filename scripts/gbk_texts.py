#!/usr/bin/env python3
"""Turns a UTF-8 list of the program's fixed texts into a C++ header of GBK
byte literals, so the texts stay readable in the source tree while the
program holds them as code page 936 bytes whatever the compiler.

Input lines: `kName: text` (the text runs to the end of the line; \\r and \\n
stand for CR and LF). Blank lines and lines starting with # are skipped.
"""
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


def main(src: str, dst: str, namespace: str) -> None:
    lines = ['// Generated from %s; edit that file.' % src.split('/')[-1], '#pragma once', '',
             'namespace %s {' % namespace, '']
    with open(src, encoding='utf-8') as f:
        for raw in f:
            raw = raw.rstrip('\n')
            if not raw.strip() or raw.lstrip().startswith('#'):
                continue
            name, _, text = raw.partition(': ')
            value = text.replace('\\r', '\r').replace('\\n', '\n')
            lines.append('inline constexpr char %s[] = %s;  // %s' % (name.strip(), literal(value.encode('gbk')), text))
    lines += ['', '}  // namespace %s' % namespace, '']
    with open(dst, 'w', encoding='utf-8') as f:
        f.write('\n'.join(lines))


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2], sys.argv[3])
