"""Production timetable: the service frame, the dated journey with its two
embedded groups, dated calls and targeted interchanges."""
import pytest

import quorvane
import siri_docs
from notify_docs import body_text, error as parse_error

CALL = "<DatedCalls><StopPointRef>S1</StopPointRef></DatedCalls>"


def doc(journey=CALL, frame="", delivery=""):
    """A production timetable whose journey holds `journey`; `frame` and
    `delivery` stand in the version frame and the delivery beside it."""
    return (
        "<Envelope><Body><NotifyProductionTimetable>"
        "<ServiceDeliveryInfo><ProducerRef>P1</ProducerRef></ServiceDeliveryInfo>"
        "<Notification><ProductionTimetableDelivery><ResponseTimestamp>T1</ResponseTimestamp>"
        f"{delivery}<DatedTimetableVersionFrame><RecordedAtTime>T2</RecordedAtTime>"
        f"<LineRef>L1</LineRef><DirectionRef>D1</DirectionRef>{frame}"
        f"<DatedVehicleJourney>{journey}</DatedVehicleJourney>"
        "</DatedTimetableVersionFrame></ProductionTimetableDelivery></Notification>"
        "</NotifyProductionTimetable></Body></Envelope>"
    )


EMPTY_CALL = (
    "DatedCall { stop_point_ref: None, order: None, stop_point_name: None, destination_display: None, "
    "aimed_arrival_time: None, arrival_platform: None, aimed_quay_name: None, aimed_departure_time: None, "
    "departure_platform_name: None, departure_boarding_activity: None, aimed_headway_interval: None, "
    "targeted_interchange: None }"
)


def test_minimal_document_renders_whole_tree():
    assert body_text(doc()) == (
        'Body(ProductionTimetable(NotifyProductionTimetable { service_delivery_info: ServiceDeliveryInfo { '
        'response_timestamp: None, producer_ref: "P1", request_message_identifier: None, response_message_ref: '
        'None }, notification: ProductionTimetableNotification { production_timetable_delivery: '
        'ProductionTimetableDelivery { leader: XxxDelivery { response_timestamp: "T1", request_message_ref: None, '
        'subscriber_ref: None, subscription_ref: None, status: None, valid_until: None, shortest_possible_cycle: '
        'None }, dated_timetable_version_frame: DatedTimetableVersionFrame { recorded_at_time: "T2", line_ref: '
        '"L1", direction_ref: "D1", dated_vehicle_journey: DatedVehicleJourney { vehicle_journey_name: None, '
        'destination_display: None, headway_service: None, monitored: None, dated_calls: [DatedCall { '
        'stop_point_ref: Some("S1"), order: None, stop_point_name: None, destination_display: None, '
        'aimed_arrival_time: None, arrival_platform: None, aimed_quay_name: None, aimed_departure_time: None, '
        'departure_platform_name: None, departure_boarding_activity: None, aimed_headway_interval: None, '
        'targeted_interchange: None }], service_info_group: None, journey_pattern_info: None } } } } }))'
    )


GROUPS = (
    "<OperatorRef>OP</OperatorRef><ServiceFeatureRef>a</ServiceFeatureRef><ServiceFeatureRef>b</ServiceFeatureRef>"
    '<VehicleFeatureRef>longTrain</VehicleFeatureRef><PublishedLineName xml:lang="en">5</PublishedLineName>'
    "<VehicleMode>bus</VehicleMode>"
)
SERVICE_INFO = (
    'service_info_group: Some(ServiceInfoGroup { operator_ref: Some("OP"), product_category_ref: None, '
    'service_feature_ref: ["a", "b"], vehicle_feature_ref: [LongTrain] })'
)
JOURNEY_PATTERN = (
    "journey_pattern_info: Some(JourneyPatternInfoGroup { journey_pattern_ref: None, journey_pattern_name: None, "
    'vehicle_mode: Some(Bus), route_ref: None, published_line_name: "5", direction_name: None })'
)


@pytest.mark.parametrize(
    "journey, shown",
    [
        # Both groups, built from the journey's unclaimed children.
        (CALL + GROUPS, [SERVICE_INFO + ", " + JOURNEY_PATTERN]),
        # Group elements may stand anywhere among the journey's own; a list
        # takes every entry of its name.
        (
            "<ServiceFeatureRef>a</ServiceFeatureRef><VehicleFeatureRef>shortTrain</VehicleFeatureRef>"
            + CALL
            + "<ServiceFeatureRef>b</ServiceFeatureRef><VehicleFeatureRef>longTrain</VehicleFeatureRef>"
            "<PublishedLineName/>",
            [
                'service_feature_ref: ["a", "b"], vehicle_feature_ref: [ShortTrain, LongTrain] })',
                'vehicle_mode: None, route_ref: None, published_line_name: "", direction_name: None })',
            ],
        ),
        # A group whose elements do not convert is absent, the other stays.
        (CALL + GROUPS.replace("longTrain", "LowDoor"), ["service_info_group: None, " + JOURNEY_PATTERN]),
        (CALL + GROUPS.replace(">bus<", ">hovercraft<"), [SERVICE_INFO + ", journey_pattern_info: None }"]),
        (CALL + GROUPS.replace(">5<", "><b/>5<"), [SERVICE_INFO + ", journey_pattern_info: None }"]),
        (CALL + GROUPS.replace(">5<", ">5<b/><"), [SERVICE_INFO + ", journey_pattern_info: None }"]),
        (CALL + GROUPS + "<OperatorRef>OP2</OperatorRef>", ["service_info_group: None, " + JOURNEY_PATTERN]),
        (CALL + "<OperatorRef>OP</OperatorRef><VehicleMode>bus</VehicleMode>",
         ["service_info_group: None, journey_pattern_info: None }"]),
        # Wrapped calls: the `DatedCall` children are not fields of a call.
        (
            "<DatedCalls><DatedCall><StopPointRef>S1</StopPointRef></DatedCall></DatedCalls>",
            ["dated_calls: [" + EMPTY_CALL + "]"],
        ),
        # A run of calls, in order; comments and whitespace do not end it.
        (
            "<DatedCalls/><!-- c --><DatedCalls><Order>2</Order></DatedCalls>\n<DatedCalls/>",
            ["dated_calls: [" + EMPTY_CALL + ", DatedCall { stop_point_ref: None, order: Some(2), ", EMPTY_CALL + "]"],
        ),
        (
            '<DatedCalls a="1">t<ArrivalPlatformName>3</ArrivalPlatformName><ArrivalPlatform>2</ArrivalPlatform>'
            "<DepartureBoardingActivity>boarding</DepartureBoardingActivity>"
            "<AimedHeadwayInterval>4294967295</AimedHeadwayInterval></DatedCalls>",
            ['arrival_platform: Some("2"), ', "departure_boarding_activity: Some(Boarding), "
             "aimed_headway_interval: Some(4294967295), "],
        ),
        (
            "<DatedCalls><TargetedInterchange><InterchangeCode>I1</InterchangeCode>"
            "<DistributorVehicleJourneyRef>J1</DistributorVehicleJourneyRef><DistributorConnectionLink/>"
            "<MaximumWaitTime>PT5M</MaximumWaitTime></TargetedInterchange></DatedCalls>",
            [
                'targeted_interchange: Some(TargetedInterchange { interchange_code: "I1", '
                'distributor_vehicle_journey_ref: "J1", distributor_connection_link: DistributorConnectionLink { '
                "connection_code: None, stop_point_ref: None, interchange_duration: None, "
                "frequent_traveller_duration: None, occasional_traveller_duration: None, "
                "impaired_access_duration: None }, stay_seated: None, guaranteed: None, "
                'maximum_wait_time: Some("PT5M") })'
            ],
        ),
        (
            "<DatedCalls><TargetedInterchange><StaySeated>1</StaySeated>"
            "<DistributorConnectionLink><InterchangeDuration>30</InterchangeDuration></DistributorConnectionLink>"
            "<DistributorVehicleJourneyRef>J1</DistributorVehicleJourneyRef><InterchangeCode>I1</InterchangeCode>"
            "</TargetedInterchange></DatedCalls>",
            ["interchange_duration: Some(30), ", "stay_seated: Some(true), "],
        ),
        # The journey's own fields.
        ("<HeadwayService>1</HeadwayService>" + CALL, ["headway_service: Some(true), monitored: None"]),
        ("<VehicleJourneyName/><Monitored>false</Monitored>" + CALL,
         ['vehicle_journey_name: Some(""), ', "monitored: Some(false), "]),
        # Unclaimed content of the journey is decoded but changes nothing.
        ('<Foo a="&amp;"><x/>&lt;</Foo>t' + CALL, ["monitored: None, dated_calls: [DatedCall { stop_point_ref"]),
    ],
)
def test_journey_gives(journey, shown):
    text = body_text(doc(journey))
    for part in shown:
        assert part in text


@pytest.mark.parametrize(
    "journey, error",
    [
        ("", "missing field `DatedCalls`"),
        (GROUPS, "missing field `DatedCalls`"),
        ("<VehicleJourneyName>a</VehicleJourneyName><VehicleJourneyName>b</VehicleJourneyName>",
         "duplicate field `VehicleJourneyName`"),
        (CALL + "<Monitored>true</Monitored>" + CALL, "duplicate field `DatedCalls`"),
        ("<p:DatedCalls/>" + CALL, "duplicate field `DatedCalls`"),
        (CALL + "x", 'invalid type: string "x", expected struct DatedCall'),
        (CALL + "x" + CALL, 'invalid type: string "x", expected struct DatedCall'),
        ("<Monitored/>" + CALL, 'invalid type: string "", expected a boolean'),
        ("<DatedCalls><AimedHeadwayInterval>PT5M</AimedHeadwayInterval></DatedCalls>",
         'invalid type: string "PT5M", expected u32'),
        ("<DatedCalls><Order>4294967296</Order></DatedCalls>", 'invalid type: string "4294967296", expected u32'),
        ("<DatedCalls><Order>1</Order><Order>2</Order></DatedCalls>", "duplicate field `Order`"),
        ("<DatedCalls><DepartureBoardingActivity>Boarding</DepartureBoardingActivity></DatedCalls>",
         "unknown variant `Boarding`, expected one of `alighting`, `noAlighting`, `passThru`, `boarding`, "
         "`noBoarding`"),
        ("<DatedCalls><TargetedInterchange/></DatedCalls>", "missing field `InterchangeCode`"),
        ("<DatedCalls><TargetedInterchange><InterchangeCode>I1</InterchangeCode>"
         "<DistributorVehicleJourneyRef>J1</DistributorVehicleJourneyRef></TargetedInterchange></DatedCalls>",
         "missing field `DistributorConnectionLink`"),
        ("<DatedCalls><TargetedInterchange><DistributorConnectionLink><InterchangeDuration>PT5M"
         "</InterchangeDuration></DistributorConnectionLink></TargetedInterchange></DatedCalls>",
         'invalid type: string "PT5M", expected u32'),
        ("<DatedCalls><TargetedInterchange><Guaranteed/></TargetedInterchange></DatedCalls>",
         'invalid type: string "", expected a boolean'),
        # The journey buffers what it does not claim, so all of it is decoded.
        ("<Foo>&bad;</Foo>" + CALL, "at 1..4: unrecognized entity `bad`"),
        ("<Foo><x/>&bad;</Foo>" + CALL, "at 1..4: unrecognized entity `bad`"),
    ],
)
def test_journey_fails(journey, error):
    assert parse_error(doc(journey)) == error


@pytest.mark.parametrize(
    "frame, delivery, error",
    [
        # The version frame skips what it does not know, decoding only the
        # leading text of a skipped child.
        ("<Foo>&bad;</Foo>", "", "at 1..4: unrecognized entity `bad`"),
        ("<Foo><x/>&bad;</Foo>", "", None),
        ("<DatedVehicleJourney>" + CALL + "</DatedVehicleJourney>", "", "duplicate field `DatedVehicleJourney`"),
        ("<LineRef>L2</LineRef>", "", "duplicate field `LineRef`"),
        # The delivery frame rejects what it does not know, after the
        # version frame was read.
        ("", "<Extensions/>", "unknown field `Extensions`, expected one of `ResponseTimestamp`, "
         "`RequestMessageRef`, `SubscriberRef`, `SubscriptionRef`, `Status`, `ValidUntil`, `ShortestPossibleCycle`"),
        ("<LineRef>L2</LineRef>", "<Extensions/>", "duplicate field `LineRef`"),
    ],
)
def test_frames(frame, delivery, error):
    text = doc(frame=frame, delivery=delivery)
    if error is None:
        assert 'line_ref: "L1"' in body_text(text)
    else:
        assert parse_error(text) == error


@pytest.mark.parametrize(
    "text, error",
    [
        (doc().replace("<LineRef>L1</LineRef>", ""), "missing field `LineRef`"),
        (doc().replace("<DatedTimetableVersionFrame>", "<X>").replace("</DatedTimetableVersionFrame>", "</X>"),
         "missing field `DatedTimetableVersionFrame`"),
        ("<E><Body><NotifyProductionTimetable/></Body></E>", "missing field `ServiceDeliveryInfo`"),
        ("<E><Body><NotifyProductionTimetable><ServiceDeliveryInfo><ProducerRef>P</ProducerRef>"
         "</ServiceDeliveryInfo><Notification/></NotifyProductionTimetable></Body></E>",
         "missing field `ProductionTimetableDelivery`"),
    ],
)
def test_frame_levels_fail(text, error):
    assert parse_error(text) == error


def test_prefixed_names_and_any_order_bind():
    text = doc().replace("<DatedTimetableVersionFrame>", "<siri:DatedTimetableVersionFrame>").replace(
        "</DatedTimetableVersionFrame>", "</siri:DatedTimetableVersionFrame>"
    )
    assert body_text(text) == body_text(doc())


def test_notify_production_timetable_hands_out_new_copies():
    env = quorvane.SIRI().parse(doc(CALL + GROUPS))
    body = env.body()
    first = body.notify_production_timetable()
    second = body.notify_production_timetable()
    assert type(first) is quorvane.NotifyProductionTimetable
    assert first is not second
    assert body.notify_stop_monitoring() is None
    # Copies keep both groups; the envelope is unchanged by them.
    assert str(env) == "Envelope { body: " + str(body) + " }"
    assert SERVICE_INFO + ", " + JOURNEY_PATTERN in str(env.body())


def test_other_service_has_no_production_timetable():
    env = quorvane.SIRI().parse(
        "<E><Body><NotifyStopMonitoring><ServiceDeliveryInfo><ProducerRef>P</ProducerRef></ServiceDeliveryInfo>"
        "<Notification><StopMonitoringDelivery><ResponseTimestamp>T</ResponseTimestamp></StopMonitoringDelivery>"
        "</Notification></NotifyStopMonitoring></Body></E>"
    )
    assert env.body().notify_production_timetable() is None


def unwrap_calls(text):
    """The calls of a real document without their `DatedCall` wrappers."""
    return (
        text.replace("<DatedCalls>", "")
        .replace("</DatedCalls>", "")
        .replace("<DatedCall>", "<DatedCalls>")
        .replace("</DatedCall>", "</DatedCalls>")
    )


CEN_PT = "siri_exm_PT/ext_productionTimetable_response.xml"
ENTUR_PT = "entur-nordic-profile/production-timetable/siri-pt.xml"


def test_cen_example():
    text = body_text(siri_docs.wrapped(CEN_PT))
    for part in [
        'subscriber_ref: Some("NADER"), subscription_ref: Some("00123456"), status: Some(true), '
        'valid_until: Some("2001-12-17T10:30:47-05:00"), shortest_possible_cycle: None }',
        'line_ref: "123", direction_ref: "Out", ',
        'vehicle_journey_name: Some("Shoppers Special"), destination_display: None, headway_service: Some(false), '
        "monitored: Some(true), ",
        # Its calls are wrapped in `DatedCall` elements: one empty call.
        "dated_calls: [" + EMPTY_CALL + "], ",
        # "LowDoor" is no vehicle feature, so the service group is absent.
        "service_info_group: None, ",
        'route_ref: None, published_line_name: "123 Out", direction_name: None })',
    ]:
        assert part in text


def test_cen_example_with_known_vehicle_features():
    text = siri_docs.wrapped(CEN_PT).replace(">LowDoor<", ">longTrain<").replace(">WheelchairsAllowed<", ">shortTrain<")
    assert (
        'service_info_group: Some(ServiceInfoGroup { operator_ref: Some("Sharp"), product_category_ref: '
        'Some("Plusbus"), service_feature_ref: ["HailAndRider"], vehicle_feature_ref: [LongTrain, ShortTrain] })'
    ) in body_text(text)


def test_cen_example_with_unwrapped_calls_fails_on_its_interchange():
    # The second call's interchange has no `InterchangeCode`.
    assert parse_error(unwrap_calls(siri_docs.wrapped(CEN_PT))) == "missing field `InterchangeCode`"


def test_entur_example():
    text = body_text(siri_docs.wrapped(ENTUR_PT))
    assert "monitored: Some(true), dated_calls: [" + EMPTY_CALL + "]" in text
    # No `ServiceFeatureRef`, no `PublishedLineName`: neither group forms.
    assert "service_info_group: None, journey_pattern_info: None }" in text


def test_entur_example_with_line_name_and_unwrapped_calls():
    text = unwrap_calls(siri_docs.wrapped(ENTUR_PT)).replace(
        "<RouteRef>", "<PublishedLineName>L</PublishedLineName><RouteRef>"
    )
    shown = body_text(text)
    assert (
        'journey_pattern_info: Some(JourneyPatternInfoGroup { journey_pattern_ref: Some("placeholder"), '
        'journey_pattern_name: None, vehicle_mode: Some(Bus), route_ref: Some("placeholder"), '
        'published_line_name: "L", direction_name: None })'
    ) in shown
    assert (
        'dated_calls: [DatedCall { stop_point_ref: Some("placeholder"), order: Some(1), stop_point_name: None, '
        'destination_display: Some("placeholder"), aimed_arrival_time: Some("2001-12-17T09:20:47-05:00"), '
        "arrival_platform: None, aimed_quay_name: None, aimed_departure_time: Some(\"2001-12-17T09:21:47-05:00\"), "
        "departure_platform_name: None, departure_boarding_activity: Some(Boarding), aimed_headway_interval: None, "
        'targeted_interchange: None }, DatedCall { stop_point_ref: Some("placeholder"), order: None, '
    ) in shown
