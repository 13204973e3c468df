#include "platform/workstation_task_keys.h"

#include <dlfcn.h>
#include <utility>

namespace platform {

TaskKeyLibrary::~TaskKeyLibrary()
{
    if (handle_)
        ::dlclose(handle_);
}

TaskKeyLibrary::TaskKeyLibrary(TaskKeyLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), function_(std::exchange(other.function_, nullptr))
{
}

TaskKeyLibrary& TaskKeyLibrary::operator=(TaskKeyLibrary&& other) noexcept
{
    if (this != &other) {
        if (handle_)
            ::dlclose(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
        function_ = std::exchange(other.function_, nullptr);
    }
    return *this;
}

const char* TaskKeyLibrary::fileName() { return "libHushtab.so"; }

TaskKeyLibrary TaskKeyLibrary::load(const std::filesystem::path& folder)
{
    TaskKeyLibrary library;
    auto path = folder / fileName();
    library.handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library.handle_)
        return library;
    library.function_ = reinterpret_cast<Function>(::dlsym(library.handle_, "DisableTaskKeys"));
    return library;
}

bool TaskKeyLibrary::disableTaskKeys(bool disable) const { return function_ && function_(disable); }

} // namespace platform
