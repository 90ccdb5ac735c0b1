"""quorvane against the parsers a Python user would pick instead, in one
process and on the same inputs (bench/make_docs.py).

For each document and contender: one warm-up run (not for the largest
documents, by when every contender has run on smaller ones), then repeated
timed runs (each run repeated in a loop until it lasts 20 ms, for the small
documents);
the best run is reported as documents per second and MB/s (of the document's
UTF-8 bytes), with its time relative to `quorvane` parse. Then the targets:
parse at least 3 times the throughput of lxml on every document, linear
growth with size, and, from bench_core's JSON output when given, the C++
core within 3 times of the raw reader's scan. Peak memory of the largest
document is measured per contender in a fresh process.

    bench.py [--core bench_core.json]
"""
import argparse
import gc
import os
import pathlib
import re
import resource
import statistics
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

import lxml.etree
import xmltodict

import quorvane

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
import make_docs  # noqa: E402

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

PARSE = "quorvane parse"
LXML = "lxml.etree.fromstring"

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


def count_records(value):
    """The number of dataclass instances in a tree: what xsdata filled."""
    import dataclasses
    seen, stack = 0, [value]
    while stack:
        v = stack.pop()
        if dataclasses.is_dataclass(v):
            seen += 1
            stack.extend(getattr(v, f.name) for f in dataclasses.fields(v))
        elif isinstance(v, list):
            stack.extend(v)
    return seen


def xsdata_check(envelope, text):
    """What xsdata made of the document, in a few words; raises where it
    silently read nothing."""
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
    note = f"{len(deliveries)} deliveries"
    if expected:
        note += f", {visits} stop visits"
    if len(text) < 1_000_000:
        note += f", {count_records(envelope)} records"
    return note


# --------------------------------------------------------------- contenders


def contenders(service, xsdata_parse):
    """(name, function of (text, bytes)) for one document."""
    siri = quorvane.SIRI()
    method = NOTIFY[service]
    out = [
        (PARSE, lambda t, b: siri.parse(t)),
        ("quorvane parse + str()", lambda t, b: str(siri.parse(t))),
    ]
    if method:
        out.append((f"quorvane parse + {method}()", lambda t, b: getattr(siri.parse(t).body(), method)()))
    out += [
        # Given bytes: lxml refuses a str that has an encoding declaration.
        (LXML, lambda t, b: lxml.etree.fromstring(b)),
        ("xml.etree.ElementTree.fromstring", lambda t, b: ElementTree.fromstring(t)),
        ("xmltodict.parse", lambda t, b: xmltodict.parse(t)),
    ]
    if xsdata_parse:
        out.append(("xsdata XmlParser (generated)", lambda t, b: xsdata_parse(t)))
    return out


def measure(fn, *args, warm_up=True):
    """The best time of repeated runs, after a warm-up run. Without the
    warm-up (for the largest documents, once every contender has run on
    smaller ones) the first run counts as a timed one."""
    times = []
    start = time.perf_counter()
    fn(*args)
    first = time.perf_counter() - start
    if not warm_up:
        times.append(first)
    inner = max(1, int(0.02 / max(first, 1e-7)))
    samples = 5 if first < 0.5 else 3 if first < 2 else 2 - len(times)
    for _ in range(samples):
        start = time.perf_counter()
        for _ in range(inner):
            fn(*args)
        times.append((time.perf_counter() - start) / inner)
    return min(times), statistics.median(times)


def fmt_rate(x):
    return f"{x:,.1f}" if x < 1000 else f"{x:,.0f}"


# -------------------------------------------------------------------- memory


def _status(key):
    for line in pathlib.Path("/proc/self/status").read_text().splitlines():
        if line.startswith(key + ":"):
            return int(line.split()[1]) * 1024
    raise KeyError(key)


def peak_memory(name, path, xsdata_dir):
    """Run in a fresh process: how far one parse of the document at `path`
    raises the resident memory above what it was before, at its peak, in
    bytes (the peak is reset first; the document's text is not counted)."""
    text = pathlib.Path(path).read_text(encoding="utf-8")
    data = text.encode("utf-8")
    xsdata_parse = load_xsdata(xsdata_dir)[0] if xsdata_dir else None
    service = _SERVICE.search(text).group(1)
    fn = dict(contenders(service, xsdata_parse))[name]
    gc.collect()
    try:
        pathlib.Path("/proc/self/clear_refs").write_text("5")  # resets the peak
        before, result, after = _status("VmRSS"), fn(text, data), _status("VmHWM")
    except OSError:
        before = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024
        result = fn(text, data)
        after = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024
    del result
    return after - before


# --------------------------------------------------------------------- report


def core_summary(path):
    """The C++ core's throughput per document from bench_core's JSON."""
    import json
    runs = {}
    for b in json.loads(pathlib.Path(path).read_text())["benchmarks"]:
        kind, _, doc = b["name"].partition("/")
        runs.setdefault(doc, {})[kind] = b["bytes_per_second"] / 1e6
    print("\nC++ core alone (bench_core): MB/s, and parse time / raw scan time (target: at most 3)")
    print(f"  {'document':34} {'raw scan':>10} {'events':>10} {'parse':>10} {'parse/raw':>10}")
    worst = 0.0
    for doc in sorted(runs):
        r = runs[doc]
        if not {"raw_scan", "events", "parse"} <= r.keys():
            continue
        ratio = r["raw_scan"] / r["parse"]
        worst = max(worst, ratio)
        print(f"  {doc:34} {r['raw_scan']:10.1f} {r['events']:10.1f} {r['parse']:10.1f} {ratio:10.2f}")
    print(f"  worst parse/raw: {worst:.2f} -> {'met' if worst <= 3 else 'MISSED'}")


def main():
    args = argparse.ArgumentParser()
    args.add_argument("--core", help="bench_core's JSON output, for the C++ summary")
    args.add_argument("--only", help="time only the documents whose name matches this pattern")
    args.add_argument("--memory", nargs=3, metavar=("CONTENDER", "DOC", "XSDATA_DIR"), help=argparse.SUPPRESS)
    opts = args.parse_args()
    if opts.memory:
        name, path, xsdata_dir = opts.memory
        print(peak_memory(name, path, xsdata_dir if xsdata_dir != "-" else None))
        return

    workdir = tempfile.TemporaryDirectory(prefix="quorvane-bench-")
    started = time.perf_counter()
    xsdata_parse, note = load_xsdata(workdir.name)
    print(f"xsdata: dataclasses generated from {SCHEMA.name} in {time.perf_counter() - started:.1f} s"
          if xsdata_parse else note)
    print("Each run: the best of repeated timed runs after a warm-up; time/parse = the contender's time "
          "over quorvane parse's.\nlxml is given the UTF-8 bytes (it refuses a str with an encoding "
          "declaration); the others the str.")

    summary = []  # (doc, MB, parse MB/s, lxml ratio)
    series_times = {}  # doc -> {contender: seconds}
    largest = None
    for doc, text in make_docs.documents():
        if opts.only and not re.search(opts.only, doc):
            continue
        data = text.encode("utf-8")
        mb = len(data) / 1e6
        service = _SERVICE.search(text).group(1)
        check = ""
        if xsdata_parse and len(data) < 10_000_000:
            check = "; xsdata: " + xsdata_check(xsdata_parse(text), text)
        print(f"\n{doc}: {len(data):,} bytes, {service}{check}")
        print(f"  {'contender':44} {'docs/s':>12} {'MB/s':>9} {'time/parse':>11}")
        times = {}
        rows = contenders(service, xsdata_parse)
        envelope = quorvane.SIRI().parse(text)
        rows.insert(3 if NOTIFY[service] else 2, ("quorvane str() alone", lambda t, b: str(envelope)))
        for name, fn in rows:
            gc.collect()
            best, _ = measure(fn, text, data, warm_up=len(data) < 20_000_000)
            times[name] = best
            print(f"  {name:44} {fmt_rate(1 / best):>12} {mb / best:9.1f} {best / times[PARSE]:11.2f}")
        del envelope
        summary.append((doc, mb, mb / times[PARSE], times[LXML] / times[PARSE]))
        series_times[doc] = times
        if largest is None or len(data) > largest[1]:
            largest = (doc, len(data), text, [name for name, _ in rows if name != "quorvane str() alone"])

    # Every document on one line, MB/s per contender.
    columns = [(PARSE, "parse"), ("quorvane parse + str()", "+str()"), ("notify", "+notify"),
               ("quorvane str() alone", "str()"), (LXML, "lxml"), ("xml.etree.ElementTree.fromstring", "etree"),
               ("xmltodict.parse", "xmltodict"), ("xsdata XmlParser (generated)", "xsdata")]
    print("\nAll documents, MB/s (quorvane: parse, parse + str(), parse + notify_...(), str() alone; then the peers)")
    print(f"  {'document':30} {'MB':>8}" + "".join(f" {label:>9}" for _, label in columns))
    for doc, mb, _, _ in summary:
        times = series_times[doc]
        cells = []
        for name, _ in columns:
            key = next((k for k in times if k.startswith("quorvane parse + notify")), None) if name == "notify" else name
            cells.append(f" {mb / times[key]:9.1f}" if key in times else f" {'-':>9}")
        print(f"  {doc:30} {mb:8.3f}" + "".join(cells))

    print("\nTarget: quorvane parse at least 3 times the throughput of lxml.etree.fromstring")
    print(f"  {'document':34} {'MB':>9} {'parse MB/s':>11} {'x lxml':>8}")
    for doc, mb, rate, ratio in summary:
        print(f"  {doc:34} {mb:9.3f} {rate:11.1f} {ratio:8.2f}{'' if ratio >= 3 else '  MISSED'}")
    worst = min(summary, key=lambda s: s[3])
    print(f"  lowest: {worst[3]:.2f} ({worst[0]}) -> {'met' if worst[3] >= 3 else 'MISSED'}")

    print("\nGrowth with size: time per item, and at the largest size over the smallest (1: strictly "
          "proportional; caches and fresh memory add some at tens of MB, for every contender)")
    for series, unit, sizes, _ in make_docs.SERIES:
        if not all(f"{series}_{n}" in series_times for n in sizes):
            continue
        for name in (PARSE, "quorvane str() alone", LXML):
            per = [series_times[f"{series}_{n}"][name] / n for n in sizes]
            cells = "  ".join(f"{n:>7,} {unit}: {p * 1e6:8.3f} us" for n, p in zip(sizes, per))
            print(f"  {series:14} {name:22} {cells}   x{per[-1] / per[0]:.2f}")

    doc, size, text, names = largest
    path = pathlib.Path(workdir.name) / f"{doc}.xml"
    path.write_text(text, encoding="utf-8")
    del text
    print(f"\nPeak memory of one parse of the largest document, {doc} ({size / 1e6:.1f} MB), each in a "
          "fresh process (growth of the peak resident set):")
    for name in names:
        run = subprocess.run([sys.executable, __file__, "--memory", name, str(path),
                              workdir.name if xsdata_parse else "-"], capture_output=True, text=True)
        if run.returncode:
            print(f"  {name:44} failed: {run.stderr.strip()[-200:]}")
            continue
        peak = int(run.stdout.split()[-1])
        print(f"  {name:44} {peak / 1e6:9.1f} MB  ({peak / size:5.1f} x the document)")

    if opts.core and os.path.exists(opts.core):
        core_summary(opts.core)
    print(f"\nbench.py: {time.perf_counter() - started:.0f} s")


if __name__ == "__main__":
    main()
