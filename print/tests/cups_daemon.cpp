#include "cups_daemon.h"

#include "platform/system_error_log.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace print::test {

namespace {

using namespace std::chrono_literals;

// A port nobody listens on now; 0 when the system would not tell.
int freeLoopbackPort()
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    const bool bound = bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
                       getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0;
    platform::closeDescriptor(s, "port probe");
    return bound ? ntohs(a.sin_port) : 0;
}

bool accepts(int port)
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return false;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    platform::closeDescriptor(s, "port probe");
    return ok;
}

// False when the mode cannot be set: cupsd then refuses the folder.
bool lpOwned(const std::filesystem::path& dir, mode_t mode)
{
    std::filesystem::create_directories(dir);
    if (chown(dir.c_str(), 0, 7) != 0) { /* group lp is 7 on Debian; a mismatch only narrows access */
    }
    return chmod(dir.c_str(), mode) == 0;
}

} // namespace

std::filesystem::path writeFile(const std::filesystem::path& file, const std::string& content)
{
    std::ofstream(file, std::ios::binary) << content;
    return file;
}

std::string pdfDocument(int pages)
{
    std::vector<std::string> objects;
    objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
    std::string kids;
    for (int i = 0; i < pages; ++i)
        kids += std::to_string(3 + i) + " 0 R ";
    objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>");
    for (int i = 0; i < pages; ++i)
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>");
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t offset : offsets) {
        char line[24];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

std::string CupsDaemon::unavailableReason()
{
    if (!std::filesystem::exists("/usr/sbin/cupsd") || !std::filesystem::exists("/usr/sbin/lpadmin"))
        return "cupsd is not installed (Debian: cups-daemon cups-client cups-filters)";
    if (geteuid() != 0)
        return "a private cupsd needs root";
    return {};
}

CupsDaemon::CupsDaemon()
{
    char pattern[] = "/tmp/brisko-cups-XXXXXX";
    if (!mkdtemp(pattern)) {
        platform::logSystemError("mkdtemp", errno);
        return; // no port: start() fails
    }
    base_ = pattern;
    port_ = freeLoopbackPort();
    for (const char* dir : {"etc", "etc/ppd", "etc/ssl", "log", "cache", "state", "run", "tmp"})
        std::filesystem::create_directories(base_ / dir);
    if (chmod(base_.c_str(), 0755) != 0 || !lpOwned(base_ / "spool", 0710) || !lpOwned(base_ / "spool/tmp", 01770)) {
        platform::logSystemError("chmod", errno);
        port_ = 0;
    }
    const std::string b = base_.string();
    writeFile(base_ / "etc/cups-files.conf",
              "ServerRoot " + b + "/etc\nRequestRoot " + b + "/spool\nTempDir " + b + "/spool/tmp\nCacheDir " + b +
                  "/cache\nStateDir " + b + "/state\nAccessLog " + b + "/log/access_log\nErrorLog " + b +
                  "/log/error_log\nPageLog " + b + "/log/page_log\nPrintcap " + b +
                  "/etc/printcap\nDataDir /usr/share/cups\nServerBin /usr/lib/cups\nFileDevice Yes\n"
                  "User lp\nGroup lp\nSystemGroup root\n");
    writeFile(base_ / "etc/cupsd.conf",
              "Listen 127.0.0.1:" + std::to_string(port_) + "\nListen " + b +
                  "/run/cups.sock\nBrowsing No\nDefaultAuthType None\nWebInterface No\nLogLevel info\n"
                  "PreserveJobHistory Yes\nPreserveJobFiles Yes\n"
                  "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                  "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                  "<Policy default>\n  JobPrivateAccess all\n  JobPrivateValues none\n"
                  "  SubscriptionPrivateAccess all\n  SubscriptionPrivateValues none\n"
                  "  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");
}

CupsDaemon::~CupsDaemon()
{
    stop();
    std::error_code ec;
    std::filesystem::remove_all(base_, ec);
}

bool CupsDaemon::start()
{
    if (pid_ > 0)
        return true;
    if (port_ == 0)
        return false;
    const std::string conf = (base_ / "etc/cupsd.conf").string();
    const std::string files = (base_ / "etc/cups-files.conf").string();
    std::vector<std::string> args{"/usr/sbin/cupsd", "-f", "-c", conf, "-s", files};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        pid_ = -1;
        return false;
    }
    for (auto waited = 0ms; waited < 10s; waited += 20ms) {
        if (accepts(port_))
            return true;
        std::this_thread::sleep_for(20ms);
    }
    stop();
    return false;
}

void CupsDaemon::stop()
{
    if (pid_ <= 0)
        return;
    if (kill(pid_, SIGTERM) != 0)
        platform::logSystemError("kill(cupsd)", errno);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

std::string CupsDaemon::serverName() const { return "127.0.0.1:" + std::to_string(port_); }

int CupsDaemon::run(const std::vector<std::string>& args, std::string* out) const
{
    std::string command = "CUPS_SERVER= ";
    for (const std::string& a : args) {
        std::string quoted = "'";
        for (char c : a)
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        command += quoted + "' ";
    }
    command += "2>&1";
    FILE* p = popen(command.c_str(), "r");
    if (p == nullptr)
        return -1;
    char buffer[512];
    std::string text;
    while (std::fgets(buffer, sizeof buffer, p))
        text += buffer;
    const int status = pclose(p);
    if (out)
        *out = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool CupsDaemon::addQueue(const std::string& name, bool raw)
{
    std::vector<std::string> args{"lpadmin",       "-h", (base_ / "run/cups.sock").string(), "-p", name, "-E", "-v",
                                  "file:/dev/null"};
    if (!raw) {
        args.push_back("-P");
        args.push_back("/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd");
    }
    return run(args) == 0;
}

std::optional<int> CupsDaemon::print(const std::string& queue, const std::string& title,
                                     const std::filesystem::path& file, int copies, const std::string& host,
                                     const std::vector<std::string>& options)
{
    std::vector<std::string> args{"lp", "-h", serverName(), "-d", queue, "-t", title, "-n", std::to_string(copies)};
    if (!host.empty()) {
        args.push_back("-o");
        args.push_back("job-originating-host-name=" + host);
    }
    for (const std::string& o : options) {
        args.push_back("-o");
        args.push_back(o);
    }
    args.push_back(file.string());
    std::string out;
    if (run(args, &out) != 0)
        return std::nullopt;
    // "request id is QUEUE-12 (1 file(s))"
    const auto dash = out.find(queue + "-");
    if (dash == std::string::npos)
        return std::nullopt;
    return std::atoi(out.c_str() + dash + queue.size() + 1);
}

bool CupsDaemon::cancel(int jobId) { return run({"cancel", "-h", serverName(), std::to_string(jobId)}) == 0; }

bool CupsDaemon::holdQueue(const std::string& queue)
{
    return run({"cupsdisable", "-h", (base_ / "run/cups.sock").string(), queue}) == 0;
}

bool CupsDaemon::releaseQueue(const std::string& queue)
{
    return run({"cupsenable", "-h", (base_ / "run/cups.sock").string(), queue}) == 0;
}

} // namespace print::test
