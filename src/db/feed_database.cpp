#include "db/feed_database.h"

namespace qf {

void FeedDatabase::set_audio_folder(const std::u16string& folder) {
    std::lock_guard lock(audio_folder_mutex_);
    audio_folder_ = folder;
}

std::u16string FeedDatabase::audio_folder() const {
    std::lock_guard lock(audio_folder_mutex_);
    return audio_folder_;
}

}  // namespace qf
