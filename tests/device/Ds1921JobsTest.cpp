#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>

#include "support/ScriptedFormTest.h"

namespace {
using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;

class Ds1921Jobs : public ScriptedFormTest {
protected:
    void SetUp() override {
        ScriptedFormTest::SetUp();
        form.RomBuffer = {0x21, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0xA7};
        for (int i = 0; i < 21; ++i) form.Image.NewRegisterPage[i] = static_cast<std::uint8_t>(0xC0 + i);
    }
    // What a device answers to Read Scratchpad after a faithful write.
    static Bytes ReadBack(const Bytes& data, std::uint16_t address) {
        Bytes reply = {0xAA, static_cast<std::uint8_t>(address & 0xFF),
                       static_cast<std::uint8_t>(address >> 8),
                       static_cast<std::uint8_t>((address + data.size() - 1) & 0x1F)};
        reply.insert(reply.end(), data.begin(), data.end());
        return reply;
    }
    static Bytes CopyReply(std::uint8_t last) {
        Bytes reply(14, 0xFF);
        reply[13] = last;
        return reply;
    }
    // A device that writes, reads back and copies faithfully.
    void ScriptGoodWrite(const Bytes& data, std::uint16_t address) {
        driver.BlockReplies.push_back({});  // the write echoes
        driver.BlockReplies.push_back({ReadBack(data, address)});
        driver.BlockReplies.push_back({CopyReply(0xAA)});
    }
    Bytes Sent(int blockIndex) const {
        int seen = 0;
        for (const auto& call : driver.Calls)
            if (call.Name == "TMBlockStream" && seen++ == blockIndex) return call.Sent;
        return {};
    }
    int BlockCount() const {
        const Names names = driver.CallNames();
        return static_cast<int>(std::count(names.begin(), names.end(), "TMBlockStream"));
    }
    Bytes NewRegisterBytes(int first, int count) const {
        return Bytes(form.Image.NewRegisterPage.begin() + first,
                     form.Image.NewRegisterPage.begin() + first + count);
    }
};
}  // namespace

TEST_F(Ds1921Jobs, ReadPageSetsUpOnceAndCopiesThePage) {
    std::iota(driver.PageData.begin(), driver.PageData.end(), 0);
    std::array<std::uint8_t, 32> page{};
    EXPECT_EQ(form.ReadPage(16, page.data()), 1);
    EXPECT_EQ(page[31], 31);
    EXPECT_EQ(driver.CallNames(),
              (Names{"TMExtendedStartSession", "TMSetup", "TMRom", "TMExtendedReadPage", "TMEndSession"}));
    EXPECT_EQ(driver.Calls[3].Sent, Bytes{16});
    driver.Calls.clear();
    EXPECT_EQ(form.ReadPage(17, page.data()), 1);
    EXPECT_EQ(driver.CallNames(),
              (Names{"TMExtendedStartSession", "TMRom", "TMExtendedReadPage", "TMEndSession"}));
    EXPECT_EQ(form.RomBuffer[0], 0x21);  // the stored device was made current, not replaced
    ExpectClosed();
}

TEST_F(Ds1921Jobs, FailedReadKeepsTheDriverCodeOnlyWhileTheDeviceAnswers) {
    std::array<std::uint8_t, 32> page{};
    driver.ReadPageResult = -7;
    EXPECT_EQ(form.ReadPage(16, page.data()), -7);
    EXPECT_EQ(driver.CallNames().end()[-2], "TMStrongAccess");
    driver.ReadPageResult = 0;
    EXPECT_EQ(form.ReadPage(16, page.data()), 0);
    driver.StrongAccessResult = 0;
    EXPECT_EQ(form.ReadPage(16, page.data()), -1);
    driver.SessionResult = -3;
    EXPECT_EQ(form.ReadPage(16, page.data()), -200);
    ExpectClosed();
}

TEST_F(Ds1921Jobs, ThirteenBytesAtTheClockGoThroughTheScratchpad) {
    form.SetTimeCheck.Checked = true;
    form.WriteStep = 0;
    const Bytes data = NewRegisterBytes(0, 13);
    ScriptGoodWrite(data, 0x200);
    EXPECT_EQ(form.WriteMission(), 1);
    EXPECT_EQ(driver.CallNames(),
              (Names{"TMExtendedStartSession", "TMStrongAccess", "TMBlockStream", "TMAccess", "TMBlockStream",
                     "TMAccess", "TMBlockStream", "TMEndSession"}));
    Bytes write = {0x0F, 0x00, 0x02};
    write.insert(write.end(), data.begin(), data.end());
    EXPECT_EQ(Sent(0), write);
    EXPECT_EQ(Sent(0).size(), 16u);
    Bytes read(17, 0xFF);
    read[0] = 0xAA;
    EXPECT_EQ(Sent(1), read);
    EXPECT_EQ(Sent(2),
              (Bytes{0x55, 0x00, 0x02, 0x0C, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    ExpectClosed();
}

TEST_F(Ds1921Jobs, EachWriteStepSendsItsRange) {
    struct Case {
        int step;
        bool setTime;
        int first, count;
        std::uint16_t address;
        std::uint8_t ending;
    };
    for (const Case c : {Case{0, false, 0x07, 6, 0x207, 0x0C}, Case{1, true, 0x0E, 7, 0x20E, 0x14},
                         Case{2, true, 0x0D, 1, 0x20D, 0x0D}}) {
        SCOPED_TRACE(c.step);
        driver.Calls.clear();
        form.WriteStep = static_cast<std::int16_t>(c.step);
        form.SetTimeCheck.Checked = c.setTime;
        const Bytes data = NewRegisterBytes(c.first, c.count);
        ScriptGoodWrite(data, c.address);
        EXPECT_EQ(form.WriteMission(), 1);
        const Bytes write = Sent(0);
        ASSERT_EQ(write.size(), static_cast<std::size_t>(c.count + 3));
        EXPECT_EQ(write[1], c.address & 0xFF);
        EXPECT_EQ(write[2], c.address >> 8);
        EXPECT_EQ(Bytes(write.begin() + 3, write.end()), data);
        EXPECT_EQ(Sent(2)[3], c.ending);
    }
    ExpectClosed();
}

TEST_F(Ds1921Jobs, StepThreeNeedsNoDevice) {
    form.WriteStep = 3;
    EXPECT_EQ(form.WriteMission(), 1);
    form.WriteStep = 4;
    EXPECT_EQ(form.WriteMission(), -1);
    EXPECT_TRUE(driver.Calls.empty());
}

TEST_F(Ds1921Jobs, StopMissionClearsTheStatusRegister) {
    ScriptGoodWrite({0x00}, 0x214);
    EXPECT_EQ(form.StopMission(), 1);
    EXPECT_EQ(Sent(0), (Bytes{0x0F, 0x14, 0x02, 0x00}));
    EXPECT_EQ(Sent(2)[3], 0x14);
    ExpectClosed();
}

TEST_F(Ds1921Jobs, UserPageIsOneFullScratchpad) {
    auto slot = form.Image.PageSlot(3);
    std::fill(slot.begin(), slot.end(), 'x');
    const Bytes data(slot.begin(), slot.end());
    ScriptGoodWrite(data, 0x60);
    EXPECT_EQ(form.WriteUser(3), 1);
    EXPECT_EQ(Sent(0).size(), 35u);
    EXPECT_EQ(Sent(0)[1], 0x60);
    EXPECT_EQ(Sent(2)[3], 0x1F);
    EXPECT_EQ(form.WriteUser(16), -1);
    ExpectClosed();
}

TEST_F(Ds1921Jobs, ReadBackMismatchesGiveTheMismatchCodeAndNoCopy) {
    form.WriteStep = 2;
    const Bytes data = NewRegisterBytes(0x0D, 1);
    auto tamper = [&](int index, std::uint8_t value) {
        driver.Calls.clear();
        Bytes reply = ReadBack(data, 0x20D);
        reply[index] = value;
        driver.BlockReplies = {{}, {reply}, {CopyReply(0xAA)}};
        const std::int16_t result = form.WriteMission();
        EXPECT_EQ(BlockCount(), 2);
        return result;
    };
    EXPECT_EQ(tamper(3, 0x0C), -301);  // only the ending offset differs
    EXPECT_EQ(tamper(1, 0x0E), -301);
    EXPECT_EQ(tamper(2, 0x03), -301);
    EXPECT_EQ(tamper(4, 0x00), -301);
    ExpectClosed();
}

TEST_F(Ds1921Jobs, ShortTransfersFailButTheReadBackStillDecides) {
    form.WriteStep = 2;
    const Bytes data = NewRegisterBytes(0x0D, 1);
    driver.BlockReplies = {{{}, 2}, {ReadBack(data, 0x20D)}};
    EXPECT_EQ(form.WriteMission(), -1);

    Bytes wrong = ReadBack(data, 0x20D);
    wrong[4] ^= 1;
    driver.BlockReplies = {{{}, 2}, {wrong}};
    EXPECT_EQ(form.WriteMission(), -301);

    driver.BlockReplies = {{}, {ReadBack(data, 0x20D), 4}};
    EXPECT_EQ(form.WriteMission(), -1);
    ExpectClosed();
}

TEST_F(Ds1921Jobs, NoSelectionForTheReadBackIsAFailure) {
    form.WriteStep = 2;
    driver.AccessReplies = {0};
    EXPECT_EQ(form.WriteMission(), -1);
    EXPECT_EQ(driver.CallNames(), (Names{"TMExtendedStartSession", "TMStrongAccess", "TMBlockStream",
                                         "TMAccess", "TMEndSession"}));
    driver.StrongAccessResult = 0;
    EXPECT_EQ(form.WriteMission(), -1);
    ExpectClosed();
}

TEST_F(Ds1921Jobs, CopyMustEndInTheAlternatingPattern) {
    form.WriteStep = 2;
    const Bytes data = NewRegisterBytes(0x0D, 1);
    for (const auto& [last, expected] :
         {std::pair<std::uint8_t, int>{0xAA, 1}, {0x55, 1}, {0x5A, -1}, {0xFF, -1}}) {
        driver.BlockReplies = {{}, {ReadBack(data, 0x20D)}, {CopyReply(last)}};
        EXPECT_EQ(form.WriteMission(), expected) << int(last);
    }
    driver.BlockReplies = {{}, {ReadBack(data, 0x20D)}, {CopyReply(0xAA), 13}};
    EXPECT_EQ(form.WriteMission(), -1);
    ExpectClosed();
}

TEST_F(Ds1921Jobs, ClearMemoryArmsCopiesAndClears) {
    driver.BlockReplies = {{}, {{0x55, 0x0E, 0x02, 0x0E, 0x5A}}};
    const auto before = platform.Tick;
    EXPECT_EQ(form.ClearMemory(), 1);
    EXPECT_EQ(driver.CallNames(),
              (Names{"TMExtendedStartSession", "TMAccess", "TMBlockStream", "TMAccess", "TMBlockStream",
                     "TMAccess", "TMTouchByte", "TMTouchReset", "TMEndSession"}));
    EXPECT_EQ(Sent(0), (Bytes{0x0F, 0x0E, 0x02, 0x40}));
    EXPECT_EQ(Sent(1), (Bytes{0x55, 0x0E, 0x02, 0x0E, 0xFF}));
    EXPECT_EQ(driver.Calls[6].Sent, Bytes{0x3C});
    EXPECT_EQ(platform.Tick - before, 3u);
    ExpectClosed();
}

TEST_F(Ds1921Jobs, ClearMemoryReportsEveryFailureAsMissing) {
    driver.BlockReplies = {{}, {{0x55, 0x0E, 0x02, 0x0E, 0xFF}}};
    EXPECT_EQ(form.ClearMemory(), -1);
    driver.BlockReplies = {{{}, 3}};
    EXPECT_EQ(form.ClearMemory(), -1);
    driver.Calls.clear();
    driver.BlockReplies = {{}, {{0x55, 0x0E, 0x02, 0x0E, 0xAA}}};
    driver.TouchReplies = {0xFF};
    EXPECT_EQ(form.ClearMemory(), -1);
    EXPECT_EQ(driver.CallNames().end()[-2], "TMTouchReset");  // the reset follows whatever the byte
    driver.AccessResult = -4;
    EXPECT_EQ(form.ClearMemory(), -1);
    driver.SessionResult = 0;
    EXPECT_EQ(form.ClearMemory(), -200);
    ExpectClosed();
}

TEST_F(Ds1921Jobs, ForceConversion) {
    EXPECT_EQ(form.ForceConversion(), 1);
    EXPECT_EQ(driver.Calls[2].Sent, Bytes{0x44});
    driver.TouchReplies = {0x40};
    EXPECT_EQ(form.ForceConversion(), 0x40);
    driver.AccessResult = 0;
    EXPECT_EQ(form.ForceConversion(), -1);
    driver.AccessResult = -12;
    EXPECT_EQ(form.ForceConversion(), -12);
    ExpectClosed();
}

// Pull the device before each driver call in turn: every job ends cleanly with
// a failure code (or success when the device left after its last bus use).
TEST_F(Ds1921Jobs, PullingTheDeviceAtEveryStep) {
    std::array<std::uint8_t, 32> page{};
    const std::vector<std::pair<std::string, std::function<std::int16_t()>>> jobs = {
        {"ReadPage", [&] { return form.ReadPage(16, page.data()); }},
        {"WriteMission", [&] { return form.WriteMission(); }},
        {"WriteUser", [&] { return form.WriteUser(0); }},
        {"StopMission", [&] { return form.StopMission(); }},
        {"ClearMemory", [&] { return form.ClearMemory(); }},
        {"ForceConversion", [&] { return form.ForceConversion(); }},
    };
    for (const auto& [name, job] : jobs) {
        for (int step = 1;; ++step) {
            SCOPED_TRACE(name + " pulled before call " + std::to_string(step));
            driver.Calls.clear();
            driver.PullAtCall = step;
            // A faithful device for the parts that happen before the pull.
            driver.BlockReplies.clear();
            if (name == "ClearMemory") {
                driver.BlockReplies = {{}, {{0x55, 0x0E, 0x02, 0x0E, 0xAA}}};
            } else if (name != "ReadPage" && name != "ForceConversion") {
                const int first = name == "WriteMission" ? 0x07 : 0;
                const int count = name == "WriteMission" ? 6 : name == "WriteUser" ? 32 : 1;
                const std::uint16_t address = name == "WriteMission" ? 0x207
                                              : name == "WriteUser"  ? 0x000
                                                                     : 0x214;
                Bytes data = name == "WriteMission" ? NewRegisterBytes(first, count)
                             : name == "WriteUser"  ? Bytes(32, 0)
                                                    : Bytes{0};
                ScriptGoodWrite(data, address);
            }
            form.SetTimeCheck.Checked = false;
            form.WriteStep = 0;
            const std::int16_t result = job();
            ExpectClosed();
            ASSERT_GT(static_cast<int>(driver.Calls.size()), step);
            if (driver.Calls[step].Name == "TMEndSession") {
                EXPECT_EQ(result, 1);  // all bus work was done before the pull
                break;
            }
            // Once selected, a command byte echoes on an empty bus too, so those two may still succeed.
            EXPECT_TRUE(result == -1 || result == -301 || (name == "ForceConversion" && result == 1) ||
                        (name == "ClearMemory" && result == 1))
                << result;
        }
    }
}
