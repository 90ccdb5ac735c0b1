"""Parses the bundled sample document and prints what quorvane makes of it."""
import pathlib

import quorvane

sample = pathlib.Path(__file__).resolve().parent.parent / "examples" / "stop_monitoring.xml"
text = sample.read_text(encoding="utf-8")
print(f"document: {sample.name} ({len(text)} characters)")
try:
    envelope = quorvane.SIRI().parse(text)
except ValueError as error:
    print(f"rejected with ValueError: {error}")
else:
    print(envelope)
    stop_monitoring = envelope.body().notify_stop_monitoring()
    print(f"notify_stop_monitoring() -> {type(stop_monitoring).__name__}")
