// `quillfeed init`: lays out a fresh device (folders, profile, fonts, placeholders for the programs the
// item starts, the plug-in's Today registration and the registry defaults). Running it again on an
// existing device changes nothing that is there.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>

#include "commands/commands.h"
#include "commands/db_session.h"
#include "commands/settings_walk.h"
#include "common/settings_store.h"
#include "db/default_database.h"
#include "parse/feed_format.h"
#include "qfdevice/device.h"
#include "qfdevice/install_layout.h"
#include "windows.h"

namespace qf::cli {
namespace {

namespace fs = std::filesystem;

constexpr char kPluginFileName[] = "QuillfeedToday.dll";
constexpr char16_t kPluginDevicePath[] = u"\\Program Files\\Quillfeed\\QuillfeedToday.dll";
// The plug-in's bitmaps and icons, beside it (see win/resources.h).
constexpr char16_t kPluginResources[] = u"\\Program Files\\Quillfeed\\QuillfeedToday.resources";
constexpr char16_t kTodayItemsKey[] = u"Software\\Microsoft\\Today\\Items";
constexpr char16_t kTodayItemName[] = u"Quillfeed Today";

// Records what init made, for the report. After the first failure the other steps do nothing.
class Layout {
  public:
    explicit Layout(std::vector<std::string>& created) : created_(created) {}

    // The first step that failed, or success.
    const Status& status() const { return status_; }

    void Folder(const std::u16string& device_path) {
        std::optional<fs::path> host = Host(device_path);
        if (!host || fs::is_directory(*host)) return;
        fs::create_directories(*host);
        created_.push_back(WideToUtf8(device_path));
    }

    void CopiedFile(const std::u16string& device_path, const fs::path& source) {
        std::optional<fs::path> host = Host(device_path);
        if (!host || fs::exists(*host) || !fs::exists(source)) return;
        fs::copy_file(source, *host);
        created_.push_back(WideToUtf8(device_path));
    }

    // Copies the files below a host folder that the device folder lacks; reports the folder once.
    void CopiedTree(const std::u16string& device_folder, const fs::path& source) {
        std::error_code error;
        if (!fs::is_directory(source, error)) return;
        std::optional<fs::path> folder = Host(device_folder);
        if (!folder) return;
        bool copied = false;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(source)) {
            if (!entry.is_regular_file()) continue;
            fs::path host = *folder / fs::relative(entry.path(), source);
            if (fs::exists(host)) continue;
            fs::create_directories(host.parent_path());
            fs::copy_file(entry.path(), host);
            copied = true;
        }
        if (copied) created_.push_back(WideToUtf8(device_folder));
    }

    void TextFile(const std::u16string& device_path, const std::string& text) {
        std::optional<fs::path> host = Host(device_path);
        if (!host || fs::exists(*host)) return;
        std::ofstream(*host) << text;
        created_.push_back(WideToUtf8(device_path));
    }

    // A copy of a library, not a link to it: the device never reaches outside its root, and a link to
    // the build's file would let a write to the device path change that file. A link that an earlier init
    // made is replaced by a copy.
    void LibraryCopy(const std::u16string& folder, const std::string& name, const fs::path& source) {
        std::optional<fs::path> host_folder = Host(folder);
        if (!host_folder) return;
        fs::path host = *host_folder / name;
        bool link = fs::is_symlink(fs::symlink_status(host));
        if ((fs::exists(fs::symlink_status(host)) && !link) || source.empty()) return;
        if (link) fs::remove(host);
        fs::copy_file(source, host);
        created_.push_back(WideToUtf8(folder) + "\\" + name);
    }

    void Dword(SettingsStore& store, const std::u16string& section, const std::u16string& key, LONG value) {
        if (!status_ || Exists(store, section, key)) return;
        store.WriteDword(section, key, value);
        if (!Written(store, section, key)) return;
        created_.push_back(WideToUtf8(store.SectionPath(section) + u"\\" + key));
    }

    void String(SettingsStore& store, const std::u16string& section, const std::u16string& key,
                const std::u16string& value) {
        if (!status_ || Exists(store, section, key)) return;
        store.WriteString(section, key, value);
        if (!Written(store, section, key)) return;
        created_.push_back(WideToUtf8(store.SectionPath(section) + u"\\" + key));
    }

    void String(SettingsStore& store, const TextSetting& setting, const std::u16string& value) {
        String(store, std::u16string(setting.section), std::u16string(setting.key), value);
    }

  private:
    // The host path of `device_path`; nothing after the failure to map it.
    std::optional<fs::path> Host(const std::u16string& device_path) {
        if (!status_) return std::nullopt;
        std::optional<fs::path> host = qf::device::MapPath(device_path);
        if (!host) status_ = Fail("cannot place " + WideToUtf8(device_path) + " in the device");
        return host;
    }

    static bool Exists(const SettingsStore& store, const std::u16string& section, const std::u16string& key) {
        return StoredType(store, section, key).has_value();
    }

    // Settings writes fail silently; init must not report a device as ready when they did.
    bool Written(const SettingsStore& store, const std::u16string& section, const std::u16string& key) {
        if (Exists(store, section, key)) return true;
        status_ = Fail("cannot write the setting " + WideToUtf8(store.SectionPath(section)) + "\\" +
                       WideToUtf8(key) + " to the device's registry");
        return false;
    }

    std::vector<std::string>& created_;
    Status status_;
};

// The default skin goes both to the fallback folders and to the Today skin folder in use, so that
// replacing the files there changes the look and deleting them falls back to the default; every skin is
// also kept under images\skins for copying.
void InstallArt(Layout& layout) {
    fs::path resources = qf::device::ResourceFolder();
    if (resources.empty()) return;
    std::u16string images = std::u16string(kInstallFolder) + u"\\images";
    layout.CopiedTree(images + u"\\today", resources / "skins" / "default" / "today");
    layout.CopiedTree(images + u"\\today\\skin", resources / "skins" / "default" / "today");
    layout.CopiedTree(images + u"\\pb", resources / "skins" / "default" / "pb");
    layout.CopiedTree(images + u"\\skins", resources / "skins");
    layout.CopiedTree(kPluginResources, resources / "plugin");
}

void LayOutFiles(Layout& layout) {
    layout.Folder(u"\\Windows");
    layout.Folder(u"\\Program Files");
    layout.Folder(kInstallFolder);
    layout.Folder(u"\\My Documents");
    layout.CopiedFile(u"\\Windows\\tahoma.ttf", "/usr/share/wine/fonts/tahoma.ttf");
    layout.CopiedFile(u"\\Windows\\tahomabd.ttf", "/usr/share/wine/fonts/tahomabd.ttf");
    layout.TextFile(u"\\Windows\\iexplore.exe", "Placeholder for the device's web browser.\n");
    layout.TextFile(std::u16string(kInstallFolder) + u"\\Quillfeed.exe",
                    "Placeholder for the Quillfeed main application.\n");
    layout.LibraryCopy(kInstallFolder, kPluginFileName, qf::device::PluginLibrary());
    // The tab host's alpha-blending library, where the plug-in looks for it.
    layout.LibraryCopy(kInstallFolder, "SBSHAlphaBlend.dll", qf::device::AlphaBlendLibraryFile());
    InstallArt(layout);
}

void WriteRegistryDefaults(Layout& layout) {
    SettingsStore& app = AppSettings();
    layout.String(app, setting::kInstallPath, kInstallFolder);

    SettingsStore today_items;
    today_items.OpenKey(kTodayItemsKey, HKEY_LOCAL_MACHINE);
    layout.String(today_items, kTodayItemName, u"DLL", kPluginDevicePath);
    layout.Dword(today_items, kTodayItemName, u"Type", 4);
    layout.Dword(today_items, kTodayItemName, u"Enabled", 1);
    layout.Dword(today_items, kTodayItemName, u"Options", 0);
    layout.Dword(today_items, kTodayItemName, u"Order", 0);
}

// Extensions/Atom10 = 1: the item reads Atom 1.0 feeds as well as the formats it was made for.
void TurnOnAtom10(std::vector<std::string>& created) {
    SettingsStore& app = AppSettings();
    if (app.Read(setting::kAtom10) == 1) return;
    app.Write(setting::kAtom10, 1);
    created.push_back(WideToUtf8(app.SectionPath(std::u16string(setting::kAtom10.section))) + "\\" +
                      WideToUtf8(std::u16string(setting::kAtom10.key)) + " = 1");
}

CommandResult RunInit(CommandContext& context, const std::string& profile_name, Atom10 atom10) {
    if (Status used = context.UseDevice(DeviceNeed::kMayCreate); !used) return used.failure();
    std::optional<qf::device::Profile> profile = qf::device::NamedProfile(profile_name);
    if (!profile) return Fail("unknown profile '" + profile_name + "' (qvga, vga or vga96)");

    std::vector<std::string> created;
    Layout layout(created);
    fs::create_directories(qf::device::DeviceRoot());
    bool had_profile = fs::exists(qf::device::StateDir() / "profile.json");
    if (!had_profile) {
        if (!qf::device::SaveProfile(*profile)) return Fail("cannot write the device profile");
        created.push_back("profile " + profile_name);
    }
    LayOutFiles(layout);
    WriteRegistryDefaults(layout);
    if (!layout.status()) return layout.status().failure();
    if (atom10 == Atom10::kOn) TurnOnAtom10(created);
    switch (EnsureDefaultDatabase()) {
        case DefaultDatabase::kCreated:
            created.push_back("database " + WideToUtf8(DatabasePathSetting()));
            break;
        case DefaultDatabase::kFailed:
            return Fail("cannot create the database " + WideToUtf8(kDefaultDatabasePath));
        case DefaultDatabase::kExisting:
            break;
    }

    qf::device::Profile current = qf::device::CurrentProfile();
    std::string root = qf::device::DeviceRoot().string();
    return Reply(context,
                 {{"device", root},
                  {"profile", current.name},
                  {"screen", {{"width", current.screen_width}, {"height", current.screen_height}}},
                  {"dpi", current.dpi},
                  {"created", created}},
                 [&](std::ostream& out) {
                     out << "Device " << (created.empty() ? "already set up" : "ready") << " at " << root
                         << " (profile " << current.name << ", " << current.screen_width << "x"
                         << current.screen_height << " at " << current.dpi << " dpi)\n";
                     for (const std::string& item : created) out << "  created " << item << '\n';
                     if (had_profile && current.name != profile_name) {
                         out << "  kept the existing profile " << current.name << '\n';
                     }
                 });
}

}  // namespace

void AddInitCommand(CLI::App& app, CommandContext& context) {
    auto profile = std::make_shared<std::string>("qvga");
    CLI::App* init = app.add_subcommand("init", "Lay out a fresh device (keeps whatever is already there)");
    init->add_option("--profile", *profile,
                     "Screen profile: qvga (240x320, 96 dpi), vga (480x640, 192 dpi), "
                     "vga96 (480x640, 96 dpi)")
        ->check(CLI::IsMember({"qvga", "vga", "vga96"}));
    auto atom10 = std::make_shared<bool>(false);
    init->add_flag("--atom10", *atom10, "Let the item read Atom 1.0 feeds (sets Extensions/Atom10 to 1)");
    init->callback([&context, profile, atom10] {
        context.SetAction([&context, profile, atom10] {
            return RunInit(context, *profile, *atom10 ? Atom10::kOn : Atom10::kOff);
        });
    });
}

}  // namespace qf::cli
