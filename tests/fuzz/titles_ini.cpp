// The settings file Titles.ini: any bytes as its text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TitlesSettings settings =
        ParseTitlesIni(std::string(reinterpret_cast<const char*>(data), size), FilePath("/program/"));
    int value = 0;
    ParsePortValue(settings.SerialPort, value);
    ParsePortValue(settings.Adapter, value);
    return 0;
}
