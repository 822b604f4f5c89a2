#pragma once
// The document whose canvas is being drawn. Units hold no document pointer;
// the few that draw from document values (the clock) read them from here.
// The editor sets it to the active document, and a view that paints its own
// document sets it to that document for the time of painting, so a window
// that repaints in the background never draws with, or writes into, another
// window's document. The CLI and the tests set it explicitly.

namespace lumetra {

class CTessaraDoc;

// The document being drawn, or nullptr when there is none.
CTessaraDoc* GetActiveDocument();
// Makes `doc` (not owned; nullptr for none) the document being drawn.
void SetActiveDocument(CTessaraDoc* doc);

// Makes a document the active one while it lives, then restores the previous one.
class ActiveDocumentScope {
 public:
  explicit ActiveDocumentScope(CTessaraDoc* doc);
  ~ActiveDocumentScope();
  ActiveDocumentScope(const ActiveDocumentScope&) = delete;
  ActiveDocumentScope& operator=(const ActiveDocumentScope&) = delete;

 private:
  CTessaraDoc* previous_;
};

}  // namespace lumetra
