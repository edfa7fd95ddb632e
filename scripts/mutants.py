#!/usr/bin/env python3
"""Seeds one-line mistakes into the code, one at a time, rebuilds the native
tests and runs them: a mistake no test fails on survives, and is reported.
The mistakes are kept in tests/mutants.txt, so a new feature's tests are
measured the same way before it lands.

usage: scripts/mutants.py [--build DIR] [--only TEXT] [--list]
  --build DIR  a configured native build tree (default build/native)
  --only TEXT  only the mistakes whose line in the list contains TEXT

Each mistake in the list is one line: file, the text to find (it must stand
in exactly one line of the file), the text to put there instead, and a
ctest -R pattern of the tests that should catch it, separated by " | ".
The file is restored after each run, whatever happens."""
import argparse
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def read_list(path):
    mutants = []
    with open(path, encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip('\n')
            if not line.strip() or line.lstrip().startswith('#'):
                continue
            parts = line.split(' | ')
            if len(parts) != 4:
                sys.exit('%s:%d: want "file | find | replace | tests"' % (path, number))
            mutants.append({'line': number, 'file': parts[0], 'find': parts[1], 'replace': parts[2],
                            'tests': parts[3], 'text': line})
    return mutants


def seeded(source, mutant):
    """The source with the mistake in it, or an error when its place is not one line."""
    hits = [i for i, l in enumerate(source) if mutant['find'] in l]
    if len(hits) != 1:
        return None, '"%s" stands in %d lines of %s' % (mutant['find'], len(hits), mutant['file'])
    changed = list(source)
    changed[hits[0]] = changed[hits[0]].replace(mutant['find'], mutant['replace'], 1)
    return changed, None


def run(mutant, build):
    path = os.path.join(HERE, mutant['file'])
    with open(path, encoding='utf-8', newline='') as f:
        original = f.read()
    changed, error = seeded(original.split('\n'), mutant)
    if error:
        return 'misplaced', error
    try:
        with open(path, 'w', encoding='utf-8', newline='') as f:
            f.write('\n'.join(changed))
        built = subprocess.run(['cmake', '--build', build, '-j%d' % os.cpu_count(), '--target', 'core_tests',
                                'dualsieve-cli'], capture_output=True)
        if built.returncode != 0:
            return 'caught', 'does not build'
        env = dict(os.environ, ASAN_OPTIONS='detect_leaks=1:abort_on_error=1', UBSAN_OPTIONS='halt_on_error=1')
        tested = subprocess.run(['ctest', '-R', mutant['tests'], '-j%d' % os.cpu_count(), '--timeout', '300'],
                                cwd=build, capture_output=True, env=env)
        out = tested.stdout.decode('utf-8', 'replace')
        if 'No tests were found' in out:
            return 'misplaced', 'no test matches "%s"' % mutant['tests']
        return ('caught', '') if tested.returncode != 0 else ('survived', '')
    finally:
        with open(path, 'w', encoding='utf-8', newline='') as f:
            f.write(original)
        # The next build must see the file as changed again.
        os.utime(path, (time.time(), time.time()))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--build', default=os.path.join(HERE, 'build', 'native'))
    parser.add_argument('--only', default='')
    parser.add_argument('--list', action='store_true')
    args = parser.parse_args()
    mutants = [m for m in read_list(os.path.join(HERE, 'tests', 'mutants.txt')) if args.only in m['text']]
    if args.list:
        for m in mutants:
            print('%d: %s' % (m['line'], m['text']))
        return 0
    results = {'caught': 0, 'survived': 0, 'misplaced': 0}
    for m in mutants:
        verdict, why = run(m, args.build)
        results[verdict] += 1
        print('%-9s line %d: %s%s' % (verdict, m['line'], m['text'], ' (%s)' % why if why else ''), flush=True)
    subprocess.run(['cmake', '--build', args.build, '-j%d' % os.cpu_count(), '--target', 'core_tests', 'dualsieve-cli'],
                   capture_output=True)
    print('%d caught, %d survived, %d misplaced of %d' % (results['caught'], results['survived'],
                                                          results['misplaced'], len(mutants)))
    return 0 if results['survived'] == 0 and results['misplaced'] == 0 else 1


if __name__ == '__main__':
    sys.exit(main())
