// Every service the main form and the menu use, tracing each call as one word
// ("prev cwd show1 on") and answering from scripts; fixed texts are traced by
// name, so a wrong one shows. And real files in fresh temporary folders.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

#include "core/texts.h"
#include "core/platform.h"
#include "core/wide_text_win32.h"

namespace kesrow::testing {

class FakePlatform : public TrayIcon, public HostNameSource, public Dialogs, public PollTimer, public Clock,
                     public Process, public DialUp, public Forms, public SystemInfoTool, public UiThread {
public:
    std::string trace, boxAnswers;    // boxAnswers: 'c' Cancel, else OK, then OK
    std::deque<int> dialUps, popup;   // then 0, then -1 (dismissed)
    std::deque<std::string> inputs;   // then "" (Cancel)
    std::string host = "PC01", cwd = "/tmp", etc, failOn, toolPath;  // etc: the computer's settings folder
    bool otherCopy = false, toolStarts = true;
    std::function<void(const std::string&)> onCall;  // after each traced call
    Platform platform{*this, *this, *this, *this, *this, *this, *this, *this};
    FrontEndServices frontEnd{*this, *this, *this, *this, *this, *this, *this, *this, *this};

    // show<image>, then :holder for a held line's tooltip (~ when it says the share does not answer,
    // !time when the holder does not, its "/" as "-").
    void show(TrayImage image, const std::string& tip) override
    {
        const bool silent = tip.ends_with(kShareSilentNote);
        std::string sentence = tip.substr(0, tip.size() - (silent ? std::strlen(kShareSilentNote) : 0)), since;
        if (const auto note = sentence.rfind("（"); sentence.ends_with(" から応答がありません）")) {
            since = "!" + sentence.substr(note + 3, sentence.rfind(" から") - note - 3), sentence.erase(note);
            std::replace(since.begin(), since.end(), '/', '-');
        }
        const std::string held = LineHeldTooltip("\n"), front = held.substr(0, held.find('\n'));
        const std::string holder = sentence.substr(std::min(front.size(), sentence.size()), sentence.size() - std::min(sentence.size(), held.size() - 1));
        const bool named = tip == kLineFreeTooltip || tip == kShareUnknownTooltip;
        call("show" + std::to_string(int(image)) + (named ? "" : sentence == LineHeldTooltip(holder) ? ":" + holder + (silent ? "~" : "") + since : "?" + tip));
    }
    void hide() override { call("hide"); }
    void showNotice(const std::string& title, const std::string& text) override { call(title == kTitle && text == kLineFreeNotice ? "notice" : "notice?"); }
    std::string localHostName() override { return call("host"), host; }
    Answer messageBox(const std::string& prompt, BoxStyle style, const std::string& title) override
    {
        const int n = style == BoxStyle::OkCancel ? 1 : style == BoxStyle::Exclamation ? 48 : 0;
        call("box" + std::to_string(n) + ":" + Named(prompt) + (title == kTitle ? "" : "@" + Named(title)));
        const bool cancel = boxAnswers.starts_with('c');
        return boxAnswers.erase(0, 1), cancel ? Answer::Cancel : Answer::Ok;
    }
    void violationWarning(const std::string& text, const std::string& title) override { call(text == kWarningText && title == kTitle ? "warn" : "warn?"); }
    std::string inputBox(const std::string& prompt, const std::string& title, const std::string& def) override
    {
        call("input[" + def + "]" + (prompt == kServerPathPrompt && title == kTitle ? "" : "?"));
        return Next(inputs, std::string());
    }
    void beep() override { call("beep"); }
    void setEnabled(bool on) override { call(on ? "on" : "off"); }
    LocalDateTime now() override { return call("now"), LocalDateTime{1998, 9, 3, 10, 15, 0}; }
    bool previousInstance() override { return call("prev"), otherCopy; }
    std::string currentDirectory() override { return call("cwd"), cwd; }
    std::string computerSettingsDirectory() override { return call("etc"), etc; }
    void end(int status) override { call(status ? "end" + std::to_string(status) : "end"); }
    void formUnloaded() { call("unloaded"); }
    int activeConnections() override { return call("probe"), Next(dialUps, 0); }
    int popupMenu(const std::vector<std::string>& items, int defaultItem) override
    {
        const bool ours = items == std::vector<std::string>(std::begin(kMenuItems), std::end(kMenuItems)) &&
                          defaultItem == kMenuDefaultItem;
        call(ours ? "popup" : "popup?");
        return Next(popup, -1);
    }
    void showLogViewer(const std::string& text) override { call("log[" + text + "]"); }
    void showAbout(const std::function<void()>& onSysInfo) override { call("about"), onSysInfo(), call("/about"); }
    std::string find() override { return call("find"), toolPath; }
    // Tasks from the share worker wait until the test runs them on its own thread.
    void post(std::function<void()> task) override
    {
        std::lock_guard lock(postedMutex_);
        posted_.push_back(std::move(task));
        postedChanged_.notify_all();
    }
    // Runs posted tasks, waiting for more, until none is left and done()
    // holds; false when that is not so within the limit.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10))
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (pending() || !done()) {
            // Looked at every millisecond too: a tick on the worker may end without posting.
            std::unique_lock lock(postedMutex_);
            if (!postedChanged_.wait_for(lock, std::chrono::milliseconds(1), [&] { return !posted_.empty(); })) {
                if (std::chrono::steady_clock::now() >= deadline) return false;
                continue;
            }
            auto task = std::move(posted_.front());
            posted_.pop_front();
            lock.unlock();
            task();
        }
        return true;
    }
    void start(const std::string& path) override
    {
        if (call("start:" + path), !toolStarts) throw std::system_error(std::make_error_code(std::errc::permission_denied), path);
    }

private:
    bool pending() { std::lock_guard lock(postedMutex_); return !posted_.empty(); }

    std::mutex postedMutex_;
    std::condition_variable postedChanged_;
    std::deque<std::function<void()>> posted_;

    void call(const std::string& word)
    {
        trace += (trace.empty() ? "" : " ") + word;
        if (word == failOn) throw std::runtime_error(word);
        if (onCall) onCall(word);
    }
    // A fixed text by its name; a text that starts with one keeps its tail.
    static std::string Named(const std::string& text)
    {
        static const std::pair<const char*, const char*> names[] = {
            {kAlreadyRunning, "RUNNING"}, {kLoadErrorTitle, "LOADERROR"}, {kRecoveryQuestion, "QUESTION"},
            {kServerPathRejected.c_str(), "REJECTED"}, {kServerPathChanged, "CHANGED"}, {kSysInfoUnavailable, "NOSYSINFO"},
            {kPollingStopped, "STOPPED:"}, {kLogUnreadable, "NOLOG:"}, {kProgramEnds, "ENDS:"},
            {kServerPathNotChanged, "NOTCHANGED:"}, {kServerPathUnstorable, "UNSTORABLE"}, {kDialUpUnanswered, "NODIALUP:"}};
        for (const auto& [fixed, name] : names)
            if (text.rfind(fixed, 0) == 0) return name + text.substr(std::string(fixed).size());
        return text;
    }
    template <class T>
    static T Next(std::deque<T>& script, T fallback)
    {
        return script.empty() ? fallback : (fallback = script.front(), script.pop_front(), fallback);
    }
};

class TempDir {
public:
    // A fresh name on every system, without mkdtemp.
    TempDir()
    {
        std::random_device random;
        for (int tries = 0; tries < 100 && path_.empty(); ++tries) {
            auto candidate = std::filesystem::temp_directory_path() / ("kesrow-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) path_ = candidate.string();
        }
        if (path_.empty()) std::abort();
    }
    ~TempDir() { std::error_code ec; std::filesystem::remove_all(path_, ec); }
    TempDir(const TempDir&) = delete;
    std::filesystem::path path() const { return path_; }
    // As a server path, with its final separator.
    std::string prefix() const { return path_ + char(std::filesystem::path::preferred_separator); }
    std::string file(const std::string& name) const { return prefix() + name; }

private:
    std::string path_;
};

// "" for anything but a file.
inline std::string ReadBytes(const std::string& path)
{
    if (!std::filesystem::is_regular_file(path)) return {};
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
inline void WriteBytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }
// The rows name failures in the C library's words (the tests run in the C locale). Windows says a
// missing file in its own (ERROR_FILE_NOT_FOUND, 2), a folder in a file's place in the program's.
inline std::string SystemWords(std::string text)
{
#ifdef _WIN32
    const std::pair<std::string, std::string> words[] = {{"No such file or directory", win32::ErrorText(2)}, {"Is a directory", kNotOrdinaryFile}};
    for (const auto& [c, windows] : words)
        for (std::size_t at; (at = text.find(c)) != std::string::npos;) text.replace(at, c.size(), windows);
#endif
    return text;
}
// Paths written with "/" as this system writes them.
inline std::string Native(std::string text)
{
    constexpr char separator = char(std::filesystem::path::preferred_separator);
    for (char& c : text)
        if (c == '/') c = separator;
    return text;
}

// The text with each "$S" replaced by the folder's server path.
inline std::string Expand(std::string text, const TempDir& folder, const char* mark = "$S")
{
    for (std::size_t at; (at = text.find(mark)) != std::string::npos;) text.replace(at, 2, folder.prefix());
    return text;
}

}  // namespace kesrow::testing
