// What `quillfeed refresh` shows of a run: the progress line while it runs (on a terminal) and the
// result at the end, as text or as one JSON object.
#pragma once

#include <vector>

#include "download/downloader.h"

namespace qf::cli {

enum class ProgressLine { kOff, kOnTerminal };

// One thread: the window thread that receives the run's messages.
class RunProgress {
  public:
    // The progress line goes to stderr when it is a terminal and `line` allows it.
    RunProgress(const Downloader& downloader, ProgressLine line);

    // The feed entries the run starts with, so that feeds it never reached are reported too.
    void NoteEntries(const std::vector<DownloadEntry>& entries);
    // A download status message of the run.
    void OnStatus(DownloadStatus status, LPARAM value);
    // The result: one JSON object, or a summary line and one line per failed feed.
    void Print(bool json, const std::vector<EntryReport>& reports, long long elapsed_ms) const;

  private:
    void ShowLine(const char* verb);

    const Downloader& downloader_;
    bool show_line_;
    std::vector<DownloadEntry> feeds_;
    int done_ = 0;
    int total_ = 0;
    LPARAM end_ = kRunCompleted;
};

}  // namespace qf::cli
