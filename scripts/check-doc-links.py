#!/usr/bin/env python3
"""Fails when a relative link or image in README.md or in a Markdown file under docs/ leads
nowhere: a file or folder that does not exist, or a "#section" that names no heading of the
file it points into (headings are turned into anchors as the usual Markdown hosts do: lower
case, punctuation dropped, spaces as hyphens). Links to web addresses are not followed. Text in
code spans and code blocks is not a link. docs/README-draft.md is read as if it stood at the
root, where it is meant to go.

    check-doc-links.py ROOT          the repository at ROOT
    check-doc-links.py --self-test   the checker against documents made for the purpose
"""
import os
import re
import sys
import tempfile

LINK = re.compile(r"!?\[(?:[^\[\]]|\[[^\]]*\])*\]\(\s*<?([^)\s>]+)>?(?:\s+\"[^\"]*\")?\s*\)")
REFERENCE = re.compile(r"^\s{0,3}\[[^\]]+\]:\s*<?(\S+?)>?(?:\s+.*)?$")
HTML = re.compile(r"""<(?:img|a)\s[^>]*?(?:src|href)\s*=\s*["']([^"']+)["']""", re.I)
SCHEME = re.compile(r"^[a-zA-Z][a-zA-Z0-9+.-]*:")
STAND_INS = {"docs/README-draft.md": ""}  # read from this folder instead of its own


def prose_lines(text, keep_code=False):
    """The lines outside fenced code blocks, with inline code spans blanked out unless kept."""
    fence = None
    for number, line in enumerate(text.split("\n"), 1):
        stripped = line.lstrip()
        marker = re.match(r"(`{3,}|~{3,})", stripped)
        if fence:
            if marker and stripped.startswith(fence):
                fence = None
            continue
        if marker:
            fence = marker.group(1)
            continue
        yield number, line if keep_code else re.sub(r"(`+)(?:(?!\1).)+?\1", "", line)


def anchor(heading):
    text = re.sub(r"`", "", heading.strip().lower())
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


def anchors_of(path):
    found, seen = set(), {}
    with open(path, encoding="utf-8") as f:
        for _, line in prose_lines(f.read(), keep_code=True):
            m = re.match(r"^\s{0,3}#{1,6}\s+(.*?)\s*#*\s*$", line)
            if not m:
                continue
            slug = anchor(m.group(1))
            n = seen.get(slug, 0)
            seen[slug] = n + 1
            found.add(slug if n == 0 else "%s-%d" % (slug, n))
    return found


def targets(text):
    for number, line in prose_lines(text):
        for pattern in (LINK, HTML):
            for m in pattern.finditer(line):
                yield number, m.group(1)
        m = REFERENCE.match(line)
        if m:
            yield number, m.group(1)


def check_file(root, relative):
    """The problems of one document, one line each."""
    path = os.path.join(root, relative)
    base = os.path.join(root, STAND_INS.get(relative, os.path.dirname(relative)))
    problems = []
    with open(path, encoding="utf-8") as f:
        text = f.read()
    for number, target in targets(text):
        if SCHEME.match(target):
            continue
        where = "%s:%d: %s" % (relative, number, target)
        file_part, _, section = target.partition("#")
        linked = os.path.normpath(os.path.join(base, file_part)) if file_part else path
        if not os.path.exists(linked):
            problems.append(where + ": no such file")
        elif section and linked.endswith(".md") and section not in anchors_of(linked):
            problems.append(where + ": no such heading")
    return problems


def documents(root):
    found = ["README.md"] if os.path.exists(os.path.join(root, "README.md")) else []
    for folder, _, files in os.walk(os.path.join(root, "docs")):
        for name in sorted(files):
            if name.endswith(".md"):
                found.append(os.path.relpath(os.path.join(folder, name), root))
    return found


def check(root):
    problems = []
    for relative in documents(root):
        problems += check_file(root, relative)
    return problems


def self_test():
    with tempfile.TemporaryDirectory() as root:
        os.makedirs(os.path.join(root, "docs", "pics"))
        open(os.path.join(root, "docs", "pics", "a.png"), "wb").close()
        files = {
            "README.md": "# Top\n[guide](docs/guide.md#second-part) ![p](docs/pics/a.png)\n"
                         "[web](https://example.org/x) [gone](docs/gone.md)\n",
            "docs/guide.md": "# First\n## Second part\n[back](../README.md#top)\n"
                             "[code](#a-heading-with-code) [dup](#first-1)\n"
                             "![missing](pics/b.png) [self](#first) [bad](#third)\n"
                             "`[code](nowhere.md)`\n```\n[block](nowhere.md)\n```\n"
                             "[ref]: pics/a.png\n[ref2]: pics/c.png\n"
                             "<img src=\"pics/d.png\">\n## A heading: with `code`\n"
                             "# First\n",
            "docs/README-draft.md": "[manual](docs/guide.md) [wrong](guide.md)\n",
        }
        for name, text in files.items():
            with open(os.path.join(root, name), "w", encoding="utf-8") as f:
                f.write(text)
        got = sorted(check(root))
        want = sorted([
            "README.md:3: docs/gone.md: no such file",
            "docs/guide.md:5: pics/b.png: no such file",
            "docs/guide.md:5: #third: no such heading",
            "docs/guide.md:11: pics/c.png: no such file",
            "docs/guide.md:12: pics/d.png: no such file",
            "docs/README-draft.md:1: guide.md: no such file",
        ])
        if got != want:
            print("self-test: found\n  %s\nexpected\n  %s" % ("\n  ".join(got), "\n  ".join(want)))
            return 1
    print("self-test: the checker finds the broken links and passes the good ones")
    return 0


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    root = sys.argv[1]
    problems = check(root)
    for p in problems:
        print(p)
    if problems:
        print("%d broken links or pictures" % len(problems))
        return 1
    print("every relative link and picture in %d documents resolves" % len(documents(root)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
