#pragma once
// Dialog numbers and control ids on Qt widgets, so that a dialog can take on
// the texts of the current language: the caption from key "n", every control
// carrying an id from key "n_c".

#include <QString>
#include <string>

class QGroupBox;
class QLabel;
class QWidget;

namespace lumetra::gui {

// Gives a widget the control id the language file knows it by.
void SetControlId(QWidget* widget, int id);
// 0 for a widget without one.
int ControlId(const QWidget* widget);
// The widget with the control id set, so a dialog is built in one expression.
template <class Widget>
Widget* WithId(Widget* widget, int id) {
  SetControlId(widget, id);
  return widget;
}
// A label and a group box with a control id and their English text, which
// the language's text for the id replaces.
QLabel* NewLabel(int id, const char* text);
QGroupBox* NewGroup(int id, const char* text);

// The caption and the text of every widget below `dialog` that has a control
// id, in creation order; keys that are missing or empty leave the text alone.
// Buttons, labels, group boxes and check boxes take the text; other widgets
// (edits, lists) keep their values.
void TranslateDialog(QWidget* dialog, int dialogId);

// A language text as Qt wants it.
QString Text(int key);
QString Text(const std::string& key);
// A menu item's text as a caption, tip or prompt shows it: no mnemonic, no accelerator.
QString PlainText(int key);
QString FromUtf8(const std::string& text);

}  // namespace lumetra::gui
