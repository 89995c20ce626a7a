// Fakes for the menu's forms, the registry and the program launcher. They
// record into the FakePlatform's call list, so one list shows the order of
// everything the program did.
#pragma once

#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "fake_platform.h"
#include "platform/platform.h"

namespace kesrow::testing {

inline std::string Hex(std::uint32_t v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", v);
    return buf;
}

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

// Keys and values held in memory. A key's handle is 100 + the order in
// which the test created it.
class FakeRegistry : public Registry {
public:
    explicit FakeRegistry(std::vector<std::string>& calls) : calls_(calls) {}

    struct Value {
        std::uint32_t type;
        std::vector<unsigned char> data;
    };
    // "root\subkey" -> value name -> value
    std::map<std::string, std::map<std::string, Value>> keys;
    std::vector<std::string> keyOrder;
    // Rights the user holds; opening with more is refused (5), as under
    // HKEY_LOCAL_MACHINE for a user without administrator rights.
    std::uint32_t grantedAccess = 0x20019;

    void setString(std::uint32_t root, const std::string& key, const std::string& name, const std::string& text,
                   std::uint32_t type = 1)
    {
        std::vector<unsigned char> data(text.begin(), text.end());
        data.push_back(0);
        values(root, key)[name] = {type, data};
    }
    void setBytes(std::uint32_t root, const std::string& key, const std::string& name, std::uint32_t type,
                  std::vector<unsigned char> data)
    {
        values(root, key)[name] = {type, std::move(data)};
    }

    long RegOpenKeyExA(std::uint32_t root, const std::string& subKey, std::uint32_t options,
                       std::uint32_t access, std::uint32_t* key) override
    {
        calls_.push_back("reg.open " + Hex(root) + " " + subKey + " " + std::to_string(options) + " " +
                         Hex(access));
        auto it = keys.find(KeyName(root, subKey));
        if (it == keys.end()) return 2;
        if (access & ~grantedAccess) return 5;
        *key = 100 + (std::find(keyOrder.begin(), keyOrder.end(), it->first) - keyOrder.begin());
        return 0;
    }
    long RegQueryValueExA(std::uint32_t key, const std::string& name, std::uint32_t* type,
                          std::vector<unsigned char>& buffer, std::uint32_t* size) override
    {
        calls_.push_back("reg.query " + std::to_string(key) + " " + name + " " + std::to_string(buffer.size()) +
                         "/" + std::to_string(*size) + (std::all_of(buffer.begin(), buffer.end(),
                                                                    [](unsigned char c) { return c == 0; })
                                                            ? " zeroed"
                                                            : " dirty"));
        if (key < 100 || key - 100 >= keyOrder.size()) return 6;
        auto& named = keys[keyOrder[key - 100]];
        auto it = named.find(name);
        if (it == named.end()) return 2;
        const Value& v = it->second;
        *type = v.type;
        if (v.data.size() > *size) {
            *size = v.data.size();
            return 234;  // ERROR_MORE_DATA
        }
        std::copy(v.data.begin(), v.data.end(), buffer.begin());
        *size = v.data.size();
        return 0;
    }
    long RegCloseKey(std::uint32_t key) override
    {
        calls_.push_back("reg.close " + std::to_string(key));
        return key >= 100 ? 0 : 6;
    }

private:
    std::map<std::string, Value>& values(std::uint32_t root, const std::string& key)
    {
        const std::string name = KeyName(root, key);
        if (!keys.count(name)) keyOrder.push_back(name);
        return keys[name];
    }
    static std::string KeyName(std::uint32_t root, const std::string& key) { return Hex(root) + "\\" + key; }
    std::vector<std::string>& calls_;
};

class FakeLauncher : public ProgramLauncher {
public:
    explicit FakeLauncher(std::vector<std::string>& calls) : calls_(calls) {}

    std::set<std::string> files;     // ordinary files that exist
    std::set<std::string> startable; // programs that start

    std::string findFile(const std::string& fullName) override
    {
        calls_.push_back("find " + fullName);
        if (!files.count(fullName)) return {};
        return fullName.substr(fullName.find_last_of("\\/") + 1);
    }
    void start(const std::string& path, int windowStyle) override
    {
        calls_.push_back("start " + path + " " + std::to_string(windowStyle));
        if (!startable.count(path))
            throw std::system_error(std::make_error_code(std::errc::no_such_file_or_directory), path);
    }

private:
    std::vector<std::string>& calls_;
};

}  // namespace kesrow::testing
