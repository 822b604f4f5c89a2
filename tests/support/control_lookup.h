#pragma once
// Finds a dialog's control by the id the language file knows it by.

#include <QWidget>
#include <QtGlobal>

#include "gui/dialogs/dialog_translation.h"

namespace lumetra::test {

// The first widget of type T below `root` with the control id; a test
// asking for a control that does not exist stops there.
template <class T = QWidget>
T* FindControl(const QWidget* root, int id) {
  for (T* child : root->findChildren<T*>()) {
    if (gui::ControlId(child) == id) return child;
  }
  qFatal("no control %d", id);
}

}  // namespace lumetra::test
