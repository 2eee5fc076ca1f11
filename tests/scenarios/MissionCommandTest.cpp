// kelvara-cli mission against the virtual adapter: the bytes the window's
// wizard writes for the same choices, batches through swapped devices, and
// what it refuses.
#include <sstream>

#include "ProgrammingRig.h"
#include "cli/ClassCommands.h"
#include "model/Bcd.h"
#include "setup/DelayCalculator.h"

namespace {
// The command's own clock and bus, beside the window's; sleeping moves the devices' time too.
class CommandPlatform : public ScriptedPlatform {
public:
    std::function<void(int)> OnSleep;
    void Sleep(int milliseconds) override {
        ScriptedPlatform::Sleep(milliseconds);
        if (OnSleep) OnSleep(milliseconds);
    }
};

// One set of wizard choices: what a user does on each page of the window, and the same as options.
struct Choices {
    const char* Name;
    std::vector<std::string> Args;
    std::function<void(TTRecForm&, int page)> OnPage;
};

class MissionCommand : public ProgrammingRig {
protected:
    void SetUp() override {
        ProgrammingRig::SetUp();
        cliPlatform.Dir = platform.Dir;
        cliPlatform.SetNow(Start());
        cliPlatform.OnSleep = [this](int ms) {
            cliClock.Advance(ms);
            if (OnCommandSleep) OnCommandSleep(ms);
        };
    }
    std::shared_ptr<Ds1921Device> CliDevice(std::uint64_t seed) {
        return std::make_shared<Ds1921Device>(Ds1921Device::MakeRom(Ds1921Variant::Standard, seed), cliClock,
                                              Ds1921Device::DefaultProfile(Ds1921Variant::Standard, seed));
    }
    int RunCommand(std::vector<std::string> args) {
        args.insert(args.end(), {"--port", "15:1"});
        const ParsedMissionOptions parsed = ParseMissionOptions(args);
        EXPECT_EQ(parsed.Error, "");
        out.str("");
        err.str("");
        return RunMission(parsed.Options, cliDriver, cliPlatform, out, err);
    }
    void ProgramThroughWindow(const Choices& choices) {
        ASSERT_TRUE(TickUntil(Poll::Idle));
        for (int page = 0; page < 8; ++page) {
            choices.OnPage(*form, page);
            form->NextButtonClick();
        }
        form->FinishButtonClick();
        platform.BoxAnswers.push_back(MsgResult::No);
        ASSERT_TRUE(TickUntil(Poll::StatusRead));
        ASSERT_TRUE(ProgrammedBoxShown());
    }

    CommandPlatform cliPlatform;
    ManualClock cliClock{ManualClock::MsFromDateTime(Start())};
    VirtualBus cliBus;
    LinkProvider cliLinks{&cliBus};
    TmexDriver cliDriver{cliLinks};
    std::function<void(int)> OnCommandSleep;
    std::ostringstream out, err;
};

// Options separated by '|', so that texts keep their blanks.
std::vector<std::string> Args(const std::string& joined) {
    std::vector<std::string> args;
    for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1)
        args.push_back(joined.substr(start, (end = joined.find('|', start)) - start));
    return args;
}

void SelectDelay(TTRecForm& form, int minutes) {
    form.DelayDay.Select(minutes / 1440);
    form.DelayHour.Select(minutes % 1440 / 60);
    form.DelayMinute.Select(minutes % 60);
    form.DelayDayChange();
}
}  // namespace

TEST_F(MissionCommand, WritesTheWizardsBytesForTheSameChoices) {
    const std::vector<Choices> sets{
        {"defaults", {}, [](TTRecForm&, int) {}},
        {"class mission",
         Args("--rate|10|--start-delay|90|--rollover|--high|30|--low|10.5|--first-name|Ann|--surname|"
              "O'Neil, \"Jo\"|--class|4b|--title|Pond|--description|" +
              std::string(64, 'd') + "|--time-alarm|daily|--alarm-time|08:30:15|--no-alarm-search"),
         [](TTRecForm& f, int page) {
             if (page == 1) {
                 f.EditUserChange(0, "Ann");
                 f.EditUserChange(1, "O'Neil, \"Jo\"");
                 f.EditUserChange(2, "4b");
                 f.EditUserChange(4, "Pond");
                 f.EditUserChange(5, std::string(64, 'd'));
             }
             if (page == 3) {
                 f.AlarmTimeCombo.Select(2);
                 f.AlarmTimeComboChange();
                 f.AlarmHour.Select(8);
                 f.AlarmMinute.Select(30);
                 f.AlarmSecond.Select(15);
                 f.ConditionalOnTimeCheck.Checked = false;
             }
             if (page == 4) SelectDelay(f, 90);
             if (page == 5) {
                 f.SampleMinutes.Select(9);
                 f.SampleMinutesChange();
             }
             if (page == 6) {
                 f.HighThreshold.Select(140);  // 30 degrees C
                 f.LowThreshold.Select(101);   // 10.5 degrees C
                 f.ConditionalOnTempHighCheck.Checked = false;
                 f.ConditionalOnTempLowCheck.Checked = false;
             }
             if (page == 7) f.RolloverCheck.Checked = true;
         }},
        {"fahrenheit, calculator, details not stored, device clock kept",
         Args("--fahrenheit|--high|77|--low|32|--first-name|Bo|--ignore-details|--keep-device-clock|"
              "--time-alarm|weekly|--alarm-day|Saturday|--alarm-time|23:59:59|--start-at|2026-12-08 09:30|"
              "--rate|255"),
         [this](TTRecForm& f, int page) {
             if (page == 0) f.MenuFahrenheitClick();
             if (page == 1) {
                 f.EditUserChange(0, "Bo");
                 f.chkIgnore.Checked = true;
             }
             if (page == 2) f.SetTimeCheck.Checked = false;
             if (page == 3) {
                 f.ConditionalOnTimeCheck.Checked = true;  // the boxes keep what the last mission had
                 f.AlarmTimeCombo.Select(1);
                 f.AlarmTimeComboChange();
                 f.AlarmDay.Select(6);
                 f.AlarmHour.Select(23);
                 f.AlarmMinute.Select(59);
                 f.AlarmSecond.Select(59);
             }
             if (page == 4) {
                 TformCalc calculator(platform);
                 calculator.cboDay.Select(7);
                 calculator.cboHour.Select(9);
                 calculator.cboMin.Select(30);
                 calculator.TimeChange();
                 calculator.ButtonOkClick(f);
             }
             if (page == 5) {
                 f.SampleMinutes.Select(254);
                 f.SampleMinutesChange();
             }
             if (page == 6) {
                 f.ConditionalOnTempHighCheck.Checked = true;
                 f.ConditionalOnTempLowCheck.Checked = true;
                 f.HighThreshold.Select(130);  // 77 F = 25 C
                 f.LowThreshold.Select(80);    // 32 F = 0 C
             }
         }},
    };
    std::uint64_t seed = 100;
    for (const Choices& choices : sets) {
        SCOPED_TRACE(choices.Name);
        // Both start at the same moment, so the clock and the calculator's minutes agree.
        for (ManualClock* c : {&clock, &cliClock}) c->SetLocalDateTime(Start());
        platform.SetNow(Start());
        cliPlatform.SetNow(Start());
        auto windowDevice = NewDevice(seed), cliDevice = CliDevice(seed);
        ++seed;
        bus.Insert(windowDevice);
        ProgramThroughWindow(choices);
        cliBus.Insert(cliDevice);
        ASSERT_EQ(RunCommand(choices.Args), 0) << err.str();
        // The calculator counts whole minutes toward zero from a moment just past 10:00: 09:29 the next day.
        EXPECT_EQ(out.str(), Ds1921Device::RomText(cliDevice->Rom()) + " " +
                                 (choices.Name[0] == 'd'   ? "2026-12-07T10:00:00\n"
                                  : choices.Name[0] == 'c' ? "2026-12-07T11:30:00\n"
                                                           : "2026-12-08T09:29:00\n"));

        // Everything but the clock, which runs on, is the window's: user pages, alarms, registers, stamps.
        EXPECT_EQ(cliDevice->PeekRange(0x000, 0x200), windowDevice->PeekRange(0x000, 0x200));
        EXPECT_EQ(cliDevice->PeekRange(0x207, 0x19), windowDevice->PeekRange(0x207, 0x19));
        const auto clockOf = [](Ds1921Device& d) {
            const auto bytes = d.PeekRange(0x200, 7);
            return BCDTimeToString(bytes.data(), BcdForm::Full, true).Value;
        };
        EXPECT_NEAR(clockOf(*cliDevice), clockOf(*windowDevice), 2 * kSecond);
        bus.Remove(windowDevice);
        cliBus.Remove(cliDevice);
        form->TRecTimerTimer();
        ASSERT_TRUE(TickUntil(Poll::Search));
    }
}

TEST_F(MissionCommand, ABatchOfThreeStartsWithinOneMinute) {
    std::vector<std::shared_ptr<Ds1921Device>> waiting{CliDevice(201), CliDevice(202), CliDevice(203)};
    const auto all = waiting;
    cliBus.Insert(waiting.front());
    waiting.erase(waiting.begin());
    // A pupil takes each programmed logger out after 20 s and clips the next one in 40 s later.
    std::int64_t sinceChange = 0;
    OnCommandSleep = [&](int ms) {
        sinceChange += ms;
        const auto& onBus = cliBus.Devices();
        if (!onBus.empty() && sinceChange >= 20000) {
            cliBus.Remove(onBus.front());
            sinceChange = 0;
        } else if (onBus.empty() && sinceChange >= 40000 && !waiting.empty()) {
            cliBus.Insert(waiting.front());
            waiting.erase(waiting.begin());
            sinceChange = 0;
        }
    };
    ASSERT_EQ(RunCommand({"--batch", "3", "--start-delay", "10"}), 0) << err.str();
    EXPECT_TRUE(waiting.empty());

    std::istringstream lines(out.str());
    std::string line;
    std::vector<std::string> printed;
    while (std::getline(lines, line)) printed.push_back(line);
    ASSERT_EQ(printed.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(printed[i].substr(0, 16), Ds1921Device::RomText(all[i]->Rom()));
    EXPECT_NE(err.str().find("then insert the next DS1921 (2 of 3)"), std::string::npos);

    // Twelve minutes on, each has taken its first sample, all within one minute.
    cliClock.Advance(12 * 60000);
    std::vector<TDateTime> starts;
    for (const auto& device : all) {
        ASSERT_GE(device->MissionSamples(), 1);
        const auto stamp = device->PeekRange(0x215, 5);
        starts.push_back(BCDTimeToString(stamp.data(), BcdForm::Short, true).Value);
    }
    const auto [first, last] = std::minmax_element(starts.begin(), starts.end());
    EXPECT_LE(*last - *first, kMinute + kSecond);
    EXPECT_NEAR(*first, Start() + 10 * kMinute, 1.5 * kMinute);
}

TEST_F(MissionCommand, ARunningMissionIsClearedOnlyWithForce) {
    auto device = CliDevice(301);
    cliBus.Insert(device);
    ASSERT_EQ(RunCommand({"--rate", "5"}), 0) << err.str();
    ASSERT_TRUE(device->MissionRunning());

    EXPECT_EQ(RunCommand({"--rate", "7"}), 1);
    EXPECT_NE(err.str().find("has a mission running"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("--force"), std::string::npos);
    EXPECT_EQ(device->Peek(0x20D), 5);

    EXPECT_EQ(RunCommand({"--rate", "7", "--force"}), 0) << err.str();
    EXPECT_EQ(device->Peek(0x20D), 7);
}

TEST_F(MissionCommand, AThresholdOffTheWizardsListIsRefusedBeforeAnythingIsWritten) {
    auto device = CliDevice(302);
    cliBus.Insert(device);
    EXPECT_EQ(RunCommand({"--high", "30.2"}), 2);
    EXPECT_NE(err.str().find("--high: the wizard's threshold list for a Standard DS1921 runs from -40.000 to "
                             "85.000 \xC2\xB0"
                             "C in steps of 0.500"),
              std::string::npos)
        << err.str();
    EXPECT_FALSE(device->MissionRunning());
    EXPECT_EQ(device->Peek(0x20D), 0);

    EXPECT_EQ(RunCommand({"--start-at", "2026-12-07 09:00"}), 2);
    EXPECT_NE(err.str().find("Unuseable Date/Time"), std::string::npos) << err.str();
    EXPECT_EQ(RunCommand({"--start-at", "2027-01-25 09:00"}), 2);
    EXPECT_EQ(RunCommand({"--start-at", "2026-11-31 09:00"}), 2);
    EXPECT_EQ(device->Peek(0x20D), 0);
}

TEST_F(MissionCommand, NoDeviceOnTheAdapterIsSaidInWords) {
    EXPECT_EQ(RunCommand({}), 1);
    EXPECT_NE(err.str().find("no DS1921 was found"), std::string::npos) << err.str();
}
