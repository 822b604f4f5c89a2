#include "view/tessara_view.h"

namespace lumetra {

void CTessaraView::TrackPopupMenu(const PopupMenuRequest& request) {
  if (m_pHost) m_pHost->ShowPopupMenu(request);
}

}  // namespace lumetra
