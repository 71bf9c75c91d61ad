#!/usr/bin/env python3
"""Writes a man page from a program's own --help, so the page cannot drift
from what the program says about itself.

The help text is read as: "usage:" lines (the synopsis), free paragraphs
(the description) and "heading:" blocks whose items are indented terms with
their explanation after two or more spaces or on deeper-indented lines.  With
--verbs, each item of the "verbs:" block is a verb whose own `PROG VERB --help`
becomes a subsection.  Hand-written sections (roff) follow with --append.
"""
import argparse
import re
import subprocess
import sys


def run_help(program, *args):
    result = subprocess.run([program, *args, "--help"], capture_output=True, text=True, check=True)
    return result.stdout


def roff(text):
    text = text.replace("\\", "\\e")
    return "\\&" + text if text[:1] in (".", "'") else text


def roff_term(text):
    # Options and synopses: a real minus sign, so they can be copied and searched.
    return roff(text).replace("-", "\\-")


class Help:
    """One --help text, split into its parts."""

    def __init__(self, text, program_path, name):
        self.usage, self.paragraphs, self.blocks = [], [], []
        lines = [line.rstrip() for line in text.replace(program_path, name).splitlines()]
        block = None  # "usage", a (heading, items) block, or None for free text
        paragraph = []

        def end_paragraph():
            if paragraph:
                self.paragraphs.append(" ".join(paragraph))
                paragraph.clear()

        for line in lines:
            stripped = line.strip()
            indented = line.startswith(" ")
            if re.match(r"(?i)usage:", stripped):
                self.usage.append(re.sub(r"(?i)^usage:\s*", "", stripped))
                block = "usage"
                continue
            if block == "usage" and indented and stripped:
                self.usage[-1] += " " + stripped
                continue
            if not stripped:
                end_paragraph()
                block = None if block == "usage" else block
                continue
            if not indented and stripped.endswith(":") and len(stripped.split()) <= 3:
                block = (stripped[:-1], [])
                self.blocks.append(block)
                continue
            if block is None and indented and stripped.startswith("-"):
                # Options listed straight under the text, without a heading.
                end_paragraph()
                block = ("options", [])
                self.blocks.append(block)
            if isinstance(block, tuple) and indented:
                items = block[1]
                indent = len(line) - len(line.lstrip())
                if items and indent > items[-1][2]:
                    items[-1][1] = (items[-1][1] + " " + stripped).strip()
                else:
                    parts = re.split(r"\s{2,}", stripped, maxsplit=1)
                    items.append([parts[0], parts[1] if len(parts) > 1 else "", indent])
                continue
            block = None
            paragraph.append(stripped)
        end_paragraph()


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--program", required=True, help="the built program to ask")
    parser.add_argument("--name", required=True, help="its installed name")
    parser.add_argument("--summary", required=True, help="one line for NAME")
    parser.add_argument("--version", required=True)
    parser.add_argument("--date", required=True)
    parser.add_argument("--description", default="", help="a paragraph before the help's own")
    parser.add_argument("--verbs", action="store_true", help="document every verb of the 'verbs' block")
    parser.add_argument("--append", nargs="*", default=[], help="roff files appended as they are")
    parser.add_argument("--see-also", nargs="*", default=[], help="related pages of section 1")
    parser.add_argument("-o", "--output", required=True)
    args = parser.parse_args()

    overview = Help(run_help(args.program), args.program, args.name)
    out = [
        f'.TH {args.name.upper()} 1 "{args.date}" "{args.name} {args.version}" "User Commands"',
        ".SH NAME",
        f"{args.name} \\- {roff(args.summary)}",
        ".SH SYNOPSIS",
    ]
    for usage in overview.usage:
        out += [".nf", roff_term(usage), ".fi"]
    paragraphs = ([args.description] if args.description else []) + overview.paragraphs
    if paragraphs:
        out += [".SH DESCRIPTION", "\n.PP\n".join(roff(p) for p in paragraphs)]

    for heading, items in overview.blocks:
        out.append(".SH " + roff(heading.upper()))
        for term, explanation, _ in items:
            if args.verbs and heading.lower() == "verbs":
                verb = term.split()[0]
                sub = Help(run_help(args.program, verb), args.program, args.name)
                out += [".SS " + roff_term(term), roff(" ".join(sub.paragraphs) or explanation)]
                for _, options in sub.blocks:
                    for option, what, _ in options:
                        out += [".TP", "\\fB" + roff_term(option) + "\\fR", roff(what)]
            else:
                out += [".TP", "\\fB" + roff_term(term) + "\\fR", roff(explanation)]

    out.append('.\\" Written by hand from here on.')
    for path in args.append:
        with open(path, encoding="utf-8") as f:
            out.append(f.read().rstrip("\n"))
    if args.see_also:
        out.append(".SH SEE ALSO")
        out.append(",\n".join(".BR " + roff_term(page) + " (1)" for page in args.see_also))
    with open(args.output, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    sys.exit(main())
