#pragma once
// The command line of kelvara-cli.
#include <optional>
#include <string>
#include <vector>

#include "model/DateTime.h"

struct CliOptions {
    std::string Command;  // report, csv, histogram-csv, summary, full-print, download
    // Paths as the command line gives them: the file system's own bytes.
    std::vector<std::string> Files;  // data files to convert
    std::string Output;              // -o: a file, or a folder for several data files; empty: standard output
    bool Fahrenheit = false;
    bool NoUnits = false;
    int LogView = 0;               // 0 Date/Time, 1 Minute Offset
    int HistogramView = 0;         // 0 Range, 1 Start Only, 2 Bin Number
    std::string Titles;            // settings file for the captions; empty: Titles.ini beside the program
    std::optional<TDateTime> Now;  // the computer time the report shows
    // graph and histogram-graph: the picture's size (0: the window's chart size),
    // the format in an output folder, "Include alarm thresholds on graph".
    int Width = 0, Height = 0;
    std::string Format = "emf";
    bool Thresholds = false;
    bool HasPort = false;
    int PortType = 0, PortNumber = 0;
    bool Help = false;
};

struct ParsedOptions {
    CliOptions Options;
    std::string Error;  // a usage error when not empty
};

ParsedOptions ParseCliOptions(const std::vector<std::string>& args);
const char* CliUsage();
