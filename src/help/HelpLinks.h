#pragma once
// The web pages and the manual the Help menu and the link labels open, and
// the driver version lines of the about box.
#include <string>
#include <vector>

#include "files/FilePath.h"

class TmexApi;

inline constexpr const char* kWebServer = "https://www.kelvara.org";
inline constexpr const char* kWebServerText = "www.kelvara.org";

std::string HomePageUrl();     // the server root
std::string ProductPageUrl();  // the link label and "Web Home Page..."
std::string SupportPageUrl();  // "Web Support..."

// The manual "QRT417.pdf" beside the program, else another manual found there (or
// in the source tree's docs/manual when run from a build folder); empty when none.
FilePath FindManual(const FilePath& programDir);

// "Main Driver: " + the driver's version, then "Type n: " + text for each port
// type 0..15 whose version call answers above 0.
std::vector<std::string> DriverVersionLines(TmexApi& driver);
