#include "reports/LoggedMission.h"

#include <algorithm>

#include "files/ReadFile.h"
#include "model/Bcd.h"
#include "reports/DumpFormat.h"
#include "results/ResultLines.h"

namespace {
std::string WithoutTrailingBlanks(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}
}  // namespace

LoggedMission DigestMission(MemoryImage image, const std::string& caption) {
    LoggedMission m;
    const auto& reg = image.RegisterPage;
    m.Rom = RomDigitsOfCaption(caption);
    m.Variant = DetectVariant(m.Rom);
    std::array<std::string, 16> texts;
    DecodeUserTexts(image, texts);
    for (int k = 0; k < 6; ++k) m.Details[k] = WithoutTrailingBlanks(texts[k + 1]);

    // The Status tab's decode (UpdateStatus), value by value.
    m.Running = reg[Reg::Status] & Reg::StatusMissionInProgress;
    m.DownloadTime =
        BCDTimeToString(&reg[Reg::ClockSeconds], BcdForm::Full, reg[Reg::ClockMonth] & 0x80).Value;
    m.Samples = MissionSampleCount(reg);
    m.SampleRate = reg[Reg::SampleRate];
    m.StartDelay = StartDelayMinutes(reg);
    m.RolloverEnabled = reg[Reg::Control] & Reg::ControlRollover;
    m.RolledOver = m.RolloverEnabled && m.Samples > 2048;
    const bool century =
        MissionStartCentury(&reg[Reg::StampMinutes], m.Running, m.DownloadTime, m.SampleRate, m.Samples);
    const BcdTime start = BCDTimeToString(&reg[Reg::StampMinutes], BcdForm::Short, century);
    m.Started = start.Text != kNotStartedText;
    // An impossible stamp decodes to the documented fallback moment, 01:00 on 1 January 1970.
    TDateTime fallback = 0;
    TryEncodeDateTime(1970, 1, 1, 1, 0, 0, 0, fallback);
    m.ValidStart = m.Started && start.Value != fallback;
    m.MissionStart = start.Value;

    // The log list's rows (UpdateLog), oldest first.
    const LogLayout layout = ComputeLogLayout(m.Samples, m.RolloverEnabled);
    m.Log.reserve(static_cast<std::size_t>(layout.Count));
    for (int k = 0; k < layout.Count; ++k) {
        const int p = LogPositionOfLine(layout, k);
        m.Log.push_back({LogSampleMinute(m.MissionStart, LogSampleNumber(layout, p) * m.SampleRate),
                         CelsiusOf(image.LogArea[p], m.Variant)});
    }
    for (const AlarmRecord& record : DecodeAlarmRecords(image.AlarmArea)) {
        (record.High ? m.HighAlarms : m.LowAlarms) += 1;
        (record.High ? m.HighAlarmMinutes : m.LowAlarmMinutes) +=
            static_cast<std::int64_t>(record.Samples) * m.SampleRate;
    }
    return m;
}

bool ReadLoggedMission(const FilePath& path, LoggedMission& mission, std::string& error) {
    std::string text;
    if (!ReadLeadingLines(path, kDumpDataLines, kMaxDumpBytes, text, error)) return false;
    if (const std::string problem = DataFileCaptionProblem(FirstDumpLine(text)); !problem.empty()) {
        error = problem;
        return false;
    }
    MemoryImage image;
    const DumpReadResult read = ReadDump(text, image);
    if (!read.Ok) {
        error = read.Error;
        return false;
    }
    mission = DigestMission(image, read.Caption);
    mission.LinesRead = read.LinesRead;
    return true;
}
