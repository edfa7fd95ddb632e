#!/usr/bin/env python3
"""The texts lists are strict: what an editor could silently change, or a
slip of the pen, stops the build instead of changing what the program shows."""
import os
import subprocess
import sys
import tempfile

GENERATOR = os.path.join(os.path.dirname(__file__), '..', '..', 'scripts', 'gbk_texts.py')


def run(text):
    with tempfile.TemporaryDirectory() as d:
        src, dst = os.path.join(d, 'texts.txt'), os.path.join(d, 'texts.h')
        with open(src, 'w', encoding='utf-8', newline='') as f:
            f.write(text)
        done = subprocess.run([sys.executable, GENERATOR, src, dst, 'ns'], capture_output=True, text=True)
        header = open(dst, encoding='utf-8').read() if done.returncode == 0 else ''
        return done.returncode, done.stderr, header


failures = []
checks = 0


def expect(cond, what):
    global checks
    checks += 1
    if not cond:
        failures.append(what)


for bad, why in [('kA text\n', 'no ": "'),
                 ('kA: one\nkA: two\n', 'a repeated name'),
                 ('kA: trailing \n', 'a trailing space'),
                 ('kA: trailing\t\n', 'a trailing tab'),
                 ('kA:  leading\n', 'a leading space'),
                 ('bad: x\n', 'a name that is no constant')]:
    code, err, _ = run(bad)
    expect(code != 0 and 'texts.txt:' in err, 'accepted ' + why)

code, err, header = run('# note\n\nkA: "复制 "\nkB: "  "\nkC: a "b" c\r\nkD: x\\r\\n\n')
expect(code == 0, 'rejected a good list: ' + err)
expect('kA[] = "\\xB8\\xB4\\xD6\\xC6 ";' in header, 'quotes not taken off "复制 "')
expect('kB[] = "  ";' in header, 'a quoted text of spaces lost')
expect('kC[] = "a \\"b\\" c";' in header, 'inner quotes or a CR LF line end mishandled')
expect('kD[] = "x\\r\\n";' in header, '\\r\\n not turned into CR LF')

for f in failures:
    print('FAILED:', f)
print('texts lists: %d of %d checks passed' % (checks - len(failures), checks))
sys.exit(1 if failures else 0)
