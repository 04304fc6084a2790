#include "host/startup_warnings.h"

#include "common/settings_store.h"
#include "common/system_info.h"
#include "host/library_state.h"
#include "parse/wide_text.h"
#include "shared/ado_connection.h"

namespace qf::host {
namespace {

constexpr double kKbPerMb = 1024.0;

}  // namespace

std::u16string WarningsText(const ResourceFigures& figures) {
    std::u16string lines;
    if (!figures.engine_available) lines += u"- ADO dll files are not functioning.\n";
    if (figures.low_ram_mb != 0 && figures.available_ram_kb < figures.low_ram_mb * kKbPerMb)
        lines += u"- Less than " + text::FromAscii(std::to_string(figures.low_ram_mb)) +
                 u" MB of RAM is available.\n\n";
    if (figures.low_disk_mb != 0 && figures.free_disk_kb < figures.low_disk_mb * kKbPerMb)
        lines += u"- Less than " + text::FromAscii(std::to_string(figures.low_disk_mb)) +
                 u" MB of disk space is available.\n\n";
    if (figures.max_database_mb != 0 && figures.database_kb > figures.max_database_mb * kKbPerMb) {
        lines += u"- Your database is over " + text::FromAscii(std::to_string(figures.max_database_mb)) +
                 u" MB. You should remove old Feed data.\n\n";
    }
    return lines.empty() ? lines : u"Quillfeed Warnings - see Help\n" + lines;
}

bool RunWarningsCheck(ItemWindow& item) {
    SettingsStore& settings = AppSettings();
    ResourceFigures figures;
    figures.engine_available = IsAdoEngineAvailable();
    std::u16string database = settings.Read(setting::kDatabasePath);
    // A file at the top of the device lies in "\", which FolderOf gives as empty.
    bool has_folder = database.find(u'\\') != std::u16string::npos;
    std::u16string folder = has_folder ? FolderOf(database) : Library().install_folder;
    if (folder.empty()) folder = u"\\";

    figures.low_ram_mb = settings.Read(setting::kLowRamMb);
    MEMORYSTATUS memory{};
    memory.dwLength = sizeof(memory);
    GlobalMemoryStatus(&memory);
    figures.available_ram_kb = memory.dwAvailPhys / 1024;
    figures.low_disk_mb = settings.Read(setting::kLowDiskMb);
    if (figures.low_disk_mb != 0) figures.free_disk_kb = FreeSpaceKb(folder);
    figures.max_database_mb = settings.Read(setting::kMaxDatabaseMb);
    if (figures.max_database_mb != 0) figures.database_kb = FileSizeKb(database);

    item.database_message = WarningsText(figures);
    item.database_unusable = !item.database_message.empty();
    return !item.database_unusable;
}

}  // namespace qf::host
