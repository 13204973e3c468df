// Installation on Linux: programs under /opt or ~/.local/opt, logon start
// through an XDG autostart entry.
#include "platform/install_files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace platform {

namespace fs = std::filesystem;

namespace {

std::string errnoText(int error) { return std::generic_category().message(error); }

FileResult lastError() { return failure(errnoText(errno)); }

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { close(); }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int close()
    {
        int result = 0;
        if (fd_ >= 0)
            result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Writes `bytes` (or the contents of `source`) to a fresh file beside `to`
// with `mode`, then renames it over `to`. The temporary file never stays.
FileResult replaceFile(const fs::path& to, mode_t mode, int source, const std::string& bytes)
{
    std::string hidden = ".";
    hidden += to.filename().string();
    hidden += ".XXXXXX";
    std::string temporary = (to.parent_path() / hidden).string();
    Descriptor out(::mkstemp(temporary.data()));
    if (!out.valid())
        return lastError();
    auto fail = [&](int error) {
        out.close();
        ::unlink(temporary.c_str());
        return failure(errnoText(error));
    };
    if (source >= 0) {
        char buffer[64 * 1024];
        for (;;) {
            ssize_t n = ::read(source, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return fail(errno);
            if (n == 0)
                break;
            if (!writeAll(out.get(), buffer, static_cast<std::size_t>(n)))
                return fail(errno);
        }
    } else if (!writeAll(out.get(), bytes.data(), bytes.size())) {
        return fail(errno);
    }
    if (::fchmod(out.get(), mode) != 0 || ::fsync(out.get()) != 0)
        return fail(errno);
    if (out.close() != 0)
        return fail(errno);
    if (::rename(temporary.c_str(), to.c_str()) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        return failure(errnoText(error));
    }
    return FileResult{};
}

// The Exec value of a desktop entry that runs `program` without arguments:
// quoted when the path holds a reserved character, with the escapes of a
// quoted argument and then those of a string value. Control characters
// cannot be written in an entry; nullopt then.
std::optional<std::string> execValue(const std::string& program)
{
    const std::string reserved = " \t\"'\\><~|&;$*?#()`";
    bool quote = false;
    for (unsigned char c : program) {
        if (c < 0x20 || c == 0x7f)
            return std::nullopt;
        if (reserved.find(static_cast<char>(c)) != std::string::npos)
            quote = true;
    }
    std::string argument;
    for (char c : program) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\'))
            argument += '\\';
        argument += c;
    }
    if (quote)
        argument = "\"" + argument + "\"";
    std::string value;
    for (char c : argument) {
        if (c == '\\')
            value += "\\\\";
        else if (c == '%')
            value += "%%"; // a lone % would start a field code
        else
            value += c;
    }
    return value;
}

// The inverse of execValue: the first argument of an Exec value, its string
// escapes and then its quoting undone.
std::optional<std::string> firstExecArgument(const std::string& value)
{
    std::string argument;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            argument += next == 's' ? ' ' : next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else if (value[i] == '%' && i + 1 < value.size() && value[i + 1] == '%') {
            argument += value[++i];
        } else {
            argument += value[i];
        }
    }
    if (argument.empty())
        return std::nullopt;
    if (argument.front() != '"')
        return argument.substr(0, argument.find_first_of(" \t"));
    std::string unquoted;
    for (std::size_t i = 1; i < argument.size(); ++i) {
        if (argument[i] == '"')
            return unquoted;
        if (argument[i] == '\\' && i + 1 < argument.size())
            ++i;
        unquoted += argument[i];
    }
    return std::nullopt; // no closing quote
}

} // namespace

std::string programFileName(InstallProgram program)
{
    return program == InstallProgram::Workstation ? "tamblo" : "brisko";
}

std::vector<std::string> companionFileNames(InstallProgram program)
{
    if (program == InstallProgram::Workstation)
        return {"libHushtab.so", logonStartProgramName()};
    return {"brisko-admin"};
}

std::string logonStartProgramName() { return "tamblo-supervisor"; }

std::string programFolderName(InstallProgram program)
{
    return program == InstallProgram::Workstation ? "Tamblo" : "Brisko";
}

std::string logonStartName() { return "Tamblo"; }

bool runsAsAdministrator() { return ::geteuid() == 0; }

fs::path defaultProgramsFolder(bool administrator)
{
    return administrator ? fs::path("/opt") : homeFolder() / ".local" / "opt";
}

fs::path logonStartFolder(bool administrator)
{
    if (administrator)
        return "/etc/xdg/autostart";
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // The base directory rules ignore a relative XDG_CONFIG_HOME.
    if (config && *config == '/')
        return fs::path(config) / "autostart";
    return homeFolder() / ".config" / "autostart";
}

fs::path homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

fs::path currentFolder()
{
    std::error_code ec;
    fs::path folder = fs::current_path(ec);
    return ec ? fs::path() : folder;
}

fs::path programFolder()
{
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : program.parent_path();
}

FileResult makeFolder(const fs::path& folder)
{
    if (folder.empty())
        return failure(errnoText(ENOENT));
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) ? FileResult{} : FileResult(failure(errnoText(ENOTDIR)));
    if (::mkdir(folder.c_str(), 0755) != 0)
        return lastError();
    return FileResult{};
}

FileResult copyFileReplacing(const fs::path& from, const fs::path& to)
{
    Descriptor in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.valid())
        return lastError();
    struct stat info {};
    if (::fstat(in.get(), &info) != 0)
        return lastError();
    if (S_ISDIR(info.st_mode))
        return failure(errnoText(EISDIR));
    if (!S_ISREG(info.st_mode))
        return failure(errnoText(EINVAL));
    // The permission bits travel, the set-id bits do not.
    return replaceFile(to, info.st_mode & 0777, in.get(), {});
}

fs::path logonStartEntryPath(const fs::path& folder, const std::string& name) { return folder / (name + ".desktop"); }

FileResult writeLogonStart(const fs::path& folder, const std::string& name, const fs::path& program)
{
    auto exec = execValue(program.string());
    if (!program.is_absolute() || !exec)
        return failure(errnoText(EINVAL));
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec)
        return failure(ec.message());
    const std::string entry = "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=" +
                              name +
                              "\n"
                              "Comment=Locks this station until the counter starts a session\n"
                              "Exec=" +
                              *exec +
                              " --dir .\n"
                              "Terminal=false\n"
                              "X-GNOME-Autostart-enabled=true\n";
    return replaceFile(logonStartEntryPath(folder, name), 0644, -1, entry);
}

std::optional<fs::path> logonStartProgram(const fs::path& entry)
{
    std::ifstream in(entry);
    std::string line;
    while (std::getline(in, line))
        if (line.starts_with("Exec="))
            return firstExecArgument(line.substr(5));
    return std::nullopt;
}

} // namespace platform
