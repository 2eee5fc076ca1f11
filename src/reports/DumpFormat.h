#pragma once
// The data file: a text dump of the memory image, and the line conversion
// its reader uses. Pure functions, so the format is testable without a form.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/MemoryImage.h"

// Value 0-15 of '0'-'9', 'A'-'F', 'a'-'f'; 255 for any other character.
std::uint8_t HexCharToByte(char c);

// Converts the blank-separated tokens of one line into byte values, at most
// values.size() of them (further tokens are ignored, never written past the
// end). Positions not converted are set to 0. Returns the number of values,
// or -1 when a token stopped the conversion (the values before it stand).
std::int16_t ConvertToBin(std::string_view line, std::span<std::uint8_t> values);

// The text split into lines: CR, LF or CR LF end a line; a final line without
// an end still counts, a final end adds no empty line.
std::vector<std::string_view> SplitLines(std::string_view text);

// The 185 lines of a data file (the last one empty), without line ends.
std::vector<std::string> DumpLines(const std::string& caption, const std::string& downloadText,
                                   const MemoryImage& image);

constexpr int kDumpDataLines = 184;
// A data file's lines are 48 characters; a start of file far longer than that is no data file.
constexpr std::size_t kMaxDumpBytes = 1 << 20;

struct DumpReadResult {
    bool Ok = false;
    std::string Error;         // why the file was refused
    bool HasCaption = false;   // line 1 was read
    std::string Caption;       // line 1
    std::string DownloadLine;  // line 2 ("Download at: ..."), when read
    int LinesRead = 0;         // lines before the one that ended the reading
};

// A UTF-8 byte-order mark that an editor may put before the first line; the
// reader drops it, so it neither reaches the caption nor shifts its characters.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Line 1 of the text, without a byte-order mark.
std::string_view FirstDumpLine(std::string_view text);
// Empty when line is a caption this program writes into a data file ("DS1921
// iButton - " and the 16 hexadecimal digits of the ROM, in either case), else
// why the file is no data file, for the user.
std::string DataFileCaptionProblem(std::string_view line);
// The ROM digits of such a caption in upper case, for choosing the variant; ""
// for another caption.
std::string RomDigitsOfCaption(std::string_view caption);

// Reads the lines of a data file into image. A byte-order mark before line 1 is skipped. Reading ends at the
// first empty line or after line 184. A file of fewer lines without an empty one is refused, and image is
// then left untouched.
DumpReadResult ReadDump(std::string_view text, MemoryImage& image);
