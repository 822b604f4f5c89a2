#pragma once
// Language texts that take values, and the keys of the texts the program
// added to the ones it always had. A text names its values %1, %2, ... so
// that each language can place them where its grammar wants them.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "platform/picture_file.h"

namespace lumetra {

namespace text_key {
// Settings and file commands.
inline constexpr int kSettingsNotWritten = 36000;   // %1 the file and the reason
inline constexpr int kPictureNotRead = 36002;       // %1 the file name, %2 the reason
// File menu items without a key of their own before.
inline constexpr int kPrint = 36050;
inline constexpr int kPrintPreview = 36051;
inline constexpr int kPrintSetup = 36052;
// Titles of the tool bars, as their context menu lists them.
inline constexpr int kSystemToolBarTitle = 36053;
inline constexpr int kDrawToolBarTitle = 36054;
// Closing a changed document.
inline constexpr int kSaveChangesPrompt = 36055;    // %1 the document's title
inline constexpr int kSaveButton = 36056;
inline constexpr int kDiscardButton = 36057;
inline constexpr int kCancelButton = 36058;
// Number fields.
inline constexpr int kRangeWarning = 36059;         // %1 the least, %2 the greatest value
// Text that the document's code page cannot hold.
inline constexpr int kUnencodableWarning = 36060;   // %1 the code page, %2 the characters
// Transfers to the panels.
inline constexpr int kBroadcastNotConfirmed = 36300;
inline constexpr int kPanelDidNotAnswer = 36301;      // %1 the address
inline constexpr int kPanelsDidNotAnswer = 36302;     // %1 the addresses
inline constexpr int kPanelFailed = 36303;            // %1 the address, %2 what happened
inline constexpr int kPanelsFailed = 36304;           // %1 the addresses, %2 what happened
inline constexpr int kPortPermissionDenied = 36310;   // %1 the port, %2 its device (also below)
inline constexpr int kPortNoSuchDevice = 36311;
inline constexpr int kPortInUse = 36312;
inline constexpr int kPortNotSerial = 36313;
inline constexpr int kPortOtherError = 36314;         // %3 the system's reason
inline constexpr int kClockBeyondPanelFrames = 36320; // %1 the clock's frame
// Ports and cancelling a transfer.
inline constexpr int kTransferCancelled = 36350;
inline constexpr int kTransferCancelling = 36351;
inline constexpr int kPortGoesTo = 36352;             // %1 what the port stands for

inline constexpr int kUndoStep = 36100;     // %1 the step's name
inline constexpr int kRedoStep = 36101;     // %1 the step's name
inline constexpr int kUndoNothing = 36102;
inline constexpr int kRedoNothing = 36103;
// The names of the steps, in the order of StepKind (document/edit_history.h).
inline constexpr int kStepNames[] = {36110, 36111, 36112, 36113, 36114, 36115, 36116, 36117,
                                     36118, 36119, 36120, 36121, 36122, 36230, 36231};
inline constexpr int kSelectAll = 36200;
// The system clipboard and the drawing order.
inline constexpr int kCutToClipboard = 36210;
inline constexpr int kCopyToClipboard = 36211;
inline constexpr int kPasteFromClipboard = 36212;
inline constexpr int kBringToFront = 36213;
inline constexpr int kSendToBack = 36214;
inline constexpr int kBringForward = 36215;
inline constexpr int kSendBackward = 36216;
inline constexpr int kClockNotCopied = 36220;
inline constexpr int kUnitsCopied = 36221;         // %1 how many
inline constexpr int kClipboardUnreadable = 36222; // %1 why
// Exporting the panel's show as an animation.
inline constexpr int kExportAnimation = 36500;         // the File menu's item
inline constexpr int kExportAnimationTitle = 36501;
inline constexpr int kAnimationSeconds = 36502;
inline constexpr int kAnimationFps = 36503;
inline constexpr int kAnimationLook = 36504;
inline constexpr int kAnimationSquarePixels = 36505;
inline constexpr int kAnimationRoundLeds = 36506;
inline constexpr int kAnimationRound = 36507;          // %1 the seconds one round of the show takes
inline constexpr int kAnimationGifFilter = 36508;
inline constexpr int kAnimationExporting = 36509;
inline constexpr int kAnimationSaved = 36510;          // %1 the file
inline constexpr int kAnimationStopped = 36511;        // %1 the file
inline constexpr int kAnimationNotExported = 36512;    // %1 why
inline constexpr int kAnimationNoPicture = 36513;
// Text rows: alignment, letter spacing, characters cut off.
inline constexpr int kAlignRows = 36400;
inline constexpr int kAlignRowsLeft = 36401;
inline constexpr int kAlignRowsCentre = 36402;
inline constexpr int kAlignRowsRight = 36403;
inline constexpr int kLetterSpacing = 36404;
inline constexpr int kTextClipped = 36405;            // %1 how many characters
// Playing a document as the panel plays it.
inline constexpr int kPlayAsPanel = 36550;            // the View menu's item and the tool-bar button
inline constexpr int kPlayAsPanelTitle = 36551;       // %1 the document's title
inline constexpr int kPlayAsPanelPlay = 36552;
inline constexpr int kPlayAsPanelPause = 36553;
inline constexpr int kPlayAsPanelRestart = 36554;
inline constexpr int kPlayAsPanelTime = 36555;        // %1 seconds into the round, %2 the round's seconds
// Importing pictures of any kind.
inline constexpr int kPictureNotSupported = 36600;    // %1 the file name
inline constexpr int kPictureDamaged = 36601;         // %1 the file name
inline constexpr int kPictureTooLarge = 36602;        // %1 the file name, %2 how large it is and what is allowed
inline constexpr int kImportPictureTitle = 36603;     // %1 the file name
inline constexpr int kImportSize = 36604;
inline constexpr int kImportNaturalSize = 36605;
inline constexpr int kImportFitHeight = 36606;
inline constexpr int kImportFitFrame = 36607;
inline constexpr int kImportThreshold = 36608;
inline constexpr int kImportDither = 36609;
inline constexpr int kImportInvert = 36610;
inline constexpr int kImportLedCount = 36611;         // %1 LEDs across, %2 LEDs down
inline constexpr int kPictureFileFilter = 36612;
}  // namespace text_key

// The text of why a picture could not be imported: kPictureNotSupported,
// kPictureDamaged or kPictureTooLarge.
int PictureErrorTextKey(PictureError::Reason reason);

// Every key above, for the check that each language file has them all.
std::span<const int> AddedTextKeys();

// `text` with %1 ... %9 replaced by the arguments in order; a placeholder
// without an argument, and "%%", stay as they are.
std::string FillPlaceholders(std::string_view text, std::initializer_list<std::string_view> arguments);

// The current language's text of `key` with its placeholders filled.
std::string FormatText(int key, std::initializer_list<std::string_view> arguments);

// "Please enter an integer between lo and hi." in the current language.
std::string RangeWarning(std::int64_t lo, std::int64_t hi);

// A menu item's text as a tool tip or a status prompt shows it: without its
// "(&N)" mnemonic, other mnemonic marks, and the tab with the accelerator.
std::string PlainMenuText(std::string_view text);

}  // namespace lumetra
