// The markup engine: parsing and its error texts, navigation, reading and writing attributes and
// text, the exact layout of what it writes, and its behaviour on hostile input.
#include "markup/CMarkup.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <iterator>
#include <random>
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
// the element's "id" attribute. With fromCurrentChild the walk begins with the current child
// itself. Walking this way reads every record it passes, so comparing the walk of an edited
// document with the walk of its text parsed afresh shows any record that an edit left pointing
// at the wrong place.
std::vector<std::string> Walk(CMarkup& xml, bool fromCurrentChild = false)
{
    std::vector<std::string> seen;
    int depth = 0;
    bool takeCurrent = fromCurrentChild;
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
    CMarkup fresh;
    ASSERT_TRUE(fresh.SetDocument(xml.GetDocument())) << fresh.GetLastError();
    const std::vector<std::string> expected = Walk(fresh);

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
    EXPECT_EQ(inMemory,
              std::vector<std::string>(
                  expected.end() - static_cast<std::ptrdiff_t>(inMemory.size()), expected.end()));
}

// ---------------------------------------------------------------------------------------------
// Parsing

TEST(MarkupParse, EmptyDocumentHasNoElements)
{
    CMarkup xml;
    EXPECT_EQ(xml.GetDocument(), "");
    EXPECT_FALSE(xml.FindElement());
    EXPECT_FALSE(xml.FindChildElement());
    EXPECT_FALSE(xml.SetDocument(""));
    EXPECT_FALSE(xml.FindElement());
}

TEST(MarkupParse, SkipsDeclarationCommentsAndDocumentTypeBeforeRoot)
{
    const std::string text =
        std::string(kDeclaration) + "\r\n<!-- saved <by> hand -->\r\n"
        + "<!DOCTYPE Zembra [ <!ELEMENT Zembra ANY> <!ATTLIST Zembra Version CDATA \"1\"> ]>\r\n"
        + "<Zembra Version=\"7\"><Alarm id=\"a\"/></Zembra>\r\n";
    CMarkup xml;
    ASSERT_TRUE(xml.SetDocument(text)) << xml.GetLastError();
    ASSERT_TRUE(xml.FindElement("Zembra"));
    EXPECT_EQ(xml.GetAttribute("Version"), "7");
    ASSERT_TRUE(xml.FindChildElement("Alarm"));
    EXPECT_EQ(xml.GetChildAttribute("id"), "a");
    EXPECT_EQ(xml.GetDocument(), text);
}

TEST(MarkupParse, SkipsTextBeforeRoot)
{
    CMarkup xml;
    ASSERT_TRUE(xml.SetDocument("some words first <root id=\"r\"/>"));
    ASSERT_TRUE(xml.FindElement("root"));
    EXPECT_EQ(xml.GetAttribute("id"), "r");
}

TEST(MarkupParse, IgnoresSecondTopLevelElementAndWhatFollowsTheRoot)
{
    CMarkup xml;
    ASSERT_TRUE(xml.SetDocument("<a id=\"1\"/><b id=\"2\"/><unclosed <<<"));
    ASSERT_TRUE(xml.FindElement());
    EXPECT_EQ(xml.GetAttribute("id"), "1");
    EXPECT_FALSE(xml.FindElement());
    EXPECT_FALSE(xml.FindElement("b"));
    EXPECT_EQ(xml.GetAttribute("id"), "1");
}

TEST(MarkupParse, EndTagAtTopLevelIsNoDocument)
{
    CMarkup xml;
    EXPECT_FALSE(xml.SetDocument("</a><b/>"));
    EXPECT_EQ(xml.GetLastError(), "");
    EXPECT_FALSE(xml.FindElement());
}

TEST(MarkupParse, SkipsSpecialNodesBetweenChildren)
{
    CMarkup xml;
    ASSERT_TRUE(xml.SetDocument("<r>\r\n<?pi <a> ?>\r\n<!-- <b id=\"no\"/> -->\r\n"
                                "<![CDATA[ <c id=\"no\"/> ]]>\r\n<!X [ > ] >\r\n"
                                "<d id=\"yes\"/>\r\n</r>"))
        << xml.GetLastError();
    ASSERT_TRUE(xml.FindChildElement());
    EXPECT_EQ(xml.GetChildAttribute("id"), "yes");
    EXPECT_FALSE(xml.FindChildElement());
}

TEST(MarkupParse, MismatchedEndTagNamesTheInnerElement)
{
    CMarkup xml;
    EXPECT_FALSE(xml.SetDocument("<a><b></a>"));
    EXPECT_EQ(xml.GetLastError(), "End tag does not correspond to b");
    EXPECT_FALSE(xml.FindElement());
}

TEST(MarkupParse, EndTagNameIsCaseSensitive)
{
    CMarkup xml;
    EXPECT_FALSE(xml.SetDocument("<Alarm></alarm>"));
    EXPECT_EQ(xml.GetLastError(), "End tag does not correspond to Alarm");
}

TEST(MarkupParse, EndTagIsReadTokenByToken)
{
    CMarkup xml;
    EXPECT_TRUE(xml.SetDocument("<a>< / a  extra >"));
    EXPECT_FALSE(xml.SetDocument("<ab></a>"));
    EXPECT_EQ(xml.GetLastError(), "End tag does not correspond to ab");
    EXPECT_FALSE(xml.SetDocument("<a></ab>"));
    EXPECT_EQ(xml.GetLastError(), "End tag does not correspond to a");
}

TEST(MarkupParse, SuccessfulParseClearsTheLastError)
{
    CMarkup xml;
    EXPECT_FALSE(xml.SetDocument("<a>"));
    EXPECT_FALSE(xml.GetLastError().empty());
    EXPECT_TRUE(xml.SetDocument("<a/>"));
    EXPECT_EQ(xml.GetLastError(), "");
}

struct ErrorCase {
    const char* text;
    const char* message;
};

class MarkupParseError : public testing::TestWithParam<ErrorCase> {};

TEST_P(MarkupParseError, FailsWithMessage)
{
    CMarkup xml;
    EXPECT_FALSE(xml.SetDocument(GetParam().text));
    EXPECT_EQ(xml.GetLastError(), GetParam().message);
    EXPECT_FALSE(xml.FindElement());
    EXPECT_FALSE(xml.FindChildElement());
    EXPECT_EQ(xml.GetDocument(), GetParam().text);
}

// "End tag of %s element not found" and "Expecting end tag of element %s" cannot come out of a
// parse: the content scan stops only at a "</" that the end-tag check then starts from.
INSTANTIATE_TEST_SUITE_P(
    Messages, MarkupParseError,
    testing::Values(ErrorCase{"no tags at all", "Element tag not found"},
                    ErrorCase{"<a>text", "Element tag not found"},
                    ErrorCase{"<?xml version=\"1.0\"?>", "Element tag not found"},
                    ErrorCase{"<", "Abrupt end within tag"},
                    ErrorCase{"<a>< \r\n\t", "Abrupt end within tag"},
                    ErrorCase{"<\"a\">", "Tag starts with quote"},
                    ErrorCase{"<a><'b'/></a>", "Tag starts with quote"},
                    ErrorCase{"<?xml version=\"1.0\"", "Invalid node"},
                    ErrorCase{"<!-- never closed", "Invalid node"},
                    ErrorCase{"<a><![CDATA[ x ]]</a>", "Invalid node"},
                    ErrorCase{"<!DOCTYPE a [ <!ELEMENT a ANY> ", "Invalid node"},
                    ErrorCase{"<!", "Invalid node"}, ErrorCase{"<?", "Invalid node"},
                    ErrorCase{"<a", "End of tag not found"},
                    ErrorCase{"<a><b x=\"1\"", "End of tag not found"},
                    ErrorCase{"<a><b></a>", "End tag does not correspond to b"},
                    ErrorCase{"<Zembra><Alarm/></Zembr>", "End tag does not correspond to Zembra"},
                    ErrorCase{"<a></a", "End tag not completed for element a"},
                    ErrorCase{"<a></>", "End tag not completed for element a"},
                    ErrorCase{"<a><b></b></a \"x>", "End tag not completed for element a"},
                    ErrorCase{"<r><a x=\"1>2\"/></r>", "End tag does not correspond to a"}));

TEST(MarkupParse, FailedParseKeepsTheTextButNoElements)
{
    CMarkup xml;
    const std::string text = "<a><b></a>";
    ASSERT_FALSE(xml.SetDocument(text));
    EXPECT_EQ(xml.GetDocument(), text);
    EXPECT_FALSE(xml.FindChildElement("b"));
    EXPECT_FALSE(xml.EnterElement());
    EXPECT_FALSE(xml.LeaveElement());
    EXPECT_EQ(xml.GetAttribute("x"), "");
    EXPECT_EQ(xml.GetChildText(), "");
    EXPECT_FALSE(xml.AddChildElement("c"));
    EXPECT_FALSE(xml.SetAttribute("x", "1"));
    EXPECT_EQ(xml.GetDocument(), text);
    // A root can still be added: it goes at the end of the stored text.
    ASSERT_TRUE(xml.AddElement("Zembra"));
    EXPECT_EQ(xml.GetDocument(), text + Line("<Zembra/>"));
}

TEST(MarkupParse, GreaterThanInQuotedAttributeEndsTheStartTag)
{
    CMarkup xml;
    ASSERT_TRUE(xml.SetDocument("<r><a x=\"1>2\">t</a></r>")) << xml.GetLastError();
    ASSERT_TRUE(xml.FindChildElement("a"));
    // The tag ended at the first '>', so the rest of the value became content.
    EXPECT_EQ(xml.GetChildText(), "2\">t");
    // Attribute reading follows the quotes.
    EXPECT_EQ(xml.GetChildAttribute("x"), "1>2");
}

TEST(MarkupParse, DeeplyNestedOpenTagsFailWithoutRecursing)
{
    std::string text;
    text.reserve(1 << 20);
    while (text.size() + 3 <= (1u << 20)) {
        text += "<a>";
    }
    CMarkup xml;
    EXPECT_FALSE(xml.SetDocument(text));
    EXPECT_EQ(xml.GetLastError(), "Element tag not found");
    EXPECT_FALSE(xml.FindElement());
    EXPECT_EQ(xml.GetDocument().size(), text.size());
}

TEST(MarkupParse, DeeplyNestedWellFormedDocumentParses)
{
    constexpr int kDepth = 200000;
    std::string text;
    for (int i = 0; i < kDepth; ++i) {
        text += "<a>";
    }
    text += "<leaf id=\"deep\">x</leaf>";
    for (int i = 0; i < kDepth; ++i) {
        text += "</a>";
    }
    CMarkup xml;
    ASSERT_TRUE(xml.SetDocument(text)) << xml.GetLastError();
    ASSERT_TRUE(xml.FindElement("a"));
    for (int i = 1; i < kDepth; ++i) {
        ASSERT_TRUE(xml.FindChildElement("a")) << i;
        ASSERT_TRUE(xml.EnterElement());
    }
    ASSERT_TRUE(xml.FindChildElement("leaf"));
    EXPECT_EQ(xml.GetChildAttribute("id"), "deep");
    EXPECT_EQ(xml.GetChildText(), "x");

    // The same nesting with one wrong end tag at the very bottom is reported for that element.
    text.replace(text.find("</leaf>"), 7, "</leap>");
    EXPECT_FALSE(xml.SetDocument(text));
    EXPECT_EQ(xml.GetLastError(), "End tag does not correspond to leaf");
}

TEST(MarkupParse, GarbageWithoutTagsIsRejected)
{
    std::mt19937 random(20080314);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string text;
    while (text.size() < (1u << 20)) {
        const char c = static_cast<char>(byte(random));
        text += c == '<' ? ' ' : c;
    }
    CMarkup xml;
    EXPECT_FALSE(xml.SetDocument(text));
    EXPECT_EQ(xml.GetLastError(), "Element tag not found");
    EXPECT_FALSE(xml.FindChildElement());
}

// Random soup made mostly of markup pieces, inside a fixed frame. Whatever the parse says must
// hold together: a parsed document is found, walks completely and, after edits deep inside it,
// its index still agrees with its text. (No piece holds an 'r', so the soup cannot close the
// frame early.)
TEST(MarkupParse, RandomSoupNeverBreaksTheIndex)
{
    static const char* const kPieces[] = {
        "<",    ">",      "/",  "</",        "/>",  "<a",    "<b",   "</a>", "</b>", "<a>", "<b>",
        "<a/>", " id=\"", "'",  "\"",        "=",   " ",     "\r\n", "x",    "&lt;", "&",   "<!--",
        "-->",  "<?",     "?>", "<![CDATA[", "]]>", "<!D [", "]",    "[",    "\\",   "!"};
    std::mt19937 random(1234567);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kPieces) - 1);
    std::uniform_int_distribution<int> length(1, 40);
    int parsed = 0;
    int reparsed = 0;
    for (int round = 0; round < 30000; ++round) {
        std::string text = "<top id=\"top\"><r id=\"w\">";
        const int pieces = length(random);
        for (int i = 0; i < pieces; ++i) {
            text += kPieces[pick(random)];
        }
        text += "</r></top>";
        CMarkup xml;
        const bool ok = xml.SetDocument(text);
        ASSERT_EQ(ok, xml.FindChildElement()) << text;
        if (!ok) {
            EXPECT_FALSE(xml.GetLastError().empty()) << text;
            continue;
        }
        ++parsed;
        EXPECT_EQ(xml.GetChildAttribute("id"), "w");
        CMarkup walker = xml;
        EXPECT_FALSE(Walk(walker, true).empty());

        // Edit along the first path down from the frame: the deepest element, a child of it and
        // a sibling after it.
        ASSERT_TRUE(xml.EnterElement());
        int depth = 0;
        while (xml.FindChildElement()) {
            ASSERT_TRUE(xml.EnterElement());
            ++depth;
        }
        if (depth > 0) {
            xml.SetAttribute("id", "v&\"" + std::to_string(round));
        }
        ASSERT_TRUE(xml.AddChildElement("n", "t<" + std::to_string(round)));
        ASSERT_TRUE(xml.SetChildAttribute("id", round));
        if (depth > 0) {
            ASSERT_TRUE(xml.AddElement("m"));
            ASSERT_TRUE(xml.SetAttribute("k", "'"));
        }
        // Some inputs cannot survive an edit: "<a//>" opened for a child becomes "<a/>...</a>".
        // Those are left out; every other one must match its fresh parse exactly.
        if (CMarkup(xml.GetDocument()).FindElement()) {
            ++reparsed;
            ExpectIndexMatchesText(xml, true);
            if (HasFailure()) {
                ADD_FAILURE() << "after editing " << text << "\ninto " << xml.GetDocument();
                return;
            }
        }
    }
    EXPECT_GT(parsed, 1000);
    EXPECT_GT(reparsed, parsed * 9 / 10);
}

// ---------------------------------------------------------------------------------------------
// Navigation

TEST(MarkupNavigation, FindElementAtTopLevelFindsOnlyTheRoot)
{
    CMarkup xml("<r id=\"root\"><a/></r>");
    EXPECT_FALSE(xml.FindElement("a"));
    ASSERT_TRUE(xml.FindElement("r"));
    EXPECT_EQ(xml.GetAttribute("id"), "root");
    EXPECT_FALSE(xml.FindElement());
    EXPECT_EQ(xml.GetAttribute("id"), "root");
}

TEST(MarkupNavigation, FindChildElementContinuesAfterTheCurrentChild)
{
    CMarkup xml("<r><Alarm id=\"1\"/><Other id=\"2\"/><Alarm id=\"3\"/><Other id=\"4\"/></r>");
    ASSERT_TRUE(xml.FindElement());
    ASSERT_TRUE(xml.FindChildElement("Alarm"));
    EXPECT_EQ(xml.GetChildAttribute("id"), "1");
    ASSERT_TRUE(xml.FindChildElement("Alarm"));
    EXPECT_EQ(xml.GetChildAttribute("id"), "3");
    // Nothing more: the position stays on the last one found.
    EXPECT_FALSE(xml.FindChildElement("Alarm"));
    EXPECT_EQ(xml.GetChildAttribute("id"), "3");
    ASSERT_TRUE(xml.FindChildElement());
    EXPECT_EQ(xml.GetChildAttribute("id"), "4");
    EXPECT_FALSE(xml.FindChildElement());
}

TEST(MarkupNavigation, FindChildElementWithoutCurrentMakesTheRootCurrent)
{
    CMarkup xml("<Anything id=\"top\"><Alarm id=\"1\"/></Anything>");
    ASSERT_TRUE(xml.FindChildElement("Alarm"));
    EXPECT_EQ(xml.GetChildAttribute("id"), "1");
    EXPECT_EQ(xml.GetAttribute("id"), "top");
    EXPECT_FALSE(xml.LeaveElement()); // the root has no parent position
}

TEST(MarkupNavigation, NameMatchingIsExactUpToBlankEqualsSlashOrBracket)
{
    CMarkup xml("<r><Alarm id=\"1\"/><Alarms id=\"2\"/><alarm id=\"3\"/></r>");
    ASSERT_TRUE(xml.FindElement());
    EXPECT_FALSE(xml.FindChildElement("Ala"));
    EXPECT_FALSE(xml.FindChildElement("ALARM"));
    ASSERT_TRUE(xml.FindChildElement("Alarms"));
    EXPECT_EQ(xml.GetChildAttribute("id"), "2");

    for (const char* name : {"Alarm", "Alarm x", "Alarm=", "Alarm/", "Alarm[1]"}) {
        ASSERT_TRUE(xml.SetDocument(xml.GetDocument()));
        ASSERT_TRUE(xml.FindChildElement(name)) << name;
        EXPECT_EQ(xml.GetChildAttribute("id"), "1") << name;
        EXPECT_FALSE(xml.FindChildElement(name)) << name;
    }
    ASSERT_TRUE(xml.SetDocument(xml.GetDocument()));
    EXPECT_FALSE(xml.FindChildElement("Alarm-x"));
    EXPECT_FALSE(xml.FindChildElement("Alarm\t"));
}

TEST(MarkupNavigation, EnterAndLeaveMoveThePositions)
{
    CMarkup xml("<r id=\"r\"><a id=\"a\"><b id=\"b1\"/><b id=\"b2\"/></a><c id=\"c\"/></r>");
    EXPECT_FALSE(xml.EnterElement());
    ASSERT_TRUE(xml.FindChildElement("a"));
    ASSERT_TRUE(xml.EnterElement());
    EXPECT_EQ(xml.GetAttribute("id"), "a");
    ASSERT_TRUE(xml.FindChildElement());
    EXPECT_EQ(xml.GetChildAttribute("id"), "b1");
    ASSERT_TRUE(xml.EnterElement());
    EXPECT_EQ(xml.GetAttribute("id"), "b1");
    ASSERT_TRUE(xml.LeaveElement());
    EXPECT_EQ(xml.GetAttribute("id"), "a");
    EXPECT_EQ(xml.GetChildAttribute("id"), "b1");
    ASSERT_TRUE(xml.FindChildElement());
    EXPECT_EQ(xml.GetChildAttribute("id"), "b2");
    ASSERT_TRUE(xml.LeaveElement());
    EXPECT_EQ(xml.GetAttribute("id"), "r");
    EXPECT_EQ(xml.GetChildAttribute("id"), "a");
    ASSERT_TRUE(xml.FindChildElement());
    EXPECT_EQ(xml.GetChildAttribute("id"), "c");
    EXPECT_FALSE(xml.LeaveElement());
}

TEST(MarkupNavigation, EnterElementWithoutChildLeavesNoCurrentElement)
{
    CMarkup xml("<r id=\"r\"><a id=\"a\"/><b id=\"b\"/></r>");
    ASSERT_TRUE(xml.FindElement());
    ASSERT_TRUE(xml.EnterElement());
    EXPECT_EQ(xml.GetAttribute("id"), "");
    EXPECT_FALSE(xml.EnterElement());
    EXPECT_FALSE(xml.SetAttribute("id", "x"));
    // Finding at this level starts with the first element under the parent.
    ASSERT_TRUE(xml.FindElement("b"));
    EXPECT_EQ(xml.GetAttribute("id"), "b");
    ASSERT_TRUE(xml.LeaveElement());
    EXPECT_EQ(xml.GetAttribute("id"), "r");
    EXPECT_EQ(xml.GetChildAttribute("id"), "b");
}

TEST(MarkupNavigation, FindChildElementFromInsideUsesTheFirstElementOfTheLevel)
{
    CMarkup xml("<r><a id=\"a\"><x id=\"ax\"/></a><b id=\"b\"/></r>");
    ASSERT_TRUE(xml.FindElement());
    ASSERT_TRUE(xml.EnterElement()); // parent r, no current element
    ASSERT_TRUE(xml.FindChildElement());
    EXPECT_EQ(xml.GetAttribute("id"), "a");
    EXPECT_EQ(xml.GetChildAttribute("id"), "ax");
}

// ---------------------------------------------------------------------------------------------
// Attributes and text

TEST(MarkupAttribute, OnlyQuotedValuesAreRead)
{
    CMarkup xml("<a x='1'/>");
    ASSERT_TRUE(xml.FindElement());
    EXPECT_EQ(xml.GetAttribute("x"), "1");

    ASSERT_TRUE(xml.SetDocument("<a x=1/>"));
    ASSERT_TRUE(xml.FindElement());
    EXPECT_EQ(xml.GetAttribute("x"), "");

    ASSERT_TRUE(xml.SetDocument("<a x = \"sp aced\" y=\"\"/>"));
    ASSERT_TRUE(xml.FindElement());
    EXPECT_EQ(xml.GetAttribute("x"), "sp aced");
    EXPECT_EQ(xml.GetAttribute("y"), "");
}

TEST(MarkupAttribute, ValueIsTheQuotedTokenTwoAfterTheName)
{
    CMarkup xml("<a x=1 x=\"2\" y \"3\" z=\"4\"/>");
    ASSERT_TRUE(xml.FindElement());
    EXPECT_EQ(xml.GetAttribute("x"), "2");
    EXPECT_EQ(xml.GetAttribute("z"), "4");
    // A value is not a name: "4" is not an attribute called 4.
    EXPECT_EQ(xml.GetAttribute("4"), "");
}

TEST(MarkupAttribute, NamesMatchExactly)
{
    CMarkup xml("<a xy=\"1\" X=\"2\" x2=\"3\"/>");
    ASSERT_TRUE(xml.FindElement());
    EXPECT_EQ(xml.GetAttribute("x"), "");
    EXPECT_EQ(xml.GetAttribute("xy"), "1");
    EXPECT_EQ(xml.GetAttribute("X"), "2");
    EXPECT_EQ(xml.GetAttribute("xyz"), "");
    EXPECT_EQ(xml.GetAttribute(""), "");
}

TEST(MarkupAttribute, SearchStopsAtTheEndOfTheStartTag)
{
    CMarkup xml("<r><a> x=\"1\" </a><b/ y=\"2\"></b></r>");
    ASSERT_TRUE(xml.FindChildElement("a"));
    EXPECT_EQ(xml.GetChildAttribute("x"), "");
    ASSERT_TRUE(xml.FindChildElement("b"));
    EXPECT_EQ(xml.GetChildAttribute("y"), "");
}

TEST(MarkupAttribute, NamedEntitiesDecodeAndNumericReferencesStay)
{
    CMarkup xml("<a v=\"&lt;&#65;&amp;\" w=\"&lt;&amp;&gt;&apos;&quot;\" u=\"&lt &nbsp; &amp\"/>");
    ASSERT_TRUE(xml.FindElement());
    EXPECT_EQ(xml.GetAttribute("v"), "<&#65;&");
    EXPECT_EQ(xml.GetAttribute("w"), "<&>'\"");
    EXPECT_EQ(xml.GetAttribute("u"), "&lt &nbsp; &amp");
}

TEST(MarkupAttribute, ReadingNeedsThePosition)
{
    CMarkup xml("<a x=\"1\"><b y=\"2\"/></a>");
    EXPECT_EQ(xml.GetAttribute("x"), "");
    EXPECT_EQ(xml.GetChildAttribute("y"), "");
    ASSERT_TRUE(xml.FindElement());
    EXPECT_EQ(xml.GetChildAttribute("y"), "");
    EXPECT_EQ(xml.GetChildText(), "");
}

TEST(MarkupText, ChildTextKeepsBlanksAndDecodes)
{
    CMarkup xml("<r><c>  x  </c><d>a &lt; b &amp;amp; &#65;</d><e>\r\n\tline</e></r>");
    ASSERT_TRUE(xml.FindChildElement("c"));
    EXPECT_EQ(xml.GetChildText(), "  x  ");
    ASSERT_TRUE(xml.FindChildElement("d"));
    EXPECT_EQ(xml.GetChildText(), "a < b &amp; &#65;");
    ASSERT_TRUE(xml.FindChildElement("e"));
    EXPECT_EQ(xml.GetChildText(), "\r\n\tline");
}

TEST(MarkupText, ElementWithChildrenOrWithoutContentHasNoText)
{
    CMarkup xml("<r><c>before<x/>after</c><e/><f></f></r>");
    ASSERT_TRUE(xml.FindChildElement("c"));
    EXPECT_EQ(xml.GetChildText(), "");
    ASSERT_TRUE(xml.FindChildElement("e"));
    EXPECT_EQ(xml.GetChildText(), "");
    ASSERT_TRUE(xml.FindChildElement("f"));
    EXPECT_EQ(xml.GetChildText(), "");
}

TEST(MarkupText, CdataSectionIsTakenAsItStands)
{
    CMarkup xml("<r><c><![CDATA[a<b]]></c><d> \r\n<![CDATA[&lt;]]>tail</d>"
                "<e><![CDATA[]]></e><f>x<![CDATA[y]]></f></r>");
    ASSERT_TRUE(xml.FindChildElement("c"));
    EXPECT_EQ(xml.GetChildText(), "a<b");
    ASSERT_TRUE(xml.FindChildElement("d"));
    EXPECT_EQ(xml.GetChildText(), "&lt;");
    ASSERT_TRUE(xml.FindChildElement("e"));
    EXPECT_EQ(xml.GetChildText(), "");
    // Only content that begins with the section is taken from it.
    ASSERT_TRUE(xml.FindChildElement("f"));
    EXPECT_EQ(xml.GetChildText(), "x<![CDATA[y]]>");
}

TEST(MarkupEncoding, TextAndAttributeEncoding)
{
    EXPECT_EQ(CMarkup::EscapeText("a<b>&'\"\r\n\t\xc5\x9b"), "a&lt;b&gt;&amp;'\"\r\n\t\xc5\x9b");
    EXPECT_EQ(CMarkup::EscapeAttribute("a<b>&'\"\r\n"), "a&lt;b&gt;&amp;&apos;&quot;\r\n");
    EXPECT_EQ(CMarkup::EscapeText(""), "");
    EXPECT_EQ(CMarkup::Unescape("&lt;&amp;&gt;&apos;&quot;&#65;&"), "<&>'\"&#65;&");
    EXPECT_EQ(CMarkup::Unescape("&amp;lt;"), "&lt;");
    const std::string mixed = "<&>'\" &amp; &#x41;\r\n\xe2\x82\xac";
    EXPECT_EQ(CMarkup::Unescape(CMarkup::EscapeAttribute(mixed)), mixed);
    EXPECT_EQ(CMarkup::Unescape(CMarkup::EscapeText(mixed)), mixed);
}

// ---------------------------------------------------------------------------------------------
// Adding elements

TEST(MarkupAdd, RootOfAnEmptyDocument)
{
    CMarkup xml;
    ASSERT_TRUE(xml.AddElement("Zembra"));
    EXPECT_EQ(xml.GetDocument(), Line("<Zembra/>"));
    EXPECT_FALSE(xml.AddElement("Second"));
    EXPECT_EQ(xml.GetDocument(), Line("<Zembra/>"));
    ASSERT_TRUE(xml.SetAttribute("Version", "1"));
    EXPECT_EQ(xml.GetDocument(), Line("<Zembra Version=\"1\"/>"));
}

TEST(MarkupAdd, RootAfterDeclarationGoesAtTheEnd)
{
    CMarkup xml(Line(kDeclaration));
    EXPECT_EQ(xml.GetLastError(), "Element tag not found");
    ASSERT_TRUE(xml.AddElement("Zembra"));
    ASSERT_TRUE(xml.SetAttribute("Version", "1"));
    EXPECT_EQ(xml.GetDocument(), Line(kDeclaration) + Line("<Zembra Version=\"1\"/>"));
    CMarkup again(xml.GetDocument());
    ASSERT_TRUE(again.FindElement("Zembra"));
    EXPECT_EQ(again.GetAttribute("Version"), "1");
}

TEST(MarkupAdd, ChildOpensAnEmptyRootIntoThreeLines)
{
    CMarkup xml(Line("<Zembra Version=\"1\"/>"));
    ASSERT_TRUE(xml.FindElement());
    ASSERT_TRUE(xml.AddChildElement("Alarm"));
    EXPECT_EQ(xml.GetDocument(),
              Line("<Zembra Version=\"1\">") + Line("<Alarm/>") + Line("</Zembra>"));
    // The opened element keeps working as an element with content.
    ASSERT_TRUE(xml.SetChildAttribute("Active", 1));
    ASSERT_TRUE(xml.SetAttribute("Version", "2"));
    ASSERT_TRUE(xml.AddChildElement("Alarm"));
    EXPECT_EQ(xml.GetDocument(), Line("<Zembra Version=\"2\">") + Line("<Alarm Active=\"1\"/>")
                                     + Line("<Alarm/>") + Line("</Zembra>"));
    ExpectIndexMatchesText(xml);
}

TEST(MarkupAdd, ChildOfAnOpenedNestedElementWithText)
{
    CMarkup xml(Line("<r>") + Line("<p x=\"1\"/>") + Line("<q/>") + Line("</r>"));
    ASSERT_TRUE(xml.FindChildElement("p"));
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.AddChildElement("c", "a&b"));
    EXPECT_EQ(xml.GetDocument(), Line("<r>") + Line("<p x=\"1\">") + Line("<c>a&amp;b</c>")
                                     + Line("</p>") + Line("<q/>") + Line("</r>"));
    EXPECT_EQ(xml.GetChildText(), "a&b");
    ASSERT_TRUE(xml.LeaveElement());
    ASSERT_TRUE(xml.FindChildElement("q"));
    ASSERT_TRUE(xml.SetChildAttribute("id", "q"));
    EXPECT_EQ(xml.GetDocument(), Line("<r>") + Line("<p x=\"1\">") + Line("<c>a&amp;b</c>")
                                     + Line("</p>") + Line("<q id=\"q\"/>") + Line("</r>"));
}

TEST(MarkupAdd, AppendsToAnOpenedElementStayInOrder)
{
    CMarkup xml("<r><p/></r>");
    ASSERT_TRUE(xml.FindChildElement("p"));
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.AddChildElement("a"));
    ASSERT_TRUE(xml.AddChildElement("b"));
    ASSERT_TRUE(xml.LeaveElement());
    ASSERT_TRUE(xml.EnterElement()); // p current, no current child: the next goes last
    ASSERT_TRUE(xml.AddChildElement("c"));
    ASSERT_TRUE(xml.AddElement("q"));
    EXPECT_EQ(xml.GetDocument(), "<r><p>" + Line("") + Line("<a/>") + Line("<b/>") + Line("<c/>")
                                     + "</p>" + Line("<q/>") + "</r>");
    ExpectIndexMatchesText(xml);
}

TEST(MarkupAdd, ChildOfStartTagFollowedByEndTagGetsALineBreakFirst)
{
    CMarkup xml("<P></P>");
    ASSERT_TRUE(xml.FindElement());
    ASSERT_TRUE(xml.AddChildElement("C"));
    EXPECT_EQ(xml.GetDocument(), Line("<P>") + Line("<C/>") + "</P>");
    ASSERT_TRUE(xml.AddChildElement("D", "d"));
    EXPECT_EQ(xml.GetDocument(), Line("<P>") + Line("<C/>") + Line("<D>d</D>") + "</P>");
}

TEST(MarkupAdd, ChildWithoutCurrentChildGoesBeforeTheEndTag)
{
    CMarkup xml(Line("<r>") + Line("<a id=\"a\"/>") + Line("</r>"));
    ASSERT_TRUE(xml.FindElement());
    ASSERT_TRUE(xml.AddChildElement("b"));
    ASSERT_TRUE(xml.SetChildAttribute("id", "b"));
    EXPECT_EQ(xml.GetDocument(),
              Line("<r>") + Line("<a id=\"a\"/>") + Line("<b id=\"b\"/>") + Line("</r>"));
    // It is linked after the last child: nothing follows it.
    EXPECT_FALSE(xml.FindChildElement());
    EXPECT_EQ(xml.GetChildAttribute("id"), "b");
    ExpectIndexMatchesText(xml);
}

TEST(MarkupAdd, ChildOfElementWithTextGoesBeforeItsEndTag)
{
    CMarkup xml("<r><c>text</c></r>");
    ASSERT_TRUE(xml.FindChildElement("c"));
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.AddChildElement("x"));
    EXPECT_EQ(xml.GetDocument(), "<r><c>text" + Line("<x/>") + "</c></r>");
}

TEST(MarkupAdd, AfterCurrentChildTheNewElementStartsWhereTheNextTagStarted)
{
    CMarkup xml(Line("<r>") + Line("<a id=\"a\"/>") + "  \t" + Line("<b id=\"b\">")
                + Line("<c id=\"c\">text</c>") + Line("</b>") + Line("</r>"));
    ASSERT_TRUE(xml.FindChildElement("a"));
    ASSERT_TRUE(xml.AddChildElement("n", "new"));
    ASSERT_TRUE(xml.SetChildAttribute("id", "n"));
    EXPECT_EQ(xml.GetDocument(), Line("<r>") + Line("<a id=\"a\"/>") + "  \t"
                                     + Line("<n id=\"n\">new</n>") + Line("<b id=\"b\">")
                                     + Line("<c id=\"c\">text</c>") + Line("</b>") + Line("</r>"));
    // Everything after the insertion moved with the text.
    ASSERT_TRUE(xml.FindChildElement());
    EXPECT_EQ(xml.GetChildAttribute("id"), "b");
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.FindChildElement());
    EXPECT_EQ(xml.GetChildText(), "text");
    ASSERT_TRUE(xml.SetChildAttribute("id", "c2"));
    EXPECT_EQ(xml.GetChildAttribute("id"), "c2");
    ExpectIndexMatchesText(xml);
}

TEST(MarkupAdd, WhitespaceBeforeTextIsNotSkipped)
{
    CMarkup xml("<r><a/> text<b/></r>");
    ASSERT_TRUE(xml.FindChildElement("a"));
    ASSERT_TRUE(xml.AddChildElement("n"));
    EXPECT_EQ(xml.GetDocument(), "<r><a/>" + Line("<n/>") + " text<b/></r>");
}

TEST(MarkupAdd, AddElementGoesAfterTheCurrentElement)
{
    CMarkup xml(Line("<r>") + Line("<a id=\"a\"/>") + Line("<b id=\"b\"/>") + Line("</r>"));
    ASSERT_TRUE(xml.FindChildElement("a"));
    ASSERT_TRUE(xml.EnterElement()); // a is current, r the parent
    ASSERT_TRUE(xml.AddElement("n", "1 < 2"));
    EXPECT_EQ(xml.GetAttribute("id"), "");
    ASSERT_TRUE(xml.SetAttribute("id", "n"));
    EXPECT_EQ(xml.GetDocument(), Line("<r>") + Line("<a id=\"a\"/>")
                                     + Line("<n id=\"n\">1 &lt; 2</n>") + Line("<b id=\"b\"/>")
                                     + Line("</r>"));
    ASSERT_TRUE(xml.FindElement());
    EXPECT_EQ(xml.GetAttribute("id"), "b");
    ExpectIndexMatchesText(xml);
}

TEST(MarkupAdd, AddElementUnderAParentWithoutCurrentAppends)
{
    CMarkup xml("<r><a/></r>");
    ASSERT_TRUE(xml.FindElement());
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.AddElement("z"));
    EXPECT_EQ(xml.GetDocument(), "<r><a/>" + Line("<z/>") + "</r>");
}

TEST(MarkupAdd, NeedsAPositionAndAName)
{
    CMarkup xml("<r/>");
    EXPECT_FALSE(xml.AddChildElement("c"));
    EXPECT_FALSE(xml.AddElement("second"));
    ASSERT_TRUE(xml.FindElement());
    EXPECT_FALSE(xml.AddChildElement(""));
    EXPECT_EQ(xml.GetDocument(), "<r/>");
}

TEST(MarkupAdd, InsertionsInTheMiddleKeepEveryRecordInPlace)
{
    CMarkup xml;
    ASSERT_TRUE(xml.AddElement("r"));
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(xml.AddChildElement("a"));
        ASSERT_TRUE(xml.SetChildAttribute("id", i));
        ASSERT_TRUE(xml.EnterElement());
        for (int j = 0; j < 3; ++j) {
            ASSERT_TRUE(xml.AddChildElement("b", "t" + std::to_string(j)));
            ASSERT_TRUE(xml.SetChildAttribute("id", i * 10 + j));
        }
        ASSERT_TRUE(xml.LeaveElement());
    }
    ASSERT_TRUE(xml.SetDocument(xml.GetDocument()));

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
        "0:A:",    "1:0:t0",  "1:a much longer value than before:x",
        "1::",     "2:d:",    "1:2:t2",
        "0:x:<>",  "0:one:",  "1:10:t0",
        "1:11:t1", "1:12:t2", "0:2:",
        "1:20:t0", "1:21:t1", "1:22:t2",
        "0:3:",    "1:30:t0", "1:31:t1",
        "1:32:t2", "0:4:",    "1:40:t0",
        "1:41:t1", "1:42:t2"};
    EXPECT_EQ(Walk(fresh), expected);
    ExpectIndexMatchesText(xml);
}

// ---------------------------------------------------------------------------------------------
// Setting attributes

TEST(MarkupSetAttribute, NewAttributesGoAtTheEndOfTheStartTagInOrder)
{
    CMarkup xml("<r><e/><f>t</f></r>");
    ASSERT_TRUE(xml.FindChildElement("e"));
    ASSERT_TRUE(xml.SetChildAttribute("a", "1"));
    ASSERT_TRUE(xml.SetChildAttribute("b", "2"));
    ASSERT_TRUE(xml.FindChildElement("f"));
    ASSERT_TRUE(xml.SetChildAttribute("c", "3"));
    ASSERT_TRUE(xml.SetChildAttribute("d", ""));
    EXPECT_EQ(xml.GetDocument(), "<r><e a=\"1\" b=\"2\"/><f c=\"3\" d=\"\">t</f></r>");
    EXPECT_EQ(xml.GetChildText(), "t");
    ExpectIndexMatchesText(xml);
}

TEST(MarkupSetAttribute, ReplacingKeepsPositionAndQuote)
{
    CMarkup xml("<r><a x='1' y=\"2\" z='3'/><b id='b'>t</b></r>");
    ASSERT_TRUE(xml.FindChildElement("a"));
    ASSERT_TRUE(xml.SetChildAttribute("x", "10"));
    ASSERT_TRUE(xml.SetChildAttribute("y", ""));
    ASSERT_TRUE(xml.SetChildAttribute("z", "it's"));
    EXPECT_EQ(xml.GetDocument(), "<r><a x='10' y=\"\" z='it&apos;s'/><b id='b'>t</b></r>");
    EXPECT_EQ(xml.GetChildAttribute("z"), "it's");
    ASSERT_TRUE(xml.FindChildElement("b"));
    EXPECT_EQ(xml.GetChildAttribute("id"), "b");
    EXPECT_EQ(xml.GetChildText(), "t");
    ExpectIndexMatchesText(xml);
}

TEST(MarkupSetAttribute, NumbersAreWrittenInDecimal)
{
    CMarkup xml("<a/>");
    ASSERT_TRUE(xml.FindElement());
    ASSERT_TRUE(xml.SetAttribute("zero", 0));
    ASSERT_TRUE(xml.SetAttribute("year", 2008));
    ASSERT_TRUE(xml.SetAttribute("neg", -12));
    ASSERT_TRUE(xml.SetAttribute("max", LLONG_MAX));
    ASSERT_TRUE(xml.SetAttribute("min", LLONG_MIN));
    EXPECT_EQ(xml.GetDocument(),
              "<a zero=\"0\" year=\"2008\" neg=\"-12\" max=\"9223372036854775807\" "
              "min=\"-9223372036854775808\"/>");
    ASSERT_TRUE(xml.SetAttribute("year", 7));
    EXPECT_EQ(xml.GetAttribute("year"), "7");
}

TEST(MarkupSetAttribute, ValueIsEncoded)
{
    CMarkup xml("<a/>");
    ASSERT_TRUE(xml.FindElement());
    ASSERT_TRUE(xml.SetAttribute("t", "a\"b'<&>\r\n"));
    EXPECT_EQ(xml.GetDocument(), "<a t=\"a&quot;b&apos;&lt;&amp;&gt;\r\n\"/>");
    EXPECT_EQ(xml.GetAttribute("t"), "a\"b'<&>\r\n");
}

TEST(MarkupSetAttribute, NeedsAPositionAndAName)
{
    CMarkup xml("<a><b/></a>");
    EXPECT_FALSE(xml.SetAttribute("x", "1"));
    EXPECT_FALSE(xml.SetChildAttribute("x", 1));
    ASSERT_TRUE(xml.FindElement());
    EXPECT_FALSE(xml.SetChildAttribute("x", "1"));
    EXPECT_FALSE(xml.SetAttribute("", "1"));
    EXPECT_EQ(xml.GetDocument(), "<a><b/></a>");
}

TEST(MarkupSetAttribute, ValueWhoseQuotesRunPastTheStartTagIsLeftAlone)
{
    const std::string text = "<r><a x=\"1>t</a><b y=\"2\"/></r>";
    CMarkup xml(text);
    ASSERT_TRUE(xml.FindChildElement("a"));
    EXPECT_EQ(xml.GetChildAttribute("x"), "1>t</a><b y=");
    EXPECT_FALSE(xml.SetChildAttribute("x", "2"));
    EXPECT_EQ(xml.GetDocument(), text);
    // A new attribute still goes in before the '>' that ended the tag.
    ASSERT_TRUE(xml.SetChildAttribute("z", "3"));
    EXPECT_EQ(xml.GetDocument(), "<r><a x=\"1 z=\"3\">t</a><b y=\"2\"/></r>");
    ExpectIndexMatchesText(xml);
}

// ---------------------------------------------------------------------------------------------
// A whole alarm, as the alarm list writes and reads it

std::string AlarmLines()
{
    return Line("<Alarm Active=\"1\" Type=\"wakeup\" Frequency=\"workdays\">")
           + Line("<Date Year=\"2008\" Month=\"3\" Day=\"14\" DayOfWeek=\"5\"/>")
           + Line("<Time Hour=\"5\" Min=\"30\" Sec=\"0\"/>") + Line("<Comment>Praca</Comment>")
           + Line("<Message Active=\"1\">Wstawaj!</Message>") + Line("<Sound Active=\"0\"/>")
           + Line("<Program Active=\"0\">notepad.exe</Program>") + Line("</Alarm>");
}

void WriteAlarm(CMarkup& xml)
{
    ASSERT_TRUE(xml.AddChildElement("Alarm"));
    ASSERT_TRUE(xml.SetChildAttribute("Active", 1));
    ASSERT_TRUE(xml.SetChildAttribute("Type", "wakeup"));
    ASSERT_TRUE(xml.SetChildAttribute("Frequency", "workdays"));
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.AddChildElement("Date"));
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.SetAttribute("Year", 2008));
    ASSERT_TRUE(xml.SetAttribute("Month", 3));
    ASSERT_TRUE(xml.SetAttribute("Day", 14));
    ASSERT_TRUE(xml.SetAttribute("DayOfWeek", 5));
    ASSERT_TRUE(xml.LeaveElement());
    ASSERT_TRUE(xml.AddChildElement("Time"));
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.SetAttribute("Hour", 5));
    ASSERT_TRUE(xml.SetAttribute("Min", 30));
    ASSERT_TRUE(xml.SetAttribute("Sec", 0));
    ASSERT_TRUE(xml.LeaveElement());
    ASSERT_TRUE(xml.AddChildElement("Comment", "Praca"));
    const auto action = [&xml](const char* name, const char* text, int active) {
        ASSERT_TRUE(xml.AddChildElement(name, text));
        ASSERT_TRUE(xml.EnterElement());
        ASSERT_TRUE(xml.SetAttribute("Active", active));
        ASSERT_TRUE(xml.LeaveElement());
    };
    action("Message", "Wstawaj!", 1);
    action("Sound", "", 0);
    action("Program", "notepad.exe", 0);
    ASSERT_TRUE(xml.LeaveElement());
}

TEST(MarkupAlarm, BuildsTheAlarmElementByteForByte)
{
    CMarkup xml(Line(kDeclaration));
    ASSERT_TRUE(xml.AddElement("Zembra"));
    ASSERT_TRUE(xml.SetAttribute("Version", "1"));
    WriteAlarm(xml);
    ASSERT_FALSE(HasFatalFailure());
    const std::string once =
        Line(kDeclaration) + Line("<Zembra Version=\"1\">") + AlarmLines() + Line("</Zembra>");
    EXPECT_EQ(xml.GetDocument(), once);

    // After the write the root is current again with the alarm as its child, so a second alarm
    // follows the first.
    WriteAlarm(xml);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(xml.GetDocument(), Line(kDeclaration) + Line("<Zembra Version=\"1\">") + AlarmLines()
                                     + AlarmLines() + Line("</Zembra>"));
    ExpectIndexMatchesText(xml);
}

TEST(MarkupAlarm, ReadsTheBuiltAlarmBack)
{
    CMarkup xml;
    ASSERT_TRUE(xml.SetDocument(Line(kDeclaration) + Line("<Zembra Version=\"1\">") + AlarmLines()
                                + Line("</Zembra>")))
        << xml.GetLastError();
    ASSERT_TRUE(xml.FindChildElement("Alarm"));
    ASSERT_TRUE(xml.EnterElement());
    EXPECT_EQ(xml.GetAttribute("Active"), "1");
    EXPECT_EQ(xml.GetAttribute("Type"), "wakeup");
    EXPECT_EQ(xml.GetAttribute("Frequency"), "workdays");
    ASSERT_TRUE(xml.FindChildElement("Date"));
    EXPECT_EQ(xml.GetChildAttribute("Year"), "2008");
    EXPECT_EQ(xml.GetChildAttribute("Month"), "3");
    EXPECT_EQ(xml.GetChildAttribute("Day"), "14");
    EXPECT_EQ(xml.GetChildAttribute("DayOfWeek"), "5");
    ASSERT_TRUE(xml.FindChildElement("Time"));
    EXPECT_EQ(xml.GetChildAttribute("Hour"), "5");
    EXPECT_EQ(xml.GetChildAttribute("Min"), "30");
    EXPECT_EQ(xml.GetChildAttribute("Sec"), "0");
    ASSERT_TRUE(xml.FindChildElement("Comment"));
    EXPECT_EQ(xml.GetChildText(), "Praca");
    ASSERT_TRUE(xml.FindChildElement("Message"));
    EXPECT_EQ(xml.GetChildText(), "Wstawaj!");
    EXPECT_EQ(xml.GetChildAttribute("Active"), "1");
    ASSERT_TRUE(xml.FindChildElement("Sound"));
    EXPECT_EQ(xml.GetChildText(), "");
    EXPECT_EQ(xml.GetChildAttribute("Active"), "0");
    ASSERT_TRUE(xml.FindChildElement("Program"));
    EXPECT_EQ(xml.GetChildText(), "notepad.exe");
    EXPECT_FALSE(xml.FindChildElement());
    ASSERT_TRUE(xml.LeaveElement());
    EXPECT_FALSE(xml.FindChildElement("Alarm"));
    EXPECT_EQ(xml.GetAttribute("Version"), "1");
}

// A long list built element by element at the end keeps every offset right. (How its cost grows
// with the length is measured by bench_core.)
TEST(MarkupAlarm, BuildingALongDocumentAtTheEndKeepsItConsistent)
{
    constexpr int kElements = 80000;
    CMarkup xml;
    ASSERT_TRUE(xml.AddElement("Zembra"));
    ASSERT_TRUE(xml.SetAttribute("Version", 1));
    for (int i = 0; i < kElements / 2; ++i) {
        ASSERT_TRUE(xml.AddChildElement("Alarm"));
        ASSERT_TRUE(xml.SetChildAttribute("id", i));
        ASSERT_TRUE(xml.EnterElement());
        ASSERT_TRUE(xml.AddChildElement("Comment", "c"));
        ASSERT_TRUE(xml.SetChildAttribute("Active", 1));
        ASSERT_TRUE(xml.LeaveElement());
    }

    CMarkup fresh;
    ASSERT_TRUE(fresh.SetDocument(xml.GetDocument())) << fresh.GetLastError();
    int count = 0;
    while (fresh.FindChildElement("Alarm")) {
        ASSERT_EQ(fresh.GetChildAttribute("id"), std::to_string(count));
        ++count;
    }
    EXPECT_EQ(count, kElements / 2);
    const std::string head = Line("<Zembra Version=\"1\">") + Line("<Alarm id=\"0\">")
                             + Line("<Comment Active=\"1\">c</Comment>") + Line("</Alarm>")
                             + Line("<Alarm id=\"1\">");
    EXPECT_EQ(xml.GetDocument().substr(0, head.size()), head);
    EXPECT_EQ(xml.GetDocument().size(), fresh.GetDocument().size());
}

} // namespace
