// The device's clock, register writes and the lazily caught-up mission engine.
#include <algorithm>

#include "device/virtual/Ds1921Device.h"

namespace {
constexpr std::int64_t kMaxCounter = 0xFFFFFF;
constexpr std::uint16_t kLowAlarms = 0x220;
constexpr std::uint16_t kHighAlarms = 0x250;
constexpr std::uint16_t kHistogram = 0x800;
constexpr std::uint16_t kLog = 0x1000;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

void Store24(std::uint8_t* at, std::int64_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
    at[2] = static_cast<std::uint8_t>(value >> 16);
}
}  // namespace

std::int64_t Ds1921Device::ClockMs() const {
    return oscillatorRunning ? SimNow() + clockOffsetMs : stoppedClockMs;
}

DeviceClockFields Ds1921Device::ClockFields() const { return calendar.Fields(FloorDiv(ClockMs(), 1000)); }

void Ds1921Device::SetClock(TDateTime local) {
    const DateTimeParts p = DecodeDateTime(local);
    DeviceClockFields f;
    f.Second = p.Second;
    f.Minute = p.Minute;
    f.Hour = p.Hour;
    f.DayOfWeek = p.DayOfWeek;
    f.Date = p.Day;
    f.Month = p.Month;
    f.Year = ((p.Year % 100) + 100) % 100;
    f.Century = p.Year >= 2000;
    const std::int64_t ms = calendar.SetFrom(f) * 1000 + p.Millisecond;
    if (oscillatorRunning)
        clockOffsetMs = ms - SimNow();
    else
        stoppedClockMs = ms;
    timeAlarmCheckedTo = FloorDiv(ms, 1000);
}

void Ds1921Device::StartMissionAt(const Ds1921MissionSetup& setup, std::int64_t startClockMs) {
    if (missionInProgress) StopMission();
    clearArmed = false;
    if (!oscillatorRunning) WriteControl(static_cast<std::uint8_t>(memory[0x20E] & 0x7F));
    ClearMemory();
    std::copy(setup.TimeAlarm.begin(), setup.TimeAlarm.end(), memory.begin() + 0x207);
    memory[0x20B] = setup.LowThreshold;
    memory[0x20C] = setup.HighThreshold;
    memory[0x20E] = static_cast<std::uint8_t>(setup.Control & 0x0F);
    memory[0x212] = static_cast<std::uint8_t>(setup.StartDelay);
    memory[0x213] = static_cast<std::uint8_t>(setup.StartDelay >> 8);
    lowFlag = highFlag = timeFlag = false;
    memory[0x20D] = setup.SampleRate;
    if (setup.SampleRate != 0) StartMission(std::min(startClockMs, ClockMs()));
}

std::uint16_t Ds1921Device::RemainingDelay() const {
    const std::int64_t passed = FloorDiv(ClockMs(), 60000) - missionStartMinute;
    return static_cast<std::uint16_t>(
        std::max<std::int64_t>(0, missionDelay - std::max<std::int64_t>(0, passed)));
}

void Ds1921Device::RefreshRegisters() {
    const auto clockBytes = calendar.ClockBytes(FloorDiv(ClockMs(), 1000));
    std::copy(clockBytes.begin(), clockBytes.end(), memory.begin() + 0x200);
    if (missionInProgress) {
        const std::uint16_t delay = RemainingDelay();
        memory[0x212] = static_cast<std::uint8_t>(delay);
        memory[0x213] = static_cast<std::uint8_t>(delay >> 8);
    }
    memory[0x20E] = static_cast<std::uint8_t>((memory[0x20E] & 0xBF) | (clearArmed ? 0x40 : 0));
    // TCB reads 1: conversions complete within the command that asks for them.
    memory[0x214] =
        static_cast<std::uint8_t>(0x80 | (memoryCleared ? 0x40 : 0) | (missionInProgress ? 0x20 : 0) |
                                  (lowFlag ? 0x04 : 0) | (highFlag ? 0x02 : 0) | (timeFlag ? 0x01 : 0));
    Store24(&memory[0x21A], missionSamples);
    Store24(&memory[0x21D], deviceSamples);
}

void Ds1921Device::CatchUp() {
    const bool alarmRuns = missionInProgress || !options.TimeAlarmOnlyInMission;
    const std::int64_t nowMs = ClockMs();
    const std::int64_t nowSecond = FloorDiv(nowMs, 1000);
    if (alarmRuns && oscillatorRunning && !timeFlag && nowSecond > timeAlarmCheckedTo)
        CheckTimeAlarm(timeAlarmCheckedTo, nowSecond);
    timeAlarmCheckedTo = std::max(timeAlarmCheckedTo, nowSecond);
    if (!missionInProgress) return;
    const std::int64_t nowMinute = FloorDiv(nowMs, 60000);
    if (!stampWritten && nowMinute >= stampMinute) {
        const auto stamp = calendar.StampBytes(stampMinute * 60);
        std::copy(stamp.begin(), stamp.end(), memory.begin() + 0x215);
        stampWritten = true;
    }
    if (nowMinute < firstSampleMinute) return;
    const std::int64_t due = std::min(kMaxCounter, (nowMinute - firstSampleMinute) / sampleRate + 1);
    if (due > missionSamples) ApplySamples(missionSamples, due);
}

void Ds1921Device::ApplySamples(std::int64_t from, std::int64_t to) {
    const bool rollOver = (memory[0x20E] & 0x08) != 0;
    const std::uint8_t low = memory[0x20B];
    const std::uint8_t high = memory[0x20C];
    std::uint8_t* const histogram = &memory[kHistogram];
    std::uint8_t* const log = &memory[kLog];
    for (std::int64_t k = from; k < to; ++k) {
        const std::uint8_t code = CodeFor(profile->CelsiusAt(firstSampleMinute + k * sampleRate));
        std::uint8_t* bin = histogram + 2 * (code >> 2);
        if (bin[0] != 0xFF || bin[1] != 0xFF) {
            const int count = bin[0] + 256 * bin[1] + 1;
            bin[0] = static_cast<std::uint8_t>(count);
            bin[1] = static_cast<std::uint8_t>(count >> 8);
        }
        TrackAlarm(code <= low, kLowAlarms, lowOpen, lowUsed, k + 1);
        TrackAlarm(code >= high, kHighAlarms, highOpen, highUsed, k + 1);
        if (code <= low) lowFlag = true;
        if (code >= high) highFlag = true;
        if (rollOver)
            log[k & 0x7FF] = code;
        else if (k < 2048)
            log[k] = code;
    }
    missionSamples = to;
    deviceSamples = std::min(kMaxCounter, deviceSamples + (to - from));
}

void Ds1921Device::TrackAlarm(bool beyond, std::uint16_t area, int& open, int& used,
                              std::int64_t sampleNumber) {
    if (!beyond) {
        open = -1;
        return;
    }
    if (open >= 0 && memory[static_cast<std::size_t>(area + 4 * open + 3)] < 255) {
        ++memory[static_cast<std::size_t>(area + 4 * open + 3)];
        return;
    }
    // A new excursion, or one that outlasted 255 samples: the next free record, if any.
    if (used >= 12) {
        open = -1;
        return;
    }
    open = used++;
    std::uint8_t* record = &memory[static_cast<std::size_t>(area + 4 * open)];
    Store24(record, sampleNumber);
    record[3] = 1;
}

void Ds1921Device::CheckTimeAlarm(std::int64_t from, std::int64_t to) {
    const std::uint8_t s = memory[0x207], m = memory[0x208], h = memory[0x209], d = memory[0x20A];
    const bool anySecond = s & 0x80, anyMinute = m & 0x80, anyHour = h & 0x80, anyDay = d & 0x80;
    const int second = FromBcdByte(s & 0x7F), minute = FromBcdByte(m & 0x7F), hour = HourFromByte(h & 0x7F);
    const int day = d & 0x07;
    if (!anySecond && second > 59) return;
    if (!anyMinute && minute > 59) return;
    if (!anyDay && (day < 1 || day > 7)) return;
    auto minuteMatches = [&](std::int64_t minuteStart) {
        const DeviceClockFields f = calendar.Fields(minuteStart);
        return (anyMinute || f.Minute == minute) && (anyHour || f.Hour == hour) &&
               (anyDay || f.DayOfWeek == day);
    };
    // Every pattern repeats within a week; look at whole minutes (or the one
    // matching second of each) in (from, to].
    const std::int64_t last = std::min(to, from + 7 * 86400 + 60);
    std::int64_t minuteStart = FloorDiv(from + 1, 60) * 60;
    for (; minuteStart <= last; minuteStart += 60) {
        const std::int64_t candidate = anySecond ? std::max(minuteStart, from + 1) : minuteStart + second;
        if (candidate <= from || candidate > to) continue;
        if (minuteMatches(minuteStart)) {
            timeFlag = true;
            return;
        }
    }
}

void Ds1921Device::CopyToMemory() {
    const std::uint32_t base = targetAddress & ~0x1Fu;
    const int first = targetAddress & 0x1F;
    const int end = endingStatus & 0x1F;
    CatchUp();
    bool endsMission = false;
    for (int offset = first; offset <= end; ++offset) {
        const std::uint32_t address = base + static_cast<std::uint32_t>(offset);
        if (address >= 0x200 && address <= 0x213) endsMission = true;
    }
    const bool wasRunning = missionInProgress && endsMission;
    if (wasRunning) StopMission();
    auto clockBytes = calendar.ClockBytes(FloorDiv(ClockMs(), 1000));
    bool clockWritten = false;
    bool rateWritten = false;
    for (int offset = first; offset <= end; ++offset) {
        const std::uint32_t address = base + static_cast<std::uint32_t>(offset);
        const std::uint8_t value = scratchpad[static_cast<std::size_t>(offset)];
        if (address < 0x200) {
            memory[address] = value;
            continue;
        }
        if (address == 0x214) {
            WriteStatus(value);
            continue;
        }
        if (address > 0x214 || (wasRunning && !options.WriteEndingMissionApplies)) continue;
        if (address <= 0x206) {
            clockBytes[address - 0x200] = value;
            clockWritten = true;
        } else if (address == 0x20A) {
            memory[address] = value & 0x87;  // day alarm: bits 6-3 read 0
        } else if (address <= 0x20C || address == 0x212 || address == 0x213) {
            memory[address] = value;
        } else if (address == 0x20D) {
            // Read-only while a mission runs, also for the write that ends it.
            if (!wasRunning) rateWritten = true;
        } else if (address == 0x20E) {
            WriteControl(value);
        }
    }
    if (clockWritten) WriteClock(clockBytes);
    if (rateWritten) {
        memory[0x20D] = scratchpad[0x0D];
        const bool oscillatorSettled = oscillatorRunning && SimNow() - oscillatorSinceMs >= 1000;
        if (memory[0x20D] != 0 && !missionInProgress && memoryCleared && !(memory[0x20E] & 0x10) &&
            oscillatorSettled)
            StartMission(ClockMs());
    }
    RefreshRegisters();
}

void Ds1921Device::WriteClock(const std::array<std::uint8_t, 7>& bytes) {
    calendar.TwelveHour = (bytes[2] & 0x40) != 0;
    const std::int64_t ms = calendar.SetFrom(FieldsFromClockBytes(bytes)) * 1000;
    if (oscillatorRunning)
        clockOffsetMs = ms - SimNow();
    else
        stoppedClockMs = ms;
    timeAlarmCheckedTo = FloorDiv(ms, 1000);
}

void Ds1921Device::WriteControl(std::uint8_t value) {
    const bool stop = (value & 0x80) != 0;
    if (stop && oscillatorRunning) {
        stoppedClockMs = ClockMs();
        oscillatorRunning = false;
    } else if (!stop && !oscillatorRunning) {
        clockOffsetMs = stoppedClockMs - SimNow();
        oscillatorRunning = true;
        oscillatorSinceMs = SimNow();
    }
    clearArmed = (value & 0x40) != 0;
    memory[0x20E] = static_cast<std::uint8_t>(value & 0x9F);
}

void Ds1921Device::WriteStatus(std::uint8_t value) {
    // Only MIP, TLF, THF and TAF can be written, and only to 0.
    if (!(value & 0x20) && missionInProgress) StopMission();
    if (!(value & 0x04)) lowFlag = false;
    if (!(value & 0x02)) highFlag = false;
    if (!(value & 0x01)) timeFlag = false;
}

void Ds1921Device::StartMission(std::int64_t startClockMs) {
    missionStartMinute = FloorDiv(startClockMs, 60000);
    missionDelay = static_cast<std::uint16_t>(memory[0x212] | (memory[0x213] << 8));
    sampleRate = memory[0x20D];
    stampMinute = missionStartMinute + 1 + missionDelay;
    firstSampleMinute =
        stampMinute + (options.Stamp == Ds1921Options::StampRule::FirstSample ? 0 : sampleRate);
    stampWritten = false;
    missionSamples = 0;
    lowOpen = highOpen = -1;
    lowUsed = highUsed = 0;
    timeAlarmCheckedTo = FloorDiv(startClockMs, 1000);
    missionInProgress = true;
    memoryCleared = false;
}

void Ds1921Device::StopMission() {
    CatchUp();
    const std::uint16_t delay = RemainingDelay();
    memory[0x212] = static_cast<std::uint8_t>(delay);
    memory[0x213] = static_cast<std::uint8_t>(delay >> 8);
    missionInProgress = false;
}

void Ds1921Device::ClearMemory() {
    if (missionInProgress || !oscillatorRunning) return;
    memory[0x20D] = 0;
    memory[0x212] = memory[0x213] = 0;
    std::fill(memory.begin() + 0x215, memory.begin() + 0x21D, 0);
    std::fill(memory.begin() + 0x220, memory.begin() + 0x280, 0);
    std::fill(memory.begin() + kHistogram, memory.begin() + kHistogram + 0x80, 0);
    missionSamples = 0;
    memoryCleared = true;
}

void Ds1921Device::ConvertTemperature() {
    if (missionInProgress) return;
    memory[0x211] = CodeFor(profile->CelsiusAt(FloorDiv(ClockMs(), 60000)));
    deviceSamples = std::min(kMaxCounter, deviceSamples + 1);
}
