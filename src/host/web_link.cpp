#include "host/web_link.h"

#include "common/settings_store.h"
#include "common/text_file.h"
#include "host/launch.h"
#include "host/library_state.h"

namespace qf::host {
namespace {

// The item's stored full content as a local page, or empty when it has none or the file cannot be
// written.
std::u16string WriteExtendedPage(const ItemWindow& item) {
    ListingModel& listing = Listing();
    int index = item.current_item_index;
    if (index < 0 || index >= static_cast<int>(listing.listing().size())) return {};
    const ListingRow* row = listing.FindRow(listing.listing()[index].item_id, LoadTexts::kYes);
    if (row == nullptr || row->extended_content.empty()) return {};
    std::u16string path = Library().install_folder + u"\\extendedTemp.htm";
    TextFile page;
    if (!page.Open(path, CFile::modeCreate | CFile::modeWrite)) return {};
    page.Write(row->extended_content);
    page.Close();
    return path;
}

}  // namespace

void OpenWebLink(ItemWindow& item, int icon) {
    if (icon < 0 || icon >= static_cast<int>(item.paint.links.size())) return;
    std::u16string target = item.paint.links[icon].url;
    if (item.web_link_mode == 2) {
        std::u16string page = WriteExtendedPage(item);
        if (!page.empty()) target = page;
    }
    std::u16string browser = AppSettings().Read(setting::kBrowser);
    if (!OpenWithShell(browser, target))
        OpenWithShell(std::u16string(setting::kBrowser.default_value), target);
}

}  // namespace qf::host
