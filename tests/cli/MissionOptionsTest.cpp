// The mission command's options: what the wizard's lists would not offer is refused in words.
#include <gtest/gtest.h>

#include "cli/MissionOptions.h"

TEST(MissionOptions, ChoicesTheWizardCannotMakeAreRefused) {
    const struct {
        std::vector<std::string> Args;
        const char* Rule;
    } refused[] = {
        {{"--rate", "0"}, "1 to 255"},
        {{"--rate", "256"}, "1 to 255"},
        {{"--rate", "1.5"}, "1 to 255"},
        {{"--start-delay", "64800"}, "0 to 64799"},
        {{"--start-delay", "-1"}, "0 to 64799"},
        {{"--start-delay", "5", "--start-at", "2026-12-07 10:00"}, "give one"},
        {{"--start-at", "tomorrow"}, "YYYY-MM-DD HH:MM"},
        {{"--first-name", std::string(33, 'a')}, "holds 32 characters"},
        {{"--description", std::string(65, 'a')}, "holds 64 characters"},
        {{"--time-alarm", "daily", "--alarm-day", "Monday"}, "only mode with a day"},
        {{"--alarm-time", "08:00:00"}, "belongs to --time-alarm"},
        {{"--time-alarm", "weekly", "--alarm-day", "Mon"}, "Sunday to Saturday"},
        {{"--time-alarm", "yearly"}, "every-second"},
        {{"--alarm-time", "24:00:00", "--time-alarm", "daily"}, "00-23"},
        {{"--high", "warm"}, "temperature"},
        {{"--batch", "0"}, "1 or more"},
        {{"--port", "9:1"}, "--port 9:1"},
        {{"--colour", "red"}, "unknown option --colour"},
    };
    for (const auto& c : refused) {
        const ParsedMissionOptions parsed = ParseMissionOptions(c.Args);
        EXPECT_NE(parsed.Error.find(c.Rule), std::string::npos) << c.Args[0] << ": " << parsed.Error;
    }
}
