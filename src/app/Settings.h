#pragma once
// Titles.ini: read once at start-up from the program's folder, never written.
#include <array>
#include <string>
#include <vector>

#include "files/FilePath.h"

struct TitlesSettings {
    std::array<std::string, 6> Titles{
        "First Name:", "Surname:", "Class:", "School Name:", "Mission Title:", "Description:"};
    FilePath SavePath;             // default: the program's folder
    std::string SerialPort = "0";  // "0": ask the driver for its default port
    std::string Adapter = "5";
    // What was wrong with the file, one line each; the values above then hold the defaults.
    std::vector<std::string> Problems;
};

// Parses the Windows-1252 text of an INI file (or UTF-8 after a byte-order
// mark). Sections and keys are matched without regard to case; lines that are
// neither a section, a key=value pair, a comment nor blank are reported and
// skipped. SavePath is a folder's name, taken as the file system spells it.
TitlesSettings ParseTitlesIni(const std::string& text, const FilePath& programDir);
// Reads the file; a missing or unreadable file gives the defaults. Only a
// regular file is opened, so a pipe in its place cannot hold up the start.
TitlesSettings ReadTitlesIni(const FilePath& path, const FilePath& programDir);

// A port number or type as the settings give it: a whole number 0-32767,
// blanks around it allowed. False for anything else.
bool ParsePortValue(const std::string& text, int& value);
