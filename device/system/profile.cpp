#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <mutex>
#include <nlohmann/json.hpp>
#include <sstream>

#include "qfdevice/device.h"
#include "win/strings.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace qf::device {
namespace {

// The profile file changes rarely but is consulted on every clock read (for the zone bias), so the
// parsed file is kept while its identity, time stamp and size stay the same. SaveProfile drops it at
// once, since two saves can fall within one tick of the file system's clock.
struct FileStamp {
    fs::path file;
    ino_t inode = 0;
    std::int64_t modified_ns = 0;
    off_t size = 0;
    bool operator==(const FileStamp&) const = default;
};

struct CachedProfile {
    FileStamp stamp;
    Profile profile;
};

std::mutex profile_mutex;
std::optional<Profile> override_profile;  // guarded by profile_mutex
std::optional<CachedProfile> cached;      // guarded by profile_mutex

fs::path ProfileFile() { return StateDir() / "profile.json"; }

// Fields that are missing, of the wrong type or out of range keep their defaults: a hand-edited file
// with one bad entry still gives a usable device.
template <typename Field>
void ReadInteger(const json& object, const char* key, long long low, long long high, Field& field) {
    auto it = object.find(key);
    if (it == object.end() || !it->is_number_integer()) return;
    // An unsigned number beyond the signed range is out of range anyway.
    if (it->is_number_unsigned() && it->get<unsigned long long>() > static_cast<unsigned long long>(high))
        return;
    long long value = it->get<long long>();
    if (value >= low && value <= high) field = static_cast<Field>(value);
}

void ReadText(const json& object, const char* key, std::string& field) {
    auto it = object.find(key);
    if (it != object.end() && it->is_string()) field = it->get_ref<const std::string&>();
}

void ReadText(const json& object, const char* key, std::u16string& field) {
    auto it = object.find(key);
    if (it != object.end() && it->is_string()) field = qf::Utf8ToWide(it->get_ref<const std::string&>());
}

Profile ProfileFromJson(const json& object) {
    Profile profile;
    if (!object.is_object()) return profile;
    constexpr long long kDwordMax = 0xFFFFFFFFll;
    ReadText(object, "name", profile.name);
    ReadInteger(object, "screen_width", 1, 8192, profile.screen_width);
    ReadInteger(object, "screen_height", 1, 8192, profile.screen_height);
    ReadInteger(object, "dpi", 1, 1200, profile.dpi);
    ReadInteger(object, "os_major", 0, kDwordMax, profile.os_major);
    ReadInteger(object, "os_minor", 0, kDwordMax, profile.os_minor);
    ReadInteger(object, "os_build", 0, kDwordMax, profile.os_build);
    ReadText(object, "platform_type", profile.platform_type);
    ReadText(object, "oem_info", profile.oem_info);
    ReadInteger(object, "lang_id", 0, 0xFFFF, profile.lang_id);
    ReadInteger(object, "total_phys_bytes", 0, kDwordMax, profile.total_phys_bytes);
    ReadInteger(object, "avail_phys_bytes", 0, kDwordMax, profile.avail_phys_bytes);
    if (auto it = object.find("free_disk_bytes"); it != object.end() && it->is_number_unsigned()) {
        profile.free_disk_bytes = it->get<std::uint64_t>();
    }
    // Real zones lie within 14 hours of UTC.
    ReadInteger(object, "time_zone_bias_minutes", -14 * 60, 14 * 60, profile.time_zone_bias_minutes);
    return profile;
}

json JsonFromProfile(const Profile& profile) {
    json object{
        {"name", profile.name},
        {"screen_width", profile.screen_width},
        {"screen_height", profile.screen_height},
        {"dpi", profile.dpi},
        {"os_major", profile.os_major},
        {"os_minor", profile.os_minor},
        {"os_build", profile.os_build},
        {"platform_type", qf::WideToUtf8(profile.platform_type)},
        {"oem_info", qf::WideToUtf8(profile.oem_info)},
        {"lang_id", profile.lang_id},
        {"total_phys_bytes", profile.total_phys_bytes},
        {"avail_phys_bytes", profile.avail_phys_bytes},
        {"time_zone_bias_minutes", profile.time_zone_bias_minutes},
    };
    if (profile.free_disk_bytes) object["free_disk_bytes"] = *profile.free_disk_bytes;
    return object;
}

Profile ReadProfileFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return ProfileFromJson(json::parse(text.str(), nullptr, /*allow_exceptions=*/false));
}

}  // namespace

std::optional<Profile> NamedProfile(std::string_view name) {
    Profile profile;
    profile.name = std::string(name);
    if (name == "qvga") return profile;
    profile.screen_width = 480;
    profile.screen_height = 640;
    if (name == "vga") {
        profile.dpi = 192;
        return profile;
    }
    if (name == "vga96") return profile;
    return std::nullopt;
}

Profile CurrentProfile() {
    std::lock_guard lock(profile_mutex);
    if (override_profile) return *override_profile;
    fs::path file = ProfileFile();
    struct stat info;
    if (::stat(file.c_str(), &info) != 0) return Profile{};
    FileStamp stamp{file, info.st_ino,
                    info.st_mtim.tv_sec * std::int64_t{1'000'000'000} + info.st_mtim.tv_nsec, info.st_size};
    if (!cached || cached->stamp != stamp) cached = CachedProfile{stamp, ReadProfileFile(file)};
    return cached->profile;
}

bool SaveProfile(const Profile& profile) {
    std::error_code error;
    fs::create_directories(StateDir(), error);
    if (error) return false;
    // Written beside the target and renamed over it, so that a reader never sees half a file.
    fs::path file = ProfileFile();
    fs::path temporary = file;
    temporary += ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << JsonFromProfile(profile).dump(2, ' ', false, json::error_handler_t::replace) << '\n';
        if (!out.flush()) {
            fs::remove(temporary, error);
            return false;
        }
    }
    fs::rename(temporary, file, error);
    if (!error) {
        std::lock_guard lock(profile_mutex);
        cached.reset();
        return true;
    }
    fs::remove(temporary, error);
    return false;
}

void OverrideProfile(std::optional<Profile> profile) {
    std::lock_guard lock(profile_mutex);
    override_profile = std::move(profile);
}

}  // namespace qf::device
