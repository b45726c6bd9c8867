#pragma once
// The data-set picker: remembers a filter, an initial directory, a title and the
// multi-selection switch, and runs TfrmDirSelect. The chosen files are emptied at every
// opening and filled, in list order, only when the user presses OK.

#include <QString>
#include <QStringList>

class QWidget;
class TfrmDirSelect;

class TFileBrowseDialog {
 public:
  explicit TFileBrowseDialog(QWidget* parent = nullptr) : m_pParent(parent) {}

  QString Filter;
  int FilterIndex = 0;
  QString Title = "Open";
  bool MultiSelect = true;

  // Accepted only when the directory exists.
  void SetInitialDir(const QString& directory);
  QString InitialDir() const { return m_sInitialDir; }

  // Shows the window modally; true when the user chose files with OK.
  bool Execute();
  const QStringList& Files() const { return m_aFiles; }
  // The directory the user was in when the window closed (the next opening starts there).
  QString LastDir() const { return m_sInitialDir; }

  // Lets tests reach the window while it is open.
  TfrmDirSelect* Window() const { return m_pWindow; }

 private:
  QWidget* m_pParent;
  QString m_sInitialDir;
  QStringList m_aFiles;
  TfrmDirSelect* m_pWindow = nullptr;
};
