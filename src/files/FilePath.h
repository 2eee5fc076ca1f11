#pragma once
// A file's name as the file system holds it: its own bytes, whatever language
// they spell, never program text. Program text is Windows-1252 and cannot hold
// most of the world's names, so paths travel in this type from the dialog or
// the command line to the file call, and become text only where they are shown.
#include <filesystem>
#include <string>
#include <string_view>

class FilePath {
public:
    FilePath() = default;
    // The bytes as the command line, a dialog or the environment gave them.
    explicit FilePath(std::string nativeBytes) : bytes(std::move(nativeBytes)) {}
    explicit FilePath(const char* nativeBytes) : bytes(nativeBytes) {}
    // A std::filesystem path is a file system name already.
    FilePath(const std::filesystem::path& path) : bytes(path.native()) {}  // NOLINT: same kind of value

    const std::string& Native() const { return bytes; }
    const char* c_str() const { return bytes.c_str(); }
    std::filesystem::path Fs() const { return std::filesystem::path(bytes); }
    bool empty() const { return bytes.empty(); }

    // The folder holding the file ("." for a bare name) and the last part of the name.
    FilePath Folder() const;
    std::string Name() const;
    // name appended after one separator.
    FilePath operator/(std::string_view name) const;

    friend bool operator==(const FilePath&, const FilePath&) = default;

private:
    std::string bytes;
};

// The path as part of program text, for a box, the status line or a caption.
// The name's bytes are kept, marked, so the edge that shows the text (a widget,
// the terminal) can show every character of the name; control characters in
// the name become '?' so they cannot break the text's lines.
std::string ShownPath(const FilePath& path);

// Program text as UTF-8 for showing: Windows-1252 converted, shown paths as the
// file system names them (bytes that are no UTF-8 become U+FFFD).
std::string ShownTextToUtf8(std::string_view programText);

// A path that was written as program text (a settings file in Windows-1252):
// bytes that already form UTF-8 are taken as they are, anything else is read
// as Windows-1252, since this file system names files in UTF-8.
FilePath PathFromSettingsText(const std::string& text);
