#pragma once
// The main window's frame: caption, panels, status line, light and menus.
#include <string>

#include "app/Controls.h"

struct MainWindowControls {
    std::string Caption = "No iButton Found!";
    Control TopPanel;     // right-aligned caption: no-device and offline texts
    Control BottomPanel;  // right-aligned caption: the port text
    Control Status;       // the status line, the running log of device activity
    Control PortLabel;    // link to the product's home page
    Control AdapterLabel{true, true, "Adapter activity..."};
    LightControl GreenLight;
    Control PanelWelcome;
    PageControl RecTab{{true, false, ""}, 0};  // 0 "Wizard", 1 "Mission Results", 2 "Status"

    // &File
    MenuItem menuOpen{{true, true, "&Load old data file..."}};
    MenuItem menuClose{{false, true, "C&lose old data file..."}};
    MenuItem menuSaveData1{{false, true, "&Save data file..."}};
    MenuItem MenuSaveData{{false, true, "Save &full report as text file..."}};
    MenuItem MenuExportToClip{{false, true, "&Copy full report to clipboard"}};
    MenuItem MenuSaveCSV{{false, true, "E&xport temperature data as CSV file..."}};
    MenuItem menuSaveHist{{false, true, "Export &histogram data as CSV file..."}};
    MenuItem PrintSummary{{false, true, "&Print summary..."}};
    MenuItem Printfullreport1{{false, true, "Print &full report..."}};
    MenuItem PrinterSetup1{{true, true, "Prin&ter setup..."}};
    MenuItem MenuItem4{{true, true, "E&xit"}};
    // &Options
    MenuItem MenuFahrenheit{{true, true, "Fahrenheit"}};
    MenuItem MenuCelsius{{true, true, "Celsius"}, true};
    MenuItem menuStandard{{false, true, "Standard DS1921L"}, true};
    MenuItem menuHuman{{false, true, "Human Body DS1921H"}};
    MenuItem menuIce{{false, true, "Low Temp DS1921Z"}};
    MenuItem MenuShowFC{{true, true, "Show F/C on Temperatures"}, true};
    MenuItem MenuStopMission{{false, true, "Stop Current Mission"}};
    // &Help
    MenuItem Manual1{{true, true, "Manual..."}};
    MenuItem WebPage1{{true, true, "Web Home Page..."}};
    MenuItem Support1{{true, true, "Web Support..."}};
    MenuItem About1{{true, true, "About..."}};
};
