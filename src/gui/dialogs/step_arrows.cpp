#include "gui/dialogs/step_arrows.h"

#include <QToolButton>
#include <QVBoxLayout>

#include "gui/dialogs/dialog_translation.h"

namespace lumetra::gui {
namespace {

QToolButton* NewArrow(Qt::ArrowType arrow) {
  auto* button = new QToolButton;
  button->setArrowType(arrow);
  button->setAutoRepeat(true);
  button->setFixedSize(16, 11);
  return button;
}

}  // namespace

QWidget* NewStepArrows(int controlId, std::function<void(int delta)> step) {
  auto* arrows = new QWidget;
  SetControlId(arrows, controlId);
  auto* layout = new QVBoxLayout(arrows);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  QToolButton* up = NewArrow(Qt::UpArrow);
  QToolButton* down = NewArrow(Qt::DownArrow);
  QObject::connect(up, &QToolButton::clicked, arrows, [step] { step(+1); });
  QObject::connect(down, &QToolButton::clicked, arrows, [step] { step(-1); });
  layout->addWidget(up);
  layout->addWidget(down);
  return arrows;
}

}  // namespace lumetra::gui
