#pragma once
// The web pages and the manual the Help menu and the link labels open, and
// the driver version lines of the about box.
#include <string>
#include <vector>

#include "files/FilePath.h"

class TmexApi;

// The publisher's web server: one place, so a move of the site is one line.
inline constexpr const char* kWebServer = "https://www.kelvara.org";
inline constexpr const char* kWebServerText = "www.kelvara.org";
inline constexpr const char* kManualFileName = "QRT417.pdf";

std::string HomePageUrl();     // the server root: the about box link
std::string ProductPageUrl();  // the link label and "Web Home Page..."
std::string SupportPageUrl();  // "Web Support..."

// The manual beside the program: its folder (with the separator) + "QRT417.pdf".
FilePath ManualPath(const FilePath& programDir);

// What opens the manual: the viewer (when there is one) with the manual's path
// as one argument, unquoted, whatever blanks the folder holds; else the path alone.
std::vector<std::string> ManualCommand(const std::string& viewer, const FilePath& programDir);

// "Main Driver: " + the driver's version, then "Type n: " + text for each port
// type 0..15 whose version call answers above 0.
std::vector<std::string> DriverVersionLines(TmexApi& driver);
