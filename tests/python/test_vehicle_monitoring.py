"""Vehicle monitoring: GetVehicleMonitoringResponse down to activities and cancellations."""
import pytest

import quorvane
import siri_docs
from notify_docs import RT, SDI, SDI_TEXT, check_surface, delivery_doc, envelope, error, leader, render, \
    unknown_frame_field

MVJ = ("<MonitoredVehicleJourney><LineRef>L1</LineRef><FramedVehicleJourneyRef>"
       "<DatedVehicleJourneyRef>J1</DatedVehicleJourneyRef></FramedVehicleJourneyRef></MonitoredVehicleJourney>")
MVJ_TEXT = ('MonitoredVehicleJourney { line_ref: "L1", framed_vehicle_journey_ref: FramedVehicleJourneyRef { '
            'data_frame_ref: None, dated_vehicle_journey_ref: Some("J1") } }')


def activity(fields=""):
    return f"<VehicleActivity>{fields}{MVJ}</VehicleActivity>"


def activity_text(recorded_at_time="None", progress="None"):
    return (f"VehicleActivity {{ recorded_at_time: {recorded_at_time}, valid_until_time: None, item_identifier: None, "
            f"vehicle_monitoring_ref: None, progress_between_stops: {progress}, monitored_vehicle_journey: {MVJ_TEXT}, "
            "vehicle_activity_note: None }")


def cancellation(fields="<Reasons>r</Reasons>"):
    return f"<VehicleActivityCancellation>{fields}</VehicleActivityCancellation>"


def doc(inner, root_attrs=""):
    return delivery_doc("vehicle_monitoring", inner, root_attrs=root_attrs)


def response(content):
    return envelope(f"<GetVehicleMonitoringResponse>{content}</GetVehicleMonitoringResponse>")


def holder(name, inner=RT):
    return f"<{name}><VehicleMonitoringDelivery>{inner}</VehicleMonitoringDelivery></{name}>"


MUST_SHOW = response(SDI + holder("Notification", RT + activity(
    "<RecordedAtTime/><ProgressBetweenStops><LinkDistance>-250</LinkDistance><Percentage>+42</Percentage>"
    "</ProgressBetweenStops>")))


def test_a_whole_response_renders():
    assert render(MUST_SHOW) == (
        "Envelope { body: Body(VehicleMonitoring(NotifyVechicleMonitoring { service_delivery_info: "
        f"{SDI_TEXT}, notification: VehicleMonitoringNotification {{ vehicle_monitoring_delivery: "
        f"VehicleMonitoringDelivery {{ leader: {leader()}, vehicle_activity: Some(["
        + activity_text('Some("")',
                        "Some(ProgressBetweenStops { link_distance: Some(-250), percentage: Some(42) })")
        + "]), vehicle_activity_cancellation: None } } })) }"
    )


def test_python_surface():
    check_surface(MUST_SHOW, "notify_vehicle_monitoring", quorvane.NotifyVechicleMonitoring)


@pytest.mark.parametrize("name", ["Answer", "Anwser", "Notification"])
def test_the_notification_element_has_three_names(name):
    assert render(response(SDI + holder(name))) == render(response(SDI + holder("Answer")))


def test_the_last_response_counts():
    first = f"<GetVehicleMonitoringResponse>{SDI}{holder('Answer', '<ResponseTimestamp>a</ResponseTimestamp>')}" \
            "</GetVehicleMonitoringResponse>"
    second = first.replace(">a<", ">b<")
    rendered = render(envelope(first + second))
    assert 'response_timestamp: "b"' in rendered and 'response_timestamp: "a"' not in rendered
    # Both are read: an error in the first ends the parse.
    assert error(envelope(first.replace("<Answer>", "<Answer/><Answer>") + second)) == \
        "missing field `VehicleMonitoringDelivery`"


def progress(inner):
    return doc(RT + activity(f"<ProgressBetweenStops>{inner}</ProgressBetweenStops>"))


@pytest.mark.parametrize("text, value", [
    ("42", 42), ("+42", 42), (" 42 ", 42), ("042", 42), ("-0", 0), ("&#52;2", 42),
    ("2147483647", 2147483647), ("-2147483648", -2147483648),
])
def test_signed_numbers(text, value):
    assert (f"progress_between_stops: Some(ProgressBetweenStops {{ link_distance: None, percentage: Some({value}) }})"
            in render(progress(f"<Percentage>{text}</Percentage>")))


@pytest.mark.parametrize("text, shown", [
    ("42.5", "42.5"), ("2147483648", "2147483648"), ("-2147483649", "-2147483649"), ("4 2", "4 2"),
    ("0x2A", "0x2A"), ("+", "+"), ("-", "-"), ("", ""), ("  ", ""), ("1e3", "1e3"), ("--1", "--1"),
    ("4\t2", "4\\t2"),
])
def test_signed_number_errors(text, shown):
    assert error(progress(f"<LinkDistance>{text}</LinkDistance>")) == f'invalid type: string "{shown}", expected i32'


# (document, fragment of its rendering)
RENDERINGS = [
    (doc(RT), f"VehicleMonitoringDelivery {{ leader: {leader()}, vehicle_activity: None, "
              "vehicle_activity_cancellation: None }"),
    (progress("<LinkDistance>-250</LinkDistance>"),
     "progress_between_stops: Some(ProgressBetweenStops { link_distance: Some(-250), percentage: None })"),
    # Attributes never bind.
    (doc(RT + activity('<ProgressBetweenStops LinkDistance="5"/>')),
     "progress_between_stops: Some(ProgressBetweenStops { link_distance: None, percentage: None })"),
    # Fields in any order; the rendering follows the declaration.
    (doc(RT + "<VehicleActivity><VehicleActivityNote>n</VehicleActivityNote>" + MVJ
         + "<VehicleMonitoringRef>v</VehicleMonitoringRef><ItemIdentifier>i</ItemIdentifier>"
           "<ValidUntilTime>u</ValidUntilTime><RecordedAtTime>r</RecordedAtTime><Extra>x</Extra></VehicleActivity>"),
     'VehicleActivity { recorded_at_time: Some("r"), valid_until_time: Some("u"), item_identifier: Some("i"), '
     f'vehicle_monitoring_ref: Some("v"), progress_between_stops: None, monitored_vehicle_journey: {MVJ_TEXT}, '
     'vehicle_activity_note: Some("n") }'),
    # Cancellations: reasons in order; the six references optional.
    (doc(RT + cancellation("<Reasons>a</Reasons><Reasons>b</Reasons>")),
     "vehicle_activity_cancellation: Some([VehicleActivityCancellation { recorded_at_time: None, event_identity: None, "
     "vehicle_monitoring_ref: None, framed_vehicle_journey_ref: None, line_ref: None, journey_pattern_info: None, "
     'reasons: ["a", "b"] }])'),
    (doc(RT + cancellation("<Reasons/>")), 'reasons: [""]'),
    (doc(RT + cancellation("<Reasons>a</Reasons>x<Reasons>b</Reasons>")), 'reasons: ["a", "x", "b"]'),
    (doc(RT + cancellation(
        '<Reasons xml:lang="en">r</Reasons><LineRef>L</LineRef><FramedVehicleJourneyRef/>'
        "<EventIdentity>E</EventIdentity>"
        "<VehicleMonitoringRef>V</VehicleMonitoringRef><RecordedAtTime>t</RecordedAtTime>"
        "<JourneyPatternInfo><PublishedLineName>P</PublishedLineName></JourneyPatternInfo>"
        "<JourneyPatternInfoGroup/><VehicleJourneyRef>J</VehicleJourneyRef>")),
     'VehicleActivityCancellation { recorded_at_time: Some("t"), event_identity: Some("E"), '
     'vehicle_monitoring_ref: Some("V"), framed_vehicle_journey_ref: Some(FramedVehicleJourneyRef { '
     'data_frame_ref: None, dated_vehicle_journey_ref: None }), line_ref: Some("L"), journey_pattern_info: '
     "Some(JourneyPatternInfoGroup { journey_pattern_ref: None, journey_pattern_name: None, vehicle_mode: None, "
     'route_ref: None, published_line_name: "P", direction_name: None }), reasons: ["r"] }'),
    # Activities and cancellations in either order, frame elements between.
    (doc(cancellation() + RT + activity()),
     f"vehicle_activity: Some([{activity_text()}]), vehicle_activity_cancellation: Some([VehicleActivityCancellation"),
]


@pytest.mark.parametrize("document, fragment", RENDERINGS)
def test_renderings(document, fragment):
    assert fragment in render(document)


def test_runs_keep_document_order():
    rendered = render(doc(RT + activity("<ItemIdentifier>1</ItemIdentifier>") + "<!-- c -->\n"
                          + activity("<ItemIdentifier>2</ItemIdentifier>")
                          + activity("<ItemIdentifier>3</ItemIdentifier>")))
    assert rendered.index('Some("1")') < rendered.index('Some("2")') < rendered.index('Some("3")')
    assert rendered.count("VehicleActivity {") == 3


ERRORS = [
    (response(""), "missing field `ServiceDeliveryInfo`"),
    (response(SDI), "missing field `Answer`"),
    (response(holder("Answer")), "missing field `ServiceDeliveryInfo`"),
    (response(SDI + holder("Answer") + "<Notification/>"), "duplicate field `Answer`"),
    (response(SDI + holder("Anwser") + holder("Answer")), "duplicate field `Answer`"),
    (response(SDI + holder("Notification") + holder("Anwser")), "duplicate field `Answer`"),
    (response(SDI + SDI), "duplicate field `ServiceDeliveryInfo`"),
    (response(SDI + "<Answer/>"), "missing field `VehicleMonitoringDelivery`"),
    (response(SDI + "<Answer><VehicleMonitoringDelivery/></Answer>"), "missing field `ResponseTimestamp`"),
    (response(SDI + "<Answer><VehicleMonitoringDelivery>" + RT + "</VehicleMonitoringDelivery>"
              "<VehicleMonitoringDelivery/></Answer>"), "duplicate field `VehicleMonitoringDelivery`"),
    # Only GetVehicleMonitoringResponse selects the service.
    (envelope(f"<NotifyVechicleMonitoring>{SDI}{holder('Answer')}</NotifyVechicleMonitoring>"),
     "unknown field `NotifyVechicleMonitoring`, expected one of `NotifyProductionTimetable`, "
     "`NotifyEstimatedTimetable`, `NotifyStopMonitoring`, `GetVehicleMonitoringResponse`, "
     "`NotifyConnectionMonitoring`, `NotifyGeneralMessage`, `GeneralMessage`, `NotifyFacilityMonitoring`, "
     "`NotifySituationExchange`"),
    (doc(RT + "<VehicleActivity/>"), "missing field `MonitoredVehicleJourney`"),
    (doc(RT + activity("<RecordedAtTime/><RecordedAtTime/>")), "duplicate field `RecordedAtTime`"),
    (doc(RT + activity("<ProgressBetweenStops/><ProgressBetweenStops/>")), "duplicate field `ProgressBetweenStops`"),
    (doc(RT + activity(MVJ)), "duplicate field `MonitoredVehicleJourney`"),
    (progress("<Percentage>1</Percentage><Percentage>2</Percentage>"), "duplicate field `Percentage`"),
    (progress("<LinkDistance>1</LinkDistance><LinkDistance>2</LinkDistance>"), "duplicate field `LinkDistance`"),
    (progress("<Percentage/>"), 'invalid type: string "", expected i32'),
    (progress("<Percentage>1<b/></Percentage>"), 'unexpected `Event::Start("b")`'),
    # Runs.
    (doc(RT + activity() + cancellation() + activity()), "duplicate field `VehicleActivity`"),
    (doc(RT + cancellation() + activity() + cancellation()), "duplicate field `VehicleActivityCancellation`"),
    (doc(RT + activity().replace("VehicleActivity>", "a:VehicleActivity>") + activity(), root_attrs=' xmlns:a="u"'),
     "duplicate field `VehicleActivity`"),
    (doc(RT + activity() + "x" + activity()), 'invalid type: string "x", expected struct VehicleActivity'),
    (doc(RT + cancellation() + 'say "hi"'),
     'invalid type: string "say \\"hi\\"", expected struct VehicleActivityCancellation'),
    (doc(RT + "<VehicleActivityCancellation/>"), "missing field `Reasons`"),
    (doc(RT + cancellation("<reasons>r</reasons><Reason>r</Reason><LineRef>L</LineRef>")), "missing field `Reasons`"),
    (doc(RT + cancellation("<Reasons>a</Reasons><LineRef>L</LineRef><Reasons>b</Reasons>")),
     "duplicate field `Reasons`"),
    (doc(RT + cancellation("<Reasons>a<b/></Reasons>")), 'unexpected `Event::Start("b")`'),
    (doc(RT + cancellation("<Reasons>r</Reasons><JourneyPatternInfo/>")), "missing field `PublishedLineName`"),
    (doc(RT + cancellation("<Reasons>r</Reasons><FramedVehicleJourneyRef><DatedVehicleJourneyRef/>"
                           "<DatedVehicleJourneyRef/></FramedVehicleJourneyRef>")),
     "duplicate field `DatedVehicleJourneyRef`"),
    # A child of the delivery that is not its own, even between the runs.
    (doc(RT + activity() + "<VehicleActivityNote>n</VehicleActivityNote>" + cancellation()),
     unknown_frame_field("VehicleActivityNote")),
]


@pytest.mark.parametrize("document, message", ERRORS)
def test_errors(document, message):
    assert error(document) == message


# ------------------------------------------------------ real documents

def test_real_simple_response():
    rendered = render(siri_docs.wrapped("siri_exm_VM/exv_vehicleMonitoring_response_simple.xml"))
    for fragment in [
        'ServiceDeliveryInfo { response_timestamp: Some("2004-12-17T09:30:47-05:00"), producer_ref: "NADER", '
        "request_message_identifier: None, response_message_ref: None }",
        'subscriber_ref: Some("NADER"), subscription_ref: Some("00047")',
        'VehicleActivity { recorded_at_time: Some("2004-12-17T09:30:47-05:00"), valid_until_time: '
        'Some("2004-12-17T09:30:47-05:00"), item_identifier: None, vehicle_monitoring_ref: Some("ACT019456"), '
        'progress_between_stops: None, monitored_vehicle_journey: MonitoredVehicleJourney { line_ref: "Line123", '
        'framed_vehicle_journey_ref: FramedVehicleJourneyRef { data_frame_ref: Some("2004-12-17"), '
        'dated_vehicle_journey_ref: Some("987675") } }, vehicle_activity_note: None }',
        'vehicle_monitoring_ref: Some("MYACACT")',
        'dated_vehicle_journey_ref: Some("Outbound")',
        "vehicle_activity_cancellation: None",
    ]:
        assert fragment in rendered
    assert rendered.count("VehicleActivity {") == 2


def test_real_occupancy_response():
    rendered = render(siri_docs.wrapped("occupancy/exv_vehicleMonitoring_response.xml"))
    for fragment in [
        'producer_ref: "MPG_Manual"',
        'leader: XxxDelivery { response_timestamp: "2023-11-16T09:30:47-05:00", request_message_ref: None, '
        "subscriber_ref: None, subscription_ref: None, status: Some(true), "
        'valid_until: Some("2023-11-17T09:30:47-05:00"), shortest_possible_cycle: None }',
        # The producer's typo in the year is kept: times stay text.
        'valid_until_time: Some("22023-11-17T09:30:47-05:00")',
        'line_ref: "ch:1:slnid:182312"',
        'dated_vehicle_journey_ref: Some("ch:1:sjyid:11:11293191923919")',
    ]:
        assert fragment in rendered


def test_real_nordic_minimum():
    rendered = render(siri_docs.wrapped("entur-nordic-profile/vehicle-monitoring/siri-vm-minimum.xml"))
    assert 'producer_ref: "ATB"' in rendered
    assert ('MonitoredVehicleJourney { line_ref: "60", framed_vehicle_journey_ref: FramedVehicleJourneyRef { '
            'data_frame_ref: Some("2018-08-17"), dated_vehicle_journey_ref: Some("ATB:ServiceJourney:00600027") } }'
            in rendered)


def test_real_nordic_at_stop():
    text = siri_docs.read("entur-nordic-profile/vehicle-monitoring/siri-vm-at-stop.xml")
    # Rejected by design: the percentage is a decimal fraction, and it is
    # read as a signed whole number.
    assert error(siri_docs.wrap(text)) == 'invalid type: string "0.99", expected i32'
    # With a whole percentage the rest of the real activity reads.
    edited = text.replace("<Percentage>0.99</Percentage>", "<Percentage>1</Percentage>")
    rendered = render(siri_docs.wrap(edited))
    assert "ProgressBetweenStops { link_distance: Some(310), percentage: Some(1) }" in rendered
    assert ('line_ref: "RUT:Line:2031", framed_vehicle_journey_ref: FramedVehicleJourneyRef { data_frame_ref: '
            'Some("2018-07-27"), dated_vehicle_journey_ref: Some("RUT:ServiceJourney:2031-1533") }' in rendered)


def test_real_nordic_example_has_a_decimal_percentage():
    # Rejected by design, as above.
    assert (error(siri_docs.wrapped("entur-nordic-profile/vehicle-monitoring/siri-vm.xml"))
            == 'invalid type: string "0.60", expected i32')


@pytest.mark.parametrize("name, percentage", [
    ("entur-nordic-profile/vehicle-monitoring/vm-datafeed-original-corrected.xml", "7.7419354838709677419354838700"),
    ("entur-nordic-profile/vehicle-monitoring/vm-datafeed-partial-corrected.xml", "0.60"),
])
def test_real_nordic_feeds(name, percentage):
    text = siri_docs.read(name)
    # Rejected by design: the feeds name no producer.
    assert error(siri_docs.wrap(text)) == "missing field `ProducerRef`"
    # With one named, the first decimal percentage is the next reason.
    text = text.replace("</ResponseTimestamp>", "</ResponseTimestamp><ProducerRef>ENTUR</ProducerRef>", 1)
    assert error(siri_docs.wrap(text)) == f'invalid type: string "{percentage}", expected i32'


def test_real_verbose_response():
    text = siri_docs.read("siri_exm_VM/exv_vehicleMonitoring_response.xml")
    # Rejected by design, each reason in turn: a decimal link distance,
    # a cancellation whose reason is written `Reason` (the required list is
    # `Reasons`), and a note directly in the delivery, which the frame rejects.
    assert error(siri_docs.wrap(text)) == 'invalid type: string "3.14", expected i32'
    text = (text.replace("<LinkDistance>3.14</LinkDistance>", "<LinkDistance>3</LinkDistance>")
            .replace("<Percentage>60.5</Percentage>", "<Percentage>60</Percentage>"))
    assert error(siri_docs.wrap(text)) == "missing field `Reasons`"
    text = text.replace("<Reason>Gone home</Reason>", "<Reasons>Gone home</Reasons>")
    assert error(siri_docs.wrap(text)) == unknown_frame_field("VehicleActivityNote")
    rendered = render(siri_docs.wrap(text.replace("<VehicleActivityNote>hello delivery</VehicleActivityNote>", "")))
    for fragment in [
        'status: Some(true), valid_until: Some("2004-12-17T09:30:47-05:00"), shortest_possible_cycle: None',
        'item_identifier: Some("EV000123"), vehicle_monitoring_ref: Some("ACT019456"), '
        "progress_between_stops: Some(ProgressBetweenStops { link_distance: Some(3), percentage: Some(60) })",
        'vehicle_activity_note: Some("hello vehicle")',
        'item_identifier: Some("915468")',
        # The cancellation's VehicleJourneyRef is not one of its fields.
        'VehicleActivityCancellation { recorded_at_time: Some("2004-12-17T09:30:47-05:00"), event_identity: None, '
        'vehicle_monitoring_ref: Some("9876542"), framed_vehicle_journey_ref: None, line_ref: Some("Line123"), '
        'journey_pattern_info: None, reasons: ["Gone home"] }',
    ]:
        assert fragment in rendered
