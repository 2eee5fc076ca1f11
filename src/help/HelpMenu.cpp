// The Help menu's handlers and the link label: the manual in the desktop's PDF
// viewer, the web pages in its browser. Nothing here shows a message: a failure
// opens nothing (the platform notes it on standard error).
#include "app/TTRecForm.h"
#include "help/HelpLinks.h"
#include "help/ProgramAssociation.h"

void TTRecForm::Manual1Click() {
    const std::vector<std::string> command =
        ManualCommand(GetProgramAssociation(platform, "PDF"), platform.ProgramDir());
    // Without a viewer, or when it does not start, the launcher opens the file by its own type.
    if (command.size() == 1 || !platform.RunProgram(command)) platform.OpenUrl(command.back());
}

void TTRecForm::WebPage1Click() { StartNewBrowserWindow(ProductPageUrl()); }

void TTRecForm::Support1Click() { StartNewBrowserWindow(SupportPageUrl()); }

void TTRecForm::PortLabelClick() { StartNewBrowserWindow(ProductPageUrl()); }

void TTRecForm::StartNewBrowserWindow(const std::string& url) {
    // The desktop's browser takes the address as its argument; with none, or when
    // it does not start, the address goes to the launcher as it stands.
    const std::string browser = GetProgramAssociation(platform, "HTM");
    if (!browser.empty() && platform.RunProgram(ProgramCommand(browser, {url}))) return;
    platform.OpenUrl(url);
}
