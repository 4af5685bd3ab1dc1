#!/usr/bin/env python3
"""Checks the naming rules of the code base (docs/architecture.md, "Names") over src/, tools/,
tests/, bench/ and fuzz/:

1. a type declared with a T, E or I prefix must be one of the published type names
   (published_types.txt, one a line);
2. none of our identifiers outside a win32/ backend folder is the name of a <windows.h> macro
   (windows_macros.txt): such a name would be renamed by the preprocessor in a Windows file;
3. a parameter list never takes a row before a column.

Prints one located line per finding and exits 1 when there is any; exits 0 otherwise.
Usage: names_check.py SOURCE_ROOT
"""
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
FOLDERS = ("src", "tools", "tests", "bench", "fuzz")

TYPE_DECL = re.compile(
    r"\b(?:class|struct|enum(?:\s+class)?|using|typedef)\s+(?:alignas\(\d+\)\s+)?([TEI][A-Z]\w*)\b(?!\s*::)")
PARAM = re.compile(
    r"^(?:const\s+)?(?:u?int(?:8|16|32|64)_t|int|size_t|auto)\s*&?\s+(\w+)\s*(?:=\s*[^,()]+)?$")
PARAM_LIST = re.compile(r"\b\w+\s*\(([^()]*)\)")
# A name that holds a row or a column (not a count of them, not a colour, not "arrow").
ROW = re.compile(r"^(?:r\d?|y)$|(?<![a-z])[rR]ow(?!s)|(?<=[a-z])Row(?!s)")
COL = re.compile(r"^(?:c\d?|x)$|(?<![a-z])[cC]ol(?!s|o)|(?<=[a-z])Col(?!s|o)")
IDENT = re.compile(r"\b[A-Za-z_]\w*\b")


def words(name):
    with open(os.path.join(HERE, name), encoding="utf-8") as f:
        return {line.strip() for line in f if line.strip() and not line.startswith("#")}


def strip_comments_and_strings(text):
    """Blanks comments, string and character literals, keeping line breaks and offsets."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            out.append(c + " " * (j - i - 2) + (c if j - i >= 2 else ""))
            i = j
        else:
            out.append(c)
            i += 1
    return "".join(out)


def check_text(path, text, published, macros, in_win32):
    """Returns the findings of one file as "path:line: message" lines."""
    code = strip_comments_and_strings(text)
    findings = []

    def at(offset):
        return "%s:%d: " % (path, code.count("\n", 0, offset) + 1)

    for m in TYPE_DECL.finditer(code):
        if m.group(1) not in published:
            findings.append(at(m.start(1)) + "type '%s' takes a T/E/I prefix but is not a "
                            "published name: give it a plain name" % m.group(1))
    if not in_win32:
        for m in IDENT.finditer(code):
            if m.group(0) in macros and not code.startswith("#include", code.rfind("\n", 0, m.start()) + 1):
                findings.append(at(m.start()) + "'%s' is a <windows.h> macro name" % m.group(0))
    for m in PARAM_LIST.finditer(code):
        names = []
        for arg in m.group(1).split(","):
            p = PARAM.match(arg.strip())
            names.append(p.group(1) if p else "")
        rows = [i for i, a in enumerate(names) if a and ROW.search(a)]
        cols = [i for i, a in enumerate(names) if a and COL.search(a)]
        if rows and cols and rows[0] < cols[0]:
            findings.append(at(m.start()) + "parameters take row '%s' before column '%s': pass "
                            "the column first" % (names[rows[0]], names[cols[0]]))
    return findings


# Each case: a source text, whether it is a Windows file, and the finding kinds it must give.
SELF_CASES = [
    ("class TPoint {};", False, []),
    ("class THelper {};", False, ["prefix"]),
    ("struct alignas(8) EThing { int a; };", False, ["prefix"]),
    ("enum class IKind : int { A };", False, ["prefix"]),
    ("using TAlias = int;", False, ["prefix"]),
    ("// class TInComment {};\nconst char* s = \"class TInString\";", False, []),
    ("TPoint p; TRect::Left x;", False, []),
    ("bool DeleteFile(const std::string& path);", False, ["macro"]),
    ("bool DeleteFile(const std::string& path);", True, []),
    ("int near = 1;", False, ["macro"]),
    ("#include \"platform/DeleteFile.h\"", False, []),
    ("// DeleteFile is a macro", False, []),
    ("void F(int32_t row, int32_t col);", False, ["order"]),
    ("void F(uint16_t sheet, int32_t& r, int32_t& c);", False, ["order"]),
    ("void F(uint16_t rowWord, uint16_t columnWord);", False, ["order"]),
    ("void F(int32_t col, int32_t row);", False, []),
    ("void F(uint32_t rows, uint16_t cols);", False, []),
    ("void F(int32_t left, int32_t top, int32_t right, int32_t bottom);", False, []),
    ("void F(size_t rowAt, size_t columnAt, int32_t row, int32_t column);", False, ["order"]),
    ("void F(int throwCount, int colour, int arrow, int col);", False, []),
    ("void F(int32_t endRow, uint16_t endCol);", False, ["order"]),
]


def self_test(published, macros):
    """The checks must find what they are for: a check that cannot fail checks nothing."""
    kinds = (("prefix", "T/E/I prefix"), ("macro", "macro name"), ("order", "before column"))
    failures = 0
    for text, win32, want in SELF_CASES:
        got = [k for line in check_text("case", text, published, macros, win32)
               for k, marker in kinds if marker in line]
        if got != want:
            print("self-test: %r gives %s, expected %s" % (text, got, want))
            failures += 1
    return failures


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[-1])
        return 2
    root = argv[1]
    published = words("published_types.txt")
    macros = words("windows_macros.txt")
    if self_test(published, macros):
        return 3
    findings = []
    for folder in FOLDERS:
        for base, _, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp", ".c")):
                    continue
                full = os.path.join(base, name)
                rel = os.path.relpath(full, root).replace(os.sep, "/")
                with open(full, encoding="utf-8", errors="replace") as f:
                    text = f.read()
                findings += check_text(rel, text, published, macros, "/win32/" in rel)
    for line in findings:
        print(line)
    if findings:
        print("%d naming rule finding(s); the rules are in docs/architecture.md, \"Names\"" % len(findings))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
