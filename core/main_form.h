// The main form: the program's one long-lived object. It holds the server
// path, the holder last seen, and runs start-up, the poll cycle, claim and
// release, and the unload path.
#pragma once

#include <functional>
#include <string>

#include "platform/platform.h"

namespace kesrow {

inline constexpr const char* kTitle = "ケスロウ";
inline constexpr const char* kLineFreeTooltip = "ダイアルアップ接続している人はいません";
inline constexpr const char* kWarningText =
    "タスクバー内のアイコンに禁止マークがある時は電話接続をしてはいけません!!\r直ちに切断して下さい";
inline constexpr int kTimerIntervalMs = 100;
inline constexpr std::int32_t kIconId = 1;

std::string LineHeldTooltip(const std::string& holder);

class kesrow {
public:
    explicit kesrow(Platform& platform);

    // Start-up; the platform calls it once when the program starts.
    void Form_Load();
    // The unload path: remove the icon, release a line this computer holds.
    void Form_QueryUnload(int& Cancel, int UnloadMode);
    void Form_Unload(int& Cancel);
    // Unload the main form: the unload path, then no form is left.
    void Unload();

    void f_end_Click();
    void MenuEnd_Click();
    void Timer1_Timer();

    // Claim and release.
    void setuzoku();
    void setudan();

    // Runs an event handler; a failure nothing caught is shown and ends the program.
    void RunEvent(const std::function<void()>& handler);

    const std::string& ServerPath() const { return serverPath_; }
    const std::string& CurrentHolder() const { return currentHolder_; }
    std::string StatusFile() const;
    std::string LogFile() const;
    Platform& platform() { return p_; }

private:
    void errsyori();
    void pollOnce();
    void warnViolation();
    void unloadQuietlyAndEnd();
    void rewriteStatus(const std::string& value);
    using LogLine = std::string (*)(const std::string& host, const std::string& when);
    void appendLog(LogLine line, const char* marker = nullptr);

    Platform& p_;
    std::string serverPath_;
    std::string currentHolder_;
    bool unloaded_ = false;
    bool inTick_ = false;
    bool tickFailureShown_ = false;
};

}  // namespace kesrow
