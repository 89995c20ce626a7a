// Fakes for the menu's forms and the system information tool. They
// record into the FakePlatform's call list, so one list shows the order of
// everything the program did.
#pragma once

#include <deque>
#include <string>
#include <system_error>
#include <vector>

#include "fake_platform.h"
#include "platform/platform.h"

namespace kesrow::testing {

class FakeForms : public Forms {
public:
    explicit FakeForms(std::vector<std::string>& calls) : calls_(calls) {}

    std::deque<int> popupAnswers;  // default -1 (dismissed)
    int sysInfoPresses = 0;        // how often the About box's button is pressed

    std::vector<std::string> popupItems;
    int popupDefault = -99;
    float popupX = 0, popupY = 0;
    std::vector<std::string> logTexts;

    int popupMenu(const std::vector<std::string>& items, int defaultItem, float x, float y) override
    {
        calls_.push_back("popup");
        popupItems = items;
        popupDefault = defaultItem;
        popupX = x;
        popupY = y;
        if (popupAnswers.empty()) return -1;
        int answer = popupAnswers.front();
        popupAnswers.pop_front();
        return answer;
    }
    void showLogViewer(const std::string& text) override
    {
        calls_.push_back("logviewer");
        logTexts.push_back(text);
    }
    void showAbout(const std::function<void()>& onSysInfo) override
    {
        calls_.push_back("about");
        for (int i = 0; i < sysInfoPresses; ++i) onSysInfo();
        calls_.push_back("about closed");
    }

private:
    std::vector<std::string>& calls_;
};

// The system information tool: where it is, and whether it starts.
class FakeSysInfo : public SystemInfoTool {
public:
    explicit FakeSysInfo(std::vector<std::string>& calls) : calls_(calls) {}

    std::string path;       // "" when there is none
    bool startable = true;

    std::string find() override
    {
        calls_.push_back("sysinfo.find");
        return path;
    }
    void start(const std::string& p) override
    {
        calls_.push_back("sysinfo.start " + p);
        if (!startable) throw std::system_error(std::make_error_code(std::errc::permission_denied), p);
    }

private:
    std::vector<std::string>& calls_;
};

}  // namespace kesrow::testing
