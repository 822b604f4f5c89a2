#include "view/active_document.h"

namespace lumetra {

namespace {
CTessaraDoc* g_pActiveDocument = nullptr;
}  // namespace

CTessaraDoc* GetActiveDocument() { return g_pActiveDocument; }

void SetActiveDocument(CTessaraDoc* doc) { g_pActiveDocument = doc; }

ActiveDocumentScope::ActiveDocumentScope(CTessaraDoc* doc) : previous_(g_pActiveDocument) { g_pActiveDocument = doc; }

ActiveDocumentScope::~ActiveDocumentScope() { g_pActiveDocument = previous_; }

}  // namespace lumetra
