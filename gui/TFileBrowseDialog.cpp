#include "gui/TFileBrowseDialog.h"

#include <QDir>

#include "gui/TfrmDirSelect.h"

void TFileBrowseDialog::SetInitialDir(const QString& directory) {
  if (!directory.isEmpty() && QDir(directory).exists()) m_sInitialDir = directory;
}

bool TFileBrowseDialog::Execute() {
  m_aFiles.clear();
  TfrmDirSelect window(m_pParent);
  m_pWindow = &window;
  window.setWindowTitle(Title);
  window.SetMultiSelect(MultiSelect);
  if (!m_sInitialDir.isEmpty()) window.SetDirectory(m_sInitialDir);
  window.SetFilter(Filter, FilterIndex);
  const bool ok = window.exec() == QDialog::Accepted;
  m_pWindow = nullptr;
  m_sInitialDir = window.Directory();
  if (ok) m_aFiles = window.SelectedPaths();
  return ok && !m_aFiles.isEmpty();
}
