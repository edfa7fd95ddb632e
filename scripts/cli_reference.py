#!/usr/bin/env python3
"""The command reference in the READMEs, made from the companion's own help.

    cli_reference.py [--check] [--emulator WINE] CLI FILE...

Between the lines `<!-- cli-reference begin -->` and `<!-- cli-reference end -->`
each FILE gets `dualsieve-cli help COMMAND` of every command the general help
lists, as code blocks. With --check nothing is written: the exit status is 1
and the first differing line is shown when a file has drifted from the program.
"""
import argparse
import re
import subprocess
import sys

BEGIN = "<!-- cli-reference begin -->"
END = "<!-- cli-reference end -->"


def run(command, *args):
    out = subprocess.run(command + list(args), capture_output=True, check=True).stdout
    return out.decode("utf-8").replace("\r\n", "\n")


def reference(command):
    names = re.findall(r"^(?:usage:)? +dualsieve-cli ([a-z]+) ", run(command, "--help"), re.M)
    blocks = []
    for name in names:
        text = run(command, "help", name).rstrip("\n")
        body = "\n".join(("    " + line) if line else "" for line in text.split("\n"))
        blocks.append(f"#### `dualsieve-cli {name}`\n\n{body}\n")
    return "\n".join(blocks)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--emulator")
    parser.add_argument("cli")
    parser.add_argument("files", nargs="+")
    a = parser.parse_args()
    command = ([a.emulator] if a.emulator else []) + [a.cli]
    wanted = reference(command)
    status = 0
    for path in a.files:
        with open(path, encoding="utf-8") as f:
            text = f.read()
        begin, end = text.find(BEGIN), text.find(END)
        if begin < 0 or end < begin:
            print(f"{path}: no {BEGIN} … {END} section")
            status = 1
            continue
        current = text[begin + len(BEGIN):end].strip("\n")
        if current == wanted.strip("\n"):
            continue
        if a.check:
            old, new = current.split("\n"), wanted.strip("\n").split("\n")
            at = next((i for i in range(min(len(old), len(new))) if old[i] != new[i]), min(len(old), len(new)))
            print(f"{path}: the command reference has drifted from the program at its line {at + 1}:")
            print(f"  README:  {old[at] if at < len(old) else '(ends)'}")
            print(f"  program: {new[at] if at < len(new) else '(ends)'}")
            print("run scripts/cli_reference.py with the program to bring it up to date")
            status = 1
            continue
        with open(path, "w", encoding="utf-8") as f:
            f.write(text[:begin + len(BEGIN)] + "\n\n" + wanted + "\n" + text[end:])
    return status


if __name__ == "__main__":
    sys.exit(main())
