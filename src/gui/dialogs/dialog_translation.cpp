#include "gui/dialogs/dialog_translation.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QVariant>
#include <QWidget>
#include <vector>

#include "lang/language.h"
#include "lang/message_text.h"

namespace lumetra::gui {
namespace {

constexpr const char* kControlIdProperty = "controlId";

void SetWidgetText(QWidget* widget, const QString& text) {
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(text);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(text);
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(text);
  }
}

}  // namespace

void SetControlId(QWidget* widget, int id) { widget->setProperty(kControlIdProperty, id); }

int ControlId(const QWidget* widget) { return widget->property(kControlIdProperty).toInt(); }

QLabel* NewLabel(int id, const char* text) { return WithId(new QLabel(QString::fromLatin1(text)), id); }

QGroupBox* NewGroup(int id, const char* text) { return WithId(new QGroupBox(QString::fromLatin1(text)), id); }

void TranslateDialog(QWidget* dialog, int dialogId) {
  std::vector<QWidget*> controls;
  std::vector<int> ids;
  for (QWidget* child : dialog->findChildren<QWidget*>()) {
    if (const int id = ControlId(child)) {
      controls.push_back(child);
      ids.push_back(id);
    }
  }
  const DialogTranslation translation = lumetra::TranslateDialog(CurrentLanguage(), dialogId, ids);
  if (translation.caption) dialog->setWindowTitle(FromUtf8(*translation.caption));
  for (const auto& [id, text] : translation.controlTexts) {
    for (std::size_t i = 0; i < ids.size(); ++i) {
      if (ids[i] == id) SetWidgetText(controls[i], FromUtf8(text));
    }
  }
}

QString PlainText(int key) { return FromUtf8(PlainMenuText(LookupText(key))); }

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }
QString Text(int key) { return FromUtf8(LookupText(key)); }
QString Text(const std::string& key) { return FromUtf8(LookupText(key)); }

}  // namespace lumetra::gui
