#include "host/library_state.h"

#include "common/settings_store.h"
#include "common/system_info.h"

namespace qf::host {
namespace {

LibraryState g_library;

const int kModuleAnchor = 0;

std::u16string OwnModuleFolder() {
    WCHAR path[MAX_PATH] = {};
    GetModuleFileNameW(OwnModule(), path, MAX_PATH);
    return FolderOf(path);
}

}  // namespace

HMODULE OwnModule() { return reinterpret_cast<HMODULE>(const_cast<int*>(&kModuleAnchor)); }

void LoadLibraryState() {
    SettingsStore& settings = AppSettings();
    settings.Open(u"Thornbeckvale", u"Quillfeed");
    g_library = LibraryState{};
    g_library.install_folder = settings.ReadString(u"Settings", u"InstallPath", u"");
    if (g_library.install_folder.empty()) g_library.install_folder = OwnModuleFolder();
    g_library.extended_page_path = g_library.install_folder + u"\\webData2.htm";
    g_library.audio_folder = settings.ReadString(u"Audio", u"Folder", u"");
    if (g_library.audio_folder.empty()) g_library.audio_folder = g_library.install_folder + u"\\rssAudio";
    g_library.purge_at_start = settings.ReadDword(u"General", u"AutoPurgeFD", 0) != 0;
    g_library.item = std::make_unique<ItemWindow>();
}

void UnloadLibraryState() {
    if (g_library.item == nullptr) return;
    g_library.item.reset();
    // Nobody may send to a window of an unloaded library.
    AppSettings().WriteDword(u"Today", u"HWND", 0);
}

LibraryState& Library() { return g_library; }

ItemWindow& Item() { return *g_library.item; }

}  // namespace qf::host
