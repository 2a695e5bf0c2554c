#include "TextForm.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <stdexcept>
#include <vector>

#include "util/Cp1251.h"

namespace textform {
namespace {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

bool IsBlank(char32_t c) {
    return c == ' ' || c == '\t';
}

bool IsBareChar(char32_t c) {
    return c > 0x20 && c != 0x7F && c != 0xA0 && c != 0xAD && c != '"' && c != '#' && c != ';' &&
           c != '[' && c != ']';
}

int HexValue(char32_t c) {
    if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
    return -1;
}

std::string Hex2(unsigned value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value & 0xFF);
    return text;
}

char ToByte(char32_t c) {
    const int b = cp1251::FromUnicode(c);
    if (b < 0) {
        std::string shown;
        cp1251::AppendUtf8(shown, c);
        char name[16];
        std::snprintf(name, sizeof name, "U+%04lX", static_cast<unsigned long>(c));
        throw Failure(std::string(name) + " '" + shown + "' cannot be written in cp1251");
    }
    return static_cast<char>(b);
}

// One line of the source as code points, read from left to right.
class Line {
  public:
    explicit Line(std::u32string chars) : chars(std::move(chars)) {}

    void SkipBlanks() {
        while (pos < chars.size() && IsBlank(chars[pos])) ++pos;
    }
    // Only blanks and perhaps a comment are left.
    bool AtEnd() {
        SkipBlanks();
        return pos == chars.size() || chars[pos] == ';';
    }
    char32_t Peek() const { return pos < chars.size() ? chars[pos] : 0; }
    bool Take(char32_t c) {
        if (Peek() != c || pos >= chars.size()) return false;
        ++pos;
        return true;
    }

    // A bare name or a text.
    std::string Name(const char* what) {
        SkipBlanks();
        const char32_t c = Peek();
        if (c == '"' || c == '#') {
            return Text();
        }
        std::string name;
        while (pos < chars.size() && IsBareChar(chars[pos])) {
            name += ToByte(chars[pos++]);
        }
        if (name.empty()) {
            throw Failure(std::string(what) + " expected");
        }
        return name;
    }

    // Quoted parts and #HH byte codes, written together without blanks between them.
    std::string Text() {
        SkipBlanks();
        std::string text;
        bool any = false;
        for (;;) {
            const char32_t c = Peek();
            if (c == '"') {
                ++pos;
                for (;;) {
                    if (pos >= chars.size()) throw Failure("text not closed by a quote");
                    const char32_t q = chars[pos++];
                    if (q == '"') {
                        if (Peek() != '"') break;
                        ++pos;
                    }
                    text += ToByte(q);
                }
            } else if (c == '#') {
                ++pos;
                const int hi = pos < chars.size() ? HexValue(chars[pos]) : -1;
                const int lo = pos + 1 < chars.size() ? HexValue(chars[pos + 1]) : -1;
                if (hi < 0 || lo < 0) throw Failure("# must be followed by two hex digits");
                pos += 2;
                if (hi == 0 && lo == 0) {
                    throw Failure("a text cannot hold a zero byte (#00); use an H value");
                }
                text += static_cast<char>(hi * 16 + lo);
            } else {
                break;
            }
            any = true;
        }
        if (!any) throw Failure("quoted text expected");
        return text;
    }

    // A run of characters up to a blank or a comment.
    std::string Word() {
        SkipBlanks();
        std::string word;
        while (pos < chars.size() && !IsBlank(chars[pos]) && chars[pos] != ';') {
            if (chars[pos] >= 0x80) throw Failure("unexpected character in a value");
            word += static_cast<char>(chars[pos++]);
        }
        return word;
    }

  private:
    std::u32string chars;
    std::size_t pos = 0;
};

char TypeLetter(Line& line) {
    line.SkipBlanks();
    const std::string word = line.Word();
    if (word.size() == 1 &&
        ((word[0] >= 'A' && word[0] <= 'Z') || (word[0] >= 'a' && word[0] <= 'z'))) {
        return word[0];
    }
    if (word.size() == 3 && word[0] == '#' && HexValue(word[1]) >= 0 && HexValue(word[2]) >= 0) {
        return static_cast<char>(HexValue(word[1]) * 16 + HexValue(word[2]));
    }
    throw Failure("type letter expected (S, I, B, H, or another letter without a value)");
}

CatalogValue Value(char type, Line& line) {
    switch (type) {
        case CatalogValue::kString:
            return CatalogValue::String(line.Text());
        case CatalogValue::kInteger: {
            const std::string word = line.Word();
            std::size_t digits = word.size() > 0 && (word[0] == '-' || word[0] == '+') ? 1 : 0;
            if (digits == word.size() ||
                !std::all_of(word.begin() + static_cast<std::ptrdiff_t>(digits), word.end(),
                             [](char c) { return c >= '0' && c <= '9'; })) {
                throw Failure("I needs a decimal integer");
            }
            long long value = 0;
            for (std::size_t i = digits; i < word.size(); ++i) {
                value = value * 10 + (word[i] - '0');
                if (value > 2147483648LL) break;
            }
            if (word[0] == '-') value = -value;
            if (value < std::numeric_limits<std::int32_t>::min() ||
                value > std::numeric_limits<std::int32_t>::max()) {
                throw Failure("I value " + word + " is outside the 32-bit range");
            }
            return CatalogValue::Integer(static_cast<std::int32_t>(value));
        }
        case CatalogValue::kTruth: {
            const std::string word = line.Word();
            if (word == "true" || word == "1") return CatalogValue::Truth(true);
            if (word == "false" || word == "0") return CatalogValue::Truth(false);
            throw Failure("B needs true or false");
        }
        case CatalogValue::kBlob: {
            std::string bytes;
            for (;;) {
                const std::string word = line.Word();
                if (word.empty()) break;
                if (word.size() % 2 != 0) throw Failure("H needs whole bytes: pairs of hex digits");
                for (std::size_t i = 0; i < word.size(); i += 2) {
                    const int hi = HexValue(static_cast<unsigned char>(word[i]));
                    const int lo = HexValue(static_cast<unsigned char>(word[i + 1]));
                    if (hi < 0 || lo < 0) throw Failure("H needs hex digits");
                    bytes += static_cast<char>(hi * 16 + lo);
                }
            }
            return CatalogValue::Blob(bytes);
        }
        default:
            return CatalogValue::Untyped(type);
    }
}

std::u32string DecodeLine(const std::string& utf8) {
    std::u32string chars;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t c = 0;
        if (!cp1251::NextUtf8(utf8, pos, c)) {
            throw Failure("invalid UTF-8 (byte 0x" + Hex2(static_cast<std::uint8_t>(utf8[pos])) +
                          " at column " + std::to_string(chars.size() + 1) + ")");
        }
        chars += c;
    }
    return chars;
}

std::string PrintTypeLetter(char type) {
    const auto b = static_cast<unsigned char>(type);
    if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')) return std::string(1, type);
    return "#" + Hex2(b);
}

template <typename Map>
std::vector<typename Map::const_pointer> Sorted(const Map& map) {
    std::vector<typename Map::const_pointer> items;
    for (const auto& item : map) items.push_back(&item);
    std::sort(items.begin(), items.end(), [](auto a, auto b) { return a->first < b->first; });
    return items;
}

}  // namespace

bool Parse(const std::string& text, const std::string& sourceName, CatalogStore& store,
           std::string& error) {
    std::map<std::string, int> sectionLines;
    std::map<std::string, int> keyLines;
    CatalogSection* section = nullptr;
    // Where the entries under a section line that is at fault go, so that they are still read.
    CatalogSection lost;
    std::vector<std::string> faults;
    std::size_t start = 0;
    int number = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;  // byte order mark
    while (start < text.size()) {
        ++number;
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string raw = text.substr(start, end - start);
        start = end + 1;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        bool sectionLine = false;
        try {
            Line line(DecodeLine(raw));
            if (line.AtEnd()) continue;
            sectionLine = line.Take('[');
            if (sectionLine) {
                const std::string name = line.Name("section name");
                line.SkipBlanks();
                if (!line.Take(']')) throw Failure("] expected after the section name");
                if (!line.AtEnd()) throw Failure("unexpected text after ]");
                const auto [seen, fresh] = sectionLines.emplace(name, number);
                if (!fresh) {
                    throw Failure("section " + PrintName(name) + " was already given on line " +
                                  std::to_string(seen->second));
                }
                section = &store.Section(name);
                keyLines.clear();
                continue;
            }
            const std::string key = line.Name("key");
            if (!section) throw Failure("entry before the first [section]");
            const char type = TypeLetter(line);
            CatalogValue value = Value(type, line);
            if (!line.AtEnd()) {
                throw Failure(std::string("unexpected text after the ") +
                              (type == 'S' || type == 'I' || type == 'B' || type == 'H'
                                   ? "value"
                                   : "type letter (only S, I, B and H take a value)"));
            }
            const auto [seen, fresh] = keyLines.emplace(key, number);
            if (!fresh) {
                throw Failure("key " + PrintName(key) + " was already given on line " +
                              std::to_string(seen->second));
            }
            section->Set(key, std::move(value));
        } catch (const Failure& failure) {
            faults.push_back(sourceName + ":" + std::to_string(number) + ": " + failure.what());
            if (sectionLine) {
                section = &lost;
                keyLines.clear();
            }
        }
    }
    error.clear();
    for (const std::string& fault : faults) error += (error.empty() ? "" : "\n") + fault;
    return faults.empty();
}

std::string QuoteText(const std::string& bytes) {
    std::string out;
    bool open = false;
    for (char c : bytes) {
        const auto b = static_cast<std::uint8_t>(c);
        const long cp = cp1251::ToUnicode(b);
        if (cp < 0x20 || cp == 0x7F) {
            if (open) out += '"';
            out += "#" + Hex2(b);
            open = false;
            continue;
        }
        if (!open) {
            out += '"';
            open = true;
        }
        if (c == '"') out += '"';
        cp1251::AppendUtf8(out, static_cast<char32_t>(cp));
    }
    if (open) out += '"';
    if (out.empty()) out = "\"\"";
    return out;
}

std::string PrintName(const std::string& bytes) {
    const bool bare = !bytes.empty() && std::all_of(bytes.begin(), bytes.end(), [](char c) {
        const long cp = cp1251::ToUnicode(static_cast<std::uint8_t>(c));
        return cp >= 0 && IsBareChar(static_cast<char32_t>(cp));
    });
    return bare ? cp1251::ToUtf8(bytes) : QuoteText(bytes);
}

std::string Print(const CatalogStore& store) {
    std::string out;
    for (const auto* section : Sorted(store.Sections())) {
        if (!out.empty()) out += '\n';
        out += "[" + PrintName(section->first) + "]\n";
        for (const auto* entry : Sorted(section->second.Entries())) {
            const CatalogValue& value = entry->second;
            out += PrintName(entry->first) + " " + PrintTypeLetter(value.type);
            switch (value.type) {
                case CatalogValue::kString:
                    out += " " + QuoteText(value.Text());
                    break;
                case CatalogValue::kInteger:
                    out += " " + std::to_string(static_cast<std::int32_t>(value.Word()));
                    break;
                case CatalogValue::kTruth:
                    out += value.Word() != 0 ? " true" : " false";
                    break;
                case CatalogValue::kBlob:
                    if (value.length > 0) out += ' ';
                    for (std::uint32_t i = 0; i < value.length; ++i) out += Hex2(value.bytes[i]);
                    break;
                default:
                    break;
            }
            out += '\n';
        }
    }
    return out;
}

}  // namespace textform
