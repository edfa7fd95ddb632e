#!/usr/bin/env python3
"""The companion's sanitize on the repository's HARs and on a login flow
written here: no secret of 6 bytes or more survives in any encoding, two
sanitised sessions compare as the originals do, one key gives the same
bytes, the output is HAR 1.2 by the har-validator package, and bad input
is one line on standard error with nothing left under the final name.

usage: sanitize_har_test.py DUALSIEVE_CLI"""
import base64
import glob
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

CLI = sys.argv[1]
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
FIXTURES = os.path.join(ROOT, 'tests', 'cli', 'fixtures')
WORDS = ('token', 'session', 'sid', 'auth', 'key', 'secret', 'password', 'passwd', 'code', 'ticket', 'csrf',
         'xsrf', 'jwt', 'signature')
PLAIN = ('accept-encoding', 'content-encoding', 'transfer-encoding', ':authority')
JWT = re.compile(r'eyJ[A-Za-z0-9_-]{7,}\.[A-Za-z0-9_-]{4,}\.[A-Za-z0-9_.-]*')
failures = []


def fail(what, detail):
    failures.append('%s: %s' % (what, detail))


def run(*args, check=None):
    p = subprocess.run([CLI] + list(args), capture_output=True)
    if check is not None and p.returncode != check:
        fail(' '.join(args[:3]), 'exit %d, stderr %r' % (p.returncode, p.stderr[:300]))
    return p


def credential(name):
    n = name.lower()
    return n not in PLAIN and any(w in n for w in WORDS)


def secrets_of(har_text):
    """Every value the rule calls secret, found by this script's own reading."""
    found = set(JWT.findall(har_text))
    for e in json.loads(har_text)['log']['entries']:
        for side in (e.get('request', {}), e.get('response', {})):
            for h in side.get('headers', []):
                n, v = h['name'].lower(), h['value']
                if n == 'cookie':
                    found.update(p.partition('=')[2].strip() if '=' in p else p.strip() for p in v.split(';'))
                elif n == 'set-cookie':
                    found.update(line.split(';')[0].partition('=')[2].strip() for line in v.split('\n'))
                elif n in ('authorization', 'proxy-authorization'):
                    found.add(v.strip().split(' ', 1)[-1])
                elif credential(n):
                    found.add(v)
            found.update(c.get('value', '') for c in side.get('cookies', []))
            urls = [side.get('url', ''), side.get('redirectURL', '')]
            urls += [h['value'] for h in side.get('headers', []) if h['name'].lower() in ('referer', 'location')]
            for url in urls:
                parts = urllib.parse.urlsplit(url)
                for q in (parts.query, parts.fragment):
                    for name, value in urllib.parse.parse_qsl(q, keep_blank_values=True):
                        if credential(name):
                            found.add(value)
            for record in side.get('queryString', []) + side.get('postData', {}).get('params', []):
                if credential(record['name']):
                    found.add(record.get('value', ''))
    return {s for s in found if len(s.encode()) >= 6}


def encodings(secret):
    raw = secret.encode()
    forms = {secret, urllib.parse.quote(secret, safe=''), urllib.parse.quote(secret), urllib.parse.quote_plus(secret),
             json.dumps(secret)[1:-1], json.dumps(secret, ensure_ascii=False)[1:-1]}
    for b in (base64.b64encode(raw).decode(), base64.urlsafe_b64encode(raw).decode()):
        forms.update({b, b.rstrip('=')})
    return forms


def check_no_secrets(what, original, output):
    for secret in secrets_of(original):
        for form in encodings(secret):
            if form in output:
                fail(what, 'secret %r appears as %r' % (secret, form))
                break


def valid_har(paths):
    """har-validator's verdict on each file: None when valid, else the first error."""
    script = r"""
const v = require('har-validator'); const fs = require('fs');
(async () => { const out = {};
  for (const f of process.argv.slice(1)) {
    try { await v.har(JSON.parse(fs.readFileSync(f, 'utf8'))); out[f] = null; }
    catch (e) { out[f] = JSON.stringify(e.errors ? e.errors[0] : e.message); } }
  console.log(JSON.stringify(out)); })();
"""
    env = dict(os.environ, NODE_PATH='/usr/share/nodejs')
    p = subprocess.run(['node', '-e', script] + paths, capture_output=True, text=True, env=env)
    if p.returncode != 0:
        fail('har-validator', p.stderr[:300])
        return {path: 'not run' for path in paths}
    return json.loads(p.stdout)


def login_flow():
    """A valid HAR 1.2 of a login: JWTs, a code in a redirect, a CSRF form, cookies with attributes."""
    jwt = 'eyJhbGciOiJIUzI1NiIsInR5cCI6IkpXVCJ9.eyJzdWIiOiJhbm4iLCJleHAiOjE4MDAwMDAwMDB9.' \
          'S1gnatur3-abcdefghijklmnopqrstuvwxyz012345'
    def msg(extra):
        base = {'httpVersion': 'HTTP/1.1', 'cookies': [], 'headers': [], 'headersSize': -1, 'bodySize': 0}
        base.update(extra)
        return base
    def entry(request, response):
        return {'startedDateTime': '2026-12-01T08:00:00.000Z', 'time': 10, 'request': request, 'response': response,
                'cache': {}, 'timings': {'send': 1, 'wait': 8, 'receive': 1}}
    def response(status, headers, cookies, text, mime='text/html'):
        return msg({'status': status, 'statusText': 'OK', 'headers': headers, 'cookies': cookies, 'redirectURL': '',
                    'content': {'size': len(text.encode()), 'mimeType': mime, 'text': text},
                    'bodySize': len(text.encode())})
    form = 'user=ann&password=correct+horse&csrf_token=Csrf-7781-xyz'
    entries = [
        entry(msg({'method': 'GET', 'url': 'https://id.example.com/login?next=%2Fhome&session_state=st-889900',
                   'queryString': [{'name': 'next', 'value': '%2Fhome'},
                                   {'name': 'session_state', 'value': 'st-889900'}],
                   'headers': [{'name': 'Host', 'value': 'id.example.com'},
                               {'name': 'Cookie', 'value': 'JSESSIONID=A1B2C3D4E5F6; theme=dark-blue'}],
                   'cookies': [{'name': 'JSESSIONID', 'value': 'A1B2C3D4E5F6'},
                               {'name': 'theme', 'value': 'dark-blue'}]}),
              response(200, [{'name': 'Set-Cookie',
                              'value': 'XSRF-TOKEN=xsrf-5566-abcd; Path=/; Secure; SameSite=Strict'}],
                       [{'name': 'XSRF-TOKEN', 'value': 'xsrf-5566-abcd', 'path': '/', 'secure': True}],
                       '<input name="csrf_token" value="Csrf-7781-xyz">')),
        entry(msg({'method': 'POST', 'url': 'https://id.example.com/login', 'queryString': [],
                   'headers': [{'name': 'Content-Type', 'value': 'application/x-www-form-urlencoded'},
                               {'name': 'X-XSRF-TOKEN', 'value': 'xsrf-5566-abcd'},
                               {'name': 'Cookie', 'value': 'JSESSIONID=A1B2C3D4E5F6; XSRF-TOKEN=xsrf-5566-abcd'}],
                   'postData': {'mimeType': 'application/x-www-form-urlencoded', 'text': form,
                                'params': [{'name': 'user', 'value': 'ann'},
                                           {'name': 'password', 'value': 'correct+horse'},
                                           {'name': 'csrf_token', 'value': 'Csrf-7781-xyz'}]},
                   'bodySize': len(form)}),
              dict(response(302, [{'name': 'Location', 'value': 'https://app.example.com/cb?code=AuthCode-99887766'},
                                  {'name': 'Set-Cookie', 'value': 'sid=S3ss10n-Value-42; Domain=example.com; Path=/; '
                                   'Expires=Wed, 09 Jun 2027 10:18:14 GMT; HttpOnly'}],
                            [{'name': 'sid', 'value': 'S3ss10n-Value-42', 'domain': 'example.com', 'httpOnly': True}],
                            ''), redirectURL='https://app.example.com/cb?code=AuthCode-99887766')),
        entry(msg({'method': 'GET', 'url': 'https://app.example.com/cb?code=AuthCode-99887766',
                   'queryString': [{'name': 'code', 'value': 'AuthCode-99887766'}],
                   'headers': [{'name': 'Referer', 'value': 'https://id.example.com/login?session_state=st-889900'},
                               {'name': 'Cookie', 'value': 'sid=S3ss10n-Value-42'}]}),
              response(200, [{'name': 'Content-Type', 'value': 'application/json'}], [],
                       json.dumps({'access_token': jwt, 'user': 'ann'}), 'application/json')),
        entry(msg({'method': 'GET', 'url': 'https://api.example.com/v1/me?fields=name',
                   'queryString': [{'name': 'fields', 'value': 'name'}],
                   'headers': [{'name': 'Authorization', 'value': 'Bearer ' + jwt},
                               {'name': 'X-Api-Key', 'value': 'ak_live_0123456789'},
                               {'name': 'Accept-Language', 'value': 'zh-CN,zh;q=0.9'}]}),
              response(200, [], [], '{"name": "\u5f20\u4e09 \U0001F600"}', 'application/json')),
    ]
    return json.dumps({'log': {'version': '1.2', 'creator': {'name': 'test', 'version': '1'},
                               'pages': [], 'entries': entries}}, indent=1)


def sessions_shape(a, b, *extra):
    """The pairs and the names that differ, which masking must not change."""
    p = run('sessions', '--json', *extra, a, b)
    if p.returncode not in (0, 1):
        fail('sessions ' + a, p.stderr[:300])
        return None
    out = []
    for pair in json.loads(p.stdout)['pairs']:
        row = [pair['a'], pair['b'], pair['method'], pair['host_a'], pair['host_b']]
        # A value the original could not import (an emoji) may import masked.
        if pair.get('error') is not None:
            row.append('refused')
            out.append(row)
            continue
        row.append(pair['same'])
        for part in ('request', 'query', 'set_cookie'):
            lists = pair.get(part) or {}
            row.append([sorted(r[0] for r in lists.get(k, [])) for k in ('missing_in_slot1', 'missing_in_slot2',
                                                                         'different')])
        out.append(row)
    return out


def same_sessions(original, sanitised):
    if original is None or sanitised is None or len(original) != len(sanitised):
        return False
    return all(o == s or (o[-1] == 'refused' and o[:5] == s[:5]) for o, s in zip(original, sanitised))


def compare_shape(a, b, *extra):
    p = run('compare', '--json', '--from', 'auto', *extra, a, b)
    if p.returncode not in (0, 1):
        return ('error', p.returncode)
    d = json.loads(p.stdout)
    return [sorted(r[0] for r in d[k]) for k in ('missing_in_slot1', 'missing_in_slot2', 'different')]


def main():
    work = tempfile.mkdtemp()
    try:
        check_all(work)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    if failures:
        print('\n'.join(failures))
        sys.exit(1)


def check_all(work):
    login = os.path.join(work, 'login-flow.har')
    with open(login, 'w', encoding='utf-8') as f:
        f.write(login_flow())
    # Two recordings of one browsing session as the benchmarks make them.
    recorded = []
    for variant in ('0', '1'):
        path = os.path.join(work, 'recorded-%s.har' % variant)
        with open(path, 'wb') as f:
            f.write(subprocess.run([sys.executable, os.path.join(ROOT, 'bench', 'make_har.py'), '0.3', '40', variant],
                                   capture_output=True, check=True).stdout)
        recorded.append(path)
    hars = sorted(glob.glob(os.path.join(ROOT, 'tests', '**', '*.har'), recursive=True)) + [login] + recorded
    readable = []
    for har in hars:
        try:
            with open(har, encoding='utf-8') as f:
                json.load(f)['log']['entries']
            readable.append(har)
        except (ValueError, KeyError, TypeError):
            # A broken document: one line, exit 2.
            p = run('sanitize', '--key', 'k', har, check=2)
            if p.stdout or p.stderr.count(b'\n') != 1:
                fail('broken ' + har, 'stdout %d bytes, stderr %r' % (len(p.stdout), p.stderr))

    # A key file's last line break is not part of the key.
    key_file = os.path.join(work, 'shared.key')
    with open(key_file, 'wb') as f:
        f.write(b'shared key\r\n')
    outputs, originals_valid = {}, valid_har(readable)
    for har in readable:
        name = os.path.basename(har)
        with open(har, encoding='utf-8') as f:
            original = f.read()
        first = run('sanitize', '--key', 'shared key', har, check=0).stdout
        second = run('sanitize', '--key-file', key_file, har, check=0).stdout
        if first != second:
            fail(name, 'one key (given as text, then in a file) gave two outputs')
        other = run('sanitize', '--key', 'another key', har, check=0).stdout
        if secrets_of(original) and other == first:
            fail(name, 'another key gave the same output')
        for keep in ([], ['--keep-bodies']):
            p = run('sanitize', '--key', 'shared key', *keep, har)
            if keep and p.returncode == 2 and b'Base64 body' in p.stderr:
                continue  # kept, a Base64 body could hide anything: refused
            if p.returncode != 0:
                fail(name + ' ' + ' '.join(keep), p.stderr[:300])
            check_no_secrets(name + ' ' + ' '.join(keep), original, p.stdout.decode('utf-8'))
        path = os.path.join(work, 'out-' + name)
        with open(path, 'wb') as f:
            f.write(first)
        outputs[har] = path
        doc = json.loads(first)
        if 'sanitised' not in doc['log'].get('comment', '') or not re.search(r'\d{4}-\d\d-\d\d', doc['log']['comment']):
            fail(name, 'no comment saying when it was sanitised')
    verdicts = valid_har(list(outputs.values()))
    for har, out in outputs.items():
        if originals_valid.get(har) is None and verdicts.get(out) is not None:
            fail(os.path.basename(har), 'valid HAR 1.2 before, not after: ' + verdicts[out])
    if originals_valid.get(login) is not None:
        fail('login-flow.har', 'the test\'s own HAR is not valid: ' + originals_valid[login])

    # Two files in one run share the run's random key: they still compare.
    pairs = [('session-a.har', 'session-b.har'), ('session-decoded-a.har', 'session-decoded-b.har'),
             ('jar-rules.har', 'jar-time.har')]
    pairs.append(tuple(recorded))
    for a, b in pairs:
        a, b = os.path.join(FIXTURES, a), os.path.join(FIXTURES, b)
        out_dir = os.path.join(work, 'pair-' + os.path.basename(a))
        run('sanitize', a, b, '-o', out_dir, check=0)
        sa, sb = os.path.join(out_dir, os.path.basename(a)), os.path.join(out_dir, os.path.basename(b))
        for mode in ([], ['--mode', 'http']):
            if not same_sessions(sessions_shape(a, b, *mode), sessions_shape(sa, sb, *mode)):
                fail('sessions %s %s' % (os.path.basename(a), mode), 'pairs or differing names changed')
            if compare_shape(a, b, *mode)[0] != 'error' and compare_shape(a, b, *mode) != compare_shape(sa, sb, *mode):
                fail('compare %s %s' % (os.path.basename(a), mode),
                     '%s against %s' % (compare_shape(a, b, *mode), compare_shape(sa, sb, *mode)))

    # --mask prints the stand-ins a sanitised HAR holds, and no secret.
    session_a, session_b = os.path.join(FIXTURES, 'session-a.har'), os.path.join(FIXTURES, 'session-b.har')
    with open(login, encoding='utf-8') as f:
        login_text = f.read()
    sanitised_login = run('sanitize', '--key', 'K', login, check=0).stdout.decode('utf-8')
    for args in (['compare', '--from', 'auto', '--json', '--har-entry', '2', login, login],
                 ['compare', '--from', 'auto', '--json', '--mode', 'http', '--har-entry', '4', login, login],
                 ['jar', login], ['jar', '--json', login],
                 ['convert', '--to', 'json', '--har-entry', '2', login],
                 ['convert', '--to', 'curl', '--har-entry', '3', login],
                 ['compare', '--from', 'auto', '--completed', '1', '--to', 'curl', '--har-entry', '2', login, login]):
        p = run(args[0], '--mask', '--key', 'K', *args[1:])
        out = p.stdout.decode('utf-8')
        if p.returncode not in (0, 1) or '\u300amasked:' not in out:
            fail(' '.join(args[:2]) + ' --mask', 'exit %d, %r' % (p.returncode, (out or p.stderr.decode())[:200]))
        check_no_secrets(' '.join(args[:3]) + ' --mask', login_text, out)
        for stand_in in re.findall('\u300amasked:[0-9a-f]{8}:\\d+\u300b', out):
            if stand_in not in sanitised_login and urllib.parse.quote(stand_in, safe=':') not in sanitised_login:
                fail(' '.join(args[:2]) + ' --mask', stand_in + ' is not what sanitize writes for the value')
    for mode in ([], ['--mode', 'http']):
        p = run('sessions', '--mask', '--key', 'K', '--json', *mode, session_a, session_b)
        out = p.stdout.decode('utf-8')
        if p.returncode != 1 or '\u300amasked:' not in out:
            fail('sessions --mask %s' % mode, 'exit %d %r' % (p.returncode, p.stderr[:200]))
        for original in (session_a, session_b):
            with open(original, encoding='utf-8') as f:
                check_no_secrets('sessions --mask %s' % mode, f.read(), out)

    bad_input(work)
    print('%d HARs sanitised, %d pairs compared' % (len(outputs), len(pairs)))


def bad_input(work):
    """One line on standard error, exit 2, and no file under the final name."""
    good = os.path.join(FIXTURES, 'session-a.har')
    bad_utf8 = os.path.join(work, 'bad-utf8.har')
    with open(bad_utf8, 'wb') as f:
        f.write(b'{"log": {"version": "1.2", "entries": [{"request": {"headers": [{"name": "a", "value": "\xff"}]}}]}}')
    base64_body = os.path.join(work, 'base64.har')
    with open(base64_body, 'w') as f:
        json.dump({'log': {'entries': [{'response': {'content': {'size': 3, 'mimeType': 'x', 'text': 'YWJj',
                                                                 'encoding': 'base64'}}}]}}, f)
    empty_key = os.path.join(work, 'empty.key')
    open(empty_key, 'w').close()
    blocker = os.path.join(work, 'a-file')
    open(blocker, 'w').close()
    out_dir = os.path.join(work, 'refused')
    cases = [
        (['--key-file', os.path.join(work, 'none.key'), good], r'key file .*none\.key.*No such file'),
        (['--key-file', empty_key, good], r'key file .*empty\.key is empty'),
        (['--key', 'k', good, '-o', os.path.join(blocker, 'sub')], r'cannot write into .*a-file/sub'),
        (['--key', 'k', os.path.join(FIXTURES, 'cookies1.txt'), '-o', out_dir], r'cookies1\.txt: not a HAR'),
        (['--key', 'k', bad_utf8, '-o', out_dir], r'bad-utf8\.har: byte 88: not valid UTF-8'),
        (['--key', 'k', '--keep-bodies', base64_body, '-o', out_dir], r'base64\.har: entry 1 holds a Base64 body'),
        (['--key', 'k', good, good, '-o', out_dir], r'two files would be written as'),
        (['--key', 'k', good, '-o', FIXTURES], r'would write over the file itself'),
    ]
    for args, pattern in cases:
        p = run('sanitize', *args)
        err = p.stderr.decode('utf-8', 'replace')
        if p.returncode != 2 or err.count('\n') != 1 or not re.search(pattern, err):
            fail('sanitize ' + ' '.join(os.path.basename(a) for a in args), 'exit %d, %r' % (p.returncode, err))
    left = os.listdir(out_dir) if os.path.isdir(out_dir) else []
    if left:
        fail('refused files', 'left behind: %s' % left)
    # A Base64 body is dropped with the others: nothing to refuse.
    run('sanitize', '--key', 'k', base64_body, check=0)


main()
