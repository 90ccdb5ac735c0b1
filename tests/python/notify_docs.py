"""Small notification documents for the service tests, and what they give."""
import pytest

import quorvane

# The header every small document carries, and how it renders.
SDI = "<ServiceDeliveryInfo><ProducerRef>P</ProducerRef></ServiceDeliveryInfo>"
SDI_TEXT = (
    'ServiceDeliveryInfo { response_timestamp: None, producer_ref: "P", '
    "request_message_identifier: None, response_message_ref: None }"
)
RT = "<ResponseTimestamp>t1</ResponseTimestamp>"

FRAME_KEYS = (
    "`ResponseTimestamp`, `RequestMessageRef`, `SubscriberRef`, `SubscriptionRef`, "
    "`Status`, `ValidUntil`, `ShortestPossibleCycle`"
)

# service -> (service element, notification element, delivery element)
SERVICES = {
    "stop_monitoring": ("NotifyStopMonitoring", "Notification", "StopMonitoringDelivery"),
    "vehicle_monitoring": ("GetVehicleMonitoringResponse", "Answer", "VehicleMonitoringDelivery"),
    "general_message": ("NotifyGeneralMessage", "Notification", "GeneralMessageDelivery"),
}

NOTIFY_METHODS = [
    "notify_production_timetable",
    "notify_estimated_timetable",
    "notify_stop_monitoring",
    "notify_vehicle_monitoring",
    "notify_connection_monitoring",
    "notify_general_message",
    "notify_facility_monitoring",
]


def unknown_frame_field(key):
    return f"unknown field `{key}`, expected one of {FRAME_KEYS}"


def leader(response_timestamp="t1", **fields):
    """The rendering of a delivery frame; other fields as rendered values."""
    names = ["request_message_ref", "subscriber_ref", "subscription_ref", "status", "valid_until",
             "shortest_possible_cycle"]
    assert set(fields) <= set(names)
    rest = "".join(f", {n}: {fields.get(n, 'None')}" for n in names)
    return f'XxxDelivery {{ response_timestamp: "{response_timestamp}"{rest} }}'


def envelope(service_xml, root_attrs=""):
    return f"<Envelope{root_attrs}><Body>{service_xml}</Body></Envelope>"


def delivery_doc(service, inner, attrs="", root_attrs=""):
    """A whole document whose one delivery holds `inner`."""
    element, holder, delivery = SERVICES[service]
    attrs = " " + attrs if attrs else ""
    return envelope(
        f"<{element}>{SDI}<{holder}><{delivery}{attrs}>{inner}</{delivery}></{holder}></{element}>", root_attrs
    )


def parse(doc):
    return quorvane.SIRI().parse(doc)


def render(doc):
    return str(parse(doc))


def body_text(doc):
    return str(parse(doc).body())


def error(doc):
    with pytest.raises(ValueError) as caught:
        parse(doc)
    return str(caught.value)


def check_surface(doc, method, cls):
    """The Python surface of one service: new objects per call, the other
    notify methods None, and the body rendering inside the envelope's."""
    env = parse(doc)
    body = env.body()
    first, second = getattr(body, method)(), getattr(body, method)()
    assert type(first) is cls and type(second) is cls
    assert first is not second
    for other in NOTIFY_METHODS:
        if other != method:
            assert getattr(body, other)() is None, other
    text = str(env)
    assert text.startswith("Envelope { body: ") and text.endswith(" }")
    assert str(body) == text[len("Envelope { body: "):-len(" }")]
    # The handed-out objects own copies: dropping them changes nothing.
    del first, second
    assert str(env.body()) == str(body)
    with pytest.raises(TypeError, match="^No constructor defined$"):
        cls()
