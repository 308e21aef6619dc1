#include "book/Settings.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <system_error>

#include "book/BookErrors.h"
#include "book/PlanFile.h"

namespace tamber {
namespace {

constexpr const char* kSection = "Tamber98";

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The file's lines without their line ends (CR LF or LF).
std::vector<std::string> ReadLines(const std::filesystem::path& file, bool& ok) {
    std::vector<std::string> lines;
    std::ifstream in(file, std::ios::binary);
    ok = static_cast<bool>(in);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Section names and keys compare without regard to letter case, as INI files do.
bool IsSection(const std::string& line, std::string* name) {
    const std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']') return false;
    *name = Lower(Trim(t.substr(1, t.size() - 2)));
    return true;
}

bool IsKey(const std::string& line, const std::string& key, std::string* value) {
    const auto eq = line.find('=');
    if (eq == std::string::npos || Lower(Trim(line.substr(0, eq))) != Lower(key)) return false;
    *value = Trim(line.substr(eq + 1));
    return true;
}

// Replaces File with Text whole, or leaves it as it was; false then.
bool WriteWhole(const std::filesystem::path& file, const std::string& text) {
    try {
        WriteWholeFile(file, text);
        return true;
    } catch (const EWriteError&) {
        return false;
    }
}

std::string HistoryKey(std::size_t rank) {
    return "History" + std::to_string(rank);
}

}  // namespace

void AddToRecentFiles(TRecentFiles& files, const std::string& path) {
    if (path.empty()) return;
    files.erase(std::remove(files.begin(), files.end(), path), files.end());
    files.insert(files.begin(), path);
    if (files.size() > kRecentFileCount) files.resize(kRecentFileCount);
}

std::array<std::string, kRecentFileCount> ReadSettings(const std::filesystem::path& file) {
    std::array<std::string, kRecentFileCount> values;
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        WriteWhole(file, "[Tamber98]\r\nHistory1=\r\nHistory2=\r\nHistory3=\r\n");
        return values;
    }
    bool ok = false;
    const std::vector<std::string> lines = ReadLines(file, ok);
    bool inSection = false;
    for (const std::string& line : lines) {
        std::string name, value;
        if (IsSection(line, &name)) {
            inSection = name == Lower(kSection);
            continue;
        }
        if (!inSection) continue;
        for (std::size_t rank = 1; rank <= kRecentFileCount; ++rank) {
            // The first occurrence of a key counts, as INI readers take it.
            if (values[rank - 1].empty() && IsKey(line, HistoryKey(rank), &value)) values[rank - 1] = value;
        }
    }
    return values;
}

bool WriteSettings(const std::filesystem::path& file, const TRecentFiles& files) {
    bool ok = false;
    std::vector<std::string> lines = ReadLines(file, ok);
    const std::size_t count = std::min(files.size(), kRecentFileCount);
    std::vector<bool> written(count, false);

    // Find the section; add it at the end when missing.
    std::size_t begin = lines.size(), end = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string name;
        if (!IsSection(lines[i], &name)) continue;
        if (begin == lines.size() && name == Lower(kSection)) {
            begin = i;
        } else if (begin != lines.size() && i > begin) {
            end = i;
            break;
        }
    }
    if (begin == lines.size()) {
        lines.push_back("[Tamber98]");
        begin = lines.size() - 1;
        end = lines.size();
    }
    for (std::size_t i = begin + 1; i < end; ++i) {
        for (std::size_t rank = 1; rank <= count; ++rank) {
            std::string value;
            if (!written[rank - 1] && IsKey(lines[i], HistoryKey(rank), &value)) {
                lines[i] = HistoryKey(rank) + "=" + files[rank - 1];
                written[rank - 1] = true;
            }
        }
    }
    // Keys the section lacks go after its last non-blank line.
    std::size_t insertAt = end;
    while (insertAt > begin + 1 && Trim(lines[insertAt - 1]).empty()) --insertAt;
    for (std::size_t rank = 1; rank <= count; ++rank) {
        if (written[rank - 1]) continue;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), HistoryKey(rank) + "=" + files[rank - 1]);
        ++insertAt;
    }
    std::ostringstream text;
    for (const std::string& line : lines) text << line << "\r\n";
    return WriteWhole(file, text.str());
}

std::filesystem::path ChooseSettingsFile(const std::filesystem::path& programDir, const std::filesystem::path& userConfigDir) {
    const std::filesystem::path beside = programDir / kSettingsFileName;
    std::error_code ec;
    if (std::filesystem::exists(beside, ec)) {
        // Existing file: use it when it can be opened for writing (without changing it).
        std::ofstream probe(beside, std::ios::binary | std::ios::app);
        if (probe) return beside;
    } else {
        const std::filesystem::path probePath = programDir / ".Tamber98.ini.probe";
        std::ofstream probe(probePath, std::ios::binary | std::ios::trunc);
        const bool writable = static_cast<bool>(probe);
        probe.close();
        std::filesystem::remove(probePath, ec);
        if (writable) return beside;
    }
    std::filesystem::create_directories(userConfigDir, ec);
    return userConfigDir / kSettingsFileName;
}

}  // namespace tamber
