#!/usr/bin/env python3
"""Checks a release zip as a user receives it: its name carries the project
version, it holds both programs, the guide, the licence and SHA256SUMS, each
sum matches, and the programs are 32-bit Windows executables."""
import hashlib
import re
import struct
import sys
import zipfile

zip_path, cmake_lists = sys.argv[1], sys.argv[2]
version = re.search(r'project\(Dualsieve VERSION (\S+)', open(cmake_lists).read()).group(1)
assert zip_path.endswith(f'/Dualsieve-{version}-win32.zip'), (zip_path, version)
with zipfile.ZipFile(zip_path) as z:
    names = z.namelist()
    assert names == sorted(names), names
    for wanted in ('Dualsieve.exe', 'dualsieve-cli.exe', 'README.zh-CN.md', 'LICENSE', 'SHA256SUMS'):
        assert wanted in names, (wanted, names)
    sums = {}
    for line in z.read('SHA256SUMS').decode('ascii').splitlines():
        digest, name = line.split('  ', 1)
        sums[name] = digest
    assert sorted(sums) == sorted(n for n in names if n != 'SHA256SUMS'), sums
    for name, digest in sums.items():
        assert hashlib.sha256(z.read(name)).hexdigest() == digest, name
    assert b'MIT License' in z.read('LICENSE')
    for exe in ('Dualsieve.exe', 'dualsieve-cli.exe'):
        data = z.read(exe)
        pe = struct.unpack_from('<I', data, 0x3C)[0]
        assert data[pe:pe + 4] == b'PE\0\0', exe
        machine, = struct.unpack_from('<H', data, pe + 4)
        assert machine == 0x14C, (exe, hex(machine))  # i386
        stamp, = struct.unpack_from('<I', data, pe + 8)
        assert stamp == 0, (exe, 'link time in the header')
    infos = z.infolist()
    assert len({i.date_time for i in infos}) == 1, 'entries of one time'
print(f'check_package: {len(names)} entries, version {version}')
