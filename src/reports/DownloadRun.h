#pragma once
// Runs the window's polling cycle without a window until one whole download
// has ended, so a headless front end saves exactly what the window would.
#include <functional>
#include <string>

class TTRecForm;

// Ticks the form's timer (the form must have been created without a data file)
// and presses "Read Data" for an ended mission. Time passes through the form's
// platform (Sleep while searching or idle). Gives up when no device was found
// within searchMs, after totalMs, or when stop() says so (the application was
// told to end). Empty on success, else the reason.
std::string RunDownloadCycle(TTRecForm& form, int searchMs, int totalMs, const std::function<bool()>& stop);
