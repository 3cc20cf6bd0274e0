#include "markup/CMarkup.h"

#include <algorithm>
#include <limits>
#include <string>
#include <utility>

namespace {

// Offsets are kept in 32-bit records; a longer text could not be indexed.
constexpr std::size_t kMaxDocument = static_cast<std::size_t>(std::numeric_limits<int>::max()) - 16;

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kCdataOpen = "<![CDATA[";
constexpr std::string_view kCdataClose = "]]>";

constexpr bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Characters that end a name and stand as tokens of their own.
constexpr bool IsDelimiter(char c)
{
    return c == '<' || c == '>' || c == '=' || c == '\\' || c == '/' || c == '?' || c == '!';
}

// A token is [nStart, nEnd) of the text. For a quoted string the range excludes the quotes and
// bClosed tells whether the closing quote was there (otherwise the string runs to the end).
struct Token {
    std::size_t nStart = 0;
    std::size_t nEnd = 0;
    bool bQuoted = false;
    bool bClosed = false;
};

// Reads the token that starts at or after nCursor and moves nCursor past it. False at the end of
// the text.
bool NextToken(std::string_view doc, std::size_t& nCursor, Token& token)
{
    std::size_t n = nCursor;
    while (n < doc.size() && IsSpace(doc[n])) {
        ++n;
    }
    if (n >= doc.size()) {
        nCursor = doc.size();
        return false;
    }
    const char c = doc[n];
    token.bClosed = false;
    if (c == '"' || c == '\'') {
        token.bQuoted = true;
        token.nStart = n + 1;
        const std::size_t nQuote = doc.find(c, n + 1);
        if (nQuote == std::string_view::npos) {
            token.nEnd = doc.size();
            nCursor = doc.size();
        } else {
            token.nEnd = nQuote;
            token.bClosed = true;
            nCursor = nQuote + 1;
        }
        return true;
    }
    token.bQuoted = false;
    token.nStart = n;
    if (IsDelimiter(c)) {
        token.nEnd = n + 1;
    } else {
        std::size_t e = n + 1;
        while (e < doc.size() && !IsSpace(doc[e]) && !IsDelimiter(doc[e])) {
            ++e;
        }
        token.nEnd = e;
    }
    nCursor = token.nEnd;
    return true;
}

std::string_view TokenText(std::string_view doc, const Token& token)
{
    return doc.substr(token.nStart, token.nEnd - token.nStart);
}

// An unquoted one-character token such as '>' or '/'.
bool IsMark(std::string_view doc, const Token& token, char mark)
{
    return !token.bQuoted && token.nEnd == token.nStart + 1 && doc[token.nStart] == mark;
}

// A token stands for a name when the name begins with it and goes no further than a blank, '=',
// '/' or '['. The comparison is exact and case-sensitive.
bool TokenMatchesName(std::string_view token, std::string_view name)
{
    if (name.size() < token.size() || name.compare(0, token.size(), token) != 0) {
        return false;
    }
    if (name.size() == token.size()) {
        return true;
    }
    const char next = name[token.size()];
    return next == ' ' || next == '=' || next == '/' || next == '[';
}

// Skips a declaration, processing instruction, comment, CDATA section or document type whose
// '?' or '!' stands at nMark. On success nAfter is the offset just past the node.
bool SkipNode(std::string_view doc, std::size_t nMark, std::size_t& nAfter)
{
    const std::size_t nBody = nMark + 1;
    if (nBody >= doc.size()) {
        return false;
    }
    std::string_view terminator;
    if (doc[nMark] == '?') {
        terminator = "?>";
    } else if (doc[nBody] == '[') {
        terminator = "]]>";
    } else if (doc[nBody] == '-') {
        terminator = "-->";
    }
    if (!terminator.empty()) {
        const std::size_t nFound = doc.find(terminator, nBody);
        if (nFound == std::string_view::npos) {
            return false;
        }
        nAfter = nFound + terminator.size();
        return true;
    }
    // A document type may carry an internal subset in square brackets whose declarations have
    // '>' of their own; only a '>' outside the brackets ends the node.
    int nDepth = 0;
    std::size_t nCursor = nBody;
    Token token;
    while (NextToken(doc, nCursor, token)) {
        if (token.bQuoted) {
            continue;
        }
        const char c = doc[token.nStart];
        if (c == '[') {
            ++nDepth;
        } else if (c == ']') {
            --nDepth;
        } else if (c == '>' && nDepth <= 0) {
            nAfter = token.nEnd;
            return true;
        }
    }
    return false;
}

std::string Escape(std::string_view text, bool bAttribute)
{
    std::string out;
    out.reserve(text.size() + 7 + text.size() / 10);
    for (const char c : text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '\'':
            out += bAttribute ? std::string_view("&apos;") : std::string_view("'");
            break;
        case '"':
            out += bAttribute ? std::string_view("&quot;") : std::string_view("\"");
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

} // namespace

CMarkup::CMarkup()
{
    SetDocument({});
}

CMarkup::CMarkup(std::string_view text)
{
    SetDocument(text);
}

CMarkup::~CMarkup() = default;

bool CMarkup::SetDocument(std::string_view text)
{
    m_strDocument.assign(text);
    m_strLastError.clear();
    m_iFreeSlot = 1;
    m_iParent = m_iCurrent = m_iChild = 0;
    m_nCurrentKind = 0;
    const std::size_t nRecords = text.size() / 64 + 8;
    if (m_aElements.size() < nRecords) {
        m_aElements.resize(nRecords);
    }
    m_aElements[0] = ElemPos{};
    if (text.empty() || text.size() > kMaxDocument) {
        return false;
    }

    const int iRoot = ParseDocumentElement();
    m_iParent = m_iCurrent = m_iChild = 0;
    m_nCurrentKind = 0;
    if (iRoot > 0) {
        m_aElements[0].iFirstChild = iRoot;
        return true;
    }
    m_aElements[0] = ElemPos{};
    m_iFreeSlot = 1;
    return false;
}

std::string CMarkup::GetDocument() const
{
    return m_strDocument;
}

const std::string& CMarkup::GetLastError() const
{
    return m_strLastError;
}

int CMarkup::TakeRecord()
{
    const auto nSlot = static_cast<std::size_t>(m_iFreeSlot);
    if (nSlot >= m_aElements.size()) {
        m_aElements.resize(m_aElements.size() + std::max<std::size_t>(m_aElements.size() / 2, 1));
    }
    m_aElements[nSlot] = ElemPos{};
    return m_iFreeSlot++;
}

void CMarkup::SetError(const char* message, int iElem)
{
    m_strLastError = message;
    const std::size_t nPlaceholder = m_strLastError.find("%s");
    if (nPlaceholder != std::string::npos) {
        m_strLastError.replace(nPlaceholder, 2, iElem > 0 ? NameOf(iElem) : std::string_view());
    }
}

// Parses the first element at the top level. Elements nest as deep as the text says, so the
// descent keeps its own stack instead of recursing: a hostile file cannot exhaust the call stack.
// Returns the root's record, 0 when an end tag came first, -1 on an error.
int CMarkup::ParseDocumentElement()
{
    struct Open {
        int iElem;
        int iLastChild;
    };
    std::vector<Open> open;
    int iParent = 0;
    for (;;) {
        bool bEmpty = false;
        int iResult = ParseStartTag(iParent, bEmpty);
        if (iResult < 0) {
            return -1;
        }
        if (iResult > 0 && !bEmpty) {
            // Its children come next, scanned from just after the start tag.
            open.push_back({iResult, 0});
            iParent = iResult;
            continue;
        }
        // A finished element (or an end tag) is handed to the element that encloses it; an end
        // tag completes that element, which in turn is handed further up.
        for (;;) {
            if (open.empty()) {
                return iResult;
            }
            Open& top = open.back();
            ElemPos& parent = At(top.iElem);
            if (iResult > 0) {
                if (top.iLastChild == 0) {
                    parent.iFirstChild = iResult;
                } else {
                    At(top.iLastChild).iNextSibling = iResult;
                }
                top.iLastChild = iResult;
                parent.nEndOpen = At(iResult).nEndClose + 1;
                iParent = top.iElem;
                break;
            }
            if (!ParseEndTag(top.iElem)) {
                m_iFreeSlot = top.iElem;
                return -1;
            }
            iResult = top.iElem;
            open.pop_back();
        }
    }
}

// Looks for the next start tag under iParent from the parent's scanning cursor (its nEndOpen),
// skipping text and special nodes. Returns the new record, 0 when an end tag comes first, or -1.
int CMarkup::ParseStartTag(int iParent, bool& bEmpty)
{
    const std::string_view doc = m_strDocument;
    const int iElem = TakeRecord();
    At(iElem).nStartOpen = At(iParent).nEndOpen;
    At(iElem).iParent = iParent;

    const auto fail = [&](const char* message) {
        SetError(message, 0);
        m_iFreeSlot = iElem;
        return -1;
    };

    for (;;) {
        const auto nCursor = static_cast<std::size_t>(At(iParent).nEndOpen);
        const std::size_t nOpen = doc.find('<', nCursor);
        if (nOpen == std::string_view::npos) {
            return fail("Element tag not found");
        }
        At(iElem).nStartOpen = static_cast<int>(nOpen);
        At(iParent).nEndOpen = static_cast<int>(nOpen);

        std::size_t nTokenCursor = nOpen + 1;
        Token token;
        if (!NextToken(doc, nTokenCursor, token)) {
            return fail("Abrupt end within tag");
        }
        if (token.bQuoted) {
            return fail("Tag starts with quote");
        }
        const char first = doc[token.nStart];
        if (first == '?' || first == '!') {
            std::size_t nAfter = 0;
            if (!SkipNode(doc, token.nStart, nAfter)) {
                return fail("Invalid node");
            }
            At(iParent).nEndOpen = static_cast<int>(nAfter);
            continue;
        }
        if (first == '/') {
            // An end tag: the enclosing element is complete. The record is not needed.
            m_iFreeSlot = iElem;
            return 0;
        }

        // Attribute values are not looked at here: the first '>' ends the tag, even in quotes.
        const std::size_t nClose = doc.find('>', token.nEnd);
        if (nClose == std::string_view::npos) {
            return fail("End of tag not found");
        }
        ElemPos& elem = At(iElem);
        elem.nStartClose = static_cast<int>(nClose);
        if (doc[nClose - 1] == '/') {
            elem.nEndOpen = elem.nStartClose - 1;
            elem.nEndClose = elem.nStartClose;
            bEmpty = true;
        } else {
            elem.nEndOpen = elem.nStartClose + 1;
            bEmpty = false;
        }
        return iElem;
    }
}

// Checks the end tag that follows iElem's content, from iElem's scanning cursor.
bool CMarkup::ParseEndTag(int iElem)
{
    const std::string_view doc = m_strDocument;
    ElemPos& elem = At(iElem);
    const std::size_t nOpen = doc.find('<', static_cast<std::size_t>(elem.nEndOpen));
    if (nOpen == std::string_view::npos) {
        SetError("End tag of %s element not found", iElem);
        return false;
    }
    elem.nEndOpen = static_cast<int>(nOpen);

    const std::string_view name = NameOf(iElem);
    std::size_t nCursor = nOpen + 1;
    Token token;
    int nTokens = 0;
    while (NextToken(doc, nCursor, token)) {
        if (IsMark(doc, token, '>')) {
            if (nTokens >= 2) {
                elem.nEndClose = static_cast<int>(token.nStart);
                return true;
            }
            break;
        }
        ++nTokens;
        if (nTokens == 1 && !IsMark(doc, token, '/')) {
            SetError("Expecting end tag of element %s", iElem);
            return false;
        }
        if (nTokens == 2 && !TokenMatchesName(TokenText(doc, token), name)) {
            SetError("End tag does not correspond to %s", iElem);
            return false;
        }
    }
    SetError("End tag not completed for element %s", iElem);
    return false;
}

// The first token after the element's '<': its tag name.
std::string_view CMarkup::NameOf(int iElem) const
{
    const std::string_view doc = m_strDocument;
    std::size_t nCursor = static_cast<std::size_t>(At(iElem).nStartOpen) + 1;
    Token token;
    if (!NextToken(doc, nCursor, token)) {
        return {};
    }
    return TokenText(doc, token);
}

bool CMarkup::FindElement(std::string_view name)
{
    int i = m_iCurrent != 0 ? At(m_iCurrent).iNextSibling : At(m_iParent).iFirstChild;
    while (i != 0 && !name.empty() && !TokenMatchesName(NameOf(i), name)) {
        i = At(i).iNextSibling;
    }
    if (i == 0) {
        return false;
    }
    m_iCurrent = i;
    m_iParent = At(i).iParent;
    m_iChild = 0;
    m_nCurrentKind = 1;
    return true;
}

bool CMarkup::FindChildElement(std::string_view name)
{
    // Without a current element the search starts at the first element of the level: the root.
    if (m_iCurrent == 0 && !FindElement()) {
        return false;
    }
    int i = m_iChild != 0 ? At(m_iChild).iNextSibling : At(m_iCurrent).iFirstChild;
    while (i != 0 && !name.empty() && !TokenMatchesName(NameOf(i), name)) {
        i = At(i).iNextSibling;
    }
    if (i == 0) {
        return false;
    }
    m_iChild = i;
    m_iCurrent = At(i).iParent;
    m_iParent = At(m_iCurrent).iParent;
    m_nCurrentKind = m_iCurrent != 0 ? 1 : 0;
    return true;
}

bool CMarkup::EnterElement()
{
    if (m_iCurrent == 0 || m_nCurrentKind != 1) {
        return false;
    }
    m_iParent = m_iCurrent;
    m_iCurrent = m_iChild;
    m_iChild = 0;
    m_nCurrentKind = m_iCurrent != 0 ? 1 : 0;
    return true;
}

bool CMarkup::LeaveElement()
{
    if (m_iParent == 0) {
        return false;
    }
    m_iChild = m_iCurrent;
    m_iCurrent = m_iParent;
    m_iParent = At(m_iParent).iParent;
    m_nCurrentKind = 1;
    return true;
}

// Finds the quoted value of an attribute by reading the start tag token by token: the name, an
// equals sign and the quoted value. An unquoted value is not recognised.
bool CMarkup::FindAttributeValue(int iElem, std::string_view name, std::size_t& nValueStart,
                                 std::size_t& nValueEnd, bool& bClosed) const
{
    const std::string_view doc = m_strDocument;
    std::size_t nCursor = static_cast<std::size_t>(At(iElem).nStartOpen) + 1;
    Token token;
    if (!NextToken(doc, nCursor, token)) {
        return false; // not even the element's name
    }
    long long nIndex = 0;
    long long nNameIndex = -3;
    while (NextToken(doc, nCursor, token)) {
        ++nIndex;
        if (token.bQuoted) {
            if (nIndex == nNameIndex + 2) {
                nValueStart = token.nStart;
                nValueEnd = token.nEnd;
                bClosed = token.bClosed;
                return true;
            }
            continue;
        }
        const char c = doc[token.nStart];
        if (c == '>' || c == '/' || c == '?') {
            return false;
        }
        if (c != '=' && TokenMatchesName(TokenText(doc, token), name)) {
            nNameIndex = nIndex;
        }
    }
    return false;
}

std::string CMarkup::AttributeOf(int iElem, std::string_view name) const
{
    if (iElem == 0 || m_nCurrentKind != 1) {
        return {};
    }
    std::size_t nStart = 0;
    std::size_t nEnd = 0;
    bool bClosed = false;
    if (!FindAttributeValue(iElem, name, nStart, nEnd, bClosed)) {
        return {};
    }
    return Unescape(std::string_view(m_strDocument).substr(nStart, nEnd - nStart));
}

std::string CMarkup::GetAttribute(std::string_view name) const
{
    return AttributeOf(m_iCurrent, name);
}

std::string CMarkup::GetChildAttribute(std::string_view name) const
{
    return AttributeOf(m_iChild, name);
}

std::string CMarkup::TextOf(int iElem) const
{
    if (iElem == 0 || m_nCurrentKind != 1) {
        return {};
    }
    const ElemPos& elem = At(iElem);
    if (elem.iFirstChild != 0 || elem.nStartClose == elem.nEndOpen + 1) {
        return {};
    }
    const std::string_view doc = m_strDocument;
    const auto nStart = static_cast<std::size_t>(elem.nStartClose) + 1;
    const auto nEnd = static_cast<std::size_t>(elem.nEndOpen);
    if (nStart > nEnd || nEnd > doc.size()) {
        return {};
    }
    std::size_t n = nStart;
    while (n < nEnd && IsSpace(doc[n])) {
        ++n;
    }
    // Content in a CDATA section is taken as it stands, without decoding.
    if (nEnd - n > 11 && doc.substr(n, kCdataOpen.size()) == kCdataOpen) {
        const std::size_t nBody = n + kCdataOpen.size();
        const std::size_t nFound = doc.substr(nBody, nEnd - nBody).find(kCdataClose);
        if (nFound != std::string_view::npos) {
            return std::string(doc.substr(nBody, nFound));
        }
    }
    return Unescape(doc.substr(nStart, nEnd - nStart));
}

std::string CMarkup::GetChildText() const
{
    return TextOf(m_iChild);
}

std::string CMarkup::EscapeText(std::string_view text)
{
    return Escape(text, false);
}

std::string CMarkup::EscapeAttribute(std::string_view value)
{
    return Escape(value, true);
}

std::string CMarkup::Unescape(std::string_view text)
{
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"lt;", '<'}, {"amp;", '&'}, {"gt;", '>'}, {"apos;", '\''}, {"quot;", '"'},
    };
    std::string out;
    out.reserve(text.size());
    for (std::size_t n = 0; n < text.size(); ++n) {
        const char c = text[n];
        if (c == '&') {
            const std::string_view rest = text.substr(n + 1);
            bool bDecoded = false;
            for (const auto& [entity, replacement] : kEntities) {
                if (rest.substr(0, entity.size()) == entity) {
                    out += replacement;
                    n += entity.size();
                    bDecoded = true;
                    break;
                }
            }
            if (bDecoded) {
                continue;
            }
        }
        out += c;
    }
    return out;
}

bool CMarkup::AddElement(std::string_view name, std::string_view text)
{
    if (name.empty()) {
        return false;
    }
    if (m_iParent == 0) {
        // At the top level only the root can be added, and it goes at the very end of the text.
        if (m_aElements[0].iFirstChild != 0 || m_strDocument.size() > kMaxDocument) {
            return false;
        }
        m_aElements[0].nEndOpen = static_cast<int>(m_strDocument.size());
    }
    const int iNew = InsertElement(m_iParent, m_iCurrent, name, text);
    if (iNew == 0) {
        return false;
    }
    m_iCurrent = iNew;
    m_iChild = 0;
    m_nCurrentKind = 1;
    return true;
}

bool CMarkup::AddChildElement(std::string_view name, std::string_view text)
{
    if (name.empty() || m_iCurrent == 0) {
        return false;
    }
    const int iNew = InsertElement(m_iCurrent, m_iChild, name, text);
    if (iNew == 0) {
        return false;
    }
    m_iChild = iNew;
    return true;
}

// Inserts a new element under iParent after iAfter (or as the last child when iAfter is 0) and
// returns its record, or 0 when the text would grow too long to be indexed.
int CMarkup::InsertElement(int iParent, int iAfter, std::string_view name, std::string_view text)
{
    const std::string encoded = EscapeText(text);
    std::string element;
    element.reserve(2 * name.size() + encoded.size() + 8);
    element += '<';
    element += name;
    if (encoded.empty()) {
        element += "/>";
    } else {
        element += '>';
        element += encoded;
        element += "</";
        element += name;
        element += '>';
    }
    element += kCrLf;

    const ElemPos parent = At(iParent);
    const bool bParentEmpty = iParent != 0 && parent.nStartClose == parent.nEndOpen + 1;

    // Lengths of the name and the text as they lie inside the new element's own tags.
    const int nNameLength = static_cast<int>(name.size());
    const int nTextLength = static_cast<int>(encoded.size());

    if (bParentEmpty) {
        // <P .../> is opened: its '/' gives way to '>', a line break, the new element and the
        // start of P's end tag, whose '>' is P's old closing '>'.
        const std::string parentName(NameOf(iParent));
        std::string insert;
        insert.reserve(element.size() + parentName.size() + 5);
        insert += '>';
        insert += kCrLf;
        insert += element;
        insert += "</";
        insert += parentName;
        if (insert.size() > kMaxDocument - m_strDocument.size()) {
            return 0;
        }
        const int iNew = TakeRecord();
        const int nSlash = parent.nEndOpen;
        const int nOldClose = parent.nStartClose;
        const int nDelta = static_cast<int>(insert.size()) - 1;
        m_strDocument.replace(static_cast<std::size_t>(nSlash), 1, insert);

        ElemPos& added = At(iNew);
        added.iParent = iParent;
        added.nStartOpen = nSlash + 1 + static_cast<int>(kCrLf.size());
        added.nStartClose = added.nStartOpen + 1 + nNameLength + (encoded.empty() ? 1 : 0);
        added.nEndOpen =
            encoded.empty() ? added.nStartClose - 1 : added.nStartClose + 1 + nTextLength;
        added.nEndClose =
            encoded.empty() ? added.nStartClose : added.nEndOpen + 1 + nNameLength + 1;

        ElemPos& opened = At(iParent);
        opened.nStartClose = nSlash;
        opened.nEndOpen = added.nEndClose + 1 + static_cast<int>(kCrLf.size());
        opened.nEndClose = nOldClose + nDelta;
        opened.iFirstChild = iNew;
        ShiftFollowing(iParent, nOldClose, nDelta);
        return iNew;
    }

    std::size_t nPos = 0;
    bool bLineBreakFirst = false;
    if (iAfter != 0) {
        nPos = static_cast<std::size_t>(At(iAfter).nEndClose) + 1;
    } else {
        nPos = static_cast<std::size_t>(parent.nEndOpen);
        // <P></P>: the new element begins a line of its own.
        bLineBreakFirst = iParent != 0 && parent.nEndOpen == parent.nStartClose + 1;
        for (int i = parent.iFirstChild; i != 0; i = At(i).iNextSibling) {
            iAfter = i;
        }
    }
    if (nPos > m_strDocument.size()) {
        return 0;
    }
    // Whitespace that leads to the next tag (or to the end) belongs before the new element, so
    // that the new element starts where that tag started, after the previous line's CR LF.
    std::size_t nSkip = nPos;
    while (nSkip < m_strDocument.size() && IsSpace(m_strDocument[nSkip])) {
        ++nSkip;
    }
    if (nSkip == m_strDocument.size() || m_strDocument[nSkip] == '<') {
        nPos = nSkip;
    }

    if (bLineBreakFirst) {
        element.insert(0, kCrLf);
    }
    if (element.size() > kMaxDocument - m_strDocument.size()) {
        return 0;
    }
    const int iNew = TakeRecord();
    m_strDocument.insert(nPos, element);

    ElemPos& added = At(iNew);
    added.iParent = iParent;
    added.nStartOpen =
        static_cast<int>(nPos) + (bLineBreakFirst ? static_cast<int>(kCrLf.size()) : 0);
    added.nStartClose = added.nStartOpen + 1 + nNameLength + (encoded.empty() ? 1 : 0);
    added.nEndOpen = encoded.empty() ? added.nStartClose - 1 : added.nStartClose + 1 + nTextLength;
    added.nEndClose = encoded.empty() ? added.nStartClose : added.nEndOpen + 1 + nNameLength + 1;
    if (iAfter != 0) {
        ElemPos& previous = At(iAfter);
        added.iNextSibling = previous.iNextSibling;
        previous.iNextSibling = iNew;
    } else {
        added.iNextSibling = At(iParent).iFirstChild;
        At(iParent).iFirstChild = iNew;
    }
    ShiftFollowing(iNew, static_cast<int>(nPos), static_cast<int>(element.size()));
    return iNew;
}

bool CMarkup::SetAttributeOf(int iElem, std::string_view name, std::string_view value)
{
    if (iElem == 0 || m_nCurrentKind != 1 || name.empty()) {
        return false;
    }
    const std::string encoded = EscapeAttribute(value);
    const ElemPos elem = At(iElem);
    std::size_t nStart = 0;
    std::size_t nEnd = 0;
    bool bClosed = false;
    if (FindAttributeValue(iElem, name, nStart, nEnd, bClosed)) {
        // The value is replaced between its own quotes, which stay as they were. A value whose
        // quotes do not close within the start tag (a '>' in it ended the tag early) would take
        // tags with it, so it is left alone.
        if (!bClosed || nEnd >= static_cast<std::size_t>(elem.nStartClose)) {
            return false;
        }
        const std::size_t nOld = nEnd - nStart;
        if (encoded.size() > nOld && encoded.size() - nOld > kMaxDocument - m_strDocument.size()) {
            return false;
        }
        m_strDocument.replace(nStart, nOld, encoded);
        const int nDelta = static_cast<int>(encoded.size()) - static_cast<int>(nOld);
        if (nDelta != 0) {
            ShiftSubtree(iElem, static_cast<int>(nEnd), nDelta);
            ShiftFollowing(iElem, static_cast<int>(nEnd), nDelta);
        }
        return true;
    }

    // A new attribute goes at the end of the start tag, before "/>" or ">", so attributes stand
    // in the order in which they were first set.
    std::string insert;
    insert.reserve(name.size() + encoded.size() + 4);
    insert += ' ';
    insert += name;
    insert += "=\"";
    insert += encoded;
    insert += '"';
    if (insert.size() > kMaxDocument - m_strDocument.size()) {
        return false;
    }
    const bool bEmpty = elem.nStartClose == elem.nEndOpen + 1;
    const int nPos = bEmpty ? elem.nEndOpen : elem.nStartClose;
    m_strDocument.insert(static_cast<std::size_t>(nPos), insert);
    ShiftSubtree(iElem, nPos, static_cast<int>(insert.size()));
    ShiftFollowing(iElem, nPos, static_cast<int>(insert.size()));
    return true;
}

bool CMarkup::SetAttribute(std::string_view name, std::string_view value)
{
    return SetAttributeOf(m_iCurrent, name, value);
}

bool CMarkup::SetAttribute(std::string_view name, long long value)
{
    return SetAttributeOf(m_iCurrent, name, std::to_string(value));
}

bool CMarkup::SetChildAttribute(std::string_view name, std::string_view value)
{
    return SetAttributeOf(m_iChild, name, value);
}

bool CMarkup::SetChildAttribute(std::string_view name, long long value)
{
    return SetAttributeOf(m_iChild, name, std::to_string(value));
}

void CMarkup::ShiftRecord(int iElem, int nFrom, int nDelta)
{
    ElemPos& elem = At(iElem);
    for (int* offset : {&elem.nStartOpen, &elem.nStartClose, &elem.nEndOpen, &elem.nEndClose}) {
        if (*offset >= nFrom) {
            *offset += nDelta;
        }
    }
}

// Shifts iTop and every element inside it, in document order, without a stack.
void CMarkup::ShiftSubtree(int iTop, int nFrom, int nDelta)
{
    int i = iTop;
    for (;;) {
        ShiftRecord(i, nFrom, nDelta);
        const ElemPos& elem = At(i);
        if (elem.iFirstChild != 0) {
            i = elem.iFirstChild;
            continue;
        }
        while (i != iTop && At(i).iNextSibling == 0) {
            i = At(i).iParent;
        }
        if (i == iTop) {
            return;
        }
        i = At(i).iNextSibling;
    }
}

// After a change at offset nFrom inside or right after iElem, shifts what lies behind it: the
// elements that follow iElem and each of its ancestors, and the end tags of the ancestors. The
// records before the change are not visited, so an edit at the end of the document costs only
// the depth of the tree.
void CMarkup::ShiftFollowing(int iElem, int nFrom, int nDelta)
{
    for (int i = iElem; i != 0; i = At(i).iParent) {
        for (int s = At(i).iNextSibling; s != 0; s = At(s).iNextSibling) {
            ShiftSubtree(s, nFrom, nDelta);
        }
        const int iParent = At(i).iParent;
        if (iParent != 0) {
            ShiftRecord(iParent, nFrom, nDelta);
        }
    }
}
