"""General messages: NotifyGeneralMessage down to info messages and their cancellations."""
import pytest

import quorvane
import siri_docs
from notify_docs import RT, SDI, SDI_TEXT, check_surface, delivery_doc, envelope, error, leader, render, \
    unknown_frame_field

REQUIRED = ("<RecordedAtTime>r</RecordedAtTime><InfoMessageIdentifier>M1</InfoMessageIdentifier>"
            "<InfoChannelRef>c</InfoChannelRef><ValidUntilTime>v</ValidUntilTime>")


def message_text(version="None", content="None", format_ref="None"):
    return (f'InfoMessage {{ format_ref: {format_ref}, recorded_at_time: "r", item_identifier: None, '
            f'info_message_identifier: "M1", info_message_version: {version}, info_channel_ref: "c", '
            f'valid_until_time: "v", situation_ref: None, content: {content} }}')


def message(fields="", name="InfoMessage", attrs=""):
    return f"<{name}{attrs}>{REQUIRED}{fields}</{name}>"


def cancellation(fields="<RecordedAtTime>r</RecordedAtTime><InfoMessageIdentifier>M1</InfoMessageIdentifier>",
                 name="InfoMessageCancellation"):
    return f"<{name}>{fields}</{name}>"


CANCELLATION_TEXT = ('InfoMessageCancellation { recorded_at_time: "r", info_message_identifier: "M1", '
                     'info_channel_ref: None }')


def doc(inner, attrs=""):
    return delivery_doc("general_message", inner, attrs)


def service(content, name="NotifyGeneralMessage"):
    return envelope(f"<{name}>{content}</{name}>")


def delivery(inner):
    return f"<Notification><GeneralMessageDelivery>{inner}</GeneralMessageDelivery></Notification>"


MUST_SHOW = service(SDI + delivery(RT + message("<InfoMessageVersion>+7</InfoMessageVersion>"
                                                "<Content>\n  Lift out of order\n  Use the ramp\n</Content>")),
                    name="GeneralMessage")


def test_a_whole_notification_renders():
    assert render(MUST_SHOW) == (
        "Envelope { body: Body(GeneralMessage(NotifyGeneralMessage { service_delivery_info: "
        f"{SDI_TEXT}, notification: GeneralMessageNotification {{ general_message_delivery: GeneralMessageDelivery {{ "
        f"leader: {leader()}, info_message: Some("
        + message_text("Some(7)", 'Some("Lift out of order\\n  Use the ramp")')
        + "), info_message_cancellation: None } } })) }"
    )


def test_both_service_names_read_alike():
    assert render(MUST_SHOW) == render(MUST_SHOW.replace("GeneralMessage>", "NotifyGeneralMessage>"))


def test_python_surface():
    check_surface(MUST_SHOW, "notify_general_message", quorvane.NotifyGeneralMessage)


# (document, fragment of its rendering)
RENDERINGS = [
    (doc("<ResponseTimestamp>2024-05-01T08:00:00Z</ResponseTimestamp>"),
     'GeneralMessageDelivery { leader: XxxDelivery { response_timestamp: "2024-05-01T08:00:00Z", '
     "request_message_ref: None, subscriber_ref: None, subscription_ref: None, status: None, valid_until: None, "
     "shortest_possible_cycle: None }, info_message: None, info_message_cancellation: None }"),
    (doc(RT + "<InfoMessage><ValidUntilTime>2024-05-02T00:00:00Z</ValidUntilTime><InfoChannelRef>general"
              "</InfoChannelRef><Content>Lift out of order\nUse the ramp</Content><InfoMessageVersion>2"
              "</InfoMessageVersion><InfoMessageIdentifier>M1</InfoMessageIdentifier><RecordedAtTime>"
              "2024-05-01T08:00:00Z</RecordedAtTime></InfoMessage>"),
     'InfoMessage { format_ref: None, recorded_at_time: "2024-05-01T08:00:00Z", item_identifier: None, '
     'info_message_identifier: "M1", info_message_version: Some(2), info_channel_ref: "general", '
     'valid_until_time: "2024-05-02T00:00:00Z", situation_ref: None, '
     'content: Some("Lift out of order\\nUse the ramp") }'),
    (doc(RT + cancellation("<InfoMessageIdentifier>M1</InfoMessageIdentifier><RecordedAtTime>2024-05-01T09:00:00Z"
                           "</RecordedAtTime>")),
     'InfoMessageCancellation { recorded_at_time: "2024-05-01T09:00:00Z", info_message_identifier: "M1", '
     "info_channel_ref: None }"),
    # The old element names, one of each in either order, frame elements between.
    (doc(cancellation(name="GeneralMessageCancellation") + RT + message(name="GeneralMessage")),
     f"info_message: Some({message_text()}), info_message_cancellation: Some({CANCELLATION_TEXT})"),
    (doc(message() + RT + cancellation()),
     f"info_message: Some({message_text()}), info_message_cancellation: Some({CANCELLATION_TEXT})"),
    (doc(RT + message("<Content/>")), "info_message: Some(" + message_text(content='Some("")') + ")"),
    (doc(RT + message("<Content>a &lt;b&gt; &amp; <![CDATA[<i>]]></Content>")),
     'content: Some("a <b> & <i>")'),
    (doc(RT + message("<Content>&#32;x&#x20;</Content>")), 'content: Some(" x ")'),
    # An attribute is never a field: only a FormatRef child sets format_ref.
    (doc(RT + message(attrs=' formatRef="string"')), f"info_message: Some({message_text()})"),
    (doc(RT + message("<FormatRef>f</FormatRef>")), "info_message: Some(" + message_text(format_ref='Some("f")') + ")"),
    (doc(RT + message("<InfoMessageVersion>4294967295</InfoMessageVersion>")),
     "info_message_version: Some(4294967295)"),
    (doc(RT + message("<InfoMessageVersion>007</InfoMessageVersion>")), "info_message_version: Some(7)"),
    # Unknown children (with content), attributes and text are skipped.
    (doc(RT + message('<EventIdentity><x a="1">y</x></EventIdentity>more text', attrs=' id="1"')),
     f"info_message: Some({message_text()})"),
    (envelope(f'<NotifyGeneralMessage xmlns="u" a="1">{delivery(RT)}x<Other/>{SDI}<SiriExtension/>'
              "</NotifyGeneralMessage>"), f"{SDI_TEXT}, notification: GeneralMessageNotification"),
    (service(SDI + f'<Notification xmlns:x="u">t<Other><GeneralMessageDelivery/></Other>'
                   f"<GeneralMessageDelivery>{RT}</GeneralMessageDelivery></Notification>"),
     "info_message: None, info_message_cancellation: None"),
    # Prefixed message elements match by their local name.
    (doc(RT + message(name="gm:InfoMessage")), f"info_message: Some({message_text()})"),
]


@pytest.mark.parametrize("document, fragment", RENDERINGS)
def test_renderings(document, fragment):
    assert fragment in render(document)


ERRORS = [
    (service(""), "missing field `ServiceDeliveryInfo`"),
    (service("", name="GeneralMessage"), "missing field `ServiceDeliveryInfo`"),
    (service(SDI), "missing field `Notification`"),
    (service(delivery(RT)), "missing field `ServiceDeliveryInfo`"),
    (service(SDI + "<Notification/>"), "missing field `GeneralMessageDelivery`"),
    (service(SDI + delivery(RT) + "<Notification/>"), "duplicate field `Notification`"),
    (service(SDI + SDI + delivery(RT)), "duplicate field `ServiceDeliveryInfo`"),
    (service(SDI + f"<Notification><GeneralMessageDelivery>{RT}</GeneralMessageDelivery><GeneralMessageDelivery>"
                   f"{RT}</GeneralMessageDelivery></Notification>"), "duplicate field `GeneralMessageDelivery`"),
    # Each message field once, whichever of its names is used.
    (doc(RT + message() + message()), "duplicate field `InfoMessage`"),
    (doc(RT + message() + message(name="GeneralMessage")), "duplicate field `InfoMessage`"),
    (doc(RT + message(name="GeneralMessage") + message(name="GeneralMessage")), "duplicate field `InfoMessage`"),
    (doc(RT + cancellation() + cancellation(name="GeneralMessageCancellation")),
     "duplicate field `InfoMessageCancellation`"),
    # The message records.
    (doc(RT + "<InfoMessage/>"), "missing field `RecordedAtTime`"),
    (doc(RT + message().replace("<ValidUntilTime>v</ValidUntilTime>", "")), "missing field `ValidUntilTime`"),
    (doc(RT + message().replace("<ValidUntilTime>v</ValidUntilTime>", "")
         .replace("<InfoChannelRef>c</InfoChannelRef>", "")),
     "missing field `InfoChannelRef`"),
    (doc(RT + message().replace("<InfoMessageIdentifier>M1</InfoMessageIdentifier>", "")),
     "missing field `InfoMessageIdentifier`"),
    (doc(RT + cancellation("<RecordedAtTime>r</RecordedAtTime>")), "missing field `InfoMessageIdentifier`"),
    (doc(RT + "<GeneralMessageCancellation/>"), "missing field `RecordedAtTime`"),
    (doc(RT + message("<Content>a</Content><Content>&bad;</Content>")), "duplicate field `Content`"),
    (doc(RT + message("<RecordedAtTime>r</RecordedAtTime>")), "duplicate field `RecordedAtTime`"),
    (doc(RT + cancellation("<InfoChannelRef/><InfoChannelRef/>")), "duplicate field `InfoChannelRef`"),
    (doc(RT + message("<Content><b>x</b></Content>")), 'unexpected `Event::Start("b")`'),
    (doc(RT + message("<SituationRef>s<Ref/></SituationRef>")), 'unexpected `Event::Start("Ref")`'),
    (doc(RT + message("<Content>a &bad; b</Content>")), "at 3..6: unrecognized entity `bad`"),
    (doc(RT + message("<InfoMessageVersion>+7</InfoMessageVersion>").replace("+7", "4294967296")),
     'invalid type: string "4294967296", expected u32'),
    (doc(RT + message("<InfoMessageVersion>-1</InfoMessageVersion>")), 'invalid type: string "-1", expected u32'),
    (doc(RT + message("<InfoMessageVersion>1.5</InfoMessageVersion>")), 'invalid type: string "1.5", expected u32'),
    (doc(RT + message("<InfoMessageVersion/>")), 'invalid type: string "", expected u32'),
    # Attributes and own text are passed over, but still read soundly.
    (doc(RT + message(attrs=' a="1" a="2"')),
     "error while parsing attribute: position 18: duplicated attribute, previous declaration at position 12"),
    (doc(RT + message(attrs=" a=1")),
     "error while parsing attribute: position 14: attribute value must be enclosed in `\"` or `'`"),
    (doc(RT + message("&bad;")), "at 1..4: unrecognized entity `bad`"),
    # A message field directly in the delivery is no field of the delivery;
    # the frame rejects it at the delivery's end, after the message's errors.
    (doc(RT + "<Content>c</Content>" + message()), unknown_frame_field("Content")),
    (doc(RT + "<Content>c</Content><InfoMessage/>"), "missing field `RecordedAtTime`"),
]


@pytest.mark.parametrize("document, message_text", ERRORS)
def test_errors(document, message_text):
    assert error(document) == message_text


# ------------------------------------------------------ real documents

def test_real_response():
    rendered = render(siri_docs.wrapped("siri_exm_GM/exm_generalMessage_response.xml"))
    assert rendered == (
        "Envelope { body: Body(GeneralMessage(NotifyGeneralMessage { service_delivery_info: ServiceDeliveryInfo { "
        'response_timestamp: Some("2004-12-17T09:30:46-05:00"), producer_ref: "KUBRICK", '
        "request_message_identifier: None, response_message_ref: None }, notification: GeneralMessageNotification { "
        "general_message_delivery: GeneralMessageDelivery { leader: XxxDelivery { response_timestamp: "
        '"2001-12-17T09:30:47.0Z", request_message_ref: Some("12345"), subscriber_ref: None, subscription_ref: None, '
        "status: Some(true), valid_until: None, shortest_possible_cycle: None }, info_message: Some(InfoMessage { "
        # The formatRef attribute is not the FormatRef element.
        'format_ref: None, recorded_at_time: "2001-12-17T09:30:47.0Z", item_identifier: None, '
        'info_message_identifier: "00034567", info_message_version: Some(2), info_channel_ref: "WARNINGS", '
        'valid_until_time: "2001-12-17T09:30:47.0Z", situation_ref: None, content: Some("Beware the Ides of March") '
        '}), info_message_cancellation: Some(InfoMessageCancellation { recorded_at_time: "2001-12-17T09:30:47.0Z", '
        'info_message_identifier: "00034564", info_channel_ref: Some("WARNINGS") }) } } })) }'
    )


def test_real_embedded_content_is_rejected():
    # Rejected by design: structured message content is not read, and a child
    # element inside the text field Content fails.
    assert (error(siri_docs.wrapped("siri_exm_GM/exm_generalMessage_response_embed.xml"))
            == 'unexpected `Event::Start("Xtis")`')
