#pragma once
// Printing a view's units: the printer chosen in the setup dialog is kept for
// the whole run, as the printer settings of a desktop program are.

class QWidget;

namespace lumetra {
class CTessaraView;
}

namespace lumetra::gui {

// Print (with the print dialog) or print preview of the view.
void PrintView(CTessaraView& view, QWidget* parent, bool preview);
// The printer setup dialog.
void ShowPrintSetup(QWidget* parent);

}  // namespace lumetra::gui
