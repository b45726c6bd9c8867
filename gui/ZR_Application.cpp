#include "gui/ZR_Application.h"

#include <QApplication>
#include <clocale>

#include "core/ZR_SystemInfo.h"
#include "gui/Tfrm_Visualization.h"
#include "gui/ZR_AppPaths.h"

void ZR_Application::Prepare() {
  QCoreApplication::setApplicationName("Lumetra");
  QCoreApplication::setOrganizationName("Lumetra");
  QGuiApplication::setDesktopFileName("lumetra");
  std::setlocale(LC_NUMERIC, "C");
}

bool ZR_Application::HasDisplay() {
  return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
         !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int ZR_Application::Run(QApplication& app, const std::vector<std::string>& files) {
  Tfrm_Visualization window(ZR_AppPaths::Decide(ZR_SystemInfo::ApplicationDirectory()));
  if (!window.FormCreate()) return window.StartupResult();
  window.show();
  window.ImportAtStart(files);
  return app.exec();
}
