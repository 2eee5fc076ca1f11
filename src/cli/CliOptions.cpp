#include "cli/CliOptions.h"

#include <cstdio>
#include <set>

#include "device/tmex/PortConfig.h"

namespace {
const std::set<std::string> kCommands{"report", "csv", "histogram-csv", "summary", "full-print", "download"};
const std::set<std::string> kGraphCommands{"graph", "histogram-graph"};

bool KnownCommand(const std::string& name) {
    return kCommands.contains(name) || kGraphCommands.contains(name);
}

bool ParseNow(const std::string& text, TDateTime& value) {
    int y, mo, d, h, mi, s;
    char sep;
    char rest;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%c", &y, &mo, &d, &sep, &h, &mi, &s, &rest) != 7)
        return false;
    return (sep == 'T' || sep == ' ') && TryEncodeDateTime(y, mo, d, h, mi, s, 0, value);
}
}  // namespace

const char* CliUsage() {
    return "Usage: kelvara-cli COMMAND [OPTIONS] [FILE...]\n"
           "\n"
           "Commands:\n"
           "  report FILE...          the full text report of each data file\n"
           "  csv FILE...             the temperature log as CSV\n"
           "  histogram-csv FILE...   the histogram as CSV\n"
           "  summary FILE...         the lines of the printed summary\n"
           "  full-print FILE...      the lines of the printed full report\n"
           "  graph FILE... -o OUT    the log graph as the chart window saves it\n"
           "  histogram-graph FILE... -o OUT\n"
           "                          the histogram chart; OUT's extension picks the\n"
           "                          picture: .emf, .svg, .pdf or .png\n"
           "  download [--port TYPE:NUMBER] -o FILE\n"
           "                          download the DS1921 on the adapter into a data file\n"
           "\n"
           "Options:\n"
           "  -o PATH                 write to PATH instead of standard output; with several\n"
           "                          data files PATH is a folder and each output is named\n"
           "                          after its data file: NAME.txt, NAME.csv,\n"
           "                          NAME-histogram.csv, NAME-summary.txt, NAME-print.txt\n"
           "  --fahrenheit            temperatures in Fahrenheit\n"
           "  --no-units              no F/C unit after temperatures\n"
           "  --log-view date|offset  log and alarm lines by date/time or minute offset\n"
           "  --histogram-view range|start|bin\n"
           "  --width N, --height N   graph size in pixels (default: the chart window's)\n"
           "  --thresholds            include the alarm thresholds on the log graph\n"
           "  --format emf|svg|pdf|png  graph pictures in an output folder (default emf):\n"
           "                          NAME.emf, NAME-histogram.emf\n"
           "  --titles PATH           captions from this settings file (default: Titles.ini\n"
           "                          in the program's folder)\n"
           "  --now 'YYYY-MM-DD HH:MM:SS'  the computer time the report shows\n"
           "  --port TYPE:NUMBER      adapter port for download (default: KELVARA_PORT or the\n"
           "                          port saved by kelvara-portsetup): 15:1 the virtual adapter,\n"
           "                          5:N a DS9097U serial adapter on /dev/ttyS(N-1)\n"
           "  --help                  this text\n"
           "  --                      what follows are file names, even when they start with -\n"
           "\n"
           "Output is the program's own bytes: Windows-1252 text, lines ending in CR LF.\n"
           "Exit status: 0 success, 1 a file or device failed, 2 usage error.\n";
}

ParsedOptions ParseCliOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    CliOptions& o = parsed.Options;
    auto fail = [&parsed](const std::string& message) {
        parsed.Error = message;
        return parsed;
    };
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "--") {
            if (!optionsEnded) {
                optionsEnded = true;
                continue;
            }
            if (o.Command.empty()) {
                if (!KnownCommand(arg)) return fail("unknown command '" + arg + "'");
                o.Command = arg;
            } else {
                o.Files.push_back(arg);
            }
            continue;
        }
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (arg == "--help" || arg == "-h") {
            o.Help = true;
        } else if (arg == "-o" || arg == "--output") {
            if (!value(o.Output) || o.Output.empty()) return fail(arg + " needs a path");
        } else if (arg == "--fahrenheit") {
            o.Fahrenheit = true;
        } else if (arg == "--no-units") {
            o.NoUnits = true;
        } else if (arg == "--log-view") {
            if (!value(v)) return fail("--log-view needs date or offset");
            if (v == "date")
                o.LogView = 0;
            else if (v == "offset")
                o.LogView = 1;
            else
                return fail("--log-view: unknown view '" + v + "' (date or offset)");
        } else if (arg == "--histogram-view") {
            if (!value(v)) return fail("--histogram-view needs range, start or bin");
            if (v == "range")
                o.HistogramView = 0;
            else if (v == "start")
                o.HistogramView = 1;
            else if (v == "bin")
                o.HistogramView = 2;
            else
                return fail("--histogram-view: unknown view '" + v + "' (range, start or bin)");
        } else if (arg == "--width" || arg == "--height") {
            int& size = arg == "--width" ? o.Width : o.Height;
            char end = 0;
            if (!value(v) || std::sscanf(v.c_str(), "%d%c", &size, &end) != 1 || size < 16 || size > 8192)
                return fail(arg + " needs a number of pixels from 16 to 8192");
        } else if (arg == "--thresholds") {
            o.Thresholds = true;
        } else if (arg == "--format") {
            if (!value(o.Format) || !std::set<std::string>{"emf", "svg", "pdf", "png"}.contains(o.Format))
                return fail("--format needs emf, svg, pdf or png");
        } else if (arg == "--titles") {
            if (!value(o.Titles) || o.Titles.empty()) return fail("--titles needs a path");
        } else if (arg == "--now") {
            TDateTime now = 0;
            if (!value(v) || !ParseNow(v, now)) return fail("--now needs a time as 'YYYY-MM-DD HH:MM:SS'");
            o.Now = now;
        } else if (arg == "--port") {
            if (!value(v)) return fail("--port needs TYPE:NUMBER, such as 15:1 or 5:1");
            PortSetting port;
            std::string why;
            if (!ParsePortText(v, port, &why)) return fail("--port " + v + ": " + why);
            if (!port.Device.empty())
                return fail("--port " + v +
                            ": --port takes TYPE:NUMBER; a serial device is named with "
                            "KELVARA_PORT=5:N:DEVICE or kelvara-portsetup");
            o.PortType = port.Type;
            o.PortNumber = port.Number;
            o.HasPort = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return fail("unknown option " + arg);
        } else if (o.Command.empty()) {
            if (!KnownCommand(arg)) return fail("unknown command '" + arg + "'");
            o.Command = arg;
        } else {
            o.Files.push_back(arg);
        }
    }
    if (o.Help) return parsed;
    if (o.Command.empty()) return fail("no command given");
    if (o.Command == "download") {
        if (!o.Files.empty()) return fail("download takes no data file");
        if (o.Output.empty()) return fail("download needs -o FILE");
    } else {
        if (o.Files.empty()) return fail(o.Command + " needs a data file");
        if (o.HasPort) return fail("--port belongs to download");
    }
    return parsed;
}
