#pragma once

class QLabel;
class QString;

// Shows text in label, elided in the middle when it is wider than the label (a long path keeps
// its start and its file name), with the whole text in the label's tooltip and accessible
// name. The label elides it again whenever its size or font changes.
void showElidedText(QLabel& label, const QString& text);
