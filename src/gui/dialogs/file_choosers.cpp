#include "gui/dialogs/file_choosers.h"

#include <QFileDialog>

#include "gui/dialogs/dialog_translation.h"
#include "lang/message_text.h"

namespace lumetra::gui {
namespace {

const QString kAllFiles = QStringLiteral("All File(*.*)");

}  // namespace

QStringList BmpFileFilters() { return {QStringLiteral("BMP File(*.bmp)"), kAllFiles}; }

QStringList PictureFileFilters() { return {Text(text_key::kPictureFileFilter), kAllFiles}; }

QStringList DocumentFileFilters() { return {QStringLiteral("Lumetra File (*.tz)")}; }

std::optional<QString> ChooseFileToSave(QWidget* parent, const QString& caption, const QString& suggested,
                                        const QStringList& filters, const QString& defaultSuffix) {
  QFileDialog dialog(parent, caption, suggested);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(defaultSuffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front();
}

std::optional<QString> ChooseFileToOpen(QWidget* parent, const QString& caption, const QStringList& filters) {
  const QString path = QFileDialog::getOpenFileName(parent, caption, QString(), filters.join(QStringLiteral(";;")));
  if (path.isEmpty()) return std::nullopt;
  return path;
}

}  // namespace lumetra::gui
