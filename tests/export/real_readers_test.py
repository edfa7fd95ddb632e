#!/usr/bin/env python3
"""The companion's exports run through the programs they are written for:
Python's literal reader, a JSON parser, bash calling a stand-in curl that
prints its arguments, Node.js running a stand-in fetch, and Python's own
cookies.txt reader. Each must see exactly the items that went in.

usage: real_readers_test.py DUALSIEVE_CLI"""
import ast
import http.cookiejar
import json
import os
import shutil
import subprocess
import sys
import tempfile

CLI = sys.argv[1]

# What shells and languages treat specially; Cookies mode values cannot hold
# ";" (the slot's separator), header values no line break.
COOKIES = [
    ('sid', 's%3AabcDEF.xyz'),
    ('q', '"a b" \'c\' \\d $HOME `id` ^x %PATH% & | < > ( ) ! {} #'),
    ('nick', '张三 乗乛乣亅'),
    ('empty', ''),
    ('tail', 'ends with backslash \\'),
]
HEADERS = [
    ('Accept', '*/*'),
    ('X-Odd', '"a b" \'c\' \\d $HOME `id` ^x %PATH% & | < > ( ) ! {} # ;,='),
    ('X-Name', '张三 乗乛乣亅'),
    ('Cookie', 'a=1; b="2"; c=\\3'),
    ('X-Tail', 'ends with backslash \\'),
]
failures = []


def check(what, got, expected):
    if got != expected:
        failures.append('%s:\n  got      %r\n  expected %r' % (what, got, expected))


def convert(work, mode, fmt):
    if mode == 'cookies':
        source = os.path.join(work, 'cookies.json')
        with open(source, 'w', encoding='utf-8') as f:
            json.dump([{'name': n, 'value': v} for n, v in COOKIES], f, ensure_ascii=False)
    else:
        source = os.path.join(work, 'headers.txt')
        with open(source, 'w', encoding='utf-8', newline='') as f:
            f.write(''.join('%s: %s\r\n' % pair for pair in HEADERS))
    done = subprocess.run([CLI, 'convert', '--mode', mode, '--to', fmt, source], capture_output=True)
    if done.returncode != 0:
        failures.append('%s %s: exit %d: %s' % (mode, fmt, done.returncode, done.stderr.decode('utf-8', 'replace')))
        return None
    return done.stdout.decode('utf-8')


def expected(mode):
    # The slot lists items sorted by name, letters in either case alike.
    return sorted(COOKIES if mode == 'cookies' else HEADERS, key=lambda p: p[0].lower())


def stand_in(work, name, body):
    path = os.path.join(work, name)
    with open(path, 'w') as f:
        f.write(body)
    os.chmod(path, 0o755)


def main():
    with tempfile.TemporaryDirectory() as work:
        stand_in(work, 'curl', '#!/bin/sh\nfor a in "$@"; do printf "%s\\0" "$a"; done\n')
        env = dict(os.environ, PATH=work + os.pathsep + os.environ['PATH'])
        for mode in ('cookies', 'http'):
            items = expected(mode)
            text = convert(work, mode, 'python')
            if text is not None:
                name, _, literal = text.partition(' = ')
                check(mode + ' python', list(ast.literal_eval(literal).items()), items)
            text = convert(work, mode, 'javascript' if mode == 'cookies' else 'json')
            if text is not None:
                check(mode + ' json', list(json.loads(text).items()), items)
            text = convert(work, mode, 'curl')
            if text is not None:
                args = subprocess.run(['bash', '-c', text], env=env, capture_output=True).stdout.decode('utf-8')
                args = args.split('\0')[:-1]
                if mode == 'cookies':
                    check('cookies curl', args[1:], ['-b', '; '.join('%s=%s' % p for p in items)])
                else:
                    check('http curl', args[1::2], ['-H'] * len(items))
                    check('http curl', [tuple(a.split(': ', 1)) if ': ' in a else (a.rstrip(';'), '') for a in args[2::2]],
                          items)
            if mode == 'cookies':
                text = convert(work, mode, 'json')
                if text is not None:
                    check('cookies json', [(c['name'], c['value']) for c in json.loads(text)], items)
                text = convert(work, mode, 'cookies-txt')
                if text is not None:
                    path = os.path.join(work, 'cookies.txt')
                    with open(path, 'w', encoding='utf-8') as f:
                        f.write(text)
                    jar = http.cookiejar.MozillaCookieJar()
                    jar.load(path, ignore_discard=True, ignore_expires=True)
                    check('cookies.txt', sorted((c.name, c.value or '') for c in jar), sorted(items))
                text = convert(work, mode, 'javascript')
                node = shutil.which('node')
                if text is not None and node:
                    out = subprocess.run([node, '-e', 'console.log(JSON.stringify(Object.entries(' + text + ')))'],
                                         capture_output=True).stdout.decode('utf-8')
                    check('javascript in node', [tuple(p) for p in json.loads(out)], items)
            else:
                text = convert(work, mode, 'fetch')
                node = shutil.which('node')
                if text is not None and node:
                    script = 'const fetch = (u, o) => console.log(JSON.stringify(Object.entries(o.headers)));\n' + text
                    out = subprocess.run([node, '-e', script], capture_output=True).stdout.decode('utf-8')
                    check('fetch in node', [tuple(p) for p in json.loads(out)], items)
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
