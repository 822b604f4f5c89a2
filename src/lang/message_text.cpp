#include "lang/message_text.h"

#include <vector>

#include "lang/language.h"

namespace lumetra {

std::span<const int> AddedTextKeys() {
  using namespace text_key;
  static constexpr int keys[] = {
      kSettingsNotWritten, kPictureNotRead,      kPrint,
      kPrintPreview,       kPrintSetup,          kSystemToolBarTitle,  kDrawToolBarTitle,
      kSaveChangesPrompt,  kSaveButton,          kDiscardButton,       kCancelButton,
      kRangeWarning,       kUnencodableWarning,  kBroadcastNotConfirmed, kPanelDidNotAnswer,
      kPanelsDidNotAnswer, kPanelFailed,         kPanelsFailed,       kPortPermissionDenied,
      kPortNoSuchDevice,   kPortInUse,           kPortNotSerial,      kPortOtherError,
      kClockBeyondPanelFrames, kTransferCancelled, kTransferCancelling, kPortGoesTo, kUndoStep,          kRedoStep,           kUndoNothing,
      kRedoNothing,        kStepNames[0],        kStepNames[1],        kStepNames[2],
      kStepNames[3],       kStepNames[4],        kStepNames[5],        kStepNames[6],
      kStepNames[7],       kStepNames[8],        kStepNames[9],        kStepNames[10],
      kStepNames[11],      kStepNames[12],       kStepNames[13],       kStepNames[14],
      kSelectAll,          kCutToClipboard,      kCopyToClipboard,     kPasteFromClipboard,
      kBringToFront,       kSendToBack,          kBringForward,        kSendBackward,
      kClockNotCopied,     kUnitsCopied,         kClipboardUnreadable, kExportAnimation,
      kExportAnimationTitle, kAnimationSeconds,  kAnimationFps,        kAnimationLook,
      kAnimationSquarePixels, kAnimationRoundLeds, kAnimationRound,     kAnimationGifFilter,
      kAnimationExporting, kAnimationSaved,      kAnimationStopped,    kAnimationNotExported,
      kAnimationNoPicture, kPlayAsPanel,         kPlayAsPanelTitle,    kPlayAsPanelPlay,
      kPlayAsPanelPause,   kPlayAsPanelRestart,  kPlayAsPanelTime,     kAlignRows,
      kAlignRowsLeft,      kAlignRowsCentre,     kAlignRowsRight,      kLetterSpacing,
      kTextClipped,        kPictureNotSupported, kPictureDamaged,      kPictureTooLarge,
      kImportPictureTitle, kImportSize,          kImportNaturalSize,   kImportFitHeight,
      kImportFitFrame,     kImportThreshold,     kImportDither,        kImportInvert,
      kImportLedCount,     kPictureFileFilter,
  };
  return keys;
}

int PictureErrorTextKey(PictureError::Reason reason) {
  switch (reason) {
    case PictureError::Reason::kNotSupported:
      return text_key::kPictureNotSupported;
    case PictureError::Reason::kTooLarge:
      return text_key::kPictureTooLarge;
    case PictureError::Reason::kDamaged:
      break;
  }
  return text_key::kPictureDamaged;
}

std::string FillPlaceholders(std::string_view text, std::initializer_list<std::string_view> arguments) {
  const std::vector<std::string_view> values(arguments);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool placeholder = text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9';
    const std::size_t index = placeholder ? std::size_t(text[i + 1] - '1') : values.size();
    if (index < values.size()) {
      out += values[index];
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string FormatText(int key, std::initializer_list<std::string_view> arguments) {
  return FillPlaceholders(LookupText(key), arguments);
}

std::string RangeWarning(std::int64_t lo, std::int64_t hi) {
  return FormatText(text_key::kRangeWarning, {std::to_string(lo), std::to_string(hi)});
}

std::string PlainMenuText(std::string_view text) {
  text = text.substr(0, text.find('\t'));
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "(&") == 0 && i + 3 < text.size() && text[i + 3] == ')') {
      i += 3;  // "(&N)"
    } else if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') out += text[++i];  // "&&" is a literal '&'
    } else {
      out += text[i];
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace lumetra
