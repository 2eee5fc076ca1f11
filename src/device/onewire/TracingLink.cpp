#include "device/onewire/TracingLink.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
const char* ResetText(ResetResult result) {
    switch (result) {
        case ResetResult::NoPresence:
            return "no presence";
        case ResetResult::Presence:
            return "presence";
        case ResetResult::AlarmingPresence:
            return "alarming presence";
        case ResetResult::Short:
            return "short";
        case ResetResult::LinkError:
            return "link error";
    }
    return "?";
}
}  // namespace

std::string HexBytes(const std::uint8_t* data, std::size_t length) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(length * 3);
    for (std::size_t i = 0; i < length; ++i) {
        if (i) text += ' ';
        text += digits[data[i] >> 4];
        text += digits[data[i] & 0xF];
    }
    return text;
}

TracingLink::TracingLink(Link& innerLink, std::ostream& stream, std::string linkName)
    : inner(innerLink), out(stream), name(std::move(linkName)) {}

bool TracingLink::Requested() {
    const char* value = std::getenv("KELVARA_TRACE");
    return value && std::strcmp(value, "1") == 0;
}

bool TracingLink::Open(std::string& error) {
    const bool ok = inner.Open(error);
    out << name << " open: " << (ok ? inner.Version() : "failed: " + error) << '\n';
    return ok;
}

void TracingLink::Close() {
    inner.Close();
    out << name << " close\n";
}

ResetResult TracingLink::Reset() {
    const ResetResult result = inner.Reset();
    out << name << " reset: " << ResetText(result) << '\n';
    return result;
}

int TracingLink::TouchBit(int bit) {
    const int result = inner.TouchBit(bit);
    out << name << " bit " << (bit ? 1 : 0) << " -> " << result << '\n';
    return result;
}

int TracingLink::TouchByte(std::uint8_t byte) {
    const int result = inner.TouchByte(byte);
    const auto read = static_cast<std::uint8_t>(result);
    out << name << " byte " << HexBytes(&byte, 1) << " -> "
        << (result < 0 ? "link error" : HexBytes(&read, 1)) << '\n';
    return result;
}

bool TracingLink::Block(std::uint8_t* data, std::size_t length) {
    const std::vector<std::uint8_t> sent(data, data + length);
    const bool ok = inner.Block(data, length);
    out << name << " block " << length << " > " << HexBytes(sent.data(), length) << '\n';
    out << name << " block " << length << " < " << (ok ? HexBytes(data, length) : "link error") << '\n';
    return ok;
}

bool TracingLink::TouchBits(std::uint8_t* bits, std::size_t count) {
    std::string sent(count, '0');
    for (std::size_t i = 0; i < count; ++i) sent[i] = bits[i] ? '1' : '0';
    const bool ok = inner.TouchBits(bits, count);
    std::string read(count, '0');
    for (std::size_t i = 0; i < count; ++i) read[i] = bits[i] ? '1' : '0';
    out << name << " bits " << count << " > " << sent << " < " << (ok ? read : "link error") << '\n';
    return ok;
}

SearchPassResult TracingLink::SearchPass(const std::array<std::uint8_t, 8>& directions, bool conditional,
                                         std::array<std::uint8_t, 8>& rom,
                                         std::array<std::uint8_t, 8>& discrepancies) {
    const SearchPassResult result = inner.SearchPass(directions, conditional, rom, discrepancies);
    if (result == SearchPassResult::Unsupported) return result;
    out << name << " search pass " << (conditional ? "EC" : "F0") << " > " << HexBytes(directions.data(), 8)
        << " < ";
    switch (result) {
        case SearchPassResult::Found:
            out << HexBytes(rom.data(), 8) << " discrepancies " << HexBytes(discrepancies.data(), 8);
            break;
        case SearchPassResult::NoDevice:
            out << "no device";
            break;
        default:
            out << "link error";
            break;
    }
    out << '\n';
    return result;
}

ResetResult TracingLink::SelectBlock(const std::uint8_t rom[8], bool overdrive, std::uint8_t* data,
                                     std::size_t length) {
    const std::vector<std::uint8_t> sent(data, data + length);
    const ResetResult result = inner.SelectBlock(rom, overdrive, data, length);
    out << name << " select " << HexBytes(rom, 8) << (overdrive ? " overdrive" : "") << ": "
        << ResetText(result) << '\n';
    if (length) {
        out << name << " block " << length << " > " << HexBytes(sent.data(), length) << '\n';
        if (DevicePresent(result))
            out << name << " block " << length << " < " << HexBytes(data, length) << '\n';
    }
    return result;
}

void TracingLink::Note(const std::string& text) { out << name << " note: " << text << '\n'; }
