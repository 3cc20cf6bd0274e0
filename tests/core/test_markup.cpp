// The markup engine: parsing and its error texts, navigation, reading and writing attributes and
// text, the exact layout of what it writes, and its behaviour on hostile input.
#include "markup/CMarkup.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kDeclaration = R"(<?xml version="1.0" encoding="windows-1250"?>)";

// One line of an element as the engine writes it.
std::string Line(std::string_view text)
{
    return std::string(text) + "\r\n";
}

// Every element below the current position, in document order, as "depth:id:text" where id is
// the element's "id" attribute. With takeCurrent the walk begins with the current child
// itself. Walking this way reads every record it passes, so comparing the walk of an edited
// document with the walk of its text parsed afresh shows any record that an edit left pointing
// at the wrong place.
std::vector<std::string> Walk(CMarkup& xml, bool takeCurrent = false)
{
    std::vector<std::string> seen;
    int depth = 0;
    for (;;) {
        if (takeCurrent || xml.FindChildElement()) {
            takeCurrent = false;
            seen.push_back(std::to_string(depth) + ":" + xml.GetChildAttribute("id") + ":"
                           + xml.GetChildText());
            xml.EnterElement();
            ++depth;
        } else if (depth > 0) {
            xml.LeaveElement();
            --depth;
        } else {
            return seen;
        }
    }
}

// The positions only move forward, so an edited document can be walked in memory from the child
// of the root that the positions lead back to, onwards. That walk must be the tail of the walk of
// the same text parsed afresh; with `whole` it must be all of it.
void ExpectIndexMatchesText(const CMarkup& xml, bool whole = false)
{
    CMarkup fresh(xml.GetDocument());
    std::vector<std::string> expected = Walk(fresh);

    CMarkup copy = xml; // the caller's positions stay where they were
    while (copy.LeaveElement()) {
    }
    CMarkup probe = copy;
    const bool hasChild = probe.EnterElement() && probe.EnterElement();
    const std::vector<std::string> inMemory = Walk(copy, hasChild);
    ASSERT_LE(inMemory.size(), expected.size());
    if (whole) {
        EXPECT_EQ(inMemory.size(), expected.size());
    }
    expected.erase(expected.begin(), expected.end() - static_cast<std::ptrdiff_t>(inMemory.size()));
    EXPECT_EQ(inMemory, expected);
}

// ---------------------------------------------------------------------------------------------
// Parsing

TEST(MarkupParse, SkipsWhatIsNotAnElementAndIgnoresWhatFollowsTheRoot)
{
    const std::string text =
        std::string(kDeclaration) + "\r\n<!-- saved <by> hand -->\r\n"
        + "<!DOCTYPE Zembra [ <!ELEMENT Zembra ANY> <!ATTLIST Zembra Version CDATA \"1\"> ]>\r\n"
        + "<Zembra Version=\"7\"><?pi <a> ?><!-- <b id=\"no\"/> --><![CDATA[ <c id=\"no\"/> ]]>"
        + "<Alarm id=\"a\"/></Zembra>\r\n<b id=\"2\"/><unclosed <<<";
    CMarkup xml(text);
    ASSERT_TRUE(xml.FindElement("Zembra")) << xml.GetLastError();
    // Special nodes between children are skipped too.
    ASSERT_TRUE(xml.FindChildElement());
    EXPECT_EQ(xml.GetChildAttribute("id"), "a");
    EXPECT_FALSE(xml.FindChildElement());
    // A second top-level element is never read, and the position stays on the root.
    EXPECT_FALSE(xml.FindElement("b"));
    EXPECT_EQ(xml.GetAttribute("Version"), "7");
    EXPECT_EQ(xml.GetDocument(), text);
}

struct ErrorCase {
    const char* name;
    const char* text;
    const char* message;
};

class MarkupParseError : public testing::TestWithParam<ErrorCase> {};

// A failed parse keeps the text but no element to find or change; only a root can be added, at
// the end of the text, and the next successful parse clears the error.
TEST_P(MarkupParseError, FailsWithMessage)
{
    CMarkup xml;
    EXPECT_FALSE(xml.SetDocument(GetParam().text));
    EXPECT_EQ(xml.GetLastError(), GetParam().message);
    EXPECT_FALSE(xml.FindChildElement());
    EXPECT_FALSE(xml.AddChildElement("c"));
    EXPECT_FALSE(xml.SetAttribute("x", "1"));
    ASSERT_TRUE(xml.AddElement("Zembra"));
    EXPECT_EQ(xml.GetDocument(), GetParam().text + Line("<Zembra/>"));
    EXPECT_TRUE(xml.SetDocument("<a/>"));
    EXPECT_EQ(xml.GetLastError(), "");
}

// "End tag of %s element not found" and "Expecting end tag of element %s" cannot come out of a
// parse: the content scan stops only at a "</" that the end-tag check then starts from.
INSTANTIATE_TEST_SUITE_P(
    Messages, MarkupParseError,
    testing::Values(
        ErrorCase{"NoTagAtAll", "no tags at all", "Element tag not found"},
        ErrorCase{"EndWithinATag", "<", "Abrupt end within tag"},
        ErrorCase{"NameInQuotes", "<\"a\">", "Tag starts with quote"},
        ErrorCase{"CommentNeverClosed", "<!-- never closed", "Invalid node"},
        ErrorCase{"CdataNeverClosed", "<a><![CDATA[ x ]]</a>", "Invalid node"},
        ErrorCase{"StartTagNeverClosed", "<a><b x=\"1\"", "End of tag not found"},
        ErrorCase{"ChildNeverClosed", "<a><b></a>", "End tag does not correspond to b"},
        ErrorCase{"EndTagInOtherCase", "<Alarm></alarm>", "End tag does not correspond to Alarm"},
        ErrorCase{"EndTagAPrefix", "<ab></a>", "End tag does not correspond to ab"},
        ErrorCase{"EndTagNotCompleted", "<a></a", "End tag not completed for element a"},
        // The start tag ends at the first '>', quoted or not.
        ErrorCase{"GreaterThanInAQuotedValue", "<r><a x=\"1>2\"/></r>",
                  "End tag does not correspond to a"}),
    [](const auto& c) { return std::string(c.param.name); });

// The parser keeps a stack of its own: nesting far deeper than any call stack parses, and the
// same nesting left open or with a wrong end tag at the very bottom is refused without a crash.
// Random bytes are the fuzz target's.
TEST(MarkupParse, DeepNestingParsesAndFailsWithoutExhaustingTheStack)
{
    std::string open;
    std::string close;
    for (int i = 0; i < 200000; ++i) {
        open += "<a>";
        close += "</a>";
    }
    CMarkup xml;
    EXPECT_FALSE(xml.SetDocument(open));
    EXPECT_EQ(xml.GetLastError(), "Element tag not found");
    EXPECT_TRUE(xml.SetDocument(open + "<leaf>x</leaf>" + close)) << xml.GetLastError();
    EXPECT_FALSE(xml.SetDocument(open + "<leaf>x</leap>" + close));
    EXPECT_EQ(xml.GetLastError(), "End tag does not correspond to leaf");
}

// ---------------------------------------------------------------------------------------------
// Navigation

TEST(MarkupNavigation, FindEnterAndLeaveMoveThePositions)
{
    CMarkup xml("<r id=\"r\"><Alarm id=\"1\"><b/></Alarm><Alarms id=\"2\"/><Alarm id=\"3\"/>"
                "<alarm id=\"4\"/></r>");
    EXPECT_FALSE(xml.EnterElement());
    // Without a current element the root becomes current; names match whole and by case.
    EXPECT_FALSE(xml.FindChildElement("Ala"));
    EXPECT_EQ(xml.GetAttribute("id"), "r");
    EXPECT_FALSE(xml.LeaveElement()); // the root has no parent position
    ASSERT_TRUE(xml.FindChildElement("Alarm"));
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.FindChildElement("b"));
    // Leaving makes the element the child again, and the search goes on after it.
    ASSERT_TRUE(xml.LeaveElement());
    ASSERT_TRUE(xml.FindChildElement("Alarm"));
    EXPECT_EQ(xml.GetChildAttribute("id"), "3");
    // Nothing more: the position stays on the last one found.
    EXPECT_FALSE(xml.FindChildElement("Alarm"));
    EXPECT_EQ(xml.GetChildAttribute("id"), "3");
    ASSERT_TRUE(xml.FindChildElement());
    EXPECT_EQ(xml.GetChildAttribute("id"), "4");
}

// ---------------------------------------------------------------------------------------------
// Attributes and text

TEST(MarkupAttribute, QuotedValuesAreReadAndDecoded)
{
    struct Case {
        const char* document;
        const char* name;
        const char* value;
    };
    for (const Case& c :
         {Case{"<a x='1'/>", "x", "1"}, Case{"<a x=1/>", "x", ""},
          Case{"<a x = \"sp aced\"/>", "x", "sp aced"},
          // The tag ends at the first '>', but reading an attribute follows the quotes.
          Case{"<a x=\"1>2\">t</a>", "x", "1>2"}, Case{"<a x=1 x=\"2\"/>", "x", "2"},
          Case{"<a xy=\"1\"/>", "x", ""}, Case{"<a X=\"2\"/>", "x", ""},
          Case{"<a v=\"&lt;&#65;&amp;\"/>", "v", "<&#65;&"},
          Case{"<a w=\"&lt;&amp;&gt;&apos;&quot;\"/>", "w", "<&>'\""},
          Case{"<a u=\"&lt &nbsp; &amp\"/>", "u", "&lt &nbsp; &amp"},
          // The search stops at the end of the start tag.
          Case{"<a> x=\"1\" </a>", "x", ""}}) {
        CMarkup xml(c.document);
        ASSERT_TRUE(xml.FindElement()) << c.document;
        EXPECT_EQ(xml.GetAttribute(c.name), c.value) << c.document;
    }
}

TEST(MarkupText, ChildTextKeepsBlanksDecodesAndTakesCdataAsItStands)
{
    CMarkup xml("<r><c>  x  </c><d>a &lt; b &amp;amp; &#65;</d><e>\r\n\tline</e>"
                "<f>before<x/>after</f><g/><h><![CDATA[a<b]]></h><i>x<![CDATA[y]]></i></r>");
    for (const char* text :
         {"  x  ", "a < b &amp; &#65;", "\r\n\tline", "", "", "a<b", "x<![CDATA[y]]>"}) {
        ASSERT_TRUE(xml.FindChildElement()) << text;
        EXPECT_EQ(xml.GetChildText(), text);
    }
}

// ---------------------------------------------------------------------------------------------
// Adding elements and setting attributes. After every edit, ExpectIndexMatchesText reads each
// element behind it back through the records, so that nothing has to be looked up again by hand.

// A child added after the current child starts where the next tag started, so blanks before that
// tag now stand before the new one; AddElement puts an element after the current one.
TEST(MarkupAdd, AfterTheCurrentOneTheNewElementStartsWhereTheNextTagStarted)
{
    CMarkup xml(Line("<r>") + Line("<a id=\"a\"/>") + "  \t" + Line("<b id=\"b\">")
                + Line("<c id=\"c\">text</c>") + Line("</b>") + Line("</r>"));
    ASSERT_TRUE(xml.FindChildElement("a"));
    ASSERT_TRUE(xml.AddChildElement("n", "new"));
    ASSERT_TRUE(xml.SetChildAttribute("id", "n"));
    ASSERT_TRUE(xml.EnterElement()); // n is current, r the parent
    ASSERT_TRUE(xml.AddElement("m", "a<b>&'\"\r\n\t\xc5\x9b"));
    ASSERT_TRUE(xml.SetAttribute("id", "m"));
    EXPECT_EQ(xml.GetDocument(),
              Line("<r>") + Line("<a id=\"a\"/>") + "  \t" + Line("<n id=\"n\">new</n>")
                  + Line("<m id=\"m\">a&lt;b&gt;&amp;'\"\r\n\t\xc5\x9b</m>") + Line("<b id=\"b\">")
                  + Line("<c id=\"c\">text</c>") + Line("</b>") + Line("</r>"));
    ExpectIndexMatchesText(xml);
    ASSERT_TRUE(xml.LeaveElement());
    EXPECT_FALSE(xml.AddElement("second")); // one root only
}

TEST(MarkupAdd, InsertionsInTheMiddleKeepEveryRecordInPlace)
{
    CMarkup xml(Line("<r>") + Line("<a id=\"0\"><b id=\"0\">t0</b><b id=\"1\">t1</b></a>")
                + Line("<a id=\"1\"><b id=\"10\">t0</b><b id=\"11\">t1</b></a>")
                + Line("<a id=\"2\"><b id=\"20\">t0</b><b id=\"21\">t1</b></a>") + Line("</r>"));
    // Grow and shrink things near the front, deep and shallow; every record behind them moves.
    ASSERT_TRUE(xml.FindChildElement());
    ASSERT_TRUE(xml.EnterElement()); // in the first a
    ASSERT_TRUE(xml.FindChildElement());
    ASSERT_TRUE(xml.AddChildElement("inserted", "x"));
    ASSERT_TRUE(xml.SetChildAttribute("id", "a much longer value than before"));
    ASSERT_TRUE(xml.SetAttribute("id", "A"));
    ASSERT_TRUE(xml.FindChildElement());
    ASSERT_TRUE(xml.SetChildAttribute("id", ""));
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.AddChildElement("deeper"));
    ASSERT_TRUE(xml.SetChildAttribute("id", "d"));
    ASSERT_TRUE(xml.LeaveElement());
    ASSERT_TRUE(xml.LeaveElement());
    // Back at the root with the first a as child: the in-memory walk covers every element.
    ExpectIndexMatchesText(xml, true);

    ASSERT_TRUE(xml.AddChildElement("between", "<>"));
    ASSERT_TRUE(xml.SetChildAttribute("id", "x"));
    ASSERT_TRUE(xml.FindChildElement());
    ASSERT_TRUE(xml.SetChildAttribute("id", "one"));

    CMarkup fresh(xml.GetDocument());
    const std::vector<std::string> expected = {
        "0:A:",   "1:0:t0",  "1:a much longer value than before:x",
        "1::",    "2:d:",    "0:x:<>",
        "0:one:", "1:10:t0", "1:11:t1",
        "0:2:",   "1:20:t0", "1:21:t1"};
    EXPECT_EQ(Walk(fresh), expected);
    ExpectIndexMatchesText(xml);
}

TEST(MarkupSetAttribute, NewGoLastReplacedKeepPositionAndQuote)
{
    CMarkup xml("<r><a x='1' y=\"2\" z='3'/><b id='b'>t</b></r>");
    ASSERT_TRUE(xml.FindChildElement("a"));
    ASSERT_TRUE(xml.SetChildAttribute("x", "10"));
    ASSERT_TRUE(xml.SetChildAttribute("y", ""));
    ASSERT_TRUE(xml.SetChildAttribute("z", "it's"));
    ASSERT_TRUE(xml.SetChildAttribute("n", LLONG_MIN));
    ASSERT_TRUE(xml.SetChildAttribute("e", "a\"<&>\r\n"));
    EXPECT_EQ(xml.GetDocument(), "<r><a x='10' y=\"\" z='it&apos;s' n=\"-9223372036854775808\" "
                                 "e=\"a&quot;&lt;&amp;&gt;\r\n\"/><b id='b'>t</b></r>");
    ExpectIndexMatchesText(xml);
}

} // namespace
