#pragma once
// kelvara-cli graph and histogram-graph: the chart window's pictures of data
// files, drawn without a screen by the same PlotLog/PlotHistogram and the same
// paint routine, in the format of the output's extension.
#include <string>

#include "cli/CliOptions.h"

bool IsGraphCommand(const std::string& command);
// Makes an off-screen QApplication when there is none; returns the exit status.
int RunGraphCommands(const CliOptions& options);
