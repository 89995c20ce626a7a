// The forms' layouts in twips (1/1440 inch), as stored with each form;
// front ends convert them at the screen's resolution.
#pragma once

namespace kesrow {

struct TwipsRect {
    int left, top, width, height;
};
inline constexpr int kAboutClientWidth = 5730;
inline constexpr int kAboutClientHeight = 3555;
inline constexpr TwipsRect kAboutHistoryBox{240, 1080, 5295, 1335};   // Text1, RGB 192,192,192
inline constexpr TwipsRect kAboutPicture{240, 240, 540, 540};         // picIcon
inline constexpr TwipsRect kAboutOkButton{4260, 2625, 1310, 345};     // cmdOK
inline constexpr TwipsRect kAboutSysInfoRect{4260, 3075, 1310, 345};  // cmdSysInfo
inline constexpr TwipsRect kAboutVersionRect{1080, 480, 3885, 225};   // Label1
inline constexpr TwipsRect kAboutTitleRect{1050, 240, 3885, 240};     // lblTitle, blue, bold 9 pt
inline constexpr TwipsRect kAboutNoteRect{1080, 780, 4245, 225};      // lblVersion
inline constexpr TwipsRect kAboutDisclaimerRect{255, 2625, 3870, 825};
// The etched separator: a grey line over a white one, 2 wide.
inline constexpr int kAboutGreyLine[4] = {90, 2445, 5654, 2445};
inline constexpr int kAboutWhiteLine[4] = {105, 2460, 5654, 2460};

// The log viewer logtimes.
inline constexpr int kLogViewerClientWidth = 10875;
inline constexpr int kLogViewerClientHeight = 6645;
inline constexpr TwipsRect kLogViewerOkButton{9480, 6240, 1310, 345};  // cmdOK
inline constexpr TwipsRect kLogViewerTextBox{120, 0, 10575, 6135};     // Text1, RGB 192,192,192

}  // namespace kesrow
