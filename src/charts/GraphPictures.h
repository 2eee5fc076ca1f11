#pragma once
// The chart window's pictures as files: the type by the file's extension and
// the bytes of the one paint routine, shared by "Save Graph..." and kelvara-cli.
#include <QByteArray>
#include <optional>
#include <string>

#include "charts/stripchart/ChartOutput.h"
#include "files/FilePath.h"

class TStripChart;

// EMF, SVG, PDF or PNG by the extension in any case; nothing for another.
std::optional<ChartPictureFormat> GraphPictureFormat(const FilePath& path);
// Program text naming the file, for a box or the terminal.
std::string UnknownGraphPictureMessage(const FilePath& path);

QByteArray GraphPicture(const TStripChart& chart, ChartPictureFormat format);
// False with the reason (program text) when the type is unknown or the file cannot be written.
bool SaveGraphPicture(const TStripChart& chart, const FilePath& path, std::string& error);
