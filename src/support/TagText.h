// Tagged diagnostic text: "<name>value</name>" elements appended by the crash report writer and
// read back loosely (no escaping, no nesting count) from the report server's answer.
#pragma once

#include <string>
#include <string_view>

// Appends "<name>value</name>"; nothing is escaped.
void AppendTag(std::string& text, std::string_view name, std::string_view value);

struct TagElement {
    bool found = false;
    std::string name;
    std::string attributes;
    std::string content;  // control characters (codes 1 to 31) removed
};

class TagReader {
public:
    // Copies `text` and starts reading at its beginning.
    void SetText(std::string_view text);
    // The next element; after the last one, an element whose `found` is false, for every call.
    TagElement ReadElement();

private:
    std::string mText;
    size_t mPos = 0;
    bool mAtEnd = true;
};
