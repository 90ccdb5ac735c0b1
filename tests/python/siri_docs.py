"""Real SIRI documents, wrapped into the envelope form that quorvane reads.

The shared examples are `Siri > ServiceDelivery > (header) > XxxDelivery`.
`wrap` turns one into `Envelope > Body > NotifyXxx > ServiceDeliveryInfo +
Notification > XxxDelivery` by moving text, so that everything inside the
header and the deliveries (comments, prefixes, entities, line endings) stays
byte for byte as the producer wrote it.
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


def read(relative):
    """The text of one example, decoded as UTF-8."""
    return (EXAMPLES / relative).read_text(encoding="utf-8")


def wrap(text):
    """The envelope form of a `Siri > ServiceDelivery` document."""
    start = _START.search(text)
    end = _END.search(text, start.end())
    first = _DELIVERY.search(text, start.end(), end.start())
    service, holder = SERVICES[first.group(1)]
    header = text[start.end():first.start()]
    deliveries = text[first.start():end.start()]
    # The root's namespace declarations go on the wrapping elements, so that
    # every prefix of the moved text stays declared.
    root = _ROOT.search(text)
    namespaces = "".join(f" {k}={v}" for k, v in _NAMESPACES.findall(root.group(1))) if root else ""
    return (
        '<S:Envelope xmlns:S="http://schemas.xmlsoap.org/soap/envelope/" xmlns:sw="http://wsdl.siri.org.uk">'
        f"<S:Body><sw:{service}>"
        f"<ServiceDeliveryInfo{namespaces}>{header}</ServiceDeliveryInfo>"
        f"<{holder}{namespaces}>{deliveries}</{holder}>"
        f"</sw:{service}></S:Body></S:Envelope>"
    )


def wrapped(relative):
    """One example, read and wrapped."""
    return wrap(read(relative))
