#include "support/ui/message_boxes.h"

#include <QMessageBox>

namespace gleanery {
namespace {

QString fromBytes(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace

void MessageBoxes::inform(const std::string& text, const std::string& title) {
    QMessageBox::information(parent_, fromBytes(title), fromBytes(text), QMessageBox::Ok);
}

bool MessageBoxes::confirm(const std::string& text, const std::string& title) {
    return QMessageBox::question(parent_, fromBytes(title), fromBytes(text), QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
}

bool MessageBoxes::askYesNo(const std::string& text, const std::string& title) {
    return QMessageBox::question(parent_, fromBytes(title), fromBytes(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

}  // namespace gleanery
