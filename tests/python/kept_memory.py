"""What a kept document holds, as a long-running ingester sees it: large
feeds parsed and dropped, the latest documents of others kept. Run in a
child process of its own, so that nothing else of the caller's weighs on its
resident set:

    kept_memory.py SIZE [SIZE ...]

prints, for each size, a line `SIZE BYTES`: the growth of the resident set
per kept document of about SIZE bytes (0: the example as it is), each one
parsed right after a document of about 30 MB was parsed and dropped.
"""
import gc
import os
import pathlib
import subprocess
import sys

EXAMPLE = pathlib.Path(__file__).resolve().parents[2] / "examples" / "stop_monitoring.xml"
VISIT_START, DELIVERY_END = "<siri:MonitoredStopVisit>", "</siri:StopMonitoringDelivery>"
LARGE = 30_000_000
KEPT = 4 * LARGE  # bytes of kept documents per size, at most
# Sizes of kept documents, with the share of its own size each may hold (or
# 16 KiB, whichever is more): about its size, half of it when it is large.
BOUNDS = [(0, 1.0), (200_000, 1.0), (2_000_000, 1.0), (20_000_000, 0.5)]
FLOOR = 16 * 1024
PAGE = os.sysconf("SC_PAGE_SIZE")


def bound(size, share):
    """What a kept document of about `size` bytes may hold."""
    return max(share * len(document(size).encode("utf-8")), FLOOR)


def document(size):
    """The example with its visit repeated up to about `size` bytes."""
    text = EXAMPLE.read_text(encoding="utf-8")
    a, b = text.index(VISIT_START), text.index(DELIVERY_END)
    return text[:a] + text[a:b] * max(1, size // (b - a)) + text[b:]


def resident():
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * PAGE


def kept_per_document(parser, large, doc):
    rounds = max(10, min(50, KEPT // len(doc)))
    kept = []
    # The memory kept between calls fills up to its bound in the first
    # rounds, as pieces of the large document's blocks come back to it: a
    # dozen rounds here.
    for _ in range(20):
        parser.parse(large)
        kept.append(parser.parse(doc))
    gc.collect()
    start = resident()
    for _ in range(rounds):
        parser.parse(large)
        kept.append(parser.parse(doc))
    gc.collect()
    return (resident() - start) // rounds


def measure(sizes):
    """{size: bytes kept per document}, measured in a child process."""
    run = subprocess.run([sys.executable, __file__, *map(str, sizes)], capture_output=True, text=True, timeout=600)
    if run.returncode:
        raise RuntimeError(run.stderr.strip()[-2000:])
    return {int(size): int(kept) for size, kept in (line.split() for line in run.stdout.splitlines())}


def main():
    import quorvane

    parser = quorvane.SIRI()
    large = document(LARGE)
    for size in map(int, sys.argv[1:]):
        doc = document(size)
        print(size, kept_per_document(parser, large, doc), flush=True)


if __name__ == "__main__":
    main()
