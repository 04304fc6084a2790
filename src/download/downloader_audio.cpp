// The audio-only run's list: pending enclosures within the size limits, each saved in a folder per feed
// below the audio folder.
#include "common/system_info.h"
#include "db/feed_database.h"
#include "db/listing_rules.h"
#include "download/downloader.h"

namespace qf {
namespace {

constexpr std::int32_t kSmallestEnclosureBytes = 1024;

void EnsureFolder(const std::u16string& folder) {
    if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES)
        CreateDirectoryW(folder.c_str(), nullptr);
}

}  // namespace

bool Downloader::BuildAudioList() {
    if (busy_.exchange(true)) return false;
    {
        std::lock_guard lock(mutex_);
        entries_.clear();
    }
    walk_index_ = 0;
    // A fresh device has no audio folder yet (and the free space of a missing folder reads as none).
    EnsureFolder(setup_.audio_folder);
    double free_mb = static_cast<double>(static_cast<long long>(FreeSpaceKb(setup_.audio_folder))) / 1024.0;
    item_limit_mb_ = settings_.Read(setting::kAudioItemLimitMb);
    total_limit_mb_ = settings_.Read(setting::kAudioTotalLimitMb);
    total_mb_ = 0;
    std::vector<AudioRecord> pending;
    {
        DatabaseLock lock(database_);
        if (lock) downloaded_audio_ = database_.LoadAudio(1).value_or(downloaded_audio_);
        for (const AudioRecord& record : downloaded_audio_) {
            total_mb_ += FileSizeKb(AudioFilePath(setup_.audio_folder, record)) / 1024.0;
        }
        if (lock) pending = database_.LoadAudio(0).value_or({});
    }
    for (const AudioRecord& record : pending) AddAudioEntry(record, free_mb);
    busy_ = false;
    return entry_count() > 0;
}

bool Downloader::AddAudioEntry(const AudioRecord& record, double free_mb) {
    DownloadEntry entry;
    entry.url = record.link;
    entry.target_file = AudioFilePath(setup_.audio_folder, record);
    entry.title = u"Audio Content - " + record.folder_name;
    entry.feed_id = record.feed_id;
    entry.item_id = record.feed_item_id;
    entry.audio = true;
    EnsureFolder(FolderOf(entry.target_file));
    double size_mb = record.size * kBytesToMb;
    if (record.size < kSmallestEnclosureBytes || size_mb > item_limit_mb_) return false;
    if (total_mb_ + size_mb > total_limit_mb_ && !MakeRoomForAudio(size_mb)) return false;
    if (total_mb_ + size_mb > free_mb) return false;
    size_t count = 0;
    {
        std::lock_guard lock(mutex_);
        entries_.push_back(std::move(entry));
        count = entries_.size();
    }
    Notify(nullptr, kStatusListGrew, static_cast<LPARAM>(count));
    return true;
}

// Deletes downloaded files, oldest first, until the new enclosure fits under the total limit.
bool Downloader::MakeRoomForAudio(double size_mb) {
    while (walk_index_ < downloaded_audio_.size()) {
        const AudioRecord& record = downloaded_audio_[walk_index_++];
        std::u16string path = AudioFilePath(setup_.audio_folder, record);
        double size_kb = FileSizeKb(path);
        if (size_kb <= 0) continue;
        DeleteFileW(path.c_str());
        total_mb_ -= size_kb / 1024.0;
        if (total_mb_ + size_mb < total_limit_mb_) return true;
    }
    return false;
}

}  // namespace qf
