#include "results/GraphInputs.h"

#include <cstdio>

std::string GraphTimeText(TDateTime value) {
    const DateTimeParts p = DecodeDateTime(value);
    char text[48];
    std::snprintf(text, sizeof text, " %.2d/%.2d/%.4d  %.2d:%.2d ", p.Day, p.Month, p.Year, p.Hour, p.Minute);
    return text;
}

std::string GraphTimeCaption(TDateTime from, TDateTime to) {
    return GraphTimeText(from) + " to " + GraphTimeText(to);
}

TDateTime LogGraphStartTime(TDateTime missionStart, std::int32_t samples, int sampleRateMinutes,
                            bool rolloverEnabled) {
    if (!rolloverEnabled || samples <= 2048) return missionStart;
    const double interval = sampleRateMinutes * kMinute;
    const std::int32_t wraps = samples / 2048, rest = samples % 2048;
    return wraps * 2048 * interval + missionStart - (2048 - rest) * interval;
}

HistogramBins HistogramBinsOf(DeviceVariant variant) {
    switch (variant) {
        case DeviceVariant::HumanBody:
            return {14.5, 0.5};
        case DeviceVariant::LowTemp:
            return {-5.5, 0.5};
        case DeviceVariant::Standard:
            break;
    }
    return {-40.0, 2.0};
}

std::string HistogramXTitle(const std::string& histSyntax, int histView) {
    std::string title = histSyntax.substr(0, histSyntax.find(','));
    if (histView != 2)
        title +=
            "\xB0"
            "C";
    return title;
}
