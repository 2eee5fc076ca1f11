#include "setup/WizardControls.h"

const std::array<WizardPageText, 9> kWizardPages = {{
    {"Introduction",
     {"This will take you through the necessary steps to start a temperature datalogging mission.",
      "Press the 'Next >' button to proceed to the next step.  At any time you can press the '< Back' button "
      "to edit the mission options.",
      nullptr}},
    {"Mission Details",
     {"The following information will be stored within the DS1921 iButton during the the mission. This helps "
      "identify the iButton and results when multiple devices are being used.",
      nullptr, nullptr}},
    {"Time Set",
     {"Selecting this option will reset the iButton internal clock to use the current computer clock time.",
      nullptr, nullptr}},
    {"Time Alarm",
     {"Select time alarm mode. This is an advanced feature not required for most datalogging experiments. "
      "When "
      "a time alarm match is detected the DS1921 will respond to a handheld reader or computer software that "
      "is carrying out a conditional search.",
      nullptr, nullptr}},
    {"Mission Start Delay",
     {"The Mission Start Delay specifies the amount of time to delay before starting a mission (the time "
      "before starting to take temperature readings).",
      "Select the number of Days, Hours, and Minutes to delay.  The total start delay minutes and "
      "approximate "
      "start date are shown.",
      nullptr}},
    {"Sample Rate",
     {"The Sample Rate specifies the number of minutes between temperature readings once the mission begins.",
      nullptr, nullptr}},
    {"Temperature Alarms",
     {"The Temperature Alarms are intended for long missions that will rely on the temperature histogram.  "
      "The "
      "temperature alarms specify a high and low 'threshold point' that, when exceeded, will trigger a time "
      "stamp to be recorded. ",
      nullptr, nullptr}},
    {"Roll-Over",
     {"The DS1921 iButton has enough memory to record 2048 time- stamped temperature readings.  Readings "
      "beyond "
      "2048 will still be recorded in the temperature histogram.",
      "With the current sample rate, 2048 time-stamped temperature readings will be finished in the "
      "following "
      "number of days.",
      "The readings can optionally roll-over and start writing over the first values.  This should only be "
      "done if the later readings are more important than the early readings."}},
    {"Finish",
     {"DS1921 iButton Mission setting selection complete.  If this is correct, click finish to write these "
      "settings to the device and start the mission.",
      nullptr, nullptr}},
}};
