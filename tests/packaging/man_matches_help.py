#!/usr/bin/env python3
"""A program's --version names the project's version, and its man page lists
exactly the options its --help lists (every verb's too, for orvex-cli).
  man_matches_help.py PROGRAM NAME VERSION MANPAGE"""
import os
import re
import shutil
import subprocess
import sys

OPTION = re.compile(r"(?<![\w\-\\])--?[A-Za-z][\w-]*")


def output(*command):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    return subprocess.run(command, capture_output=True, text=True, check=True, env=env).stdout


def main():
    program, name, version, manpage = sys.argv[1:5]
    failures = []

    shown = output(program, "--version").strip()
    if shown != f"{name} {version}" and not shown.startswith(f"{name} {version} (git "):
        failures.append(f"--version says '{shown}', expected '{name} {version}'")

    help_text = output(program, "--help")
    verbs = re.findall(r"^  ([a-z][a-z-]*)\b.*\n      \S", help_text, re.M) if name == "orvex-cli" else []
    for verb in verbs:
        help_text += output(program, verb, "--help")
    if "--version" not in help_text:
        failures.append("--help does not list --version")

    with open(manpage, encoding="utf-8") as f:
        page = f.read()
    generated = page.split('.\\" Written by hand')[0]
    generated = re.sub(r"\\f[BIRP]", "", generated).replace("\\-", "-").replace("\\e", "\\")
    in_help, in_man = set(OPTION.findall(help_text)), set(OPTION.findall(generated))
    if in_help - in_man:
        failures.append(f"in --help but not in the man page: {sorted(in_help - in_man)}")
    if in_man - in_help:
        failures.append(f"in the man page but not in --help: {sorted(in_man - in_help)}")
    for verb in verbs:
        if not re.search(rf"^\.SS {re.escape(verb)}\b", page, re.M):
            failures.append(f"the man page has no section for the verb {verb}")

    if shutil.which("groff"):
        warnings = subprocess.run(["groff", "-man", "-ww", "-z", "-Tutf8", manpage], capture_output=True, text=True)
        if warnings.stderr.strip():
            failures.append("groff warns: " + warnings.stderr.strip())

    for failure in failures:
        print(f"FAIL {name}: {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
