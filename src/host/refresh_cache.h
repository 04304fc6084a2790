// WM_TODAYCUSTOM_QUERYREFRESHCACHE: the Today screen asks every two seconds whether the item must be
// redrawn; the answer is the only moment the item can change its height.
#pragma once

#include <todaycmn.h>

#include "host/item_window.h"

namespace qf::host {

enum class RefreshCacheStep {
    kFirstQuery,       // cyp still 0: run the start-up, report the height, repaint, TRUE
    kReportNewHeight,  // the start-up changed the height: report it, repaint, TRUE
    kUnchanged,        // FALSE
};

// Any thread.
RefreshCacheStep DecideRefreshCache(DWORD reported_height, bool height_changed);

// User-interface thread. Answers the query for the shell's record `record` (null answers FALSE). The
// item window and the control strip both answer this way.
LRESULT AnswerRefreshCache(ItemWindow& item, TODAYLISTITEM* record);

}  // namespace qf::host
