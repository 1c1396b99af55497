// The sections, keys and defaults Crateward keeps in the settings store.
#pragma once

namespace crateward {

inline constexpr const char* kApp = "Crateward";

inline constexpr const char* kOptions = "Options";
inline constexpr const char* kMainWidth = "frmMain Width";
inline constexpr const char* kMainHeight = "frmMain Height";
inline constexpr const char* kMainLeft = "frmMain Left";
inline constexpr const char* kMainTop = "frmMain Top";
// The bar's flag is written under one spelling and read under another; the
// store matches them without regard to case.
inline constexpr const char* kToolbarWritten = "Show/Hide ToolBar";
inline constexpr const char* kToolbarRead = "Show/Hide Toolbar";
inline constexpr const char* kStatusBar = "Show/Hide StatusBar";
inline constexpr const char* kViewType = "View Type";
// Kept by this program beyond the original keys: the folder the user last
// saved into (save dialogs open there) and the tree's width beside the list
// in twips (the splitter's position).
inline constexpr const char* kLastSaveFolder = "Last Save Folder";
inline constexpr const char* kTreeWidth = "Tree Width";

inline constexpr const char* kRecent = "Opened Hpi"; // keys "1" (newest) to "10"
inline constexpr int kRecentCount = 10;

inline constexpr int kDefaultMainSize = 6000;    // twips
inline constexpr int kDefaultMainPosition = 500; // twips
inline constexpr int kDefaultViewType = 3;       // details

} // namespace crateward
