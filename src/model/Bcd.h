#pragma once
// Packed-BCD clock bytes of the device: digits, values, the clock and time
// stamp texts, and the computer's clock encoded for a new mission.
#include <array>
#include <cstdint>
#include <string>

#include "model/DateTime.h"

// "Sunday".."Saturday" at 1-7; 0 and anything outside 1-7 give "".
const std::string& DayName(int dayOfWeek);

// '0' + nibble; nibbles above 9 show as the characters after '9'.
char BcdDigitChar(std::uint8_t byte, bool highDigit);
// tens * 10 + units of (byte AND mask).
int BcdValue(std::uint8_t byte, std::uint8_t mask = 0xFF);
std::uint8_t ToBCD(int value);  // 0-99

enum class BcdForm { Full, Short };  // clock block (7 bytes) / time stamp block (5 bytes)

inline constexpr const char* kNotStartedText = "not started yet";

struct BcdTime {
    std::string Text;  // kNotStartedText when month or date is 0
    TDateTime Value;   // 1970-01-01 01:00:00 for an impossible date or time
};

BcdTime BCDTimeToString(const std::uint8_t* block, BcdForm form, bool century);

// Century of the mission time stamp: month bit 7, else the running mission's
// start worked back from the clock, else years below 70 are 20xx.
bool MissionStartCentury(const std::uint8_t* stampBlock, bool missionRunning, TDateTime deviceClock,
                         int sampleRate, int missionSamples);

// "%s  %.2d/%.2d/%.4d  %.2d:%.2d:%.2d " with the day name.
std::string ComputerDateText(TDateTime value);

// Computer time + 1 s as a 24-hour clock block (seconds first), century bit from 2000.
std::array<std::uint8_t, 7> EncodeClockBlock(TDateTime localNow);
