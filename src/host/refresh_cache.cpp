#include "host/refresh_cache.h"

#include "host/repaint.h"
#include "host/startup.h"

namespace qf::host {

RefreshCacheStep DecideRefreshCache(DWORD reported_height, bool height_changed) {
    if (reported_height == 0) return RefreshCacheStep::kFirstQuery;
    return height_changed ? RefreshCacheStep::kReportNewHeight : RefreshCacheStep::kUnchanged;
}

LRESULT AnswerRefreshCache(ItemWindow& item, TODAYLISTITEM* record) {
    if (record == nullptr) return FALSE;
    switch (DecideRefreshCache(record->cyp, item.height_changed)) {
        case RefreshCacheStep::kFirstQuery:
            RunStartupSequence(item);
            break;
        case RefreshCacheStep::kReportNewHeight:
            item.height_changed = false;
            break;
        case RefreshCacheStep::kUnchanged:
            return FALSE;
    }
    record->cyp = static_cast<DWORD>(item.item_height);
    Repaint(item);
    return TRUE;
}

}  // namespace qf::host
