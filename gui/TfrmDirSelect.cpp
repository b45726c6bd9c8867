#include "gui/TfrmDirSelect.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

TfrmDirSelect::TfrmDirSelect(QWidget* parent) : QDialog(parent) {
  setObjectName("frmDirSelect");
  setWindowTitle("Open");
  setModal(true);
  resize(760, 480);

  m_pPlaces = new QComboBox(this);
  m_pPlaces->setObjectName("Cmb_Places");
  const QString home = QDir::homePath();
  m_pPlaces->addItem("Home", home);
  for (auto location : {QStandardPaths::DesktopLocation, QStandardPaths::DocumentsLocation}) {
    const QString path = QStandardPaths::writableLocation(location);
    if (!path.isEmpty() && path != home && QDir(path).exists())
      m_pPlaces->addItem(QStandardPaths::displayName(location), path);
  }
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    const QString root = volume.rootPath();
    if (volume.isValid() && volume.isReady() && !volume.isReadOnly() && root != "/" &&
        (root.startsWith("/media") || root.startsWith("/mnt") || root.startsWith("/run/media")))
      m_pPlaces->addItem(volume.displayName(), root);
  }
  m_pPlaces->addItem("Computer", QString("/"));

  m_pDirs = new QFileSystemModel(this);
  m_pDirs->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  m_pDirs->setRootPath("/");
  m_pTree = new QTreeView(this);
  m_pTree->setObjectName("Tree_Directories");
  m_pTree->setModel(m_pDirs);
  for (int column = 1; column < m_pDirs->columnCount(); ++column) m_pTree->hideColumn(column);
  m_pTree->header()->hide();

  m_pFiles = new QListWidget(this);
  m_pFiles->setObjectName("List_Files");
  m_pFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_pFileType = new QComboBox(this);
  m_pFileType->setObjectName("Cmb_FileType");
  m_pSelectAll = new QPushButton("Select All", this);
  m_pSelectAll->setObjectName("Btn_SelectAll");
  m_pOk = new QPushButton("OK", this);
  m_pOk->setObjectName("Btn_Ok");
  m_pOk->setDefault(true);
  m_pCancel = new QPushButton("Cancel", this);
  m_pCancel->setObjectName("Btn_Cancel");

  auto* left = new QVBoxLayout;
  left->addWidget(m_pPlaces);
  left->addWidget(m_pTree, 1);
  auto* middle = new QVBoxLayout;
  middle->addWidget(m_pFiles, 1);
  auto* typeRow = new QHBoxLayout;
  typeRow->addWidget(new QLabel("File Type", this));
  typeRow->addWidget(m_pFileType, 1);
  middle->addLayout(typeRow);
  auto* right = new QVBoxLayout;
  right->addWidget(m_pSelectAll);
  right->addStretch();
  right->addWidget(m_pOk);
  right->addWidget(m_pCancel);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 2);
  layout->addLayout(middle, 3);
  layout->addLayout(right);

  connect(m_pPlaces, &QComboBox::activated, this,
          [this](int i) { SetDirectory(m_pPlaces->itemData(i).toString()); });
  connect(m_pTree, &QTreeView::clicked, this,
          [this](const QModelIndex& index) { SetDirectory(m_pDirs->filePath(index)); });
  connect(m_pFileType, &QComboBox::currentIndexChanged, this, [this] { FillFiles(); });
  connect(m_pFiles, &QListWidget::itemSelectionChanged, this, [this] { UpdateOk(); });
  connect(m_pFiles, &QListWidget::itemDoubleClicked, this, [this] { if (m_pOk->isEnabled()) accept(); });
  connect(m_pSelectAll, &QPushButton::clicked, m_pFiles, &QListWidget::selectAll);
  connect(m_pOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);

  SetDirectory(home);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void TfrmDirSelect::SetFilter(const QString& filter, int index) {
  const QStringList parts = filter.split('|');
  m_aPatterns.clear();
  m_pFileType->blockSignals(true);
  m_pFileType->clear();
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    m_pFileType->addItem(parts[i]);
    m_aPatterns.append(parts[i + 1].split(';', Qt::SkipEmptyParts));
  }
  if (m_pFileType->count() == 0) {
    m_pFileType->addItem("All files");
    m_aPatterns.append(QStringList{"*"});
  }
  m_pFileType->setCurrentIndex(index >= 0 && index < m_pFileType->count() ? index : 0);
  m_pFileType->blockSignals(false);
  FillFiles();
}

void TfrmDirSelect::SetDirectory(const QString& directory) {
  if (directory.isEmpty() || !QDir(directory).exists()) return;
  m_sDirectory = QDir(directory).absolutePath();
  const QModelIndex index = m_pDirs->index(m_sDirectory);
  m_pTree->setCurrentIndex(index);
  m_pTree->scrollTo(index);
  FillFiles();
}

void TfrmDirSelect::SetMultiSelect(bool multi) {
  m_pFiles->setSelectionMode(multi ? QAbstractItemView::ExtendedSelection
                                   : QAbstractItemView::SingleSelection);
  m_pSelectAll->setEnabled(multi);
}

void TfrmDirSelect::FillFiles() {
  m_pFiles->clear();
  QStringList patterns{"*"};
  const int type = m_pFileType->currentIndex();
  if (type >= 0 && type < m_aPatterns.size() && !m_aPatterns[type].isEmpty()) patterns = m_aPatterns[type];
  // "*.*" means every file, with or without an extension (DICOM files often have none).
  for (QString& p : patterns)
    if (p == "*.*") p = "*";
  const QStringList names =
      QDir(m_sDirectory).entryList(patterns, QDir::Files | QDir::Readable, QDir::Name);
  m_pFiles->addItems(names);
  UpdateOk();
}

void TfrmDirSelect::UpdateOk() { m_pOk->setEnabled(!m_pFiles->selectedItems().isEmpty()); }

QStringList TfrmDirSelect::SelectedPaths() const {
  QStringList paths;
  const QString prefix = m_sDirectory.endsWith('/') ? m_sDirectory : m_sDirectory + '/';
  for (int row = 0; row < m_pFiles->count(); ++row)
    if (m_pFiles->item(row)->isSelected()) paths.append(prefix + m_pFiles->item(row)->text());
  return paths;
}
