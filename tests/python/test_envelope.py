"""The document entry: the envelope, its Body and the choice of the service."""
import pytest

from quorvane import SIRI

NINE = (
    "`NotifyProductionTimetable`, `NotifyEstimatedTimetable`, `NotifyStopMonitoring`, "
    "`GetVehicleMonitoringResponse`, `NotifyConnectionMonitoring`, `NotifyGeneralMessage`, `GeneralMessage`, "
    "`NotifyFacilityMonitoring`, `NotifySituationExchange`"
)


def unknown(key):
    return f"unknown field `{key}`, expected one of {NINE}"


def sm(producer="P1", prefix=""):
    """A small stop-monitoring service element."""
    p = prefix
    return (
        f"<{p}NotifyStopMonitoring><{p}ServiceDeliveryInfo><{p}ProducerRef>{producer}</{p}ProducerRef>"
        f"</{p}ServiceDeliveryInfo><{p}Notification><{p}StopMonitoringDelivery>"
        f"<{p}ResponseTimestamp>T</{p}ResponseTimestamp></{p}StopMonitoringDelivery>"
        f"</{p}Notification></{p}NotifyStopMonitoring>"
    )


def doc(body=None, root="Envelope", before="", after="", body_tag="Body"):
    body = sm() if body is None else body
    return f"<{root}>{before}<{body_tag}>{body}</{body_tag.split()[0]}>{after}</{root.split()[0]}>"


def rendering(producer="P1"):
    """str() of the Body that sm(producer) gives."""
    return (
        "Body(StopMonitoring(NotifyStopMonitoring { service_delivery_info: ServiceDeliveryInfo { "
        f'response_timestamp: None, producer_ref: "{producer}", request_message_identifier: None, '
        "response_message_ref: None }, notification: StopMonitoringNotification { stop_monitoring_delivery: "
        'StopMonitoringDelivery { leader: XxxDelivery { response_timestamp: "T", request_message_ref: None, '
        "subscriber_ref: None, subscription_ref: None, status: None, valid_until: None, "
        "shortest_possible_cycle: None }, monitoring_ref: None, monitored_stop_visit: None, "
        "monitored_stop_visit_cancellation: None } } }))"
    )


def parse_error(text):
    with pytest.raises(ValueError) as info:
        SIRI().parse(text)
    assert type(info.value) is ValueError
    assert len(info.value.args) == 1
    return str(info.value)


def test_envelope_and_body_render_their_frames():
    env = SIRI().parse(doc())
    assert str(env.body()) == rendering()
    assert str(env) == "Envelope { body: " + rendering() + " }"


# Documents that read as the one small stop-monitoring service.
@pytest.mark.parametrize(
    "text",
    [
        pytest.param(doc(), id="plain"),
        pytest.param(
            '<soapenv:Envelope xmlns:soapenv="http://schemas.xmlsoap.org/soap/envelope/">'
            "<soapenv:Body>" + sm() + "</soapenv:Body></soapenv:Envelope>",
            id="soapenv prefixes",
        ),
        pytest.param(doc(sm(prefix="siri:")), id="prefixed service"),
        pytest.param(doc(root="x"), id="any root name"),
        pytest.param(doc(root='Envelope a="1" xmlns="u" xmlns:p="v"'), id="root attributes"),
        pytest.param(doc(body_tag="x:soapenv:Body"), id="second name of Body"),
        pytest.param(doc(before="<Header><Body/></Header>", after="<Trailer/>"), id="other root children"),
        pytest.param(doc(before="text", after="more text"), id="text in the root"),
        pytest.param(doc(" \n\t<!-- a comment -->" + sm() + "<!-- another --> "), id="space and comments in Body"),
        pytest.param('<?xml version="1.0"?>\n<!-- c -->\n<?pi x?><!DOCTYPE Envelope>\n' + doc(), id="prolog"),
        pytest.param("\ufeff" + doc(), id="byte order mark"),
        pytest.param(doc() + "<Envelope><Body/></Envelope>", id="second root"),
        pytest.param(doc() + "trailing text", id="text after the root"),
        pytest.param(doc() + "</x><<<&bad;", id="broken markup after the root"),
        pytest.param(doc(sm("P0") + sm()), id="the last service counts"),
        pytest.param(doc(sm("P0") + "<!-- c -->\n" + sm()), id="last service after a comment"),
    ],
)
def test_documents_that_read(text):
    assert str(SIRI().parse(text).body()) == rendering()


@pytest.mark.parametrize(
    "text, message",
    [
        # No root element.
        ("", "unexpected `Event::Eof`"),
        (" \r\n\t", "unexpected `Event::Eof`"),
        ("<!-- only a comment -->", "unexpected `Event::Eof`"),
        ('<?xml version="1.0"?><!DOCTYPE Envelope>', "unexpected `Event::Eof`"),
        ("\ufeff", "unexpected `Event::Eof`"),
        # Text before the root, escaped as in a rendering.
        ("x" + doc(), 'invalid type: string "x", expected struct Envelope'),
        (' a"b\\c\td &amp; <r/>', 'invalid type: string "a\\"b\\\\c\\td &", expected struct Envelope'),
        # The root and its Body.
        ("<Envelope/>", "missing field `Body`"),
        ("<Envelope><Header/></Envelope>", "missing field `Body`"),
        ("<Envelope><Header>" + doc() + "</Header></Envelope>", "missing field `Body`"),
        ("<Envelope><body>" + sm() + "</body></Envelope>", "missing field `Body`"),
        (doc(after="<Body/>"), "duplicate field `Body`"),
        (doc(after="<x:soapenv:Body/>"), "duplicate field `Body`"),
        (doc(body_tag="x:soapenv:Body", after="<Body/>"), "duplicate field `Body`"),
        # The first Body is read before a second one is seen.
        ("<Envelope><Body/><Body/></Envelope>", "Missing service type"),
        # No service.
        ("<Envelope><Body/></Envelope>", "Missing service type"),
        (doc(""), "Missing service type"),
        (doc(" \n <!-- nothing --> \t"), "Missing service type"),
        (doc(body_tag="soapenv:Body", body=""), "Missing service type"),
        # Attributes on Body, namespace declarations included.
        (doc(body_tag='Body xmlns="urn:x"'), 'invalid type: string "@xmlns", expected a borrowed string'),
        (doc(body_tag='Body xmlns:s="urn:x"'), 'invalid type: string "@xmlns:s", expected a borrowed string'),
        (doc(body_tag='Body id="1"'), 'invalid type: string "@id", expected a borrowed string'),
        (doc(body_tag='Body s:id="1" b="2"'), 'invalid type: string "@id", expected a borrowed string'),
        (doc(body_tag='Body id="1"', body=""), 'invalid type: string "@id", expected a borrowed string'),
        # Text and foreign children of Body.
        (doc("text" + sm()), unknown("$text")),
        (doc(sm() + "text"), unknown("$text")),
        (doc("<![CDATA[ ]]>" + sm()), unknown("$text")),
        (doc("<Header/>"), unknown("Header")),
        (doc("<Header/>" + sm()), unknown("Header")),
        (doc(sm() + "<Header/>"), unknown("Header")),
        (doc("<soapenv:Header/>"), unknown("Header")),
        (doc("<NotifyVechicleMonitoring/>"), unknown("NotifyVechicleMonitoring")),
        (doc("<VehicleMonitoring/>"), unknown("VehicleMonitoring")),
        (doc("<notifystopmonitoring/>"), unknown("notifystopmonitoring")),
        (doc("<NotifyStopMonitoring2/>"), unknown("NotifyStopMonitoring2")),
        (doc("<a:b:NotifyStopMonitoring/>"), unknown("b:NotifyStopMonitoring")),
        # Every service element is read: an error in any of them counts.
        (doc(sm() + "<NotifyStopMonitoring/>"), "missing field `ServiceDeliveryInfo`"),
        (doc("<NotifyStopMonitoring/>" + sm()), "missing field `ServiceDeliveryInfo`"),
        # Reader errors surface as they are.
        ("<Envelope><Body>" + sm(), "ill-formed document: start tag not closed: `</Body>` not found before end of input"),
        (
            "<Envelope><Body>" + sm() + "</Body>",
            "ill-formed document: start tag not closed: `</Envelope>` not found before end of input",
        ),
        (doc().replace("</Body>", "</Bodx>"), "ill-formed document: expected `</Body>`, but `</Bodx>` was found"),
        ("</Envelope>", "ill-formed document: close tag `</Envelope>` does not match any open tag"),
    ],
)
def test_documents_that_fail(text, message):
    assert parse_error(text) == message


NAMES = [
    "NotifyProductionTimetable",
    "NotifyEstimatedTimetable",
    "NotifyStopMonitoring",
    "GetVehicleMonitoringResponse",
    "NotifyConnectionMonitoring",
    "NotifyGeneralMessage",
    "GeneralMessage",
    "NotifyFacilityMonitoring",
    "NotifySituationExchange",
]


@pytest.mark.parametrize("name", NAMES)
def test_each_service_name_selects_a_reader(name):
    # An empty service element is handed to its service's reader, which
    # rejects it; the choice itself neither refuses the name nor reports a
    # missing service.
    message = parse_error(doc(f"<s:{name}/>"))
    assert not message.startswith("unknown field")
    assert message != "Missing service type"


@pytest.mark.parametrize("name", [n for n in NAMES if n != "NotifyStopMonitoring"])
def test_a_later_service_element_is_read_too(name):
    # The stop-monitoring record read first is not kept in place of a later
    # service element: that element goes to its own reader (which rejects
    # it empty).
    assert not parse_error(doc(sm() + f"<{name}/>")).startswith("unknown field")
