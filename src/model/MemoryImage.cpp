#include "model/MemoryImage.h"

#include <algorithm>

std::span<std::uint8_t> MemoryImage::PageSlot(int page) {
    auto slot = [page](auto& region, int firstPage) {
        return std::span<std::uint8_t>(region).subspan(static_cast<std::size_t>(page - firstPage) * 32, 32);
    };
    if (page >= 0 && page <= 15) return slot(UserArea, 0);
    if (page == 16) return slot(RegisterPage, 16);
    if (page >= 17 && page <= 19) return slot(AlarmArea, 17);
    if (page >= 64 && page <= 67) return slot(HistogramArea, 64);
    if (page >= 128 && page <= 191) return slot(LogArea, 128);
    return {};
}

bool MemoryImage::StorePage(int page, std::span<const std::uint8_t, 32> data) {
    const auto destination = PageSlot(page);
    if (destination.empty()) return false;
    std::copy(data.begin(), data.end(), destination.begin());
    return true;
}

std::int32_t ReadCounter24(std::span<const std::uint8_t> bytes, int offset) {
    return static_cast<std::int32_t>(bytes[offset]) | static_cast<std::int32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::int32_t>(bytes[offset + 2]) << 16;
}

std::int32_t StartDelayMinutes(const std::array<std::uint8_t, 32>& registerPage) {
    return registerPage[Reg::StartDelayLow] | registerPage[Reg::StartDelayHigh] << 8;
}

std::int32_t MissionSampleCount(const std::array<std::uint8_t, 32>& registerPage) {
    return ReadCounter24(registerPage, Reg::MissionSamples);
}

std::int32_t DeviceSampleCount(const std::array<std::uint8_t, 32>& registerPage) {
    return ReadCounter24(registerPage, Reg::DeviceSamples);
}

std::string DecodeUserPage(MemoryImage& image, int page) {
    if (page < 0 || page > 15) return {};
    const auto bytes = image.PageSlot(page);
    std::replace(bytes.begin(), bytes.end(), std::uint8_t{0x00}, std::uint8_t{0x20});
    return std::string(bytes.begin(), bytes.end());
}

void DecodeUserTexts(MemoryImage& image, std::array<std::string, 16>& userTexts) {
    for (int page = 0; page <= 14; ++page) userTexts[page] = DecodeUserPage(image, page);
}
