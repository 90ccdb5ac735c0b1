"""Writes the benchmark inputs: real documents wrapped into the envelope form,
and a synthetic stop-monitoring document scaled to several sizes."""
import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests" / "python"))
import siri_docs  # noqa: E402

REAL = [
    "siri_exm_SM/exs_stopMonitoring_response.xml",
    "siri_exm_VM/exv_vehicleMonitoring_response.xml",
    "siri_exm_GM/exm_generalMessage_response.xml",
    "entur-nordic-profile/vehicle-monitoring/vm-datafeed-original-corrected.xml",
]

VISIT = (
    "<MonitoredStopVisit><RecordedAtTime>2026-12-10T08:{m:02d}:00Z</RecordedAtTime>"
    "<ItemIdentifier>visit-{i}</ItemIdentifier><MonitoringRef>STOP-{s}</MonitoringRef>"
    "<MonitoredVehicleJourney><LineRef>{line}</LineRef><DirectionRef>outbound</DirectionRef>"
    "<FramedVehicleJourneyRef><DataFrameRef>2026-12-10</DataFrameRef>"
    "<DatedVehicleJourneyRef>J{i}</DatedVehicleJourneyRef></FramedVehicleJourneyRef>"
    "<PublishedLineName>Line {line} &amp; night</PublishedLineName>"
    "<MonitoredCall><StopPointRef>STOP-{s}</StopPointRef><AimedArrivalTime>2026-12-10T08:{m:02d}:00Z"
    "</AimedArrivalTime></MonitoredCall></MonitoredVehicleJourney></MonitoredStopVisit>\n"
)


def synthetic_stop_monitoring(visits):
    body = "".join(VISIT.format(i=i, m=i % 60, s=i % 500, line=i % 40) for i in range(visits))
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        '<S:Envelope xmlns:S="http://schemas.xmlsoap.org/soap/envelope/"><S:Body><NotifyStopMonitoring>'
        "<ServiceDeliveryInfo><ResponseTimestamp>2026-12-10T08:00:00Z</ResponseTimestamp>"
        "<ProducerRef>BENCH</ProducerRef></ServiceDeliveryInfo><Notification>"
        '<StopMonitoringDelivery version="2.0"><ResponseTimestamp>2026-12-10T08:00:00Z</ResponseTimestamp>\n'
        f"{body}</StopMonitoringDelivery></Notification></NotifyStopMonitoring></S:Body></S:Envelope>\n"
    )


def documents():
    """(name, text) of every benchmark input."""
    for relative in REAL:
        yield pathlib.Path(relative).stem, siri_docs.wrapped(relative)
    for visits in (1000, 10000, 100000):
        yield f"synthetic_sm_{visits}", synthetic_stop_monitoring(visits)


if __name__ == "__main__":
    out = pathlib.Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for name, text in documents():
        (out / f"{name}.xml").write_text(text, encoding="utf-8")
