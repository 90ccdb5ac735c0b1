"""Real SIRI documents, wrapped into the envelope form that quorvane reads.

The shared examples are `Siri > ServiceDelivery > (header) > XxxDelivery`.
`wrap` turns one into `Envelope > Body > NotifyXxx > ServiceDeliveryInfo +
Notification > XxxDelivery` by moving text, so that everything inside the
header and the deliveries (comments, prefixes, entities, line endings) stays
as the producer wrote it, with the namespaces as the standard's schema has
them: `ServiceDeliveryInfo` and `Notification` in no namespace, everything
inside them in the namespaces the document gave it. That takes two edits
where the document declares a default namespace on its root: each header
element and each child of a delivery declares it again, and a delivery
element without a prefix gets the prefix `siri`, declared on itself, since a
delivery may carry no default declaration.
"""
import pathlib
import re

# A copy of the public examples, unchanged; see the README beside them.
EXAMPLES = pathlib.Path(__file__).resolve().parents[1] / "data" / "siri-examples"

# The service element and the element that holds the deliveries, by the
# local name of the first delivery.
SERVICES = {
    "ProductionTimetableDelivery": ("NotifyProductionTimetable", "Notification"),
    "EstimatedTimetableDelivery": ("NotifyEstimatedTimetable", "Notification"),
    "StopMonitoringDelivery": ("NotifyStopMonitoring", "Notification"),
    "VehicleMonitoringDelivery": ("GetVehicleMonitoringResponse", "Answer"),
    "ConnectionMonitoringFeederDelivery": ("NotifyConnectionMonitoring", "Notification"),
    "ConnectionMonitoringDistributorDelivery": ("NotifyConnectionMonitoring", "Notification"),
    "GeneralMessageDelivery": ("NotifyGeneralMessage", "Notification"),
    "FacilityMonitoringDelivery": ("NotifyFacilityMonitoring", "Notification"),
    "SituationExchangeDelivery": ("NotifySituationExchange", "Notification"),
}

_PREFIX = r"(?:[\w.-]+:)?"
_START = re.compile(r"<" + _PREFIX + r"ServiceDelivery(?=[\s/>])[^>]*>")
_END = re.compile(r"</" + _PREFIX + r"ServiceDelivery\s*>")
_DELIVERY = re.compile(r"<" + _PREFIX + r"(" + "|".join(SERVICES) + r")(?=[\s/>])")
_ROOT = re.compile(r"<" + _PREFIX + r"Siri(?=[\s/>])([^>]*?)/?>")
_NAMESPACES = re.compile(r"""\s(xmlns(?::[\w.-]+)?)\s*=\s*("[^"]*"|'[^']*')""")
# The markup of the moved text: what holds no element is matched whole so
# that it is passed over; a tag gives its `/`, its name and its rest.
_MARKUP = re.compile(
    r"""<!--.*?-->|<!\[CDATA\[.*?\]\]>|<\?.*?\?>|<!DOCTYPE[^>]*>"""
    r"""|<(/?)([^\s/>]+)((?:[^>"']|"[^"]*"|'[^']*')*)>""",
    re.S,
)


def read(relative):
    """The text of one example, decoded as UTF-8."""
    return (EXAMPLES / relative).read_text(encoding="utf-8")


def _edit_tags(text, edit):
    """`text` with each start and end tag at depth 0 and 1 replaced by
    `edit(depth, closing, name, rest)`, which returns the new tag or None."""
    out, last, depth = [], 0, 0
    for m in _MARKUP.finditer(text):
        closing, name, rest = m.group(1), m.group(2), m.group(3)
        if name is None:
            continue
        if closing:
            depth -= 1
        at = depth
        if not closing and not rest.endswith("/"):
            depth += 1
        if at <= 1:
            new = edit(at, closing, name, rest)
            if new is not None:
                out.append(text[last:m.start()])
                out.append(new)
                last = m.end()
    out.append(text[last:])
    return "".join(out)


def _declaring(rest, key, value):
    """The rest of a start tag with `key=value` added unless it declares `key`."""
    if re.search(r"\s" + re.escape(key) + r"\s*=", rest):
        return rest
    return f" {key}={value}{rest}"


def wrap(text):
    """The envelope form of a `Siri > ServiceDelivery` document."""
    start = _START.search(text)
    end = _END.search(text, start.end())
    first = _DELIVERY.search(text, start.end(), end.start())
    service, holder = SERVICES[first.group(1)]
    header = text[start.end():first.start()]
    deliveries = text[first.start():end.start()]
    # The root's prefixed declarations go on the wrapping elements, which
    # they leave in no namespace; its default one goes where said above.
    root = _ROOT.search(text)
    declared = _NAMESPACES.findall(root.group(1)) if root else []
    prefixed = "".join(f" {k}={v}" for k, v in declared if k != "xmlns")
    default = next((v for k, v in declared if k == "xmlns"), None)
    if default is not None:
        header = _edit_tags(
            header,
            lambda depth, closing, name, rest: None if closing or depth else
            f"<{name}{_declaring(rest, 'xmlns', default)}>")

        def delivery_tag(depth, closing, name, rest):
            if depth == 0 and ":" not in name:
                rest = rest if closing else _declaring(rest, "xmlns:siri", default)
                return f"<{closing}siri:{name}{rest}>"
            if depth == 1 and not closing:
                return f"<{name}{_declaring(rest, 'xmlns', default)}>"
            return None

        deliveries = _edit_tags(deliveries, delivery_tag)
    return (
        '<S:Envelope xmlns:S="http://schemas.xmlsoap.org/soap/envelope/" xmlns:sw="http://wsdl.siri.org.uk">'
        f"<S:Body><sw:{service}>"
        f"<ServiceDeliveryInfo{prefixed}>{header}</ServiceDeliveryInfo>"
        f"<{holder}{prefixed}>{deliveries}</{holder}>"
        f"</sw:{service}></S:Body></S:Envelope>"
    )


def wrapped(relative):
    """One example, read and wrapped."""
    return wrap(read(relative))
