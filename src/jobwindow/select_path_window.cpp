#include "jobwindow/select_path_window.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "support/messages.h"
#include "support/ui/message_boxes.h"
#include "support/ui/twips.h"

namespace gleanery {

namespace {

bool isInside(const QString& folder, const QString& root) {
    if (root == QStringLiteral("/")) return folder.startsWith(u'/');
    return folder == root || folder.startsWith(root + u'/');
}

// The folder itself when it exists, else its nearest existing parent.
QString existingFolder(QString folder) {
    while (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
        const QString parent = QFileInfo(folder).path();
        if (parent == folder) return {};
        folder = parent;
    }
    return folder;
}

}  // namespace

std::vector<Volume> mountedVolumes() {
    std::vector<Volume> volumes;
    for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
        if (!storage.isValid()) continue;
        const QString root = storage.rootPath();
        const QString name = storage.name();
        volumes.push_back({root, name.isEmpty() || name == root ? root : QStringLiteral("%1  [%2]").arg(root, name)});
    }
    std::sort(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) { return a.root < b.root; });
    return volumes;
}

frmSelectPath::frmSelectPath(const std::string& current, std::vector<Volume> volumes, Messages* messages,
                             QWidget* parent)
    : QDialog(parent),
      volumes_(std::move(volumes)),
      ownMessages_(messages ? nullptr : std::make_unique<MessageBoxes>(this)),
      messages_(messages ? *messages : *ownMessages_),
      drive1_(new QComboBox(this)),
      dir1_(new QTreeView(this)),
      folders_(new QFileSystemModel(this)),
      cmdOK_(new QPushButton(QStringLiteral("OK"), this)),
      cmdCancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QStringLiteral("frmSelectPath"));
    setWindowTitle(QStringLiteral("Select Output Path"));
    resize(twips(5400), twips(4800));

    drive1_->setObjectName(QStringLiteral("Drive1"));
    for (const Volume& v : volumes_) drive1_->addItem(v.label);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    dir1_->setObjectName(QStringLiteral("Dir1"));
    dir1_->setModel(folders_);
    dir1_->setHeaderHidden(true);
    for (int column = 1; column < folders_->columnCount(); ++column) dir1_->hideColumn(column);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(drive1_);
    layout->addWidget(dir1_);
    layout->addLayout(buttons);

    Form_Load(QFile::decodeName(QByteArray::fromStdString(current)));
    connect(drive1_, &QComboBox::currentIndexChanged, this, &frmSelectPath::Drive1_Change);
    connect(cmdOK_, &QPushButton::clicked, this, &frmSelectPath::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmSelectPath::cmdCancel_Click);
}

frmSelectPath::~frmSelectPath() = default;

std::string frmSelectPath::Display(const std::string& current, QWidget* parent) {
    frmSelectPath chooser(current, mountedVolumes(), nullptr, parent);
    chooser.exec();
    return chooser.answer();
}

void frmSelectPath::Form_Load(const QString& current) {
    // Without a usable folder the chooser opens at the home folder.
    QString folder = existingFolder(QDir::cleanPath(current));
    int volume = current.isEmpty() ? -1 : volumeOf(QDir::cleanPath(current));
    if (volume < 0 || folder.isEmpty() || volumeOf(folder) != volume) {
        folder = QDir::homePath();
        volume = volumeOf(folder);
    }
    if (volume < 0 && !volumes_.empty()) volume = 0;
    if (volume < 0) return;
    {
        const QSignalBlocker quiet(drive1_);
        drive1_->setCurrentIndex(volume);
    }
    if (openVolume(volume)) highlight(folder);
}

QString frmSelectPath::currentFolder() const {
    const QModelIndex highlighted = dir1_->currentIndex();
    if (highlighted.isValid() && highlighted != dir1_->rootIndex()) return folders_->filePath(highlighted);
    return openVolume_ >= 0 ? volumes_[std::size_t(openVolume_)].root : QString();
}

bool frmSelectPath::highlight(const QString& folder) {
    if (openVolume_ < 0 || !isInside(folder, volumes_[std::size_t(openVolume_)].root)) return false;
    const QModelIndex index = folders_->index(folder);
    if (!index.isValid()) return false;
    if (index != dir1_->rootIndex()) {
        dir1_->setCurrentIndex(index);
        dir1_->scrollTo(index);
    }
    return true;
}

bool frmSelectPath::openVolume(int index) {
    if (index < 0 || std::size_t(index) >= volumes_.size()) return false;
    const QString root = volumes_[std::size_t(index)].root;
    const QFileInfo info(root);
    if (!info.isDir() || !info.isReadable() || !info.isExecutable()) return false;
    dir1_->setRootIndex(folders_->setRootPath(root));
    dir1_->setCurrentIndex({});
    openVolume_ = index;
    return true;
}

int frmSelectPath::volumeOf(const QString& folder) const {
    int best = -1;
    for (std::size_t i = 0; i < volumes_.size(); ++i) {
        const QString& root = volumes_[i].root;
        if (isInside(folder, root) && (best < 0 || root.size() > volumes_[std::size_t(best)].root.size()))
            best = int(i);
    }
    return best;
}

void frmSelectPath::Drive1_Change(int index) {
    if (openVolume(index)) return;
    messages_.inform("Drive not available", kAppTitle);
    // Back to the volume whose folders the tree still shows.
    const QSignalBlocker quiet(drive1_);
    drive1_->setCurrentIndex(openVolume_);
}

void frmSelectPath::cmdOK_Click() {
    answer_ = QFile::encodeName(currentFolder()).toStdString();
    accept();
}

void frmSelectPath::cmdCancel_Click() {
    answer_.clear();
    reject();
}

}  // namespace gleanery
