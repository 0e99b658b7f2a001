#include "gui/message_boxes.h"

#include <QMessageBox>

namespace tavrik {
namespace {

const QString kTitle = QStringLiteral("VOLTRI VX60 Driver");

QWidget* OwnerOf(QWidget* window) {
    return window != nullptr && window->isVisible() ? window : nullptr;
}

} // namespace

void ShowProgramMessage(QWidget* window, const QString& text) {
    QMessageBox box(QMessageBox::Information, kTitle, text, QMessageBox::Ok, OwnerOf(window));
    box.exec();
}

void ShowProgramMessageLater(QWidget* window, const QString& text) {
    auto* box =
        new QMessageBox(QMessageBox::Information, kTitle, text, QMessageBox::Ok, OwnerOf(window));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

bool AskProgramQuestion(QWidget* window, const QString& question) {
    QMessageBox box(QMessageBox::Question, kTitle, question, QMessageBox::Yes | QMessageBox::No,
                    OwnerOf(window));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace tavrik
