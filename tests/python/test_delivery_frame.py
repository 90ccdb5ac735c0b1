"""The delivery frame (`leader`), read from each delivery's leftover keys."""
import re

import pytest

from notify_docs import RT, delivery_doc, error, leader, render, unknown_frame_field

SERVICES = ["stop_monitoring", "vehicle_monitoring", "general_message"]

# (delivery attributes, delivery content, the frame's rendering or error)
FRAME_CASES = [
    ('version="2.0"', RT, leader()),
    ('xmlns:siri="http://www.siri.org.uk/siri"', RT, leader()),
    ('xmlns:siri="u" siri:version="2.0"', RT, leader()),
    ('xmlns="http://www.siri.org.uk/siri"', RT, ValueError(unknown_frame_field("@xmlns"))),
    ('xmlns:xsi="u"', RT, ValueError(unknown_frame_field("@xmlns:xsi"))),
    ('xsi:schemaLocation="u"', RT, ValueError(unknown_frame_field("@schemaLocation"))),
    ('id="d1"', RT, ValueError(unknown_frame_field("@id"))),
    ("", RT + "stray", ValueError(unknown_frame_field("$text"))),
    ("", RT + "<Extensions/>", ValueError(unknown_frame_field("Extensions"))),
    ("", "<ErrorCondition><x/></ErrorCondition>" + RT, ValueError(unknown_frame_field("ErrorCondition"))),
    # Entries before the rejected one were applied; none after it is looked at.
    ("", "<Extensions/><ResponseTimestamp/>", ValueError(unknown_frame_field("Extensions"))),
    # The response timestamp: the last element counts, also without text.
    ("", RT + "<ResponseTimestamp>t2</ResponseTimestamp>", leader("t2")),
    ("", RT + "<ResponseTimestamp/>", ValueError("missing field `ResponseTimestamp`")),
    ("", "<ResponseTimestamp/>", ValueError("missing field `ResponseTimestamp`")),
    ("", "<ResponseTimestamp>  </ResponseTimestamp>", ValueError("missing field `ResponseTimestamp`")),
    ("", "", ValueError("missing field `ResponseTimestamp`")),
    ("", "<ResponseTimestamp> t1 </ResponseTimestamp>", leader()),
    ("", "<ResponseTimestamp>a&amp;b</ResponseTimestamp>", leader("a&b")),
    # Texts: the last text piece of the element, or none.
    ("", RT + "<RequestMessageRef/>", leader()),
    ("", RT + "<RequestMessageRef>R1</RequestMessageRef>", leader(request_message_ref='Some("R1")')),
    ("", RT + "<ValidUntil>t<X/>u</ValidUntil>", leader(valid_until='Some("u")')),
    ("", RT + '<ValidUntil a="1">t<X/></ValidUntil>', leader(valid_until='Some("t")')),
    ("", RT + "<ValidUntil>v</ValidUntil><ValidUntil/>", leader()),
    (
        "",
        "<SubscriberRef>S</SubscriberRef>" + RT + "<SubscriptionRef>U</SubscriptionRef>",
        leader(subscriber_ref='Some("S")', subscription_ref='Some("U")'),
    ),
    # Status and ShortestPossibleCycle keep a valid value; any other text
    # leaves them absent rather than failing the document.
    ("", RT + "<Status>true</Status>", leader(status="Some(true)")),
    ("", RT + "<Status>0</Status>", leader(status="Some(false)")),
    ("", RT + "<Status>yes</Status>", leader()),
    ("", RT + "<Status>true</Status><Status/>", leader()),
    ("", RT + "<ShortestPossibleCycle>30</ShortestPossibleCycle>", leader(shortest_possible_cycle="Some(30)")),
    ("", RT + "<ShortestPossibleCycle>PT10S</ShortestPossibleCycle>", leader()),
    ("", RT + "<ShortestPossibleCycle>-1</ShortestPossibleCycle>", leader()),
]


@pytest.mark.parametrize("service", SERVICES)
@pytest.mark.parametrize("attrs, inner, expected", FRAME_CASES)
def test_frame(service, attrs, inner, expected):
    doc = delivery_doc(service, inner, attrs)
    if isinstance(expected, ValueError):
        assert error(doc) == str(expected)
    else:
        assert re.search(r"leader: (XxxDelivery \{[^}]*\})", render(doc)).group(1) == expected


# A child the delivery claims for itself, broken; it fails before the frame
# looks at an unknown child that stood before it.
OWN_ERRORS = {
    "stop_monitoring": (
        "<MonitoredStopVisit><RecordedAtTime>r</RecordedAtTime><MonitoringRef>m</MonitoringRef>"
        "<MonitoredVehicleJourney><LineRef>L</LineRef><FramedVehicleJourneyRef/></MonitoredVehicleJourney>"
        "</MonitoredStopVisit>",
        "missing field `ItemIdentifier`",
    ),
    "vehicle_monitoring": ("<VehicleActivity/>", "missing field `MonitoredVehicleJourney`"),
    "general_message": ("<InfoMessage/>", "missing field `RecordedAtTime`"),
}


@pytest.mark.parametrize("service", SERVICES)
@pytest.mark.parametrize("frame_fault", ["<Extensions/>", "", "stray"])
def test_the_delivery_fails_before_its_frame(service, frame_fault):
    child, message = OWN_ERRORS[service]
    # No response timestamp, an unknown child or stray text: each would fail
    # the frame, but the delivery's own error comes first.
    assert error(delivery_doc(service, frame_fault + child, 'xmlns="u"')) == message


@pytest.mark.parametrize("service", SERVICES)
@pytest.mark.parametrize(
    "inner, message",
    [
        # Leftover content is decoded as it is kept, so its faults fail at
        # once, even behind a grandchild (a skipped child would not fail).
        (RT + "<Other>x<Y/>&bad;</Other>", "at 1..4: unrecognized entity `bad`"),
        (RT + '<Other a="&bad;"/>', "at 1..4: unrecognized entity `bad`"),
        (RT + "<Other>", "ill-formed document: start tag not closed: `</Other>` not found before end of input"),
    ],
)
def test_leftover_content_is_checked_while_kept(service, inner, message):
    doc = delivery_doc(service, inner)
    # The unclosed child swallows the rest of the document.
    if inner.endswith("<Other>"):
        doc = doc[: doc.index("<Other>") + len("<Other>")]
    assert error(doc) == message
