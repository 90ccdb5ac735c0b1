// Deep and wide input through the binding layer, under the sanitizers: a
// million nested unknown children kept by a buffered holder or skipped by a
// plain record, and the same inside a real delivery, cost no native stack
// per level and leave nothing behind when they fail.
#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "binding/read.hpp"
#include "binding/render.hpp"
#include "siri.hpp"
#include "xml/error.hpp"

namespace test_hostile {

using quorvane::List;
using quorvane::OptText;
using quorvane::Text;

struct Part {
    Text label;
};

struct Plain {
    OptText name;
    List<Text> item;
};

struct Kept {
    OptText name;
    std::optional<Part> part;
};

}  // namespace test_hostile

namespace quorvane::binding {

using namespace test_hostile;

template <>
inline constexpr auto declaration<Part> = record<Part, "Part">(field("label", &Part::label, "Label"));

template <>
inline constexpr auto declaration<Plain> =
    record<Plain, "Plain">(field("name", &Plain::name, "Name"), field("item", &Plain::item, "Item"));

template <>
inline constexpr auto declaration<Kept> =
    record<Kept, "Kept">(field("name", &Kept::name, "Name"), group("part", &Kept::part));

}  // namespace quorvane::binding

namespace {

using quorvane::ParseError;
using quorvane::binding::read_root;
using quorvane::binding::to_text;

constexpr std::size_t kMillion = 1000000;
const std::string kNotClosed = "ill-formed document: start tag not closed: `</a>` not found before end of input";

std::string nest(std::size_t depth, bool closed = true) {
    std::string s;
    s.reserve(depth * 7);
    for (std::size_t i = 0; i < depth; ++i) s += "<a>";
    if (closed)
        for (std::size_t i = 0; i < depth; ++i) s += "</a>";
    return s;
}

template <class T>
std::string parse(const std::string& doc) {
    try {
        return to_text(read_root<T>(doc));
    } catch (const ParseError& e) {
        return "ERR:" + std::string(e.what());
    }
}

std::string parse_document(const std::string& doc) {
    try {
        return to_text(quorvane::from_str(doc));
    } catch (const ParseError& e) {
        return "ERR:" + std::string(e.what());
    }
}

struct Case {
    std::string doc;
    std::string expected;
};

TEST(Hostile, MillionDeepInAPlainRecord) {
    const std::string plain = "Plain { name: Some(\"n\"), item: [\"i\"] }";
    const Case cases[] = {
        {"<P><Name>n</Name><Deep>" + nest(kMillion) + "</Deep><Item>i</Item></P>", plain},
        {"<P><Name>n</Name><Item>i</Item>" + nest(kMillion) + "</P>", plain},
        {"<P><Name>n</Name><Item>i</Item><Deep>" + nest(kMillion, false), "ERR:" + kNotClosed},
        {"<P><Name>n</Name><Item>i</Item>" + nest(kMillion, false), "ERR:" + kNotClosed},
        {"<P><Name>n" + nest(kMillion) + "</Name></P>", "ERR:unexpected `Event::Start(\"a\")`"},
        {"<P><Item>i</Item>" + nest(kMillion) + "<Item>j</Item></P>", "ERR:duplicate field `Item`"},
    };
    for (const auto& c : cases) EXPECT_EQ(parse<test_hostile::Plain>(c.doc), c.expected);
}

TEST(Hostile, MillionDeepKeptByABufferedHolder) {
    const Case cases[] = {
        // Kept whole in the buffer; the group takes `Label` and passes the rest over.
        {"<K><Name>n</Name><Deep>" + nest(kMillion) + "</Deep><Label>l</Label></K>",
         "Kept { name: Some(\"n\"), part: Some(Part { label: \"l\" }) }"},
        // A group element holding children does not form the group.
        {"<K><Label>" + nest(kMillion) + "</Label></K>", "Kept { name: None, part: None }"},
        {"<K><Name>n</Name><Deep>" + nest(kMillion, false), "ERR:" + kNotClosed},
        {"<K>" + nest(kMillion, false), "ERR:" + kNotClosed},
        {"<K><Deep>" + nest(kMillion) + "&bad;</Deep></K>", "ERR:at 1..4: unrecognized entity `bad`"},
    };
    for (const auto& c : cases) EXPECT_EQ(parse<test_hostile::Kept>(c.doc), c.expected);
}

TEST(Hostile, MillionDeepInADelivery) {
    const std::string head =
        "<Envelope><Body><NotifyStopMonitoring><ServiceDeliveryInfo><ProducerRef>P</ProducerRef>"
        "</ServiceDeliveryInfo><Notification><StopMonitoringDelivery><ResponseTimestamp>t</ResponseTimestamp>";
    const std::string tail = "</StopMonitoringDelivery></Notification></NotifyStopMonitoring></Body></Envelope>";
    const std::string plain = parse_document(head + tail);
    ASSERT_EQ(plain.find("ERR:"), std::string::npos) << plain;
    EXPECT_EQ(parse_document(head + "<RequestMessageRef>" + nest(kMillion) + "</RequestMessageRef>" + tail), plain);
    EXPECT_EQ(parse_document(head + "<Deep>" + nest(kMillion) + "</Deep>" + tail),
              "ERR:unknown field `Deep`, expected one of `ResponseTimestamp`, `RequestMessageRef`, `SubscriberRef`, "
              "`SubscriptionRef`, `Status`, `ValidUntil`, `ShortestPossibleCycle`");
    EXPECT_EQ(parse_document(head + "<Deep>" + nest(kMillion, false)), "ERR:" + kNotClosed);
}

TEST(Hostile, WideBufferedChild) {
    std::string attrs;
    for (int i = 0; i < 100000; ++i) attrs += " a" + std::to_string(i) + "=\"&amp;\"";
    EXPECT_EQ(parse<test_hostile::Kept>("<K><Deep" + attrs + "/><Label>l</Label></K>"),
              "Kept { name: None, part: Some(Part { label: \"l\" }) }");
    EXPECT_EQ(parse<test_hostile::Kept>("<K><Deep" + attrs + " a0=''/></K>"),
              "ERR:error while parsing attribute: position " + std::to_string(attrs.size() + 5) +
                  ": duplicated attribute, previous declaration at position 5");
}

// Attribute names picked so that their std::hash values crowd one eighth
// of a table sized for them: a hashed duplicate check would probe through
// the crowd for every name and take quadratic time.
TEST(Hostile, AttributeNamesChosenToCollide) {
    constexpr std::size_t kCount = 100000;
    constexpr std::size_t kSlots = 1 << 18;
    std::string attrs;
    std::string last;
    for (std::size_t i = 0, made = 0; made < kCount; ++i) {
        const std::string name = "k" + std::to_string(i);
        if ((std::hash<std::string_view>{}(name) & (kSlots - 1)) >= kSlots / 8) continue;
        attrs += " " + name + "=''";
        last = name;
        ++made;
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(parse<test_hostile::Plain>("<P" + attrs + "><Item>i</Item></P>"), "Plain { name: None, item: [\"i\"] }");
    EXPECT_EQ(parse<test_hostile::Plain>("<P" + attrs + " " + last + "=''/>"),
              "ERR:error while parsing attribute: position " + std::to_string(attrs.size() + 2) +
                  ": duplicated attribute, previous declaration at position " +
                  std::to_string(attrs.size() - last.size() - 3 + 1));
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 3.0);
}

}  // namespace
