// SPDX-License-Identifier: MIT
// The JSON rendering of an explanation, written by hand: integers through
// std::to_chars, so no locale reaches them, and strings escaped byte by byte.

#include "encoder/explanation_json.h"

#include <charconv>
#include <cstdint>
#include <string_view>

#include "encoder/explanation_names.h"

namespace barquill::encoder {

namespace {

void appendInteger(std::string& out, long long value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

// Bytes from 0x80 up are read as Latin-1, so that any input stays valid JSON.
void appendString(std::string& out, std::string_view text) {
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c >= 0x7f) {
                    out += "\\u00";
                    out += hex[c >> 4];
                    out += hex[c & 0xf];
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    out += '"';
}

// Members of one object on one line, commas between them.
class Members {
public:
    explicit Members(std::string& out) : out_(out) { out_ += '{'; }
    ~Members() { out_ += '}'; }
    Members(const Members&) = delete;
    Members& operator=(const Members&) = delete;

    std::string& key(const char* name) {
        if (!first_) out_ += ", ";
        first_ = false;
        appendString(out_, name);
        out_ += ": ";
        return out_;
    }
    void integer(const char* name, long long value) { appendInteger(key(name), value); }
    void text(const char* name, std::string_view value) { appendString(key(name), value); }

private:
    std::string& out_;
    bool first_ = true;
};

std::string_view slice(const Explanation& e, std::size_t offset, std::size_t length) {
    return {reinterpret_cast<const char*>(e.data.data()) + offset, length};
}

void appendTextValue(std::string& out, const Explanation& e, const TextValue& value) {
    Members m(out);
    m.integer("value", value.value);
    m.text("kind", textValueKindName(value.kind));
    if (value.kind == TextValueKind::Padding) return;
    m.text("submode", submodeName(value.submode));
    if (value.kind != TextValueKind::Character) return;
    m.integer("offset", static_cast<long long>(value.offset));
    m.text("character", slice(e, value.offset, 1));
}

void appendCodeword(std::string& out, const Explanation& e, std::size_t position) {
    const ExplainedCodeword& c = e.codewords[position];
    const auto columns = static_cast<std::size_t>(e.columns);
    Members m(out);
    m.integer("position", static_cast<long long>(position));
    m.integer("row", static_cast<long long>(position / columns));
    m.integer("column", static_cast<long long>(position % columns));
    m.integer("value", c.value);
    m.text("role", roleName(c.role));
    switch (c.role) {
        case CodewordRole::Latch:
        case CodewordRole::Shift:
            m.text("mode", modeName(c.mode));
            return;
        case CodewordRole::Text: {
            m.text("mode", modeName(c.mode));
            std::string& values = m.key("values");
            values += '[';
            appendTextValue(values, e, c.textValues[0]);
            values += ", ";
            appendTextValue(values, e, c.textValues[1]);
            values += ']';
            return;
        }
        case CodewordRole::Byte: {
            m.text("mode", modeName(c.mode));
            m.integer("offset", static_cast<long long>(c.offset));
            m.integer("length", static_cast<long long>(c.length));
            std::string& bytes = m.key("bytes");
            bytes += '[';
            for (std::size_t i = 0; i < c.length; ++i) {
                if (i > 0) bytes += ", ";
                appendInteger(bytes, e.data[c.offset + i]);
            }
            bytes += ']';
            break;
        }
        case CodewordRole::Numeric:
            m.text("mode", modeName(c.mode));
            m.integer("offset", static_cast<long long>(c.offset));
            m.integer("length", static_cast<long long>(c.length));
            m.text("digits", slice(e, c.offset, c.length));
            break;
        case CodewordRole::Eci:
            m.integer("eci", c.number);
            return;
        case CodewordRole::EciNumber:
            m.integer("eci", c.number);
            break;
        case CodewordRole::MacroSegmentIndex:
            m.integer("segmentIndex", c.number);
            break;
        case CodewordRole::MacroField:
        case CodewordRole::MacroFieldId:
            m.integer("field", c.number);
            return;
        case CodewordRole::MacroFieldData:
            m.integer("field", c.number);
            break;
        case CodewordRole::MacroFileId:
        case CodewordRole::ErrorCorrection:
            break;
        default:
            return;
    }
    m.integer("part", c.part);
    m.integer("parts", c.parts);
}

// "name": [ one element per line ], through `element(out, i)`.
template <class Element>
void appendArray(std::string& out, const char* name, std::size_t count, Element element) {
    out += "  ";
    appendString(out, name);
    out += ": [";
    for (std::size_t i = 0; i < count; ++i) {
        out += i == 0 ? "\n    " : ",\n    ";
        element(out, i);
    }
    out += count == 0 ? "]" : "\n  ]";
}

void appendMember(std::string& out, const char* name, long long value) {
    out += "  ";
    appendString(out, name);
    out += ": ";
    appendInteger(out, value);
    out += ",\n";
}

}  // namespace

std::string explanationJson(const Explanation& e) {
    std::string out = "{\n";
    if (!e.ok()) {
        out += "  \"built\": false,\n  \"error\": ";
        appendString(out, buildErrorName(e.report.error));
        out += ",\n  \"dataCodewords\": ";
        appendInteger(out, e.report.dataCodewords);
        out += "\n}\n";
        return out;
    }
    out += "  \"built\": true,\n";
    appendMember(out, "dataLength", static_cast<long long>(e.data.size()));
    appendMember(out, "rows", e.rows);
    appendMember(out, "columns", e.columns);
    out += e.compact ? "  \"compact\": true,\n" : "  \"compact\": false,\n";
    appendMember(out, "level", e.level);
    appendMember(out, "errorCorrectionCodewords", e.errorCorrectionCodewords);
    appendMember(out, "lengthDescriptor", e.lengthDescriptor);
    appendMember(out, "dataCodewords", e.dataCodewords);
    appendMember(out, "paddingCodewords", e.paddingCodewords);
    appendMember(out, "capacityLeft", e.capacityLeft);
    appendArray(out, "segments", e.segments.size(), [&](std::string& o, std::size_t i) {
        const Segment& s = e.segments[i];
        Members m(o);
        m.text("mode", modeName(s.mode));
        m.integer("offset", static_cast<long long>(s.offset));
        m.integer("length", static_cast<long long>(s.length));
    });
    out += ",\n";
    appendArray(out, "codewords", e.codewords.size(),
                [&](std::string& o, std::size_t i) { appendCodeword(o, e, i); });
    out += ",\n";
    appendArray(out, "rowIndicators", e.rowIndicators.size(), [&](std::string& o, std::size_t i) {
        const RowIndicatorPair& pair = e.rowIndicators[i];
        Members m(o);
        m.integer("row", static_cast<long long>(i));
        m.integer("left", pair.left);
        if (pair.right) m.integer("right", *pair.right);
    });
    out += "\n}\n";
    return out;
}

}  // namespace barquill::encoder
