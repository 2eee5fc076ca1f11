#pragma once
// The window's platform with time taken from the virtual clock and the timer
// and boxes taken over, so a picture run is the same on every build.
#include <string>
#include <vector>

#include "app/qt/QtPlatform.h"
#include "device/virtual/SimClock.h"

class ShotPlatform : public QtPlatform {
public:
    explicit ShotPlatform(SimClock& clock) : clock_(clock) {}

    std::uint32_t TickCount() override { return static_cast<std::uint32_t>(clock_.NowMs()); }
    TDateTime Now() override { return clock_.LocalNow(); }
    void Sleep(int milliseconds) override { clock_.Advance(milliseconds); }
    void Beep() override {}
    // Answered at once: OK, or No to a question, so a run never waits for a click.
    MsgResult MessageBox(const std::string& text, const std::string&, MsgButtons buttons, MsgIcon,
                         MsgDefault) override {
        Boxes.push_back(text);
        if (buttons == MsgButtons::YesNo) return MsgResult::No;
        return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel;
    }
    bool RunProgram(const std::vector<std::string>&) override { return false; }
    bool OpenUrl(const std::string&) override { return false; }
    void SetTimerEnabled(bool enabled) override { timerOn_ = enabled; }
    bool TimerEnabled() override { return timerOn_; }
    void SetTimerInterval(int milliseconds) override { interval_ = milliseconds; }
    int TimerInterval() override { return interval_; }
    void RefreshNow() override {}

    std::vector<std::string> Boxes;

private:
    SimClock& clock_;
    bool timerOn_ = false;
    int interval_ = 50;
};
