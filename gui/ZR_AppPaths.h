#pragma once
// Where the program keeps its files. Normally everything lives in the program's folder (the
// settings file, the log, the captures, the presets). Once the program is installed that
// folder is read-only: the settings file and the log then go to the user's configuration
// folder, the captures and the user's own presets to the user's data folder. Factory presets
// are always read from the program's folder. Every path uses '/' and ends in '/'.

#include <string>

class ZR_AppPaths {
 public:
  // Decides for the program in `programDir`, probing whether a file can be made there.
  static ZR_AppPaths Decide(const std::string& programDir);
  // The same with the answer given (tests).
  static ZR_AppPaths Decide(const std::string& programDir, bool programDirWritable);
  // The program's folder read-only, the user's files in the two folders given.
  static ZR_AppPaths Redirected(const std::string& programDir, const std::string& configDir,
                                const std::string& dataDir);

  const std::string& ProgramDir() const { return m_sProgramDir; }
  // The settings file and the log.
  const std::string& ConfigDir() const { return m_sConfigDir; }
  // The captures and the user's presets.
  const std::string& DataDir() const { return m_sDataDir; }
  bool IsRedirected() const { return m_bRedirected; }

  std::string SettingsFile() const;
  std::string CaptureDir() const;
  std::string HelpFile() const;
  std::string ResourcesDir() const;
  std::string FactoryPresetDir() const;
  // The folder the preset engine is pointed at: the program's "Presets/" or, redirected, a
  // "Presets/" in the data folder whose factory folders lead to the program's (symbolic
  // links) and whose user folders are the user's own.
  std::string PresetBase() const;
  // Makes the folders the decision names (the redirected presets folder included); false
  // when one of them cannot be made.
  [[nodiscard]] bool Prepare() const;
  // One line for the log that says where the files went; "" when nothing was redirected.
  std::string LogNote() const;

 private:
  std::string m_sProgramDir;
  std::string m_sConfigDir;
  std::string m_sDataDir;
  bool m_bRedirected = false;
};
