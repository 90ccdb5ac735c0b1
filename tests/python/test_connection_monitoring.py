"""Connection monitoring: notification, feeder and distributor deliveries,
and the records below them."""
import pytest

import quorvane
import siri_docs
from notify_docs import FRAME_KEYS, body_text, error as parse_error

RT = "<ResponseTimestamp>t1</ResponseTimestamp>"
FRAME_NAMES = "expected one of " + FRAME_KEYS
HEADER = (
    'ServiceDeliveryInfo { response_timestamp: None, producer_ref: "P1", '
    "request_message_identifier: None, response_message_ref: None }"
)
LEADER = (
    'XxxDelivery { response_timestamp: "t1", request_message_ref: None, subscriber_ref: None, '
    "subscription_ref: None, status: None, valid_until: None, shortest_possible_cycle: None }"
)
ARRIVAL = (
    "<MonitoredFeederArrival><RecordedAtTime>r1</RecordedAtTime>"
    "<FeederJourney><FramedJourneyRef/></FeederJourney></MonitoredFeederArrival>"
)
CANCELLATION = "<MonitoredFeederArrivalCancellation><RecordedAtTime>r2</RecordedAtTime></MonitoredFeederArrivalCancellation>"
ENTITY_ERROR = "at 1..6: unrecognized entity `bogus`"


def CM(notification):
    return (
        "<Envelope><Body><NotifyConnectionMonitoring><ServiceDeliveryInfo><ProducerRef>P1</ProducerRef>"
        f"</ServiceDeliveryInfo><Notification>{notification}</Notification></NotifyConnectionMonitoring>"
        "</Body></Envelope>"
    )


def DD(content, attributes=""):
    """A distributor delivery with a response timestamp."""
    return CM(
        f'<ConnectionMonitoringDistributorDelivery version="2.0"{attributes}>{RT}{content}'
        "</ConnectionMonitoringDistributorDelivery>"
    )


def FD(content):
    """A feeder delivery holding exactly `content`."""
    return CM(f"<ConnectionMonitoringFeederDelivery>{content}</ConnectionMonitoringFeederDelivery>")


def FEEDER(arrival=ARRIVAL, cancellation=CANCELLATION):
    return FD(RT + arrival + cancellation)


def DEPARTURE(content, kind="WaitProlongedDeparture"):
    """A distributor delivery with one departure of `kind`."""
    return DD(f"<{kind}><RecordedAtTime>r</RecordedAtTime>{content}</{kind}>")


def JOURNEY(content):
    """A departure whose distributor journey holds `content`."""
    return DEPARTURE(
        "<DistributorInfo><InterchangeRef>I</InterchangeRef><ConnectionLinkRef>C</ConnectionLinkRef>"
        f"<StopPointRef>S</StopPointRef><DistributorJourney><FramedJourneyRef/>{content}"
        "</DistributorJourney></DistributorInfo>"
    )


# ------------------------------------------------------------- renderings


def test_distributor_delivery_without_departures_renders_whole():
    assert body_text(DD("")) == (
        f"Body(ConnectionMonitoring(NotifyConnectionMonitoring {{ service_delivery_info: {HEADER}, "
        "notification: ConnectionMonitoringNotification { connection_monitoring_feeder_delivery: None, "
        f"connection_monitoring_distributor_delivery: Some(ConnectionMonitoringDistributorDelivery {{ leader: {LEADER}, "
        "wait_prolonged_departure: None, stopping_position_change_departure: None, "
        "distributor_departure_cancellation: None }) } }))"
    )


@pytest.mark.parametrize(
    "notification",
    ["", '<x:Other a="1">text<Y/></x:Other>tail'],
    ids=["empty", "foreign-content-ignored"],
)
def test_notification_without_deliveries(notification):
    assert body_text(CM(notification)) == (
        f"Body(ConnectionMonitoring(NotifyConnectionMonitoring {{ service_delivery_info: {HEADER}, "
        "notification: ConnectionMonitoringNotification { connection_monitoring_feeder_delivery: None, "
        "connection_monitoring_distributor_delivery: None } }))"
    )


FEEDER_EXAMPLE = FD(
    RT + "<MonitoredFeederArrival><RecordedAtTime>r1</RecordedAtTime><StopPointName>North</StopPointName>"
    "<FeederJourney><FramedJourneyRef><DatedVehicleJourneyRef>J5</DatedVehicleJourneyRef></FramedJourneyRef>"
    "</FeederJourney></MonitoredFeederArrival><MonitoredFeederArrivalCancellation><RecordedAtTime>r2"
    "</RecordedAtTime><JourneyInfo><VehicleMode>tram</VehicleMode></JourneyInfo>"
    "</MonitoredFeederArrivalCancellation>"
)

VEHICLE_JOURNEY_INFO = (
    '<VehicleJourneyInfo version="2">x<JourneyEndNames><Via><PlaceName>Park</PlaceName></Via>'
    "<DestinationName>B</DestinationName><OriginRef>S1</OriginRef><DestinationRef>R1</DestinationRef>"
    "</JourneyEndNames><DestinationRef>skipped</DestinationRef><JourneyInfo>Express</JourneyInfo>"
    "<HeadwayService>0</HeadwayService></VehicleJourneyInfo>"
)


@pytest.mark.parametrize(
    "document, fragments",
    [
        pytest.param(
            FEEDER_EXAMPLE,
            [
                'order: None, strop_point_name: Some("North"), clear_down_ref: None, feeder_journey: FeederJourney '
                "{ line_ref: None, direction_ref: None, framed_journey_ref: FramedVehicleJourneyRef "
                '{ data_frame_ref: None, dated_vehicle_journey_ref: Some("J5") }, ',
                "journey_pattern_name: None, vehicle_mode: Some(Tram), ",
            ],
            id="feeder-arrival-and-cancellation",
        ),
        pytest.param(
            DEPARTURE(
                "<DistributorInfo><StopPointRef>S</StopPointRef><InterchangeRef>I</InterchangeRef>"
                "<ConnectionLinkRef>C</ConnectionLinkRef><DistributorJourney><FramedJourneyRef/>"
                '<DisruptionGroup k="x">t<D/></DisruptionGroup></DistributorJourney></DistributorInfo>'
            ),
            [
                'DistributorInfo { interchange_ref: "I", connection_link_ref: "C", stop_point_ref: "S", ',
                "vehicle_journey_info: None, distruptuin_group: Some(DisruptionGroup), monitored: None",
            ],
            id="distributor-info-any-order-and-disruption",
        ),
        pytest.param(
            FEEDER(cancellation="<MonitoredFeederArrivalCancellation><RecordedAtTime>r2</RecordedAtTime>"
                   "<JourneyInfo>L12</JourneyInfo></MonitoredFeederArrivalCancellation>"),
            ["journey_info: Some(JourneyInfo { line_ref: None, direction_ref: None, "],
            id="journey-info-text-skipped",
        ),
        pytest.param(
            # Fields of the journey standing directly in the cancellation name nothing there.
            FEEDER(cancellation="<MonitoredFeederArrivalCancellation><LineRef>L</LineRef>"
                   "<ItemIdentifier>i</ItemIdentifier><RecordedAtTime>r2</RecordedAtTime><Order>+2</Order>"
                   "<Reason>a</Reason><JourneyInfo><Reason>b</Reason></JourneyInfo>"
                   "</MonitoredFeederArrivalCancellation>"),
            [
                'MonitoredFeederArrivalCancellation { recorded_at_time: "r2", item_ref: None, interchange_ref: None, '
                "connection_link_ref: None, stop_point_ref: None, order: Some(2), strop_point_name: None, "
                "journey_info: Some(JourneyInfo { line_ref: None, ",
                'direction_name: None, reason: Some("b") }), reason: Some("a") }',
            ],
            id="cancellation-fields-and-two-reasons",
        ),
        pytest.param(
            FD(CANCELLATION + RT + "<MonitoredFeederArrival><FeederJourney><Monitored>1</Monitored>"
               "<DataFrameRef>skipped</DataFrameRef><FramedJourneyRef><DataFrameRef>F1</DataFrameRef>"
               "</FramedJourneyRef></FeederJourney><VehicleAtStop>0</VehicleAtStop>"
               "<NumberOfTransferPassengers>12</NumberOfTransferPassengers><ClearDownRef/>"
               "<RecordedAtTime/></MonitoredFeederArrival>"),
            [
                'MonitoredFeederArrival { recorded_at_time: "", ',
                'clear_down_ref: Some(""), feeder_journey: FeederJourney { line_ref: None, direction_ref: None, '
                'framed_journey_ref: FramedVehicleJourneyRef { data_frame_ref: Some("F1"), '
                "dated_vehicle_journey_ref: None }, monitored: Some(true), aimed_arrival_time: None }, "
                "vehicle_at_stop: Some(false), ",
                "number_of_transfer_passengers: Some(12) }",
            ],
            id="feeder-arrival-in-any-order",
        ),
        pytest.param(
            DEPARTURE('<NewLocation a="1">x<C><D/>&bogus;</C></NewLocation><ChangeNote>stand B</ChangeNote>',
                      "StoppingPositionChangeDeparture"),
            ['change_note: Some("stand B"), new_location: Some(LocationStructure) }'],
            id="new-location-content-after-grandchild-skipped",
        ),
        pytest.param(
            DEPARTURE("<ChangeNote>skipped</ChangeNote>", "StoppingPositionChangeDeparture"),
            ['StoppingPositionChangeDeparture { recorded_at_time: "r", distributor_info: None, '
             'change_note: Some("skipped"), new_location: None }'],
            id="no-new-location",
        ),
        pytest.param(
            DD("<DistributorDepartureCancellation><Reason>Short staff</Reason><ChangeNote>x</ChangeNote>"
               "<RecordedAtTime>08:15</RecordedAtTime></DistributorDepartureCancellation>"
               "<WaitProlongedDeparture><RecordedAtTime>r</RecordedAtTime><Reason>x</Reason>"
               "<ExpectedDepartureTime>e</ExpectedDepartureTime></WaitProlongedDeparture>"),
            [
                'wait_prolonged_departure: Some(WaitProlongedDeparture { recorded_at_time: "r", '
                'distributor_info: None, expected_departure_time: Some("e") }), '
                "stopping_position_change_departure: None, distributor_departure_cancellation: "
                'Some(DistributorDepartureCancellation { recorded_at_time: "08:15", distributor_info: None, '
                'reason: Some("Short staff") }) }',
            ],
            id="two-departures-other-fields-skipped",
        ),
        pytest.param(
            JOURNEY(VEHICLE_JOURNEY_INFO),
            [
                "vehicle_journey_info: Some(VehicleJourneyInfoGroup { journey_end_names: "
                'Some(JourneyEndNamesGroup { origin_ref: Some("S1"), origin_name: None, via: Some(Via '
                '{ place_ref: None, place_name: Some("Park") }), destination_ref: "R1", destination_name: "B" }), '
                'journey_info: Some("Express"), journey_note: None, headway_service: Some(false), '
                "origin_aimed_departure_time: None, destination_aimed_arrival_time: None }), ",
            ],
            id="vehicle-journey-info",
        ),
        pytest.param(
            JOURNEY("<VehicleJourneyInfo><JourneyEndNames><DestinationRef/><DestinationName>B</DestinationName>"
                    "<Via/></JourneyEndNames></VehicleJourneyInfo>"),
            ['via: Some(Via { place_ref: None, place_name: None }), destination_ref: "", destination_name: "B" }'],
            id="empty-via-and-destination-ref",
        ),
        pytest.param(
            JOURNEY("<JourneyPatternInfo><PublishedLineName>12</PublishedLineName><VehicleMode>bus</VehicleMode>"
                    "</JourneyPatternInfo><LineRef>L5</LineRef>"),
            [
                'ConnectingJourney { line_ref: Some("L5"), ',
                "journey_pattern_info: Some(JourneyPatternInfoGroup { journey_pattern_ref: None, "
                "journey_pattern_name: None, vehicle_mode: Some(Bus), route_ref: None, "
                'published_line_name: "12", direction_name: None }), ',
            ],
            id="journey-pattern-info",
        ),
        pytest.param(
            CM("<p:ConnectionMonitoringDistributorDelivery siri:version='2' xmlns:siri='s'>"
               f"{RT}<Status>true</Status><ShortestPossibleCycle>30</ShortestPossibleCycle>"
               "</p:ConnectionMonitoringDistributorDelivery>").replace("Notification>", "q:Notification>"),
            ["status: Some(true), valid_until: None, shortest_possible_cycle: Some(30) }"],
            id="prefixes-and-frame-flags",
        ),
    ],
)
def test_renders(document, fragments):
    text = body_text(document)
    for fragment in fragments:
        assert fragment in text


def test_both_deliveries_in_either_order():
    feeder = f"<ConnectionMonitoringFeederDelivery>{RT}{ARRIVAL}{CANCELLATION}</ConnectionMonitoringFeederDelivery>"
    distributor = f"<ConnectionMonitoringDistributorDelivery>{RT}</ConnectionMonitoringDistributorDelivery>"
    first = body_text(CM(feeder + distributor))
    assert first == body_text(CM(distributor + feeder))
    assert "connection_monitoring_feeder_delivery: Some(ConnectionMonitoringFeederDelivery { leader: " in first
    assert "connection_monitoring_distributor_delivery: Some(ConnectionMonitoringDistributorDelivery { " in first


# ---------------------------------------------------------------- errors


@pytest.mark.parametrize(
    "document, message",
    [
        # The delivery frame rejects what neither it nor the delivery claims.
        pytest.param(DD("", ' xmlns="u"'), f"unknown field `@xmlns`, {FRAME_NAMES}", id="default-namespace"),
        pytest.param(DD("", ' xsi:schemaLocation="s"'), f"unknown field `@schemaLocation`, {FRAME_NAMES}",
                     id="schema-location"),
        pytest.param(DD("x"), f"unknown field `$text`, {FRAME_NAMES}", id="text"),
        pytest.param(DD("<Extra/>"), f"unknown field `Extra`, {FRAME_NAMES}", id="foreign-child"),
        pytest.param(FEEDER(arrival=ARRIVAL + "<MonitoredFeederArrivals/>"),
                     f"unknown field `MonitoredFeederArrivals`, {FRAME_NAMES}", id="own-name-with-more-letters"),
        pytest.param(FD("<Foreign/>" + CANCELLATION + ARRIVAL),
                     f"unknown field `Foreign`, {FRAME_NAMES}", id="foreign-child-before-missing-timestamp"),
        pytest.param(DD("<ResponseTimestamp/>"), "missing field `ResponseTimestamp`", id="timestamp-emptied"),
        # The delivery's own required records come before the frame.
        pytest.param(FD(ARRIVAL + "<Foreign/>"), "missing field `MonitoredFeederArrivalCancellation`",
                     id="feeder-without-cancellation"),
        pytest.param(FD("<Foreign/>"), "missing field `MonitoredFeederArrival`", id="feeder-empty"),
        pytest.param(FEEDER(arrival=ARRIVAL * 2), "duplicate field `MonitoredFeederArrival`",
                     id="second-arrival"),
        pytest.param(DD("<DistributorDepartureCancellation><RecordedAtTime>r</RecordedAtTime>"
                        "</DistributorDepartureCancellation><X/><DistributorDepartureCancellation/>"),
                     "duplicate field `DistributorDepartureCancellation`", id="second-departure"),
        # Buffering decodes at once, before any missing-field check.
        pytest.param(FD("<Foreign><a/>&bogus;</Foreign>"), ENTITY_ERROR, id="bad-entity-in-buffered-child"),
        # A skipped child's leading text is decoded; the record's own text too.
        pytest.param(DEPARTURE("<NewLocation><C>&bogus;</C></NewLocation>", "StoppingPositionChangeDeparture"),
                     ENTITY_ERROR, id="bad-entity-in-skipped-child"),
        pytest.param(DEPARTURE("<NewLocation>&bogus;</NewLocation>", "StoppingPositionChangeDeparture"),
                     ENTITY_ERROR, id="bad-entity-in-own-text"),
        pytest.param(DEPARTURE("<NewLocation/><NewLocation/>", "StoppingPositionChangeDeparture"),
                     "duplicate field `NewLocation`", id="second-new-location"),
        # The service record and the notification.
        pytest.param(CM("").replace("<ServiceDeliveryInfo><ProducerRef>P1</ProducerRef></ServiceDeliveryInfo>", "")
                     .replace("<Notification></Notification>", ""),
                     "missing field `ServiceDeliveryInfo`", id="no-header"),
        pytest.param(CM("").replace("<Notification></Notification>", ""), "missing field `Notification`",
                     id="no-notification"),
        pytest.param(CM("").replace("</NotifyConnectionMonitoring>", "<Notification/></NotifyConnectionMonitoring>"),
                     "duplicate field `Notification`", id="second-notification"),
        pytest.param(CM("<ConnectionMonitoringFeederDelivery/><ConnectionMonitoringFeederDelivery/>"),
                     "missing field `MonitoredFeederArrival`", id="first-delivery-read-at-once"),
        pytest.param(CM(f"<ConnectionMonitoringDistributorDelivery>{RT}</ConnectionMonitoringDistributorDelivery>"
                        "<X/><ConnectionMonitoringDistributorDelivery/>"),
                     "duplicate field `ConnectionMonitoringDistributorDelivery`", id="second-delivery"),
        # The feeder records.
        pytest.param(FEEDER(arrival="<MonitoredFeederArrival><RecordedAtTime>r</RecordedAtTime>"
                            "</MonitoredFeederArrival>"),
                     "missing field `FeederJourney`", id="arrival-without-journey"),
        pytest.param(FEEDER(arrival="<MonitoredFeederArrival/>"), "missing field `RecordedAtTime`",
                     id="arrival-empty"),
        pytest.param(FEEDER(arrival="<MonitoredFeederArrival><Order>x</Order></MonitoredFeederArrival>"),
                     'invalid type: string "x", expected u32', id="value-error-before-missing-fields"),
        pytest.param(FEEDER(arrival=ARRIVAL.replace("<RecordedAtTime>", "<Order>1</Order><X/><Order>x</Order>"
                                                    "<RecordedAtTime>")),
                     "duplicate field `Order`", id="second-order"),
        pytest.param(FEEDER(arrival=ARRIVAL.replace("<FramedJourneyRef/>", "<DatedVehicleJourneyRef>J"
                                                    "</DatedVehicleJourneyRef>")),
                     "missing field `FramedJourneyRef`", id="feeder-journey-without-ref"),
        pytest.param(FEEDER(arrival=ARRIVAL.replace("</MonitoredFeederArrival>", "<NumberOfTransferPassengers>"
                                                    "4294967296</NumberOfTransferPassengers></MonitoredFeederArrival>")),
                     'invalid type: string "4294967296", expected u32', id="passengers-overflow"),
        pytest.param(FEEDER(arrival=ARRIVAL.replace("</MonitoredFeederArrival>", "<VehicleAtStop>yes</VehicleAtStop>"
                                                    "</MonitoredFeederArrival>")),
                     'invalid type: string "yes", expected a boolean', id="bad-flag"),
        pytest.param(FEEDER(arrival=ARRIVAL.replace("</MonitoredFeederArrival>", "<StopPointRef><Code>5</Code>"
                                                    "</StopPointRef></MonitoredFeederArrival>")),
                     'unexpected `Event::Start("Code")`', id="child-in-text"),
        pytest.param(FEEDER(cancellation="<MonitoredFeederArrivalCancellation/>"),
                     "missing field `RecordedAtTime`", id="cancellation-empty"),
        pytest.param(FEEDER(cancellation="<MonitoredFeederArrivalCancellation><JourneyInfo><VehicleMode>Tram"
                            "</VehicleMode></JourneyInfo></MonitoredFeederArrivalCancellation>"),
                     "unknown variant `Tram`, expected one of `air`, `bus`, `coach`, `ferry`, `metro`, `rail`, "
                     "`tram`, `underground`", id="vehicle-mode-case"),
        pytest.param(FEEDER(cancellation="<MonitoredFeederArrivalCancellation><JourneyInfo/><Reason/>"
                            "<JourneyInfo/></MonitoredFeederArrivalCancellation>"),
                     "duplicate field `JourneyInfo`", id="second-journey-info"),
        # The distributor records.
        pytest.param(DD("<WaitProlongedDeparture/>"), "missing field `RecordedAtTime`", id="departure-empty"),
        pytest.param(DD("<StoppingPositionChangeDeparture><DistributorInfo><StopPointRef>s</StopPointRef>"
                        "</DistributorInfo></StoppingPositionChangeDeparture>"),
                     "missing field `InterchangeRef`", id="distributor-info-error-first"),
        pytest.param(DEPARTURE("<DistributorInfo><StopPointRef>s</StopPointRef><InterchangeRef>i</InterchangeRef>"
                               "</DistributorInfo>"),
                     "missing field `ConnectionLinkRef`", id="distributor-info-without-link"),
        pytest.param(JOURNEY("").replace("<FramedJourneyRef/>", ""), "missing field `FramedJourneyRef`",
                     id="connecting-journey-without-ref"),
        pytest.param(JOURNEY("<JourneyPatternInfo/>"), "missing field `PublishedLineName`",
                     id="journey-pattern-without-line-name"),
        pytest.param(JOURNEY("<LineRef>a</LineRef><Monitored>1</Monitored><LineRef>b</LineRef>"),
                     "duplicate field `LineRef`", id="second-line-ref"),
        pytest.param(JOURNEY("<Monitored>yes</Monitored>"), 'invalid type: string "yes", expected a boolean',
                     id="bad-monitored"),
        pytest.param(JOURNEY("<VehicleJourneyInfo><JourneyInfo><LineRef>L12</LineRef></JourneyInfo>"
                             "</VehicleJourneyInfo>"),
                     'unexpected `Event::Start("LineRef")`', id="journey-info-is-text-here"),
        pytest.param(JOURNEY("<VehicleJourneyInfo><JourneyInfo>t<ns:LineRef/></JourneyInfo></VehicleJourneyInfo>"),
                     'unexpected `Event::Start("ns:LineRef")`', id="journey-info-prefixed-child"),
        pytest.param(JOURNEY("<VehicleJourneyInfo><HeadwayService>yes</HeadwayService></VehicleJourneyInfo>"),
                     'invalid type: string "yes", expected a boolean', id="bad-headway"),
        pytest.param(JOURNEY("<VehicleJourneyInfo><JourneyEndNames/></VehicleJourneyInfo>"),
                     "missing field `DestinationRef`", id="end-names-empty"),
        pytest.param(JOURNEY("<VehicleJourneyInfo><JourneyEndNames><DestinationRef>D</DestinationRef>"
                             "</JourneyEndNames></VehicleJourneyInfo>"),
                     "missing field `DestinationName`", id="end-names-without-name"),
        pytest.param(JOURNEY("<VehicleJourneyInfo><JourneyEndNames><Via/><Via/></JourneyEndNames>"
                             "</VehicleJourneyInfo>"),
                     "duplicate field `Via`", id="second-via"),
        pytest.param(JOURNEY("<VehicleJourneyInfo><JourneyEndNames><Via><PlaceName/><PlaceName/></Via>"
                             "</JourneyEndNames></VehicleJourneyInfo>"),
                     "duplicate field `PlaceName`", id="second-place-name"),
    ],
)
def test_errors(document, message):
    assert parse_error(document) == message


# -------------------------------------------------------- Python surface


def test_notify_method_hands_out_a_new_object_per_call():
    document = FEEDER_EXAMPLE
    body = quorvane.SIRI().parse(document).body()
    first, second = body.notify_connection_monitoring(), body.notify_connection_monitoring()
    assert type(first) is quorvane.NotifyConnectionMonitoring
    assert first is not second
    # The record is seen only through the body; the object keeps the default text.
    assert str(first).startswith("<builtins.NotifyConnectionMonitoring object at ")
    for name in ("notify_production_timetable", "notify_estimated_timetable", "notify_stop_monitoring",
                 "notify_vehicle_monitoring", "notify_general_message", "notify_facility_monitoring"):
        assert getattr(body, name)() is None
    # Handing out copies leaves the body as it was.
    del first, second
    assert str(body) == body_text(document)


def test_class_is_published_tenth_and_has_no_constructor():
    assert quorvane.__all__[9] == "NotifyConnectionMonitoring"
    with pytest.raises(TypeError, match="^No constructor defined$"):
        quorvane.NotifyConnectionMonitoring()


# ------------------------------------------------------- real documents

FEEDER_DOC = "siri_exm_CM/exc_connectionMonitoringFeeder_response.xml"
DISTRIBUTOR_DOC = "siri_exm_CM/exc_connectionMonitoringDistributor_response.xml"


def test_real_feeder_document_names_its_journey_ref_the_standard_way():
    # Its FeederJourney writes FramedVehicleJourneyRef, which names no field there.
    assert parse_error(siri_docs.wrapped(FEEDER_DOC)) == "missing field `FramedJourneyRef`"


def test_real_feeder_document_parses_with_the_expected_ref_name():
    text = siri_docs.read(FEEDER_DOC).replace("FramedVehicleJourneyRef>", "FramedJourneyRef>")
    rendered = body_text(siri_docs.wrap(text))
    for fragment in [
        'leader: XxxDelivery { response_timestamp: "2001-12-17T09:30:47-05:00", request_message_ref: None, '
        "subscriber_ref: None, subscription_ref: None, status: Some(true), "
        'valid_until: Some("2001-12-17T09:30:47-05:00"), shortest_possible_cycle: None }',
        'connection_link_ref: Some("98789"), stop_point_ref: None, order: None, strop_point_name: Some("Erehwon")',
        'feeder_journey: FeederJourney { line_ref: Some("123"), direction_ref: Some("OUT"), framed_journey_ref: '
        'FramedVehicleJourneyRef { data_frame_ref: Some("1967-08-13"), dated_vehicle_journey_ref: Some("09876") }, '
        "monitored: Some(true), aimed_arrival_time: None }, vehicle_at_stop: Some(false)",
        'expected_arrival_time: Some("2001-12-17T09:30:47-05:00"), arrival_platform_time: None, '
        "number_of_transfer_passengers: Some(12) }",
        'MonitoredFeederArrivalCancellation { recorded_at_time: "2001-12-17T09:30:47-05:00", item_ref: None, '
        'interchange_ref: None, connection_link_ref: Some("987259"), stop_point_ref: None, order: None, '
        'strop_point_name: None, journey_info: None, reason: Some("Short staff") }',
    ]:
        assert fragment in rendered


def test_real_distributor_document_has_a_departure_the_delivery_does_not_claim():
    # The standard's StoppingPositionChangedDeparture is buffered and refused by the frame.
    assert parse_error(siri_docs.wrapped(DISTRIBUTOR_DOC)) == (
        f"unknown field `StoppingPositionChangedDeparture`, {FRAME_NAMES}"
    )


def test_real_distributor_document_reads_its_other_departures_first():
    # A fault in the cancellation, after the refused element, is met first.
    text = siri_docs.read(DISTRIBUTOR_DOC).replace("<Reason>Short staff</Reason>", "<Reason><X/></Reason>")
    assert parse_error(siri_docs.wrap(text)) == 'unexpected `Event::Start("X")`'


def test_real_distributor_document_parses_with_the_expected_departure_name():
    text = siri_docs.read(DISTRIBUTOR_DOC).replace("StoppingPositionChangedDeparture>", "StoppingPositionChangeDeparture>")
    rendered = body_text(siri_docs.wrap(text))
    for fragment in [
        'leader: XxxDelivery { response_timestamp: "2001-12-17T09:30:47.0Z", request_message_ref: Some("12345"), '
        "subscriber_ref: None, subscription_ref: None, status: Some(true), valid_until: None, "
        "shortest_possible_cycle: None }",
        # Their references stand directly in the departures, outside a DistributorInfo.
        'wait_prolonged_departure: Some(WaitProlongedDeparture { recorded_at_time: "2001-12-17T09:30:47-05:00", '
        'distributor_info: None, expected_departure_time: Some("2001-12-17T09:30:47-05:00") })',
        'stopping_position_change_departure: Some(StoppingPositionChangeDeparture { recorded_at_time: '
        '"2001-12-17T09:30:47-05:00", distributor_info: None, change_note: Some("Will now leave from platform 6"), '
        "new_location: None })",
        'distributor_departure_cancellation: Some(DistributorDepartureCancellation { recorded_at_time: '
        '"2001-12-17T09:30:47-05:00", distributor_info: None, reason: Some("Short staff") })',
    ]:
        assert fragment in rendered
