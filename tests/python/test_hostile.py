"""Hostile input: depth, size, width and odd bytes.

Every case gives what a small document of the same shape gives: its
rendering or its exact error. Each takes well under a second, so anything
slower than linear in the input shows up as a slow test.
"""
import pytest

from notify_docs import FRAME_KEYS, SDI, error, parse, render

MILLION = 1_000_000
WIDE = 100_000  # attributes on one tag, items in one run
BIG = 50 * 1024 * 1024

RT = "<ResponseTimestamp>t</ResponseTimestamp>"
SERVICE_KEYS = (
    "`NotifyProductionTimetable`, `NotifyEstimatedTimetable`, `NotifyStopMonitoring`, "
    "`GetVehicleMonitoringResponse`, `NotifyConnectionMonitoring`, `NotifyGeneralMessage`, `GeneralMessage`, "
    "`NotifyFacilityMonitoring`, `NotifySituationExchange`"
)
NOT_CLOSED = "ill-formed document: start tag not closed: `</{}>` not found before end of input"
TAG_NOT_CLOSED = "syntax error: tag not closed: `>` not found before end of input"


def nest(depth=MILLION, name="a"):
    return f"<{name}>" * depth + f"</{name}>" * depth


def attributes(count=WIDE, name="a", value="v"):
    return "".join(f' {name}{i}="{value}"' for i in range(count))


def service(element, delivery, content, holder="Notification"):
    """A service document whose one delivery holds a response timestamp and `content`."""
    return (f"<Envelope><Body><{element}>{SDI}<{holder}><{delivery}>{RT}{content}</{delivery}></{holder}>"
            f"</{element}></Body></Envelope>")


def situation(stop_point=""):
    return ("<Situations><CreationTime>c</CreationTime><SituationBasedIdentityGroup><CountryRef>N</CountryRef>"
            "<ParticipantRef>P</ParticipantRef><SituationNumber>S</SituationNumber></SituationBasedIdentityGroup>"
            "<Consequences><Condition>delayed</Condition><Severity>normal</Severity><Boarding/></Consequences>"
            "<Affects><Operators><allOperators/></Operators><Networks/>"
            f"<StopPoints>{stop_point}</StopPoints>"
            "<StopPlaces><PlaceRef>P</PlaceRef><PlaceName>C</PlaceName></StopPlaces>"
            "<Places><PlaceRef>P</PlaceRef><PlaceName>X</PlaceName></Places>"
            "<VehicleJourneys><VehicleJourneyRef>J</VehicleJourneyRef></VehicleJourneys></Affects></Situations>")


def timetable_frame(journey=""):
    return ("<DatedTimetableVersionFrame><RecordedAtTime>r</RecordedAtTime><LineRef>L</LineRef>"
            "<DirectionRef>D</DirectionRef><DatedVehicleJourney><DatedCalls><StopPointRef>S</StopPointRef>"
            f"</DatedCalls>{journey}</DatedVehicleJourney></DatedTimetableVersionFrame>")


def estimated_frame(journey=""):
    return ("<EstimatedJourneyVersionFrame><RecordedAtTime>r</RecordedAtTime><EstimatedVehicleJourney>"
            f"<LineRef>L</LineRef>{journey}</EstimatedVehicleJourney></EstimatedJourneyVersionFrame>")


# Every record read in buffer mode: a small document that parses, with {}
# where the holder's own content may grow.
BUFFERED = {
    "StopMonitoringDelivery": service("NotifyStopMonitoring", "StopMonitoringDelivery", "{}"),
    "VehicleMonitoringDelivery": service("GetVehicleMonitoringResponse", "VehicleMonitoringDelivery", "{}",
                                         holder="Answer"),
    "GeneralMessageDelivery": service("NotifyGeneralMessage", "GeneralMessageDelivery", "{}"),
    "EstimatedTimetableDelivery": service("NotifyEstimatedTimetable", "EstimatedTimetableDelivery",
                                          estimated_frame() + "{}"),
    "ProductionTimetableDelivery": service("NotifyProductionTimetable", "ProductionTimetableDelivery",
                                           timetable_frame() + "{}"),
    "DatedVehicleJourney": service("NotifyProductionTimetable", "ProductionTimetableDelivery",
                                   timetable_frame("{}")),
    "SituationExchangeDelivery": service("NotifySituationExchange", "SituationExchangeDelivery",
                                         situation() + "{}"),
    "AffectedStopPoint": service("NotifySituationExchange", "SituationExchangeDelivery", situation("{}")),
    "ConnectionMonitoringFeederDelivery": service(
        "NotifyConnectionMonitoring", "ConnectionMonitoringFeederDelivery",
        "<MonitoredFeederArrival><RecordedAtTime>r</RecordedAtTime><FeederJourney><FramedJourneyRef/>"
        "</FeederJourney></MonitoredFeederArrival><MonitoredFeederArrivalCancellation><RecordedAtTime>r"
        "</RecordedAtTime></MonitoredFeederArrivalCancellation>{}"),
    "ConnectionMonitoringDistributorDelivery": service("NotifyConnectionMonitoring",
                                                       "ConnectionMonitoringDistributorDelivery", "{}"),
    "FacilityMonitoringDelivery": service("NotifyFacilityMonitoring", "FacilityMonitoringDelivery",
                                          "<FacilityCondition><Facility/></FacilityCondition>{}"),
}
DELIVERIES = [name for name in BUFFERED if name.endswith("Delivery")]


def fill(template, content):
    return template.replace("{}", content)


def head(template):
    """The document up to the slot: what is left when the input ends there."""
    return template[:template.index("{}")]


VISIT = ("<MonitoredStopVisit><RecordedAtTime>r</RecordedAtTime><ItemIdentifier>i</ItemIdentifier>"
         "<MonitoringRef>m</MonitoringRef><MonitoredVehicleJourney><LineRef>12</LineRef>{}"
         "<FramedVehicleJourneyRef><DataFrameRef>d</DataFrameRef></FramedVehicleJourneyRef>"
         "</MonitoredVehicleJourney></MonitoredStopVisit>")
ONE_VISIT = VISIT.replace("{}", "")
STOP_MONITORING = BUFFERED["StopMonitoringDelivery"]

# Records read plainly, which skip what they do not know: {} is where an
# unknown child stands.
PLAIN = {
    "root": "<Envelope>{}" + fill(STOP_MONITORING, "")[len("<Envelope>"):],
    "ServiceDeliveryInfo": fill(STOP_MONITORING, "").replace("</ProducerRef>", "</ProducerRef>{}"),
    "MonitoredVehicleJourney": fill(STOP_MONITORING, VISIT),
    "EstimatedCall": fill(BUFFERED["EstimatedTimetableDelivery"], "").replace(
        "<LineRef>L</LineRef>",
        "<LineRef>L</LineRef><EstimatedCalls><EstimatedCall>{}</EstimatedCall></EstimatedCalls>"),
    "Facility": fill(BUFFERED["FacilityMonitoringDelivery"], "").replace("<Facility/>", "<Facility>{}</Facility>"),
    # A choice item named by its first child: the chosen alternative holds
    # no value, and the children after it are passed over.
    "allOperators": fill(BUFFERED["SituationExchangeDelivery"], "").replace(
        "<allOperators/>", "<allOperators>{}</allOperators>"),
    "Operators": fill(BUFFERED["SituationExchangeDelivery"], "").replace("<allOperators/>", "<allOperators/>{}"),
}


# --------------------------------------------------------------- deep nesting

@pytest.mark.parametrize("holder", BUFFERED)
def test_deep_nesting_kept_by_a_buffered_record(holder):
    # A delivery keeps a frame element whatever it holds (with no text of
    # its own it is absent); the other holders keep any unknown child.
    child = "RequestMessageRef" if holder in DELIVERIES else "Deep"
    template = BUFFERED[holder]
    assert render(fill(template, f"<{child}>{nest()}</{child}>")) == render(fill(template, ""))


@pytest.mark.parametrize("holder", DELIVERIES)
def test_deep_nesting_in_an_unknown_child_of_a_delivery_fails_its_frame(holder):
    assert error(fill(BUFFERED[holder], f"<Deep>{nest()}</Deep>")) == (
        f"unknown field `Deep`, expected one of {FRAME_KEYS}")


@pytest.mark.parametrize("holder", BUFFERED)
def test_deep_nesting_left_open_in_a_buffered_record(holder):
    assert error(head(BUFFERED[holder]) + "<Deep>" + "<a>" * MILLION) == NOT_CLOSED.format("a")


@pytest.mark.parametrize("place", PLAIN)
def test_deep_nesting_in_a_skipped_child(place):
    template = PLAIN[place]
    assert render(fill(template, f"<Deep>{nest()}</Deep>")) == render(fill(template, ""))


@pytest.mark.parametrize("place", PLAIN)
def test_deep_nesting_left_open_in_a_skipped_child(place):
    # Nested elements of the skipped child's own name are counted, not confused with it.
    assert error(head(PLAIN[place]) + "<a>" * MILLION) == NOT_CLOSED.format("a")
    assert error(head(PLAIN[place]) + nest(name="a")[:-len("</a>")]) == NOT_CLOSED.format("a")


@pytest.mark.parametrize(
    "doc, message",
    [
        pytest.param(nest(), "missing field `Body`", id="closed"),
        pytest.param("<a>" * MILLION, NOT_CLOSED.format("a"), id="unclosed"),
        pytest.param(nest()[:-1], TAG_NOT_CLOSED, id="last end tag cut"),
        pytest.param(nest() + "</a>", "missing field `Body`", id="stray end tag after the root"),
        pytest.param("<Envelope><Body>" + nest(),
                     f"unknown field `a`, expected one of {SERVICE_KEYS}", id="inside Body"),
        pytest.param(fill(STOP_MONITORING, "").replace("<ProducerRef>P", "<ProducerRef>P" + nest()),
                     'unexpected `Event::Start("a")`', id="inside a leaf"),
        pytest.param("<a>" * MILLION + "</b>", "ill-formed document: expected `</a>`, but `</b>` was found",
                     id="mismatched end"),
    ],
)
def test_deep_nesting_as_the_whole_document(doc, message):
    assert error(doc) == message


# ----------------------------------------------------------------- big documents

def test_a_document_of_fifty_megabytes_of_records():
    count = BIG // len(ONE_VISIT) + 1
    one = render(fill(STOP_MONITORING, ONE_VISIT))
    item = one[one.index("MonitoredStopVisit { "):one.index("]), monitored_stop_visit_cancellation")]
    assert render(fill(STOP_MONITORING, ONE_VISIT * count)) == one.replace(item, ", ".join([item] * count))


def big(piece):
    """`piece` repeated to fifty megabytes, built only when a test runs."""
    return piece * (BIG // len(piece))


# (start, repeated piece, end) of the leaf's content; the text keeps the
# pieces and what the last column adds.
@pytest.mark.parametrize(
    "start, piece, end, kept_end",
    [
        pytest.param("", "x", "", "", id="one text"),
        pytest.param("<![CDATA[", "y", "]]>", "", id="one CDATA section"),
        pytest.param("", "a" + " " * 1023, "b", "b", id="spaces inside"),
    ],
)
def test_fifty_megabytes_in_one_leaf(start, piece, end, kept_end):
    text = render(leaf_doc(start + big(piece) + end))
    assert f'producer_ref: "{big(piece) + kept_end}"' in text


@pytest.mark.parametrize(
    "start, piece, end",
    [
        pytest.param("<Deep>", "<x>text</x>", "</Deep>", id="skipped elements"),
        pytest.param("<Deep>", "<x/>", "</Deep>", id="empty elements"),
        pytest.param("<!--", "-", "-->", id="comment"),
        pytest.param("<?pi ", "?", "?>", id="instruction"),
        pytest.param("<Deep a='", ">", "'/>", id="attribute value"),
        pytest.param("<", "N", "/>", id="element name"),
        pytest.param("<Deep", " ", "/>", id="spaces in a tag"),
    ],
)
def test_fifty_megabytes_that_are_passed_over(start, piece, end):
    template = PLAIN["ServiceDeliveryInfo"]
    assert render(fill(template, start + big(piece) + end)) == render(fill(template, ""))


# ------------------------------------------------------------------ attributes

# Where a tag with very many attributes stands, and what the document gives.
@pytest.mark.parametrize(
    "doc, expected",
    [
        pytest.param(fill(STOP_MONITORING, ONE_VISIT).replace("<MonitoredStopVisit>",
                                                              f"<MonitoredStopVisit{attributes()}>"),
                     fill(STOP_MONITORING, ONE_VISIT), id="record element"),
        pytest.param(fill(STOP_MONITORING, "").replace("<ProducerRef>", f"<ProducerRef{attributes()}>"),
                     fill(STOP_MONITORING, ""), id="leaf"),
        pytest.param(fill(PLAIN["Facility"], f"<Deep{attributes()}/>"), fill(PLAIN["Facility"], ""),
                     id="skipped element"),
        pytest.param(fill(STOP_MONITORING, f"<RequestMessageRef{attributes()}>R</RequestMessageRef>"),
                     fill(STOP_MONITORING, "<RequestMessageRef>R</RequestMessageRef>"), id="buffered frame element"),
        pytest.param(fill(BUFFERED["DatedVehicleJourney"], f"<Deep{attributes()}/>"),
                     fill(BUFFERED["DatedVehicleJourney"], ""), id="buffered unknown child"),
        pytest.param(fill(BUFFERED["AffectedStopPoint"], f"<Deep><x{attributes(value='&amp;')}/></Deep>"),
                     fill(BUFFERED["AffectedStopPoint"], ""), id="buffered grandchild"),
        pytest.param(fill(STOP_MONITORING, "").replace("<StopMonitoringDelivery>",
                                                       f"<StopMonitoringDelivery{attributes(name='xmlns:siri')}>"),
                     fill(STOP_MONITORING, ""), id="namespace declarations on a delivery"),
        pytest.param(fill(STOP_MONITORING, "").replace("<Envelope>", f"<Envelope{attributes(name='xmlns:p')}>"),
                     fill(STOP_MONITORING, ""), id="namespace declarations on the root"),
        pytest.param(fill(STOP_MONITORING, "").replace("<ProducerRef>", f"<ProducerRef{attributes()} a0='v'>"),
                     fill(STOP_MONITORING, ""), id="duplicate on a leaf is never examined"),
    ],
)
def test_a_hundred_thousand_attributes(doc, expected):
    assert render(doc) == render(expected)


def test_a_hundred_thousand_attributes_then_a_duplicate():
    tag = f"ServiceDeliveryInfo{attributes()}"
    doc = fill(STOP_MONITORING, "").replace("<ServiceDeliveryInfo>", f"<{tag} a{WIDE - 1}='w'>")
    earlier = tag.rindex(" ") + 1
    assert error(doc) == (f"error while parsing attribute: position {len(tag) + 1}: duplicated attribute, "
                          f"previous declaration at position {earlier}")


@pytest.mark.parametrize(
    "holder, message",
    [
        pytest.param("StopMonitoringDelivery", f"unknown field `@a0`, expected one of {FRAME_KEYS}", id="delivery"),
        pytest.param("Body", 'invalid type: string "@a0", expected a borrowed string', id="Body"),
    ],
)
def test_a_hundred_thousand_attributes_on_a_strict_element(holder, message):
    assert error(fill(STOP_MONITORING, "").replace(f"<{holder}>", f"<{holder}{attributes()}>")) == message


@pytest.mark.parametrize(
    "value",
    [
        pytest.param("v", id="long"),
        pytest.param("&amp;", id="references"),
        pytest.param("<>", id="markup characters"),
    ],
)
@pytest.mark.parametrize(
    "template, tag",
    [
        pytest.param(fill(STOP_MONITORING, "<RequestMessageRef>R</RequestMessageRef>"), "RequestMessageRef",
                     id="kept and decoded in a delivery's buffer"),
        pytest.param(fill(PLAIN["MonitoredVehicleJourney"], ""), "MonitoredVehicleJourney", id="record element"),
        pytest.param(fill(PLAIN["MonitoredVehicleJourney"], ""), "LineRef", id="leaf"),
    ],
)
def test_huge_attribute_values(value, template, tag):
    doc = template.replace(f"<{tag}>", f'<{tag} a="{big(value)}">', 1)
    assert render(doc) == render(template)


# ------------------------------------------------------------ text and names

def leaf_doc(text, leaf="ProducerRef"):
    return fill(STOP_MONITORING, "").replace(f"<{leaf}>P<", f"<{leaf}>{text}<")


@pytest.mark.parametrize(
    "text, kept",
    [
        pytest.param("&#65;" * MILLION, "A" * MILLION, id="decimal references"),
        pytest.param("&#x1F68C;" * MILLION, "\U0001F68C" * MILLION, id="astral references"),
        pytest.param("&lt;&amp;&gt;" * MILLION, "<&>" * MILLION, id="entities"),
        pytest.param("<![CDATA[c]]>" * MILLION, "c" * MILLION, id="CDATA sections"),
        pytest.param("t<!---->" * MILLION, "t" * MILLION, id="text between comments"),
        pytest.param("t<?p?><![CDATA[ ]]>" * MILLION, "t " * MILLION, id="text, instructions and CDATA"),
        pytest.param("d<!DOCTYPE x>" * WIDE + "e", "d" * WIDE + "e", id="runs split by declarations"),
        pytest.param("&#x301;" * MILLION, "\\u{301}" * MILLION, id="combining marks"),
    ],
)
def test_long_texts_in_a_leaf(text, kept):
    assert f'producer_ref: "{kept}"' in render(leaf_doc(text))


ACTIVITY = ("<VehicleActivity><ProgressBetweenStops>{}</ProgressBetweenStops><MonitoredVehicleJourney>"
            "<LineRef>L</LineRef><FramedVehicleJourneyRef/></MonitoredVehicleJourney></VehicleActivity>")
# A leaf of each other kind, with {} for its text.
LEAVES = {
    "u32": fill(BUFFERED["VehicleMonitoringDelivery"], ACTIVITY.replace("{}", "<Percentage>{}</Percentage>")),
    "i32": fill(BUFFERED["VehicleMonitoringDelivery"], ACTIVITY.replace("{}", "<LinkDistance>{}</LinkDistance>")),
    "flag": fill(BUFFERED["DatedVehicleJourney"], "<Monitored>{}</Monitored>"),
    "choice": fill(BUFFERED["SituationExchangeDelivery"], "").replace(">delayed<", ">{}<"),
}


@pytest.mark.parametrize(
    "kind, text, expected",
    [
        pytest.param("u32", "0" * MILLION + "42", "percentage: Some(42)", id="u32"),
        pytest.param("i32", "-" + "0" * MILLION + "7", "link_distance: Some(-7)", id="i32"),
        pytest.param("flag", " " * MILLION + "true" + "\n" * MILLION, "monitored: Some(true)", id="flag"),
        pytest.param("choice", " " * MILLION + "delayed" + " " * MILLION, "condition: Delayed", id="choice"),
    ],
)
def test_long_texts_of_other_kinds_that_convert(kind, text, expected):
    assert expected in render(fill(LEAVES[kind], text))


@pytest.mark.parametrize("kind", LEAVES)
@pytest.mark.parametrize("text", ["9" * MILLION, "&#x301;" * MILLION, "\0" * MILLION],
                         ids=["digits", "combining marks", "NUL"])
def test_long_texts_of_other_kinds_are_reported_whole(kind, text):
    # The message is the one a short bad text gives, with the whole text in it.
    short, long = error(fill(LEAVES[kind], "bad")), error(fill(LEAVES[kind], text))
    decoded = text.replace("&#x301;", "\u0301")
    if kind == "choice":
        assert long == short.replace("`bad`", f"`{decoded}`")
    else:
        quoted = decoded.replace("\0", "\\0").replace("\u0301", "\\u{301}")
        assert long == short.replace('"bad"', f'"{quoted}"')


@pytest.mark.parametrize(
    "text, message",
    [
        pytest.param("&#65;" * MILLION + "&bogus;",
                     f"at {5 * MILLION + 1}..{5 * MILLION + 6}: unrecognized entity `bogus`", id="unknown entity"),
        pytest.param("&#65;" * MILLION + "&",
                     f"Error while escaping character at range {5 * MILLION}..{5 * MILLION + 1}: "
                     "Cannot find ';' after '&'", id="unterminated"),
        pytest.param("&#65;" * MILLION + "&#0;", "invalid character reference: 0x0 character is not permitted in XML",
                     id="NUL reference"),
        pytest.param("&" * MILLION, f"Error while escaping character at range 0..{MILLION}: Cannot find ';' after '&'",
                     id="only ampersands"),
    ],
)
def test_a_million_references_then_a_bad_one(text, message):
    assert error(leaf_doc(text)) == message


@pytest.mark.parametrize(
    "text",
    [
        pytest.param("&#65;" * MILLION, id="references"),
        pytest.param("&#65;" * MILLION + "&bogus;", id="bad reference after the first child"),
    ],
)
def test_references_in_a_skipped_child_after_its_first_child(text):
    template = PLAIN["MonitoredVehicleJourney"]
    assert render(fill(template, f"<Deep><x/>{text}</Deep>")) == render(fill(template, ""))


def test_references_in_a_buffered_child_are_decoded():
    template = BUFFERED["DatedVehicleJourney"]
    assert render(fill(template, "<Deep><x/>" + "&#65;" * MILLION + "</Deep>")) == render(fill(template, ""))
    assert error(fill(template, "<Deep><x/>" + "&#65;" * MILLION + "&bogus;</Deep>")) == (
        f"at {5 * MILLION + 1}..{5 * MILLION + 6}: unrecognized entity `bogus`")


@pytest.mark.parametrize(
    "doc, expected",
    [
        pytest.param(leaf_doc("a\0b"), 'producer_ref: "a\\0b"', id="in a text"),
        pytest.param(leaf_doc("\0" * MILLION), 'producer_ref: "' + "\\0" * MILLION + '"', id="a million in a text"),
        pytest.param(leaf_doc("<![CDATA[\0]]>"), 'producer_ref: "\\0"', id="in CDATA"),
        pytest.param(fill(PLAIN["ServiceDeliveryInfo"], "<Producer\0Ref>Q</Producer\0Ref>"), 'producer_ref: "P"',
                     id="in a skipped element's name"),
        pytest.param(fill(STOP_MONITORING, "").replace("<ProducerRef>", "<ProducerRef a\0='\0'>"),
                     'producer_ref: "P"', id="in a leaf's attribute"),
        pytest.param(fill(BUFFERED["DatedVehicleJourney"], "<D\0 \0='\0'>\0</D\0>"), "service_info_group: None",
                     id="in a buffered child"),
        pytest.param(fill(STOP_MONITORING, "<Status>tr\0ue</Status>"), "status: None", id="in a frame flag"),
    ],
)
def test_nul_characters_that_parse(doc, expected):
    assert expected in render(doc)


@pytest.mark.parametrize(
    "doc, message",
    [
        pytest.param("<Envelope><Body><Notify\0></Notify\0>",
                     f"unknown field `Notify\0`, expected one of {SERVICE_KEYS}", id="service element name"),
        pytest.param(leaf_doc("<x\0y/>"), 'unexpected `Event::Start("x0x0y")`', id="child of a leaf"),
        pytest.param(fill(STOP_MONITORING, "<Deep\0/>"), f"unknown field `Deep\0`, expected one of {FRAME_KEYS}",
                     id="unknown child of a delivery"),
        pytest.param(fill(STOP_MONITORING, "").replace("<StopMonitoringDelivery>", "<StopMonitoringDelivery \0='1'>"),
                     f"unknown field `@\0`, expected one of {FRAME_KEYS}", id="attribute of a delivery"),
        pytest.param(fill(STOP_MONITORING, "").replace("</ProducerRef>", "</Producer\0Ref>"),
                     "ill-formed document: expected `</ProducerRef>`, but `</Producer\0Ref>` was found",
                     id="end tag"),
        pytest.param(fill(PLAIN["ServiceDeliveryInfo"], "").replace("<ServiceDeliveryInfo>",
                                                                    "<ServiceDeliveryInfo a='1'\0>"),
                     "error while parsing attribute: position 26: attribute key must be directly followed by "
                     "`=` or space", id="attribute key of a record"),
        pytest.param("\0", 'invalid type: string "\\0", expected struct Envelope', id="the whole document"),
    ],
)
def test_nul_characters_that_fail(doc, message):
    assert error(doc) == message


# What a document cut right after a lone `<` or `&` gives.
@pytest.mark.parametrize(
    "doc, message",
    [
        pytest.param("<", TAG_NOT_CLOSED, id="< alone"),
        pytest.param("&", "Error while escaping character at range 0..1: Cannot find ';' after '&'", id="& alone"),
        pytest.param("<Envelope><", TAG_NOT_CLOSED, id="< in the root"),
        pytest.param("<Envelope>&", "Error while escaping character at range 0..1: Cannot find ';' after '&'",
                     id="& in the root"),
        pytest.param(head(PLAIN["ServiceDeliveryInfo"]) + "<", TAG_NOT_CLOSED, id="< in a record"),
        pytest.param(head(leaf_doc("{}")) + "x &", "Error while escaping character at range 2..3: "
                     "Cannot find ';' after '&'", id="& in a leaf"),
        pytest.param(head(PLAIN["MonitoredVehicleJourney"]) + "<Deep>a<", TAG_NOT_CLOSED, id="< in a skipped child"),
        pytest.param(head(PLAIN["MonitoredVehicleJourney"]) + "<Deep>&",
                     "Error while escaping character at range 0..1: Cannot find ';' after '&'",
                     id="& leading a skipped child"),
        pytest.param(head(PLAIN["MonitoredVehicleJourney"]) + "<Deep><x/>&", NOT_CLOSED.format("Deep"),
                     id="& later in a skipped child"),
        pytest.param(head(BUFFERED["DatedVehicleJourney"]) + "<Deep><x/>&",
                     "Error while escaping character at range 0..1: Cannot find ';' after '&'",
                     id="& in a buffered child"),
        pytest.param(head(BUFFERED["DatedVehicleJourney"]) + "<Deep><", TAG_NOT_CLOSED, id="< in a buffered child"),
        pytest.param(head(BUFFERED["DatedVehicleJourney"]) + "<Deep a='&", TAG_NOT_CLOSED,
                     id="& in an open attribute value"),
        pytest.param(head(PLAIN["root"]) + "<!", "syntax error: unknown or missed symbol in markup", id="<!"),
        pytest.param(head(PLAIN["root"]) + "</", TAG_NOT_CLOSED, id="</"),
    ],
)
def test_input_ending_in_a_lone_character(doc, message):
    assert error(doc) == message


@pytest.mark.parametrize("tail", ["<", "&", "<!", "</x", "<" * MILLION, "&" * MILLION],
                         ids=["<", "&", "<!", "</x", "a million <", "a million &"])
def test_a_lone_character_after_the_root_changes_nothing(tail):
    assert render(fill(STOP_MONITORING, "") + tail) == render(fill(STOP_MONITORING, ""))


# ------------------------------------------------------------------ long runs

@pytest.mark.parametrize(
    "doc, item, count",
    [
        pytest.param(fill(BUFFERED["VehicleMonitoringDelivery"], "<VehicleActivityCancellation>"
                          + "<Reasons>r</Reasons>" * WIDE + "</VehicleActivityCancellation>"),
                     '"r"', WIDE, id="text list"),
        pytest.param(fill(BUFFERED["VehicleMonitoringDelivery"], "<VehicleActivityCancellation>"
                          + "<Reasons>r</Reasons>x" * WIDE + "</VehicleActivityCancellation>"),
                     '"x"', WIDE, id="text list with text between items"),
        pytest.param(fill(STOP_MONITORING, ONE_VISIT * WIDE), "MonitoredStopVisit {", WIDE, id="record list"),
        pytest.param(fill(BUFFERED["EstimatedTimetableDelivery"], "").replace(
            "<LineRef>L</LineRef>",
            "<LineRef>L</LineRef><EstimatedCalls>" + "<EstimatedCall/>" * WIDE + "</EstimatedCalls>"),
            "EstimatedCall {", WIDE, id="record list in a list element"),
        pytest.param(fill(BUFFERED["SituationExchangeDelivery"], "").replace(
            "<Operators><allOperators/></Operators>", "<Operators><allOperators/></Operators>" * WIDE),
            "AllOperators", WIDE, id="choice list"),
        pytest.param(fill(BUFFERED["DatedVehicleJourney"], "<ServiceFeatureRef>f</ServiceFeatureRef>" * WIDE),
                     "service_info_group: None", 1, id="buffered run"),
        pytest.param(fill(PLAIN["MonitoredVehicleJourney"], "<x/>" * MILLION), "MonitoredStopVisit {", 1,
                     id="a million skipped siblings"),
    ],
)
def test_long_runs(doc, item, count):
    assert render(doc).count(item) == count


@pytest.mark.parametrize(
    "doc, message",
    [
        pytest.param(fill(STOP_MONITORING, (ONE_VISIT + "x") * WIDE),
                     'invalid type: string "x", expected struct MonitoredStopVisit', id="record list, text after"),
        pytest.param(fill(STOP_MONITORING, ONE_VISIT * WIDE + "<MonitoringRef/>" + ONE_VISIT),
                     "duplicate field `MonitoredStopVisit`", id="record list, second run"),
        pytest.param(head(BUFFERED["VehicleMonitoringDelivery"]) + "<VehicleActivityCancellation>"
                     + "<Reasons>r</Reasons>" * WIDE, NOT_CLOSED.format("VehicleActivityCancellation"),
                     id="text list, input ends"),
        pytest.param(fill(BUFFERED["SituationExchangeDelivery"], "").replace(
            "<Operators><allOperators/></Operators>", "<Operators><allOperators/></Operators>" * WIDE
            + "<Operators><some/></Operators>"),
            "unknown variant `some`, expected `allOperators` or `affectedOperator`", id="choice list, bad last"),
    ],
)
def test_long_runs_that_fail_at_the_end(doc, message):
    assert error(doc) == message


def repeated_service(count):
    one = fill(STOP_MONITORING, "")[len("<Envelope><Body>"):-len("</Body></Envelope>")]
    return f"<Envelope><Body>{one * count}{one.replace('>P<', '>Q<')}</Body></Envelope>"


def repeated_frame_element(count):
    return fill(STOP_MONITORING, "<Status>false</Status>" * count + "<Status>true</Status>")


@pytest.mark.parametrize("make", [repeated_service, repeated_frame_element], ids=["service", "frame element"])
def test_a_hundred_thousand_elements_where_the_last_counts(make):
    assert render(make(WIDE)) == render(make(0))


# ------------------------------------------------------------ other markup

@pytest.mark.parametrize(
    "doc, message",
    [
        pytest.param(head(PLAIN["root"]) + "<!--" + "->" * MILLION,
                     "syntax error: comment not closed: `-->` not found before end of input", id="comment"),
        pytest.param(head(PLAIN["root"]) + "<![CDATA[" + "]>" * MILLION,
                     "syntax error: CDATA not closed: `]]>` not found before end of input", id="CDATA"),
        pytest.param(head(PLAIN["root"]) + "<?" + ">" * MILLION,
                     "syntax error: processing instruction or xml declaration not closed: `?>` not found before "
                     "end of input", id="instruction"),
        pytest.param(head(PLAIN["root"]) + "<!DOCTYPE d " + "<" * MILLION + ">" * MILLION,
                     "syntax error: DOCTYPE not closed: `>` not found before end of input", id="declaration"),
        pytest.param(head(PLAIN["root"]) + "<Deep " + "'>'" * MILLION, TAG_NOT_CLOSED, id="tag of quoted values"),
        pytest.param(head(PLAIN["root"]) + "<Deep a='" + ">" * MILLION, TAG_NOT_CLOSED, id="open quote"),
    ],
)
def test_constructs_left_open_over_a_long_tail(doc, message):
    assert error(doc) == message


@pytest.mark.parametrize(
    "content",
    [
        pytest.param("<!DOCTYPE d " + "<" * MILLION + ">" * (MILLION + 1), id="nested declaration"),
        pytest.param("<p:Deep xmlns:p='u'>" + "<p:x xmlns:p='u' xmlns='v'/>" * WIDE + "</p:Deep>",
                     id="many namespace declarations"),
        pytest.param(nest(MILLION, "ServiceDeliveryInfo"), id="a million nested elements named like a record"),
    ],
)
def test_markup_that_is_passed_over(content):
    template = PLAIN["root"]
    assert render(fill(template, content)) == render(fill(template, ""))
