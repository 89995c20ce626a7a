// The Windows services against real Win32 calls in Wine. The instance
// mutex and the tool's start are met by the desktop test.
#include <gtest/gtest.h>

#include <raserror.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <stdexcept>

#include "core/codepage.h"
#include "core/text_file.h"
#include "platform/win32/ras_dialup.h"
#include "platform/win32/registry_system_info_tool.h"
#include "platform/win32/resources.h"
#include "core/wide_text_win32.h"
#include "platform/win32/win_forms.h"
#include "platform/win32/win_tray_icon.h"
#include "fake_platform.h"

namespace kesrow::win32 {
namespace {

using kesrow::testing::SystemWords;
using kesrow::testing::TempDir;
using kesrow::testing::WriteBytes;

// What the fake service answers, and whether it was asked as the system
// expects: one zero-filled record of its size, a count of 0.
struct FakeService {
    DWORD count = 0;
    DWORD status = 0;
    bool askedRight = false;
} service;

DWORD WINAPI FakeEnumConnections(RasConnection* record, DWORD* bufferSize, DWORD* count)
{
    RasConnection zero{};
    zero.dwSize = sizeof zero;
    service.askedRight = std::memcmp(&zero, record, sizeof zero) == 0 && *bufferSize == sizeof zero && *count == 0;
    *count = service.count;
    return service.status;
}

TEST(RasDialUp, OneZeroFilledRecordAndTheAnswerFromTheCountAlone)
{
    const std::pair<DWORD, DWORD> rows[] = {  // count, status: the status is not looked at
        {0, 0}, {1, 0}, {2, ERROR_BUFFER_TOO_SMALL}, {0, ERROR_INVALID_SIZE}};
    for (const auto& [count, status] : rows) {
        service = {count, status};
        EXPECT_EQ(RasDialUp(FakeEnumConnections).activeConnections(), int(count)) << status;
        EXPECT_TRUE(service.askedRight);
    }
}

TEST(RasDialUp, TheSystemServiceIsLoadedAndAsked)
{
    // Wine's remote access service knows no connections.
    EXPECT_EQ(RasDialUp().activeConnections(), 0);
    try {
        LoadEnumConnections(L"kesrow-none.dll"), ADD_FAILURE() << "loaded";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "kesrow-none.dll: " + ErrorText(ERROR_MOD_NOT_FOUND));
    }
}

TEST(TrayTip, ALongHolderNameIsCutNeverTheSentence)
{
    const std::string a111(111, 'A');
    const std::pair<std::string, std::string> rows[] = {  // holder, as shown; "AA": 127 characters in all
        {"PC01", "PC01"}, {a111 + "AA", a111 + "AA"}, {a111 + "AAA", a111 + "A…"}, {a111 + "😀B", a111 + "…"}};
    for (const auto& [holder, shown] : rows) EXPECT_EQ(TipText(LineHeldTooltip(holder), 128), Widen(LineHeldTooltip(shown)));
    EXPECT_EQ(TipText(LineHeldTooltip(a111) + kShareSilentNote, 128), Widen(LineHeldTooltip(std::string(97, 'A') + "…") + kShareSilentNote));
}

// An icon's colour bits, to tell the pictures apart; empty for no icon.
std::vector<char> IconBits(HICON icon)
{
    ICONINFO info{};
    BITMAP colour{};
    if (!GetIconInfo(icon, &info) || !GetObjectW(info.hbmColor, sizeof colour, &colour)) return {};
    std::vector<char> bits(std::size_t(colour.bmWidthBytes) * colour.bmHeight);
    GetBitmapBits(info.hbmColor, LONG(bits.size()), bits.data());
    DeleteObject(info.hbmColor), DeleteObject(info.hbmMask);
    return bits;
}

TEST(TrayPictures, EachStateItsOwnIconAndTheAboutBoxBoldInThePopup)
{
    const HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    WinTrayIcon tray(window, WM_APP);
    std::set<std::vector<char>> seen;
    const std::pair<TrayImage, int> rows[] = {
        {TrayImage::Normal, kProgramIcon}, {TrayImage::Prohibition, kProhibitionIcon}, {TrayImage::Unknown, kUnknownIcon}};
    for (const auto& [image, id] : rows) {
        const HICON expected = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON,
                                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
        tray.show(image, "PC01");
        seen.insert(IconBits(expected));
        EXPECT_TRUE(IconBits(tray.picture()) == IconBits(expected)) << "resource " << id;
        DestroyIcon(expected);
    }
    EXPECT_TRUE(seen.size() == 3 && !seen.begin()->empty());
    const HMENU menu = TrayPopupMenu({std::begin(kMenuItems), std::end(kMenuItems)}, kMenuDefaultItem);
    wchar_t bold[32] = L"";
    GetMenuStringW(menu, GetMenuDefaultItem(menu, FALSE, 0), bold, 32, MF_BYCOMMAND);
    EXPECT_EQ(Narrow(bold), "バージョン情報");
    DestroyMenu(menu), DestroyWindow(window);
}

TEST(Cp932, TheSystemTablesAgreeWithTheLinuxCopies)
{
    // The characters where code page 932 and plain Shift_JIS part ways.
    const std::pair<const char*, const char*> pairs[] = {
        {"～", "\x81\x60"}, {"∥", "\x81\x61"}, {"－", "\x81\x7C"}, {"￢", "\x81\xCA"},
        {"①", "\x87\x40"}, {"髙", "\xFB\xFC"}, {"ｱ", "\xB1"}, {"￥", "\x81\x8F"},
    };
    for (const auto& [text, bytes] : pairs) EXPECT_TRUE(ToCp932(text) == bytes && FromCp932(bytes) == text) << text;
    // Bytes Windows maps to private-use or control characters are not text.
    EXPECT_EQ(FromCp932("\x80\xA0\xFD\x81\x20"), "\uFFFD\uFFFD\uFFFD\uFFFD ");
    EXPECT_EQ(ToCp932("a😀b한"), "a?b?");  // one '?' per character, surrogate pairs too
}

TEST(WideFiles, NamesBeyondTheCodePageReachTheFileSystem)
{
    TempDir dir;
    // Korean is not in code page 932: only the wide calls can name this folder.
    const std::filesystem::path folder = dir.path() / L"共有서버";
    std::filesystem::create_directory(folder);
    const std::string status = Narrow((folder / L"kesrow.txt").wstring());
    TextFile(status, OpenMode::Output).WriteLine({"PC01"});
    TextFile(status, OpenMode::Append).WriteLine({"OK"});
    const std::string first = TextFile(status, OpenMode::Input).ReadField();
    ReplaceWithLine(status, first + "接続");  // over a file that is there
    EXPECT_EQ(TextFile(status, OpenMode::Input).ReadField(), "PC01接続");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
    EXPECT_THROW(TextFile(Narrow((folder / L"無い.txt").wstring()), OpenMode::Input), FileError);
    // The core tests' failures in Windows' own words (Japanese here), not the C library's.
    wchar_t words[256];
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_FILE_NOT_FOUND, 0, words, 256, nullptr);
    EXPECT_EQ(SystemWords("No such file or directory") + "\r\n", Narrow({words, n}));
}

TEST(WideFiles, TheStatusIsWrittenInPlaceWhileAPeerHoldsIt)
{
    TempDir dir;
    // Beyond 260 characters, with a doubled separator (a root folder's pas.txt): the \\?\ form takes neither as it is.
    std::wstring folder = L"\\\\?\\" + dir.path().wstring();
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(CreateDirectoryW((folder += L"\\" + std::wstring(90, L'長')).c_str(), nullptr));
    const std::string status = Narrow(folder.substr(4) + L"\\\\kesrow.txt");
    TextFile(status, OpenMode::Output).WriteLine({"PC01-LONGER-NAME"});
    // Another computer's copy holding it open throughout, sharing reading and writing but not deleting.
    const HANDLE peer = CreateFileW((folder + L"\\kesrow.txt").c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    TextFile(status, OpenMode::Output).WriteLine({"経理PC"});
    char bytes[64];
    DWORD n = 0;
    EXPECT_TRUE(ReadFile(peer, bytes, sizeof bytes, &n, nullptr));
    EXPECT_EQ(std::string(bytes, n), "\x8C\x6F\x97\x9D" "PC\r\n");
    const HANDLE now = CreateFileW((folder + L"\\kesrow.txt").c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION held{}, named{};  // the name still is the peer's file
    EXPECT_TRUE(GetFileInformationByHandle(peer, &held) && GetFileInformationByHandle(now, &named));
    EXPECT_TRUE(held.nFileIndexLow == named.nFileIndexLow && held.nFileIndexHigh == named.nFileIndexHigh);
    CloseHandle(now), CloseHandle(peer);
}

TEST(WideFiles, ALinkInASharedFilesPlaceIsRefusedNeverFollowed)
{
    // Wine makes no symbolic link or junction (CreateSymbolicLinkW does nothing) but shows
    // a Unix link to a folder as one: wine_prefix.sh left two beside the prefix.
    const std::string links = "Z:" + std::string(std::getenv("WINEPREFIX")) + "\\..\\links\\";
    const std::pair<const char*, OpenMode> rows[] = {
        {"kesrow.txt", OpenMode::Output}, {"kesrow.log", OpenMode::Append}, {"kesrow.txt", OpenMode::Input}};
    for (const auto& [name, mode] : rows) {
        try {
            TextFile(links + name, mode).WriteLine({"PC01"});
            ADD_FAILURE() << name << " opened";
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()), links + name + ": " + kLinkRefused);
        }
    }
    EXPECT_TRUE(std::filesystem::is_empty(links + "elsewhere"));
}

// A file's write time: its seconds, and the local time in the zone CMake
// gives (UTC+1, UTC+2 in summer). A folder's names: the desktop test's --status.
TEST(WideFiles, AFilesWriteTime)
{
    TempDir dir;
    files::Close(files::Open(dir.file("kesrow.pc01.presence"), files::Access::CreateNew), "presence");
    const std::tuple<std::int64_t, int, LocalDateTime> times[] = {{1768478400, 9'999'999, {2026, 1, 15, 13, 0, 0}},
        {1782907200, 0, {2026, 7, 1, 14, 0, 0}}, {4102444800, 1, {2100, 1, 1, 1, 0, 0}}};
    const auto fields = [](std::int64_t s, const LocalDateTime& t) { return std::tuple(s, t.year, t.month, t.day, t.hour, t.minute, t.second); };
    for (const std::string path = dir.file("kesrow.pc01.presence"); const auto& [seconds, steps, local] : times) {
        const std::uint64_t since1601 = std::uint64_t(seconds + 11'644'473'600) * 10'000'000 + steps;
        const FILETIME written{DWORD(since1601), DWORD(since1601 >> 32)};
        const HANDLE file = CreateFileW(Widen(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &written)), CloseHandle(file);
        const files::FileTime got = TextFile(path, OpenMode::Input).Modified();
        EXPECT_EQ(fields(got.seconds, got.local), fields(seconds, local));
    }
}

// The two keys the lookup reads, emptied before each case.
constexpr const char* kMsinfo = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kLocation = "SOFTWARE\\Microsoft\\Shared Tools Location";

void SetValue(const char* keyPath, const char* name, DWORD type, const std::string& data)
{
    ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, keyPath, name, type, data.data(), DWORD(data.size())), ERROR_SUCCESS);
}

// The handle the process gets next: another one, once a key is left open.
HANDLE NextHandle()
{
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(event);
    return event;
}

TEST(SystemInfoRegistry, PathFirstThenTheFolderHoldingTheToolElseNothing)
{
    TempDir withTool, withoutTool, withFolder;
    WriteBytes(withTool.file("MSINFO32.EXE"), "MZ");
    std::filesystem::create_directory(withFolder.file("MSINFO32.EXE"));
    const std::string sz(1, '\0'), dword = std::string("\x34\x12\0\0", 4);
    // pathType 0: no first key; folder "": no second value.
    struct Row { const char* why; DWORD pathType; std::string path, folder, found; };
    const Row rows[] = {
        {"PATH wins, unchecked", REG_SZ, "C:\\nowhere\\msinfo32.exe" + sz, withTool.path().string(),
         "C:\\nowhere\\msinfo32.exe"},
        {"the folder's tool", 0, "", withTool.path().string(), withTool.file("MSINFO32.EXE")},
        {"a folder without it", 0, "", withoutTool.path().string(), ""},
        {"a folder of that name", 0, "", withFolder.path().string(), ""},
        {"neither key", 0, "", "", ""},
        {"PATH as REG_DWORD", REG_DWORD, dword, withTool.path().string(), "4660"},
        {"PATH of another type", REG_BINARY, "C:\\x.exe" + sz, withTool.path().string(), ""},
        {"PATH beyond the buffer", REG_SZ, std::string(1100, 'p') + sz, withTool.path().string(),
         withTool.file("MSINFO32.EXE")},
        // Filling the whole buffer without a NUL (Wine's text values always leave room for one).
        {"PATH of 1024 bytes, no NUL", REG_BINARY, std::string(1024, 'p'), "", "a failure"},
    };
    for (const Row& row : rows) {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kMsinfo), RegDeleteTreeA(HKEY_LOCAL_MACHINE, kLocation);
        if (row.pathType) SetValue(kMsinfo, "PATH", row.pathType, row.path);
        if (!row.folder.empty()) SetValue(kLocation, "MSINFO", REG_SZ, row.folder + sz);
        const HANDLE before = NextHandle();
        try {
            EXPECT_EQ(RegistrySystemInfoTool().find(), row.found) << row.why;
        } catch (const std::runtime_error&) {
            EXPECT_EQ("a failure", row.found) << row.why;
        }
        EXPECT_EQ(NextHandle(), before) << row.why << ": a key left open";
    }
}

}  // namespace
}  // namespace kesrow::win32
