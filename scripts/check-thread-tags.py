#!/usr/bin/env python3
"""Fails when a tagged entry does not check its tag (framework/base/ThreadRole.h).

A comment that names [main-thread], [audio-thread] or (locked) heads an entry: the first
function declared after it. The tag is checked when a definition of that function (inline, or
Class::Name / a free function in a source file of framework/ or src/) holds a check macro among
its first statements; for a pure virtual or an empty default, a checked override counts. Tags
that promise no role ("some hosts", [any-thread] without (locked)) need no check. The few entries
that need none are listed below with the reason; a name listed but checked fails too, so the
list stays true.
"""
import os
import re
import sys

FOLDERS = ["framework", "src"]
CHECK = re.compile(r"\bORX_(MAIN_THREAD|AUDIO_THREAD|LOCKED|UNLOCKED|MAIN_THREAD_LOCKED|"
                   r"AUDIO_THREAD_LOCKED)\(")
TAG = re.compile(r"\[(main|audio)-thread\]|\(locked\)")
# Entries whose tag holds without a check, and why.
EXEMPT = {
    # The process entries make the calling thread the audio thread: they are the rule itself.
    "VSTProcess", "VSTProcessReplacing", "VSTProcessDoubleReplacing", "Run",
    # Called only by the frame's painting (IGraphics::PaintDirty), which checks.
    "Paint",
    # Empty default of the view: the editor's implementation checks, and an instance without an
    # editor has nothing to get wrong.
    "PresetTreeChanged",
    # Plain reads of a member (and one plain write) in a tagged group: the tag says who may call
    # them, a check would cost more than the read and guard nothing the caller's entry does not.
    "Width", "Height", "IsWindowOpen", "WindowHandle", "NControls", "GetControl",
    "PushesDeferred", "Changed", "GetText", "Style", "InputData", "OutputData", "Mapped",
    "View", "Pulse", "SetEditName",
    # Destructors that are defaults: nothing runs.
    "~IControl", "~IObserverInterface", "~ITextStyle",
}
DECL = re.compile(r"(~?[A-Za-z_]\w*)\s*\(")
NOT_NAMES = {"if", "for", "while", "switch", "return", "sizeof", "static_cast", "noexcept",
             "ORX_VSTCALL", "decltype", "alignas", "operator", "__attribute__",
             "visibility"}


def sources(root):
    for folder in FOLDERS:
        for base, _, files in os.walk(os.path.join(root, folder)):
            for name in files:
                if name.endswith((".h", ".cpp")):
                    yield os.path.join(base, name)


def current_class(line, cls):
    """The class whose body a line of a file lies in (top-level classes only)."""
    c = re.match(r"^(?:class|struct) (\w+)[^;]*$", line)
    if c:
        return c.group(1)
    return None if line.startswith("};") else cls


def body_checked(lines, start):
    """Whether the body of the function declared at lines[start] checks within its first lines:
    None when it has no body there (a declaration)."""
    for i in range(start, min(start + 12, len(lines))):
        text = lines[i].strip()
        if text == "{":
            # An out-of-line body (after any member initialisers).
            return any(CHECK.search(line) for line in lines[i + 1:i + 5])
        if text.startswith((":", ",")) or (i > start and text.startswith(("m", "I"))):
            continue  # member initialisers
        if text.endswith(";") and "{" not in text:
            return None
        if "{" in text and ")" in text and not text.startswith((":", ",")):
            rest = text[text.index("{"):]
            if CHECK.search(rest):
                return True
            if "}" in rest:
                return False
            return any(CHECK.search(line) for line in lines[i + 1:i + 5])
    return None


def definitions(files):
    """name -> whether an out-of-line definition of it checks. A constructor whose base's
    constructor checks is checked too: the base's runs first."""
    own = {}
    bases = {}
    head = re.compile(r"^\s*(?:[A-Za-z_][^;()=]*?[\s*&])?(?:\w+(?:<[^>]*>)?::)*(~?\w+)\s*\(")
    base = re.compile(r"^\s*:\s*(\w+)\s*[({]")
    inherit = re.compile(r"^\s*using (\w+)::\1;")
    for lines in files.values():
        cls = None
        for i, line in enumerate(lines):
            cls = current_class(line, cls)
            u = inherit.match(line)
            if u and cls:
                # Inherited constructors: the base's runs.
                own.setdefault(cls, False)
                bases.setdefault(cls, set()).add(u.group(1))
                continue
            m = head.match(line)
            if not m or line.lstrip().startswith(("#", "//", "return", "using", "namespace")):
                continue
            checked = body_checked(lines, i)
            if checked is None:
                continue
            name = m.group(1)
            q = re.search(r"(\w+)(?:<[^>]*>)?::~?\w+\s*\(", line)
            owner = q.group(1) if q else (cls if line.startswith(" ") else None)
            for key in [name] + ([f"{owner}::{name}"] if owner else []):
                own[key] = own.get(key, False) or checked
            for k in range(i + 1, min(i + 4, len(lines))):
                b = base.match(lines[k])
                if b:
                    bases.setdefault(name, set()).add(b.group(1))
                    break

    def resolved(name, seen=()):
        if own.get(name):
            return True
        return any(resolved(b, seen + (name,)) for b in bases.get(name, ()) if b not in seen)

    return {name: resolved(name) for name in own}


def tagged_entries(lines):
    cls = None
    i = 0
    while i < len(lines):
        for line in lines[i:i + 1]:
            cls = current_class(line, cls)
        text = lines[i].strip()
        if not (text.startswith("//") and TAG.search(text)):
            i += 1
            continue
        comment = text
        j = i + 1
        while j < len(lines) and lines[j].strip().startswith("//"):
            comment += " " + lines[j].strip()
            j += 1
        i = j
        if "some hosts" in comment:
            continue
        role = re.search(r"\[(main|audio)-thread\]", comment)
        if not role and not comment.startswith("// (locked)") and not (
                "[any-thread] (locked)" in comment):
            continue
        if j >= len(lines) or not lines[j].strip() or lines[j].lstrip().startswith(
                ("class", "struct", "enum", "#", "namespace", "private", "public", "protected")):
            continue
        # Every declaration up to the next blank or comment line: the tag heads the group.
        k = j
        carried = False
        while k < len(lines) and lines[k].strip() and not lines[k].lstrip().startswith(
                ("//", "private", "public", "protected", "#")):
            line = lines[k]
            if line == "{":
                break  # an out-of-line body: the group was its definition
            indent = len(line) - len(line.lstrip())
            m = next((d for d in DECL.finditer(line) if d.group(1) not in NOT_NAMES), None)
            starts = carried or k == j or not lines[k - 1].rstrip().endswith((",", "(")) and (
                lines[k - 1].rstrip().endswith((";", "}")))
            carried = starts and m is None
            deleted = re.search(r"=\s*delete\s*;", " ".join(lines[k:k + 2])) is not None
            if m and starts and indent <= 4 and not deleted:
                decl = " ".join(lines[k:k + 3])
                virtual = re.search(r"\bvirtual\b|\boverride\b|\bfinal\b", decl) is not None
                yield m.group(1), k + 1, k, cls, virtual
            k += 1
        i = k


def derived_classes(files):
    """class -> the classes derived from it, directly or not (base lists on the class's line)."""
    parents = {}
    for lines in files.values():
        for line in lines:
            m = re.match(r"^\s*(?:class|struct) (\w+)(?: final)?\s*:\s*([^{;]*)", line)
            if m:
                parents[m.group(1)] = set(re.findall(r"(?:public|protected|private)?\s*(\w+)",
                                                     m.group(2))) - {"public", "protected",
                                                                     "private"}
    below = {}
    for child in parents:
        todo, seen = list(parents[child]), set()
        while todo:
            base = todo.pop()
            if base in seen:
                continue
            seen.add(base)
            below.setdefault(base, set()).add(child)
            todo.extend(parents.get(base, ()))
    return below


SELF_TEST = {
    "framework/base/Host.h": """class Host
{
public:
    // [main-thread] Checked in its source.
    virtual void Open() noexcept;
    // [audio-thread] (locked) Checked by no override.
    virtual void Play() noexcept = 0;
    // [main-thread] A group: the second is not checked.
    void First() noexcept { ORX_MAIN_THREAD(); }
    void Second() noexcept;
    // [any-thread] Promises nothing.
    void Free() noexcept;
};
""",
    "framework/base/Host.cpp": """void Host::Open() noexcept
{
    ORX_MAIN_THREAD();
}

void Host::Second() noexcept
{
    Open();
}
""",
    "src/Real.h": """class Real : public Host
{
public:
    void Play() noexcept override;
};
""",
    "src/Real.cpp": """void Real::Play() noexcept
{
    Open();
}

// Checks, but overrides nothing of Host's.
void Other::Play() noexcept
{
    ORX_AUDIO_THREAD();
}
""",
}


def self_test():
    """The checker on a tree made to break it: exactly the two unchecked entries are found."""
    import io
    import contextlib
    import tempfile
    with tempfile.TemporaryDirectory() as root:
        for name, text in SELF_TEST.items():
            os.makedirs(os.path.dirname(os.path.join(root, name)), exist_ok=True)
            with open(os.path.join(root, name), "w", encoding="utf-8") as f:
                f.write(text)
        out = io.StringIO()
        with contextlib.redirect_stdout(out):
            status = check(root, exempt=set())
    found = sorted(line.split(": ")[1] for line in out.getvalue().splitlines() if ": " in line)
    want = ["Play does not check its thread tag", "Second does not check its thread tag"]
    if status != 1 or found != want:
        print(out.getvalue())
        print(f"self-test: expected {want}, found {found}")
        return 1
    print("self-test: the unchecked entries are found, the checked ones pass")
    return 0


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    return check(root, EXEMPT)


def check(root, exempt):
    files = {}
    for path in sources(root):
        if path.endswith(("ThreadTags.h", "ThreadRole.h")):
            continue
        with open(path, encoding="utf-8") as f:
            files[os.path.relpath(path, root)] = f.read().split("\n")
    defs = definitions(files)
    below = derived_classes(files)
    failures = []
    entries = 0
    exempt_seen = set()
    for path, lines in sorted(files.items()):
        for name, line, k, cls, virtual in tagged_entries(lines):
            entries += 1
            # Its own definition, or for a virtual one an override's in a class derived from
            # its own; a free function's or a constructor's by its name.
            owners = {cls} | (below.get(cls, set()) if virtual else set())
            checked = (body_checked(lines, k) is True or
                       any(defs.get(f"{owner}::{name}", False) for owner in owners) or
                       ((not cls or name == cls) and defs.get(name, False)))
            if name in exempt:
                exempt_seen.add(name)
                if checked:
                    failures.append(f"{path}:{line}: {name} is listed as needing no check but checks")
                continue
            if not checked:
                failures.append(f"{path}:{line}: {name} does not check its thread tag")
    for name in sorted(exempt - exempt_seen):
        failures.append(f"{name} is listed as needing no check but is no tagged entry")
    for failure in failures:
        print(failure)
    print(f"{entries} tagged entries, {len(failures)} without their check")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
