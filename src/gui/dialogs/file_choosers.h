#pragma once
// The editor's file choosers. A name typed without a suffix gets the
// chooser's default suffix before the chooser looks for an existing file, so
// that replacing "name.bmp" is asked about even when "name" was typed.

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace lumetra::gui {

// Filters of the BMP choosers, of pictures to import, and of documents.
QStringList BmpFileFilters();
QStringList PictureFileFilters();
QStringList DocumentFileFilters();

// A chosen file to write; nothing when cancelled.
std::optional<QString> ChooseFileToSave(QWidget* parent, const QString& caption, const QString& suggested,
                                        const QStringList& filters, const QString& defaultSuffix);
// A chosen existing file; nothing when cancelled.
std::optional<QString> ChooseFileToOpen(QWidget* parent, const QString& caption, const QStringList& filters);

}  // namespace lumetra::gui
