#pragma once

// The program's own small XML reader and writer. The whole document is kept as one string; beside
// it an index records where each element's tags lie in that string. Callers move three positions
// (parent, current element, current child) with the find, enter and leave operations and read or
// write through them.
//
// It is meant for the alarm-list file only, not as a general XML processor: it checks that tags
// nest and match, decodes the five predefined entities and CDATA sections, and skips
// declarations, comments and document types. Text is taken byte for byte; numeric character
// references, namespaces, DTDs and encodings are not interpreted.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One record per element. Offsets point into the document text; record indexes, not pointers,
// link the tree, so the record array may grow without disturbing anyone who holds an index.
struct ElemPos {
    int nStartOpen = 0;   // the '<' that opens the start tag
    int nStartClose = 0;  // the '>' that closes the start tag
    int nEndOpen = 0;     // the '<' of the end tag; the '/' of "/>" for an empty element
    int nEndClose = 0;    // the '>' of the end tag; equal to nStartClose for an empty element
    int iParent = 0;      // record of the parent element; 0 for the root element
    int iFirstChild = 0;  // record of the first child element; 0 if none
    int iNextSibling = 0; // record of the next element with the same parent; 0 if none
};

class CMarkup {
public:
    CMarkup();
    explicit CMarkup(std::string_view text);
    CMarkup(const CMarkup&) = default;
    CMarkup& operator=(const CMarkup&) = default;
    CMarkup(CMarkup&&) noexcept = default;
    CMarkup& operator=(CMarkup&&) noexcept = default;
    virtual ~CMarkup();

    // Replaces the text and parses its first top-level element. Any bytes are accepted; the
    // result says whether a root element was found and every tag under it nests and matches.
    // A failed parse keeps the text but no elements.
    bool SetDocument(std::string_view text);
    std::string GetDocument() const;
    // The message of the last failed parse; empty after a successful one.
    const std::string& GetLastError() const;

    // An empty name matches any element.
    bool FindElement(std::string_view name = {});
    bool FindChildElement(std::string_view name = {});
    bool EnterElement();
    bool LeaveElement();

    // Decoded values; empty when the attribute or the position is missing.
    std::string GetAttribute(std::string_view name) const;
    std::string GetChildAttribute(std::string_view name) const;
    std::string GetChildText() const;

    // Each added element goes on a line of its own, ended by CR LF.
    bool AddElement(std::string_view name, std::string_view text = {});
    bool AddChildElement(std::string_view name, std::string_view text = {});
    bool SetAttribute(std::string_view name, std::string_view value);
    bool SetAttribute(std::string_view name, long long value);
    bool SetChildAttribute(std::string_view name, std::string_view value);
    bool SetChildAttribute(std::string_view name, long long value);

    static std::string EscapeText(std::string_view text);
    static std::string EscapeAttribute(std::string_view value);
    static std::string Unescape(std::string_view text);

private:
    ElemPos& At(int iElem) { return m_aElements[static_cast<std::size_t>(iElem)]; }
    const ElemPos& At(int iElem) const { return m_aElements[static_cast<std::size_t>(iElem)]; }

    int TakeRecord();
    int ParseDocumentElement();
    int ParseStartTag(int iParent, bool& bEmpty);
    bool ParseEndTag(int iElem);
    void SetError(const char* message, int iElem);

    std::string_view NameOf(int iElem) const;
    bool FindAttributeValue(int iElem, std::string_view name, std::size_t& nValueStart,
                            std::size_t& nValueEnd, bool& bClosed) const;
    std::string AttributeOf(int iElem, std::string_view name) const;
    std::string TextOf(int iElem) const;
    bool SetAttributeOf(int iElem, std::string_view name, std::string_view value);
    int InsertElement(int iParent, int iAfter, std::string_view name, std::string_view text);

    void ShiftRecord(int iElem, int nFrom, int nDelta);
    void ShiftSubtree(int iTop, int nFrom, int nDelta);
    void ShiftFollowing(int iElem, int nFrom, int nDelta);

    std::string m_strDocument;
    std::string m_strLastError;
    std::vector<ElemPos> m_aElements;
    int m_iParent = 0;
    int m_iCurrent = 0;
    int m_iChild = 0;
    int m_iFreeSlot = 1;
    int m_nCurrentKind = 0;
};
