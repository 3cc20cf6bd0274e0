// Any bytes as markup: parsing must never crash, hang or trip a sanitizer; a parsed document must
// be walkable element by element, take an added element and attribute anywhere, and still read
// the same when its edited text is parsed again.
#include "markup/CMarkup.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Walks every element below the current position (from the current child itself when asked),
// reading what can be read. The step budget keeps a run short however large the input; complete
// tells whether the walk got to the end.
std::vector<std::string> Walk(CMarkup& xml, bool fromCurrentChild, int budget, bool& complete)
{
    std::vector<std::string> seen;
    int depth = 0;
    bool takeCurrent = fromCurrentChild;
    complete = false;
    while (budget-- > 0) {
        if (takeCurrent || xml.FindChildElement()) {
            takeCurrent = false;
            seen.push_back(std::to_string(depth) + '|' + xml.GetChildAttribute("id") + '|'
                           + xml.GetChildText());
            (void)xml.GetAttribute("id");
            if (!xml.EnterElement()) {
                std::abort(); // a found child can always be entered
            }
            ++depth;
        } else if (depth > 0) {
            if (!xml.LeaveElement()) {
                std::abort();
            }
            --depth;
        } else {
            complete = true;
            break;
        }
    }
    return seen;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    constexpr int kBudget = 2000;

    CMarkup xml;
    const bool parsed = xml.SetDocument(text);
    if (xml.GetDocument() != text) {
        std::abort();
    }
    if (!parsed) {
        // No elements: nothing is found, and a root added goes at the end of the text.
        if (xml.FindElement() || xml.FindChildElement() || xml.EnterElement()
            || xml.LeaveElement()) {
            std::abort();
        }
        if (!xml.AddElement("root") || xml.GetDocument() != std::string(text) + "<root/>\r\n") {
            std::abort();
        }
        return 0;
    }
    if (!xml.FindElement()) {
        std::abort();
    }
    CMarkup reader = xml;
    bool complete = false;
    Walk(reader, false, kBudget, complete);

    // Down the first path as far as the budget allows, then edit there: an attribute of the
    // element, a child and a sibling with text to encode, and an attribute of the child.
    int depth = 0;
    while (depth < kBudget && xml.FindChildElement()) {
        xml.EnterElement();
        ++depth;
    }
    const std::string_view payload = text.substr(0, text.size() < 40 ? text.size() : 40);
    xml.SetAttribute("id", payload);
    const std::string before = xml.GetDocument();
    if (!xml.AddChildElement("n", payload)) {
        std::abort();
    }
    // An empty element is opened by turning the '/' of its "/>" into '>'. When another '/' stood
    // before it ("<a//>", or a quoted value ending in '/' that the tag's first '>' cut off), the
    // opened tag still reads as empty, so its text parsed again holds a different tree.
    const std::string after = xml.GetDocument();
    std::size_t change = 0;
    while (change < before.size() && before[change] == after[change]) {
        ++change;
    }
    const bool reopensAsEmpty =
        change > 0 && change < before.size() && before[change] == '/' && before[change - 1] == '/';
    if (!xml.SetChildAttribute("id", payload)
        || !xml.SetChildAttribute("k", static_cast<long long>(size))) {
        std::abort();
    }
    if (depth > 0) {
        // A sibling of the element just edited; beside the root there is no room for one.
        if (!xml.LeaveElement() || xml.AddElement("m", "<&>") != (depth > 1)) {
            std::abort();
        }
        if (depth > 1 && !xml.SetAttribute("id", "'\"")) {
            std::abort();
        }
    }

    // The edited document as indexed in memory must read like its text parsed afresh. A few
    // inputs cannot survive an edit (see above, or an element named ">" whose end tag "</>>"
    // cannot be read); they are not compared.
    CMarkup fresh;
    if (!fresh.SetDocument(xml.GetDocument()) || reopensAsEmpty) {
        return 0;
    }
    CMarkup copy = xml;
    while (copy.LeaveElement()) {
    }
    CMarkup probe = copy;
    const bool hasChild = probe.EnterElement() && probe.EnterElement();
    bool inMemoryComplete = false;
    bool expectedComplete = false;
    const std::vector<std::string> inMemory = Walk(copy, hasChild, kBudget, inMemoryComplete);
    const std::vector<std::string> expected = Walk(fresh, false, 4 * kBudget, expectedComplete);
    if (inMemoryComplete && expectedComplete) {
        // The in-memory walk starts at some child of the root and must be the tail of the
        // fresh walk.
        if (inMemory.size() > expected.size()) {
            std::abort();
        }
        const std::size_t offset = expected.size() - inMemory.size();
        for (std::size_t i = 0; i < inMemory.size(); ++i) {
            if (inMemory[i] != expected[offset + i]) {
                std::abort();
            }
        }
    }
    return 0;
}
