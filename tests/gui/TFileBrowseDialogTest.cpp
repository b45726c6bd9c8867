#include "gui/TFileBrowseDialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <fstream>

#include "gui/TfrmDirSelect.h"
#include "tests/gui/ZR_GuiTestHelpers.h"
#include "tests/support/ZR_TestData.h"

namespace {
std::filesystem::path MakeFolder() {
  const auto dir = ZR_TestData::ScratchDir("picker");
  for (const char* name : {"IM0002.dcm", "IM0001.dcm", "notes.txt", "6154"}) std::ofstream(dir / name) << "x";
  std::filesystem::create_directory(dir / "sub");
  return dir;
}
}  // namespace

TEST(DataSetPicker, OkWaitsForASelectionAndSelectAllTakesEveryListedFileInOrder) {
  const auto dir = MakeFolder();
  TFileBrowseDialog picker;
  picker.Filter = "DICOM files|*.dcm|All files|*.*";
  picker.SetInitialDir(QString::fromStdString(dir.string()));
  QStringList listed;
  bool okBefore = true, okAfter = false;
  QString fileType;
  WhenModalAppears([&](QWidget* modal) {
    auto* window = qobject_cast<TfrmDirSelect*>(modal);
    ASSERT_NE(window, nullptr);
    for (int i = 0; i < window->FileList()->count(); ++i) listed << window->FileList()->item(i)->text();
    fileType = window->FileTypeBox()->currentText();
    okBefore = window->OkButton()->isEnabled();
    window->SelectAllButton()->click();
    okAfter = window->OkButton()->isEnabled();
    window->OkButton()->click();
  });
  ASSERT_TRUE(picker.Execute());
  EXPECT_EQ(fileType, "DICOM files");
  EXPECT_EQ(listed, (QStringList{"IM0001.dcm", "IM0002.dcm"}));
  EXPECT_FALSE(okBefore);
  EXPECT_TRUE(okAfter);
  const QString prefix = QString::fromStdString(dir.string()) + "/";
  EXPECT_EQ(picker.Files(), (QStringList{prefix + "IM0001.dcm", prefix + "IM0002.dcm"}));
}

TEST(DataSetPicker, AllFilesIncludesFilesWithoutExtensionAndCancelLeavesNothing) {
  const auto dir = MakeFolder();
  TFileBrowseDialog picker;
  picker.Filter = "DICOM files|*.dcm|All files|*.*";
  picker.FilterIndex = 1;
  picker.SetInitialDir(QString::fromStdString(dir.string()));
  int count = 0;
  WhenModalAppears([&](QWidget* modal) {
    auto* window = qobject_cast<TfrmDirSelect*>(modal);
    count = window->FileList()->count();
    window->SelectAllButton()->click();
    window->reject();
  });
  EXPECT_FALSE(picker.Execute());
  EXPECT_EQ(count, 4);  // the sub-folder is not a file
  EXPECT_TRUE(picker.Files().isEmpty());
}

TEST(DataSetPicker, AMissingInitialDirectoryIsNotAccepted) {
  TFileBrowseDialog picker;
  picker.SetInitialDir("/tmp");
  picker.SetInitialDir("/no/such/folder");
  EXPECT_EQ(picker.InitialDir(), "/tmp");
}
