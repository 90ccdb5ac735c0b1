"""Facility monitoring: the notification, its one condition and the facility
records below it, seen through `str()` of the parsed body."""
import pytest

import quorvane
import siri_docs
from notify_docs import FRAME_KEYS as _FRAME_KEYS, body_text, error as parse_error

RT = "<ResponseTimestamp>2030-01-02T03:04:05Z</ResponseTimestamp>"
LEADER = (
    'XxxDelivery { response_timestamp: "2030-01-02T03:04:05Z", request_message_ref: None, subscriber_ref: None, '
    "subscription_ref: None, status: None, valid_until: None, shortest_possible_cycle: None }"
)
EMPTY_FACILITY = (
    "Facility { facility_code: None, description: None, facility_class: None, validity_condition: None, "
    "facility_location: None, accessibility_assesment: None, limitations: None, suitabilities: None }"
)
FRAME_KEYS = "expected one of " + _FRAME_KEYS
AVAILABILITIES = (
    "expected one of `unknown`, `available`, `notAvailable`, `partiallyAvailable`, `added`, `removed`"
)
CLASSES = "expected one of `fixedEquipment`, `mobileEquipment`, `siteComponent`, `site`, `parkingBay`, `vehicle`"


def fm(delivery, attributes=' version="2" xmlns:siri="u"'):
    """A facility-monitoring document around the content of one delivery."""
    return (
        "<Envelope><Body><NotifyFacilityMonitoring><ServiceDeliveryInfo><ProducerRef>OPS</ProducerRef>"
        f"</ServiceDeliveryInfo><Notification><FacilityMonitoringDelivery{attributes}>{delivery}"
        "</FacilityMonitoringDelivery></Notification></NotifyFacilityMonitoring></Body></Envelope>"
    )


def fc(inner):
    """A condition with an empty facility and `inner` beside it."""
    return f"<FacilityCondition><Facility/>{inner}</FacilityCondition>"


def facility(inner):
    """A document whose one facility holds `inner`."""
    return fm(f"{RT}<FacilityCondition><Facility>{inner}</Facility></FacilityCondition>")


def test_smallest_document_renders_the_whole_tree():
    assert body_text(fm(fc("<FacilityRef>F1</FacilityRef>") + RT)) == (
        "Body(FacilityMonitoring(NotifyFacilityMonitoring { service_delivery_info: ServiceDeliveryInfo { "
        'response_timestamp: None, producer_ref: "OPS", request_message_identifier: None, response_message_ref: None '
        "}, notification: FacilityMonitoringNotification { facility_monitoring_delivery: FacilityMonitoringDelivery { "
        f"leader: {LEADER}, facility_condition: FacilityCondition {{ facility: {EMPTY_FACILITY}, "
        'facility_ref: Some("F1"), facility_status: None, validity_period: None } } } }))'
    )


PERIODS_AND_SUITABILITIES = facility(
    "<ValidityCondition><Period><StartTime>s</StartTime><EndTime>e</EndTime>"
    "<EndTimeStatus>shortTerm</EndTimeStatus></Period></ValidityCondition>"
    "<Suitabilities>i<Suitability><Suitable>yes</Suitable><UserNeed/></Suitability><!-- c --> "
    "<Suitability><Suitable>no</Suitable></Suitability></Suitabilities>"
)

PARSES = [
    pytest.param(
        facility(
            "<Limitations><LiftFreeAccess>0</LiftFreeAccess><WheelchairAccess> true </WheelchairAccess></Limitations>"
            '<AccessibilityAssessment a="1">t<C/></AccessibilityAssessment><FacilityClass> site </FacilityClass>'
            "<x:FacilityCode>L7</x:FacilityCode><facilitycode>s</facilitycode>"
        ),
        'Facility { facility_code: Some("L7"), description: None, facility_class: Some(Site), '
        "validity_condition: None, facility_location: None, accessibility_assesment: Some(AccessibilityAssessment), "
        "limitations: Some(Limitations { wheelchair_access: Some(true), step_free_access: None, "
        "lift_free_access: Some(false) }), suitabilities: None }",
        id="facility-fields-in-declaration-order",
    ),
    pytest.param(
        PERIODS_AND_SUITABILITIES,
        'validity_condition: Some(ValidityCondition { period: [ValidityPeriod { start_time: "s", end_time: "e", '
        "end_time_status: Some(ShortTerm), end_time_precision: None }] })",
        id="validity-condition-periods",
    ),
    pytest.param(
        PERIODS_AND_SUITABILITIES,
        'suitabilities: Some(Suitabilities { suitability: Some([Suitability { suitable: "yes", '
        'user_need: Some(UserNeed { mobility_need: None }) }, Suitability { suitable: "no", user_need: None }]) })',
        id="suitabilities-run-across-comment",
    ),
    pytest.param(
        facility("<Suitabilities/>"),
        "suitabilities: Some(Suitabilities { suitability: None })",
        id="empty-suitabilities",
    ),
    pytest.param(
        facility("<FacilityLocation><LineRef/><Other><OperatorRef>x</OperatorRef></Other></FacilityLocation>"),
        'facility_location: Some(FacilityLocation { line_ref: Some(""), stop_point_ref: None, vehicle_ref: None, '
        "stop_place_ref: None, stop_place_component_id: None, operator_ref: None })",
        id="location-skips-unknown-children",
    ),
    pytest.param(
        fm(RT + fc("<FacilityStatus><Status>&#97;dded</Status><AccessibilityAssessment/><AccessibilityAssessment/>"
                   "</FacilityStatus>")),
        "facility_status: Some(FacilityStatus { status: Some(Added), description: None, "
        "accessibility_assesment: [AccessibilityAssessment, AccessibilityAssessment] })",
        id="status-decoded-before-matching",
    ),
    pytest.param(
        fm(RT + fc("<Status>bogus</Status><ValidityPeriod><StartTime>a</StartTime><EndTime>b</EndTime>"
                   "<EndTimePrecision>day</EndTimePrecision></ValidityPeriod>")),
        'validity_period: Some(ValidityPeriod { start_time: "a", end_time: "b", end_time_status: None, '
        "end_time_precision: Some(Day) }) }",
        id="condition-skips-status-and-reads-one-period",
    ),
    pytest.param(
        facility('<Other a=b><x/>&bad;</Other>'),
        "facility_ref: None",
        id="skipped-child-rest-not-decoded",
    ),
    pytest.param(
        fm(RT + fc("<Extra/>")),
        "facility_ref: None, facility_status: None, validity_period: None }",
        id="unknown-child-inside-condition-is-skipped",
    ),
    pytest.param(
        fm(RT + fc("") + "<Status>true</Status><ShortestPossibleCycle>PT3M</ShortestPossibleCycle>"),
        "status: Some(true), valid_until: None, shortest_possible_cycle: None",
        id="frame-keeps-valid-values-only",
    ),
]


@pytest.mark.parametrize("document, expected", PARSES)
def test_parses(document, expected):
    assert expected in body_text(document)


ERRORS = [
    pytest.param(
        fm(RT + fc("<FacilityStatus><Status>Added</Status><AccessibilityAssessment/></FacilityStatus>")),
        f"unknown variant `Added`, {AVAILABILITIES}",
        id="status-case-sensitive",
    ),
    pytest.param(
        fm(RT + fc("<FacilityStatus><Status/><AccessibilityAssessment/></FacilityStatus>")),
        f"unknown variant `$text`, {AVAILABILITIES}",
        id="status-empty",
    ),
    pytest.param(
        fm(RT + fc("<FacilityStatus/>")), "missing field `AccessibilityAssessment`", id="status-without-assessment"
    ),
    pytest.param(
        fm(RT + fc("<FacilityStatus><AccessibilityAssessment/><Description/><AccessibilityAssessment/>"
                   "</FacilityStatus>")),
        "duplicate field `AccessibilityAssessment`",
        id="assessment-run-broken",
    ),
    pytest.param(
        fm(RT + fc("<FacilityStatus><AccessibilityAssessment/>x</FacilityStatus>")),
        'invalid type: string "x", expected struct AccessibilityAssessment',
        id="text-after-assessment",
    ),
    pytest.param(facility("<FacilityClass>Site</FacilityClass>"), f"unknown variant `Site`, {CLASSES}", id="class"),
    pytest.param(facility("<FacilityClass/>"), f"unknown variant `$text`, {CLASSES}", id="class-empty"),
    pytest.param(
        facility("<ValidityCondition><ValidityPeriod/></ValidityCondition>"),
        "missing field `Period`",
        id="validity-condition-needs-period",
    ),
    pytest.param(
        facility("<ValidityCondition><Period><StartTime>s</StartTime></Period></ValidityCondition>"),
        "missing field `EndTime`",
        id="period-needs-end",
    ),
    pytest.param(
        facility("<Suitabilities><Suitability><Suitable>a</Suitable></Suitability>x</Suitabilities>"),
        'invalid type: string "x", expected struct Suitability',
        id="text-after-suitability",
    ),
    pytest.param(
        facility("<Suitabilities><p:Suitability><Suitable>a</Suitable></p:Suitability>"
                 "<q:Suitability><Suitable>b</Suitable></q:Suitability></Suitabilities>"),
        "duplicate field `Suitability`",
        id="suitability-run-ends-at-other-prefix",
    ),
    pytest.param(
        facility("<Suitabilities><Suitability>a</Suitability></Suitabilities>"),
        "missing field `Suitable`",
        id="suitability-needs-suitable",
    ),
    pytest.param(
        facility("<Limitations><LiftFreeAccess>yes</LiftFreeAccess></Limitations>"),
        'invalid type: string "yes", expected a boolean',
        id="flag",
    ),
    pytest.param(
        facility("<Limitations/><Description/><Limitations/>"), "duplicate field `Limitations`", id="facility-dup"
    ),
    pytest.param(
        fm(RT + "<FacilityCondition><FacilityRef>F</FacilityRef></FacilityCondition>"),
        "missing field `Facility`",
        id="reference-does-not-replace-facility",
    ),
    # A skipped child's leading text is still decoded; what follows its first
    # child is only scanned for markup (row skipped-child-rest-not-decoded).
    pytest.param(
        facility("<Other>&bad;</Other>"), "at 1..4: unrecognized entity `bad`", id="skipped-child-leading-text"
    ),
    pytest.param(
        facility("<AccessibilityAssessment>&bad;</AccessibilityAssessment>"),
        "at 1..4: unrecognized entity `bad`",
        id="assessment-text-decoded",
    ),
    pytest.param(fm(RT + "<Extra/>"), "missing field `FacilityCondition`", id="no-condition-before-frame-check"),
    pytest.param(
        fm(RT + fc("") + fc("<FacilityStatus/>")), "duplicate field `FacilityCondition`", id="second-condition"
    ),
    pytest.param(fm(RT + fc("") + "<Extra/>"), f"unknown field `Extra`, {FRAME_KEYS}", id="frame-rejects-extra"),
    pytest.param(
        fm(RT + fc(""), ' version="2" xmlns:siri="u" xmlns="u"'),
        f"unknown field `@xmlns`, {FRAME_KEYS}",
        id="frame-rejects-default-namespace",
    ),
    pytest.param(fm(fc("")), "missing field `ResponseTimestamp`", id="frame-needs-timestamp"),
]


@pytest.mark.parametrize("document, expected", ERRORS)
def test_errors(document, expected):
    assert parse_error(document) == expected


def test_notify_facility_monitoring_returns_a_new_object_per_call():
    envelope = quorvane.SIRI().parse(PERIODS_AND_SUITABILITIES)
    body = envelope.body()
    # The body holds a deep copy; it renders exactly like the parsed tree.
    assert str(envelope) == f"Envelope {{ body: {body} }}"
    first, second = body.notify_facility_monitoring(), body.notify_facility_monitoring()
    assert type(first) is quorvane.NotifyFacilityMonitoring
    assert first is not second
    assert body.notify_stop_monitoring() is None
    assert quorvane.__all__[7] == "NotifyFacilityMonitoring"
    with pytest.raises(TypeError, match="No constructor defined"):
        quorvane.NotifyFacilityMonitoring()


def test_published_example():
    text = body_text(siri_docs.wrapped("siri_exm_FM/exf_facilityMonitoring_response.xml"))
    for expected in [
        'facility_code: Some("134567-L4"), description: Some("Les Halles sattion Lift 4"), '
        "facility_class: Some(FixedEquipment)",
        # The limitations are written with the `acsb:` prefix.
        "limitations: Some(Limitations { wheelchair_access: Some(true), step_free_access: Some(true), "
        "lift_free_access: Some(true) })",
        'suitability: Some([Suitability { suitable: "suitable", '
        'user_need: Some(UserNeed { mobility_need: Some("wheelchair") }) }])',
        'facility_status: Some(FacilityStatus { status: Some(NotAvailable), description: Some("Lift Broken"), '
        "accessibility_assesment: [AccessibilityAssessment] })",
        # ShortestPossibleCycle is PT3M there, not a number.
        'status: Some(true), valid_until: Some("2004-12-17T09:30:47-05:00"), shortest_possible_cycle: None }',
    ]:
        assert expected in text
