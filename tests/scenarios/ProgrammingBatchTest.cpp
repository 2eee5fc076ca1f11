#include <cmath>

#include "ProgrammingRig.h"
#include "model/Bcd.h"

namespace {
class ProgrammingBatch : public ProgrammingRig {
protected:
    // Programs the inserted devices one after the other; the next one is put in
    // while the "remove the programmed device" box is up, `afterFinishMs` after Finish.
    void ProgramBatch(const std::vector<std::shared_ptr<Ds1921Device>>& devices,
                      const std::vector<std::int64_t>& afterFinishMs, int delayMinutes) {
        bus.Insert(devices[0]);
        ASSERT_TRUE(TickUntil(Poll::Idle));
        form->DelayMinute.Select(delayMinutes);
        form->DelayDayChange();
        FinishWizard();
        finishTime = platform.Now();
        std::size_t next = 1;
        platform.OnBox = [&](const std::string& text) {
            if (text.rfind("Remove the programmed device", 0) != 0) return;
            writtenDelays.push_back(Delay(*devices[next - 1]));  // the register counts down once running
            bus.Remove(devices[next - 1]);
            bus.Insert(devices[next]);
            const auto target =
                static_cast<std::int64_t>(std::llround((finishTime - platform.Now()) * 86400000.0)) +
                afterFinishMs[next - 1];
            Advance(target);
            ++next;
        };
        for (std::size_t i = 1; i < devices.size(); ++i) {
            platform.BoxAnswers.push_back(MsgResult::Yes);
            platform.BoxAnswers.push_back(MsgResult::Ok);
        }
        platform.BoxAnswers.push_back(MsgResult::No);
        ASSERT_TRUE(TickUntil(Poll::StatusRead, 200));
        platform.OnBox = nullptr;
        EXPECT_EQ(next, devices.size());
        writtenDelays.push_back(Delay(*devices.back()));
    }
    static int Delay(Ds1921Device& device) { return device.Peek(0x212) | device.Peek(0x213) << 8; }
    TDateTime finishTime = 0;
    std::vector<int> writtenDelays;
};
}  // namespace

TEST_F(ProgrammingBatch, ThreeDevicesStartTogether) {
    auto first = NewDevice(41), second = NewDevice(42), third = NewDevice(43);
    ProgramBatch({first, second, third}, {3 * 60000 + 50000, 9 * 60000 + 10000}, 10);
    EXPECT_EQ(writtenDelays, (std::vector<int>{10, 7, 1}));
    EXPECT_EQ(form->Caption, "DS1921 iButton - " + Ds1921Device::RomText(third->Rom()));

    // Every device stamps its first sample within the minute after Finish + 10.
    Advance(static_cast<std::int64_t>(std::llround((finishTime - platform.Now()) * 86400000.0)) + 13 * 60000);
    for (auto* device : {first.get(), second.get(), third.get()}) {
        ASSERT_GE(device->MissionSamples(), 1);
        const auto stamp = device->PeekRange(0x215, 5);
        const TDateTime started = BCDTimeToString(stamp.data(), BcdForm::Short, true).Value;
        EXPECT_GE(started, finishTime + 9 * kMinute - kSecond);
        EXPECT_LE(started, finishTime + 11 * kMinute);
    }
}

TEST_F(ProgrammingBatch, DelayNeverGoesBelowZero) {
    auto first = NewDevice(44), second = NewDevice(45);
    ProgramBatch({first, second}, {11 * 60000}, 10);
    EXPECT_EQ(writtenDelays, (std::vector<int>{10, 0}));
    EXPECT_EQ(form->DelayMinutes, 0);
    EXPECT_EQ(form->DelayAtFinish, 10);
}

TEST_F(ProgrammingBatch, ADeviceLeftInPlaceOrNoneAtAllIsSaidAndTheBatchGoesOnWhenRetried) {
    auto first = NewDevice(51), second = NewDevice(52), third = NewDevice(53);
    bus.Insert(first);
    ASSERT_TRUE(TickUntil(Poll::Idle));
    form->DelayMinute.Select(10);
    form->DelayDayChange();
    FinishWizard();
    finishTime = platform.Now();
    int removeBoxes = 0;
    platform.OnBox = [&](const std::string& text) {
        if (text.rfind("Remove the programmed device", 0) == 0 && ++removeBoxes == 2) {
            bus.Remove(second);
            bus.Insert(third);
        } else if (text.rfind("The device just programmed", 0) == 0) {
            bus.Remove(first);  // taken out, the next one not yet in
        } else if (text.rfind("No DS1921 iButton was found", 0) == 0) {
            bus.Insert(second);
        } else {
            return;
        }
        Advance(60000);
    };
    // First device: the box is OK'd with it still in place, then with the adapter empty.
    platform.BoxAnswers = {MsgResult::Yes, MsgResult::Ok, MsgResult::Retry, MsgResult::Retry,
                           MsgResult::Yes, MsgResult::Ok, MsgResult::No};
    ASSERT_TRUE(TickUntil(Poll::StatusRead, 200));
    platform.OnBox = nullptr;

    int programmed = 0;
    std::vector<MsgButtons> retryBoxes;
    for (const auto& box : platform.Boxes) {
        programmed += box.Text.rfind("Mission programmed!", 0) == 0;
        if (box.Buttons == MsgButtons::RetryCancel) retryBoxes.push_back(box.Buttons);
    }
    EXPECT_EQ(programmed, 3) << "each device once";
    EXPECT_EQ(retryBoxes.size(), 2u);
    EXPECT_EQ(form->Caption, "DS1921 iButton - " + Ds1921Device::RomText(third->Rom()));
    EXPECT_EQ(form->DelayAtFinish, 10);

    // The retries cost minutes, not the common start: each device stamps its first
    // sample within the minute after Finish + 10.
    Advance(static_cast<std::int64_t>(std::llround((finishTime - platform.Now()) * 86400000.0)) + 13 * 60000);
    for (auto* device : {first.get(), second.get(), third.get()}) {
        ASSERT_GE(device->MissionSamples(), 1);
        const auto stamp = device->PeekRange(0x215, 5);
        const TDateTime started = BCDTimeToString(stamp.data(), BcdForm::Short, true).Value;
        EXPECT_GE(started, finishTime + 9 * kMinute - kSecond);
        EXPECT_LE(started, finishTime + 11 * kMinute);
    }
}
