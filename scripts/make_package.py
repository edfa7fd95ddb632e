#!/usr/bin/env python3
"""Writes the release zip from the given files, the same bytes every time.

Usage: make_package.py ZIP EPOCH NAME=PATH...

Entries are sorted, carry the time EPOCH (UTC), MS-DOS attributes and the same
compression; the pictures the Markdown guides show go along under their own
paths, and SHA256SUMS lists every other entry. Text files get CR LF line ends,
and Markdown a UTF-8 byte order mark, so that Notepad shows them right.
"""
import hashlib
import os
import re
import sys
import time
import zipfile

TEXT_SUFFIXES = ('.md', 'LICENSE')


def as_shipped(name, data):
    if not name.endswith(TEXT_SUFFIXES):
        return data
    data = data.replace(b'\r\n', b'\n').replace(b'\n', b'\r\n')
    if name.endswith('.md') and not data.startswith(b'\xef\xbb\xbf'):
        data = b'\xef\xbb\xbf' + data
    return data


def pictures_of(guide_path, data):
    """Local pictures a Markdown guide shows, as (name in the zip, path)."""
    base = os.path.dirname(guide_path)
    found = []
    for target in re.findall(rb'!\[[^\]]*\]\(([^)\s]+)\)', data):
        name = target.decode('utf-8')
        if '://' in name or name.startswith('/') or '..' in name.split('/'):
            continue
        found.append((name, os.path.join(base, name)))
    return found


def main(argv):
    if len(argv) < 4:
        sys.exit(__doc__)
    zip_path, epoch, pairs = argv[1], int(argv[2]), argv[3:]
    files = {}
    for pair in pairs:
        name, path = pair.split('=', 1)
        with open(path, 'rb') as f:
            data = f.read()
        files[name] = as_shipped(name, data)
        if name.endswith('.md'):
            for picture, picture_path in pictures_of(path, data):
                with open(picture_path, 'rb') as f:
                    files[picture] = f.read()
    sums = ''.join(f'{hashlib.sha256(files[n]).hexdigest()}  {n}\n' for n in sorted(files))
    files['SHA256SUMS'] = sums.encode('ascii')
    # Zip times are local times of two-second resolution, from 1980 on.
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    temporary = zip_path + '.part'
    with zipfile.ZipFile(temporary, 'w') as z:
        for name in sorted(files):
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.create_system = 0
            info.external_attr = 0x20  # archive
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, files[name], compresslevel=9)
    os.replace(temporary, zip_path)


if __name__ == '__main__':
    main(sys.argv)
