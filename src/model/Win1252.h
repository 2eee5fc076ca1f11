#pragma once
// All program text is single-byte Windows-1252; these convert at the edges
// (widgets, terminal, file names).
#include <string>

std::string Win1252ToUtf8(const std::string& text);
// Characters Windows-1252 cannot hold become '?' so the loss stays visible.
std::string Utf8ToWin1252(const std::string& text, char replacement = '?');
