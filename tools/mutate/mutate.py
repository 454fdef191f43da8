#!/usr/bin/env python3
"""Mutation run: small faults put one at a time into a scratch copy of the
sources under build/mutate/, to show which of them the tests catch.

    mutate.py core [FILE...] [--jobs N]
        the portable core (src/**/*.cpp without _win/_native) against the
        native tier; mutants of the readers and the decoder (FUZZ_TARGETS)
        that survive it also get a short, seeded run of their fuzz target.
    mutate.py win --tree win32|win64 [--seed N] [--count N]
        a seeded sample of the mutants of src/**/*_win.cpp against the Win32
        tier and, where they survive it, the end-to-end tier, under the Wine
        harness that ./run mutate win has started.
    mutate.py win --tree T [--survivors] FILE...
        every mutant of the files named (any under src/), or only those that
        survived the last core run, against the same two tiers.

Operators, on code only (not comments, preprocessor lines or the insides
of literals, which only the literal operator shortens as a whole):
    rel     < <= > >= == != flipped (<→<=, ==→!=, ...)
    return  return 0 ↔ return -1, true ↔ false
    bound   an integer literal one up and one down
    logic   && ↔ ||, a ! dropped
    cond    one operand of && or || dropped
    arith   + ↔ -, += ↔ -=, << ↔ >>, ++ ↔ --
    string  strcmp made a prefix compare, strlen one short
    literal a string literal one character short
    stmt    a statement on a line of its own made empty

Judging: a mutant is killed when a test program fails, crashes or runs past
its time limit, or when the fuzz target finds something; it survives when
all of them pass; one that does not compile counts as neither. Survivors
listed in equivalent.txt, each with the reason it changes nothing, and in
unreachable.txt, each with the caller or bound that keeps every input
showing it away, are reported apart.
"""

import argparse
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SCRATCH = os.path.join(ROOT, "build", "mutate")
EQUIVALENT_LIST = os.path.join(ROOT, "tools", "mutate", "equivalent.txt")
UNREACHABLE_LIST = os.path.join(ROOT, "tools", "mutate", "unreachable.txt")

# The fuzz target that drives each reader and the decoder.
FUZZ_TARGETS = {
    "src/image/rct_decode.cpp": "rct_decode_fuzz",
    "src/env/settings_table.cpp": "settings_table_fuzz",
    "src/env/removal_lists.cpp": "removal_lists_fuzz",
    "src/uninstall/removal_pattern.cpp": "removal_lists_fuzz",
}
FUZZ_RUNS = 10000  # with -seed=1: the same inputs every time, a few seconds


# --- Code only -------------------------------------------------------------

def code_mask(text):
    """The text with comments and preprocessor lines blanked and string and
    character literals made @@@ (line breaks kept): operators see code only."""
    out = list(text)

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    i, n, line_start = 0, len(text), True
    while i < n:
        c = text[i]
        if c == "\n":
            line_start = True
            i += 1
        elif c in " \t":
            i += 1
        elif line_start and c == "#":
            j = i
            while j < n and not (text[j] == "\n" and text[j - 1] != "\\"):
                j += 1
            blank(i, j)
            i = j
        elif text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(i, j)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(i, j)
            i = j
        elif c in "\"'":
            # A literal stays one opaque token: @ for each of its characters.
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out[i:j + 1] = "@" * (j + 1 - i)
            i = j + 1
            line_start = False
        else:
            line_start = False
            i += 1
    return "".join(out)


TOKEN = re.compile(r"""
    (?P<num>(?<![\w.])(?:0[xX][0-9a-fA-F]+|\d+)[uUlL]*(?![\w.]))
  | (?P<word>[A-Za-z_]\w*)
  | (?P<literal>@+)
  | (?P<op><<=|>>=|->|<<|>>|<=|>=|==|!=|&&|\|\||\+\+|--|[-+*/%&|^]=|::
          |[-+*/%<>=!&|^~?:;,.(){}\[\]])
""", re.X)


class Token:
    def __init__(self, m):
        self.kind = m.lastgroup
        self.text = m.group()
        self.start, self.end = m.span()


def tokens(code_line):
    return [Token(m) for m in TOKEN.finditer(code_line)]


# --- Operators -------------------------------------------------------------
# Each one looks at one code line (its tokens, literals blanked) and yields
# (start, end, replacement) edits of the real line.

RELATIONAL = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
ARITHMETIC = {"+": "-", "-": "+", "+=": "-=", "-=": "+=", "<<": ">>", ">>": "<<", "++": "--", "--": "++"}
LOGICAL = {"&&": "||", "||": "&&"}


def op_rel(line, code, toks):
    """< <= > >= == != flipped; a < or > with no blank on both sides is
    taken for a template bracket."""
    for t in toks:
        if t.kind == "op" and t.text in RELATIONAL:
            if t.text in "<>" and not (code[t.start - 1:t.start] == " " and code[t.end:t.end + 1] == " "):
                continue
            yield t.start, t.end, RELATIONAL[t.text]


def unary_minus(toks, i):
    """Whether toks[i] is a minus sign that cannot be a subtraction."""
    before = toks[i - 1] if i else None
    return toks[i].text == "-" and (before is None or before.text in ("return", "case") or
                                    before.kind == "op" and before.text not in ")]")


# The step of a literal that the relational flip before it makes already:
# x < 5 flipped is x <= 5, the same as x < 6.
SAME_AS_FLIP = {"<": 1, ">=": 1, "<=": -1, ">": -1}


def op_bound(line, code, toks):
    """An integer literal one up and one down (0 only up); a minus sign
    before it, where it cannot be a subtraction, belongs to the number.
    The 0 and -1 of a return are the return operator's."""
    for i, t in enumerate(toks):
        if t.kind != "num" or "return" in (x.text for x in toks[max(0, i - 2):i]):
            continue
        before = toks[i - 1].text if i else ""
        if i + 1 < len(toks) and toks[i + 1].text in ("*", "/", "%", "<<", ">>", "&", "|", "^"):
            before = ""  # x < 5 * y: a step of the 5 is a step of 5·y
        m = re.match(r"(0[xX])?([0-9a-fA-F]+?)([uUlL]*)$", t.text)
        prefix, digits, suffix = m.groups()
        value = int(digits, 16 if prefix else 10)
        start = t.start
        if i and unary_minus(toks, i - 1):
            value, start = -value, toks[i - 1].start
        for new in (value + 1, value - 1):
            if value == 0 and new < 0 or new - value == SAME_AS_FLIP.get(before):
                continue
            if prefix:
                body = format(abs(new), "X" if digits.isupper() else "x").zfill(len(digits))
                text = ("-" if new < 0 else "") + prefix + body + suffix
            else:
                text = str(new) + suffix
            yield start, t.end, text


def op_logic(line, code, toks):
    """&& and || swapped; a ! dropped."""
    for t in toks:
        if t.text in LOGICAL:
            yield t.start, t.end, LOGICAL[t.text]
        elif t.text == "!":
            yield t.start, t.end, ""


STOPS = {"&&", "||", ",", ";", "?", ":", "=", "+=", "-=", "return", "{", "}"}


def operand_edge(toks, i, step):
    """Index of the last token of the operand beside toks[i] (step -1: left,
    +1: right), or None when the operand runs off the line."""
    opening, closing = ("(", "[") if step < 0 else (")", "]"), (")", "]") if step < 0 else ("(", "[")
    depth, j, last = 0, i + step, None
    while 0 <= j < len(toks):
        t = toks[j].text
        if t in opening:
            if depth == 0:
                return last
            depth -= 1
        elif t in closing:
            depth += 1
        elif depth == 0 and t in STOPS:
            return last
        last = j
        j += step
    return None


def op_cond(line, code, toks):
    """One operand of && or || dropped, with its operator: a condition
    left out."""
    for i, t in enumerate(toks):
        if t.text not in LOGICAL:
            continue
        left, right = operand_edge(toks, i, -1), operand_edge(toks, i, +1)
        if left is None or right is None:
            continue
        yield toks[left].start, toks[i + 1].start, ""    # left operand gone
        yield toks[i - 1].end, toks[right].end, ""       # right operand gone


def op_return(line, code, toks):
    """return 0 and return -1 swapped; true and false swapped."""
    for i, t in enumerate(toks):
        if t.text in ("true", "false"):
            yield t.start, t.end, "false" if t.text == "true" else "true"
        elif t.text == "return" and i + 2 < len(toks):
            rest = " ".join(x.text for x in toks[i + 1:i + 4])
            if rest.startswith("0 ;"):
                yield toks[i + 1].start, toks[i + 1].end, "-1"
            elif rest == "- 1 ;":
                yield toks[i + 1].start, toks[i + 2].end, "0"


def call_args(toks, i):
    """The argument spans (start, end) of the call whose name is toks[i],
    when the call closes on this line."""
    if i + 1 >= len(toks) or toks[i + 1].text != "(":
        return None
    depth, args, start = 0, [], toks[i + 1].end
    for t in toks[i + 1:]:
        if t.text in "([":
            depth += 1
        elif t.text in ")]":
            depth -= 1
            if depth == 0:
                args.append((start, t.start))
                return args, t.end
        elif t.text == "," and depth == 1:
            args.append((start, t.start))
            start = t.end
    return None


def op_string(line, code, toks):
    """strcmp(a, b) made a prefix compare, strncmp(a, b, strlen(b)): a
    longer a matches too; strlen(s) one short: a compare or copy that
    stops a byte early."""
    for i, t in enumerate(toks):
        found = call_args(toks, i) if t.text in ("strcmp", "strlen") else None
        if not found:
            continue
        args, end = found
        if t.text == "strcmp" and len(args) == 2:
            a, b = (line[s:e].strip() for s, e in args)
            yield t.start, end, "strncmp(%s, %s, strlen(%s))" % (a, b, b)
        elif t.text == "strlen":
            yield t.start, end, "(%s - 1)" % line[t.start:end]


DECLARATION = re.compile(r"(?:(?:const|static|unsigned|signed)\s+)*[A-Za-z_][\w:]*(?:<[^;]*>)?[\s*&]+"
                         r"[A-Za-z_]\w*\s*(?:=|\[|;|\(|,)")


def op_stmt(line, code, toks, prev_code):
    """A statement on a line of its own replaced by an empty one (not a
    declaration, which would not compile without it)."""
    body = code.strip()
    if not body.endswith(";") or "{" in body or "}" in body or body.count("(") != body.count(")"):
        return
    if DECLARATION.match(body) and not body.startswith(("return ", "delete ")):
        return
    if prev_code and not prev_code.endswith((";", "{", "}", ")", "else", ":")):
        return  # the rest of a statement begun above
    start = len(code) - len(code.lstrip())
    yield start, len(line.rstrip()), ";"


def op_arith(line, code, toks):
    """+ and - swapped, += and -=, << and >>, ++ and --; not the minus sign
    of a number, which is the bound operator's."""
    for i, t in enumerate(toks):
        if t.kind == "op" and t.text in ARITHMETIC:
            if not (unary_minus(toks, i) and i + 1 < len(toks) and toks[i + 1].kind == "num"):
                yield t.start, t.end, ARITHMETIC[t.text]


LITERAL_UNIT = re.compile(r"\\x[0-9a-fA-F]+|\\[0-7]{1,3}|\\.|.", re.S)


def op_literal(line, code, toks):
    """A string literal one character short (an escape counts as one): a
    keyword, header or magic compared a byte short, a text cut."""
    for t in toks:
        text = line[t.start:t.end]
        if t.kind == "literal" and len(text) > 2 and text[0] == text[-1] == '"':
            units = LITERAL_UNIT.findall(text[1:-1])
            yield t.start, t.end, '"%s"' % "".join(units[:-1])


# In this order: where two make the same line, the first one counts it.
OPERATORS = [("rel", op_rel), ("return", op_return), ("bound", op_bound), ("logic", op_logic),
             ("cond", op_cond), ("arith", op_arith), ("string", op_string), ("literal", op_literal),
             ("stmt", op_stmt)]
OPERATOR_NAMES = [name for name, _ in OPERATORS]


class Mutant:
    def __init__(self, path, line_no, operator, before, after, code_end, nth):
        self.path, self.line_no, self.operator = path, line_no, operator
        self.before, self.after = before, after   # the whole line, unchanged and mutated
        # Shown without the comment that ends the line; a line whose code
        # the file has more than once is told apart by its number among them.
        self.change = "%s → %s%s" % (before[:code_end].strip(), after[:code_end + len(after) - len(before)].strip(),
                                     " [#%d]" % nth if nth else "")
        self.status, self.detail = None, ""

    def key(self):
        """Names the mutant whatever lines are added or removed around it."""
        return "%s: %s" % (self.path, self.change)

    def describe(self):
        return "%s:%d: %s" % (self.path, self.line_no, self.change)


ORIGINAL = {}   # each file's text when its mutants were made


def mutants_of(path):
    """Every mutant of one file, in line order; two that make the same line
    count once."""
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        ORIGINAL[path] = f.read()
    lines, code_lines = ORIGINAL[path].split("\n"), code_mask(ORIGINAL[path]).split("\n")
    result, prev_code = [], ""
    count = {}
    for code in code_lines:
        count[code.strip()] = count.get(code.strip(), 0) + 1
    seen_before = {}
    for no, (line, code) in enumerate(zip(lines, code_lines), 1):
        if not code.strip():
            continue
        seen_before[code.strip()] = nth = seen_before.get(code.strip(), 0) + 1
        toks = tokens(code)
        found = []
        for name, operator in OPERATORS:
            edits = operator(line, code, toks, prev_code) if name == "stmt" else operator(line, code, toks)
            found += [(start, name, line[:start] + new + line[end:]) for start, end, new in edits]
        seen = {line}
        for _, name, after in sorted(found, key=lambda x: (x[0], OPERATOR_NAMES.index(x[1]))):
            if after not in seen:
                seen.add(after)
                result.append(Mutant(path, no, name, line, after, len(code.rstrip()),
                                     nth if count[code.strip()] > 1 else 0))
        prev_code = code.strip()
    return result


def mutated_text(mutant):
    lines = ORIGINAL[mutant.path].split("\n")
    lines[mutant.line_no - 1] = mutant.after
    return "\n".join(lines)


def read_judged_list(path):
    """Mutant key -> the reason given for it, from equivalent.txt or
    unreachable.txt: each key as a line of its own, its reason on the
    indented lines below."""
    known, key = {}, None
    for line in read(path).splitlines():
        if line.startswith("#") or not line.strip():
            continue
        if line[0] in " \t" and key:
            known[key] = (known[key] + " " + line.strip()).strip()
        else:
            key = line.strip()
            known[key] = ""
    return known


# --- Scratch trees -----------------------------------------------------------

def source_files():
    """The work tree's files as git sees them (tracked and new), not build/."""
    out = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT,
                         check=True, capture_output=True).stdout.decode()
    return [p for p in out.split("\0") if p and os.path.isfile(os.path.join(ROOT, p))]


def read(path):
    try:
        with open(path, errors="replace") as f:
            return f.read()
    except FileNotFoundError:
        return ""


def write_if_changed(path, data):
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except FileNotFoundError:
        os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


RUNNING = set()       # what run() has started and not yet seen end
RUNNING_LOCK = threading.RLock()   # also taken by the interrupt handler
STOPPING = False


def run(cmd, cwd, timeout=None, log=None):
    """Runs cmd in a process group of its own, its output to log; returns
    its exit code, or None after the timeout, when the whole group is ended."""
    with open(log or os.devnull, "wb") as out:
        with RUNNING_LOCK:
            if STOPPING:
                sys.exit(130)
            proc = subprocess.Popen(cmd, cwd=cwd, stdout=out, stderr=subprocess.STDOUT, start_new_session=True)
            RUNNING.add(proc)
        try:
            code = proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
            code = None
        finally:
            with RUNNING_LOCK:
                RUNNING.discard(proc)
    return code


class Tree:
    """A scratch copy of the sources with build trees of its own."""

    def __init__(self, name):
        self.dir = os.path.join(SCRATCH, name)
        self.src = os.path.join(self.dir, "src")
        self.log = os.path.join(self.dir, "last.log")
        self.mutated = None   # the file that holds a mutant now

    def sync(self):
        files = source_files()
        for rel in files:
            with open(os.path.join(ROOT, rel), "rb") as f:
                write_if_changed(os.path.join(self.src, rel), f.read())
        wanted = {os.path.normpath(os.path.join(self.src, rel)) for rel in files}
        for folder, _, names in os.walk(self.src):
            for name in names:
                path = os.path.normpath(os.path.join(folder, name))
                if path not in wanted:
                    os.remove(path)

    def configure(self, build, *options):
        """A build tree made anew when its options changed; Ninja where
        installed, as its incremental builds start faster."""
        options = (["-G", "Ninja"] if shutil.which("ninja") else []) + list(options)
        folder, stamp = os.path.join(self.dir, build), os.path.join(self.dir, build + ".options")
        if os.path.exists(os.path.join(folder, "CMakeCache.txt")) and read(stamp) == " ".join(options):
            return
        shutil.rmtree(folder, ignore_errors=True)
        if run(["cmake", "-S", self.src, "-B", folder] + options, self.dir, log=self.log) != 0:
            sys.exit("mutate: cannot configure %s, see %s" % (folder, self.log))
        with open(stamp, "w") as f:
            f.write(" ".join(options))

    def build(self, build, targets, jobs=1):
        cmd = ["cmake", "--build", os.path.join(self.dir, build), "-j%d" % jobs, "--target"] + targets
        return run(cmd, self.dir, log=self.log) == 0

    def put(self, mutant):
        """The mutant's file mutated, and any other file mutated before restored."""
        if self.mutated and self.mutated != mutant.path:
            self.restore()
        write_if_changed(os.path.join(self.src, mutant.path), mutated_text(mutant).encode())
        self.mutated = mutant.path

    def restore(self):
        if self.mutated:
            write_if_changed(os.path.join(self.src, self.mutated), ORIGINAL[self.mutated].encode())
            self.mutated = None


def first_failure(log):
    """The first failed test's name from a GoogleTest log, if any."""
    for line in read(log).splitlines():
        if line.startswith("[  FAILED  ] ") and "." in line:
            return line.split()[3].rstrip(",")
    return ""


# --- Core: native tier and fuzz ------------------------------------------------

def native_test_programs():
    folder = os.path.join(ROOT, "tests", "native")
    return sorted(f[:-4] for f in os.listdir(folder) if f.endswith("_test.cpp"))


def defined_symbols(binary, types):
    """The names of the symbols of the given nm types that binary defines."""
    out = subprocess.run(["nm", "--defined-only", binary], capture_output=True, text=True).stdout
    return {f[2] for f in (line.split() for line in out.splitlines()) if len(f) == 3 and f[1] in types}


class CoreTree(Tree):
    def prepare(self, fuzz, baseline_fuzz):
        self.sync()
        self.configure("native", "-DCMAKE_BUILD_TYPE=Debug")
        programs = native_test_programs()
        if not self.build("native", programs, jobs=2):
            sys.exit("mutate: the unmutated native tree does not build, see %s" % self.log)
        if fuzz:
            self.configure("fuzz", "-DUNINST_FUZZ=ON", "-DCMAKE_C_COMPILER=clang", "-DCMAKE_CXX_COMPILER=clang++",
                           "-DCMAKE_BUILD_TYPE=RelWithDebInfo")
            if not self.build("fuzz", sorted(set(FUZZ_TARGETS.values())), jobs=2):
                sys.exit("mutate: the unmutated fuzz tree does not build, see %s" % self.log)
        # The unmutated code must pass everything, and its times set the limits.
        self.limit = {}
        for p in programs:
            began = time.time()
            if self.run_test(p, 600) != 0:
                sys.exit("mutate: %s fails without any mutant, see %s" % (p, self.log))
            self.limit[p] = 5 + 5 * (time.time() - began)
        for target in sorted(set(FUZZ_TARGETS.values())) if fuzz and baseline_fuzz else []:
            if self.run_fuzz(target) != 0:
                sys.exit("mutate: %s finds something without any mutant, see %s" % (target, self.log))
        # A test program that does not link a file's object cannot see its
        # mutants: each file is tested by the programs that link it, those
        # that include its header first.
        symbols = {p: defined_symbols(os.path.join(self.dir, "native", p), "TDBR") for p in programs}
        self.users = {}
        for path in core_files():
            obj = os.path.join(self.dir, "native", "CMakeFiles", "uninst_core.dir", path + ".o")
            exported = defined_symbols(obj, "TDBR")  # not the weak copies of templates
            header = '#include "%s.h"' % os.path.splitext(os.path.relpath(path, "src"))[0]
            users = [p for p in programs if exported & symbols[p]]
            users.sort(key=lambda p: header not in read(os.path.join(self.src, "tests", "native", p + ".cpp")))
            self.users[path] = users

    def run_test(self, program, limit):
        return run([os.path.join(self.dir, "native", program), "--gtest_brief=1", "--gtest_fail_fast=1"],
                   os.path.join(self.dir, "native"), timeout=limit, log=self.log)

    def run_fuzz(self, target):
        work = os.path.join(self.dir, "fuzz-work")
        shutil.rmtree(work, ignore_errors=True)
        os.makedirs(work)
        seeds = os.path.join(self.src, "tests", "fuzz", "corpus", target[:-len("_fuzz")])
        cmd = [os.path.join(self.dir, "fuzz", target), "-seed=1", "-runs=%d" % FUZZ_RUNS, "-timeout=5",
               "-rss_limit_mb=2048", "-artifact_prefix=" + work + "/", work, seeds]
        return run(cmd, self.dir, timeout=120, log=self.log)

    def judge(self, mutant):
        self.put(mutant)
        # The likeliest program alone first: most mutants end there, and
        # the others need not be linked for them.
        programs = self.users[mutant.path]
        for group in (programs[:1], programs[1:]):
            if group and not self.build("native", group):
                return "not compiled", ""
            for p in group:
                code = self.run_test(p, self.limit[p])
                if code is None:
                    return "killed", p + " (time limit)"
                if code != 0:
                    return "killed", (p + " " + first_failure(self.log)).strip()
        target = FUZZ_TARGETS.get(mutant.path)
        if target:
            if not self.build("fuzz", [target]):
                return "not compiled", "by clang"
            code = self.run_fuzz(target)
            if code is None:
                return "killed", target + " (time limit)"
            if code != 0:
                return "killed", target
        return "survived", ""


def core_files():
    found = []
    for folder, _, names in os.walk(os.path.join(ROOT, "src")):
        for name in names:
            if name.endswith(".cpp") and not re.search(r"_(win|native)\.cpp$", name):
                found.append(os.path.relpath(os.path.join(folder, name), ROOT))
    return sorted(found)


def win_files():
    found = []
    for folder, _, names in os.walk(os.path.join(ROOT, "src")):
        found += [os.path.relpath(os.path.join(folder, n), ROOT) for n in names if n.endswith("_win.cpp")]
    return sorted(found)


def run_workers(trees, mutants, progress_every):
    """Judges the mutants on the trees, one thread a tree, a few mutants of
    one file at a time."""
    chunks, at = [], 0
    while at < len(mutants):
        end = at
        while end < len(mutants) and end - at < 8 and mutants[end].path == mutants[at].path:
            end += 1
        chunks.append(mutants[at:end])
        at = end
    lock, done, began = threading.Lock(), [0], time.time()

    def work(tree):
        while True:
            with lock:
                if not chunks:
                    break
                chunk = chunks.pop(0)
            for m in chunk:
                m.status, m.detail = tree.judge(m)
                with lock:
                    done[0] += 1
                    if done[0] % progress_every == 0:
                        spent = time.time() - began
                        print("  %d/%d judged, %s, about %s to go" % (
                            done[0], len(mutants), minutes(spent), minutes(spent / done[0] * (len(mutants) - done[0]))),
                            file=sys.stderr, flush=True)
        tree.restore()

    threads = [threading.Thread(target=work, args=(t,), daemon=True) for t in trees]
    for t in threads:
        t.start()
    for t in threads:
        while t.is_alive():
            t.join(0.5)


def minutes(seconds):
    return "%dm%02ds" % (seconds // 60, seconds % 60)


def report(mutants, title, began, results_name):
    """Survivors, then those judged by hand, then the counts by operator
    and the totals."""
    lists = (("equivalent", read_judged_list(EQUIVALENT_LIST),
              "known equivalent, each with its reason in tools/mutate/equivalent.txt"),
             ("unreachable", read_judged_list(UNREACHABLE_LIST),
              "unreachable: no caller gives an input that shows them, each with its reason in "
              "tools/mutate/unreachable.txt"))
    for m in mutants:
        for status, known, _ in lists:
            if m.status == "survived" and m.key() in known:
                m.status = status
    survived = [m for m in mutants if m.status == "survived"]
    print("== %s: survivors" % title)
    for m in survived:
        print(m.describe())
    for status, _, heading in lists:
        judged_by_hand = [m for m in mutants if m.status == status]
        if judged_by_hand:
            print("== " + heading)
            for m in judged_by_hand:
                print(m.describe())
    statuses = ["killed", "survived", "equivalent", "unreachable", "not compiled"]
    tables = (("operator", lambda m: m.operator, OPERATOR_NAMES),
              ("file", lambda m: m.path, sorted({m.path for m in mutants})))
    for name, group, names in tables:
        print("== by %s: made, killed, survived, known equivalent, unreachable, not compiled" % name)
        for value in names:
            of = [m for m in mutants if group(m) == value]
            if of:
                print("  %-36s %5d" % (value, len(of)) + "".join(
                    " %5d" % sum(m.status == st for m in of) for st in statuses))
    with open(os.path.join(SCRATCH, results_name), "w", encoding="utf-8") as f:
        for m in mutants:
            f.write("%-12s %s%s\n" % (m.status, m.describe(), "  [%s]" % m.detail if m.detail else ""))
    count = {st: sum(m.status == st for m in mutants) for st in statuses}
    judged = len(mutants) - count["not compiled"]
    extra = ["%d known equivalent" % count["equivalent"]] if count["equivalent"] else []
    extra += ["%d unreachable" % count["unreachable"]] if count["unreachable"] else []
    extra.append("%d did not compile" % count["not compiled"])
    print("%d killed, %d survived of %d (%s); %s; every mutant in build/mutate/%s" % (
        count["killed"], count["survived"], judged, ", ".join(extra), minutes(time.time() - began), results_name))
    return 0


def checked_files(names, allowed):
    wanted = [os.path.relpath(os.path.abspath(f), ROOT) for f in names]
    unknown = [f for f in wanted if f not in allowed]
    if unknown:
        sys.exit("mutate: not a file this mode mutates: %s" % " ".join(unknown))
    return wanted


def cmd_core(args):
    began = time.time()
    files = checked_files(args.files, core_files()) if args.files else core_files()
    mutants = [m for f in files for m in mutants_of(f)]
    print("== mutation run over %d files of the portable core: %d mutants" % (len(files), len(mutants)), flush=True)
    fuzz = any(m.path in FUZZ_TARGETS for m in mutants)
    trees = [CoreTree("core-%d" % (i + 1)) for i in range(max(1, min(args.jobs, len(mutants))))]
    print("  preparing %d scratch trees under build/mutate" % len(trees), file=sys.stderr, flush=True)
    for tree in trees:
        tree.prepare(fuzz, baseline_fuzz=tree is trees[0])
    run_workers(trees, mutants, 50)
    return report(mutants, "portable core", began, "core.txt")


# --- Win32: a sample against the Win32 and end-to-end tiers ---------------------

class WinTree(Tree):
    targets = ["uninst", "win_tests", "e2e_tests"]

    def prepare(self, tree):
        self.sync()
        arch = {"win32": "i686", "win64": "x86_64"}[tree]
        self.build_dir = tree
        self.configure(tree, "-DCMAKE_TOOLCHAIN_FILE=%s/cmake/mingw-%s.cmake" % (self.src, arch),
                       "-DUNINST_WIN_TESTS=ON")
        if not self.build(tree, self.targets, jobs=2):
            sys.exit("mutate: the unmutated %s tree does not build, see %s" % (tree, self.log))
        self.limit = {}
        for program in ("win_tests", "e2e_tests"):
            began = time.time()
            if self.run_test(program, 1200) != 0:
                sys.exit("mutate: %s fails without any mutant, see %s" % (program, self.log))
            self.limit[program] = 30 + 4 * (time.time() - began)

    def run_test(self, program, limit):
        # wine_run comes from tools/wine-env.sh, exported by ./run.
        cmd = ["bash", "-c", 'wine_run "$@"', "wine_run", "./%s.exe" % program, "--gtest_brief=1"]
        code = run(cmd, os.path.join(self.dir, self.build_dir), timeout=limit, log=self.log)
        if code is None:  # what the killed driver started may live on
            subprocess.run(["bash", "-c", 'wine_env "$WINE_BIN/wineserver" -k'], capture_output=True)
        return code

    def judge(self, mutant):
        self.put(mutant)
        if not self.build(self.build_dir, self.targets):
            return "not compiled", ""
        for program in ("win_tests", "e2e_tests"):
            code = self.run_test(program, self.limit[program])
            if code is None:
                return "killed", program + " (time limit)"
            if code != 0:
                return "killed", (program + " " + first_failure(self.log)).strip()
        return "survived", ""


def last_core_survivors():
    """The mutants that survived the last core run, as printed."""
    return {line.split(None, 1)[1] for line in read(os.path.join(SCRATCH, "core.txt")).splitlines()
            if line.startswith("survived ")}


def cmd_win(args):
    began = time.time()
    if args.files:
        # Chosen files whole (any under src/), such as a core file whose
        # survivors the Win32 tier may yet kill.
        files = checked_files(args.files, core_files() + win_files())
        order = [m for f in files for m in mutants_of(f)]
        if args.survivors:
            survivors = last_core_survivors()
            order = [m for m in order if m.describe() in survivors]
        count, what = len(order), "%d mutants of %s" % (len(order), " ".join(files))
    else:
        every = [m for f in win_files() for m in mutants_of(f)]
        order = random.Random(args.seed).sample(every, len(every))
        count, what = args.count, "a sample of the Win32 files (seed %d): %d compiled mutants of %d" % (
            args.seed, args.count, len(every))
    print("== mutation run against the Win32 and end-to-end tiers (%s tree) over %s" % (args.tree, what), flush=True)
    tree = WinTree("win")
    print("  preparing the scratch tree build/mutate/win and timing the unmutated tiers",
          file=sys.stderr, flush=True)
    tree.prepare(args.tree)
    judged = []
    for m in order:
        if sum(x.status != "not compiled" for x in judged) >= count:
            break
        m.status, m.detail = tree.judge(m)
        judged.append(m)
        print("  %-12s %s %s" % (m.status, m.describe(), m.detail), file=sys.stderr, flush=True)
    tree.restore()
    # The unmutated tree once more: a prefix left broken by a mutant would
    # have killed the ones after it.
    if not tree.build(args.tree, tree.targets) or any(tree.run_test(p, tree.limit[p]) != 0
                                                      for p in ("win_tests", "e2e_tests")):
        print("mutate: the unmutated tiers fail after the run: kills may be false, see %s" % tree.log)
        return 1
    judged.sort(key=lambda m: (m.path, m.line_no))
    return report(judged, "Win32 and end-to-end tiers", began, "win.txt")


def stop(signum, frame):
    """Ends every process group started, and the run; the work tree was
    never written, and the next run puts the scratch copies right."""
    global STOPPING
    with RUNNING_LOCK:
        STOPPING = True
        for proc in RUNNING:
            try:
                os.killpg(proc.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
    print("\nmutate: interrupted; the work tree is untouched (mutants live only in build/mutate)",
          file=sys.stderr)
    os._exit(130)


def main():
    parser = argparse.ArgumentParser(prog="./run mutate")
    sub = parser.add_subparsers(dest="mode", required=True)
    core = sub.add_parser("core")
    core.add_argument("files", nargs="*")
    core.add_argument("--jobs", type=int, default=min(2, os.cpu_count() or 1))
    win = sub.add_parser("win")
    win.add_argument("--tree", choices=["win32", "win64"], required=True)
    win.add_argument("--seed", type=int, default=1)
    win.add_argument("--count", type=int, default=25)
    win.add_argument("files", nargs="*")
    win.add_argument("--survivors", action="store_true", help="only the survivors of the last core run")
    args = parser.parse_args()
    signal.signal(signal.SIGINT, stop)
    signal.signal(signal.SIGTERM, stop)
    os.makedirs(SCRATCH, exist_ok=True)
    sys.exit(cmd_core(args) if args.mode == "core" else cmd_win(args))


if __name__ == "__main__":
    main()
