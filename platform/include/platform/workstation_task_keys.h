#pragma once
// The task-key library ("Hushtab") shipped beside the station program. It
// exports one function, DisableTaskKeys(bool): true blocks the keys that
// switch tasks for the whole desktop, false releases them. It is loaded at run
// time so that a missing library costs the blocking, not the program.
// One owner thread: the station's window thread.

#include <filesystem>

namespace platform {

class TaskKeyLibrary {
public:
    TaskKeyLibrary() = default;
    ~TaskKeyLibrary();
    TaskKeyLibrary(TaskKeyLibrary&& other) noexcept;
    TaskKeyLibrary& operator=(TaskKeyLibrary&& other) noexcept;
    TaskKeyLibrary(const TaskKeyLibrary&) = delete;
    TaskKeyLibrary& operator=(const TaskKeyLibrary&) = delete;

    // The library's file name on this system ("libHushtab.so").
    static const char* fileName();
    // Loads the library from `folder`; an empty object when it is missing or
    // lacks the function.
    [[nodiscard]] static TaskKeyLibrary load(const std::filesystem::path& folder);

    bool isLoaded() const { return function_ != nullptr; }
    // Calls DisableTaskKeys; false when the library is not loaded.
    bool disableTaskKeys(bool disable) const;

private:
    using Function = bool (*)(bool);
    void* handle_ = nullptr;
    Function function_ = nullptr;
};

} // namespace platform
