"""Runs the whole Python suite under valgrind's memcheck and judges the result.

Fails on any memory error (invalid read or write, uninitialised value, bad
free) and on any block that is definitely or indirectly lost with a frame of
the module in its allocation stack. The interpreter's own losses are counted
and shown, not judged: Debian's CPython 3.11 loses a few small blocks of
tracemalloc's bookkeeping each time tracing stops, and since they are
allocated while the traced call runs, their stacks can pass through the
module. They are told apart by the one call site in the interpreter that
allocates them, learned from a run of a three-line tracemalloc script under
the same valgrind.

Usage: python scripts/leakcheck.py [pytest arguments...]
"""
import collections
import os
import pathlib
import subprocess
import sys
import xml.etree.ElementTree as ET

ROOT = pathlib.Path(__file__).resolve().parents[1]
OUT = ROOT / "build" / "leakcheck"
PYTHON = str(ROOT / ".venv" / "bin" / "python")
SUPPRESSIONS = pathlib.Path("/usr/lib/valgrind/python3.supp")
MODULE = "quorvane"
LOST = {"Leak_DefinitelyLost", "Leak_IndirectlyLost"}

TRACEMALLOC_SCRIPT = """
import tracemalloc
tracemalloc.start()
kept = [object() for _ in range(100)]
tracemalloc.stop()
"""


def valgrind(name, args):
    """Runs `args` under memcheck; returns (exit status, parsed errors)."""
    xml = OUT / f"{name}.xml"
    command = [
        "valgrind", "--tool=memcheck", "--leak-check=full", "--show-leak-kinds=definite,indirect,possible",
        "--num-callers=40", "--xml=yes", f"--xml-file={xml}",
    ]
    if SUPPRESSIONS.exists():
        command.append(f"--suppressions={SUPPRESSIONS}")
    env = dict(os.environ, PYTHONMALLOC="malloc")
    status = subprocess.run(command + args, cwd=ROOT, env=env).returncode
    return status, parse(xml)


def parse(path):
    errors = []
    for error in ET.parse(path).getroot().iter("error"):
        frames = [
            (f.findtext("ip", ""), f.findtext("fn", "???"), f.findtext("obj", ""))
            for f in error.find("stack").iter("frame")
        ]
        what = error.findtext("xwhat/text") or error.findtext("what") or ""
        leaked = (int(error.findtext("xwhat/leakedbytes") or 0), int(error.findtext("xwhat/leakedblocks") or 0))
        errors.append((error.findtext("kind"), what, leaked, frames))
    return errors


def allocation_site(frames):
    """The code address that called the allocator."""
    return frames[1][0] if len(frames) > 1 else ""


def in_module(frames):
    return any(MODULE in obj for _, _, obj in frames)


def add(total, leaked):
    total[0] += leaked[0]
    total[1] += leaked[1]


def module_function(frames):
    """The innermost frame of the module, or None."""
    return next((fn for _, fn, obj in frames if MODULE in obj), None)


def show(kind, what, frames):
    print(f"  {kind}: {what}")
    for ip, fn, obj in frames[:12]:
        print(f"      {ip} {fn} ({pathlib.Path(obj).name})")


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    _, calibration = valgrind("tracemalloc", [PYTHON, "-c", TRACEMALLOC_SCRIPT])
    tracemalloc_sites = {allocation_site(frames) for kind, _, _, frames in calibration if kind in LOST}

    pytest_args = sys.argv[1:] or ["tests/python"]
    status, errors = valgrind("suite", [PYTHON, "-m", "pytest", "-q", "-p", "no:cacheprovider", *pytest_args])

    tally = collections.defaultdict(lambda: [0, 0])
    failures = []
    for kind, what, leaked, frames in errors:
        if not kind.startswith("Leak_"):
            failures.append((kind, what, frames))
            continue
        if kind not in LOST:
            # Blocks reached only through an interior pointer: objects that
            # live until the end, such as the module's class objects.
            add(tally[kind, module_function(frames) or "interpreter"], leaked)
            continue
        if allocation_site(frames) in tracemalloc_sites:
            add(tally[kind, "tracemalloc"], leaked)
        elif in_module(frames):
            add(tally[kind, "module"], leaked)
            failures.append((kind, what, frames))
        else:
            add(tally[kind, "interpreter"], leaked)

    print(f"\nleakcheck: pytest exit status {status}; valgrind's reports in {OUT.relative_to(ROOT)}/")
    for kind in ("Leak_DefinitelyLost", "Leak_IndirectlyLost", "Leak_PossiblyLost"):
        parts = [f"{size} bytes in {blocks} blocks by {owner}"
                 for (k, owner), (size, blocks) in sorted(tally.items()) if k == kind]
        print(f"  {kind}: {'; '.join(parts) or 'none'}")
    memory_errors = [f for f in failures if not f[0].startswith("Leak_")]
    print(f"  memory errors: {len(memory_errors)}")
    for kind, what, frames in failures:
        show(kind, what, frames)
    if status != 0 or failures:
        print("leakcheck: FAILED")
        return 1
    print("leakcheck: clean (no memory error, nothing lost by the module)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
