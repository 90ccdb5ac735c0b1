"""quorvane against the parsers a Python user would pick instead, in one
process and on the same inputs (bench/make_docs.py); then the C++ core
against pugixml, from bench_core's JSON output; then the memory of a parse.

Timing as a long-running ingester sees it, its heap warm and glibc's malloc
on its defaults (no tunables): one warm-up pass over every document for every
contender, then for each document rounds interleaved between the contenders
(in round r each contender parses the document once, in turn) and the
median of each contender's rounds. quorvane and lxml take part in every
round; the slower peers in fewer, spread evenly among them, to keep the run
short.

Targets: quorvane parse at least 3 times the MB/s of lxml.etree.fromstring on
every document; the C++ core's parse at least 0.8 times pugixml's on the
geomean of the real documents and 0.6 times on every document; the peak
memory of a parse of the large documents at most 1.5 times the document;
unknown content kept by a record in buffer mode at most 8 bytes per byte;
a document kept after a large parse holding at most its own size or 16 KiB,
half of it when it is large.

At the end, many small documents kept and dropped as services keep them
(keep_drop.py), quorvane against lxml, unless --keep-drop-scale is 0.

    bench.py [--core bench_core.json] [--only PATTERN] [--keep-drop-scale F]
"""
import argparse
import gc
import json
import os
import pathlib
import re
import statistics
import subprocess
import sys
import tempfile
import time
import warnings
import xml.etree.ElementTree as ElementTree

import lxml.etree
import xmltodict

import quorvane

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
import make_docs  # noqa: E402
import kept_memory  # noqa: E402  (beside the tests, on the path make_docs set)
import keep_drop  # noqa: E402

# Rounds per document: as many as fit in MAIN_SECONDS for quorvane's columns
# and lxml together, within MAIN_ROUNDS; a slower peer takes part in as many
# as fit in PEER_SECONDS, within PEER_ROUNDS.
MAIN_ROUNDS, MAIN_SECONDS = (5, 501), 4.0
PEER_ROUNDS, PEER_SECONDS = (1, 51), 1.0
LARGE = 20_000_000   # bytes: the documents whose peak memory is measured
UNKNOWN = 1_000_000  # `<X/>` elements in the buffer-mode document

REAL = [name for name, *_ in make_docs.REAL]
SYNTHETIC = [f"{series}_{n}" for series, _, sizes, _ in make_docs.SERIES for n in sizes]

# The standard's schema, beside the repository (../shared); a work tree
# one folder further down finds it one level further up.
_XSD = pathlib.Path("realdata", "siri-xsd", "xsd", "wsdl_model", "siri_wsConsumer-Services.xsd")
SCHEMA = next((p / "shared" / _XSD for p in HERE.parents[1:3] if (p / "shared" / _XSD).is_file()),
              HERE.parents[1] / "shared" / _XSD)
SOAP = "http://schemas.xmlsoap.org/soap/envelope/"
WSDL = "http://wsdl.siri.org.uk"

# The service element of the wrapped document -> its Body method.
NOTIFY = {
    "NotifyProductionTimetable": "notify_production_timetable",
    "NotifyEstimatedTimetable": "notify_estimated_timetable",
    "NotifyStopMonitoring": "notify_stop_monitoring",
    "GetVehicleMonitoringResponse": "notify_vehicle_monitoring",
    "NotifyConnectionMonitoring": "notify_connection_monitoring",
    "NotifyGeneralMessage": "notify_general_message",
    "NotifyFacilityMonitoring": "notify_facility_monitoring",
    # Situation-exchange records are reached through str() only.
    "NotifySituationExchange": None,
}
_SERVICE = re.compile(r"<S:Body><sw:(\w+)>")

PARSE, LXML = "parse", "lxml"
MAIN = (PARSE, "+str()", "+notify", LXML)
COLUMNS = [*MAIN, "etree", "xmltodict", "xsdata"]

# ------------------------------------------------------------- the typed peer


def load_xsdata(workdir):
    """The envelope class and a parser over dataclasses generated from the
    standard's schema into `workdir`, or (None, reason)."""
    if not SCHEMA.is_file():
        return None, f"xsdata skipped: no schema at {SCHEMA}"
    package = "siri_xsd"
    if not (pathlib.Path(workdir) / f"{package}.py").exists():
        # One module: the default layout of one module per schema file
        # imports itself in circles.
        run = subprocess.run(
            [sys.executable, "-m", "xsdata", "generate", str(SCHEMA), "--package", package,
             "--structure-style", "single-package"],
            cwd=workdir, capture_output=True, text=True)
        if run.returncode != 0:
            return None, f"xsdata skipped: generation failed: {(run.stdout + run.stderr).strip()[-300:]}"
    sys.path.insert(0, str(workdir))
    import dataclasses
    from typing import Optional

    from xsdata.formats.dataclass.parsers import XmlParser
    from xsdata.formats.dataclass.parsers.config import ParserConfig
    gen = __import__(package)
    # A value its schema's types do not take stays text, with a warning per call.
    warnings.filterwarnings("ignore", module=r"xsdata\.")

    def element(name, namespace):
        return dataclasses.field(default=None, metadata={"name": name, "type": "Element", "namespace": namespace})

    # The vehicle-monitoring answer is no notification: its holder is
    # `Answer`, around the same deliveries.
    @dataclasses.dataclass
    class GetVehicleMonitoringResponse:
        class Meta:
            namespace = WSDL
        service_delivery_info: Optional[gen.ProducerResponseEndpointStructure] = element("ServiceDeliveryInfo", "")
        answer: Optional[gen.VehicleMonitoringDeliveriesStructure] = element("Answer", "")

    @dataclasses.dataclass
    class Body:
        class Meta:
            namespace = SOAP
        notify_production_timetable: Optional[gen.NotifyProductionTimetable] = element(
            "NotifyProductionTimetable", WSDL)
        notify_estimated_timetable: Optional[gen.NotifyEstimatedTimetable] = element("NotifyEstimatedTimetable", WSDL)
        notify_stop_monitoring: Optional[gen.NotifyStopMonitoring] = element("NotifyStopMonitoring", WSDL)
        get_vehicle_monitoring_response: Optional[GetVehicleMonitoringResponse] = element(
            "GetVehicleMonitoringResponse", WSDL)
        notify_connection_monitoring: Optional[gen.NotifyConnectionMonitoring] = element(
            "NotifyConnectionMonitoring", WSDL)
        notify_general_message: Optional[gen.NotifyGeneralMessage] = element("NotifyGeneralMessage", WSDL)
        notify_facility_monitoring: Optional[gen.NotifyFacilityMonitoring] = element("NotifyFacilityMonitoring", WSDL)
        notify_situation_exchange: Optional[gen.NotifySituationExchange] = element("NotifySituationExchange", WSDL)

    @dataclasses.dataclass
    class Envelope:
        class Meta:
            namespace = SOAP
        body: Optional[Body] = element("Body", SOAP)

    parser = XmlParser(config=ParserConfig(fail_on_unknown_properties=False))
    return (lambda text: parser.from_string(text, Envelope)), None


def xsdata_check(envelope, text):
    """Raises where xsdata silently read nothing of the document: its time
    would then be no peer's."""
    body = envelope.body
    services = [v for v in vars(body).values() if v is not None] if body else []
    if len(services) != 1:
        raise AssertionError("xsdata read no service element")
    service = services[0]
    holder = getattr(service, "notification", None) or getattr(service, "answer", None)
    if service.service_delivery_info is None or holder is None:
        raise AssertionError("xsdata read no header or no deliveries")
    deliveries = [d for v in vars(holder).values() if isinstance(v, list) for d in v]
    if not deliveries:
        raise AssertionError("xsdata read no delivery")
    visits = sum(len(getattr(d, "monitored_stop_visit", [])) for d in deliveries)
    expected = len(re.findall(r"<(?:\w+:)?MonitoredStopVisit[\s>]", text))
    if visits != expected:
        raise AssertionError(f"xsdata read {visits} stop visits of {expected}")


# --------------------------------------------------------------- contenders


def contenders(service, xsdata_parse):
    """(column, function of (text, bytes)) for one document."""
    siri = quorvane.SIRI()
    method = NOTIFY[service]
    out = [
        (PARSE, lambda t, b: siri.parse(t)),
        ("+str()", lambda t, b: str(siri.parse(t))),
    ]
    if method:
        out.append(("+notify", lambda t, b: getattr(siri.parse(t).body(), method)()))
    out += [
        # Given bytes: lxml refuses a str that has an encoding declaration.
        (LXML, lambda t, b: lxml.etree.fromstring(b)),
        ("etree", lambda t, b: ElementTree.fromstring(t)),
        ("xmltodict", lambda t, b: xmltodict.parse(t)),
    ]
    if xsdata_parse:
        out.append(("xsdata", lambda t, b: xsdata_parse(t)))
    return out


def warm_up(doc, text, data, rows):
    """One call of each contender, as the warm-up pass: its seconds, which
    set its rounds. A contender that read nothing is left out."""
    seconds = {}
    for column, fn in rows:
        start = time.perf_counter()
        result = fn(text, data)
        seconds[column] = time.perf_counter() - start
        if column == "xsdata":
            try:
                xsdata_check(result, text)
            except AssertionError as e:
                print(f"  {doc}: xsdata left out: {e}")
                del seconds[column]
        del result
    return seconds


def plan(seconds):
    """The document's number of rounds, and column -> the rounds it takes
    part in. A peer's are spread evenly: the heap and caches it leaves
    behind then weigh on few of the main contenders' rounds."""
    def fit(bounds, budget, each):
        return min(bounds[1], max(bounds[0], int(budget / each)))
    total = fit(MAIN_ROUNDS, MAIN_SECONDS, sum(s for column, s in seconds.items() if column in MAIN))
    rounds = {}
    for column, s in seconds.items():
        n = total if column in MAIN else min(total, fit(PEER_ROUNDS, PEER_SECONDS, s))
        rounds[column] = {k * total // n for k in range(n)}
    return total, rounds


def timed_rounds(text, data, rows, total, rounds):
    """column -> the median of its rounds, in seconds."""
    times = {column: [] for column in rounds}
    for r in range(total):
        for column, fn in rows:
            if r in rounds.get(column, ()):
                start = time.perf_counter()
                fn(text, data)
                times[column].append(time.perf_counter() - start)
    return {column: statistics.median(t) for column, t in times.items()}


def fmt_rate(x):
    return f"{x:,.1f}" if x < 1000 else f"{x:,.0f}"


def geomeans(rows):
    """Each key's geometric mean over the dicts in `rows` that have it."""
    keys = {k for row in rows for k in row}
    return {k: statistics.geometric_mean([row[k] for row in rows if k in row]) for k in keys}


def verdict(ok):
    return "met" if ok else "MISSED"


# -------------------------------------------------------------------- memory


def _status(key):
    for line in pathlib.Path("/proc/self/status").read_text().splitlines():
        if line.startswith(key + ":"):
            return int(line.split()[1]) * 1024
    raise KeyError(key)


def peak_growth(column, path):
    """In a fresh process: how far one call of the contender raises the peak
    resident set above where it stood once the document at `path` was read,
    in bytes. The peak is the process's own high-water mark (VmHWM):
    ru_maxrss would also hold the parent's, which a forked child inherits."""
    text = pathlib.Path(path).read_text(encoding="utf-8")
    data = text.encode("utf-8")
    fn = dict(contenders(_SERVICE.search(text).group(1), None))[column]
    gc.collect()
    try:
        pathlib.Path("/proc/self/clear_refs").write_text("5")  # the peak starts again from here
    except OSError:
        pass  # the peak then also holds the reading's, if that was higher
    before = _status("VmRSS")
    result = fn(text, data)
    peak = _status("VmHWM")
    del result
    return peak - before


def measure_peak(column, path):
    """peak_growth in a child process, or None with what it said."""
    run = subprocess.run([sys.executable, __file__, "--memory", column, str(path)], capture_output=True, text=True)
    if run.returncode:
        print(f"  {column} on {path.name} failed: {run.stderr.strip()[-300:]}")
        return None
    return int(run.stdout.split()[-1])


def memory_report(large, workdir):
    """The peak of a parse of each large document, and the cost of unknown
    content kept in buffer mode."""
    print("\nPeak memory of one call in a fresh process: growth of the peak resident set over where it "
          "stood with the document read (target for quorvane parse: at most 1.5 x the document; lxml "
          "for context)")
    for doc, text in large:
        path = pathlib.Path(workdir, f"{doc}.xml")
        path.write_text(text, encoding="utf-8")
        size = len(text.encode("utf-8"))
        cells = []
        for column in (PARSE, LXML):
            peak = measure_peak(column, path)
            if peak is None:
                cells.append(f"{column} failed")
                continue
            mark = f"  {verdict(peak <= 1.5 * size)}" if column == PARSE else ""
            cells.append(f"{column} {peak / 1e6:7.1f} MB = {peak / size:4.2f} x{mark}")
        path.unlink()
        print(f"  {doc:24} {size / 1e6:7.1f} MB   " + "   ".join(cells))

    print("\nMemory kept per document after a large parse: in a fresh process, documents of the example's shape "
          f"kept, each parsed right after a {kept_memory.LARGE / 1e6:.0f} MB one that was dropped; growth of the "
          "resident set per kept document (target: at most the document's size or 16 KiB, half of it for the "
          "largest)")
    try:
        kept = kept_memory.measure(size for size, _ in kept_memory.BOUNDS)
    except RuntimeError as e:
        print(f"  failed: {e}")
    else:
        for size, share in kept_memory.BOUNDS:
            doc = len(kept_memory.document(size).encode("utf-8"))
            print(f"  {doc / 1e6:9.3f} MB kept: {kept[size] / 1024:9.1f} KiB = {kept[size] / doc:5.2f} x "
                  f"-> {verdict(kept[size] <= kept_memory.bound(size, share))}")

    path = pathlib.Path(workdir, "unknown_runs.xml")
    path.write_text(make_docs.unknown_runs(UNKNOWN), encoding="utf-8")
    kept = UNKNOWN * len("<X/>")
    peak = measure_peak(PARSE, path)
    print(f"\nUnknown content kept in buffer mode: {UNKNOWN:,} <X/> ({kept / 1e6:.1f} MB) in a planned journey of "
          "a production timetable, which keeps them for its groups; growth of the parse's peak, in a fresh "
          "process, per byte of them (target: at most 8)")
    if peak is not None:
        print(f"  {peak / 1e6:.1f} MB: {peak / kept:.1f} bytes per byte, {peak / UNKNOWN:.0f} per element "
              f"-> {verdict(peak <= 8 * kept)}")


# --------------------------------------------------------------------- report


def core_report(path):
    """The C++ core per document from bench_core's JSON: its parse against
    pugixml's, with the raw reader's scan and the event layer for context.
    Of repeated runs, the median's figure."""
    runs = {}
    for b in json.loads(pathlib.Path(path).read_text())["benchmarks"]:
        if "bytes_per_second" in b and b.get("aggregate_name", "median") == "median":
            kind, _, doc = b["run_name"].partition("/")
            runs.setdefault(doc, {})[kind] = b["bytes_per_second"] / 1e6
    docs = [d for d in REAL + SYNTHETIC if {"parse", "pugixml", "raw_scan", "events"} <= runs.get(d, {}).keys()]
    for d in docs:
        runs[d]["ratio"] = runs[d]["parse"] / runs[d]["pugixml"]
    print("\nC++ core alone (bench_core), MB/s: its parse against pugixml's load_buffer(parse_default) on the "
          "same bytes; the raw reader's scan and the event layer for context.\nTargets: core/pugixml at least 0.8 "
          "on the geomean of the real documents, none below 0.6")
    print(f"  {'document':32} {'parse':>9} {'pugixml':>9} {'core/pugixml':>13} {'raw scan':>9} {'events':>9}")

    def line(name, r, mark=""):
        print(f"  {name:32} {fmt_rate(r['parse']):>9} {fmt_rate(r['pugixml']):>9} {r['ratio']:13.2f} "
              f"{fmt_rate(r['raw_scan']):>9} {fmt_rate(r['events']):>9}{mark}")

    for d in docs:
        line(d, runs[d], "  below 0.6" if runs[d]["ratio"] < 0.6 else "")
    real = geomeans([runs[d] for d in docs if d in REAL])
    line("geomean, real documents", real)
    low = min(docs, key=lambda d: runs[d]["ratio"])
    print(f"  core/pugixml: geomean of the real documents {real['ratio']:.2f} (target at least 0.8: "
          f"{verdict(real['ratio'] >= 0.8)}); lowest {runs[low]['ratio']:.2f}, {low} (target none below 0.6: "
          f"{verdict(runs[low]['ratio'] >= 0.6)})")


def main():
    args = argparse.ArgumentParser()
    args.add_argument("--core", help="bench_core's JSON output, for the C++ core's table")
    args.add_argument("--only", help="time only the documents whose name matches this pattern")
    args.add_argument("--keep-drop-scale", type=float, default=1.0,
                      help="multiplies the documents of the keep-and-drop table; 0 leaves it out")
    args.add_argument("--memory", nargs=2, metavar=("CONTENDER", "DOC"), help=argparse.SUPPRESS)
    opts = args.parse_args()
    if opts.memory:
        print(peak_growth(*opts.memory))
        return
    # glibc's malloc on its defaults, here and in the child processes.
    tunables = [k for k in os.environ if k.startswith("MALLOC_") or k == "GLIBC_TUNABLES"]
    if tunables:
        env = {k: v for k, v in os.environ.items() if k not in tunables}
        os.execve(sys.executable, [sys.executable, *sys.argv], env)

    workdir = tempfile.TemporaryDirectory(prefix="quorvane-bench-")
    started = time.perf_counter()
    xsdata_parse, note = load_xsdata(workdir.name)
    print(f"xsdata: dataclasses generated from {SCHEMA.name} in {time.perf_counter() - started:.1f} s"
          if xsdata_parse else note)

    docs = [(doc, text, text.encode("utf-8")) for doc, text in make_docs.documents()
            if not opts.only or re.search(opts.only, doc)]
    rows = {doc: contenders(_SERVICE.search(text).group(1), xsdata_parse) for doc, text, _ in docs}
    print(f"Warm-up pass: every contender once on each of {len(docs)} documents")
    seconds = {doc: warm_up(doc, text, data, rows[doc]) for doc, text, data in docs}

    print("\nMB/s of each contender: the median of its rounds, interleaved on each document after the warm-up pass "
          f"(quorvane and lxml: the rounds shown; etree, xmltodict, xsdata: {PEER_ROUNDS[1]} at most, 1 at least).\n"
          "quorvane: parse = SIRI().parse(str), +str() = str() of its result, +notify = its Body's notify_...(); "
          "then lxml.etree.fromstring(UTF-8 bytes),\nxml.etree.ElementTree.fromstring, xmltodict.parse, "
          "xsdata's XmlParser over dataclasses generated from the schema (each given the str).\n"
          "Each call finds the caches and the heap as the call before it left them: parse follows lxml, as when "
          "the two alternate;\n+str() and +notify follow parse and may come out faster than it.\n"
          "x lxml = parse MB/s / lxml MB/s (target: at least 3 on every document)")
    print(f"  {'document':32} {'MB':>8} {'rounds':>6}" + "".join(f" {c:>9}" for c in COLUMNS) + f" {'x lxml':>7}")

    def line(name, mb, rounds, rates, mark=""):
        cells = "".join(f" {fmt_rate(rates[c]) if c in rates else '-':>9}" for c in COLUMNS)
        print(f"  {name:32} {mb:>8} {rounds:>6}{cells} {rates[PARSE] / rates[LXML]:7.2f}{mark}")

    rates = {}
    for doc, text, data in docs:
        gc.collect()
        total, rounds = plan(seconds[doc])
        mb = len(data) / 1e6
        rates[doc] = {column: mb / s for column, s in timed_rounds(text, data, rows[doc], total, rounds).items()}
        ratio = rates[doc][PARSE] / rates[doc][LXML]
        line(doc, f"{mb:.3f}", total, rates[doc], "  below 3" if ratio < 3 else "")
    real = [rates[d] for d in REAL if d in rates]
    if real:
        line("geomean, real documents", "", "", geomeans(real))
    low = min(rates, key=lambda d: rates[d][PARSE] / rates[d][LXML])
    low_ratio = rates[low][PARSE] / rates[low][LXML]
    below = sum(r[PARSE] / r[LXML] < 3 for r in rates.values())
    print(f"  x lxml: lowest {low_ratio:.2f}, {low}; {below} of {len(rates)} documents below 3 -> "
          f"{verdict(below == 0)}")

    if opts.core and os.path.exists(opts.core):
        core_report(opts.core)

    large = [(doc, text) for doc, text, data in docs if len(data) >= LARGE]
    del docs, rows
    memory_report(large, workdir.name)
    if opts.keep_drop_scale > 0:
        keep_drop.report(scale=opts.keep_drop_scale)
    print(f"\nbench.py: {time.perf_counter() - started:.0f} s")


if __name__ == "__main__":
    main()
