#pragma once

// A small streaming JSON writer for zembractl's --json output: one line, ", " between items and
// ": " after keys, keys in the order written. Commas are placed by the writer, so the commands
// only say what comes next.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace zembra {

// The text as a JSON string literal, quotes included. Quote and backslash are escaped, control
// characters become \u00XX; every other byte, UTF-8 sequences included, is copied as it is.
std::string JsonQuote(std::string_view text);

class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out)
        : m_out(out)
    {
    }
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // Inside an object: the key of the value written next.
    JsonWriter& Key(std::string_view name);

    JsonWriter& String(std::string_view text);
    JsonWriter& Bool(bool value);
    JsonWriter& Int(std::int64_t value);
    JsonWriter& Null();

    // Shorthands for a key and its value.
    JsonWriter& Field(std::string_view name, std::string_view text)
    {
        return Key(name).String(text);
    }
    JsonWriter& Field(std::string_view name, const char* text) { return Key(name).String(text); }
    JsonWriter& Field(std::string_view name, bool value) { return Key(name).Bool(value); }
    JsonWriter& Field(std::string_view name, std::int64_t value) { return Key(name).Int(value); }

private:
    // Writes the separator a value needs at this point: none after a key or at the start of a
    // container, ", " after an earlier item.
    void BeforeValue();

    std::ostream& m_out;
    // One entry per open container: true until its first item is written.
    std::vector<bool> m_firstInContainer;
    bool m_afterKey = false;
};

} // namespace zembra
