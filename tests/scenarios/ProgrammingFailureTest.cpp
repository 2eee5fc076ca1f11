#include "ProgrammingRig.h"

namespace {
class ProgrammingFailures : public ProgrammingRig {
protected:
    void InsertAndFinish(std::shared_ptr<VirtualSlave> slave) {
        bus.Insert(std::move(slave));
        ASSERT_TRUE(TickUntil(Poll::Idle));
        FinishWizard();
        ASSERT_EQ(form->PollState, Poll::Clear);
    }
    bool TickUntilStep(std::int16_t state, int step, int limit = 50) {
        for (int i = 0; i < limit; ++i) {
            if (form->PollState == state && (state != Poll::Write || form->WriteStep == step)) return true;
            Tick();
        }
        return false;
    }
};
}  // namespace

TEST_F(ProgrammingFailures, PullingTheDeviceAtAnyStepResetsTheWindow) {
    struct Step {
        std::int16_t state;
        int writeStep;
    };
    for (const Step step : {Step{Poll::Clear, 0}, Step{Poll::VerifyClear, 0}, Step{Poll::Write, 0},
                            Step{Poll::Write, 1}, Step{Poll::Write, 2}, Step{Poll::Write, 3}}) {
        SCOPED_TRACE(std::to_string(step.state) + "/" + std::to_string(step.writeStep));
        platform.Boxes.clear();
        auto device = NewDevice(10 + step.state * 4 + step.writeStep);
        InsertAndFinish(device);
        ASSERT_TRUE(TickUntilStep(step.state, step.writeStep));
        bus.Remove(device);
        Tick();
        EXPECT_EQ(form->PollState, Poll::Reset);
        EXPECT_FALSE(form->RecTab.Visible);
        EXPECT_TRUE(form->PanelWelcome.Visible);
        EXPECT_FALSE(ProgrammedBoxShown());
        Tick();  // the reset, then the search for the next device
        EXPECT_EQ(form->PollState, Poll::Search);
        EXPECT_EQ(form->Wizard.PageIndex, 0);
        EXPECT_TRUE(form->NextButton.Enabled);
    }
}

TEST_F(ProgrammingFailures, DevicePulledHalfwayThroughTheUserPages) {
    auto device = NewDevice(30);
    InsertAndFinish(device);
    ASSERT_TRUE(TickUntilStep(Poll::Write, 3));
    bus.VanishAfter(device, 600);
    Tick();
    EXPECT_EQ(form->PollState, Poll::Reset);
    EXPECT_FALSE(ProgrammedBoxShown());
}

TEST_F(ProgrammingFailures, ReadBackMismatchIsRetriedAndBoxedOnTheTwelfthTime) {
    auto faulty = std::make_shared<FaultySlave>(NewDevice(31));
    InsertAndFinish(faulty);
    ASSERT_TRUE(TickUntilStep(Poll::Write, 0));
    faulty->corruptReadBacks = 12;
    for (int attempt = 1; attempt <= 11; ++attempt) {
        Tick();
        EXPECT_EQ(form->Status.Caption, " Write mission: Error -301");
        EXPECT_EQ(form->WriteStep, 0);
    }
    EXPECT_TRUE(platform.Boxes.empty());
    Tick();
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, "Error writing status page (-301), on step (0)");
    EXPECT_EQ(platform.Beeps, 1);
    EXPECT_EQ(form->PollState, Poll::Write);

    platform.BoxAnswers.push_back(MsgResult::No);
    ASSERT_TRUE(TickUntil(Poll::StatusRead));
    EXPECT_TRUE(ProgrammedBoxShown());
    EXPECT_EQ(faulty->device->Peek(0x20D), 0x01);
}

TEST_F(ProgrammingFailures, AClearThatDoesNotVerifyIsRepeated) {
    auto device = NewDevice(32);
    Ds1921MissionSetup running;
    running.SampleRate = 1;
    device->StartMissionAt(running, device->ClockMs() - 3600000);
    auto faulty = std::make_shared<FaultySlave>(device);
    faulty->swallowedClears = 1;
    bus.Insert(faulty);
    ASSERT_TRUE(TickUntil(Poll::Idle, 2000));  // the running mission is downloaded first
    ASSERT_TRUE(form->MissionRunning);
    platform.Boxes.clear();
    form->RecTabChange(0);
    platform.BoxAnswers = {MsgResult::Ok, MsgResult::No};
    FinishWizard();
    // The running-mission warning, answered OK, and the offer to save its results first, declined.
    ASSERT_EQ(platform.Boxes.size(), 2u);
    ASSERT_EQ(form->PollState, Poll::Clear);

    Tick();  // clear (swallowed)
    Tick();  // verify
    EXPECT_EQ(form->Status.Caption, " ERROR, memory is not clear!");
    EXPECT_EQ(form->PollState, Poll::Clear);
    Tick();
    Tick();
    EXPECT_EQ(form->Status.Caption, " Verify clear memory: Success");
    EXPECT_EQ(form->PollState, Poll::Write);
    platform.BoxAnswers.push_back(MsgResult::No);
    ASSERT_TRUE(TickUntil(Poll::StatusRead));
    EXPECT_TRUE(ProgrammedBoxShown());
}

TEST_F(ProgrammingFailures, AFailedVerifyReadIsRetriedAndBoxedOnTheTwelfthTime) {
    auto faulty = std::make_shared<FaultySlave>(NewDevice(33));
    InsertAndFinish(faulty);
    ASSERT_TRUE(TickUntilStep(Poll::VerifyClear, 0));
    faulty->corruptPageReads = 12 * 3;  // each job reads a page up to three times
    Tick();
    ASSERT_EQ(form->PollState, Poll::VerifyClear);
    const std::string status = form->Status.Caption;
    ASSERT_EQ(status.rfind(" Clear memory: Error -", 0), 0u) << status;
    const std::string code = status.substr(std::string(" Clear memory: Error ").size());
    for (int attempt = 2; attempt <= 11; ++attempt) {
        Tick();
        EXPECT_EQ(form->Status.Caption, status);
    }
    EXPECT_TRUE(platform.Boxes.empty());
    Tick();
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, "Error reading status page (" + code + ")!");
    EXPECT_EQ(form->PollState, Poll::VerifyClear);

    platform.BoxAnswers.push_back(MsgResult::No);
    ASSERT_TRUE(TickUntil(Poll::StatusRead));
    EXPECT_TRUE(ProgrammedBoxShown());
}
