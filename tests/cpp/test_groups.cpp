// Optional embedded groups: built from the holder's leftover buffer after
// its end tag, each buffered child read as a field element would be, and
// left absent, without an error, when they do not form a whole group.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "binding/read.hpp"
#include "binding/render.hpp"
#include "xml/error.hpp"

namespace test_groups {

using quorvane::List;
using quorvane::OptText;
using quorvane::Text;

enum class Colour : unsigned char { Red, Green };

struct Tagged {
    OptText name;
    std::uint32_t count;
    List<Text> tag;
    std::optional<List<Colour>> colour;
};

struct Labelled {
    OptText name;
    Text label;
};

struct Holder {
    Text id;
    std::optional<Tagged> tagged;
    std::optional<Labelled> labelled;
};

}  // namespace test_groups

namespace quorvane::binding {

using namespace test_groups;

template <>
inline constexpr auto declaration<Colour> = enumeration<Colour>({{"red", "Red"}, {"green", "Green"}});

template <>
inline constexpr auto declaration<Tagged> =
    record<Tagged, "Tagged">(field("name", &Tagged::name, "Name"), field("count", &Tagged::count, "Count"),
                             field("tag", &Tagged::tag, "Tag"), field("colour", &Tagged::colour, "Colour"));

template <>
inline constexpr auto declaration<Labelled> =
    record<Labelled, "Labelled">(field("name", &Labelled::name, "Name"), field("label", &Labelled::label, "Label"));

template <>
inline constexpr auto declaration<Holder> =
    record<Holder, "Holder">(field("id", &Holder::id, "Id"), group("tagged", &Holder::tagged),
                             group("labelled", &Holder::labelled));

}  // namespace quorvane::binding

namespace {

using quorvane::ParseError;

// The holder's rendering, or "ERR:" + the error.
std::string parse(const std::string& content) {
    try {
        return quorvane::binding::to_text(quorvane::binding::read_root<test_groups::Holder>("<H>" + content + "</H>"));
    } catch (const ParseError& e) {
        return "ERR:" + std::string(e.what());
    }
}

struct Case {
    const char* content;
    const char* expected;
};

const std::string kId = "<Id>i</Id>";

class GroupCases : public ::testing::TestWithParam<Case> {};

TEST_P(GroupCases, Renders) { EXPECT_EQ(parse(kId + GetParam().content), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Groups, GroupCases,
    ::testing::Values(
        // A list takes every entry of its name, also when others stand
        // between; the first group takes `Name` out of the second's reach.
        Case{"<Name>n</Name><Tag>a</Tag><Count>3</Count><Colour>red</Colour><Tag>b</Tag><Label>l</Label>"
             "<Colour>green</Colour>",
             "Holder { id: \"i\", tagged: Some(Tagged { name: Some(\"n\"), count: 3, tag: [\"a\", \"b\"], "
             "colour: Some([Red, Green]) }), labelled: Some(Labelled { name: None, label: \"l\" }) }"},
        // Attributes are ignored, text is trimmed, an empty element is the
        // empty text, text pieces around a comment are one text.
        Case{"<Count a=\"1\"> 7 </Count><Tag/><Label>x<!-- c -->y</Label><Other><Deep>z</Deep></Other>",
             "Holder { id: \"i\", tagged: Some(Tagged { name: None, count: 7, tag: [\"\"], colour: None }), "
             "labelled: Some(Labelled { name: None, label: \"xy\" }) }"},
        // Each failure leaves only its own group absent.
        Case{"<Tag>a</Tag><Label>l</Label>",
             "Holder { id: \"i\", tagged: None, labelled: Some(Labelled { name: None, label: \"l\" }) }"},
        Case{"<Count/><Tag>a</Tag>", "Holder { id: \"i\", tagged: None, labelled: None }"},
        Case{"<Count>x</Count><Tag>a</Tag>", "Holder { id: \"i\", tagged: None, labelled: None }"},
        Case{"<Count>1</Count><Count>1</Count><Tag>a</Tag>", "Holder { id: \"i\", tagged: None, labelled: None }"},
        Case{"<Count>1</Count><Tag>a<b/></Tag>", "Holder { id: \"i\", tagged: None, labelled: None }"},
        Case{"<Count>1</Count><Tag>a</Tag><Colour>blue</Colour>",
             "Holder { id: \"i\", tagged: None, labelled: None }"},
        Case{"<Count>1</Count><Tag>a</Tag><Colour/>", "Holder { id: \"i\", tagged: None, labelled: None }"},
        // Buffered content is decoded: a bad entity fails the document.
        Case{"<Other><x/>&bad;</Other>", "ERR:at 1..4: unrecognized entity `bad`"}));

TEST(Groups, HolderErrorsComeFirstAndGroupErrorsNever) {
    EXPECT_EQ(parse("<Count>x</Count>"), "ERR:missing field `Id`");
    EXPECT_EQ(parse(kId + kId), "ERR:duplicate field `Id`");
}

}  // namespace
