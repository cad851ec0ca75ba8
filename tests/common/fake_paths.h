// A path platform in memory: special folders by number, a program path, folders and files
// as sets of path strings. It writes down the folders it was asked to create.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/paths.h"

// GBK's lead bytes, as IsDBCSLeadByteEx gives them for code page 936.
struct GbkLeadBytes : ILeadBytes {
    bool IsLeadByte(unsigned char c) const override { return c >= 0x81 && c <= 0xFE; }
};
inline const GbkLeadBytes kGbkLeadBytes{};

struct FakePathPlatform : IPathPlatform {
    std::map<int, std::string> specialFolders{{kCsidlAppData, "C:\\Users\\ann\\AppData\\Roaming"},
                                              {kCsidlStartup, "C:\\Users\\ann\\Start Menu\\Programs\\Startup"}};
    std::string programPath = "C:\\Tools\\sonvira.exe";
    std::string windowsFolder = "C:\\WINDOWS";
    std::set<std::string> folders;
    std::set<std::string> files;
    bool refuseFolders = false;  // CreateFolder fails
    std::vector<std::string> created;
    std::vector<std::string>* journal = nullptr;  // also gets "create folder <p>", "file? <p>"

    std::string SpecialFolder(int csidl) override {
        auto it = specialFolders.find(csidl);
        return it == specialFolders.end() ? std::string() : it->second;
    }
    std::string ProgramPath() override { return programPath; }
    std::string WindowsFolder() override { return windowsFolder; }
    bool DirectoryExists(const std::string& path) override { return folders.count(path) != 0; }
    bool CreateFolder(const std::string& path) override {
        created.push_back(path);
        if (journal) journal->push_back("create folder " + path);
        if (refuseFolders || files.count(path)) return false;
        folders.insert(path);
        return true;
    }
    bool FileExists(const std::string& path) override {
        if (journal) journal->push_back("file? " + path);
        return files.count(path) != 0;
    }
    const ILeadBytes& LeadBytes() override { return kGbkLeadBytes; }
};
