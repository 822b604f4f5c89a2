#pragma once
// "Text Properties" (195): the text, font, row spacing and layout switches of
// one text unit, over the core's TextDialogModel. The unit changes only in
// ApplyToUnit, which Apply, OK and every spin step run; Cancel undoes nothing.

#include <QDialog>
#include <QFont>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/codepage/codepage.h"
#include "view/text_dialog_model.h"

class QCheckBox;
class QComboBox;
class QSpinBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace lumetra::gui {

// The LOGFONT of a font the chooser returned (see LogFontFromChoice): a
// pixel-sized font counts its pixels as the character height; the pitch and
// a Simplified Chinese face come from the font database.
LOGFONT LogFontFromQFont(const QFont& font, std::string_view codePage);
// The font a LOGFONT describes, for the chooser and the text box.
QFont QFontFromLogFont(const LOGFONT& lf, std::string_view codePage);

class CTextPropertiesDlg : public QDialog {
  Q_OBJECT

 public:
  // Opens the chooser on `initial`; the chosen font, or nothing when cancelled.
  using FontChooser = std::function<std::optional<QFont>(const QFont& initial, QWidget* parent)>;

  // A new unit starts from the fixed-pitch system font, an edited one from
  // its own font and text. `changed` runs after every change of the unit
  // (the view repaints); the text is kept in `codePage`.
  CTextPropertiesDlg(CText& unit, bool newUnit, std::function<void()> changed,
                     std::string codePage = std::string(kDefaultCodePage), QWidget* parent = nullptr);

  // The platform's font chooser unless replaced (tests).
  void SetFontChooser(FontChooser choose) { chooseFont_ = std::move(choose); }
  // Shows a refusal; a message box with the application's title unless replaced (tests).
  void SetMessageHandler(std::function<void(const QString&)> show) { showMessage_ = std::move(show); }

  const LOGFONT& WorkingFont() const { return model_.WorkingFont(); }

  // Checks the controls and copies them into the unit; a refusal is shown and leaves the unit alone.
  bool ApplyToUnit();
  // Whether the unit took the controls' values at least once (Apply, a spin step, OK).
  bool AppliedAny() const { return appliedAny_; }

 protected:
  // The arrow keys in the row-spacing edit step the spin.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* CreateRowSpacing();
  // The rows' alignment and the letter spacing.
  QWidget* CreateRowLook();
  QWidget* CreateButtons();

  void ShowInput(const TextDialogInput& input);
  TextDialogInput Input() const;
  // The text box shows the working font.
  void ShowWorkingFont();
  void SyncRowSpacingEnabled();

  void ChooseFont();
  // Writes the stepped spacing into the edit and applies it at once.
  void StepRowSpacing(int delta);
  void OnOk();

  TextDialogModel model_;
  std::function<void()> changed_;
  FontChooser chooseFont_;
  std::function<void(const QString&)> showMessage_;
  QPlainTextEdit* textBox_ = nullptr;
  QLineEdit* rowSpacing_ = nullptr;
  QWidget* spin_ = nullptr;
  QCheckBox* wordBreak_ = nullptr;
  QCheckBox* autoAlign_ = nullptr;
  QComboBox* alignment_ = nullptr;
  QSpinBox* letterSpacing_ = nullptr;
  QLabel* fontName_ = nullptr;
  bool appliedAny_ = false;
};

}  // namespace lumetra::gui
