#pragma once
// The six mission details (user pages 1-6) as every output shows them: the
// details box, the report, the prints, the CSV exports and the chart printout.
#include <span>
#include <string>
#include <string_view>

// The description takes up to 64 characters: the first 32 on its own page, the
// rest on the page after it, which other programs leave blank.
inline constexpr int kDescriptionPage = 6;
inline constexpr int kDescriptionMorePage = 7;
inline constexpr std::size_t kUserPageSize = 32;

// Detail k (0 first name ... 5 description) from the 16 user texts. The
// description is page 6 followed directly by page 7 when page 7 holds anything
// but blanks; otherwise page 6 alone, as a device written elsewhere shows it.
std::string ShownUserDetail(std::span<const std::string> userTexts, int k);

// What user page `page` receives of the new user texts: page 7 carries the
// description's characters 33-64, every other page its own entry.
std::string_view UserPageText(std::span<const std::string> newUserTexts, int page);
