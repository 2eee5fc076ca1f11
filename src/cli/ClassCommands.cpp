#include "cli/ClassCommands.h"

#include <iostream>

#include "cli/AdapterSession.h"
#include "cli/CliPlatform.h"
#include "device/tmex/TmexDriver.h"

bool IsClassCommand(const std::string& name) {
    return name == "survey" || name == "table" || name == "mission";
}

const char* ClassCommandsUsage() {
    return "Whole classes:\n"
           "  survey FILE... [-o OUT.csv] [--format csv|text] [--fahrenheit]\n"
           "                          one row per data file: who, device, mission, log summary,\n"
           "                          alarms and notes on what needs a look; sorted by mission start\n"
           "  table FILE... [-o OUT.csv] [--wide] [--fahrenheit]\n"
           "                          every sample in one CSV (one row per sample; --wide: one row\n"
           "                          per minute, one column per logger); a mission in several\n"
           "                          files is taken once\n"
           "  mission [OPTIONS]       start a new mission on the DS1921 on the adapter, as the\n"
           "                          wizard's Finish does:\n"
           "    --rate MIN              sample rate, 1-255 minutes (default 1)\n"
           "    --start-delay MIN       start delay, 0-64799 minutes\n"
           "    --start-at 'YYYY-MM-DD HH:MM'  the start delay worked out as the calculator does\n"
           "    --rollover              enable roll-over\n"
           "    --high T, --low T       temperature alarm thresholds, in the chosen scale, on the\n"
           "                            device's list (default: the whole range)\n"
           "    --fahrenheit            thresholds in Fahrenheit\n"
           "    --no-alarm-search       do not respond to conditional search on any alarm\n"
           "    --time-alarm none|weekly|daily|hourly|minutely|every-second\n"
           "    --alarm-day DAY         Sunday-Saturday (weekly)\n"
           "    --alarm-time HH:MM:SS   the parts the mode uses (hourly: MM:SS, minutely: SS)\n"
           "    --first-name, --surname, --class, --school, --title TEXT   (32 characters)\n"
           "    --description TEXT      (64 characters)\n"
           "    --ignore-details        do not store the details on the device\n"
           "    --keep-device-clock     do not set the device clock from the computer's\n"
           "    --force                 clear a device whose mission is running\n"
           "    --batch N               program N devices one after the other with one start\n"
           "                            time; prints one line per device: ROM and start\n"
           "    --port TYPE:NUMBER      the adapter, as for download\n"
           "Survey and table CSVs are UTF-8 (with a byte-order mark) for spreadsheets, R and Python.\n";
}

int RunClassCommand(const std::string& name, const std::vector<std::string>& args) {
    if (name == "survey") return RunSurveyCommand(args, std::cout, std::cerr);
    if (name == "table") return RunTableCommand(args, std::cout, std::cerr);
    const ParsedMissionOptions parsed = ParseMissionOptions(args);
    if (parsed.Options.Help) {
        std::cout << ClassCommandsUsage();
        return 0;
    }
    if (!parsed.Error.empty()) {
        std::cerr << "kelvara-cli: mission: " << parsed.Error << "\n";
        return 2;
    }
    const MissionOptions& o = parsed.Options;
    return RunOnAdapter("kelvara-cli: mission: ", o.HasPort, o.PortType, o.PortNumber,
                        [&o](TmexDriver& driver, const PortSetting& port, const KeepState& keep) {
                            MissionOptions chosen = o;
                            chosen.HasPort = true;
                            chosen.PortType = port.Type;
                            chosen.PortNumber = port.Number;
                            CliPlatform platform;
                            return RunMission(chosen, driver, platform, std::cout, std::cerr, keep);
                        });
}
