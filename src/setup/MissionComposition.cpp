#include <algorithm>

#include "app/TTRecForm.h"
#include "model/Bcd.h"
#include "results/UserDetails.h"

namespace {
constexpr std::uint8_t kMasked = 0x80;
}

void TTRecForm::CreateWriteStatus() {
    auto& page = Image.NewRegisterPage;
    page.fill(0);
    if (SetTimeCheck.Checked) {
        const auto clock = EncodeClockBlock(platform.Now());
        std::copy(clock.begin(), clock.end(), page.begin() + Reg::ClockSeconds);
    }

    const int mode = AlarmTimeCombo.ItemIndex < 0 ? AlarmMode::None : AlarmTimeCombo.ItemIndex;
    auto value = [](const ListControl& list, int offset = 0) {
        return ToBCD((list.ItemIndex < 0 ? 0 : list.ItemIndex) + offset);
    };
    if (mode == AlarmMode::None) {
        page[Reg::AlarmDay] = 0x01;
    } else {
        page[Reg::AlarmSeconds] = mode <= AlarmMode::Minutely ? value(AlarmSecond) : kMasked;
        page[Reg::AlarmMinutes] = mode <= AlarmMode::Hourly ? value(AlarmMinute) : kMasked;
        page[Reg::AlarmHours] = mode <= AlarmMode::Daily ? value(AlarmHour) : kMasked;
        page[Reg::AlarmDay] = mode == AlarmMode::Weekly ? value(AlarmDay, 1) : kMasked;
    }

    // The list positions are the temperature bytes themselves.
    page[Reg::LowThreshold] =
        static_cast<std::uint8_t>(LowThreshold.ItemIndex < 0 ? 0 : LowThreshold.ItemIndex);
    page[Reg::HighThreshold] =
        static_cast<std::uint8_t>(HighThreshold.ItemIndex < 0 ? 0 : HighThreshold.ItemIndex);
    page[Reg::SampleRate] =
        static_cast<std::uint8_t>((SampleMinutes.ItemIndex < 0 ? 0 : SampleMinutes.ItemIndex) + 1);

    std::uint8_t control = 0;
    if (RolloverCheck.Checked) control |= Reg::ControlRollover;
    if (ConditionalOnTimeCheck.Checked) control |= Reg::ControlSearchTime;
    if (ConditionalOnTempLowCheck.Checked) control |= Reg::ControlSearchLow;
    if (ConditionalOnTempHighCheck.Checked) control |= Reg::ControlSearchHigh;
    page[Reg::Control] = control;

    const std::int32_t delay = std::clamp<std::int32_t>(DelayMinutes, 0, 0xFFFF);
    page[Reg::StartDelayLow] = static_cast<std::uint8_t>(delay & 0xFF);
    page[Reg::StartDelayHigh] = static_cast<std::uint8_t>(delay >> 8);
}

void TTRecForm::ComposeUserPages() {
    for (int k = 0; k < 15; ++k) {
        const std::string_view text = UserPageText(NewUserTexts, k);
        auto slot = Image.PageSlot(k);
        for (std::size_t j = 0; j < 32; ++j)
            slot[j] = j < text.size() ? static_cast<std::uint8_t>(text[j]) : 0x20;
    }
}
