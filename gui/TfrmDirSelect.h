#pragma once
// The data-set picker's window: places and a directory tree on the left, the current
// directory's files (through the file-type box) in the middle, "Select All", OK and Cancel.

#include <QDialog>
#include <QStringList>

class QComboBox;
class QFileSystemModel;
class QListWidget;
class QPushButton;
class QTreeView;

class TfrmDirSelect : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmDirSelect(QWidget* parent = nullptr);

  // "Name|pattern;pattern|Name|pattern..." pairs, as the file-type box shows them.
  void SetFilter(const QString& filter, int index);
  void SetDirectory(const QString& directory);
  QString Directory() const { return m_sDirectory; }
  void SetMultiSelect(bool multi);
  // The selected files of the current directory, in list order, as full paths.
  QStringList SelectedPaths() const;

  QListWidget* FileList() const { return m_pFiles; }
  QPushButton* OkButton() const { return m_pOk; }
  QPushButton* SelectAllButton() const { return m_pSelectAll; }
  QComboBox* FileTypeBox() const { return m_pFileType; }

 private:
  void FillFiles();
  void UpdateOk();

  QComboBox* m_pPlaces;
  QTreeView* m_pTree;
  QFileSystemModel* m_pDirs;
  QListWidget* m_pFiles;
  QComboBox* m_pFileType;
  QPushButton* m_pSelectAll;
  QPushButton* m_pOk;
  QPushButton* m_pCancel;
  QString m_sDirectory;
  QList<QStringList> m_aPatterns;
};
