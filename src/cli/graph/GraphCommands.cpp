#include "cli/graph/GraphCommands.h"

#include <QApplication>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>

#include "app/ChartWindows.h"
#include "app/TTRecForm.h"
#include "charts/GraphPictures.h"
#include "charts/TChartForm.h"
#include "charts/stripchart/ChartOutput.h"
#include "charts/stripchart/StripChart.h"
#include "cli/CliPlatform.h"
#include "cli/FileCommands.h"

namespace {
QtMessageHandler qtMessages = nullptr;

// Qt's note about a missing runtime folder means nothing to a user of a command line.
void DropRuntimeFolderNote(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))) return;
    if (qtMessages)
        qtMessages(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

// The main window's chart windows, drawn into a picture instead of shown.
class PictureCharts : public ChartWindows {
public:
    PictureCharts(Platform& platform, QSize size, ChartPictureFormat format)
        : platform_(platform), size_(size), format_(format) {}

    QByteArray Picture;

    void DestroyChartWindow(ChartKind) override {}
    void ShowLogGraph(const LogGraphInput& input, const GraphDetails& details) override {
        Draw([&](ChartFormModel& model) {
            model.Details = details;
            model.PlotLog(input);
        });
    }
    void ShowHistogramGraph(const HistogramGraphInput& input, const GraphDetails& details) override {
        Draw([&](ChartFormModel& model) {
            model.Details = details;
            model.PlotHistogram(input);
        });
    }

private:
    template <typename Plot>
    void Draw(Plot plot) {
        TStripChart chart;
        ApplyGraphWindowDesign(chart);
        chart.resize(size_);
        ChartFormModel model(
            chart, platform_, [&chart] { chart.BeginUpdate(); }, [&chart] { chart.EndUpdate(); });
        plot(model);
        Picture = GraphPicture(chart, format_);
    }

    Platform& platform_;
    QSize size_;
    ChartPictureFormat format_;
};

class GraphCommand : public FileCommand {
public:
    GraphCommand(bool histogram, const CliOptions& o)
        : histogram_(histogram),
          size_(o.Width > 0 ? o.Width : kGraphWidth, o.Height > 0 ? o.Height : kGraphHeight),
          format_(o.Format),
          thresholds_(o.Thresholds) {}

    std::string OutputName(const std::string& stem) const override {
        return stem + (histogram_ ? "-histogram." : ".") + format_;
    }

    bool Run(TTRecForm& form, CliPlatform& platform, const FilePath& target) const override {
        const auto format = GraphPictureFormat(target);
        if (!format) {
            platform.Messages.push_back(UnknownGraphPictureMessage(target));
            return false;
        }
        try {
            PictureCharts charts(platform, size_, *format);
            form.Charts = &charts;
            form.GraphAlarmsCheck.Checked = thresholds_;
            const auto before = platform.Messages.size();
            histogram_ ? form.GraphHistButtonClick() : form.GraphLogButtonClick();
            form.Charts = nullptr;
            if (platform.Messages.size() != before) return false;
            std::string error;
            if (form.Files->Save(target, std::string_view(charts.Picture.constData(), charts.Picture.size()),
                                 error))
                return true;
            platform.Messages.push_back(error);
        } catch (const std::exception& error) {
            form.Charts = nullptr;
            platform.Messages.push_back(std::string("The graph cannot be drawn.\r") + error.what());
        }
        return false;
    }

private:
    bool histogram_;
    QSize size_;
    std::string format_;
    bool thresholds_;
};
}  // namespace

bool IsGraphCommand(const std::string& command) { return command == "graph" || command == "histogram-graph"; }

int RunGraphCommands(const CliOptions& o) {
    if (o.Output.empty()) {
        std::cerr << "kelvara-cli: " << o.Command
                  << " needs -o naming a picture (.emf, .svg, .pdf or .png) or, for several data files, a "
                     "folder\n";
        return 2;
    }
    std::error_code ec;
    if (o.Files.size() == 1 && !std::filesystem::is_directory(o.Output, ec) &&
        !GraphPictureFormat(FilePath(o.Output))) {
        std::cerr << "kelvara-cli: " << ForTerminal(UnknownGraphPictureMessage(FilePath(o.Output))) << "\n";
        return 2;
    }
    std::unique_ptr<QApplication> app;
    if (!QCoreApplication::instance()) {
        // Pictures need fonts, not a display: the same off-screen platform the tests use.
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "kelvara-cli";
        static char* argv[] = {name, nullptr};
        qtMessages = qInstallMessageHandler(DropRuntimeFolderNote);
        app = std::make_unique<QApplication>(argc, argv);
    }
    const GraphCommand command(o.Command == "histogram-graph", o);
    return RunFileCommands(o, command);
}
