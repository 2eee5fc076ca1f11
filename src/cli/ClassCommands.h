#pragma once
// kelvara-cli's commands for whole classes: survey and table of many data
// files, and mission, which starts new missions on one device or a batch.
// Each parses its own options; args start after the command's name.
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/MissionOptions.h"

class Platform;
class TmexDriver;

bool IsClassCommand(const std::string& name);
const char* ClassCommandsUsage();
int RunClassCommand(const std::string& name, const std::vector<std::string>& args);

int RunSurveyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunTableCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// The mission command on the given driver, through the window's wizard and
// programming sequence: one line per programmed device on out (ROM, start),
// the rest on err. Time and waits go through platform; its boxes are answered here.
// programmed() runs after each device is programmed.
int RunMission(const MissionOptions& options, TmexDriver& driver, Platform& platform, std::ostream& out,
               std::ostream& err, const std::function<void()>& programmed = {});
