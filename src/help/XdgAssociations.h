#pragma once
// The desktop's file associations as the freedesktop MIME tools see them: the
// default application's desktop entry for a MIME type ("xdg-mime query default")
// and the command line (Exec) that entry gives.
#include <string>
#include <vector>

class XdgAssociations {
public:
    // queryProgram is run as queryProgram query default <type>; dataDirs are the
    // folders whose applications/ subfolders hold the entries, searched in order.
    XdgAssociations(std::string queryProgram, std::vector<std::string> dataDirs);
    // xdg-mime over $XDG_DATA_HOME (or ~/.local/share) and $XDG_DATA_DIRS.
    static XdgAssociations ForThisDesktop();

    // The Exec line of the default application for mimeType, or empty with the
    // reason in problem (empty too when simply none is set).
    std::string DefaultOpenCommand(const std::string& mimeType, std::string& problem) const;

private:
    std::string QueryDefault(const std::string& mimeType, std::string& problem) const;
    std::string FindEntry(const std::string& desktopId) const;

    std::string queryProgram_;
    std::vector<std::string> dataDirs_;
};

// The Exec key of an entry's [Desktop Entry] group, or empty.
std::string DesktopEntryExec(const std::string& entryText);
