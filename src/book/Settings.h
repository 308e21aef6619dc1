// The settings file: the three most recently loaded plan files, kept in
// "Tamber98.ini" (section "[Tamber98]", keys "History1".."History3").
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace tamber {

inline constexpr const char* kSettingsFileName = "Tamber98.ini";
inline constexpr std::size_t kRecentFileCount = 3;

// The recent files, newest first: at most three, no two equal (compared
// exactly, letter case included).
using TRecentFiles = std::vector<std::string>;

// Puts Path at the top of the list, removing an equal entry further down and
// dropping the oldest beyond three. An empty path changes nothing.
void AddToRecentFiles(TRecentFiles& files, const std::string& path);

// Values of History1..History3 (empty when absent or unreadable). When the
// file does not exist it is created with the four lines "[Tamber98]",
// "History1=", "History2=", "History3=" (CR LF line ends); a file that cannot
// be created is not an error.
std::array<std::string, kRecentFileCount> ReadSettings(const std::filesystem::path& file);

// Writes the list into the file: key History1 for the first entry and so on;
// keys for ranks without an entry and every other line keep what they hold.
// The file is replaced whole only once the new text is complete. Returns
// false when it cannot be written.
bool WriteSettings(const std::filesystem::path& file, const TRecentFiles& files);

// Where the settings live: beside the program when that folder can be
// written (or the file there already can), otherwise in the user's
// configuration folder, so the list is never silently lost.
std::filesystem::path ChooseSettingsFile(const std::filesystem::path& programDir, const std::filesystem::path& userConfigDir);

}  // namespace tamber
