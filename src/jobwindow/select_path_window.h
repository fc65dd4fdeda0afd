#pragma once
// The folder chooser of the output folders: a list of the mounted volumes
// and a tree of the chosen volume's folders.

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QFileSystemModel;
class QPushButton;
class QTreeView;

namespace gleanery {

class Messages;

struct Volume {
    QString root;   // mount point
    QString label;  // what the list shows
};

// The volumes of the system, in order of their mount points.
std::vector<Volume> mountedVolumes();

class frmSelectPath : public QDialog {
    Q_OBJECT
public:
    // messages answers "Drive not available" (message boxes when null).
    frmSelectPath(const std::string& current, std::vector<Volume> volumes, Messages* messages = nullptr,
                  QWidget* parent = nullptr);
    ~frmSelectPath() override;

    // Shows the chooser modally; the chosen folder, or "" after Cancel.
    static std::string Display(const std::string& current, QWidget* parent = nullptr);

    const std::string& answer() const { return answer_; }
    QComboBox& Drive1() { return *drive1_; }
    QTreeView& Dir1() { return *dir1_; }
    // The highlighted folder, or the open volume's root when none is.
    QString currentFolder() const;
    // Highlights a folder of the open volume; false when it is not there.
    bool highlight(const QString& folder);

    void cmdOK_Click();
    void cmdCancel_Click();

private:
    void Form_Load(const QString& current);
    void Drive1_Change(int index);
    bool openVolume(int index);
    int volumeOf(const QString& folder) const;

    std::vector<Volume> volumes_;
    std::unique_ptr<Messages> ownMessages_;
    Messages& messages_;
    QComboBox* drive1_;
    QTreeView* dir1_;
    QFileSystemModel* folders_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
    int openVolume_ = -1;
    std::string answer_;
};

}  // namespace gleanery
