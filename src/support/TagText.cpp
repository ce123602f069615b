// Tag text: a loose reader that skips whatever stands between elements.
#include "support/TagText.h"

void AppendTag(std::string& text, std::string_view name, std::string_view value) {
    text += '<';
    text += name;
    text += '>';
    text += value;
    text += "</";
    text += name;
    text += '>';
}

void TagReader::SetText(std::string_view text) {
    mText.assign(text);
    mPos = 0;
    mAtEnd = false;
}

TagElement TagReader::ReadElement() {
    TagElement element;
    if (mAtEnd) return element;

    // Skip to the opening "<".
    while (mPos < mText.size() && mText[mPos] != '<') ++mPos;
    if (mPos >= mText.size()) {
        mAtEnd = true;
        return element;
    }
    ++mPos;

    // The tag: name up to the first blank, then the attributes with their leading blanks skipped.
    bool inName = true;
    bool closed = false;
    while (mPos < mText.size()) {
        char c = mText[mPos++];
        if (c == '>') {
            closed = true;
            break;
        }
        if (inName) {
            if (c == ' ')
                inName = false;
            else
                element.name.push_back(c);
        } else if (!(c == ' ' && element.attributes.empty())) {
            element.attributes.push_back(c);
        }
    }
    if (!closed) {
        mAtEnd = true;
        return element;
    }

    // The content, up to the first closing tag of the same name.
    const std::string closing = "/" + element.name;
    std::string& content = element.content;
    std::string tag;
    bool inTag = false;
    size_t tagStart = 0;
    while (true) {
        if (mPos >= mText.size()) {
            mAtEnd = true;
            break;
        }
        char c = mText[mPos++];
        if (c >= 1 && c <= 31) continue;
        if (c == '<') {
            inTag = true;
            tag.clear();
            tagStart = content.size();
            content.push_back(c);
            continue;
        }
        if (c == '>' && inTag) {
            inTag = false;
            if (tag == closing) {
                content.resize(tagStart);
                break;
            }
        } else if (inTag) {
            tag.push_back(c);
        }
        content.push_back(c);
    }
    element.found = true;
    return element;
}
