// The device file system: backslash paths below the device root, names matched without regard to case.
// A path that would leave the root ("..") or reach the runtime's own hidden state is refused.
#pragma once

#include <memory>

#include "win/base.h"

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu

// Any thread. Attributes of a device file or folder, INVALID_FILE_ATTRIBUTES (last error set) when it
// does not exist or the path is refused.
QF_EXTERN_C DWORD WINAPI GetFileAttributesW(LPCWSTR path);
enum GET_FILEEX_INFO_LEVELS { GetFileExInfoStandard = 0 };
struct WIN32_FILE_ATTRIBUTE_DATA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;  // the host's last status change, UTC
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
};
// Any thread. Attributes, times and size of a device file or folder into `info` (a
// WIN32_FILE_ATTRIBUTE_DATA for GetFileExInfoStandard, the only level); FALSE (last error set) when it
// does not exist or the path is refused. The file is not opened, so locks that this process holds on it
// through other descriptors (a database engine's) stay as they are.
QF_EXTERN_C BOOL WINAPI GetFileAttributesExW(LPCWSTR path, GET_FILEEX_INFO_LEVELS level, LPVOID info);
// Any thread. Deletes a file; FALSE for a folder, a missing file or a refused path.
QF_EXTERN_C BOOL WINAPI DeleteFileW(LPCWSTR path);
// Any thread. Renames or moves a file or folder; FALSE when the target exists (ERROR_ALREADY_EXISTS).
QF_EXTERN_C BOOL WINAPI MoveFileW(LPCWSTR existing, LPCWSTR target);
// Any thread. Copies a file; with fail_if_exists an existing target is an error.
QF_EXTERN_C BOOL WINAPI CopyFileW(LPCWSTR existing, LPCWSTR target, BOOL fail_if_exists);
// Any thread. Creates one folder (its parent must exist); FALSE with ERROR_ALREADY_EXISTS when present.
// `security` must be null.
QF_EXTERN_C BOOL WINAPI CreateDirectoryW(LPCWSTR path, void* security);
// Any thread. Removes an empty folder.
QF_EXTERN_C BOOL WINAPI RemoveDirectoryW(LPCWSTR path);
// Any thread. Writes the device path of `module` (any address inside the module, such as its base
// address; null: the main program) into `buffer`, zero-terminated
// and cut to `size` characters; answers the characters written, 0 when the module is not inside the
// device root's view (then the device path is "\" + the file name).
QF_EXTERN_C DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);

// The platform file class: one open device file, closed by Close() or the destructor. Not copyable.
// One thread at a time.
class CFile {
  public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,      // create, or truncate an existing file
        modeNoTruncate = 0x2000,  // with modeCreate: keep an existing file's contents
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile();
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens `path` with a combination of OpenFlags; an open file is closed first. FALSE (last error set)
    // when the file cannot be opened, e.g. missing for modeRead or a refused path.
    BOOL Open(LPCWSTR path, UINT flags);
    // Closes the file; does nothing when none is open.
    void Close();
    bool IsOpen() const;
    // Length in bytes; 0 when no file is open.
    ULONGLONG GetLength() const;
    // Moves the position; answers the new position, or -1 when no file is open or the target is
    // before the start.
    LONGLONG Seek(LONGLONG offset, UINT from);
    void SeekToBegin();
    ULONGLONG SeekToEnd();
    // Reads up to `count` bytes; answers the bytes read (0 at the end or on error).
    UINT Read(void* buffer, UINT count);
    // Writes `count` bytes; FALSE on a short write or when the file was not opened for writing.
    BOOL Write(const void* buffer, UINT count);

  private:
    int fd_ = -1;
};
