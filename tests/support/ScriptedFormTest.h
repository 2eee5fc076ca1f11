#pragma once
// A form on a scripted driver and platform, for the device jobs at byte level:
// every bus call must happen with the green light on, and a job must leave no
// session open and the light off.
#include <gtest/gtest.h>

#include "app/TTRecForm.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"

class ScriptedFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.PortType = kPortTypeVirtual;
        form.PortNumber = 1;
        driver.OnCall = [this](const DriverCall& call) {
            if (call.Name != "TMExtendedStartSession" && call.Name != "TMEndSession") {
                EXPECT_TRUE(form.GreenLight.On) << call.Name;
            }
        };
    }
    void ExpectClosed() {
        EXPECT_EQ(driver.OpenSessions, 0);
        EXPECT_FALSE(form.GreenLight.On);
        EXPECT_EQ(driver.CallsOutsideSession, 0);
    }

    ScriptedPlatform platform;
    ScriptedDriver driver;
    TTRecForm form{platform, driver};
};
