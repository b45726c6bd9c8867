#pragma once
// The desktop program around the main window: what must happen once the application object
// exists, and the run from the command line to the last window closed.

#include <string>
#include <vector>

class QApplication;

class ZR_Application {
 public:
  // Names the program (its folders in the user's configuration and data places) and puts
  // the numeric locale back to "C": Qt sets the process locale from the environment, and a
  // decimal comma would then go into the settings and preset files and break the reading
  // of DICOM decimal strings.
  static void Prepare();
  // Whether the environment names a display to open windows on.
  static bool HasDisplay();
  // Creates the main window, starts the engine, imports `files` (a study given on the
  // command line) and runs until the window closes. The exit status: 0, or the start-up
  // failure's result code.
  static int Run(QApplication& app, const std::vector<std::string>& files);
};
