#include "files/FilePath.h"

#include "model/Win1252.h"

namespace {
// Marks around a shown path inside program text. Neither byte occurs in the
// program's own texts, and typed texts lose their control characters.
constexpr char kPathStart = '\x01';
constexpr char kPathEnd = '\x02';

// Length of the UTF-8 sequence starting at text[i], or 0 when it is not one.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80             ? 1
                               : (lead & 0xE0) == 0xC0 ? 2
                               : (lead & 0xF0) == 0xE0 ? 3
                               : (lead & 0xF8) == 0xF0 ? 4
                                                       : 0;
    if (length == 0 || (length == 2 && lead < 0xC2) || i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
    return length;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceAt(text, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

void AppendNameAsUtf8(std::string& out, std::string_view name) {
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t length = Utf8SequenceAt(name, i);
        if (length == 0) {
            out += "\xEF\xBF\xBD";  // U+FFFD for a byte that spells nothing
            ++i;
            continue;
        }
        out.append(name.substr(i, length));
        i += length;
    }
}
}  // namespace

FilePath FilePath::Folder() const {
    const auto slash = bytes.find_last_of('/');
    if (slash == std::string::npos) return FilePath(std::string("."));
    if (slash == 0) return FilePath(std::string("/"));
    return FilePath(bytes.substr(0, slash));
}

std::string FilePath::Name() const {
    const auto slash = bytes.find_last_of('/');
    return slash == std::string::npos ? bytes : bytes.substr(slash + 1);
}

FilePath FilePath::operator/(std::string_view name) const {
    if (bytes.empty()) return FilePath(std::string(name));
    std::string joined = bytes;
    if (joined.back() != '/') joined += '/';
    joined += name;
    return FilePath(std::move(joined));
}

std::string ShownPath(const FilePath& path) {
    std::string text(1, kPathStart);
    for (const char c : path.Native()) {
        const auto byte = static_cast<unsigned char>(c);
        text += byte < 0x20 || byte == 0x7F ? '?' : c;
    }
    text += kPathEnd;
    return text;
}

std::string ShownTextToUtf8(std::string_view programText) {
    std::string out;
    out.reserve(programText.size());
    std::size_t i = 0;
    while (i < programText.size()) {
        const std::size_t start = programText.find(kPathStart, i);
        out += Win1252ToUtf8(std::string(programText.substr(i, start - i)));
        if (start == std::string_view::npos) break;
        // A text cut short may have lost the end mark: the rest is the path.
        const std::size_t end = programText.find(kPathEnd, start + 1);
        AppendNameAsUtf8(out, programText.substr(start + 1, end - start - 1));
        if (end == std::string_view::npos) break;
        i = end + 1;
    }
    return out;
}

FilePath PathFromSettingsText(const std::string& text) {
    return FilePath(IsUtf8(text) ? text : Win1252ToUtf8(text));
}
