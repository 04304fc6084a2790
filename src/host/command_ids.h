// The WM_COMMAND identifiers of the item window: the entries of its three popup menus and the two
// buttons of the scheduled-download notification.
#pragma once

#include <windows.h>

namespace qf::host {

inline constexpr UINT kCmdDownloadNow = 10;   // notification button
inline constexpr UINT kCmdCancelPrompt = 11;  // notification button
inline constexpr UINT kCmdCancelMenu = 2001;
inline constexpr UINT kCmdHelp = 2002;
inline constexpr UINT kCmdReload = 2003;
inline constexpr UINT kCmdSettings = 2004;
inline constexpr UINT kCmdLaunch = 2005;
inline constexpr UINT kCmdAbout = 2007;
inline constexpr UINT kCmdFontSmallest = 2010;  // 2010..2014 in the order of the Font Size submenu
inline constexpr UINT kCmdFontLargest = 2014;
inline constexpr UINT kCmdFontRealVga = 2015;
inline constexpr UINT kCmdResume = 2020;
inline constexpr UINT kCmdPause = 2021;
inline constexpr UINT kCmdPreviousItem = 2022;
inline constexpr UINT kCmdNextItem = 2023;
inline constexpr UINT kCmdFeedList = 2040;
inline constexpr UINT kCmdListMode = 2041;
inline constexpr UINT kCmdCancelDownload = 2999;
inline constexpr UINT kCmdFirstView = 4100;  // + index in the view list

}  // namespace qf::host
