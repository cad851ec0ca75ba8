// Profile strings in memory, kept as the platform keeps an INI file: per file, sections and
// keys in first-write order, names matched without regard to case. Every call is written
// down ("read set.ini set Rate", "write set.ini set Rate=0"), and writes can be refused.
#pragma once

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/settings.h"

class MemoryProfile : public IProfileStrings {
public:
    using Keys = std::vector<std::pair<std::string, std::string>>;
    using Sections = std::vector<std::pair<std::string, Keys>>;

    std::map<std::string, Sections> files;
    std::vector<std::string> log;
    std::set<std::string> refusedKeys;  // writes of these keys fail (lower case)
    std::vector<std::string>* journal = nullptr;  // also gets "read <key>", "write <key>=<value>"
    std::map<std::string, std::string> heads;  // a file's first bytes, when the test sets them

    std::string FirstBytes(const std::string& file, std::size_t count) override { return heads[file].substr(0, count); }

    std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& def) override {
        log.push_back("read " + file + " " + section + " " + key);
        if (journal) journal->push_back("read " + key);
        const std::string* v = Find(file, section, key);
        return v ? *v : def;
    }

    bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override {
        log.push_back("write " + file + " " + section + " " + key + "=" + value);
        if (journal) journal->push_back("write " + key + "=" + value);
        if (refusedKeys.count(Lower(key))) return false;
        Keys& keys = SectionOf(files[file], section);
        for (auto& kv : keys)
            if (Lower(kv.first) == Lower(key)) {
                kv.second = value;
                return true;
            }
        keys.emplace_back(key, value);
        return true;
    }

    std::vector<std::string> ReadSection(const std::string& file, const std::string& section) override {
        return Lines(file, section);
    }
    bool WriteSection(const std::string& file, const std::string& section,
                      const std::vector<std::string>& lines) override {
        SectionOf(files[file], section).clear();
        for (const std::string& l : lines) Set(file, section, l.substr(0, l.find('=')), l.substr(l.find('=') + 1));
        return true;
    }

    void Set(const std::string& file, const std::string& section, const std::string& key, const std::string& value) {
        std::vector<std::string>* j = std::exchange(journal, nullptr);
        WriteString(file, section, key, value);
        log.pop_back();
        journal = j;
    }

    // "key=value" lines of one section, in file order.
    std::vector<std::string> Lines(const std::string& file, const std::string& section) const {
        std::vector<std::string> out;
        auto f = files.find(file);
        if (f == files.end()) return out;
        for (const auto& s : f->second)
            if (Lower(s.first) == Lower(section))
                for (const auto& kv : s.second) out.push_back(kv.first + "=" + kv.second);
        return out;
    }

    // The log entries that begin with prefix ("write ", "read ").
    std::vector<std::string> Logged(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& l : log)
            if (l.compare(0, prefix.size(), prefix) == 0) out.push_back(l);
        return out;
    }

private:
    static std::string Lower(std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return s;
    }
    static Keys& SectionOf(Sections& sections, const std::string& name) {
        for (auto& s : sections)
            if (Lower(s.first) == Lower(name)) return s.second;
        sections.emplace_back(name, Keys{});
        return sections.back().second;
    }
    const std::string* Find(const std::string& file, const std::string& section, const std::string& key) const {
        auto f = files.find(file);
        if (f == files.end()) return nullptr;
        for (const auto& s : f->second)
            if (Lower(s.first) == Lower(section))
                for (const auto& kv : s.second)
                    if (Lower(kv.first) == Lower(key)) return &kv.second;
        return nullptr;
    }
};
