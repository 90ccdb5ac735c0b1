"""The wrapped real documents keep the standard's namespaces, so that other
readers (the benchmark's schema-bound peer among them) see what a producer
would send."""
import xml.etree.ElementTree as ET

import pytest

import siri_docs

SIRI = "{http://www.siri.org.uk/siri}"


@pytest.mark.parametrize("relative", [
    # default namespace on the root
    "siri_exm_SM/exs_stopMonitoring_response.xml",
    "siri_exm_VM/exv_vehicleMonitoring_response_simple.xml",
    "entur-nordic-profile/estimated-timetable/siri-et-extra-journey-1.xml",
    # prefixed elements, and a default namespace beside the prefix
    "entur-nordic-profile/situation-exchange/sx-datafeed-original-corrected.xml",
])
def test_wrapping_elements_are_unqualified_and_their_content_is_not(relative):
    service = ET.fromstring(siri_docs.wrapped(relative))[0][0]
    holders = list(service)
    assert [h.tag for h in holders] == ["ServiceDeliveryInfo", holders[1].tag]
    assert holders[1].tag in ("Notification", "Answer")
    for holder in holders:
        assert len(holder) > 0
        for child in holder:
            assert child.tag.startswith(SIRI), child.tag
            for inner in child:
                assert inner.tag.startswith(SIRI), inner.tag


def test_text_inside_the_deliveries_is_moved_unchanged():
    relative = "siri_exm_SM/exs_stopMonitoring_response.xml"
    original = siri_docs.read(relative)
    wrapped = siri_docs.wrapped(relative)
    visit = original[original.index("<MonitoredVehicleJourney>"):original.index("</MonitoredVehicleJourney>")]
    assert visit in wrapped
