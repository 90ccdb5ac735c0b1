"""Estimated timetable: the notification down to its journeys and calls."""
import re

import pytest

import quorvane
import siri_docs
from notify_docs import FRAME_KEYS as FRAME_FIELDS, body_text as rendered, error as error_of, parse

HEADER = "<ServiceDeliveryInfo><ProducerRef>P1</ProducerRef></ServiceDeliveryInfo>"


def notify(notification):
    return (
        "<Envelope><Body><NotifyEstimatedTimetable>"
        f"{HEADER}{notification}"
        "</NotifyEstimatedTimetable></Body></Envelope>"
    )


def delivery(content, name="EstimatedTimetableDelivery"):
    return notify(f'<Notification><{name} version="2.0">{content}</{name}></Notification>')


def frame(content):
    return (
        "<ResponseTimestamp>T1</ResponseTimestamp>"
        f"<EstimatedJourneyVersionFrame><RecordedAtTime>T2</RecordedAtTime>{content}</EstimatedJourneyVersionFrame>"
    )


def J(x):
    return f"<EstimatedVehicleJourney><LineRef>L1</LineRef>{x}</EstimatedVehicleJourney>"


def DOC(x):
    return delivery(frame(J(x)))


def RC(x):
    """A journey whose one recorded call holds `x`."""
    return f"<RecordedCalls><RecordedCall><StopPointRef>S1</StopPointRef><Order>2</Order>{x}</RecordedCall></RecordedCalls>"


def EC(x):
    """A journey whose one estimated call holds `x`."""
    return f"<EstimatedCalls><EstimatedCall>{x}</EstimatedCall></EstimatedCalls>"


ARRIVAL_STATUSES = "`onTime`, `missed`, `arrived`, `notExpected`, `delayed`, `early`, `cancelled`, `noReport`"
DEPARTURE_STATUSES = "`onTime`, `early`, `delayed`, `cancelled`, `arrived`, `departed`, `notExpected`, `noReport`"
OCCUPANCIES = (
    "`full`, `seatsAvailable`, `standingAvailable`, `unknown`, `empty`, `manySeatAvailable`, "
    "`fewSeatAvailable`, `standingRoomOnly`, `crushStandingRoomOnly`, `notAcceptingPassengers`"
)
BOARDING = "`alighting`, `noAlighting`, `passThru`, `boarding`, `noBoarding`"
JOURNEY_IDENTIFIERS = "`datedVehicleJourneyRef`, `estimatedVehicleJourneyCode`, `datedVehicleJourneyIndirectRef`"

EMPTY_ESTIMATED_CALL = (
    "EstimatedCall { stop_point_ref: None, order: None, stop_point_name: None, extra_call: None, "
    "cancellation: None, occupancy: None, platform_traversal: None, destination_display: None, "
    "aimed_arrival_time: None, expected_arrival_time: None, arrival_status: None, arrival_proximity_text: None, "
    "arrival_platform_name: None, arrival_stop_assignment: None, aimed_quay_name: None, aimed_departure_time: None, "
    "expected_departure_time: None, departure_status: None, departure_platform_name: None, "
    "departure_boarding_activity: None }"
)


def test_a_journey_renders_every_field_in_order():
    assert rendered(DOC("<Cancellation>false</Cancellation>")) == (
        "Body(EstimatedTimetable(NotifyEstimatedTimetable { service_delivery_info: ServiceDeliveryInfo { "
        'response_timestamp: None, producer_ref: "P1", request_message_identifier: None, response_message_ref: None }, '
        "notification: EstimatedTimetableNotification { estimated_timetable_delivery: EstimatedTimetableDelivery { "
        'leader: XxxDelivery { response_timestamp: "T1", request_message_ref: None, subscriber_ref: None, '
        "subscription_ref: None, status: None, valid_until: None, shortest_possible_cycle: None }, "
        'estimated_journey_version_frame: EstimatedJourneyVersionFrame { recorded_at_time: "T2", version_ref: None, '
        'estimated_vehicle_journey: [EstimatedVehicleJourney { line_ref: "L1", published_line_name: None, '
        "direction_ref: None, journey_identifier: None, dated_vehicule_journey_ref: None, "
        'cancellation: Some("false"), extra_journey: None, journey_pattern_name: None, journey_pattern_info: None, '
        "vehicle_mode: None, origin_ref: None, origin_name: None, destination_ref: None, destination_name: None, "
        "operator_ref: None, product_category_ref: None, train_numbers: None, vehicule_journey_name: None, "
        "origin_aimed_departure_time: None, destination_aimed_arrival_time: None, recorded_calls: None, "
        "estimated_calls: None, framed_vehicle_journey_ref: None, data_source: None, vehicle_ref: None, "
        "aimed_departure_time: None, aimed_arrival_time: None, journey_note: None, headway_service: None, "
        "first_or_last_journey: None, disruption_group: None, journey_progress_info: None }] } } } }))"
    )


# Content of one journey, and what its rendering holds.
JOURNEY_GIVES = [
    # "Vehicule" is how the element is spelt; the usual spelling binds nothing.
    ("<DatedVehicleJourneyRef>J</DatedVehicleJourneyRef>", "dated_vehicule_journey_ref: None"),
    ("<DatedVehiculeJourneyRef>J</DatedVehiculeJourneyRef>", 'dated_vehicule_journey_ref: Some("J")'),
    ("<VehicleJourneyName>N</VehicleJourneyName>", "vehicule_journey_name: None"),
    ("<VehiculeJourneyName>N</VehiculeJourneyName>", 'vehicule_journey_name: Some("N")'),
    # Texts here, though their namesakes elsewhere are flags, choices or records.
    ("<Cancellation>maybe</Cancellation>", 'cancellation: Some("maybe")'),
    ("<VehicleMode>hovercraft</VehicleMode>", 'vehicle_mode: Some("hovercraft")'),
    ("<DisruptionGroup>text</DisruptionGroup>", 'disruption_group: Some("text")'),
    ("<HeadwayService>false</HeadwayService>", 'headway_service: Some("false")'),
    ("<ExtraJourney>1</ExtraJourney>", "extra_journey: Some(true)"),
    ("<TrainNumbers/>", "train_numbers: Some(TrainNumbers { train_number_ref: None })"),
    (
        "<TrainNumbers><TrainNumberRef>504</TrainNumberRef></TrainNumbers>",
        'train_numbers: Some(TrainNumbers { train_number_ref: Some("504") })',
    ),
    (
        "<JourneyPatternInfo><VehicleMode>bus</VehicleMode><PublishedLineName>5</PublishedLineName></JourneyPatternInfo>",
        "journey_pattern_info: Some(JourneyPatternInfo { journey_pattern_ref: None, journey_pattern_name: None, "
        'vehicle_mode: Some(Bus), route_ref: None, published_line_name: "5", direction_name: None })',
    ),
    (
        "<FramedVehicleJourneyRef><DatedVehicleJourneyRef>J</DatedVehicleJourneyRef></FramedVehicleJourneyRef>",
        'framed_vehicle_journey_ref: Some(FramedVehicleJourneyRef { data_frame_ref: None, dated_vehicle_journey_ref: Some("J") })',
    ),
    # The three states of a call list: no wrapper, an empty wrapper, items.
    ("<EstimatedCalls/>", "estimated_calls: Some(EstimatedCalls { calls: None })"),
    ("<EstimatedCalls>t<Other/></EstimatedCalls>", "estimated_calls: Some(EstimatedCalls { calls: None })"),
    ("<RecordedCalls/>", "recorded_calls: Some(RecordedCalls { calls: None })"),
    # `calls` and `EstimatedCall` name estimated calls only.
    ("<RecordedCalls><calls/><EstimatedCall/></RecordedCalls>", "recorded_calls: Some(RecordedCalls { calls: None })"),
    (
        "<EstimatedCalls><EstimatedCall/><EstimatedCall/></EstimatedCalls>",
        f"estimated_calls: Some(EstimatedCalls {{ calls: Some([{EMPTY_ESTIMATED_CALL}, {EMPTY_ESTIMATED_CALL}]) }})",
    ),
    (
        "<EstimatedCalls><calls/><!-- c --> <calls/></EstimatedCalls>",
        f"estimated_calls: Some(EstimatedCalls {{ calls: Some([{EMPTY_ESTIMATED_CALL}, {EMPTY_ESTIMATED_CALL}]) }})",
    ),
    (
        RC(
            "<Occupancy>manySeatAvailable</Occupancy><DisruptionGroup><A>x</A></DisruptionGroup>"
            "<Arrival><ArrivalProximityText>a</ArrivalProximityText> b </Arrival>"
        ),
        'RecordedCall { stop_point_ref: "S1", order: 2, stop_point_name: None, extra_call: None, cancellation: None, '
        "occupancy: Some(ManySeatAvailable), platform_traversal: None, disruption_group: Some(DisruptionGroup), "
        "arrival: Some(ArrivalInfo { ",
    ),
    (
        RC("<Arrival><ArrivalProximityText>a</ArrivalProximityText> b </Arrival>"),
        'arrival_proximity_text: ["a", "b"]',
    ),
    (
        RC(
            '<Arrival id="1">t<ExpectedQuayRef>skipped</ExpectedQuayRef><ArrivalStatus> delayed </ArrivalStatus>'
            "<ArrivalProximityText/><siri:ArrivalBoardingActivity>passThru</siri:ArrivalBoardingActivity>"
            "<ArrivalStopAssignment>only text</ArrivalStopAssignment></Arrival>"
        ),
        "arrival: Some(ArrivalInfo { aimed_arrival_time: None, actual_arrival_time: None, expected_arrival_time: None, "
        'arrival_status: Some(Delayed), arrival_proximity_text: [""], arrival_platform_name: None, '
        "arrival_boarding_activity: Some(PassThru), arrival_stop_assignment: Some(StopAssignment { "
        "aimed_quay_ref: None, aimed_quay_name: None, expected_quay_ref: None }) })",
    ),
    (
        RC(
            "<Arrival><ArrivalProximityText>a</ArrivalProximityText><ArrivalStopAssignment>"
            "<AimedQuayRef>Q1</AimedQuayRef><ExpectedQuayRef>Q2</ExpectedQuayRef></ArrivalStopAssignment></Arrival>"
        ),
        'arrival_stop_assignment: Some(StopAssignment { aimed_quay_ref: Some("Q1"), aimed_quay_name: None, '
        'expected_quay_ref: Some("Q2") })',
    ),
    (
        RC(
            "<Departure><DepartureStatus>departed</DepartureStatus><ExpectedQuayRef>Q3</ExpectedQuayRef>"
            "<DepartureBoardingActivity>boarding</DepartureBoardingActivity></Departure>"
        ),
        "departure: Some(DepartureInfo { aimed_departure_time: None, actual_departure_time: None, "
        "expected_departure_time: None, departure_status: Some(Departed), departure_platform_name: None, "
        'departure_boarding_activity: Some(Boarding), expected_quay_ref: Some("Q3") })',
    ),
    (
        RC("<Departure/>"),
        "departure: Some(DepartureInfo { aimed_departure_time: None, actual_departure_time: None, "
        "expected_departure_time: None, departure_status: None, departure_platform_name: None, "
        "departure_boarding_activity: None, expected_quay_ref: None })",
    ),
    (
        RC(
            "<ExpectedDepartureOccupancy><OccupancyLevel>standingRoomOnly</OccupancyLevel>"
            "<OccupancyPercentage>150</OccupancyPercentage>"
            "<GroupReservations><NameOfGroup>Choir</NameOfGroup><NumberOfSeats>+7</NumberOfSeats>"
            "<PassengerCategory>skipped</PassengerCategory></GroupReservations>"
            "<GroupReservations><NameOfGroup/><NumberOfSeats>12</NumberOfSeats></GroupReservations>"
            "<PassengerCategory>adult</PassengerCategory></ExpectedDepartureOccupancy>"
        ),
        'expected_departure_occupancy: Some(ExpectedDepartureOccupancy { passenger_category: Some("adult"), '
        "occupancy_level: Some(StandingRoomOnly), occupancy_percentage: Some(150), alighting_count: None, "
        'boarding_count: None, onboard_count: None, group_reservations: [GroupReservation { name_of_group: "Choir", '
        'number_of_seats: 7 }, GroupReservation { name_of_group: "", number_of_seats: 12 }] })',
    ),
    (
        RC("<ExpectedDepartureCapacity><BicycleRackCapacity>4294967295</BicycleRackCapacity></ExpectedDepartureCapacity>"),
        "expected_departure_capacity: Some(ExpectedDepartureCapacity { train_formation_reference_group: None, "
        "passenger_category: None, total_capacity: None, seating_capacity: None, standing_capacity: None, "
        "pushchair_capacity: None, wheelchair_place_capacity: None, pram_place_capacity: None, "
        "bicycle_rack_capacity: Some(4294967295) })",
    ),
    (
        EC(
            "<StopPointRef>S1</StopPointRef><Order>4294967295</Order><Cancellation>1</Cancellation>"
            "<Occupancy>fewSeatAvailable</Occupancy><ArrivalStatus>&#111;nTime</ArrivalStatus>"
            "<ArrivalProximityText>a</ArrivalProximityText><ArrivalProximityText>b</ArrivalProximityText>"
            "<ArrivalStopAssignment>Q1</ArrivalStopAssignment><DepartureStatus>noReport</DepartureStatus>"
            "<DepartureBoardingActivity>noBoarding</DepartureBoardingActivity>"
        ),
        'EstimatedCall { stop_point_ref: Some("S1"), order: Some(4294967295), stop_point_name: None, extra_call: None, '
        "cancellation: Some(true), occupancy: Some(FewSeatAvailable), platform_traversal: None, "
        "destination_display: None, aimed_arrival_time: None, expected_arrival_time: None, "
        'arrival_status: Some(OnTime), arrival_proximity_text: Some(["a", "b"]), arrival_platform_name: None, '
        'arrival_stop_assignment: Some("Q1"), aimed_quay_name: None, aimed_departure_time: None, '
        "expected_departure_time: None, departure_status: Some(NoReport), departure_platform_name: None, "
        "departure_boarding_activity: Some(NoBoarding) }",
    ),
    # Text right after the last proximity text is one more of them.
    (EC("<ArrivalProximityText>a</ArrivalProximityText>b"), 'arrival_proximity_text: Some(["a", "b"])'),
]


@pytest.mark.parametrize(("content", "expected"), JOURNEY_GIVES)
def test_journey_content_gives(content, expected):
    assert expected in rendered(DOC(content))


# Children, attributes and text that no journey field binds change nothing.
@pytest.mark.parametrize(
    "content",
    [
        "<Monitored>true</Monitored>",
        "<Monitored><Deep a='1'>x<y/></Deep>tail</Monitored>",
        "free text",
        "<!-- a comment --><?pi x?>",
    ],
)
def test_unbound_journey_content_is_passed_over(content):
    assert rendered(DOC(content)) == rendered(DOC(""))


# Content of one journey, and the error it ends the parse with.
JOURNEY_FAILS = [
    ("<DisruptionGroup><Reason>x</Reason></DisruptionGroup>", 'unexpected `Event::Start("Reason")`'),
    ("<JourneyNote><p:b>x</p:b></JourneyNote>", 'unexpected `Event::Start("p:b")`'),
    ("<LineRef>L2</LineRef>", "duplicate field `LineRef`"),
    ("<ExtraJourney>yes</ExtraJourney>", 'invalid type: string "yes", expected a boolean'),
    ("<ExtraJourney/>", 'invalid type: string "", expected a boolean'),
    # The text names an alternative but carries no value for it, so any
    # present identifier fails.
    ("<JourneyIdentifier>J1</JourneyIdentifier>", f"unknown variant `J1`, expected one of {JOURNEY_IDENTIFIERS}"),
    ("<JourneyIdentifier/>", f"unknown variant `$text`, expected one of {JOURNEY_IDENTIFIERS}"),
    ("<JourneyIdentifier>datedVehicleJourneyRef</JourneyIdentifier>", "invalid type: unit value, expected a string"),
    (
        "<JourneyIdentifier>estimatedVehicleJourneyCode</JourneyIdentifier>",
        "invalid type: unit value, expected a string",
    ),
    (
        "<JourneyIdentifier>datedVehicleJourneyIndirectRef</JourneyIdentifier>",
        "invalid type: unit value, expected struct DatedVehicleJourneyIndirectRef",
    ),
    (
        "<JourneyIdentifier><datedVehicleJourneyRef>J</datedVehicleJourneyRef></JourneyIdentifier>",
        'unexpected `Event::Start("datedVehicleJourneyRef")`',
    ),
    ("<JourneyPatternInfo/>", "missing field `PublishedLineName`"),
    (
        "<JourneyPatternInfo><VehicleMode>hovercraft</VehicleMode></JourneyPatternInfo>",
        "unknown variant `hovercraft`, expected one of `air`, `bus`, `coach`, `ferry`, `metro`, `rail`, `tram`, "
        "`underground`",
    ),
    (
        "<TrainNumbers><TrainNumberRef>1</TrainNumberRef><TrainNumberRef>2</TrainNumberRef></TrainNumbers>",
        "duplicate field `TrainNumberRef`",
    ),
    # One run of calls, under one name; errors name the field `calls`.
    ("<EstimatedCalls><EstimatedCall/><calls/></EstimatedCalls>", "duplicate field `calls`"),
    ("<EstimatedCalls><EstimatedCall/><Other/><EstimatedCall/></EstimatedCalls>", "duplicate field `calls`"),
    ("<EstimatedCalls><p:EstimatedCall/><EstimatedCall/></EstimatedCalls>", "duplicate field `calls`"),
    ("<EstimatedCalls><EstimatedCall/>x</EstimatedCalls>", 'invalid type: string "x", expected struct EstimatedCall'),
    ("<RecordedCalls><RecordedCall/></RecordedCalls>", "missing field `StopPointRef`"),
    (
        "<RecordedCalls><RecordedCall><StopPointRef>S1</StopPointRef></RecordedCall></RecordedCalls>",
        "missing field `Order`",
    ),
    (
        "<RecordedCalls><RecordedCall><StopPointRef>S1</StopPointRef><Order>1</Order></RecordedCall><!-- c --><Other/>"
        "<RecordedCall><StopPointRef>S2</StopPointRef><Order>2</Order></RecordedCall></RecordedCalls>",
        "duplicate field `RecordedCall`",
    ),
    (RC("").replace("</RecordedCall>", "</RecordedCall>y"), 'invalid type: string "y", expected struct RecordedCall'),
    (RC("<Order>3</Order>"), "duplicate field `Order`"),
    # A bad value is reported before the call's missing fields.
    ("<RecordedCalls><RecordedCall><Order>x</Order></RecordedCall></RecordedCalls>", 'invalid type: string "x", expected u32'),
    (EC("<Order/>"), 'invalid type: string "", expected u32'),
    (EC("<Order>-1</Order>"), 'invalid type: string "-1", expected u32'),
    (EC("<Order>4294967296</Order>"), 'invalid type: string "4294967296", expected u32'),
    (EC("<Cancellation>yes</Cancellation>"), 'invalid type: string "yes", expected a boolean'),
    (EC("<ArrivalStatus>Delayed</ArrivalStatus>"), f"unknown variant `Delayed`, expected one of {ARRIVAL_STATUSES}"),
    (EC("<ArrivalStatus>departed</ArrivalStatus>"), f"unknown variant `departed`, expected one of {ARRIVAL_STATUSES}"),
    (EC("<ArrivalStatus> </ArrivalStatus>"), f"unknown variant `$text`, expected one of {ARRIVAL_STATUSES}"),
    (EC("<DepartureStatus>missed</DepartureStatus>"), f"unknown variant `missed`, expected one of {DEPARTURE_STATUSES}"),
    (
        EC("<Occupancy>manySeatsAvailable</Occupancy>"),
        f"unknown variant `manySeatsAvailable`, expected one of {OCCUPANCIES}",
    ),
    (EC("<Occupancy><x/></Occupancy>"), 'unexpected `Event::Start("x")`'),
    (
        EC("<ArrivalStopAssignment><AimedQuayRef>Q1</AimedQuayRef></ArrivalStopAssignment>"),
        'unexpected `Event::Start("AimedQuayRef")`',
    ),
    (
        EC(
            "<ArrivalProximityText>a</ArrivalProximityText><Order>1</Order>"
            "<ArrivalProximityText>b</ArrivalProximityText>"
        ),
        "duplicate field `ArrivalProximityText`",
    ),
    (
        EC("<DepartureBoardingActivity>Boarding</DepartureBoardingActivity>"),
        f"unknown variant `Boarding`, expected one of {BOARDING}",
    ),
    (RC("<Arrival/>"), "missing field `ArrivalProximityText`"),
    (
        RC("<Arrival><AimedArrivalTime>1</AimedArrivalTime><AimedArrivalTime>2</AimedArrivalTime></Arrival>"),
        "duplicate field `AimedArrivalTime`",
    ),
    (RC("<Departure><DepartureBoardingActivity/></Departure>"), f"unknown variant `$text`, expected one of {BOARDING}"),
    (RC("<ExpectedDepartureOccupancy/>"), "missing field `GroupReservations`"),
    (
        RC(
            "<ExpectedDepartureOccupancy><OccupancyLevel>full</OccupancyLevel><OccupancyLevel>full</OccupancyLevel>"
            "</ExpectedDepartureOccupancy>"
        ),
        "duplicate field `OccupancyLevel`",
    ),
    (
        RC("<ExpectedDepartureOccupancy><OccupancyLevel/></ExpectedDepartureOccupancy>"),
        f"unknown variant `$text`, expected one of {OCCUPANCIES}",
    ),
    # Each `GroupReservations` element is one reservation; a wrapped one is
    # passed over as unknown.
    (
        RC(
            "<ExpectedDepartureOccupancy><GroupReservations><GroupReservation><NameOfGroup>C</NameOfGroup>"
            "<NumberOfSeats>1</NumberOfSeats></GroupReservation></GroupReservations></ExpectedDepartureOccupancy>"
        ),
        "missing field `NameOfGroup`",
    ),
    (
        RC(
            "<ExpectedDepartureOccupancy><GroupReservations><NameOfGroup>C</NameOfGroup></GroupReservations>"
            "</ExpectedDepartureOccupancy>"
        ),
        "missing field `NumberOfSeats`",
    ),
    (
        RC(
            "<ExpectedDepartureOccupancy><GroupReservations><NameOfGroup>C</NameOfGroup><NumberOfSeats/>"
            "</GroupReservations></ExpectedDepartureOccupancy>"
        ),
        'invalid type: string "", expected u32',
    ),
    (
        RC(
            "<ExpectedDepartureOccupancy><GroupReservations><NameOfGroup>C</NameOfGroup><NumberOfSeats>1</NumberOfSeats>"
            "</GroupReservations><OnboardCount>3</OnboardCount><GroupReservations/></ExpectedDepartureOccupancy>"
        ),
        "duplicate field `GroupReservations`",
    ),
    (
        RC(
            "<ExpectedDepartureOccupancy><GroupReservations><NameOfGroup>C</NameOfGroup><NumberOfSeats>1</NumberOfSeats>"
            "</GroupReservations>extra<OnboardCount>3</OnboardCount></ExpectedDepartureOccupancy>"
        ),
        'invalid type: string "extra", expected struct GroupReservation',
    ),
    (
        RC(
            "<ExpectedDepartureCapacity><TrainFormationReferenceGroup><Part/></TrainFormationReferenceGroup>"
            "</ExpectedDepartureCapacity>"
        ),
        'unexpected `Event::Start("Part")`',
    ),
    (
        RC("<ExpectedDepartureCapacity><TotalCapacity>1.5</TotalCapacity></ExpectedDepartureCapacity>"),
        'invalid type: string "1.5", expected u32',
    ),
]


@pytest.mark.parametrize(("content", "message"), JOURNEY_FAILS)
def test_journey_content_fails(content, message):
    assert error_of(DOC(content)) == message


# Content of the version frame after its RecordedAtTime, and the error.
@pytest.mark.parametrize(
    ("content", "message"),
    [
        ("", "missing field `EstimatedVehicleJourney`"),
        ("<EstimatedVehicleJourney/>", "missing field `LineRef`"),
        # The identifier's error comes at once, before the missing LineRef.
        (
            "<EstimatedVehicleJourney><JourneyIdentifier>J1</JourneyIdentifier></EstimatedVehicleJourney>",
            f"unknown variant `J1`, expected one of {JOURNEY_IDENTIFIERS}",
        ),
        (J("") + "<VersionRef>V</VersionRef>" + J(""), "duplicate field `EstimatedVehicleJourney`"),
        (J("") + "x", 'invalid type: string "x", expected struct EstimatedVehicleJourney'),
        ("<VersionRef/><VersionRef/>" + J(""), "duplicate field `VersionRef`"),
    ],
)
def test_version_frame_fails(content, message):
    assert error_of(delivery(frame(content))) == message


def test_version_frame_without_recorded_at_time_fails_first():
    doc = delivery(
        "<ResponseTimestamp>T1</ResponseTimestamp>"
        f"<EstimatedJourneyVersionFrame>{J('')}</EstimatedJourneyVersionFrame>"
    )
    assert error_of(doc) == "missing field `RecordedAtTime`"


def test_journeys_keep_document_order():
    journeys = "".join(
        f"<EstimatedVehicleJourney><LineRef>{n}</LineRef></EstimatedVehicleJourney><!-- c -->\n"
        for n in ("A", "B", "C")
    )
    text = rendered(delivery(frame("lead text " + journeys)))
    assert re.findall(r'EstimatedVehicleJourney \{ line_ref: "(\w)"', text) == ["A", "B", "C"]
    assert "version_ref: None" in text


def test_an_empty_line_ref_is_an_empty_text():
    doc = delivery(frame("<EstimatedVehicleJourney><LineRef/></EstimatedVehicleJourney>"))
    assert 'EstimatedVehicleJourney { line_ref: "", ' in rendered(doc)


def test_empty_version_ref_is_an_empty_text():
    assert 'version_ref: Some("")' in rendered(delivery(frame("<VersionRef/>" + J(""))))


def plain():
    """The rendering of the document with one bare journey."""
    return rendered(DOC(""))


# The delivery element under other names, and what stands in it.
@pytest.mark.parametrize(
    ("name", "content"),
    [
        ("siri1:EstimatedTimetableDelivery", frame(J(""))),
        ("x:siri1:EstimatedTimetableDelivery", frame(J(""))),
        # The frame's elements may follow the version frame; leader still
        # renders first.
        ("EstimatedTimetableDelivery", frame(J("")).replace("<ResponseTimestamp>T1</ResponseTimestamp>", "")
         + "<ResponseTimestamp>T1</ResponseTimestamp>"),
    ],
)
def test_delivery_reads_alike(name, content):
    assert rendered(delivery(content, name)) == plain()


@pytest.mark.parametrize(
    ("content", "expected"),
    [
        ("<Status>true</Status>", "status: Some(true)"),
        ("<ShortestPossibleCycle>60</ShortestPossibleCycle>", "shortest_possible_cycle: Some(60)"),
        # Not a number: the frame leaves it absent.
        ("<ShortestPossibleCycle>PT1M</ShortestPossibleCycle>", "shortest_possible_cycle: None"),
        ("<SubscriberRef>S</SubscriberRef>", 'subscriber_ref: Some("S")'),
    ],
)
def test_delivery_frame_fields(content, expected):
    assert expected in rendered(delivery(frame(J("")) + content))


@pytest.mark.parametrize(
    ("content", "message"),
    [
        (frame(J("")) + "<Foo/>", f"unknown field `Foo`, expected one of {FRAME_FIELDS}"),
        ("text" + frame(J("")), f"unknown field `$text`, expected one of {FRAME_FIELDS}"),
        ("<ResponseTimestamp>T1</ResponseTimestamp>", "missing field `EstimatedJourneyVersionFrame`"),
        # The delivery's own check comes before the frame's.
        ("<Foo/>", "missing field `EstimatedJourneyVersionFrame`"),
        (frame(J("")).replace("<ResponseTimestamp>T1</ResponseTimestamp>", ""), "missing field `ResponseTimestamp`"),
        (frame(J("")) + frame(J("")), "duplicate field `EstimatedJourneyVersionFrame`"),
    ],
)
def test_delivery_fails(content, message):
    assert error_of(delivery(content)) == message


def test_unbound_children_of_the_notify_and_notification_are_passed_over():
    doc = notify(
        f'<Foo/><Notification>t<Foo/><EstimatedTimetableDelivery version="2.0">{frame(J(""))}'
        "</EstimatedTimetableDelivery></Notification>"
    )
    assert rendered(doc) == plain()


@pytest.mark.parametrize(
    ("doc", "message"),
    [
        (notify("<Notification/>"), "missing field `EstimatedTimetableDelivery`"),
        (
            notify(
                "<Notification><EstimatedTimetableDelivery>" + frame(J("")) + "</EstimatedTimetableDelivery>"
                "<x:siri1:EstimatedTimetableDelivery>" + frame(J("")) + "</x:siri1:EstimatedTimetableDelivery>"
                "</Notification>"
            ),
            "duplicate field `EstimatedTimetableDelivery`",
        ),
        (notify("").replace(HEADER, ""), "missing field `ServiceDeliveryInfo`"),
        (notify(""), "missing field `Notification`"),
    ],
)
def test_notification_fails(doc, message):
    assert error_of(doc) == message


# ------------------------------------------------------------ Python surface


def test_notify_estimated_timetable_returns_a_new_object_per_call():
    body = parse(DOC("")).body()
    first = body.notify_estimated_timetable()
    second = body.notify_estimated_timetable()
    assert type(first) is quorvane.NotifyEstimatedTimetable
    assert type(second) is quorvane.NotifyEstimatedTimetable
    assert first is not second
    assert body.notify_stop_monitoring() is None
    assert body.notify_production_timetable() is None
    # Handing out copies leaves the body as it was.
    assert str(body) == plain()


def test_other_services_give_no_estimated_timetable():
    doc = (
        f"<Envelope><Body><NotifyStopMonitoring>{HEADER}<Notification><StopMonitoringDelivery>"
        "<ResponseTimestamp>T</ResponseTimestamp></StopMonitoringDelivery></Notification>"
        "</NotifyStopMonitoring></Body></Envelope>"
    )
    body = parse(doc).body()
    assert body.notify_estimated_timetable() is None


def test_notify_estimated_timetable_has_no_constructor():
    with pytest.raises(TypeError):
        quorvane.NotifyEstimatedTimetable()


# ------------------------------------------------------------ real documents


def test_the_reference_example():
    text = rendered(siri_docs.wrapped("siri_exm_ET/ext_estimatedTimetable_response.xml"))
    assert text.count("EstimatedVehicleJourney {") == 2
    assert 'cancellation: Some("true")' in text
    assert "occupancy: Some(SeatsAvailable)" in text
    assert "status: Some(true)" in text
    # Its cycle, P1Y2M3DT10H30M, is no number of seconds.
    assert "shortest_possible_cycle: None" in text
    # The example writes `DatedVehicleJourneyRef`, which a journey does not bind.
    assert "dated_vehicule_journey_ref: Some" not in text
    assert 'version_ref: Some("5645")' in text


ENTUR = "entur-nordic-profile/estimated-timetable/"


@pytest.mark.parametrize(
    ("name", "expected"),
    [
        (
            "siri-et-partial-cancellation-last-stops-after-departure.xml",
            'RecordedCall { stop_point_ref: "NSR:Quay:709", order: 1, ',
        ),
        ("siri-et-cancellation-before-departure.xml", 'cancellation: Some("true")'),
        ("siri-et-extra-journey-1.xml", 'extra_journey: Some(true), journey_pattern_name: None'),
        ("siri-et-vehicle-before-departure.xml", 'stop_point_ref: Some("NSR:Quay:709"), order: Some(1)'),
    ],
)
def test_nordic_profile_documents_parse(name, expected):
    text = rendered(siri_docs.wrapped(ENTUR + name))
    assert 'producer_ref: "NSB"' in text
    assert expected in text


def test_quay_change_is_rejected():
    # An estimated call's ArrivalStopAssignment is text; this producer nests
    # quay references in it.
    assert error_of(siri_docs.wrapped(ENTUR + "siri-et-quay-change-1.xml")) == 'unexpected `Event::Start("AimedQuayRef")`'


def test_quay_change_without_nested_assignments_parses():
    text = siri_docs.wrapped(ENTUR + "siri-et-quay-change-1.xml")
    edited = re.sub(r"<ArrivalStopAssignment>.*?</ArrivalStopAssignment>", "", text, flags=re.S)
    assert 'stop_point_name: Some("Berkåk")' in rendered(edited)


# Their service headers name no producer, which the header requires.
@pytest.mark.parametrize(
    "relative",
    [ENTUR + "et-datafeed-partial-corrected.xml", "occupancy/ext_estimatedTimetable_response.xml"],
)
def test_documents_without_producer_are_rejected(relative):
    assert error_of(siri_docs.wrapped(relative)) == "missing field `ProducerRef`"


def test_occupancy_example_with_a_producer_parses():
    text = siri_docs.read("occupancy/ext_estimatedTimetable_response.xml")
    edited = text.replace("<Status>true</Status>", "<ProducerRef>P</ProducerRef>", 1)
    out = rendered(siri_docs.wrap(edited))
    assert 'train_numbers: Some(TrainNumbers { train_number_ref: Some("504") })' in out
    assert 'destination_name: Some("Neuchâtel")' in out
    # An estimated call has no departure occupancy: those elements are passed over.
    assert "ExpectedDepartureOccupancy" not in out
    assert 'valid_until: Some("2023-11-17T09:30:47-05:00")' in out


def test_data_feed_with_a_producer_parses():
    text = siri_docs.read(ENTUR + "et-datafeed-partial-corrected.xml")
    edited = text.replace("<EstimatedTimetableDelivery", "<ProducerRef>P</ProducerRef><EstimatedTimetableDelivery", 1)
    out = rendered(siri_docs.wrap(edited))
    assert out.count("EstimatedVehicleJourney {") == 9
    assert 'line_ref: "RUT:Line:0500", published_line_name: Some("500")' in out
