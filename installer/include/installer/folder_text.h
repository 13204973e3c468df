#pragma once
// The installation folder as the operator types it, made a full path: "~" and
// "~/..." start at the home folder, any other text must start with "/". A
// relative folder is refused rather than taken from wherever the installer
// happens to run. No state; any thread.

#include <filesystem>
#include <string>

namespace installer {

struct FolderChoice {
    std::filesystem::path folder; // full, normal, without a trailing "/"; empty when refused
    std::string refusal;          // why the text names no folder, for the operator
};

FolderChoice folderFromText(const std::string& text, const std::filesystem::path& home);

// Whether two paths name the same folder as written, "." and ".." taken out
// and a trailing "/" ignored; links are not followed.
bool sameFolder(const std::filesystem::path& a, const std::filesystem::path& b);

} // namespace installer
