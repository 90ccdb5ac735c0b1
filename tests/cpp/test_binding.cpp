// The binding layer driven by test-only records declared the way the model
// declares its own: the key sequence, identification, duplicates, missing
// fields, skipping, leaf values, element runs, value choices, rendering and
// escaping, copies, buffer mode, the delivery frame and optional groups.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "binding/buffer.hpp"
#include "binding/declare.hpp"
#include "binding/messages.hpp"
#include "binding/read.hpp"
#include "binding/render.hpp"
#include "enums/vehicle_mode.hpp"
#include "models/framed_vehicle_journey_ref.hpp"
#include "models/service_delivery_info.hpp"
#include "models/xxx_delivery.hpp"
#include "siri_et/disruption_group.hpp"
#include "siri_sm/journey_pattern_info_group.hpp"
#include "xml/error.hpp"
#include "xml/reader.hpp"

#include "test_util.hpp"

// ------------------------------------------------------ test-only records

namespace bt {

using quorvane::List;
using quorvane::OptText;
using quorvane::Text;
using quorvane::XxxDelivery;
using quorvane::binding::Unit;

enum class Colour : unsigned char { Red, DarkBlue, Green };
enum class Side : unsigned char { Left, Right };
enum class Only : unsigned char { One };

struct Empty {};

struct Inner {
    OptText a;
    Text b;
};

// One field of every kind.
struct Every {
    Text text;
    OptText note;  // aliased
    std::optional<std::uint32_t> count;
    std::optional<std::int32_t> delta;
    std::optional<bool> flag;
    std::optional<Colour> colour;
    std::optional<Inner> inner;
    List<Text> reasons;  // a required list
    std::optional<List<Inner>> items;
    std::optional<Empty> empty;
};

// Every kind in its required form.
struct Required {
    std::uint32_t number;
    bool ok;
    Colour colour;
    Inner inner;
    List<Inner> entries;
};

struct Lists {
    std::optional<List<Text>> reasons;
    std::optional<List<Inner>> items;
    OptText other;
};

// One optional value of kind V under the element `V`.
template <class V>
struct One {
    std::optional<V> v;
};

struct Boxed {
    Text value;
};

// Chosen by the element's text, which supplies no value.
using Said = std::variant<Unit, Text, Inner>;
// Chosen by the first child element, which holds the value.
using Pick = std::variant<Unit, Inner>;

struct Choices {
    std::optional<Said> said;
    std::optional<List<Pick>> picks;
    std::optional<Boxed> boxed;
};

// Delivery-like: the frame from the leftover buffer, beside own fields.
struct Dlv {
    XxxDelivery leader;
    OptText ref;
    List<Text> lines;
};

struct Zone {
    Text place;
    std::optional<Colour> colour;
    List<Text> tags;
};

struct Extra {
    OptText place;
    Text more;
};

// A holder of two optional embedded groups.
struct Stop {
    OptText id;
    std::optional<Zone> zone;
    std::optional<Extra> extra;
};

// An optional group declared before the frame.
struct Mixed {
    std::optional<Zone> zone;
    XxxDelivery leader;
};

}  // namespace bt

namespace quorvane::binding {

template <>
inline constexpr auto declaration<bt::Colour> =
    enumeration<bt::Colour>({{"red", "Red"}, {"darkBlue", "DarkBlue"}, {"green", "Green"}});
template <>
inline constexpr auto declaration<bt::Side> = enumeration<bt::Side>({{"left", "Left"}, {"right", "Right"}});
template <>
inline constexpr auto declaration<bt::Only> = enumeration<bt::Only>({{"one", "One"}});

template <>
inline constexpr auto declaration<bt::Empty> = record<bt::Empty, "Empty">();

template <>
inline constexpr auto declaration<bt::Inner> =
    record<bt::Inner, "Inner">(field("a", &bt::Inner::a, "A"), field("b", &bt::Inner::b, "B"));

template <>
inline constexpr auto declaration<bt::Every> = record<bt::Every, "Every">(
    field("text", &bt::Every::text, "Text"),
    field("note", &bt::Every::note, "Note", "Remark", "old:Note"),
    field("count", &bt::Every::count, "Count"),
    field("delta", &bt::Every::delta, "Delta"),
    field("flag", &bt::Every::flag, "Flag"),
    field("colour", &bt::Every::colour, "Colour"),
    field("inner", &bt::Every::inner, "Inner"),
    field("reasons", &bt::Every::reasons, "Reasons"),
    field("items", &bt::Every::items, "Item"),
    field("empty", &bt::Every::empty, "Empty"));

template <>
inline constexpr auto declaration<bt::Required> = record<bt::Required, "Required">(
    field("number", &bt::Required::number, "Number"),
    field("ok", &bt::Required::ok, "Ok"),
    field("colour", &bt::Required::colour, "Colour"),
    field("inner", &bt::Required::inner, "Inner"),
    field("entries", &bt::Required::entries, "Entry"));

template <>
inline constexpr auto declaration<bt::Lists> = record<bt::Lists, "Lists">(
    field("reasons", &bt::Lists::reasons, "Reasons"),
    field("items", &bt::Lists::items, "Item"),
    field("other", &bt::Lists::other, "Other"));

template <class V>
inline constexpr auto declaration<bt::One<V>> = record<bt::One<V>, "One">(field("v", &bt::One<V>::v, "V"));

template <>
inline constexpr auto declaration<bt::Boxed> = wrapper<bt::Boxed, "Boxed">(&bt::Boxed::value);

template <>
inline constexpr auto declaration<bt::Said> = VariantDecl<bt::Said, 3, 3>{
    ChoiceMode::Text,
    {"Nothing", "Word", "Boxed"},
    {{{"none", 0}, {"word", 1}, {"inner", 2}}},
};

template <>
inline constexpr auto declaration<bt::Pick> = VariantDecl<bt::Pick, 2, 2>{
    ChoiceMode::FirstChild,
    {"Everything", "Subset"},
    {{{"all", 0}, {"some", 1}}},
};

template <>
inline constexpr auto declaration<bt::Choices> = record<bt::Choices, "Choices">(
    field("said", &bt::Choices::said, "Said"),
    field("picks", &bt::Choices::picks, "Pick"),
    field("boxed", &bt::Choices::boxed, "Boxed"));

template <>
inline constexpr auto declaration<bt::Dlv> = record<bt::Dlv, "Dlv">(
    group("leader", &bt::Dlv::leader),
    field("ref", &bt::Dlv::ref, "Ref"),
    field("lines", &bt::Dlv::lines, "Line"));

template <>
inline constexpr auto declaration<bt::Zone> = record<bt::Zone, "Zone">(
    field("place", &bt::Zone::place, "Place"),
    field("colour", &bt::Zone::colour, "Colour"),
    field("tags", &bt::Zone::tags, "Tag"));

template <>
inline constexpr auto declaration<bt::Extra> =
    record<bt::Extra, "Extra">(field("place", &bt::Extra::place, "Place"), field("more", &bt::Extra::more, "More"));

template <>
inline constexpr auto declaration<bt::Stop> = record<bt::Stop, "Stop">(
    field("id", &bt::Stop::id, "Id"),
    group("zone", &bt::Stop::zone),
    group("extra", &bt::Stop::extra));

template <>
inline constexpr auto declaration<bt::Mixed> =
    record<bt::Mixed, "Mixed">(group("zone", &bt::Mixed::zone), group("leader", &bt::Mixed::leader));

}  // namespace quorvane::binding

// ---------------------------------------------------------------- helpers

namespace {

using namespace bt;
using quorvane::ParseError;
using quorvane::binding::read_root;
using quorvane::binding::to_text;

struct Case {
    std::string doc;
    std::string want;
};

template <class Fn>
void check(Fn fn, const std::vector<Case>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(printable(c.doc));
        EXPECT_EQ(fn(c.doc), c.want);
    }
}

// The document read as T and rendered, or "ERR: " and the error's text.
template <class T>
std::string parse(std::string_view doc) {
    try {
        return to_text(read_root<T>(doc));
    } catch (const ParseError& e) {
        return "ERR: " + e.text();
    }
}

// The rendering of one value of kind V written as `<V>inner</V>`.
template <class V>
std::string leaf(std::string_view inner) {
    const std::string doc = "<R><V>" + std::string(inner) + "</V></R>";
    try {
        return to_text(read_root<One<V>>(doc).value.v);
    } catch (const ParseError& e) {
        return "ERR: " + e.text();
    }
}

// A delivery-like holder with its one required own field present.
std::string delivery(std::string_view attrs, std::string_view body) {
    return "<D" + std::string(attrs) + "><Line>l</Line>" + std::string(body) + "</D>";
}

// The frame read from a delivery-like holder, or the error.
std::string frame(std::string_view doc) {
    try {
        return to_text(read_root<Dlv>(doc).value.leader);
    } catch (const ParseError& e) {
        return "ERR: " + e.text();
    }
}

// The rendering of a frame, fields given as rendered values.
struct F {
    std::string response_timestamp;
    std::string request_message_ref = "None";
    std::string subscriber_ref = "None";
    std::string subscription_ref = "None";
    std::string status = "None";
    std::string valid_until = "None";
    std::string shortest_possible_cycle = "None";
};
std::string frame_text(const F& f) {
    return "XxxDelivery { response_timestamp: " + f.response_timestamp +
           ", request_message_ref: " + f.request_message_ref + ", subscriber_ref: " + f.subscriber_ref +
           ", subscription_ref: " + f.subscription_ref + ", status: " + f.status + ", valid_until: " + f.valid_until +
           ", shortest_possible_cycle: " + f.shortest_possible_cycle + " }";
}

const std::string kFrameNames =
    "one of `ResponseTimestamp`, `RequestMessageRef`, `SubscriberRef`, `SubscriptionRef`, `Status`, `ValidUntil`, "
    "`ShortestPossibleCycle`";

// The `note` field of an `Every`, or the error.
std::string note_of(std::string_view doc) {
    try {
        return to_text(read_root<Every>(doc).value.note);
    } catch (const ParseError& e) {
        return "ERR: " + e.text();
    }
}

std::string missing_end(std::string_view name) {
    return "ERR: ill-formed document: start tag not closed: `</" + std::string(name) +
           ">` not found before end of input";
}

std::string repeat(std::string_view s, std::size_t n) {
    std::string out;
    out.reserve(s.size() * n);
    for (std::size_t i = 0; i < n; ++i) out += s;
    return out;
}

// ------------------------------------------------------------- rendering

TEST(Render, TextEscaping) {
    const std::vector<Case> cases = {
        {"plain", R"("plain")"},
        {"It's", R"("It's")"},
        {"a\\b", R"("a\\b")"},
        {"R\"2", R"("R\"2")"},
        {"a\nb\rc\td", R"("a\nb\rc\td")"},
        {std::string("a\0b", 3), R"("a\0b")"},
        {"caf\u00e9", "\"caf\u00e9\""},
        {"", R"("")"},
        {"a b", R"("a b")"},
        {"\u00a0", R"("\u{a0}")"},    // Zs other than the space
        {"\u3000", R"("\u{3000}")"},  // Zs
        {"\u200b", R"("\u{200b}")"},  // Cf
        {"\u00ad", R"("\u{ad}")"},    // Cf below U+0300
        {"\ufeff", R"("\u{feff}")"},  // Cf
        {"e\u0301", R"("e\u{301}")"},  // Grapheme_Extend
        {"\u2764\ufe0f", "\"\u2764\\u{fe0f}\""},  // a variation selector extends
        {"\u09be", R"("\u{9be}")"},   // Mc, but Other_Grapheme_Extend
        {"\u0903", "\"\u0903\""},     // Mc, not extending: printed
        {"\x7f", R"("\u{7f}")"},
        {"\x01", R"("\u{1}")"},
        {"\x1b[0m", R"("\u{1b}[0m")"},
        {"\u0085", R"("\u{85}")"},     // C1 control
        {"\u2028\u2029", R"("\u{2028}\u{2029}")"},  // Zl, Zp
        {"\ue000", R"("\u{e000}")"},   // Co
        {"\U000F0000", R"("\u{f0000}")"},  // Co, plane 15
        {"\u1c89", R"("\u{1c89}")"},   // unassigned in 15.1
        {"\u0378", R"("\u{378}")"},    // unassigned
        {"\U000E0001", R"("\u{e0001}")"},  // Cf, language tag
        // Assigned in 15.1 (not in 15.0): printed as they are.
        {"\u2ffc\u31ef\U0002EBF0", "\"\u2ffc\u31ef\U0002EBF0\""},
        {"\U0002EE5E", R"("\u{2ee5e}")"},  // just past CJK Extension I
        {"\U0001F600", "\"\U0001F600\""},
        {"\U0010FFFF", R"("\u{10ffff}")"},
    };
    check([](const std::string& s) { return to_text(Text(s.data(), s.size())); }, cases);
}

TEST(Render, Values) {
    EXPECT_EQ(to_text(std::int32_t{-5}), "-5");
    EXPECT_EQ(to_text(std::int32_t{-2147483647 - 1}), "-2147483648");
    EXPECT_EQ(to_text(std::uint32_t{4294967295u}), "4294967295");
    EXPECT_EQ(to_text(std::uint32_t{0}), "0");
    EXPECT_EQ(to_text(true), "true");
    EXPECT_EQ(to_text(std::optional<bool>{false}), "Some(false)");
    EXPECT_EQ(to_text(OptText{}), "None");
    EXPECT_EQ(to_text(OptText{""}), R"(Some(""))");
    static const Text two[] = {"a", "b"};
    EXPECT_EQ(to_text(List<Text>(two)), R"(["a", "b"])");
    EXPECT_EQ(to_text(List<Text>()), "[]");
    EXPECT_EQ(to_text(std::optional<Colour>{Colour::DarkBlue}), "Some(DarkBlue)");
    EXPECT_EQ(to_text(Empty{}), "Empty");
    EXPECT_EQ(to_text(std::optional<Empty>{Empty{}}), "Some(Empty)");
    EXPECT_EQ(to_text(Boxed{"x"}), R"(Boxed("x"))");
    EXPECT_EQ(to_text(Said{}), "Nothing");
    EXPECT_EQ(to_text(Said{Text("w")}), R"(Word("w"))");
    EXPECT_EQ(to_text(Pick{Inner{std::nullopt, "b"}}), R"(Subset(Inner { a: None, b: "b" }))");
    EXPECT_EQ(to_text(quorvane::ServiceDeliveryInfo{std::nullopt, "P1", std::nullopt, "R\"2"}),
              R"(ServiceDeliveryInfo { response_timestamp: None, producer_ref: "P1", )"
              R"(request_message_identifier: None, response_message_ref: Some("R\"2") })");
}

// ------------------------------------------------------- whole records

const std::string kEveryFull =
    R"(<Every><Text>t</Text><Remark>n</Remark><Count>7</Count><Delta>-5</Delta><Flag>0</Flag>)"
    R"(<Colour>darkBlue</Colour><Inner><B>b</B></Inner><Reasons>r1</Reasons><Reasons>r2</Reasons>)"
    R"(<Item><A>a</A><B>b1</B></Item><Item><B>b2</B></Item><Empty a="1"><Anything><x/></Anything>text</Empty>)"
    R"(</Every>)";
const std::string kEveryFullText =
    R"(Every { text: "t", note: Some("n"), count: Some(7), delta: Some(-5), flag: Some(false), )"
    R"(colour: Some(DarkBlue), inner: Some(Inner { a: None, b: "b" }), reasons: ["r1", "r2"], )"
    R"(items: Some([Inner { a: Some("a"), b: "b1" }, Inner { a: None, b: "b2" }]), empty: Some(Empty) })";

// The rendering of `v` through a block of `block` bytes whose text is
// drained as it fills, the way str() renders.
template <class V>
std::string drained(const V& v, std::size_t block) {
    std::string all;
    const auto drain = [](void* into, std::string_view text) {
        EXPECT_FALSE(text.empty());
        *static_cast<std::string*>(into) += text;
    };
    quorvane::binding::TextWriter out(block, drain, &all);
    quorvane::binding::render(out, v);
    out.finish();
    return all;
}

TEST(Render, ThroughASmallBlockGivesTheWholeText) {
    // Every block size, down to one byte: texts longer than the block,
    // escapes and characters of every width on a block's edge.
    const auto expect_same = [](const auto& v) {
        const std::string whole = to_text(v);
        for (const std::size_t block : {1, 2, 3, 5, 8, 64, 4096}) EXPECT_EQ(drained(v, block), whole) << block;
    };
    expect_same(std::int32_t{-2147483647 - 1});
    expect_same(std::uint32_t{4294967295u});
    expect_same(std::optional<bool>{true});
    expect_same(OptText{});
    static const Text two[] = {"a", "bc"};
    expect_same(List<Text>(two));
    expect_same(std::optional<Colour>{Colour::DarkBlue});
    expect_same(Empty{});
    expect_same(Said{Text("w")});
    expect_same(Pick{Inner{std::nullopt, "b"}});
    expect_same(read_root<Every>(kEveryFull).value);
    expect_same(Text("caf\u00e9 \U0001F600 \u3000 a\\b\"c\nde\u0301"));
    expect_same(quorvane::ServiceDeliveryInfo{std::nullopt, "P\"1", std::nullopt, "R"});
}

TEST(Record, EveryKind) {
    check(parse<Every>,
          {
              {kEveryFull, kEveryFullText},
              {"<Every><Text/><Reasons/></Every>",
               R"(Every { text: "", note: None, count: None, delta: None, flag: None, colour: None, inner: None, )"
               R"(reasons: [""], items: None, empty: None })"},
              {"<Every><Inner/><Text>t</Text><Reasons>r</Reasons></Every>", "ERR: missing field `B`"},
          });
    check(parse<Required>,
          {
              {"<R><Entry><B>c</B></Entry><Inner><B>b</B></Inner><Colour>green</Colour><Ok>1</Ok>"
               "<Number>1</Number></R>",
               R"(Required { number: 1, ok: true, colour: Green, inner: Inner { a: None, b: "b" }, )"
               R"(entries: [Inner { a: None, b: "c" }] })"},
          });
}

TEST(Record, ListsOfEverySizeKeepTheirItemsInOrder) {
    // Small lists are copied into the store; a list large enough is handed
    // over whole, with the lists of its items copied before it.
    for (const std::size_t n : {1, 2, 500, 5000, 40000}) {
        std::string doc = "<Lists>";
        std::string want = "Lists { reasons: Some([";
        for (std::size_t i = 0; i < n; ++i) doc += "<Reasons>r" + std::to_string(i) + "</Reasons>";
        for (std::size_t i = 0; i < n; ++i) want += (i ? ", \"r" : "\"r") + std::to_string(i) + "\"";
        want += "]), items: Some([";
        for (std::size_t i = 0; i < n; ++i) {
            doc += "<Item><A>a" + std::to_string(i) + "</A><B>b</B></Item>";
            want += std::string(i ? ", " : "") + "Inner { a: Some(\"a" + std::to_string(i) + "\"), b: \"b\" }";
        }
        doc += "<Other>o</Other></Lists>";
        want += "]), other: Some(\"o\") }";
        EXPECT_EQ(to_text(read_root<Lists>(doc)), want) << n;
    }
}

namespace {

const std::string kMarker = "SECRET-TEXT-OF-A-DOCUMENT";

bool holds_marker(const quorvane::Bytes& b, std::size_t from = 0) {
    return std::string_view(reinterpret_cast<const char*>(b.data()) + from, b.size() - from).find(kMarker) !=
           std::string_view::npos;
}

}  // namespace

TEST(Record, MemoryKeptForTheNextParseHoldsNothingOfADocument) {
    // Blocks released by a parse wait, zeroed, for the next one.
    const std::string& marker = kMarker;
    std::string doc = "<Lists>";
    for (int i = 0; i < 3000; ++i) doc += "<Item><A>" + marker + "</A><B>" + marker + "</B></Item>";
    doc += "</Lists>";
    EXPECT_NE(to_text(read_root<Lists>(doc)).find(marker), std::string::npos);
    // A rendering drained block by block, as str() renders, and a short one
    // that fits its first block.
    EXPECT_NE(drained(read_root<Lists>(doc).value, 4096).find(marker), std::string::npos);
    EXPECT_NE(drained(Text("SECRET-TEXT-OF-A-DOCUMENT"), 4096).find(marker), std::string::npos);
    std::vector<quorvane::Bytes> taken;
    for (int i = 0; i < 8; ++i) {
        taken.push_back(quorvane::Bytes::at_least(1));
        EXPECT_FALSE(holds_marker(taken.back())) << i;
    }
}

TEST(Record, SmallDocumentsKeepNoMappedPagesWhateverTheCacheHolds) {
    // A run of mapped pages waits in the cache, as after a large parse; the
    // list stack of the next parses may take it. A kept document with a
    // list of some tens of kilobytes must not keep a piece of it: kept and
    // dropped in any order, such pieces would split the run into as many
    // kernel mappings.
    { const quorvane::Bytes run = quorvane::Bytes::at_least(std::size_t(8) << 20); }
    std::string doc = "<Lists>";
    for (int i = 0; i < 2500; ++i) doc += "<Item><A>a</A><B>b</B></Item>";
    doc += "</Lists>";
    const auto maps = [] {
        std::ifstream f("/proc/self/maps");
        return std::count(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>(), '\n');
    };
    const auto before = maps();
    std::vector<std::unique_ptr<quorvane::Parsed<Lists>>> kept;
    for (int i = 0; i < 600; ++i) kept.push_back(std::make_unique<quorvane::Parsed<Lists>>(read_root<Lists>(doc)));
    std::shuffle(kept.begin(), kept.end(), std::mt19937(3));
    auto most = maps();
    for (std::size_t i = 0; i < kept.size(); ++i) {
        kept[i].reset();
        if (i % 50 == 0) most = std::max(most, maps());
    }
    EXPECT_LE(most - before, 64);
}

TEST(Record, CopiesShareTheStoreAndOutliveTheOriginal) {
    // Records are plain values: a copy's fields can be set apart from the
    // original's, and a copy holding the store keeps every text and list.
    auto original = std::make_unique<quorvane::Parsed<Every>>(read_root<Every>(kEveryFull));
    static_assert(std::is_trivially_copyable_v<Every>);
    Every changed = original->value;
    changed.text = "changed";
    *changed.note = "other";
    changed.reasons = List<Text>();
    EXPECT_EQ(to_text(*original), kEveryFullText);
    EXPECT_NE(to_text(changed), kEveryFullText);
    const quorvane::Parsed<Every> copy = *original;
    original.reset();
    EXPECT_EQ(to_text(copy), kEveryFullText);
}

TEST(Record, KeySequenceAndIdentification) {
    check(parse<Inner>,
          {
              // attributes, namespace declarations, own text and unknown children are passed over
              {R"(<R xmlns="u" p:q="1"><A>x</A>text<Other><y/></Other><B>y</B></R>)",
               R"(Inner { a: Some("x"), b: "y" })"},
              // prefixes never matter for keys
              {"<p:R><q:A>x</q:A><r:B>y</r:B></p:R>", R"(Inner { a: Some("x"), b: "y" })"},
              // a key is the part after the first colon: `a:b:A` is "b:A"
              {"<R><a:b:A>x</a:b:A><B>y</B></R>", R"(Inner { a: None, b: "y" })"},
              // exact bytes: other case is skipped
              {"<R><a>x</a><b>y</b><B>y</B></R>", R"(Inner { a: None, b: "y" })"},
              // attributes named like fields are "@A", "@xmlns:A": never fields
              {R"(<R A="1" xmlns:A="u" B="2"><B>y</B></R>)", R"(Inner { a: None, b: "y" })"},
              {"<R>A<B>y</B>B</R>", R"(Inner { a: None, b: "y" })"},
              // an empty leaf is present and empty
              {"<R><A/><B></B></R>", R"(Inner { a: Some(""), b: "" })"},
              // text is trimmed, joined across comments, CDATA taken literally
              {"<R><A>  x <!-- c --> y  </A><B><![CDATA[ y ]]></B></R>", R"(Inner { a: Some("x  y"), b: " y " })"},
              // attributes of a leaf are never examined
              {R"(<R><B lang="x" bad=attr>y</B></R>)", R"(Inner { a: None, b: "y" })"},
          });
    // aliases: any of them fills the field; `old:Note` is a key only under one more prefix
    check(note_of,
          {
              {"<E><Text/><Reasons/><Note>n</Note></E>", R"(Some("n"))"},
              {"<E><Text/><Reasons/><Remark>n</Remark></E>", R"(Some("n"))"},
              {"<E><Text/><Reasons/><old:Note>n</old:Note></E>", R"(Some("n"))"},
              {"<E><Text/><Reasons/><x:old:Note>n</x:old:Note></E>", R"(Some("n"))"},
              {"<E><Text/><Reasons/><remark>n</remark></E>", "None"},
              {"<E><Text/><Reasons/><Note>n</Note><Remark>m</Remark></E>", "ERR: duplicate field `Note`"},
              {"<E><Text/><Reasons/><Remark>n</Remark><x:old:Note>m</x:old:Note></E>", "ERR: duplicate field `Note`"},
          });
}

TEST(Record, DuplicatesAndMissingFields) {
    check(parse<Inner>,
          {
              {"<R><A>x</A><A>y</A><B/></R>", "ERR: duplicate field `A`"},
              {"<R><A>x</A><p:A>y</p:A><B/></R>", "ERR: duplicate field `A`"},
              // raised when the second starts, before its value is read
              {"<R><A>x</A><A><bad/></A></R>", "ERR: duplicate field `A`"},
              {"<R><A>x</A></R>", "ERR: missing field `B`"},
              {"<R/>", "ERR: missing field `B`"},
              {"<R><b>y</b></R>", "ERR: missing field `B`"},
          });
    // The first missing field in declaration order, whatever the document order.
    check(parse<Required>,
          {
              {"<R/>", "ERR: missing field `Number`"},
              {"<R><Entry><B/></Entry><Ok>1</Ok></R>", "ERR: missing field `Number`"},
              {"<R><Number>1</Number></R>", "ERR: missing field `Ok`"},
              {"<R><Number>1</Number><Ok>1</Ok></R>", "ERR: missing field `Colour`"},
              {"<R><Number>1</Number><Ok>1</Ok><Colour>red</Colour></R>", "ERR: missing field `Inner`"},
              {"<R><Number>1</Number><Ok>1</Ok><Colour>red</Colour><Inner><B/></Inner></R>",
               "ERR: missing field `Entry`"},
          });
    check(parse<Every>,
          {
              {"<E/>", "ERR: missing field `Text`"},
              {"<E><Text>t</Text></E>", "ERR: missing field `Reasons`"},
          });
}

TEST(Record, OrderOfErrors) {
    check(parse<Inner>,
          {
              // the start tag's attribute error first
              {"<R a=1><A><x/></A></R>",
               "ERR: error while parsing attribute: position 4: attribute value must be enclosed in `\"` or `'`"},
              // a value error before the missing check
              {"<R><A><x/></A></R>", R"(ERR: unexpected `Event::Start("x")`)"},
              // a duplicate before a later value error
              {"<R><A>x</A><A>y</A><B><x/></B></R>", "ERR: duplicate field `A`"},
          });
}

TEST(Record, Skipping) {
    check(parse<Inner>,
          {
              // a record's own text is decoded
              {"<R>x&bad;<B>y</B></R>", "ERR: at 2..5: unrecognized entity `bad`"},
              // a skipped child's leading text is decoded, what follows its first child only scanned
              {"<R><B>y</B><Other>&bad;</Other></R>", "ERR: at 1..4: unrecognized entity `bad`"},
              {"<R><B>y</B><Other><x/>&bad;</Other></R>", R"(Inner { a: None, b: "y" })"},
              // attribute syntax is checked on records, not on skipped children
              {"<R><B>y</B><Other a=1><x b=2/></Other></R>", R"(Inner { a: None, b: "y" })"},
              {R"(<R a="&bad;"><B>y</B></R>)", R"(Inner { a: None, b: "y" })"},
              // an unknown child that is never closed
              {"<R><B>y</B><Other><x/>", missing_end("Other")},
              {"<R><B>y</B><Other>", missing_end("Other")},
              {"<R><B>y</B>", missing_end("R")},
              // a skipped child as deep as it may be
              {"<R><B>y</B>" + repeat("<a>", 100000) + repeat("</a>", 100000) + "</R>",
               R"(Inner { a: None, b: "y" })"},
          });
    check(parse<Empty>,
          {
              {R"(<DisruptionGroup a="1"><Anything><x/></Anything>text</DisruptionGroup>)", "Empty"},
              {"<DisruptionGroup/>", "Empty"},
              {"<DisruptionGroup a=1/>",
               "ERR: error while parsing attribute: position 18: attribute value must be enclosed in `\"` or `'`"},
              {"<DisruptionGroup>&bad;</DisruptionGroup>", "ERR: at 1..4: unrecognized entity `bad`"},
          });
}

TEST(Record, Root) {
    check(parse<Inner>,
          {
              {"", "ERR: unexpected `Event::Eof`"},
              {"  <!-- only a comment -->  ", "ERR: unexpected `Event::Eof`"},
              {"text<R/>", R"(ERR: invalid type: string "text", expected struct Inner)"},
              {"<?xml version=\"1.0\"?><R><B>y</B></R>", R"(Inner { a: None, b: "y" })"},
          });
}

// ------------------------------------------------------------ leaf values

TEST(Leaf, Text) {
    check(leaf<Text>,
          {
              {"  L1  ", R"(Some("L1"))"},
              {"L<!-- -->1", R"(Some("L1"))"},
              {"<![CDATA[ L1 ]]>", R"(Some(" L1 "))"},
              {"", R"(Some(""))"},
              {" \n\t ", R"(Some(""))"},
              {"a &amp; &#98;&#x63; &lt;", R"(Some("a & bc <"))"},
              {"L<x/>", R"(ERR: unexpected `Event::Start("x")`)"},
              {"<x/>L", R"(ERR: unexpected `Event::Start("x")`)"},
          });
    EXPECT_EQ(parse<One<Text>>("<R><V>L"), missing_end("V"));
}

TEST(Leaf, Numbers) {
    check(leaf<std::uint32_t>,
          {
              {"42", "Some(42)"},
              {"+42", "Some(42)"},
              {"007", "Some(7)"},
              {" 42 ", "Some(42)"},
              {"&#52;2", "Some(42)"},
              {"0", "Some(0)"},
              {"4294967295", "Some(4294967295)"},
              {"00000000004294967295", "Some(4294967295)"},
              {"4294967296", R"(ERR: invalid type: string "4294967296", expected u32)"},
              {"99999999999999999999999", R"(ERR: invalid type: string "99999999999999999999999", expected u32)"},
              {"-0", R"(ERR: invalid type: string "-0", expected u32)"},
              {"-1", R"(ERR: invalid type: string "-1", expected u32)"},
              {"", R"(ERR: invalid type: string "", expected u32)"},
              {"+", R"(ERR: invalid type: string "+", expected u32)"},
              {"++1", R"(ERR: invalid type: string "++1", expected u32)"},
              {"4 2", R"(ERR: invalid type: string "4 2", expected u32)"},
              {"4.0", R"(ERR: invalid type: string "4.0", expected u32)"},
              {"0x10", R"(ERR: invalid type: string "0x10", expected u32)"},
              // the text is quoted as the rendering writes it
              {"4&quot;\t2", R"(ERR: invalid type: string "4\"\t2", expected u32)"},
              {"4&#xa0;", R"(ERR: invalid type: string "4\u{a0}", expected u32)"},
          });
    check(leaf<std::int32_t>,
          {
              {"+42", "Some(42)"},
              {"-0", "Some(0)"},
              {"-5", "Some(-5)"},
              {"007", "Some(7)"},
              {"2147483647", "Some(2147483647)"},
              {"-2147483648", "Some(-2147483648)"},
              {"2147483648", R"(ERR: invalid type: string "2147483648", expected i32)"},
              {"-2147483649", R"(ERR: invalid type: string "-2147483649", expected i32)"},
              {"-", R"(ERR: invalid type: string "-", expected i32)"},
              {"--1", R"(ERR: invalid type: string "--1", expected i32)"},
              {"+-1", R"(ERR: invalid type: string "+-1", expected i32)"},
              {"", R"(ERR: invalid type: string "", expected i32)"},
          });
}

TEST(Leaf, Flags) {
    check(leaf<bool>,
          {
              {"true", "Some(true)"},
              {"1", "Some(true)"},
              {"false", "Some(false)"},
              {"0", "Some(false)"},
              {" true ", "Some(true)"},
              {"True", R"(ERR: invalid type: string "True", expected a boolean)"},
              {"yes", R"(ERR: invalid type: string "yes", expected a boolean)"},
              {"01", R"(ERR: invalid type: string "01", expected a boolean)"},
              {"", R"(ERR: invalid type: string "", expected a boolean)"},
          });
}

TEST(Leaf, Choices) {
    check(leaf<Colour>,
          {
              {"red", "Some(Red)"},
              {"darkBlue", "Some(DarkBlue)"},
              {" green ", "Some(Green)"},
              {"&#114;ed", "Some(Red)"},
              {"DarkBlue", "ERR: unknown variant `DarkBlue`, expected one of `red`, `darkBlue`, `green`"},
              {"", "ERR: unknown variant `$text`, expected one of `red`, `darkBlue`, `green`"},
              {"$text", "ERR: unknown variant `$text`, expected one of `red`, `darkBlue`, `green`"},
              // the text is written as it is, not escaped
              {"a&quot;b\tc", "ERR: unknown variant `a\"b\tc`, expected one of `red`, `darkBlue`, `green`"},
              {"red<X/>", R"(ERR: unexpected `Event::Start("X")`)"},
          });
    EXPECT_EQ(leaf<Side>("up"), "ERR: unknown variant `up`, expected `left` or `right`");
    EXPECT_EQ(leaf<Only>("two"), "ERR: unknown variant `two`, expected `one`");
    EXPECT_EQ(leaf<Only>("one"), "Some(One)");
    EXPECT_EQ(leaf<quorvane::VehicleMode>("Bus"),
              "ERR: unknown variant `Bus`, expected one of `air`, `bus`, `coach`, `ferry`, `metro`, `rail`, `tram`, "
              "`underground`");
}

TEST(Leaf, NameLists) {
    using quorvane::binding::name_list;
    const std::vector<std::string_view> one = {"a"}, two = {"a", "b"}, three = {"a", "b", "c"};
    EXPECT_EQ(name_list(one), "`a`");
    EXPECT_EQ(name_list(two), "`a` or `b`");
    EXPECT_EQ(name_list(three), "one of `a`, `b`, `c`");
}

TEST(Leaf, Records) {
    check(leaf<Inner>,
          {
              {"<B>b</B>", R"(Some(Inner { a: None, b: "b" }))"},
              {"own text<B>b</B>", R"(Some(Inner { a: None, b: "b" }))"},
              {"", "ERR: missing field `B`"},
          });
    check(leaf<Empty>, {{"", "Some(Empty)"}, {"x<y/>", "Some(Empty)"}});
}

// ----------------------------------------------------------- element runs

TEST(Lists, Runs) {
    const std::string none = ", items: None, other: None }";
    check(parse<Lists>,
          {
              {"<L><Reasons>a</Reasons><Reasons>b</Reasons></L>", R"(Lists { reasons: Some(["a", "b"]))" + none},
              // text between and after items is an item of a text list
              {"<L><Reasons>a</Reasons>x<Reasons>b</Reasons>y</L>",
               R"(Lists { reasons: Some(["a", "x", "b", "y"]))" + none},
              // text before the first item is the record's own
              {"<L>pre<Reasons>a</Reasons></L>", R"(Lists { reasons: Some(["a"]))" + none},
              // whitespace and comments between items are invisible
              {"<L><Reasons>a</Reasons> <!-- c --> <Reasons>b</Reasons></L>",
               R"(Lists { reasons: Some(["a", "b"]))" + none},
              {"<L><Reasons/><Reasons></Reasons></L>", R"(Lists { reasons: Some(["", ""]))" + none},
              {R"(<L><Reasons a="1">a</Reasons><Reasons b=2>b</Reasons></L>)",
               R"(Lists { reasons: Some(["a", "b"]))" + none},
              // the run is bound to the full name
              {"<L><p:Reasons>a</p:Reasons><p:Reasons>b</p:Reasons></L>", R"(Lists { reasons: Some(["a", "b"]))" + none},
              {"<L><p:Reasons>a</p:Reasons><q:Reasons>b</q:Reasons></L>", "ERR: duplicate field `Reasons`"},
              {"<L><Reasons>a</Reasons><p:Reasons>b</p:Reasons></L>", "ERR: duplicate field `Reasons`"},
              // the same name after another element
              {"<L><Reasons>a</Reasons><Other/><Reasons>b</Reasons></L>", "ERR: duplicate field `Reasons`"},
              {"<L><Reasons>a</Reasons><Unknown/><Reasons>b</Reasons></L>", "ERR: duplicate field `Reasons`"},
              {"<L><Reasons>a</Reasons><reasons/></L>", R"(Lists { reasons: Some(["a"]))" + none},
              {"<L><Reasons>a<x/></Reasons></L>", R"(ERR: unexpected `Event::Start("x")`)"},
              // input ending inside the run names the enclosing record
              {"<L><Reasons>a</Reasons>", missing_end("L")},
              {"<L><Reasons>a</Reasons>x", missing_end("L")},
              // record items
              {"<L><Item><B>1</B></Item><Item><A/><B>2</B></Item></L>",
               R"(Lists { reasons: None, items: Some([Inner { a: None, b: "1" }, Inner { a: Some(""), b: "2" }]), )"
               R"(other: None })"},
              {"<L><Item><B>1</B></Item>stray</L>", R"(ERR: invalid type: string "stray", expected struct Inner)"},
              {"<L><Item><B>1</B></Item>stray<Item><B>2</B></Item></L>",
               R"(ERR: invalid type: string "stray", expected struct Inner)"},
              {"<L><Item><B>1</B></Item><Item/></L>", "ERR: missing field `B`"},
              {"<L><Item><B>1</B></Item><Other/>stray</L>",
               R"(Lists { reasons: None, items: Some([Inner { a: None, b: "1" }]), other: Some("") })"},
          });
}

// ---------------------------------------------------------- value choices

TEST(Choices, ByText) {
    const std::string rest = ", picks: None, boxed: None }";
    check(parse<Choices>,
          {
              {"<C><Said>none</Said></C>", "Choices { said: Some(Nothing)" + rest},
              {"<C><Said> none </Said></C>", "Choices { said: Some(Nothing)" + rest},
              {"<C><Said>word</Said></C>", "ERR: invalid type: unit value, expected a string"},
              {"<C><Said>inner</Said></C>", "ERR: invalid type: unit value, expected struct Inner"},
              {"<C><Said>other</Said></C>", "ERR: unknown variant `other`, expected one of `none`, `word`, `inner`"},
              {"<C><Said/></C>", "ERR: unknown variant `$text`, expected one of `none`, `word`, `inner`"},
              {"<C><Said>none<x/></Said></C>", R"(ERR: unexpected `Event::Start("x")`)"},
              {"<C><Said>none</Said><Said>none</Said></C>", "ERR: duplicate field `Said`"},
              {"<C><Boxed> b </Boxed></C>", R"(Choices { said: None, picks: None, boxed: Some(Boxed("b")) })"},
          });
}

TEST(Choices, ByFirstChild) {
    check(parse<Choices>,
          {
              {"<C><Pick><all/></Pick><Pick><some><B>b</B></some></Pick></C>",
               R"(Choices { said: None, picks: Some([Everything, Subset(Inner { a: None, b: "b" })]), boxed: None })"},
              // the selecting element's content is passed over for a choice without value;
              // text and later children are passed over
              {"<C><Pick>t<all><x/>u</all><some/></Pick></C>",
               "Choices { said: None, picks: Some([Everything]), boxed: None }"},
              {"<C><Pick><some/></Pick></C>", "ERR: missing field `B`"},
              {"<C><Pick><Some/></Pick></C>", "ERR: unknown variant `Some`, expected `all` or `some`"},
              {"<C><Pick><p:other/></Pick></C>", "ERR: unknown variant `other`, expected `all` or `some`"},
              {"<C><Pick/></C>", "ERR: unknown variant `$text`, expected `all` or `some`"},
              {"<C><Pick>text</Pick></C>", "ERR: unknown variant `$text`, expected `all` or `some`"},
              // text right after an item
              {"<C><Pick><all/></Pick>x</C>", "ERR: unknown variant `$text`, expected `all` or `some`"},
              {"<C><Pick><all/>", missing_end("Pick")},
          });
}

// ------------------------------------------------------- shared records

TEST(Shared, Records) {
    using quorvane::FramedVehicleJourneyRef;
    using quorvane::JourneyPatternInfoGroup;
    check(parse<FramedVehicleJourneyRef>,
          {
              {R"(<FramedVehicleJourneyRef xmlns="u" a:b="1"><DataFrameRef>D</DataFrameRef>text<Other><x/></Other>)"
               R"(</FramedVehicleJourneyRef>)",
               R"(FramedVehicleJourneyRef { data_frame_ref: Some("D"), dated_vehicle_journey_ref: None })"},
              {"<F><DatedVehicleJourneyRef> J1 </DatedVehicleJourneyRef><DataFrameRef/></F>",
               R"(FramedVehicleJourneyRef { data_frame_ref: Some(""), dated_vehicle_journey_ref: Some("J1") })"},
              {"<F><DataFrameRef>a</DataFrameRef><DataFrameRef>b</DataFrameRef></F>",
               "ERR: duplicate field `DataFrameRef`"},
          });
    check(parse<JourneyPatternInfoGroup>,
          {
              {"<J><VehicleMode>bus</VehicleMode></J>", "ERR: missing field `PublishedLineName`"},
              {"<J><VehicleMode>bus</VehicleMode><PublishedLineName>L1</PublishedLineName></J>",
               "JourneyPatternInfoGroup { journey_pattern_ref: None, journey_pattern_name: None, vehicle_mode: "
               "Some(Bus), route_ref: None, published_line_name: \"L1\", direction_name: None }"},
              {"<J><PublishedLineName>L</PublishedLineName><VehicleMode/></J>",
               "ERR: unknown variant `$text`, expected one of `air`, `bus`, `coach`, `ferry`, `metro`, `rail`, `tram`, "
               "`underground`"},
          });
    check(parse<quorvane::ServiceDeliveryInfo>,
          {
              {R"(<S a="1"><X/><ProducerRef>P</ProducerRef>t</S>)",
               R"(ServiceDeliveryInfo { response_timestamp: None, producer_ref: "P", request_message_identifier: None, )"
               R"(response_message_ref: None })"},
              {"<S><ResponseTimestamp>t</ResponseTimestamp></S>", "ERR: missing field `ProducerRef`"},
          });
    EXPECT_EQ(parse<quorvane::DisruptionGroup>("<DisruptionGroup><x/></DisruptionGroup>"), "DisruptionGroup");
}

// ------------------------------------------------------------ buffer mode

// The root's buffer, filled through the buffer's interface the way a holder
// fills it when it claims none of its keys, written as (key, value) pairs.
std::string buffered(std::string_view doc) {
    using quorvane::binding::Buffer;
    using quorvane::binding::BufferNode;
    using quorvane::xml::Attributes;
    using quorvane::xml::Event;
    using quorvane::xml::Events;
    using quorvane::xml::Kind;
    try {
        Buffer buf;
        Events ev(doc);
        const Event start = ev.next();
        Attributes attrs(start);
        std::string_view k, v;
        while (attrs.next(k, v)) buf.add_attribute(k, v);
        for (bool open = true; open;) {
            const Event e = ev.next();
            switch (e.kind) {
                case Kind::Start: buf.add_child(ev, e); break;
                case Kind::Text: buf.add_text(e.data); break;
                case Kind::End: open = false; break;
                case Kind::Eof: quorvane::xml::missed_end(start.name());
            }
        }
        auto dump = [&](auto& self, std::int32_t first) -> std::string {
            std::string out = "[";
            for (std::int32_t i = first; i >= 0; i = buf.node(i).next) {
                const BufferNode& n = buf.node(i);
                if (out.size() > 1) out += ", ";
                out += "(" + buf.key_text(n) + ", ";
                out += n.kind == BufferNode::Kind::Map ? self(self, n.first) : "\"" + std::string(buf.text(n)) + "\"";
                out += ")";
            }
            return out + "]";
        };
        return dump(dump, buf.first());
    } catch (const ParseError& e) {
        return "ERR: " + e.text();
    }
}

TEST(Buffer, OrderAndShape) {
    check(buffered,
          {
              {R"(<GeneralMessageDelivery version="2.1">X<ResponseTimestamp>t</ResponseTimestamp>)"
               R"(<Other a="1">u<Y/>v</Other></GeneralMessageDelivery>)",
               R"([(@version, "2.1"), ($text, "X"), (ResponseTimestamp, [($text, "t")]), )"
               R"((Other, [(@a, "1"), ($text, "u"), (Y, []), ($text, "v")])])"},
              // two of a name: two entries; empty children: empty maps
              {"<D><X>1</X><X>2</X><E/><E></E><E>  </E></D>",
               R"([(X, [($text, "1")]), (X, [($text, "2")]), (E, []), (E, []), (E, [])])"},
              // keys as records see them; values decoded
              {R"(<D xmlns="u" xmlns:siri="s" p:a="&amp;" b="&#65;"><p:Y q:c="&lt;">&gt;</p:Y></D>)",
               R"([(@xmlns, "u"), (@xmlns:siri, "s"), (@a, "&"), (@b, "A"), (Y, [(@c, "<"), ($text, ">")])])"},
              // nothing of a buffered child is left undecoded or unchecked
              {"<D><X><y/>&bad;</X></D>", "ERR: at 1..4: unrecognized entity `bad`"},
              {R"(<D><X><y a="&bad;"/></X></D>)", "ERR: at 1..4: unrecognized entity `bad`"},
              {"<D><X><y a=1/></X></D>",
               "ERR: error while parsing attribute: position 4: attribute value must be enclosed in `\"` or `'`"},
              {"<D><X><y></X></D>", "ERR: ill-formed document: expected `</y>`, but `</X>` was found"},
              {"<D><X><y>", missing_end("y")},
          });
}

// ------------------------------------------------------------ the frame

TEST(Frame, Reading) {
    check(frame,
          {
              {delivery(R"( version="2.0")", "<ResponseTimestamp>t1</ResponseTimestamp>"),
               frame_text({.response_timestamp = "\"t1\""})},
              {delivery(R"( xmlns:siri="s" siri:version="2.0" xmlns:siri2="s" versionX="1")",
                        "<ResponseTimestamp>t1</ResponseTimestamp>"),
               frame_text({.response_timestamp = "\"t1\""})},
              {delivery(R"( xmlns="u")", "<ResponseTimestamp>t1</ResponseTimestamp>"),
               "ERR: unknown field `@xmlns`, expected " + kFrameNames},
              {delivery(R"( xmlns:xsi="u")", "<ResponseTimestamp>t1</ResponseTimestamp>"),
               "ERR: unknown field `@xmlns:xsi`, expected " + kFrameNames},
              {delivery(R"( xsi:schemaLocation="u")", "<ResponseTimestamp>t1</ResponseTimestamp>"),
               "ERR: unknown field `@schemaLocation`, expected " + kFrameNames},
              {delivery("", "<ResponseTimestamp>t1</ResponseTimestamp>text"),
               "ERR: unknown field `$text`, expected " + kFrameNames},
              {delivery("", "<ResponseTimestamp>t1</ResponseTimestamp><ErrorCondition/>"),
               "ERR: unknown field `ErrorCondition`, expected " + kFrameNames},
              // the first entry it does not accept is named, in document order
              {delivery("", "<A/><ResponseTimestamp>t1</ResponseTimestamp><B/>"),
               "ERR: unknown field `A`, expected " + kFrameNames},
              {delivery(R"( v="1")", "X<A/>"), "ERR: unknown field `@v`, expected " + kFrameNames},
              {delivery("", "<ResponseTimestamp>t1</ResponseTimestamp>X<A/>"),
               "ERR: unknown field `$text`, expected " + kFrameNames},
              // text right after the holder's own text list is an item of it, not the frame's
              {delivery("", "X<ResponseTimestamp>t1</ResponseTimestamp>"), frame_text({.response_timestamp = "\"t1\""})},
              // every field, prefixes dropped
              {delivery("",
                        "<p:ResponseTimestamp>t</p:ResponseTimestamp><RequestMessageRef>r</RequestMessageRef>"
                        "<SubscriberRef>s1</SubscriberRef><SubscriptionRef>s2</SubscriptionRef>"
                        "<ValidUntil>v</ValidUntil>"),
               frame_text({.response_timestamp = "\"t\"",
                           .request_message_ref = "Some(\"r\")",
                           .subscriber_ref = "Some(\"s1\")",
                           .subscription_ref = "Some(\"s2\")",
                           .valid_until = "Some(\"v\")"})},
              // a later entry replaces an earlier one, also with no text
              {delivery("", "<ResponseTimestamp>t1</ResponseTimestamp><ResponseTimestamp>t2</ResponseTimestamp>"),
               frame_text({.response_timestamp = "\"t2\""})},
              {delivery("", "<ResponseTimestamp>t1</ResponseTimestamp><ResponseTimestamp/>"),
               "ERR: missing field `ResponseTimestamp`"},
              {delivery("", "<ResponseTimestamp/>"), "ERR: missing field `ResponseTimestamp`"},
              {delivery("", "<ResponseTimestamp>  </ResponseTimestamp>"), "ERR: missing field `ResponseTimestamp`"},
              {delivery("", ""), "ERR: missing field `ResponseTimestamp`"},
              {delivery("", "<ResponseTimestamp>t</ResponseTimestamp><ValidUntil>v</ValidUntil><ValidUntil/>"),
               frame_text({.response_timestamp = "\"t\""})},
              // an element without text gives no value, unlike an ordinary record's empty optional text
              {delivery("", "<ResponseTimestamp>t</ResponseTimestamp><RequestMessageRef/>"),
               frame_text({.response_timestamp = "\"t\""})},
              // the last text piece of the element counts; attributes and children are ignored
              {delivery("", R"(<ResponseTimestamp>t</ResponseTimestamp><ValidUntil a="1">v<X/></ValidUntil>)"),
               frame_text({.response_timestamp = "\"t\"", .valid_until = "Some(\"v\")"})},
              {delivery("", "<ResponseTimestamp>t</ResponseTimestamp><ValidUntil>t<X/>u</ValidUntil>"),
               frame_text({.response_timestamp = "\"t\"", .valid_until = "Some(\"u\")"})},
              {delivery("", "<ResponseTimestamp>t</ResponseTimestamp><ValidUntil><X>x</X></ValidUntil>"),
               frame_text({.response_timestamp = "\"t\""})},
              {delivery("", "<ResponseTimestamp> a&amp;b </ResponseTimestamp>"),
               frame_text({.response_timestamp = "\"a&b\""})},
          });
}

// The frame sees the entries as buffered, less those an earlier group took.
TEST(Frame, KeysAsBuffered) {
    const std::string rt = "<ResponseTimestamp>t</ResponseTimestamp>";
    // keys that begin with "@version" or "@xmlns:siri" pass, also as element names
    EXPECT_EQ(frame(delivery("", rt + "<x:@version/><y:@xmlns:siri>u</y:@xmlns:siri>")),
              frame_text({.response_timestamp = "\"t\""}));
    EXPECT_EQ(frame(delivery("", rt + "<@xmlns/>")), "ERR: unknown field `@xmlns`, expected " + kFrameNames);
    check(parse<Mixed>,
          {
              {"<M>" + rt + "<Place>p</Place><Tag>a</Tag></M>",
               R"(Mixed { zone: Some(Zone { place: "p", colour: None, tags: ["a"] }), leader: )" +
                   frame_text({.response_timestamp = "\"t\""}) + " }"},
              // taken also when the group then fails
              {"<M>" + rt + "<Place>p</Place></M>",
               "Mixed { zone: None, leader: " + frame_text({.response_timestamp = "\"t\""}) + " }"},
              {"<M>" + rt + "<Place>p</Place><Tag>a</Tag><Other/></M>",
               "ERR: unknown field `Other`, expected " + kFrameNames},
          });
}

// Status and ShortestPossibleCycle keep a valid value; any other text, or
// none, leaves them absent, so that no document fails for them.
TEST(Frame, KeepsValidStatusAndCycle) {
    const std::string rt = "<ResponseTimestamp>t</ResponseTimestamp>";
    const auto with = [](std::string status, std::string cycle) {
        return frame_text({.response_timestamp = "\"t\"", .status = status, .shortest_possible_cycle = cycle});
    };
    check(frame,
          {
              {delivery("", rt + "<Status>true</Status>"), with("Some(true)", "None")},
              {delivery("", rt + "<Status> 1 </Status>"), with("Some(true)", "None")},
              {delivery("", rt + "<Status>false</Status>"), with("Some(false)", "None")},
              {delivery("", rt + "<Status>0</Status>"), with("Some(false)", "None")},
              {delivery("", rt + "<Status>yes</Status>"), with("None", "None")},
              {delivery("", rt + "<Status/>"), with("None", "None")},
              {delivery("", rt + "<Status>true</Status><Status>x</Status>"), with("None", "None")},
              {delivery("", rt + "<ShortestPossibleCycle>30</ShortestPossibleCycle>"), with("None", "Some(30)")},
              {delivery("", rt + "<ShortestPossibleCycle>+007</ShortestPossibleCycle>"), with("None", "Some(7)")},
              {delivery("", rt + "<ShortestPossibleCycle>PT10S</ShortestPossibleCycle>"), with("None", "None")},
              {delivery("", rt + "<ShortestPossibleCycle>-1</ShortestPossibleCycle>"), with("None", "None")},
              {delivery("", rt + "<ShortestPossibleCycle>4294967296</ShortestPossibleCycle>"), with("None", "None")},
              {delivery("", rt + "<ShortestPossibleCycle/>"), with("None", "None")},
          });
}

TEST(Frame, HolderComesFirst) {
    check(parse<Dlv>,
          {
              {R"(<D xmlns="u"><ResponseTimestamp>t</ResponseTimestamp><Ref>r</Ref><Line>a</Line><Line>b</Line></D>)",
               "ERR: unknown field `@xmlns`, expected " + kFrameNames},
              {"<D><Ref>r</Ref><ResponseTimestamp>t</ResponseTimestamp><Line>a</Line>x<Line>b</Line></D>",
               "Dlv { leader: " + frame_text({.response_timestamp = "\"t\""}) +
                   R"(, ref: Some("r"), lines: ["a", "x", "b"] })"},
              // the holder's missing field before the frame's error
              {R"(<D xmlns="u"><Bogus/></D>)", "ERR: missing field `Line`"},
              // its own field errors in document order, before either
              {"<D><Bogus/><Ref>a</Ref><Ref>b</Ref></D>", "ERR: duplicate field `Ref`"},
              {"<D><Ref><x/></Ref><Bogus/></D>", R"(ERR: unexpected `Event::Start("x")`)"},
              // the frame's fields are not the holder's: repeats are fine
              {"<D><Line>a</Line><ResponseTimestamp>1</ResponseTimestamp><ResponseTimestamp>2</ResponseTimestamp></D>",
               "Dlv { leader: " + frame_text({.response_timestamp = "\"2\""}) + R"(, ref: None, lines: ["a"] })"},
          });
}

// What a plain record passes over undecoded, a holder buffers and decodes.
TEST(Frame, BufferedContentIsDecoded) {
    const std::string rt = "<ResponseTimestamp>t</ResponseTimestamp>";
    check(frame,
          {
              {delivery("", rt + "<X><y/>&bad;</X>"), "ERR: at 1..4: unrecognized entity `bad`"},
              {delivery(R"( version="&bad;")", rt), "ERR: at 1..4: unrecognized entity `bad`"},
              {delivery("", rt + "<X><y a=1/></X>"),
               "ERR: error while parsing attribute: position 4: attribute value must be enclosed in `\"` or `'`"},
              {"<D><Line>l</Line>" + rt + "<X><y>", missing_end("y")},
          });
    check(parse<Inner>,
          {
              {"<R><B>b</B><X><y/>&bad;</X></R>", R"(Inner { a: None, b: "b" })"},
              {R"(<R version="&bad;"><B>b</B></R>)", R"(Inner { a: None, b: "b" })"},
          });
}

// ------------------------------------------------------ optional groups

TEST(Groups, TakeTheirValuesFromTheBuffer) {
    const std::string none = "Stop { id: None, zone: None, extra: None }";
    const auto zone = [](std::string z) { return "Stop { id: None, zone: Some(Zone { " + z + " }), extra: None }"; };
    check(parse<Stop>,
          {
              {"<S><Place>p</Place><Colour>red</Colour><Tag>a</Tag><Tag>b</Tag></S>",
               zone(R"(place: "p", colour: Some(Red), tags: ["a", "b"])")},
              // a list takes every entry of its name, in order, wherever it stands
              {"<S><Tag>a</Tag><Other/><Place>p</Place>t<Tag>b</Tag></S>",
               zone(R"(place: "p", colour: None, tags: ["a", "b"])")},
              // a child's text as a leaf reads it: trimmed, joined, decoded; attributes ignored
              {R"(<S><Place a="1"> p<!-- c -->q &amp; </Place><Tag/></S>)",
               zone(R"(place: "pq &", colour: None, tags: [""])")},
              {"<S><Place/><Tag>a</Tag></S>", zone(R"(place: "", colour: None, tags: ["a"])")},
              // a missing required element
              {"<S><Colour>red</Colour><Tag>a</Tag></S>", none},
              {"<S><Place>p</Place></S>", none},
              {"<S/>", none},
              // an element inside a field's element
              {"<S><Place>p<x/></Place><Tag>a</Tag></S>", none},
              {"<S><Place>p</Place><Tag><x>a</x></Tag></S>", none},
              // a second entry of a single field
              {"<S><Place>p</Place><Place>q</Place><Tag>a</Tag></S>", none},
              // a value its kind does not accept
              {"<S><Place>p</Place><Colour>blue</Colour><Tag>a</Tag></S>", none},
              {"<S><Place>p</Place><Colour/><Tag>a</Tag></S>", none},
              // the holder's own fields and attributes are no group's
              {R"(<S Place="x"><Id>i</Id><Place>p</Place><Tag>a</Tag></S>)",
               R"(Stop { id: Some("i"), zone: Some(Zone { place: "p", colour: None, tags: ["a"] }), extra: None })"},
          });
}

TEST(Groups, TakeEntriesOutInDeclarationOrder) {
    check(parse<Stop>,
          {
              // `Place` goes to the first group; the second no longer sees it
              {"<S><More>m</More><Place>p</Place><Tag>a</Tag></S>",
               R"(Stop { id: None, zone: Some(Zone { place: "p", colour: None, tags: ["a"] }), )"
               R"(extra: Some(Extra { place: None, more: "m" }) })"},
              // also when the first group fails after taking it
              {"<S><More>m</More><Place>p</Place></S>",
               R"(Stop { id: None, zone: None, extra: Some(Extra { place: None, more: "m" }) })"},
              {"<S><Place>p</Place></S>", "Stop { id: None, zone: None, extra: None }"},
          });
}

TEST(Groups, HolderErrorsStillCount) {
    check(parse<Stop>,
          {
              {"<S><Id>a</Id><Id>b</Id></S>", "ERR: duplicate field `Id`"},
              {"<S><Place>p&bad;</Place></S>", "ERR: at 2..5: unrecognized entity `bad`"},
              {"<S><X><y/>&bad;</X></S>", "ERR: at 1..4: unrecognized entity `bad`"},
          });
}

// ---------------------------------------------------------- nesting depth

// A buffered child as deep as the document makes it: built and freed
// without recursion, it fails or parses like any other.
TEST(Depth, MillionLevelsInABuffer) {
    constexpr std::size_t kDepth = 1000000;
    const std::string deep = repeat("<a>", kDepth) + "x" + repeat("</a>", kDepth);
    const std::string rt = "<ResponseTimestamp>t</ResponseTimestamp>";
    EXPECT_EQ(frame(delivery("", rt + deep)), "ERR: unknown field `a`, expected " + kFrameNames);
    EXPECT_EQ(frame(delivery("", rt + "<ValidUntil>v" + deep + "</ValidUntil>")),
              frame_text({.response_timestamp = "\"t\"", .valid_until = "Some(\"v\")"}));
    EXPECT_EQ(frame("<D><Line>l</Line>" + rt + repeat("<a>", kDepth)), missing_end("a"));
    EXPECT_EQ(parse<Stop>("<S><Place>p</Place><Tag>t</Tag>" + deep + "</S>"),
              R"(Stop { id: None, zone: Some(Zone { place: "p", colour: None, tags: ["t"] }), extra: None })");
    EXPECT_EQ(parse<Stop>("<S><Place>" + deep + "</Place><Tag>t</Tag></S>"),
              "Stop { id: None, zone: None, extra: None }");
}

}  // namespace
