#pragma once
// Which program opens a kind of file: the desktop's default application for the
// file type, reduced to the program's path the way an open command is cleaned.
#include <string>
#include <vector>

class Platform;

// The MIME types a file extension (without the dot, any case) is looked up
// under, the first that has a default application winning: "PDF" ->
// application/pdf; "HTM" -> the https handler, then text/html.
std::vector<std::string> MimeTypesForExtension(const std::string& extension);

// An open command reduced to its program: cut at the first "%", one leading
// double quote dropped, cut at the next double quote, trailing blanks dropped.
// "\"/opt/My Viewer/view\" \"%1\"" gives "/opt/My Viewer/view".
std::string CleanOpenCommand(std::string command);

// The program registered to open files of the extension, or empty.
std::string GetProgramAssociation(Platform& platform, const std::string& extension);

// The argument list that runs program text followed by the arguments. A program
// path that was quoted in its entry may hold blanks; a desktop entry writes any
// other blank between words of the command (env VAR=1 viewer, flatpak run id),
// so text that names no file is split at its blanks.
std::vector<std::string> ProgramCommand(const std::string& program,
                                        const std::vector<std::string>& arguments);
