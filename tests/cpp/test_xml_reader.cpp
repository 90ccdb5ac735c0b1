// Behaviour of the XML event source as the record readers see it: trimming,
// joining and decoding of text, markup syntax, tag matching, attributes,
// read_text, read_to_end and what happens after the root element.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "xml/error.hpp"
#include "xml/reader.hpp"

#include "test_util.hpp"

namespace {

using namespace std::string_literals;
using quorvane::ParseError;
using quorvane::xml::Attributes;
using quorvane::xml::Event;
using quorvane::xml::Events;
using quorvane::xml::Kind;

const std::string kUnclosedComment = "syntax error: comment not closed: `-->` not found before end of input";
const std::string kUnclosedCData = "syntax error: CDATA not closed: `]]>` not found before end of input";
const std::string kUnclosedDoctype = "syntax error: DOCTYPE not closed: `>` not found before end of input";
const std::string kUnclosedPI =
    "syntax error: processing instruction or xml declaration not closed: `?>` not found before end of input";
const std::string kUnclosedTag = "syntax error: tag not closed: `>` not found before end of input";
const std::string kBadBang = "syntax error: unknown or missed symbol in markup";
const std::string kNoDoctypeName =
    "ill-formed document: `<!DOCTYPE>` declaration does not contain a name of a document type";
const std::string kCharRef = "invalid character reference: ";
const std::string kAttr = "error while parsing attribute: ";

std::string missing_end(const std::string& name) {
    return "ill-formed document: start tag not closed: `</" + name + ">` not found before end of input";
}

std::string mismatch(const std::string& open, const std::string& found) {
    return "ill-formed document: expected `</" + open + ">`, but `</" + found + ">` was found";
}

// Takes the root's start and returns its text as a leaf, or "ERR:" + the error.
std::string leaf(std::string_view doc) {
    try {
        Events ev(doc);
        const Event start = ev.next();
        if (start.kind != Kind::Start) return "NO ROOT START";
        return std::string(ev.read_text(start.name()));
    } catch (const ParseError& e) {
        return "ERR:" + e.text();
    }
}

// Dumps the event stream until end of input or an error. Elements named
// `skip` are consumed with read_to_end and shown as K(name).
std::string walk(std::string_view doc, std::string_view skip = {}) {
    std::string out;
    try {
        Events ev(doc);
        for (int i = 0; i < 10000; ++i) {
            const Event e = ev.next();
            switch (e.kind) {
                case Kind::Start:
                    if (!skip.empty() && e.name() == skip) {
                        out += "K(" + std::string(e.name()) + ") ";
                        ev.read_to_end(e.name());
                    } else {
                        out += "S(" + std::string(e.name()) + ") ";
                    }
                    break;
                case Kind::End:
                    out += "E(" + std::string(e.data) + ") ";
                    break;
                case Kind::Text:
                    out += "T(" + std::string(e.data) + ") ";
                    break;
                case Kind::Eof:
                    return out + "EOF";
            }
        }
        return out + "NO EOF";
    } catch (const ParseError& e) {
        return out + "ERR:" + e.text();
    }
}

// The error a full walk of the document ends with, or "no error".
std::string error_of(std::string_view doc) {
    const std::string out = walk(doc);
    const auto at = out.find("ERR:");
    return at == std::string::npos ? "no error" : out.substr(at + 4);
}

// The root's attributes as (key=value) pairs, followed by "ERR:" + the error if any.
std::string attrs(std::string_view doc) {
    std::string out;
    try {
        Events ev(doc);
        const Event start = ev.next();
        if (start.kind != Kind::Start) return "NO ROOT START";
        Attributes a(start);
        std::string_view key, value;
        while (a.next(key, value)) out += "(" + std::string(key) + "=" + std::string(value) + ")";
        return out;
    } catch (const ParseError& e) {
        return out + "ERR:" + e.text();
    }
}

struct Case {
    std::string doc;
    std::string want;
};

template <typename Fn>
void check(Fn fn, const std::vector<Case>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(printable(c.doc));
        EXPECT_EQ(fn(c.doc), c.want);
    }
}

TEST(XmlText, TrimsJoinsAndDecodesRuns) {
    check(leaf, {
        {"<X>a <?p?> b</X>", "a  b"},
        {"<X> x <![CDATA[y]]> z </X>", "x y z"},
        {"<X>a<!-- c -->b</X>", "ab"},
        {"<X>a<?xml version=\"1.0\"?>b</X>", "ab"},
        {"<X><![CDATA[ <&> ]]></X>", " <&> "},
        {"<X><![CDATA[&amp;]]></X>", "&amp;"},
        {"<X><![CDATA[a]]]></X>", "a]"},
        {"<X><![CDATA[a]]>  <![CDATA[b]]></X>", "a  b"},
        {"<X><![CDATA[a]]>   </X>", "a"},
        {"<X>&#32;a&#32;</X>", " a "},
        {"<X>  a &amp; b  </X>", "a & b"},
        {"<X>\t\r\n a\r\n b \n</X>", "a\r\n b"},
        // A run emptied by trimming is not "kept": the start tag still governs.
        {"<X> <!--c--> a</X>", "a"},
        // The space before the comment is followed by more text, so it stays.
        {"<X>a <!--c--> </X>", "a "},
        {"<X>a>b]]>c</X>", "a>b]]>c"},
        {"<X>a<!DOCTYPE d>b</X>", "ab"},
        {"<X></X>", ""},
        {"<X/>", ""},
        {"<X>   </X>", ""},
        {"<X><!--c--></X>", ""},
        {"<X> <?p?> </X>", ""},
        {"<X><![CDATA[]]></X>", ""},
    });
}

TEST(XmlText, ByteOrderMark) {
    check(leaf, {
        {"\xEF\xBB\xBF<X>a</X>", "a"},
        {"\xEF\xBB\xBF \n<X> a </X>", "a"},
        {"<X>\xEF\xBB\xBF" "a</X>", "\xEF\xBB\xBF" "a"},
    });
    // Only one mark is skipped; a second one is character data before the root.
    EXPECT_EQ(walk("\xEF\xBB\xBF\xEF\xBB\xBF<X/>"), "T(\xEF\xBB\xBF) S(X) E(X) EOF");
}

TEST(XmlText, DecodesReferences) {
    check(leaf, {
        {"<X>&lt;&gt;&amp;&apos;&quot;</X>", "<>&'\""},
        {"<X>&amp;lt;</X>", "&lt;"},
        {"<X>&#x41;&#65;&#x4a;&#x4A;&#0065;&#x0000000041;&#00000000000000000065;</X>", "AAJJAAA"},
        {"<X>&#1;&#x7F;&#9;</X>", "\x01\x7F\t"},
        {"<X>&#xE9;&#x1F600;&#1114111;</X>", "\xC3\xA9\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF"},
        {"<X>&#xD7FF;&#xE000;</X>", "\xED\x9F\xBF\xEE\x80\x80"},
        // Entities declared in a DOCTYPE are never used.
        {"<!DOCTYPE r [<!ENTITY e \"x\">]><X>&e;</X>", "ERR:at 1..2: unrecognized entity `e`"},
    });
}

TEST(XmlText, DecodingErrorsNameRangesInTheTrimmedPiece) {
    check(leaf, {
        {"<X>a&b</X>", "ERR:Error while escaping character at range 1..3: Cannot find ';' after '&'"},
        {"<X>&a&b;</X>", "ERR:Error while escaping character at range 0..5: Cannot find ';' after '&'"},
        {"<X>ok &amp; &</X>", "ERR:Error while escaping character at range 9..10: Cannot find ';' after '&'"},
        {"<X>  x &y; </X>", "ERR:at 3..4: unrecognized entity `y`"},
        {"<X>&;</X>", "ERR:at 1..1: unrecognized entity ``"},
        {"<X>&l t;</X>", "ERR:at 1..4: unrecognized entity `l t`"},
        {"<X>&LT;</X>", "ERR:at 1..3: unrecognized entity `LT`"},
        {"<X>&nbsp;</X>", "ERR:at 1..5: unrecognized entity `nbsp`"},
        // Offsets restart in each piece of a joined run.
        {"<X>a<![CDATA[b]]> &zz;</X>", "ERR:at 2..4: unrecognized entity `zz`"},
        {"<X>a<!---->&q;</X>", "ERR:at 1..2: unrecognized entity `q`"},
        // The text is decoded before the missing end tag is noticed.
        {"<X>a&", "ERR:Error while escaping character at range 1..2: Cannot find ';' after '&'"},
    });
}

// A text's end and whether it holds a reference are found in one scan,
// sixteen bytes at a time: a reference in the block of the closing `<` or
// in an earlier one is decoded, in a leaf read or skipped alike.
TEST(XmlText, ReferencesAtEveryBlockOffset) {
    for (const std::size_t before : {0, 1, 14, 15, 16, 17, 31}) {
        for (const std::size_t after : {0, 1, 10, 11, 16, 27}) {
            SCOPED_TRACE(std::to_string(before) + " before, " + std::to_string(after) + " after");
            const std::string x(before, 'x'), y(after, 'y');
            EXPECT_EQ(leaf("<X>" + x + "&amp;" + y + "</X>"), x + "&" + y);
            EXPECT_EQ(walk("<X>" + x + "&lt;" + y + "</X>"), "S(X) T(" + x + "<" + y + ") E(X) EOF");
            EXPECT_EQ(walk("<D><X>" + x + "&bad;" + y + "</X></D>", "X"),
                      "S(D) K(X) ERR:at " + std::to_string(before + 1) + ".." + std::to_string(before + 4) +
                          ": unrecognized entity `bad`");
        }
    }
}

TEST(XmlText, CharacterReferenceErrors) {
    const std::string sign = "ERR:" + kCharRef + "unexpected number sign";
    const std::string digit = "ERR:" + kCharRef + "invalid digit found in string";
    const std::string empty = "ERR:" + kCharRef + "cannot parse integer from empty string";
    const std::string large = "ERR:" + kCharRef + "number too large to fit in target type";
    const std::string zero = "ERR:" + kCharRef + "0x0 character is not permitted in XML";
    auto codepoint = [](const std::string& v) { return "ERR:" + kCharRef + "`" + v + "` is not a valid codepoint"; };
    const std::vector<std::pair<std::string, std::string>> refs = {
        {"&#X41;", digit},   {"&#1a;", digit},       {"&#xG;", digit},         {"&#x1g;", digit},
        {"&# 1;", digit},    {"&#1-;", digit},       {"&#-1;", sign},          {"&#+1;", sign},
        {"&#x+1;", sign},    {"&#x-1;", sign},       {"&#;", empty},           {"&#x;", empty},
        {"&#0;", zero},      {"&#x0;", zero},        {"&#000;", zero},         {"&#xD800;", codepoint("55296")},
        {"&#57343;", codepoint("57343")},            {"&#x110000;", codepoint("1114112")},
        {"&#4294967295;", codepoint("4294967295")},  {"&#xFFFFFFFF;", codepoint("4294967295")},
        {"&#4294967296;", large},                    {"&#x100000000;", large},
        {"&#99999999999;", large},
    };
    std::vector<Case> cases;
    for (const auto& [ref, want] : refs) cases.push_back({"<X>" + ref + "</X>", want});
    check(leaf, cases);
}

TEST(XmlSyntax, MarkupErrors) {
    check(error_of, {
        {"<R><!-- x</R>", kUnclosedComment},
        {"<R><!-x--></R>", kUnclosedComment},
        {"<R><!--></R>", kUnclosedComment},
        {"<R><!--->x</R>", kUnclosedComment},
        {"<R><!-", kUnclosedComment},
        {"<R><![CDATA[x</R>", kUnclosedCData},
        {"<R><![cdata[x]]></R>", kUnclosedCData},
        {"<R><![CDAT]]></R>", kUnclosedCData},
        {"<R><![", kUnclosedCData},
        {"<!DOCTYPE r", kUnclosedDoctype},
        {"<!DOCTYP r><R/>", kUnclosedDoctype},
        {"<!D><R/>", kUnclosedDoctype},
        // Quotes don't hide `<` inside a DOCTYPE, so this one never balances.
        {"<!DOCTYPE r [<!ENTITY e \"<\">]><R/>", kUnclosedDoctype},
        {"<!DOCTYPE>", kNoDoctypeName},
        {"<!doctype \t\r\n><R/>", kNoDoctypeName},
        {"<R><!x></R>", kBadBang},
        {"<R><!></R>", kBadBang},
        {"<R><!", kBadBang},
        {"<R><?p </R>", kUnclosedPI},
        {"<R><?></R>", kUnclosedPI},
        {"<R><?>x?></R>", kUnclosedPI},
        {"<R><?", kUnclosedPI},
        {"<", kUnclosedTag},
        {"<R><", kUnclosedTag},
        {"<R>a<", kUnclosedTag},
        {"<R", kUnclosedTag},
        {"<R a=\">\"", kUnclosedTag},
        {"<R a='>\"/>", kUnclosedTag},
        {"<R></R", kUnclosedTag},
        {"<R></", kUnclosedTag},
        // An unclosed comment before the root's end tag still counts.
        {"<R><!--</R>", kUnclosedComment},
    });
}

TEST(XmlSyntax, TagMatching) {
    check(error_of, {
        {"<a:X></b:X>", mismatch("a:X", "b:X")},
        {"<X></x>", mismatch("X", "x")},
        {"<X></ X>", mismatch("X", " X")},
        {"<R><A></R>", mismatch("A", "R")},
        {"<R><A/></B></R>", mismatch("R", "B")},
        {"</X>", "ill-formed document: close tag `</X>` does not match any open tag"},
        {"<!--c--></X \t>", "ill-formed document: close tag `</X>` does not match any open tag"},
        {"<X></X >", "no error"},
        {"<X></X\t\r\n>", "no error"},
    });
}

TEST(XmlEvents, Streams) {
    check([](const std::string& d) { return walk(d); },
          {
              {"", "EOF"},
              {" \t\r\n", "EOF"},
              {"<!--a--><?p?>", "EOF"},
              {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!-- c -->\n<!DOCTYPE R>\n<R/>", "S(R) E(R) EOF"},
              {"<!doctype r><!DocType r [<!ENTITY e \"x\">]><!DOCTYPEr><R/>", "S(R) E(R) EOF"},
              {"<R/>", "S(R) E(R) EOF"},
              {"<R />", "S(R) E(R) EOF"},
              {"<R a=\"/\"/>", "S(R) E(R) EOF"},
              {"<R\ta=\"1\"></R>", "S(R) E(R) EOF"},
              {"<R a=\">\" b='>'>t</R>", "S(R) T(t) E(R) EOF"},
              {"<R> <A/> <B>t</B> </R>", "S(R) S(A) E(A) S(B) T(t) E(B) E(R) EOF"},
              {"<R><A/> t </R>", "S(R) S(A) E(A) T(t) E(R) EOF"},
              {"<p:R xmlns:q=\"u\"><q:A/></p:R>", "S(p:R) S(q:A) E(q:A) E(p:R) EOF"},
              {"<R><A/><!DOCTYPE d> <B/></R>", "S(R) S(A) E(A) S(B) E(B) E(R) EOF"},
              {"<R><!---->x<!-- a -- b > -->y</R>", "S(R) T(xy) E(R) EOF"},
              {"<R><?\?><?p a>b?>x</R>", "S(R) T(x) E(R) EOF"},
              {" hi <R/>", "T(hi) S(R) E(R) EOF"},
              // End of input inside an element is reported as end of input;
              // the record readers turn it into the missing-end error.
              {"<R><A>", "S(R) S(A) EOF"},
          });
}

// Tags and indentation are scanned sixteen bytes at a time: names, values
// and whitespace that end before, at and after a block's edge.
TEST(XmlEvents, WideScansAcrossBlockEdges) {
    const std::string n15(15, 'a'), n16(16, 'b'), n17(17, 'c'), n40(40, 'd');
    const std::string s15(15, ' '), s16 = "\n" + std::string(15, '\t'), s17 = "\r\n" + std::string(15, ' ');
    check([](const std::string& d) { return walk(d); },
          {
              {"<" + n15 + "/>", "S(" + n15 + ") E(" + n15 + ") EOF"},
              {"<" + n16 + "></" + n16 + ">", "S(" + n16 + ") E(" + n16 + ") EOF"},
              {"<" + n17 + " a='1'/>", "S(" + n17 + ") E(" + n17 + ") EOF"},
              {"<" + n40 + "\n  a=\"" + n40 + ">\"  b='\"'/>", "S(" + n40 + ") E(" + n40 + ") EOF"},
              {"<R a=\"" + n16 + "\" b='" + n17 + ">'>t</R>", "S(R) T(t) E(R) EOF"},
              // Control bytes other than whitespace belong to the name.
              {"<" + n17 + "\x01" + n15 + "/>", "S(" + n17 + "\x01" + n15 + ") E(" + n17 + "\x01" + n15 + ") EOF"},
              {"<" + n15 + "\x1f" + n17 + " a=''/>", "S(" + n15 + "\x1f" + n17 + ") E(" + n15 + "\x1f" + n17 + ") EOF"},
              {"<R>" + s15 + "<A/>" + s16 + "<B/>" + s17 + "</R>", "S(R) S(A) E(A) S(B) E(B) E(R) EOF"},
              {"<R>" + s17 + "x" + s16 + "</R>", "S(R) T(x) E(R) EOF"},
              {"<R>" + s16 + "x y" + s15 + "z" + s17 + "</R>", "S(R) T(x y" + s15 + "z) E(R) EOF"},
              {"<R>" + std::string(31, ' ') + "x</R>", "S(R) T(x) E(R) EOF"},
              {"<R>" + std::string(32, '\n') + "</R>", "S(R) E(R) EOF"},
          });
    // An end tag that repeats the open name is taken at once, unless a
    // quote in an open name could move where the tag ends.
    check([](const std::string& d) { return walk(d); },
          {
              {"<R><ab></ab ></R>", "S(R) S(ab) E(ab) E(R) EOF"},
              {"<R><ab></abc></R>", "S(R) S(ab) ERR:" + mismatch("ab", "abc")},
              {"<R><a\"b\"></a\"b\"></R>", "S(R) S(a\"b\") E(a\"b\") E(R) EOF"},
              {"<R><a\" c=\"></a\"></R>", "S(R) S(a\") ERR:" + kUnclosedTag},
              {"<R><a\" c=\"></a\"><b></b></R>", "S(R) S(a\") ERR:" + kUnclosedTag},
          });
}

// An end tag is compared with the open name sixteen bytes at a time where
// the name has at most 32 and the input has room after it, else bytewise:
// names of each width that differ in their last byte only are a mismatch,
// with room and without, read as events, as a leaf and while skipping.
TEST(XmlEvents, EndTagNamesOfEveryCompareWidth) {
    for (const std::size_t n : {1, 15, 16, 17, 31, 32, 33, 40}) {
        const std::string open(n, 'a');
        const std::string other = std::string(n - 1, 'a') + "b";
        for (const std::string& after : {std::string(), std::string(40, ' ')}) {
            SCOPED_TRACE(std::to_string(n) + " bytes, " + std::to_string(after.size()) + " after");
            const std::string bad = "<" + open + ">t</" + other + ">" + after;
            EXPECT_EQ(walk("<R>" + bad), "S(R) S(" + open + ") T(t) ERR:" + mismatch(open, other));
            EXPECT_EQ(walk("<R>" + bad, open), "S(R) K(" + open + ") ERR:" + mismatch(open, other));
            EXPECT_EQ(leaf(bad), "ERR:" + mismatch(open, other));
            const std::string good = "<" + open + ">t</" + open + ">" + after;
            EXPECT_EQ(walk("<R>" + good + "</R>"), "S(R) S(" + open + ") T(t) E(" + open + ") E(R) EOF");
            EXPECT_EQ(walk("<R>" + good + "</R>", open), "S(R) K(" + open + ") E(R) EOF");
            EXPECT_EQ(leaf(good), "t");
        }
    }
}

TEST(XmlEvents, NothingAfterTheRootIsRead) {
    check([](const std::string& d) { return walk(d); },
          {
              {"<R/><S/>", "S(R) E(R) EOF"},
              {"<R></R>trailing", "S(R) E(R) EOF"},
              {"<R></R><!--", "S(R) E(R) EOF"},
              {"<R></R></Q>", "S(R) E(R) EOF"},
              {"<R></R><", "S(R) E(R) EOF"},
              {"<R/>&bad;", "S(R) E(R) EOF"},
              {"<R/><!x", "S(R) E(R) EOF"},
              {"<R>a</R><", "S(R) T(a) E(R) EOF"},
          });
    Events ev("<R/>junk<");
    ev.next();
    ev.next();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ev.peek().kind, Kind::Eof);
        EXPECT_EQ(ev.next().kind, Kind::Eof);
    }
}

TEST(XmlEvents, PeekIsTakenByTheNextCall) {
    Events ev("<R><X> a </X><Y>b</Y></R>");
    EXPECT_EQ(ev.peek().name(), "R");
    EXPECT_EQ(ev.peek().name(), "R");
    EXPECT_EQ(ev.next().name(), "R");
    const Event x = ev.next();
    ASSERT_EQ(x.kind, Kind::Start);
    EXPECT_EQ(ev.peek().kind, Kind::Text);
    EXPECT_EQ(ev.read_text(x.name()), "a");
    EXPECT_EQ(ev.next().name(), "Y");
    EXPECT_EQ(ev.peek().data, "b");
    EXPECT_EQ(ev.next().data, "b");
    EXPECT_EQ(ev.next().kind, Kind::End);
    EXPECT_EQ(ev.next().kind, Kind::End);
    EXPECT_EQ(ev.next().kind, Kind::Eof);
}

TEST(XmlEvents, DecodedTextSurvivesOneFurtherTextEvent) {
    Events ev("<R><A>&amp;1</A><B>x<![CDATA[2]]></B></R>");
    ev.next();
    ev.next();
    const Event first = ev.next();
    ASSERT_EQ(first.kind, Kind::Text);
    ev.next();
    ev.next();
    const Event second = ev.next();
    ASSERT_EQ(second.kind, Kind::Text);
    EXPECT_EQ(first.data, "&1");
    EXPECT_EQ(second.data, "x2");
}

TEST(XmlAttributes, Pairs) {
    check(attrs, {
        {"<R>", ""},
        {"<R/>", ""},
        {"<R  >", ""},
        {"<R a=\"1\" b='2'>", "(a=1)(b=2)"},
        {"<R a=\"1\"b=\"2\"/>", "(a=1)(b=2)"},
        {"<R a = \"1\">", "(a=1)"},
        {"<R\ta=\n'x\"y'\r>", "(a=x\"y)"},
        {"<R a=\"&bad;<\" b=\"\">", "(a=&bad;<)(b=)"},
        {"<R p:a=\"1\" a=\"2\" q:a=\"3\">", "(p:a=1)(a=2)(q:a=3)"},
        {"<R a=\">\" b='>'>", "(a=>)(b=>)"},
        {"<R a=\"/\"/>", "(a=/)"},
    });
}

TEST(XmlAttributes, ErrorsWithPositions) {
    const std::string eq = " attribute key must be directly followed by `=` or space";
    const std::string value = " `=` must be followed by an attribute value";
    const std::string quoted = " attribute value must be enclosed in `\"` or `'`";
    check(attrs, {
        {"<R a=\"1\" a=\"2\">",
         "(a=1)ERR:" + kAttr + "position 8: duplicated attribute, previous declaration at position 2"},
        {"<R a=\"1\" b=\"2\" a=\"3\">",
         "(a=1)(b=2)ERR:" + kAttr + "position 14: duplicated attribute, previous declaration at position 2"},
        {"<R a=\"1\" a = \"2\">",
         "(a=1)ERR:" + kAttr + "position 8: duplicated attribute, previous declaration at position 2"},
        {"<R a=\"1\"a=\"2\"/>",
         "(a=1)ERR:" + kAttr + "position 7: duplicated attribute, previous declaration at position 2"},
        {"<R a>", "ERR:" + kAttr + "position 3:" + eq},
        {"<R a/>", "ERR:" + kAttr + "position 3:" + eq},
        {"<R a >", "ERR:" + kAttr + "position 4:" + eq},
        {"<R a b=\"1\">", "ERR:" + kAttr + "position 4:" + eq},
        {"<R x=\"1\" b>", "(x=1)ERR:" + kAttr + "position 9:" + eq},
        {"<R a=1>", "ERR:" + kAttr + "position 4:" + quoted},
        {"<R a= 1>", "ERR:" + kAttr + "position 5:" + quoted},
        {"<R a=>", "ERR:" + kAttr + "position 4:" + value},
        {"<R a=  >", "ERR:" + kAttr + "position 6:" + value},
        {"<R a=/>", "ERR:" + kAttr + "position 4:" + value},
        // The quote in the key balances the tag, leaving the value unclosed.
        {"<R a\"b='x\">", "ERR:" + kAttr + "position 9: missing closing quote `'` in attribute value"},
        {"<R a'b=\"x'>", "ERR:" + kAttr + "position 9: missing closing quote `\"` in attribute value"},
    });
}

// The first few keys are kept in place, the rest in a list: a duplicate is
// found on either side of that edge.
TEST(XmlAttributes, DuplicatesAroundTheFirstFew) {
    const auto tag = [](int count, const std::string& extra) {
        std::string doc = "<R";
        for (int i = 0; i < count; ++i) doc += " k" + std::to_string(i) + "=''";
        return doc + extra + ">";
    };
    const auto dup = [](std::size_t at, std::size_t earlier) {
        return "ERR:" + kAttr + "position " + std::to_string(at) + ": duplicated attribute, previous declaration at position " +
               std::to_string(earlier);
    };
    std::string eight;
    for (int i = 0; i < 8; ++i) eight += "(k" + std::to_string(i) + "=)";
    check(attrs, {
        {tag(8, ""), eight},
        {tag(7, " k0=''"), eight.substr(0, 7 * 5) + dup(44, 2)},
        {tag(8, " k0=''"), eight + dup(50, 2)},
        {tag(8, " k7=''"), eight + dup(50, 44)},
        {tag(9, " k8=''"), eight + "(k8=)" + dup(56, 50)},
        {tag(9, " k3=''"), eight + "(k8=)" + dup(56, 20)},
    });
}

TEST(XmlAttributes, ManyAttributesAndLateDuplicate) {
    constexpr int kCount = 100000;
    std::string doc = "<R";
    std::size_t middle_key = 0;
    for (int i = 0; i < kCount; ++i) {
        doc += ' ';
        if (i == kCount / 2) middle_key = doc.size() - 1;  // offset in the tag content
        doc += "a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    }
    const std::size_t dup_key = doc.size();  // after " ", minus the '<'
    const std::string closed = doc + ">";

    Events ev(closed);
    const Event start = ev.next();
    Attributes a(start);
    std::string_view key, value;
    int n = 0;
    std::string_view last;
    while (a.next(key, value)) {
        ++n;
        last = value;
    }
    EXPECT_EQ(n, kCount);
    EXPECT_EQ(last, std::to_string(kCount - 1));

    const std::string with_dup = doc + " a" + std::to_string(kCount / 2) + "=\"x\">";
    const std::string got = attrs(with_dup);
    const auto err = got.find("ERR:");
    ASSERT_NE(err, std::string::npos);
    EXPECT_EQ(got.substr(err), "ERR:" + kAttr + "position " + std::to_string(dup_key) +
                                   ": duplicated attribute, previous declaration at position " +
                                   std::to_string(middle_key));
}

TEST(XmlReadText, Errors) {
    check(leaf, {
        {"<X>a<b/>c</X>", "ERR:unexpected `Event::Start(\"b\")`"},
        {"<X><b/></X>", "ERR:unexpected `Event::Start(\"b\")`"},
        {"<X>a<b/></X>", "ERR:unexpected `Event::Start(\"b\")`"},
        {"<X><b>c</b>a</X>", "ERR:unexpected `Event::Start(\"b\")`"},
        {"<X><p:b x='1'/></X>", "ERR:unexpected `Event::Start(\"p:b\")`"},
        {"<X><\xC3\xA9/></X>", "ERR:unexpected `Event::Start(\"0xC30xA9\")`"},
        {"<X><a\x7F\x05~\\/></X>", "ERR:unexpected `Event::Start(\"a0x7F0x5~\\\")`"},
        {"<X><a\"b\"/></X>", "ERR:unexpected `Event::Start(\"a\\\"b\\\"\")`"},
        {"<X><a\0b/></X>"s, "ERR:unexpected `Event::Start(\"a0x0b\")`"},
        {"<X>abc", "ERR:" + missing_end("X")},
        {"<X>", "ERR:" + missing_end("X")},
        {"<X><!-- c -->", "ERR:" + missing_end("X")},
        {"<X>a</Y>", "ERR:" + mismatch("X", "Y")},
        // Attributes of a leaf are never examined.
        {"<X a=1 a=1>v</X>", "v"},
    });
}

TEST(XmlReadToEnd, Skips) {
    check([](const std::string& d) { return walk(d, "R"); },
          {
              {"<R/>", "K(R) EOF"},
              {"<D><R><R/><R>x</R></R><N/></D>", "S(D) K(R) S(N) E(N) E(D) EOF"},
              // Only the leading text run is decoded.
              {"<R>&bad;<A/></R>", "K(R) ERR:at 1..4: unrecognized entity `bad`"},
              {"<R>  &#0;  </R>", "K(R) ERR:" + kCharRef + "0x0 character is not permitted in XML"},
              {"<R><A/>&bad;</R>", "K(R) EOF"},
              {"<R><A>&bad;</A>&bad;</R>", "K(R) EOF"},
              {"<R>a<!DOCTYPE d>&bad;</R>", "K(R) EOF"},
              {"<R><A a=1 a=1/></R>", "K(R) EOF"},
              // Markup errors still apply while skipping.
              {"<R><A></B></R>", "K(R) ERR:" + mismatch("A", "B")},
              {"<D><R><R></R></D>", "S(D) K(R) ERR:" + mismatch("R", "D")},
              {"<R>x<!-- </R>", "K(R) ERR:" + kUnclosedComment},
              {"<R><A/><![CDATA[</R>", "K(R) ERR:" + kUnclosedCData},
              // End of input names the element being skipped at that point.
              {"<R><Other>", "K(R) ERR:" + missing_end("Other")},
              {"<R><A></A>", "K(R) ERR:" + missing_end("R")},
              {"<R>text", "K(R) ERR:" + missing_end("R")},
              {"<R>", "K(R) ERR:" + missing_end("R")},
              // Skipping the root ends the document; what follows is not read.
              {"<R><A/></R><!x", "K(R) EOF"},
              {"<R></R><<<", "K(R) EOF"},
          });
    check([](const std::string& d) { return walk(d, "p:A"); },
          {
              {"<D><p:A><A></A><p:A/></p:A><A/></D>", "S(D) K(p:A) S(A) E(A) E(D) EOF"},
          });
    // After a skip, text is trimmed as after any end tag.
    check([](const std::string& d) { return walk(d, "A"); },
          {
              {"<D><A> x </A> y </D>", "S(D) K(A) T(y) E(D) EOF"},
              {"<D><A><B/> x</A> y </D>", "S(D) K(A) T(y) E(D) EOF"},
              {"<D><A><B/></A><C/></D>", "S(D) K(A) S(C) E(C) E(D) EOF"},
          });
}

TEST(XmlReadToEnd, MillionLevelsDeep) {
    constexpr std::size_t kDepth = 1000000;
    std::string doc;
    doc.reserve(kDepth * 7);
    for (std::size_t i = 0; i < kDepth; ++i) doc += "<A>";
    const std::string unclosed = doc;
    for (std::size_t i = 0; i < kDepth; ++i) doc += "</A>";
    EXPECT_EQ(walk(doc, "A"), "K(A) EOF");
    EXPECT_EQ(walk(unclosed, "A"), "K(A) ERR:" + missing_end("A"));
}

TEST(XmlBytes, NulBytesAreOrdinary) {
    check(leaf, {
        {"<X>a\0b</X>"s, "a\0b"s},
        {"<X>\0</X>"s, "\0"s},
        {"<X>&#65;\0&amp;</X>"s, "A\0&"s},
    });
    check([](const std::string& d) { return walk(d); },
          {
              {"<a\0b></a\0b>"s, "S(a\0b) E(a\0b) EOF"s},
              {"<a\0b></a\0c>"s, "S(a\0b) ERR:"s + mismatch("a\0b"s, "a\0c"s)},
          });
    check(attrs, {
        {"<R k\0=\"v\0\" k\0x=\"\">"s, "(k\0=v\0)(k\0x=)"s},
        {"<R a\0b=\"\" a\0b=\"\">"s,
         "(a\0b=)ERR:"s + kAttr + "position 9: duplicated attribute, previous declaration at position 2"},
    });
}

TEST(XmlBytes, NeverReadsPastTheEndOfTheInput) {
    // Each input is a prefix of a longer buffer whose remainder would change the result.
    struct Cut {
        std::string buffer;
        std::size_t len;
        std::string want;
    };
    const std::vector<Cut> cuts = {
        {"<X>ab</X>", 5, "ERR:" + missing_end("X")},
        {"<X>a&amp;</X>", 7, "ERR:Error while escaping character at range 1..4: Cannot find ';' after '&'"},
        {"<X><!-- a --></X>", 12, "ERR:" + kUnclosedComment},
        {"<X><![CDATA[a]]></X>", 15, "ERR:" + kUnclosedCData},
        {"<X a='1'></X>", 8, "ERR:" + kUnclosedTag},
        {"<X></X>", 6, "ERR:" + kUnclosedTag},
        {"<ABCDEFGHIJKLMNOPQRSTUVW></ABCDEFGHIJKLMNOPQRSTUVW>", 20, "ERR:" + kUnclosedTag},
        {"<ABCDEFGHIJKLMNOPQRSTUVW a='>'></ABCDEFGHIJKLMNOPQRSTUVW>", 29, "ERR:" + kUnclosedTag},
        {"<X>" + std::string(20, ' ') + "ab</X>", 23, "ERR:" + missing_end("X")},
    };
    for (const auto& c : cuts) {
        SCOPED_TRACE(c.buffer.substr(0, c.len));
        EXPECT_EQ(leaf(std::string_view(c.buffer).substr(0, c.len)), c.want);
    }
}

}  // namespace
