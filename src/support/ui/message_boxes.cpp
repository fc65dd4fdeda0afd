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

void MessageBoxes::ask(const std::string& text, std::function<void(bool)> answer, const std::string& title) {
    auto* box = new QMessageBox(QMessageBox::Question, fromBytes(title), fromBytes(text),
                                QMessageBox::Ok | QMessageBox::Cancel, parent_);
    box->setDefaultButton(QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box, [box, answer = std::move(answer)] {
        answer(box->clickedButton() == box->button(QMessageBox::Ok));
    });
    box->open();
}

bool MessageBoxes::askYesNo(const std::string& text, const std::string& title) {
    return QMessageBox::question(parent_, fromBytes(title), fromBytes(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

}  // namespace gleanery
