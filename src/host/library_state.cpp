#include "host/library_state.h"

#include "common/settings_store.h"
#include "common/system_info.h"

namespace qf::host {
namespace {

const int kModuleAnchor = 0;

std::u16string OwnModuleFolder() {
    WCHAR path[MAX_PATH] = {};
    GetModuleFileNameW(OwnModule(), path, MAX_PATH);
    return FolderOf(path);
}

}  // namespace

HMODULE OwnModule() { return reinterpret_cast<HMODULE>(const_cast<int*>(&kModuleAnchor)); }

void LoadLibraryState() {
    LibraryState& library = Library();
    SettingsStore& settings = AppSettings();
    settings.OpenItemSettings();
    library = LibraryState{};
    library.install_folder = InstallFolder(settings, OwnModuleFolder());
    library.extended_page_path = library.install_folder + u"\\webData2.htm";
    library.audio_folder = AudioFolder(settings, library.install_folder);
    library.purge_at_start = settings.Read(setting::kAutoPurge);
    library.listing = std::make_unique<ListingModel>();
    library.item = std::make_unique<ItemWindow>();
    DownloaderSetup setup{library.extended_page_path, library.audio_folder,
                          library.purge_at_start ? AutoPurge::kOn : AutoPurge::kOff};
    library.item->downloader = std::make_unique<Downloader>(library.listing->database(), setup);
}

void UnloadLibraryState() {
    LibraryState& library = Library();
    if (library.item == nullptr) return;
    library.item.reset();
    library.listing.reset();
    // Nobody may send to a window of an unloaded library.
    PublishItemWindow(nullptr);
}

// Built on first use: the plug-in's load hook runs before the other static objects of the library exist.
LibraryState& Library() {
    static LibraryState library;
    return library;
}

ItemWindow& Item() { return *Library().item; }

ListingModel& Listing() { return *Library().listing; }

}  // namespace qf::host
