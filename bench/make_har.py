#!/usr/bin/env python3
"""Writes a HAR of about the given size in megabytes (default 50) to stdout:
browser-like entries with header lists, cookies and response bodies, some of
them Chinese and with emoji (raw and escaped), as real pages have, for timing the capture import (`dualsieve-cli --from auto`)."""
import json
import sys

size = int(float(sys.argv[1] if len(sys.argv) > 1 else 50) * 1024 * 1024)
# Optional: a number of entries to spread the size over, and a variant (1) in
# which every 50th request sends another cookie and every 97th is missing,
# as a second recording of the same session would.
count = int(sys.argv[2]) if len(sys.argv) > 2 else None
variant = len(sys.argv) > 3 and sys.argv[3] == '1'
# Optional: Set-Cookie lines a response, for timing the cookie store's replay;
# every tenth is Secure, SameSite=None or a Domain line, so each rule is tried.
set_cookies = int(sys.argv[4]) if len(sys.argv) > 4 else 1
items = 120 if count is None else max(1, size // count // 100)
body = ('{"items": [' + ', '.join('{"id": %d, "name": "商品%d", "note": "lorem 😀 ipsum \\ud83c\\udf89 dolor"}' % (i, i)
                                  for i in range(items)) + ']}')


def set_cookie(n, k):
    if k == 0:
        return 'seen=%d; Path=/; HttpOnly' % n
    extra = ['; Secure', '; SameSite=None; Secure', '; Domain=example.com', '; Path=/api; SameSite=Strict',
             '; Max-Age=3600', '', '; Expires=Wed, 01 Dec 2027 08:00:00 GMT', '', '; SameSite=Lax', ''][k % 10]
    return 'c%d=v%d_%d%s' % (k, n, k, extra)


entries = []
written = 0
n = 0
while (written < size) if count is None else (n < count):
    cookie = 'sid=s%06d; theme=dark; lang=zh-CN; token=eyJhbGciOiJIUzI1NiJ9.%d' % (n, n)
    if variant and n % 50 == 0:
        cookie = cookie.replace('theme=dark', 'theme=light')
    if variant and n % 97 == 0:
        n += 1
        continue
    headers = [{'name': ':authority', 'value': 'shop.example.com'}, {'name': ':method', 'value': 'GET'},
               {'name': ':path', 'value': '/api/items?page=%d' % n}, {'name': 'accept', 'value': 'application/json'},
               {'name': 'accept-language', 'value': 'zh-CN,zh;q=0.9,en;q=0.8'},
               {'name': 'user-agent', 'value': 'Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36'}]
    if n % 3:
        headers.append({'name': 'cookie', 'value': cookie})
    entry = {'startedDateTime': '2026-12-01T08:00:00.000Z', 'time': 12.5,
             'request': {'method': 'GET', 'url': 'https://shop.example.com/api/items?page=%d' % n,
                         'httpVersion': 'http/2.0', 'headers': headers,
                         'cookies': [{'name': 'sid', 'value': 's%06d' % n}], 'queryString': [],
                         'headersSize': -1, 'bodySize': 0},
             'response': {'status': 200, 'statusText': '', 'httpVersion': 'http/2.0',
                          'headers': [{'name': 'content-type', 'value': 'application/json; charset=utf-8'}] +
                                     [{'name': 'set-cookie', 'value': set_cookie(n, k)} for k in range(set_cookies)],
                          'cookies': [], 'content': {'size': len(body), 'mimeType': 'application/json', 'text': body},
                          'redirectURL': '', 'headersSize': -1, 'bodySize': len(body)},
             'cache': {}, 'timings': {'send': 0.1, 'wait': 10.0, 'receive': 2.4}}
    text = json.dumps(entry, ensure_ascii=False)
    entries.append(text)
    written += len(text.encode('utf-8')) + 2
    n += 1
sys.stdout.write('{"log": {"version": "1.2", "creator": {"name": "WebInspector", "version": "537.36"}, '
                 '"pages": [], "entries": [\n' + ',\n'.join(entries) + ']}}\n')
