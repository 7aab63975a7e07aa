#!/usr/bin/env python3
"""Plants small faults in C++ sources, one at a time, for scripts/mutants.sh.

  mutate.py list FILE...             one line per mutant: id, file, line, column, change
  mutate.py apply ID FILE OUT        writes FILE with mutant ID planted into OUT

The faults: a relational operator moved across its boundary or negated (< and <=, > and >=,
== and !=), && and || swapped, + and - swapped (also += and -=), an integer constant moved
by one either way, true and false swapped, and a statement that is only a call deleted.
Comments, string and character literals and preprocessor lines are never touched. The code
is clang-formatted, so a binary operator always stands between blanks: that is how it is
told from a template's angle brackets, a unary minus or a pointer's arrow.
"""
import re
import sys

SWAPS = {
    " < ": " <= ", " <= ": " < ", " > ": " >= ", " >= ": " > ",
    " == ": " != ", " != ": " == ", " && ": " || ", " || ": " && ",
    " + ": " - ", " - ": " + ", " += ": " -= ", " -= ": " += ",
}
OPERATOR = re.compile("|".join(re.escape(k) for k in sorted(SWAPS, key=len, reverse=True)))
INTEGER = re.compile(r"(?<![\w.'])(0[xX][0-9a-fA-F]+|\d+)([uUlL]*)(?![\w.'])")
BOOLEAN = re.compile(r"\b(true|false)\b")
KEYWORDS = {"return", "if", "else", "while", "for", "switch", "case", "do", "sizeof", "delete",
            "new", "throw", "static_assert", "goto", "break", "continue", "default"}
CALL_HEAD = re.compile(r"[A-Za-z_]\w*(?:(?:::|\.|->)[A-Za-z_]\w*)*(?=\()")


def code_mask(text):
    """A copy of text with comments, literals and preprocessor lines blanked out."""
    out = list(text)
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and c == "#":
            while i < n and text[i] != "\n":
                # a preprocessor line may be continued with a backslash
                if text[i] == "\\" and i + 1 < n and text[i + 1] == "\n":
                    out[i] = " "
                    i += 2
                    continue
                out[i] = " "
                i += 1
            continue
        if c == "\n":
            line_start = True
            i += 1
            continue
        if not c.isspace():
            line_start = False
        if text.startswith("//", i):
            while i < n and text[i] != "\n":
                out[i] = " "
                i += 1
            continue
        if text.startswith("/*", i):
            end = text.index("*/", i) + 2
            for j in range(i, end):
                if text[j] != "\n":
                    out[j] = " "
            i = end
            continue
        if c in "\"'" and not (c == "'" and i > 0 and text[i - 1].isalnum()):
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            for k in range(i + 1, j):  # keep the quotes: a literal is still an operand
                out[k] = "_"
            i = j + 1
            continue
        i += 1
    return "".join(out)


def moved_by_one(literal, delta):
    value = int(literal, 16) if literal[:2].lower() == "0x" else int(literal)
    value += delta
    if literal[:2].lower() == "0x" and value >= 0:
        return literal[:2] + format(value, "X" if any(ch.isupper() for ch in literal[2:]) else "x")
    return str(value)


def statement_calls(code):
    """(start, end) of every statement that is one call and nothing else."""
    spans = []
    for m in CALL_HEAD.finditer(code):
        head = m.group(0)
        if head.split("::")[0].split(".")[0] in KEYWORDS:
            continue
        before = code[:m.start()].rstrip()
        prev = before[-1:] if before else ";"
        starts = prev in ";{}" or (prev == ":" and not before.endswith("::")) \
            or before.endswith("else")
        if prev == ")":  # the body of an if/for/while header
            depth, k = 0, len(before) - 1
            while k >= 0:
                depth += {")": 1, "(": -1}.get(before[k], 0)
                if depth == 0:
                    break
                k -= 1
            starts = re.search(r"\b(if|for|while)\s*$", before[:k]) is not None
        if not starts:
            continue
        depth, k = 0, m.end()
        while k < len(code):
            depth += {"(": 1, ")": -1}.get(code[k], 0)
            if depth == 0:
                break
            k += 1
        rest = code[k + 1:]
        if rest.lstrip().startswith(";"):
            spans.append((m.start(), k + 1 + len(rest) - len(rest.lstrip()) + 1))
    return spans


def mutants(path):
    text = open(path, encoding="utf-8").read()
    code = code_mask(text)
    found = []  # (offset, length, replacement, description)
    for m in OPERATOR.finditer(code):
        found.append((m.start(), len(m.group(0)), SWAPS[m.group(0)],
                      "'%s' -> '%s'" % (m.group(0).strip(), SWAPS[m.group(0)].strip())))
    for m in INTEGER.finditer(code):
        for delta in (1, -1):
            new = moved_by_one(m.group(1), delta)
            found.append((m.start(1), len(m.group(1)), new, "%s -> %s" % (m.group(1), new)))
    for m in BOOLEAN.finditer(code):
        new = "false" if m.group(1) == "true" else "true"
        found.append((m.start(), len(m.group(1)), new, "%s -> %s" % (m.group(1), new)))
    for start, end in statement_calls(code):
        # Lines are kept, so that every later line keeps its number.
        blank = "{}" + "\n" * text[start:end].count("\n")
        first = " ".join(text[start:end].split())
        found.append((start, end - start, blank, "deleted %s" % (first[:60])))
    found.sort(key=lambda f: (f[0], f[3]))
    result = []
    for index, (offset, length, replacement, description) in enumerate(found):
        line = text.count("\n", 0, offset) + 1
        column = offset - (text.rfind("\n", 0, offset) + 1) + 1
        result.append({"id": index, "file": path, "line": line, "column": column,
                       "offset": offset, "length": length, "replacement": replacement,
                       "change": description})
    return text, result


def main(argv):
    if len(argv) >= 2 and argv[1] == "list":
        for path in argv[2:]:
            for m in mutants(path)[1]:
                print("%s\t%d\t%d\t%d\t%s" % (m["file"], m["id"], m["line"], m["column"],
                                              m["change"]))
        return 0
    if len(argv) == 5 and argv[1] == "apply":
        text, found = mutants(argv[3])
        m = found[int(argv[2])]
        mutated = text[:m["offset"]] + m["replacement"] + text[m["offset"] + m["length"]:]
        open(argv[4], "w", encoding="utf-8").write(mutated)
        return 0
    sys.stderr.write(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
