"""The benchmark inputs: the real documents of every service, wrapped into the
envelope form, and synthetic documents scaled from real ones.

Where the reader rejects a real document as written, the input is the edited
variant that the service's tests read (the same edits, most of them imported
from the tests), so that every input is timed through a whole parse.

Run as a script, it writes each input to DIR/<name>.xml for bench_core.
"""
import pathlib
import re
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests" / "python"))
import siri_docs  # noqa: E402
import test_situation_exchange as sx_tests  # noqa: E402
import test_stop_monitoring as sm_tests  # noqa: E402

ENTUR = "entur-nordic-profile/"


def as_is(text):
    return text


def sm_verbose(text):
    """The verbose stop-monitoring examples: a MonitoringRef for the visit
    without one, and without the delivery's own extras."""
    return sm_tests.without_delivery_extras(sm_tests.with_second_monitoring_ref(text))


def whole_percentages(text):
    """Decimal percentages made whole: the reader takes them as i32."""
    return re.sub(r"<Percentage>(\d+)\.\d*</Percentage>", r"<Percentage>\1</Percentage>", text)


def with_producer(text):
    """A ProducerRef in a service header that names none."""
    return text.replace("</ResponseTimestamp>", "</ResponseTimestamp><ProducerRef>ENTUR</ProducerRef>", 1)


def with_journey_refs(text):
    """An empty FramedVehicleJourneyRef, which a journey requires, in each
    journey of the Nordic feeds that has none."""
    def add(m):
        journey = m.group(0)
        if "<FramedVehicleJourneyRef>" in journey:
            return journey
        return journey.replace("</LineRef>", "</LineRef><FramedVehicleJourneyRef/>", 1)
    return re.sub(r"<MonitoredVehicleJourney>.*?</MonitoredVehicleJourney>", add, text, flags=re.S)


def vm_feed(text):
    return with_journey_refs(whole_percentages(with_producer(text)))


def vm_verbose(text):
    return (whole_percentages(text)
            .replace("<LinkDistance>3.14</LinkDistance>", "<LinkDistance>3</LinkDistance>")
            .replace("<Reason>Gone home</Reason>", "<Reasons>Gone home</Reasons>")
            .replace("<VehicleActivityNote>hello delivery</VehicleActivityNote>", ""))


def et_quay_change(text):
    return re.sub(r"<ArrivalStopAssignment>.*?</ArrivalStopAssignment>", "", text, flags=re.S)


def et_occupancy(text):
    return text.replace("<Status>true</Status>", "<ProducerRef>P</ProducerRef>", 1)


def et_data_feed(text):
    return text.replace("<EstimatedTimetableDelivery", "<ProducerRef>P</ProducerRef><EstimatedTimetableDelivery", 1)


def cm_feeder(text):
    return text.replace("FramedVehicleJourneyRef>", "FramedJourneyRef>")


def cm_distributor(text):
    return text.replace("StoppingPositionChangedDeparture>", "StoppingPositionChangeDeparture>")


# (name, example, edit of the example's text before wrapping, edit after)
REAL = [
    ("sm_cen", "siri_exm_SM/exs_stopMonitoring_response.xml", sm_verbose, as_is),
    ("sm_cen_complex", "siri_exm_SM/exs_stopMonitoring_response_complex.xml", sm_verbose, as_is),
    ("sm_entur_workfile", ENTUR + "workfolder/siri-sm-workfile.xml", sm_verbose, as_is),
    ("vm_cen", "siri_exm_VM/exv_vehicleMonitoring_response.xml", vm_verbose, as_is),
    ("vm_cen_simple", "siri_exm_VM/exv_vehicleMonitoring_response_simple.xml", as_is, as_is),
    ("vm_occupancy", "occupancy/exv_vehicleMonitoring_response.xml", as_is, as_is),
    ("vm_entur_minimum", ENTUR + "vehicle-monitoring/siri-vm-minimum.xml", as_is, as_is),
    ("vm_entur_at_stop", ENTUR + "vehicle-monitoring/siri-vm-at-stop.xml", whole_percentages, as_is),
    ("vm_entur", ENTUR + "vehicle-monitoring/siri-vm.xml", whole_percentages, as_is),
    ("vm_entur_feed_partial", ENTUR + "vehicle-monitoring/vm-datafeed-partial-corrected.xml",
     vm_feed, as_is),
    # The large real feed of the Nordic profile.
    ("vm_entur_feed", ENTUR + "vehicle-monitoring/vm-datafeed-original-corrected.xml",
     vm_feed, as_is),
    ("gm_cen", "siri_exm_GM/exm_generalMessage_response.xml", as_is, as_is),
    ("et_cen", "siri_exm_ET/ext_estimatedTimetable_response.xml", as_is, as_is),
    ("et_occupancy", "occupancy/ext_estimatedTimetable_response.xml", et_occupancy, as_is),
    ("et_entur_partial_cancellation",
     ENTUR + "estimated-timetable/siri-et-partial-cancellation-last-stops-after-departure.xml", as_is, as_is),
    ("et_entur_cancellation", ENTUR + "estimated-timetable/siri-et-cancellation-before-departure.xml", as_is, as_is),
    ("et_entur_extra_journey", ENTUR + "estimated-timetable/siri-et-extra-journey-1.xml", as_is, as_is),
    ("et_entur_before_departure", ENTUR + "estimated-timetable/siri-et-vehicle-before-departure.xml", as_is, as_is),
    ("et_entur_quay_change", ENTUR + "estimated-timetable/siri-et-quay-change-1.xml", as_is, et_quay_change),
    ("et_entur_feed_partial", ENTUR + "estimated-timetable/et-datafeed-partial-corrected.xml", et_data_feed, as_is),
    ("pt_cen", "siri_exm_PT/ext_productionTimetable_response.xml", as_is, as_is),
    ("pt_entur", ENTUR + "production-timetable/siri-pt.xml", as_is, as_is),
    ("sx_entur_reshaped", ENTUR + "situation-exchange/siri-sx-for-stop-by-specific-lines.xml", as_is,
     sx_tests.reshaped_stop_notice),
    ("cm_cen_feeder", "siri_exm_CM/exc_connectionMonitoringFeeder_response.xml", cm_feeder, as_is),
    ("cm_cen_distributor", "siri_exm_CM/exc_connectionMonitoringDistributor_response.xml", cm_distributor, as_is),
    ("fm_cen", "siri_exm_FM/exf_facilityMonitoring_response.xml", as_is, as_is),
]

# One stop visit, shaped after the visits of the real examples.
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

SIRI_OPEN = '<?xml version="1.0" encoding="UTF-8"?>\n<Siri xmlns="http://www.siri.org.uk/siri" version="2.0">'


def synthetic_stop_monitoring(visits):
    """A stop-monitoring delivery of `visits` visits, wrapped."""
    body = "".join(VISIT.format(i=i, m=i % 60, s=i % 500, line=i % 40) for i in range(visits))
    return siri_docs.wrap(
        f"{SIRI_OPEN}<ServiceDelivery><ResponseTimestamp>2026-12-10T08:00:00Z</ResponseTimestamp>"
        "<ProducerRef>BENCH</ProducerRef>"
        '<StopMonitoringDelivery version="2.0"><ResponseTimestamp>2026-12-10T08:00:00Z</ResponseTimestamp>\n'
        f"{body}</StopMonitoringDelivery></ServiceDelivery></Siri>\n"
    )


ET_SOURCE = ENTUR + "estimated-timetable/siri-et-partial-cancellation-last-stops-after-departure.xml"


def synthetic_estimated_timetable(journeys):
    """An estimated-timetable delivery of `journeys` copies of a real journey
    with 3 recorded and 5 estimated calls, each with its own reference."""
    text = siri_docs.read(ET_SOURCE)
    journey = re.search(r"<EstimatedVehicleJourney>.*?</EstimatedVehicleJourney>", text, re.S).group(0)
    ref = "NSB:ServiceJourney:1-2492-2343"
    assert ref in journey
    body = "".join(journey.replace(ref, f"NSB:ServiceJourney:{i}") for i in range(journeys))
    return siri_docs.wrap(
        f"{SIRI_OPEN}<ServiceDelivery><ResponseTimestamp>2026-12-10T08:00:00Z</ResponseTimestamp>"
        "<ProducerRef>BENCH</ProducerRef>"
        '<EstimatedTimetableDelivery version="2.0"><ResponseTimestamp>2026-12-10T08:00:00Z</ResponseTimestamp>'
        f"<EstimatedJourneyVersionFrame><RecordedAtTime>2026-12-10T08:00:00Z</RecordedAtTime>{body}"
        "</EstimatedJourneyVersionFrame></EstimatedTimetableDelivery></ServiceDelivery></Siri>\n"
    )


# (series, unit, sizes): the synthetic documents that show growth with size.
SERIES = [
    ("synthetic_sm", "visits", (1000, 10000, 100000), synthetic_stop_monitoring),
    ("synthetic_et", "journeys", (100, 1000, 10000), synthetic_estimated_timetable),
]


def unknown_runs(elements):
    """A production timetable whose first planned journey holds `elements`
    unknown empty elements `<X/>`: that record is read in buffer mode, so it
    keeps them for its groups until its end."""
    text = siri_docs.wrap(siri_docs.read(ENTUR + "production-timetable/siri-pt.xml"))
    assert "<DatedVehicleJourney>" in text
    return text.replace("<DatedVehicleJourney>", "<DatedVehicleJourney>" + "<X/>" * elements, 1)


def documents():
    """(name, text) of every benchmark input, in table order."""
    for name, relative, before, after in REAL:
        yield name, after(siri_docs.wrap(before(siri_docs.read(relative))))
    for series, _, sizes, make in SERIES:
        for size in sizes:
            yield f"{series}_{size}", make(size)


if __name__ == "__main__":
    out = pathlib.Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for old in out.glob("*.xml"):
        old.unlink()
    for name, text in documents():
        (out / f"{name}.xml").write_text(text, encoding="utf-8")
