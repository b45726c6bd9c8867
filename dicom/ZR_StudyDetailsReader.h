#pragma once
// The identity and acquisition lines of a study, read from its first file for the corners of
// the 3D view. Missing elements are reported through the GUI contract and leave fewer lines.

#include <cstdint>
#include <string>
#include <vector>

class ZR_VisGui;

class ZR_StudyDetailsReader {
 public:
  explicit ZR_StudyDetailsReader(ZR_VisGui& gui) : m_oGui(gui) {}

  void ReadStudyLines(const std::string& file);

  const std::vector<std::string>& Lines() const { return m_aLines; }
  // 0 when the modality is "MR", 1 otherwise.
  int32_t ModalityFlag() const { return m_nModality; }

 private:
  ZR_VisGui& m_oGui;
  std::vector<std::string> m_aLines;
  int32_t m_nModality = 1;
};
