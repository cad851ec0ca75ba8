// HKEY_LOCAL_MACHINE in memory: keys by path (matched without regard to case, kept under the
// name they were created with), string values in write order. Every change is written down
// ("create K", "set K\name=data", "delete K"), and access can be refused as a user without
// administrator rights meets it.
#pragma once

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "speech/carried_voices.h"

class FakeRegistry : public IRegistry {
public:
    struct Key {
        std::string path;  // as created
        std::vector<std::pair<std::string, std::string>> values;
    };
    std::map<std::string, Key> keys;  // by lower-case path
    std::vector<std::string> log;
    bool refuseAccess = false;          // every open with full access fails
    std::set<std::string> refusedValues;  // value names whose writes fail
    std::vector<std::string>* journal = nullptr;  // also gets "registry <entry>"

    void Log(const std::string& entry) {
        log.push_back(entry);
        if (journal) journal->push_back("registry " + entry);
    }

    static std::string Lower(std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return s;
    }

    // Creates the key and its path silently, for a test's starting state.
    Key& Put(const std::string& path) {
        std::string parent;
        std::size_t from = 0;
        for (;;) {
            std::size_t slash = path.find('\\', from);
            std::string p = path.substr(0, slash);
            keys.emplace(Lower(p), Key{p, {}});
            if (slash == std::string::npos) break;
            from = slash + 1;
        }
        return keys[Lower(path)];
    }
    void PutValue(const std::string& path, const std::string& name, const std::string& data) {
        Key& k = Put(path);
        for (auto& v : k.values)
            if (Lower(v.first) == Lower(name)) {
                v.second = data;
                return;
            }
        k.values.emplace_back(name, data);
    }
    const Key* Find(const std::string& path) const {
        auto it = keys.find(Lower(path));
        return it == keys.end() ? nullptr : &it->second;
    }
    // Every key at or below path, by lower-case path.
    std::vector<std::string> Below(const std::string& path) const {
        std::vector<std::string> out;
        std::string p = Lower(path);
        for (const auto& kv : keys)
            if (kv.first == p || kv.first.compare(0, p.size() + 1, p + "\\") == 0) out.push_back(kv.first);
        return out;
    }

    std::unique_ptr<IRegistryKey> CreateKey(const std::string& path) override {
        if (refuseAccess) return nullptr;
        if (!Find(path)) Log("create " + path);
        Put(path);
        return std::make_unique<OpenedKey>(*this, path);
    }
    std::unique_ptr<IRegistryKey> OpenKey(const std::string& path) override {
        if (!Find(path)) return nullptr;
        return std::make_unique<OpenedKey>(*this, path);
    }

private:
    class OpenedKey : public IRegistryKey {
    public:
        OpenedKey(FakeRegistry& r, std::string path) : r_(r), path_(std::move(path)) {}
        bool WriteString(const std::string& name, const std::string& data) override {
            if (r_.refuseAccess || r_.refusedValues.count(name)) return false;
            r_.Log("set " + path_ + "\\" + name + "=" + data);
            r_.PutValue(path_, name, data);
            return true;
        }
        bool ReadString(const std::string& name, std::string& data) override {
            const Key* k = r_.Find(path_);
            if (!k) return false;
            for (const auto& v : k->values)
                if (Lower(v.first) == Lower(name)) {
                    data = v.second;
                    return true;
                }
            return false;
        }
        void DeleteTree(const std::string& subKey) override {
            if (r_.refuseAccess) return;
            std::string path = path_ + "\\" + subKey;
            std::vector<std::string> doomed = r_.Below(path);
            if (doomed.empty()) return;
            for (const auto& k : doomed) r_.keys.erase(k);
            r_.Log("delete " + path);
        }
        std::vector<std::string> SubKeyNames() override {
            std::vector<std::string> names;
            const std::string prefix = Lower(path_) + "\\";
            for (const auto& kv : r_.keys)
                if (kv.first.compare(0, prefix.size(), prefix) == 0 && kv.first.find('\\', prefix.size()) == std::string::npos)
                    names.push_back(kv.second.path.substr(prefix.size()));
            return names;
        }
        std::vector<std::string> ValueNames() override {
            std::vector<std::string> names;
            for (const auto& v : r_.keys[Lower(path_)].values) names.push_back(v.first);
            return names;
        }

    private:
        FakeRegistry& r_;
        std::string path_;
    };
};
