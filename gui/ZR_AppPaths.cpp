#include "gui/ZR_AppPaths.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <filesystem>

namespace fs = std::filesystem;

namespace {
std::string WithSlash(std::string dir) {
  for (char& c : dir)
    if (c == '\\') c = '/';
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

std::string Location(QStandardPaths::StandardLocation location) {
  return WithSlash(QStandardPaths::writableLocation(location).toStdString());
}

// The modality folders of the presets and, in each, which folders are factory ones.
constexpr const char* kModalities[] = {"CT", "MR"};
constexpr const char* kFactoryFolders[] = {"Presets", "WlPresets"};
constexpr const char* kUserFolders[] = {"UserDefined", "WlUserDefined"};
}  // namespace

ZR_AppPaths ZR_AppPaths::Decide(const std::string& programDir) {
  QTemporaryFile probe(QString::fromStdString(WithSlash(programDir)) + "lmx_probe_XXXXXX");
  return Decide(programDir, probe.open());
}

ZR_AppPaths ZR_AppPaths::Decide(const std::string& programDir, bool programDirWritable) {
  if (!programDirWritable)
    return Redirected(programDir, Location(QStandardPaths::AppConfigLocation), Location(QStandardPaths::AppDataLocation));
  ZR_AppPaths paths;
  paths.m_sProgramDir = paths.m_sConfigDir = paths.m_sDataDir = WithSlash(programDir);
  return paths;
}

ZR_AppPaths ZR_AppPaths::Redirected(const std::string& programDir, const std::string& configDir,
                                    const std::string& dataDir) {
  ZR_AppPaths paths;
  paths.m_sProgramDir = WithSlash(programDir);
  paths.m_sConfigDir = WithSlash(configDir);
  paths.m_sDataDir = WithSlash(dataDir);
  paths.m_bRedirected = true;
  return paths;
}

std::string ZR_AppPaths::SettingsFile() const { return m_sConfigDir + "lmx_settings.stg"; }
std::string ZR_AppPaths::CaptureDir() const { return m_sDataDir + "captured"; }
std::string ZR_AppPaths::HelpFile() const { return m_sProgramDir + "help/index.htm"; }
std::string ZR_AppPaths::ResourcesDir() const { return m_sProgramDir + "Resources/"; }
std::string ZR_AppPaths::FactoryPresetDir() const { return m_sProgramDir + "Presets/"; }
std::string ZR_AppPaths::PresetBase() const {
  return m_bRedirected ? m_sDataDir + "Presets/" : FactoryPresetDir();
}

bool ZR_AppPaths::Prepare() const {
  if (!m_bRedirected) return true;
  std::error_code error;
  for (const std::string& dir : {m_sConfigDir, m_sDataDir}) {
    fs::create_directories(dir, error);
    if (!fs::is_directory(dir, error)) return false;
  }
  const fs::path base = PresetBase();
  for (const char* modality : kModalities) {
    for (const char* folder : kUserFolders) {
      fs::create_directories(base / modality / folder, error);
      if (!fs::is_directory(base / modality / folder, error)) return false;
    }
    for (const char* folder : kFactoryFolders) {
      const fs::path link = base / modality / folder;
      const fs::path target = fs::path(FactoryPresetDir()) / modality / folder;
      // A link left by an earlier installation elsewhere is pointed at this one.
      if (fs::is_symlink(link, error) && fs::read_symlink(link, error) != target) fs::remove(link, error);
      if (!fs::exists(fs::symlink_status(link, error))) fs::create_directory_symlink(target, link, error);
      if (!fs::is_symlink(link, error)) return false;
    }
  }
  return true;
}

std::string ZR_AppPaths::LogNote() const {
  if (!m_bRedirected) return "";
  return "The program folder " + m_sProgramDir + " is not writable: settings and log in " + m_sConfigDir +
         ", captures and user presets in " + m_sDataDir + ", factory presets from " + FactoryPresetDir();
}
