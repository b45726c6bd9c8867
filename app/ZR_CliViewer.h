#pragma once
// The viewer without a window, as the drawing subcommands use it: headless panels, console
// contracts, a started manager, and a study loaded as the window loads it (LoadStudy, the
// subset preview's range, LoadVolume). Failures print "lumetra-cli NAME: ..." and give the
// exit status to return.

#include <cstdint>
#include <string>
#include <vector>

#include "headless/ZR_ConsoleGui.h"
#include "headless/ZR_HeadlessPanels.h"
#include "manager/ZR_VisManager.h"
#include "presets/ZR_WindowlessPresetEditorGui.h"
#include "settings/ZR_Vis3DSettings.h"

class ZR_CliViewer {
 public:
  // Panels firstLarge..lastLarge get `size` pixels square; the others stay small.
  ZR_CliViewer(const char* command, int32_t size, int32_t firstLarge, int32_t lastLarge);

  // The context, the manager and its preset editor; 0 or the exit status.
  [[nodiscard]] int Start();
  // The files of `folder` (first..last of the study, the whole of it when first < 0); 0 or the
  // exit status.
  [[nodiscard]] int Load(const std::string& folder, int32_t first, int32_t last);
  // Reads a panel back and writes it as PNG; 0 or the exit status (with a message).
  [[nodiscard]] int WritePanel(int32_t panel, const std::string& path, int32_t* width, int32_t* height);

  ZR_VisManager& Manager() { return m_oManager; }
  // How long the last Load took to read the files (LoadStudy) and to build the volume and
  // upload its textures (LoadVolume), in seconds.
  double ReadSeconds() const { return m_dReadSeconds; }
  double VolumeSeconds() const { return m_dVolumeSeconds; }
  ZR_Vis3DSettings& Settings() { return m_oSettings; }
  // Prints the code's message; returns the code.
  [[nodiscard]] int Failed(int32_t code) const;

  // A whole decimal number within [low, high].
  static bool Number(const std::string& text, int32_t low, int32_t high, int32_t& value);

  // What every drawing subcommand takes: the study folder, --out, --size N and the range
  // --first I --last J.
  struct Options {
    std::string folder;
    std::string out;
    int32_t size = 0;
    int32_t first = -1, last = -1;
  };
  // Takes args[i] (and its value, advancing i) when it is one of those: 1 taken, 0 another
  // argument, -1 a bad value or a second folder.
  static int TakeCommon(const std::vector<std::string>& args, size_t& i, Options& o, int32_t minimumSize,
                        int32_t maximumSize);
  // The active MPR view's plane: --orientation L|R|A|P|I|S, --rotate-x DEG, --rotate-y DEG,
  // --offset MM.
  struct PlaneOptions {
    int32_t orientation = -1;
    float rotateX = 0, rotateY = 0, offset = 0;
    bool given = false;
  };
  // As TakeCommon, for those.
  static int TakePlane(const std::vector<std::string>& args, size_t& i, PlaneOptions& o);
  // A decimal number of at most `limit` in magnitude.
  static bool Decimal(const std::string& text, float limit, float& value);
  // Puts the active MPR view on that plane (the MPR screen must be shown).
  static void ApplyPlane(ZR_VisManager& manager, const PlaneOptions& o);
  // A folder and --out given, and a range with both ends or none.
  static bool Complete(const Options& o) {
    return !o.folder.empty() && !o.out.empty() && (o.first < 0) == (o.last < 0);
  }

 private:
  const char* m_sCommand;
  int32_t m_nSize;
  ZR_HeadlessPanels m_oPanels;
  ZR_ConsoleGui m_oGui, m_oPreviewGui;
  ZR_WindowlessPresetEditorGui m_oPresetGui;
  ZR_Vis3DSettings m_oSettings;
  ZR_VisManager m_oManager;
  double m_dReadSeconds = 0;
  double m_dVolumeSeconds = 0;
};
