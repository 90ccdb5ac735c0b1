"""How quorvane and lxml fare when many small documents are kept and dropped
the way services keep them, with the example document
(examples/stop_monitoring.xml):

  list    N documents parsed into a list, then the list dropped: time per
          document, parse and drop together.
  random  N documents kept, then dropped one by one in a random order (fixed
          seed): time per drop.
  latest  a dict with the latest document of each of K keys, filled first;
          then rounds of 2,000 keys picked at random, each one's document
          replaced by a new parse: time per document over the rounds. At the
          end the dict is dropped.
  burst   N documents kept, then dropped in a random order: resident memory
          before, with them kept, and after: the growth that stays.
  maps    N documents kept, half of them dropped at random, then the rest:
          the lines of /proc/self/maps at half, the most seen, and at the end.
  drops   two bursts in a row of N documents kept, then dropped in a random
          order: the worst single drop, and resident memory with each burst
          kept and after it (the second burst should take up what the
          first left rather than grow).
  drops-among-others  the same, with other code's buffers of 1,500 bytes
          taken between the documents of the first burst and kept to the
          end (a heap cut in pieces).
  drops-among-payloads  the same, with other code's payloads of 400 KB
          taken before each burst and every other one freed, as a service
          that fetches feeds holds their bytes (an 8 MB buffer freed first,
          so that the C allocator serves such sizes from its heap, as in any
          process after one large buffer): no drop may pay for the memory
          other code freed.

Each contender runs each pattern in a fresh process of its own, so that
neither finds the heap another left, after one warm-up pass (documents
parsed and dropped at once). The processes alternate between the
contenders, pattern by pattern, for RUNS runs; each figure is the median of
its runs. The garbage collector runs as a service has it, and collects
before each reading of memory. glibc's malloc is on its defaults (no
tunables). Memory is the resident set of /proc/self/statm times the page
size the system reports, relative to where it stood once the warm-up pass was
dropped; `held` is its growth with the most documents kept, `kept` what stays
after the drops.

lxml is lxml.etree.fromstring given UTF-8 bytes (it refuses a str with an
encoding declaration). burst and maps are about memory more than time: one
run each; lxml, whose tree of the example takes about 24 KB, keeps a tenth of
the documents there, for reference.

    keep_drop.py [--only PATTERN] [--scale F] [--runs R]

--scale multiplies the number of documents (and the rounds of latest), for
quick runs; --runs sets the runs of list, random and latest. bench.py
prints the same table at its end (report()).
"""
import argparse
import gc
import json
import os
import pathlib
import random
import re
import statistics
import subprocess
import sys
import time

HERE = pathlib.Path(__file__).resolve().parent
EXAMPLE = HERE.parent / "examples" / "stop_monitoring.xml"
QUORVANE, LXML = "quorvane", "lxml"
CONTENDERS = (QUORVANE, LXML)
PATTERNS = ("list", "random", "latest", "burst", "maps", "drops", "drops-among-others", "drops-among-payloads")
# Scenarios of memory more than of time: one run each, lxml (whose tree of
# the example is about 24 KB) on a share of the documents.
MEMORY = ("burst", "maps", "drops", "drops-among-others", "drops-among-payloads")
LXML_MEMORY_SHARE = 0.1
RUNS = 3
SEED = 20240601

LIST_DOCS = 100_000
RANDOM_DOCS = 20_000
LATEST_KEYS, LATEST_ROUNDS, LATEST_PER_ROUND = 150_000, 100, 2_000
BURST_DOCS = MAPS_DOCS = DROPS_DOCS = 300_000
# Other code's buffer taken beside each document of drops-among-others.
OTHERS_BUFFER = 1500
# Other code's payloads taken before each burst of drops-among-payloads, every
# other one freed at once.
PAYLOAD, PAYLOADS = 400_000, 200
# Parses of the warm-up pass, each document dropped at once: warm code and
# caches, not a heap grown ahead of the pattern.
WARM_UP = 1_000
# Readings of /proc/self/maps per phase of the maps pattern.
SAMPLES = 300

PAGE = os.sysconf("SC_PAGE_SIZE")
try:
    MAX_MAPS = f"{int(pathlib.Path('/proc/sys/vm/max_map_count').read_text()):,}"
except (OSError, ValueError):
    MAX_MAPS = "unknown"

# --------------------------------------------------------------- the child


def resident():
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * PAGE


def maps():
    with open("/proc/self/maps", "rb") as f:
        return f.read().count(b"\n")


def memory():
    """(resident bytes, lines of /proc/self/maps), after a collection."""
    gc.collect()
    return resident(), maps()


def scaled(n, scale):
    return max(1, round(n * scale))


def run_list(parse, doc, scale, rng):
    n = scaled(LIST_DOCS, scale)
    rss0, maps0 = memory()
    start = time.perf_counter()
    docs = [parse(doc) for _ in range(n)]
    built = time.perf_counter()
    rss_held = resident()
    start_drop = time.perf_counter()
    del docs
    end = time.perf_counter()
    return dict(n=n, us=(built - start + end - start_drop) / n * 1e6, drop_us=(end - start_drop) / n * 1e6,
                held=rss_held - rss0, rss0=rss0, maps0=maps0)


def run_random(parse, doc, scale, rng):
    n = scaled(RANDOM_DOCS, scale)
    order = list(range(n))
    rng.shuffle(order)
    rss0, maps0 = memory()
    docs = [parse(doc) for _ in range(n)]
    held, _ = memory()
    start = time.perf_counter()
    for i in order:
        docs[i] = None
    end = time.perf_counter()
    del docs
    return dict(n=n, us=(end - start) / n * 1e6, held=held - rss0, rss0=rss0, maps0=maps0)


def run_latest(parse, doc, scale, rng):
    keys = [f"SP{i:06d}" for i in range(scaled(LATEST_KEYS, scale))]
    rounds = [rng.sample(keys, min(LATEST_PER_ROUND, len(keys))) for _ in range(scaled(LATEST_ROUNDS, scale))]
    n = sum(map(len, rounds))
    rss0, maps0 = memory()
    latest = {}
    start = time.perf_counter()
    for key in keys:
        latest[key] = parse(doc)
    fill = time.perf_counter() - start
    filled, _ = memory()
    start = time.perf_counter()
    for keys_of_round in rounds:
        for key in keys_of_round:
            latest[key] = parse(doc)
    end = time.perf_counter()
    held, _ = memory()
    del latest
    return dict(n=n, us=(end - start) / n * 1e6, fill_us=fill / len(keys) * 1e6, keys=len(keys),
                filled=filled - rss0, held=held - rss0, rss0=rss0, maps0=maps0)


def run_burst(parse, doc, scale, rng):
    n = scaled(BURST_DOCS, scale)
    order = list(range(n))
    rng.shuffle(order)
    rss0, maps0 = memory()
    start = time.perf_counter()
    docs = [parse(doc) for _ in range(n)]
    kept = time.perf_counter() - start
    held, _ = memory()
    start = time.perf_counter()
    for i in order:
        docs[i] = None
    dropped = time.perf_counter() - start
    del docs
    return dict(n=n, us=(kept + dropped) / n * 1e6, drop_us=dropped / n * 1e6, held=held - rss0, rss0=rss0, maps0=maps0)


def run_maps(parse, doc, scale, rng):
    """The timed stretches leave out the readings of /proc/self/maps."""
    n = scaled(MAPS_DOCS, scale)
    order = list(range(n))
    rng.shuffle(order)
    step = max(1, n // SAMPLES)
    rss0, maps0 = memory()
    most = maps0
    seconds = 0.0
    docs = []
    for a in range(0, n, step):
        start = time.perf_counter()
        docs.extend(parse(doc) for _ in range(min(step, n - a)))
        seconds += time.perf_counter() - start
        most = max(most, maps())
    held, _ = memory()

    def drop(part):
        nonlocal most, seconds
        for a in range(0, len(part), step):
            start = time.perf_counter()
            for i in part[a:a + step]:
                docs[i] = None
            seconds += time.perf_counter() - start
            most = max(most, maps())

    drop(order[:n // 2])
    rss_half, maps_half = memory()
    drop(order[n // 2:])
    return dict(n=n, us=seconds / n * 1e6, held=held - rss0, rss0=rss0, maps0=maps0, maps_half=maps_half,
                rss_half=rss_half - rss0, maps_most=most)


def run_drops(parse, doc, scale, rng, among=None):
    """The garbage collector is off, so that its passes are not taken for
    drops."""
    n = scaled(DROPS_DOCS, scale)
    if among == "payloads":
        bytearray(8 << 20)  # taken and freed at once
    rss0, maps0 = memory()
    gc.disable()
    times, figures, others = [], {}, []
    seconds = 0.0
    for burst in (1, 2):
        if among == "payloads":
            payloads = [bytearray(PAYLOAD) for _ in range(PAYLOADS)]
            others += payloads[::2]
            del payloads
        docs = []
        start = time.perf_counter()
        for _ in range(n):
            docs.append(parse(doc))
            if among == "others" and burst == 1:
                others.append(bytearray(OTHERS_BUFFER))
        seconds += time.perf_counter() - start
        figures[f"peak{burst}"] = resident() - rss0
        rng.shuffle(docs)
        while docs:
            t = time.perf_counter()
            docs.pop()
            times.append(time.perf_counter() - t)
        figures[f"after{burst}"] = resident() - rss0
    gc.enable()
    del others
    times.sort()
    return dict(n=n, us=(seconds + sum(times)) / (2 * n) * 1e6, worst_ms=times[-1] * 1e3,
                p999_us=times[int(len(times) * 0.999)] * 1e6, held=max(figures["peak1"], figures["peak2"]),
                rss0=rss0, maps0=maps0, **figures)


RUN = {"list": run_list, "random": run_random, "latest": run_latest, "burst": run_burst, "maps": run_maps,
       "drops": run_drops, "drops-among-others": lambda *a: run_drops(*a, among="others"),
       "drops-among-payloads": lambda *a: run_drops(*a, among="payloads")}


def child(contender, pattern, scale):
    """One pattern for one contender, in this process: a JSON line of what
    it measured."""
    started = time.perf_counter()
    text = EXAMPLE.read_text(encoding="utf-8")
    if contender == QUORVANE:
        import quorvane
        parse, doc, module = quorvane.SIRI().parse, text, quorvane.__file__
        str(parse(doc))  # a document it would reject would time nothing
    else:
        import lxml.etree
        parse, doc, module = lxml.etree.fromstring, text.encode("utf-8"), lxml.etree.__file__
    for _ in range(WARM_UP):
        parse(doc)
    result = RUN[pattern](parse, doc, scale, random.Random(SEED))
    rss, lines = memory()
    result.update(kept=rss - result["rss0"], maps=lines, module=module, seconds=time.perf_counter() - started)
    print(json.dumps(result))


# -------------------------------------------------------------- the parent


def clean_env():
    """The environment without glibc malloc tunables."""
    return {k: v for k, v in os.environ.items() if not (k.startswith("MALLOC_") or k == "GLIBC_TUNABLES")}


def spawn(contender, pattern, scale):
    run = subprocess.run([sys.executable, __file__, "--child", contender, pattern, repr(scale)],
                         capture_output=True, text=True, env=clean_env())
    if run.returncode:
        print(f"  {pattern} with {contender} failed: {run.stderr.strip()[-500:]}")
        return None
    return json.loads(run.stdout.splitlines()[-1])


def measure(patterns, scale, runs):
    """{(pattern, contender): {key: median of its runs}}, the processes
    alternating between the contenders."""
    results = {}
    for r in range(runs):
        for pattern in patterns:
            for contender in CONTENDERS:
                share = scale
                if pattern in MEMORY:
                    if r:
                        continue
                    if contender == LXML:
                        share = scale * LXML_MEMORY_SHARE
                got = spawn(contender, pattern, share)
                if got:
                    results.setdefault((pattern, contender), []).append(got)
    medians = {}
    for key, rows in results.items():
        medians[key] = {k: statistics.median(row[k] for row in rows) if not isinstance(rows[0][k], str) else rows[0][k]
                        for k in rows[0]}
        medians[key]["runs"] = len(rows)
    return medians


def mb(x):
    return f"{x / 1e6:,.1f}"


def report(only=None, scale=1.0, runs=RUNS):
    """Measures the patterns matching `only` (all by default) and prints
    the table."""
    patterns = [p for p in PATTERNS if not only or re.search(only, p)]
    started = time.perf_counter()
    m = measure(patterns, scale, runs)
    q_module = next((v["module"] for (p, c), v in m.items() if c == QUORVANE), "?")
    print(f"\nKeeping and dropping many small documents ({EXAMPLE.name}, {EXAMPLE.stat().st_size:,} bytes), as "
          f"services keep them: each contender and pattern in a fresh process, {runs} run{'s' * (runs > 1)} "
          f"alternating between the contenders, medians (bench/keep_drop.py; quorvane from {q_module}).\n"
          "us/doc: list = parse + drop, random = one drop, latest = one replacing parse, burst = keep + drop, "
          "maps = keep + drop, drops = keep + drop over two bursts; x = lxml time / quorvane time.\n"
          "maps = lines of /proc/self/maps after the drops (+ growth over the start); held = resident growth with "
          "the most documents kept, kept = after the drops (MB, over the start, page "
          f"{PAGE} bytes).\nburst, maps and drops: one run each, lxml on {LXML_MEMORY_SHARE:g} of the documents.")
    print(f"  {'pattern':20} {'docs':>8} {'quorvane':>9} {'lxml':>9} {'x':>6}  {'maps q':>16} {'maps lxml':>11}  "
          f"{'held q':>8} {'held lxml':>9}  {'kept q':>7} {'kept lxml':>9}")
    def cell(r, key, fmt):
        return fmt(r[key]) if r else "-"

    def us(v):
        return f"{v:.2f}"

    def lines(r):
        return f"{r['maps']:,.0f} ({r['maps'] - r['maps0']:+,.0f})" if r else "-"

    for p in patterns:
        q, x = m.get((p, QUORVANE)), m.get((p, LXML))
        ratio = f"{x['us'] / q['us']:.2f}" if q and x else "-"
        if p in MEMORY and LXML_MEMORY_SHARE != 1:
            ratio = f"({ratio})"  # not the same number of documents
        print(f"  {p:20} {cell(q, 'n', lambda v: f'{v:,.0f}'):>8} {cell(q, 'us', us):>9} {cell(x, 'us', us):>9} "
              f"{ratio:>6}  {lines(q):>16} {lines(x):>11}  {cell(q, 'held', mb):>8} {cell(x, 'held', mb):>9}  "
              f"{cell(q, 'kept', mb):>7} {cell(x, 'kept', mb):>9}")
    details = []
    for c in CONTENDERS:
        r = m.get(("list", c))
        if r:
            details.append(f"list {c}: drop {r['drop_us']:.2f} us/doc of the {r['us']:.2f}")
        r = m.get(("latest", c))
        if r:
            details.append(f"latest {c}: fill {r['fill_us']:.2f} us/doc for {r['keys']:,} keys; held {mb(r['filled'])} "
                           f"MB once filled, {mb(r['held'])} MB after the rounds")
        r = m.get(("burst", c))
        if r:
            details.append(f"burst {c}: {r['n']:,} kept: +{mb(r['held'])} MB ({r['held'] / r['n']:,.0f} B/doc), "
                           f"after the drops +{mb(r['kept'])} MB ({100 * r['kept'] / max(r['held'], 1):.0f}% of it "
                           f"stays); drop {r['drop_us']:.2f} us/doc")
        for p in ("drops", "drops-among-others", "drops-among-payloads"):
            r = m.get((p, c))
            if r:
                details.append(f"{p} {c}: {r['n']:,} a burst: worst drop {r['worst_ms']:.1f} ms (99.9% under "
                               f"{r['p999_us']:.1f} us); resident +{mb(r['peak1'])} MB kept, +{mb(r['after1'])} "
                               f"after, +{mb(r['peak2'])} MB with the second kept, +{mb(r['after2'])} after")
        r = m.get(("maps", c))
        if r:
            details.append(f"maps {c}: {r['maps0']:,.0f} lines at the start, {r['maps_half']:,.0f} with half "
                           f"dropped (resident +{mb(r['rss_half'])} MB of +{mb(r['held'])} kept), most "
                           f"{r['maps_most']:,.0f} (the system's limit: {MAX_MAPS}), {r['maps']:,.0f} at the end")
    for line in details:
        print(f"  {line}")
    print(f"  ({time.perf_counter() - started:.0f} s)")
    return m


def main():
    args = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    args.add_argument("--only", help="the patterns whose name matches this pattern")
    args.add_argument("--scale", type=float, default=1.0, help="multiplies the number of documents")
    args.add_argument("--runs", type=int, default=RUNS, help="processes per contender and pattern")
    args.add_argument("--child", nargs=3, metavar=("CONTENDER", "PATTERN", "SCALE"), help=argparse.SUPPRESS)
    opts = args.parse_args()
    if opts.child:
        contender, pattern, scale = opts.child
        child(contender, pattern, float(scale))
        return
    report(opts.only, opts.scale, opts.runs)


if __name__ == "__main__":
    main()
