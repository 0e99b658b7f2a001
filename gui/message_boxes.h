#pragma once
// The program's message boxes: plain information with one OK button, and Yes/No questions with
// No as the default button, over the main window when it is shown.

#include <QString>
#include <QWidget>

namespace tavrik {

void ShowProgramMessage(QWidget* window, const QString& text);
// The same message without waiting for it to be read: for a message raised in the middle of
// an edit (a list cell being committed), which a nested wait could disturb.
void ShowProgramMessageLater(QWidget* window, const QString& text);
// True for Yes.
bool AskProgramQuestion(QWidget* window, const QString& question);

} // namespace tavrik
