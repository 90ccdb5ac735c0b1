"""Shows that a change observes nothing new: every document the tests, the
examples, the fuzz seeds and corpora and the benchmark hold is read by the
module of a base revision and by this tree's installed module, and their
outcomes are compared.

An outcome is, for a document that parses, `str()` of the envelope and of its
body and what each notify method of the body returns (None or the type name
of the object); for one that fails, the exception's type and text. Texts over
64 KiB are kept as their length and sha1 only.

Usage (with the project's .venv/bin/python, this tree's module installed
there by `make module`):
  outcomes.py --base REV          REV's outcomes (cached under build/outcomes/)
                                  against this tree's
  outcomes.py --compare OLD NEW   two outcome files
  outcomes.py --record DIR OUT MODULE_DIR
                                  (internal) the outcomes of the documents in
                                  DIR with the quorvane first on the path
Exit status 1 on any difference.
"""
import argparse
import gzip
import hashlib
import json
import os
import pathlib
import subprocess
import sys
import sysconfig
import tempfile
import time

ROOT = pathlib.Path(__file__).resolve().parents[1]
OUT = ROOT / "build" / "outcomes"
TESTS = ROOT / "tests" / "python"
# Bumped whenever what an outcome holds changes, so that old caches are redone.
FORMAT = 1
CLIP = 65536
NOTIFY = [
    "notify_stop_monitoring", "notify_vehicle_monitoring", "notify_general_message",
    "notify_estimated_timetable", "notify_production_timetable",
    "notify_connection_monitoring", "notify_facility_monitoring",
]
SHOWN = 5


# -- The documents ---------------------------------------------------------

def collect(folder):
    """Writes every document to `folder`/docs/<sha1> and its source to
    `folder`/sources.json. Bytes that are not UTF-8 are counted and left out."""
    docs = folder / "docs"
    docs.mkdir(parents=True)
    sources, skipped = {}, []

    def add(data, source):
        try:
            data.decode("utf-8", "surrogatepass")
        except UnicodeDecodeError:
            skipped.append(source)
            return
        key = hashlib.sha1(data).hexdigest()
        if key not in sources:
            sources[key] = source
            (docs / key).write_bytes(data)

    sys.path.insert(0, str(TESTS))
    import siri_docs
    sys.path.insert(0, str(ROOT / "bench"))
    import make_docs

    unwrapped = 0
    for path in sorted((ROOT / "tests" / "data").rglob("*.xml")):
        relative = path.relative_to(ROOT)
        add(path.read_bytes(), str(relative))
        try:
            # As the tests read it (text mode) and wrap it.
            text = siri_docs.wrap(path.read_text(encoding="utf-8"))
        except (AttributeError, UnicodeDecodeError):
            unwrapped += 1      # no ServiceDelivery holding a known delivery
            continue
        add(text.encode("utf-8", "surrogatepass"), f"{relative} (wrapped)")
    for pattern in ["examples/*", "fuzz/seeds/*", "fuzz/corpus-*/*"]:
        for path in sorted(ROOT.glob(pattern)):
            if path.is_file():
                add(path.read_bytes(), str(path.relative_to(ROOT)))
    for name, relative, before, after in make_docs.REAL:
        text = after(siri_docs.wrap(before(siri_docs.read(relative))))
        add(text.encode("utf-8", "surrogatepass"), f"bench/make_docs.py {name}")
    add(make_docs.synthetic_stop_monitoring(1000).encode(), "bench/make_docs.py synthetic_sm_1000")
    add(make_docs.synthetic_estimated_timetable(100).encode(), "bench/make_docs.py synthetic_et_100")

    # Every document the suite parses, of any size, through its seed hook.
    seeds = folder / "suite"
    env = dict(os.environ, QUORVANE_FUZZ_SEEDS=str(seeds), QUORVANE_FUZZ_SEEDS_ANY_SIZE="1")
    subprocess.run([sys.executable, "-m", "pytest", "-q", "-p", "no:cacheprovider", str(TESTS)],
                   cwd=ROOT, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if not seeds.is_dir():
        sys.exit("the test suite parsed no document")
    for path in sorted(seeds.iterdir()):
        add(path.read_bytes(), "tests/python (a document the suite parses)")
        path.unlink()

    print(f"{len(sources)} documents; {unwrapped} of tests/data not wrappable; "
          f"{len(skipped)} not UTF-8, left out{': ' + ', '.join(skipped[:SHOWN]) if skipped else ''}")
    (folder / "sources.json").write_text(json.dumps(sources))
    return set(sources)


# -- Outcomes ----------------------------------------------------------------

def clip(text):
    if len(text) <= CLIP:
        return text
    digest = hashlib.sha1(text.encode("utf-8", "surrogatepass")).hexdigest()
    return f"<{len(text)} characters, sha1 {digest}>"


def outcome(quorvane, text):
    try:
        envelope = quorvane.SIRI().parse(text)
        body = envelope.body()
        notify = {name: getattr(body, name)() for name in NOTIFY}
        return {"envelope": clip(str(envelope)), "body": clip(str(body)),
                **{name: None if value is None else type(value).__name__ for name, value in notify.items()}}
    except Exception as error:
        return {"raises": type(error).__name__, "text": clip(str(error))}


def load(path):
    """{"outcomes": {sha1: outcome}, "sources": {sha1: source}}"""
    empty = {"outcomes": {}, "sources": {}}
    if not path.exists():
        return empty
    with gzip.open(path, "rt", encoding="utf-8") as f:
        data = json.load(f)
    return data if data.get("format") == FORMAT else empty


def save(path, data):
    with gzip.open(path, "wt", encoding="utf-8") as f:
        json.dump({**data, "format": FORMAT}, f)


def record(folder, out, expect):
    """Adds to `out` the outcome of each document in `folder` it lacks, with
    the quorvane on the path, which must lie under `expect`."""
    import quorvane
    where = pathlib.Path(quorvane.__file__).resolve()
    if not where.is_relative_to(pathlib.Path(expect).resolve()):
        sys.exit(f"quorvane imported from {where}, not from {expect}")
    data = load(out)
    outcomes = data["outcomes"]
    data["sources"].update(json.loads((folder / "sources.json").read_text()))
    # The document being read, to be named if the module takes the process down.
    current = out.with_name(out.name + ".current")
    for path in sorted((folder / "docs").iterdir()):
        if path.name not in outcomes:
            current.write_text(path.name)
            outcomes[path.name] = outcome(quorvane, path.read_bytes().decode("utf-8", "surrogatepass"))
    current.unlink(missing_ok=True)
    save(out, data)


def record_with(folder, out, module_dir, env=None):
    status = subprocess.run([sys.executable, __file__, "--record", str(folder), str(out), str(module_dir)],
                            env=env).returncode
    if status:
        current = out.with_name(out.name + ".current")
        at = f", at document {current.read_text()}" if current.exists() else ""
        sys.exit(f"recording with {module_dir} failed with status {status}{at}")


# -- Comparison --------------------------------------------------------------

def compare(before, after, keys):
    """Prints the count of documents (`keys`) compared and of differences,
    and the first few differences; returns the count of differences."""
    old_of, new_of = before["outcomes"], after["outcomes"]
    differ = [k for k in sorted(keys) if old_of.get(k) != new_of.get(k)]
    for key in differ[:SHOWN]:
        print(f"\n{key} {after['sources'].get(key) or before['sources'].get(key)}")
        old, new = old_of.get(key) or {}, new_of.get(key) or {}
        for field in {**old, **new}:
            if old.get(field, "<absent>") != new.get(field, "<absent>"):
                print(f"  {field}:\n    before: {old.get(field, '<absent>')!r}\n"
                      f"    after:  {new.get(field, '<absent>')!r}")
    print(f"\n{len(keys)} documents compared, {len(differ)} differ")
    return len(differ)


def base(rev):
    sha = subprocess.run(["git", "rev-parse", "--verify", f"{rev}^{{commit}}"], cwd=ROOT,
                         capture_output=True, text=True, check=True).stdout.strip()
    OUT.mkdir(parents=True, exist_ok=True)
    cached, current = OUT / f"{sha}.json.gz", OUT / "current.json.gz"
    with tempfile.TemporaryDirectory(dir=OUT) as tmp:
        tmp = pathlib.Path(tmp)
        keys = collect(tmp)
        if keys - set(load(cached)["outcomes"]):
            print(f"building {rev} ({sha[:12]})")
            tree, module = tmp / "tree", tmp / "module"
            tree.mkdir()
            archive = subprocess.run(["git", "archive", "--format=tar", sha], cwd=ROOT,
                                     capture_output=True, check=True).stdout
            subprocess.run(["tar", "-x", "-C", str(tree)], input=archive, check=True)
            subprocess.run([sys.executable, "-m", "pip", "install", "--no-build-isolation", "--no-index",
                            "--no-deps", "-q", "--target", str(module), str(tree)], check=True)
            record_with(tmp, cached, module, dict(os.environ, PYTHONPATH=str(module)))
        current.unlink(missing_ok=True)
        record_with(tmp, current, sysconfig.get_paths()["platlib"])
        return compare(load(cached), load(current), keys)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    group = parser.add_mutually_exclusive_group(required=True)
    group.add_argument("--base", metavar="REV")
    group.add_argument("--compare", nargs=2, metavar=("OLD", "NEW"), type=pathlib.Path)
    group.add_argument("--record", nargs=3, metavar=("DIR", "OUT", "MODULE_DIR"), type=pathlib.Path)
    args = parser.parse_args()
    start = time.monotonic()
    if args.record:
        return record(*args.record)
    if args.compare:
        for path in args.compare:
            if not path.exists():
                parser.error(f"no file {path}")
        before, after = map(load, args.compare)
        differ = compare(before, after, after["outcomes"])
    else:
        differ = base(args.base)
    print(f"{time.monotonic() - start:.0f} s")
    return 1 if differ else 0


if __name__ == "__main__":
    sys.exit(main())
