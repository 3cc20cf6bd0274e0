#include "Json.h"

namespace zembra {

std::string JsonQuote(std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            // DEL is legal in JSON, but escaped it cannot upset a terminal reading the output.
            quoted += "\\u00";
            quoted += kHex[byte >> 4];
            quoted += kHex[byte & 0x0F];
        } else {
            quoted += c;
        }
    }
    quoted += '"';
    return quoted;
}

void JsonWriter::BeforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_firstInContainer.empty()) {
        if (!m_firstInContainer.back()) {
            m_out << ", ";
        }
        m_firstInContainer.back() = false;
    }
}

JsonWriter& JsonWriter::BeginObject()
{
    BeforeValue();
    m_out << '{';
    m_firstInContainer.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::EndObject()
{
    m_firstInContainer.pop_back();
    m_out << '}';
    return *this;
}

JsonWriter& JsonWriter::BeginArray()
{
    BeforeValue();
    m_out << '[';
    m_firstInContainer.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::EndArray()
{
    m_firstInContainer.pop_back();
    m_out << ']';
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name)
{
    BeforeValue();
    m_out << JsonQuote(name) << ": ";
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view text)
{
    BeforeValue();
    m_out << JsonQuote(text);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value)
{
    BeforeValue();
    m_out << (value ? "true" : "false");
    return *this;
}

JsonWriter& JsonWriter::Int(std::int64_t value)
{
    BeforeValue();
    m_out << value;
    return *this;
}

JsonWriter& JsonWriter::Null()
{
    BeforeValue();
    m_out << "null";
    return *this;
}

} // namespace zembra
