#!/usr/bin/env python3
"""The companion's exports run by the real clients they are written for —
bash with curl, Python's requests, http.cookiejar and urllib, Node.js's
fetch — against a local server that records the bytes it receives. Each
capture is a HAR of random rows; what arrives must be exactly what the
capture sent, or the export must refuse a row by name and print nothing.
cmd and PowerShell cannot run here: their copies are read by the rules of
cmd.exe, the C runtime's argument splitting and PowerShell's strings.

usage: real_clients_test.py DUALSIEVE_CLI
DS_RANDOM_SEED=<seed> replays a run; DS_CLIENT_CASES sets the cases a mode."""
import http.cookiejar
import json
import os
import random
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

CLI = sys.argv[1]
CASES = int(os.environ.get('DS_CLIENT_CASES', '30'))
failures = []
sent = {}  # client: requests it sent and the server checked


def fail(what, detail):
    failures.append('%s: %s' % (what, detail))


class Recorder:
    """An HTTP/1.1 server on loopback that keeps each request's bytes."""

    def __init__(self):
        self.sock = socket.socket()
        self.sock.bind(('127.0.0.1', 0))
        self.sock.listen(32)
        self.port = self.sock.getsockname()[1]
        self.requests = []
        self.lock = threading.Lock()
        threading.Thread(target=self.serve, daemon=True).start()

    def serve(self):
        while True:
            conn, _ = self.sock.accept()
            threading.Thread(target=self.one, args=(conn,), daemon=True).start()

    def one(self, conn):
        conn.settimeout(10)
        data = b''
        try:
            while b'\r\n\r\n' not in data:
                chunk = conn.recv(65536)
                if not chunk:
                    return
                data += chunk
            head, _, body = data.partition(b'\r\n\r\n')
            length = 0
            for line in head.split(b'\r\n')[1:]:
                name, _, value = line.partition(b':')
                if name.strip().lower() == b'content-length':
                    length = int(value.strip())
            while len(body) < length:
                chunk = conn.recv(65536)
                if not chunk:
                    break
                body += chunk
            with self.lock:
                self.requests.append((head, body))
            conn.sendall(b'HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok')
        except OSError:
            pass
        finally:
            conn.close()

    def take(self):
        """The one request a client sent: (request line, [(name, value)], body), bytes."""
        deadline = time.time() + 5
        while time.time() < deadline:
            with self.lock:
                if self.requests:
                    got, self.requests = self.requests, []
                    break
            time.sleep(0.02)
        else:
            return None
        if len(got) != 1:
            return ('%d requests' % len(got), [], b'')
        head, body = got[0]
        lines = head.split(b'\r\n')
        headers = []
        for line in lines[1:]:
            name, _, value = line.partition(b':')
            headers.append((name, value.strip(b' \t')))
        return lines[0], headers, body


# What shells, languages and cookie readers treat specially, and text of
# every width: Chinese, Latin-1, and an emoji, which GBK cannot hold.
SPECIAL = list('"\'\\$`!%^&|<>(){}[]#*?~,:@/+ ') + ['$(id)', '%PATH%', '\\"', "'\\''", '^"', '!!']
WIDE = ['张三', '中文', 'café', 'ü', 'ß', '乗乛', '“', '”']
EMOJI = '😀'
PLAIN = 'abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_.'


def text(rng, most, specials=True, wide=True):
    out = ''
    for _ in range(rng.randint(1, most)):
        roll = rng.random()
        if specials and roll < 0.2:
            out += rng.choice(SPECIAL)
        elif wide and roll < 0.3:
            out += rng.choice(WIDE)
        else:
            out += rng.choice(PLAIN)
    return out


def value(rng, forbidden, wide):
    roll = rng.random()
    if roll < 0.05:
        v = ''
    elif roll < 0.08:
        v = rng.choice(PLAIN) * 8192 + text(rng, 5, wide=wide)
    else:
        v = text(rng, 24, wide=wide)
    if wide and rng.random() < 0.03:
        v += EMOJI
    for c in forbidden:
        v = v.replace(c, '_')
    return v.strip(' \t')


# Names some client treats as its own, or that a form cannot keep, come in
# one case of three; the others are what captures mostly hold.
COOKIE_NAMES = ['sid', 'token', '_ga', 'Hm_lvt_1a2b', 'SESSDATA']
HOSTILE_COOKIE_NAMES = ['SID', '@user', '$Version', '123', 'a b', '张', '__Host-id']
HEADER_NAMES = ['Accept', 'User-Agent', 'Referer', 'X-Token', 'Authorization', 'Cookie', 'Content-Type', 'Origin',
                'Accept-Language', 'X-Requested-With', 'sec-ch-ua', 'If-None-Match', 'x-a']
HOSTILE_HEADER_NAMES = ['Host', 'Transfer-Encoding', 'Keep-Alive', 'Expect', 'Upgrade', '__proto__', '42', 'X-A']


def cookie_rows(rng, hostile, wide):
    rows = []
    names = COOKIE_NAMES + (HOSTILE_COOKIE_NAMES if hostile else [])
    for _ in range(rng.randint(1, 8)):
        name = rng.choice(names) if rng.random() < 0.4 else text(rng, 8, specials=False, wide=wide and rng.random() < 0.2)
        rows.append((name.replace(' ', '') if not hostile or rng.random() < 0.8 else name, value(rng, ';', wide)))
    if hostile and rng.random() < 0.3:
        rows.append((rows[0][0], value(rng, ';', wide)))  # a name twice
    return [(n, v) for n, v in rows if n.strip()]


def header_rows(rng, hostile, wide):
    rows = []
    names = HEADER_NAMES + (HOSTILE_HEADER_NAMES if hostile else [])
    for _ in range(rng.randint(1, 8)):
        name = rng.choice(names) if rng.random() < 0.6 else 'X-' + text(rng, 8, specials=False, wide=False)
        if name.lower() == 'cookie':
            rows.append((name, '; '.join('%s=%s' % r for r in cookie_rows(rng, False, wide) if ' ' not in r[0])))
        else:
            rows.append((name, value(rng, '', wide)))
    if hostile and rng.random() < 0.3:
        rows.append((rows[0][0], value(rng, '', wide)))
    seen = set()
    rows = [r for r in rows if hostile or not (r[0].lower() in seen or seen.add(r[0].lower()))]
    # A capture with no header at all is no request to import, so one row always stays.
    kept = [(n, v) for n, v in rows if v or rng.random() < 0.5]
    return kept or rows[:1]


def har(url, method, headers, body):
    request = {'method': method, 'url': url, 'httpVersion': 'HTTP/1.1', 'cookies': [], 'queryString': [],
               'headersSize': -1, 'bodySize': len(body.encode()) if body is not None else 0,
               'headers': [{'name': n, 'value': v} for n, v in headers]}
    if body is not None:
        request['postData'] = {'mimeType': 'application/json', 'text': body}
    entry = {'startedDateTime': '2026-12-08T10:00:00.000Z', 'time': 1, 'request': request,
             'response': {'status': 200, 'statusText': 'OK', 'httpVersion': 'HTTP/1.1', 'cookies': [], 'headers': [],
                          'content': {'size': 0, 'mimeType': 'text/plain'}, 'redirectURL': '', 'headersSize': -1,
                          'bodySize': 0},
             'cache': {}, 'timings': {'send': 0, 'wait': 1, 'receive': 0}}
    return {'log': {'version': '1.2', 'creator': {'name': 'test', 'version': '1'}, 'entries': [entry]}}


def run_cli(work, mode, fmt, capture):
    path = os.path.join(work, 'capture.har')
    with open(path, 'w', encoding='utf-8') as f:
        json.dump(capture, f, ensure_ascii=False)
    done = subprocess.run([CLI, 'convert', '--from', 'har', '--mode', mode, '--to', fmt, path], capture_output=True)
    return done.returncode, done.stdout.decode('utf-8'), done.stderr.decode('utf-8', 'replace')


def refusal_named(what, code, out, err, rows):
    """A refusal: exit 2, nothing printed, a row named in brackets."""
    if code != 2 or out:
        fail(what, 'exit %d, %d bytes printed: %s' % (code, len(out), err))
        return
    if not any('[%s]' % shown(n) in err for n, _ in rows) and '请求体' not in err and '项的名称为空' not in err:
        fail(what, 'the refusal names no row: %s' % err.strip())


def shown(name):
    """A name as messages write it: characters GBK lacks as U+XXXX."""
    out = ''
    for c in name:
        try:
            c.encode('gbk')
            out += c
        except UnicodeEncodeError:
            out += 'U+%04X' % ord(c)
    return out


def utf8(s):
    return s.encode('utf-8')


def run_client(what, argv, recorder, stdin=None):
    try:
        done = subprocess.run(argv, input=stdin, capture_output=True, timeout=30)
    except subprocess.TimeoutExpired:
        fail(what, 'the client did not finish in 30 s')
        return None
    got = recorder.take()
    sent[what.split(' [')[0]] = sent.get(what.split(' [')[0], 0) + (got is not None)
    if done.returncode != 0 or got is None:
        fail(what, 'exit %d, %s; stderr: %s' % (done.returncode, 'a request' if got else 'no request',
                                                  done.stderr.decode('utf-8', 'replace')[-400:]))
        return None
    return got


def cookie_header_of(got):
    values = [v for n, v in got[1] if n.lower() == b'cookie']
    return values[0] if len(values) == 1 else b'<%d Cookie headers>' % len(values)


# --- cmd.exe and the C runtime, PowerShell: their rules, read independently ---

def cmd_words(line):
    """cmd removes carets outside its quotes; the C runtime splits the rest."""
    plain, quoted, i = '', False, 0
    while i < len(line):
        c = line[i]
        if c == '^' and not quoted:
            i += 1
            if line[i:i + 2] == '\r\n':
                i += 2
                continue
            plain += line[i] if i < len(line) else ''
            i += 1
            continue
        if c == '"':
            quoted = not quoted
        elif not quoted and c in '&|<>':
            raise ValueError('cmd acts on %r' % c)
        elif not quoted and c == '%' and re.match(r'%[^%\s]+%', line[i:]):
            raise ValueError('cmd expands %s' % line[i:i + 10])
        plain += c
        i += 1
    words, word, inword, quoted, i = [], '', False, False, 0
    while i < len(plain):
        c = plain[i]
        if c in ' \t\r\n' and not quoted:
            if inword:
                words.append(word)
            word, inword = '', False
            i += 1
            continue
        inword = True
        if c == '\\':
            n = len(plain[i:]) - len(plain[i:].lstrip('\\'))
            if i + n < len(plain) and plain[i + n] == '"':
                word += '\\' * (n // 2)
                if n % 2:
                    word += '"'
                    i += n + 1
                else:
                    i += n
            else:
                word += '\\' * n
                i += n
        elif c == '"':
            if quoted and plain[i + 1:i + 2] == '"':
                word += '"'
                i += 2
            else:
                quoted = not quoted
                i += 1
        else:
            word += c
            i += 1
    if inword:
        words.append(word)
    return words


def powershell_strings(code):
    """The double-quoted strings of a PowerShell text, read as PowerShell does."""
    out, i = [], 0
    escapes = {'n': '\n', 'r': '\r', 't': '\t', '0': '\0', 'a': '\a', 'b': '\b', 'f': '\f', 'v': '\v', 'e': '\x1b'}
    while i < len(code):
        if code[i] != '"':
            i += 1
            continue
        i += 1
        s = ''
        while True:
            c = code[i]
            if c == '`':
                s += escapes.get(code[i + 1], code[i + 1])
                i += 2
            elif c == '"' and code[i + 1:i + 2] == '"':
                s += '"'
                i += 2
            elif c == '"':
                i += 1
                break
            elif c == '$':
                m = re.match(r'\$\(\[char\](\d+)\)', code[i:])
                if not m:
                    raise ValueError('a variable in a string: %r' % code[i:i + 12])
                s += chr(int(m.group(1)))
                i += m.end()
            else:
                s += c
                i += 1
        out.append(s)
    return out


# --- one case a mode ---

def check_cookies(work, rng, recorder, tools):
    rows = cookie_rows(rng, rng.random() < 0.33, rng.random() < 0.5)
    base = 'http://127.0.0.1:%d' % recorder.port
    path = '/p/%E4%B8%AD?filter[0]=1&a[1-3]=2&x={a,b}'
    capture = har(base + path, 'GET', [('Host', '127.0.0.1:%d' % recorder.port),
                                       ('Cookie', '; '.join('%s=%s' % r for r in rows))], None)
    code, listed, err = run_cli(work, 'cookies', 'json', capture)
    if code != 0:
        for fmt in ('curl', 'python', 'cookies-txt'):
            refusal_named('cookies %s of %r' % (fmt, rows), *run_cli(work, 'cookies', fmt, capture), rows)
        return
    items = [(c['name'], c['value']) for c in json.loads(listed)]
    if sorted(items) != sorted(rows):
        fail('cookies import', 'items %r from rows %r' % (items, rows))
        return
    header = utf8('; '.join('%s=%s' % r for r in items))

    code, out, err = run_cli(work, 'cookies', 'curl', capture)
    if code:
        refusal_named('cookies curl', code, out, err, rows)
    else:
        got = run_client('cookies curl %r' % rows, ['bash', '-c', out], recorder)
        if got:
            if got[0] != utf8('GET %s HTTP/1.1' % path):
                fail('cookies curl', 'request line %r' % got[0])
            if cookie_header_of(got) != header:
                fail('cookies curl', 'sent %r\n  expected %r' % (cookie_header_of(got)[:300], header[:300]))

    code, out, err = run_cli(work, 'cookies', 'python', capture)
    if code:
        refusal_named('cookies python', code, out, err, rows)
        if len({n for n, _ in rows}) == len(rows) and not any(';' in n or '=' in n for n, _ in rows):
            fail('cookies python', 'refused rows it can carry: %s' % err)
    else:
        script = out + '\nimport requests\nrequests.get(%r, cookies=cookies, timeout=20)\n' % (base + path)
        got = run_client('cookies python %r' % rows, [sys.executable, '-'], recorder, utf8(script))
        if got and cookie_header_of(got) != header:
            fail('cookies python', 'sent %r\n  expected %r' % (cookie_header_of(got)[:300], header[:300]))

    code, out, err = run_cli(work, 'cookies', 'cookies-txt', capture)
    if code:
        refusal_named('cookies cookies-txt', code, out, err, rows)
    else:
        jar_path = os.path.join(work, 'cookies.txt')
        with open(jar_path, 'w', encoding='utf-8', newline='') as f:
            f.write(out)
        script = ('import http.cookiejar, urllib.request, sys\n'
                  'jar = http.cookiejar.MozillaCookieJar()\njar.load(sys.argv[1])\n'
                  'urllib.request.build_opener(urllib.request.HTTPCookieProcessor(jar)).open(sys.argv[2], timeout=20)\n')
        got = run_client('cookies.txt urllib %r' % rows, [sys.executable, '-c', script, jar_path, base + path], recorder)
        if got and cookie_header_of(got) != header:
            fail('cookies.txt urllib', 'sent %r\n  expected %r' % (cookie_header_of(got)[:300], header[:300]))
        # curl sorts a jar's cookies by the lengths of path, domain and name.
        got = run_client('cookies.txt curl', ['curl', '-s', '-g', '-o', '/dev/null', '-b', jar_path, base + path],
                         recorder)
        if got and sorted(cookie_header_of(got).split(b'; ')) != sorted(header.split(b'; ')):
            fail('cookies.txt curl', 'sent %r\n  expected %r' % (cookie_header_of(got)[:300], header[:300]))

    code, out, err = run_cli(work, 'cookies', 'javascript', capture)
    if code:
        refusal_named('cookies javascript', code, out, err, rows)
    elif tools['node']:
        done = subprocess.run([tools['node'], '-e', 'process.stdout.write(JSON.stringify(Object.entries(%s)))' % out],
                              capture_output=True)
        entries = [tuple(p) for p in json.loads(done.stdout or b'null') or []]
        if entries != items:
            fail('cookies javascript in node', '%r\n  expected %r' % (entries, items))

    code, out, err = run_cli(work, 'cookies', 'curl-cmd', capture)
    if code:
        refusal_named('cookies curl-cmd', code, out, err, rows)
    else:
        try:
            words = cmd_words(out)
            if sum(1 for c in out if c not in '\r\n') > 8191:
                fail('cookies curl-cmd', 'a line of %d characters' % len(out))
            if words[words.index('-H') + 1] != 'Cookie: ' + header.decode('utf-8'):
                fail('cookies curl-cmd', 'cmd passes %r' % words)
        except ValueError as e:
            fail('cookies curl-cmd', '%s in %r' % (e, out[:300]))

    code, out, err = run_cli(work, 'cookies', 'powershell', capture)
    if code:
        refusal_named('cookies powershell', code, out, err, rows)
    else:
        strings = powershell_strings(out)
        cookies = [(strings[i], strings[i + 1]) for i in range(0, len(strings) - 1, 4)][:len(items)]
        if cookies != items:
            fail('cookies powershell', 'PowerShell reads %r\n  expected %r' % (cookies, items))
        # A CookieContainer takes names without regard to case.
        if len({n.lower() for n, _ in items}) != len(items):
            fail('cookies powershell', 'names equal but for case: %r' % items)


def check_headers(work, rng, recorder, tools):
    rows = header_rows(rng, rng.random() < 0.33, rng.random() < 0.5)
    base = 'http://127.0.0.1:%d' % recorder.port
    path = '/api/%E6%90%9C?q[]=1&r={x}'
    method = rng.choice(['GET', 'POST', 'POST', 'PUT', 'HEAD'])
    body = None
    if method in ('POST', 'PUT'):
        body = text(rng, 40) if rng.random() < 0.7 else '{"k": "' + 'v' * 9000 + '",\n "n": "张三"}'
        rows.append(('Content-Length', str(len(body.encode()))))
    capture = har(base + path, method, rows, body)
    code, listed, err = run_cli(work, 'http', 'json', capture)
    if code:
        # A JSON object keeps one value a name; the lines keep all.
        code, listed, err = run_cli(work, 'http', 'headers', capture)
        if code:
            for fmt in ('curl', 'python', 'fetch'):
                refusal_named('http %s of %r' % (fmt, rows), *run_cli(work, 'http', fmt, capture), rows)
            return
        items = [tuple(line.split(':', 1)) for line in listed.split('\r\n') if line]
        items = [(n, v[1:] if v.startswith(' ') else v) for n, v in items]
    else:
        items = list(json.loads(listed).items())
    if sorted(items) != sorted(rows):
        fail('http import', 'items %r from rows %r' % (items, rows))
        return
    sent_rows = [(n, v) for n, v in items if n.lower() != 'content-length']
    wire_body = utf8(body) if body is not None and method != 'HEAD' else b''

    def check_sent(what, got, order=True):
        if got is None:
            return
        # requests percent-encodes what a URL given to it leaves raw.
        if order and got[0] != utf8('%s %s HTTP/1.1' % (method, path)):
            fail(what, 'request line %r' % got[0])
        names = {n.lower() for n, _ in sent_rows}
        received = [(n.decode('latin-1'), v) for n, v in got[1] if n.decode('latin-1').lower() in names]
        expected = [(n, utf8(v)) for n, v in sent_rows]
        if order:
            # curl and Node.js write Host where their own goes, first.
            received.sort(key=lambda p: p[0].lower() != 'host')
            expected.sort(key=lambda p: p[0].lower() != 'host')
        key = (lambda p: (p[0].lower(), p[1]))
        if [key(p) for p in (received if order else sorted(received, key=key))] != \
                [key(p) for p in (expected if order else sorted(expected, key=key))]:
            fail(what, 'headers %r\n  expected %r' % (received, expected))
        if got[2] != wire_body:
            fail(what, 'body %r\n  expected %r' % (got[2][:200], wire_body[:200]))
        lengths = [v for n, v in got[1] if n.lower() == b'content-length']
        if wire_body and lengths != [str(len(wire_body)).encode()]:
            fail(what, 'Content-Length %r for %d bytes' % (lengths, len(wire_body)))

    code, out, err = run_cli(work, 'http', 'curl', capture)
    if code:
        refusal_named('http curl', code, out, err, rows)
    else:
        # -I prints the response head; the rest is curl's own output.
        check_sent('http curl %r' % rows, run_client('http curl', ['bash', '-c', out + ' >/dev/null'], recorder))

    code, out, err = run_cli(work, 'http', 'python', capture)
    if code:
        refusal_named('http python', code, out, err, rows)
    else:
        script = out + ('\nimport requests\nrequests.request(%r, %r, headers=headers, data=%r, timeout=20)\n'
                        % (method, base + path, wire_body or None))
        # requests puts its own defaults first, whatever a dict says.
        check_sent('http python %r' % rows,
                   run_client('http python', [sys.executable, '-'], recorder, utf8(script)), order=False)

    code, out, err = run_cli(work, 'http', 'fetch', capture)
    if code:
        refusal_named('http fetch', code, out, err, rows)
    elif tools['node'] and method != 'HEAD':
        script = out.replace('});', '}).then(r => r.text()).catch(e => { console.error(e); process.exit(3); });')
        check_sent('http fetch %r' % rows, run_client('http fetch', [tools['node'], '-'], recorder, utf8(script)))

    code, out, err = run_cli(work, 'http', 'curl-cmd', capture)
    if code:
        refusal_named('http curl-cmd', code, out, err, rows)
    else:
        try:
            words = cmd_words(out)
            passed = [words[i + 1] for i, w in enumerate(words) if w == '-H']
            expected = ['%s%s' % (n, ': ' + v if v else ';') for n, v in sent_rows]
            if body is not None and not any(n.lower() == 'content-type' for n, _ in sent_rows) and method != 'HEAD':
                expected.append('Content-Type:')
            if passed != expected:
                fail('http curl-cmd', 'cmd passes %r\n  expected %r' % (passed, expected))
            if wire_body and words[words.index('--data-raw') + 1] != body:
                fail('http curl-cmd', 'body %r' % words[words.index('--data-raw') + 1][:200])
        except ValueError as e:
            fail('http curl-cmd', '%s in %r' % (e, out[:300]))


def main():
    seed = int(os.environ.get('DS_RANDOM_SEED') or random.SystemRandom().randrange(1 << 32))
    print('seed %d (DS_RANDOM_SEED=%d replays it)' % (seed, seed))
    rng = random.Random(seed)
    tools = {'node': shutil.which('node') or shutil.which('nodejs')}
    for needed in ('bash', 'curl'):
        if not shutil.which(needed):
            print('%s is missing' % needed)
            return 1
    try:
        import requests  # noqa: F401
    except ImportError:
        print('Python requests is missing for %s' % sys.executable)
        return 1
    if not tools['node']:
        print('Node.js is missing')
        return 1
    recorder = Recorder()
    with tempfile.TemporaryDirectory() as work:
        for _ in range(CASES):
            check_cookies(work, rng, recorder, tools)
            check_headers(work, rng, recorder, tools)
    print('requests checked: ' + ', '.join('%s %d' % kv for kv in sorted(sent.items())))
    # Refusing everything would pass the checks above: most must run.
    for client in ('cookies curl', 'cookies python', 'cookies.txt urllib', 'http curl', 'http python', 'http fetch'):
        if sent.get(client, 0) < max(2, CASES // 15):
            fail(client, 'ran %d times in %d cases' % (sent.get(client, 0), CASES))
    for f in failures[:40]:
        print(f[:2000])
    print('%d failures in %d cases a mode' % (len(failures), CASES))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
